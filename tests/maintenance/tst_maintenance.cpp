#include "app/Database.h"
#include "app/Dialect.h"
#include "app/LoginDlg.h"
#include "bills/BillHistory.h"
#include "bills/BillNumbers.h"
#include "bills/StockDialogParts.h"
#include "bills/StockMoves.h"
#include "lists/QueryListCtrl.h"
#include "maintenance/BillMaintenance.h"
#include "maintenance/ForcedOperationDlg.h"
#include "maintenance/OperationDocumentDlg.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/MainDlg.h"
#include "reports/ExportList.h"
#include "reports/PrintEngine.h"
#include "reports/ReportGenerators.h"
#include "schema/Schema.h"
#include "tests/bills/StockTestSupport.h"
#include "tests/support/DialogSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using namespace schema;

class MaintenanceTest : public QObject {
    Q_OBJECT
private slots:
    // Void and delete on the main list.
    void voidAsksForEachRunAndCancelEndsTheCommand();
    void voidOfEveryRunEmptiesTheSelection();
    void voidWithoutCurrentAdministratorStampsEmptyText();
    void voidFailingInTheMiddleKeepsTheRunsDoneAndStopsOnce();
    void deleteMovesOnlyTheTopmostRunAndItsSingleBills();
    void deletedRowEqualsTheOriginalPlusTheDeletionStamps();
    void deleteCancelledOrFailedChangesNothing();
    void rowsThatNameNoStoredRunAreToldAndChangeNothing();
    void eachCommandWantsItsOwnRight();

    // Forced operation.
    void forcedListOpensWithReturnedRunsByReturnTimeWithoutTotal();
    void forcedTotalRowAppearsAfterSwitchingAndNotForZero();
    void forcedDeleteMovesTheRunAndNoChangesNothing();
    void forcedDeleteOfAVoidedRunKeepsWhoVoidedIt();
    void forcedTotalIsTheSumOfTheRowsShown();
    void forcedFindKeepsItsStartRowAcrossOpenings();
    void forcedExtractKeepsSelectedRowsAndPrintNamesTheObject();
    void tabMovesThroughBothDialogsAsTheyRead();

    // Operation documents.
    void documentsOfTheRangeAreListedOnceWithTheWholeLastDay();
    void clickedDocumentListsItsRunsInNumberOrder();
    void partlyIssuedStockInIsRefusedListingEveryOffendingRun();
    void cancelledIssueReturnsTheSameRowsToStock();
    void cancelledReturnPutsRunsBackToIssued();
    void cancelledReturnLeavesNoReturnBehind();
    void continuousIssueIsListedOnceAndCancelledOnce();
    void cancelledStockInLeavesNoSingleBillBehind();
    void runWithoutStateDoesNotBlockACancel();
    void failedCancelChangesNothingAndKeepsTheDocument();
    void countsAndPrintReferToTheQueriedKind();
    void enterRunsTheQueryAndListsFollowTheDialogSize();

    // Through the real main window.
    void menuCommandsWorkEndToEnd();
};

