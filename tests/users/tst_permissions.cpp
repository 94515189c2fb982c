#include "schema/Schema.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"
#include "users/PermissionTable.h"

#include <QtTest>

using namespace schema;

class PermissionsTest : public QObject {
    Q_OBJECT
private slots:
    void tableFollowsTreeOrderWithPlaceholdersForMissingTexts();
    void translationGoesFromCodeToNameAndBack();
    void administratorHoldsEveryRightWithAnEmptyRightsString();
    void emptyRightsStringIsRefusedEveryCheckedRight();
    void grantedCodesPassAndOthersAreRefused();
    void rightIsGrantedAcrossTheJointOfTwoCodes();
    void rightNameWithoutTreeRowIsRefusedToAllButTheAdministrator();
    void missingRightsTableRefusesEveryoneButTheAdministrator();
    void rightWithoutCodeIsGrantedOnlyToTheAdministrator();
    void userRightsAreEmptyForUnknownOrNullAndReplacedOnReload();
};

namespace {

// Every right the main window checks before a command.
const QStringList CheckedRights = {
    QStringLiteral("票据入库"),     QStringLiteral("票据发放"),     QStringLiteral("票据回收"),
    QStringLiteral("票据报表"),     QStringLiteral("票据主类型"),   QStringLiteral("票据类型"),
    QStringLiteral("票据管理员"),   QStringLiteral("票据制造部门"), QStringLiteral("增加发放部门"),
    QStringLiteral("增加发放人员"), QStringLiteral("删除发放部门"), QStringLiteral("删除发放人员"),
    QStringLiteral("票据删除"),     QStringLiteral("票据作废"),     QStringLiteral("强制操作"),
    QStringLiteral("出入库管理"),   QStringLiteral("权限设置"),     QStringLiteral("修改个人密码")};

void AddTreeRow(TestDatabase &t, const char *code, const char *name) {
    auto literal = [](const char *text) {
        return text ? QStringLiteral("'%1'").arg(QString::fromUtf8(text)) : QStringLiteral("NULL");
    };
    t.Exec(QStringLiteral("INSERT INTO %1 (%2,%3,%4,%5) VALUES (0,99,%6,%7)")
               .arg(QString::fromLatin1(Bill_Popedom_Tree_Info), QString::fromLatin1(Bill_Popedom_Tree_ParentID),
                    QString::fromLatin1(Bill_Popedom_Tree_InNum), QString::fromLatin1(Bill_Popedom_Tree_Code),
                    QString::fromLatin1(Bill_Popedom_Tree_Name), literal(code), literal(name)));
}

// The table loaded and the user's rights read, as after a login.
CPermissionTable LoggedIn(const QString &user) {
    CPermissionTable table;
    table.LoadPermissionTable();
    table.SetUserName(user);
    table.LoadUserRights(user);
    return table;
}

} // namespace

void PermissionsTest::tableFollowsTreeOrderWithPlaceholdersForMissingTexts() {
    TestDatabase t;
    AddTreeRow(t, nullptr, "无代码");
    AddTreeRow(t, "PX1", nullptr);
    CPermissionTable table;
    QVERIFY(table.LoadPermissionTable());
    QCOMPARE(table.Codes().size(), 27);
    QCOMPARE(table.Names().size(), 27);
    QCOMPARE(table.Codes().first(), QStringLiteral("P01"));
    QCOMPARE(table.Names().first(), QStringLiteral("票据管理"));
    QCOMPARE(table.Codes().at(21), QStringLiteral("P22"));
    QCOMPARE(table.Codes().at(24), QStringLiteral("P25"));
    QCOMPARE(table.Codes().at(25), QStringLiteral("-FF"));
    QCOMPARE(table.Names().at(25), QStringLiteral("无代码"));
    QCOMPARE(table.Names().at(26), QStringLiteral("-FF"));
    // A second load replaces the lists rather than adding to them.
    QVERIFY(table.LoadPermissionTable());
    QCOMPARE(table.Codes().size(), 27);
}

void PermissionsTest::translationGoesFromCodeToNameAndBack() {
    TestDatabase t;
    CPermissionTable table;
    table.LoadPermissionTable();
    QString translated;
    QVERIFY(table.TranslatePopedom(QStringLiteral("P02"), translated));
    QCOMPARE(translated, QStringLiteral("票据入库"));
    QVERIFY(table.TranslatePopedom(QStringLiteral("修改个人密码"), translated));
    QCOMPARE(translated, QStringLiteral("P22"));
    translated = QStringLiteral("unchanged");
    QVERIFY(!table.TranslatePopedom(QStringLiteral("P99"), translated));
    QCOMPARE(translated, QStringLiteral("unchanged"));
}

void PermissionsTest::administratorHoldsEveryRightWithAnEmptyRightsString() {
    TestDatabase t;
    t.Exec(QString::asprintf("UPDATE %s SET %s = '' WHERE %s = '%s'", Bill_Password_Info, Bill_Password_Popedom,
                             Bill_Password_User, AdministratorUser));
    MessageCapture messages;
    const CPermissionTable table = LoggedIn(QString::fromUtf8(AdministratorUser));
    QVERIFY(table.Rights().isEmpty());
    for (const QString &right : CheckedRights)
        QVERIFY2(table.CheckRight(right), qPrintable(right));
    QCOMPARE(messages.Count(), 0);
}

