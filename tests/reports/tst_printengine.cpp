// Printing lists into PDF files read back as text, the page geometry and the table-name dialog.
#include "lists/QueryListCtrl.h"
#include "reports/PrintEngine.h"
#include "reports/TableNameDlg.h"
#include "schema/Schema.h"
#include "tests/support/TestSupport.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

using namespace schema;

namespace {

void PreparePdf(QPrinter &printer, const QString &path) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
}

QString Run(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of each page.
QStringList PdfPages(const QString &path) {
    QStringList pages = Run("pdftotext", {"-layout", "-enc", "UTF-8", path, "-"}).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QString PdfInfo(const QString &path, const QString &field) {
    for (const QString &line : Run("pdfinfo", {path}).split(QLatin1Char('\n')))
        if (line.startsWith(field + QLatin1Char(':')))
            return line.mid(field.size() + 1).trimmed();
    return QString();
}

// A word of the printed text and where it stands across the page, in points.
struct PdfWord {
    QString text;
    double left = 0;
    double right = 0;
};

QList<PdfWord> PdfWords(const QString &path) {
    QList<PdfWord> words;
    const QString html = Run("pdftotext", {"-bbox", "-enc", "UTF-8", path, "-"});
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">([^<]*)</word>"));
    for (auto match = word.globalMatch(html); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        words.append({m.captured(3).replace(QStringLiteral("&amp;"), QStringLiteral("&")), m.captured(1).toDouble(),
                      m.captured(2).toDouble()});
    }
    return words;
}

// The table's frame across the page, in points, as the printer laid it out for the job.
struct PdfFrame {
    double left = 0;
    double right = 0;
};

PdfFrame FrameOf(QPrinter &printer) {
    const QRectF paint = printer.pageLayout().paintRectPoints();
    const double width = PrintGeometryOf(printer).pageWidth * 72.0 / printer.resolution();
    return {paint.left(), paint.left() + width};
}

// The printed widths are relative to the list's client width on screen.
void ShowList(CQueryListCtrl &list, int width) {
    list.resize(width, 300);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
}

// Bills numbered 1..count in stock, listed by the list the way a dialog lists them.
void FillBills(CQueryListCtrl &list, int count, const QString &kind = QStringLiteral("票据甲")) {
    {
        CTransaction transaction;
        for (int i = 1; i <= count; ++i)
            TheDatabase().ExecuteStatement(
                QString::asprintf("INSERT INTO %s (%s,%s,%s,%s) VALUES ('%s','%s',%f,'%s')", Bill_Info, Bill_Kind,
                                  Bill_Begin_Char, Bill_Unit_Total, Bill_Flag, qUtf8Printable(kind),
                                  qPrintable(QString::asprintf("N%05d", i)), 100.0 * i, FlagStock));
        transaction.Commit();
    }
    const QString statement =
        QString::asprintf("SELECT %s AS 票据类型,%s AS 开始编号,%s AS 金额 FROM %s WHERE %s = '%s' ORDER BY %s ASC",
                          Bill_Kind, Bill_Begin_Char, Bill_Unit_Total, Bill_Info, Bill_Flag, FlagStock, Bill_ID);
    list.ClearColumns();
    list.SetStatement(statement, 3);
    list.SetMoneyColumns({"金额"}, "￥", 2);
    QVERIFY(list.FillFromStatement(statement));
    ShowList(list, 600);
}

int RowsPerPage(const QString &path) {
    QPrinter printer(QPrinter::HighResolution);
    PreparePdf(printer, path);
    return PrintGeometryOf(printer).RowsPerPage();
}

} // namespace

class TestPrintEngine : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_out;

    QString Pdf(const QString &name) const { return m_out.filePath(name + QStringLiteral(".pdf")); }

    PrintOutcome PrintInto(CQueryListCtrl &list, const QString &path, const QString &tableName = "测试表") {
        QPrinter printer(QPrinter::HighResolution);
        PreparePdf(printer, path);
        return PrintListOn(printer, list, tableName);
    }

