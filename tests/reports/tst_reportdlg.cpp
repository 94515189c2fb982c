// The report dialog driven as a clerk drives it: choose a report, set the period, generate, find,
// print into a PDF file read back as text, resize.
#include "bills/ModalRunner.h"
#include "lists/QueryListCtrl.h"
#include "reports/ExportList.h"
#include "reports/PeriodDlg.h"
#include "reports/PrintEngine.h"
#include "reports/ReportDlg.h"
#include "schema/Schema.h"
#include "tests/reports/ReportSeed.h"
#include "tests/support/TestSupport.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimeEdit>
#include <QtTest>
#include <optional>

using namespace schema;

namespace {

// What the period dialog is given by the scripted clerk, and what it showed.
struct PeriodScript {
    QDateTime from = QDateTime(QDate(2005, 1, 1), QTime(0, 0, 0));
    QDateTime to = QDateTime(QDate(2005, 1, 31), QTime(23, 59, 59));
    QString department; // chosen when the dialog offers departments
    bool accept = true;
    // Seen in the last dialog opened.
    int opened = 0;
    QString caption;
    QStringList departments;
    QString firstSelected;
    QStringList refusals;
};

class CPeriodRunner {
public:
    explicit CPeriodRunner(PeriodScript &script) {
        m_previous = SetModalRunner([&script](QDialog &dialog) {
            auto *period = qobject_cast<CPeriodDlg *>(&dialog);
            if (!period)
                return int(QDialog::Rejected);
            ++script.opened;
            script.caption = period->windowTitle();
            script.departments.clear();
            script.firstSelected.clear();
            if (QComboBox *departments = period->Departments()) {
                for (int i = 0; i < departments->count(); ++i)
                    script.departments << departments->itemText(i);
                script.firstSelected = departments->currentText();
                if (!script.department.isEmpty())
                    departments->setCurrentIndex(departments->findText(script.department));
            }
            period->FromDate()->setDate(script.from.date());
            period->FromTime()->setTime(script.from.time());
            period->ToDate()->setDate(script.to.date());
            period->ToTime()->setTime(script.to.time());
            MessageCapture messages;
            (script.accept ? period->CountButton() : period->CancelButton())->click();
            script.refusals = messages.Texts();
            return period->result();
        });
    }
    ~CPeriodRunner() { SetModalRunner(m_previous); }

private:
    ModalRunner m_previous;
};

void Choose(CReportDlg &dialog, int position) {
    dialog.ReportKinds()->setCurrentIndex(position);
}

QList<QStringList> ListRows(const CQueryListCtrl *list) {
    QList<QStringList> rows;
    for (int r = 0; r < list->RowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < list->ColumnCount(); ++c)
            cells << list->GetItemText(r, c);
        rows << cells;
    }
    return rows;
}

