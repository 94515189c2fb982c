// Verified backups of the open data file: the copy opens with the key and passes the store's own
// check, thirty copies are kept, and a backup that cannot be written is told and the program goes on.
#include "app/Backup.h"
#include "app/BillApp.h"
#include "app/Database.h"
#include "schema/Schema.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

using namespace schema;

namespace {

const QDateTime kNoon(QDate(2026, 3, 9), QTime(12, 0, 0));

QString DataFile(const TestDatabase &t) {
    return QDir(t.Dir()).filePath(CDatabase::DataFileName());
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
    QCOMPARE(outcome.file, QDir(t.Dir()).filePath(QStringLiteral("backup/Pelorvanide-20260309-120000.dat")));
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
    QCOMPARE(QFileInfo(oldest).fileName(), QStringLiteral("Pelorvanide-20260308-060000.dat"));

    const BackupOutcome outcome = BackupDatabase(TheDatabase(), DataFile(t), kNoon);
    QVERIFY(outcome.ok);
    files = BackupFiles(folder);
    QCOMPARE(files.size(), BackupsKept);
    QVERIFY(!QFile::exists(oldest));
    QVERIFY(files.contains(outcome.file));
    QCOMPARE(QFileInfo(files.first()).fileName(), QStringLiteral("Pelorvanide-20260308-070000.dat"));
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
        QVERIFY(db.Open(DataFile(t)));
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

QTEST_MAIN(BackupTest)
#include "tst_backup.moc"
