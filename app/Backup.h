#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>

class CDatabase;

// Verified copies of the open data file in the folder backup/ beside it. The store's online backup
// copies the file page by page, still encrypted with the same key, under a temporary name; the copy
// is opened with the key and checked with PRAGMA integrity_check, flushed to the disk and only then
// renamed, in one step, to backup/Pelorvanide-YYYYMMDD-HHMMSS-N.dat. N counts the copies: the highest
// is the newest whatever the clock said, so a clock set back or ahead neither loses the newest copies
// nor stops new ones. The BackupsKept newest copies stay.
constexpr int BackupsKept = 30;

struct BackupOutcome {
    bool ok = false;
    QString file;    // the copy: its temporary name after CopyDatabase, its final name once verified
    QDateTime taken; // the time the copy is named after
    QString error;   // what went wrong, for the clerk: a Chinese sentence and the library's words
};

// The folder beside the data file the copies go into.
QString BackupFolder(const QString &dataFile);
// "Pelorvanide-20260109-090500-7.dat".
QString BackupFileName(const QDateTime &when, qint64 number);
// The finished copies in the folder, oldest first (by their number; copies of older versions, named
// without one, come first, by their time). Temporary copies never count.
QStringList BackupFiles(const QString &folder);
// No copy yet, the newest one was made more than a day before now, or it is named after a time later
// than now (made while the clock was ahead, or the clock is behind now).
bool BackupIsDue(const QString &dataFile, const QDateTime &now);
// Removes what a backup cut short left behind (temporary copies and their journals). Run at start-up,
// while no backup runs.
void RemoveUnfinishedBackups(const QString &dataFile);

// Copies the open database db, whose file is dataFile, checks the copy, puts it in place and removes
// the oldest copies beyond keep. A copy that fails is removed and reported as a failure; the copies
// already there are then left alone. Never throws.
BackupOutcome BackupDatabase(CDatabase &db, const QString &dataFile, const QDateTime &when, int keep = BackupsKept);

// The two halves of BackupDatabase. The copy needs the open connection and so the program's thread;
// the check, the renaming and the pruning touch only the copy and the folder, through a connection of
// their own, and may run on another thread while the clerk works on.
BackupOutcome CopyDatabase(CDatabase &db, const QString &dataFile, const QDateTime &when);
BackupOutcome VerifyBackup(const BackupOutcome &copied, int keep = BackupsKept);

// The message the clerk reads when a backup failed; the program goes on.
QString BackupFailureText(const BackupOutcome &outcome);