QStringList ComboTexts(const QComboBox *combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

const QStringList AnnualTitles = {"领用票据名称", "去年结转",         "本年领用",    "结转明年",
                                  "开始编号",     "结尾编号",         "每本金额",    "实缴专户金额",
                                  "差额",         "存在的问题及原因", "审核处理意见"};

QString Run(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class ReportDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init() { CReportDlg::SetFindPosition(0); }
    void opensWithTheAnnualLayoutAndTheReportsOfTheStore();
    void generatingFillsTheListAndSetsTheCaption();
    void departmentReportAsksForTheDepartment();
    void cancelledPeriodLeavesListAndCaption();
    void periodEndingBeforeItBeginsIsRefused();
    void positionDecidesTheGeneratorWhateverTheName();
    void findMovesThroughMatchesAndIsSharedByEveryOpening();
    void printedReportShowsEveryColumnWithWholeAmounts();
    void exportWritesTheGeneratedReportUnderItsName();
    void printWithEmptyListDoesNothing();
    void resizingKeepsTheControlsAtTheRightEdge();
    void failedGenerationIsReportedWhileProgressIsShown();
};

void ReportDlgTest::failedGenerationIsReportedWhileProgressIsShown() {
    TestDatabase t;
    SeedGoldenBooks();
    PeriodScript script;
    CPeriodRunner runner(script);
    CReportDlg dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    t.Exec(QString::asprintf("DROP TABLE %s", Bill_Info));
    QStringList reports;
    QStringList progressTexts;
    const MessagePresenter previous =
        SetMessagePresenter([&](const QString &text, const QString &, MsgIcon, MsgButtons) {
            reports << text;
            if (const auto *progress = dialog.findChild<QProgressDialog *>())
                progressTexts << progress->labelText();
            return MsgAnswer::Ok;
        });
    Choose(dialog, 1);
    dialog.GenerateButton()->click();
    SetMessagePresenter(previous);
    QCOMPARE(reports.size(), 1);
    QCOMPARE(progressTexts, QStringList({"正在生成报表，请稍候..."}));
    // The report is shown as far as it was read: its layout and no rows; the progress window is gone.
    QCOMPARE(dialog.windowTitle(), QStringLiteral("月季报表"));
    QCOMPARE(dialog.List()->GetHeaderTitles().first(), QStringLiteral("发放日期"));
    QCOMPARE(dialog.List()->RowCount(), 0);
    QVERIFY(!dialog.findChild<QProgressDialog *>());
    QVERIFY(dialog.isEnabled());
}

void ReportDlgTest::opensWithTheAnnualLayoutAndTheReportsOfTheStore() {
    TestDatabase t;
    MessageCapture messages;
    CReportDlg dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("报表"));
    QCOMPARE(dialog.List()->GetHeaderTitles(), AnnualTitles);
    QCOMPARE(dialog.List()->RowCount(), 0);
    QCOMPARE(ComboTexts(dialog.ColumnTitles()), AnnualTitles);
    QCOMPARE(ComboTexts(dialog.ReportKinds()), QStringList({"年度行政事业性收费和政府性基金票据年审表", "月季报表",
                                                            "部门月季报表", "收费票据缴销明细表", "库存票据汇总表"}));
    QCOMPARE(dialog.ReportKinds()->currentIndex(), 0);
    QCOMPARE(dialog.GenerateButton()->text(), QStringLiteral("生成报表"));
    QCOMPARE(dialog.FindButton()->text(), QStringLiteral("查询"));
    QCOMPARE(dialog.PrintButton()->text(), QStringLiteral("打印"));
    QCOMPARE(dialog.CloseButton()->text(), QStringLiteral("关闭"));
    QCOMPARE(messages.Count(), 0);

    // Rows stored in the template are shown as it opens.
    t.Exec(QString::asprintf("INSERT INTO %s (%s) VALUES ('填报单位：某局')", Report_Year_Info, Report_Year_Info_Name));
    CReportDlg again;
    QCOMPARE(again.List()->RowCount(), 1);
    QCOMPARE(again.List()->GetItemText(0, 0), QStringLiteral("填报单位：某局"));
}

