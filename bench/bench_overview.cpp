// The overview over a year of a busy unit: one pass over 100,000 books.
#include "bench/Bench.h"
#include "bench/YearOfBooks.h"
#include "mainwindow/Overview.h"
#include "tests/support/TestSupport.h"

namespace {

// Milliseconds of one reading of the overview; -1 when it saw no book.
double OverviewMilliseconds() {
    TestDatabase t;
    FillYearOfBooks(t);
    OverviewFigures figures;
    const double s = SecondsOf([&] { figures = ReadOverview(QDateTime(QDate(2025, 12, 31), QTime(18, 0))); });
    return figures.booksOut + figures.returnedThisYear > 0 ? s * 1000 : -1;
}

const BenchRegistration overview("overview_100k_runs_ms", "ms", OverviewMilliseconds);

} // namespace
