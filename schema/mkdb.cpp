// Writes the empty database file the program is delivered with.
#include "app/Database.h"
#include "schema/DeliveredDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: pelorvanide-mkdb FILE\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    if (QFile::exists(path)) {
        std::fprintf(stderr, "%s exists already; not overwritten\n", argv[1]);
        return 1;
    }
    CDatabase db;
    QString error;
    if (!db.Open(path, &error, true)) {
        std::fprintf(stderr, "cannot create %s: %s\n", argv[1], qUtf8Printable(error));
        return 1;
    }
    try {
        CreateDeliveredDatabase(db);
    } catch (const CDbError &e) {
        std::fprintf(stderr, "cannot fill %s: %s\n", argv[1], qUtf8Printable(e.Message()));
        db.Close();
        QFile::remove(path);
        return 1;
    }
    return 0;
}
