#include "app/BillApp.h"
#include "app/LoginDlg.h"
#include "app/ServerStore.h"
#include "app/SingleInstance.h"
#include "mainwindow/MainDlg.h"
#include "schema/DeliveredDatabase.h"
#include "tests/support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
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
    void serverPasswordIsAskedForAtStart();
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

namespace {

// A login of the test cluster that needs a password: a clerk with the program's rights on the tables.
class PasswordRole {
public:
    PasswordRole(const QString &name, const QString &password) : m_name(name) {
        ExecOnCluster(QStringLiteral("DROP ROLE IF EXISTS %1").arg(m_name));
        ExecOnCluster(QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD '%2' IN ROLE %3")
                          .arg(m_name, password, QLatin1String(ClerkRole)));
    }
    ~PasswordRole() { ExecOnCluster(QStringLiteral("DROP ROLE IF EXISTS %1").arg(m_name)); }
    PasswordRole(const PasswordRole &) = delete;
    PasswordRole &operator=(const PasswordRole &) = delete;

private:
    QString m_name;
};

// An environment variable set (or, with a null value, taken away) until the end of the scope.
class EnvironmentSetting {
public:
    EnvironmentSetting(const char *name, const QByteArray &value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_previous(qgetenv(name)) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~EnvironmentSetting() {
        if (m_had)
            qputenv(m_name, m_previous);
        else
            qunsetenv(m_name);
    }
    EnvironmentSetting(const EnvironmentSetting &) = delete;
    EnvironmentSetting &operator=(const EnvironmentSetting &) = delete;

private:
    const char *m_name;
    bool m_had;
    QByteArray m_previous;
};

// What the password prompt showed and whether the program went on.
struct PromptedStart {
    bool started = false;
    QString question;
};

// Starts the program and answers the password prompt as a clerk would: types typed into its field
// and presses its OK button, or presses Cancel when typed is null.
PromptedStart StartTypingPassword(const QString &typed) {
    PromptedStart start;
    QTimer watcher;
    watcher.setInterval(20);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto *prompt = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!prompt || !prompt->isVisible())
            return;
        for (QLabel *label : prompt->findChildren<QLabel *>())
            start.question += label->text();
        auto *buttons = prompt->findChild<QDialogButtonBox *>();
        if (typed.isNull()) {
            buttons->button(QDialogButtonBox::Cancel)->click();
            return;
        }
        QLineEdit *field = prompt->findChild<QLineEdit *>();
        field->setFocus();
        QTest::keyClicks(field, typed);
        buttons->button(QDialogButtonBox::Ok)->click();
    });
    watcher.start();
    CBillApp app;
    start.started = app.InitInstance();
    watcher.stop();
    app.ExitInstance();
    return start;
}

} // namespace

// The settings file names a clerk whose password libpq cannot find anywhere: the program asks for it
// at start, goes on with the right one, stops with the server's name on a wrong one and stops when
// the clerk gives up.
void StartupTest::serverPasswordIsAskedForAtStart() {
    SERVER_STORE_ONLY();
    TestDatabase t;
    TheDatabase().Close();
    const QString clerk = QStringLiteral("pv_typing_clerk_%1").arg(QCoreApplication::applicationPid());
    const QString password = QStringLiteral("Kassa-2026");
    const PasswordRole role(clerk, password);
    const QString host = qEnvironmentVariable("PGHOST");
    const QString database = ParseServerUrl(ConfiguredServerUrl()).database;
    {
        QSettings settings(SettingsFileName, QSettings::IniFormat);
        settings.setValue(
            QStringLiteral("server/url"),
            QStringLiteral("postgresql://%1@%2:%3/%4").arg(clerk, host, qEnvironmentVariable("PGPORT"), database));
    }
    // Neither the environment nor a password file holds the clerk's password.
    QFile emptyPasswords(QDir(t.Dir()).filePath(QStringLiteral("pgpass")));
    QVERIFY(emptyPasswords.open(QIODevice::WriteOnly));
    emptyPasswords.close();
    const EnvironmentSetting noPassword("PGPASSWORD", QByteArray());
    const EnvironmentSetting passwordFile("PGPASSFILE", QFile::encodeName(emptyPasswords.fileName()));
    MessageCapture messages;

    const PromptedStart typedRight = StartTypingPassword(password);
    QVERIFY2(typedRight.question.contains(host + u'/' + database), qPrintable(typedRight.question));
    QVERIFY2(typedRight.started, qPrintable(messages.Texts().join(u'\n')));
    QCOMPARE(messages.Count(), 0);
    QVERIFY(!TheDatabase().IsOpen()); // closed again at the end

    const PromptedStart typedWrong = StartTypingPassword(QStringLiteral("kassa-2026"));
    QVERIFY(!typedWrong.question.isEmpty());
    QVERIFY(!typedWrong.started);
    QCOMPARE(messages.Count(), 1);
    QVERIFY2(messages.Last().text.startsWith(QStringLiteral("无法连接数据库服务器%1，程序不能运行!").arg(host)),
             qPrintable(messages.Last().text));
    QVERIFY2(messages.Last().text.contains(QStringLiteral("password authentication failed")),
             qPrintable(messages.Last().text));
    QCOMPARE(messages.Last().icon, MsgIcon::Stop);

    const PromptedStart cancelled = StartTypingPassword(QString());
    QVERIFY(!cancelled.question.isEmpty());
    QVERIFY(!cancelled.started);
    QCOMPARE(messages.Count(), 2);
    QVERIFY2(messages.Last().text.startsWith(QStringLiteral("无法连接数据库服务器%1").arg(host)),
             qPrintable(messages.Last().text));
    QVERIFY(!TheDatabase().IsOpen());
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
