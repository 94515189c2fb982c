#include "app/BillApp.h"
#include "app/LoginDlg.h"
#include "app/SingleInstance.h"
#include "mainwindow/MainDlg.h"
#include "tests/support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void missingDataFileStopsStartup();
    void plainFileInPlaceOfDataFileStopsStartup();
    void startupOpensDataFileOfWorkingDirectory();
    void shutdownClosesTheConnection();
    void cancelledLoginEndsTheProgramWithoutTheMainWindow();
    void messageBoxesCarryChineseStandardButtons();
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
void StartupTest::messageBoxesCarryChineseStandardButtons() {
    QVERIFY(InstallChineseTranslation());
    const MessagePresenter previous = SetMessagePresenter(MessagePresenter());
    InstallWidgetMessagePresenter();
    const auto buttonTexts = [](MsgButtons buttons) {
        QStringList texts;
        QTimer::singleShot(0, [&texts] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            for (QAbstractButton *button : box->buttons())
                texts << button->text();
            box->reject();
        });
        ShowMessage(QStringLiteral("试一试"), QStringLiteral("标题"), MsgIcon::Question, buttons);
        texts.sort();
        return texts.join(QLatin1Char('|'));
    };
    const QString yesNoCancel = buttonTexts(MsgButtons::YesNoCancel);
    const QString okCancel = buttonTexts(MsgButtons::OkCancel);
    SetMessagePresenter(previous);
    for (const QString &texts : {yesNoCancel, okCancel})
        for (const char *english : {"OK", "Yes", "No", "Cancel"})
            QVERIFY2(!texts.contains(QLatin1String(english)), qPrintable(texts));
    QVERIFY2(yesNoCancel.contains(QStringLiteral("是")) && yesNoCancel.contains(QStringLiteral("否")) &&
                 yesNoCancel.contains(QStringLiteral("取消")),
             qPrintable(yesNoCancel));
    QVERIFY2(okCancel.contains(QStringLiteral("确定")) && okCancel.contains(QStringLiteral("取消")),
             qPrintable(okCancel));
}

#include "tst_startup.moc"
