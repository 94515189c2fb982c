#include "app/Database.h"
#include "audit/OperationLog.h"
#include "lists/QueryListCtrl.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/MainDlg.h"
#include "mainwindow/Overview.h"
#include "mainwindow/OverviewView.h"
#include "mainwindow/ViewStatements.h"
#include "reports/ExportList.h"
#include "reports/PrintPicture.h"
#include "reports/PrintPreviewDlg.h"
#include "reports/ReportGenerators.h"
#include "resources/Artwork.h"
#include "schema/Schema.h"
#include "tests/reports/ReportSeed.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QBarSet>
#include <QChartView>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QProcess>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using namespace schema;

class OverviewTest : public QObject {
    Q_OBJECT
private slots:
    void figuresOfASeededHistoryEqualTheReportsToTheCent();
    void stockAndBooksOutEqualTheViewsListsToTheCent();
    void booksOutLongerThanNinetyDaysAreListedLongestOutFirst();
    void emptyStoreShowsZerosAndEmptyCharts();
    void clickOnAKindsBarListsExactlyThatKindsBooks();
    void clickOnAnOverdueBookListsTheBooksOutTooLongWithItChosen();
    void kindsRunningShortAreListedAndOpenTheirStock();
    void overviewTakesTheListsPlaceAndLeavesTheTree();
    void overviewIsReadAfreshAfterEveryCommand();
    void overviewPrintsAndExportsAsPdfAndPng();
};

namespace {

const QString KindA = QStringLiteral("行政收费票据");
const QString KindB = QStringLiteral("基金票据");
const QString KindC = QStringLiteral("不定额票据");

// The golden history of the reports, with void stamps: one book voided this year and one last year.
void SeedHistory(TestDatabase &t) {
    SeedGoldenBooks();
    AddBook(Book(KindB, 201, 50, 75).Flag(FlagVoid));
    AddBook(Book(KindB, 251, 50, 75).Flag(FlagVoid));
    t.Exec(QString::asprintf("UPDATE %s SET %s = '2005-2-3 10:0:0' WHERE %s = '%s' AND %s = 201", Bill_Info,
                             Bill_Invalid_Time, Bill_Kind, qUtf8Printable(KindB), Bill_Begin_Int));
    t.Exec(QString::asprintf("UPDATE %s SET %s = '2004-11-3 10:0:0' WHERE %s = '%s' AND %s = 251", Bill_Info,
                             Bill_Invalid_Time, Bill_Kind, qUtf8Printable(KindB), Bill_Begin_Int));
}

QDateTime At(const QString &text) {
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// The books and money of the cancellation detail over a period: its detail rows and its total row.
struct DetailTotals {
    int books = 0;
    QString collected; // the total row's "实缴专户", empty when nothing was collected
};
DetailTotals CancellationTotals(const QDate &first, const QDate &last) {
    const CReportTable table =
        CancellationDetail(QStringLiteral("%1-%2-%3 0:0:0").arg(first.year()).arg(first.month()).arg(first.day()),
                           QStringLiteral("%1-%2-%3 23:59:59").arg(last.year()).arg(last.month()).arg(last.day()));
    DetailTotals totals;
    if (table.rows.isEmpty())
        return totals;
    totals.books = int(table.rows.size()) - 1;
    totals.collected = table.rows.last().at(table.Column(QStringLiteral("实缴专户")));
    return totals;
}

QString Collected(qint64 cents) {
    return cents ? FormatCents(cents) : QString();
}

// A list control filled from a statement, as the views fill theirs.
struct FilledList {
    explicit FilledList(const QString &statement) {
        list.SetStatement(statement, 3);
        list.SetMoneyColumns(ViewMoneyColumns(), QStringLiteral("￥"), 2);
        list.FillFromStatement(statement, TheDatabase());
    }
    QStringList Column(const QString &title) const {
        QStringList texts;
        const int column = list.ColumnIndexOfTitle(title);
        for (int row = 0; row < list.RowCount(); ++row)
            texts << list.GetItemText(row, column);
        return texts;
    }
    CQueryListCtrl list;
};

qint64 CentsOf(const QStringList &money) {
    qint64 cents = 0;
    for (QString text : money)
        cents += ToCents(text.remove(QStringLiteral("￥")).toDouble());
    return cents;
}

const KindFigures *KindOf(const OverviewFigures &figures, const QString &kind) {
    for (const KindFigures &k : figures.kinds)
        if (k.kind == kind)
            return &k;
    return nullptr;
}

QStringList MainColumn(CMainDlg &dlg, const QString &title) {
    CQueryListCtrl *list = dlg.MainList();
    const int column = list->ColumnIndexOfTitle(title);
    QStringList texts;
    for (int row = 0; row < list->RowCount(); ++row)
        texts << list->GetItemText(row, column);
    return texts;
}

// A main window for the administrator, in department view.
struct Window {
    Window() {
        dlg.SetCurrentUser(QString::fromUtf8(AdministratorUser));
        dlg.Permissions().LoadPermissionTable();
        dlg.LoadUserRights();
        dlg.ShowDepartmentViewAgain();
    }
    CMainDlg dlg;
};

QString FigureText(CMainDlg &dlg, const char *name) {
    QLabel *label = dlg.Overview()->FigureLabel(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<missing>");
}

int LinePoints(COverviewView *view) {
    int points = 0;
    for (QAbstractSeries *series : view->MoneyChart()->chart()->series())
        if (auto *line = qobject_cast<QLineSeries *>(series))
            points += int(line->count());
    return points;
}

// Pixels in the colour of the bars of books in stock.
int BarPixels(const QImage &image) {
    const QColor bar = artwork::AccentColor();
    int pixels = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - bar.red()) + std::abs(c.green() - bar.green()) + std::abs(c.blue() - bar.blue()) <
                24)
                ++pixels;
        }
    return pixels;
}

} // namespace

