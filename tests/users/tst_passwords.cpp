// Passwords on a real store: hashing, the login check with the rewrite of clear-text rows, and the
// dialog in which the logged-in user changes their password.
#include "app/LoginDlg.h"
#include "schema/DeliveredDatabase.h"
#include "schema/Schema.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"
#include "users/PasswordDlg.h"
#include "users/Passwords.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace schema;

namespace {

QString StoredPassword(TestDatabase &t, const QString &user) {
    return t.Scalar(QString::asprintf("SELECT %s FROM %s WHERE %s = '%s'", Bill_Password_PWD, Bill_Password_Info,
                                      Bill_Password_User, qUtf8Printable(user)));
}

// Every column of the account's row joined, to look for a password left in clear anywhere in it.
QString WholeRow(TestDatabase &t, const QString &user) {
    CDatabase &db = t.Db();
    db.OpenQuery(QString::asprintf("SELECT * FROM %s WHERE %s = '%s'", Bill_Password_Info, Bill_Password_User,
                                   qUtf8Printable(user)));
    QStringList cells;
    for (int i = 0; !db.IsEOF() && i < db.ColumnCount(); ++i) {
        QString cell;
        db.ReadFieldText(i, cell);
        cells << cell;
    }
    db.CloseQuery();
    return cells.join(u'|');
}

bool LogIn(const QString &user, const QString &password) {
    CLoginDlg login;
    login.UserBox()->setEditText(user);
    login.PasswordBox()->setText(password);
    login.OkButton()->click();
    return login.Result() == CLoginDlg::LoginSucceeded;
}

} // namespace

class PasswordsTest : public QObject {
    Q_OBJECT
private slots:
    void hashesAreSaltedAndCheckedExactly() {
        const QString first = HashPassword(QStringLiteral("秘密pw"));
        const QString second = HashPassword(QStringLiteral("秘密pw"));
        QVERIFY(first.startsWith(QStringLiteral("$argon2id$")));
        QVERIFY(IsPasswordHash(first));
        QVERIFY(first != second);
        QVERIFY(!first.contains(QStringLiteral("秘密pw")));
        QVERIFY(PasswordMatches(first, QStringLiteral("秘密pw")));
        QVERIFY(PasswordMatches(second, QStringLiteral("秘密pw")));
        QVERIFY(!PasswordMatches(first, QStringLiteral("秘密PW")));
        QVERIFY(!PasswordMatches(first, QStringLiteral("秘密pw ")));
        QVERIFY(!PasswordMatches(first, QString()));
        // A clear password is compared as it stands.
        QVERIFY(!IsPasswordHash(QStringLiteral("admin")));
        QVERIFY(PasswordMatches(QStringLiteral("admin"), QStringLiteral("admin")));
        QVERIFY(!PasswordMatches(QStringLiteral("admin"), QStringLiteral("Admin")));
        QVERIFY(PasswordMatches(QString(), QString()));
    }

    void deliveredClearPasswordLogsInOnceAndIsAHashAfterwards() {
        TestDatabase t;
        MessageCapture messages;
        const QString administrator = QString::fromUtf8(AdministratorUser);
        QCOMPARE(StoredPassword(t, administrator), QString::fromUtf8(DeliveredAdministratorPassword));
        QVERIFY(LogIn(administrator, QStringLiteral("admin")));
        const QString stored = StoredPassword(t, administrator);
        QVERIFY(IsPasswordHash(stored));
        QVERIFY(!WholeRow(t, administrator).contains(QStringLiteral("|admin|")));
        // The hash lets the same password in, and only that one; it is not rewritten again.
        QVERIFY(LogIn(administrator, QStringLiteral("admin")));
        QCOMPARE(StoredPassword(t, administrator), stored);
        QCOMPARE(messages.Count(), 0);
        QVERIFY(!LogIn(administrator, QStringLiteral("ADMIN")));
        QCOMPARE(messages.Texts(), QStringList{QStringLiteral("密码错误，请输入正确的密码!")});
    }

    void failedLoginLeavesAClearPasswordAsItWas() {
        TestDatabase t;
        AddUser(QStringLiteral("出纳"), QStringLiteral("pw1"), QString());
        MessageCapture messages;
        QVERIFY(!CheckLoginPassword(QStringLiteral("出纳"), QStringLiteral("pw2")));
        QCOMPARE(StoredPassword(t, QStringLiteral("出纳")), QStringLiteral("pw1"));
        QVERIFY(!CheckLoginPassword(QStringLiteral("无此人"), QStringLiteral("pw1")));
    }

