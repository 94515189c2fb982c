// The report generators over small stores written in code: edge cases cell by cell, and one whole
// table per generator against its expected table in tests/reports/data.
#include "bills/BillNumbers.h"
#include "reports/ReportGenerators.h"
#include "schema/Schema.h"
#include "tests/reports/ReportSeed.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QtTest>

using namespace schema;

namespace {

const QString January = QStringLiteral("2005-1-1 0:0:0");
const QString JanuaryEnd = QStringLiteral("2005-1-31 23:59:59");
const QString YearEnd = QStringLiteral("2005-12-31 23:59:59");
const QString Fixed = QStringLiteral("行政收费票据");

QString Cell(const CReportTable &t, int row, const QString &title) {
    const int column = t.Column(title);
    return row >= 0 && row < t.rows.size() && column >= 0 ? t.rows[row].value(column) : QStringLiteral("<none>");
}

// The rows whose first cell is the text.
QList<int> RowsWith(const CReportTable &t, const QString &title, const QString &text) {
    QList<int> rows;
    for (int r = 0; r < t.rows.size(); ++r)
        if (Cell(t, r, title) == text)
            rows << r;
    return rows;
}

QList<QStringList> ReadExpected(const QString &name) {
    QFile file(QStringLiteral(PELORVANIDE_REPORT_DATA "/%1.txt").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QStringList> lines;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
        if (!line.isEmpty())
            lines << line.split(QLatin1Char('\t'));
    return lines;
}

// The expected file holds the titles on its first line and one row per line, cells between tabs.
void CompareWithExpected(const CReportTable &t, const QString &name) {
    const QList<QStringList> expected = ReadExpected(name);
    QVERIFY2(!expected.isEmpty(), qPrintable(name));
    QCOMPARE(t.titles, expected.first());
    QCOMPARE(t.rows.size(), expected.size() - 1);
    for (int r = 0; r < t.rows.size(); ++r) {
        QCOMPARE(t.rows[r].size(), t.titles.size());
        for (int c = 0; c < t.titles.size(); ++c)
            QVERIFY2(t.rows[r][c] == expected[r + 1].value(c),
                     qPrintable(QStringLiteral("%1 row %2 column %3: \"%4\", expected \"%5\"")
                                    .arg(name)
                                    .arg(r)
                                    .arg(t.titles[c], t.rows[r][c], expected[r + 1].value(c))));
    }
}

void AddFixedKind(const QString &name, int sheets = 25) {
    KindSpec kind;
    kind.name = name;
    kind.mainKind = QStringLiteral("行政事业性收费");
    kind.unitAmount = sheets;
    AddKind(kind);
}

} // namespace

class ReportsTest : public QObject {
    Q_OBJECT
private slots:
    // Whole tables.
    void inventorySummaryMatchesItsExpectedTable();
    void monthlyReportMatchesItsExpectedTable();
    void departmentMonthlyReportMatchesItsExpectedTable();
    void cancellationDetailMatchesItsExpectedTable();
    void annualAuditTableMatchesItsExpectedTable();

    // Inventory summary.
    void inventoryTotalCarriesThePeriodAndLeavesOutTheSecondAfter();
    void inventoryKindWithTwoBookAmountsGivesTwoRowsBothCounted();
    void inventoryWithoutStockHoldsOnlyTheTotalRow();
    void inventoryCountsOnlyBooksStillInStock();

    // Monthly and quarterly report, cancellation detail.
    void monthlyThreeDepartmentsGiveThreeSubtotalsInPlaceAndOneTotal();
    void monthlyWithoutRecordGivesSubtotalOfNoBooksAndNoTotal();
    void monthlyDepartmentWithOneBookHasSubtotalOfThatBook();
    void monthlyTemplateRowsComeFirst();
    void departmentReportNamesTheDepartmentInItsTotal();
    void rowsOfEqualTimesComeInTheOrderTheyWereStored();
    void cancellationDetailListsVoidedReturnsAndShowsNoDifferenceWhenPaidInFull();
    void thousandsOfBooksSumToTheCent();
    void failedReadingIsReportedAndKeepsTheLayout();
    void centsAreWrittenAsTheMoneyFormatWritesThem();

