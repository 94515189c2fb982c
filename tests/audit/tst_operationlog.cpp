// Every change writes its log entries in its own transaction: one entry per book moved, through the
// dialogs the clerk uses; a change that fails leaves no entry.
#include "audit/OperationLog.h"
#include "bills/IssueDlg.h"
#include "bills/ModalRunner.h"
#include "bills/NonFixedBillDlg.h"
#include "bills/ReturnDlg.h"
#include "bills/ReturnLineDlg.h"
#include "bills/StockInDlg.h"
#include "lists/QueryListCtrl.h"
#include "maintenance/ForcedOperationDlg.h"
#include "maintenance/MaintenanceCommands.h"
#include "maintenance/OperationDocumentDlg.h"
#include "mainwindow/MainDlg.h"
#include "masterdata/AddDeptDlg.h"
#include "masterdata/AddManagerDlg.h"
#include "masterdata/Departments.h"
#include "schema/Schema.h"
#include "tests/audit/AuditTestSupport.h"
#include "tests/bills/StockTestSupport.h"
#include "users/PasswordDlg.h"
#include "users/Passwords.h"
#include "users/UserAccounts.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>

using namespace schema;

namespace {

QTreeWidgetItem *TreeItem(QTreeWidget *tree, const QString &text) {
    return tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).value(0);
}

void StockIn(int books) {
    CStockInDlg stockIn;
    Child<QLineEdit>(&stockIn, "beginDigits")->setText(QStringLiteral("00000001"));
    Child<QSpinBox>(&stockIn, "books")->setValue(books);
    Click(&stockIn, "confirm");
}

// The main window in the repository view with the kind's books listed and the first rows selected.
void SelectStock(CMainDlg &main, const QString &kind, int rows) {
    main.ShowRepositoryView();
    main.OnTreeDoubleClick(TreeItem(main.Tree(), kind));
    for (int row = 0; row < rows; ++row)
        main.MainList()->SelectRow(row, row > 0);
}

} // namespace

class OperationLogTest : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLogUser(QStringLiteral("管理员")); }
    void stockInIssueAndReturnLogEveryBook();
    void singleBillAmountIsLogged();
    void voidDeleteForcedDeleteAndCancelLogTheirBooks();
    void masterDataAndAccountChangesAreLoggedWithoutPasswords();
    void loginsAreLogged();
    void failedOperationLeavesNoEntry();
};

void OperationLogTest::stockInIssueAndReturnLogEveryBook() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    const QString kind = FixedKind().name;

    StockIn(3);
    QCOMPARE(LogLines(),
             QStringList({
                 "票据入库|100000000000000|收费票据甲|00000001|00000100|100|200.00|入库 100 张，制造部门 省印刷厂",
                 "票据入库|100000000000000|收费票据甲|00000101|00000200|100|200.00|入库 100 张，制造部门 省印刷厂",
                 "票据入库|100000000000000|收费票据甲|00000201|00000300|100|200.00|入库 100 张，制造部门 省印刷厂",
             }));
    QCOMPARE(t.Scalar("SELECT group_concat(Bill_Log_User || ':' || Bill_Log_No, ' ') FROM Bill_Log_Info"),
             QStringLiteral("管理员:1 管理员:2 管理员:3"));

    CMainDlg main;
    main.SetCurrentUser(QStringLiteral("出纳"));
    SelectStock(main, kind, 2);
    {
        CIssueDlg issue(main.MainList(), &main);
        emit issue.Tree()->itemDoubleClicked(TreeItem(issue.Tree(), QStringLiteral("赵领票")), 0);
        Click(&issue, "issue");
    }
    QCOMPARE(LogLines("Bill_Log_Operation = '票据发放'"),
             QStringList({"票据发放|200000000000000|收费票据甲|00000001|00000100|100|200.00|发放给 收费科 赵领票",
                          "票据发放|200000000000000|收费票据甲|00000101|00000200|100|200.00|发放给 收费科 赵领票"}));
    QCOMPARE(t.Scalar("SELECT DISTINCT Bill_Log_User FROM Bill_Log_Info WHERE Bill_Log_Operation = '票据发放'"),
             QStringLiteral("出纳"));

    main.ShowDepartmentView();
    main.OnTreeDoubleClick(TreeItem(main.Tree(), QStringLiteral("赵领票")));
    main.MainList()->SelectRow(0);
    main.MainList()->SelectRow(1, true);
    {
        CReturnDlg giveBack(main.MainList(), &main);
        ReturnWithFirstLineUsed(giveBack, 30);
    }
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(LogLines("Bill_Log_Operation = '票据回收'"),
             QStringList({"票据回收|300000000000000|收费票据甲|00000001|00000100|30|60.00|退回 30 张，实收￥60.00，"
                          "返还结尾编号 00000030",
                          "票据回收|300000000000000|收费票据甲|00000101|00000200|100|200.00|退回 100 张，实收￥200.00，"
                          "返还结尾编号 00000200"}));
    QCOMPARE(t.Count(Bill_Log_Info), 7);
}

