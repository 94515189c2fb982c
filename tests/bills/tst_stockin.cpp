// Stock-in: the overlap test, the rows an entry writes and the dialog's refusals.
#include "bills/StockIn.h"
#include "bills/StockInDlg.h"
#include "schema/Schema.h"
#include "tests/bills/StockTestSupport.h"
#include "tests/support/DialogSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QtTest>

#include <algorithm>
#include <optional>

using namespace schema;

namespace {

// The overlap test as the clerk's manual describes it: walk the kind's runs in begin order, join
// books that follow each other into blocks and refuse at the first block touching the range.
std::optional<double> BlockWalk(std::vector<double> begins, int unit, double first, double last) {
    std::sort(begins.begin(), begins.end());
    bool open = false;
    double blockBegin = 0;
    double blockEnd = 0;
    auto touches = [&] { return first <= blockEnd && last >= blockBegin; };
    for (double v : begins) {
        if (open && v == blockEnd + 1) {
            blockEnd = v + unit - 1;
            continue;
        }
        if (open && touches())
            return std::max(blockBegin, first);
        open = true;
        blockBegin = v;
        blockEnd = v + unit - 1;
    }
    if (open && touches())
        return std::max(blockBegin, first);
    return std::nullopt;
}

void AddBareRun(const QString &kind, double begin) {
    TheDatabase().ExecuteStatement(QString::asprintf("INSERT INTO %s (%s,%s,%s) VALUES ('%s',%f,'%s')", Bill_Info,
                                                     Bill_Kind, Bill_Begin_Int, Bill_Flag, qUtf8Printable(kind), begin,
                                                     FlagStock));
}

QString Where(const QString &kind) {
    return QStringLiteral("Bill_Kind = '%1'").arg(kind);
}

} // namespace

class StockInTest : public QObject {
    Q_OBJECT
private:
    void Enter(CStockInDlg &dlg, const QString &begin, int books) {
        Child<QLineEdit>(&dlg, "beginDigits")->setText(begin);
        Child<QSpinBox>(&dlg, "books")->setValue(books);
    }

private slots:
    void overlapTestAnswersAsTheBlockWalk();
    void overlapTestIgnoresOtherKinds();
    void threeBooksShareOneDocumentNumber();
    void contiguousBlockRefusesOverlapsWithFirstSharedNumber();
    void emptyKindAcceptsRangeFromZero();
    void refusalsComeInOrderAndClearTheEntry();
    void endFollowsTheBeginAsItIsTyped();
    void nonFixedKindWritesSingleBillsAndNoLeftoverPrice();
    void quotesInPrefixAreStoredAsTyped();
    void failureOnThirdBookRollsBackTheFirstTwo();
    void continuousEntriesShareTheDocumentNumber();
    void enterNeitherConfirmsNorCancels();
    void currentAdministratorComesFirst();
    void booksTypedPastTheMaximumStopAtItWithTheRangeMessage();
    void tabFollowsTheFieldsOnTheScreen();
};

void StockInTest::overlapTestAnswersAsTheBlockWalk() {
    TestDatabase t;
    QRandomGenerator random(20260109);
    CTransaction transaction;
    for (int trial = 0; trial < 40; ++trial) {
        const QString kind = QStringLiteral("K%1").arg(trial);
        const int unit = 1 + random.bounded(20);
        // Runs in contiguous stretches with gaps, some out of line with the books and some twice.
        std::vector<double> begins;
        double v = random.bounded(50);
        for (int i = 0; i < 60; ++i) {
            begins.push_back(v);
            const int step = random.bounded(10);
            v += step < 6 ? unit : step < 8 ? unit + random.bounded(3 * unit) : random.bounded(unit + 1);
        }
        for (double begin : begins)
            AddBareRun(kind, begin);
        for (int query = 0; query < 50; ++query) {
            const double first = random.bounded(int(v) + 50);
            const double last = first + unit * (1 + random.bounded(5)) - 1;
            const std::optional<double> expected = BlockWalk(begins, unit, first, last);
            double shared = -1;
            QCOMPARE(FindOverlap(kind, unit, first, last, shared), expected.has_value());
            if (expected)
                QCOMPARE(shared, *expected);
        }
    }
}

