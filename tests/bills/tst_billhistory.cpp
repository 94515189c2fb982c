// The history of one bill number: the book that holds it, live or deleted, and its road, traced
// through the dialog over books moved by the real stock operations.
#include "audit/OperationLog.h"
#include "bills/BillHistory.h"
#include "bills/BillHistoryDlg.h"
#include "bills/BillNumbers.h"
#include "bills/StockMoves.h"
#include "lists/QueryListCtrl.h"
#include "maintenance/BillMaintenance.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/MainDlg.h"
#include "masterdata/RecycleBills.h"
#include "schema/Schema.h"
#include "tests/bills/StockTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QtTest>

using namespace schema;

namespace {

KindSpec PrefixedKind() {
    KindSpec kind = FixedKind(QStringLiteral("收费票据乙"));
    kind.prefix = QStringLiteral("SF");
    kind.suffix = QStringLiteral("B");
    return kind;
}

// The roads these helpers leave are the ones the stamps tell, as for books moved before the
// operation log began: their entries are taken out again.
void ForgetLog() {
    TheDatabase().ExecuteStatement(QString::asprintf("DELETE FROM %s", Bill_Log_Info));
}

IssueStamp IssueOn(double documentNo) {
    return {QStringLiteral("2026-2-1 10:0:0"), QStringLiteral("收费科"), QStringLiteral("赵领票"),
            QStringLiteral("李管理"), documentNo};
}

void IssueBook(const QString &kind, const QString &begin) {
    QCOMPARE(IssueRuns({{kind, begin}}, IssueOn(200000000000001.0)).kind, MoveOutcome::Done);
    ForgetLog();
}

// Returns count bills of a book of 100 at 2 yuan each.
void ReturnBook(const KindSpec &kind, const QString &begin, double beginValue, int count) {
    ReturnLine line;
    line.run = {kind.name, begin};
    line.dept = QStringLiteral("收费科");
    line.broker = QStringLiteral("赵领票");
    line.returnTotal = QString::number(count * 2);
    line.returnEndChar = FormatBillNumber(kind.prefix, beginValue + count - 1, kind.suffix, kind.length);
    line.returnCount = QString::number(count);
    line.total = QStringLiteral("200");
    ReturnStamp stamp{QStringLiteral("2026-3-1 16:30:0"), QStringLiteral("王管理"), 300000000000001.0};
    QCOMPARE(ReturnRuns({line}, stamp).kind, MoveOutcome::Done);
    ForgetLog();
}

QStringList Steps(const CQueryListCtrl *list) {
    QStringList steps;
    for (int row = 0; row < list->RowCount(); ++row)
        steps << list->GetItemText(row, 0);
    return steps;
}

QString Cell(const CQueryListCtrl *list, int row, const char *title) {
    return list->GetItemText(row, list->ColumnIndexOfTitle(QString::fromUtf8(title)));
}

void Trace(CBillHistoryDlg &dialog, const QString &kind, const QString &number) {
    dialog.Kinds()->setCurrentText(kind);
    dialog.Number()->setText(number);
    Click(&dialog, "trace");
}

} // namespace

class BillHistoryTest : public QObject {
    Q_OBJECT
private slots:
    void typedNumberTakesOrLeavesPrefixAndSuffix();
    void partlyReturnedBookSaysWhetherTheNumberWasUsed();
    void deletedBookComesFromTheRecycleTable();
    void numberHeldByNoBookSaysSo();
    void voidedBookEndsWithTheVoid();
    void badNumberIsRefused();
    void mainWindowOffersTheHistoryAfterTheFormerQueryItems();
    void loggedRoadShowsEveryStepEvenUndoneOnes();
};

