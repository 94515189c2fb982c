// Figures of void, forced operation and operation documents over a large store.
#include "app/Dialect.h"
#include "bench/Bench.h"
#include "bills/BillNumbers.h"
#include "lists/QueryListCtrl.h"
#include "maintenance/BillMaintenance.h"
#include "maintenance/ForcedOperationDlg.h"
#include "schema/Schema.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

using namespace schema;

namespace {

constexpr int kStoredRuns = 100000;
constexpr int kRunsPerDocument = 100; // 1000 documents of each kind
const QString kKind = QStringLiteral("定额票据");

// 100,000 returned books of one kind, stamped today; every 100 share the stock-in, issue and return
// document numbers.
void AddReturnedRuns(TestDatabase &t) {
    KindSpec kind;
    kind.name = kKind;
    kind.mainKind = QStringLiteral("行政事业性收费");
    AddKind(kind);
    const QString today = FormatDateTime(QDateTime(QDate::currentDate(), QTime(10, 0, 0)));
    CTransaction transaction;
    t.Db().ExecutePrepared(
        QString::asprintf("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < %d) "
                          "INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s) SELECT '%s', "
                          "printf('%%010d', i * 100 + 1), printf('%%010d', i * 100 + 100), i * 100 + 1, i * 100 + 100, "
                          "2, 100, 200, '%s', '%s', '张三', '李四', '%s', 200000000000000 + i / %d, "
                          "'%s', 300000000000000 + i / %d, '%s', 400000000000000 + i / %d FROM n",
                          kStoredRuns, Bill_Info, Bill_Kind, Bill_Begin_Char, Bill_End_Char, Bill_Begin_Int,
                          Bill_End_Int, Bill_Unit_Price, Bill_Unit_Amount, Bill_Unit_Total, Bill_Flag, Bill_Issue_Time,
                          Bill_Issue_Broker, Bill_Issue_Manager, Bill_Repository_Time, Bill_Repository_No,
                          Bill_Return_Time, Bill_Issue_No, Bill_Invalid_Time, Bill_Return_No, qUtf8Printable(kKind),
                          FlagReturned, qUtf8Printable(today), qUtf8Printable(today), kRunsPerDocument,
                          qUtf8Printable(today), kRunsPerDocument, qUtf8Printable(today), kRunsPerDocument),
        {{}});
    transaction.Commit();
}

const BenchRegistration voidRun("void_run_among_100k_ms", "ms", [] {
    TestDatabase t;
    AddReturnedRuns(t);
    return 1000 * SecondsOf([] {
               VoidRun(kKind, QStringLiteral("0005000001"), QStringLiteral("2026-1-9 9:0:0"), QStringLiteral("张三"));
           });
});

const BenchRegistration cancelReturn("document_cancel_100_of_100k_runs_ms", "ms", [] {
    TestDatabase t;
    AddReturnedRuns(t);
    return 1000 * SecondsOf([] {
               CancelDocument(*FindDocumentKind(QStringLiteral("回收单")), QStringLiteral("400000000000500"));
           });
});

const BenchRegistration documentQuery("document_query_1000_of_100k_runs_ms", "ms", [] {
    TestDatabase t;
    AddReturnedRuns(t);
    CQueryListCtrl list;
    const QString statement =
        DocumentListStatement(*FindDocumentKind(QStringLiteral("出库单")), QDate::currentDate(), QDate::currentDate());
    return 1000 * SecondsOf([&] {
               list.SetStatement(statement, 3);
               list.FillFromStatement(statement);
           });
});

const BenchRegistration forcedOpen("forced_open_100k_returned_s", "s", [] {
    TestDatabase t;
    AddReturnedRuns(t);
    return SecondsOf([] { CForcedOperationDlg dlg; });
});

} // namespace
