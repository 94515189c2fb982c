// The account dialog on a real store: the rights tree and its clicks, the user list, saving, updating
// and deleting accounts, and the protected administrator.
#include "app/Dialect.h"
#include "lists/QueryListCtrl.h"
#include "schema/Schema.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"
#include "users/Passwords.h"
#include "users/PermissionTable.h"
#include "users/RightsTreePane.h"
#include "users/UserAccountDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QtTest>

using namespace schema;

namespace {

QString Cell(TestDatabase &t, const char *column, const QString &user) {
    return t.Scalar(QString::asprintf("SELECT %s FROM %s WHERE %s = '%s'", column, Bill_Password_Info,
                                      Bill_Password_User, Quote(user).constData()));
}

int Accounts(TestDatabase &t, const QString &user) {
    return t.Count(QString::fromLatin1(Bill_Password_Info),
                   QString::asprintf("%s = '%s'", Bill_Password_User, Quote(user).constData()));
}

QStringList Checked(const CRightsTreePane *tree) {
    QStringList names;
    for (QTreeWidgetItem *item : tree->ItemsInOrder())
        if (item->checkState(0) == Qt::Checked)
            names << item->text(0);
    return names;
}

QStringList AllRights(const CRightsTreePane *tree) {
    QStringList names;
    for (QTreeWidgetItem *item : tree->ItemsInOrder())
        names << item->text(0);
    return names;
}

QStringList Children(QTreeWidgetItem *item) {
    QStringList names;
    for (int i = 0; i < item->childCount(); ++i)
        names << item->child(i)->text(0);
    return names;
}

// Where the item's check box is drawn.
QPoint BoxPoint(CRightsTreePane *tree, QTreeWidgetItem *item) {
    QStyleOptionViewItem option;
    option.initFrom(tree);
    option.rect = tree->visualItemRect(item);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay |
                      QStyleOptionViewItem::HasDecoration;
    option.decorationSize = tree->iconSize().isValid() ? tree->iconSize() : QSize(16, 16);
    option.text = item->text(0);
    return tree->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree).center();
}

QPoint LabelPoint(CRightsTreePane *tree, QTreeWidgetItem *item) {
    const QRect rect = tree->visualItemRect(item);
    return QPoint(rect.left() + 60, rect.center().y());
}

void ClickBox(CRightsTreePane *tree, const QString &name) {
    QTreeWidgetItem *item = tree->FindRight(name);
    QVERIFY(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, BoxPoint(tree, item));
}

void ClickLabel(CRightsTreePane *tree, const QString &name) {
    QTreeWidgetItem *item = tree->FindRight(name);
    QVERIFY(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, LabelPoint(tree, item));
}

int RowOf(const CQueryListCtrl *list, const QString &name) {
    for (int row = 0; row < list->RowCount(); ++row)
        if (list->GetItemText(row, 0) == name)
            return row;
    return -1;
}

void ClickUser(CUserAccountDlg &dlg, const QString &name) {
    CQueryListCtrl *list = dlg.UserList();
    const int row = RowOf(list, name);
    QVERIFY2(row >= 0, qPrintable(name));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(row, 0)).center());
}

// The name-to-code table as the main window holds it.
struct Dialog {
    Dialog() {
        table.LoadPermissionTable();
        dlg = std::make_unique<CUserAccountDlg>(table);
        dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
    }
    CPermissionTable table;
    std::unique_ptr<CUserAccountDlg> dlg;
};

void AddUserWithDetails(TestDatabase &t, const QString &name, int sex, const QString &rights) {
    AddUser(name, QStringLiteral("pw"), rights);
    t.Exec(QString::asprintf("UPDATE %s SET %s = %d, %s = '人民路1号', %s = '555', %s = 'a@b.cn', %s = '老员工' "
                             "WHERE %s = '%s'",
                             Bill_Password_Info, Bill_Password_Sex, sex, Bill_Password_Address, Bill_Password_Contact,
                             Bill_Password_Email, Bill_Password_Remark, Bill_Password_User, qUtf8Printable(name)));
}

} // namespace

