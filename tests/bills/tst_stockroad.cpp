// The road of a book through the clerk's day: stock-in, issue from the repository view, return of a
// partly used book from the department view, and the rows that result.
#include "bills/IssueDlg.h"
#include "bills/ModalRunner.h"
#include "bills/ReturnDlg.h"
#include "bills/ReturnLineDlg.h"
#include "bills/StockInDlg.h"
#include "lists/QueryListCtrl.h"
#include "mainwindow/MainDlg.h"
#include "schema/Schema.h"
#include "tests/bills/StockTestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>

using namespace schema;

namespace {

QTreeWidgetItem *TreeItem(QTreeWidget *tree, const QString &text) {
    const QList<QTreeWidgetItem *> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.value(0);
}

QString Column(const CQueryListCtrl *list, int row, const char *title) {
    return list->GetItemText(row, list->ColumnIndexOfTitle(QString::fromUtf8(title)));
}

} // namespace

class StockRoadTest : public QObject {
    Q_OBJECT
private slots:
    void bookTravelsFromStockThroughIssueToReturn();
};

void StockRoadTest::bookTravelsFromStockThroughIssueToReturn() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    const QString kind = FixedKind().name;

    // Stock-in: three books of 100 from 00000001.
    {
        CStockInDlg stockIn;
        Child<QLineEdit>(&stockIn, "beginDigits")->setText(QStringLiteral("00000001"));
        Child<QSpinBox>(&stockIn, "books")->setValue(3);
        Click(&stockIn, "confirm");
        QCOMPARE(stockIn.result(), int(QDialog::Accepted));
    }
    QCOMPARE(t.Count(Bill_Info, "Bill_Flag = '库存' AND Bill_Repository_No = 100000000000000"), 3);

    // Issue: the first two books, selected in the repository view.
    CMainDlg main;
    main.SetCurrentUser(QString::fromUtf8(AdministratorUser));
    main.ShowRepositoryView();
    main.OnTreeDoubleClick(TreeItem(main.Tree(), kind));
    CQueryListCtrl *mainList = main.MainList();
    QCOMPARE(mainList->RowCount(), 3);
    mainList->SelectRow(0);
    mainList->SelectRow(1, true);
    {
        CIssueDlg issue(main.MainList());
        QCOMPARE(issue.PendingList()->RowCount(), 2);
        emit issue.Tree()->itemDoubleClicked(TreeItem(issue.Tree(), QStringLiteral("赵领票")), 0);
        Click(&issue, "issue");
        QCOMPARE(issue.result(), int(QDialog::Accepted));
    }
    QCOMPARE(mainList->RowCount(), 1);
    QCOMPARE(Column(mainList, 0, "开始编号"), QStringLiteral("00000201"));
    QCOMPARE(t.Count(Bill_Info, "Bill_Flag = '运作' AND Bill_Issue_No = 200000000000000 AND "
                                "Bill_Issue_Broker = '赵领票' AND Bill_Issue_Dept = '收费科'"),
             2);

    // Return: the recipient's books from the department view; the first came back with 30 used.
    main.ShowDepartmentView();
    main.OnTreeDoubleClick(TreeItem(main.Tree(), QStringLiteral("赵领票")));
    QCOMPARE(mainList->RowCount(), 2);
    mainList->SelectRow(0);
    mainList->SelectRow(1, true);
    {
        CReturnDlg giveBack(main.MainList());
        CQueryListCtrl *pending = giveBack.PendingList();
        QCOMPARE(pending->RowCount(), 2);
        QCOMPARE(Column(pending, 1, "返还人"), QStringLiteral("赵领票"));
        ReturnWithFirstLineUsed(giveBack, 30);
        QCOMPARE(giveBack.result(), int(QDialog::Accepted));
    }
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(mainList->RowCount(), 0);

    // Three rows, one per book, never split.
    QCOMPARE(t.Count(Bill_Info), 3);
    QCOMPARE(
        t.Scalar("SELECT group_concat(Bill_Begin_Char || ':' || Bill_Flag || ':' || "
                 "IFNULL(Bill_Unit_Return_Amount, '') || ':' || IFNULL(Bill_Return_End_Char, '') || ':' || "
                 "IFNULL(Bill_Unit_Return_Total, ''), ' ') FROM (SELECT * FROM Bill_Info ORDER BY Bill_Begin_Int)"),
        QStringLiteral("00000001:回收:30:00000030:60.0 00000101:回收:100:00000200:200.0 00000201:库存:::"));
    QCOMPARE(t.Count(Bill_Info, "Bill_Return_No = 300000000000000 AND Bill_Return_Broker = '赵领票' AND "
                                "Bill_Return_Manager = '李管理'"),
             2);
}

QTEST_MAIN(StockRoadTest)
#include "tst_stockroad.moc"