    // Annual audit table.
    void annualMergesConsecutiveBooksAndKeepsAGapApart();
    void annualPartlyReturnedBookEndsItsRangeWithItsOwnAmount();
    void annualConsecutiveBooksOfTwoPricesGiveTwoRanges();
    void annualNonFixedKindShowsOnlyReturnedMoney();
    void annualCarriedForwardRowsHaveNoReturnedAmounts();
    void annualKindWithoutBooksHasNoSubtotalAndEmptyReportNoTotal();
    void annualTemplateRowsComeFirstAndProgressIsTold();
};

// --- Whole tables ----------------------------------------------------------------------------------

void ReportsTest::inventorySummaryMatchesItsExpectedTable() {
    TestDatabase t;
    SeedGoldenBooks();
    CompareWithExpected(InventorySummary(ReadReportKinds(), January, JanuaryEnd), "inventory");
}

void ReportsTest::monthlyReportMatchesItsExpectedTable() {
    TestDatabase t;
    SeedGoldenBooks();
    CompareWithExpected(MonthlyReport(January, JanuaryEnd), "monthly");
}

void ReportsTest::departmentMonthlyReportMatchesItsExpectedTable() {
    TestDatabase t;
    SeedGoldenBooks();
    CompareWithExpected(DepartmentMonthlyReport(January, JanuaryEnd, QStringLiteral("稽查队")), "department_monthly");
}

void ReportsTest::cancellationDetailMatchesItsExpectedTable() {
    TestDatabase t;
    SeedGoldenBooks();
    CompareWithExpected(CancellationDetail(January, JanuaryEnd), "cancellation");
}

void ReportsTest::annualAuditTableMatchesItsExpectedTable() {
    TestDatabase t;
    SeedGoldenBooks();
    CompareWithExpected(AnnualAuditTable(ReadReportKinds(), January, YearEnd), "annual");
}

// --- Inventory summary -----------------------------------------------------------------------------

void ReportsTest::inventoryTotalCarriesThePeriodAndLeavesOutTheSecondAfter() {
    TestDatabase t;
    AddFixedKind(Fixed);
    AddBook(Book(Fixed, 1, 25, 50).Stocked("2005-1-31 23:59:59"));
    AddBook(Book(Fixed, 26, 25, 50).Stocked("2005-2-1 0:0:0"));
    AddBook(Book(Fixed, 51, 25, 50).Stocked("2005-1-1 0:0:0"));
    const CReportTable report = InventorySummary({Fixed}, January, JanuaryEnd);
    QCOMPARE(report.titles, QStringList({"票据类型", "库存数", "每本金额", "合计金额", "备注"}));
    QCOMPARE(report.widths, QList<int>({120, 100, 100, 120, 200}));
    QCOMPARE(report.rows.size(), 2);
    QCOMPARE(report.rows[0], QStringList({Fixed, "2本", "￥50.00", "￥100.00", ""}));
    QCOMPARE(report.rows[1], QStringList({"合计", "2本", "", "￥100.00", "2005-1-1 0:0:0至2005-1-31 23:59:59"}));
}

void ReportsTest::inventoryKindWithTwoBookAmountsGivesTwoRowsBothCounted() {
    TestDatabase t;
    AddFixedKind(Fixed);
    AddBook(Book(Fixed, 1, 25, 50).Stocked("2005-1-2 9:0:0"));
    AddBook(Book(Fixed, 26, 25, 62.5).Stocked("2005-1-2 9:0:0"));
    AddBook(Book(Fixed, 51, 25, 50).Stocked("2005-1-3 9:0:0"));
    const CReportTable report = InventorySummary({Fixed}, January, JanuaryEnd);
    QCOMPARE(report.rows.size(), 3);
    QCOMPARE(report.rows[0], QStringList({Fixed, "2本", "￥50.00", "￥100.00", ""}));
    QCOMPARE(report.rows[1], QStringList({Fixed, "1本", "￥62.50", "￥62.50", ""}));
    QCOMPARE(Cell(report, 2, "库存数"), QStringLiteral("3本"));
    QCOMPARE(Cell(report, 2, "合计金额"), QStringLiteral("￥162.50"));
}

void ReportsTest::inventoryWithoutStockHoldsOnlyTheTotalRow() {
    TestDatabase t;
    AddFixedKind(Fixed);
    AddBook(Book(Fixed, 1, 25, 50).Stocked("2004-12-31 23:59:59"));
    const CReportTable report = InventorySummary({Fixed}, January, JanuaryEnd);
    QCOMPARE(report.rows.size(), 1);
    QCOMPARE(report.rows[0], QStringList({"合计", "", "", "", "2005-1-1 0:0:0至2005-1-31 23:59:59"}));
}

void ReportsTest::inventoryCountsOnlyBooksStillInStock() {
    TestDatabase t;
    AddFixedKind(Fixed);
    AddFixedKind(QStringLiteral("基金票据"));
    AddBook(Book(Fixed, 1, 25, 50).Stocked("2005-1-2 9:0:0").Issued("2005-1-3 9:0:0", "财务科"));
    AddBook(Book(Fixed, 26, 25, 50).Stocked("2005-1-2 9:0:0").Flag(FlagVoid));
    AddBook(Book("基金票据", 1, 25, 30).Stocked("2005-1-2 9:0:0"));
    // A kind that is no longer listed is not reported.
    AddBook(Book("已删除票据", 1, 25, 30).Stocked("2005-1-2 9:0:0"));
    const CReportTable report = InventorySummary(ReadReportKinds(), January, JanuaryEnd);
    QCOMPARE(report.rows.size(), 2);
    QCOMPARE(report.rows[0], QStringList({"基金票据", "1本", "￥30.00", "￥30.00", ""}));
    QCOMPARE(Cell(report, 1, "合计金额"), QStringLiteral("￥30.00"));
}

// --- Monthly and quarterly report, cancellation detail ---------------------------------------------

void ReportsTest::monthlyThreeDepartmentsGiveThreeSubtotalsInPlaceAndOneTotal() {
    TestDatabase t;
    AddFixedKind(Fixed);
    AddBook(Book(Fixed, 1, 25, 50).Issued("2005-1-3 9:0:0", "A科"));
    AddBook(Book(Fixed, 26, 25, 50).Issued("2005-1-2 9:0:0", "A科"));
    AddBook(Book(Fixed, 51, 25, 40).Issued("2005-1-4 9:0:0", "B科"));
    AddBook(Book(Fixed, 76, 25, 30).Issued("2005-1-5 9:0:0", "C科"));
    AddBook(Book(Fixed, 101, 25, 30).Issued("2005-1-6 9:0:0", "C科"));
    // Returned books are no longer out, voided ones never count.
    AddBook(Book(Fixed, 126, 25, 50).Issued("2005-1-6 9:0:0", "B科").Returned("2005-1-9 9:0:0", 25, 50));
    AddBook(Book(Fixed, 151, 25, 50).Issued("2005-1-6 9:0:0", "B科").Flag(FlagVoid));
    const CReportTable report = MonthlyReport(January, JanuaryEnd);
    QCOMPARE(report.titles, QStringList({"发放日期", "类别", "领用票据名称", "开始编号", "结尾编号", "本数", "每本金额",
                                         "返还金额", "差额", "返还日期", "备注信息"}));
    QStringList first;
    for (int r = 0; r < report.rows.size(); ++r)
        first << Cell(report, r, "发放日期");
    QCOMPARE(first, QStringList({"2005-01-02 09:00:00", "2005-01-03 09:00:00", "小计", "2005-01-04 09:00:00", "小计",
                                 "2005-01-05 09:00:00", "2005-01-06 09:00:00", "小计", "合计"}));
    QCOMPARE(report.rows[2], QStringList({"小计", "", "", "", "", "2本", "￥100.00", "", "￥100.00", "", "A科"}));
    QCOMPARE(report.rows[4], QStringList({"小计", "", "", "", "", "1本", "￥40.00", "", "￥40.00", "", "B科"}));
    QCOMPARE(report.rows[7], QStringList({"小计", "", "", "", "", "2本", "￥60.00", "", "￥60.00", "", "C科"}));
    QCOMPARE(report.rows[8], QStringList({"合计", "", "", "", "", "5本", "￥200.00", "", "￥200.00", "", ""}));
    QCOMPARE(report.rows[0], QStringList({"2005-01-02 09:00:00", "", Fixed, "00000026", "00000050", "1本", "￥50.00",
                                          "", "￥50.00", "", ""}));
    for (const QStringList &row : report.rows)
        QCOMPARE(row[1], QString());
}

void ReportsTest::monthlyWithoutRecordGivesSubtotalOfNoBooksAndNoTotal() {
    TestDatabase t;
    AddFixedKind(Fixed);
    AddBook(Book(Fixed, 1, 25, 50).Issued("2005-2-1 0:0:0", "A科"));
    const CReportTable report = MonthlyReport(January, JanuaryEnd);
    QCOMPARE(report.rows.size(), 1);
    QCOMPARE(report.rows[0], QStringList({"小计", "", "", "", "", "0本", "", "", "", "", ""}));
}

void ReportsTest::monthlyDepartmentWithOneBookHasSubtotalOfThatBook() {
    TestDatabase t;
    AddFixedKind(Fixed);
    SeedBook reopened = Book(Fixed, 1, 25, 50).Issued("2005-1-3 9:0:0", "A科");
    reopened.returnTotal = 50;
    reopened.returnTime = QStringLiteral("2005-1-4 9:0:0");
    AddBook(reopened);
    const CReportTable report = MonthlyReport(January, JanuaryEnd);
    QCOMPARE(report.rows.size(), 3);
    QCOMPARE(report.rows[0], QStringList({"2005-01-03 09:00:00", "", Fixed, "00000001", "00000025", "1本", "￥50.00",
                                          "￥50.00", "", "2005-01-04 09:00:00", ""}));
    QCOMPARE(report.rows[1], QStringList({"小计", "", "", "", "", "1本", "￥50.00", "￥50.00", "", "", "A科"}));
    QCOMPARE(report.rows[2], QStringList({"合计", "", "", "", "", "1本", "￥50.00", "￥50.00", "", "", ""}));
}

void ReportsTest::monthlyTemplateRowsComeFirst() {
    TestDatabase t;
    t.Exec(QString::asprintf("INSERT INTO %s (%s,%s) VALUES ('单位：某局','第一季度')", Report_Month_Info,
                             Report_Month_Issue_Date, Report_Month_Remark));
    AddFixedKind(Fixed);
    AddBook(Book(Fixed, 1, 25, 50).Issued("2005-1-3 9:0:0", "A科"));
    const CReportTable report = MonthlyReport(January, JanuaryEnd);
    QCOMPARE(report.rows.size(), 4);
    QCOMPARE(report.rows[0], QStringList({"单位：某局", "", "", "", "", "", "", "", "", "", "第一季度"}));
    QCOMPARE(Cell(report, 1, "开始编号"), QStringLiteral("00000001"));
    QCOMPARE(Cell(report, 2, "发放日期"), QStringLiteral("小计"));
    QCOMPARE(MonthlyTemplate().rows.size(), 1);
}

void ReportsTest::rowsOfEqualTimesComeInTheOrderTheyWereStored() {
    TestDatabase t;
    // Four books issued and returned at one time; their kinds and recipients run against the order
    // in which they were stored, so an order by kind or recipient would show.
    const QStringList kinds{"Kd", "Kc", "Kb", "Ka"};
    QStringList firsts;
    for (int i = 0; i < kinds.size(); ++i) {
        AddFixedKind(kinds[i]);
        SeedBook book = Book(kinds[i], 1 + 25 * i, 25, 50).Issued("2005-1-3 9:0:0", "A科");
        firsts << AddBook(book);
        t.Exec(QString::asprintf("UPDATE %s SET %s = '%s' WHERE %s = '%s'", Bill_Info, Bill_Issue_Broker,
                                 qUtf8Printable(kinds[i].toLower()), Bill_Kind, qUtf8Printable(kinds[i])));
    }
    const auto firstColumn = [](const CReportTable &report, const QString &title) {
        QStringList texts;
        for (int row = 0; row < report.rows.size(); ++row)
            if (!Cell(report, row, title).isEmpty())
                texts << Cell(report, row, title);
        return texts;
    };
    QCOMPARE(firstColumn(MonthlyReport(January, JanuaryEnd), QStringLiteral("开始编号")), firsts);
    QCOMPARE(firstColumn(DepartmentMonthlyReport(January, JanuaryEnd, "A科"), QStringLiteral("开始编号")), firsts);
    t.Exec(QString::asprintf("UPDATE %s SET %s = '2005-1-20 10:0:0', %s = 25, %s = 50, %s = '%s'", Bill_Info,
                             Bill_Return_Time, Bill_Unit_Return_Amount, Bill_Unit_Return_Total, Bill_Flag,
                             FlagReturned));
    QCOMPARE(firstColumn(CancellationDetail(January, JanuaryEnd), QStringLiteral("票据开始编号")), firsts);
}

void ReportsTest::departmentReportNamesTheDepartmentInItsTotal() {
    TestDatabase t;
    AddFixedKind(Fixed);
    AddBook(Book(Fixed, 1, 25, 50).Issued("2005-1-3 9:0:0", "A科"));
    AddBook(Book(Fixed, 26, 25, 50).Issued("2005-1-2 9:0:0", "B科"));
    AddBook(Book(Fixed, 51, 25, 20.25).Issued("2005-1-1 9:0:0", "A科"));
    AddBook(Book(Fixed, 76, 25, 50).Issued("2005-1-1 9:0:0", "A'科"));
    const CReportTable report = DepartmentMonthlyReport(January, JanuaryEnd, "A科");
    QCOMPARE(report.rows.size(), 3);
    QCOMPARE(Cell(report, 0, "开始编号"), QStringLiteral("00000051"));
    QCOMPARE(Cell(report, 1, "开始编号"), QStringLiteral("00000001"));
    QCOMPARE(report.rows[2], QStringList({"合计", "", "", "", "", "2本", "￥70.25", "", "￥70.25", "", "A科"}));
    // A department whose name holds a quote is asked for as typed.
    const CReportTable quoted = DepartmentMonthlyReport(January, JanuaryEnd, "A'科");
    QCOMPARE(quoted.rows.size(), 2);
    QCOMPARE(Cell(quoted, 1, "备注信息"), QStringLiteral("A'科"));
    // Nothing issued: no rows at all, not even a subtotal.
    QCOMPARE(DepartmentMonthlyReport(January, JanuaryEnd, "C科").rows.size(), 0);
}

void ReportsTest::cancellationDetailListsVoidedReturnsAndShowsNoDifferenceWhenPaidInFull() {
    TestDatabase t;
    AddFixedKind(Fixed);
    AddBook(Book(Fixed, 1, 25, 50).Issued("2004-12-3 9:0:0", "A科").Returned("2005-1-9 9:0:0", 25, 50));
    AddBook(Book(Fixed, 26, 25, 50).Issued("2005-1-2 9:0:0", "A科").Returned("2005-1-8 9:0:0", 20, 0).Flag(FlagVoid));
    AddBook(Book(Fixed, 51, 25, 50).Issued("2005-1-2 9:0:0", "A科").Returned("2005-2-1 0:0:0", 25, 50));
    const CReportTable report = CancellationDetail(January, JanuaryEnd);
    QCOMPARE(report.titles, QStringList({"使用日期", "票据开始编号", "票据结尾编号", "执收对象", "票据金额", "实缴专户",
                                         "差额", "备注"}));
    QCOMPARE(report.widths, QList<int>({80, 100, 100, 80, 80, 80, 80, 180}));
    QCOMPARE(report.rows.size(), 3);
    QCOMPARE(report.rows[0], QStringList({"", "00000026", "00000050", "", "￥50.00", "￥0.00", "￥50.00", ""}));
    QCOMPARE(report.rows[1], QStringList({"", "00000001", "00000025", "", "￥50.00", "￥50.00", "", ""}));
    QCOMPARE(report.rows[2],
             QStringList({"合计", "", "", "", "￥100.00", "￥50.00", "￥50.00", "2005-1-1 0:0:0至2005-1-31 23:59:59"}));
    QCOMPARE(CancellationDetail("2005-3-1 0:0:0", "2005-3-31 23:59:59").rows.size(), 0);
}

void ReportsTest::thousandsOfBooksSumToTheCent() {
    TestDatabase t;
    AddFixedKind(Fixed, 1);
    {
        CTransaction transaction;
        for (int i = 0; i < 3000; ++i)
            AddBook(Book(Fixed, 1 + i, 1, 0.1).Issued("2005-1-2 9:0:0", "A科").Returned("2005-1-9 9:0:0", 1, 0.07));
        transaction.Commit();
    }
    const CReportTable detail = CancellationDetail(January, JanuaryEnd);
    QCOMPARE(detail.rows.last(), QStringList({"合计", "", "", "", "￥300.00", "￥210.00", "￥90.00",
                                              "2005-1-1 0:0:0至2005-1-31 23:59:59"}));
    const CReportTable annual = AnnualAuditTable({Fixed}, January, JanuaryEnd);
    // One range of 3000 consecutive single-sheet books.
    QCOMPARE(annual.rows.size(), 3);
    QCOMPARE(annual.rows[0],
             QStringList({Fixed, "", "3000本", "", "00000001", "00003000", "￥0.10", "￥210.00", "￥90.00", "", ""}));
    QCOMPARE(annual.rows[1],
             QStringList({"小计", "", "3000本", "", "", "", "￥300.00", "￥210.00", "￥90.00", "", ""}));
}

void ReportsTest::failedReadingIsReportedAndKeepsTheLayout() {
    TestDatabase t;
    AddFixedKind(Fixed);
    t.Exec(QString::asprintf("DROP TABLE %s", Bill_Info));
    MessageCapture messages;
    const CReportTable monthly = MonthlyReport(January, JanuaryEnd);
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);
    QVERIFY(messages.Last().text.contains(QLatin1String(Bill_Info)));
    QCOMPARE(monthly.titles.size(), 11);
    QCOMPARE(monthly.rows.size(), 0);
    const CReportTable inventory = InventorySummary({Fixed}, January, JanuaryEnd);
    QCOMPARE(messages.Count(), 2);
    QCOMPARE(inventory.rows.size(), 1);
    QCOMPARE(inventory.rows[0].first(), QStringLiteral("合计"));
    QCOMPARE(CancellationDetail(January, JanuaryEnd).rows.size(), 0);
    QCOMPARE(AnnualAuditTable({Fixed}, January, JanuaryEnd).rows.size(), 0);
    QCOMPARE(DepartmentMonthlyReport(January, JanuaryEnd, "A科").rows.size(), 0);
    QCOMPARE(messages.Count(), 5);
    // The store is still usable afterwards.
    QCOMPARE(ReadReportKinds(), QStringList({Fixed}));
}