namespace {

const KindSpec Fixed{QStringLiteral("行政收费票据"),
                     QStringLiteral("行政事业性收费"),
                     QStringLiteral("XZ"),
                     QString(),
                     8,
                     50,
                     2.0,
                     false};
const KindSpec NonFixed{
    QStringLiteral("罚没票据"), QStringLiteral("政府性基金"), QStringLiteral("FM"), QString(), 8, 10, 0.0, true};

// A main window for the administrator account, its rights loaded, in department view.
struct Window {
    Window() {
        dlg.SetCurrentUser(QString::fromUtf8(AdministratorUser));
        dlg.Permissions().LoadPermissionTable();
        dlg.LoadUserRights();
        dlg.ShowDepartmentViewAgain();
    }
    CMainDlg dlg;
};

QTreeWidgetItem *TopItem(CMainDlg &dlg, const QString &text) {
    const QList<QTreeWidgetItem *> found = dlg.Tree()->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

// Lists the stock of the kind in the repository view and selects the rows.
void ListStock(CMainDlg &dlg, const KindSpec &kind, const QList<int> &selected) {
    dlg.RunCommand(cmd::RepositoryView);
    dlg.OnTreeDoubleClick(TopItem(dlg, kind.name));
    dlg.MainList()->ClearSelection();
    for (int row : selected)
        dlg.MainList()->SelectRow(row, true);
}

QStringList ColumnTexts(const CQueryListCtrl *list, const QString &title) {
    QStringList texts;
    for (int row = 0; row < list->RowCount(); ++row)
        texts << CellText(list, row, title);
    return texts;
}

// The stored run of the kind with the first number, every column; empty when there is none.
StoredRow RunRow(const char *table, const QString &begin) {
    for (const StoredRow &row : StoredRows(table, Bill_Begin_Int))
        if (row.value(QString::fromLatin1(Bill_Begin_Char)) == begin)
            return row;
    return StoredRow();
}

QString Flag(const QString &begin) {
    return RunRow(Bill_Info, begin).value(QString::fromLatin1(Bill_Flag));
}

QString Column(const StoredRow &row, const char *column) {
    return row.value(QString::fromLatin1(column));
}

QString Number(const KindSpec &kind, double value) {
    return FormatBillNumber(kind.prefix, value, kind.suffix, kind.length);
}

QString Today(int hour) {
    return FormatDateTime(QDateTime(QDate::currentDate(), QTime(hour, 0, 0)));
}

// A store failure on changes of one run, as a damaged or locked file would give.
void FailChangesOf(TestDatabase &t, const char *event, const QString &begin) {
    t.RefuseChanges(QStringLiteral("fail_%1").arg(QLatin1String(event)), event, Bill_Info, "磁盘已满",
                    QStringLiteral("OLD.%1 = %2").arg(Bill_Begin_Char, QuoteText(begin)));
}

// Issues under the number given, as a dialog that goes on with its document does (continuous issue).
void IssueTo(const QStringList &begins, const KindSpec &kind, double documentNo, const QString &time) {
    QVector<RunKey> runs;
    for (const QString &begin : begins)
        runs << RunKey{kind.name, begin};
    const IssueStamp stamp{
        time, QStringLiteral("收费科"), QStringLiteral("赵领票"), QStringLiteral("李管理"), documentNo, true};
    QCOMPARE(IssueRuns(runs, stamp).kind, MoveOutcome::Done);
}

// Marks issued runs returned under the document, as a return does.
void ReturnUnder(TestDatabase &t, const QString &begin, double documentNo, const QString &time) {
    t.Exec(QString::asprintf("UPDATE %s SET %s = '%s', %s = '%s', %s = '收费科', %s = '赵领票', %s = '李管理', %s = "
                             "%.0f, %s = 20, %s = 40 WHERE %s = '%s'",
                             Bill_Info, Bill_Flag, FlagReturned, Bill_Return_Time, qUtf8Printable(time),
                             Bill_Return_Dept, Bill_Return_Broker, Bill_Return_Manager, Bill_Return_No, documentNo,
                             Bill_Unit_Return_Amount, Bill_Unit_Return_Total, Bill_Begin_Char, qUtf8Printable(begin)));
}

void VoidUnder(TestDatabase &t, const QString &begin, const QString &time) {
    t.Exec(QString::asprintf("UPDATE %s SET %s = '%s', %s = '%s' WHERE %s = '%s'", Bill_Info, Bill_Flag, FlagVoid,
                             Bill_Invalid_Time, qUtf8Printable(time), Bill_Begin_Char, qUtf8Printable(begin)));
}

// The documents dialog, queried for the kind over today.
struct Documents {
    explicit Documents(const char *kind) : dlg([this] { ++refreshes; }) {
        dlg.Kinds()->setCurrentText(QString::fromUtf8(kind));
        Click(&dlg, "query");
    }
    void Pick(int row) {
        dlg.Documents()->SelectRow(row);
        dlg.OnDocumentClicked();
    }
    int refreshes = 0;
    COperationDocumentDlg dlg;
};

const double StockNo = 200000000000001.0;
const double StockNo2 = 200000000000002.0;
const double IssueNo = 300000000000001.0;
const double ReturnNo = 400000000000001.0;

QString TextOfPdf(const QString &pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

// --- Void and delete -------------------------------------------------------------------------------

void MaintenanceTest::voidAsksForEachRunAndCancelEndsTheCommand() {
    TestDatabase t;
    AddMasterData();
    AddKind(Fixed);
    for (double begin : {1.0, 51.0, 101.0})
        AddStockRun(Fixed, begin);
    MessageCapture messages;
    Window w;
    ListStock(w.dlg, Fixed, {0, 1, 2});
    messages.Answer(MsgAnswer::Ok);
    messages.Answer(MsgAnswer::Ok);
    messages.Answer(MsgAnswer::Cancel);
    w.dlg.RunCommand(cmd::Void);

    const QString first = Number(Fixed, 1), second = Number(Fixed, 51), third = Number(Fixed, 101);
    QCOMPARE(messages.Texts(),
             (QStringList{QStringLiteral("行政收费票据:XZ00000001至XZ00000050 将被作废，您确定要作废吗?"),
                          QStringLiteral("行政收费票据:XZ00000001至XZ00000050 已被作废!"),
                          QStringLiteral("行政收费票据:XZ00000051至XZ00000100 将被作废，您确定要作废吗?")}));
    QCOMPARE(messages.Messages().at(0).caption, QStringLiteral("警告"));
    QCOMPARE(messages.Messages().at(0).buttons, MsgButtons::OkCancel);
    QCOMPARE(messages.Messages().at(1).caption, QStringLiteral("完成"));
    QCOMPARE(Flag(first), QString::fromUtf8(FlagVoid));
    QCOMPARE(Flag(second), QString::fromUtf8(FlagStock));
    QCOMPARE(Flag(third), QString::fromUtf8(FlagStock));
    const StoredRow voided = RunRow(Bill_Info, first);
    QCOMPARE(Column(voided, Bill_Invalid_Manager), QStringLiteral("李管理"));
    QVERIFY(!NormaliseDateTimeText(Column(voided, Bill_Invalid_Time), true).isEmpty());
    QCOMPARE(Column(voided, Bill_Repository_No), QStringLiteral("100000000000000"));
    QCOMPARE(Column(RunRow(Bill_Info, second), Bill_Invalid_Time), QStringLiteral("<NULL>"));
    // The voided row left the list; the two others stay selected.
    QCOMPARE(ColumnTexts(w.dlg.MainList(), title::Begin), (QStringList{second, third}));
    QCOMPARE(w.dlg.MainList()->SelectedRows(), (QList<int>{0, 1}));
}

void MaintenanceTest::voidOfEveryRunEmptiesTheSelection() {
    TestDatabase t;
    AddMasterData();
    AddKind(Fixed);
    for (double begin : {1.0, 51.0, 101.0, 151.0})
        AddStockRun(Fixed, begin);
    MessageCapture messages;
    Window w;
    ListStock(w.dlg, Fixed, {1, 3});
    w.dlg.RunCommand(cmd::Void);
    QCOMPARE(messages.Count(), 4);
    QCOMPARE(messages.Messages().at(2).text,
             QStringLiteral("行政收费票据:XZ00000151至XZ00000200 将被作废，您确定要作废吗?"));
    QCOMPARE(t.Count(QString::fromLatin1(Bill_Info), QStringLiteral("Bill_Flag = '作废'")), 2);
    QCOMPARE(Flag(Number(Fixed, 51)), QString::fromUtf8(FlagVoid));
    QCOMPARE(Flag(Number(Fixed, 151)), QString::fromUtf8(FlagVoid));
    QCOMPARE(ColumnTexts(w.dlg.MainList(), title::Begin), (QStringList{Number(Fixed, 1), Number(Fixed, 101)}));
    QVERIFY(w.dlg.MainList()->SelectedRows().isEmpty());

    // Without a selection the command asks nothing.
    messages.Clear();
    w.dlg.RunCommand(cmd::Void);
    w.dlg.RunCommand(cmd::Delete);
    QCOMPARE(messages.Count(), 0);
}

void MaintenanceTest::voidWithoutCurrentAdministratorStampsEmptyText() {
    TestDatabase t;
    AddManager(QStringLiteral("王管理"), false);
    AddKind(Fixed);
    AddStockRun(Fixed, 1);
    MessageCapture messages;
    Window w;
    ListStock(w.dlg, Fixed, {0});
    w.dlg.RunCommand(cmd::Void);
    const StoredRow voided = RunRow(Bill_Info, Number(Fixed, 1));
    QCOMPARE(Column(voided, Bill_Flag), QString::fromUtf8(FlagVoid));
    QCOMPARE(Column(voided, Bill_Invalid_Manager), QString());
}

void MaintenanceTest::voidFailingInTheMiddleKeepsTheRunsDoneAndStopsOnce() {
    TestDatabase t;
    AddMasterData();
    AddKind(Fixed);
    for (double begin : {1.0, 51.0, 101.0})
        AddStockRun(Fixed, begin);
    FailChangesOf(t, "UPDATE", Number(Fixed, 51));
    MessageCapture messages;
    Window w;
    ListStock(w.dlg, Fixed, {0, 1, 2});
    w.dlg.RunCommand(cmd::Void);
    // Question and completion of the first, the question of the second and its error, then nothing.
    QCOMPARE(messages.Count(), 4);
    QVERIFY(messages.Last().text.contains(QStringLiteral("磁盘已满")));
    QCOMPARE(messages.Last().caption, ApplicationTitle());
    QCOMPARE(Flag(Number(Fixed, 1)), QString::fromUtf8(FlagVoid));
    QCOMPARE(Flag(Number(Fixed, 51)), QString::fromUtf8(FlagStock));
    QCOMPARE(Flag(Number(Fixed, 101)), QString::fromUtf8(FlagStock));
    QCOMPARE(ColumnTexts(w.dlg.MainList(), title::Begin), (QStringList{Number(Fixed, 51), Number(Fixed, 101)}));
    QCOMPARE(t.Db().TransactionDepth(), 0);
}

void MaintenanceTest::deleteMovesOnlyTheTopmostRunAndItsSingleBills() {
    TestDatabase t;
    AddMasterData();
    AddKind(NonFixed);
    for (double begin : {1.0, 11.0, 21.0})
        AddStockRun(NonFixed, begin);
    MessageCapture messages;
    Window w;
    ListStock(w.dlg, NonFixed, {0, 1, 2});
    w.dlg.RunCommand(cmd::Delete);
    QCOMPARE(messages.Texts(),
             (QStringList{QStringLiteral("罚没票据:FM00000001至FM00000010 将被删除，请谨慎使用该操作，您确定要删除吗?"),
                          QStringLiteral("罚没票据:FM00000001至FM00000010 已被删除!")}));
    QCOMPARE(messages.Last().caption, QStringLiteral("完成"));
    QCOMPARE(t.Count(QString::fromLatin1(Bill_Info)), 2);
    QCOMPARE(t.Count(QString::fromLatin1(Bill_Recycle_Info)), 1);
    QCOMPARE(RunRow(Bill_Recycle_Info, Number(NonFixed, 1)).isEmpty(), false);
    const QString firstBook = QStringLiteral("Bill_NoneFixed_Begin_Char = '%1'").arg(Number(NonFixed, 1));
    QCOMPARE(t.Count(QString::fromLatin1(Bill_Recycle_NoneFixed_Info), firstBook), 10);
    QCOMPARE(t.Count(QString::fromLatin1(Bill_Recycle_NoneFixed_Info)), 10);
    QCOMPARE(t.Count(QString::fromLatin1(Bill_NoneFixed_Manifest_Info), firstBook), 0);
    QCOMPARE(t.Count(QString::fromLatin1(Bill_NoneFixed_Manifest_Info)), 20);
    QCOMPARE(ColumnTexts(w.dlg.MainList(), title::Begin), (QStringList{Number(NonFixed, 11), Number(NonFixed, 21)}));
}

void MaintenanceTest::deletedRowEqualsTheOriginalPlusTheDeletionStamps() {
    TestDatabase t;
    AddMasterData();
    AddKind(Fixed);
    AddStockRun(Fixed, 1);
    t.Exec(QString::asprintf("UPDATE %s SET %s = '破损待查'", Bill_Info, Bill_Info_Remark));
    IssueTo({Number(Fixed, 1)}, Fixed, IssueNo, Today(9));
    const StoredRow before = RunRow(Bill_Info, Number(Fixed, 1));
    MessageCapture messages;
    Window w;
    w.dlg.OnTreeDoubleClick(TopItem(w.dlg, QStringLiteral("收费科")));
    w.dlg.MainList()->SelectRow(0);
    w.dlg.RunCommand(cmd::Delete);
    QCOMPARE(t.Count(QString::fromLatin1(Bill_Info)), 0);
    const StoredRow after = RunRow(Bill_Recycle_Info, Number(Fixed, 1));
    QCOMPARE(ChangedColumns(before, after), QStringList());
    QCOMPARE(after.size(), before.size() + 2);
    QCOMPARE(Column(after, Bill_Recycle_Manager), QStringLiteral("李管理"));
    QVERIFY(!NormaliseDateTimeText(Column(after, Bill_Recycle_Time), true).isEmpty());
    QCOMPARE(Column(after, Bill_Invalid_Time), QStringLiteral("<NULL>"));
    QCOMPARE(Column(after, Bill_Info_Remark), QStringLiteral("破损待查"));
    QCOMPARE(Column(after, Bill_ID), Column(before, Bill_ID));
}

void MaintenanceTest::deleteCancelledOrFailedChangesNothing() {
    TestDatabase t;
    AddMasterData();
    AddKind(NonFixed);
    AddStockRun(NonFixed, 1);
    const QVector<StoredRow> runs = StoredRows(Bill_Info, Bill_ID);
    const QVector<StoredRow> bills = StoredRows(Bill_NoneFixed_Manifest_Info, Bill_NoneFixed_Inner_Char);
    MessageCapture messages;
    Window w;
    ListStock(w.dlg, NonFixed, {0});
    messages.Answer(MsgAnswer::Cancel);
    w.dlg.RunCommand(cmd::Delete);
    QCOMPARE(messages.Count(), 1);

    // The last statement of the move fails: the run, its bills and the recycle tables are as before.
    t.RefuseChanges("fail_bills", "DELETE", Bill_NoneFixed_Manifest_Info, "磁盘已满");
    messages.Clear();
    w.dlg.RunCommand(cmd::Delete);
    QCOMPARE(messages.Count(), 2);
    QVERIFY(messages.Last().text.contains(QStringLiteral("磁盘已满")));
    QCOMPARE(StoredRows(Bill_Info, Bill_ID), runs);
    QCOMPARE(StoredRows(Bill_NoneFixed_Manifest_Info, Bill_NoneFixed_Inner_Char), bills);
    QCOMPARE(t.Count(QString::fromLatin1(Bill_Recycle_Info)), 0);
    QCOMPARE(t.Count(QString::fromLatin1(Bill_Recycle_NoneFixed_Info)), 0);
    QCOMPARE(w.dlg.MainList()->RowCount(), 1);
}

void MaintenanceTest::rowsThatNameNoStoredRunAreToldAndChangeNothing() {
    TestDatabase t;
    AddMasterData();
    AddKind(Fixed);
    AddStockRun(Fixed, 1);
    AddStockRun(Fixed, 51);
    MessageCapture messages;
    Window w;
    ListStock(w.dlg, Fixed, {0, 1});
    // The first run went away behind the list's back.
    t.Exec(QString::asprintf("DELETE FROM %s WHERE %s = '%s'", Bill_Info, Bill_Begin_Char,
                             qUtf8Printable(Number(Fixed, 1))));
    w.dlg.RunCommand(cmd::Void);
    QCOMPARE(messages.Count(), 2);
    QCOMPARE(messages.Last().text, QStringLiteral("行政收费票据:XZ00000001 已不在数据库中，没有作废。"));
    QVERIFY(!messages.Texts().join(QString()).contains(QStringLiteral("已被作废")));
    QCOMPARE(Flag(Number(Fixed, 51)), QString::fromUtf8(FlagStock));
    // The refusal read the list again: the run that went away left it, and the other stays chosen.
    QCOMPARE(ColumnTexts(w.dlg.MainList(), title::Begin), QStringList{Number(Fixed, 51)});
    QCOMPARE(w.dlg.MainList()->SelectedRows(), QList<int>{0});
    t.Exec(QString::asprintf("DELETE FROM %s WHERE %s = '%s'", Bill_Info, Bill_Begin_Char,
                             qUtf8Printable(Number(Fixed, 51))));
    messages.Clear();
    w.dlg.RunCommand(cmd::Delete);
    QCOMPARE(messages.Last().text, QStringLiteral("行政收费票据:XZ00000051 已不在数据库中，没有删除。"));
    QCOMPARE(t.Count(QString::fromLatin1(Bill_Recycle_Info)), 0);
    QCOMPARE(w.dlg.MainList()->RowCount(), 0);

    // A list without kind and first number: told before any question.
    AddStockRun(Fixed, 101);
    CQueryListCtrl *list = w.dlg.MainList();
    const QString statement =
        QString::asprintf("SELECT %s AS 结尾编号,%s AS 张数 FROM %s", Bill_End_Char, Bill_Unit_Amount, Bill_Info);
    list->ClearColumns();
    list->SetStatement(statement, 3);
    list->FillFromStatement(statement);
    list->SelectRow(0);
    for (int id : {int(cmd::Void), int(cmd::Delete)}) {
        messages.Clear();
        w.dlg.RunCommand(id);
        QCOMPARE(messages.Count(), 1);
        QVERIFY(messages.Last().text.startsWith(QStringLiteral("所选的行没有票据类型或开始编号")));
    }
    QCOMPARE(Flag(Number(Fixed, 101)), QString::fromUtf8(FlagStock));
    QCOMPARE(t.Count(QString::fromLatin1(Bill_Info)), 1);
}

void MaintenanceTest::eachCommandWantsItsOwnRight() {
    TestDatabase t;
    AddMasterData();
    AddKind(Fixed);
    AddStockRun(Fixed, 1);
    // Delete and the documents only.
    AddUser(QStringLiteral("张三"), QString(), QStringLiteral("P05P08"));
    MessageCapture messages;
    Window w;
    w.dlg.SetCurrentUser(QStringLiteral("张三"));
    w.dlg.LoadUserRights();
    ListStock(w.dlg, Fixed, {0});
    for (int id : {int(cmd::Void), int(cmd::Forced)}) {
        messages.Clear();
        w.dlg.RunCommand(id);
        QCOMPARE(messages.Texts(),
                 QStringList{QStringLiteral("您没有权限进行该项操作，想要取得该项操作的权限，请与管理员联系!")});
    }
    QCOMPARE(Flag(Number(Fixed, 1)), QString::fromUtf8(FlagStock));
    messages.Clear();
    messages.Answer(MsgAnswer::Cancel);
    w.dlg.RunCommand(cmd::Delete);
    QCOMPARE(messages.Last().caption, QStringLiteral("警告"));
    QCOMPARE(t.Count(QString::fromLatin1(Bill_Info)), 1);
}

// --- Forced operation ------------------------------------------------------------------------------

namespace {
// Two returned runs (returned in the order 101, 1), one voided, one in stock.
void AddForcedRuns(TestDatabase &t) {
    AddMasterData();
    AddKind(Fixed);
    for (double begin : {1.0, 51.0, 101.0, 151.0})
        AddStockRun(Fixed, begin);
    IssueTo({Number(Fixed, 1), Number(Fixed, 101)}, Fixed, IssueNo, Today(8));
    ReturnUnder(t, Number(Fixed, 101), ReturnNo, QStringLiteral("2026-1-7 9:0:0"));
    ReturnUnder(t, Number(Fixed, 1), ReturnNo, QStringLiteral("2026-1-9 9:0:0"));
    VoidUnder(t, Number(Fixed, 51), QStringLiteral("2026-1-8 9:0:0"));
}
} // namespace

void MaintenanceTest::forcedListOpensWithReturnedRunsByReturnTimeWithoutTotal() {
    TestDatabase t;
    AddForcedRuns(t);
    MessageCapture messages;
    CForcedOperationDlg dlg;
    QCOMPARE(dlg.windowTitle(), QStringLiteral("强制操作"));
    const QStringList titles = {"票据类型", "领票人", "开始编号", "结尾编号", "单价",
                                "张数",     "金额",   "领票时间", "发票人"};
    QCOMPARE(dlg.List()->GetHeaderTitles(), titles);
    QCOMPARE(ColumnTexts(dlg.List(), title::Begin), (QStringList{Number(Fixed, 101), Number(Fixed, 1)}));
    QCOMPARE(ColumnTexts(dlg.List(), title::Total),
             (QStringList{QStringLiteral("￥100.00"), QStringLiteral("￥100.00")}));
    QCOMPARE(ColumnTexts(dlg.List(), QStringLiteral("领票人")),
             (QStringList{QStringLiteral("赵领票"), QStringLiteral("赵领票")}));
    QCOMPARE(dlg.Objects()->currentText(), QStringLiteral("回收"));
    QCOMPARE(dlg.Objects()->count(), 2);
    QCOMPARE(dlg.Objects()->itemText(1), QStringLiteral("作废"));
    QCOMPARE(dlg.Fields()->count(), titles.size());
    QCOMPARE(dlg.Fields()->currentIndex(), -1);
    // A header click re-runs the statement in the other order.
    dlg.List()->OnHeaderClicked(2);
    dlg.List()->OnHeaderClicked(2);
    QCOMPARE(ColumnTexts(dlg.List(), title::Begin), (QStringList{Number(Fixed, 101), Number(Fixed, 1)}));
    dlg.List()->OnHeaderClicked(0);
    QCOMPARE(dlg.List()->RowCount(), 2);
    QCOMPARE(messages.Count(), 0);
}

void MaintenanceTest::forcedTotalRowAppearsAfterSwitchingAndNotForZero() {
    TestDatabase t;
    AddForcedRuns(t);
    AddKind(NonFixed);
    AddStockRun(NonFixed, 1);
    CForcedOperationDlg dlg;
    QCOMPARE(dlg.List()->RowCount(), 2);
    dlg.Objects()->setCurrentIndex(1);
    QCOMPARE(ColumnTexts(dlg.List(), title::Kind), (QStringList{Fixed.name, QStringLiteral("合计")}));
    QCOMPARE(ColumnTexts(dlg.List(), title::Total),
             (QStringList{QStringLiteral("￥100.00"), QStringLiteral("￥100.00")}));
    dlg.Objects()->setCurrentIndex(0);
    QCOMPARE(ColumnTexts(dlg.List(), title::Kind), (QStringList{Fixed.name, Fixed.name, QStringLiteral("合计")}));
    QCOMPARE(CellText(dlg.List(), 2, title::Total), QStringLiteral("￥200.00"));

    // Voided runs that carry no amount sum to 0: no total row.
    t.Exec(QString::asprintf("DELETE FROM %s WHERE %s = '%s'", Bill_Info, Bill_Flag, FlagVoid));
    VoidUnder(t, Number(NonFixed, 1), QStringLiteral("2026-1-8 9:0:0"));
    dlg.Objects()->setCurrentIndex(1);
    QCOMPARE(ColumnTexts(dlg.List(), title::Kind), QStringList{NonFixed.name});
    // A zero amount shows as the store holds it.
    QCOMPARE(ColumnTexts(dlg.List(), title::Total), QStringList{QStringLiteral("0")});
    QCOMPARE(SumMoneyTexts({QStringLiteral("￥1.25"), QString(), QStringLiteral("￥-1.25")}), 0.0);
    QCOMPARE(SumMoneyTexts({QStringLiteral("￥1.25"), QStringLiteral("3")}), 4.25);
}

void MaintenanceTest::forcedDeleteMovesTheRunAndNoChangesNothing() {
    TestDatabase t;
    AddForcedRuns(t);
    MessageCapture messages;
    CForcedOperationDlg dlg;
    const StoredRow before = RunRow(Bill_Info, Number(Fixed, 1));
    dlg.List()->SelectRow(1);
    messages.Answer(MsgAnswer::No);
    dlg.ForcedDelete();
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().text,
             QStringLiteral("    警告：您将从数据库中强制删除 行政收费票据 XZ00000001。\n您确定真的要删除该票据吗？"));
    QCOMPARE(messages.Last().icon, MsgIcon::Question);
    QCOMPARE(messages.Last().buttons, MsgButtons::YesNo);
    QCOMPARE(RunRow(Bill_Info, Number(Fixed, 1)), before);
    QCOMPARE(dlg.List()->RowCount(), 2);

    messages.Clear();
    Click(&dlg, "forcedDelete");
    QCOMPARE(messages.Last().text, QStringLiteral("行政收费票据:XZ00000001 已被删除!"));
    QCOMPARE(messages.Last().caption, QStringLiteral("完成"));
    QVERIFY(RunRow(Bill_Info, Number(Fixed, 1)).isEmpty());
    const StoredRow after = RunRow(Bill_Recycle_Info, Number(Fixed, 1));
    QCOMPARE(ChangedColumns(before, after), QStringList());
    QCOMPARE(Column(after, Bill_Recycle_Manager), QStringLiteral("李管理"));
    QCOMPARE(ColumnTexts(dlg.List(), title::Begin), QStringList{Number(Fixed, 101)});

    // Nothing selected: nothing asked.
    messages.Clear();
    dlg.List()->ClearSelection();
    dlg.ForcedDelete();
    QCOMPARE(messages.Count(), 0);
}

void MaintenanceTest::forcedTotalIsTheSumOfTheRowsShown() {
    TestDatabase t;
    AddForcedRuns(t);
    // Books stored with fractions of a cent by an earlier version: each row shows its whole cents,
    // half a cent away from zero, and the total adds what the rows show.
    t.Exec(QString::asprintf("UPDATE %s SET %s = 83.125 WHERE %s = '%s'", Bill_Info, Bill_Unit_Total, Bill_Flag,
                             FlagReturned));
    CForcedOperationDlg dlg;
    dlg.Objects()->setCurrentIndex(1);
    dlg.Objects()->setCurrentIndex(0);
    QCOMPARE(ColumnTexts(dlg.List(), title::Total),
             (QStringList{QStringLiteral("￥83.13"), QStringLiteral("￥83.13"), QStringLiteral("￥166.26")}));
    QCOMPARE(FormatMoney(83.125), QStringLiteral("￥83.13"));
    QCOMPARE(FormatMoney(-0.125), QStringLiteral("￥-0.13"));
    QCOMPARE(SumMoneyTexts({QStringLiteral("￥0.10"), QStringLiteral("￥0.20")}), 0.3);
}

void MaintenanceTest::forcedDeleteOfAVoidedRunKeepsWhoVoidedIt() {
    TestDatabase t;
    AddForcedRuns(t);
    const QString voidedBook = Number(Fixed, 51);
    t.Exec(QString::asprintf("UPDATE %s SET %s = '王作废' WHERE %s = '%s'", Bill_Info, Bill_Invalid_Manager,
                             Bill_Begin_Char, qUtf8Printable(voidedBook)));
    MessageCapture messages;
    CForcedOperationDlg dlg;
    dlg.Objects()->setCurrentIndex(1);
    QCOMPARE(CellText(dlg.List(), 0, title::Begin), voidedBook);
    dlg.List()->SelectRow(0);
    Click(&dlg, "forcedDelete");
    QCOMPARE(messages.Last().text, QStringLiteral("行政收费票据:XZ00000051 已被删除!"));

    const StoredRow deleted = RunRow(Bill_Recycle_Info, voidedBook);
    QCOMPARE(Column(deleted, Bill_Flag), QString::fromUtf8(FlagVoid));
    QCOMPARE(Column(deleted, Bill_Invalid_Time), QStringLiteral("2026-01-08 09:00:00"));
    QCOMPARE(Column(deleted, Bill_Invalid_Manager), QStringLiteral("王作废"));
    QCOMPARE(Column(deleted, Bill_Recycle_Manager), QStringLiteral("李管理"));
    const QString deletedAt = Column(deleted, Bill_Recycle_Time);
    QVERIFY(deletedAt.startsWith(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));

    // The history of a number of the book tells both events, each with its own time and administrator.
    const QVector<HistoryBook> books = FindBooksHolding(Fixed.name, 50, 60);
    QCOMPARE(books.size(), 1);
    QStringList road;
    for (const HistoryStep &step : BookRoad(books.first(), 60))
        road << HistoryCells(step).mid(0, 3).join(u'|');
    QCOMPARE(road.mid(1), (QStringList{QStringLiteral("作废|2026-01-08 09:00:00|王作废"),
                                       QStringLiteral("删除|%1|李管理").arg(deletedAt)}));
}

void MaintenanceTest::forcedFindKeepsItsStartRowAcrossOpenings() {
    TestDatabase t;
    AddForcedRuns(t);
    CForcedOperationDlg::SearchStartRow() = 0;
    {
        CForcedOperationDlg dlg;
        Child<QLineEdit>(&dlg, "text")->setText(QStringLiteral("xz"));
        // No field chosen: nothing is found.
        Click(&dlg, "find");
        QVERIFY(dlg.List()->SelectedRows().isEmpty());
        dlg.Fields()->setCurrentText(title::Begin);
        Click(&dlg, "find");
        QCOMPARE(dlg.List()->SelectedRows(), QList<int>{0});
        QCOMPARE(CForcedOperationDlg::SearchStartRow(), 1);
    }
    CForcedOperationDlg dlg;
    dlg.Fields()->setCurrentText(title::Begin);
    Child<QLineEdit>(&dlg, "text")->setText(QStringLiteral("xz"));
    Click(&dlg, "find");
    QVERIFY(dlg.List()->SelectedRows().contains(1));
    QCOMPARE(CForcedOperationDlg::SearchStartRow(), 2);
    // An exact search wants the whole cell.
    Child<QCheckBox>(&dlg, "exact")->setChecked(true);
    Click(&dlg, "find");
    QCOMPARE(CForcedOperationDlg::SearchStartRow(), 0);
    Child<QLineEdit>(&dlg, "text")->setText(Number(Fixed, 1));
    dlg.List()->ClearSelection();
    Click(&dlg, "find");
    QCOMPARE(dlg.List()->SelectedRows(), QList<int>{1});
}

void MaintenanceTest::forcedExtractKeepsSelectedRowsAndPrintNamesTheObject() {
    TestDatabase t;
    AddForcedRuns(t);
    MessageCapture messages;
    CForcedOperationDlg dlg;
    dlg.List()->SelectRow(1);
    Click(&dlg, "extract");
    QCOMPARE(ColumnTexts(dlg.List(), title::Begin), QStringList{Number(Fixed, 1)});
    QVERIFY(dlg.isEnabled());

    dlg.Objects()->setCurrentIndex(1);
    // Printing takes the columns as wide as the list shows them.
    dlg.resize(1200, 500);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    const QString pdf = t.Dir() + QStringLiteral("/forced.pdf");
    const PrintDialogRunner previous = SetPrintDialogRunner([&](QPrinter &printer, QWidget *) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    Click(&dlg, "print");
    SetPrintDialogRunner(previous);
    QVERIFY(TextOfPdf(pdf).contains(QStringLiteral("强制操作 作废 票据")));
    QVERIFY(TextOfPdf(pdf).contains(Number(Fixed, 51)));
    QCOMPARE(messages.Count(), 0);
}

void MaintenanceTest::tabMovesThroughBothDialogsAsTheyRead() {
    TestDatabase t;
    CForcedOperationDlg forced;
    forced.show();
    QVERIFY(QTest::qWaitForWindowExposed(&forced));
    QCOMPARE(NamesOf(TabStops(forced.Objects(), 12)),
             (QStringList{"objects", "fields", "text", "exact", "find", "extract", "print", "export", "forcedDelete",
                          "close", "list", "objects"}));
    forced.reject();

    COperationDocumentDlg documents(nullptr);
    documents.show();
    QVERIFY(QTest::qWaitForWindowExposed(&documents));
    QCOMPARE(NamesOf(TabStops(documents.Kinds(), 13)),
             (QStringList{"kinds", "fromDate", "toDate", "query", "cancelDocument", "print", "export", "countDocuments",
                          "countBills", "close", "documents", "runs", "kinds"}));
    documents.reject();
}

// --- Operation documents ---------------------------------------------------------------------------

void MaintenanceTest::documentsOfTheRangeAreListedOnceWithTheWholeLastDay() {
    TestDatabase t;
    AddMasterData();
    AddKind(Fixed);
    for (double begin : {1.0, 51.0, 101.0})
        AddStockRun(Fixed, begin, StockNo);
    AddStockRun(Fixed, 151, StockNo2);
    t.Exec(QString::asprintf("UPDATE %s SET %s = '%s' WHERE %s = %.0f", Bill_Info, Bill_Repository_Time,
                             qUtf8Printable(Today(18)), Bill_Repository_No, StockNo));
    t.Exec(QString::asprintf(
        "UPDATE %s SET %s = '%s' WHERE %s = %.0f", Bill_Info, Bill_Repository_Time,
        qUtf8Printable(FormatDateTime(QDateTime(QDate::currentDate().addDays(-1), QTime(23, 59, 59)))),
        Bill_Repository_No, StockNo2));
    MessageCapture messages;
    Documents d("入库单");
    QCOMPARE(d.dlg.windowTitle(), QStringLiteral("出入库管理"));
    CQueryListCtrl *list = d.dlg.Documents();
    QCOMPARE(list->GetHeaderTitles(), (QStringList{"单据编号", "操作人", "操作时间", "本数"}));
    // Three runs of one document stamped at 18:00 today: one row; yesterday's document is outside.
    QCOMPARE(ColumnTexts(list, QStringLiteral("单据编号")), QStringList{QStringLiteral("200000000000001")});
    QCOMPARE(ColumnTexts(list, QStringLiteral("操作人")), QStringList{QStringLiteral("张三")});

    // The from-date starts at midnight.
    d.dlg.FromDate()->setDate(QDate::currentDate().addDays(-1));
    Click(&d.dlg, "query");
    QCOMPARE(ColumnTexts(list, QStringLiteral("单据编号")),
             (QStringList{QStringLiteral("200000000000001"), QStringLiteral("200000000000002")}));
    // Issue documents of the range: none yet.
    d.dlg.Kinds()->setCurrentText(QStringLiteral("出库单"));
    Click(&d.dlg, "query");
    QCOMPARE(list->RowCount(), 0);
    QCOMPARE(messages.Count(), 0);
}

void MaintenanceTest::clickedDocumentListsItsRunsInNumberOrder() {
    TestDatabase t;
    AddMasterData();
    AddKind(Fixed);
    for (double begin : {101.0, 1.0, 51.0})
        AddStockRun(Fixed, begin, StockNo);
    AddStockRun(Fixed, 151, StockNo2);
    t.Exec(QString::asprintf("UPDATE %s SET %s = '%s'", Bill_Info, Bill_Repository_Time, qUtf8Printable(Today(10))));
    Documents d("入库单");
    QCOMPARE(d.dlg.Documents()->RowCount(), 2);
    d.dlg.OnDocumentClicked(); // nothing selected: nothing listed
    QCOMPARE(d.dlg.Runs()->ColumnCount(), 0);
    d.Pick(0);
    QCOMPARE(d.dlg.Runs()->GetHeaderTitles(), (QStringList{"票据类型", "开始编号", "结尾编号", "当前状态"}));
    QCOMPARE(ColumnTexts(d.dlg.Runs(), title::Begin),
             (QStringList{Number(Fixed, 1), Number(Fixed, 51), Number(Fixed, 101)}));
    QCOMPARE(ColumnTexts(d.dlg.Runs(), QStringLiteral("当前状态")), QStringList(3, QStringLiteral("库存")));
    d.Pick(1);
    QCOMPARE(ColumnTexts(d.dlg.Runs(), title::Begin), QStringList{Number(Fixed, 151)});

    // "导出" writes the runs of the picked document under the name it prints under.
    QString exported;
    const SaveFileRunner previous = SetSaveFileRunner([&](QString &path, QWidget *) {
        path = QDir(t.Dir()).filePath(QFileInfo(path).completeBaseName() + ".csv");
        exported = path;
        return true;
    });
    MessageCapture messages;
    Click(&d.dlg, "export");
    SetSaveFileRunner(previous);
    QCOMPARE(QFileInfo(exported).fileName(), QStringLiteral("入库单_200000000000002.csv"));
    QFile file(exported);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString csv = QString::fromUtf8(file.readAll());
    QVERIFY2(csv.contains(Number(Fixed, 151)) && !csv.contains(Number(Fixed, 51)), qPrintable(csv));

    // The kind of the last query counts, not the box as it stands now.
    d.dlg.Kinds()->setCurrentText(QStringLiteral("出库单"));
    d.Pick(0);
    QCOMPARE(d.dlg.Runs()->RowCount(), 3);
}

void MaintenanceTest::partlyIssuedStockInIsRefusedListingEveryOffendingRun() {
    TestDatabase t;
    AddMasterData();
    AddKind(Fixed);
    for (double begin : {1.0, 51.0, 101.0, 151.0})
        AddStockRun(Fixed, begin, StockNo);
    t.Exec(QString::asprintf("UPDATE %s SET %s = '%s'", Bill_Info, Bill_Repository_Time, qUtf8Printable(Today(10))));
    IssueTo({Number(Fixed, 51), Number(Fixed, 151)}, Fixed, IssueNo, Today(11));
    const QVector<StoredRow> before = StoredRows(Bill_Info, Bill_ID);
    MessageCapture messages;
    Documents d("入库单");
    d.Pick(0);
    d.dlg.Documents()->SelectRow(0);
    Click(&d.dlg, "cancelDocument");
    QCOMPARE(messages.Count(), 2);
    QCOMPARE(messages.Messages().at(0).text, QStringLiteral("警告：您将取消入库单：200000000000001,您确定吗?"));
    QCOMPARE(messages.Messages().at(0).buttons, MsgButtons::YesNo);
    QCOMPARE(messages.Last().text, QStringLiteral("票据：XZ00000051,XZ00000151, \n 已不是库存票据"));
    QCOMPARE(messages.Last().caption, QStringLiteral("提示"));
    QCOMPARE(StoredRows(Bill_Info, Bill_ID), before);
    QCOMPARE(d.dlg.Documents()->RowCount(), 1);
    QCOMPARE(d.refreshes, 1);

    // No: nothing is checked, changed or refreshed.
    messages.Clear();
    messages.Answer(MsgAnswer::No);
    Click(&d.dlg, "cancelDocument");
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(d.refreshes, 1);
}

void MaintenanceTest::cancelledIssueReturnsTheSameRowsToStock() {
    TestDatabase t;
    AddMasterData();
    AddKind(Fixed);
    for (double begin : {1.0, 51.0, 101.0})
        AddStockRun(Fixed, begin, StockNo);
    IssueTo({Number(Fixed, 1), Number(Fixed, 51)}, Fixed, IssueNo, Today(11));
    IssueTo({Number(Fixed, 101)}, Fixed, IssueNo + 1, Today(12));
    const QVector<StoredRow> before = StoredRows(Bill_Info, Bill_ID);
    MessageCapture messages;
    Documents d("出库单");
    QCOMPARE(ColumnTexts(d.dlg.Documents(), QStringLiteral("单据编号")),
             (QStringList{QStringLiteral("300000000000001"), QStringLiteral("300000000000002")}));
    d.Pick(0);
    Click(&d.dlg, "cancelDocument");
    QCOMPARE(messages.Count(), 1);
    const QVector<StoredRow> after = StoredRows(Bill_Info, Bill_ID);
    QCOMPARE(after.size(), 3);
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(ChangedColumns(before[i], after[i]),
                 (QStringList{QString::fromLatin1(Bill_Flag), QString::fromLatin1(Bill_Issue_No)}));
        QCOMPARE(Column(after[i], Bill_Flag), QString::fromUtf8(FlagStock));
        QCOMPARE(Column(after[i], Bill_Issue_No), QStringLiteral("<NULL>"));
        QCOMPARE(Column(after[i], Bill_Issue_Dept), QStringLiteral("收费科"));
        QCOMPARE(Column(after[i], Bill_Issue_Broker), QStringLiteral("赵领票"));
        QCOMPARE(Column(after[i], Bill_Issue_Manager), QStringLiteral("李管理"));
        QCOMPARE(Column(after[i], Bill_Issue_Time), Column(before[i], Bill_Issue_Time));
    }
    QCOMPARE(after[2], before[2]);
    QCOMPARE(ColumnTexts(d.dlg.Documents(), QStringLiteral("单据编号")),
             QStringList{QStringLiteral("300000000000002")});
    // The lower list keeps what it showed until another document is clicked.
    QCOMPARE(ColumnTexts(d.dlg.Runs(), QStringLiteral("当前状态")), QStringList(2, QStringLiteral("运作")));
    QCOMPARE(d.refreshes, 1);
}

void MaintenanceTest::cancelledReturnPutsRunsBackToIssued() {
    TestDatabase t;
    AddMasterData();
    AddKind(Fixed);
    for (double begin : {1.0, 51.0})
        AddStockRun(Fixed, begin, StockNo);
    IssueTo({Number(Fixed, 1), Number(Fixed, 51)}, Fixed, IssueNo, Today(9));
    ReturnUnder(t, Number(Fixed, 1), ReturnNo, Today(15));
    ReturnUnder(t, Number(Fixed, 51), ReturnNo, Today(15));
    // One run of the document was voided since: the cancel is refused.
    VoidUnder(t, Number(Fixed, 51), Today(16));
    MessageCapture messages;
    Documents d("回收单");
    d.Pick(0);
    Click(&d.dlg, "cancelDocument");
    QCOMPARE(messages.Last().text, QStringLiteral("票据：XZ00000051, \n 已不是回收票据"));
    QCOMPARE(Flag(Number(Fixed, 1)), QString::fromUtf8(FlagReturned));

    t.Exec(QString::asprintf("UPDATE %s SET %s = '%s'", Bill_Info, Bill_Flag, FlagReturned));
    const QVector<StoredRow> before = StoredRows(Bill_Info, Bill_ID);
    messages.Clear();
    Click(&d.dlg, "cancelDocument");
    QCOMPARE(messages.Count(), 1);
    const QVector<StoredRow> after = StoredRows(Bill_Info, Bill_ID);
    // Back to issued as if never returned: the state and every column the return wrote.
    const QStringList returnColumns{
        Bill_Flag,      Bill_Return_Broker, Bill_Return_Dept,        Bill_Return_Manager,
        Bill_Return_No, Bill_Return_Time,   Bill_Unit_Return_Amount, Bill_Unit_Return_Total};
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(ChangedColumns(before[i], after[i]), returnColumns);
        QCOMPARE(Column(after[i], Bill_Flag), QString::fromUtf8(FlagIssued));
        QCOMPARE(Column(after[i], Bill_Unit_Return_Total), QStringLiteral("<NULL>"));
        QCOMPARE(Column(after[i], Bill_Return_Time), QStringLiteral("<NULL>"));
        QCOMPARE(Column(after[i], Bill_Issue_No), Column(before[i], Bill_Issue_No));
    }
    QCOMPARE(d.dlg.Documents()->RowCount(), 0);
    QCOMPARE(d.refreshes, 2);
}

void MaintenanceTest::cancelledReturnLeavesNoReturnBehind() {
    TestDatabase t;
    AddMasterData();
    AddKind(Fixed);
    AddKind(NonFixed);
    AddStockRun(Fixed, 1, StockNo);
    AddStockRun(NonFixed, 1, StockNo);
    AddStockRun(NonFixed, 11, StockNo);
    IssueTo({Number(Fixed, 1)}, Fixed, IssueNo, Today(8));
    IssueTo({Number(NonFixed, 1), Number(NonFixed, 11)}, NonFixed, IssueNo, Today(8));
    // The clerk records the single bills of the first non-fixed book, then returns three books.
    const BookKey book{NonFixed.name, NonFixed.mainKind, Number(NonFixed, 1)};
    for (int k = 1; k <= 3; ++k)
        t.Exec(RecordAmountStatement(book, Number(NonFixed, k), 12.5 * k));
    const QVector<StoredRow> bills = StoredRows(Bill_NoneFixed_Manifest_Info, Bill_NoneFixed_Inner_Char);
    const ReturnStamp stamp{Today(14), QStringLiteral("李管理"), ReturnNo};
    const QVector<ReturnLine> lines{
        {{Fixed.name, Number(Fixed, 1)}, "收费科", "赵领票", "80", Number(Fixed, 40), "40", "100"},
        {{NonFixed.name, Number(NonFixed, 1)}, "收费科", "赵领票", "", Number(NonFixed, 3), "3", ""},
        {{NonFixed.name, Number(NonFixed, 11)}, "收费科", "赵领票", "", Number(NonFixed, 11), "1", ""}};
    QCOMPARE(ReturnRuns(lines, stamp).kind, MoveOutcome::Done);
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-M-d"));
    QCOMPARE(CancellationDetail(today, today + " 23:59:59").rows.size(), 4); // three books and the total

    MessageCapture messages;
    Documents d("回收单");
    d.Pick(0);
    Click(&d.dlg, "cancelDocument");
    QCOMPARE(messages.Count(), 1);
    for (const StoredRow &run : StoredRows(Bill_Info, Bill_ID)) {
        QCOMPARE(Column(run, Bill_Flag), QString::fromUtf8(FlagIssued));
        for (const char *column :
             {Bill_Return_Time, Bill_Return_Dept, Bill_Return_Broker, Bill_Return_Manager, Bill_Return_No,
              Bill_Return_End_Char, Bill_Return_End_Int, Bill_Unit_Return_Amount, Bill_Unit_Return_Total})
            QCOMPARE(Column(run, column), QStringLiteral("<NULL>"));
        QCOMPARE(Column(run, Bill_Issue_No), QStringLiteral("300000000000001"));
    }
    QCOMPARE(Column(RunRow(Bill_Info, Number(Fixed, 1)), Bill_Unit_Total), QStringLiteral("100"));
    QCOMPARE(Column(RunRow(Bill_Info, Number(NonFixed, 1)), Bill_Unit_Total), QStringLiteral("0"));
    // The single bills are as they were at stock-in: every amount 0, nothing else changed.
    const QVector<StoredRow> billsAfter = StoredRows(Bill_NoneFixed_Manifest_Info, Bill_NoneFixed_Inner_Char);
    QCOMPARE(billsAfter.size(), bills.size());
    for (int i = 0; i < bills.size(); ++i) {
        QCOMPARE(Column(billsAfter[i], Bill_NoneFixed_Unit_Price), QStringLiteral("0"));
        QVERIFY(ChangedColumns(bills[i], billsAfter[i]).size() <= 1);
    }
    QCOMPARE(SingleBillTotal(book), 0.0);
    // The cancellation detail no longer lists those books or their money.
    const CReportTable detail = CancellationDetail(today, today + " 23:59:59");
    QCOMPARE(detail.rows.size(), 0);
}

void MaintenanceTest::continuousIssueIsListedOnceAndCancelledOnce() {
    TestDatabase t;
    AddMasterData();
    AddKind(Fixed);
    for (double begin : {1.0, 51.0, 101.0})
        AddStockRun(Fixed, begin, StockNo);
    // One 出库单 number, issued at two times.
    IssueTo({Number(Fixed, 51), Number(Fixed, 101)}, Fixed, IssueNo, Today(9));
    IssueTo({Number(Fixed, 1)}, Fixed, IssueNo, Today(11));
    MessageCapture messages;
    Documents d("出库单");
    CQueryListCtrl *list = d.dlg.Documents();
    QCOMPARE(list->GetHeaderTitles(), (QStringList{"单据编号", "操作人", "操作时间", "本数"}));
    QCOMPARE(list->RowCount(), 1);
    QCOMPARE(CellText(list, 0, QStringLiteral("单据编号")), QStringLiteral("300000000000001"));
    QCOMPARE(CellText(list, 0, QStringLiteral("操作时间")), NormaliseDateTimeText(Today(9), true));
    QCOMPARE(CellText(list, 0, QStringLiteral("本数")), QStringLiteral("3"));

    // A second dialog shows the same document; the first cancels it whole.
    Documents other("出库单");
    d.Pick(0);
    Click(&d.dlg, "cancelDocument");
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(t.Count(QString::fromLatin1(Bill_Info), QStringLiteral("Bill_Flag = '库存'")), 3);
    QCOMPARE(list->RowCount(), 0);
    Click(&d.dlg, "query");
    QCOMPARE(list->RowCount(), 0);

    // The other, still listing it, is told there is nothing left and claims nothing.
    const QVector<StoredRow> before = StoredRows(Bill_Info, Bill_ID);
    messages.Clear();
    other.Pick(0);
    Click(&other.dlg, "cancelDocument");
    QCOMPARE(messages.Count(), 2);
    QCOMPARE(messages.Last().text,
             QStringLiteral("出库单：300000000000001 已没有任何票据，可能已被取消，本次没有取消任何票据。"));
    QCOMPARE(StoredRows(Bill_Info, Bill_ID), before);
    QCOMPARE(other.dlg.Documents()->RowCount(), 0);
    QCOMPARE(CancelDocument(*FindDocumentKind(QStringLiteral("出库单")), QStringLiteral("300000000000001")).outcome,
             DocumentCancel::NothingLeft);
}

void MaintenanceTest::cancelledStockInLeavesNoSingleBillBehind() {
    TestDatabase t;
    AddMasterData();
    AddKind(NonFixed);
    for (double begin : {1.0, 11.0})
        AddStockRun(NonFixed, begin, StockNo);
    AddStockRun(NonFixed, 21, StockNo2);
    t.Exec(QString::asprintf("UPDATE %s SET %s = '%s'", Bill_Info, Bill_Repository_Time, qUtf8Printable(Today(10))));
    MessageCapture messages;
    Documents d("入库单");
    d.Pick(0);
    Click(&d.dlg, "cancelDocument");
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(t.Count(QString::fromLatin1(Bill_Info)), 1);
    QCOMPARE(Flag(Number(NonFixed, 21)), QString::fromUtf8(FlagStock));
    QCOMPARE(t.Count(QString::fromLatin1(Bill_NoneFixed_Manifest_Info)), 10);
    QCOMPARE(t.Count(QString::fromLatin1(Bill_NoneFixed_Manifest_Info),
                     QStringLiteral("Bill_NoneFixed_Begin_Char = '%1'").arg(Number(NonFixed, 21))),
             10);
    QCOMPARE(t.Count(QString::fromLatin1(Bill_Recycle_Info)), 0);
}

void MaintenanceTest::runWithoutStateDoesNotBlockACancel() {
    TestDatabase t;
    AddMasterData();
    AddKind(Fixed);
    for (double begin : {1.0, 51.0})
        AddStockRun(Fixed, begin, StockNo);
    IssueTo({Number(Fixed, 1), Number(Fixed, 51)}, Fixed, IssueNo, Today(9));
    t.Exec(QString::asprintf("UPDATE %s SET %s = NULL WHERE %s = '%s'", Bill_Info, Bill_Flag, Bill_Begin_Char,
                             qUtf8Printable(Number(Fixed, 51))));
    MessageCapture messages;
    Documents d("出库单");
    d.Pick(0);
    Click(&d.dlg, "cancelDocument");
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(Flag(Number(Fixed, 1)), QString::fromUtf8(FlagStock));
    QCOMPARE(t.Count(QString::fromLatin1(Bill_Info), QStringLiteral("Bill_Issue_No IS NOT NULL")), 0);
}

void MaintenanceTest::failedCancelChangesNothingAndKeepsTheDocument() {
    TestDatabase t;
    AddMasterData();
    AddKind(NonFixed);
    for (double begin : {1.0, 11.0})
        AddStockRun(NonFixed, begin, StockNo);
    t.Exec(QString::asprintf("UPDATE %s SET %s = '%s'", Bill_Info, Bill_Repository_Time, qUtf8Printable(Today(10))));
    // The single bills go first; the runs' delete fails after them.
    FailChangesOf(t, "DELETE", Number(NonFixed, 11));
    const QVector<StoredRow> runs = StoredRows(Bill_Info, Bill_ID);
    const QVector<StoredRow> bills = StoredRows(Bill_NoneFixed_Manifest_Info, Bill_NoneFixed_Inner_Char);
    MessageCapture messages;
    Documents d("入库单");
    d.Pick(0);
    Click(&d.dlg, "cancelDocument");
    QCOMPARE(messages.Count(), 2);
    QVERIFY(messages.Last().text.contains(QStringLiteral("磁盘已满")));
    QCOMPARE(messages.Last().caption, ApplicationTitle());
    QCOMPARE(StoredRows(Bill_Info, Bill_ID), runs);
    QCOMPARE(StoredRows(Bill_NoneFixed_Manifest_Info, Bill_NoneFixed_Inner_Char), bills);
    QCOMPARE(d.dlg.Documents()->RowCount(), 1);
    QCOMPARE(t.Db().TransactionDepth(), 0);
}

void MaintenanceTest::countsAndPrintReferToTheQueriedKind() {
    TestDatabase t;
    AddMasterData();
    AddKind(Fixed);
    for (double begin : {1.0, 51.0})
        AddStockRun(Fixed, begin, StockNo);
    AddStockRun(Fixed, 101, StockNo2);
    t.Exec(QString::asprintf("UPDATE %s SET %s = '%s'", Bill_Info, Bill_Repository_Time, qUtf8Printable(Today(10))));
    MessageCapture messages;
    COperationDocumentDlg dlg(nullptr);
    // Before a query nothing counts, cancels or prints.
    for (const char *button : {"countDocuments", "countBills", "cancelDocument", "print"})
        Click(&dlg, button);
    QCOMPARE(messages.Count(), 0);

    Click(&dlg, "query");
    dlg.Kinds()->setCurrentText(QStringLiteral("回收单"));
    Click(&dlg, "countDocuments");
    QCOMPARE(messages.Last().text, QStringLiteral("当前入库单：2行。"));
    QCOMPARE(messages.Last().caption, QStringLiteral("行数"));
    Click(&dlg, "countBills");
    QCOMPARE(messages.Count(), 1);
    dlg.Documents()->SelectRow(0);
    dlg.OnDocumentClicked();
    Click(&dlg, "countBills");
    QCOMPARE(messages.Last().text, QStringLiteral("当前入库单有2行票据记录。"));

    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    const QString pdf = t.Dir() + QStringLiteral("/document.pdf");
    const PrintDialogRunner previous = SetPrintDialogRunner([&](QPrinter &printer, QWidget *) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    Click(&dlg, "print");
    SetPrintDialogRunner(previous);
    const QString printed = TextOfPdf(pdf);
    QVERIFY(printed.contains(QStringLiteral("入库单_200000000000001")));
    QVERIFY(printed.contains(Number(Fixed, 51)));
    QVERIFY(!printed.contains(Number(Fixed, 101)));
    QCOMPARE(messages.Count(), 2);
}

void MaintenanceTest::enterRunsTheQueryAndListsFollowTheDialogSize() {
    TestDatabase t;
    AddMasterData();
    AddKind(Fixed);
    AddStockRun(Fixed, 1, StockNo);
    t.Exec(QString::asprintf("UPDATE %s SET %s = '%s'", Bill_Info, Bill_Repository_Time, qUtf8Printable(Today(10))));
    COperationDocumentDlg dlg(nullptr);
    dlg.resize(700, 500);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    dlg.ToDate()->setFocus();
    QTest::keyClick(dlg.ToDate(), Qt::Key_Return);
    QCOMPARE(dlg.Documents()->RowCount(), 1);
    QVERIFY(dlg.isVisible());

    const int documentsWidth = dlg.Documents()->width();
    const int runsBottom = dlg.height() - dlg.Runs()->geometry().bottom();
    dlg.resize(1000, 760);
    QApplication::processEvents();
    QCOMPARE(dlg.Documents()->width(), documentsWidth + 300);
    QCOMPARE(dlg.Runs()->width(), documentsWidth + 300);
    QCOMPARE(dlg.height() - dlg.Runs()->geometry().bottom(), runsBottom);
    QCOMPARE(dlg.Documents()->geometry().left(), dlg.width() - dlg.Runs()->geometry().right() - 1);
    dlg.reject();
}

// --- Through the real main window ------------------------------------------------------------------

namespace {
// Chooses the command from menu two as soon as the menu is open.
void ChooseFromMenuTwo(CMainDlg &dlg, int id) {
    QTimer::singleShot(0, &dlg, [&dlg, id] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu == dlg.BarMenu(2));
        QAction *action = dlg.CommandAction(id);
        QVERIFY(action->isEnabled());
        menu->setActiveAction(action);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    dlg.BarButton(2)->click();
}

// Runs the work on the modal dialog the command opens, then closes it.
template <typename Work> void OnModalDialog(Work work) {
    QTimer::singleShot(50, [work] {
        auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(modal);
        work(modal);
        modal->reject();
    });
}
} // namespace

void MaintenanceTest::menuCommandsWorkEndToEnd() {
    TestDatabase t;
    AddMasterData();
    AddKind(Fixed);
    for (double begin : {1.0, 51.0, 101.0})
        AddStockRun(Fixed, begin, StockNo);
    t.Exec(QString::asprintf("UPDATE %s SET %s = '%s'", Bill_Info, Bill_Repository_Time, qUtf8Printable(Today(10))));
    MessageCapture messages;
    CMainDlg dlg;
    dlg.SetLoginRunner([](QWidget *, QString &user) {
        user = QString::fromUtf8(AdministratorUser);
        return int(CLoginDlg::LoginSucceeded);
    });
    QVERIFY(dlg.Initialise());
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    for (int id : {int(cmd::Void), int(cmd::Delete), int(cmd::Forced), int(cmd::Documents)})
        QVERIFY(dlg.HasCommandHandler(id));

    ListStock(dlg, Fixed, {0});
    ChooseFromMenuTwo(dlg, cmd::Void);
    QTRY_COMPARE(messages.Count(), 2);
    QCOMPARE(Flag(Number(Fixed, 1)), QString::fromUtf8(FlagVoid));
    QCOMPARE(dlg.MainList()->RowCount(), 2);

    // Without a selection void and delete are grayed in the menu.
    dlg.MainList()->ClearSelection();
    dlg.UpdateMenuState(2);
    QVERIFY(!dlg.CommandAction(cmd::Void)->isEnabled());
    QVERIFY(!dlg.CommandAction(cmd::Delete)->isEnabled());
    QVERIFY(dlg.CommandAction(cmd::Forced)->isEnabled());
    QVERIFY(dlg.CommandAction(cmd::Documents)->isEnabled());

    dlg.MainList()->SelectRow(1);
    ChooseFromMenuTwo(dlg, cmd::Delete);
    QTRY_COMPARE(messages.Count(), 4);
    QCOMPARE(messages.Last().text, QStringLiteral("行政收费票据:XZ00000101至XZ00000150 已被删除!"));
    QCOMPARE(t.Count(QString::fromLatin1(Bill_Recycle_Info)), 1);
    QCOMPARE(ColumnTexts(dlg.MainList(), title::Begin), QStringList{Number(Fixed, 51)});

    QString forcedCaption;
    int forcedRows = -1;
    OnModalDialog([&](QDialog *modal) {
        forcedCaption = modal->windowTitle();
        forcedRows = static_cast<CForcedOperationDlg *>(modal)->List()->RowCount();
        static_cast<CForcedOperationDlg *>(modal)->Objects()->setCurrentIndex(1);
        forcedRows = static_cast<CForcedOperationDlg *>(modal)->List()->RowCount();
    });
    ChooseFromMenuTwo(dlg, cmd::Forced);
    QTRY_COMPARE(forcedCaption, QStringLiteral("强制操作"));
    QCOMPARE(forcedRows, 2); // the voided run and the total row

    // Cancelling the stock-in document takes its last run away and the stock tree is rebuilt.
    QString documentsCaption;
    OnModalDialog([&](QDialog *modal) {
        documentsCaption = modal->windowTitle();
        auto *documents = static_cast<COperationDocumentDlg *>(modal);
        documents->Kinds()->setCurrentText(QStringLiteral("入库单"));
        Click(documents, "query");
        documents->Documents()->SelectRow(0);
        Click(documents, "cancelDocument");
    });
    ChooseFromMenuTwo(dlg, cmd::Documents);
    QTRY_COMPARE(documentsCaption, QStringLiteral("出入库管理"));
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(messages.Last().text, QStringLiteral("票据：XZ00000001, \n 已不是库存票据"));
    QCOMPARE(dlg.MainList()->RowCount(), 0);
    QCOMPARE(t.Count(QString::fromLatin1(Bill_Info)), 2);
}

QTEST_MAIN(MaintenanceTest)
#include "tst_maintenance.moc"
