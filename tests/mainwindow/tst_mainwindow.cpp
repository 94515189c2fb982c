#include "app/BillApp.h"
#include "app/LoginDlg.h"
#include "lists/QueryListCtrl.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/MainDlg.h"
#include "reports/PrintEngine.h"
#include "reports/TableNameDlg.h"
#include "schema/Schema.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPrinter>
#include <QProcess>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using namespace schema;

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void dialogCommandsOpenTheirDialogs();
    // Start-up and login.
    void cancelledLoginEndsInitialisationWithoutShowingTheWindow();
    void successfulLoginLoadsRightsAndShowsTheDepartmentView();
    void cancelledLoginCommandKeepsUserAndRights();

    // Commands.
    void menusHoldTheirItemsInOrder();
    void refusedCommandShowsOnlyTheRefusal();
    void commandWithoutHandlerIsGrayedAndDoesNothing();
    void trayCommandRunsTheHandlerOfItsMenuItem();
    void menuOneGraysIssueOrReturnByView();
    void issueAndReturnRunOnlyInTheirView();
    void menuTwoGraysRowCommandsWithoutSelection();
    void menuThreeChecksTheViewShown();
    void openMenuClosesWhenAnotherBarButtonIsPressed();

    // Views.
    void departmentTreeListsRecipientsUnderTheirDepartment();
    void recipientsOfTwoSameNamedDepartmentsGoUnderTheFirst();
    void recipientWhoseDepartmentIsGoneIsLeftOut();
    void viewsStartWithTheirEmptyLists();
    void doubleClickOnRecipientListsTheRunsItHolds();
    void doubleClickOnDepartmentListsTheRunsOfItsRecipients();
    void doubleClickOnKindListsItsStockInNumberOrder();
    void doubleClickOnKindWithoutStockShowsTitlesOnly();
    void doubleClickOnEmptySpaceChangesNothing();
    void choosingTheViewShownKeepsTreeAndList();
    void departmentViewAgainAndRebuildFollowTheirView();
    void selectedTreeItemGivesTextAndImage();

    // Other clerks' work.
    void refreshShowsOtherClerksWorkAndKeepsTheChosenItem();
    void refreshRunsFromF5AndFromItsButtonBesideTheViews();
    void viewIsReadAgainAfterEveryCommandThatMayChangeTheBooks();
    void othersChangesAreShownUntilTheViewsAreReadAgain();
    void rightRevokedElsewhereIsRefusedAtTheNextCommand();
    void deletedAccountIsToldAndLoggedOut();
    void deletedAccountThatNobodyReplacesEndsTheProgram();

    // The window's own commands.
    void rowCountTellsTheNumberOfRows();
    void exitAsksAndOnlyYesEnds();
    void extractKeepsTheSelectedRows();
    void removeSelectedRowsLeavesTheStoreAlone();
    void findUsesTheColumnChosenFromTheMenu();
    void printAsksForTheTableName();
    void windowIsDraggedOnlyByTheTopBand();

    // What the clerk sees and prints.
    void repositoryListShowsAndPrintsEveryColumnWhole();
    void departmentsOpenWithTheirRecipients();
    void kindsOfTheTreeCarryADrawnIcon();
    void rowCountBoxCarriesTheInformationIcon();
};

namespace {

const KindSpec FixedKind{QStringLiteral("行政收费票据"),
                         QStringLiteral("行政事业性收费"),
                         QStringLiteral("XZ"),
                         QString(),
                         8,
                         50,
                         1.0,
                         false};
const KindSpec FundKind{
    QStringLiteral("基金票据"), QStringLiteral("政府性基金"), QStringLiteral("JJ"), QString(), 8, 100, 2.5, false};

// A main window for a logged-in user, in department view, without the login dialog.
struct Window {
    explicit Window(const QString &user = QString::fromUtf8(AdministratorUser)) {
        dlg.SetCurrentUser(user);
        dlg.Permissions().LoadPermissionTable();
        dlg.LoadUserRights();
        dlg.ShowDepartmentViewAgain();
    }
    CMainDlg dlg;
};

QStringList Titles(CMainDlg &dlg) {
    return dlg.MainList()->GetHeaderTitles();
}

QStringList Column(CMainDlg &dlg, const QString &title) {
    CQueryListCtrl *list = dlg.MainList();
    const int column = list->ColumnIndexOfTitle(title);
    QStringList texts;
    for (int row = 0; row < list->RowCount(); ++row)
        texts << list->GetItemText(row, column);
    return texts;
}

QStringList TopLevelTexts(QTreeWidget *tree) {
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts << tree->topLevelItem(i)->text(0);
    return texts;
}

QStringList ChildTexts(QTreeWidgetItem *item) {
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i)
        texts << item->child(i)->text(0);
    return texts;
}

QTreeWidgetItem *TopItem(CMainDlg &dlg, const QString &text) {
    const QList<QTreeWidgetItem *> found = dlg.Tree()->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

QTreeWidgetItem *ChildItem(CMainDlg &dlg, const QString &department, const QString &recipient) {
    QTreeWidgetItem *parent = TopItem(dlg, department);
    for (int i = 0; parent && i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == recipient)
            return parent->child(i);
    return nullptr;
}

// Moves a stock run out to a recipient, as an issue does.
void IssueRun(TestDatabase &t, const QString &begin, const QString &department, const QString &recipient) {
    t.Exec(QString::asprintf("UPDATE %s SET %s = '%s', %s = '%s', %s = '%s', %s = '2026-1-8 10:0:0', %s = '周主任' "
                             "WHERE %s = '%s'",
                             Bill_Info, Bill_Flag, FlagIssued, Bill_Issue_Dept, qUtf8Printable(department),
                             Bill_Issue_Broker, qUtf8Printable(recipient), Bill_Issue_Time, Bill_Issue_Manager,
                             Bill_Begin_Char, qUtf8Printable(begin)));
}

// Three runs of one kind in stock, listed in the repository view.
void ShowThreeStockRuns(Window &w) {
    AddKind(FixedKind);
    AddStockRun(FixedKind, 1);
    AddStockRun(FixedKind, 51);
    AddStockRun(FixedKind, 101);
    w.dlg.RunCommand(cmd::RepositoryView);
    w.dlg.OnTreeDoubleClick(TopItem(w.dlg, FixedKind.name));
    QCOMPARE(w.dlg.MainList()->RowCount(), 3);
}

// Runs the steps one after another whenever a pop-up menu is open, from inside its own loop.
class PopupScript : public QObject {
public:
    explicit PopupScript(QList<std::function<void(QMenu *)>> steps) : m_steps(std::move(steps)) {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu || m_done >= m_steps.size() || menu == m_last)
                return;
            m_last = menu;
            // A menu made afresh for each opening may reuse the address of the one before.
            connect(menu, &QMenu::aboutToHide, this, [this] { m_last = nullptr; });
            m_steps.at(m_done++)(menu);
        });
        m_timer.start();
    }
    bool Finished() const { return m_done == m_steps.size() && !QApplication::activePopupWidget(); }

private:
    QList<std::function<void(QMenu *)>> m_steps;
    QTimer m_timer;
    int m_done = 0;
    QMenu *m_last = nullptr;
};

QStringList ActionTexts(QMenu *menu) {
    QStringList texts;
    for (QAction *action : menu->actions())
        texts << action->text();
    return texts;
}

} // namespace

