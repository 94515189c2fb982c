#include "app/Backup.h"
#include "app/BillApp.h"
#include "app/Database.h"
#include "schema/Schema.h"
#include "schema/SchemaTables.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"
#include "users/Passwords.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QtTest>
#include <openssl/evp.h>
#include <sqlite3.h>

using namespace schema;

// Start-up refuses damaged, foreign, newer and read-only data files without writing a byte into
// them, and upgrades a file of the first release after a copy of it was written beside it.
class OpenChecksTest : public QObject {
    Q_OBJECT
private slots:
    void flippedByteIsRefused_data();
    void flippedByteIsRefused();
    void foreignFileIsRefused_data();
    void foreignFileIsRefused();
    void fileWithoutPasswordColumnDoesNotLetAnEmptyPasswordIn();
    void readOnlyFileIsRefusedInChinese();
    void readOnlyFolderIsRefusedInChinese();
    void firstReleaseFileIsUpgradedAfterABackup();
    void upgradedFileComparesNamesWithoutCase();
    void fileWithoutDeletionStampsIsUpgraded();
    void failedUpgradeLeavesTheFileAsItWas();
    void upgradeLeavesNoClearPasswordAndItsCopyGoesAfterAGoodBackup();
    void readingAColumnTheQueryLacksRaisesAnError();
};

namespace {

// Runs statements on a data file with the program's key, outside the program's checks.
void RawExec(const QString &path, const QString &sql) {
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    const QByteArray key = CDatabase::FixedKey();
    sqlite3_key(db, key.constData(), key.size());
    sqlite3_exec(db, "PRAGMA cipher_page_size = 4096", nullptr, nullptr, nullptr);
    char *message = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    const QString text = QString::fromUtf8(message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(text));
}

QString RawText(const QString &path, const QString &sql) {
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    const QByteArray key = CDatabase::FixedKey();
    sqlite3_key(db, key.constData(), key.size());
    sqlite3_exec(db, "PRAGMA cipher_page_size = 4096", nullptr, nullptr, nullptr);
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr);
    const QString value = stmt && sqlite3_step(stmt) == SQLITE_ROW
                              ? QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)))
                              : QString();
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return value;
}

int RawInt(const QString &path, const QString &sql) {
    bool ok = false;
    const int value = RawText(path, sql).toInt(&ok);
    return ok ? value : -1;
}

QByteArray Digest(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// A data file with some books in it, in a folder of its own that is the working directory; the
// program's connection is closed so start-up opens it afresh.
struct DataFile {
    TestDatabase t;
    DataFile() {
        const KindSpec kind{"行政事业性收费票据", "行政事业", "A", "", 8, 10, 1.0, false};
        CTransaction transaction;
        AddKind(kind);
        AddDepartment(QStringLiteral("Finance"));
        AddUser(QStringLiteral("clerk"), QStringLiteral("secret"), QStringLiteral("P01P02"));
        for (int i = 0; i < 300; ++i)
            AddStockRun(kind, 1 + 10 * i);
        transaction.Commit();
        TheDatabase().Close();
    }
    QString Path() const { return t.FilePath(); }
};

void ExpectRefused(const MessageCapture &messages, const QString &text) {
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().text, text);
    QCOMPARE(messages.Last().caption, QStringLiteral("Prompt!"));
    QCOMPARE(messages.Last().icon, MsgIcon::Stop);
    QVERIFY(!TheDatabase().IsOpen());
}

// The table rebuilt without one of its columns.
QString WithoutColumn(const char *table, const char *column) {
    QStringList kept;
    for (const TableDef &t : Tables())
        if (qstrcmp(t.name, table) == 0)
            for (const ColumnDef &c : t.columns)
                if (qstrcmp(c.name, column) != 0)
                    kept << QLatin1String(c.name);
    return QStringLiteral("CREATE TABLE x AS SELECT %2 FROM %1; DROP TABLE %1; ALTER TABLE x RENAME TO %1")
        .arg(QLatin1String(table), kept.join(u','));
}

