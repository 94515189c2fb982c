// Several desks on one stock at once: real program processes against the test cluster's database,
// racing for the same books, killed mid-operation, cut off from the server; and two desks drawing a
// document number or adding a name at the same moment.
#include "app/Database.h"
#include "app/ServerStore.h"
#include "audit/LogChain.h"
#include "audit/OperationLog.h"
#include "bills/BillNumbers.h"
#include "bills/StockIn.h"
#include "bills/StockMoves.h"
#include "maintenance/BillMaintenance.h"
#include "masterdata/AddDeptDlg.h"
#include "schema/Schema.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QThread>
#include <QtTest>
#include <memory>

using namespace schema;

namespace {

#define SERVER_ONLY()                                                                                                  \
    do {                                                                                                               \
        if (!OnServer())                                                                                               \
            QSKIP("several desks share a server");                                                                     \
    } while (false)

const KindSpec kKind{QStringLiteral("定额票据"), QStringLiteral("行政事业性收费"), {}, {}, 10, 10, 1.0, false};

QString Now() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// Stocks in books of the kind through the program's own stock-in, so that the log holds them.
StockInOutcome StockIn(double begin, int books, double documentNo = 100000000000000.0) {
    StockInEntry entry;
    ReadKind(kKind.name, entry.kind);
    entry.width = kKind.length;
    entry.begin = begin;
    entry.books = books;
    entry.stockTime = Now();
    entry.madeTime = entry.stockTime;
    entry.manager = QStringLiteral("管理员");
    entry.madeUnits = QStringLiteral("印刷厂");
    entry.documentNo = documentNo;
    return InsertStockRuns(entry);
}

QString Number(double value) {
    return QString::asprintf("%010.0f", value);
}

QProcess *StartDesk(const QString &url, const QString &clerk, int seed, const QString &mode) {
    auto *desk = new QProcess;
    desk->start(QCoreApplication::applicationDirPath() + QStringLiteral("/clerk_helper"),
                {url, clerk, QString::number(seed), mode});
    return desk;
}

// The state the log leaves each book in, read in the order the entries were written: a book the log
// last stocked in is in stock, one it last deleted is gone, and so on.
QHash<QString, QString> StatesByLog(TestDatabase &t) {
    static const QHash<QString, QString> after{{logop::StockIn, FlagStock},     {logop::Issue, FlagIssued},
                                               {logop::Return, FlagReturned},   {logop::Void, FlagVoid},
                                               {logop::Delete, QString()},      {logop::CancelStockIn, QString()},
                                               {logop::CancelIssue, FlagStock}, {logop::CancelReturn, FlagIssued}};
    QHash<QString, QString> states;
    const QStringList entries = t.Rows(QString::asprintf("SELECT %s, %s FROM %s WHERE %s = '%s' ORDER BY %s",
                                                         Bill_Log_Operation, Bill_Log_Begin_Char, Bill_Log_Info,
                                                         Bill_Log_Kind, qUtf8Printable(kKind.name), Bill_Log_No))
                                    .split(u' ', Qt::SkipEmptyParts);
    for (const QString &entry : entries) {
        const QString operation = entry.section(u':', 0, 0);
        const QString book = entry.section(u':', 1, 1);
        if (!after.contains(operation))
            continue;
        if (after.value(operation).isEmpty())
            states.remove(book);
        else
            states.insert(book, after.value(operation));
    }
    return states;
}

QHash<QString, QString> StatesOfBooks(TestDatabase &t) {
    QHash<QString, QString> states;
    for (const QString &row : t.Rows(QString::asprintf("SELECT %s, %s FROM %s", Bill_Begin_Char, Bill_Flag, Bill_Info))
                                  .split(u' ', Qt::SkipEmptyParts))
        states.insert(row.section(u':', 0, 0), row.section(u':', 1, 1));
    return states;
}

// Whatever happened, the books are whole: one state each, no number twice, every document number
// one desk's, the log a chain that tells each book's state.
void ExpectBooksWhole(TestDatabase &t) {
    QCOMPARE(t.Count(Bill_Info, QString::asprintf("%s IS NULL OR %s NOT IN ('%s','%s','%s','%s')", Bill_Flag, Bill_Flag,
                                                  FlagStock, FlagIssued, FlagReturned, FlagVoid)),
             0);
    QCOMPARE(t.Scalar(QString::asprintf("SELECT COUNT(*) FROM %s a, %s b WHERE a.%s = b.%s AND a.%s <> b.%s AND "
                                        "a.%s <= b.%s AND b.%s <= a.%s + a.%s - 1",
                                        Bill_Info, Bill_Info, Bill_Kind, Bill_Kind, Bill_ID, Bill_ID, Bill_Begin_Int,
                                        Bill_Begin_Int, Bill_Begin_Int, Bill_Begin_Int, Bill_Unit_Amount)),
             QStringLiteral("0"));
    // The desks stamp their documents with their own names as administrator.
    const QVector<QPair<const char *, const char *>> documents{{Bill_Repository_No, Bill_Repository_Manager},
                                                               {Bill_Issue_No, Bill_Issue_Manager},
                                                               {Bill_Return_No, Bill_Return_Manager}};
    for (const auto &[number, manager] : documents)
        QCOMPARE(t.Scalar(QString::asprintf("SELECT COUNT(*) FROM (SELECT %s FROM %s WHERE %s IS NOT NULL GROUP BY %s "
                                            "HAVING COUNT(DISTINCT %s) > 1) AS shared",
                                            number, Bill_Info, number, number, manager)),
                 QStringLiteral("0"));
    const LogCheck check = CheckLogChain(t.Db());
    QCOMPARE(int(check.finding), int(LogCheck::Whole));
    QCOMPARE(StatesOfBooks(t), StatesByLog(t));
}

} // namespace