void ReportsTest::centsAreWrittenAsTheMoneyFormatWritesThem() {
    for (qint64 cents : {0LL, 1LL, 9LL, 10LL, 99LL, 100LL, 105LL, 12345LL, -1LL, -99LL, -12345LL, 99999999999LL})
        QCOMPARE(FormatCents(cents), FormatMoney(double(cents) / 100.0));
    QCOMPARE(FormatCents(-12345), QStringLiteral("￥-123.45"));
    QCOMPARE(ToCents(0.07 * 3), 21);
    QCOMPARE(ToCents(62.5), 6250);
    QCOMPARE(ToCents(-0.015000001), -2);
}

// --- Annual audit table ----------------------------------------------------------------------------

void ReportsTest::annualMergesConsecutiveBooksAndKeepsAGapApart() {
    TestDatabase t;
    AddFixedKind(Fixed);
    for (double begin : {76.0, 1.0, 26.0})
        AddBook(Book(Fixed, begin, 25, 50).Issued("2005-1-2 9:0:0", "A科").Returned("2005-1-9 9:0:0", 25, 50));
    const CReportTable report = AnnualAuditTable({Fixed}, January, YearEnd);
    QCOMPARE(report.titles, QStringList({"领用票据名称", "去年结转", "本年领用", "结转明年", "开始编号", "结尾编号",
                                         "每本金额", "实缴专户金额", "差额", "存在的问题及原因", "审核处理意见"}));
    QCOMPARE(report.rows.size(), 4);
    QCOMPARE(report.rows[0],
             QStringList({Fixed, "", "2本", "", "00000001", "00000050", "￥50.00", "￥100.00", "", "", ""}));
    QCOMPARE(report.rows[1],
             QStringList({Fixed, "", "1本", "", "00000076", "00000100", "￥50.00", "￥50.00", "", "", ""}));
    QCOMPARE(report.rows[2], QStringList({"小计", "", "3本", "", "", "", "￥150.00", "￥150.00", "", "", ""}));
    QCOMPARE(report.rows[3], QStringList({"合计", "", "3本", "", "", "", "￥150.00", "￥150.00", "", "", ""}));
}