void OverviewTest::figuresOfASeededHistoryEqualTheReportsToTheCent() {
    TestDatabase t;
    SeedHistory(t);
    const OverviewFigures figures = ReadOverview(At(QStringLiteral("2005-03-15 12:00:00")));

    const DetailTotals march = CancellationTotals(QDate(2005, 3, 1), QDate(2005, 3, 31));
    QCOMPARE(figures.returnedThisMonth, march.books);
    QCOMPARE(Collected(figures.collectedThisMonthCents), march.collected);
    QCOMPARE(march.collected, QStringLiteral("￥175.00"));

    const DetailTotals year = CancellationTotals(QDate(2005, 1, 1), QDate(2005, 12, 31));
    QCOMPARE(figures.returnedThisYear, year.books);
    QCOMPARE(Collected(figures.collectedThisYearCents), year.collected);
    // Returned and voided since, and returned and issued again, still count as returned this year.
    QCOMPARE(year.books, 10);
    QCOMPARE(year.collected, QStringLiteral("￥631.34"));

    QCOMPARE(figures.months.size(), OverviewMonths);
    QCOMPARE(figures.months.first().month, QDate(2004, 4, 1));
    QCOMPARE(figures.months.last().month, QDate(2005, 3, 1));
    for (const MonthMoney &month : figures.months) {
        const DetailTotals detail = CancellationTotals(month.month, month.month.addMonths(1).addDays(-1));
        QCOMPARE(Collected(month.cents), detail.collected);
    }
    QCOMPARE(figures.months.at(9).cents, 45634); // January 2005

    // Voided this year: only the book stamped in 2005.
    QCOMPARE(figures.voidedThisYear,
             t.Count(QString::fromLatin1(Bill_Info),
                     QString::asprintf("%s = '%s' AND %s BETWEEN #2005-1-1 0:0:0# AND #2005-12-31 23:59:59#", Bill_Flag,
                                       FlagVoid, Bill_Invalid_Time)));
    QCOMPARE(figures.voidedThisYear, 1);

    // The same history seen in January: the month is January, and what came back in March is not yet.
    const OverviewFigures january = ReadOverview(At(QStringLiteral("2005-01-31 18:00:00")));
    QCOMPARE(january.returnedThisMonth, CancellationTotals(QDate(2005, 1, 1), QDate(2005, 1, 31)).books);
    QCOMPARE(january.collectedThisMonthCents, 45634);
    QCOMPARE(january.months.last().month, QDate(2005, 1, 1));
}