void StockInTest::overlapTestIgnoresOtherKinds() {
    TestDatabase t;
    AddBareRun(QStringLiteral("甲"), 1);
    TheDatabase().ExecuteStatement(QString::asprintf("INSERT INTO %s (%s) VALUES ('%s')", Bill_Info, Bill_Kind, "乙"));
    double shared = 0;
    QVERIFY(!FindOverlap(QStringLiteral("乙"), 100, 1, 100, shared));
    QVERIFY(FindOverlap(QStringLiteral("甲"), 100, 100, 100, shared));
    QCOMPARE(shared, 100.0);
    QCOMPARE(OverlapMessage(8, 150),
             QStringLiteral("录入票据的编号,与数据库中的编号有重复部分!\n\n提示：数据库中已经存在(00000150)编号!"));
}

void StockInTest::threeBooksShareOneDocumentNumber() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    CStockInDlg dlg;
    QCOMPARE(Child<QLineEdit>(&dlg, "documentNo")->text(), QStringLiteral("100000000000000"));
    QCOMPARE(Child<QLineEdit>(&dlg, "mainKind")->text(), QStringLiteral("行政事业性收费"));
    Enter(dlg, QStringLiteral("00000001"), 3);
    QCOMPARE(Child<QLineEdit>(&dlg, "endDigits")->text(), QStringLiteral("00000300"));
    Click(&dlg, "confirm");
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(t.Count(Bill_Info), 3);
    QCOMPARE(t.Count(Bill_Info, "Bill_Repository_No = 100000000000000"), 3);
    QCOMPARE(t.Rows("SELECT Bill_Begin_Char, Bill_End_Char FROM Bill_Info ORDER BY Bill_Begin_Int"),
             QStringLiteral("00000001:00000100 00000101:00000200 00000201:00000300"));
    QCOMPARE(t.Scalar("SELECT Bill_End_Int FROM Bill_Info WHERE Bill_Begin_Int = 201"), QStringLiteral("300"));
    QCOMPARE(t.Scalar("SELECT Bill_Unit_Total FROM Bill_Info WHERE Bill_Begin_Int = 1"), QStringLiteral("200"));
    QCOMPARE(t.Scalar("SELECT Bill_Repository_Manager FROM Bill_Info WHERE Bill_Begin_Int = 1"),
             QStringLiteral("李管理"));
    QCOMPARE(t.Scalar("SELECT Bill_Made_Units || Bill_Flag || Bill_Main_Kind || Bill_NoneFixed_Sum FROM Bill_Info "
                      "WHERE Bill_Begin_Int = 1"),
             QStringLiteral("省印刷厂库存行政事业性收费0"));
}

void StockInTest::contiguousBlockRefusesOverlapsWithFirstSharedNumber() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    AddStockRun(FixedKind(), 1);
    AddStockRun(FixedKind(), 101);
    AddKind(FixedKind(QStringLiteral("另一类")));
    AddStockRun(FixedKind(QStringLiteral("另一类")), 1001); // other kinds never collide
    CStockInDlg dlg;
    Child<QComboBox>(&dlg, "kind")->setCurrentText(FixedKind().name);
    Child<QCheckBox>(&dlg, "continuous")->setChecked(true);
    const struct {
        const char *begin;
        const char *shared;
    } refused[] = {{"00000150", "00000150"}, {"00000050", "00000050"}};
    for (const auto &entry : refused) {
        messages.Clear();
        Enter(dlg, QLatin1String(entry.begin), 1);
        Click(&dlg, "confirm");
        QCOMPARE(messages.Count(), 1);
        QCOMPARE(messages.Last().caption, QStringLiteral("编号重复"));
        QVERIFY2(messages.Last().text.contains(QStringLiteral("(%1)").arg(QLatin1String(entry.shared))),
                 qPrintable(messages.Last().text));
        QVERIFY(Child<QLineEdit>(&dlg, "beginDigits")->text().isEmpty());
        QCOMPARE(Child<QSpinBox>(&dlg, "books")->value(), 0);
    }
    messages.Clear();
    Enter(dlg, QStringLiteral("00000201"), 1);
    Click(&dlg, "confirm");
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(t.Count(Bill_Info, Where(FixedKind().name)), 3);

    // A range that begins below a block names the block's first number.
    Child<QComboBox>(&dlg, "kind")->setCurrentText(QStringLiteral("另一类"));
    Enter(dlg, QStringLiteral("00000951"), 1);
    Click(&dlg, "confirm");
    QCOMPARE(messages.Last().caption, QStringLiteral("编号重复"));
    QVERIFY(messages.Last().text.contains(QStringLiteral("(00001001)")));
    QCOMPARE(t.Count(Bill_Info, Where(QStringLiteral("另一类"))), 1);
}

