#include "app/Backup.h"

#include "app/Database.h"
#include "app/FileCommit.h"
#include "schema/StoreCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>
#include <tuple>
#include <vector>

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
    // The copy counts only once it is checked and renamed, so it needs no journal of its own, and it
    // is flushed to the disk once, as a whole, before the renaming.
    sqlite3_exec(copy, "PRAGMA journal_mode = OFF", nullptr, nullptr, nullptr);
    sqlite3_exec(copy, "PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
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

// The server's tables copied row by row into a new encrypted file, which then opens as any data file.
bool CopyServerInto(CDatabase &server, const QString &target, QString &error) {
    CDatabase copy;
    if (!copy.Open(target, &error, true))
        return false;
    try {
        CopyStore(server, copy);
    } catch (const CDbError &e) {
        error = e.Message();
        return false;
    }
    return true;
}

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

// "Pelorvanide-20260109-090500-7.dat"; copies of older versions carry no number.
const QRegularExpression &CopyName() {
    static const QRegularExpression name(QStringLiteral("^Pelorvanide-(\\d{8}-\\d{6})(?:-(\\d{1,15}))?\\.dat$"));
    return name;
}

struct Copy {
    QString path;
    QDateTime taken;
    qint64 number = 0;
};

std::vector<Copy> CopiesOldestFirst(const QString &folder) {
    std::vector<Copy> copies;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("Pelorvanide-*.dat")}, QDir::Files)) {
        const QRegularExpressionMatch match = CopyName().match(name);
        if (!match.hasMatch())
            continue;
        Copy copy{dir.filePath(name), QDateTime::fromString(match.captured(1), QLatin1String(kFormat)),
                  match.captured(2).toLongLong()};
        if (copy.taken.isValid())
            copies.push_back(copy);
    }
    std::sort(copies.begin(), copies.end(), [](const Copy &a, const Copy &b) {
        return std::tie(a.number, a.taken, a.path) < std::tie(b.number, b.taken, b.path);
    });
    return copies;
}

// Renames the checked copy to the next free number; never over an existing copy.
bool PutInPlace(const QString &temp, const QDateTime &taken, QString &file, QString &error) {
    const QString folder = QFileInfo(temp).absolutePath();
    const std::vector<Copy> copies = CopiesOldestFirst(folder);
    qint64 number = copies.empty() ? 1 : copies.back().number + 1;
    for (int attempt = 0; attempt < 1000; ++attempt, ++number) {
        file = QDir(folder).filePath(BackupFileName(taken, number));
        bool occupied = false;
        if (MoveIntoPlace(temp, file, false, &error, &occupied))
            return true;
        if (!occupied)
            return false;
    }
    return false;
}

} // namespace

QString BackupFolder(const QString &dataFile) {
    return QFileInfo(dataFile).absoluteDir().filePath(QStringLiteral("backup"));
}

QString BackupFileName(const QDateTime &when, qint64 number) {
    return QStringLiteral("Pelorvanide-%1-%2.dat").arg(when.toString(QLatin1String(kFormat))).arg(number);
}

QStringList BackupFiles(const QString &folder) {
    QStringList files;
    for (const Copy &copy : CopiesOldestFirst(folder))
        files << copy.path;
    return files;
}

bool BackupIsDue(const QString &dataFile, const QDateTime &now) {
    const std::vector<Copy> copies = CopiesOldestFirst(BackupFolder(dataFile));
    if (copies.empty())
        return true;
    const QDateTime newest = copies.back().taken;
    return newest > now || newest.secsTo(now) > 24 * 60 * 60;
}

void RemoveUnfinishedBackups(const QString &dataFile) {
    QDir folder(BackupFolder(dataFile));
    const QStringList leftovers = folder.entryList(
        {QStringLiteral(".Pelorvanide-*.part"), QStringLiteral(".Pelorvanide-*.part-journal")},
        QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : leftovers)
        folder.remove(name);
}

BackupOutcome CopyDatabase(CDatabase &db, const QString &dataFile, const QDateTime &when) {
    BackupOutcome outcome;
    outcome.taken = when;
    const QString folder = BackupFolder(dataFile);
    if (!db.IsOpen()) {
        outcome.error = QStringLiteral("数据文件没有打开");
        return outcome;
    }
    if (!QDir().mkpath(folder)) {
        outcome.error = QStringLiteral("无法建立备份文件夹%1").arg(QDir::toNativeSeparators(folder));
        return outcome;
    }
    const QString temp = CreateFileBeside(QDir(folder).filePath(BackupFileName(when, 0)), &outcome.error);
    if (temp.isEmpty())
        return outcome;
    QString error;
    // A server's books go into a file of their own, so a unit can always go back to one desk with it.
    const bool copied = db.Kind() == StoreKind::Server ? CopyServerInto(db, temp, error) : CopyInto(db.Handle(), temp, error);
    if (!copied) {
        QFile::remove(temp);
        outcome.error = QStringLiteral("无法写入备份文件%1：%2").arg(QDir::toNativeSeparators(temp), error);
        return outcome;
    }
    outcome.ok = true;
    outcome.file = temp;
    return outcome;
}

BackupOutcome VerifyBackup(const BackupOutcome &copied, int keep) {
    if (!copied.ok)
        return copied;
    BackupOutcome outcome = copied;
    outcome.ok = false;
    outcome.file.clear();
    QString error;
    if (!CheckCopy(copied.file, error)) {
        outcome.error =
            QStringLiteral("备份文件%1没有通过检查：%2").arg(QDir::toNativeSeparators(copied.file), error);
    } else if (PutInPlace(copied.file, copied.taken, outcome.file, outcome.error)) {
        outcome.ok = true;
    }
    if (!outcome.ok) {
        QFile::remove(copied.file);
        outcome.file.clear();
        return outcome;
    }
    // Only now that a new copy is in place do the oldest go; the newest by number always stay.
    QStringList files = BackupFiles(QFileInfo(outcome.file).absolutePath());
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
