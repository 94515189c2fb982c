#pragma once
#include "app/Store.h"

#include <QByteArray>
#include <QHash>

struct sqlite3;
struct sqlite3_stmt;

// The encrypted data file (SQLCipher), opened with the program's fixed key.
class CFileStore : public CStore {
public:
    ~CFileStore() override;

    // Opens an existing file (create = false) or makes a new one; false with the store's message.
    bool Open(const QString &path, const QByteArray &key, bool create, QString &error);
    // Every page of the file is read and its structure checked; empty when it is sound.
    QString PageCheck();
    bool IsReadOnly() const;
    sqlite3 *Handle() const { return m_db; }

    StoreKind Kind() const override { return StoreKind::File; }
    void OpenQuery(const QString &text) override;
    bool IsEOF() const override { return m_eof; }
    void MoveNext() override;
    long RecordCount() override;
    void CloseQuery() override;
    bool IsQueryOpen() const override { return m_query != nullptr; }
    int ColumnCount() const override;
    QString ColumnName(int column) const override;
    bool ReadFieldUtf8(int column, QByteArrayView &value) const override;
    bool ReadFieldNumber(int column, double &value) const override;
    void Execute(const QString &text) override;
    void ExecuteBound(const TranslatedStatement &statement) override;
    void ExecuteRows(const QString &text, const QVector<QVector<SqlValue>> &rows) override;
    int ChangedRows() const override;
    void Control(const QByteArray &command) override;
    bool InTransaction() const override;
    // The file has one writer at a time: nothing more to hold.
    void HoldUntilCommit(const QByteArray &) override {}
    // Compares the file's data_version, which moves when another connection commits.
    bool ChangedElsewhere() override;
    int SchemaVersion() override;
    void SetSchemaVersion(int version) override;
    QStringList TableColumns(const QString &table) override;

private:
    void Close();
    sqlite3_stmt *Prepare(const QString &text) const;
    sqlite3_stmt *CachedStatement(const QString &text);
    void Bind(sqlite3_stmt *stmt, const QVector<SqlValue> &values) const;
    void Step();
    void ClearCache();

    sqlite3 *m_db = nullptr;
    qint64 m_dataVersion = -1;
    sqlite3_stmt *m_query = nullptr;
    QString m_queryText;
    bool m_eof = true;
    long m_recordCount = -1;
    mutable QByteArray m_scratch;
    QHash<QString, sqlite3_stmt *> m_cache;
};

// What a clerk expects to read of a number: 100000000000000 rather than 1e+14, 12.5, 2.
QByteArray NumberUtf8(double v);