// --- Start-up and login ----------------------------------------------------------------------------

void MainWindowTest::cancelledLoginEndsInitialisationWithoutShowingTheWindow() {
    TestDatabase t;
    MessageCapture messages;
    CMainDlg dlg;
    dlg.SetLoginRunner([](QWidget *, QString &user) {
        user.clear();
        return int(CLoginDlg::LoginFailed);
    });
    QVERIFY(!dlg.Initialise());
    QVERIFY(!dlg.isVisible());
    QVERIFY(dlg.CurrentUser().isEmpty());
    QCOMPARE(messages.Count(), 0);
}

void MainWindowTest::successfulLoginLoadsRightsAndShowsTheDepartmentView() {
    TestDatabase t;
    AddUser(QStringLiteral("张三"), QStringLiteral("pw"), QStringLiteral("P02P05"));
    AddDepartment(QStringLiteral("财务科"));
    CMainDlg dlg;
    dlg.SetLoginRunner([](QWidget *, QString &user) {
        user = QStringLiteral("张三");
        return int(CLoginDlg::LoginSucceeded);
    });
    QVERIFY(dlg.Initialise());
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Pelorvanide"));
    QCOMPARE(dlg.CurrentUser(), QStringLiteral("张三"));
    QCOMPARE(dlg.Permissions().Rights(), QStringLiteral("P02P05"));
    QCOMPARE(dlg.Permissions().Codes().size(), 25);
    QCOMPARE(dlg.ViewMode(), 0);
    QCOMPARE(TopLevelTexts(dlg.Tree()), QStringList{QStringLiteral("财务科")});
    QCOMPARE(dlg.MainList()->ColumnCount(), 8);
}

void MainWindowTest::cancelledLoginCommandKeepsUserAndRights() {
    TestDatabase t;
    AddUser(QStringLiteral("张三"), QStringLiteral("pw"), QStringLiteral("P02"));
    AddUser(QStringLiteral("李四"), QStringLiteral("pw"), QStringLiteral("P03"));
    Window w(QStringLiteral("张三"));
    w.dlg.SetLoginRunner([](QWidget *, QString &user) {
        user.clear();
        return int(CLoginDlg::LoginFailed);
    });
    w.dlg.RunCommand(cmd::Login);
    QCOMPARE(w.dlg.CurrentUser(), QStringLiteral("张三"));
    QCOMPARE(w.dlg.Permissions().Rights(), QStringLiteral("P02"));

    w.dlg.SetLoginRunner([](QWidget *, QString &user) {
        user = QStringLiteral("李四");
        return int(CLoginDlg::LoginSucceeded);
    });
    w.dlg.RunCommand(cmd::Login);
    QCOMPARE(w.dlg.CurrentUser(), QStringLiteral("李四"));
    QCOMPARE(w.dlg.Permissions().Rights(), QStringLiteral("P03"));
}

// --- Commands ----------------------------------------------------------------------------------------

void MainWindowTest::menusHoldTheirItemsInOrder() {
    TestDatabase t;
    Window w;
    const QList<QStringList> expected = {
        {QStringLiteral("票据入库(&I)   "), QStringLiteral("票据发放(&O)"), QStringLiteral("票据回收(&R)"), QString(),
         QStringLiteral("票据报表(&P)"), QStringLiteral("打印"), QStringLiteral("导出"), QString(),
         QStringLiteral("用户登录"), QStringLiteral("权限管理"), QString(), QStringLiteral("退出(&X)")},
        {QStringLiteral("票据索引(&S)   "), QStringLiteral("票据搜索(&F)"), QStringLiteral("票据粹取(&R)"), QString(),
         QStringLiteral("票据删除(&D)"), QStringLiteral("票据作废(&I)"), QStringLiteral("强制操作(&K)"),
         QStringLiteral("出入库管理"), QStringLiteral("票据追踪"), QString(), QStringLiteral("操作日志"),
         QStringLiteral("日志校验"), QStringLiteral("票据稽核")},
        {QStringLiteral("部门视图(&O)"), QStringLiteral("仓库视图(&R)"), QStringLiteral("概览(&G)"), QString(),
         QStringLiteral("刷新(&F)\tF5")},
        {QStringLiteral("票据主类型(&M)"), QStringLiteral("票据类型(&K)"), QStringLiteral("票据管理员(&E)"),
         QStringLiteral("票据制造部门"), QString(), QStringLiteral("增加发放部门(&A)"),
         QStringLiteral("增加发放人员(&I)"), QStringLiteral("删除发放部门(&D)"), QStringLiteral("删除发放人员(&O)"),
         QString(), QStringLiteral("修改个人密码")},
        {QStringLiteral("帮助(&H)          "), QString(), QStringLiteral("当前版本(&V)"), QString(),
         QStringLiteral("关于作者(&A)")},
    };
    for (int menu = 1; menu <= 5; ++menu)
        QCOMPARE(ActionTexts(w.dlg.BarMenu(menu)), expected.at(menu - 1));
    // Exit is the last item of its menu and of the tray's.
    QCOMPARE(w.dlg.BarMenu(1)->actions().last(), w.dlg.CommandAction(cmd::Exit));
    QCOMPARE(TrayMenuItems().last(), int(cmd::TrayExit));
    QCOMPARE(w.dlg.CommandAction(cmd::Delete)->data().toInt(), 32785);
}

void MainWindowTest::refusedCommandShowsOnlyTheRefusal() {
    TestDatabase t;
    AddUser(QStringLiteral("张三"), QString(), QStringLiteral("P01P02"));
    MessageCapture messages;
    Window w(QStringLiteral("张三"));
    int confirmations = 0;
    w.dlg.SetCommandHandler(cmd::Delete, [&] {
        ++confirmations;
        ShowMessage(QStringLiteral("确定删除?"), QStringLiteral("警告"), MsgIcon::Question, MsgButtons::YesNo);
    });
    w.dlg.RunCommand(cmd::Delete);
    QCOMPARE(confirmations, 0);
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().text, QStringLiteral("您没有权限进行该项操作，想要取得该项操作的权限，请与管理员联系!"));
    QCOMPARE(messages.Last().caption, QStringLiteral("权限"));
    QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);

    // With the right the same command goes ahead.
    t.Exec(QString::asprintf("UPDATE %s SET %s = 'P01P02P05' WHERE %s = '张三'", Bill_Password_Info,
                             Bill_Password_Popedom, Bill_Password_User));
    w.dlg.LoadUserRights();
    messages.Clear();
    w.dlg.RunCommand(cmd::Delete);
    QCOMPARE(confirmations, 1);
    QCOMPARE(messages.Texts(), QStringList{QStringLiteral("确定删除?")});
}

// Runs the command and returns the caption of the modal dialog it opened, which is closed at once.
QString CaptionOfDialogOpenedBy(CMainDlg &dlg, int id) {
    QString caption;
    QTimer::singleShot(0, [&caption] {
        if (auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            caption = modal->windowTitle();
            modal->reject();
        }
    });
    dlg.RunCommand(id);
    QCoreApplication::processEvents(); // the timer runs here when no dialog was opened
    return caption;
}

