// Writes the empty database the program is delivered with: a file, or the tables of an empty
// database on a server together with the role the clerks' logins are given.
#include "app/Database.h"
#include "app/ServerStore.h"
#include "schema/DeliveredDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

namespace {

int MakeFile(const QString &path) {
    if (QFile::exists(path)) {
        std::fprintf(stderr, "%s exists already; not overwritten\n", qUtf8Printable(path));
        return 1;
    }
    CDatabase db;
    QString error;
    if (!db.Open(path, &error, true)) {
        std::fprintf(stderr, "cannot create %s: %s\n", qUtf8Printable(path), qUtf8Printable(error));
        return 1;
    }
    try {
        CreateDeliveredDatabase(db);
    } catch (const CDbError &e) {
        std::fprintf(stderr, "cannot fill %s: %s\n", qUtf8Printable(path), qUtf8Printable(e.Message()));
        db.Close();
        QFile::remove(path);
        return 1;
    }
    return 0;
}

int MakeServerDatabase(const QString &url) {
    const ServerAddress address = ParseServerUrl(url);
    CDatabase db;
    QString error;
    if (!db.OpenServer(address, QString(), &error, true)) {
        std::fprintf(stderr, "cannot reach %s: %s\n", qUtf8Printable(address.Label()), qUtf8Printable(error));
        return 1;
    }
    try {
        if (!db.TableColumns(QStringLiteral("Bill_Info")).isEmpty()) {
            std::fprintf(stderr, "%s holds the tables already; not overwritten\n", qUtf8Printable(address.Label()));
            return 1;
        }
        CreateDeliveredDatabase(db);
        CreateClerkRole(db);
    } catch (const CDbError &e) {
        std::fprintf(stderr, "cannot fill %s: %s\n", qUtf8Printable(address.Label()), qUtf8Printable(e.Message()));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--server")
        return MakeServerDatabase(QString::fromLocal8Bit(argv[2]));
    if (argc != 2 || QByteArray(argv[1]).startsWith("--")) {
        std::fprintf(stderr, "usage: pelorvanide-mkdb FILE\n       pelorvanide-mkdb --server URL\n");
        return 2;
    }
    return MakeFile(QString::fromLocal8Bit(argv[1]));
}
