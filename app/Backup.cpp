#include "app/Backup.h"

#include "app/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace {

constexpr const char *kFormat = "yyyyMMdd-HHmmss";

QString Message(sqlite3 *db, int rc) {
    return QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
}

// Opens the file keyed like the data file; a null handle and the reason on failure.
sqlite3 *OpenKeyed(const QString &path, int flags, QString &error) {
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        error = Message(db, rc);
        sqlite3_close(db);
        return nullptr;
    }
    const QByteArray key = CDatabase::FixedKey();
    sqlite3_key(db, key.constData(), int(key.size()));
    // The page size must match the data file's, or the copy could not be written page by page.
    sqlite3_exec(db, "PRAGMA cipher_page_size = 4096", nullptr, nullptr, nullptr);
    return db;
}

bool CopyInto(sqlite3 *source, const QString &target, QString &error) {
    sqlite3 *copy = OpenKeyed(target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, error);
    if (!copy)
        return false;
    bool ok = false;
    if (sqlite3_backup *backup = sqlite3_backup_init(copy, "main", source, "main")) {
        // One step copies every page: the data file cannot change meanwhile, for the program has
        // one thread and this is it.
        const int rc = sqlite3_backup_step(backup, -1);
        sqlite3_backup_finish(backup);
        ok = rc == SQLITE_DONE;
        if (!ok)
            error = Message(copy, rc);
    } else {
        error = Message(copy, SQLITE_ERROR);
    }
    sqlite3_close(copy);
    return ok;
}

// Opens the copy with the key, as a restore would, and asks the store to check every page.
bool CheckCopy(const QString &file, QString &error) {
    sqlite3 *copy = OpenKeyed(file, SQLITE_OPEN_READONLY, error);
    if (!copy)
        return false;
    sqlite3_stmt *stmt = nullptr;
    QString verdict;
    int rc = sqlite3_prepare_v2(copy, "PRAGMA integrity_check", -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            const QString line = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
            verdict += verdict.isEmpty() ? line : QLatin1Char('\n') + line;
        }
    }
    if (rc != SQLITE_DONE)
        verdict = Message(copy, rc);
    sqlite3_finalize(stmt);
    sqlite3_close(copy);
    if (verdict == QLatin1String("ok"))
        return true;
    error = verdict.isEmpty() ? QStringLiteral("integrity_check gave no answer") : verdict;
    return false;
}

QDateTime TimeOfCopy(const QString &fileName) {
    const QString stamp = QFileInfo(fileName).completeBaseName().mid(QStringLiteral("Pelorvanide-").size());
    return QDateTime::fromString(stamp, QLatin1String(kFormat));
}

} // namespace

QString BackupFolder(const QString &dataFile) {
    return QFileInfo(dataFile).absoluteDir().filePath(QStringLiteral("backup"));
}

QString BackupFileName(const QDateTime &when) {
    return QStringLiteral("Pelorvanide-%1.dat").arg(when.toString(QLatin1String(kFormat)));
}

QStringList BackupFiles(const QString &folder) {
    QStringList files;
    // The time stamp in the name sorts the copies oldest first.
    for (const QString &name : QDir(folder).entryList({QStringLiteral("Pelorvanide-*.dat")}, QDir::Files, QDir::Name))
        if (TimeOfCopy(name).isValid())
            files << QDir(folder).filePath(name);
    return files;
}

bool BackupIsDue(const QString &dataFile, const QDateTime &now) {
    const QStringList files = BackupFiles(BackupFolder(dataFile));
    return files.isEmpty() || TimeOfCopy(files.last()).secsTo(now) > 24 * 60 * 60;
}

BackupOutcome CopyDatabase(CDatabase &db, const QString &dataFile, const QDateTime &when) {
    BackupOutcome outcome;
    const QString folder = BackupFolder(dataFile);
    if (!db.Handle()) {
        outcome.error = QStringLiteral("数据文件没有打开");
        return outcome;
    }
    if (!QDir().mkpath(folder)) {
        outcome.error = QStringLiteral("无法建立备份文件夹 %1").arg(QDir::toNativeSeparators(folder));
        return outcome;
    }
    const QString file = QDir(folder).filePath(BackupFileName(when));
    QFile::remove(file);
    QString error;
    if (!CopyInto(db.Handle(), file, error)) {
        QFile::remove(file);
        outcome.error = QStringLiteral("%1：%2").arg(QDir::toNativeSeparators(file), error);
        return outcome;
    }
    outcome.ok = true;
    outcome.file = file;
    return outcome;
}

BackupOutcome VerifyBackup(const BackupOutcome &copied, int keep) {
    if (!copied.ok)
        return copied;
    BackupOutcome outcome = copied;
    QString error;
    if (!CheckCopy(copied.file, error)) {
        QFile::remove(copied.file);
        outcome.ok = false;
        outcome.file.clear();
        outcome.error = QStringLiteral("%1：%2").arg(QDir::toNativeSeparators(copied.file), error);
        return outcome;
    }
    QStringList files = BackupFiles(QFileInfo(copied.file).absolutePath());
    while (files.size() > keep)
        QFile::remove(files.takeFirst());
    return outcome;
}

BackupOutcome BackupDatabase(CDatabase &db, const QString &dataFile, const QDateTime &when, int keep) {
    return VerifyBackup(CopyDatabase(db, dataFile, when), keep);
}

QString BackupFailureText(const BackupOutcome &outcome) {
    return QStringLiteral("数据备份失败，本次没有备份!\n%1\n\n数据文件本身没有受到影响，程序照常运行。")
        .arg(outcome.error);
}
