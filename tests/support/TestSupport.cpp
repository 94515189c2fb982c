#include "tests/support/TestSupport.h"

#include "app/Dialect.h"
#include "app/ServerStore.h"
#include "mainwindow/SplashDlg.h"
#include "reports/PrintPreviewDlg.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/statvfs.h>

namespace {
// No preview waits for a clerk in a test: "打印" is pressed in it at once. Tests of the preview
// install their own runner.
[[maybe_unused]] const bool kPrintFromPreviewAtOnce = [] {
    SetPreviewRunner([](CPrintPreviewDlg &preview) { preview.Print(); });
    return true;
}();
} // namespace

QString DeliveredDatabasePath() {
    return QStringLiteral(PELORVANIDE_EMPTY_DB);
}

QString BuiltResourceFile(const QString &fileName) {
    return QDir(QStringLiteral(PELORVANIDE_BUILD_DIR)).filePath(fileName);
}

StoreKind TestStore() {
    static const StoreKind store =
        qEnvironmentVariable("PELORVANIDE_TEST_STORE") == QLatin1String("server") ? StoreKind::Server : StoreKind::File;
    return store;
}

bool OnServer() {
    return TestStore() == StoreKind::Server;
}

QString TestServerUrl(const QString &database) {
    // Host, port and user come from the PG* variables of the test cluster.
    return QStringLiteral("postgresql:///%1").arg(database);
}

void ExecOnCluster(const QString &statement) {
    static CDatabase cluster;
    QString error;
    if (!cluster.IsOpen() &&
        !cluster.OpenServer(ParseServerUrl(TestServerUrl(QStringLiteral("postgres"))), QString(), &error, true))
        qFatal("cannot reach the test cluster: %s", qPrintable(error));
    cluster.ExecuteStatement(statement);
}