void MainWindowTest::dialogCommandsOpenTheirDialogs() {
    TestDatabase t;
    MessageCapture messages;
    Window w;
    const std::pair<int, const char *> commands[] = {
        {cmd::StockIn, "票据入库"},        {cmd::TrayStockIn, "票据入库"},
        {cmd::Return, "票据回收"},         {cmd::MainKind, "票据主类型"},
        {cmd::Kind, "票据类型"},           {cmd::Manager, "票据管理员"},
        {cmd::Maker, "票据制作部门"},      {cmd::AddDepartment, "增加部门"},
        {cmd::AddRecipient, "增加领票人"}, {cmd::Search, "票据搜索"},
        {cmd::Index, "多重索引"},          {cmd::Rights, "权限管理"},
        {cmd::Password, "设置密码"},       {cmd::Report, "报表"},
        {cmd::TrayReport, "报表"}};
    for (auto [id, caption] : commands)
        QCOMPARE(CaptionOfDialogOpenedBy(w.dlg, id), QString::fromUtf8(caption));
    // Issue runs only in the repository view.
    QCOMPARE(CaptionOfDialogOpenedBy(w.dlg, cmd::Issue), QString());
    w.dlg.ShowRepositoryView();
    QCOMPARE(CaptionOfDialogOpenedBy(w.dlg, cmd::Issue), QStringLiteral("票据发放"));
    QCOMPARE(messages.Count(), 0);
}

void MainWindowTest::commandWithoutHandlerIsGrayedAndDoesNothing() {
    TestDatabase t;
    MessageCapture messages;
    Window w;
    w.dlg.SetCommandHandler(cmd::Search, {});
    w.dlg.SetCommandHandler(cmd::Report, {});
    QAction *search = w.dlg.CommandAction(cmd::Search);
    QVERIFY(search);
    QVERIFY(search->isVisible());
    QVERIFY(!search->isEnabled());
    auto *reportButton = w.dlg.findChild<QToolButton *>(QStringLiteral("button1034"));
    QVERIFY(reportButton && !reportButton->isEnabled());
    w.dlg.RunCommand(cmd::Search);
    w.dlg.RunCommand(cmd::Report);
    QCOMPARE(messages.Count(), 0);

    int runs = 0;
    w.dlg.SetCommandHandler(cmd::Report, [&] { ++runs; });
    QVERIFY(reportButton->isEnabled());
    QVERIFY(w.dlg.CommandAction(cmd::Report)->isEnabled());
    reportButton->click();
    QCOMPARE(runs, 1);

    // The window's own commands and the stock and master-data dialogs are there from the start.
    for (int id : {int(cmd::Print), int(cmd::Login), int(cmd::Exit), int(cmd::DepartmentView), int(cmd::RepositoryView),
                   int(cmd::Extract), int(cmd::StockIn), int(cmd::Issue), int(cmd::Return), int(cmd::MainKind),
                   int(cmd::Kind), int(cmd::Manager), int(cmd::Maker), int(cmd::AddDepartment), int(cmd::AddRecipient),
                   int(cmd::DeleteDepartment), int(cmd::DeleteRecipient)})
        QVERIFY2(w.dlg.HasCommandHandler(id), qPrintable(QString::number(id)));
}

void MainWindowTest::trayCommandRunsTheHandlerOfItsMenuItem() {
    TestDatabase t;
    AddUser(QStringLiteral("张三"), QString(), QString());
    MessageCapture messages;
    Window w(QStringLiteral("张三"));
    int runs = 0;
    w.dlg.SetCommandHandler(cmd::StockIn, [&] { ++runs; });
    w.dlg.RunCommand(cmd::TrayStockIn);
    QCOMPARE(runs, 0);
    QCOMPARE(messages.Count(), 1);
    w.dlg.SetCurrentUser(QString::fromUtf8(AdministratorUser));
    w.dlg.RunCommand(cmd::TrayStockIn);
    w.dlg.RunCommand(cmd::StockIn);
    QCOMPARE(runs, 2);
}

void MainWindowTest::menuOneGraysIssueOrReturnByView() {
    TestDatabase t;
    Window w;
    w.dlg.show();
    w.dlg.SetCommandHandler(cmd::Issue, [] {});
    w.dlg.SetCommandHandler(cmd::Return, [] {});
    bool issueEnabled = true;
    bool returnEnabled = false;
    PopupScript script({[&](QMenu *menu) {
        QCOMPARE(menu, w.dlg.BarMenu(1));
        issueEnabled = w.dlg.CommandAction(cmd::Issue)->isEnabled();
        returnEnabled = w.dlg.CommandAction(cmd::Return)->isEnabled();
        menu->close();
    }});
    w.dlg.BarButton(1)->click();
    QTRY_VERIFY(script.Finished());
    QVERIFY(!issueEnabled);
    QVERIFY(returnEnabled);

    w.dlg.RunCommand(cmd::RepositoryView);
    w.dlg.UpdateMenuState(1);
    QVERIFY(w.dlg.CommandAction(cmd::Issue)->isEnabled());
    QVERIFY(!w.dlg.CommandAction(cmd::Return)->isEnabled());
    // The buttons under the list are not grayed by the view.
    QVERIFY(w.dlg.findChild<QToolButton *>(QStringLiteral("button1036"))->isEnabled());
}

void MainWindowTest::issueAndReturnRunOnlyInTheirView() {
    TestDatabase t;
    MessageCapture messages;
    Window w;
    QStringList ran;
    w.dlg.SetCommandHandler(cmd::Issue, [&] { ran << QStringLiteral("issue"); });
    w.dlg.SetCommandHandler(cmd::Return, [&] { ran << QStringLiteral("return"); });
    w.dlg.findChild<QToolButton *>(QStringLiteral("button1035"))->click();
    w.dlg.RunCommand(cmd::Return);
    QCOMPARE(ran, QStringList{QStringLiteral("return")});
    w.dlg.RunCommand(cmd::RepositoryView);
    w.dlg.RunCommand(cmd::Return);
    w.dlg.findChild<QToolButton *>(QStringLiteral("button1035"))->click();
    QCOMPARE(ran, (QStringList{QStringLiteral("return"), QStringLiteral("issue")}));
    QCOMPARE(messages.Count(), 0);
}

void MainWindowTest::menuTwoGraysRowCommandsWithoutSelection() {
    TestDatabase t;
    Window w;
    w.dlg.SetCommandHandler(cmd::Delete, [] {});
    w.dlg.SetCommandHandler(cmd::Void, [] {});
    ShowThreeStockRuns(w);
    w.dlg.MainList()->ClearSelection();
    w.dlg.UpdateMenuState(2);
    for (int id : {int(cmd::Extract), int(cmd::Delete), int(cmd::Void)})
        QVERIFY(!w.dlg.CommandAction(id)->isEnabled());
    w.dlg.MainList()->SelectRow(1);
    w.dlg.UpdateMenuState(2);
    for (int id : {int(cmd::Extract), int(cmd::Delete), int(cmd::Void)})
        QVERIFY(w.dlg.CommandAction(id)->isEnabled());
}

void MainWindowTest::menuThreeChecksTheViewShown() {
    TestDatabase t;
    Window w;
    w.dlg.UpdateMenuState(3);
    QVERIFY(w.dlg.CommandAction(cmd::DepartmentView)->isChecked());
    QVERIFY(!w.dlg.CommandAction(cmd::RepositoryView)->isChecked());
    w.dlg.RunCommand(cmd::RepositoryView);
    w.dlg.UpdateMenuState(3);
    QVERIFY(!w.dlg.CommandAction(cmd::DepartmentView)->isChecked());
    QVERIFY(w.dlg.CommandAction(cmd::RepositoryView)->isChecked());
}

