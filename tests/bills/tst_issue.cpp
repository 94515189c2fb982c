// Issue: the pending list, its checks and the one transaction that hands the books out.
#include "bills/IssueDlg.h"
#include "lists/QueryListCtrl.h"
#include "mainwindow/MainDlg.h"
#include "reports/PrintEngine.h"
#include "schema/Schema.h"
#include "tests/bills/StockTestSupport.h"
#include "tests/support/DialogSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPrinter>
#include <QTreeWidget>
#include <QtTest>

using namespace schema;

namespace {

void Type(CIssueDlg &dlg, const QString &digits) {
    Child<QLineEdit>(&dlg, "beginDigits")->setText(digits);
    Click(&dlg, "insert");
}

// Double-clicks the tree node: a recipient under its department, or a department alone.
void Choose(CIssueDlg &dlg, const QString &dept, const QString &broker = QString()) {
    QTreeWidgetItem *item = dlg.Tree()->findItems(dept, Qt::MatchExactly).value(0);
    QVERIFY(item);
    for (int i = 0; !broker.isEmpty() && i < item->childCount(); ++i)
        if (item->child(i)->text(0) == broker)
            item = item->child(i);
    emit dlg.Tree()->itemDoubleClicked(item, 0);
}

QStringList Row(const CQueryListCtrl *list, int row) {
    QStringList cells;
    for (int column = 0; column < list->ColumnCount(); ++column)
        cells << list->GetItemText(row, column);
    return cells;
}

} // namespace

class IssueTest : public QObject {
    Q_OBJECT
private slots:
    void pendingListStartsEmptyWithItsColumns();
    void typedBooksAreCheckedAgainstTheStock();
    void treeDoubleClickSetsDepartmentAndRecipient();
    void issueStampsSixColumnsAndNothingElse();
    void issueWithoutRecipientDoesNothing();
    void failingIssueChangesNoRowAndCanBeRetried();
    void runThatLeftTheStockIsNotIssued();
    void continuousIssueKeepsTheDocumentNumber();
    void preFilledRowsComeFromTheMainListAndLeaveIt();
    void printingHandsThePendingListToThePrintEngine();
    void tabFollowsTheFieldsOnTheScreen();
};

void IssueTest::pendingListStartsEmptyWithItsColumns() {
    TestDatabase t;
    MessageCapture messages;
    CIssueDlg dlg(nullptr);
    QCOMPARE(dlg.PendingList()->GetHeaderTitles(),
             QStringList({"票据类型", "开始编号", "结尾编号", "单价", "张数", "金额"}));
    QCOMPARE(dlg.PendingList()->RowCount(), 0);
    QCOMPARE(Child<QLineEdit>(&dlg, "documentNo")->text(), QStringLiteral("200000000000000"));
    QCOMPARE(messages.Count(), 0);
}

void IssueTest::typedBooksAreCheckedAgainstTheStock() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    KindSpec kind = FixedKind();
    kind.prefix = QStringLiteral("AB");
    AddKind(kind);
    AddKind(FixedKind(QStringLiteral("收费票据乙")));
    AddStockRun(kind, 1);
    AddStockRun(FixedKind(QStringLiteral("收费票据乙")), 1);
    CIssueDlg dlg(nullptr);
    CQueryListCtrl *list = dlg.PendingList();
    Child<QComboBox>(&dlg, "kind")->setCurrentText(kind.name);
    QCOMPARE(Child<QLineEdit>(&dlg, "prefix")->text(), QStringLiteral("AB"));

    Type(dlg, QString());
    QCOMPARE(messages.Count(), 0);
    Type(dlg, QStringLiteral("0000x001"));
    QCOMPARE(messages.Last().text, QStringLiteral("编号输入错误!"));
    QCOMPARE(messages.Last().caption, QStringLiteral("编号错误"));

    Type(dlg, QStringLiteral("00000001"));
    QCOMPARE(list->RowCount(), 1);
    QCOMPARE(Row(list, 0), QStringList({"收费票据甲", "AB00000001", "AB00000100", "￥2.00", "100", "￥200.00"}));
    QCOMPARE(list->SelectedRows(), QList<int>({0}));
    QCOMPARE(Child<QLineEdit>(&dlg, "beginDigits")->text(), QStringLiteral("00000001"));

    messages.Clear();
    Type(dlg, QStringLiteral("00000001"));
    QCOMPARE(messages.Last().text, QStringLiteral("编号 AB00000001 已经列入!"));
    QCOMPARE(messages.Last().caption, QStringLiteral("重复列入"));

    // A wrong number of digits is simply not in stock.
    Type(dlg, QStringLiteral("0000001"));
    QCOMPARE(messages.Last().text,
             QStringLiteral("编号 AB0000001 不在票据仓库中，可能正在被其他人使用，也可能没有入库。"));
    QCOMPARE(messages.Last().caption, QStringLiteral("编号仓库报错"));
    QCOMPARE(list->RowCount(), 1);

    // The same number of another kind is another book.
    Child<QComboBox>(&dlg, "kind")->setCurrentText(QStringLiteral("收费票据乙"));
    QVERIFY(Child<QLineEdit>(&dlg, "prefix")->text().isEmpty());
    messages.Clear();
    Type(dlg, QStringLiteral("00000001"));
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(list->RowCount(), 2);

    // A book already issued is not in stock.
    t.Exec(QStringLiteral("UPDATE Bill_Info SET Bill_Flag = '运作' WHERE Bill_Kind = '收费票据乙'"));
    list->DeleteRow(1);
    Type(dlg, QStringLiteral("00000001"));
    QCOMPARE(messages.Last().caption, QStringLiteral("编号仓库报错"));
    QCOMPARE(list->RowCount(), 1);
}

