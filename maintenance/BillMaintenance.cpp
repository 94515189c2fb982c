#include "maintenance/BillMaintenance.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "audit/OperationLog.h"
#include "bills/BillNumbers.h"
#include "bills/StockMoves.h"
#include "masterdata/RecycleBills.h"
#include "schema/Schema.h"

using namespace schema;

namespace {

// The log entry of a run taken out of use.
LogEntry RunEntry(const char *operation, const QString &kind, const QString &beginChar, const RunInfo &run,
                  const QString &manager) {
    return {QString::fromUtf8(operation),
            0,
            kind,
            beginChar,
            run.endChar,
            run.count,
            run.total,
            QStringLiteral("原状态 %1，管理员 %2").arg(run.flag, manager)};
}

// Dates of the document range as the statements write them: the whole of both days.
QString RangeStart(const QDate &day) {
    return QString::asprintf("%d-%d-%d", day.year(), day.month(), day.day());
}

QString RangeEnd(const QDate &day) {
    return RangeStart(day) + QStringLiteral(" 23:59:59");
}

// Clears what the return of the document recorded, before its number goes: the single bills' amounts
// of its books of non-fixed amount and those books' amount (both 0 at stock-in), then every return
// column of its runs.
void ClearReturnStamps(CDatabase &db, const QByteArray &no) {
    db.ExecuteStatement(QString::asprintf(
        "UPDATE %s SET %s = 0 WHERE EXISTS (SELECT * FROM %s WHERE %s.%s = %s.%s AND %s.%s = %s.%s AND %s.%s = %s)",
        Bill_NoneFixed_Manifest_Info, Bill_NoneFixed_Unit_Price, Bill_Info, Bill_Info, Bill_Kind,
        Bill_NoneFixed_Manifest_Info, Bill_NoneFixed_Kind, Bill_Info, Bill_Begin_Char, Bill_NoneFixed_Manifest_Info,
        Bill_NoneFixed_Begin_Char, Bill_Info, Bill_Return_No, no.constData()));
    db.ExecuteStatement(QString::asprintf("UPDATE %s SET %s = 0 WHERE %s = %s AND %s = TRUE", Bill_Info,
                                          Bill_Unit_Total, Bill_Return_No, no.constData(), Bill_NoneFixed_Sum));
    db.ExecuteStatement(QString::asprintf(
        "UPDATE %s SET %s = NULL, %s = NULL, %s = NULL, %s = NULL, %s = NULL, %s = NULL, %s = NULL, %s = NULL "
        "WHERE %s = %s",
        Bill_Info, Bill_Return_Time, Bill_Return_Dept, Bill_Return_Broker, Bill_Return_Manager, Bill_Return_End_Char,
        Bill_Return_End_Int, Bill_Unit_Return_Amount, Bill_Unit_Return_Total, Bill_Return_No, no.constData()));
}

// Takes the run found as it was read, for the rest of the transaction: its state must still be the
// one read, or another desk changed or removed it meanwhile and the whole change runs again on what
// it holds now.
void HoldRunAsRead(const QString &kind, const QString &beginChar, const RunInfo &run) {
    CDatabase &db = TheDatabase();
    const QString state = run.flag.isEmpty() ? QString::asprintf("%s IS NULL", Bill_Flag)
                                             : QString::asprintf("COALESCE(%s, '') = '%s'", Bill_Flag, Quote(run.flag).constData());
    db.ExecuteStatement(QString::asprintf("UPDATE %s SET %s = %s WHERE %s = '%s' AND %s = '%s' AND ", Bill_Info,
                                          Bill_Flag, Bill_Flag, Bill_Kind, Quote(kind).constData(), Bill_Begin_Char,
                                          Quote(beginChar).constData()) +
                        state);
    if (db.ChangedRows() != 1)
        throw CDbError(ChangedMeanwhileText(), DbFailure::Conflict);
}

// The runs read are the runs changed: another desk that moved one of them, or wrote one more under
// the number, since they were read makes the cancel run again on what the books hold now.
void ExpectChangedRows(int runs) {
    if (TheDatabase().ChangedRows() != runs)
        throw CDbError(ChangedMeanwhileText(), DbFailure::Conflict);
}

} // namespace

QString ChangedMeanwhileText() {
    return QStringLiteral("这些票据刚被其他操作员改动过。");
}

QString VoidRunStatement(const QString &kind, const QString &beginChar, const QString &time, const QString &manager) {
    return QString::asprintf("UPDATE %s SET %s = '%s',%s = '%s',%s = '%s' WHERE %s = '%s' AND %s = '%s'", Bill_Info,
                             Bill_Invalid_Time, Quote(time).constData(), Bill_Invalid_Manager,
                             Quote(manager).constData(), Bill_Flag, FlagVoid, Bill_Kind, Quote(kind).constData(),
                             Bill_Begin_Char, Quote(beginChar).constData());
}