void OverviewTest::stockAndBooksOutEqualTheViewsListsToTheCent() {
    TestDatabase t;
    SeedHistory(t);
    const OverviewFigures figures = ReadOverview(At(QStringLiteral("2005-03-15 12:00:00")));
    QCOMPARE(figures.kinds.size(), 3);
    int stock = 0;
    qint64 stockCents = 0;
    for (const KindFigures &kind : figures.kinds) {
        const FilledList list(KindStockStatement(kind.kind));
        QCOMPARE(kind.inStock, list.list.RowCount());
        stock += list.list.RowCount();
        stockCents += CentsOf(list.Column(QStringLiteral("金额")));
        QCOMPARE(kind.returned, t.Count(QString::fromLatin1(Bill_Info),
                                        QString::asprintf("%s = '%s' AND %s = '%s'", Bill_Flag, FlagReturned, Bill_Kind,
                                                          qUtf8Printable(kind.kind))));
    }
    QCOMPARE(figures.booksInStock, stock);
    QCOMPARE(figures.stockCents, stockCents);
    QCOMPARE(FormatCents(figures.stockCents), QStringLiteral("￥275.00"));

    // Books out: what the department view lists department by department.
    int out = 0;
    QHash<QString, int> outByKind;
    QList<DepartmentNode> departments;
    ReadDepartmentTree(departments);
    for (const DepartmentNode &department : departments) {
        const FilledList list(DepartmentRunsStatement(department.name));
        out += list.list.RowCount();
        for (const QString &kind : list.Column(QStringLiteral("票据类型")))
            ++outByKind[kind];
    }
    QCOMPARE(figures.booksOut, out);
    QCOMPARE(out, 4);
    for (const KindFigures &kind : figures.kinds)
        QCOMPARE(kind.out, outByKind.value(kind.kind));
    QCOMPARE(KindOf(figures, KindA)->returned, 4);
}

void OverviewTest::booksOutLongerThanNinetyDaysAreListedLongestOutFirst() {
    TestDatabase t;
    SeedHistory(t);
    // On 14 April at 20:00 the books drawn before 14 January 20:00 are more than ninety days out.
    const OverviewFigures figures = ReadOverview(At(QStringLiteral("2005-04-14 20:00:00")));
    QStringList listed;
    for (const OverdueBook &book : figures.overdue)
        listed << book.kind + QLatin1Char(' ') + book.begin + QLatin1Char(' ') + book.department;
    QCOMPARE(listed,
             QStringList({KindC + QStringLiteral(" 00000021 办证大厅"), KindA + QStringLiteral(" 00000226 办证大厅")}));
    QCOMPARE(figures.overdue.first().days, 98);
    QCOMPARE(figures.overdue.first().issued, QStringLiteral("2005-01-06 09:00:00"));

    // The same books the department view lists with a 领票时间 before the limit.
    QStringList fromViews;
    QList<DepartmentNode> departments;
    ReadDepartmentTree(departments);
    for (const DepartmentNode &department : departments) {
        const FilledList list(DepartmentRunsStatement(department.name));
        const QStringList times = list.Column(QStringLiteral("领票时间"));
        for (int row = 0; row < times.size(); ++row)
            if (times.at(row) < QStringLiteral("2005-01-14 20:00:00"))
                fromViews << list.Column(QStringLiteral("开始编号")).at(row);
    }
    fromViews.sort();
    QCOMPARE(fromViews, QStringList({QStringLiteral("00000021"), QStringLiteral("00000226")}));
}

void OverviewTest::emptyStoreShowsZerosAndEmptyCharts() {
    TestDatabase t;
    MessageCapture messages;
    const OverviewFigures figures = ReadOverview(QDateTime::currentDateTime());
    QVERIFY(figures.IsEmpty());
    QCOMPARE(figures.months.size(), OverviewMonths);
    for (const MonthMoney &month : figures.months)
        QCOMPARE(month.cents, 0);

    Window w;
    w.dlg.RunCommand(cmd::Overview);
    QCOMPARE(w.dlg.ViewMode(), int(CMainDlg::OverviewMode));
    for (const char *name : {"stockBooks", "outBooks", "monthReturned", "yearReturned", "yearVoided"})
        QCOMPARE(FigureText(w.dlg, name), QStringLiteral("0 本"));
    for (const char *name : {"stockValue", "monthCollected", "yearCollected"})
        QCOMPARE(FigureText(w.dlg, name), QStringLiteral("￥0.00"));
    COverviewView *view = w.dlg.Overview();
    for (auto state : {COverviewView::InStock, COverviewView::Out, COverviewView::Returned})
        QCOMPARE(view->KindBars(state)->count(), 0);
    QCOMPARE(LinePoints(view), 0);
    QCOMPARE(view->LowStockList()->topLevelItemCount(), 0);
    QCOMPARE(view->OverdueList()->topLevelItemCount(), 0);
    QCOMPARE(messages.Count(), 0);
}

