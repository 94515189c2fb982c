#include "app/LoginDlg.h"
#include "schema/Schema.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QtTest>

using namespace schema;

class LoginTest : public QObject {
    Q_OBJECT
private slots:
    void accountsAreListedInAccountOrderWithTheFirstChosen();
    void deliveredAdministratorLogsIn();
    void accountWithoutPasswordLogsInWithEmptyPassword();
    void unknownNameGetsTheWrongPasswordMessageAndTheDialogStaysOpen();
    void passwordsAreCaseSensitiveAndAnotherTryIsAllowed();
    void typedNameAndEnterLogIn();
    void nameWithQuoteIsLookedUpSafely();
    void cancelEmptiesTheUserName();
    void shownLoginIsToldInTheStartupLogOnlyWhenAskedFor();
};

namespace {

void Type(CLoginDlg &login, const QString &user, const QString &password) {
    login.UserBox()->setEditText(user);
    login.PasswordBox()->setText(password);
}

void ExpectWrongPassword(const MessageCapture &messages) {
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().text, QStringLiteral("密码错误，请输入正确的密码!"));
    QCOMPARE(messages.Last().caption, QStringLiteral("密码"));
    QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);
}

QStringList g_logged;
void KeepMessage(QtMsgType, const QMessageLogContext &context, const QString &text) {
    g_logged << QStringLiteral("%1: %2").arg(QString::fromLatin1(context.category), text);
}

// The start-up lines written while the login is shown, the category switched on or off.
QStringList StartupLinesOfShownLogin(bool enabled) {
    QLoggingCategory::setFilterRules(enabled ? QStringLiteral("pelorvanide.startup.info=true") : QString());
    g_logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(KeepMessage);
    {
        CLoginDlg login;
        login.show();
        QCoreApplication::processEvents();
    }
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    return g_logged.filter(QStringLiteral("pelorvanide.startup"));
}

} // namespace

void LoginTest::accountsAreListedInAccountOrderWithTheFirstChosen() {
    TestDatabase t;
    AddUser(QStringLiteral("乙"), QString(), QString());
    AddUser(QStringLiteral("甲"), QString(), QString());
    t.Exec(QString::asprintf("INSERT INTO %s (%s) VALUES (NULL)", Bill_Password_Info, Bill_Password_User));
    CLoginDlg login;
    QComboBox *users = login.UserBox();
    QCOMPARE(users->count(), 3);
    QCOMPARE(users->itemText(0), QStringLiteral("管理员"));
    QCOMPARE(users->itemText(1), QStringLiteral("乙"));
    QCOMPARE(users->itemText(2), QStringLiteral("甲"));
    QCOMPARE(users->currentText(), QStringLiteral("管理员"));
    QVERIFY(users->isEditable());
    QCOMPARE(login.PasswordBox()->echoMode(), QLineEdit::Password);
}

void LoginTest::deliveredAdministratorLogsIn() {
    TestDatabase t;
    MessageCapture messages;
    CLoginDlg login;
    login.show();
    login.PasswordBox()->setText(QStringLiteral("admin"));
    login.OkButton()->click();
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(login.Result(), CLoginDlg::LoginSucceeded);
    QCOMPARE(login.UserName(), QStringLiteral("管理员"));
    QCOMPARE(login.result(), int(QDialog::Accepted));
    QVERIFY(!login.isVisible());
}

void LoginTest::accountWithoutPasswordLogsInWithEmptyPassword() {
    TestDatabase t;
    AddUser(QStringLiteral("出纳"), QStringLiteral("x"), QString());
    t.Exec(QString::asprintf("UPDATE %s SET %s = NULL WHERE %s = '出纳'", Bill_Password_Info, Bill_Password_PWD,
                             Bill_Password_User));
    MessageCapture messages;
    CLoginDlg login;
    Type(login, QStringLiteral("出纳"), QString());
    login.OkButton()->click();
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(login.Result(), CLoginDlg::LoginSucceeded);
    QCOMPARE(login.UserName(), QStringLiteral("出纳"));
}