void ReportsTest::annualPartlyReturnedBookEndsItsRangeWithItsOwnAmount() {
    TestDatabase t;
    AddFixedKind(Fixed);
    AddBook(Book(Fixed, 1, 25, 50).Issued("2004-12-2 9:0:0", "A科").Returned("2005-1-9 9:0:0", 25, 50));
    AddBook(Book(Fixed, 26, 25, 50).Issued("2004-12-2 9:0:0", "A科").Returned("2005-1-9 9:0:0", 10, 20));
    AddBook(Book(Fixed, 51, 25, 62.5).Issued("2004-12-2 9:0:0", "A科").Returned("2005-1-9 9:0:0", 25, 60));
    const CReportTable report = AnnualAuditTable({Fixed}, January, YearEnd);
    QCOMPARE(report.rows.size(), 4);
    QCOMPARE(report.rows[0],
             QStringList({Fixed, "2本", "", "", "00000001", "00000035", "￥50.00", "￥70.00", "￥30.00", "", ""}));
    QCOMPARE(report.rows[1],
             QStringList({Fixed, "1本", "", "", "00000051", "00000075", "￥62.50", "￥60.00", "￥2.50", "", ""}));
    QCOMPARE(report.rows[2], QStringList({"小计", "3本", "", "", "", "", "￥162.50", "￥130.00", "￥32.50", "", ""}));
    QCOMPARE(report.rows[3], QStringList({"合计", "3本", "", "", "", "", "￥162.50", "￥130.00", "￥32.50", "", ""}));
}

