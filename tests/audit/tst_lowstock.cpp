// Low stock: the kind dialog takes the limit, the warning after login names the short kinds with their
// counts, and the repository view marks them, the mark following stock-in and issue.
#include "audit/LowStock.h"
#include "bills/IssueDlg.h"
#include "bills/StockInDlg.h"
#include "lists/QueryListCtrl.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/MainDlg.h"
#include "masterdata/AddBillKindDlg.h"
#include "masterdata/BillKindDlg.h"
#include "schema/Schema.h"
#include "tests/bills/StockTestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

using namespace schema;

namespace {

void SetLimit(TestDatabase &t, const QString &kind, int limit) {
    t.Exec(QStringLiteral("UPDATE Bill_Kind_Info SET Bill_Kind_Stock_Limit = %1 WHERE Bill_Kind_Name = '%2'")
               .arg(limit)
               .arg(kind));
}

QStringList TreeTexts(const QTreeWidget *tree) {
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts << tree->topLevelItem(i)->text(0);
    return texts;
}

// Runs a main window command whose dialog is answered by work once it shows.
template <class Dialog> void RunWithDialog(CMainDlg &main, int command, const std::function<void(Dialog &)> &work) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        seen = true;
        work(*dialog);
    });
    main.RunCommand(command);
    QVERIFY(seen);
}

} // namespace

class LowStockTest : public QObject {
    Q_OBJECT
private slots:
    void kindDialogStoresTheLimit();
    void warningNamesTheShortKindsWithTheirCounts();
    void markFollowsStockInAndIssue();
};

void LowStockTest::kindDialogStoresTheLimit() {
    TestDatabase t;
    MessageCapture messages;
    AddMainKind(QStringLiteral("行政事业性收费"));
    CAddBillKindDlg dlg(nullptr);
    dlg.NameEdit()->setText(QStringLiteral("收据"));
    dlg.PriceEdit()->setText(QStringLiteral("2"));
    dlg.LengthEdit()->setText(QStringLiteral("8"));
    QCOMPARE(dlg.StockLimitEdit()->text(), QStringLiteral("0"));
    dlg.StockLimitEdit()->setText(QStringLiteral("5"));
    dlg.AcceptButton()->click();
    QCOMPARE(t.Scalar("SELECT Bill_Kind_Stock_Limit FROM Bill_Kind_Info WHERE Bill_Kind_Name = '收据'"),
             QStringLiteral("5"));
    CAddBillKindDlg refused(nullptr);
    refused.NameEdit()->setText(QStringLiteral("收据二"));
    refused.PriceEdit()->setText(QStringLiteral("2"));
    refused.LengthEdit()->setText(QStringLiteral("8"));
    refused.StockLimitEdit()->setText(QStringLiteral("很多"));
    refused.AcceptButton()->click();
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(t.Count(Bill_Kind_Info, "Bill_Kind_Name = '收据二'"), 0);

    // The kind list shows the limit and sets it anew for the selected kind.
    CBillKindDlg kinds;
    QCOMPARE(kinds.List()->GetItemText(0, kinds.List()->ColumnIndexOfTitle(QStringLiteral("库存下限"))),
             QStringLiteral("5"));
    kinds.List()->SelectRow(0);
    kinds.StockLimitBox()->setValue(12);
    kinds.StockLimitButton()->click();
    QCOMPARE(t.Scalar("SELECT Bill_Kind_Stock_Limit FROM Bill_Kind_Info WHERE Bill_Kind_Name = '收据'"),
             QStringLiteral("12"));
    QCOMPARE(kinds.List()->GetItemText(0, kinds.List()->ColumnIndexOfTitle(QStringLiteral("库存下限"))),
             QStringLiteral("12"));
    QCOMPARE(t.Scalar("SELECT Bill_Log_Operation || ' ' || Bill_Log_Kind || ' ' || Bill_Log_Detail FROM Bill_Log_Info "
                      "WHERE Bill_Log_No = 2"),
             QStringLiteral("设置库存下限 收据 库存下限 12 本"));
}

void LowStockTest::warningNamesTheShortKindsWithTheirCounts() {
    TestDatabase t;
    MessageCapture messages;
    const KindSpec a = FixedKind(QStringLiteral("甲票")), b = FixedKind(QStringLiteral("乙票")),
                   c = FixedKind(QStringLiteral("丙票"));
    for (const KindSpec &kind : {a, b, c})
        AddKind(kind);
    SetLimit(t, a.name, 3);
    SetLimit(t, c.name, 1);
    AddStockRun(a, 1);
    AddStockRun(a, 101);
    AddStockRun(a, 201);
    AddStockRun(c, 1);
    t.Exec("UPDATE Bill_Info SET Bill_Flag = '运作' WHERE Bill_Kind = '甲票' AND Bill_Begin_Char = '00000001'");
    CMainDlg main;
    main.WarnOfLowStock();
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().text, QStringLiteral("以下票据类型库存不足：\n\n甲票：库存 2 本，库存下限 3 本"));
    QCOMPARE(messages.Last().caption, QStringLiteral("库存不足"));

    // No short kind: no message.
    SetLimit(t, a.name, 2);
    main.WarnOfLowStock();
    QCOMPARE(messages.Count(), 1);
}

void LowStockTest::markFollowsStockInAndIssue() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    const KindSpec kind = FixedKind();
    AddKind(kind);
    AddKind(FixedKind(QStringLiteral("收费票据乙")));
    SetLimit(t, kind.name, 3);
    CMainDlg main;
    main.SetCurrentUser(QString::fromUtf8(AdministratorUser));
    main.ShowRepositoryView();
    const QString marked = kind.name + QStringLiteral("（库存不足）");
    QCOMPARE(TreeTexts(main.Tree()), QStringList({marked, QStringLiteral("收费票据乙")}));
    QVERIFY(main.Tree()->topLevelItem(0)->icon(0).cacheKey() != main.Tree()->topLevelItem(1)->icon(0).cacheKey());

    RunWithDialog<CStockInDlg>(main, cmd::StockIn, [](CStockInDlg &stockIn) {
        Child<QComboBox>(&stockIn, "kind")->setCurrentText(FixedKind().name);
        Child<QLineEdit>(&stockIn, "beginDigits")->setText(QStringLiteral("00000001"));
        Child<QSpinBox>(&stockIn, "books")->setValue(4);
        Click(&stockIn, "confirm");
    });
    QCOMPARE(TreeTexts(main.Tree()), QStringList({kind.name, QStringLiteral("收费票据乙")}));

    // The double click on the kind still lists its books under the plain name.
    main.OnTreeDoubleClick(main.Tree()->topLevelItem(0));
    QCOMPARE(main.MainList()->RowCount(), 4);
    main.MainList()->SelectRow(0);
    main.MainList()->SelectRow(1, true);
    RunWithDialog<CIssueDlg>(main, cmd::Issue, [](CIssueDlg &issue) {
        const QList<QTreeWidgetItem *> found =
            issue.Tree()->findItems(QStringLiteral("赵领票"), Qt::MatchExactly | Qt::MatchRecursive);
        emit issue.Tree()->itemDoubleClicked(found.value(0), 0);
        Click(&issue, "issue");
    });
    QCOMPARE(TreeTexts(main.Tree()), QStringList({marked, QStringLiteral("收费票据乙")}));
    QCOMPARE(messages.Count(), 0);
}

QTEST_MAIN(LowStockTest)
#include "tst_lowstock.moc"