void StockInTest::emptyKindAcceptsRangeFromZero() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    KindSpec kind = FixedKind();
    kind.length = 7;
    kind.unitAmount = 1;
    AddKind(kind);
    CStockInDlg dlg;
    Enter(dlg, QStringLiteral("0000000"), 1);
    Click(&dlg, "confirm");
    CStockInDlg second;
    Enter(second, QStringLiteral("0000123"), 1);
    QCOMPARE(Child<QLineEdit>(&second, "endDigits")->text(), QStringLiteral("0000123"));
    Click(&second, "confirm");
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(t.Rows("SELECT Bill_Begin_Char, Bill_End_Char FROM Bill_Info ORDER BY Bill_Begin_Int"),
             QStringLiteral("0000000:0000000 0000123:0000123"));
}

void StockInTest::refusalsComeInOrderAndClearTheEntry() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    KindSpec kind = FixedKind();
    kind.length = 6;
    kind.unitAmount = 50;
    AddKind(kind);
    CStockInDlg dlg;
    auto *begin = Child<QLineEdit>(&dlg, "beginDigits");

    // Letters in the begin digits: told when the books change; the entry stays.
    Enter(dlg, QStringLiteral("00a001"), 2);
    QCOMPARE(messages.Last().text, QStringLiteral("请不要在票据编号中插入字符。"));
    QCOMPARE(messages.Last().caption, QStringLiteral("格式错误"));
    QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);
    QCOMPARE(begin->text(), QStringLiteral("00a001"));

    // Too few digits: the end was computed, yet the entry is incomplete.
    messages.Clear();
    Enter(dlg, QStringLiteral("00001"), 1);
    Child<QSpinBox>(&dlg, "books")->setValue(2);
    QVERIFY(!Child<QLineEdit>(&dlg, "endDigits")->text().isEmpty());
    Click(&dlg, "confirm");
    QCOMPARE(messages.Last().text, QStringLiteral("  请正确、完整地录入票据信息!  "));
    QCOMPARE(messages.Last().caption, QStringLiteral("录入提示"));
    QVERIFY(begin->text().isEmpty());
    QCOMPARE(Child<QSpinBox>(&dlg, "books")->value(), 0);

    // The sum of begin and books, not the last number, is held against the largest number.
    for (const char *first : {"999901", "999900"}) {
        messages.Clear();
        Enter(dlg, QLatin1String(first), 2);
        Click(&dlg, "confirm");
        QCOMPARE(messages.Last().text, QStringLiteral("   编号超出指定范围!  "));
        QCOMPARE(messages.Last().caption, QStringLiteral("范围"));
        QVERIFY(begin->text().isEmpty());
    }
    QCOMPARE(t.Count(Bill_Info), 0);
    QCOMPARE(Child<QSpinBox>(&dlg, "books")->maximum(), 999);

    // A prefix longer than its field holds stops the entry whenever the values are taken.
    KindSpec longPrefix = FixedKind(QStringLiteral("长前缀"));
    longPrefix.prefix = QStringLiteral("ABCDEFGHIJ");
    AddKind(longPrefix);
    CStockInDlg tooLong;
    Child<QComboBox>(&tooLong, "kind")->setCurrentText(longPrefix.name);
    messages.Clear();
    Enter(tooLong, QStringLiteral("00000001"), 1);
    QCOMPARE(messages.Last().text, QStringLiteral("请输入不超过 9 个字符。"));
    QVERIFY(Child<QLineEdit>(&tooLong, "endDigits")->text().isEmpty());
    Click(&tooLong, "confirm");
    QCOMPARE(messages.Count(), 2);
    QCOMPARE(t.Count(Bill_Info), 0);

    // A kind without a main kind cannot be stocked.
    KindSpec orphan = FixedKind(QStringLiteral("无主类型"));
    orphan.mainKind.clear();
    AddKind(orphan);
    CStockInDlg noMain;
    Child<QComboBox>(&noMain, "kind")->setCurrentText(orphan.name);
    Enter(noMain, QStringLiteral("00000001"), 1);
    Click(&noMain, "confirm");
    QCOMPARE(messages.Last().caption, QStringLiteral("录入提示"));
    QCOMPARE(t.Count(Bill_Info), 0);
}

void StockInTest::endFollowsTheBeginAsItIsTyped() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    AddStockRun(FixedKind(), 501);
    CStockInDlg dlg;
    Enter(dlg, QStringLiteral("00000001"), 5);
    QCOMPARE(Child<QLineEdit>(&dlg, "endDigits")->text(), QStringLiteral("00000500"));
    // Typing another begin moves the end with it, so 00000101 ... 00000600 is what is checked.
    auto *begin = Child<QLineEdit>(&dlg, "beginDigits");
    begin->clear();
    QTest::keyClicks(begin, QStringLiteral("00000101"));
    QCOMPARE(Child<QLineEdit>(&dlg, "endDigits")->text(), QStringLiteral("00000600"));
    Click(&dlg, "confirm");
    QCOMPARE(messages.Last().caption, QStringLiteral("编号重复"));
    QVERIFY(messages.Last().text.contains(QStringLiteral("(00000501)")));
    QCOMPARE(t.Count(Bill_Info), 1);
}

