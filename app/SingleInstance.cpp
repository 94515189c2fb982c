#include "app/SingleInstance.h"

#include "app/Messages.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

CSingleInstanceGuard::CSingleInstanceGuard(const QString &name, QObject *parent) : QObject(parent), m_name(name) {}

bool CSingleInstanceGuard::Acquire() {
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (probe.waitForConnected(500)) {
        probe.write("raise");
        probe.waitForBytesWritten(500);
        probe.disconnectFromServer();
        return false;
    }
    // Nobody answers: a socket file left by a copy that crashed is stale.
    QLocalServer::removeServer(m_name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name))
        return true; // cannot guard, but the clerk can still work
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            emit ActivationRequested();
        }
    });
    return true;
}

QString SingleInstanceName() { return ApplicationTitle() + QStringLiteral("-") + QString::number(getuid()); }
