#include "app/SingleInstance.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void secondCopyRaisesTheFirstAndGivesWay();
    void twoCopiesStartedTogetherRunExactlyOnce();
    void lockOfADeadCopyIsTakenOver();
    void socketInTheSharedTemporaryFolderDoesNotBlockTheStart();
    void guardLivesInThePrivateRuntimeFolder();
};

namespace {

QString UniqueName(const char *what) {
    return QStringLiteral("pelorvanide-test-%1-%2").arg(QLatin1String(what)).arg(QCoreApplication::applicationPid());
}

QString HelperPath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/instance_helper");
}

} // namespace

void SingleInstanceTest::secondCopyRaisesTheFirstAndGivesWay() {
    const QString name = UniqueName("raise");
    CSingleInstanceGuard first(name);
    QVERIFY(first.Acquire());
    QSignalSpy raised(&first, &CSingleInstanceGuard::ActivationRequested);
    CSingleInstanceGuard second(name);
    QVERIFY(!second.Acquire());
    QVERIFY(raised.wait(3000));
    QCOMPARE(raised.count(), 1);
}

void SingleInstanceTest::twoCopiesStartedTogetherRunExactlyOnce() {
    const QString name = UniqueName("race");
    int pairsWithOneRunning = 0;
    for (int pair = 0; pair < 50; ++pair) {
        QProcess a, b;
        for (QProcess *p : {&a, &b}) {
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p->start(HelperPath(), {name});
        }
        QVERIFY(a.waitForStarted());
        QVERIFY(b.waitForStarted());
        // Both are told to start at the same moment.
        a.write("go\n");
        b.write("go\n");
        QStringList answers;
        for (QProcess *p : {&a, &b}) {
            while (!p->canReadLine())
                QVERIFY2(p->waitForReadyRead(10000), "a copy did not answer");
            answers << QString::fromLatin1(p->readLine()).trimmed();
        }
        answers.sort();
        if (answers == QStringList({"run", "yield"}))
            ++pairsWithOneRunning;
        else
            qWarning("pair %d: %s", pair, qPrintable(answers.join(',')));
        for (QProcess *p : {&a, &b}) {
            p->closeWriteChannel();
            QVERIFY(p->waitForFinished(10000));
            QCOMPARE(p->exitCode(), 0);
        }
    }
    QCOMPARE(pairsWithOneRunning, 50);
}

void SingleInstanceTest::lockOfADeadCopyIsTakenOver() {
    const QString name = UniqueName("stale");
    // A copy that ran and died without removing its lock.
    QProcess dead;
    dead.start(HelperPath(), {name});
    QVERIFY(dead.waitForStarted());
    dead.write("go\n");
    QVERIFY(dead.waitForReadyRead(10000));
    QCOMPARE(QString::fromLatin1(dead.readLine()).trimmed(), QStringLiteral("run"));
    dead.kill();
    QVERIFY(dead.waitForFinished(10000));
    CSingleInstanceGuard guard(name);
    QVERIFY(QFile::exists(guard.LockPath()));
    QVERIFY(guard.Acquire());
    // And the copy that took over is the one a third start finds.
    QSignalSpy raised(&guard, &CSingleInstanceGuard::ActivationRequested);
    CSingleInstanceGuard third(name);
    QVERIFY(!third.Acquire());
    QVERIFY(raised.wait(3000));
}

void SingleInstanceTest::socketInTheSharedTemporaryFolderDoesNotBlockTheStart() {
    const QString name = UniqueName("squat");
    // Another user's socket at the name the guard would once have used in the shared folder.
    QLocalServer squatter;
    QLocalServer::removeServer(name);
    QVERIFY(squatter.listen(name));
    CSingleInstanceGuard guard(name);
    QVERIFY(guard.Acquire());
    QCOMPARE(squatter.hasPendingConnections(), false);
}

void SingleInstanceTest::guardLivesInThePrivateRuntimeFolder() {
    CSingleInstanceGuard guard(UniqueName("where"));
    QVERIFY(guard.Acquire());
    const QFileInfo lock(guard.LockPath());
    QVERIFY(lock.exists());
    const QFileInfo folder(lock.absolutePath());
    QVERIFY(folder.isDir());
    QVERIFY(folder.absoluteFilePath() != QFileInfo(QDir::tempPath()).absoluteFilePath());
    // Only the user may enter the folder.
    QCOMPARE(folder.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                                     QFile::WriteOther | QFile::ExeOther),
             QFile::Permissions());
    QVERIFY(QFileInfo(guard.SocketPath()).absolutePath() == folder.absoluteFilePath());
}

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "tst_singleinstance.moc"