void BillHistoryTest::typedNumberTakesOrLeavesPrefixAndSuffix() {
    KindParams kind;
    kind.prefix = QStringLiteral("SF");
    kind.suffix = QStringLiteral("B");
    kind.length = 8;
    double value = 0;
    QVERIFY(ParseTypedBillNumber(QStringLiteral("SF00000150B"), kind, value));
    QCOMPARE(value, 150.0);
    QVERIFY(ParseTypedBillNumber(QStringLiteral("00000151"), kind, value));
    QCOMPARE(value, 151.0);
    QVERIFY(ParseTypedBillNumber(QStringLiteral(" sf152 "), kind, value));
    QCOMPARE(value, 152.0);
    QVERIFY(!ParseTypedBillNumber(QStringLiteral("SF12X4B"), kind, value));
    QVERIFY(!ParseTypedBillNumber(QStringLiteral("SFB"), kind, value));
    QVERIFY(!ParseTypedBillNumber(QString(), kind, value));
}

void BillHistoryTest::partlyReturnedBookSaysWhetherTheNumberWasUsed() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    const KindSpec kind = PrefixedKind();
    AddKind(kind);
    AddStockRun(kind, 1);
    const QString second = AddStockRun(kind, 101);
    AddStockRun(kind, 201);
    IssueBook(kind.name, second);
    ReturnBook(kind, second, 101, 30); // 101 to 130 used

    CBillHistoryDlg dialog;
    Trace(dialog, kind.name, QStringLiteral("SF00000125B"));
    const CQueryListCtrl *road = dialog.Road();
    QCOMPARE(Steps(road), (QStringList{"入库", "发放", "回收"}));
    QVERIFY2(Cell(road, 0, "说明").contains("SF00000101B 至 SF00000200B"), qPrintable(Cell(road, 0, "说明")));
    QCOMPARE(Cell(road, 0, "单据编号"), QStringLiteral("100000000000000"));
    QCOMPARE(Cell(road, 1, "部门"), QStringLiteral("收费科"));
    QCOMPARE(Cell(road, 1, "领票人"), QStringLiteral("赵领票"));
    QCOMPARE(Cell(road, 1, "票据管理员"), QStringLiteral("李管理"));
    QCOMPARE(Cell(road, 1, "单据编号"), QStringLiteral("200000000000001"));
    QCOMPARE(Cell(road, 2, "时间"), QStringLiteral("2026-03-01 16:30:00"));
    QCOMPARE(Cell(road, 2, "单据编号"), QStringLiteral("300000000000001"));
    const QString returned = Cell(road, 2, "说明");
    QVERIFY2(returned.contains("回收张数 30") && returned.contains("SF00000130B") && returned.contains("￥60.00"),
             qPrintable(returned));
    QVERIFY2(returned.contains("本号已使用"), qPrintable(returned));
    QVERIFY(dialog.Summary()->text().contains("回收"));

    // The last used number is used; the one after it, typed without prefix and suffix, is not.
    Trace(dialog, kind.name, QStringLiteral("SF00000130B"));
    QVERIFY(Cell(road, 2, "说明").contains("本号已使用"));
    Trace(dialog, kind.name, QStringLiteral("131"));
    QCOMPARE(Steps(road).size(), 3);
    QVERIFY2(Cell(road, 2, "说明").contains("本号未使用"), qPrintable(Cell(road, 2, "说明")));

    // The neighbours are in stock only.
    Trace(dialog, kind.name, QStringLiteral("00000200"));
    QCOMPARE(Steps(road).size(), 3);
    Trace(dialog, kind.name, QStringLiteral("00000201"));
    QCOMPARE(Steps(road), QStringList{"入库"});
    QVERIFY(Cell(road, 0, "说明").contains("SF00000201B"));
    QCOMPARE(messages.Count(), 0);
}