void StockInTest::nonFixedKindWritesSingleBillsAndNoLeftoverPrice() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind(QStringLiteral("丙类"))); // chosen first: its price must not stick
    AddKind(NonFixedKind(QStringLiteral("乙类")));
    CStockInDlg dlg;
    QCOMPARE(Child<QComboBox>(&dlg, "kind")->currentText(), QStringLiteral("丙类"));
    QCOMPARE(Child<QLineEdit>(&dlg, "bookTotal")->text(), QStringLiteral("200.00"));
    Child<QComboBox>(&dlg, "kind")->setCurrentText(QStringLiteral("乙类"));
    Enter(dlg, QStringLiteral("00000001"), 2);
    Click(&dlg, "confirm");
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(t.Count(Bill_Info), 2);
    QCOMPARE(t.Count(Bill_Info, "Bill_Unit_Price = 0 AND Bill_Unit_Total = 0 AND Bill_NoneFixed_Sum = -1"), 2);
    QCOMPARE(t.Count(Bill_NoneFixed_Manifest_Info), 100);
    for (const char *book : {"00000001", "00000051"}) {
        const QString where = QStringLiteral("Bill_NoneFixed_Begin_Char = '%1'").arg(QLatin1String(book));
        QCOMPARE(t.Count(Bill_NoneFixed_Manifest_Info, where), 50);
        QCOMPARE(t.Rows("SELECT MIN(Bill_NoneFixed_Inner_Int), MAX(Bill_NoneFixed_Inner_Int), "
                        "SUM(Bill_NoneFixed_Unit_Price) FROM Bill_NoneFixed_Manifest_Info WHERE " +
                        where),
                 QStringLiteral("1:50:0"));
    }
    QCOMPARE(t.Scalar("SELECT Bill_NoneFixed_Inner_Char FROM Bill_NoneFixed_Manifest_Info WHERE "
                      "Bill_NoneFixed_Begin_Char = '00000051' AND Bill_NoneFixed_Inner_Int = 50"),
             QStringLiteral("00000100"));
    QCOMPARE(t.Scalar("SELECT DISTINCT Bill_NoneFixed_Kind || Bill_NoneFixed_Main_Kind FROM "
                      "Bill_NoneFixed_Manifest_Info"),
             QStringLiteral("乙类政府性基金"));
}

void StockInTest::quotesInPrefixAreStoredAsTyped() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    KindSpec kind = NonFixedKind(QStringLiteral("O'Neil"));
    kind.prefix = QStringLiteral("A'");
    kind.suffix = QStringLiteral("'Z");
    kind.unitAmount = 3;
    AddKind(kind);
    CStockInDlg dlg;
    Enter(dlg, QStringLiteral("00000001"), 2);
    Click(&dlg, "confirm");
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(t.Rows("SELECT Bill_Begin_Char, Bill_End_Char FROM Bill_Info WHERE Bill_Kind = 'O''Neil' "
                    "ORDER BY Bill_Begin_Int"),
             QStringLiteral("A'00000001'Z:A'00000003'Z A'00000004'Z:A'00000006'Z"));
    QCOMPARE(t.Rows("SELECT Bill_NoneFixed_Inner_Char FROM Bill_NoneFixed_Manifest_Info WHERE "
                    "Bill_NoneFixed_Begin_Char = 'A''00000004''Z' ORDER BY Bill_NoneFixed_Inner_Int"),
             QStringLiteral("A'00000004'Z A'00000005'Z A'00000006'Z"));
}

void StockInTest::failureOnThirdBookRollsBackTheFirstTwo() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(NonFixedKind());
    t.RefuseChanges("third_book", "INSERT", Bill_Info, "磁盘已满", "NEW.Bill_Begin_Int = 101");
    CStockInDlg dlg;
    Enter(dlg, QStringLiteral("00000001"), 3);
    Click(&dlg, "confirm");
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().text, QStringLiteral("磁盘已满"));
    QCOMPARE(messages.Last().caption, ApplicationTitle());
    QCOMPARE(t.Count(Bill_Info), 0);
    QCOMPARE(t.Count(Bill_NoneFixed_Manifest_Info), 0);
    QCOMPARE(TheDatabase().TransactionDepth(), 0);
    // The entry stays for correction and the dialog open.
    QCOMPARE(Child<QLineEdit>(&dlg, "beginDigits")->text(), QStringLiteral("00000001"));
    QCOMPARE(Child<QSpinBox>(&dlg, "books")->value(), 3);
    QCOMPARE(dlg.result(), 0);
    QVERIFY(dlg.isEnabled());
}