const QString NoDataFile = QStringLiteral("无法找到数据文件!");

// Flips one byte in the middle of the page of the table or index.
void FlipByteInPageOf(const QString &path, const char *object) {
    const int page =
        RawInt(path, QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = '%1'").arg(QLatin1String(object)));
    QVERIFY(page > 1);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const qint64 at = qint64(page - 1) * 4096 + 2048;
    QVERIFY(file.seek(at));
    char byte = 0;
    QVERIFY(file.getChar(&byte));
    QVERIFY(file.seek(at));
    QVERIFY(file.putChar(char(byte ^ 0x20)));
}

// Rebuilds every table as files of the older version hold it, without the tables and rights that
// came later; the first release (version 0) also compared texts case-sensitively.
void MakeOlderFile(const QString &path, int version) {
    QString sql = QStringLiteral("BEGIN;");
    for (const TableDef &table : Tables()) {
        const QString name = QLatin1String(table.name);
        if (table.since > version) {
            sql += QStringLiteral("DROP TABLE %1;").arg(name);
            continue;
        }
        QStringList columns;
        for (const ColumnDef &c : ColumnsAt(table, version))
            columns << QLatin1String(c.name);
        QString create = CreateTableStatement(table, name, version);
        if (version == 0)
            create.replace(QStringLiteral(" COLLATE NOCASE"), QString());
        sql += QStringLiteral("ALTER TABLE %1 RENAME TO %1_x;").arg(name) + create + u';';
        sql += QStringLiteral("INSERT INTO %1 SELECT %2 FROM %1_x; DROP TABLE %1_x;").arg(name, columns.join(u','));
    }
    sql += QStringLiteral("DELETE FROM Bill_Popedom_Tree_Info WHERE Bill_Popedom_Tree_Code IN ('P23', 'P24', 'P25');");
    sql += QStringLiteral("DELETE FROM sqlite_sequence WHERE name LIKE '%\\_x' ESCAPE '\\';");
    sql += QStringLiteral("PRAGMA user_version = %1; COMMIT;").arg(version);
    RawExec(path, sql);
}

void MakeFirstReleaseFile(const QString &path) {
    MakeOlderFile(path, 0);
}

// Every page of a data file decrypted with the program's key, free pages and unused room included: what
// anyone holding the key could read from the file. SQLCipher's page layout: the key is derived with
// PBKDF2 from the salt in the first 16 bytes; each page is AES-256-CBC, its IV in the reserved room at
// its end (SHA-1 HMAC and 64,000 rounds up to SQLCipher 3, SHA-512 and 256,000 from SQLCipher 4).
QByteArray DecryptedPages(const QString &path) {
    const int page = 4096;
    const bool version3 = RawText(path, QStringLiteral("PRAGMA cipher_version")).startsWith(QLatin1Char('3'));
    const int reserve = version3 ? 48 : 80;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const QByteArray passphrase = CDatabase::FixedKey();
    unsigned char key[32];
    PKCS5_PBKDF2_HMAC(passphrase.constData(), int(passphrase.size()),
                      reinterpret_cast<const unsigned char *>(bytes.constData()), 16, version3 ? 64000 : 256000,
                      version3 ? EVP_sha1() : EVP_sha512(), sizeof key, key);
    QByteArray plain;
    for (qsizetype at = 0; at + page <= bytes.size(); at += page) {
        const int start = at == 0 ? 16 : 0;
        const auto *in = reinterpret_cast<const unsigned char *>(bytes.constData() + at);
        QByteArray out(page, '\0');
        auto *o = reinterpret_cast<unsigned char *>(out.data());
        int n = 0, last = 0;
        EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
        EVP_DecryptInit_ex(ctx, EVP_aes_256_cbc(), nullptr, key, in + page - reserve);
        EVP_CIPHER_CTX_set_padding(ctx, 0);
        EVP_DecryptUpdate(ctx, o, &n, in + start, page - reserve - start);
        EVP_DecryptFinal_ex(ctx, o + n, &last);
        EVP_CIPHER_CTX_free(ctx);
        plain += out.left(n + last);
    }
    return plain;
}

} // namespace