RunChange VoidRun(const QString &kind, const QString &beginChar, const QString &time, const QString &manager) {
    return RunRetrying([&] {
        CDatabase &db = TheDatabase();
        CTransaction transaction(db);
        RunInfo run;
        if (!FindRun(kind, beginChar, run))
            return RunChange::NoRun;
        HoldRunAsRead(kind, beginChar, run);
        db.ExecuteStatement(VoidRunStatement(kind, beginChar, time, manager));
        WriteLog(RunEntry(logop::Void, kind, beginChar, run, manager));
        transaction.Commit();
        return RunChange::Done;
    });
}

RunChange RecycleRun(const QString &kind, const QString &beginChar, const QString &time, const QString &manager,
                     const char *operation) {
    return RunRetrying([&] {
        CTransaction transaction;
        RunInfo run;
        // A first number that reads like a whole-kind mode word could never name a run of its own.
        if (beginChar == QString::fromUtf8(RemarkKindDeleted) ||
            beginChar == QString::fromUtf8(RemarkMainKindDeleted) || !FindRun(kind, beginChar, run))
            return RunChange::NoRun;
        HoldRunAsRead(kind, beginChar, run);
        MoveBillsToRecycle(kind, beginChar, manager, time);
        WriteLog(RunEntry(operation, kind, beginChar, run, manager));
        transaction.Commit();
        return RunChange::Done;
    });
}

QStringList ForcedObjects() {
    return {QString::fromUtf8(FlagReturned), QString::fromUtf8(FlagVoid)};
}

QString ForcedListStatement(const QString &object) {
    const char *order = nullptr;
    if (object == QString::fromUtf8(FlagReturned))
        order = Bill_Return_Time;
    else if (object == QString::fromUtf8(FlagVoid))
        order = Bill_Invalid_Time;
    else
        return QString();
    return QString::asprintf(" SELECT %s AS 票据类型,%s AS 领票人,%s AS 开始编号,%s AS 结尾编号,%s AS 单价,%s AS "
                             "张数,%s AS 金额,%s AS 领票时间,%s AS 发票人 FROM %s WHERE %s = '%s' ORDER BY %s ASC ",
                             Bill_Kind, Bill_Issue_Broker, Bill_Begin_Char, Bill_End_Char, Bill_Unit_Price,
                             Bill_Unit_Amount, Bill_Unit_Total, Bill_Issue_Time, Bill_Issue_Manager, Bill_Info,
                             Bill_Flag, Quote(object).constData(), order);
}

double SumMoneyTexts(const QStringList &cells) {
    qint64 cents = 0;
    for (const QString &cell : cells)
        if (!cell.isEmpty())
            cents += ToCents(StripMoneySign(cell).toDouble());
    return double(cents) / 100.0;
}

const QVector<DocumentKind> &DocumentKinds() {
    static const QVector<DocumentKind> kinds = {
        {"入库单", Bill_Repository_No, Bill_Repository_Time, Bill_Repository_Manager, FlagStock, nullptr,
         "票据：%s \n 已不是库存票据", logop::CancelStockIn},
        {"出库单", Bill_Issue_No, Bill_Issue_Time, Bill_Issue_Manager, FlagIssued, FlagStock,
         "票据：%s \n 已不是运作票据", logop::CancelIssue},
        {"回收单", Bill_Return_No, Bill_Return_Time, Bill_Return_Manager, FlagReturned, FlagIssued,
         "票据：%s \n 已不是回收票据", logop::CancelReturn, true},
    };
    return kinds;
}

const DocumentKind *FindDocumentKind(const QString &name) {
    for (const DocumentKind &kind : DocumentKinds())
        if (name == QString::fromUtf8(kind.name))
            return &kind;
    return nullptr;
}

QString DocumentListStatement(const DocumentKind &kind, const QDate &from, const QDate &to) {
    return QString::asprintf("SELECT %s AS %s,MIN(%s) AS %s,MIN(%s) AS %s,COUNT(*) AS %s FROM %s WHERE (%s IS NOT "
                             "NULL) GROUP BY %s HAVING (MIN(%s) BETWEEN #%s# AND #%s#) ORDER BY %s ASC",
                             kind.numberColumn, "单据编号", kind.managerColumn, "操作人", kind.timeColumn, "操作时间",
                             "本数", Bill_Info, kind.numberColumn, kind.numberColumn, kind.timeColumn,
                             qUtf8Printable(RangeStart(from)), qUtf8Printable(RangeEnd(to)), kind.numberColumn);
}

