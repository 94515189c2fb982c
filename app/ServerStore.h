#pragma once
#include "app/Store.h"

#include <QByteArray>
#include <QHash>

#include <vector>

struct pg_conn;
struct pg_result;

// Where a server store lives, read from its url (postgresql://user@host:port/db).
struct ServerAddress {
    QString url;
    QString host;
    QString database;
    // "dbhost/bills", as the main window shows it.
    QString Label() const { return host + u'/' + database; }
};
ServerAddress ParseServerUrl(const QString &url);
// The server named by "Pelorvanide.ini" in the working directory ([server] url=...); empty without
// one, and then the data file is used.
QString ConfiguredServerUrl();
inline const QString SettingsFileName = QStringLiteral("Pelorvanide.ini");

// Why a server was not reached.
enum class ServerFailure { None, NeedsPassword, Refused };

// A PostgreSQL database reached through libpq. Names compare without case (citext), name columns
// order by pinyin (ServerPinyinCollation), flags are stored as -1 and 0 and date-times as the same
// zero-padded texts as in the file.
class CServerStore : public CStore {
public:
    ~CServerStore() override;

    // Connects with time-outs set. The password, when given, is used as typed; otherwise libpq's own
    // means (~/.pgpass, the service file, PGPASSWORD) supply it. False with libpq's message.
    bool Open(const ServerAddress &address, const QString &password, QString &error, ServerFailure &failure);
    const ServerAddress &Address() const { return m_address; }

    StoreKind Kind() const override { return StoreKind::Server; }
    void OpenQuery(const QString &text) override;
    bool IsEOF() const override { return m_row >= m_rows; }
    void MoveNext() override;
    long RecordCount() override { return m_rows; }
    void CloseQuery() override;
    bool IsQueryOpen() const override { return m_result != nullptr; }
    int ColumnCount() const override;
    QString ColumnName(int column) const override;
    bool ReadFieldUtf8(int column, QByteArrayView &value) const override;
    bool ReadFieldNumber(int column, double &value) const override;
    void Execute(const QString &text) override;
    void ExecuteBound(const TranslatedStatement &statement) override;
    void ExecuteRows(const QString &text, const QVector<QVector<SqlValue>> &rows) override;
    int ChangedRows() const override { return m_changed; }
    void Control(const QByteArray &command) override;
    bool InTransaction() const override;
    // Advisory locks of the transaction, and the others' commits heard on the books' channel.
    void HoldUntilCommit(const QByteArray &subject) override;
    bool ChangedElsewhere() override;
    int SchemaVersion() override;
    void SetSchemaVersion(int version) override;
    QStringList TableColumns(const QString &table) override;

    // The table the server keeps its schema version in.
    static const char *VersionTable() { return "pelorvanide_schema_version"; }

private:
    void Close();
    // Listens on the channel of the books' changes (after each connection is made).
    void Listen();
    // Makes the connection again when it was lost outside a transaction; throws when it cannot.
    void EnsureConnected();
    QString LostText(const QString &detail) const;
    // Remembers a change to tell the others, and tells them at once outside a transaction.
    void NoteChange();
    void Notify();
    QString FailureText(pg_result *result) const;
    pg_result *Check(pg_result *result, const QString &statement) const;
    const QByteArray *KnownPrepared(const QString &text, const QVector<SqlValue> &values) const;
    QByteArray PreparedName(const QString &text, const QVector<SqlValue> &values);
    // Runs the rows from first on, one per prepared name, sent together and synced once.
    void RunPipelined(const QString &text, const QVector<QVector<SqlValue>> &rows, qsizetype first,
                      const std::vector<QByteArray> &names);
    void RunPrepared(const QByteArray &name, const QString &text, const QVector<SqlValue> &values);
    bool IsNumberColumn(int column) const;

    pg_conn *m_conn = nullptr;
    ServerAddress m_address;
    pg_result *m_result = nullptr;
    QString m_queryText;
    int m_rows = 0;
    int m_row = 0;
    int m_changed = 0;
    mutable bool m_inTransaction = false;
    bool m_changedBooks = false;
    mutable QByteArray m_scratch;
    QHash<QString, QByteArray> m_prepared;
};