void MainWindowTest::openMenuClosesWhenAnotherBarButtonIsPressed() {
    TestDatabase t;
    CMainDlg dlg;
    dlg.SetLoginRunner([](QWidget *, QString &user) {
        user = QString::fromUtf8(AdministratorUser);
        return int(CLoginDlg::LoginSucceeded);
    });
    QVERIFY(dlg.Initialise());
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QList<QMenu *> opened;
    PopupScript script({[&](QMenu *menu) {
                            opened << menu;
                            // A press on the second bar button while the first menu is open.
                            QToolButton *second = dlg.BarButton(2);
                            const QPoint global = second->mapToGlobal(second->rect().center());
                            QMouseEvent press(QEvent::MouseButtonPress, menu->mapFromGlobal(global), global,
                                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
                            QApplication::sendEvent(menu, &press);
                        },
                        [&](QMenu *menu) {
                            opened << menu;
                            QVERIFY(!dlg.BarMenu(1)->isVisible());
                            menu->close();
                        }});
    dlg.BarButton(1)->click();
    QTRY_VERIFY(script.Finished());
    QCOMPARE(opened, (QList<QMenu *>{dlg.BarMenu(1), dlg.BarMenu(2)}));
}

// --- Views -----------------------------------------------------------------------------------------

void MainWindowTest::departmentTreeListsRecipientsUnderTheirDepartment() {
    TestDatabase t;
    AddDepartment(QStringLiteral("征收科"));
    AddDepartment(QStringLiteral("财务科"));
    AddBroker(QStringLiteral("张三"), QStringLiteral("财务科"));
    AddBroker(QStringLiteral("李四"), QStringLiteral("征收科"));
    AddBroker(QStringLiteral("王五"), QStringLiteral("财务科"));
    Window w;
    QCOMPARE(TopLevelTexts(w.dlg.Tree()), (QStringList{QStringLiteral("征收科"), QStringLiteral("财务科")}));
    QCOMPARE(ChildTexts(TopItem(w.dlg, QStringLiteral("征收科"))), QStringList{QStringLiteral("李四")});
    QCOMPARE(ChildTexts(TopItem(w.dlg, QStringLiteral("财务科"))),
             (QStringList{QStringLiteral("张三"), QStringLiteral("王五")}));
}

void MainWindowTest::recipientsOfTwoSameNamedDepartmentsGoUnderTheFirst() {
    TestDatabase t;
    AddDepartment(QStringLiteral("财务科"));
    AddDepartment(QStringLiteral("征收科"));
    AddDepartment(QStringLiteral("财务科"));
    AddBroker(QStringLiteral("张三"), QStringLiteral("财务科"));
    t.Exec(QString::asprintf("INSERT INTO %s (%s,%s) VALUES ('李四', 3)", Bill_Broker_Info, Bill_Broker_Name,
                             Bill_Broker_Dept));
    Window w;
    QTreeWidget *tree = w.dlg.Tree();
    QCOMPARE(tree->topLevelItemCount(), 3);
    QCOMPARE(ChildTexts(tree->topLevelItem(0)), (QStringList{QStringLiteral("张三"), QStringLiteral("李四")}));
    QCOMPARE(tree->topLevelItem(2)->childCount(), 0);
}

void MainWindowTest::recipientWhoseDepartmentIsGoneIsLeftOut() {
    TestDatabase t;
    AddDepartment(QStringLiteral("财务科"));
    AddDepartment(QStringLiteral("撤销科"));
    AddBroker(QStringLiteral("张三"), QStringLiteral("财务科"));
    AddBroker(QStringLiteral("李四"), QStringLiteral("撤销科"));
    t.Exec(QString::asprintf("DELETE FROM %s WHERE %s = '撤销科'", Bill_Dept_Info, Bill_Dept_Name));
    Window w;
    QCOMPARE(TopLevelTexts(w.dlg.Tree()), QStringList{QStringLiteral("财务科")});
    QCOMPARE(ChildTexts(w.dlg.Tree()->topLevelItem(0)), QStringList{QStringLiteral("张三")});
}

void MainWindowTest::viewsStartWithTheirEmptyLists() {
    TestDatabase t;
    AddKind(FixedKind);
    AddStockRun(FixedKind, 1);
    Window w;
    QCOMPARE(Titles(w.dlg),
             (QStringList{QStringLiteral("票据类型"), QStringLiteral("开始编号"), QStringLiteral("结尾编号"),
                          QStringLiteral("单价"), QStringLiteral("张数"), QStringLiteral("金额"),
                          QStringLiteral("领票时间"), QStringLiteral("发票人")}));
    QCOMPARE(w.dlg.MainList()->RowCount(), 0);

    AddKind(FundKind);
    w.dlg.RunCommand(cmd::RepositoryView);
    QCOMPARE(w.dlg.ViewMode(), 1);
    QCOMPARE(TopLevelTexts(w.dlg.Tree()), (QStringList{FundKind.name, FixedKind.name}));
    QCOMPARE(w.dlg.Tree()->topLevelItem(0)->data(0, Qt::UserRole).toInt(), 1);
    QCOMPARE(Titles(w.dlg), (QStringList{QStringLiteral("开始编号"), QStringLiteral("结尾编号"), QStringLiteral("单价"),
                                         QStringLiteral("张数"), QStringLiteral("金额"), QStringLiteral("入库时间"),
                                         QStringLiteral("入库人"), QStringLiteral("制造时间"),
                                         QStringLiteral("制造部门"), QStringLiteral("票据类型")}));
    QCOMPARE(w.dlg.MainList()->RowCount(), 0);
}

void MainWindowTest::doubleClickOnRecipientListsTheRunsItHolds() {
    TestDatabase t;
    AddDepartment(QStringLiteral("财务科"));
    AddBroker(QStringLiteral("张三"), QStringLiteral("财务科"));
    AddBroker(QStringLiteral("李四"), QStringLiteral("财务科"));
    AddKind(FixedKind);
    AddKind(FundKind);
    IssueRun(t, AddStockRun(FixedKind, 1), QStringLiteral("财务科"), QStringLiteral("张三"));
    IssueRun(t, AddStockRun(FundKind, 1), QStringLiteral("财务科"), QStringLiteral("张三"));
    IssueRun(t, AddStockRun(FixedKind, 51), QStringLiteral("财务科"), QStringLiteral("李四"));
    AddStockRun(FixedKind, 101);
    Window w;
    w.dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.dlg));
    QTreeWidgetItem *zhang = ChildItem(w.dlg, QStringLiteral("财务科"), QStringLiteral("张三"));
    QVERIFY(zhang);
    w.dlg.Tree()->expandAll();
    const QPoint at = w.dlg.Tree()->visualItemRect(zhang).center();
    QTest::mouseDClick(w.dlg.Tree()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(Titles(w.dlg).size(), 8);
    QVERIFY(!Titles(w.dlg).contains(QStringLiteral("领票人")));
    // Ordered by kind name.
    QCOMPARE(Column(w.dlg, QStringLiteral("票据类型")), (QStringList{FundKind.name, FixedKind.name}));
    QCOMPARE(Column(w.dlg, QStringLiteral("开始编号")),
             (QStringList{QStringLiteral("JJ00000001"), QStringLiteral("XZ00000001")}));
    QCOMPARE(Column(w.dlg, QStringLiteral("单价")), (QStringList{QStringLiteral("￥2.50"), QStringLiteral("￥1.00")}));
    QCOMPARE(Column(w.dlg, QStringLiteral("金额")),
             (QStringList{QStringLiteral("￥250.00"), QStringLiteral("￥50.00")}));
    QVERIFY(w.dlg.isEnabled());
    QVERIFY(!QApplication::overrideCursor());
}