void OperationLogTest::singleBillAmountIsLogged() {
    TestDatabase t;
    MessageCapture messages;
    AddKind(NonFixedKind());
    const QString first = AddStockRun(NonFixedKind(), 1);
    CNonFixedBillDlg bills({NonFixedKind().name, NonFixedKind().mainKind, first});
    bills.List()->SelectRow(2);
    bills.OnListClick();
    Child<QLineEdit>(&bills, "amount")->setText(QStringLiteral("12.50"));
    Click(&bills, "record");
    QCOMPARE(LogLines(),
             QStringList({"不固定金额||罚没票据|00000003|00000003|1|12.50|本号 00000001 的票据金额记为￥12.50"}));
}

void OperationLogTest::voidDeleteForcedDeleteAndCancelLogTheirBooks() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    const QString kind = FixedKind().name;
    for (double begin : {1.0, 101.0, 201.0})
        AddStockRun(FixedKind(), begin);
    AddStockRun(FixedKind(), 301, 100000000000001.0);
    CMainDlg main;
    main.SetCurrentUser(QStringLiteral("管理员"));

    SelectStock(main, kind, 1);
    VoidCommand(main.MainList());
    QCOMPARE(LogLines(), QStringList({"票据作废||收费票据甲|00000001|00000100|100|200.00|原状态 库存，管理员 李管理"}));

    SelectStock(main, kind, 1);
    QCOMPARE(main.MainList()->GetItemText(0, main.MainList()->ColumnIndexOfTitle(QStringLiteral("开始编号"))),
             QStringLiteral("00000101"));
    DeleteCommand(main.MainList());
    QCOMPARE(LogLines("Bill_Log_Operation = '票据删除'"),
             QStringList({"票据删除||收费票据甲|00000101|00000200|100|200.00|原状态 库存，管理员 李管理"}));

    {
        CForcedOperationDlg forced;
        Child<QComboBox>(&forced, "objects")->setCurrentText(QStringLiteral("作废"));
        Child<CQueryListCtrl>(&forced, "list")->SelectRow(0);
        messages.Answer(MsgAnswer::Yes);
        Click(&forced, "forcedDelete");
    }
    QCOMPARE(LogLines("Bill_Log_Operation = '强制删除'"),
             QStringList({"强制删除||收费票据甲|00000001|00000100|100|200.00|原状态 作废，管理员 李管理"}));

    {
        COperationDocumentDlg documents(nullptr);
        documents.FromDate()->setDate(QDate(2000, 1, 1));
        documents.ToDate()->setDate(QDate(2100, 1, 1));
        documents.OnQuery();
        QCOMPARE(documents.Documents()->RowCount(), 2);
        documents.Documents()->SelectRow(0);
        messages.Answer(MsgAnswer::Yes);
        documents.OnCancelDocument();
    }
    QCOMPARE(LogLines("Bill_Log_Operation = '撤销入库单'"),
             QStringList({"撤销入库单|100000000000000|收费票据甲|00000201|00000300|100|200.00|入库单 100000000000000 "
                          "撤销，票据从库存删除"}));
    QCOMPARE(t.Count(Bill_Log_Info), 4);
}