QString DocumentRunsStatement(const DocumentKind &kind, const QString &number) {
    return QString::asprintf("SELECT %s AS %s,%s AS %s,%s AS %s,%s AS %s FROM %s WHERE %s = %s ORDER BY %s ASC",
                             Bill_Kind, "票据类型", Bill_Begin_Char, "开始编号", Bill_End_Char, "结尾编号", Bill_Flag,
                             "当前状态", Bill_Info, kind.numberColumn, qUtf8Printable(number), Bill_Begin_Int);
}

bool IsDocumentNumber(const QString &text) {
    return IsDigitText(text);
}

namespace {

DocumentCancel CancelDocumentOnce(const DocumentKind &kind, const QString &number) {
    DocumentCancel result;
    const QByteArray no = number.toLatin1();
    CDatabase &db = TheDatabase();
    CTransaction transaction(db);
    db.OpenQuery(QString::asprintf(" SELECT * FROM %s WHERE %s = %s ORDER BY %s ", Bill_Info, kind.numberColumn,
                                   no.constData(), Bill_Begin_Int));
    QVector<LogEntry> log;
    const QString detail =
        kind.stateAfterCancel ? QStringLiteral("%1 %2 撤销，票据回到%3")
                                    .arg(QString::fromUtf8(kind.name), number, QString::fromUtf8(kind.stateAfterCancel))
                              : QStringLiteral("%1 %2 撤销，票据从库存删除").arg(QString::fromUtf8(kind.name), number);
    int stateless = 0;
    for (; !db.IsEOF(); db.MoveNext()) {
        QString flag;
        QString begin;
        db.ReadFieldText(QString::fromLatin1(Bill_Begin_Char), begin);
        if (!db.ReadFieldText(QString::fromLatin1(Bill_Flag), flag))
            ++stateless;
        else if (flag != QString::fromUtf8(kind.requiredState))
            result.offending << begin;
        LogEntry entry{
            QString::fromUtf8(kind.cancelOperation), number.toDouble(), QString(), begin, QString(), 0, 0, detail};
        double count = 0;
        db.ReadFieldText(QString::fromLatin1(Bill_Kind), entry.kind);
        db.ReadFieldText(QString::fromLatin1(Bill_End_Char), entry.last);
        db.ReadFieldNumber(QString::fromLatin1(Bill_Unit_Amount), count);
        db.ReadFieldNumber(QString::fromLatin1(Bill_Unit_Total), entry.amount);
        entry.count = int(count);
        log << entry;
    }
    db.CloseQuery();
    if (log.isEmpty()) {
        result.outcome = DocumentCancel::NothingLeft;
        return result;
    }
    if (!result.offending.isEmpty()) {
        result.outcome = DocumentCancel::Refused;
        return result;
    }
    if (!kind.stateAfterCancel) {
        // The single bills go with their books, so that none is left without one.
        db.ExecuteStatement(QString::asprintf(
            "DELETE FROM %s WHERE EXISTS (SELECT * FROM %s WHERE %s.%s = %s.%s AND %s.%s = %s.%s AND %s.%s = '%s' "
            "AND %s.%s = %s)",
            Bill_NoneFixed_Manifest_Info, Bill_Info, Bill_Info, Bill_Kind, Bill_NoneFixed_Manifest_Info,
            Bill_NoneFixed_Kind, Bill_Info, Bill_Begin_Char, Bill_NoneFixed_Manifest_Info, Bill_NoneFixed_Begin_Char,
            Bill_Info, Bill_Flag, FlagStock, Bill_Info, Bill_Repository_No, no.constData()));
        db.ExecuteStatement(QString::asprintf("DELETE FROM %s WHERE (%s = '%s') AND (%s = %s)", Bill_Info, Bill_Flag,
                                              FlagStock, Bill_Repository_No, no.constData()));
        ExpectChangedRows(int(log.size()) - stateless);
    } else {
        if (kind.clearsReturn)
            ClearReturnStamps(db, no);
        db.ExecuteStatement(
            QString::asprintf("UPDATE %s SET %s = NULL, %s = '%s' WHERE %s = %s AND (%s = '%s' OR %s IS NULL)",
                              Bill_Info, kind.numberColumn, Bill_Flag, kind.stateAfterCancel, kind.numberColumn,
                              no.constData(), Bill_Flag, kind.requiredState, Bill_Flag));
        ExpectChangedRows(int(log.size()));
    }
    WriteLog(log);
    transaction.Commit();
    result.outcome = DocumentCancel::Done;
    result.runs = int(log.size());
    return result;
}

} // namespace

DocumentCancel CancelDocument(const DocumentKind &kind, const QString &number) {
    if (!IsDocumentNumber(number))
        return DocumentCancel();
    return RunRetrying([&] { return CancelDocumentOnce(kind, number); });
}

QString CancelRefusalText(const DocumentKind &kind, const QStringList &offending) {
    QString list;
    for (const QString &begin : offending)
        list += begin + QLatin1Char(',');
    return QString::asprintf(kind.refusal, qUtf8Printable(list));
}
