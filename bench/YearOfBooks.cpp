#include "bench/YearOfBooks.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "schema/Schema.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

using namespace schema;

namespace {

constexpr int kKinds = 20;
constexpr int kDepartments = 30;

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
    // every seventh returned book was used only in part, every third book is still out.
    CTransaction transaction;
    t.Db().ExecutePrepared(
        QString::asprintf(
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < %d), "
            "b AS (SELECT i, i / %d * 25 + 1 AS first, CASE WHEN i %% 11 = 0 THEN 62.5 ELSE 50.0 END AS total, "
            "date('2024-07-01', '+' || (i %% 540) || ' days') AS issued, i %% 3 <> 0 AS back FROM n) "
            "INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s) "
            "SELECT printf('票据%%02d', i %% %d), printf('%%08d', first), printf('%%08d', first + 24), first, "
            "first + 24, 25, total, '%s', CASE WHEN back THEN '%s' ELSE '%s' END, '2024-06-01 09:00:00', "
            "issued || ' 09:00:00', printf('部门%%02d', i %% %d), "
            "CASE WHEN back THEN date(issued, '+20 days') || ' 16:00:00' END, "
            "CASE WHEN back THEN CASE WHEN i %% 7 = 0 THEN 20 ELSE 25 END END, "
            "CASE WHEN back THEN CASE WHEN i %% 7 = 0 THEN total * 0.8 ELSE total END END, "
            "CASE WHEN back THEN printf('%%08d', first + CASE WHEN i %% 7 = 0 THEN 19 ELSE 24 END) END, "
            "CASE WHEN i %% %d = %d THEN -1 ELSE 0 END FROM b",
            YearOfBooksRuns, kKinds, Bill_Info, Bill_Kind, Bill_Begin_Char, Bill_End_Char, Bill_Begin_Int, Bill_End_Int,
            Bill_Unit_Amount, Bill_Unit_Total, Bill_Main_Kind, Bill_Flag, Bill_Repository_Time, Bill_Issue_Time,
            Bill_Issue_Dept, Bill_Return_Time, Bill_Unit_Return_Amount, Bill_Unit_Return_Total, Bill_Return_End_Char,
            Bill_NoneFixed_Sum, kKinds, "行政事业性收费", FlagReturned, FlagIssued, kDepartments, kKinds, kKinds - 1),
        {{}});
    transaction.Commit();
}
