// Figures of the stock operations, measured through the functions the stock-in and issue dialogs run.
#include "app/Dialect.h"
#include "bench/Bench.h"
#include "bills/BillNumbers.h"
#include "bills/StockIn.h"
#include "bills/StockMoves.h"
#include "schema/Schema.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

using namespace schema;

namespace {

constexpr int kBooks = 999;
constexpr int kUnit = 100;
constexpr int kStoredRuns = 1000000;
constexpr int kChecks = 1000;

KindSpec Kind(bool noneFixed) {
    KindSpec kind;
    kind.name = noneFixed ? QStringLiteral("不定额票据") : QStringLiteral("定额票据");
    kind.mainKind = QStringLiteral("行政事业性收费");
    kind.length = 10;
    kind.unitAmount = kUnit;
    kind.unitPrice = 2;
    kind.noneFixed = noneFixed;
    return kind;
}

StockInEntry Entry(const QString &kindName, double begin, int books) {
    StockInEntry entry;
    ReadKind(kindName, entry.kind);
    entry.width = entry.kind.length;
    entry.begin = begin;
    entry.books = books;
    entry.stockTime = FormatDateTime(QDateTime::currentDateTime());
    entry.madeTime = entry.stockTime;
    entry.manager = QStringLiteral("张三");
    entry.madeUnits = QStringLiteral("印刷厂");
    entry.documentNo = 100000000000000.0;
    return entry;
}

// The overlap test and the insert of one entry of 999 books, as "确定" runs them.
double StockInSeconds(bool noneFixed) {
    TestDatabase t;
    AddKind(Kind(noneFixed));
    AddStockRun(Kind(noneFixed), 1); // a stored book below the entry
    const StockInEntry entry = Entry(Kind(noneFixed).name, 1 + kUnit, kBooks);
    return SecondsOf([&] {
        double shared = 0;
        if (!FindOverlap(entry.kind.name, entry.kind.unitAmount, entry.begin, entry.Last(), shared))
            InsertStockRuns(entry);
    });
}

const BenchRegistration stockIn("stockin_999_books_s", "s", [] { return StockInSeconds(false); });

const BenchRegistration stockInNonFixed("stockin_nonfixed_999x100_s", "s", [] { return StockInSeconds(true); });

// The 999 books of one stock-in issued to one department at once, as "确定" of the issue dialog runs it.
const BenchRegistration issue("issue_999_books_s", "s", [] {
    TestDatabase t;
    const KindSpec kind = Kind(false);
    AddKind(kind);
    AddDepartment(QStringLiteral("财务科"));
    InsertStockRuns(Entry(kind.name, 1, kBooks));
    QVector<RunKey> runs;
    for (const QString &begin : t.Rows(QString::asprintf("SELECT %s FROM %s ORDER BY %s", Bill_Begin_Char, Bill_Info,
                                                         Bill_Begin_Int))
                                    .split(u' '))
        runs.append({kind.name, begin});
    const IssueStamp stamp{FormatDateTime(QDateTime::currentDateTime()), QStringLiteral("财务科"),
                           QStringLiteral("李四"), QStringLiteral("张三"), 200000000000000.0};
    MoveOutcome outcome;
    const double s = SecondsOf([&] { outcome = IssueRuns(runs, stamp); });
    const bool allIssued = t.Count(Bill_Info, QStringLiteral("%1 = '%2'").arg(Bill_Flag, FlagIssued)) == kBooks;
    return outcome.kind == MoveOutcome::Done && runs.size() == kBooks && allIssued ? s : -1;
});

const BenchRegistration overlap("overlap_check_1m_runs_ms", "ms", [] {
    TestDatabase t;
    const KindSpec kind = Kind(false);
    AddKind(kind);
    {
        // A million books of the kind, one after the other: one block of numbers 1 to 100,000,000.
        CTransaction transaction;
        t.Db().ExecutePrepared(
            QString::asprintf("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < %d) "
                              "INSERT INTO %s (%s,%s,%s,%s,%s,%s) SELECT '%s', printf('%%010d', i * %d + 1), "
                              "i * %d + 1, i * %d + %d, %d, '%s' FROM n",
                              kStoredRuns, Bill_Info, Bill_Kind, Bill_Begin_Char, Bill_Begin_Int, Bill_End_Int,
                              Bill_Unit_Amount, Bill_Flag, qUtf8Printable(kind.name), kUnit, kUnit, kUnit, kUnit, kUnit,
                              FlagStock),
            {{}});
        transaction.Commit();
    }
    // Entries of 10 books spread over the stored numbers and beyond them; half of them overlap.
    int refused = 0;
    const double s = SecondsOf([&] {
        for (int i = 0; i < kChecks; ++i) {
            const double first = double(i) * 199999 + 1;
            double shared = 0;
            refused += FindOverlap(kind.name, kUnit, first, first + 10 * kUnit - 1, shared) ? 1 : 0;
        }
    });
    return refused > 0 ? s * 1000 / kChecks : -1;
});

} // namespace