void PermissionsTest::emptyRightsStringIsRefusedEveryCheckedRight() {
    TestDatabase t;
    AddUser(QStringLiteral("张三"), QString(), QString());
    MessageCapture messages;
    const CPermissionTable table = LoggedIn(QStringLiteral("张三"));
    for (const QString &right : CheckedRights)
        QVERIFY2(!table.CheckRight(right), qPrintable(right));
    QCOMPARE(messages.Count(), CheckedRights.size());
    QCOMPARE(messages.Last().text, QStringLiteral("您没有权限进行该项操作，想要取得该项操作的权限，请与管理员联系!"));
    QCOMPARE(messages.Last().caption, QStringLiteral("权限"));
    QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);
    QCOMPARE(messages.Last().buttons, MsgButtons::Ok);
}

void PermissionsTest::grantedCodesPassAndOthersAreRefused() {
    TestDatabase t;
    AddUser(QStringLiteral("张三"), QString(), QStringLiteral("P01P02P05P22"));
    MessageCapture messages;
    const CPermissionTable table = LoggedIn(QStringLiteral("张三"));
    QVERIFY(table.HasRight(QStringLiteral("票据入库")));
    QVERIFY(table.HasRight(QStringLiteral("票据删除")));
    QVERIFY(table.HasRight(QStringLiteral("修改个人密码")));
    QVERIFY(!table.HasRight(QStringLiteral("票据发放")));
    QVERIFY(!table.HasRight(QStringLiteral("权限设置")));
    QCOMPARE(messages.Count(), 0);
}

void PermissionsTest::rightIsGrantedAcrossTheJointOfTwoCodes() {
    TestDatabase t;
    AddTreeRow(t, "1P", "交界权限");
    AddUser(QStringLiteral("张三"), QString(), QStringLiteral("P01P02"));
    const CPermissionTable table = LoggedIn(QStringLiteral("张三"));
    QVERIFY(table.HasRight(QStringLiteral("交界权限")));
    QVERIFY(!table.HasRight(QStringLiteral("票据发放")));
}

void PermissionsTest::rightNameWithoutTreeRowIsRefusedToAllButTheAdministrator() {
    TestDatabase t;
    // Even a user holding every code of the tree is refused a right the tree does not name.
    AddUser(QStringLiteral("张三"), QString(),
            QStringLiteral("P01P02P03P04P05P06P07P08P09P10P11P12P13P14P15P16P17P18P19P20P21P22"));
    MessageCapture messages;
    const CPermissionTable table = LoggedIn(QStringLiteral("张三"));
    QVERIFY(table.HasRight(QStringLiteral("票据入库")));
    QVERIFY(!table.CheckRight(QStringLiteral("没有这一行的权限")));
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().caption, QStringLiteral("权限"));
    QVERIFY(LoggedIn(QString::fromUtf8(AdministratorUser)).HasRight(QStringLiteral("没有这一行的权限")));
}

void PermissionsTest::missingRightsTableRefusesEveryoneButTheAdministrator() {
    TestDatabase t;
    AddUser(QStringLiteral("张三"), QString(), QStringLiteral("P01P02P03P04P05P06P07P08"));
    t.Exec(QString::asprintf("DROP TABLE %s", Bill_Popedom_Tree_Info));
    MessageCapture messages;
    CPermissionTable table;
    QVERIFY(!table.LoadPermissionTable());
    QCOMPARE(messages.Count(), 1); // the failed read is reported
    QVERIFY(messages.Last().text.contains(QLatin1String(Bill_Popedom_Tree_Info)));
    table.SetUserName(QStringLiteral("张三"));
    table.LoadUserRights(QStringLiteral("张三"));
    for (const QString &right : CheckedRights)
        QVERIFY2(!table.HasRight(right), qPrintable(right));
    table.SetUserName(QString::fromUtf8(AdministratorUser));
    for (const QString &right : CheckedRights)
        QVERIFY2(table.HasRight(right), qPrintable(right));
}

void PermissionsTest::rightWithoutCodeIsGrantedOnlyToTheAdministrator() {
    TestDatabase t;
    AddTreeRow(t, nullptr, "无代码权限");
    AddUser(QStringLiteral("张三"), QString(), QStringLiteral("P01P02P03P04P05P06P07P08P09P10P11"));
    QVERIFY(!LoggedIn(QStringLiteral("张三")).HasRight(QStringLiteral("无代码权限")));
    QVERIFY(LoggedIn(QString::fromUtf8(AdministratorUser)).HasRight(QStringLiteral("无代码权限")));
}

void PermissionsTest::userRightsAreEmptyForUnknownOrNullAndReplacedOnReload() {
    TestDatabase t;
    AddUser(QStringLiteral("张三"), QString(), QStringLiteral("P02"));
    AddUser(QStringLiteral("李四"), QString(), QStringLiteral("P03"));
    t.Exec(QString::asprintf("UPDATE %s SET %s = NULL WHERE %s = '李四'", Bill_Password_Info, Bill_Password_Popedom,
                             Bill_Password_User));
    AddUser(QStringLiteral("O'Brien"), QString(), QStringLiteral("P04"));
    CPermissionTable table;
    table.LoadPermissionTable();
    QCOMPARE(table.LoadUserRights(QStringLiteral("张三")), QStringLiteral("P02"));
    QCOMPARE(table.LoadUserRights(QStringLiteral("李四")), QString());
    QCOMPARE(table.Rights(), QString());
    QCOMPARE(table.LoadUserRights(QStringLiteral("O'Brien")), QStringLiteral("P04"));
    QCOMPARE(table.LoadUserRights(QStringLiteral("无此人")), QString());
}

QTEST_GUILESS_MAIN(PermissionsTest)
#include "tst_permissions.moc"