void OpenChecksTest::flippedByteIsRefused_data() {
    QTest::addColumn<QString>("object");
    QTest::newRow("table page") << QString::fromLatin1(Bill_Info);
    QTest::newRow("index page") << QStringLiteral("IX_Bill_Kind_Begin");
}

void OpenChecksTest::flippedByteIsRefused() {
    QFETCH(QString, object);
    DataFile f;
    FlipByteInPageOf(f.Path(), object.toLatin1().constData());
    const QByteArray before = Digest(f.Path());
    MessageCapture messages;
    QVERIFY(!CBillApp::OpenDataFile());
    ExpectRefused(messages, NoDataFile);
    QCOMPARE(Digest(f.Path()), before);
}

void OpenChecksTest::foreignFileIsRefused_data() {
    QTest::addColumn<QString>("change");
    QTest::newRow("lacks a table") << QStringLiteral("DROP TABLE Report_Info");
    QTest::newRow("lacks a column") << WithoutColumn(Bill_Kind_Info, Bill_Kind_Length);
    QTest::newRow("runs with another column") << QStringLiteral("ALTER TABLE Bill_Info ADD COLUMN Bill_Colour TEXT");
    QTest::newRow("newer version") << QStringLiteral("PRAGMA user_version = 99");
    QTest::newRow("older version lacking a table")
        << QStringLiteral("PRAGMA user_version = 0; DROP TABLE Bill_Flag_Info");
}

void OpenChecksTest::foreignFileIsRefused() {
    QFETCH(QString, change);
    DataFile f;
    RawExec(f.Path(), change);
    const QByteArray before = Digest(f.Path());
    MessageCapture messages;
    QVERIFY(!CBillApp::OpenDataFile());
    ExpectRefused(messages, NoDataFile);
    QCOMPARE(Digest(f.Path()), before);
    QVERIFY(QDir(QFileInfo(f.Path()).absolutePath()).entryList({"*.bak"}, QDir::Files).isEmpty());
}

void OpenChecksTest::fileWithoutPasswordColumnDoesNotLetAnEmptyPasswordIn() {
    DataFile f;
    RawExec(f.Path(), WithoutColumn(Bill_Password_Info, Bill_Password_PWD));
    QCOMPARE(RawInt(f.Path(), QStringLiteral("SELECT COUNT(*) FROM Bill_Password_Info")), 2);
    const QByteArray before = Digest(f.Path());
    MessageCapture messages;
    QVERIFY(!CBillApp::OpenDataFile());
    ExpectRefused(messages, NoDataFile);
    QCOMPARE(Digest(f.Path()), before);
}