void MainWindowTest::doubleClickOnDepartmentListsTheRunsOfItsRecipients() {
    TestDatabase t;
    AddDepartment(QStringLiteral("财务科"));
    AddDepartment(QStringLiteral("征收科"));
    AddBroker(QStringLiteral("张三"), QStringLiteral("财务科"));
    AddBroker(QStringLiteral("李四"), QStringLiteral("财务科"));
    AddBroker(QStringLiteral("王五"), QStringLiteral("征收科"));
    AddKind(FixedKind);
    AddKind(FundKind);
    IssueRun(t, AddStockRun(FixedKind, 1), QStringLiteral("财务科"), QStringLiteral("张三"));
    IssueRun(t, AddStockRun(FundKind, 1), QStringLiteral("财务科"), QStringLiteral("李四"));
    IssueRun(t, AddStockRun(FixedKind, 51), QStringLiteral("征收科"), QStringLiteral("王五"));
    Window w;
    w.dlg.OnTreeDoubleClick(TopItem(w.dlg, QStringLiteral("财务科")));
    QCOMPARE(Titles(w.dlg),
             (QStringList{QStringLiteral("票据类型"), QStringLiteral("领票人"), QStringLiteral("开始编号"),
                          QStringLiteral("结尾编号"), QStringLiteral("单价"), QStringLiteral("张数"),
                          QStringLiteral("金额"), QStringLiteral("领票时间"), QStringLiteral("发票人")}));
    QCOMPARE(Column(w.dlg, QStringLiteral("领票人")), (QStringList{QStringLiteral("李四"), QStringLiteral("张三")}));
    QCOMPARE(Column(w.dlg, QStringLiteral("发票人")),
             (QStringList{QStringLiteral("周主任"), QStringLiteral("周主任")}));
}

void MainWindowTest::doubleClickOnKindListsItsStockInNumberOrder() {
    TestDatabase t;
    AddDepartment(QStringLiteral("财务科"));
    AddKind(FixedKind);
    AddKind(FundKind);
    AddStockRun(FixedKind, 201);
    AddStockRun(FixedKind, 1);
    IssueRun(t, AddStockRun(FixedKind, 101), QStringLiteral("财务科"), QStringLiteral("张三"));
    AddStockRun(FundKind, 1);
    Window w;
    w.dlg.RunCommand(cmd::RepositoryView);
    w.dlg.OnTreeDoubleClick(TopItem(w.dlg, FixedKind.name));
    QCOMPARE(Column(w.dlg, QStringLiteral("开始编号")),
             (QStringList{QStringLiteral("XZ00000001"), QStringLiteral("XZ00000201")}));
    QCOMPARE(Column(w.dlg, QStringLiteral("结尾编号")),
             (QStringList{QStringLiteral("XZ00000050"), QStringLiteral("XZ00000250")}));
    QCOMPARE(Column(w.dlg, QStringLiteral("金额")),
             (QStringList{QStringLiteral("￥50.00"), QStringLiteral("￥50.00")}));
    QCOMPARE(Column(w.dlg, QStringLiteral("入库人")), (QStringList{QStringLiteral("张三"), QStringLiteral("张三")}));
}

void MainWindowTest::doubleClickOnKindWithoutStockShowsTitlesOnly() {
    TestDatabase t;
    AddKind(FixedKind);
    AddKind(FundKind);
    AddStockRun(FixedKind, 1);
    Window w;
    w.dlg.RunCommand(cmd::RepositoryView);
    w.dlg.OnTreeDoubleClick(TopItem(w.dlg, FixedKind.name));
    QCOMPARE(w.dlg.MainList()->RowCount(), 1);
    w.dlg.OnTreeDoubleClick(TopItem(w.dlg, FundKind.name));
    QCOMPARE(w.dlg.MainList()->ColumnCount(), 10);
    QCOMPARE(w.dlg.MainList()->RowCount(), 0);
}

void MainWindowTest::doubleClickOnEmptySpaceChangesNothing() {
    TestDatabase t;
    AddDepartment(QStringLiteral("财务科"));
    AddBroker(QStringLiteral("张三"), QStringLiteral("财务科"));
    AddKind(FixedKind);
    IssueRun(t, AddStockRun(FixedKind, 1), QStringLiteral("财务科"), QStringLiteral("张三"));
    Window w;
    w.dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.dlg));
    w.dlg.OnTreeDoubleClick(TopItem(w.dlg, QStringLiteral("财务科")));
    const QString statement = w.dlg.MainList()->GetStatement();
    QWidget *viewport = w.dlg.Tree()->viewport();
    const QPoint empty(viewport->width() / 2, viewport->height() - 5);
    QVERIFY(!w.dlg.Tree()->itemAt(empty));
    QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, empty);
    QCOMPARE(w.dlg.MainList()->GetStatement(), statement);
    QCOMPARE(w.dlg.MainList()->RowCount(), 1);
    QVERIFY(w.dlg.isEnabled());
    QVERIFY(!QApplication::overrideCursor());
}

void MainWindowTest::choosingTheViewShownKeepsTreeAndList() {
    TestDatabase t;
    AddDepartment(QStringLiteral("财务科"));
    AddBroker(QStringLiteral("张三"), QStringLiteral("财务科"));
    AddKind(FixedKind);
    IssueRun(t, AddStockRun(FixedKind, 1), QStringLiteral("财务科"), QStringLiteral("张三"));
    Window w;
    w.dlg.OnTreeDoubleClick(TopItem(w.dlg, QStringLiteral("财务科")));
    QTreeWidgetItem *before = w.dlg.Tree()->topLevelItem(0);
    AddDepartment(QStringLiteral("新科室"));
    w.dlg.RunCommand(cmd::DepartmentView);
    w.dlg.findChild<QToolButton *>(QStringLiteral("button1007"))->click();
    QCOMPARE(w.dlg.Tree()->topLevelItem(0), before);
    QCOMPARE(w.dlg.Tree()->topLevelItemCount(), 1);
    QCOMPARE(w.dlg.MainList()->RowCount(), 1);

    w.dlg.findChild<QToolButton *>(QStringLiteral("button1015"))->click();
    QCOMPARE(w.dlg.ViewMode(), 1);
    w.dlg.OnTreeDoubleClick(TopItem(w.dlg, FixedKind.name));
    w.dlg.RunCommand(cmd::RepositoryView);
    QCOMPARE(w.dlg.MainList()->ColumnCount(), 10);
}

