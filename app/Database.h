#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <stdexcept>

#include "app/Store.h"

#include <functional>
#include <memory>

struct sqlite3;
struct SqlValue;
struct ServerAddress;
class CFileStore;
enum class ServerFailure;

// What kind of failure ended a statement. A conflict (a serialisation failure or a deadlock the
// server broke) goes away when the whole transaction runs again; a lost connection is taken up again
// at the next command.
enum class DbFailure { Statement, Conflict, ConnectionLost };

// A failed statement: carries the store's own message, or the program's for a lost connection.
class CDbError : public std::runtime_error {
public:
    explicit CDbError(const QString &message, DbFailure failure = DbFailure::Statement)
        : std::runtime_error(message.toStdString()), m_message(message), m_failure(failure) {}
    const QString &Message() const { return m_message; }
    DbFailure Failure() const { return m_failure; }

private:
    QString m_message;
    DbFailure m_failure;
};

// Why a data file was not opened.
enum class OpenFailure {
    None,
    Unusable,       // missing, damaged, keyed otherwise, foreign, or made by a newer program
    ReadOnlyFile,   // the file cannot be written
    ReadOnlyFolder, // its folder cannot be written (the store keeps its journal there)
    UpgradeFailed   // a file of an older version could not be backed up or upgraded; it is unchanged
};

// The one connection of the program and its one query recordset, on the store it was opened on: the
// encrypted file or a PostgreSQL server. Callers never know which: every statement is written for the
// store by the dialect layer.
// Reading: OpenQuery, then IsEOF / MoveNext / ReadFieldText / ReadFieldNumber, then CloseQuery.
// Opening a query closes the one before, so a caller that needs rows while running another query
// copies them first. Writing: ExecuteStatement. Failures throw CDbError.
class CDatabase {
public:
    CDatabase() = default;
    ~CDatabase();
    CDatabase(const CDatabase &) = delete;
    CDatabase &operator=(const CDatabase &) = delete;

    // The data file is always opened with this key.
    static QByteArray FixedKey();
    static QString DataFileName() { return QStringLiteral("Pelorvanide.dat"); }

    // Opens an existing file (create = false) or makes a new one. On failure returns false with the
    // store's message in error and the reason in LastOpenFailure(). An existing file is checked first:
    // its pages, its version and every table and column the program uses; a damaged or foreign file
    // is not written to. A file of an older version is upgraded after a copy of it was written
    // beside it (BackupPath()); the upgrade also replaces every clear password by its hash.
    bool Open(const QString &path, QString *error = nullptr, bool create = false);
    OpenFailure LastOpenFailure() const { return m_openFailure; }
    // The copy written before the last upgrade; empty when none was made.
    QString BackupPath() const { return m_backupPath; }
    // Opens a database on a server (create = true: an empty one that the tables are then made in).
    // The same checks as for a file; a refusal names the server. ServerFailure tells a missing
    // password apart from a server that cannot be reached or refuses the login.
    bool OpenServer(const ServerAddress &address, const QString &password, QString *error = nullptr,
                    bool create = false);
    ServerFailure LastServerFailure() const { return m_serverFailure; }
    // Every copy an upgrade wrote beside the data file at path ("Pelorvanide.dat.v0.bak", ...). They hold
    // the file as it was, clear passwords included, and go once a good backup of the upgraded file exists.
    static QStringList UpgradeCopies(const QString &path);
    void Close();
    bool IsOpen() const { return m_store != nullptr; }
    // Which store is open; File while closed.
    StoreKind Kind() const;
    // "服务器：dbhost/bills" for a server; empty for the file.
    QString StoreLabel() const;

    // The store's own version of the tables and the columns of one of them (lower case, in order).
    int SchemaVersion();
    void SetSchemaVersion(int version);
    QStringList TableColumns(const QString &table);