void ReportsTest::annualConsecutiveBooksOfTwoPricesGiveTwoRanges() {
    TestDatabase t;
    AddFixedKind(Fixed);
    AddBook(Book(Fixed, 1, 25, 50).Issued("2005-1-2 9:0:0", "A科").Returned("2005-1-9 9:0:0", 25, 50));
    AddBook(Book(Fixed, 26, 25, 50).Issued("2005-1-2 9:0:0", "A科").Returned("2005-1-9 9:0:0", 25, 48));
    AddBook(Book(Fixed, 51, 25, 75).Issued("2005-1-2 9:0:0", "A科").Returned("2005-1-9 9:0:0", 25, 70));
    AddBook(Book(Fixed, 76, 25, 75).Issued("2005-1-2 9:0:0", "A科").Returned("2005-1-9 9:0:0", 25, 75));
    const CReportTable report = AnnualAuditTable({Fixed}, January, YearEnd);
    QCOMPARE(report.rows.size(), 4);
    QCOMPARE(report.rows[0],
             QStringList({Fixed, "", "2本", "", "00000001", "00000050", "￥50.00", "￥98.00", "￥2.00", "", ""}));
    QCOMPARE(report.rows[1],
             QStringList({Fixed, "", "2本", "", "00000051", "00000100", "￥75.00", "￥145.00", "￥5.00", "", ""}));
    QCOMPARE(report.rows[2], QStringList({"小计", "", "4本", "", "", "", "￥250.00", "￥243.00", "￥7.00", "", ""}));
}

