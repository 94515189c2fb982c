// The log's chain: the check names the first entry changed, removed or inserted with the store's own
// shell; a check code printed earlier still passes after later entries but not after a rewrite; the
// printed and exported lists carry the chain head.
#include "audit/LogChain.h"
#include "audit/LogDlg.h"
#include "audit/OperationLog.h"
#include "lists/QueryListCtrl.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/MainDlg.h"
#include "reports/ExportList.h"
#include "reports/PrintEngine.h"
#include "schema/Schema.h"
#include "tests/audit/AuditTestSupport.h"
#include "tests/bills/StockTestSupport.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QtTest>

using namespace schema;

namespace {

void WriteEntries(int first, int count) {
    for (int i = first; i < first + count; ++i)
        WriteLog({QString::fromUtf8(logop::AddMaster), 0, QString(), QString(), QString(), 0, 0,
                  QStringLiteral("发放部门：第%1科").arg(i)});
}

// Runs statements in the sqlcipher shell on the closed file, then opens it again.
void Shell(TestDatabase &t, const QByteArray &statements) {
    t.Db().Close();
    QProcess shell;
    shell.start(QStringLiteral("sqlcipher"), {t.FilePath()});
    QVERIFY(shell.waitForStarted());
    shell.write(QByteArray("PRAGMA key = '") + CDatabase::FixedKey() + "';\nPRAGMA cipher_page_size = 4096;\n" +
                statements + "\n");
    shell.closeWriteChannel();
    QVERIFY(shell.waitForFinished());
    QVERIFY2(shell.readAllStandardError().isEmpty(), "the shell refused a statement");
    QVERIFY(TheDatabase().Open(t.FilePath()));
}

LogCheck Check(const QString &code = QString()) {
    return CheckLogChain(TheDatabase(), code);
}

// A rewrite by someone who holds the program: entry 2 changed and every hash from it made again.
void RewriteFromSecondEntry(TestDatabase &t) {
    t.Exec("UPDATE Bill_Log_Info SET Bill_Log_Detail = '发放部门：假科' WHERE Bill_Log_No = 2");
    CDatabase &db = TheDatabase();
    QVector<QPair<qint64, QByteArray>> rows;
    db.OpenQuery("SELECT Bill_Log_ID, Bill_Log_No, Bill_Log_Time, Bill_Log_User, Bill_Log_Operation, Bill_Log_Detail, "
                 "Bill_Log_Hash FROM Bill_Log_Info ORDER BY Bill_Log_ID");
    QByteArray previous;
    QByteArray message;
    for (; !db.IsEOF(); db.MoveNext()) {
        QString time, user, operation, detail;
        double id = 0, no = 0;
        db.ReadFieldNumber(0, id);
        db.ReadFieldNumber(1, no);
        db.ReadFieldText(2, time);
        db.ReadFieldText(3, user);
        db.ReadFieldText(4, operation);
        db.ReadFieldText(5, detail);
        const QByteArray t8 = time.toUtf8(), u8 = user.toUtf8(), o8 = operation.toUtf8(), d8 = detail.toUtf8();
        LogHashFields fields;
        fields.no = qint64(no);
        fields.time = t8;
        fields.user = u8;
        fields.operation = o8;
        fields.detail = d8;
        previous = LogEntryHash(fields, previous, message);
        rows.append({qint64(id), previous});
    }
    db.CloseQuery();
    for (const auto &[id, hash] : rows)
        t.Exec(QStringLiteral("UPDATE Bill_Log_Info SET Bill_Log_Hash = '%1' WHERE Bill_Log_ID = %2")
                   .arg(QString::fromLatin1(hash))
                   .arg(id));
}

QString Run(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class LogChainTest : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLogUser(QStringLiteral("管理员")); }
    void wholeChainPassesAndNamesNothing();
    void checkNamesAnEntryChangedInTheShell();
    void checkNamesAnEntryRemovedInTheShell();
    void checkNamesAnEntryInsertedInTheShell();
    void longLogIsCheckedWholeAndNamesAChangeFarIn();
    void earlierCodePassesAfterLaterEntriesButNotAfterARewrite();
    void printedAndExportedListsCarryTheChainHead();
    void queryMenuEndsWithTheLogItemsEachGuardedByItsRight();
};

void LogChainTest::wholeChainPassesAndNamesNothing() {
    TestDatabase t;
    MessageCapture messages;
    QCOMPARE(Check().finding, LogCheck::Whole);
    WriteEntries(1, 5);
    const LogCheck check = Check();
    QCOMPARE(check.finding, LogCheck::Whole);
    QCOMPARE(check.entries, 5);
    CLogDlg dialog;
    QCOMPARE(dialog.List()->RowCount(), 5);
    QCOMPARE(dialog.HeadCode()->text(), QStringLiteral("日志校验码：%1").arg(ChainHeadCode()));
    QCOMPARE(ChainHeadCode().size(), 16);
    dialog.OnCheckChain();
    QCOMPARE(messages.Last().text, QStringLiteral("日志校验通过：5 条日志前后相连，没有被改动。"));
}