void ReportDlgTest::generatingFillsTheListAndSetsTheCaption() {
    TestDatabase t;
    SeedGoldenBooks();
    MessageCapture messages;
    PeriodScript script;
    CPeriodRunner runner(script);
    CReportDlg dialog;

    Choose(dialog, 4);
    dialog.GenerateButton()->click();
    QCOMPARE(script.opened, 1);
    QCOMPARE(script.caption, QStringLiteral("库存票据汇总表"));
    QVERIFY(script.departments.isEmpty());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("库存票据汇总表"));
    QCOMPARE(dialog.List()->GetHeaderTitles(), QStringList({"票据类型", "库存数", "每本金额", "合计金额", "备注"}));
    QCOMPARE(ComboTexts(dialog.ColumnTitles()), dialog.List()->GetHeaderTitles());
    QCOMPARE(ListRows(dialog.List()),
             QList<QStringList>({{"基金票据", "1本", "￥75.00", "￥75.00", ""},
                                 {"基金票据", "1本", "￥100.00", "￥100.00", ""},
                                 {"行政收费票据", "1本", "￥50.00", "￥50.00", ""},
                                 {"合计", "3本", "", "￥225.00", "2005-1-1 0:0:0至2005-1-31 23:59:59"}}));

    Choose(dialog, 0);
    script.to = QDateTime(QDate(2005, 12, 31), QTime(23, 59, 59));
    dialog.GenerateButton()->click();
    QCOMPARE(script.caption, QStringLiteral("年度行政事业性收费和政府性基金票据年审表"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("年度行政事业性收费和政府性基金票据年审表"));
    QCOMPARE(dialog.List()->GetHeaderTitles(), AnnualTitles);
    QCOMPARE(dialog.List()->RowCount(), 13);
    QCOMPARE(dialog.List()->GetItemText(12, 6), QStringLiteral("￥716.34"));

    Choose(dialog, 1);
    dialog.GenerateButton()->click();
    QCOMPARE(script.caption, QStringLiteral("月季报表"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("月季报表"));
    QCOMPARE(dialog.List()->GetItemText(dialog.List()->RowCount() - 1, 0), QStringLiteral("合计"));

    Choose(dialog, 3);
    dialog.GenerateButton()->click();
    QCOMPARE(script.caption, QStringLiteral("收费票据缴销明细表"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("收费票据缴销明细表"));
    QCOMPARE(dialog.List()->GetHeaderTitles().first(), QStringLiteral("使用日期"));
    QCOMPARE(messages.Count(), 0);
}

void ReportDlgTest::departmentReportAsksForTheDepartment() {
    TestDatabase t;
    SeedGoldenBooks();
    MessageCapture messages;
    PeriodScript script;
    script.department = QStringLiteral("稽查队");
    CPeriodRunner runner(script);
    CReportDlg dialog;
    Choose(dialog, 2);
    dialog.GenerateButton()->click();
    QCOMPARE(script.caption, QStringLiteral("月季报表"));
    // Department names in pinyin order: ban, cai, ji.
    QCOMPARE(script.departments, QStringList({"办证大厅", "财务科", "稽查队"}));
    QCOMPARE(script.firstSelected, QStringLiteral("办证大厅"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("月季报表--稽查队"));
    QCOMPARE(dialog.List()->RowCount(), 3);
    QCOMPARE(dialog.List()->GetItemText(2, 10), QStringLiteral("稽查队"));
    QCOMPARE(messages.Count(), 0);
}

void ReportDlgTest::cancelledPeriodLeavesListAndCaption() {
    TestDatabase t;
    SeedGoldenBooks();
    MessageCapture messages;
    PeriodScript script;
    CPeriodRunner runner(script);
    CReportDlg dialog;
    Choose(dialog, 4);
    dialog.GenerateButton()->click();
    const QList<QStringList> before = ListRows(dialog.List());
    script.accept = false;
    Choose(dialog, 3);
    dialog.GenerateButton()->click();
    QCOMPARE(script.opened, 2);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("库存票据汇总表"));
    QCOMPARE(ListRows(dialog.List()), before);
    QCOMPARE(messages.Count(), 0);
}

void ReportDlgTest::periodEndingBeforeItBeginsIsRefused() {
    TestDatabase t;
    MessageCapture messages;
    PeriodScript script;
    script.from = QDateTime(QDate(2005, 2, 1), QTime(0, 0, 0));
    CPeriodRunner runner(script);
    CReportDlg dialog;
    Choose(dialog, 4);
    dialog.GenerateButton()->click();
    QCOMPARE(script.opened, 1);
    QCOMPARE(script.refusals, QStringList({"统计的开始时间晚于结束时间，请重新设定统计时间!"}));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("报表"));
    QCOMPARE(dialog.List()->GetHeaderTitles(), AnnualTitles);

    // The department report cannot be counted without a department to choose.
    script.from = QDateTime(QDate(2005, 1, 1), QTime(0, 0, 0));
    Choose(dialog, 2);
    dialog.GenerateButton()->click();
    QCOMPARE(script.departments, QStringList());
    QCOMPARE(script.refusals, QStringList({"没有可以选择的部门，请先增加发放部门!"}));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("报表"));
}