void BillHistoryTest::deletedBookComesFromTheRecycleTable() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    const KindSpec kind = FixedKind();
    AddKind(kind);
    const QString first = AddStockRun(kind, 1);
    AddStockRun(kind, 101);
    IssueBook(kind.name, first);
    QVERIFY(RecycleBills(kind.name, first, QStringLiteral("王管理"), QStringLiteral("2026-4-2 8:15:0")));
    QCOMPARE(t.Count(Bill_Info, "Bill_Begin_Char = '00000001'"), 0);

    CBillHistoryDlg dialog;
    Trace(dialog, kind.name, QStringLiteral("00000042"));
    const CQueryListCtrl *road = dialog.Road();
    QCOMPARE(Steps(road), (QStringList{"入库", "发放", "删除"}));
    QCOMPARE(Cell(road, 2, "票据管理员"), QStringLiteral("王管理"));
    QCOMPARE(Cell(road, 2, "时间"), QStringLiteral("2026-04-02 08:15:00"));
    QVERIFY(dialog.Summary()->text().contains("回收表"));

    // The same numbers taken into stock again: the deleted book first, then the live one.
    AddStockRun(kind, 1, 100000000000005.0);
    t.Exec("UPDATE Bill_Info SET Bill_Repository_Time = '2026-5-1 9:0:0' WHERE Bill_Repository_No = 100000000000005");
    Trace(dialog, kind.name, QStringLiteral("00000042"));
    QCOMPARE(Steps(road), (QStringList{"入库", "发放", "删除", "入库"}));
    QCOMPARE(Cell(road, 3, "单据编号"), QStringLiteral("100000000000005"));
    QCOMPARE(Cell(road, 2, "说明"), QStringLiteral("已移入回收表"));

    // Books moved with their whole kind say so.
    QVERIFY(RecycleBills(kind.name, QString::fromUtf8(RemarkKindDeleted), QStringLiteral("王管理"),
                         QStringLiteral("2026-6-1 8:0:0")));
    Trace(dialog, kind.name, QStringLiteral("00000150"));
    QCOMPARE(Steps(road), (QStringList{"入库", "删除"}));
    QCOMPARE(Cell(road, 1, "说明"), QStringLiteral("随票据类型删除，已移入回收表"));
    QCOMPARE(messages.Count(), 0);
}

void BillHistoryTest::numberHeldByNoBookSaysSo() {
    TestDatabase t;
    MessageCapture messages;
    const KindSpec kind = FixedKind();
    AddKind(kind);
    AddStockRun(kind, 101);
    // Another kind's book over the same numbers does not count.
    AddKind(FixedKind(QStringLiteral("其他票据")));
    AddStockRun(FixedKind(QStringLiteral("其他票据")), 1);

    CBillHistoryDlg dialog;
    Trace(dialog, kind.name, QStringLiteral("00000100"));
    QCOMPARE(dialog.Road()->RowCount(), 0);
    QVERIFY2(dialog.Summary()->text().contains("没有任何一本票据含有编号 00000100"),
             qPrintable(dialog.Summary()->text()));
    Trace(dialog, kind.name, QStringLiteral("00000301"));
    QCOMPARE(dialog.Road()->RowCount(), 0);
    QCOMPARE(messages.Count(), 0);
}

void BillHistoryTest::voidedBookEndsWithTheVoid() {
    TestDatabase t;
    MessageCapture messages;
    const KindSpec kind = FixedKind();
    AddKind(kind);
    AddStockRun(kind, 1);
    t.Exec("UPDATE Bill_Info SET Bill_Flag = '作废', Bill_Invalid_Time = '2026-6-1 11:0:0', "
           "Bill_Invalid_Manager = '王管理'");
    CBillHistoryDlg dialog;
    Trace(dialog, kind.name, QStringLiteral("00000100"));
    QCOMPARE(Steps(dialog.Road()), (QStringList{"入库", "作废"}));
    QCOMPARE(Cell(dialog.Road(), 1, "票据管理员"), QStringLiteral("王管理"));
    QVERIFY(dialog.Summary()->text().contains("作废"));
}

void BillHistoryTest::badNumberIsRefused() {
    TestDatabase t;
    MessageCapture messages;
    AddKind(FixedKind());
    AddStockRun(FixedKind(), 1);
    CBillHistoryDlg dialog;
    Trace(dialog, FixedKind().name, QStringLiteral("12a4"));
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().text, QStringLiteral("编号输入错误!"));
    QCOMPARE(messages.Last().caption, QStringLiteral("编号错误"));
    QCOMPARE(dialog.Number()->text(), QStringLiteral("12a4"));
    QCOMPARE(dialog.Road()->RowCount(), 0);
}

