#include "app/Dialect.h"
#include "mainwindow/MainDlg.h"
#include "masterdata/DeleteCommands.h"
#include "schema/Schema.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

#include <QTreeWidget>
#include <QtTest>

using namespace schema;

namespace {

QString Eq(const char *column, const QString &value) {
    return QString::asprintf("%s = %s", column, qUtf8Printable(QuoteText(value)));
}

// Two departments with their recipients and one issued run that names a department and recipient.
void AddDepartmentsAndRun() {
    AddDepartment("财务科");
    AddDepartment("办公室");
    AddBroker("李四", "财务科");
    AddBroker("王五", "财务科");
    AddBroker("赵六", "办公室");
    const KindSpec receipt{"收据", "行政事业", "A", "", 8, 10, 2.0, false};
    AddKind(receipt);
    AddStockRun(receipt, 1);
    TheDatabase().ExecuteStatement(QString::asprintf("UPDATE %s SET %s = '%s', %s = '财务科', %s = '李四'", Bill_Info,
                                                     Bill_Flag, FlagIssued, Bill_Issue_Dept, Bill_Issue_Broker));
}

// The main window as it stands after logging in, showing the department view.
struct LoggedIn {
    explicit LoggedIn(const QString &user) {
        main.Permissions().LoadPermissionTable();
        main.SetCurrentUser(user);
        main.LoadUserRights();
        main.ShowDepartmentViewAgain();
    }
    QTreeWidget *Tree() { return main.Tree(); }
    QTreeWidgetItem *Department(const QString &name) {
        const QList<QTreeWidgetItem *> found = Tree()->findItems(name, Qt::MatchExactly);
        return found.value(0);
    }
    QStringList TopLevelTexts() {
        QStringList texts;
        for (int i = 0; i < Tree()->topLevelItemCount(); ++i)
            texts << Tree()->topLevelItem(i)->text(0);
        return texts;
    }
    CMainDlg main;
};

} // namespace

class DeleteCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void deletingDepartmentTakesItsRecipientsAndKeepsRunNames();
    void answeringNoKeepsTheDepartment();
    void recipientIsNoDepartmentToDelete();
    void departmentIsNoRecipientToDelete();
    void deletingRecipientRemovesOnlyItsItem();
    void withoutSelectionNothingHappens();
    void inRepositoryViewNothingHappens();
    void refusedRightShowsOnlyTheRefusal();
    void failedDeleteKeepsStoreAndTree();
};

void DeleteCommandsTest::deletingDepartmentTakesItsRecipientsAndKeepsRunNames() {
    TestDatabase t;
    MessageCapture messages;
    AddDepartmentsAndRun();
    LoggedIn w(AdministratorUser);
    QCOMPARE(w.TopLevelTexts(), (QStringList{"财务科", "办公室"}));
    w.Tree()->setCurrentItem(w.Department("财务科"));
    DeleteDeptCommand(w.main);
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().text,
             QStringLiteral("\n删除领票部门：\n\n   当部门 '财务科' 被删除时，其所属的领票人也将被同时"
                            "删除，\n你确定要删除 '财务科' 吗?\n\n"));
    QCOMPARE(messages.Last().caption, QStringLiteral("删除"));
    QCOMPARE(messages.Last().icon, MsgIcon::Question);
    QCOMPARE(messages.Last().buttons, MsgButtons::YesNo);
    QCOMPARE(t.Count(Bill_Dept_Info), 1);
    QCOMPARE(t.Count(Bill_Broker_Info), 1);
    QCOMPARE(t.Count(Bill_Broker_Info, Eq(Bill_Broker_Name, "赵六")), 1);
    QCOMPARE(t.Count(Bill_Info, Eq(Bill_Issue_Dept, "财务科") + " AND " + Eq(Bill_Issue_Broker, "李四")), 1);
    QCOMPARE(w.TopLevelTexts(), QStringList{"办公室"});
    QCOMPARE(w.Department("办公室")->childCount(), 1);
}

void DeleteCommandsTest::answeringNoKeepsTheDepartment() {
    TestDatabase t;
    MessageCapture messages;
    AddDepartmentsAndRun();
    LoggedIn w(AdministratorUser);
    w.Tree()->setCurrentItem(w.Department("财务科"));
    messages.Answer(MsgAnswer::No);
    DeleteDeptCommand(w.main);
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(t.Count(Bill_Dept_Info), 2);
    QCOMPARE(t.Count(Bill_Broker_Info), 3);
    QCOMPARE(w.TopLevelTexts(), (QStringList{"财务科", "办公室"}));
    QCOMPARE(w.Department("财务科")->childCount(), 2);
}

void DeleteCommandsTest::recipientIsNoDepartmentToDelete() {
    TestDatabase t;
    MessageCapture messages;
    AddDepartmentsAndRun();
    LoggedIn w(AdministratorUser);
    w.Tree()->setCurrentItem(w.Department("财务科")->child(0));
    DeleteDeptCommand(w.main);
    QCOMPARE(messages.Texts(), QStringList{"李四 不是部门，请选择你要删除的部门!"});
    QCOMPARE(messages.Last().caption, QStringLiteral("请选择部门"));
    QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);
    QCOMPARE(t.Count(Bill_Broker_Info), 3);
    QCOMPARE(t.Count(Bill_Dept_Info), 2);
}

