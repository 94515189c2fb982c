#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>

class CDatabase;

// Verified copies of the open data file: the store's online backup copies it page by page, still
// encrypted with the same key, into backup/Pelorvanide-YYYYMMDD-HHMMSS.dat beside it; the copy is
// then opened with the key and checked with PRAGMA integrity_check. The last BackupsKept copies stay.
constexpr int BackupsKept = 30;

struct BackupOutcome {
    bool ok = false;
    QString file;  // the copy written, when ok
    QString error; // what went wrong, for the clerk
};

// The folder beside the data file the copies go into.
QString BackupFolder(const QString &dataFile);
// "Pelorvanide-20260109-090500.dat".
QString BackupFileName(const QDateTime &when);
// The copies in the folder, oldest first.
QStringList BackupFiles(const QString &folder);
// No copy yet, or the newest one was made more than a day before now.
bool BackupIsDue(const QString &dataFile, const QDateTime &now);

// Copies the open database db, whose file is dataFile, checks the copy and removes the oldest copies
// beyond keep. A copy that fails its check is removed and reported as a failure. Never throws.
BackupOutcome BackupDatabase(CDatabase &db, const QString &dataFile, const QDateTime &when, int keep = BackupsKept);

// The two halves of BackupDatabase. The copy needs the open connection and so the program's thread;
// the check and the pruning touch only the copy and the folder, through a connection of their own,
// and may run on another thread while the clerk works on.
BackupOutcome CopyDatabase(CDatabase &db, const QString &dataFile, const QDateTime &when);
BackupOutcome VerifyBackup(const BackupOutcome &copied, int keep = BackupsKept);

// The message the clerk reads when a backup failed; the program goes on.
QString BackupFailureText(const BackupOutcome &outcome);