class AccountsTest : public QObject {
    Q_OBJECT
private slots:
    void rightsTreeIsLoadedFromTheTableExpandedAndUnchecked() {
        TestDatabase t;
        MessageCapture messages;
        Dialog d;
        CRightsTreePane *tree = d.dlg->RightsTree();
        QCOMPARE(d.dlg->windowTitle(), QStringLiteral("权限管理"));
        QCOMPARE(tree->topLevelItemCount(), 4);
        QStringList top;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            top << tree->topLevelItem(i)->text(0);
        QCOMPARE(top, QStringList({"票据管理", "基础资料", "报表管理", "系统管理"}));
        QCOMPARE(Children(tree->topLevelItem(3)), QStringList({"权限设置", "修改个人密码"}));
        QCOMPARE(Children(tree->topLevelItem(0)).first(), QStringLiteral("票据入库"));
        QCOMPARE(AllRights(tree).size(), 25);
        for (QTreeWidgetItem *item : tree->ItemsInOrder()) {
            QVERIFY(item->flags() & Qt::ItemIsUserCheckable);
            QCOMPARE(item->checkState(0), Qt::Unchecked);
            if (item->childCount() > 0)
                QVERIFY(item->isExpanded());
        }
        QCOMPARE(messages.Count(), 0);
    }

    void siblingsFollowTheirOrderAndRowsWithoutNameAreLeftOut() {
        TestDatabase t;
        t.Exec(QString::asprintf("UPDATE %s SET %s = 9 WHERE %s = 'P21'", Bill_Popedom_Tree_Info,
                                 Bill_Popedom_Tree_InNum, Bill_Popedom_Tree_Code));
        t.Exec(QString::asprintf("INSERT INTO %s (%s,%s,%s) VALUES (20,5,'PX1')", Bill_Popedom_Tree_Info,
                                 Bill_Popedom_Tree_ParentID, Bill_Popedom_Tree_InNum, Bill_Popedom_Tree_Code));
        Dialog d;
        QCOMPARE(Children(d.dlg->RightsTree()->topLevelItem(3)), QStringList({"修改个人密码", "权限设置"}));
    }

    void userListShowsTheDetailsAndSexAsText() {
        TestDatabase t;
        AddUserWithDetails(t, QStringLiteral("张三"), 0, QString());
        AddUserWithDetails(t, QStringLiteral("李四"), 1, QString());
        AddUserWithDetails(t, QStringLiteral("王五"), 2, QString());
        Dialog d;
        CQueryListCtrl *list = d.dlg->UserList();
        QCOMPARE(list->GetHeaderTitles(), QStringList({"姓名", "性别", "家庭地址", "联系方式", "电子邮件", "备注"}));
        QCOMPARE(list->RowCount(), 4);
        QCOMPARE(list->GetItemText(RowOf(list, QStringLiteral("张三")), 1), QStringLiteral("男"));
        QCOMPARE(list->GetItemText(RowOf(list, QStringLiteral("李四")), 1), QStringLiteral("女"));
        QCOMPARE(list->GetItemText(RowOf(list, QStringLiteral("王五")), 1), QStringLiteral("女"));
        QCOMPARE(list->GetItemText(RowOf(list, QStringLiteral("李四")), 2), QStringLiteral("人民路1号"));
    }

    void choosingAUserShowsItsFieldsAndExactlyItsRights() {
        TestDatabase t;
        AddUserWithDetails(t, QStringLiteral("李四"), 1, QStringLiteral("P03P12"));
        Dialog d;
        ClickUser(*d.dlg, QStringLiteral("李四"));
        QCOMPARE(d.dlg->NameEdit()->text(), QStringLiteral("李四"));
        QVERIFY(d.dlg->FemaleButton()->isChecked());
        QCOMPARE(d.dlg->AddressEdit()->text(), QStringLiteral("人民路1号"));
        QCOMPARE(d.dlg->ContactEdit()->text(), QStringLiteral("555"));
        QCOMPARE(d.dlg->EmailEdit()->text(), QStringLiteral("a@b.cn"));
        QCOMPARE(d.dlg->RemarkEdit()->text(), QStringLiteral("老员工"));
        // The stored password is never shown.
        QVERIFY(d.dlg->PasswordEdit()->text().isEmpty());
        QCOMPARE(d.dlg->PasswordEdit()->echoMode(), QLineEdit::Password);
        QCOMPARE(Checked(d.dlg->RightsTree()), QStringList({"票据发放", "票据管理员"}));
    }