void LoginTest::unknownNameGetsTheWrongPasswordMessageAndTheDialogStaysOpen() {
    TestDatabase t;
    MessageCapture messages;
    CLoginDlg login;
    login.show();
    Type(login, QStringLiteral("无此人"), QStringLiteral("admin"));
    login.OkButton()->click();
    ExpectWrongPassword(messages);
    QVERIFY(login.isVisible());
    QCOMPARE(login.Result(), CLoginDlg::LoginFailed);
    QCOMPARE(login.UserBox()->currentText(), QStringLiteral("无此人"));
    QCOMPARE(login.PasswordBox()->text(), QStringLiteral("admin"));
    QVERIFY(login.UserName().isEmpty());
}

void LoginTest::passwordsAreCaseSensitiveAndAnotherTryIsAllowed() {
    TestDatabase t;
    MessageCapture messages;
    CLoginDlg login;
    login.show();
    Type(login, QStringLiteral("管理员"), QStringLiteral("ADMIN"));
    login.OkButton()->click();
    ExpectWrongPassword(messages);
    QVERIFY(login.isVisible());
    // A blank more is a different password too.
    login.PasswordBox()->setText(QStringLiteral("admin "));
    login.OkButton()->click();
    QCOMPARE(messages.Count(), 2);
    login.PasswordBox()->setText(QStringLiteral("admin"));
    login.OkButton()->click();
    QCOMPARE(messages.Count(), 2);
    QCOMPARE(login.Result(), CLoginDlg::LoginSucceeded);
}

void LoginTest::typedNameAndEnterLogIn() {
    TestDatabase t;
    AddUser(QStringLiteral("clerk"), QStringLiteral("Pa55"), QString());
    MessageCapture messages;
    CLoginDlg login;
    login.show();
    QVERIFY(QTest::qWaitForWindowExposed(&login));
    login.UserBox()->lineEdit()->clear();
    QTest::keyClicks(login.UserBox()->lineEdit(), QStringLiteral("clerk"));
    QTest::keyClicks(login.PasswordBox(), QStringLiteral("Pa55"));
    QTest::keyClick(login.PasswordBox(), Qt::Key_Return);
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(login.Result(), CLoginDlg::LoginSucceeded);
    QCOMPARE(login.UserName(), QStringLiteral("clerk"));
    // The typed name was not added to the list.
    QCOMPARE(login.UserBox()->count(), 2);
}

void LoginTest::nameWithQuoteIsLookedUpSafely() {
    TestDatabase t;
    AddUser(QStringLiteral("O'Brien"), QStringLiteral("pw"), QString());
    MessageCapture messages;
    CLoginDlg login;
    // Were the name pasted in unquoted, this would match the administrator's row.
    Type(login, QStringLiteral("x' OR '1'='1"), QStringLiteral("admin"));
    login.OkButton()->click();
    ExpectWrongPassword(messages);
    Type(login, QStringLiteral("O'Brien"), QStringLiteral("pw"));
    login.OkButton()->click();
    QCOMPARE(login.Result(), CLoginDlg::LoginSucceeded);
}

void LoginTest::cancelEmptiesTheUserName() {
    TestDatabase t;
    MessageCapture messages;
    CLoginDlg login;
    login.show();
    Type(login, QStringLiteral("管理员"), QStringLiteral("admin"));
    login.CancelButton()->click();
    QCOMPARE(messages.Count(), 0);
    QVERIFY(login.UserName().isEmpty());
    QCOMPARE(login.Result(), CLoginDlg::LoginFailed);
    QCOMPARE(login.result(), int(QDialog::Rejected));
    QVERIFY(!login.isVisible());
}

void LoginTest::shownLoginIsToldInTheStartupLogOnlyWhenAskedFor() {
    TestDatabase t;
    QCOMPARE(StartupLinesOfShownLogin(false), QStringList());
    QCOMPARE(StartupLinesOfShownLogin(true), QStringList(QStringLiteral("pelorvanide.startup: login window shown")));
}

QTEST_MAIN(LoginTest)
#include "tst_login.moc"
