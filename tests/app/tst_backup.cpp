// Verified backups of the open data file: the copy opens with the key and passes the store's own
// check, thirty copies are kept, and a backup that cannot be written is told and the program goes on.
// A copy counts only once it is whole: killed copies, copies of the same second, a wrong clock and a
// full disk never cost a good copy nor stop the next one.
#include "app/Backup.h"
#include "app/BillApp.h"
#include "app/Database.h"
#include "app/ServerStore.h"
#include "schema/Schema.h"
#include "schema/StoreCopy.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

using namespace schema;

namespace {

const QDateTime kNoon(QDate(2026, 3, 9), QTime(12, 0, 0));

QString DataFile(const TestDatabase &t) {
    return QDir(t.Dir()).filePath(CDatabase::DataFileName());
}

// The size of one backup copy of the open store, made in a folder of its own and removed again.
qint64 SizeOfACopy(const TestDatabase &t) {
    const QString probe = QDir(t.Dir()).filePath(QStringLiteral("probe/") + CDatabase::DataFileName());
    const BackupOutcome outcome = BackupDatabase(TheDatabase(), probe, kNoon);
    const qint64 size = QFileInfo(outcome.file).size();
    QDir(QFileInfo(probe).absolutePath()).removeRecursively();
    return size;
}

// Opens a copy the way a restore would and reads a number from it.
QString ReadFromCopy(const QString &file, const QString &statement) {
    CDatabase copy;
    QString error;
    if (!copy.Open(file, &error))
        return QStringLiteral("cannot open: ") + error;
    copy.OpenQuery(statement);
    QString value;
    copy.ReadFieldText(0, value);
    copy.CloseQuery();
    return value;
}

void AddBooks(int count) {
    KindSpec kind;
    kind.name = QStringLiteral("收费票据");
    kind.mainKind = QStringLiteral("行政事业性收费");
    AddKind(kind);
    CTransaction transaction;
    for (int book = 0; book < count; ++book)
        AddStockRun(kind, 1 + book * 100);
    transaction.Commit();
}

// What a backup killed halfway leaves: a copy under its temporary name, cut off in the middle.
QString HalfCopy(const TestDatabase &t, const QDateTime &when) {
    const BackupOutcome copied = CopyDatabase(TheDatabase(), DataFile(t), when);
    if (!copied.ok)
        return QString();
    QFile file(copied.file);
    file.resize(file.size() / 2);
    return copied.file;
}

// Everything in the backup folder, hidden files included.
QStringList FolderEntries(const QString &folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// Every counted copy opens with the key and passes the store's check.
void ExpectEveryCopyGood(const QString &folder) {
    for (const QString &file : BackupFiles(folder))
        QCOMPARE(ReadFromCopy(file, "PRAGMA integrity_check"), QStringLiteral("ok"));
}

void MakeFolderUnwritable(const TestDatabase &t) {
    // A plain file where the folder should be: no folder can be made there, whoever runs the test.
    QFile blocker(QDir(t.Dir()).filePath(QStringLiteral("backup")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.write("not a folder");
}

} // namespace

class BackupTest : public QObject {
    Q_OBJECT
private slots:
    void backupOfLiveDatabaseOpensWithKeyAndPassesCheck();
    void thirtyFirstBackupRemovesTheOldest();
    void failedBackupIsReportedAndProgramGoesOn();
    void startupBacksUpOnlyWhenLastBackupIsOlderThanADay();
    void normalExitBacksUp();
    void damagedCopyFailsItsCheckAndIsRemoved();
    void killedCopyIsNeverCountedAndIsRemovedAtStart();
    void halfCopiesNeverCostAGoodCopy();
    void backupsOfTheSameSecondAreBothKept();
    void wrongClockKeepsTheNewestCopyAndTheBackupsComing();
    void fullDiskIsToldInChineseAndLeavesNoCopy();
    void serverCopyHoldsTheBooksOfOneMoment();
};

void BackupTest::backupOfLiveDatabaseOpensWithKeyAndPassesCheck() {
    TestDatabase t;
    KindSpec kind;
    kind.name = QStringLiteral("收费票据");
    kind.mainKind = QStringLiteral("行政事业性收费");
    AddKind(kind);
    for (int book = 0; book < 50; ++book)
        AddStockRun(kind, 1 + book * 100);
    // A query left open and a change made just before do not spoil the copy.
    t.Exec("UPDATE Bill_Info SET Bill_Flag = '运作' WHERE Bill_Begin_Int = 101");
    TheDatabase().OpenQuery(QStringLiteral("SELECT * FROM Bill_Info"));

    const BackupOutcome outcome = BackupDatabase(TheDatabase(), DataFile(t), kNoon);
    TheDatabase().CloseQuery();
    QVERIFY2(outcome.ok, qPrintable(outcome.error));
    QCOMPARE(outcome.file, QDir(t.Dir()).filePath(QStringLiteral("backup/Pelorvanide-20260309-120000-1.dat")));
    QVERIFY(QFile::exists(outcome.file));

    // Still encrypted: no plain SQLite header, and the file is refused without the key.
    QFile raw(outcome.file);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QVERIFY(!raw.read(16).startsWith("SQLite format 3"));
    raw.close();

    QCOMPARE(ReadFromCopy(outcome.file, "PRAGMA integrity_check"), QStringLiteral("ok"));
    QCOMPARE(ReadFromCopy(outcome.file, "SELECT COUNT(*) FROM Bill_Info"), QStringLiteral("50"));
    QCOMPARE(ReadFromCopy(outcome.file, "SELECT Bill_Flag FROM Bill_Info WHERE Bill_Begin_Int = 101"),
             QStringLiteral("运作"));
    QCOMPARE(ReadFromCopy(outcome.file, "SELECT Bill_Password_User FROM Bill_Password_Info"),
             QString::fromUtf8(AdministratorUser));
    // The live file works on after the copy.
    t.Exec("UPDATE Bill_Info SET Bill_Flag = '回收' WHERE Bill_Begin_Int = 101");
    QCOMPARE(ReadFromCopy(outcome.file, "SELECT Bill_Flag FROM Bill_Info WHERE Bill_Begin_Int = 101"),
             QStringLiteral("运作"));
}

void BackupTest::thirtyFirstBackupRemovesTheOldest() {
    TestDatabase t;
    const QString folder = BackupFolder(DataFile(t));
    for (int i = 0; i < BackupsKept; ++i)
        QVERIFY(BackupDatabase(TheDatabase(), DataFile(t), kNoon.addSecs(-3600 * (BackupsKept - i))).ok);
    QStringList files = BackupFiles(folder);
    QCOMPARE(files.size(), BackupsKept);
    const QString oldest = files.first();
    QCOMPARE(QFileInfo(oldest).fileName(), QStringLiteral("Pelorvanide-20260308-060000-1.dat"));

    const BackupOutcome outcome = BackupDatabase(TheDatabase(), DataFile(t), kNoon);
    QVERIFY(outcome.ok);
    files = BackupFiles(folder);
    QCOMPARE(files.size(), BackupsKept);
    QVERIFY(!QFile::exists(oldest));
    QVERIFY(files.contains(outcome.file));
    QCOMPARE(QFileInfo(files.first()).fileName(), QStringLiteral("Pelorvanide-20260308-070000-2.dat"));
    // Other files in the folder are the clerk's and stay.
    QFile note(QDir(folder).filePath(QStringLiteral("说明.txt")));
    QVERIFY(note.open(QIODevice::WriteOnly));
    note.close();
    QVERIFY(BackupDatabase(TheDatabase(), DataFile(t), kNoon.addSecs(1)).ok);
    QVERIFY(note.exists());
}

void BackupTest::failedBackupIsReportedAndProgramGoesOn() {
    TestDatabase t;
    MakeFolderUnwritable(t);
    const BackupOutcome outcome = BackupDatabase(TheDatabase(), DataFile(t), kNoon);
    QVERIFY(!outcome.ok);
    QVERIFY(!outcome.error.isEmpty());

    // Through start-up: the clerk is told, the program starts all the same.
    TheDatabase().Close();
    MessageCapture messages;
    {
        CBillApp app;
        QVERIFY(app.InitInstance());
        QCOMPARE(messages.Count(), 1);
        QVERIFY2(messages.Last().text.startsWith("数据备份失败"), qPrintable(messages.Last().text));
        QCOMPARE(messages.Last().caption, QStringLiteral("数据备份"));
        QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);
        QVERIFY(TheDatabase().IsOpen());
        t.Exec("INSERT INTO Bill_Flag_Info (Bill_Flag_Name) VALUES ('照常')");
        QCOMPARE(t.Count("Bill_Flag_Info"), 1);
        app.ExitInstance();
        QCOMPARE(messages.Count(), 2); // the exit backup failed too, and was told
        QVERIFY(!TheDatabase().IsOpen());
    }
    QVERIFY(QFileInfo(QDir(t.Dir()).filePath("backup")).isFile());
}

void BackupTest::startupBacksUpOnlyWhenLastBackupIsOlderThanADay() {
    TestDatabase t;
    const QString folder = BackupFolder(DataFile(t));
    QVERIFY(BackupIsDue(DataFile(t), kNoon)); // none yet
    QVERIFY(BackupDatabase(TheDatabase(), DataFile(t), kNoon).ok);
    QVERIFY(!BackupIsDue(DataFile(t), kNoon.addSecs(23 * 3600)));
    QVERIFY(BackupIsDue(DataFile(t), kNoon.addSecs(25 * 3600)));

    // A copy from an hour ago: start-up makes none.
    QDir(folder).removeRecursively();
    QVERIFY(BackupDatabase(TheDatabase(), DataFile(t), QDateTime::currentDateTime().addSecs(-3600)).ok);
    TheDatabase().Close();
    MessageCapture messages;
    {
        CBillApp app;
        QVERIFY(app.InitInstance());
        QCOMPARE(BackupFiles(folder).size(), 1);
        TheDatabase().Close(); // end without the exit backup's copy, to look at start-up alone
    }
    // The newest copy two days old: start-up makes a new one.
    QDir(folder).removeRecursively();
    {
        CDatabase &db = TheDatabase();
        QVERIFY(t.Reopen());
        QVERIFY(BackupDatabase(db, DataFile(t), QDateTime::currentDateTime().addDays(-2)).ok);
        db.Close();
        CBillApp app;
        QVERIFY(app.InitInstance());
        app.FinishVerification();
        QCOMPARE(BackupFiles(folder).size(), 2);
        QCOMPARE(ReadFromCopy(BackupFiles(folder).last(), "PRAGMA integrity_check"), QStringLiteral("ok"));
        TheDatabase().Close();
    }
    QCOMPARE(messages.Count(), 0);
}

void BackupTest::normalExitBacksUp() {
    TestDatabase t;
    const QString folder = BackupFolder(DataFile(t));
    QVERIFY(BackupDatabase(TheDatabase(), DataFile(t), QDateTime::currentDateTime().addSecs(-60)).ok);
    TheDatabase().Close();
    MessageCapture messages;
    CBillApp app;
    QVERIFY(app.InitInstance());
    t.Exec("INSERT INTO Bill_Flag_Info (Bill_Flag_Name) VALUES ('退出前')");
    app.ExitInstance();
    const QStringList files = BackupFiles(folder);
    QCOMPARE(files.size(), 2);
    QCOMPARE(ReadFromCopy(files.last(), "SELECT Bill_Flag_Name FROM Bill_Flag_Info"), QStringLiteral("退出前"));
    QCOMPARE(messages.Count(), 0);
}

void BackupTest::damagedCopyFailsItsCheckAndIsRemoved() {
    TestDatabase t;
    KindSpec kind;
    kind.name = QStringLiteral("收费票据");
    kind.mainKind = QStringLiteral("行政事业性收费");
    AddKind(kind);
    for (int book = 0; book < 200; ++book)
        AddStockRun(kind, 1 + book * 100);
    QVERIFY(BackupDatabase(TheDatabase(), DataFile(t), kNoon.addDays(-1)).ok);
    const BackupOutcome copied = CopyDatabase(TheDatabase(), DataFile(t), kNoon);
    QVERIFY2(copied.ok, qPrintable(copied.error));
    // Bytes flipped in the middle of the copy, as a failing disk would leave them.
    QFile file(copied.file);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.size() > 3 * 4096);
    file.seek(2 * 4096 + 100);
    QByteArray bytes = file.read(64);
    for (char &b : bytes)
        b = char(~b);
    file.seek(2 * 4096 + 100);
    file.write(bytes);
    file.close();

    const BackupOutcome verified = VerifyBackup(copied);
    QVERIFY(!verified.ok);
    QVERIFY(!verified.error.isEmpty());
    QVERIFY(!QFile::exists(copied.file));
    // The good copy of the day before stays, and the live file is untouched.
    QCOMPARE(BackupFiles(BackupFolder(DataFile(t))).size(), 1);
    QCOMPARE(t.Count(Bill_Info), 200);
}

void BackupTest::killedCopyIsNeverCountedAndIsRemovedAtStart() {
    TestDatabase t;
    AddBooks(2000);
    const QString folder = BackupFolder(DataFile(t));
    const QString half = HalfCopy(t, kNoon);
    QVERIFY(QFile::exists(half));
    QVERIFY(BackupFiles(folder).isEmpty());
    QVERIFY(BackupIsDue(DataFile(t), kNoon.addSecs(60)));

    // The real thing: a program backing up again and again, killed at moments spread over a backup.
    TheDatabase().Close();
    for (int kill = 0; kill < 10; ++kill) {
        QProcess helper;
        helper.setWorkingDirectory(t.Dir()); // where the settings file names a server
        helper.start(QCoreApplication::applicationDirPath() + QStringLiteral("/backup_helper"), {DataFile(t)});
        QVERIFY(helper.waitForStarted());
        QTest::qWait(150 + 97 * kill);
        helper.kill();
        QVERIFY(helper.waitForFinished());
        QVERIFY(BackupFiles(folder).size() <= BackupsKept);
        ExpectEveryCopyGood(folder);
    }
    const int good = int(BackupFiles(folder).size());

    // The next start removes what the killed copies left, and a copy made an hour ago (or none) decides
    // whether one is due.
    MessageCapture messages;
    CBillApp app;
    QVERIFY2(app.InitInstance(), qPrintable(messages.Texts().join(u'\n')));
    app.FinishVerification();
    QVERIFY(!QFile::exists(half));
    for (const QString &name : FolderEntries(folder))
        QVERIFY2(name.startsWith(QStringLiteral("Pelorvanide-")), qPrintable(name));
    QCOMPARE(BackupFiles(folder).size(), qMax(good, 1));
    ExpectEveryCopyGood(folder);
    app.ExitInstance();
    QCOMPARE(messages.Count(), 0);
}

void BackupTest::halfCopiesNeverCostAGoodCopy() {
    TestDatabase t;
    const QString folder = BackupFolder(DataFile(t));
    const QDateTime start = QDateTime::currentDateTime().addSecs(-3600 * (BackupsKept + 1));
    for (int i = 0; i < BackupsKept; ++i)
        QVERIFY(BackupDatabase(TheDatabase(), DataFile(t), start.addSecs(3600 * i)).ok);
    MessageCapture messages;
    for (int round = 0; round < 3; ++round) {
        // Killed halfway, then a normal start and exit.
        QVERIFY(!HalfCopy(t, QDateTime::currentDateTime()).isEmpty());
        TheDatabase().Close();
        CBillApp app;
        QVERIFY(app.InitInstance());
        t.Exec(QStringLiteral("INSERT INTO Bill_Flag_Info (Bill_Flag_Name) VALUES ('第%1次')").arg(round));
        app.ExitInstance();
        QCOMPARE(BackupFiles(folder).size(), BackupsKept);
        ExpectEveryCopyGood(folder);
        QCOMPARE(ReadFromCopy(BackupFiles(folder).last(), "SELECT COUNT(*) FROM Bill_Flag_Info"),
                 QString::number(round + 1));
        QVERIFY(t.Reopen());
    }
    QCOMPARE(FolderEntries(folder).size(), BackupsKept); // every half copy went at the start after it
    QCOMPARE(messages.Count(), 0);
}

void BackupTest::backupsOfTheSameSecondAreBothKept() {
    TestDatabase t;
    const QString folder = BackupFolder(DataFile(t));
    // A copy of the version before, named without a number, at the same second.
    QVERIFY(QDir().mkpath(folder));
    const QString older = QDir(folder).filePath(QStringLiteral("Pelorvanide-20260309-120000.dat"));
    QVERIFY(QFile::copy(OnServer() ? DeliveredDatabasePath() : DataFile(t), older));
    const QByteArray olderBytes = [&] {
        QFile f(older);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    const BackupOutcome first = BackupDatabase(TheDatabase(), DataFile(t), kNoon);
    t.Exec("INSERT INTO Bill_Flag_Info (Bill_Flag_Name) VALUES ('同一秒')");
    const BackupOutcome second = BackupDatabase(TheDatabase(), DataFile(t), kNoon);
    QVERIFY(first.ok && second.ok);
    QVERIFY(first.file != second.file);
    QCOMPARE(BackupFiles(folder), (QStringList{older, first.file, second.file}));
    QCOMPARE(ReadFromCopy(first.file, "SELECT COUNT(*) FROM Bill_Flag_Info"), QStringLiteral("0"));
    QCOMPARE(ReadFromCopy(second.file, "SELECT COUNT(*) FROM Bill_Flag_Info"), QStringLiteral("1"));
    QFile olderFile(older);
    QVERIFY(olderFile.open(QIODevice::ReadOnly));
    QCOMPARE(olderFile.readAll(), olderBytes);
}

void BackupTest::wrongClockKeepsTheNewestCopyAndTheBackupsComing() {
    TestDatabase t;
    const QString folder = BackupFolder(DataFile(t));
    for (int i = 0; i < BackupsKept; ++i)
        QVERIFY(BackupDatabase(TheDatabase(), DataFile(t), kNoon.addSecs(-3600 * (BackupsKept - i))).ok);

    // The clock set back ten years, before the oldest copy: the new copies are the newest and stay.
    const QDateTime back = kNoon.addYears(-10);
    QVERIFY(BackupIsDue(DataFile(t), back)); // the newest copy is "from the future"
    const BackupOutcome first = BackupDatabase(TheDatabase(), DataFile(t), back);
    QVERIFY(first.ok);
    t.Exec("INSERT INTO Bill_Flag_Info (Bill_Flag_Name) VALUES ('十年前')");
    const BackupOutcome second = BackupDatabase(TheDatabase(), DataFile(t), back.addSecs(3600));
    QVERIFY(second.ok);
    QStringList files = BackupFiles(folder);
    QCOMPARE(files.size(), BackupsKept);
    QCOMPARE(files.mid(BackupsKept - 2), (QStringList{first.file, second.file}));
    QCOMPARE(ReadFromCopy(files.last(), "SELECT Bill_Flag_Name FROM Bill_Flag_Info"), QStringLiteral("十年前"));
    QVERIFY(!BackupIsDue(DataFile(t), back.addSecs(2 * 3600)));
    QVERIFY(BackupIsDue(DataFile(t), back.addDays(2)));

    // The clock ten years ahead, then set right: the copies made meanwhile do not stop the next one.
    QVERIFY(BackupDatabase(TheDatabase(), DataFile(t), kNoon.addYears(10)).ok);
    QVERIFY(BackupIsDue(DataFile(t), kNoon));
    const BackupOutcome righted = BackupDatabase(TheDatabase(), DataFile(t), kNoon);
    QVERIFY(righted.ok);
    QCOMPARE(BackupFiles(folder).last(), righted.file);
    QVERIFY(!BackupIsDue(DataFile(t), kNoon.addSecs(3600)));

    // Through the program: the newest copy named ten years ahead of today, and start-up backs up.
    QDir(folder).removeRecursively();
    QVERIFY(BackupDatabase(TheDatabase(), DataFile(t), QDateTime::currentDateTime().addYears(10)).ok);
    TheDatabase().Close();
    MessageCapture messages;
    CBillApp app;
    QVERIFY(app.InitInstance());
    app.FinishVerification();
    QCOMPARE(BackupFiles(folder).size(), 2);
    QVERIFY(QFileInfo(BackupFiles(folder).last()).fileName().startsWith(
        QStringLiteral("Pelorvanide-%1").arg(QDate::currentDate().toString("yyyyMMdd"))));
    TheDatabase().Close();
    QCOMPARE(messages.Count(), 0);
}

void BackupTest::fullDiskIsToldInChineseAndLeavesNoCopy() {
    TestDatabase t;
    AddBooks(3000);
    const QString folder = BackupFolder(DataFile(t));
    // Room for half a copy.
    SmallFileSystem disk(folder, SizeOfACopy(t) / 2);
    if (!disk.IsMounted())
        QSKIP(qPrintable(disk.Error()));
    const BackupOutcome outcome = BackupDatabase(TheDatabase(), DataFile(t), kNoon);
    QVERIFY(!outcome.ok);
    QVERIFY2(outcome.error.startsWith(QStringLiteral("无法写入备份文件")), qPrintable(outcome.error));
    QVERIFY2(outcome.error.contains(QStringLiteral("full")), qPrintable(outcome.error)); // the store's own words
    QVERIFY(BackupFailureText(outcome).startsWith(QStringLiteral("数据备份失败")));
    QCOMPARE(FolderEntries(folder), QStringList());
    QVERIFY(BackupIsDue(DataFile(t), kNoon));
    QCOMPARE(t.Count(Bill_Info), 3000);
}

// The copy a server's backup makes reads its tables one after the other while other desks go on
// working: what they commit meanwhile is in no table of the copy, not even in one read after it.
void BackupTest::serverCopyHoldsTheBooksOfOneMoment() {
    SERVER_STORE_ONLY();
    TestDatabase t;
    AddBooks(3);
    AddDepartment(QStringLiteral("财务科"));
    const int departments = t.Count(Bill_Dept_Info);
    CDatabase otherDesk;
    QString error;
    QVERIFY2(otherDesk.OpenServer(ParseServerUrl(ConfiguredServerUrl()), QString(), &error), qPrintable(error));
    const QString file = QDir(t.Dir()).filePath(QStringLiteral("copy.dat"));
    {
        CDatabase copy;
        QVERIFY2(copy.Open(file, &error, true), qPrintable(error));
        QStringList copiedWhenCommitted;
        CopyStore(TheDatabase(), copy, [&](qint64, qint64, const QString &table) {
            if (!copiedWhenCommitted.isEmpty())
                return;
            copiedWhenCommitted << table;
            // The books are copied, the departments not yet: the other desk adds one of each.
            otherDesk.ExecuteStatement(
                QString::asprintf("INSERT INTO %s (%s,%s,%s,%s) VALUES ('收费票据','90001',90001,'%s')", Bill_Info,
                                  Bill_Kind, Bill_Begin_Char, Bill_Begin_Int, Bill_Flag, FlagStock));
            otherDesk.ExecuteStatement(
                QString::asprintf("INSERT INTO %s (%s) VALUES ('后来的科室')", Bill_Dept_Info, Bill_Dept_Name));
        });
        QCOMPARE(copiedWhenCommitted, QStringList{QString::fromLatin1(Bill_Info)});
    }
    QCOMPARE(t.Count(Bill_Info), 4);
    QCOMPARE(t.Count(Bill_Dept_Info), departments + 1);
    QCOMPARE(ReadFromCopy(file, "SELECT COUNT(*) FROM Bill_Info"), QStringLiteral("3"));
    QCOMPARE(ReadFromCopy(file, "SELECT COUNT(*) FROM Bill_Dept_Info"), QString::number(departments));
    QCOMPARE(ReadFromCopy(file, "SELECT COUNT(*) FROM Bill_Dept_Info WHERE Bill_Dept_Name = '财务科'"),
             QStringLiteral("1"));
}

QTEST_MAIN(BackupTest)
#include "tst_backup.moc"