void OverviewTest::clickOnAKindsBarListsExactlyThatKindsBooks() {
    TestDatabase t;
    SeedHistory(t);
    MessageCapture messages;
    Window w;
    w.dlg.RunCommand(cmd::Overview);
    COverviewView *view = w.dlg.Overview();
    const QList<KindFigures> &kinds = view->Figures().kinds;
    int indexA = -1;
    for (int i = 0; i < kinds.size(); ++i)
        if (kinds.at(i).kind == KindA)
            indexA = i;
    QVERIFY(indexA >= 0);
    QCOMPARE(view->KindBars(COverviewView::InStock)->at(indexA), 2.0);

    emit view->KindBars(COverviewView::InStock)->clicked(indexA);
    QCOMPARE(w.dlg.ViewMode(), int(CMainDlg::RepositoryViewMode));
    QCOMPARE(MainColumn(w.dlg, QStringLiteral("开始编号")), QStringList({"00000151", "00000176"}));
    QCOMPARE(MainColumn(w.dlg, QStringLiteral("票据类型")), QStringList(2, KindA));
    QCOMPARE(w.dlg.Tree()->currentItem()->text(0), KindA);

    w.dlg.RunCommand(cmd::Overview);
    emit w.dlg.Overview()->KindBars(COverviewView::Out)->clicked(indexA);
    QCOMPARE(w.dlg.ViewMode(), int(CMainDlg::DepartmentViewMode));
    QCOMPARE(MainColumn(w.dlg, QStringLiteral("开始编号")), QStringList({"00000101", "00000126", "00000226"}));
    QCOMPARE(MainColumn(w.dlg, QStringLiteral("票据类型")), QStringList(3, KindA));
    QCOMPARE(MainColumn(w.dlg, QStringLiteral("领票人")).size(), 3);

    w.dlg.RunCommand(cmd::Overview);
    emit w.dlg.Overview()->KindBars(COverviewView::Returned)->clicked(indexA);
    QCOMPARE(MainColumn(w.dlg, QStringLiteral("开始编号")),
             QStringList({"00000001", "00000026", "00000051", "00000076"}));
    QCOMPARE(MainColumn(w.dlg, QStringLiteral("实收金额")), QStringList({"￥50.00", "￥45.00", "￥40.00", "￥50.00"}));
    QCOMPARE(messages.Count(), 0);
}

void OverviewTest::clickOnAnOverdueBookListsTheBooksOutTooLongWithItChosen() {
    TestDatabase t;
    AddDepartment(QStringLiteral("财务科"));
    const QDateTime now = QDateTime::currentDateTime();
    const auto stamp = [](const QDateTime &time) { return time.toString(QStringLiteral("yyyy-M-d H:m:s")); };
    AddBook(Book(KindA, 1, 25, 50).Issued(stamp(now.addDays(-200)), QStringLiteral("财务科")));
    AddBook(Book(KindA, 26, 25, 50).Issued(stamp(now.addDays(-120)), QStringLiteral("财务科")));
    AddBook(Book(KindA, 51, 25, 50).Issued(stamp(now.addDays(-10)), QStringLiteral("财务科")));
    Window w;
    w.dlg.RunCommand(cmd::Overview);
    QTreeWidget *overdue = w.dlg.Overview()->OverdueList();
    QCOMPARE(overdue->topLevelItemCount(), 2);
    QCOMPARE(overdue->topLevelItem(0)->text(1), QStringLiteral("00000001"));
    QCOMPARE(overdue->topLevelItem(1)->text(6), QStringLiteral("120"));

    emit overdue->itemClicked(overdue->topLevelItem(1), 0);
    QCOMPARE(w.dlg.ViewMode(), int(CMainDlg::DepartmentViewMode));
    QCOMPARE(MainColumn(w.dlg, QStringLiteral("开始编号")), QStringList({"00000001", "00000026"}));
    QCOMPARE(w.dlg.MainList()->SelectedRows(), QList<int>({1}));
}

