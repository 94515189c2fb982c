// Return: the pending list, the line editor, the single bills of non-fixed amount and the one
// transaction that takes the books back.
#include "bills/ModalRunner.h"
#include "bills/NonFixedBillDlg.h"
#include "bills/ReturnDlg.h"
#include "bills/ReturnLineDlg.h"
#include "lists/QueryListCtrl.h"
#include "schema/Schema.h"
#include "tests/bills/StockTestSupport.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

#include <functional>

using namespace schema;

namespace {

// A book of the kind stocked and issued to 赵领票 of 收费科.
QString IssuedRun(const KindSpec &kind, double begin) {
    const QString first = AddStockRun(kind, begin);
    TheDatabase().ExecuteStatement(
        QStringLiteral("UPDATE Bill_Info SET Bill_Flag = '运作', Bill_Issue_Dept = '收费科', Bill_Issue_Broker = "
                       "'赵领票', Bill_Issue_No = 200000000000000 WHERE Bill_Kind = '%1' AND Bill_Begin_Char = '%2'")
            .arg(kind.name, first));
    return first;
}

void Type(CReturnDlg &dlg, const QString &digits) {
    Child<QLineEdit>(&dlg, "beginDigits")->setText(digits);
    Click(&dlg, "insert");
}

QString Cell(const CQueryListCtrl *list, int row, const char *title) {
    return list->GetItemText(row, list->ColumnIndexOfTitle(QString::fromUtf8(title)));
}

// Runs nested dialogs through the given drivers instead of their own loops.
class NestedDialogs {
public:
    NestedDialogs() {
        m_previous = SetModalRunner([this](QDialog &dialog) {
            ++opened;
            if (auto *editor = qobject_cast<CReturnLineDlg *>(&dialog); editor && lineEditor)
                lineEditor(*editor);
            if (auto *bills = qobject_cast<CNonFixedBillDlg *>(&dialog); bills && singleBills)
                singleBills(*bills);
            return int(QDialog::Accepted);
        });
    }
    ~NestedDialogs() { SetModalRunner(m_previous); }
    std::function<void(CReturnLineDlg &)> lineEditor;
    std::function<void(CNonFixedBillDlg &)> singleBills;
    int opened = 0;

private:
    ModalRunner m_previous;
};

// Records an amount on a bill of the single-bill dialog as the clerk does: click, type, "登记单价".
void Record(CNonFixedBillDlg &bills, int row, double amount) {
    bills.List()->SelectRow(row);
    bills.OnListClick();
    Child<QLineEdit>(&bills, "amount")->setText(QString::number(amount));
    Click(&bills, "record");
}

} // namespace

class ReturnTest : public QObject {
    Q_OBJECT
private slots:
    void amountsWithFractionsOfACentAreRefused();
    void pendingListHasElevenColumns();
    void typedBookMustBeIssued();
    void wholeBookComesBackUnchanged();
    void lineCorrectedTo30StaysOneRow();
    void countWithCommasIsWrittenWithout();
    void missingRunChangesNothing();
    void failingReturnChangesNoRow();
    void amountThatIsNoNumberIsRefused();
    void nonFixedLineWithoutEditorTakesTheRecordedSum();
    void lineEditorKeepsCountWithinTheBook();
    void lineEditorShowsTheIssueValuesAndSavesTypedNames();
    void lineEditorMovesAndDropsUnsavedChanges();
    void nonFixedLineTakesItsAmountsFromTheSingleBills();
    void nonFixedLineWithoutAmountsKeepsItsCount();
    void singleBillAmountsAreRecordedAndCounted();
};

void ReturnTest::pendingListHasElevenColumns() {
    TestDatabase t;
    MessageCapture messages;
    CReturnDlg dlg(nullptr);
    QCOMPARE(dlg.PendingList()->GetHeaderTitles(),
             QStringList({"票据类型", "开始编号", "结尾编号", "返还结尾编号", "单价", "张数", "回收张数", "金额",
                          "回收金额", "返还部门", "返还人"}));
    QCOMPARE(dlg.PendingList()->RowCount(), 0);
    QCOMPARE(Child<QLineEdit>(&dlg, "documentNo")->text(), QStringLiteral("300000000000000"));
    QCOMPARE(messages.Count(), 0);
}