ServerDatabase::ServerDatabase(bool empty) {
    static int made = 0;
    m_name = QStringLiteral("pv_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
    const QString templateName =
        qEnvironmentVariable("PELORVANIDE_TEST_TEMPLATE", QStringLiteral("pelorvanide_template"));
    ExecOnCluster(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(m_name));
    ExecOnCluster(empty ? QStringLiteral("CREATE DATABASE %1").arg(m_name)
                        : QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(m_name, templateName));
}

ServerDatabase::~ServerDatabase() {
    try {
        ExecOnCluster(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
    } catch (const CDbError &e) {
        qWarning("cannot drop %s: %s", qPrintable(m_name), qPrintable(e.Message()));
    }
}

TestDatabase::TestDatabase() : m_previousDir(QDir::currentPath()) {
    const QString target = FilePath();
    if (OnServer()) {
        m_server = std::make_unique<ServerDatabase>();
        // The settings file points the program at the database, as a unit's would.
        QSettings settings(m_dir.filePath(SettingsFileName), QSettings::IniFormat);
        settings.setValue(QStringLiteral("server/url"), m_server->Url());
    } else {
        if (!QFile::copy(DeliveredDatabasePath(), target))
            qFatal("cannot copy the delivered database from %s", qPrintable(DeliveredDatabasePath()));
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    }
    // The skin and splash files lie beside the database, as the run command places them.
    for (const QString &file : {QStringLiteral("MainDlgSrc.dat"), QStringLiteral("DOvozOzivodERU.dat")})
        QFile::copy(BuiltResourceFile(file), m_dir.filePath(file));
    // Windows made by the tests skip the two seconds of the splash.
    CSplashDlg::SetRunner([](QWidget *) {});
    QDir::setCurrent(m_dir.path());
    if (!Reopen())
        qFatal("cannot open the test database");
}

bool TestDatabase::RunInShell(const QByteArray &statements) {
    QProcess shell;
    if (m_server) {
        shell.start(QStringLiteral("psql"), {"-X", "-q", "-v", "ON_ERROR_STOP=1", "-d", m_server->Url()});
        shell.write(statements + "\n");
    } else {
        shell.start(QStringLiteral("sqlcipher"), {FilePath()});
        shell.write(QByteArray("PRAGMA key = '") + CDatabase::FixedKey() + "';\nPRAGMA cipher_page_size = 4096;\n" +
                    statements + "\n");
    }
    shell.closeWriteChannel();
    return shell.waitForFinished() && shell.exitCode() == 0 && shell.readAllStandardError().isEmpty();
}

bool TestDatabase::OpenAnotherDesk(CDatabase &other) const {
    return m_server ? other.OpenServer(ParseServerUrl(m_server->Url()), QString()) : other.Open(FilePath());
}

bool TestDatabase::Reopen() {
    QString error;
    const bool opened = m_server ? TheDatabase().OpenServer(ParseServerUrl(m_server->Url()), QString(), &error)
                                 : TheDatabase().Open(FilePath(), &error);
    if (!opened)
        qWarning("cannot open the test database: %s", qPrintable(error));
    return opened;
}

TestDatabase::~TestDatabase() {
    TheDatabase().Close();
    m_server.reset();
    QDir::setCurrent(m_previousDir);
}

QString TestDatabase::FilePath() const {
    return m_dir.filePath(CDatabase::DataFileName());
}

void TestDatabase::Exec(const QString &statement) {
    TheDatabase().ExecuteStatement(statement);
}

QString TestDatabase::Scalar(const QString &statement) {
    CDatabase &db = TheDatabase();
    db.OpenQuery(statement);
    QString value;
    db.ReadFieldText(0, value);
    db.CloseQuery();
    return value;
}

QString TestDatabase::Rows(const QString &statement) {
    CDatabase &db = TheDatabase();
    QStringList rows;
    for (db.OpenQuery(statement); !db.IsEOF(); db.MoveNext()) {
        QStringList fields;
        for (int column = 0; column < db.ColumnCount(); ++column) {
            QString value;
            db.ReadFieldText(column, value);
            fields << value;
        }
        rows << fields.join(u':');
    }
    db.CloseQuery();
    return rows.join(u' ');
}

int TestDatabase::Count(const QString &table, const QString &where) {
    QString statement = QStringLiteral("SELECT COUNT(*) FROM ") + table;
    if (!where.isEmpty())
        statement += QStringLiteral(" WHERE ") + where;
    return Scalar(statement).toInt();
}

void TestDatabase::RefuseChanges(const QString &name, const char *event, const QString &table, const QString &message,
                                 const QString &condition) {
    const QString when = condition.isEmpty() ? QString() : QStringLiteral(" WHEN (%1)").arg(condition);
    if (!OnServer()) {
        Exec(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3%4 BEGIN SELECT RAISE(ABORT, %5); END")
                 .arg(name, QLatin1String(event), table, when, QuoteText(message)));
        return;
    }
    const QString body = QStringLiteral("BEGIN RAISE EXCEPTION %1; END").arg(QuoteText(message));
    Exec(QStringLiteral("CREATE OR REPLACE FUNCTION %1_refusal() RETURNS trigger LANGUAGE plpgsql AS %2")
             .arg(name, QuoteText(body)));
    Exec(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW%4 EXECUTE FUNCTION %1_refusal()")
             .arg(name, QLatin1String(event), table, when));
}

void TestDatabase::AllowChanges(const QString &name, const QString &table) {
    Exec(OnServer() ? QStringLiteral("DROP TRIGGER %1 ON %2").arg(name, table)
                    : QStringLiteral("DROP TRIGGER %1").arg(name));
}

MessageCapture::MessageCapture() {
    m_previous =
        SetMessagePresenter([this](const QString &text, const QString &caption, MsgIcon icon, MsgButtons buttons) {
            m_messages.append({text, caption, icon, buttons});
            if (!m_answers.isEmpty())
                return m_answers.takeFirst();
            return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::Yes;
        });
}

MessageCapture::~MessageCapture() {
    SetMessagePresenter(m_previous);
}

QStringList MessageCapture::Texts() const {
    QStringList texts;
    for (const CapturedMessage &m : m_messages)
        texts << m.text;
    return texts;
}

SmallFileSystem::SmallFileSystem(const QString &folder, qint64 bytes) : m_folder(folder) {
    QDir().mkpath(folder);
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
    m_mounted = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) == 0;
    if (!m_mounted)
        m_error = QStringLiteral("cannot mount a small file system on %1 (needs root): %2")
                      .arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
}

SmallFileSystem::~SmallFileSystem() {
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

qint64 SmallFileSystem::FreeBytes() const {
    struct statvfs fs;
    if (::statvfs(QFile::encodeName(m_folder).constData(), &fs) != 0)
        return -1;
    return qint64(fs.f_bavail) * qint64(fs.f_frsize);
}

void SmallFileSystem::FillLeaving(qint64 bytes) {
    QFile filler(QDir(m_folder).filePath(QStringLiteral("filler.bin")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    const QByteArray block(4096, 'x');
    while (FreeBytes() > bytes && filler.write(block) == block.size() && filler.flush()) {
    }
}