void LogChainTest::checkNamesAnEntryChangedInTheShell() {
    TestDatabase t;
    MessageCapture messages;
    WriteEntries(1, 5);
    Shell(t, "UPDATE Bill_Log_Info SET Bill_Log_Detail = '发放部门：别科' WHERE Bill_Log_No = 3;");
    const LogCheck check = Check();
    QCOMPARE(check.finding, LogCheck::Changed);
    QCOMPARE(check.no, 3);
    QCOMPARE(check.entries, 2);
    CLogDlg dialog;
    dialog.OnCheckChain();
    QCOMPARE(messages.Last().text, QStringLiteral("日志校验未通过：第 3 条日志（记录号 3）在程序之外被修改。"));
    QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);

    // A changed amount is named as well as a changed text.
    TestDatabase again;
    WriteEntries(1, 2);
    Shell(again, "UPDATE Bill_Log_Info SET Bill_Log_Total = 0.01 WHERE Bill_Log_No = 1;");
    QCOMPARE(Check().finding, LogCheck::Changed);
    QCOMPARE(Check().no, 1);
}

void LogChainTest::checkNamesAnEntryRemovedInTheShell() {
    TestDatabase t;
    WriteEntries(1, 5);
    Shell(t, "DELETE FROM Bill_Log_Info WHERE Bill_Log_No = 3;");
    const LogCheck check = Check();
    QCOMPARE(check.finding, LogCheck::Removed);
    QCOMPARE(check.no, 3);
    QCOMPARE(check.missing, 1);
    QCOMPARE(LogCheckText(check), QStringLiteral("日志校验未通过：第 3 条日志起有 1 条在程序之外被删除。"));
}

// A log of many thousand entries is checked in parts; a change far in is still named exactly, and a
// code counts only when it stands before the change.
void LogChainTest::longLogIsCheckedWholeAndNamesAChangeFarIn() {
    TestDatabase t;
    {
        CTransaction transaction;
        WriteEntries(1, 9000);
        transaction.Commit();
    }
    const auto codeOf = [&t](int no) {
        return t.Scalar(
            QStringLiteral("SELECT substr(Bill_Log_Hash, 1, 16) FROM Bill_Log_Info WHERE Bill_Log_No = %1").arg(no));
    };
    const QString early = codeOf(100);
    const QString late = codeOf(8999);
    LogCheck check = Check(late);
    QCOMPARE(check.finding, LogCheck::Whole);
    QCOMPARE(check.entries, 9000);
    QVERIFY(check.codeFound);

    Shell(t, "UPDATE Bill_Log_Info SET Bill_Log_User = '别人' WHERE Bill_Log_No = 6001;");
    check = Check(early);
    QCOMPARE(check.finding, LogCheck::Changed);
    QCOMPARE(check.no, 6001);
    QCOMPARE(check.entries, 6000);
    QVERIFY(check.codeFound);
    QVERIFY(!Check(late).codeFound);
}

void LogChainTest::checkNamesAnEntryInsertedInTheShell() {
    TestDatabase t;
    WriteEntries(1, 5);
    // A copy of entry 2, hash and all, put in at the end.
    Shell(t, "INSERT INTO Bill_Log_Info (Bill_Log_No, Bill_Log_Time, Bill_Log_User, Bill_Log_Operation, "
             "Bill_Log_Detail, Bill_Log_Amount, Bill_Log_Total, Bill_Log_Hash) SELECT Bill_Log_No, Bill_Log_Time, "
             "Bill_Log_User, Bill_Log_Operation, Bill_Log_Detail, Bill_Log_Amount, Bill_Log_Total, Bill_Log_Hash "
             "FROM Bill_Log_Info WHERE Bill_Log_No = 2;");
    LogCheck check = Check();
    QCOMPARE(check.finding, LogCheck::Inserted);
    QCOMPARE(check.no, 6);
    QCOMPARE(check.id, 6);

    // An entry put in between, numbered as the next one would be, with the entries after it moved on.
    TestDatabase between;
    WriteEntries(1, 3);
    Shell(between, "UPDATE Bill_Log_Info SET Bill_Log_ID = Bill_Log_ID + 10 WHERE Bill_Log_No = 3;\n"
                   "INSERT INTO Bill_Log_Info (Bill_Log_ID, Bill_Log_No, Bill_Log_Time, Bill_Log_User, "
                   "Bill_Log_Operation, Bill_Log_Detail, Bill_Log_Amount, Bill_Log_Total, Bill_Log_Hash) VALUES (5, 3, "
                   "'2026-01-01 00:00:00', '管理员', '票据入库', '入库 100 张', 100, 200, 'ab');");
    check = Check();
    QCOMPARE(check.finding, LogCheck::Inserted);
    QCOMPARE(check.no, 3);
    QCOMPARE(check.id, 5);
}

