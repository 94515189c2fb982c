#include "masterdata/RecycleBills.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "audit/OperationLog.h"
#include "bills/BillNumbers.h"
#include "masterdata/Managers.h"
#include "masterdata/NameTable.h"
#include "schema/Schema.h"

using namespace schema;

namespace {

// The run column and the single-bill column that a whole-kind move matches against its value.
struct KindColumns {
    const char *run;
    const char *singleBill;
};

KindColumns ColumnsOfMode(const QString &mode) {
    if (mode == QString::fromUtf8(RemarkMainKindDeleted))
        return {Bill_Main_Kind, Bill_NoneFixed_Main_Kind};
    return {Bill_Kind, Bill_NoneFixed_Kind};
}

// The deletion's stamps as the recycle rows take them: the time zero-padded, the name quoted.
struct DeletionStamps {
    QByteArray time;
    QByteArray manager;
};

DeletionStamps MakeStamps(const QString &manager, const QString &time) {
    return {StoredDateTimeText(time).toLatin1(), Quote(manager)};
}

// Copies the rows the condition picks whole into the recycle table, stamped with the deletion, and
// deletes them. The run's own void stamps stay as they were.
void MoveRows(CDatabase &db, const char *table, const char *recycle, const QByteArray &where,
              const DeletionStamps &stamps) {
    db.ExecuteStatement(QString::asprintf("INSERT INTO %s SELECT *,'%s','%s' FROM %s WHERE %s", recycle,
                                          stamps.time.constData(), stamps.manager.constData(), table,
                                          where.constData()));
    db.ExecuteStatement(QString::asprintf("DELETE FROM %s WHERE %s", table, where.constData()));
}

void MoveWholeKind(CDatabase &db, const QByteArray &value, const KindColumns &match, const DeletionStamps &stamps) {
    const QByteArray runs = QByteArray(match.run) + " = '" + value + "'";
    db.ExecuteStatement(QString::asprintf("UPDATE %s SET %s = '%s' WHERE %s", Bill_Info, Bill_Info_Remark,
                                          RemarkKindDeleted, runs.constData()));
    MoveRows(db, Bill_NoneFixed_Manifest_Info, Bill_Recycle_NoneFixed_Info,
             QByteArray(match.singleBill) + " = '" + value + "'", stamps);
    MoveRows(db, Bill_Info, Bill_Recycle_Info, runs, stamps);
}

void MoveOneRun(CDatabase &db, const QByteArray &kind, const QByteArray &begin, const DeletionStamps &stamps) {
    MoveRows(db, Bill_NoneFixed_Manifest_Info, Bill_Recycle_NoneFixed_Info,
             QByteArray(Bill_NoneFixed_Kind) + " = '" + kind + "' AND " + Bill_NoneFixed_Begin_Char + " = '" + begin +
                 "'",
             stamps);
    MoveRows(db, Bill_Info, Bill_Recycle_Info,
             QByteArray(Bill_Kind) + " = '" + kind + "' AND " + Bill_Begin_Char + " = '" + begin + "'", stamps);
}

bool IsWholeKindMode(const QString &mode) {
    return mode == QString::fromUtf8(RemarkKindDeleted) || mode == QString::fromUtf8(RemarkMainKindDeleted);
}

} // namespace

void MoveBillsToRecycle(const QString &value, const QString &mode, const QString &manager, const QString &time) {
    CDatabase &db = TheDatabase();
    CTransaction transaction(db);
    const DeletionStamps stamps = MakeStamps(manager, time);
    if (IsWholeKindMode(mode))
        MoveWholeKind(db, Quote(value), ColumnsOfMode(mode), stamps);
    else
        MoveOneRun(db, Quote(value), Quote(mode), stamps);
    transaction.Commit();
}

bool RecycleBills(const QString &value, const QString &mode, const QString &manager, const QString &time) {
    return RunReported(ErrorReport::Db, [&] { MoveBillsToRecycle(value, mode, manager, time); });
}

namespace {

// The log entries of the runs a whole-kind move takes, one per book.
QVector<LogEntry> KindRunEntries(const QString &value, const QString &mode, const QString &manager) {
    CDatabase &db = TheDatabase();
    db.OpenQuery(QString::asprintf("SELECT %s,%s,%s,%s,%s,%s FROM %s WHERE %s = '%s' ORDER BY %s", Bill_Kind,
                                   Bill_Begin_Char, Bill_End_Char, Bill_Unit_Amount, Bill_Unit_Total, Bill_Flag,
                                   Bill_Info, ColumnsOfMode(mode).run, Quote(value).constData(), Bill_ID));
    QVector<LogEntry> entries;
    for (; !db.IsEOF(); db.MoveNext()) {
        LogEntry entry;
        entry.operation = QString::fromUtf8(logop::KindDelete);
        double count = 0;
        QString flag;
        db.ReadFieldText(0, entry.kind);
        db.ReadFieldText(1, entry.first);
        db.ReadFieldText(2, entry.last);
        db.ReadFieldNumber(3, count);
        db.ReadFieldNumber(4, entry.amount);
        db.ReadFieldText(5, flag);
        entry.count = int(count);
        entry.detail = QStringLiteral("随类型 %1 删除，原状态 %2，管理员 %3").arg(value, flag, manager);
        entries << entry;
    }
    db.CloseQuery();
    return entries;
}

} // namespace

bool DeleteKindWithBills(const NameTable &table, const QString &name, const char *mode) {
    const QString time = FormatDateTime(QDateTime::currentDateTime());
    const QString manager = GetCurrentManager();
    return RunReported(table.writeReport, [&] {
        CTransaction transaction;
        ExecuteDeleteName(table, name);
        const QVector<LogEntry> moved = KindRunEntries(name, QString::fromUtf8(mode), manager);
        MoveBillsToRecycle(name, QString::fromUtf8(mode), manager, time);
        WriteLog(moved);
        transaction.Commit();
    });
}