    void accountWithoutPasswordLogsInEmptyAndGetsAHash() {
        TestDatabase t;
        AddUser(QStringLiteral("出纳"), QString(), QString());
        t.Exec(QString::asprintf("UPDATE %s SET %s = NULL WHERE %s = '出纳'", Bill_Password_Info, Bill_Password_PWD,
                                 Bill_Password_User));
        QVERIFY(CheckLoginPassword(QStringLiteral("出纳"), QString()));
        QVERIFY(IsPasswordHash(StoredPassword(t, QStringLiteral("出纳"))));
        QVERIFY(CheckLoginPassword(QStringLiteral("出纳"), QString()));
        QVERIFY(!CheckLoginPassword(QStringLiteral("出纳"), QStringLiteral("x")));
    }

    void onlyTheAccountThatLoggedInIsRewritten() {
        TestDatabase t;
        AddUser(QStringLiteral("甲"), QStringLiteral("same"), QString());
        AddUser(QStringLiteral("乙"), QStringLiteral("same"), QString());
        QVERIFY(CheckLoginPassword(QStringLiteral("甲"), QStringLiteral("same")));
        QVERIFY(IsPasswordHash(StoredPassword(t, QStringLiteral("甲"))));
        QCOMPARE(StoredPassword(t, QStringLiteral("乙")), QStringLiteral("same"));
    }

    void passwordDialogShowsTheUserAndMasksTheFields() {
        TestDatabase t;
        CPasswordDlg dlg(QStringLiteral("出纳"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("设置密码"));
        QCOMPARE(dlg.UserEdit()->text(), QStringLiteral("出纳"));
        QVERIFY(dlg.UserEdit()->isReadOnly());
        for (QLineEdit *field : {dlg.OldEdit(), dlg.NewEdit(), dlg.ConfirmEdit()})
            QCOMPARE(field->echoMode(), QLineEdit::Password);
        QCOMPARE(dlg.OkButton()->text(), QStringLiteral("确定"));
        QCOMPARE(dlg.CancelButton()->text(), QStringLiteral("取消"));
    }

    void differingConfirmationIsRefusedAndBothNewFieldsEmptied() {
        TestDatabase t;
        AddUser(QStringLiteral("出纳"), QStringLiteral("old"), QString());
        MessageCapture messages;
        CPasswordDlg dlg(QStringLiteral("出纳"));
        dlg.show();
        dlg.OldEdit()->setText(QStringLiteral("old"));
        dlg.NewEdit()->setText(QStringLiteral("new1"));
        dlg.ConfirmEdit()->setText(QStringLiteral("new2"));
        dlg.OkButton()->click();
        QCOMPARE(messages.Count(), 1);
        QCOMPARE(messages.Last().text, QStringLiteral("新密码与确定新密码不一致！"));
        QCOMPARE(messages.Last().caption, QStringLiteral("密码不一致"));
        QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);
        QVERIFY(dlg.isVisible());
        QVERIFY(dlg.NewEdit()->text().isEmpty());
        QVERIFY(dlg.ConfirmEdit()->text().isEmpty());
        QCOMPARE(dlg.OldEdit()->text(), QStringLiteral("old"));
        QCOMPARE(StoredPassword(t, QStringLiteral("出纳")), QStringLiteral("old"));
    }

    void wrongOldPasswordIsRefusedAndOnlyItsFieldEmptied() {
        TestDatabase t;
        AddUser(QStringLiteral("出纳"), QStringLiteral("old"), QString());
        MessageCapture messages;
        CPasswordDlg dlg(QStringLiteral("出纳"));
        dlg.show();
        dlg.OldEdit()->setText(QStringLiteral("OLD"));
        dlg.NewEdit()->setText(QStringLiteral("new"));
        dlg.ConfirmEdit()->setText(QStringLiteral("new"));
        dlg.OkButton()->click();
        QCOMPARE(messages.Count(), 1);
        QCOMPARE(messages.Last().text, QStringLiteral("原密码输入不正确"));
        QCOMPARE(messages.Last().caption, QStringLiteral("原密码不正确"));
        QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);
        QVERIFY(dlg.isVisible());
        QVERIFY(dlg.OldEdit()->text().isEmpty());
        QCOMPARE(dlg.NewEdit()->text(), QStringLiteral("new"));
        QCOMPARE(StoredPassword(t, QStringLiteral("出纳")), QStringLiteral("old"));