void LogChainTest::earlierCodePassesAfterLaterEntriesButNotAfterARewrite() {
    TestDatabase t;
    MessageCapture messages;
    WriteEntries(1, 3);
    const QString printed = ChainHeadCode();
    WriteEntries(4, 2);
    QVERIFY(ChainHeadCode() != printed);
    QVERIFY(Check(printed).codeFound);
    QVERIFY(Check(printed.toLower()).codeFound);
    {
        CLogDlg dialog;
        dialog.CodeEdit()->setText(printed);
        dialog.OnCheckCode();
        QCOMPARE(messages.Last().text,
                 QStringLiteral("日志校验码 %1 仍在日志链中：到它为止的日志没有被改写。").arg(printed));
        dialog.CodeEdit()->setText(QStringLiteral("12345"));
        dialog.OnCheckCode();
        QVERIFY(messages.Last().text.startsWith(QStringLiteral("请输入打印件上的16位日志校验码")));
    }

    RewriteFromSecondEntry(t);
    const LogCheck rewritten = Check(printed);
    QCOMPARE(rewritten.finding, LogCheck::Whole); // the rewrite chains again ...
    QVERIFY(!rewritten.codeFound);                // ... but no longer through the printed code
    CLogDlg dialog;
    dialog.CodeEdit()->setText(printed);
    dialog.OnCheckCode();
    QVERIFY(messages.Last().text.contains(QStringLiteral("不在日志链中")));
}

void LogChainTest::printedAndExportedListsCarryTheChainHead() {
    TestDatabase t;
    MessageCapture messages;
    WriteEntries(1, 4);
    const QString footer = QStringLiteral("日志校验码：%1").arg(ChainHeadCode());
    CLogDlg dialog;
    const QString pdf = t.Dir() + QStringLiteral("/log.pdf");
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        QCOMPARE(PrintListOn(printer, *dialog.List(), QStringLiteral("操作日志")), PrintOutcome::Printed);
    }
    QVERIFY2(Run("pdftotext", {"-enc", "UTF-8", pdf, "-"}).remove(QLatin1Char(' ')).contains(footer),
             qPrintable(footer));

    const QString xlsx = t.Dir() + QStringLiteral("/log.xlsx");
    QString error;
    QVERIFY2(ExportListTo(*dialog.List(), QStringLiteral("操作日志"), xlsx, &error), qPrintable(error));
    const QString cells = Run("/usr/bin/python3", {"-c",
                                                   "import openpyxl, sys\n"
                                                   "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
                                                   "print('\\n'.join(str(c.value) for r in ws.iter_rows() for c in r "
                                                   "if c.value is not None))",
                                                   xlsx});
    QVERIFY2(cells.split(QLatin1Char('\n')).contains(footer), qPrintable(cells));

    const QString csv = t.Dir() + QStringLiteral("/log.csv");
    QVERIFY(ExportListTo(*dialog.List(), QStringLiteral("操作日志"), csv, &error));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(file.readAll()).contains(footer));
}

void LogChainTest::queryMenuEndsWithTheLogItemsEachGuardedByItsRight() {
    TestDatabase t;
    MessageCapture messages;
    WriteEntries(1, 2);
    AddUser(QStringLiteral("出纳"), QStringLiteral("pw"), QStringLiteral("P02P24"));
    CMainDlg main;
    const QList<QAction *> items = main.BarMenu(2)->actions();
    QStringList lastThree;
    for (QAction *item : items.mid(items.size() - 3))
        lastThree << item->text();
    QCOMPARE(lastThree, QStringList({"操作日志", "日志校验", "票据稽核"}));
    QCOMPARE(items.last(), main.CommandAction(cmd::BookAudit));

    // A user holding "日志校验" only may check the chain, but not open the log or the audit.
    main.SetCurrentUser(QStringLiteral("出纳"));
    main.Permissions().LoadPermissionTable();
    main.LoadUserRights();
    main.RunCommand(cmd::LogCheck);
    QCOMPARE(messages.Last().text, QStringLiteral("日志校验通过：2 条日志前后相连，没有被改动。"));
    main.RunCommand(cmd::OperationLog);
    QCOMPARE(messages.Last().text, QStringLiteral("您没有权限进行该项操作，想要取得该项操作的权限，请与管理员联系!"));
    main.RunCommand(cmd::BookAudit);
    QCOMPARE(messages.Last().text, QStringLiteral("您没有权限进行该项操作，想要取得该项操作的权限，请与管理员联系!"));
    QCOMPARE(messages.Count(), 3);
}

QTEST_MAIN(LogChainTest)
#include "tst_logchain.moc"
