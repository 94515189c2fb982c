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

void MoveWholeKind(CDatabase &db, const QByteArray &value, const KindColumns &match, const QByteArray &manager,
                   const QByteArray &time) {
    db.ExecuteStatement(QString::asprintf(
        "UPDATE %s SET %s = '%s',%s = '%s',%s = '%s' WHERE %s = '%s'", Bill_Info, Bill_Invalid_Time, time.constData(),
        Bill_Invalid_Manager, manager.constData(), Bill_Info_Remark, RemarkKindDeleted, match.run, value.constData()));
    db.ExecuteStatement(QString::asprintf("INSERT INTO %s SELECT * FROM %s WHERE %s = '%s'", Bill_Recycle_Info,
                                          Bill_Info, match.run, value.constData()));
    db.ExecuteStatement(QString::asprintf("INSERT INTO %s SELECT * FROM %s WHERE (%s = '%s')",
                                          Bill_Recycle_NoneFixed_Info, Bill_NoneFixed_Manifest_Info, match.singleBill,
                                          value.constData()));
    db.ExecuteStatement(QString::asprintf("DELETE FROM %s WHERE %s = '%s'", Bill_Info, match.run, value.constData()));
    db.ExecuteStatement(QString::asprintf("DELETE FROM %s WHERE %s = '%s'", Bill_NoneFixed_Manifest_Info,
                                          match.singleBill, value.constData()));
}

void MoveOneRun(CDatabase &db, const QByteArray &kind, const QByteArray &begin, const QByteArray &manager,
                const QByteArray &time) {
    db.ExecuteStatement(QString::asprintf("UPDATE %s SET %s = '%s',%s = '%s' WHERE %s = '%s' AND %s = '%s'", Bill_Info,
                                          Bill_Invalid_Time, time.constData(), Bill_Invalid_Manager,
                                          manager.constData(), Bill_Kind, kind.constData(), Bill_Begin_Char,
                                          begin.constData()));
    db.ExecuteStatement(QString::asprintf("INSERT INTO %s SELECT * FROM %s WHERE %s = '%s' AND %s = '%s'",
                                          Bill_Recycle_Info, Bill_Info, Bill_Kind, kind.constData(), Bill_Begin_Char,
                                          begin.constData()));
    db.ExecuteStatement(QString::asprintf("INSERT INTO %s SELECT * FROM %s WHERE (%s = '%s') AND (%s = '%s')",
                                          Bill_Recycle_NoneFixed_Info, Bill_NoneFixed_Manifest_Info,
                                          Bill_NoneFixed_Kind, kind.constData(), Bill_NoneFixed_Begin_Char,
                                          begin.constData()));
    db.ExecuteStatement(QString::asprintf("DELETE FROM %s WHERE %s = '%s' AND %s = '%s'", Bill_Info, Bill_Kind,
                                          kind.constData(), Bill_Begin_Char, begin.constData()));
    db.ExecuteStatement(QString::asprintf("DELETE FROM %s WHERE %s = '%s' AND %s = '%s'", Bill_NoneFixed_Manifest_Info,
                                          Bill_NoneFixed_Kind, kind.constData(), Bill_NoneFixed_Begin_Char,
                                          begin.constData()));
}

bool IsWholeKindMode(const QString &mode) {
    return mode == QString::fromUtf8(RemarkKindDeleted) || mode == QString::fromUtf8(RemarkMainKindDeleted);
}

} // namespace

void MoveBillsToRecycle(const QString &value, const QString &mode, const QString &manager, const QString &time) {
    CDatabase &db = TheDatabase();
    CTransaction transaction(db);
    if (IsWholeKindMode(mode))
        MoveWholeKind(db, Quote(value), ColumnsOfMode(mode), Quote(manager), Quote(time));
    else
        MoveOneRun(db, Quote(value), Quote(mode), Quote(manager), Quote(time));
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