        // A user without an account is refused the same way.
        CPasswordDlg nobody(QStringLiteral("无此人"));
        nobody.OkButton()->click();
        QCOMPARE(messages.Last().text, QStringLiteral("原密码输入不正确"));
    }

    void newPasswordIsStoredAsAHashAndReplacesTheOld() {
        TestDatabase t;
        AddUser(QStringLiteral("出纳"), QStringLiteral("old"), QString());
        MessageCapture messages;
        CPasswordDlg dlg(QStringLiteral("出纳"));
        dlg.show();
        dlg.OldEdit()->setText(QStringLiteral("old"));
        dlg.NewEdit()->setText(QStringLiteral("New 密码"));
        dlg.ConfirmEdit()->setText(QStringLiteral("New 密码"));
        dlg.OkButton()->click();
        QCOMPARE(messages.Count(), 0);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(IsPasswordHash(StoredPassword(t, QStringLiteral("出纳"))));
        QVERIFY(!WholeRow(t, QStringLiteral("出纳")).contains(QStringLiteral("New 密码")));
        QVERIFY(CheckLoginPassword(QStringLiteral("出纳"), QStringLiteral("New 密码")));
        QVERIFY(!CheckLoginPassword(QStringLiteral("出纳"), QStringLiteral("old")));

        // The hashed password is the old one for the next change.
        CPasswordDlg again(QStringLiteral("出纳"));
        again.OldEdit()->setText(QStringLiteral("New 密码"));
        again.NewEdit()->setText(QStringLiteral("third"));
        again.ConfirmEdit()->setText(QStringLiteral("third"));
        again.OkButton()->click();
        QCOMPARE(messages.Count(), 0);
        QVERIFY(CheckLoginPassword(QStringLiteral("出纳"), QStringLiteral("third")));
    }

    void emptyStoredPasswordAcceptsAnEmptyOldPassword() {
        TestDatabase t;
        AddUser(QStringLiteral("出纳"), QString(), QString());
        MessageCapture messages;
        CPasswordDlg dlg(QStringLiteral("出纳"));
        dlg.NewEdit()->setText(QStringLiteral("pw"));
        dlg.ConfirmEdit()->setText(QStringLiteral("pw"));
        dlg.OkButton()->click();
        QCOMPARE(messages.Count(), 0);
        QVERIFY(CheckLoginPassword(QStringLiteral("出纳"), QStringLiteral("pw")));
    }

    void refusedRewriteIsReportedAndTheLoginDoesNotSucceed() {
        TestDatabase t;
        AddUser(QStringLiteral("出纳"), QStringLiteral("pw"), QString());
        t.Exec(
            QString::asprintf("CREATE TRIGGER refuse BEFORE UPDATE ON %s BEGIN SELECT RAISE(ABORT, '写入被拒绝'); END",
                              Bill_Password_Info));
        MessageCapture messages;
        QVERIFY(!LogIn(QStringLiteral("出纳"), QStringLiteral("pw")));
        QCOMPARE(messages.Count(), 1);
        QVERIFY(messages.Last().text.contains(QStringLiteral("写入被拒绝")));
        QCOMPARE(messages.Last().caption, ApplicationTitle());
        QCOMPARE(StoredPassword(t, QStringLiteral("出纳")), QStringLiteral("pw"));

        // The password dialog reports the refused write and stays open with what was typed; the old
        // password stays.
        CPasswordDlg dlg(QStringLiteral("出纳"));
        dlg.show();
        dlg.OldEdit()->setText(QStringLiteral("pw"));
        dlg.NewEdit()->setText(QStringLiteral("new"));
        dlg.ConfirmEdit()->setText(QStringLiteral("new"));
        dlg.OkButton()->click();
        QCOMPARE(messages.Count(), 2);
        QVERIFY(messages.Last().text.contains(QStringLiteral("写入被拒绝")));
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(dlg.NewEdit()->text(), QStringLiteral("new"));
        QCOMPARE(StoredPassword(t, QStringLiteral("出纳")), QStringLiteral("pw"));
        // Once the store takes writes again, the same dialog stores the new password and closes.
        t.Exec("DROP TRIGGER refuse");
        dlg.OkButton()->click();
        QCOMPARE(messages.Count(), 2);
        QVERIFY(!dlg.isVisible());
        QVERIFY(CheckLoginPassword(QStringLiteral("出纳"), QStringLiteral("new")));
    }

    void cancelWritesNothing() {
        TestDatabase t;
        AddUser(QStringLiteral("出纳"), QStringLiteral("old"), QString());
        CPasswordDlg dlg(QStringLiteral("出纳"));
        dlg.show();
        dlg.OldEdit()->setText(QStringLiteral("old"));
        dlg.NewEdit()->setText(QStringLiteral("new"));
        dlg.ConfirmEdit()->setText(QStringLiteral("new"));
        dlg.CancelButton()->click();
        QVERIFY(!dlg.isVisible());
        QCOMPARE(StoredPassword(t, QStringLiteral("出纳")), QStringLiteral("old"));
    }
};

QTEST_MAIN(PasswordsTest)
#include "tst_passwords.moc"