void BillHistoryTest::mainWindowOffersTheHistoryAfterTheFormerQueryItems() {
    TestDatabase t;
    MessageCapture messages;
    AddKind(FixedKind());
    AddStockRun(FixedKind(), 1);
    CMainDlg main;
    main.SetCurrentUser(QString::fromUtf8(AdministratorUser));
    const QList<QAction *> items = main.BarMenu(2)->actions();
    QVERIFY(!items.isEmpty());
    QCOMPARE(items.at(8)->text(), QStringLiteral("票据追踪"));
    QCOMPARE(items.at(8), main.CommandAction(cmd::History));
    // The menu keeps its former items in front of the new one.
    QCOMPARE(BarMenuItems(2).mid(0, 8), (QList<int>{cmd::Index, cmd::Search, cmd::Extract, 0, cmd::Delete, cmd::Void,
                                                    cmd::Forced, cmd::Documents}));

    // The command opens the dialog over the main window; trace a number in it and close it.
    QString traced;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<CBillHistoryDlg *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        Trace(*dialog, FixedKind().name, QStringLiteral("00000077"));
        traced = dialog->Road()->GetItemText(0, 0);
        dialog->reject();
    });
    main.RunCommand(cmd::History);
    QCOMPARE(traced, QStringLiteral("入库"));
    QCOMPARE(messages.Count(), 0);
}

void BillHistoryTest::loggedRoadShowsEveryStepEvenUndoneOnes() {
    TestDatabase t;
    MessageCapture messages;
    SetLogUser(QStringLiteral("出纳"));
    AddMasterData();
    const KindSpec kind = FixedKind();
    AddKind(kind);
    StockInEntry entry;
    QVERIFY(ReadKind(kind.name, entry.kind));
    entry.width = 8;
    entry.begin = 1;
    entry.books = 2;
    entry.stockTime = entry.madeTime = QStringLiteral("2026-1-5 9:0:0");
    entry.manager = QStringLiteral("李管理");
    entry.madeUnits = QStringLiteral("省印刷厂");
    entry.documentNo = 100000000000000.0;
    InsertStockRuns(entry);
    const QString second = QStringLiteral("00000101");
    QCOMPARE(IssueRuns({{kind.name, second}}, IssueOn(200000000000001.0)).kind, MoveOutcome::Done);
    QCOMPARE(CancelDocument(*FindDocumentKind(QStringLiteral("出库单")), QStringLiteral("200000000000001")).outcome,
             DocumentCancel::Done);
    QCOMPARE(IssueRuns({{kind.name, second}}, IssueOn(200000000000002.0)).kind, MoveOutcome::Done);

    // The stamps know of the last issue only; the log tells the cancelled one too.
    CBillHistoryDlg dialog;
    Trace(dialog, kind.name, QStringLiteral("00000150"));
    const CQueryListCtrl *road = dialog.Road();
    QCOMPARE(Steps(road), (QStringList{"入库", "发放", "撤销出库单", "发放"}));
    QCOMPARE(Cell(road, 1, "单据编号"), QStringLiteral("200000000000001"));
    QCOMPARE(Cell(road, 3, "单据编号"), QStringLiteral("200000000000002"));
    QCOMPARE(Cell(road, 3, "票据管理员"), QStringLiteral("出纳"));
    QCOMPARE(Cell(road, 1, "说明"), QStringLiteral("发放给 收费科 赵领票"));
    // The other book's road is its own.
    Trace(dialog, kind.name, QStringLiteral("00000001"));
    QCOMPARE(Steps(road), QStringList{"入库"});
    QCOMPARE(messages.Count(), 0);
}

QTEST_MAIN(BillHistoryTest)
#include "tst_billhistory.moc"