    void OpenQuery(const QString &statement);
    bool IsEOF() const;
    void MoveNext();
    long RecordCount();
    // A NULL value leaves the target as it was and returns false. A column name the query does not
    // have throws CDbError.
    bool ReadFieldText(const QString &column, QString &value) const;
    bool ReadFieldNumber(const QString &column, double &value) const;
    bool ReadFieldText(int column, QString &value) const;
    bool ReadFieldNumber(int column, double &value) const;
    // The text of a field as UTF-8 without a conversion, for filling large lists. The view stays valid
    // until the next read or move.
    bool ReadFieldUtf8(int column, QByteArrayView &value) const;
    int ColumnCount() const;
    QString ColumnName(int column) const;
    int ColumnIndex(const QString &column) const;
    void CloseQuery();
    bool IsQueryOpen() const;

    void ExecuteStatement(const QString &statement);

    // Nested calls are allowed: the inner ones become savepoints of the outer transaction.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    int TransactionDepth() const { return m_depth; }
    // Within a transaction: waits until no other connection's transaction holds the subject, and
    // holds it until this one ends, so that checks and the writes that follow them are never
    // interleaved with another desk's ("stock-in of kind X", "the log"). The file has one writer at
    // a time already.
    void HoldUntilCommit(const QString &subject);
    // True when another connection committed a change since the last call (the first call only
    // starts watching). Never reads while a transaction is open.
    bool ChangedElsewhere();
    // Begins a transaction that reads the store as it stood at its first read, whatever other
    // connections commit meanwhile (on a server REPEATABLE READ READ ONLY). Only as the outermost
    // transaction; it ends with CommitTrans or RollbackTrans.
    void BeginSnapshot();

    // Runs one prepared statement once per row of bound values ('?' marks each), for many rows at
    // once: a server is sent them in batches, not one exchange per row. ChangedRows() then tells the
    // last row's changes. A failing row throws CDbError; the rows before it stay until the caller's
    // transaction rolls back.
    void ExecutePrepared(const QString &statement, const QVector<QVector<SqlValue>> &rows);

    // Rows changed by the last ExecuteStatement.
    int ChangedRows() const;

    // The file's own handle, for the online backup; null while closed or on a server.
    sqlite3 *Handle() const;

private:
    CStore &Store() const;
    void CheckFile(CFileStore &file, const QString &path);
    void CheckTables(const QString &where);
    // Runs the checks of a store just opened; a refusal closes it again with its reason in message.
    bool PassesOpenCheck(QString &message, const std::function<void()> &check);
    void UpgradeFile(const QString &path, int version);
    void Upgrade(int version);
    int NamedColumn(const QString &column) const;

    std::unique_ptr<CStore> m_store;
    QString m_storeLabel;
    mutable QHash<QString, int> m_columns;
    int m_depth = 0;
    OpenFailure m_openFailure = OpenFailure::None;
    ServerFailure m_serverFailure{};
    QString m_backupPath;
};

// The program's one database, opened by the application at start-up.
CDatabase &TheDatabase();

// Error reports after a failed statement: the store's message, OK button, exclamation icon and the
// executable's base name as caption.
void ReportDbError(const CDbError &error);
void ReportComError(const CDbError &error);

// Runs work, which is one whole transaction, again when the server ended it in a conflict with
// another desk's, up to three times in all; then the conflict is reported in Chinese. Work inside an
// outer transaction is never run again on its own: the outer one decides.
constexpr int kTransactionAttempts = 3;
QString ConflictMessage();
template <typename Work> auto RunRetrying(Work &&work) -> decltype(work()) {
    for (int attempt = 1;; ++attempt) {
        try {
            return work();
        } catch (const CDbError &e) {
            if (e.Failure() != DbFailure::Conflict || TheDatabase().TransactionDepth() > 0)
                throw;
            if (attempt == kTransactionAttempts)
                throw CDbError(ConflictMessage() + u'\n' + e.Message(), DbFailure::Conflict);
        }
    }
}

// Begins a transaction and rolls it back unless Commit is called: a failed operation leaves nothing.
class CTransaction {
public:
    explicit CTransaction(CDatabase &db = TheDatabase()) : m_db(db) { m_db.BeginTrans(); }
    ~CTransaction() {
        if (!m_done)
            m_db.RollbackTrans();
    }
    void Commit() {
        m_db.CommitTrans();
        m_done = true;
    }
    CTransaction(const CTransaction &) = delete;
    CTransaction &operator=(const CTransaction &) = delete;

private:
    CDatabase &m_db;
    bool m_done = false;
};
