// The history of one bill number among a million stored books, half of them deleted.
#include "app/Dialect.h"
#include "bench/Bench.h"
#include "bills/BillHistory.h"
#include "schema/Schema.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

using namespace schema;

namespace {

constexpr int kRuns = 1000000;
constexpr int kUnit = 100;
constexpr int kLookups = 1000;

// Books i * 100 + 1 to i * 100 + 100 of the kind, for i from first to last - 1.
void InsertBooks(TestDatabase &t, const char *table, const QString &kind, int first, int last) {
    t.Db().ExecutePrepared(
        QString::asprintf(
            "WITH RECURSIVE n(i) AS (SELECT %d UNION ALL SELECT i + 1 FROM n WHERE i + 1 < %d) "
            "INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s,%s,%s) SELECT i + 1, '%s', printf('%%010d', i * %d + 1), "
            "printf('%%010d', i * %d + %d), i * %d + 1, i * %d + %d, %d, '%s', '2026-01-05 09:00:00' FROM n",
            first, last, table, Bill_ID, Bill_Kind, Bill_Begin_Char, Bill_End_Char, Bill_Begin_Int, Bill_End_Int,
            Bill_Unit_Amount, Bill_Flag, Bill_Repository_Time, qUtf8Printable(kind), kUnit, kUnit, kUnit, kUnit, kUnit,
            kUnit, kUnit, FlagStock),
        {{}});
}

const BenchRegistration lookup("history_lookup_1m_runs_ms", "ms", [] {
    TestDatabase t;
    KindSpec kind;
    kind.name = QStringLiteral("定额票据");
    kind.mainKind = QStringLiteral("行政事业性收费");
    kind.length = 10;
    kind.unitAmount = kUnit;
    AddKind(kind);
    {
        CTransaction transaction;
        InsertBooks(t, Bill_Info, kind.name, 0, kRuns / 2);
        InsertBooks(t, Bill_Recycle_Info, kind.name, kRuns / 2, kRuns);
        transaction.Commit();
    }
    // Numbers spread over both tables and beyond them; every one is looked up as the dialog does.
    int found = 0;
    const double s = SecondsOf([&] {
        for (int i = 0; i < kLookups; ++i) {
            const double value = double(i) * 110017 + 7;
            for (const HistoryBook &book : FindBooksHolding(kind.name, kUnit, value))
                found += BookRoad(book, value).isEmpty() ? 0 : 1;
        }
    });
    return found > kLookups / 2 ? s * 1000 / kLookups : -1;
});

} // namespace
