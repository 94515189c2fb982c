#include "app/BillApp.h"
#include "app/LoginDlg.h"
#include "app/SingleInstance.h"
#include "mainwindow/MainDlg.h"
#include "tests/support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void missingDataFileStopsStartup();
    void plainFileInPlaceOfDataFileStopsStartup();
    void startupOpensDataFileOfWorkingDirectory();
    void shutdownClosesTheConnection();
    void cancelledLoginEndsTheProgramWithoutTheMainWindow();
};

namespace {
void ExpectDataFileMessage(const MessageCapture &messages) {
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().text, QStringLiteral("无法找到数据文件!"));
    QCOMPARE(messages.Last().caption, QStringLiteral("Prompt!"));
    QCOMPARE(messages.Last().icon, MsgIcon::Stop);
}
} // namespace

void StartupTest::missingDataFileStopsStartup() {
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    MessageCapture messages;
    CBillApp app;
    QVERIFY(!app.InitInstance());
    app.ExitInstance();
    QDir::setCurrent(previous);
    ExpectDataFileMessage(messages);
    QVERIFY(!QFile::exists(dir.filePath(CDatabase::DataFileName())));
}

void StartupTest::plainFileInPlaceOfDataFileStopsStartup() {
    QTemporaryDir dir;
    QFile file(dir.filePath(CDatabase::DataFileName()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    MessageCapture messages;
    CBillApp app;
    QVERIFY(!app.InitInstance());
    QDir::setCurrent(previous);
    ExpectDataFileMessage(messages);
}

void StartupTest::startupOpensDataFileOfWorkingDirectory() {
    TestDatabase t;
    TheDatabase().Close();
    MessageCapture messages;
    CBillApp app;
    QVERIFY(app.InitInstance());
    QVERIFY(TheDatabase().IsOpen());
    QCOMPARE(messages.Count(), 0);
    app.ExitInstance();
}

void StartupTest::shutdownClosesTheConnection() {
    TestDatabase t;
    TheDatabase().Close();
    CBillApp app;
    QVERIFY(app.InitInstance());
    TheDatabase().OpenQuery(QStringLiteral("SELECT * FROM Bill_Info"));
    app.ExitInstance();
    QVERIFY(!TheDatabase().IsQueryOpen());
    QVERIFY(!TheDatabase().IsOpen());
}

void StartupTest::cancelledLoginEndsTheProgramWithoutTheMainWindow() {
    TestDatabase t;
    TheDatabase().Close();
    bool loginShown = false;
    bool mainWindowShown = false;
    // Answers the login with a cancel; should the main window ever show, it is noted and closed so
    // that the test ends.
    QTimer watcher;
    watcher.setInterval(20);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *main = qobject_cast<CMainDlg *>(window); main && main->isVisible()) {
                mainWindowShown = true;
                main->done(QDialog::Rejected);
            }
        }
        if (auto *login = qobject_cast<CLoginDlg *>(QApplication::activeModalWidget())) {
            loginShown = true;
            login->CancelButton()->click();
        }
    });
    watcher.start();
    CBillApp app;
    QCOMPARE(app.Run(), 0);
    watcher.stop();
    QVERIFY(loginShown);
    QVERIFY(!mainWindowShown);
    QVERIFY(!TheDatabase().IsOpen());
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
