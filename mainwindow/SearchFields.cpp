#include "mainwindow/SearchFields.h"

#include "schema/Schema.h"

using namespace schema;

const SearchCatalogue &MainSearchCatalogue() {
    // Texts first, then numbers, then date-times: the catalogue's three kinds are runs of this list.
    static const SearchCatalogue catalogue = MakeSearchCatalogue(
        {
            {Bill_Kind, "票据类型"},
            {Bill_Main_Kind, "票据主类型"},
            {Bill_Begin_Char, "开始编号"},
            {Bill_End_Char, "结尾编号"},
            {Bill_Return_End_Char, "返还结尾编号"},
            {Bill_Prefix, "前缀"},
            {Bill_Suffix, "后缀"},
            {Bill_Issue_Dept, "领票部门"},
            {Bill_Issue_Broker, "领票人"},
            {Bill_Issue_Manager, "发票人"},
            {Bill_Return_Dept, "返还部门"},
            {Bill_Return_Broker, "返还人"},
            {Bill_Return_Manager, "收票人"},
            {Bill_Flag, "票据标志"},
            {Bill_Repository_Manager, "入库人"},
            {Bill_Invalid_Manager, "删票人"},
            {Bill_Made_Units, "制造部门"},
        },
        {
            {Bill_ID, "票据ID"},
            {Bill_Begin_Int, "开始编号INT"},
            {Bill_End_Int, "结尾编号INT"},
            {Bill_Return_End_Int, "返还结尾编号INT"},
            {Bill_Unit_Price, "单价"},
            {Bill_Unit_Amount, "张数"},
            {Bill_Unit_Return_Amount, "回收张数"},
            {Bill_Unit_Total, "金额"},
            {Bill_Unit_Return_Total, "回收金额"},
        },
        {
            {Bill_Issue_Time, "领票时间"},
            {Bill_Return_Time, "返还时间"},
            {Bill_Repository_Time, "入库时间"},
            {Bill_Invalid_Time, "删除时间"},
            {Bill_Made_Time, "制造时间"},
        });
    return catalogue;
}