private slots:
    void GeometryFollowsTheRules() {
        const PageGeometry page = ComputePageGeometry(1000, 1000, 20, 7);
        QCOMPARE(page.rowHeight, 35);
        QCOMPARE(page.pageWidth, 1000);
        QCOMPARE(page.pageHeight, 1000);
        QCOMPARE(page.linesPerPage, 28);
        QCOMPARE(page.RowsPerPage(), 23);
        QCOMPARE(PageCount(0, page), 0);
        QCOMPARE(PageCount(23, page), 1);
        QCOMPARE(PageCount(24, page), 2);
        QVERIFY(!ComputePageGeometry(1000, 170, 20, 7).HoldsRows()); // L = 4
    }

    void ColumnsShareThePageWidth() {
        // Everything fits: each column has its need, the rest goes as the columns are wide on screen.
        QVector<PrintColumn> columns = ComputePrintColumns({{100, 200}, {50, 100}}, {100, 300}, 1000);
        QCOMPARE(columns.size(), 2);
        QCOMPARE(columns[0].width, 200 + 175);
        QCOMPARE(columns[1].rightEdge, 1000.0);
        QCOMPARE(columns[1].width, 100 + 525);
        // Only the whole texts fit: they keep their width, the rest of the page goes to the names.
        columns = ComputePrintColumns({{300, 300}, {100, 700}, {100, 400}}, {1, 1, 1}, 800);
        QCOMPARE(columns[0].width, 300);
        QCOMPARE(columns[1].width, 100 + 200);
        QCOMPARE(columns[2].width, 100 + 100);
        QCOMPARE(columns[2].rightEdge, 800.0);
        // Not even they fit: the page is shared as they need it, and nothing passes the page width.
        columns = ComputePrintColumns({{1500, 1500}, {500, 2000}}, {10, 10}, 1000);
        QCOMPARE(columns[0].width, 750);
        QCOMPARE(columns[1].width, 250);
        QCOMPARE(columns[1].rightEdge, 1000.0);
        QCOMPARE(FullWidthOf({{1500, 1500}, {500, 2000}}), 3500);
        QVERIFY(ComputePrintColumns({}, {}, 1000).isEmpty());
    }

    void NumbersAmountsAndDatesPrintWhole() {
        for (const char *text : {"12500", "￥12500.00", "2026-01-05 09:00:00", "2026-1-5 9:0:0", "XZ00000051", "50%"})
            QVERIFY2(PrintsWhole(QString::fromUtf8(text)), text);
        for (const char *text : {"行政事业性收费票据", "", "-", "XZ", "第3本", "周主任"})
            QVERIFY2(!PrintsWhole(QString::fromUtf8(text)), text);
    }

    void CuttingByMeasuredWidthNeverSplitsACharacter() {
        const QFontMetrics metrics(PrintFont());
        const auto measure = [&](QStringView text) { return metrics.horizontalAdvance(text.toString()); };
        const QString name = QStringLiteral("行政事业性收费票据");
        QCOMPARE(CutToWidth(name, measure(name), measure), name);
        QCOMPARE(CutToWidth(name, measure(u"行政事业"), measure), QStringLiteral("行政事业"));
        QCOMPARE(CutToWidth(name, measure(u"行政事业") - 1, measure), QStringLiteral("行政事"));
        QCOMPARE(CutToWidth(name, 0, measure), QString());
        // A letter with its combining accent, and a character outside the basic plane, stay whole.
        const QString accented = QString::fromUtf16(u"e\u0301x");
        const QString cut = CutToWidth(accented, measure(u"e"), measure);
        QVERIFY2(cut.isEmpty() || cut == accented.left(2), qPrintable(cut));
        const QString rare = QString::fromUcs4(U"\U00020000x");
        QVERIFY(CutToWidth(rare, measure(rare) - 1, measure) == rare.left(2) ||
                CutToWidth(rare, measure(rare) - 1, measure).isEmpty());
        QCOMPARE(CutToWidth(rare, measure(rare.left(2)), measure), rare.left(2));
    }

    void EmptyListPrintsNoPage() {
        TestDatabase t;
        CQueryListCtrl list;
        FillBills(list, 0);
        QCOMPARE(PrintInto(list, Pdf("empty")), PrintOutcome::NoRows);
        QVERIFY(!QFile::exists(Pdf("empty")));
    }

    void FullPageFitsOnOnePageAndOneMoreRowTakesTwo() {
        TestDatabase t;
        const int perPage = RowsPerPage(Pdf("probe"));
        QVERIFY(perPage > 5);
        CQueryListCtrl list;
        FillBills(list, perPage);
        QCOMPARE(PrintInto(list, Pdf("full")), PrintOutcome::Printed);
        QCOMPARE(PdfPages(Pdf("full")).size(), 1);
        QCOMPARE(PdfInfo(Pdf("full"), "Pages"), QStringLiteral("1"));

        CQueryListCtrl more;
        FillBills(more, 1); // one more bill, again numbered N00001, is listed last
        QCOMPARE(more.RowCount(), perPage + 1);
        QCOMPARE(PrintInto(more, Pdf("more")), PrintOutcome::Printed);
        const QStringList pages = PdfPages(Pdf("more"));
        QCOMPARE(pages.size(), 2);
        QVERIFY(pages[0].contains(QString::asprintf("N%05d", perPage)));
        QVERIFY(!pages[1].contains(QString::asprintf("N%05d", perPage)));
        QVERIFY(pages[1].contains(QStringLiteral("N00001"))); // the one row of the second page
        QVERIFY(pages[1].contains(QStringLiteral("--第2/2页--")));
    }

    void PagesAreNumberedAndCarryTheFixedTexts() {
        TestDatabase t;
        const int perPage = RowsPerPage(Pdf("probe"));
        CQueryListCtrl list;
        FillBills(list, 2 * perPage + 1);
        QCOMPARE(PrintInto(list, Pdf("three"), "票据清单"), PrintOutcome::Printed);
        const QStringList pages = PdfPages(Pdf("three"));
        QCOMPARE(pages.size(), 3);
        for (int p = 1; p <= 3; ++p) {
            const QString &page = pages[p - 1];
            QVERIFY2(page.contains(QString::asprintf("--第%d/3页--", p)), qPrintable(page));
            for (const char *text : {"表格名称：票据清单", "执收单位：", "打印时间:", "执收单位负责人：",
                                     "执收单位经办人：", "执收单位制表人：", "票据类型", "开始编号", "金额"})
                QVERIFY2(page.contains(QString::fromUtf8(text)), text);
        }
        QVERIFY(pages[0].contains(QStringLiteral("票据甲")));
        QVERIFY(pages[0].contains(QStringLiteral("￥100.00")));
        QVERIFY(pages[2].contains(QString::asprintf("N%05d", 2 * perPage + 1)));
        QCOMPARE(PdfInfo(Pdf("three"), "Title"), QStringLiteral("票据清单"));
    }

    void LongNamesAreCutWithinTheFrameOfATurnedPage() {
        CQueryListCtrl list;
        const QString name = QStringLiteral("这是一个非常非常长的中文名称用来试一试打印的宽度");
        for (int i = 0; i < 10; ++i)
            list.InsertColumn(i, QStringLiteral("名称列之") + QChar(u"甲乙丙丁戊己庚辛壬癸"[i]), 60);
        ShowList(list, 400); // far narrower than its columns: the ones out of view print too
        for (int r = 0; r < 3; ++r) {
            const int row = list.AppendRow();
            for (int i = 0; i < 10; ++i)
                list.SetItemText(row, i, name);
        }
        QPrinter printer(QPrinter::HighResolution);
        PreparePdf(printer, Pdf("tenwide"));
        QCOMPARE(PrintListOn(printer, list, "十列"), PrintOutcome::Printed);
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
        const QString text = PdfPages(Pdf("tenwide")).value(0);
        for (const QString &title : list.GetHeaderTitles())
            QVERIFY2(text.contains(title), qPrintable(title));
        QVERIFY(!text.contains(name));
        QVERIFY(text.count(name.left(3)) >= 30);

        const PdfFrame frame = FrameOf(printer);
        const QList<PdfWord> words = PdfWords(Pdf("tenwide"));
        QVERIFY(words.size() > 30);
        for (const PdfWord &word : words)
            QVERIFY2(word.left >= frame.left - 0.5 && word.right <= frame.right + 0.5,
                     qPrintable(QString("%1 %2..%3 outside %4..%5")
                                    .arg(word.text)
                                    .arg(word.left)
                                    .arg(word.right)
                                    .arg(frame.left)
                                    .arg(frame.right)));
    }

    void AmountsAndDatesPrintWholeInNarrowColumns() {
        CQueryListCtrl list;
        for (int i = 0; i < 12; ++i)
            list.InsertColumn(i, i % 2 ? QStringLiteral("金额") : QStringLiteral("时间"), 50);
        ShowList(list, 600);
        const int row = list.AppendRow();
        for (int i = 0; i < 12; ++i)
            list.SetItemText(row, i, i % 2 ? QStringLiteral("￥12500.00") : QStringLiteral("2026-01-05 09:00:00"));
        QPrinter printer(QPrinter::HighResolution);
        PreparePdf(printer, Pdf("narrow"));
        printer.setPageSize(QPageSize(QPageSize::A6));
        QCOMPARE(PrintListOn(printer, list, "窄"), PrintOutcome::Printed);
        const QList<PdfWord> words = PdfWords(Pdf("narrow"));
        int amounts = 0, days = 0, times = 0;
        const PdfFrame frame = FrameOf(printer);
        for (const PdfWord &word : words) {
            amounts += word.text == QStringLiteral("￥12500.00");
            days += word.text == QStringLiteral("2026-01-05");
            times += word.text == QStringLiteral("09:00:00");
            QVERIFY2(word.right <= frame.right + 0.5, qPrintable(word.text));
        }
        QCOMPARE(amounts, 6);
        QCOMPARE(days, 6);
        QCOMPARE(times, 6);
    }

    void ColumnsMadeDirectlyArePrinted() {
        CQueryListCtrl list;
        list.InsertColumn(0, "项目", 120);
        list.InsertColumn(1, "数量", 120);
        ShowList(list, 400);
        const int row = list.AppendRow();
        list.SetItemText(row, 0, "合计");
        list.SetItemText(row, 1, "42");
        QCOMPARE(PrintInto(list, Pdf("direct")), PrintOutcome::Printed);
        const QString text = PdfPages(Pdf("direct")).value(0);
        QVERIFY(text.contains(QStringLiteral("项目")));
        QVERIFY(text.contains(QStringLiteral("合计")));
        QVERIFY(text.contains(QStringLiteral("42")));
    }

    void LongTableNameIsCutBeforeTheMiddle() {
        TestDatabase t;
        CQueryListCtrl list;
        FillBills(list, 1);
        const QString name = QString(200, QChar(u'长'));
        QCOMPARE(PrintInto(list, Pdf("longname"), name), PrintOutcome::Printed);
        const QString text = PdfPages(Pdf("longname")).value(0);
        const qsizetype at = text.indexOf(QStringLiteral("表格名称："));
        QVERIFY(at >= 0);
        QVERIFY(!text.contains(QStringLiteral("表格名称：") + name));
        QVERIFY(text.contains(QStringLiteral("执收单位：")));
    }

    void PageTooSmallForRowsIsRefused() {
        TestDatabase t;
        MessageCapture messages;
        CQueryListCtrl list;
        FillBills(list, 2);
        QPrinter printer(QPrinter::HighResolution);
        PreparePdf(printer, Pdf("tiny"));
        printer.setPageSize(QPageSize(QSizeF(60, 12), QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        QVERIFY(!PrintGeometryOf(printer).HoldsRows());
        QCOMPARE(PrintListOn(printer, list, "小"), PrintOutcome::Refused);
        QCOMPARE(messages.Count(), 1);
        QVERIFY(!QFile::exists(Pdf("tiny")));
    }

    void PrintListAsksForThePrinterFirst() {
        TestDatabase t;
        CQueryListCtrl list;
        FillBills(list, 2);
        const QString path = Pdf("dialog");
        int asked = 0;
        const PrintDialogRunner previous = SetPrintDialogRunner([&](QPrinter &, QWidget *) {
            ++asked;
            return false;
        });
        PrintList(list, "取消");
        QCOMPARE(asked, 1);
        QVERIFY(!QFile::exists(path));
        SetPrintDialogRunner([&](QPrinter &printer, QWidget *) {
            ++asked;
            PreparePdf(printer, path);
            printer.setCopyCount(3);
            return true;
        });
        PrintList(list, "选定");
        SetPrintDialogRunner(previous);
        QCOMPARE(asked, 2);
        QCOMPARE(PdfInfo(path, "Pages"), QStringLiteral("1"));
        QCOMPARE(PdfInfo(path, "Title"), QStringLiteral("选定"));
    }

    void TableNameDialogOffersListAsName() {
        CTableNameDlg dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("表格名称"));
        QCOMPARE(dialog.NameEdit()->text(), QStringLiteral("清单"));
        QCOMPARE(dialog.OkButton()->text(), QStringLiteral("确定"));
        bool labelled = false;
        for (const QLabel *label : dialog.findChildren<QLabel *>())
            labelled = labelled || label->text() == QStringLiteral("输入表格名称：");
        QVERIFY(labelled);

        const CTableNameDlg::Runner previous = CTableNameDlg::SetRunner([](CTableNameDlg &d) {
            d.NameEdit()->setText("月报");
            d.OkButton()->click();
            return d.result();
        });
        QCOMPARE(CTableNameDlg::AskTableName(), QStringLiteral("月报"));
        CTableNameDlg::SetRunner([](CTableNameDlg &d) {
            d.NameEdit()->setText("不用");
            d.reject();
            return d.result();
        });
        QCOMPARE(CTableNameDlg::AskTableName(), QStringLiteral("清单"));
        CTableNameDlg::SetRunner(previous);
    }
};

QTEST_MAIN(TestPrintEngine)
#include "tst_printengine.moc"