class ManyDesksTest : public QObject {
    Q_OBJECT
private slots:
    void eightDesksRacingForTheSameBooksKeepThemWhole();
    void deskKilledMidOperationLeavesNothingHalfDone();
    void connectionLostMidOperationIsToldAndTheNextCommandWorks();
    void conflictIsRunAgainAndToldWhenItStays();
    void twoDesksIssuingTheSameBooksOneIsToldWhichWereTaken();
    void documentNumberShownTwiceIsWrittenOnce();
    void nameAddedAtAnotherDeskMeanwhileIsRefused();
};

void ManyDesksTest::eightDesksRacingForTheSameBooksKeepThemWhole() {
    SERVER_ONLY();
    TestDatabase t;
    AddKind(kKind);
    QCOMPARE(StockIn(1, 100).overlap, false);
    const QString url = ConfiguredServerUrl();
    std::vector<std::unique_ptr<QProcess>> desks;
    for (int desk = 1; desk <= 8; ++desk)
        desks.emplace_back(StartDesk(url, QStringLiteral("柜员%1").arg(desk), desk, QStringLiteral("200")));
    int done = 0;
    int refused = 0;
    for (int desk = 1; desk <= 8; ++desk) {
        QProcess &process = *desks[desk - 1];
        QVERIFY(process.waitForFinished(300000));
        const QByteArray out = process.readAllStandardOutput();
        QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
        const QList<QByteArray> tally = out.split('\n').first().split(' ');
        QCOMPARE(tally.size(), 6);
        done += tally[1].toInt();
        refused += tally[3].toInt();
        // Every operation that was done wrote its entries, and nothing else did: a refused one left
        // no entry (and, by the comparison of states below, no change).
        QCOMPARE(t.Count(Bill_Log_Info, QStringLiteral("%1 = '柜员%2'").arg(QLatin1String(Bill_Log_User)).arg(desk)),
                 tally[5].toInt());
    }
    QCOMPARE(done + refused, 1600);
    // The desks did race: some of their operations were refused, many were done.
    QVERIFY2(done > 400 && refused > 50, qPrintable(QStringLiteral("%1 done, %2 refused").arg(done).arg(refused)));
    ExpectBooksWhole(t);
}

void ManyDesksTest::deskKilledMidOperationLeavesNothingHalfDone() {
    SERVER_ONLY();
    TestDatabase t;
    AddKind(kKind);
    const QString url = ConfiguredServerUrl();
    for (int kill = 0; kill < 6; ++kill) {
        std::unique_ptr<QProcess> desk(StartDesk(url, QStringLiteral("柜员"), kill, QStringLiteral("stock-ins")));
        // Killed during its second or later stock-in, at moments spread over one.
        for (int started = 0; started < 2;)
            if (desk->waitForReadyRead(30000))
                started += int(desk->readAll().count("writing"));
            else
                QFAIL("the desk does not work");
        QTest::qWait(10 + 37 * kill);
        desk->kill();
        QVERIFY(desk->waitForFinished());
    }
    // Each stock-in is there with all its 300 books, or not at all, and the next one is not kept
    // waiting by what the killed desk held.
    QCOMPARE(t.Scalar(QString::asprintf("SELECT COUNT(*) FROM (SELECT %s FROM %s GROUP BY %s HAVING COUNT(*) <> 300) "
                                        "AS partial",
                                        Bill_Repository_No, Bill_Info, Bill_Repository_No)),
             QStringLiteral("0"));
    QVERIFY(t.Count(Bill_Info) >= 300);
    QCOMPARE(StockIn(1, 2).overlap, false);
    ExpectBooksWhole(t);
}

