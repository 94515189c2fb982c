// Figures of the report generators over a year of a busy unit: 100,000 books of 20 kinds issued to
// 30 departments from mid-2024 to the end of 2025, two in three of them returned.
#include "bench/Bench.h"
#include "bench/YearOfBooks.h"
#include "reports/ReportGenerators.h"
#include "tests/support/TestSupport.h"

namespace {

const QString kFrom = QStringLiteral("2025-1-1 0:0:0");
const QString kTo = QStringLiteral("2025-12-31 23:59:59");

// Seconds of one run of the report; a report without rows measures nothing and gives -1.
double ReportSeconds(bool annual) {
    TestDatabase t;
    FillYearOfBooks(t);
    const QStringList kinds = ReadReportKinds();
    int rows = 0;
    const double s = SecondsOf(
        [&] { rows = int((annual ? AnnualAuditTable(kinds, kFrom, kTo) : MonthlyReport(kFrom, kTo)).rows.size()); });
    return rows > 1 ? s : -1;
}

const BenchRegistration annual("report_annual_100k_runs_s", "s", [] { return ReportSeconds(true); });

const BenchRegistration monthly("report_monthly_100k_runs_s", "s", [] { return ReportSeconds(false); });

} // namespace