void OverviewTest::kindsRunningShortAreListedAndOpenTheirStock() {
    TestDatabase t;
    SeedHistory(t);
    // Kind A holds 2 books in stock, one fewer than its limit; kind B holds exactly its limit.
    const QString stockB =
        t.Scalar(QString::asprintf("SELECT COUNT(*) FROM %s WHERE %s = '%s' AND %s = '%s'", Bill_Info, Bill_Kind,
                                   qUtf8Printable(KindB), Bill_Flag, FlagStock));
    QVERIFY(stockB.toInt() > 0);
    const auto setLimit = [&t](const QString &kind, const QString &limit) {
        t.Exec(QStringLiteral("UPDATE %1 SET %2 = %3 WHERE %4 = '%5'")
                   .arg(QLatin1String(Bill_Kind_Info), QLatin1String(Bill_Kind_Stock_Limit), limit,
                        QLatin1String(Bill_Kind_Name), kind));
    };
    setLimit(KindA, QStringLiteral("3"));
    setLimit(KindB, stockB);
    MessageCapture messages;
    Window w;
    w.dlg.RunCommand(cmd::RepositoryView);
    w.dlg.RunCommand(cmd::Overview);
    QTreeWidget *shortKinds = w.dlg.Overview()->LowStockList();
    QCOMPARE(shortKinds->topLevelItemCount(), 1);
    QCOMPARE(shortKinds->topLevelItem(0)->text(0), KindA);
    QCOMPARE(shortKinds->topLevelItem(0)->text(1), QStringLiteral("2 本"));
    QCOMPARE(shortKinds->topLevelItem(0)->text(2), QStringLiteral("3 本"));

    emit shortKinds->itemClicked(shortKinds->topLevelItem(0), 0);
    QCOMPARE(w.dlg.ViewMode(), int(CMainDlg::RepositoryViewMode));
    QCOMPARE(MainColumn(w.dlg, QStringLiteral("开始编号")), QStringList({"00000151", "00000176"}));
    // The tree's item of the kind carries the mark, and is still the one chosen.
    QCOMPARE(w.dlg.Tree()->currentItem()->text(0), KindA + QStringLiteral("（库存不足）"));
    QCOMPARE(messages.Count(), 0);
}

void OverviewTest::overviewTakesTheListsPlaceAndLeavesTheTree() {
    TestDatabase t;
    AddKind(KindSpec{KindA, QStringLiteral("行政事业性收费"), QString(), QString(), 8, 25, 2, false});
    Window w;
    w.dlg.RunCommand(cmd::RepositoryView);
    auto *area = w.dlg.findChild<QStackedWidget *>();
    QVERIFY(area);
    QCOMPARE(area->currentWidget(), static_cast<QWidget *>(w.dlg.MainList()));

    auto *button = w.dlg.findChild<QToolButton *>(QStringLiteral("button1016"));
    QVERIFY(button && button->isEnabled());
    QCOMPARE(button->text(), QStringLiteral("概览"));
    button->click();
    QCOMPARE(area->currentWidget(), static_cast<QWidget *>(w.dlg.Overview()));
    QCOMPARE(w.dlg.Tree()->topLevelItemCount(), 1);
    QCOMPARE(w.dlg.Tree()->topLevelItem(0)->text(0), KindA);
    w.dlg.UpdateMenuState(3);
    QVERIFY(w.dlg.CommandAction(cmd::Overview)->isChecked());
    QVERIFY(!w.dlg.CommandAction(cmd::RepositoryView)->isChecked());
    // Issue and return need their own views.
    w.dlg.UpdateMenuState(1);
    QVERIFY(!w.dlg.CommandAction(cmd::Issue)->isEnabled());

    // A double click on the tree lists the kind's stock in the overview's place.
    w.dlg.OnTreeDoubleClick(w.dlg.Tree()->topLevelItem(0));
    QCOMPARE(w.dlg.ViewMode(), int(CMainDlg::RepositoryViewMode));
    QCOMPARE(area->currentWidget(), static_cast<QWidget *>(w.dlg.MainList()));

    w.dlg.RunCommand(cmd::Overview);
    w.dlg.RunCommand(cmd::DepartmentView);
    QCOMPARE(w.dlg.ViewMode(), int(CMainDlg::DepartmentViewMode));
    QCOMPARE(area->currentWidget(), static_cast<QWidget *>(w.dlg.MainList()));
}