void ManyDesksTest::connectionLostMidOperationIsToldAndTheNextCommandWorks() {
    SERVER_ONLY();
    TestDatabase t;
    AddKind(kKind);
    QCOMPARE(StockIn(1, 3).overlap, false);
    // The server ends this desk's connection in the middle of the issue, as a restart does.
    QVERIFY(t.RunInShell(QByteArray("CREATE FUNCTION cut_off() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                                    "PERFORM pg_terminate_backend(pg_backend_pid()); PERFORM pg_sleep(5); "
                                    "RETURN NEW; END $$;\nCREATE TRIGGER cut_off BEFORE UPDATE ON ") +
                         Bill_Info + " FOR EACH ROW EXECUTE FUNCTION cut_off();"));
    const QVector<RunKey> runs{{kKind.name, Number(1)}, {kKind.name, Number(11)}};
    const IssueStamp stamp{Now(), QStringLiteral("财务科"), QStringLiteral("王五"), QStringLiteral("管理员"),
                           200000000000000.0};
    try {
        IssueRuns(runs, stamp);
        QFAIL("the issue went through a lost connection");
    } catch (const CDbError &e) {
        QCOMPARE(e.Failure(), DbFailure::ConnectionLost);
        QVERIFY2(e.Message().startsWith(QStringLiteral("与数据库服务器")), qPrintable(e.Message()));
        QVERIFY(e.Message().contains(QStringLiteral("已全部撤销")));
    }
    QCOMPARE(t.Db().TransactionDepth(), 0);
    QVERIFY(t.RunInShell(QByteArray("DROP TRIGGER cut_off ON ") + Bill_Info + ";"));
    // The next command connects again and works; the cut-off issue left nothing.
    QCOMPARE(t.Count(Bill_Info, QString::asprintf("%s = '%s'", Bill_Flag, FlagIssued)), 0);
    QCOMPARE(IssueRuns(runs, stamp).kind, MoveOutcome::Done);
    QCOMPARE(t.Count(Bill_Info, QString::asprintf("%s = '%s'", Bill_Flag, FlagIssued)), 2);
    ExpectBooksWhole(t);
}

void ManyDesksTest::conflictIsRunAgainAndToldWhenItStays() {
    SERVER_ONLY();
    TestDatabase t;
    AddKind(kKind);
    QCOMPARE(StockIn(1, 2).overlap, false);
    // The server breaks the first two tries of the issue as a serialisation failure.
    QVERIFY(t.RunInShell(QByteArray("CREATE SEQUENCE tries;\nCREATE FUNCTION conflict() RETURNS trigger LANGUAGE "
                                    "plpgsql AS $$ BEGIN IF nextval('tries') <= 2 THEN RAISE EXCEPTION 'could not "
                                    "serialize access' USING ERRCODE = 'serialization_failure'; END IF; RETURN NEW; "
                                    "END $$;\nCREATE TRIGGER conflict BEFORE UPDATE ON ") +
                         Bill_Info + " FOR EACH ROW EXECUTE FUNCTION conflict();"));
    const IssueStamp stamp{Now(), QStringLiteral("财务科"), QStringLiteral("王五"), QStringLiteral("管理员"),
                           200000000000000.0};
    QCOMPARE(IssueRuns({{kKind.name, Number(1)}}, stamp).kind, MoveOutcome::Done);
    QCOMPARE(t.Count(Bill_Info, QString::asprintf("%s = '%s'", Bill_Flag, FlagIssued)), 1);

    // One that keeps failing is given up after three tries, told in Chinese, and leaves nothing.
    QVERIFY(t.RunInShell("CREATE OR REPLACE FUNCTION conflict() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE "
                         "EXCEPTION 'could not serialize access' USING ERRCODE = 'serialization_failure'; END $$;"));
    try {
        IssueRuns({{kKind.name, Number(11)}}, stamp);
        QFAIL("a conflict that stays was not told");
    } catch (const CDbError &e) {
        QVERIFY2(e.Message().startsWith(ConflictMessage()), qPrintable(e.Message()));
    }
    QCOMPARE(t.Count(Bill_Info, QString::asprintf("%s = '%s'", Bill_Flag, FlagIssued)), 1);
    QCOMPARE(t.Count(Bill_Log_Info, QString::asprintf("%s = '%s'", Bill_Log_Operation, logop::Issue)), 1);
}