void ReportDlgTest::positionDecidesTheGeneratorWhateverTheName() {
    TestDatabase t;
    SeedGoldenBooks();
    t.Exec(
        QString::asprintf("UPDATE %s SET %s = '仓库盘点' WHERE %s = 5", Report_Info, Report_Info_Name, Report_Info_ID));
    t.Exec(QString::asprintf("INSERT INTO %s (%s) VALUES ('其他报表')", Report_Info, Report_Info_Name));
    MessageCapture messages;
    PeriodScript script;
    CPeriodRunner runner(script);
    CReportDlg dialog;
    QCOMPARE(dialog.ReportKinds()->itemText(4), QStringLiteral("仓库盘点"));
    Choose(dialog, 4);
    dialog.GenerateButton()->click();
    QCOMPARE(script.caption, QStringLiteral("库存票据汇总表"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("库存票据汇总表"));
    QCOMPARE(dialog.List()->ColumnCount(), 5);
    // The sixth report has no generator: no period is asked for and nothing changes.
    Choose(dialog, 5);
    dialog.GenerateButton()->click();
    QCOMPARE(script.opened, 1);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("库存票据汇总表"));
    QCOMPARE(dialog.List()->ColumnCount(), 5);
    // Nothing chosen, nothing done.
    dialog.ReportKinds()->setCurrentIndex(-1);
    dialog.GenerateButton()->click();
    QCOMPARE(script.opened, 1);
}

void ReportDlgTest::findMovesThroughMatchesAndIsSharedByEveryOpening() {
    TestDatabase t;
    SeedGoldenBooks();
    MessageCapture messages;
    PeriodScript script;
    CPeriodRunner runner(script);
    {
        CReportDlg dialog;
        Choose(dialog, 4);
        dialog.GenerateButton()->click();
        dialog.ColumnTitles()->setCurrentText(QStringLiteral("票据类型"));
        dialog.SearchText()->setText(QStringLiteral("基金"));
        dialog.FindButton()->click();
        QCOMPARE(dialog.List()->SelectedRows(), QList<int>({0}));
        QCOMPARE(CReportDlg::FindPosition(), 1);
    }
    CReportDlg dialog;
    Choose(dialog, 4);
    dialog.GenerateButton()->click();
    dialog.ColumnTitles()->setCurrentText(QStringLiteral("票据类型"));
    dialog.SearchText()->setText(QStringLiteral("基金"));
    // This opening goes on from the row the last one stopped after.
    dialog.FindButton()->click();
    QCOMPARE(dialog.List()->SelectedRows(), QList<int>({1}));
    QCOMPARE(CReportDlg::FindPosition(), 2);
    // After the last match the search starts over, and a text in no row leaves the selection.
    dialog.FindButton()->click();
    QCOMPARE(CReportDlg::FindPosition(), 0);
    QCOMPARE(dialog.List()->SelectedRows(), QList<int>({1}));
    dialog.SearchText()->setText(QStringLiteral("没有的票据"));
    dialog.FindButton()->click();
    QCOMPARE(CReportDlg::FindPosition(), 0);
    QCOMPARE(dialog.List()->SelectedRows(), QList<int>({1}));
}

void ReportDlgTest::printedReportShowsEveryColumnWithWholeAmounts() {
    TestDatabase t;
    SeedGoldenBooks();
    MessageCapture messages;
    PeriodScript script;
    script.to = QDateTime(QDate(2005, 12, 31), QTime(23, 59, 59));
    CPeriodRunner runner(script);
    CReportDlg dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.GenerateButton()->click();
    // The whole table is in view, so the page takes every column.
    QVERIFY(dialog.List()->viewport()->width() >= dialog.List()->horizontalHeader()->length());
    const QString path = QDir(t.Dir()).filePath(QStringLiteral("annual.pdf"));
    int asked = 0;
    const PrintDialogRunner previous = SetPrintDialogRunner([&](QPrinter &printer, QWidget *) {
        ++asked;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Landscape);
        return true;
    });
    dialog.PrintButton()->click();
    SetPrintDialogRunner(previous);
    QCOMPARE(asked, 1);
    const QString text = Run("pdftotext", {"-layout", "-enc", "UTF-8", path, "-"});
    QVERIFY2(text.contains(QStringLiteral("表格名称：年度行政事业性收费和政府性基金票据年审表")), qPrintable(text));
    for (const QString &title : AnnualTitles.mid(0, 9))
        QVERIFY2(text.contains(title), qPrintable(title));
    // Every amount of the table, whole.
    const CQueryListCtrl *list = dialog.List();
    for (int r = 0; r < list->RowCount(); ++r)
        for (int c = 0; c < list->ColumnCount(); ++c) {
            const QString cell = list->GetItemText(r, c);
            if (!cell.isEmpty())
                QVERIFY2(text.contains(cell),
                         qPrintable(QStringLiteral("row %1 column %2: %3").arg(r).arg(c).arg(cell)));
        }
    const QStringList totalLine = text.split(QLatin1Char('\n')).filter(QStringLiteral("合计"));
    QCOMPARE(totalLine.size(), 1);
    QCOMPARE(totalLine.first().simplified(), QStringLiteral("合计 2本 6本 4本 ￥716.34 ￥581.34 ￥35.00"));
    QCOMPARE(messages.Count(), 0);
}