void OperationLogTest::masterDataAndAccountChangesAreLoggedWithoutPasswords() {
    TestDatabase t;
    MessageCapture messages;
    {
        CAddDeptDlg dept(nullptr);
        dept.NameEdit()->setText(QStringLiteral("财务科"));
        dept.AcceptButton()->click();
    }
    {
        CAddManagerDlg manager(nullptr);
        manager.NameEdit()->setText(QStringLiteral("甲"));
        manager.AcceptButton()->click();
    }
    QVERIFY(DeleteDept(QStringLiteral("财务科")));
    InsertUser({QStringLiteral("出纳"), QStringLiteral("secret-1"), QStringLiteral("P02"), {}, {}, {}, {}, 0}, 7);
    {
        CPasswordDlg password(QStringLiteral("出纳"));
        password.OldEdit()->setText(QStringLiteral("secret-1"));
        password.NewEdit()->setText(QStringLiteral("secret-2"));
        password.ConfirmEdit()->setText(QStringLiteral("secret-2"));
        password.OkButton()->click();
    }
    QCOMPARE(LogOperationsWritten(),
             QStringList({"增加基础资料", "增加基础资料", "删除基础资料", "增加用户", "修改密码"}));
    QCOMPARE(LogLines("Bill_Log_ID <= 3"),
             QStringList({"增加基础资料|||||0|0.00|发放部门：财务科", "增加基础资料|||||0|0.00|票据管理员：甲",
                          "删除基础资料|||||0|0.00|发放部门：财务科"}));
    QCOMPARE(t.Count(Bill_Log_Info, "Bill_Log_Detail LIKE '%secret%' OR Bill_Log_Hash LIKE '%secret%'"), 0);
    QCOMPARE(t.Count(Bill_Log_Info, "Bill_Log_Detail = '用户 出纳 修改了密码'"), 1);
}

void OperationLogTest::loginsAreLogged() {
    TestDatabase t;
    AddUser(QStringLiteral("出纳"), QStringLiteral("pw"), QString());
    QVERIFY(!CheckAndLogLogin(QStringLiteral("出纳"), QStringLiteral("wrong")));
    QVERIFY(CheckAndLogLogin(QStringLiteral("出纳"), QStringLiteral("pw")));
    QCOMPARE(t.Scalar("SELECT group_concat(Bill_Log_User || ':' || Bill_Log_Operation, ' ') FROM Bill_Log_Info"),
             QStringLiteral("出纳:登录失败 出纳:登录"));
}

void OperationLogTest::failedOperationLeavesNoEntry() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    // The third book cannot be written: the whole stock-in fails and neither books nor entries stay.
    t.Exec("CREATE TRIGGER refuse_book BEFORE INSERT ON Bill_Info WHEN NEW.Bill_Begin_Char = '00000201' "
           "BEGIN SELECT RAISE(ABORT, '不能写入'); END");
    StockIn(3);
    QVERIFY(messages.Texts().join(QString()).contains(QStringLiteral("不能写入")));
    QCOMPARE(t.Count(Bill_Info), 0);
    QCOMPARE(t.Count(Bill_Log_Info), 0);

    // An issue whose second book cannot be stamped leaves neither the first issued nor any entry.
    t.Exec("DROP TRIGGER refuse_book");
    StockIn(2);
    QCOMPARE(t.Count(Bill_Log_Info), 2);
    t.Exec("CREATE TRIGGER refuse_issue BEFORE UPDATE ON Bill_Info WHEN NEW.Bill_Flag = '运作' AND "
           "OLD.Bill_Begin_Char = '00000101' BEGIN SELECT RAISE(ABORT, '不能发放'); END");
    CMainDlg main;
    SelectStock(main, FixedKind().name, 2);
    {
        CIssueDlg issue(main.MainList(), &main);
        emit issue.Tree()->itemDoubleClicked(TreeItem(issue.Tree(), QStringLiteral("赵领票")), 0);
        Click(&issue, "issue");
    }
    QVERIFY(messages.Texts().join(QString()).contains(QStringLiteral("不能发放")));
    QCOMPARE(t.Count(Bill_Info, "Bill_Flag = '运作'"), 0);
    QCOMPARE(t.Count(Bill_Log_Info), 2);
}

QTEST_MAIN(OperationLogTest)
#include "tst_operationlog.moc"