void ReturnTest::typedBookMustBeIssued() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    AddStockRun(FixedKind(), 1);
    IssuedRun(FixedKind(), 101);
    IssuedRun(FixedKind(), 201);
    t.Exec(QStringLiteral("UPDATE Bill_Info SET Bill_Flag = '回收' WHERE Bill_Begin_Int = 201"));
    CReturnDlg dlg(nullptr);
    for (const char *refused : {"00000001", "00000201"}) {
        Type(dlg, QLatin1String(refused));
        QCOMPARE(messages.Last().text,
                 QStringLiteral("编号 %1 没有被人领出，或者没有入库。").arg(QLatin1String(refused)));
        QCOMPARE(messages.Last().caption, QStringLiteral("编号回收报错"));
    }
    Type(dlg, QStringLiteral("0000x101"));
    QCOMPARE(messages.Last().caption, QStringLiteral("编号错误"));
    messages.Clear();
    Type(dlg, QStringLiteral("00000101"));
    QCOMPARE(messages.Count(), 0);
    CQueryListCtrl *list = dlg.PendingList();
    QCOMPARE(list->RowCount(), 1);
    QStringList cells;
    for (int column = 0; column < list->ColumnCount(); ++column)
        cells << list->GetItemText(0, column);
    QCOMPARE(cells, QStringList({"收费票据甲", "00000101", "00000200", "00000200", "￥2.00", "100", "100", "￥200.00",
                                 "￥200.00", "收费科", "赵领票"}));
    Type(dlg, QStringLiteral("00000101"));
    QCOMPARE(messages.Last().caption, QStringLiteral("重复列入"));
}

void ReturnTest::wholeBookComesBackUnchanged() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    IssuedRun(FixedKind(), 101);
    const QVector<StoredRow> before = StoredRows(Bill_Info, Bill_ID);
    CReturnDlg dlg(nullptr);
    Child<QDateTimeEdit>(&dlg, "returnTime")->setDateTime(QDateTime(QDate(2026, 4, 1), QTime(16, 30, 5)));
    Type(dlg, QStringLiteral("00000101"));
    Click(&dlg, "return");
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    const StoredRow after = StoredRows(Bill_Info, Bill_ID).first();
    QCOMPARE(ChangedColumns(before.first(), after),
             QStringList({"Bill_Flag", "Bill_Return_Broker", "Bill_Return_Dept", "Bill_Return_End_Char",
                          "Bill_Return_End_Int", "Bill_Return_Manager", "Bill_Return_No", "Bill_Return_Time",
                          "Bill_Unit_Return_Amount", "Bill_Unit_Return_Total"}));
    QCOMPARE(after["Bill_Flag"], QStringLiteral("回收"));
    QCOMPARE(after["Bill_Unit_Return_Amount"], QStringLiteral("100"));
    QCOMPARE(after["Bill_Return_End_Char"], QStringLiteral("00000200"));
    QCOMPARE(after["Bill_Return_End_Int"], QStringLiteral("200"));
    QCOMPARE(after["Bill_Unit_Return_Total"], QStringLiteral("200"));
    QCOMPARE(after["Bill_Unit_Total"], QStringLiteral("200"));
    QCOMPARE(after["Bill_Return_Time"], QStringLiteral("2026-04-01 16:30:05"));
    QCOMPARE(after["Bill_Return_Manager"], QStringLiteral("李管理"));
    QCOMPARE(after["Bill_Return_Dept"] + after["Bill_Return_Broker"], QStringLiteral("收费科赵领票"));
    QCOMPARE(after["Bill_Return_No"], QStringLiteral("300000000000000"));
}