void ReportDlgTest::exportWritesTheGeneratedReportUnderItsName() {
    TestDatabase t;
    SeedGoldenBooks();
    MessageCapture messages;
    PeriodScript script;
    script.to = QDateTime(QDate(2005, 12, 31), QTime(23, 59, 59));
    CPeriodRunner runner(script);
    CReportDlg dialog;
    QString proposed;
    const SaveFileRunner previous = SetSaveFileRunner([&](QString &path, QWidget *) {
        proposed = QFileInfo(path).fileName();
        path = QDir(t.Dir()).filePath(QStringLiteral("annual.csv"));
        return true;
    });
    dialog.ExportButton()->click(); // nothing generated yet: nothing asked
    QVERIFY(proposed.isEmpty());
    dialog.GenerateButton()->click();
    dialog.ExportButton()->click();
    SetSaveFileRunner(previous);
    QCOMPARE(proposed, QStringLiteral("年度行政事业性收费和政府性基金票据年审表.xlsx"));
    QFile file(QDir(t.Dir()).filePath(QStringLiteral("annual.csv")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString csv = QString::fromUtf8(file.readAll());
    for (int row = 0; row < dialog.List()->RowCount(); ++row)
        QVERIFY2(csv.contains(dialog.List()->GetItemText(row, 0)), qPrintable(dialog.List()->GetItemText(row, 0)));
    QVERIFY(csv.contains(AnnualTitles.first()));
}

void ReportDlgTest::printWithEmptyListDoesNothing() {
    TestDatabase t;
    MessageCapture messages;
    CReportDlg dialog;
    int asked = 0;
    const PrintDialogRunner previous = SetPrintDialogRunner([&](QPrinter &, QWidget *) {
        ++asked;
        return false;
    });
    dialog.PrintButton()->click();
    SetPrintDialogRunner(previous);
    QCOMPARE(asked, 0);
    QCOMPARE(messages.Count(), 0);
}

void ReportDlgTest::resizingKeepsTheControlsAtTheRightEdge() {
    TestDatabase t;
    CReportDlg dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QList<QWidget *> controls = {dialog.ReportKinds(), dialog.GenerateButton(), dialog.ColumnTitles(),
                                       dialog.SearchText(),  dialog.FindButton(),     dialog.PrintButton(),
                                       dialog.ExportButton(), dialog.CloseButton()};
    const int width = dialog.width();
    const int height = dialog.height();
    QList<QRect> before;
    for (QWidget *control : controls)
        before << control->geometry();
    const QRect list = dialog.List()->geometry();
    dialog.resize(width + 150, height + 80);
    QTRY_COMPARE(dialog.width(), width + 150);
    for (int i = 0; i < controls.size(); ++i)
        QCOMPARE(controls[i]->geometry(), before[i].translated(150, 0));
    QCOMPARE(dialog.List()->geometry(), list.adjusted(0, 0, 150, 80));
    // The controls stay in the order they were laid out, none over the next.
    for (int i = 1; i < controls.size(); ++i)
        QVERIFY(controls[i - 1]->geometry().right() < controls[i]->geometry().left());
}

QTEST_MAIN(ReportDlgTest)
#include "tst_reportdlg.moc"
