#pragma once
#include <QString>
#include <QVector>
#include <functional>

class CDatabase;

// Moving a whole store into another: the file to a server and a server to a file.

// The rows of one table and a checksum over all of them, which does not depend on the order the
// store gives them in.
struct TableTally {
    QString table;
    qint64 rows = 0;
    quint64 checksum = 0;
    bool operator==(const TableTally &o) const { return table == o.table && rows == o.rows && checksum == o.checksum; }
    bool operator!=(const TableTally &o) const { return !(*this == o); }
};

// Counts and checksums of every table of the store.
QVector<TableTally> TallyStore(CDatabase &db);

// Told after each batch of rows: how many of all rows are copied, and which table is being copied.
using CopyProgress = std::function<void(qint64 done, qint64 total, const QString &table)>;

// Copies every row of every table of source into target in one transaction. The source is read as
// it stood when the copy began, in one snapshot, unless the caller holds a transaction on it. The
// tables are made in a target that has none; a target holding any row is refused. Before the
// transaction ends, the rows of each table are counted and checksummed in the target and compared
// with the source; any difference rolls everything back. Failures throw CDbError with a Chinese
// message.
void CopyStore(CDatabase &source, CDatabase &target, const CopyProgress &progress = {});
