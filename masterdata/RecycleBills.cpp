#include "masterdata/RecycleBills.h"

#include "app/Database.h"
#include "app/Dialect.h"
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

bool DeleteKindWithBills(const NameTable &table, const QString &name, const char *mode) {
    const QString time = FormatDateTime(QDateTime::currentDateTime());
    const QString manager = GetCurrentManager();
    return RunReported(table.writeReport, [&] {
        CTransaction transaction;
        ExecuteDeleteName(table, name);
        MoveBillsToRecycle(name, QString::fromUtf8(mode), manager, time);
        transaction.Commit();
    });
}