void IssueTest::treeDoubleClickSetsDepartmentAndRecipient() {
    TestDatabase t;
    AddDepartment(QStringLiteral("收费科"));
    AddDepartment(QStringLiteral("财务科"));
    AddDepartment(QStringLiteral("收费科"));
    AddBroker(QStringLiteral("赵领票"), QStringLiteral("收费科"));
    AddBroker(QStringLiteral("钱领票"), QStringLiteral("财务科"));
    t.Exec(QStringLiteral("INSERT INTO Bill_Broker_Info (Bill_Broker_Name, Bill_Broker_Dept) VALUES ('孙领票', 3)"));
    t.Exec(QStringLiteral("INSERT INTO Bill_Broker_Info (Bill_Broker_Name, Bill_Broker_Dept) VALUES ('无部门', 99)"));
    CIssueDlg dlg(nullptr);
    QTreeWidget *tree = dlg.Tree();
    QCOMPARE(tree->topLevelItemCount(), 3);
    // Recipients of both departments named 收费科 stand under the first of them.
    QCOMPARE(tree->topLevelItem(0)->childCount(), 2);
    QCOMPARE(tree->topLevelItem(2)->childCount(), 0);

    Choose(dlg, QStringLiteral("财务科"), QStringLiteral("钱领票"));
    QCOMPARE(Child<QLineEdit>(&dlg, "dept")->text(), QStringLiteral("财务科"));
    QCOMPARE(Child<QLineEdit>(&dlg, "broker")->text(), QStringLiteral("钱领票"));
    Choose(dlg, QStringLiteral("收费科"));
    QCOMPARE(Child<QLineEdit>(&dlg, "dept")->text(), QStringLiteral("收费科"));
    QVERIFY(Child<QLineEdit>(&dlg, "broker")->text().isEmpty());
}

void IssueTest::issueStampsSixColumnsAndNothingElse() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    for (double begin : {1.0, 101.0, 201.0})
        AddStockRun(FixedKind(), begin);
    AddStockRun(FixedKind(), 301, 100000000000001.0);
    t.Exec(QStringLiteral("UPDATE Bill_Info SET Bill_Issue_No = 200000000000004, Bill_Flag = '运作' "
                          "WHERE Bill_Begin_Int = 301"));
    const QVector<StoredRow> before = StoredRows(Bill_Info, Bill_ID);

    CIssueDlg dlg(nullptr);
    QCOMPARE(Child<QLineEdit>(&dlg, "documentNo")->text(), QStringLiteral("200000000000005"));
    Child<QDateTimeEdit>(&dlg, "issueTime")->setDateTime(QDateTime(QDate(2026, 3, 7), QTime(9, 5, 0)));
    Choose(dlg, QStringLiteral("收费科"), QStringLiteral("赵领票"));
    Type(dlg, QStringLiteral("00000001"));
    Type(dlg, QStringLiteral("00000201"));
    Click(&dlg, "issue");
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));

    const QVector<StoredRow> after = StoredRows(Bill_Info, Bill_ID);
    const QStringList stamped{"Bill_Flag",          "Bill_Issue_Broker", "Bill_Issue_Dept",
                              "Bill_Issue_Manager", "Bill_Issue_No",     "Bill_Issue_Time"};
    for (int i = 0; i < before.size(); ++i) {
        const bool issued = before[i]["Bill_Begin_Int"] == "1" || before[i]["Bill_Begin_Int"] == "201";
        QCOMPARE(ChangedColumns(before[i], after[i]), issued ? stamped : QStringList());
        if (issued) {
            QCOMPARE(after[i]["Bill_Flag"], QStringLiteral("运作"));
            QCOMPARE(after[i]["Bill_Issue_Time"], QStringLiteral("2026-03-07 09:05:00"));
            QCOMPARE(after[i]["Bill_Issue_Dept"], QStringLiteral("收费科"));
            QCOMPARE(after[i]["Bill_Issue_Broker"], QStringLiteral("赵领票"));
            QCOMPARE(after[i]["Bill_Issue_Manager"], QStringLiteral("李管理"));
            QCOMPARE(after[i]["Bill_Issue_No"], QStringLiteral("200000000000005"));
        }
    }
}

