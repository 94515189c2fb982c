#include "app/FileCommit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString SystemText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool Fail(QString *error, const QString &sentence) {
    if (error)
        *error = QStringLiteral("%1：%2").arg(sentence, SystemText());
    return false;
}

QString Native(const QString &path) {
    return QDir::toNativeSeparators(path);
}

QString RandomPart() {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString part;
    for (int i = 0; i < 8; ++i)
        part += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)]);
    return part;
}

// The folder's entry for the renamed file reaches the disk too. A file system that cannot flush a
// folder (some network ones) still has the file itself on the disk.
void FlushFolder(const QString &folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

QString CreateFileBeside(const QString &target, QString *error) {
    const QFileInfo info(target);
    struct stat existing;
    const bool replacing = ::stat(QFile::encodeName(target).constData(), &existing) == 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString temp =
            info.absoluteDir().filePath(QStringLiteral(".%1.%2.part").arg(info.fileName(), RandomPart()));
        const QByteArray name = QFile::encodeName(temp);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            Fail(error, QStringLiteral("无法在文件夹%1中建立文件").arg(Native(info.absolutePath())));
            return QString();
        }
        if (replacing)
            ::fchmod(fd, existing.st_mode & 07777);
        ::close(fd);
        return temp;
    }
    errno = EEXIST;
    Fail(error, QStringLiteral("无法在文件夹%1中建立文件").arg(Native(info.absolutePath())));
    return QString();
}

bool FlushToDisk(const QString &path, QString *error) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Fail(error, QStringLiteral("无法打开文件%1").arg(Native(path)));
    const bool ok = ::fsync(fd) == 0;
    const int fsyncError = errno;
    ::close(fd);
    errno = fsyncError;
    return ok || Fail(error, QStringLiteral("文件%1没有写到磁盘上").arg(Native(path)));
}

bool MoveIntoPlace(const QString &finished, const QString &target, bool replace, QString *error, bool *taken) {
    if (taken)
        *taken = false;
    if (!FlushToDisk(finished, error))
        return false;
    const QByteArray from = QFile::encodeName(finished);
    const QByteArray to = QFile::encodeName(target);
    int rc = 0;
    if (replace) {
        rc = ::rename(from.constData(), to.constData());
    } else {
        rc = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
        if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
            // A file system without the no-replace rename: a hard link is refused the same way.
            rc = ::link(from.constData(), to.constData());
            if (rc == 0)
                ::unlink(from.constData());
        }
        if (rc != 0 && errno == EEXIST && taken)
            *taken = true;
    }
    if (rc != 0)
        return Fail(error, QStringLiteral("无法把写好的文件改名为%1").arg(Native(target)));
    FlushFolder(QFileInfo(target).absolutePath());
    return true;
}

CFileReplacement::CFileReplacement(const QString &target) : m_target(target) {
    m_temp = CreateFileBeside(target, &m_error);
}

CFileReplacement::~CFileReplacement() {
    if (!m_committed && !m_temp.isEmpty())
        QFile::remove(m_temp);
}

bool CFileReplacement::Commit() {
    if (m_temp.isEmpty())
        return false;
    m_committed = MoveIntoPlace(m_temp, m_target, true, &m_error);
    return m_committed;
}
