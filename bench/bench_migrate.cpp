// Figures of moving a whole store: a year of a busy unit in a file copied into an empty database on a
// server, as pelorvanide-migrate does it.
#include "app/ServerStore.h"
#include "bench/Bench.h"
#include "bench/YearOfBooks.h"
#include "schema/StoreCopy.h"
#include "tests/support/TestSupport.h"

#include <QTemporaryDir>

namespace {

const BenchRegistration migrate(
    "migrate_100k_runs_s", "s",
    [] {
        // The year is filled on the test's server and copied into a file first, which is then the
        // store measured moving.
        TestDatabase t;
        FillYearOfBooks(t);
        QTemporaryDir dir;
        CDatabase file;
        QString error;
        if (!file.Open(dir.filePath(CDatabase::DataFileName()), &error, true))
            return -1.0;
        CopyStore(t.Db(), file);
        ServerDatabase empty(true);
        CDatabase server;
        if (!server.OpenServer(ParseServerUrl(empty.Url()), QString(), &error, true))
            return -1.0;
        const double s = SecondsOf([&] { CopyStore(file, server); });
        const QVector<TableTally> moved = TallyStore(server);
        server.Close();
        return moved == TallyStore(file) && moved.front().rows == YearOfBooksRuns ? s : -1.0;
    },
    BenchStore::ServerOnly);

} // namespace