    void choosingTheAdministratorChecksEveryRight() {
        TestDatabase t;
        AddUser(QStringLiteral("李四"), QString(), QStringLiteral("P03"));
        Dialog d;
        ClickUser(*d.dlg, QStringLiteral("李四"));
        ClickUser(*d.dlg, QString::fromUtf8(AdministratorUser));
        QCOMPARE(Checked(d.dlg->RightsTree()), AllRights(d.dlg->RightsTree()));
        // Another user afterwards shows only their own.
        ClickUser(*d.dlg, QStringLiteral("李四"));
        QCOMPARE(Checked(d.dlg->RightsTree()), QStringList({"票据发放"}));
    }

    void checkingAParentWritesParentAndDescendantCodesParentFirst() {
        TestDatabase t;
        MessageCapture messages;
        Dialog d;
        CRightsTreePane *tree = d.dlg->RightsTree();
        ClickBox(tree, QStringLiteral("修改个人密码"));
        ClickBox(tree, QStringLiteral("基础资料"));
        QCOMPARE(Checked(tree),
                 QStringList({"基础资料", "票据主类型", "票据类型", "票据管理员", "票据制造部门", "增加发放部门",
                              "增加发放人员", "删除发放部门", "删除发放人员", "修改个人密码"}));
        d.dlg->NameEdit()->setText(QStringLiteral("新会计"));
        d.dlg->PasswordEdit()->setText(QStringLiteral("kj"));
        d.dlg->SaveButton()->click();
        QCOMPARE(messages.Count(), 0);
        QCOMPARE(Cell(t, Bill_Password_Popedom, QStringLiteral("新会计")),
                 QStringLiteral("P09P10P11P12P13P14P15P16P17P22"));
    }

    void clickingTheLabelOfACheckedParentUnchecksItsDescendantsOnly() {
        TestDatabase t;
        AddUser(QStringLiteral("李四"), QString(), QStringLiteral("P01P02P03P04P05P06P07P08"));
        Dialog d;
        CRightsTreePane *tree = d.dlg->RightsTree();
        ClickUser(*d.dlg, QStringLiteral("李四"));
        ClickLabel(tree, QStringLiteral("票据管理"));
        QCOMPARE(Checked(tree), QStringList({"票据管理"}));
        // A label click on an unchecked parent checks its descendants, the parent staying unchecked.
        ClickLabel(tree, QStringLiteral("系统管理"));
        QCOMPARE(Checked(tree), QStringList({"票据管理", "权限设置", "修改个人密码"}));
        QCOMPARE(tree->BuildPopedomString(), QStringLiteral("P01P21P22"));
    }

    void newUserLogsInWithThePasswordSetHereAndNoClearPasswordIsStored() {
        TestDatabase t;
        MessageCapture messages;
        Dialog d;
        d.dlg->AddButton()->click();
        d.dlg->NameEdit()->setText(QStringLiteral("  新会计 "));
        d.dlg->FemaleButton()->setChecked(true);
        d.dlg->PasswordEdit()->setText(QStringLiteral("Pa55 word"));
        d.dlg->AddressEdit()->setText(QStringLiteral("O'Neil 路"));
        d.dlg->ContactEdit()->setText(QStringLiteral("1390000"));
        d.dlg->EmailEdit()->setText(QStringLiteral("k@x.cn"));
        d.dlg->RemarkEdit()->setText(QStringLiteral("100%"));
        ClickBox(d.dlg->RightsTree(), QStringLiteral("票据报表"));
        d.dlg->SaveButton()->click();
        QCOMPARE(messages.Count(), 0);

        const QString name = QStringLiteral("新会计");
        QCOMPARE(Accounts(t, name), 1);
        QCOMPARE(Cell(t, Bill_Password_Sex, name), QStringLiteral("1"));
        QCOMPARE(Cell(t, Bill_Password_Address, name), QStringLiteral("O'Neil 路"));
        QCOMPARE(Cell(t, Bill_Password_Remark, name), QStringLiteral("100%"));
        QCOMPARE(Cell(t, Bill_Password_Popedom, name), QStringLiteral("P19"));
        const int number = Cell(t, Bill_Password_Number, name).toInt();
        QVERIFY(number >= 0 && number <= 32767);
        const QString stored = Cell(t, Bill_Password_PWD, name);
        QVERIFY(IsPasswordHash(stored));
        QVERIFY(!stored.contains(QStringLiteral("Pa55")));
        QVERIFY(CheckLoginPassword(name, QStringLiteral("Pa55 word")));
        QVERIFY(!CheckLoginPassword(name, QStringLiteral("pa55 word")));
        // The list shows the new account.
        QVERIFY(RowOf(d.dlg->UserList(), name) >= 0);
    }