void ReturnTest::lineCorrectedTo30StaysOneRow() {
    TestDatabase t;
    MessageCapture messages;
    NestedDialogs nested;
    AddMasterData();
    AddKind(FixedKind());
    IssuedRun(FixedKind(), 101);
    CReturnDlg dlg(nullptr);
    Type(dlg, QStringLiteral("00000101"));
    nested.lineEditor = [&](CReturnLineDlg &editor) {
        // An amount with fractions of a cent is refused and the line stays as it was.
        Child<QLineEdit>(&editor, "returnedAmount")->setText(QStringLiteral("￥4.15625"));
        Click(&editor, "save");
        QCOMPARE(messages.Texts(), QStringList{QStringLiteral("金额只能精确到分（最多两位小数），请重新输入!")});
        QCOMPARE(Cell(dlg.PendingList(), 0, "回收金额"), QStringLiteral("￥200.00"));
        messages.Clear();
        auto *count = Child<QSpinBox>(&editor, "returnedCount");
        QCOMPARE(count->value(), 100);
        count->setValue(30);
        QCOMPARE(Child<QLineEdit>(&editor, "returnedLast")->text(), QStringLiteral("00000130"));
        QCOMPARE(Child<QLineEdit>(&editor, "returnedAmount")->text(), QStringLiteral("￥60.00"));
        Click(&editor, "save");
    };
    Click(&dlg, "edit");
    QCOMPARE(nested.opened, 1);
    CQueryListCtrl *list = dlg.PendingList();
    QCOMPARE(Cell(list, 0, "返还结尾编号"), QStringLiteral("00000130"));
    QCOMPARE(Cell(list, 0, "回收张数"), QStringLiteral("30"));
    QCOMPARE(Cell(list, 0, "回收金额"), QStringLiteral("￥60.00"));
    QCOMPARE(Cell(list, 0, "金额"), QStringLiteral("￥200.00"));
    Click(&dlg, "return");
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(t.Count(Bill_Info), 1);
    QCOMPARE(t.Scalar("SELECT Bill_Return_End_Int || ' ' || Bill_Return_End_Char || ' ' || Bill_Unit_Return_Amount "
                      "|| ' ' || Bill_End_Char FROM Bill_Info"),
             QStringLiteral("130.0 00000130 30 00000200"));
    QCOMPARE(t.Scalar("SELECT Bill_Unit_Return_Total FROM Bill_Info"), QStringLiteral("60"));
}

void ReturnTest::countWithCommasIsWrittenWithout() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    KindSpec kind = FixedKind();
    kind.unitAmount = 1000;
    AddKind(kind);
    IssuedRun(kind, 1);
    CReturnDlg dlg(nullptr);
    Type(dlg, QStringLiteral("00000001"));
    dlg.PendingList()->SetItemTextByTitle(0, QStringLiteral("回收张数"), QStringLiteral("1,000"));
    Click(&dlg, "return");
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(t.Scalar("SELECT Bill_Unit_Return_Amount FROM Bill_Info"), QStringLiteral("1000"));
    QCOMPARE(t.Scalar("SELECT Bill_Return_End_Int FROM Bill_Info"), QStringLiteral("1000"));
}

void ReturnTest::missingRunChangesNothing() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    IssuedRun(FixedKind(), 1);
    CReturnDlg dlg(nullptr);
    Type(dlg, QStringLiteral("00000001"));
    // A row whose run is gone, as a stale main list could bring it.
    dlg.PendingList()->AppendRow();
    for (int column = 0; column < 9; ++column)
        dlg.PendingList()->SetItemText(1, column, column == 0 ? FixedKind().name : QStringLiteral("7"));
    const QVector<StoredRow> before = StoredRows(Bill_Info, Bill_ID);
    Click(&dlg, "return");
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(t.Count(Bill_Info), 1);
    QCOMPARE(t.Count(Bill_Info, "Bill_Flag = '回收'"), 1);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
}

void ReturnTest::failingReturnChangesNoRow() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    for (double begin : {1.0, 101.0, 201.0})
        IssuedRun(FixedKind(), begin);
    t.Exec(QStringLiteral("CREATE TRIGGER third_row BEFORE UPDATE ON Bill_Info WHEN NEW.Bill_Begin_Int = 201 "
                          "BEGIN SELECT RAISE(ABORT, '记录被锁定'); END"));
    CReturnDlg dlg(nullptr);
    for (const char *digits : {"00000001", "00000101", "00000201"})
        Type(dlg, QLatin1String(digits));
    const QVector<StoredRow> before = StoredRows(Bill_Info, Bill_ID);
    Click(&dlg, "return");
    QCOMPARE(messages.Last().text, QStringLiteral("记录被锁定"));
    QCOMPARE(StoredRows(Bill_Info, Bill_ID), before);
    QCOMPARE(dlg.result(), 0);
    QCOMPARE(dlg.PendingList()->RowCount(), 3);
}