void DeleteCommandsTest::departmentIsNoRecipientToDelete() {
    TestDatabase t;
    MessageCapture messages;
    AddDepartmentsAndRun();
    LoggedIn w(AdministratorUser);
    w.Tree()->setCurrentItem(w.Department("办公室"));
    DeleteBrokerCommand(w.main);
    QCOMPARE(messages.Texts(), QStringList{"办公室 不是领票人，请选择你要删除的领票人!"});
    QCOMPARE(messages.Last().caption, QStringLiteral("请选择领票人"));
    QCOMPARE(t.Count(Bill_Dept_Info), 2);
}

void DeleteCommandsTest::deletingRecipientRemovesOnlyItsItem() {
    TestDatabase t;
    MessageCapture messages;
    AddDepartmentsAndRun();
    LoggedIn w(AdministratorUser);
    w.Tree()->setCurrentItem(w.Department("财务科")->child(0));
    DeleteBrokerCommand(w.main);
    QCOMPARE(messages.Texts(), QStringList{"\n删除领票人:\n\n领票人 '李四' 将被删除，你确定要删除 '李四' 吗?\n\n"});
    QCOMPARE(messages.Last().caption, QStringLiteral("删除"));
    QCOMPARE(t.Count(Bill_Broker_Info), 2);
    QCOMPARE(t.Count(Bill_Broker_Info, Eq(Bill_Broker_Name, "李四")), 0);
    QCOMPARE(t.Count(Bill_Info, Eq(Bill_Issue_Broker, "李四")), 1);
    QTreeWidgetItem *finance = w.Department("财务科");
    QCOMPARE(finance->childCount(), 1);
    QCOMPARE(finance->child(0)->text(0), QStringLiteral("王五"));
}

void DeleteCommandsTest::withoutSelectionNothingHappens() {
    TestDatabase t;
    MessageCapture messages;
    AddDepartmentsAndRun();
    LoggedIn w(AdministratorUser);
    w.Tree()->setCurrentItem(nullptr);
    w.Tree()->clearSelection();
    DeleteDeptCommand(w.main);
    DeleteBrokerCommand(w.main);
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(t.Count(Bill_Dept_Info), 2);
    QCOMPARE(t.Count(Bill_Broker_Info), 3);
}

void DeleteCommandsTest::inRepositoryViewNothingHappens() {
    TestDatabase t;
    MessageCapture messages;
    AddDepartmentsAndRun();
    LoggedIn w(AdministratorUser);
    w.main.ShowRepositoryView();
    QCOMPARE(w.main.ViewMode(), int(CMainDlg::RepositoryViewMode));
    w.Tree()->setCurrentItem(w.Tree()->topLevelItem(0)); // the kind, image 1 like a recipient
    DeleteBrokerCommand(w.main);
    DeleteDeptCommand(w.main);
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(t.Count(Bill_Broker_Info), 3);
    QCOMPARE(t.Count(Bill_Dept_Info), 2);
}

void DeleteCommandsTest::refusedRightShowsOnlyTheRefusal() {
    TestDatabase t;
    MessageCapture messages;
    AddDepartmentsAndRun();
    AddUser("出纳", "pw", "");
    LoggedIn w("出纳");
    w.Tree()->setCurrentItem(w.Department("财务科"));
    DeleteDeptCommand(w.main);
    w.Tree()->setCurrentItem(w.Department("财务科")->child(0));
    DeleteBrokerCommand(w.main);
    QCOMPARE(messages.Texts(), (QStringList{"您没有权限进行该项操作，想要取得该项操作的权限，请与管理员联系!",
                                            "您没有权限进行该项操作，想要取得该项操作的权限，请与管理员联系!"}));
    QCOMPARE(t.Count(Bill_Dept_Info), 2);
    QCOMPARE(t.Count(Bill_Broker_Info), 3);
    QCOMPARE(w.TopLevelTexts(), (QStringList{"财务科", "办公室"}));
}

void DeleteCommandsTest::failedDeleteKeepsStoreAndTree() {
    TestDatabase t;
    MessageCapture messages;
    AddDepartmentsAndRun();
    t.RefuseChanges("refuse", "DELETE", Bill_Dept_Info, "refused");
    LoggedIn w(AdministratorUser);
    w.Tree()->setCurrentItem(w.Department("财务科"));
    DeleteDeptCommand(w.main);
    QCOMPARE(messages.Count(), 2);
    QCOMPARE(messages.Last().caption, ApplicationTitle());
    QCOMPARE(t.Count(Bill_Dept_Info), 2);
    QCOMPARE(t.Count(Bill_Broker_Info), 3);
    QCOMPARE(w.TopLevelTexts(), (QStringList{"财务科", "办公室"}));
    QCOMPARE(w.Department("财务科")->childCount(), 2);
}

QTEST_MAIN(DeleteCommandsTest)
#include "tst_deletecommands.moc"
