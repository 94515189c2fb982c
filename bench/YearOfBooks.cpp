#include "bench/YearOfBooks.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "schema/Schema.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

#include <QDate>

using namespace schema;

namespace {

constexpr int kKinds = 20;
constexpr int kDepartments = 30;
// Rows made before they are sent to the store.
constexpr int kRowsAtOnce = 10000;

} // namespace

void FillYearOfBooks(TestDatabase &t) {
    for (int k = 0; k < kKinds; ++k) {
        KindSpec kind;
        kind.name = QStringLiteral("票据%1").arg(k, 2, 10, QLatin1Char('0'));
        kind.mainKind = QStringLiteral("行政事业性收费");
        kind.unitAmount = 25;
        kind.unitPrice = 2;
        kind.noneFixed = k == kKinds - 1;
        AddKind(kind);
    }
    for (int d = 0; d < kDepartments; ++d)
        AddDepartment(QStringLiteral("部门%1").arg(d, 2, 10, QLatin1Char('0')));
    // Book i is of kind i % 20 and follows the book before it of its kind; every eleventh costs more,
    // every seventh returned book was used only in part, every third book is still out. The rows are
    // made here and sent through one prepared insert, so that both stores take the same rows.
    const QString insert = QString::asprintf(
        "INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s) "
        "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
        Bill_Info, Bill_Kind, Bill_Begin_Char, Bill_End_Char, Bill_Begin_Int, Bill_End_Int, Bill_Unit_Amount,
        Bill_Unit_Total, Bill_Main_Kind, Bill_Flag, Bill_Repository_Time, Bill_Issue_Time, Bill_Issue_Dept,
        Bill_Return_Time, Bill_Unit_Return_Amount, Bill_Unit_Return_Total, Bill_Return_End_Char, Bill_NoneFixed_Sum);
    const QDate firstDay(2024, 7, 1);
    const auto number = [](int n) { return TextValue(QStringLiteral("%1").arg(n, 8, 10, QLatin1Char('0'))); };
    const SqlValue null = NullValue();
    CTransaction transaction;
    QVector<QVector<SqlValue>> rows;
    for (int i = 0; i < YearOfBooksRuns; ++i) {
        const int first = i / kKinds * 25 + 1;
        const double total = i % 11 == 0 ? 62.5 : 50.0;
        const QDate issued = firstDay.addDays(i % 540);
        const bool back = i % 3 != 0;
        const bool partly = i % 7 == 0;
        rows.append({TextValue(QStringLiteral("票据%1").arg(i % kKinds, 2, 10, QLatin1Char('0'))), number(first),
                     number(first + 24), RealValue(first), RealValue(first + 24), IntegerValue(25), RealValue(total),
                     TextValue(QStringLiteral("行政事业性收费")),
                     TextValue(QString::fromUtf8(back ? FlagReturned : FlagIssued)),
                     TextValue(QStringLiteral("2024-06-01 09:00:00")),
                     TextValue(issued.toString(QStringLiteral("yyyy-MM-dd 09:00:00"))),
                     TextValue(QStringLiteral("部门%1").arg(i % kDepartments, 2, 10, QLatin1Char('0'))),
                     back ? TextValue(issued.addDays(20).toString(QStringLiteral("yyyy-MM-dd 16:00:00"))) : null,
                     back ? IntegerValue(partly ? 20 : 25) : null,
                     back ? RealValue(partly ? total * 0.8 : total) : null,
                     back ? number(first + (partly ? 19 : 24)) : null, IntegerValue(i % kKinds == kKinds - 1 ? -1 : 0)});
        if (rows.size() == kRowsAtOnce || i == YearOfBooksRuns - 1) {
            t.Db().ExecutePrepared(insert, rows);
            rows.clear();
        }
    }
    transaction.Commit();
}