void ReturnTest::amountThatIsNoNumberIsRefused() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    IssuedRun(FixedKind(), 1);
    IssuedRun(FixedKind(), 101);
    CReturnDlg dlg(nullptr);
    Type(dlg, QStringLiteral("00000001"));
    Type(dlg, QStringLiteral("00000101"));
    dlg.PendingList()->SetItemTextByTitle(1, QStringLiteral("回收金额"), QStringLiteral("0);DELETE FROM Bill_Info;--"));
    const QVector<StoredRow> before = StoredRows(Bill_Info, Bill_ID);
    Click(&dlg, "return");
    QCOMPARE(messages.Last().caption, QStringLiteral("货币不规范"));
    QCOMPARE(StoredRows(Bill_Info, Bill_ID), before);
    QCOMPARE(dlg.PendingList()->SelectedRows(), QList<int>({1}));
}

void ReturnTest::nonFixedLineWithoutEditorTakesTheRecordedSum() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(NonFixedKind());
    const QString first = IssuedRun(NonFixedKind(), 1);
    t.Exec(QStringLiteral("UPDATE Bill_NoneFixed_Manifest_Info SET Bill_NoneFixed_Unit_Price = 12.5 WHERE "
                          "Bill_NoneFixed_Inner_Int IN (2, 3, 4)"));
    CReturnDlg dlg(nullptr);
    Type(dlg, first);
    QCOMPARE(Cell(dlg.PendingList(), 0, "金额"), QStringLiteral("￥37.50"));
    QCOMPARE(Cell(dlg.PendingList(), 0, "回收金额"), QStringLiteral("￥37.50"));
    // Recorded after the book was listed: the return takes what is stored then.
    t.Exec(QStringLiteral("UPDATE Bill_NoneFixed_Manifest_Info SET Bill_NoneFixed_Unit_Price = 1 WHERE "
                          "Bill_NoneFixed_Inner_Int = 50"));
    Click(&dlg, "return");
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(t.Scalar("SELECT Bill_Unit_Total || ' ' || Bill_Unit_Return_Total FROM Bill_Info"),
             QStringLiteral("38.5 38.5"));
}

void ReturnTest::lineEditorKeepsCountWithinTheBook() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    IssuedRun(FixedKind(), 101);
    CReturnDlg dlg(nullptr);
    Type(dlg, QStringLiteral("00000101"));
    CReturnLineDlg editor(dlg.PendingList());
    auto *count = Child<QSpinBox>(&editor, "returnedCount");
    QCOMPARE(count->minimum(), 1);
    QCOMPARE(count->maximum(), 100);
    count->stepBy(5);
    QCOMPARE(count->value(), 100);
    count->setValue(1);
    count->stepBy(-1);
    QCOMPARE(count->value(), 1);
    QCOMPARE(Child<QLineEdit>(&editor, "returnedLast")->text(), QStringLiteral("00000101"));
    QCOMPARE(Child<QLineEdit>(&editor, "returnedAmount")->text(), QStringLiteral("￥2.00"));
    count->stepBy(1);
    QCOMPARE(Child<QLineEdit>(&editor, "returnedLast")->text(), QStringLiteral("00000102"));
    QCOMPARE(Child<QLineEdit>(&editor, "returnedAmount")->text(), QStringLiteral("￥4.00"));
}

void ReturnTest::lineEditorShowsTheIssueValuesAndSavesTypedNames() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    IssuedRun(FixedKind(), 1);
    CReturnDlg dlg(nullptr);
    Type(dlg, QStringLiteral("00000001"));
    dlg.PendingList()->SetItemTextByTitle(0, QStringLiteral("返还人"), QStringLiteral("别人"));
    CReturnLineDlg editor(dlg.PendingList());
    auto *broker = Child<QComboBox>(&editor, "broker");
    QCOMPARE(broker->currentText(), QStringLiteral("赵领票"));
    QCOMPARE(Child<QComboBox>(&editor, "dept")->currentText(), QStringLiteral("收费科"));
    broker->setEditText(QStringLiteral("临时工"));
    Click(&editor, "save");
    QCOMPARE(Cell(dlg.PendingList(), 0, "返还人"), QStringLiteral("临时工"));
    Click(&dlg, "return");
    QCOMPARE(t.Scalar("SELECT Bill_Return_Broker FROM Bill_Info"), QStringLiteral("临时工"));
}

