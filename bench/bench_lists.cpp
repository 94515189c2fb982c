// Figures of the list control and the print engine on large lists.
#include "bench/Bench.h"
#include "lists/QueryListCtrl.h"
#include "reports/PrintEngine.h"
#include "schema/Schema.h"
#include "tests/support/TestSupport.h"

#include <QPrinter>
#include <QTemporaryDir>

using namespace schema;

namespace {

// Issued bills with every column of a department view filled; first numbers in scattered order so
// that sorting by them has work to do.
void InsertIssuedBills(int count) {
    static const char *brokers[] = {"李四", "王五", "赵六", "钱七", "孙八"};
    CTransaction transaction;
    for (int i = 0; i < count; ++i) {
        const long long begin = (i * 7919LL) % count * 100;
        TheDatabase().ExecuteStatement(QString::asprintf(
            "INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s,%s,%s,%s) VALUES "
            "('%s','%s','%08lld','%08lld',%f,%d,%f,'%s','%s','%s')",
            Bill_Info, Bill_Kind, Bill_Issue_Broker, Bill_Begin_Char, Bill_End_Char, Bill_Unit_Price, Bill_Unit_Amount,
            Bill_Unit_Total, Bill_Issue_Time, Bill_Issue_Manager, Bill_Flag, "行政事业性收费票据", brokers[i % 5],
            begin, begin + 99, 2.5, 100, 250.0, "2026-1-9 9:5:0", "张三", FlagIssued));
    }
    transaction.Commit();
}

// The nine columns of a department view over every bill, in the order they were written, so the
// figure is the list's own work and not a sort by the store.
QString DepartmentStatement() {
    return QString::asprintf(
        " SELECT %s AS 票据类型,%s AS 领票人,%s AS 开始编号,%s AS 结尾编号,%s AS 单价,%s AS 张数,%s "
        "AS 金额,%s AS 领票时间,%s AS 发票人 FROM %s ORDER BY %s ASC ",
        Bill_Kind, Bill_Issue_Broker, Bill_Begin_Char, Bill_End_Char, Bill_Unit_Price, Bill_Unit_Amount,
        Bill_Unit_Total, Bill_Issue_Time, Bill_Issue_Manager, Bill_Info, Bill_ID);
}

void LayOut(CQueryListCtrl &list) {
    list.ClearColumns();
    list.SetStatement(DepartmentStatement(), 3);
    list.SetMoneyColumns({"单价", "金额"}, "￥", 2);
}

const BenchRegistration fill("list_fill_1m_rows_s", "s", [] {
    TestDatabase t;
    InsertIssuedBills(1000000);
    CQueryListCtrl list;
    LayOut(list);
    bool filled = false;
    const double s = SecondsOf([&] { filled = list.FillFromStatement(DepartmentStatement()); });
    return filled && list.RowCount() == 1000000 ? s : -1;
});

const BenchRegistration sortLocal("list_sort_local_1m_rows_s", "s", [] {
    TestDatabase t;
    InsertIssuedBills(1000000);
    CQueryListCtrl list;
    LayOut(list);
    list.FillFromStatement(DepartmentStatement());
    const double s = SecondsOf([&] { list.SortLocal(2, true); });
    return list.GetItemText(1, 2) == QStringLiteral("00000100") ? s : -1;
});

const BenchRegistration printPdf("print_pdf_10k_rows_s", "s", [] {
    TestDatabase t;
    InsertIssuedBills(10000);
    CQueryListCtrl list;
    LayOut(list);
    list.FillFromStatement(DepartmentStatement());
    list.resize(1000, 600);
    list.show();
    QTemporaryDir out;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out.filePath(QStringLiteral("list.pdf")));
    PrintOutcome outcome = PrintOutcome::Failed;
    const double s = SecondsOf([&] { outcome = PrintListOn(printer, list, QStringLiteral("清单")); });
    return outcome == PrintOutcome::Printed ? s : -1;
});

} // namespace