void OpenChecksTest::readOnlyFileIsRefusedInChinese() {
    DataFile f;
    QVERIFY(QFile::setPermissions(f.Path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QByteArray before = Digest(f.Path());
    MessageCapture messages;
    QVERIFY(!CBillApp::OpenDataFile());
    ExpectRefused(messages, QStringLiteral("数据文件Pelorvanide.dat是只读的，无法写入，程序不能运行!"));
    QCOMPARE(Digest(f.Path()), before);
    QVERIFY(QFile::setPermissions(f.Path(), QFile::ReadOwner | QFile::WriteOwner));
    QVERIFY(CBillApp::OpenDataFile());
}

void OpenChecksTest::readOnlyFolderIsRefusedInChinese() {
    DataFile f;
    const QString folder = QFileInfo(f.Path()).absolutePath();
    const QFile::Permissions previous = QFile::permissions(folder);
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const QByteArray before = Digest(f.Path());
    MessageCapture messages;
    const bool opened = CBillApp::OpenDataFile();
    QFile::setPermissions(folder, previous);
    QVERIFY(!opened);
    ExpectRefused(messages, QStringLiteral("数据文件Pelorvanide.dat所在的文件夹不能写入，程序不能运行!"));
    QCOMPARE(Digest(f.Path()), before);
}

void OpenChecksTest::firstReleaseFileIsUpgradedAfterABackup() {
    DataFile f;
    MakeFirstReleaseFile(f.Path());
    const QByteArray before = Digest(f.Path());
    const int runs = RawInt(f.Path(), QStringLiteral("SELECT COUNT(*) FROM Bill_Info"));
    const int lastId = RawInt(f.Path(), QStringLiteral("SELECT MAX(Bill_ID) FROM Bill_Info"));
    MessageCapture messages;
    QVERIFY(CBillApp::OpenDataFile());
    QCOMPARE(messages.Count(), 0);
    CDatabase &db = TheDatabase();
    // The copy beside the file is the file as it was.
    QCOMPARE(db.BackupPath(), f.Path() + QStringLiteral(".v0.bak"));
    QCOMPARE(Digest(db.BackupPath()), before);
    QCOMPARE(f.t.Scalar(QStringLiteral("PRAGMA user_version")).toInt(), CurrentSchemaVersion);
    QCOMPARE(f.t.Count(Bill_Info), runs);
    // Counters go on after the last row.
    f.t.Exec(QString::asprintf("INSERT INTO %s (%s) VALUES ('x')", Bill_Info, Bill_Kind));
    QCOMPARE(f.t.Scalar(QString::asprintf("SELECT MAX(%s) FROM %s", Bill_ID, Bill_Info)).toInt(), lastId + 1);
    QCOMPARE(f.t.Scalar(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    // The later tables, columns and rights are there: an empty log, kinds without a low-stock limit
    // and the rights of the log and of the audit under "票据管理".
    QCOMPARE(f.t.Count(Bill_Log_Info), 0);
    QCOMPARE(f.t.Scalar(QString::asprintf("SELECT COUNT(%s) FROM %s", Bill_Kind_Stock_Limit, Bill_Kind_Info)),
             QStringLiteral("0"));
    QCOMPARE(f.t.Scalar(QString::asprintf("SELECT group_concat(%s, ',') FROM %s WHERE %s = 1 AND %s > 7",
                                          Bill_Popedom_Tree_Name, Bill_Popedom_Tree_Info, Bill_Popedom_Tree_ParentID,
                                          Bill_Popedom_Tree_InNum)),
             QStringLiteral("操作日志,日志校验,票据稽核"));
    db.Close();
    // Opening it again neither upgrades nor copies it once more.
    QVERIFY(CBillApp::OpenDataFile());
    QVERIFY(db.BackupPath().isEmpty());
    QCOMPARE(QDir(QFileInfo(f.Path()).absolutePath()).entryList({"*.bak"}, QDir::Files).size(), 1);
}

void OpenChecksTest::upgradedFileComparesNamesWithoutCase() {
    DataFile f;
    MakeFirstReleaseFile(f.Path());
    QCOMPARE(RawInt(f.Path(), QStringLiteral("SELECT COUNT(*) FROM Bill_Dept_Info WHERE Bill_Dept_Name = 'FINANCE'")),
             0);
    QVERIFY(CBillApp::OpenDataFile());
    QCOMPARE(f.t.Count(Bill_Dept_Info, QString::asprintf("%s = 'FINANCE'", Bill_Dept_Name)), 1);
    QCOMPARE(f.t.Count(Bill_Password_Info, QString::asprintf("%s = 'CLERK'", Bill_Password_User)), 1);
}

void OpenChecksTest::fileWithoutDeletionStampsIsUpgraded() {
    DataFile f;
    // A book deleted by the version before: its void stamps hold the deletion.
    RawExec(f.Path(), QString::asprintf("INSERT INTO %s SELECT *,NULL,NULL FROM %s WHERE %s = 1; UPDATE %s SET %s = "
                                        "'2026-03-04 05:06:07', %s = '王管理'; INSERT INTO %s VALUES "
                                        "('k','m','001','002',2,12.5,NULL,NULL); DELETE FROM %s WHERE %s = 1",
                                        Bill_Recycle_Info, Bill_Info, Bill_ID, Bill_Recycle_Info, Bill_Invalid_Time,
                                        Bill_Invalid_Manager, Bill_Recycle_NoneFixed_Info, Bill_Info, Bill_ID));
    MakeOlderFile(f.Path(), 1);
    QCOMPARE(RawInt(f.Path(), QStringLiteral("SELECT COUNT(*) FROM pragma_table_info('Bill_Recycle_Info')")),
             RawInt(f.Path(), QStringLiteral("SELECT COUNT(*) FROM pragma_table_info('Bill_Info')")));
    const QByteArray before = Digest(f.Path());
    MessageCapture messages;
    QVERIFY(CBillApp::OpenDataFile());
    QCOMPARE(messages.Count(), 0);
    CDatabase &db = TheDatabase();
    QCOMPARE(db.BackupPath(), f.Path() + QStringLiteral(".v1.bak"));
    QCOMPARE(Digest(db.BackupPath()), before);
    QCOMPARE(f.t.Scalar(QStringLiteral("PRAGMA user_version")).toInt(), CurrentSchemaVersion);
    QCOMPARE(f.t.Count(Bill_Info), 299);
    QCOMPARE(f.t.Scalar(QString::asprintf("SELECT %s || '|' || %s || '|' || %s FROM %s", Bill_ID, Bill_Recycle_Time,
                                          Bill_Recycle_Manager, Bill_Recycle_Info)),
             QStringLiteral("1|2026-03-04 05:06:07|王管理"));
    QCOMPARE(f.t.Count(Bill_Recycle_NoneFixed_Info, QString::asprintf("%s IS NULL", Bill_Recycle_NoneFixed_Time)), 1);
    // Names still compare without case, and the upgraded file takes new rows.
    QCOMPARE(f.t.Count(Bill_Dept_Info, QString::asprintf("%s = 'FINANCE'", Bill_Dept_Name)), 1);
    f.t.Exec(QString::asprintf("INSERT INTO %s SELECT *,'2026-05-01 08:00:00','李管理' FROM %s WHERE %s = 2",
                               Bill_Recycle_Info, Bill_Info, Bill_ID));
    QCOMPARE(f.t.Count(Bill_Recycle_Info), 2);
    QCOMPARE(f.t.Scalar(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
}

void OpenChecksTest::failedUpgradeLeavesTheFileAsItWas() {
    DataFile f;
    MakeFirstReleaseFile(f.Path());
    // A table of the upgrade's own working name stands in the way, so the upgrade fails half-way.
    RawExec(f.Path(), QStringLiteral("CREATE TABLE Bill_Dept_Info_Old (x)"));
    const QByteArray before = Digest(f.Path());
    MessageCapture messages;
    QVERIFY(!CBillApp::OpenDataFile());
    QCOMPARE(messages.Count(), 1);
    QVERIFY(messages.Last().text.startsWith(QStringLiteral("数据文件Pelorvanide.dat无法升级到本程序的版本")));
    QCOMPARE(Digest(f.Path()), before);
    QCOMPARE(RawInt(f.Path(), QStringLiteral("PRAGMA user_version")), 0);
}

void OpenChecksTest::upgradeLeavesNoClearPasswordAndItsCopyGoesAfterAGoodBackup() {
    DataFile f;
    {
        QVERIFY(TheDatabase().Open(f.Path()));
        AddUser(QStringLiteral("出纳"), QStringLiteral("口令-出纳-7"), QString());
        f.t.Exec(QString::asprintf("INSERT INTO %s (%s) VALUES ('无密码')", Bill_Password_Info, Bill_Password_User));
        TheDatabase().Close();
    }
    MakeFirstReleaseFile(f.Path());
    const QString clear = QString::asprintf("SELECT COUNT(*) FROM %s WHERE %s IS NULL OR %s NOT LIKE '$argon2id$%%'",
                                            Bill_Password_Info, Bill_Password_PWD, Bill_Password_PWD);
    QCOMPARE(RawInt(f.Path(), clear), 4); // the delivered 管理员, clerk, 出纳 and the one without a password
    const QString backups = BackupFolder(f.Path());

    // The backup cannot be written at first: the copy of the old file stays.
    QFile blocker(backups);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    MessageCapture messages;
    {
        CBillApp app;
        QVERIFY(app.InitInstance());
        QCOMPARE(messages.Count(), 1);
        QVERIFY(messages.Last().text.startsWith(QStringLiteral("数据备份失败")));
        QCOMPARE(f.t.Scalar(clear).toInt(), 0); // every password hashed at the upgrade, at once
        TheDatabase().Close();
    }
    QCOMPARE(CDatabase::UpgradeCopies(f.Path()), QStringList{f.Path() + QStringLiteral(".v0.bak")});
    QCOMPARE(RawInt(f.Path() + QStringLiteral(".v0.bak"), clear), 4);
    const QByteArray password = QStringLiteral("口令-出纳-7").toUtf8();
    QVERIFY(DecryptedPages(f.Path() + QStringLiteral(".v0.bak")).contains(password));

    // Once a good backup of the upgraded file is made, at the next start, the old copy goes.
    QVERIFY(QFile::remove(backups));
    {
        CBillApp app;
        QVERIFY(app.InitInstance());
        app.FinishVerification();
        QCOMPARE(messages.Count(), 1);
        QVERIFY(CDatabase::UpgradeCopies(f.Path()).isEmpty());
        const QStringList copies = BackupFiles(backups);
        QCOMPARE(copies.size(), 1);
        QCOMPARE(RawInt(copies.first(), clear), 0);
        QVERIFY(CheckLoginPassword(QStringLiteral("出纳"), QStringLiteral("口令-出纳-7")));
        QVERIFY(CheckLoginPassword(QStringLiteral("clerk"), QStringLiteral("secret")));
        QVERIFY(CheckLoginPassword(QString::fromUtf8(AdministratorUser), QStringLiteral("admin")));
        QVERIFY(CheckLoginPassword(QStringLiteral("无密码"), QString()));
        app.ExitInstance();
    }
    // Not in a row, nor in a page the old rows left behind.
    for (const QString &copy : {f.Path(), BackupFiles(backups).first()}) {
        const QByteArray pages = DecryptedPages(copy);
        QVERIFY2(pages.contains("CREATE TABLE Bill_Password_Info"), qPrintable(copy));
        QVERIFY2(!pages.contains(password), qPrintable(copy));
    }
}

void OpenChecksTest::readingAColumnTheQueryLacksRaisesAnError() {
    TestDatabase t;
    CDatabase &db = t.Db();
    db.OpenQuery(QString::asprintf("SELECT %s FROM %s", Bill_Password_User, Bill_Password_Info));
    QString value = QStringLiteral("unchanged");
    QVERIFY_THROWS_EXCEPTION(CDbError, db.ReadFieldText(QLatin1String(Bill_Password_PWD), value));
    double number = 7;
    QVERIFY_THROWS_EXCEPTION(CDbError, db.ReadFieldNumber(QLatin1String(Bill_Password_Number), number));
    QCOMPARE(value, QStringLiteral("unchanged"));
    QVERIFY(db.ReadFieldText(QLatin1String(Bill_Password_User), value));
    QCOMPARE(value, QString::fromUtf8(AdministratorUser));
    db.CloseQuery();
}

QTEST_GUILESS_MAIN(OpenChecksTest)
#include "tst_openchecks.moc"
