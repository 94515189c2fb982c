#pragma once
#include "app/Database.h"
#include "app/Messages.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <memory>

// Which store the test run hands this program: PELORVANIDE_TEST_STORE=server gives a PostgreSQL
// database of the cluster the PG* variables name; without it, the encrypted file.
StoreKind TestStore();
bool OnServer();
// A case about the data file alone (its pages, its key, its permissions, its shell): it passes over
// a server, where there is no file. Such cases say "File" in their names.
#define FILE_STORE_ONLY()                                                                                              \
    do {                                                                                                               \
        if (OnServer())                                                                                                \
            QSKIP("a case of the data file alone");                                                                    \
    } while (false)

// A case about the server alone (its roles, its other connections): it passes over the file.
#define SERVER_STORE_ONLY()                                                                                           \
    do {                                                                                                               \
        if (!OnServer())                                                                                               \
            QSKIP("a case of the server alone");                                                                       \
    } while (false)

// The url of a database of the test cluster.
QString TestServerUrl(const QString &database);
// Runs a statement on the cluster's maintenance database (CREATE DATABASE, DROP DATABASE).
void ExecOnCluster(const QString &statement);

class ServerDatabase;

// The delivered empty database on the store the test run hands over, opened as the program's one
// database: a copy of the delivered file, or a fresh database made from the delivered template on
// the server, which the settings file of the working directory names. The working directory is a
// temporary directory. Everything is undone on destruction.
class TestDatabase {
public:
    TestDatabase();
    ~TestDatabase();
    QString Dir() const { return m_dir.path(); }
    // The data file (on the server, where the file would lie).
    QString FilePath() const;
    CDatabase &Db() { return TheDatabase(); }
    // Opens the test's store again as the program's one database, after a test closed it.
    bool Reopen();
    // Opens the test's store in other as another desk's copy of the program would: a connection of
    // its own to the same file or server database.
    bool OpenAnotherDesk(CDatabase &other) const;
    // The store's own shell on the closed store (sqlcipher on the file, psql on the server), given
    // the statements on its input, as someone going round the program would use it; true when it
    // ran them all without an error.
    bool RunInShell(const QByteArray &statements);

    // Convenience for checking rows after an operation.
    void Exec(const QString &statement);
    // The first column of the first row as text; empty for NULL or no row.
    QString Scalar(const QString &statement);
    // Every row of the result, its fields as text joined by ':' (NULL as nothing), the rows joined by
    // a space, in the order the statement asks for.
    QString Rows(const QString &statement);
    int Count(const QString &table, const QString &where = QString());

    // Makes the store fail every statement that does event ("INSERT", "UPDATE" or "DELETE") to a row
    // of table with message as the store's own, as a full disk or a locked row would; a condition
    // ("NEW.Bill_Begin_Int = 101", "OLD.Bill_Flag = '库存'") limits it to the rows it holds for. The
    // file runs it as a trigger that raises ABORT, the server as a trigger calling a plpgsql function.
    void RefuseChanges(const QString &name, const char *event, const QString &table, const QString &message,
                       const QString &condition = QString());
    // Takes the refusal of that name away again.
    void AllowChanges(const QString &name, const QString &table);

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
    std::unique_ptr<ServerDatabase> m_server;
};

// A fresh database on the test cluster made from the delivered template (or, empty set, without any
// table), dropped on destruction.
class ServerDatabase {
public:
    explicit ServerDatabase(bool empty = false);
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase &) = delete;
    ServerDatabase &operator=(const ServerDatabase &) = delete;
    const QString &Name() const { return m_name; }
    QString Url() const { return TestServerUrl(m_name); }

private:
    QString m_name;
};

// The delivered empty database written by the build.
QString DeliveredDatabasePath();
// A file the build writes into its folder (the skin and splash files).
QString BuiltResourceFile(const QString &fileName);

struct CapturedMessage {
    QString text;
    QString caption;
    MsgIcon icon;
    MsgButtons buttons;
};

// Records every message box instead of showing it and answers from a queue; with the queue empty
// it answers OK, or Yes where there is no OK.
class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    void Answer(MsgAnswer answer) { m_answers.append(answer); }
    const QList<CapturedMessage> &Messages() const { return m_messages; }
    int Count() const { return int(m_messages.size()); }
    CapturedMessage Last() const { return m_messages.isEmpty() ? CapturedMessage{} : m_messages.last(); }
    QStringList Texts() const;
    void Clear() { m_messages.clear(); }

private:
    QList<CapturedMessage> m_messages;
    QList<MsgAnswer> m_answers;
    MessagePresenter m_previous;
};

// A small file system of its own (tmpfs) mounted on a new folder, to see what a full disk does to the
// program's files; unmounted on destruction. Mounting needs root: IsMounted() is false otherwise and
// Error() says why.
class SmallFileSystem {
public:
    SmallFileSystem(const QString &folder, qint64 bytes);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem &) = delete;
    SmallFileSystem &operator=(const SmallFileSystem &) = delete;
    bool IsMounted() const { return m_mounted; }
    QString Error() const { return m_error; }
    // Fills the file system with a file of its own until at most bytes are left free.
    void FillLeaving(qint64 bytes);
    qint64 FreeBytes() const;

private:
    QString m_folder;
    bool m_mounted = false;
    QString m_error;
};
