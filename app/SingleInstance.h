#pragma once
#include <QObject>
#include <QString>

class QLocalServer;

// Keeps one running copy per user: the first start listens on a local socket named with the
// executable's base name; a later start finds it, asks it to come to the front and gives way.
class CSingleInstanceGuard : public QObject {
    Q_OBJECT
public:
    explicit CSingleInstanceGuard(const QString &name, QObject *parent = nullptr);
    // True when this process is the only copy; false after a running copy was asked to show itself.
    bool Acquire();
    QString Name() const { return m_name; }

signals:
    void ActivationRequested();

private:
    QString m_name;
    QLocalServer *m_server = nullptr;
};

// The guard's name for this executable: its base name, made unique per user.
QString SingleInstanceName();
