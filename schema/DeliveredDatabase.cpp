#include "schema/DeliveredDatabase.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "schema/Schema.h"

#include <QStringList>

using namespace schema;

namespace {

// Column types as the statements use them. Date-times are kept as zero-padded texts so that they
// compare and sort chronologically; flags hold -1 for TRUE and 0 for FALSE.
constexpr const char *Counter = "INTEGER PRIMARY KEY AUTOINCREMENT";
constexpr const char *Text = "TEXT";
constexpr const char *Long = "INTEGER";
constexpr const char *Double = "DOUBLE";
// A flag left out of an INSERT is FALSE, never NULL, so "current first" orderings stay right.
constexpr const char *Boolean = "BOOLEAN DEFAULT 0";
constexpr const char *DateTime = "DATETEXT";

struct Column {
    const char *name;
    const char *type;
};

void CreateTable(CDatabase &db, const char *table, std::initializer_list<Column> columns) {
    QStringList parts;
    for (const Column &c : columns)
        parts << QStringLiteral("%1 %2").arg(QLatin1String(c.name), QLatin1String(c.type));
    db.ExecuteStatement(QStringLiteral("CREATE TABLE %1 (%2)").arg(QLatin1String(table), parts.join(", ")));
}

// Bill_Recycle_Info receives whole rows with INSERT ... SELECT *, so its columns stand in the same
// order; its key is a plain number there, since it keeps the counter of the row it copies.
void CreateRunTable(CDatabase &db, const char *table, const char *keyType) {
    CreateTable(db, table,
                {{Bill_ID, keyType},
                 {Bill_Kind, Text},
                 {Bill_Main_Kind, Text},
                 {Bill_Begin_Char, Text},
                 {Bill_End_Char, Text},
                 {Bill_Return_End_Char, Text},
                 {Bill_Prefix, Text},
                 {Bill_Suffix, Text},
                 {Bill_Begin_Int, Double},
                 {Bill_End_Int, Double},
                 {Bill_Return_End_Int, Double},
                 {Bill_Unit_Price, Double},
                 {Bill_Unit_Amount, Long},
                 {Bill_Unit_Total, Double},
                 {Bill_Unit_Return_Amount, Long},
                 {Bill_Unit_Return_Total, Double},
                 {Bill_Flag, Text},
                 {Bill_Repository_Time, DateTime},
                 {Bill_Repository_Manager, Text},
                 {Bill_Repository_No, Double},
                 {Bill_Made_Time, DateTime},
                 {Bill_Made_Units, Text},
                 {Bill_Issue_Time, DateTime},
                 {Bill_Issue_Dept, Text},
                 {Bill_Issue_Broker, Text},
                 {Bill_Issue_Manager, Text},
                 {Bill_Issue_No, Double},
                 {Bill_Return_Time, DateTime},
                 {Bill_Return_Dept, Text},
                 {Bill_Return_Broker, Text},
                 {Bill_Return_Manager, Text},
                 {Bill_Return_No, Double},
                 {Bill_Invalid_Time, DateTime},
                 {Bill_Invalid_Manager, Text},
                 {Bill_Info_Remark, Text},
                 {Bill_NoneFixed_Sum, Boolean}});
}

void CreateSingleBillTable(CDatabase &db, const char *table) {
    CreateTable(db, table,
                {{Bill_NoneFixed_Kind, Text},
                 {Bill_NoneFixed_Main_Kind, Text},
                 {Bill_NoneFixed_Begin_Char, Text},
                 {Bill_NoneFixed_Inner_Char, Text},
                 {Bill_NoneFixed_Inner_Int, Double},
                 {Bill_NoneFixed_Unit_Price, Double}});
}

void CreateIndex(CDatabase &db, const char *name, const char *table, const char *columns) {
    db.ExecuteStatement(QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                            .arg(QLatin1String(name), QLatin1String(table), QLatin1String(columns)));
}

void CreateTables(CDatabase &db) {
    CreateRunTable(db, Bill_Info, Counter);
    CreateRunTable(db, Bill_Recycle_Info, Long);
    CreateSingleBillTable(db, Bill_NoneFixed_Manifest_Info);
    CreateSingleBillTable(db, Bill_Recycle_NoneFixed_Info);
    CreateTable(db, Bill_Kind_Info,
                {{Bill_Kind_Name, Text},
                 {Bill_Kind_Unit_Price, Double},
                 {Bill_Kind_Unit_Amount, Long},
                 {Bill_Kind_Unit_Total, Double},
                 {Bill_Kind_Prefix, Text},
                 {Bill_Kind_Suffix, Text},
                 {Bill_Kind_Length, Long},
                 {Bill_Kind_Main_Kind, Text},
                 {Bill_Kind_NoneFixed, Boolean}});
    CreateTable(db, Bill_Main_Kind_Info, {{Bill_Main_Kind_ID, Counter}, {Bill_Main_Kind_Name, Text}});
    CreateTable(db, Bill_Flag_Info, {{Bill_Flag_ID, Counter}, {Bill_Flag_Name, Text}});
    CreateTable(db, Bill_Made_Info, {{Bill_Made_ID, Counter}, {Bill_Made_Name, Text}});
    CreateTable(db, Bill_Dept_Info, {{Bill_Dept_ID, Counter}, {Bill_Dept_Name, Text}});
    CreateTable(db, Bill_Manager_Info,
                {{Bill_Manager_ID, Counter}, {Bill_Manager_Name, Text}, {Bill_Manager_Cur, Boolean}});
    CreateTable(db, Bill_Broker_Info, {{Bill_Broker_Name, Text}, {Bill_Broker_Dept, Long}});
    CreateTable(db, Bill_Password_Info,
                {{Bill_Password_ID, Counter},
                 {Bill_Password_User, Text},
                 {Bill_Password_PWD, Text},
                 {Bill_Password_Popedom, Text},
                 {Bill_Password_Number, Long},
                 {Bill_Password_Sex, Long},
                 {Bill_Password_Address, Text},
                 {Bill_Password_Contact, Text},
                 {Bill_Password_Email, Text},
                 {Bill_Password_Remark, Text}});
    CreateTable(db, Bill_Popedom_Tree_Info,
                {{Bill_Popedom_Tree_ID, Counter},
                 {Bill_Popedom_Tree_ParentID, Long},
                 {Bill_Popedom_Tree_InNum, Long},
                 {Bill_Popedom_Tree_Code, Text},
                 {Bill_Popedom_Tree_Name, Text}});
    CreateTable(db, Report_Info, {{Report_Info_ID, Counter}, {Report_Info_Name, Text}});
    CreateTable(db, Report_Year_Info,
                {{Report_Year_Info_Name, Text},
                 {Report_Year_Info_Last, Text},
                 {Report_Year_Info_This, Text},
                 {Report_Year_Info_After, Text},
                 {Report_Year_Info_Begin, Text},
                 {Report_Year_Info_End, Text},
                 {Report_Year_Info_Sum, Text},
                 {Report_Year_Info_Actual, Text},
                 {Report_Year_Info_Tolerance, Text},
                 {Report_Year_Info_Reason, Text},
                 {Report_Year_Info_Suggest, Text}});
    CreateTable(db, Report_Month_Info,
                {{Report_Month_Issue_Date, Text},
                 {Report_Month_Has_Reward, Text},
                 {Report_Month_Bill_Name, Text},
                 {Report_Month_Bill_Begin, Text},
                 {Report_Month_Bill_End, Text},
                 {Report_Month_Bill_Units, Text},
                 {Report_Month_Bill_Price, Text},
                 {Report_Month_Return_Sum, Text},
                 {Report_Month_Tolerance, Text},
                 {Report_Month_Return_Date, Text},
                 {Report_Month_Remark, Text}});
    CreateTable(db, Bill_I_Info, {{Bill_I_Author, Text}, {Bill_I_Email, Text}, {Bill_I_Version, Text}});
}

// Lookups the operations make: runs of a kind by first number (overlap test, issue and return
// lookups), runs by state (views), by document number (documents and the next number), single
// bills of a book, recipients of a department, and deleted books of a kind by first number (the
// history of one bill number).
void CreateIndexes(CDatabase &db) {
    CreateIndex(db, "IX_Bill_Kind_Begin", Bill_Info, "Bill_Kind, Bill_Begin_Int");
    CreateIndex(db, "IX_Bill_Kind_Begin_Char", Bill_Info, "Bill_Kind, Bill_Begin_Char");
    CreateIndex(db, "IX_Bill_Flag", Bill_Info, "Bill_Flag, Bill_Kind");
    CreateIndex(db, "IX_Bill_Issue_Dept", Bill_Info, "Bill_Issue_Dept, Bill_Issue_Broker");
    CreateIndex(db, "IX_Bill_Repository_No", Bill_Info, "Bill_Repository_No");
    CreateIndex(db, "IX_Bill_Issue_No", Bill_Info, "Bill_Issue_No");
    CreateIndex(db, "IX_Bill_Return_No", Bill_Info, "Bill_Return_No");
    CreateIndex(db, "IX_Bill_Issue_Time", Bill_Info, "Bill_Issue_Time");
    CreateIndex(db, "IX_Bill_Return_Time", Bill_Info, "Bill_Return_Time");
    CreateIndex(db, "IX_Recycle_Kind_Begin", Bill_Recycle_Info, "Bill_Kind, Bill_Begin_Int");
    CreateIndex(db, "IX_NoneFixed_Book", Bill_NoneFixed_Manifest_Info,
                "Bill_NoneFixed_Kind, Bill_NoneFixed_Begin_Char, Bill_NoneFixed_Inner_Char");
    CreateIndex(db, "IX_Broker_Dept", Bill_Broker_Info, "Bill_Broker_Dept");
    CreateIndex(db, "IX_Kind_Name", Bill_Kind_Info, "Bill_Kind_Name");
}

struct Right {
    int id;
    int parent;
    int order;
    const char *code;
    const char *name;
};

// Every code is "P" and two digits, and "P" stands nowhere else, so no code occurs inside another
// code or across the joint of two.
constexpr Right kRights[] = {
    {1, 0, 1, "P01", "票据管理"},      {2, 1, 1, "P02", "票据入库"},      {3, 1, 2, "P03", "票据发放"},
    {4, 1, 3, "P04", "票据回收"},      {5, 1, 4, "P05", "票据删除"},      {6, 1, 5, "P06", "票据作废"},
    {7, 1, 6, "P07", "强制操作"},      {8, 1, 7, "P08", "出入库管理"},    {9, 0, 2, "P09", "基础资料"},
    {10, 9, 1, "P10", "票据主类型"},   {11, 9, 2, "P11", "票据类型"},     {12, 9, 3, "P12", "票据管理员"},
    {13, 9, 4, "P13", "票据制造部门"}, {14, 9, 5, "P14", "增加发放部门"}, {15, 9, 6, "P15", "增加发放人员"},
    {16, 9, 7, "P16", "删除发放部门"}, {17, 9, 8, "P17", "删除发放人员"}, {18, 0, 3, "P18", "报表管理"},
    {19, 18, 1, "P19", "票据报表"},    {20, 0, 4, "P20", "系统管理"},     {21, 20, 1, "P21", "权限设置"},
    {22, 20, 2, "P22", "修改个人密码"},
};

// The report dialog picks its generator by the position of the name in this list.
constexpr const char *kReports[] = {
    "年度行政事业性收费和政府性基金票据年审表",
    "月季报表",
    "部门月季报表",
    "收费票据缴销明细表",
    "库存票据汇总表",
};

void InsertSeedRows(CDatabase &db) {
    db.ExecuteStatement(QString::asprintf("INSERT INTO %s (%s,%s,%s,%s,%s) VALUES ('%s','%s','',0,0)",
                                          Bill_Password_Info, Bill_Password_User, Bill_Password_PWD,
                                          Bill_Password_Popedom, Bill_Password_Number, Bill_Password_Sex,
                                          AdministratorUser, DeliveredAdministratorPassword));
    for (const Right &r : kRights)
        db.ExecuteStatement(QString::asprintf("INSERT INTO %s (%s,%s,%s,%s,%s) VALUES (%d,%d,%d,'%s','%s')",
                                              Bill_Popedom_Tree_Info, Bill_Popedom_Tree_ID,
                                              Bill_Popedom_Tree_ParentID, Bill_Popedom_Tree_InNum,
                                              Bill_Popedom_Tree_Code, Bill_Popedom_Tree_Name, r.id, r.parent,
                                              r.order, r.code, r.name));
    for (const char *name : kReports)
        db.ExecuteStatement(
            QString::asprintf("INSERT INTO %s (%s) VALUES ('%s')", Report_Info, Report_Info_Name, name));
    db.ExecuteStatement(QString::asprintf("INSERT INTO %s (%s,%s,%s) VALUES ('%s','%s','%s')", Bill_I_Info,
                                          Bill_I_Author, Bill_I_Email, Bill_I_Version, "Pelorvanide 开发组",
                                          "pelorvanide@example.org", "Pelorvanide 1.0"));
}

} // namespace

void CreateDeliveredDatabase(CDatabase &db) {
    CTransaction transaction(db);
    CreateTables(db);
    CreateIndexes(db);
    InsertSeedRows(db);
    transaction.Commit();
}
