// The preview every "打印" shows first: its pages are drawn by the print engine, printing from it
// gives those same pages, the orientation can be turned, and "导出" writes the list to a file.
#include "app/Dialect.h"
#include "bills/IssueDlg.h"
#include "lists/QueryListCtrl.h"
#include "maintenance/ForcedOperationDlg.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/MainDlg.h"
#include "reports/ExportList.h"
#include "reports/PrintEngine.h"
#include "reports/PrintPreviewDlg.h"
#include "reports/TableNameDlg.h"
#include "schema/Schema.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QLineEdit>
#include <QPageSize>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

using namespace schema;

namespace {

void FillBills(CQueryListCtrl &list, int count) {
    {
        CTransaction transaction;
        for (int i = 1; i <= count; ++i)
            TheDatabase().ExecuteStatement(QString::asprintf(
                "INSERT INTO %s (%s,%s,%s,%s) VALUES ('票据甲','%s',%f,'%s')", Bill_Info, Bill_Kind, Bill_Begin_Char,
                Bill_Unit_Total, Bill_Flag, qPrintable(QString::asprintf("N%05d", i)), 100.0 * i, FlagStock));
        transaction.Commit();
    }
    const QString statement =
        QString::asprintf("SELECT %s AS 票据类型,%s AS 开始编号,%s AS 金额 FROM %s WHERE %s = '%s' ORDER BY %s ASC",
                          Bill_Kind, Bill_Begin_Char, Bill_Unit_Total, Bill_Info, Bill_Flag, FlagStock, Bill_ID);
    list.ClearColumns();
    list.SetStatement(statement, 3);
    list.SetMoneyColumns({"金额"}, "￥", 2);
    QVERIFY(list.FillFromStatement(statement));
    list.resize(600, 300);
}

int RowsPerPage(QPageLayout::Orientation orientation) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(orientation);
    return PrintGeometryOf(printer).RowsPerPage();
}

int PdfPageCount(const QString &path) {
    QProcess info;
    info.start("pdfinfo", {path});
    if (!info.waitForFinished(60000))
        return -1;
    for (const QString &line : QString::fromUtf8(info.readAllStandardOutput()).split('\n'))
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    return -1;
}

QString PdfText(const QString &path) {
    QProcess text;
    text.start("pdftotext", {"-layout", "-enc", "UTF-8", path, "-"});
    text.waitForFinished(60000);
    return QString::fromUtf8(text.readAllStandardOutput());
}

// The print dialog answered by printing into a PDF file.
PrintDialogRunner PrintInto(const QString &path, int *asked = nullptr) {
    return SetPrintDialogRunner([path, asked](QPrinter &printer, QWidget *) {
        if (asked)
            ++*asked;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        return true;
    });
}

QAction *ToolAction(const CPrintPreviewDlg &preview, const char *name) {
    return preview.findChild<QAction *>(QLatin1String(name));
}

} // namespace

class PrintPreviewTest : public QObject {
    Q_OBJECT
private slots:
    void previewOfThreePageListHasThreePagesAndPrintsThem();
    void landscapeTurnsThePagesAndPrintsAsShown();
    void cancelledPrintDialogKeepsThePreviewOpen();
    void everyPrintOfTheProgramShowsThePreviewFirst();
    void exportFromThePreviewWritesTheFile();
    void exportStandsBesideEveryPrintButton();
};

void PrintPreviewTest::previewOfThreePageListHasThreePagesAndPrintsThem() {
    TestDatabase t;
    MessageCapture messages;
    const int perPage = RowsPerPage(QPageLayout::Portrait);
    QVERIFY(perPage > 5);
    CQueryListCtrl list;
    FillBills(list, 2 * perPage + 1);
    CPrintPreviewDlg preview(list, "三页清单");
    preview.Printer().setPageSize(QPageSize(QPageSize::A4));
    preview.SetOrientation(QPageLayout::Portrait);
    QCOMPARE(preview.PageCount(), 3);
    QVERIFY(preview.Preview()->zoomFactor() > 0);
    const double zoom = preview.Preview()->zoomFactor();
    preview.Preview()->zoomIn();
    QVERIFY(preview.Preview()->zoomFactor() > zoom);
    QVERIFY(ToolAction(preview, "print"));

    // "打印" in the preview: the print dialog, then the same pages onto the same printer.
    const QString pdf = QDir(t.Dir()).filePath("printed.pdf");
    int asked = 0;
    const PrintDialogRunner previous = PrintInto(pdf, &asked);
    ToolAction(preview, "print")->trigger();
    SetPrintDialogRunner(previous);
    QCOMPARE(asked, 1);
    QCOMPARE(PdfPageCount(pdf), 3);
    const QString text = PdfText(pdf);
    QVERIFY(text.contains("--第3/3页--"));
    QVERIFY(text.contains(QString::asprintf("N%05d", 2 * perPage + 1)));
    QCOMPARE(preview.result(), int(QDialog::Accepted));
    QCOMPARE(messages.Count(), 0);
}