void MainWindowTest::departmentViewAgainAndRebuildFollowTheirView() {
    TestDatabase t;
    AddDepartment(QStringLiteral("财务科"));
    AddKind(FixedKind);
    Window w;
    w.dlg.RunCommand(cmd::RepositoryView);
    AddKind(FundKind);
    w.dlg.RebuildCurrentView();
    QCOMPARE(w.dlg.ViewMode(), 1);
    QCOMPARE(w.dlg.Tree()->topLevelItemCount(), 2);
    w.dlg.ShowDepartmentViewAgain();
    QCOMPARE(w.dlg.ViewMode(), 0);
    QCOMPARE(TopLevelTexts(w.dlg.Tree()), QStringList{QStringLiteral("财务科")});
    QCOMPARE(w.dlg.MainList()->ColumnCount(), 8);
}

void MainWindowTest::selectedTreeItemGivesTextAndImage() {
    TestDatabase t;
    AddDepartment(QStringLiteral("财务科"));
    AddBroker(QStringLiteral("张三"), QStringLiteral("财务科"));
    Window w;
    QString text;
    int image = -1;
    QVERIFY(!w.dlg.SelectedTreeItem(text, image));
    QTreeWidgetItem *zhang = ChildItem(w.dlg, QStringLiteral("财务科"), QStringLiteral("张三"));
    w.dlg.Tree()->setCurrentItem(zhang);
    QVERIFY(w.dlg.SelectedTreeItem(text, image));
    QCOMPARE(text, QStringLiteral("张三"));
    QCOMPARE(image, 1);
    w.dlg.Tree()->setCurrentItem(TopItem(w.dlg, QStringLiteral("财务科")));
    QVERIFY(w.dlg.SelectedTreeItem(text, image));
    QCOMPARE(image, 0);
}

// --- The window's own commands ------------------------------------------------------------------------

void MainWindowTest::rowCountTellsTheNumberOfRows() {
    TestDatabase t;
    MessageCapture messages;
    Window w;
    ShowThreeStockRuns(w);
    w.dlg.findChild<QToolButton *>(QStringLiteral("button1033"))->click();
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().text, QStringLiteral("    当前列表中，共有 3 行数据."));
    QCOMPARE(messages.Last().caption, QStringLiteral("行数"));
    QCOMPARE(messages.Last().buttons, MsgButtons::Ok);
}

void MainWindowTest::exitAsksAndOnlyYesEnds() {
    TestDatabase t;
    MessageCapture messages;
    Window w;
    w.dlg.show();
    messages.Answer(MsgAnswer::No);
    w.dlg.RunCommand(cmd::Exit);
    QVERIFY(w.dlg.isVisible());
    QCOMPARE(messages.Last().text, QStringLiteral("您确定要退出系统?"));
    QCOMPARE(messages.Last().caption, QStringLiteral("退出提示"));
    QCOMPARE(messages.Last().icon, MsgIcon::Question);
    QCOMPARE(messages.Last().buttons, MsgButtons::YesNo);

    // Closing the window asks the same.
    messages.Answer(MsgAnswer::No);
    QVERIFY(!w.dlg.close());
    QVERIFY(w.dlg.isVisible());
    QCOMPARE(messages.Count(), 2);

    messages.Answer(MsgAnswer::Yes);
    w.dlg.findChild<QToolButton *>(QStringLiteral("button1001"))->click();
    QVERIFY(!w.dlg.isVisible());
    QCOMPARE(messages.Count(), 3);
}

void MainWindowTest::extractKeepsTheSelectedRows() {
    TestDatabase t;
    Window w;
    ShowThreeStockRuns(w);
    w.dlg.MainList()->SelectRow(0);
    w.dlg.MainList()->SelectRow(2, true);
    w.dlg.RunCommand(cmd::Extract);
    QCOMPARE(Column(w.dlg, QStringLiteral("开始编号")),
             (QStringList{QStringLiteral("XZ00000001"), QStringLiteral("XZ00000101")}));
    QVERIFY(w.dlg.isEnabled());
    QVERIFY(!QApplication::overrideCursor());
}

void MainWindowTest::removeSelectedRowsLeavesTheStoreAlone() {
    TestDatabase t;
    Window w;
    ShowThreeStockRuns(w);
    w.dlg.MainList()->SelectRow(0);
    w.dlg.MainList()->SelectRow(2, true);
    w.dlg.RemoveSelectedRows();
    QCOMPARE(Column(w.dlg, QStringLiteral("开始编号")), QStringList{QStringLiteral("XZ00000051")});
    QCOMPARE(t.Count(QString::fromLatin1(Bill_Info)), 3);
    w.dlg.RemoveSelectedRows();
    QCOMPARE(w.dlg.MainList()->RowCount(), 1);
}

void MainWindowTest::findUsesTheColumnChosenFromTheMenu() {
    TestDatabase t;
    Window w;
    ShowThreeStockRuns(w);
    w.dlg.show();
    QStringList offered;
    PopupScript script(
        {[&](QMenu *menu) {
             offered = ActionTexts(menu);
             for (QAction *action : menu->actions())
                 QVERIFY(!action->isChecked());
             menu->setActiveAction(menu->actions().at(1));
             QTest::keyClick(menu, Qt::Key_Return);
         },
         [&](QMenu *menu) {
             QVERIFY(menu->actions().at(1)->isChecked());
             const QList<QAction *> items = menu->actions();
             QCOMPARE(std::count_if(items.begin(), items.end(), [](QAction *a) { return a->isChecked(); }), 1);
             menu->close();
         }});
    auto *columnButton = w.dlg.findChild<QToolButton *>(QStringLiteral("button1040"));
    columnButton->click();
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QCOMPARE(offered, Titles(w.dlg));
    QCOMPARE(w.dlg.FindColumn(), QStringLiteral("结尾编号"));
    columnButton->click();
    QTRY_VERIFY(script.Finished());
    QCOMPARE(w.dlg.FindColumn(), QStringLiteral("结尾编号"));

    w.dlg.FindBox()->setText(QStringLiteral("xz0000015"));
    auto *findNext = w.dlg.findChild<QToolButton *>(QStringLiteral("button1039"));
    findNext->click();
    QCOMPARE(w.dlg.MainList()->SelectedRows(), QList<int>{2});
    w.dlg.MainList()->ClearSelection();
    findNext->click();
    QVERIFY(!w.dlg.MainList()->HasSelection());
    // After the last match the search starts again at the top.
    findNext->click();
    QCOMPARE(w.dlg.MainList()->SelectedRows(), QList<int>{2});
}

