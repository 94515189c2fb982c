// Backs a data file up over and over, as the program does at start and exit, until it is killed:
// prints "copied" when a copy is written and "done" when it is checked and in place. Tests kill it at
// moments of their choosing, as kill -9 or a power cut would.
#include "app/Backup.h"
#include "app/Database.h"

#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QString dataFile = QString::fromLocal8Bit(argv[1]);
    CDatabase &db = TheDatabase();
    if (!db.Open(dataFile))
        return 1;
    for (;;) {
        const BackupOutcome copied = CopyDatabase(db, dataFile, QDateTime::currentDateTime());
        std::printf("copied\n");
        std::fflush(stdout);
        if (!VerifyBackup(copied).ok)
            return 1;
        std::printf("done\n");
        std::fflush(stdout);
    }
}