void ReturnTest::lineEditorMovesAndDropsUnsavedChanges() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    for (double begin : {1.0, 101.0, 201.0})
        IssuedRun(FixedKind(), begin);
    CReturnDlg dlg(nullptr);
    for (const char *digits : {"00000001", "00000101", "00000201"})
        Type(dlg, QLatin1String(digits));
    CQueryListCtrl *list = dlg.PendingList();
    list->SelectRow(0);
    list->SelectRow(2, true);
    CReturnLineDlg editor(list);
    auto *first = Child<QLineEdit>(&editor, "first");
    QCOMPARE(first->text(), QStringLiteral("00000001"));
    Click(&editor, "previous");
    QCOMPARE(first->text(), QStringLiteral("00000001"));
    Child<QSpinBox>(&editor, "returnedCount")->setValue(10);
    Click(&editor, "next");
    QCOMPARE(first->text(), QStringLiteral("00000201"));
    Click(&editor, "next");
    QCOMPARE(editor.Position(), 1);
    Child<QSpinBox>(&editor, "returnedCount")->setValue(20);
    Click(&editor, "save");
    Click(&editor, "previous");
    QCOMPARE(Child<QSpinBox>(&editor, "returnedCount")->value(), 100);
    QCOMPARE(Cell(list, 0, "回收张数"), QStringLiteral("100"));
    QCOMPARE(Cell(list, 1, "回收张数"), QStringLiteral("100"));
    QCOMPARE(Cell(list, 2, "回收张数"), QStringLiteral("20"));
    QCOMPARE(Cell(list, 2, "返还结尾编号"), QStringLiteral("00000220"));
}

void ReturnTest::nonFixedLineTakesItsAmountsFromTheSingleBills() {
    TestDatabase t;
    MessageCapture messages;
    NestedDialogs nested;
    AddMasterData();
    AddKind(NonFixedKind());
    const QString first = IssuedRun(NonFixedKind(), 51);
    CReturnDlg dlg(nullptr);
    Type(dlg, first);
    CReturnLineDlg editor(dlg.PendingList());
    auto *amount = Child<QLineEdit>(&editor, "returnedAmount");
    const QString shown = amount->text();
    Child<QSpinBox>(&editor, "returnedCount")->setValue(10);
    QCOMPARE(Child<QLineEdit>(&editor, "returnedLast")->text(), QStringLiteral("00000060"));
    QCOMPARE(amount->text(), shown); // the count moves the last number only
    nested.singleBills = [](CNonFixedBillDlg &bills) {
        Record(bills, 0, 10);
        Record(bills, 1, 15);
        Record(bills, 4, 12.5);
        Click(&bills, "close");
    };
    Click(&editor, "save");
    QCOMPARE(nested.opened, 1);
    CQueryListCtrl *list = dlg.PendingList();
    QCOMPARE(Cell(list, 0, "回收张数"), QStringLiteral("3"));
    QCOMPARE(Cell(list, 0, "回收金额"), QStringLiteral("￥37.50"));
    QCOMPARE(Cell(list, 0, "金额"), QStringLiteral("￥37.50"));
    QCOMPARE(Cell(list, 0, "返还结尾编号"), QStringLiteral("00000060"));
    Click(&dlg, "return");
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(t.Scalar("SELECT Bill_Unit_Total || ' ' || Bill_Unit_Return_Total || ' ' || Bill_Unit_Return_Amount "
                      "FROM Bill_Info"),
             QStringLiteral("37.5 37.5 3"));
}

void ReturnTest::nonFixedLineWithoutAmountsKeepsItsCount() {
    TestDatabase t;
    MessageCapture messages;
    NestedDialogs nested;
    AddMasterData();
    AddKind(NonFixedKind());
    const QString first = IssuedRun(NonFixedKind(), 1);
    CReturnDlg dlg(nullptr);
    Type(dlg, first);
    CReturnLineDlg editor(dlg.PendingList());
    Child<QSpinBox>(&editor, "returnedCount")->setValue(7);
    Click(&editor, "save");
    QCOMPARE(nested.opened, 1);
    QCOMPARE(Cell(dlg.PendingList(), 0, "回收张数"), QStringLiteral("7"));
    QCOMPARE(Cell(dlg.PendingList(), 0, "回收金额"), QStringLiteral("￥0.00"));
}

