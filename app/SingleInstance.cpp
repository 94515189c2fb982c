#include "app/SingleInstance.h"

#include "app/Messages.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

namespace {

// The user's private runtime folder (XDG_RUNTIME_DIR, or a folder of the user's own with mode 0700
// that Qt makes when there is none): other users cannot place files there.
QString RuntimeFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QDir::tempPath() : folder;
}

} // namespace

CSingleInstanceGuard::CSingleInstanceGuard(const QString &name, QObject *parent) : QObject(parent), m_name(name) {}

CSingleInstanceGuard::~CSingleInstanceGuard() {
    if (m_server)
        m_server->close();
}

QString CSingleInstanceGuard::LockPath() const {
    return RuntimeFolder() + u'/' + m_name + QStringLiteral(".lock");
}

QString CSingleInstanceGuard::SocketPath() const {
    return RuntimeFolder() + u'/' + m_name + QStringLiteral(".socket");
}

bool CSingleInstanceGuard::Acquire() {
    m_lock = std::make_unique<QLockFile>(LockPath());
    // A lock is stale only when the copy that holds it is gone, never because it is old.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        const QLockFile::LockError error = m_lock->error();
        m_lock.reset();
        if (error == QLockFile::LockFailedError) {
            AskRunningCopyToShow();
            return false;
        }
        return true; // the runtime folder cannot be written: no guard, but the clerk can still work
    }
    // The lock is ours, so whatever socket lies here was left by a copy that died.
    QLocalServer::removeServer(SocketPath());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(SocketPath()))
        return true; // the running copy cannot be raised, but it stays the only one
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            emit ActivationRequested();
        }
    });
    return true;
}

void CSingleInstanceGuard::AskRunningCopyToShow() {
    // The running copy may have taken the lock a moment ago and not be listening yet.
    QElapsedTimer waited;
    waited.start();
    do {
        QLocalSocket probe;
        probe.connectToServer(SocketPath());
        if (probe.waitForConnected(500)) {
            probe.write("raise");
            probe.waitForBytesWritten(500);
            probe.disconnectFromServer();
            return;
        }
        QThread::msleep(50);
    } while (waited.elapsed() < 2000);
}

QString SingleInstanceName() {
    return ApplicationTitle();
}