void ReportsTest::annualNonFixedKindShowsOnlyReturnedMoney() {
    TestDatabase t;
    const QString kind = QStringLiteral("不定额票据");
    for (double begin : {1.0, 11.0, 31.0}) {
        SeedBook book = Book(kind, begin, 10, 0)
                            .Issued("2005-1-2 9:0:0", "A科")
                            .Returned("2005-1-9 9:0:0", 10, begin == 1 ? 12.34 : 100);
        book.nonFixed = true;
        AddBook(book);
    }
    const CReportTable report = AnnualAuditTable({kind}, January, YearEnd);
    QCOMPARE(report.rows.size(), 4);
    QCOMPARE(report.rows[0], QStringList({kind, "", "2本", "", "00000001", "00000020", "", "￥112.34", "", "", ""}));
    QCOMPARE(report.rows[1], QStringList({kind, "", "1本", "", "00000031", "00000040", "", "￥100.00", "", "", ""}));
    QCOMPARE(report.rows[2], QStringList({"小计", "", "3本", "", "", "", "￥212.34", "￥212.34", "", "", ""}));
    QCOMPARE(report.rows[3], QStringList({"合计", "", "3本", "", "", "", "￥212.34", "￥212.34", "", "", ""}));
}

void ReportsTest::annualCarriedForwardRowsHaveNoReturnedAmounts() {
    TestDatabase t;
    AddFixedKind(Fixed);
    AddBook(Book(Fixed, 1, 25, 50).Issued("2005-3-2 9:0:0", "A科"));
    AddBook(Book(Fixed, 26, 25, 50).Issued("2005-3-2 9:0:0", "B科"));
    // Drawn before the period and still out: in none of the three columns.
    AddBook(Book(Fixed, 51, 25, 50).Issued("2004-3-2 9:0:0", "B科"));
    const CReportTable report = AnnualAuditTable({Fixed}, January, YearEnd);
    QCOMPARE(report.rows.size(), 3);
    QCOMPARE(report.rows[0], QStringList({Fixed, "", "", "2本", "00000001", "00000050", "￥50.00", "", "", "", ""}));
    QCOMPARE(report.rows[1], QStringList({"小计", "", "", "2本", "", "", "￥100.00", "", "", "", ""}));
}