void ReturnTest::singleBillAmountsAreRecordedAndCounted() {
    TestDatabase t;
    MessageCapture messages;
    AddKind(NonFixedKind());
    const QString first = AddStockRun(NonFixedKind(), 1);
    CNonFixedBillDlg bills({NonFixedKind().name, NonFixedKind().mainKind, first});
    CQueryListCtrl *list = bills.List();
    QCOMPARE(list->GetHeaderTitles(), QStringList({"票据编号", "票据金额"}));
    QCOMPARE(list->RowCount(), 50);
    QCOMPARE(list->GetItemText(49, 0), QStringLiteral("00000050"));
    QCOMPARE(bills.Total(), 0.0);
    QCOMPARE(bills.CountedBills(), 0);

    // Nothing chosen: nothing recorded.
    Child<QLineEdit>(&bills, "amount")->setText(QStringLiteral("9"));
    Click(&bills, "record");
    QCOMPARE(t.Scalar("SELECT SUM(Bill_NoneFixed_Unit_Price) FROM Bill_NoneFixed_Manifest_Info"), QStringLiteral("0"));

    Record(bills, 2, 12.5);
    QCOMPARE(bills.Total(), 12.5);
    QCOMPARE(Child<QLineEdit>(&bills, "total")->text(), QStringLiteral("12.50"));
    QCOMPARE(list->GetItemText(2, 1), QStringLiteral("12.50"));
    QCOMPARE(Child<QLineEdit>(&bills, "billNumber")->text(), QStringLiteral("00000003"));
    QCOMPARE(bills.CountedBills(), 1);
    QCOMPARE(t.Scalar("SELECT Bill_NoneFixed_Unit_Price FROM Bill_NoneFixed_Manifest_Info WHERE "
                      "Bill_NoneFixed_Inner_Int = 3"),
             QStringLiteral("12.5"));

    // A negative amount lowers the total and counts; 0 takes a bill out of the count.
    Record(bills, 5, -2.5);
    QCOMPARE(bills.Total(), 10.0);
    QCOMPARE(bills.CountedBills(), 2);
    Record(bills, 2, 0);
    QCOMPARE(bills.CountedBills(), 1);
    Click(&bills, "close");
    QCOMPARE(bills.result(), int(QDialog::Accepted));
}

void ReturnTest::amountsWithFractionsOfACentAreRefused() {
    TestDatabase t;
    MessageCapture messages;
    AddKind(NonFixedKind());
    const QString first = AddStockRun(NonFixedKind(), 1);
    CNonFixedBillDlg bills({NonFixedKind().name, NonFixedKind().mainKind, first});
    bills.List()->SelectRow(2);
    bills.OnListClick();
    for (const char *typed : {"4.15625", "0.001", "1e2", "nan", "inf", "12,5", ""}) {
        messages.Clear();
        Child<QLineEdit>(&bills, "amount")->setText(QString::fromLatin1(typed));
        Click(&bills, "record");
        QCOMPARE(messages.Count(), 1);
        QCOMPARE(messages.Last().caption, QStringLiteral("金额错误"));
        QCOMPARE(messages.Last().text, QString::fromLatin1(typed).startsWith(u'4') || qstrcmp(typed, "0.001") == 0
                                           ? QStringLiteral("金额只能精确到分（最多两位小数），请重新输入!")
                                           : QStringLiteral("票据金额只能填写数字，请重新输入!"));
    }
    QCOMPARE(t.Scalar("SELECT SUM(Bill_NoneFixed_Unit_Price) FROM Bill_NoneFixed_Manifest_Info"), QStringLiteral("0"));
    QCOMPARE(bills.List()->GetItemText(2, 1), QStringLiteral("0"));
    messages.Clear();
    Record(bills, 2, 4.15);
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(bills.Total(), 4.15);
}

QTEST_MAIN(ReturnTest)
#include "tst_return.moc"
