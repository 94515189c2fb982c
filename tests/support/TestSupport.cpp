#include "tests/support/TestSupport.h"

#include "mainwindow/SplashDlg.h"
#include "reports/PrintPreviewDlg.h"

#include <QDir>
#include <QFile>
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

TestDatabase::TestDatabase() : m_previousDir(QDir::currentPath()) {
    const QString target = FilePath();
    if (!QFile::copy(DeliveredDatabasePath(), target))
        qFatal("cannot copy the delivered database from %s", qPrintable(DeliveredDatabasePath()));
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    // The skin and splash files lie beside the database, as the run command places them.
    for (const QString &file : {QStringLiteral("MainDlgSrc.dat"), QStringLiteral("DOvozOzivodERU.dat")})
        QFile::copy(BuiltResourceFile(file), m_dir.filePath(file));
    // Windows made by the tests skip the two seconds of the splash.
    CSplashDlg::SetRunner([](QWidget *) {});
    QDir::setCurrent(m_dir.path());
    QString error;
    if (!TheDatabase().Open(target, &error))
        qFatal("cannot open the test database: %s", qPrintable(error));
}

TestDatabase::~TestDatabase() {
    TheDatabase().Close();
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

int TestDatabase::Count(const QString &table, const QString &where) {
    QString statement = QStringLiteral("SELECT COUNT(*) FROM ") + table;
    if (!where.isEmpty())
        statement += QStringLiteral(" WHERE ") + where;
    return Scalar(statement).toInt();
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
