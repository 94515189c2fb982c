#pragma once
#include "app/Database.h"
#include "app/Messages.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>

// A copy of the delivered empty database in a temporary directory, which becomes the working
// directory, opened as the program's one database. Everything is undone on destruction.
class TestDatabase {
public:
    TestDatabase();
    ~TestDatabase();
    QString Dir() const { return m_dir.path(); }
    QString FilePath() const;
    CDatabase &Db() { return TheDatabase(); }

    // Convenience for checking rows after an operation.
    void Exec(const QString &statement);
    // The first column of the first row as text; empty for NULL or no row.
    QString Scalar(const QString &statement);
    int Count(const QString &table, const QString &where = QString());

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
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
