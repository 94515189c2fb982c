#include "schema/DeliveredDatabase.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "schema/Schema.h"
#include "schema/SchemaTables.h"

#include <QStringList>

using namespace schema;

namespace {

void CreateTables(CDatabase &db) {
    for (const TableDef &table : Tables())
        db.ExecuteStatement(CreateTableStatement(table, QLatin1String(table.name)));
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
    {1, 0, 1, "P01", "票据管理"},       {2, 1, 1, "P02", "票据入库"},      {3, 1, 2, "P03", "票据发放"},
    {4, 1, 3, "P04", "票据回收"},       {5, 1, 4, "P05", "票据删除"},      {6, 1, 5, "P06", "票据作废"},
    {7, 1, 6, "P07", "强制操作"},       {8, 1, 7, "P08", "出入库管理"},    {9, 0, 2, "P09", "基础资料"},
    {10, 9, 1, "P10", "票据主类型"},    {11, 9, 2, "P11", "票据类型"},     {12, 9, 3, "P12", "票据管理员"},
    {13, 9, 4, "P13", "票据制造部门"},  {14, 9, 5, "P14", "增加发放部门"}, {15, 9, 6, "P15", "增加发放人员"},
    {16, 9, 7, "P16", "删除发放部门"},  {17, 9, 8, "P17", "删除发放人员"}, {18, 0, 3, "P18", "报表管理"},
    {19, 18, 1, "P19", "票据报表"},     {20, 0, 4, "P20", "系统管理"},     {21, 20, 1, "P21", "权限设置"},
    {22, 20, 2, "P22", "修改个人密码"}, {23, 1, 8, "P23", "操作日志"},     {24, 1, 9, "P24", "日志校验"},
    {25, 1, 10, "P25", "票据稽核"},
};

// The report dialog picks its generator by the position of the name in this list.
constexpr const char *kReports[] = {
    "年度行政事业性收费和政府性基金票据年审表", "月季报表", "部门月季报表", "收费票据缴销明细表", "库存票据汇总表",
};

void InsertRight(CDatabase &db, const Right &r) {
    db.ExecuteStatement(QString::asprintf("INSERT INTO %s (%s,%s,%s,%s,%s) VALUES (%d,%d,%d,'%s','%s')",
                                          Bill_Popedom_Tree_Info, Bill_Popedom_Tree_ID, Bill_Popedom_Tree_ParentID,
                                          Bill_Popedom_Tree_InNum, Bill_Popedom_Tree_Code, Bill_Popedom_Tree_Name, r.id,
                                          r.parent, r.order, r.code, r.name));
}

void InsertSeedRows(CDatabase &db) {
    db.ExecuteStatement(QString::asprintf("INSERT INTO %s (%s,%s,%s,%s,%s) VALUES ('%s','%s','',0,0)",
                                          Bill_Password_Info, Bill_Password_User, Bill_Password_PWD,
                                          Bill_Password_Popedom, Bill_Password_Number, Bill_Password_Sex,
                                          AdministratorUser, DeliveredAdministratorPassword));
    for (const Right &r : kRights)
        InsertRight(db, r);
    for (const char *name : kReports)
        db.ExecuteStatement(
            QString::asprintf("INSERT INTO %s (%s) VALUES ('%s')", Report_Info, Report_Info_Name, name));
    db.ExecuteStatement(QString::asprintf("INSERT INTO %s (%s,%s,%s) VALUES ('%s','%s','%s')", Bill_I_Info,
                                          Bill_I_Author, Bill_I_Email, Bill_I_Version, "Pelorvanide 开发组",
                                          "pelorvanide@example.org", "Pelorvanide 1.0"));
}

} // namespace

void InsertMissingRights(CDatabase &db) {
    for (const Right &r : kRights) {
        db.OpenQuery(QString::asprintf("SELECT %s FROM %s WHERE %s = '%s'", Bill_Popedom_Tree_ID,
                                       Bill_Popedom_Tree_Info, Bill_Popedom_Tree_Code, r.code));
        const bool present = !db.IsEOF();
        db.CloseQuery();
        if (!present)
            InsertRight(db, r);
    }
}

void CreateDeliveredDatabase(CDatabase &db) {
    CTransaction transaction(db);
    CreateTables(db);
    CreateIndexes(db);
    InsertSeedRows(db);
    db.ExecuteStatement(QStringLiteral("PRAGMA user_version = %1").arg(CurrentSchemaVersion));
    transaction.Commit();
}
