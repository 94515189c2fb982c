#include "schema/StoreCopy.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "schema/SchemaTables.h"

#include <QStringList>

using namespace schema;

namespace {

// Rows written through one prepared statement before the next batch is read.
constexpr int kBatchRows = 2000;

QString SelectAll(const TableDef &table) {
    QStringList names;
    for (const ColumnDef &c : table.columns)
        names << QLatin1String(c.name);
    return QStringLiteral("SELECT %1 FROM %2").arg(names.join(QLatin1Char(',')), QLatin1String(table.name));
}

QString InsertAll(const TableDef &table) {
    QStringList names;
    QStringList marks;
    for (const ColumnDef &c : table.columns) {
        names << QLatin1String(c.name);
        marks << QStringLiteral("?");
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(QLatin1String(table.name), names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
}

// FNV-1a over the row's fields as the store reads them out; NULL differs from every text.
quint64 RowHash(CDatabase &db, int columns) {
    quint64 hash = 14695981039346656037ULL;
    const auto add = [&hash](char byte) {
        hash ^= quint8(byte);
        hash *= 1099511628211ULL;
    };
    for (int c = 0; c < columns; ++c) {
        QByteArrayView field;
        if (db.ReadFieldUtf8(c, field)) {
            for (char byte : field)
                add(byte);
        } else {
            add('\x01');
        }
        add('\0');
    }
    return hash;
}

SqlValue ReadValue(CDatabase &db, int column, ColumnKind kind) {
    SqlValue v;
    QByteArrayView text;
    if (!db.ReadFieldUtf8(column, text)) {
        v.type = SqlValue::Null;
        return v;
    }
    double number = 0;
    switch (kind) {
    case ColumnKind::Counter:
    case ColumnKind::Long:
    case ColumnKind::Key:
    case ColumnKind::Boolean:
        db.ReadFieldNumber(column, number);
        v.type = SqlValue::Integer;
        v.integer = qint64(number);
        break;
    case ColumnKind::Double:
        db.ReadFieldNumber(column, number);
        v.type = SqlValue::Real;
        v.real = number;
        break;
    default:
        v.type = SqlValue::Text;
        v.text = QString::fromUtf8(text);
    }
    return v;
}

qint64 CountRows(CDatabase &db, const char *table) {
    db.OpenQuery(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)));
    double rows = 0;
    db.ReadFieldNumber(0, rows);
    db.CloseQuery();
    return qint64(rows);
}

// Tables made where there are none; otherwise every one must be empty.
void PrepareTarget(CDatabase &target) {
    if (target.TableColumns(QString::fromLatin1(Tables().front().name)).isEmpty()) {
        CreateTables(target);
        return;
    }
    for (const TableDef &table : Tables())
        if (const qint64 rows = CountRows(target, table.name); rows > 0)
            throw CDbError(QStringLiteral("目标数据库不是空的：表%1已有%2行，未作任何改动。")
                               .arg(QLatin1String(table.name))
                               .arg(rows));
}

// The source read as one snapshot while it is copied, unless the caller reads it in a transaction of
// its own already; ended when the copy is done or failed.
class SourceSnapshot {
public:
    explicit SourceSnapshot(CDatabase &db) : m_db(db), m_own(db.TransactionDepth() == 0) {
        if (m_own)
            m_db.BeginSnapshot();
    }
    ~SourceSnapshot() {
        if (m_own)
            m_db.RollbackTrans();
    }
    SourceSnapshot(const SourceSnapshot &) = delete;
    SourceSnapshot &operator=(const SourceSnapshot &) = delete;

private:
    CDatabase &m_db;
    bool m_own;
};

} // namespace

QVector<TableTally> TallyStore(CDatabase &db) {
    QVector<TableTally> tallies;
    for (const TableDef &table : Tables()) {
        TableTally tally{QLatin1String(table.name)};
        db.OpenQuery(SelectAll(table));
        for (; !db.IsEOF(); db.MoveNext()) {
            ++tally.rows;
            tally.checksum += RowHash(db, int(table.columns.size()));
        }
        db.CloseQuery();
        tallies << tally;
    }
    return tallies;
}

void CopyStore(CDatabase &source, CDatabase &target, const CopyProgress &progress) {
    // Rows other connections commit while the tables are read one after the other are in none of
    // them, so the copy holds the books of one moment.
    const SourceSnapshot snapshot(source);
    qint64 total = 0;
    for (const TableDef &table : Tables())
        total += CountRows(source, table.name);
    CTransaction transaction(target);
    PrepareTarget(target);
    QVector<TableTally> copied;
    qint64 done = 0;
    for (const TableDef &table : Tables()) {
        TableTally tally{QLatin1String(table.name)};
        const int columns = int(table.columns.size());
        const QString insert = InsertAll(table);
        QVector<QVector<SqlValue>> batch;
        const auto flush = [&] {
            target.ExecutePrepared(insert, batch);
            done += batch.size();
            batch.clear();
            if (progress)
                progress(done, total, tally.table);
        };
        // The source's rows are read whole before they are written: one query stands open at a time.
        QVector<QVector<SqlValue>> rows;
        source.OpenQuery(SelectAll(table));
        for (; !source.IsEOF(); source.MoveNext()) {
            ++tally.rows;
            tally.checksum += RowHash(source, columns);
            QVector<SqlValue> row;
            row.reserve(columns);
            for (int c = 0; c < columns; ++c)
                row << ReadValue(source, c, table.columns[size_t(c)].kind);
            rows << row;
        }
        source.CloseQuery();
        for (QVector<SqlValue> &row : rows) {
            batch << std::move(row);
            if (batch.size() >= kBatchRows)
                flush();
        }
        flush();
        copied << tally;
    }
    ResetCounters(target);
    target.SetSchemaVersion(source.SchemaVersion());
    const QVector<TableTally> written = TallyStore(target);
    for (int t = 0; t < copied.size(); ++t)
        if (written[t] != copied[t])
            throw CDbError(QStringLiteral("复制后的表%1与原表不同（%2行/%3行），未作任何改动。")
                               .arg(copied[t].table)
                               .arg(written[t].rows)
                               .arg(copied[t].rows));
    transaction.Commit();
}
