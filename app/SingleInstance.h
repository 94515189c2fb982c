#pragma once
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

// Keeps one running copy per user. The first start takes a lock file in the user's private runtime
// folder (atomic: of two copies started together exactly one gets it; the lock of a copy that died
// is taken over) and then listens on a local socket beside it. A later start that finds the lock
// taken asks the running copy through that socket to come to the front and gives way. Nothing in a
// shared folder can block a start.
class CSingleInstanceGuard : public QObject {
    Q_OBJECT
public:
    explicit CSingleInstanceGuard(const QString &name, QObject *parent = nullptr);
    ~CSingleInstanceGuard() override;
    // True when this process is the only copy; false after a running copy was asked to show itself.
    bool Acquire();
    QString Name() const { return m_name; }
    // The lock file and the socket, in the user's private runtime folder.
    QString LockPath() const;
    QString SocketPath() const;

signals:
    void ActivationRequested();

private:
    void AskRunningCopyToShow();

    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};

// The guard's name for this executable: its base name.
QString SingleInstanceName();
