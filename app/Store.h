#pragma once
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVector>

struct SqlValue;
struct TranslatedStatement;

// Which store holds the books: the encrypted file on this desk or a PostgreSQL server.
enum class StoreKind { File, Server };

// One connection to one store, with its one open query. CDatabase sits in front of it: it writes
// every statement for the store through the dialect layer and keeps the transaction depth, so a
// store only runs what it is handed. Failures throw CDbError with the store's own message.
class CStore {
public:
    virtual ~CStore() = default;
    virtual StoreKind Kind() const = 0;

    // Runs a query written for this store and stands on its first row.
    virtual void OpenQuery(const QString &text) = 0;
    virtual bool IsEOF() const = 0;
    virtual void MoveNext() = 0;
    virtual long RecordCount() = 0;
    virtual void CloseQuery() = 0;
    virtual bool IsQueryOpen() const = 0;
    virtual int ColumnCount() const = 0;
    virtual QString ColumnName(int column) const = 0;
    // Numbers read as text as a clerk expects them: 100000000000000 rather than 1e+14, 12.5, 2.
    virtual bool ReadFieldUtf8(int column, QByteArrayView &value) const = 0;
    virtual bool ReadFieldNumber(int column, double &value) const = 0;

    // A statement without bound values (definitions, checks).
    virtual void Execute(const QString &text) = 0;
    // A changing statement with its values bound, through a prepared form kept for the next time.
    virtual void ExecuteBound(const TranslatedStatement &statement) = 0;
    // One prepared statement run once per row of bound values.
    virtual void ExecuteRows(const QString &text, const QVector<QVector<SqlValue>> &rows) = 0;
    virtual int ChangedRows() const = 0;

    // Transaction control words (BEGIN, SAVEPOINT sp1, ...), which never pass the dialect.
    virtual void Control(const QByteArray &command) = 0;
    // False when the store ended the transaction itself after a hard failure.
    virtual bool InTransaction() const = 0;
    // See CDatabase::HoldUntilCommit and CDatabase::ChangedElsewhere.
    virtual void HoldUntilCommit(const QByteArray &subject) = 0;
    virtual bool ChangedElsewhere() = 0;

    // The version of the tables the store holds; 0 for a store that never had one written.
    virtual int SchemaVersion() = 0;
    virtual void SetSchemaVersion(int version) = 0;
    // The columns of a table in their order, in lower case; empty when there is no such table.
    virtual QStringList TableColumns(const QString &table) = 0;
};