void IssueTest::issueWithoutRecipientDoesNothing() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    AddStockRun(FixedKind(), 1);
    CIssueDlg dlg(nullptr);
    Type(dlg, QStringLiteral("00000001"));
    Choose(dlg, QStringLiteral("收费科"));
    Click(&dlg, "issue");
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(dlg.result(), 0);
    QCOMPARE(t.Count(Bill_Info, "Bill_Flag = '库存'"), 1);
}

void IssueTest::failingIssueChangesNoRowAndCanBeRetried() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    for (double begin : {1.0, 101.0, 201.0})
        AddStockRun(FixedKind(), begin);
    t.Exec(QStringLiteral("CREATE TRIGGER second_row BEFORE UPDATE ON Bill_Info WHEN NEW.Bill_Begin_Int = 101 "
                          "BEGIN SELECT RAISE(ABORT, '记录被锁定'); END"));
    CIssueDlg dlg(nullptr);
    Choose(dlg, QStringLiteral("收费科"), QStringLiteral("赵领票"));
    for (const char *digits : {"00000001", "00000101", "00000201"})
        Type(dlg, QLatin1String(digits));
    const QVector<StoredRow> before = StoredRows(Bill_Info, Bill_ID);
    Click(&dlg, "issue");
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().text, QStringLiteral("记录被锁定"));
    QCOMPARE(messages.Last().caption, ApplicationTitle());
    QCOMPARE(StoredRows(Bill_Info, Bill_ID), before);
    QCOMPARE(dlg.result(), 0);
    QCOMPARE(dlg.PendingList()->RowCount(), 3);

    // Once the cause is gone the same list is issued, every row once, under one number.
    t.Exec(QStringLiteral("DROP TRIGGER second_row"));
    Click(&dlg, "issue");
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(t.Count(Bill_Info, "Bill_Flag = '运作' AND Bill_Issue_No = 200000000000000"), 3);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
}

void IssueTest::runThatLeftTheStockIsNotIssued() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    AddStockRun(FixedKind(), 1);
    AddStockRun(FixedKind(), 101);
    CIssueDlg dlg(nullptr);
    Choose(dlg, QStringLiteral("收费科"), QStringLiteral("赵领票"));
    Type(dlg, QStringLiteral("00000001"));
    Type(dlg, QStringLiteral("00000101"));
    // Voided elsewhere after it was listed.
    t.Exec(QStringLiteral("UPDATE Bill_Info SET Bill_Flag = '作废' WHERE Bill_Begin_Int = 101"));
    const QVector<StoredRow> before = StoredRows(Bill_Info, Bill_ID);
    Click(&dlg, "issue");
    QCOMPARE(messages.Last().text,
             QStringLiteral("编号 00000101 不在票据仓库中，可能正在被其他人使用，也可能没有入库。"));
    QCOMPARE(messages.Last().caption, QStringLiteral("编号仓库报错"));
    QCOMPARE(StoredRows(Bill_Info, Bill_ID), before);
    QCOMPARE(dlg.PendingList()->SelectedRows(), QList<int>({1}));
    QCOMPARE(dlg.result(), 0);
}