void MainWindowTest::printAsksForTheTableName() {
    TestDatabase t;
    MessageCapture messages;
    Window w;
    ShowThreeStockRuns(w);
    const QString pdf = t.Dir() + QStringLiteral("/list.pdf");
    const CTableNameDlg::Runner previousNameRunner = CTableNameDlg::SetRunner([](CTableNameDlg &dialog) {
        dialog.findChild<QLineEdit *>()->setText(QStringLiteral("库存清单"));
        return int(QDialog::Accepted);
    });
    const PrintDialogRunner previousPrintRunner = SetPrintDialogRunner([&](QPrinter &printer, QWidget *) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    w.dlg.RunCommand(cmd::Print);
    CTableNameDlg::SetRunner(previousNameRunner);
    SetPrintDialogRunner(previousPrintRunner);
    QVERIFY(QFileInfo(pdf).size() > 0);
    QCOMPARE(messages.Count(), 0);
}

void MainWindowTest::windowIsDraggedOnlyByTheTopBand() {
    TestDatabase t;
    Window w;
    w.dlg.resize(1100, 704);
    const int band = w.dlg.height() / 22;
    QVERIFY(w.dlg.IsCaptionPoint(QPoint(300, 0)));
    QVERIFY(w.dlg.IsCaptionPoint(QPoint(300, band - 1)));
    QVERIFY(!w.dlg.IsCaptionPoint(QPoint(300, band)));
}

void MainWindowTest::repositoryListShowsAndPrintsEveryColumnWhole() {
    TestDatabase t;
    MessageCapture messages;
    const KindSpec kind{QStringLiteral("行政事业性收费票据"),
                        QStringLiteral("行政事业性收费"),
                        QStringLiteral("XZ"),
                        QString(),
                        8,
                        50,
                        250.0,
                        false};
    AddKind(kind);
    for (double begin : {1.0, 51.0, 101.0})
        AddStockRun(kind, begin);
    t.Exec(QString::asprintf("UPDATE %s SET %s = '2026-01-10 10:10:00', %s = '2026-01-05 09:00:00', %s = '%s'",
                             Bill_Info, Bill_Repository_Time, Bill_Made_Time, Bill_Made_Units, "省财政厅票据监制中心"));
    Window w;
    const QSize size = CMainDlg::DefaultSize(QSize(1280, 800));
    QVERIFY(size.width() <= 1280 && size.height() <= 800);
    QCOMPARE(CMainDlg::DefaultSize(QSize(1024, 700)), QSize(1024, 700));
    w.dlg.resize(size); // as it opens on a screen of 1280 by 800
    w.dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.dlg));
    w.dlg.RunCommand(cmd::RepositoryView);
    w.dlg.OnTreeDoubleClick(TopItem(w.dlg, kind.name));
    CQueryListCtrl *list = w.dlg.MainList();
    QCOMPARE(list->RowCount(), 3);
    QCOMPARE(list->ColumnCount(), 10);
    QVERIFY2(list->horizontalHeader()->length() <= list->viewport()->width(),
             qPrintable(QString("%1 > %2").arg(list->horizontalHeader()->length()).arg(list->viewport()->width())));

    const QString pdf = t.Dir() + QStringLiteral("/repository.pdf");
    const CTableNameDlg::Runner previousNameRunner = CTableNameDlg::SetRunner([](CTableNameDlg &dialog) {
        dialog.findChild<QLineEdit *>()->setText(QStringLiteral("库存清单"));
        return int(QDialog::Accepted);
    });
    const PrintDialogRunner previousPrintRunner = SetPrintDialogRunner([&](QPrinter &printer, QWidget *) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    w.dlg.RunCommand(cmd::Print);
    CTableNameDlg::SetRunner(previousNameRunner);
    SetPrintDialogRunner(previousPrintRunner);
    QCOMPARE(messages.Count(), 0);
    QProcess text;
    text.start("pdftotext", {"-layout", "-enc", "UTF-8", pdf, "-"});
    QVERIFY(text.waitForFinished(60000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    for (const QString &title : list->GetHeaderTitles())
        QVERIFY2(printed.contains(title), qPrintable(title));
    for (const char *whole : {"行政事业性收费票据", "省财政厅票据监制中心", "XZ00000001", "XZ00000150", "￥12500.00",
                              "￥250.00", "2026-01-10 10:10:00", "2026-01-05 09:00:00", "张三"})
        QVERIFY2(printed.contains(QString::fromUtf8(whole)), whole);
}

void MainWindowTest::departmentsOpenWithTheirRecipients() {
    TestDatabase t;
    AddDepartment(QStringLiteral("财务科"));
    AddBroker(QStringLiteral("张三"), QStringLiteral("财务科"));
    AddDepartment(QStringLiteral("办公室"));
    AddBroker(QStringLiteral("李四"), QStringLiteral("办公室"));
    Window w;
    for (const char *department : {"财务科", "办公室"})
        QVERIFY2(TopItem(w.dlg, QString::fromUtf8(department))->isExpanded(), department);
    w.dlg.RunCommand(cmd::RepositoryView);
    w.dlg.RunCommand(cmd::DepartmentView);
    QVERIFY(TopItem(w.dlg, QStringLiteral("财务科"))->isExpanded());
}

void MainWindowTest::kindsOfTheTreeCarryADrawnIcon() {
    TestDatabase t;
    AddKind(FixedKind);
    Window w;
    w.dlg.RunCommand(cmd::RepositoryView);
    QTreeWidgetItem *item = TopItem(w.dlg, FixedKind.name);
    QVERIFY(item);
    const QImage image = item->icon(0).pixmap(16, 16).toImage();
    QVERIFY(!image.isNull());
    // A picture of its own: coloured pixels, not a character the font may lack.
    int coloured = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            coloured += c.alpha() > 0 && c.saturation() > 60;
        }
    QVERIFY(coloured > 20);
    QVERIFY(!item->text(0).contains(QChar(0xD83C)) && !item->text(0).contains(QChar(0xD83D)));
}

void MainWindowTest::rowCountBoxCarriesTheInformationIcon() {
    TestDatabase t;
    Window w;
    ShowThreeStockRuns(w);
    w.dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.dlg));
    const MessagePresenter previous = SetMessagePresenter(MessagePresenter());
    InstallWidgetMessagePresenter();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        seen = true;
        QCOMPARE(box->windowTitle(), QStringLiteral("行数"));
        QCOMPARE(box->icon(), QMessageBox::Information);
        QVERIFY(!box->iconPixmap().isNull());
        // The icon is drawn where the clerk sees it.
        const QList<QLabel *> labels = box->findChildren<QLabel *>(QStringLiteral("qt_msgboxex_icon_label"));
        QVERIFY(!labels.isEmpty() && labels.first()->isVisible() && !labels.first()->pixmap().isNull());
        box->accept();
    });
    w.dlg.findChild<QToolButton *>(QStringLiteral("button1033"))->click();
    SetMessagePresenter(previous);
    QVERIFY(seen);
}

// --- Other clerks' work ----------------------------------------------------------------------------

void MainWindowTest::refreshShowsOtherClerksWorkAndKeepsTheChosenItem() {
    TestDatabase t;
    Window w;
    ShowThreeStockRuns(w);
    w.dlg.Tree()->setCurrentItem(TopItem(w.dlg, FixedKind.name));
    // Another clerk stocks in a book and issues one of the three.
    AddStockRun(FixedKind, 151);
    IssueRun(t, QStringLiteral("XZ00000051"), QStringLiteral("财务科"), QStringLiteral("王五"));
    QCOMPARE(w.dlg.MainList()->RowCount(), 3);

    w.dlg.RunCommand(cmd::Refresh);
    QCOMPARE(Column(w.dlg, QStringLiteral("开始编号")),
             (QStringList{QStringLiteral("XZ00000001"), QStringLiteral("XZ00000101"), QStringLiteral("XZ00000151")}));
    QString text;
    int image = -1;
    QVERIFY(w.dlg.SelectedTreeItem(text, image));
    QCOMPARE(text, FixedKind.name);
    QCOMPARE(w.dlg.ViewMode(), int(CMainDlg::RepositoryViewMode));
}

