#pragma once
// Names of every table and column of the store, and the fixed words some columns hold.
// Statements are composed from these so that a misspelt name fails to compile.

namespace schema {

// Bill runs, one row per book. Bill_Recycle_Info has the same columns in the same order, followed by
// the time and administrator of the deletion.
constexpr const char *Bill_Info = "Bill_Info";
constexpr const char *Bill_Recycle_Info = "Bill_Recycle_Info";
constexpr const char *Bill_ID = "Bill_ID";
constexpr const char *Bill_Kind = "Bill_Kind";
constexpr const char *Bill_Main_Kind = "Bill_Main_Kind";
constexpr const char *Bill_Begin_Char = "Bill_Begin_Char";
constexpr const char *Bill_End_Char = "Bill_End_Char";
constexpr const char *Bill_Return_End_Char = "Bill_Return_End_Char";
constexpr const char *Bill_Prefix = "Bill_Prefix";
constexpr const char *Bill_Suffix = "Bill_Suffix";
constexpr const char *Bill_Begin_Int = "Bill_Begin_Int";
constexpr const char *Bill_End_Int = "Bill_End_Int";
constexpr const char *Bill_Return_End_Int = "Bill_Return_End_Int";
constexpr const char *Bill_Unit_Price = "Bill_Unit_Price";
constexpr const char *Bill_Unit_Amount = "Bill_Unit_Amount";
constexpr const char *Bill_Unit_Total = "Bill_Unit_Total";
constexpr const char *Bill_Unit_Return_Amount = "Bill_Unit_Return_Amount";
constexpr const char *Bill_Unit_Return_Total = "Bill_Unit_Return_Total";
constexpr const char *Bill_Flag = "Bill_Flag";
constexpr const char *Bill_Repository_Time = "Bill_Repository_Time";
constexpr const char *Bill_Repository_Manager = "Bill_Repository_Manager";
constexpr const char *Bill_Repository_No = "Bill_Repository_No";
constexpr const char *Bill_Made_Time = "Bill_Made_Time";
constexpr const char *Bill_Made_Units = "Bill_Made_Units";
constexpr const char *Bill_Issue_Time = "Bill_Issue_Time";
constexpr const char *Bill_Issue_Dept = "Bill_Issue_Dept";
constexpr const char *Bill_Issue_Broker = "Bill_Issue_Broker";
constexpr const char *Bill_Issue_Manager = "Bill_Issue_Manager";
constexpr const char *Bill_Issue_No = "Bill_Issue_No";
constexpr const char *Bill_Return_Time = "Bill_Return_Time";
constexpr const char *Bill_Return_Dept = "Bill_Return_Dept";
constexpr const char *Bill_Return_Broker = "Bill_Return_Broker";
constexpr const char *Bill_Return_Manager = "Bill_Return_Manager";
constexpr const char *Bill_Return_No = "Bill_Return_No";
constexpr const char *Bill_Invalid_Time = "Bill_Invalid_Time";
constexpr const char *Bill_Invalid_Manager = "Bill_Invalid_Manager";
constexpr const char *Bill_Info_Remark = "Bill_Info_Remark";
constexpr const char *Bill_NoneFixed_Sum = "Bill_NoneFixed_Sum";
constexpr const char *Bill_Recycle_Time = "Bill_Recycle_Time";
constexpr const char *Bill_Recycle_Manager = "Bill_Recycle_Manager";

// Single bills of books of non-fixed amount; Bill_Recycle_NoneFixed_Info has the same columns, followed
// by the time and administrator of the deletion.
constexpr const char *Bill_NoneFixed_Manifest_Info = "Bill_NoneFixed_Manifest_Info";
constexpr const char *Bill_Recycle_NoneFixed_Info = "Bill_Recycle_NoneFixed_Info";
constexpr const char *Bill_NoneFixed_Kind = "Bill_NoneFixed_Kind";
constexpr const char *Bill_NoneFixed_Main_Kind = "Bill_NoneFixed_Main_Kind";
constexpr const char *Bill_NoneFixed_Begin_Char = "Bill_NoneFixed_Begin_Char";
constexpr const char *Bill_NoneFixed_Inner_Char = "Bill_NoneFixed_Inner_Char";
constexpr const char *Bill_NoneFixed_Inner_Int = "Bill_NoneFixed_Inner_Int";
constexpr const char *Bill_NoneFixed_Unit_Price = "Bill_NoneFixed_Unit_Price";
constexpr const char *Bill_Recycle_NoneFixed_Time = "Bill_Recycle_NoneFixed_Time";
constexpr const char *Bill_Recycle_NoneFixed_Manager = "Bill_Recycle_NoneFixed_Manager";

// Bill kinds.
constexpr const char *Bill_Kind_Info = "Bill_Kind_Info";
constexpr const char *Bill_Kind_Name = "Bill_Kind_Name";
constexpr const char *Bill_Kind_Unit_Price = "Bill_Kind_Unit_Price";
constexpr const char *Bill_Kind_Unit_Amount = "Bill_Kind_Unit_Amount";
constexpr const char *Bill_Kind_Unit_Total = "Bill_Kind_Unit_Total";
constexpr const char *Bill_Kind_Prefix = "Bill_Kind_Prefix";
constexpr const char *Bill_Kind_Suffix = "Bill_Kind_Suffix";
constexpr const char *Bill_Kind_Length = "Bill_Kind_Length";
constexpr const char *Bill_Kind_Main_Kind = "Bill_Kind_Main_Kind";
constexpr const char *Bill_Kind_NoneFixed = "Bill_Kind_NoneFixed";
// Books in stock below which the kind is short ("库存下限"); 0 or NULL: no limit.
constexpr const char *Bill_Kind_Stock_Limit = "Bill_Kind_Stock_Limit";

// Single-name tables.
constexpr const char *Bill_Main_Kind_Info = "Bill_Main_Kind_Info";
constexpr const char *Bill_Main_Kind_ID = "Bill_Main_Kind_ID";
constexpr const char *Bill_Main_Kind_Name = "Bill_Main_Kind_Name";
constexpr const char *Bill_Flag_Info = "Bill_Flag_Info";
constexpr const char *Bill_Flag_ID = "Bill_Flag_ID";
constexpr const char *Bill_Flag_Name = "Bill_Flag_Name";
constexpr const char *Bill_Made_Info = "Bill_Made_Info";
constexpr const char *Bill_Made_ID = "Bill_Made_ID";
constexpr const char *Bill_Made_Name = "Bill_Made_Name";
constexpr const char *Bill_Dept_Info = "Bill_Dept_Info";
constexpr const char *Bill_Dept_ID = "Bill_Dept_ID";
constexpr const char *Bill_Dept_Name = "Bill_Dept_Name";

// Administrators; exactly one is current.
constexpr const char *Bill_Manager_Info = "Bill_Manager_Info";
constexpr const char *Bill_Manager_ID = "Bill_Manager_ID";
constexpr const char *Bill_Manager_Name = "Bill_Manager_Name";
constexpr const char *Bill_Manager_Cur = "Bill_Manager_Cur";

// Recipients, tied to their department by its counter.
constexpr const char *Bill_Broker_Info = "Bill_Broker_Info";
constexpr const char *Bill_Broker_Name = "Bill_Broker_Name";
constexpr const char *Bill_Broker_Dept = "Bill_Broker_Dept";

// User accounts.
constexpr const char *Bill_Password_Info = "Bill_Password_Info";
constexpr const char *Bill_Password_ID = "Bill_Password_ID";
constexpr const char *Bill_Password_User = "Bill_Password_User";
constexpr const char *Bill_Password_PWD = "Bill_Password_PWD";
constexpr const char *Bill_Password_Popedom = "Bill_Password_Popedom";
constexpr const char *Bill_Password_Number = "Bill_Password_Number";
constexpr const char *Bill_Password_Sex = "Bill_Password_Sex";
constexpr const char *Bill_Password_Address = "Bill_Password_Address";
constexpr const char *Bill_Password_Contact = "Bill_Password_Contact";
constexpr const char *Bill_Password_Email = "Bill_Password_Email";
constexpr const char *Bill_Password_Remark = "Bill_Password_Remark";

// The rights tree.
constexpr const char *Bill_Popedom_Tree_Info = "Bill_Popedom_Tree_Info";
constexpr const char *Bill_Popedom_Tree_ID = "Bill_Popedom_Tree_ID";
constexpr const char *Bill_Popedom_Tree_ParentID = "Bill_Popedom_Tree_ParentID";
constexpr const char *Bill_Popedom_Tree_InNum = "Bill_Popedom_Tree_InNum";
constexpr const char *Bill_Popedom_Tree_Code = "Bill_Popedom_Tree_Code";
constexpr const char *Bill_Popedom_Tree_Name = "Bill_Popedom_Tree_Name";

// Reports offered for printing, and the two layout tables of the reports.
constexpr const char *Report_Info = "Report_Info";
constexpr const char *Report_Info_ID = "Report_Info_ID";
constexpr const char *Report_Info_Name = "Report_Info_Name";
constexpr const char *Report_Year_Info = "Report_Year_Info";
constexpr const char *Report_Year_Info_Name = "Report_Year_Info_Name";
constexpr const char *Report_Year_Info_Last = "Report_Year_Info_Last";
constexpr const char *Report_Year_Info_This = "Report_Year_Info_This";
constexpr const char *Report_Year_Info_After = "Report_Year_Info_After";
constexpr const char *Report_Year_Info_Begin = "Report_Year_Info_Begin";
constexpr const char *Report_Year_Info_End = "Report_Year_Info_End";
constexpr const char *Report_Year_Info_Sum = "Report_Year_Info_Sum";
constexpr const char *Report_Year_Info_Actual = "Report_Year_Info_Actual";
constexpr const char *Report_Year_Info_Tolerance = "Report_Year_Info_Tolerance";
constexpr const char *Report_Year_Info_Reason = "Report_Year_Info_Reason";
constexpr const char *Report_Year_Info_Suggest = "Report_Year_Info_Suggest";
constexpr const char *Report_Month_Info = "Report_Month_Info";
constexpr const char *Report_Month_Issue_Date = "Report_Month_Issue_Date";
constexpr const char *Report_Month_Has_Reward = "Report_Month_Has_Reward";
constexpr const char *Report_Month_Bill_Name = "Report_Month_Bill_Name";
constexpr const char *Report_Month_Bill_Begin = "Report_Month_Bill_Begin";
constexpr const char *Report_Month_Bill_End = "Report_Month_Bill_End";
constexpr const char *Report_Month_Bill_Units = "Report_Month_Bill_Units";
constexpr const char *Report_Month_Bill_Price = "Report_Month_Bill_Price";
constexpr const char *Report_Month_Return_Sum = "Report_Month_Return_Sum";
constexpr const char *Report_Month_Tolerance = "Report_Month_Tolerance";
constexpr const char *Report_Month_Return_Date = "Report_Month_Return_Date";
constexpr const char *Report_Month_Remark = "Report_Month_Remark";

// The operation log: one entry per change, each chained to the one before by a SHA-256 over its
// own columns and the hash before it. Bill_Log_No counts the entries from 1 without gaps.
constexpr const char *Bill_Log_Info = "Bill_Log_Info";
constexpr const char *Bill_Log_ID = "Bill_Log_ID";
constexpr const char *Bill_Log_No = "Bill_Log_No";
constexpr const char *Bill_Log_Time = "Bill_Log_Time";
constexpr const char *Bill_Log_User = "Bill_Log_User";
constexpr const char *Bill_Log_Operation = "Bill_Log_Operation";
constexpr const char *Bill_Log_Document_No = "Bill_Log_Document_No";
constexpr const char *Bill_Log_Kind = "Bill_Log_Kind";
constexpr const char *Bill_Log_Begin_Char = "Bill_Log_Begin_Char";
constexpr const char *Bill_Log_End_Char = "Bill_Log_End_Char";
constexpr const char *Bill_Log_Amount = "Bill_Log_Amount";
constexpr const char *Bill_Log_Total = "Bill_Log_Total";
constexpr const char *Bill_Log_Detail = "Bill_Log_Detail";
constexpr const char *Bill_Log_Hash = "Bill_Log_Hash";

// Author, contact and version texts.
constexpr const char *Bill_I_Info = "Bill_I_Info";
constexpr const char *Bill_I_Author = "Bill_I_Author";
constexpr const char *Bill_I_Email = "Bill_I_Email";
constexpr const char *Bill_I_Version = "Bill_I_Version";

// States of a run (Bill_Flag). No row ever holds FlagNone: a query on it lays out an empty list.
constexpr const char *FlagStock = "库存";
constexpr const char *FlagIssued = "运作";
constexpr const char *FlagReturned = "回收";
constexpr const char *FlagVoid = "作废";
constexpr const char *FlagNone = "腾空";

// Remark stamped on runs moved to the recycle table because their kind or main kind was deleted.
constexpr const char *RemarkKindDeleted = "类型删除标志";
// Told to the recycle routine, never stored: a whole main kind is being moved.
constexpr const char *RemarkMainKindDeleted = "主类型删除标志";

// The built-in account that holds every right.
constexpr const char *AdministratorUser = "管理员";

} // namespace schema
