#include "mainwindow/ViewStatements.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "schema/Schema.h"

using namespace schema;

namespace {

QString IssuedRunsSelect(const char *flag) {
    return QString::asprintf(
        " SELECT %s AS 票据类型,%s AS 开始编号,%s AS 结尾编号,%s AS 单价,%s AS 张数,%s AS 金额,%s AS "
        "领票时间,%s AS 发票人 FROM %s WHERE %s = '%s' ",
        Bill_Kind, Bill_Begin_Char, Bill_End_Char, Bill_Unit_Price, Bill_Unit_Amount, Bill_Unit_Total, Bill_Issue_Time,
        Bill_Issue_Manager, Bill_Info, Bill_Flag, flag);
}

QString StockRunsSelect(const char *flag) {
    return QString::asprintf(
        " SELECT %s AS 开始编号,%s AS 结尾编号,%s AS 单价,%s AS 张数,%s AS 金额,%s AS 入库时间,%s AS "
        "入库人,%s AS 制造时间,%s AS 制造部门,%s AS 票据类型 FROM %s WHERE %s = '%s' ",
        Bill_Begin_Char, Bill_End_Char, Bill_Unit_Price, Bill_Unit_Amount, Bill_Unit_Total, Bill_Repository_Time,
        Bill_Repository_Manager, Bill_Made_Time, Bill_Made_Units, Bill_Kind, Bill_Info, Bill_Flag, flag);
}

// Books of one state with the department and recipient that hold or returned them; what the
// overview opens in the department view.
QString HeldRunsSelect(const char *flag) {
    return QString::asprintf(
        " SELECT %s AS 票据类型,%s AS 领票部门,%s AS 领票人,%s AS 开始编号,%s AS 结尾编号,%s AS 单价,%s AS "
        "张数,%s AS 金额,%s AS 领票时间,%s AS 发票人 FROM %s WHERE %s = '%s' ",
        Bill_Kind, Bill_Issue_Dept, Bill_Issue_Broker, Bill_Begin_Char, Bill_End_Char, Bill_Unit_Price,
        Bill_Unit_Amount, Bill_Unit_Total, Bill_Issue_Time, Bill_Issue_Manager, Bill_Info, Bill_Flag, flag);
}

QString AndEquals(const char *column, const QString &value) {
    return QString::asprintf("AND %s = '%s' ", column, Quote(value).constData());
}

QString OrderBy(const char *column) {
    return QString::asprintf("ORDER BY %s ASC ", column);
}

} // namespace

QStringList ViewMoneyColumns() {
    return {QStringLiteral("单价"), QStringLiteral("金额"), QStringLiteral("实收金额")};
}

QString DepartmentEmptyStatement() {
    return IssuedRunsSelect(FlagNone);
}

QString RecipientRunsStatement(const QString &recipient) {
    return IssuedRunsSelect(FlagIssued) + AndEquals(Bill_Issue_Broker, recipient) + OrderBy(Bill_Kind);
}

QString DepartmentRunsStatement(const QString &department) {
    return QString::asprintf(
               " SELECT %s AS 票据类型,%s AS 领票人,%s AS 开始编号,%s AS 结尾编号,%s AS 单价,%s AS 张数,%s AS "
               "金额,%s AS 领票时间,%s AS 发票人 FROM %s WHERE %s = '%s' ",
               Bill_Kind, Bill_Issue_Broker, Bill_Begin_Char, Bill_End_Char, Bill_Unit_Price, Bill_Unit_Amount,
               Bill_Unit_Total, Bill_Issue_Time, Bill_Issue_Manager, Bill_Info, Bill_Flag, FlagIssued) +
           AndEquals(Bill_Issue_Dept, department) + OrderBy(Bill_Kind);
}

QString RepositoryEmptyStatement() {
    return StockRunsSelect(FlagNone) + OrderBy(Bill_Begin_Int);
}

QString KindStockStatement(const QString &kind) {
    return StockRunsSelect(FlagStock) + AndEquals(Bill_Kind, kind) + OrderBy(Bill_Begin_Int);
}

QString KindOutStatement(const QString &kind) {
    return HeldRunsSelect(FlagIssued) + AndEquals(Bill_Kind, kind) + OrderBy(Bill_Begin_Int);
}

QString KindReturnedStatement(const QString &kind) {
    return QString::asprintf(
               " SELECT %s AS 票据类型,%s AS 领票部门,%s AS 领票人,%s AS 开始编号,%s AS 结尾编号,%s AS 金额,%s AS "
               "回收张数,%s AS 实收金额,%s AS 回收时间 FROM %s WHERE %s = '%s' ",
               Bill_Kind, Bill_Return_Dept, Bill_Return_Broker, Bill_Begin_Char, Bill_End_Char, Bill_Unit_Total,
               Bill_Unit_Return_Amount, Bill_Unit_Return_Total, Bill_Return_Time, Bill_Info, Bill_Flag, FlagReturned) +
           AndEquals(Bill_Kind, kind) + OrderBy(Bill_Begin_Int);
}

QString OutSinceBeforeStatement(const QDateTime &before) {
    return HeldRunsSelect(FlagIssued) +
           QString::asprintf("AND %s < #%s# ", Bill_Issue_Time,
                             qUtf8Printable(before.toString(QStringLiteral("yyyy-M-d H:m:s")))) +
           OrderBy(Bill_Issue_Time);
}

void ReadDepartmentTree(QList<DepartmentNode> &departments) {
    departments.clear();
    CDatabase &db = TheDatabase();
    db.OpenQuery(QString::asprintf(" SELECT * FROM %s ", Bill_Dept_Info));
    for (; !db.IsEOF(); db.MoveNext()) {
        DepartmentNode node;
        db.ReadFieldText(Bill_Dept_Name, node.name);
        departments << node;
    }
    db.CloseQuery();

    db.OpenQuery(QString::asprintf(" SELECT %s,%s \t\t\t\t\tFROM %s AS a,%s AS b \t\t\t\t\tWHERE a.%s = b.%s "
                                   "\t\t\t\t\tORDER BY b.%s ASC ",
                                   Bill_Dept_Name, Bill_Broker_Name, Bill_Broker_Info, Bill_Dept_Info, Bill_Broker_Dept,
                                   Bill_Dept_ID, Bill_Dept_ID));
    for (; !db.IsEOF(); db.MoveNext()) {
        QString department;
        QString recipient;
        if (!db.ReadFieldText(Bill_Dept_Name, department) || !db.ReadFieldText(Bill_Broker_Name, recipient))
            continue;
        for (DepartmentNode &node : departments) {
            if (node.name == department) {
                node.recipients << recipient;
                break;
            }
        }
    }
    db.CloseQuery();
}

void ReadKindNames(QStringList &kinds) {
    kinds.clear();
    CDatabase &db = TheDatabase();
    db.OpenQuery(QString::asprintf(" SELECT * FROM %s ORDER BY %s ASC ", Bill_Kind_Info, Bill_Kind_Name));
    for (; !db.IsEOF(); db.MoveNext()) {
        QString kind;
        db.ReadFieldText(Bill_Kind_Name, kind);
        kinds << kind;
    }
    db.CloseQuery();
}