void IssueTest::continuousIssueKeepsTheDocumentNumber() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddBroker(QStringLiteral("钱领票"), QStringLiteral("收费科"));
    KindSpec kind = FixedKind();
    kind.prefix = QStringLiteral("F");
    AddKind(kind);
    AddStockRun(kind, 1);
    AddStockRun(kind, 101);
    CIssueDlg dlg(nullptr);
    Child<QCheckBox>(&dlg, "continuous")->setChecked(true);
    Choose(dlg, QStringLiteral("收费科"), QStringLiteral("赵领票"));
    Type(dlg, QStringLiteral("00000001"));
    Click(&dlg, "issue");
    QCOMPARE(dlg.result(), 0);
    QCOMPARE(dlg.PendingList()->RowCount(), 0);
    for (const char *field : {"dept", "broker", "beginDigits", "prefix", "suffix"})
        QVERIFY2(Child<QLineEdit>(&dlg, field)->text().isEmpty(), field);
    QCOMPARE(Child<QLineEdit>(&dlg, "documentNo")->text(), QStringLiteral("200000000000000"));

    // Choosing the same kind again from its list brings its prefix back.
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    auto *kinds = Child<QComboBox>(&dlg, "kind");
    kinds->showPopup();
    QTRY_VERIFY(kinds->view()->isVisible());
    QTest::keyClick(kinds->view(), Qt::Key_Return);
    QTRY_VERIFY(!kinds->view()->isVisible());
    QCOMPARE(Child<QLineEdit>(&dlg, "prefix")->text(), QStringLiteral("F"));
    Choose(dlg, QStringLiteral("收费科"), QStringLiteral("钱领票"));
    Type(dlg, QStringLiteral("00000101"));
    QCOMPARE(messages.Count(), 0);
    Click(&dlg, "issue");
    QCOMPARE(t.Count(Bill_Info, "Bill_Issue_No = 200000000000000"), 2);
    QCOMPARE(t.Scalar("SELECT Bill_Issue_Broker FROM Bill_Info WHERE Bill_Begin_Int = 101"), QStringLiteral("钱领票"));
}

void IssueTest::preFilledRowsComeFromTheMainListAndLeaveIt() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    for (double begin : {1.0, 101.0, 201.0})
        AddStockRun(FixedKind(), begin);
    CMainDlg main;
    main.SetCurrentUser(QString::fromUtf8(AdministratorUser));
    main.ShowRepositoryView();
    main.OnTreeDoubleClick(main.Tree()->topLevelItem(0));
    CQueryListCtrl *mainList = main.MainList();
    QCOMPARE(mainList->RowCount(), 3);
    mainList->SelectRow(0);
    mainList->SelectRow(2, true);

    CIssueDlg dlg(main.MainList());
    CQueryListCtrl *pending = dlg.PendingList();
    QCOMPARE(pending->RowCount(), 2);
    QCOMPARE(pending->GetItemText(0, 1), QStringLiteral("00000001"));
    QCOMPARE(pending->GetItemText(1, 1), QStringLiteral("00000201"));
    QCOMPARE(pending->GetItemText(1, 0), FixedKind().name);
    pending->SelectRow(0);
    Click(&dlg, "remove");
    QCOMPARE(pending->RowCount(), 1);
    Click(&dlg, "restore");
    QCOMPARE(pending->RowCount(), 2);

    Choose(dlg, QStringLiteral("收费科"), QStringLiteral("赵领票"));
    Click(&dlg, "issue");
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(t.Count(Bill_Info, "Bill_Flag = '运作'"), 2);
    QCOMPARE(mainList->RowCount(), 1);
    QCOMPARE(mainList->GetItemText(0, mainList->ColumnIndexOfTitle(QStringLiteral("开始编号"))),
             QStringLiteral("00000101"));
}

void IssueTest::printingHandsThePendingListToThePrintEngine() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    AddStockRun(FixedKind(), 1);
    int asked = 0;
    const PrintDialogRunner previous = SetPrintDialogRunner([&](QPrinter &, QWidget *) {
        ++asked;
        return false; // the user cancels: nothing is printed
    });
    CIssueDlg dlg(nullptr);
    Type(dlg, QStringLiteral("00000001"));
    Click(&dlg, "print");
    SetPrintDialogRunner(previous);
    QCOMPARE(asked, 1);
    QCOMPARE(dlg.PendingList()->RowCount(), 1);
}

void IssueTest::tabFollowsTheFieldsOnTheScreen() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    CIssueDlg dlg(nullptr);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    dlg.activateWindow();
    // Read-only fields (document number, department, recipient, prefix, suffix) are passed over;
    // from the begin number Tab goes on to the list below it, not back to the tree on the left.
    QCOMPARE(NamesOf(TabStops(dlg.Tree(), 7)),
             QStringList({"tree", "manager", "issueTime", "kind", "continuous", "beginDigits", "pending"}));
    QCOMPARE(NamesOf(TabStops(Child<QLineEdit>(&dlg, "beginDigits"), 4)),
             QStringList({"beginDigits", "pending", "issue", "print"}));
    QCOMPARE(messages.Count(), 0);
}

QTEST_MAIN(IssueTest)
#include "tst_issue.moc"