    void savingAnExistingNameAsksAndUpdatesOnYesOnly() {
        TestDatabase t;
        AddUserWithDetails(t, QStringLiteral("李四"), 0, QStringLiteral("P03"));
        t.Exec(QString::asprintf("UPDATE %s SET %s = 777 WHERE %s = '李四'", Bill_Password_Info, Bill_Password_Number,
                                 Bill_Password_User));
        MessageCapture messages;
        Dialog d;
        ClickUser(*d.dlg, QStringLiteral("李四"));
        d.dlg->AddressEdit()->setText(QStringLiteral("新地址"));
        messages.Answer(MsgAnswer::No);
        d.dlg->SaveButton()->click();
        QCOMPARE(messages.Count(), 1);
        QCOMPARE(messages.Last().text, QStringLiteral("你确定要修改李四的信息吗?"));
        QCOMPARE(messages.Last().caption, QStringLiteral("修改"));
        QCOMPARE(messages.Last().icon, MsgIcon::Question);
        QCOMPARE(messages.Last().buttons, MsgButtons::YesNo);
        QCOMPARE(Cell(t, Bill_Password_Address, QStringLiteral("李四")), QStringLiteral("人民路1号"));

        // Yes, with the password left empty: the stored one stays.
        ClickUser(*d.dlg, QStringLiteral("李四"));
        d.dlg->AddressEdit()->setText(QStringLiteral("新地址"));
        d.dlg->FemaleButton()->setChecked(true);
        ClickBox(d.dlg->RightsTree(), QStringLiteral("票据入库"));
        messages.Answer(MsgAnswer::Yes);
        d.dlg->SaveButton()->click();
        QCOMPARE(messages.Count(), 2);
        QCOMPARE(Cell(t, Bill_Password_Address, QStringLiteral("李四")), QStringLiteral("新地址"));
        QCOMPARE(Cell(t, Bill_Password_Sex, QStringLiteral("李四")), QStringLiteral("1"));
        QCOMPARE(Cell(t, Bill_Password_Popedom, QStringLiteral("李四")), QStringLiteral("P02P03"));
        QCOMPARE(Cell(t, Bill_Password_Number, QStringLiteral("李四")), QStringLiteral("777"));
        QCOMPARE(Cell(t, Bill_Password_PWD, QStringLiteral("李四")), QStringLiteral("pw"));
        QCOMPARE(Accounts(t, QStringLiteral("李四")), 1);

        // A typed password replaces it, as a hash.
        ClickUser(*d.dlg, QStringLiteral("李四"));
        d.dlg->PasswordEdit()->setText(QStringLiteral("neu"));
        messages.Answer(MsgAnswer::Yes);
        d.dlg->SaveButton()->click();
        QVERIFY(IsPasswordHash(Cell(t, Bill_Password_PWD, QStringLiteral("李四"))));
        QVERIFY(CheckLoginPassword(QStringLiteral("李四"), QStringLiteral("neu")));
    }

    void namesAreStoredTrimmedAndAnEmptyNameIsRefused() {
        TestDatabase t;
        AddUser(QStringLiteral("李四"), QStringLiteral("pw"), QString());
        MessageCapture messages;
        Dialog d;
        const int before = t.Count(QString::fromLatin1(Bill_Password_Info));
        d.dlg->NameEdit()->setText(QStringLiteral("   "));
        d.dlg->SaveButton()->click();
        QCOMPARE(messages.Count(), 1);
        QCOMPARE(messages.Last().text, QStringLiteral("请输入用户的姓名！"));
        QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);
        QCOMPARE(t.Count(QString::fromLatin1(Bill_Password_Info)), before);

