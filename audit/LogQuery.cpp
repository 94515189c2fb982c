#include "audit/LogQuery.h"

#include "app/Dialect.h"
#include "audit/OperationLog.h"
#include "schema/Schema.h"

using namespace schema;

namespace {

QString DayText(const QDate &day) {
    return QString::asprintf("%d-%d-%d", day.year(), day.month(), day.day());
}

QString EqualsClause(const char *column, const QString &value) {
    return value.isEmpty() ? QString() : QString::asprintf(" AND %s = '%s'", column, Quote(value).constData());
}

} // namespace

QString LogListStatement(const LogFilter &f) {
    return QString::asprintf("SELECT %s AS 序号,%s AS 时间,%s AS 用户,%s AS 操作,%s AS 单据编号,%s AS 票据类型,%s AS "
                             "开始编号,%s AS 结尾编号,%s AS 张数,%s AS 金额,%s AS 说明 FROM %s WHERE %s BETWEEN #%s# "
                             "AND #%s 23:59:59#",
                             Bill_Log_No, Bill_Log_Time, Bill_Log_User, Bill_Log_Operation, Bill_Log_Document_No,
                             Bill_Log_Kind, Bill_Log_Begin_Char, Bill_Log_End_Char, Bill_Log_Amount, Bill_Log_Total,
                             Bill_Log_Detail, Bill_Log_Info, Bill_Log_Time, qUtf8Printable(DayText(f.from)),
                             qUtf8Printable(DayText(f.to))) +
           EqualsClause(Bill_Log_User, f.user) + EqualsClause(Bill_Log_Operation, f.operation) +
           EqualsClause(Bill_Log_Kind, f.kind) + QString::asprintf(" ORDER BY %s", Bill_Log_ID);
}

QStringList LogOperations() {
    QStringList operations;
    for (const char *op :
         {logop::StockIn,      logop::Issue,        logop::Return,       logop::Amount,         logop::Void,
          logop::Delete,       logop::ForcedDelete, logop::KindDelete,   logop::CancelStockIn,  logop::CancelIssue,
          logop::CancelReturn, logop::AddMaster,    logop::DeleteMaster, logop::SetManager,     logop::StockLimit,
          logop::AddUser,      logop::ChangeUser,   logop::DeleteUser,   logop::ChangePassword, logop::Login,
          logop::FailedLogin,  logop::Exit})
        operations << QString::fromUtf8(op);
    return operations;
}

const SearchCatalogue &LogSearchCatalogue() {
    static const SearchCatalogue catalogue = MakeSearchCatalogue({{Bill_Log_User, "用户"},
                                                                  {Bill_Log_Operation, "操作"},
                                                                  {Bill_Log_Kind, "票据类型"},
                                                                  {Bill_Log_Begin_Char, "开始编号"},
                                                                  {Bill_Log_End_Char, "结尾编号"},
                                                                  {Bill_Log_Detail, "说明"}},
                                                                 {{Bill_Log_No, "序号"},
                                                                  {Bill_Log_Document_No, "单据编号"},
                                                                  {Bill_Log_Amount, "张数"},
                                                                  {Bill_Log_Total, "金额"}},
                                                                 {{Bill_Log_Time, "时间"}});
    return catalogue;
}
