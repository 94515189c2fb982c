// A verified backup of a data file holding 100,000 books: the copy, which holds the clerk up, and
// the check of the copy with the pruning, which runs on a thread beside the clerk's work.
#include "app/Backup.h"
#include "app/Dialect.h"
#include "bench/Bench.h"
#include "schema/Schema.h"
#include "tests/support/TestSupport.h"

#include <QDir>

using namespace schema;

namespace {

constexpr int kRuns = 100000;

void FillBooks(TestDatabase &t) {
    {
        // Books filled the way a year of work leaves them: stocked, issued and returned.
        CTransaction transaction;
        t.Db().ExecutePrepared(
            QString::asprintf(
                "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < %d) "
                "INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s) SELECT "
                "'行政事业性收费票据', "
                "'行政事业性收费', printf('%%010d', i * 100 + 1), printf('%%010d', i * 100 + 100), i * 100 + 1, "
                "i * 100 + 100, 2, 100, 200, '%s', '2026-01-05 09:00:00', '张三', 100000000000000 + i / 50, "
                "'2026-01-01 00:00:00', '省印刷厂', '2026-02-01 10:00:00', '收费科', '赵领票', "
                "200000000000000 + i / 20, '李管理' FROM n",
                kRuns, Bill_Info, Bill_Kind, Bill_Main_Kind, Bill_Begin_Char, Bill_End_Char, Bill_Begin_Int,
                Bill_End_Int, Bill_Unit_Price, Bill_Unit_Amount, Bill_Unit_Total, Bill_Flag, Bill_Repository_Time,
                Bill_Repository_Manager, Bill_Repository_No, Bill_Made_Time, Bill_Made_Units, Bill_Issue_Time,
                Bill_Issue_Dept, Bill_Issue_Broker, Bill_Issue_No, Bill_Issue_Manager, FlagIssued),
            {{}});
        transaction.Commit();
    }
}

const BenchRegistration backup("backup_100k_runs_s", "s", [] {
    TestDatabase t;
    FillBooks(t);
    const QString dataFile = QDir(t.Dir()).filePath(CDatabase::DataFileName());
    bool ok = false;
    const double s = SecondsOf([&] { ok = CopyDatabase(t.Db(), dataFile, QDateTime::currentDateTime()).ok; });
    return ok ? s : -1;
});

const BenchRegistration verify("backup_verify_100k_runs_s", "s", [] {
    TestDatabase t;
    FillBooks(t);
    const BackupOutcome copied =
        CopyDatabase(t.Db(), QDir(t.Dir()).filePath(CDatabase::DataFileName()), QDateTime::currentDateTime());
    bool ok = false;
    const double s = SecondsOf([&] { ok = VerifyBackup(copied).ok; });
    return ok ? s : -1;
});

} // namespace