void PrintPreviewTest::landscapeTurnsThePagesAndPrintsAsShown() {
    TestDatabase t;
    const int portrait = RowsPerPage(QPageLayout::Portrait);
    const int landscape = RowsPerPage(QPageLayout::Landscape);
    QVERIFY(landscape < portrait);
    CQueryListCtrl list;
    FillBills(list, 2 * portrait); // two upright pages, more turned
    CPrintPreviewDlg preview(list, "清单");
    preview.Printer().setPageSize(QPageSize(QPageSize::A4));
    preview.SetOrientation(QPageLayout::Portrait);
    QCOMPARE(preview.PageCount(), 2);
    preview.SetOrientation(QPageLayout::Landscape);
    const int turned = preview.PageCount();
    QCOMPARE(turned, (2 * portrait + landscape - 1) / landscape);
    QVERIFY(turned > 2);
    const QString pdf = QDir(t.Dir()).filePath("turned.pdf");
    const PrintDialogRunner previous = PrintInto(pdf);
    QVERIFY(preview.Print());
    SetPrintDialogRunner(previous);
    QCOMPARE(PdfPageCount(pdf), turned);
}

void PrintPreviewTest::cancelledPrintDialogKeepsThePreviewOpen() {
    TestDatabase t;
    CQueryListCtrl list;
    FillBills(list, 3);
    CPrintPreviewDlg preview(list, "清单");
    const PrintDialogRunner previous = SetPrintDialogRunner([](QPrinter &, QWidget *) { return false; });
    QVERIFY(!preview.Print());
    SetPrintDialogRunner(previous);
    QCOMPARE(preview.result(), 0);
    QCOMPARE(preview.PageCount(), 1);
}

void PrintPreviewTest::everyPrintOfTheProgramShowsThePreviewFirst() {
    TestDatabase t;
    MessageCapture messages;
    CMainDlg main;
    main.SetCurrentUser(QString::fromUtf8(AdministratorUser));
    FillBills(*main.MainList(), 5);
    const CTableNameDlg::Runner previousName = CTableNameDlg::SetRunner([](CTableNameDlg &dialog) {
        dialog.NameEdit()->setText("主表");
        dialog.OkButton()->click();
        return dialog.result();
    });
    QString title;
    int pages = -1;
    const PreviewRunner previous = SetPreviewRunner([&](CPrintPreviewDlg &preview) {
        title = preview.windowTitle();
        pages = preview.PageCount();
    });
    main.RunCommand(cmd::Print);
    SetPreviewRunner(previous);
    CTableNameDlg::SetRunner(previousName);
    QCOMPARE(title, QStringLiteral("打印预览 - 主表"));
    QCOMPARE(pages, 1);
}

void PrintPreviewTest::exportFromThePreviewWritesTheFile() {
    TestDatabase t;
    MessageCapture messages;
    CQueryListCtrl list;
    FillBills(list, 4);
    CPrintPreviewDlg preview(list, "清单");
    QAction *exportAction = ToolAction(preview, "export");
    QVERIFY(exportAction);
    QCOMPARE(exportAction->text(), QStringLiteral("导出"));
    const QString target = QDir(t.Dir()).filePath("清单.csv");
    QString proposed;
    const SaveFileRunner previous = SetSaveFileRunner([&](QString &path, QWidget *) {
        proposed = path;
        path = target;
        return true;
    });
    exportAction->trigger();
    SetSaveFileRunner(previous);
    QCOMPARE(QFileInfo(proposed).fileName(), QStringLiteral("清单.xlsx"));
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.contains(QStringLiteral("票据甲,N00004,￥400.00").toUtf8()));
    QCOMPARE(messages.Last().caption, QStringLiteral("完成"));
}

void PrintPreviewTest::exportStandsBesideEveryPrintButton() {
    TestDatabase t;
    MessageCapture messages;
    QStringList proposed;
    const SaveFileRunner previous = SetSaveFileRunner([&](QString &path, QWidget *) {
        proposed << QFileInfo(path).fileName();
        return true; // the proposed file
    });
    // The main window asks for the table name as "打印" does and exports the main list.
    CMainDlg main;
    main.SetCurrentUser(QString::fromUtf8(AdministratorUser));
    FillBills(*main.MainList(), 3);
    const CTableNameDlg::Runner previousName = CTableNameDlg::SetRunner([](CTableNameDlg &dialog) {
        dialog.NameEdit()->setText("主表");
        dialog.OkButton()->click();
        return dialog.result();
    });
    QVERIFY(main.CommandAction(cmd::Export));
    QCOMPARE(main.CommandAction(cmd::Export)->text(), QStringLiteral("导出"));
    main.RunCommand(cmd::Export);
    CTableNameDlg::SetRunner(previousName);
    QVERIFY(QFile::exists(QDir(t.Dir()).filePath("主表.xlsx")));

    CIssueDlg issue(nullptr);
    issue.findChild<QPushButton *>("export")->click();
    CForcedOperationDlg forced;
    forced.findChild<QPushButton *>("export")->click();
    SetSaveFileRunner(previous);
    QCOMPARE(proposed.size(), 3);
    QCOMPARE(proposed[0], QStringLiteral("主表.xlsx"));
    QCOMPARE(proposed[1], QStringLiteral("Pelorvanide_发放清单.xlsx"));
    QVERIFY2(proposed[2].startsWith("强制操作"), qPrintable(proposed[2]));
    QVERIFY(QFile::exists(QDir(t.Dir()).filePath(proposed[1])));
}

QTEST_MAIN(PrintPreviewTest)
#include "tst_printpreview.moc"