void ManyDesksTest::twoDesksIssuingTheSameBooksOneIsToldWhichWereTaken() {
    SERVER_ONLY();
    TestDatabase t;
    AddKind(kKind);
    QCOMPARE(StockIn(1, 4).overlap, false);
    // The other desk holds two of the books in its issue, not yet committed, while this desk issues
    // three: this one waits, then learns which were taken, and writes nothing.
    CDatabase other;
    QVERIFY(t.OpenAnotherDesk(other));
    other.BeginTrans();
    for (double begin : {11.0, 31.0})
        other.ExecuteStatement(IssueStatement(
            {Now(), QStringLiteral("办公室"), QStringLiteral("赵六"), QStringLiteral("管理员"), 200000000000009.0},
            {kKind.name, Number(begin)}));
    // The other desk commits a moment later, from a thread of its own: this one is waiting meanwhile.
    std::unique_ptr<QThread> commit(QThread::create([&] {
        QThread::msleep(300);
        other.CommitTrans();
    }));
    commit->start();
    const MoveOutcome outcome = IssueRuns(
        {{kKind.name, Number(1)}, {kKind.name, Number(11)}, {kKind.name, Number(31)}},
        {Now(), QStringLiteral("财务科"), QStringLiteral("王五"), QStringLiteral("管理员"), 200000000000000.0});
    commit->wait();
    QCOMPARE(outcome.kind, MoveOutcome::NotInState);
    QCOMPARE(outcome.rows, (QVector<int>{1, 2}));
    QCOMPARE(t.Count(Bill_Info, QString::asprintf("%s = '王五'", Bill_Issue_Broker)), 0);
    QCOMPARE(t.Count(Bill_Info, QString::asprintf("%s = '赵六'", Bill_Issue_Broker)), 2);
}

void ManyDesksTest::documentNumberShownTwiceIsWrittenOnce() {
    TestDatabase t;
    AddKind(kKind);
    QCOMPARE(StockIn(1, 4).overlap, false);
    // Two issue dialogs opened at once show the same number; the second desk to write gets the next.
    double shown = 0;
    QVERIFY(NextDocumentNumber(Bill_Issue_No, shown));
    const IssueStamp first{Now(), QStringLiteral("财务科"), QStringLiteral("王五"), QStringLiteral("管理员"), shown};
    const IssueStamp second{Now(), QStringLiteral("办公室"), QStringLiteral("赵六"), QStringLiteral("管理员"), shown};
    QCOMPARE(IssueRuns({{kKind.name, Number(1)}}, first).documentNo, shown);
    QCOMPARE(IssueRuns({{kKind.name, Number(11)}}, second).documentNo, shown + 1);
    // The first desk's dialog goes on with its own document.
    IssueStamp goingOn = first;
    goingOn.continuing = true;
    QCOMPARE(IssueRuns({{kKind.name, Number(21)}}, goingOn).documentNo, shown);
    QCOMPARE(t.Count(Bill_Info, QString::asprintf("%s = %.0f", Bill_Issue_No, shown)), 2);
    QCOMPARE(
        t.Count(Bill_Info, QString::asprintf("%s = %.0f AND %s = '赵六'", Bill_Issue_No, shown + 1, Bill_Issue_Broker)),
        1);
}

// The department dialog at a desk where another desk adds the same department after this one found
// the name free and before it writes.
class CRacedDeptDlg : public CAddDeptDlg {
public:
    explicit CRacedDeptDlg(const TestDatabase &t) : CAddDeptDlg([] {}), m_test(t) {}

protected:
    bool PrepareInsert() override {
        CDatabase other;
        const bool opened = m_test.OpenAnotherDesk(other);
        if (opened)
            other.ExecuteStatement(
                QString::asprintf("INSERT INTO %s (%s) VALUES ('财务科')", Bill_Dept_Info, Bill_Dept_Name));
        return opened && CAddDeptDlg::PrepareInsert();
    }

private:
    const TestDatabase &m_test;
};

void ManyDesksTest::nameAddedAtAnotherDeskMeanwhileIsRefused() {
    TestDatabase t;
    MessageCapture messages;
    CRacedDeptDlg dlg(t);
    dlg.NameEdit()->setText(QStringLiteral("财务科"));
    dlg.AcceptButton()->click();
    QCOMPARE(t.Count(Bill_Dept_Info, QString::asprintf("%s = '财务科'", Bill_Dept_Name)), 1);
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().text, QStringLiteral("财务科 已经存在,请重新输入部门名称!"));
}

QTEST_MAIN(ManyDesksTest)
#include "tst_manydesks.moc"