void ReportsTest::annualKindWithoutBooksHasNoSubtotalAndEmptyReportNoTotal() {
    TestDatabase t;
    AddFixedKind(Fixed);
    AddFixedKind(QStringLiteral("基金票据"));
    AddBook(Book(Fixed, 1, 25, 50).Issued("2005-3-2 9:0:0", "A科"));
    const CReportTable report = AnnualAuditTable(ReadReportKinds(), January, YearEnd);
    QCOMPARE(report.rows.size(), 3);
    QCOMPARE(RowsWith(report, "领用票据名称", "小计"), QList<int>({1}));
    QCOMPARE(AnnualAuditTable(ReadReportKinds(), "2006-1-1 0:0:0", "2006-12-31 23:59:59").rows.size(), 0);
}

void ReportsTest::annualTemplateRowsComeFirstAndProgressIsTold() {
    TestDatabase t;
    t.Exec(QString::asprintf("INSERT INTO %s (%s,%s) VALUES ('填报单位：某局','（盖章）')", Report_Year_Info,
                             Report_Year_Info_Name, Report_Year_Info_Suggest));
    AddFixedKind(Fixed);
    AddFixedKind(QStringLiteral("基金票据"));
    AddBook(Book(Fixed, 1, 25, 50).Issued("2005-3-2 9:0:0", "A科"));
    QList<QPair<int, int>> told;
    const CReportTable report = AnnualAuditTable(ReadReportKinds(), January, YearEnd, [&](int done, int total) {
        told.append({done, total});
    });
    QCOMPARE(report.rows.size(), 4);
    QCOMPARE(report.rows[0], QStringList({"填报单位：某局", "", "", "", "", "", "", "", "", "", "（盖章）"}));
    QCOMPARE(Cell(report, 1, "开始编号"), QStringLiteral("00000001"));
    QCOMPARE(AnnualTemplate().rows.size(), 1);
    // The books read, two kinds, then done.
    QVERIFY(told.size() >= 4);
    QCOMPARE(told.last(), qMakePair(3, 3));
    for (int i = 1; i < told.size(); ++i)
        QVERIFY(told[i].first >= told[i - 1].first);
}

QTEST_MAIN(ReportsTest)
#include "tst_reports.moc"