void OverviewTest::overviewIsReadAfreshAfterEveryCommand() {
    TestDatabase t;
    const KindSpec kind{KindA, QStringLiteral("行政事业性收费"), QString(), QString(), 8, 25, 2, false};
    AddKind(kind);
    Window w;
    w.dlg.RunCommand(cmd::Overview);
    QCOMPARE(FigureText(w.dlg, "stockBooks"), QStringLiteral("0 本"));
    // A stock-in that takes two books in, as the dialog would.
    w.dlg.SetCommandHandler(cmd::StockIn, [&] {
        AddStockRun(kind, 1);
        AddStockRun(kind, 26);
    });
    w.dlg.RunCommand(cmd::StockIn);
    QCOMPARE(FigureText(w.dlg, "stockBooks"), QStringLiteral("2 本"));
    QCOMPARE(FigureText(w.dlg, "stockValue"), QStringLiteral("￥100.00"));
    QCOMPARE(w.dlg.Overview()->KindBars(COverviewView::InStock)->at(0), 2.0);
}

void OverviewTest::overviewPrintsAndExportsAsPdfAndPng() {
    TestDatabase t;
    SeedHistory(t);
    WriteLog({QString::fromUtf8(logop::AddMaster), 0, QString(), QString(), QString(), 0, 0,
              QStringLiteral("发放部门：财务科")});
    MessageCapture messages;
    Window w;
    w.dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.dlg));
    w.dlg.RunCommand(cmd::Overview);
    COverviewView *view = w.dlg.Overview();

    QString title;
    int pages = -1;
    const PreviewRunner previous = SetPreviewRunner([&](CPrintPreviewDlg &preview) {
        title = preview.windowTitle();
        pages = preview.PageCount();
    });
    w.dlg.RunCommand(cmd::Print);
    SetPreviewRunner(previous);
    QCOMPARE(title, QStringLiteral("打印预览 - 票据概览"));
    QCOMPARE(pages, 1);

    const QString png = QDir(t.Dir()).filePath(QStringLiteral("概览.png"));
    QString error;
    QVERIFY2(ExportPictureTo(*view, QStringLiteral("票据概览"), png, &error), qPrintable(error));
    const QImage picture(png);
    QCOMPARE(picture.size(), view->size() * 2);
    QVERIFY(BarPixels(picture) > 1000);
    QVERIFY(!ExportPictureTo(*view, QStringLiteral("票据概览"), QDir(t.Dir()).filePath("概览.txt"), &error));
    QCOMPARE(error, QStringLiteral("只能导出为 .png 或 .pdf 文件"));

    // "导出" in the overview proposes a picture and writes the PDF the clerk chose.
    const QString pdf = QDir(t.Dir()).filePath(QStringLiteral("概览.pdf"));
    QString proposed;
    const SaveFileRunner previousRunner = SetSaveFileRunner([&](QString &path, QWidget *) {
        proposed = QFileInfo(path).fileName();
        path = pdf;
        return true;
    });
    w.dlg.RunCommand(cmd::Export);
    SetSaveFileRunner(previousRunner);
    QCOMPARE(proposed, QStringLiteral("票据概览.png"));
    QCOMPARE(messages.Last().text, QStringLiteral("票据概览已导出到：\n%1").arg(QDir::toNativeSeparators(pdf)));
    QProcess text;
    text.start(QStringLiteral("pdftotext"),
               {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(printed.contains(QStringLiteral("表格名称：票据概览")), qPrintable(printed));
    // Its foot carries the log's chain head, as every printed report does.
    QVERIFY(!ChainHeadCode().isEmpty());
    QVERIFY2(printed.contains(QStringLiteral("日志校验码：") + ChainHeadCode()), qPrintable(printed));
    // The overview itself is drawn on the page: its bars show in their colours.
    QProcess page;
    page.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"),
                                            QStringLiteral("-singlefile"), pdf, QDir(t.Dir()).filePath("page")});
    QVERIFY(page.waitForFinished(30000));
    QVERIFY(BarPixels(QImage(QDir(t.Dir()).filePath("page.png"))) > 20);
}

QTEST_MAIN(OverviewTest)
#include "tst_overview.moc"