        // Blanks around an existing name find that account.
        d.dlg->NameEdit()->setText(QStringLiteral(" 李四 "));
        messages.Answer(MsgAnswer::No);
        d.dlg->SaveButton()->click();
        QCOMPARE(messages.Last().text, QStringLiteral("你确定要修改李四的信息吗?"));
        QCOMPARE(t.Count(QString::fromLatin1(Bill_Password_Info)), before);
    }

    void newAccountWithoutATypedPasswordIsRefused() {
        TestDatabase t;
        AddUserWithDetails(t, QStringLiteral("李四"), 0, QStringLiteral("P03P19"));
        MessageCapture messages;
        Dialog d;
        const int before = t.Count(QString::fromLatin1(Bill_Password_Info));
        // A shown account copied under another name: the password field is empty.
        ClickUser(*d.dlg, QStringLiteral("李四"));
        QVERIFY(d.dlg->PasswordEdit()->text().isEmpty());
        d.dlg->NameEdit()->setText(QStringLiteral("王五"));
        d.dlg->SaveButton()->click();
        QCOMPARE(messages.Texts(), QStringList{QStringLiteral("新用户必须设置密码，请输入密码！")});
        QCOMPARE(messages.Last().caption, QStringLiteral("密码"));
        QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);
        QCOMPARE(t.Count(QString::fromLatin1(Bill_Password_Info)), before);
        QCOMPARE(Accounts(t, QStringLiteral("王五")), 0);

        // "增加", a name, no password: refused as well.
        messages.Clear();
        d.dlg->AddButton()->click();
        d.dlg->NameEdit()->setText(QStringLiteral("赵六"));
        d.dlg->SaveButton()->click();
        QCOMPARE(messages.Texts(), QStringList{QStringLiteral("新用户必须设置密码，请输入密码！")});
        QCOMPARE(t.Count(QString::fromLatin1(Bill_Password_Info)), before);

        // With a typed password the copy is made, rights and all; it logs in with that password only.
        messages.Clear();
        ClickUser(*d.dlg, QStringLiteral("李四"));
        d.dlg->NameEdit()->setText(QStringLiteral("王五"));
        d.dlg->PasswordEdit()->setText(QStringLiteral("wang5"));
        d.dlg->SaveButton()->click();
        QCOMPARE(messages.Count(), 0);
        QCOMPARE(Cell(t, Bill_Password_Popedom, QStringLiteral("王五")), QStringLiteral("P03P19"));
        QVERIFY(CheckLoginPassword(QStringLiteral("王五"), QStringLiteral("wang5")));
        QVERIFY(!CheckLoginPassword(QStringLiteral("王五"), QString()));
        QVERIFY(CheckLoginPassword(QStringLiteral("李四"), QStringLiteral("pw")));
    }

    void lookAlikeNamesAreOneAccount() {
        TestDatabase t;
        AddUser(QStringLiteral("clerk"), QStringLiteral("pw"), QString());
        MessageCapture messages;
        Dialog d;
        const QString administrator = QString::fromUtf8(AdministratorUser);
        const QString before = Cell(t, Bill_Password_PWD, administrator);
        const int accounts = t.Count(QString::fromLatin1(Bill_Password_Info));
        // The administrator with a zero-width space, an ideographic space or a direction mark: the
        // administrator, whom the dialog leaves alone.
        for (const QString &name : {administrator + QChar(0x200B), administrator + QChar(0x3000),
                                    QChar(0x200F) + administrator, administrator + QChar(0xFEFF)}) {
            d.dlg->AddButton()->click();
            d.dlg->NameEdit()->setText(name);
            d.dlg->PasswordEdit()->setText(QStringLiteral("x"));
            d.dlg->SaveButton()->click();
        }
        QCOMPARE(messages.Count(), 0);
        QCOMPARE(t.Count(QString::fromLatin1(Bill_Password_Info)), accounts);
        QCOMPARE(Cell(t, Bill_Password_PWD, administrator), before);

        // Full-width letters are the account "clerk".
        d.dlg->AddButton()->click();
        d.dlg->NameEdit()->setText(QStringLiteral("ｃｌｅｒｋ"));
        messages.Answer(MsgAnswer::No);
        d.dlg->SaveButton()->click();
        QCOMPARE(messages.Texts(), QStringList{QStringLiteral("你确定要修改clerk的信息吗?")});
        QCOMPARE(t.Count(QString::fromLatin1(Bill_Password_Info)), accounts);

        // A new name is stored without its invisible characters; nothing visible left is no name.
        messages.Clear();
        d.dlg->AddButton()->click();
        d.dlg->NameEdit()->setText(QStringLiteral("\u202E会计\u200D"));
        d.dlg->PasswordEdit()->setText(QStringLiteral("kj"));
        d.dlg->SaveButton()->click();
        QCOMPARE(Accounts(t, QStringLiteral("会计")), 1);
        d.dlg->AddButton()->click();
        d.dlg->NameEdit()->setText(QStringLiteral("\u200B\u2060\u3000"));
        d.dlg->PasswordEdit()->setText(QStringLiteral("kj"));
        d.dlg->SaveButton()->click();
        QCOMPARE(messages.Texts(), QStringList{QStringLiteral("请输入用户的姓名！")});
        QCOMPARE(t.Count(QString::fromLatin1(Bill_Password_Info)), accounts + 1);
    }

    void nameDifferingOnlyInCaseIsTheSameAccount() {
        TestDatabase t;
        AddUser(QStringLiteral("clerk"), QStringLiteral("pw"), QString());
        MessageCapture messages;
        Dialog d;
        d.dlg->NameEdit()->setText(QStringLiteral("CLERK"));
        messages.Answer(MsgAnswer::No);
        d.dlg->SaveButton()->click();
        QCOMPARE(messages.Texts(), QStringList{QStringLiteral("你确定要修改CLERK的信息吗?")});
        QCOMPARE(t.Count(QString::fromLatin1(Bill_Password_Info)), 2);
        QVERIFY(CheckLoginPassword(QStringLiteral("Clerk"), QStringLiteral("pw")));
    }

    void administratorCanNeitherBeEditedNorDeleted() {
        TestDatabase t;
        MessageCapture messages;
        const QString administrator = QString::fromUtf8(AdministratorUser);
        const QString before = Cell(t, Bill_Password_PWD, administrator);
        Dialog d;
        ClickUser(*d.dlg, administrator);
        d.dlg->AddressEdit()->setText(QStringLiteral("改过"));
        d.dlg->PasswordEdit()->setText(QStringLiteral("hack"));
        ClickLabel(d.dlg->RightsTree(), QStringLiteral("票据管理"));
        d.dlg->SaveButton()->click();
        d.dlg->NameEdit()->setText(QStringLiteral(" 管理员 "));
        d.dlg->SaveButton()->click();
        ClickUser(*d.dlg, administrator);
        d.dlg->DeleteButton()->click();
        QCOMPARE(messages.Count(), 0);
        QCOMPARE(Accounts(t, administrator), 1);
        QCOMPARE(Cell(t, Bill_Password_PWD, administrator), before);
        QVERIFY(Cell(t, Bill_Password_Address, administrator).isEmpty());
        QVERIFY(RowOf(d.dlg->UserList(), administrator) >= 0);
    }

    void deleteRemovesTheChosenUserAtOnce() {
        TestDatabase t;
        AddUser(QStringLiteral("李四"), QStringLiteral("pw"), QString());
        AddUser(QStringLiteral("O'Brien"), QStringLiteral("pw"), QString());
        MessageCapture messages;
        Dialog d;
        // Nothing chosen: nothing happens.
        d.dlg->UserList()->ClearSelection();
        d.dlg->DeleteButton()->click();
        QCOMPARE(t.Count(QString::fromLatin1(Bill_Password_Info)), 3);
        ClickUser(*d.dlg, QStringLiteral("O'Brien"));
        d.dlg->DeleteButton()->click();
        QCOMPARE(messages.Count(), 0);
        QCOMPARE(Accounts(t, QStringLiteral("O'Brien")), 0);
        QCOMPARE(Accounts(t, QStringLiteral("李四")), 1);
        QCOMPARE(RowOf(d.dlg->UserList(), QStringLiteral("O'Brien")), -1);
        QCOMPARE(d.dlg->UserList()->RowCount(), 2);
    }

    void addEmptiesTheFieldsAndUnchecksTheTree() {
        TestDatabase t;
        AddUserWithDetails(t, QStringLiteral("李四"), 1, QStringLiteral("P03P04"));
        Dialog d;
        ClickUser(*d.dlg, QStringLiteral("李四"));
        d.dlg->PasswordEdit()->setText(QStringLiteral("x"));
        d.dlg->AddButton()->click();
        for (QLineEdit *field : {d.dlg->NameEdit(), d.dlg->PasswordEdit(), d.dlg->AddressEdit(), d.dlg->ContactEdit(),
                                 d.dlg->EmailEdit(), d.dlg->RemarkEdit()})
            QVERIFY(field->text().isEmpty());
        QVERIFY(Checked(d.dlg->RightsTree()).isEmpty());
        // Nothing was written.
        QCOMPARE(Cell(t, Bill_Password_Popedom, QStringLiteral("李四")), QStringLiteral("P03P04"));
    }

    void refusedWritesAreReportedAndChangeNothing() {
        TestDatabase t;
        AddUser(QStringLiteral("李四"), QStringLiteral("pw"), QStringLiteral("P03"));
        t.Exec(QString::asprintf("CREATE TRIGGER refuse_insert BEFORE INSERT ON %s BEGIN SELECT RAISE(ABORT, "
                                 "'写入被拒绝'); END",
                                 Bill_Password_Info));
        t.Exec(QString::asprintf("CREATE TRIGGER refuse_delete BEFORE DELETE ON %s BEGIN SELECT RAISE(ABORT, "
                                 "'删除被拒绝'); END",
                                 Bill_Password_Info));
        MessageCapture messages;
        Dialog d;
        d.dlg->NameEdit()->setText(QStringLiteral("新会计"));
        d.dlg->PasswordEdit()->setText(QStringLiteral("kj"));
        QVERIFY(!d.dlg->SaveUser(QStringLiteral("P02")));
        QCOMPARE(messages.Count(), 1);
        QVERIFY(messages.Last().text.contains(QStringLiteral("写入被拒绝")));
        QCOMPARE(messages.Last().caption, ApplicationTitle());
        QCOMPARE(Accounts(t, QStringLiteral("新会计")), 0);

        ClickUser(*d.dlg, QStringLiteral("李四"));
        d.dlg->DeleteButton()->click();
        QCOMPARE(messages.Count(), 2);
        QVERIFY(messages.Last().text.contains(QStringLiteral("删除被拒绝")));
        QCOMPARE(Accounts(t, QStringLiteral("李四")), 1);
        QVERIFY(RowOf(d.dlg->UserList(), QStringLiteral("李四")) >= 0);
    }

    void rightsStringKeepsCodesOutForRightsWithoutCode() {
        TestDatabase t;
        t.Exec(QString::asprintf("INSERT INTO %s (%s,%s,%s) VALUES (20,9,'无代码权限')", Bill_Popedom_Tree_Info,
                                 Bill_Popedom_Tree_ParentID, Bill_Popedom_Tree_InNum, Bill_Popedom_Tree_Name));
        AddUser(QStringLiteral("李四"), QString(), QStringLiteral("-FF"));
        Dialog d;
        ClickUser(*d.dlg, QStringLiteral("李四"));
        QVERIFY(Checked(d.dlg->RightsTree()).isEmpty());
        ClickBox(d.dlg->RightsTree(), QStringLiteral("系统管理"));
        QCOMPARE(Checked(d.dlg->RightsTree()), QStringList({"系统管理", "权限设置", "修改个人密码", "无代码权限"}));
        QCOMPARE(d.dlg->RightsTree()->BuildPopedomString(), QStringLiteral("P20P21P22"));
    }
};

QTEST_MAIN(AccountsTest)
#include "tst_accounts.moc"