void StockInTest::continuousEntriesShareTheDocumentNumber() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    AddStockRun(FixedKind(), 9001, 100000000000007.0);
    CStockInDlg dlg;
    Child<QCheckBox>(&dlg, "continuous")->setChecked(true);
    QCOMPARE(Child<QLineEdit>(&dlg, "documentNo")->text(), QStringLiteral("100000000000008"));
    Enter(dlg, QStringLiteral("00000001"), 1);
    Click(&dlg, "confirm");
    Enter(dlg, QStringLiteral("00000101"), 2);
    Click(&dlg, "confirm");
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(dlg.result(), 0);
    QCOMPARE(t.Count(Bill_Info, "Bill_Repository_No = 100000000000008"), 3);
    QCOMPARE(Child<QLineEdit>(&dlg, "documentNo")->text(), QStringLiteral("100000000000008"));
    QVERIFY(Child<QLineEdit>(&dlg, "endDigits")->text().isEmpty());
}

void StockInTest::enterNeitherConfirmsNorCancels() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    CStockInDlg dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    Enter(dlg, QStringLiteral("00000001"), 1);
    for (QWidget *target : {static_cast<QWidget *>(Child<QLineEdit>(&dlg, "beginDigits")),
                            static_cast<QWidget *>(Child<QPushButton>(&dlg, "confirm")),
                            static_cast<QWidget *>(Child<QPushButton>(&dlg, "cancel"))}) {
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter);
    }
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.result(), 0);
    QCOMPARE(t.Count(Bill_Info), 0);
}

void StockInTest::currentAdministratorComesFirst() {
    TestDatabase t;
    AddMasterData();
    // An administrator added without a flag holds NULL, which the store sorts first.
    t.Exec(QStringLiteral("INSERT INTO Bill_Manager_Info (Bill_Manager_Name) VALUES ('新管理')"));
    AddKind(FixedKind());
    CStockInDlg dlg;
    auto *managers = Child<QComboBox>(&dlg, "manager");
    QCOMPARE(managers->count(), 3);
    QCOMPARE(managers->currentText(), QStringLiteral("李管理"));
    QCOMPARE(Child<QComboBox>(&dlg, "maker")->currentText(), QStringLiteral("省印刷厂"));
}

void StockInTest::booksTypedPastTheMaximumStopAtItWithTheRangeMessage() {
    TestDatabase t;
    MessageCapture messages;
    AddMasterData();
    AddKind(FixedKind());
    CStockInDlg dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    Child<QLineEdit>(&dlg, "beginDigits")->setText(QStringLiteral("00000001"));
    auto *books = Child<QSpinBox>(&dlg, "books");
    books->setFocus();
    books->selectAll();
    QTest::keyClicks(books, QStringLiteral("100"));
    QCOMPARE(books->value(), 100);
    QCOMPARE(messages.Count(), 0);
    QTest::keyClicks(books, QStringLiteral("0"));
    QCOMPARE(books->value(), 999);
    QCOMPARE(books->text(), QStringLiteral("999"));
    QCOMPARE(messages.Texts(), QStringList{"请填入一个在0和999之间的整数。"});
    QCOMPARE(Child<QLineEdit>(&dlg, "endDigits")->text(), QStringLiteral("00099900"));
    // A count within the range is typed as before.
    books->selectAll();
    QTest::keyClicks(books, QStringLiteral("12"));
    QCOMPARE(books->value(), 12);
    QCOMPARE(messages.Count(), 1);
}

void StockInTest::tabFollowsTheFieldsOnTheScreen() {
    TestDatabase t;
    AddMasterData();
    AddKind(FixedKind());
    CStockInDlg dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    dlg.activateWindow();
    // The read-only fields are passed over; the end number is open only to the count.
    QCOMPARE(NamesOf(TabStops(Child<QComboBox>(&dlg, "kind"), 10)),
             QStringList({"kind", "beginDigits", "books", "stockTime", "manager", "madeTime", "maker", "continuous",
                          "confirm", "cancel"}));
}

QTEST_MAIN(StockInTest)
#include "tst_stockin.moc"