void MainWindowTest::refreshRunsFromF5AndFromItsButtonBesideTheViews() {
    TestDatabase t;
    Window w;
    int refreshed = 0;
    w.dlg.SetCommandHandler(cmd::Refresh, [&] { ++refreshed; });
    w.dlg.show();
    w.dlg.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.dlg));
    QTest::keyClick(&w.dlg, Qt::Key_F5);
    QCOMPARE(refreshed, 1);

    QToolButton *button = w.dlg.findChild<QToolButton *>(QStringLiteral("button1017"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("刷新"));
    auto *overview = w.dlg.findChild<QToolButton *>(QStringLiteral("button1016"));
    QVERIFY(overview);
    QCOMPARE(button->parentWidget(), overview->parentWidget());
    QVERIFY(button->x() > overview->x());
    button->click();
    QCOMPARE(refreshed, 2);
}

void MainWindowTest::viewIsReadAgainAfterEveryCommandThatMayChangeTheBooks() {
    TestDatabase t;
    Window w;
    ShowThreeStockRuns(w);
    // A void that another clerk's issue beat: whatever the command did, the list shows the books as
    // they stand afterwards.
    w.dlg.SetCommandHandler(cmd::Void, [&] {
        IssueRun(t, QStringLiteral("XZ00000001"), QStringLiteral("财务科"), QStringLiteral("王五"));
    });
    w.dlg.MainList()->SelectRow(0);
    w.dlg.RunCommand(cmd::Void);
    QCOMPARE(w.dlg.MainList()->RowCount(), 2);

    // A command that only reads leaves the list as it is.
    AddStockRun(FixedKind, 151);
    w.dlg.SetCommandHandler(cmd::History, [] {});
    w.dlg.RunCommand(cmd::History);
    QCOMPARE(w.dlg.MainList()->RowCount(), 2);
}

void MainWindowTest::othersChangesAreShownUntilTheViewsAreReadAgain() {
    TestDatabase t;
    Window w;
    auto *stale = w.dlg.findChild<QLabel *>(QStringLiteral("staleLabel"));
    QVERIFY(stale);
    QVERIFY(stale->isHidden());
    // This desk's own change is in its views already.
    AddDepartment(QStringLiteral("财务科"));
    QTest::qWait(600);
    QVERIFY(stale->isHidden());
    // Another desk's shows, on the file as on a server.
    CDatabase other;
    QVERIFY(t.OpenAnotherDesk(other));
    other.ExecuteStatement(QString::asprintf("INSERT INTO %s (%s) VALUES ('办公室')", Bill_Dept_Info, Bill_Dept_Name));
    QTRY_VERIFY_WITH_TIMEOUT(!stale->isHidden(), 3000);
    QCOMPARE(stale->text(), QStringLiteral("其他操作员改动了票据，按F5刷新"));
    // Reading the views again takes it in.
    w.dlg.RunCommand(cmd::Refresh);
    QVERIFY(stale->isHidden());
    QVERIFY(TopLevelTexts(w.dlg.Tree()).contains(QStringLiteral("办公室")));
    // A change another desk rolled back is no change.
    other.BeginTrans();
    other.ExecuteStatement(QString::asprintf("INSERT INTO %s (%s) VALUES ('后勤科')", Bill_Dept_Info, Bill_Dept_Name));
    other.RollbackTrans();
    QTest::qWait(600);
    QVERIFY(stale->isHidden());
}

void MainWindowTest::rightRevokedElsewhereIsRefusedAtTheNextCommand() {
    TestDatabase t;
    AddUser(QStringLiteral("张三"), QStringLiteral("pw"), QStringLiteral("P01P02P05"));
    MessageCapture messages;
    Window w(QStringLiteral("张三"));
    int deletes = 0;
    w.dlg.SetCommandHandler(cmd::Delete, [&] { ++deletes; });
    w.dlg.RunCommand(cmd::Delete);
    QCOMPARE(deletes, 1);

    // The administrator, at another desk, takes the right away; nothing is read again here by hand.
    CDatabase administrator;
    QVERIFY(t.OpenAnotherDesk(administrator));
    administrator.ExecuteStatement(QString::asprintf("UPDATE %s SET %s = 'P01P02' WHERE %s = '张三'",
                                                     Bill_Password_Info, Bill_Password_Popedom, Bill_Password_User));
    w.dlg.RunCommand(cmd::Delete);
    QCOMPARE(deletes, 1);
    QCOMPARE(messages.Last().text, QStringLiteral("您没有权限进行该项操作，想要取得该项操作的权限，请与管理员联系!"));

    // Given back, it works again at once.
    administrator.ExecuteStatement(QString::asprintf("UPDATE %s SET %s = 'P05' WHERE %s = '张三'", Bill_Password_Info,
                                                     Bill_Password_Popedom, Bill_Password_User));
    w.dlg.RunCommand(cmd::Delete);
    QCOMPARE(deletes, 2);
}

void MainWindowTest::deletedAccountIsToldAndLoggedOut() {
    TestDatabase t;
    AddUser(QStringLiteral("张三"), QStringLiteral("pw"), QStringLiteral("P01P02P05"));
    MessageCapture messages;
    Window w(QStringLiteral("张三"));
    int deletes = 0;
    w.dlg.SetCommandHandler(cmd::Delete, [&] { ++deletes; });
    int logins = 0;
    w.dlg.SetLoginRunner([&](QWidget *, QString &user) {
        ++logins;
        user = QString::fromUtf8(AdministratorUser);
        return int(CLoginDlg::LoginSucceeded);
    });
    t.Exec(QString::asprintf("DELETE FROM %s WHERE %s = '张三'", Bill_Password_Info, Bill_Password_User));

    w.dlg.RunCommand(cmd::Delete);
    QCOMPARE(deletes, 0);
    QCOMPARE(messages.Count(), 1);
    QVERIFY2(messages.Last().text.contains(QStringLiteral("已被删除")), qPrintable(messages.Last().text));
    QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);
    QCOMPARE(logins, 1);
    QCOMPARE(w.dlg.CurrentUser(), QString::fromUtf8(AdministratorUser));
    // The one who logged in instead runs commands as usual.
    w.dlg.RunCommand(cmd::Delete);
    QCOMPARE(deletes, 1);
}

void MainWindowTest::deletedAccountThatNobodyReplacesEndsTheProgram() {
    TestDatabase t;
    AddUser(QStringLiteral("张三"), QStringLiteral("pw"), QStringLiteral("P01P02P05"));
    MessageCapture messages;
    Window w(QStringLiteral("张三"));
    int searches = 0;
    w.dlg.SetCommandHandler(cmd::Search, [&] { ++searches; });
    w.dlg.SetLoginRunner([](QWidget *, QString &user) {
        user.clear();
        return int(CLoginDlg::LoginFailed);
    });
    w.dlg.show();
    t.Exec(QString::asprintf("DELETE FROM %s WHERE %s = '张三'", Bill_Password_Info, Bill_Password_User));
    w.dlg.RunCommand(cmd::Search);
    QCOMPARE(searches, 0);
    QVERIFY(!w.dlg.isVisible());
    QCOMPARE(w.dlg.result(), int(QDialog::Rejected));
    QVERIFY(w.dlg.CurrentUser().isEmpty());
    // Exit still asks and works without an account.
    messages.Clear();
    w.dlg.RunCommand(cmd::Exit);
    QCOMPARE(messages.Texts(), QStringList{QStringLiteral("您确定要退出系统?")});
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
