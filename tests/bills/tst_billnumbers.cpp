#include "bills/BillNumbers.h"
#include "schema/Schema.h"
#include "tests/support/TestSupport.h"

#include <QtTest>

using namespace schema;

class BillNumbersTest : public QObject {
    Q_OBJECT
private slots:
    void billNumbersArePaddedNeverCut();
    void digitText();
    void moneyFormats();
    void moneyTextAcceptedOrRefused_data();
    void moneyTextAcceptedOrRefused();
    void moneyRefusalMessage();
    void dateTimeHasNoLeadingZeros();
    void maxNumberValueAndRangeSum();
    void returnCountIgnoresCommas();
    void firstDocumentNumbers();
    void nextDocumentNumberIsLargestPlusOne();
    void nextDocumentNumberReportsFailure();
};

void BillNumbersTest::billNumbersArePaddedNeverCut() {
    QCOMPARE(FormatBillNumber("A", 42, "B", 6), QStringLiteral("A000042B"));
    QCOMPARE(FormatBillNumber("A", 1234567, "B", 6), QStringLiteral("A1234567B"));
    QCOMPARE(FormatBillNumber("", 1, "", 8), QStringLiteral("00000001"));
    QCOMPARE(FormatBillDigits(51, 8), QStringLiteral("00000051"));
    QCOMPARE(FormatBillDigits(999999999999999.0, 15), QStringLiteral("999999999999999"));
    // A book of 50 from 00000001 ends at 00000050; the next begins at 00000051.
    QCOMPARE(FormatBillDigits(1 + 50 - 1, 8), QStringLiteral("00000050"));
}

void BillNumbersTest::digitText() {
    QVERIFY(IsDigitText("00012"));
    QVERIFY(!IsDigitText(""));
    QVERIFY(!IsDigitText("12a"));
    QVERIFY(!IsDigitText(" 12"));
    QVERIFY(!IsDigitText("１２")); // fullwidth digits are not decimal digits here
}

void BillNumbersTest::moneyFormats() {
    QCOMPARE(FormatMoney(12.5), QStringLiteral("￥12.50"));
    QCOMPARE(FormatMoney(0), QStringLiteral("￥0.00"));
    QCOMPARE(StripMoneySign("￥12.50"), QStringLiteral("12.50"));
    QCOMPARE(StripMoneySign("￥￥5"), QStringLiteral("￥5"));
    QCOMPARE(StripMoneySign(" ￥5"), QStringLiteral(" ￥5"));
}

void BillNumbersTest::moneyTextAcceptedOrRefused_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("normalised");
    QTest::newRow("sign") << "￥12.3" << true << "￥12.30";
    QTest::newRow("no sign") << "12.3" << true << "￥12.30";
    QTest::newRow("two points") << "1.2.3" << true << "￥1.20";
    QTest::newRow("dollar") << "$12" << false << "";
    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("sign only") << "￥" << false << "";
    QTest::newRow("two signs") << "￥￥5" << false << "";
    QTest::newRow("comma") << "1,000" << false << "";
}

void BillNumbersTest::moneyTextAcceptedOrRefused() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(QString, normalised);
    double value = -1;
    QString out = QStringLiteral("untouched");
    QCOMPARE(ParseMoneyText(text, value, out), accepted);
    QCOMPARE(out, accepted ? normalised : QStringLiteral("untouched"));
}

void BillNumbersTest::moneyRefusalMessage() {
    MessageCapture messages;
    ShowMoneyRefusal();
    QCOMPARE(messages.Last().text, QStringLiteral("或者在货币前加上人民币符号￥,或者干脆不要加。\n请不要使用其他货币符号!"));
    QCOMPARE(messages.Last().caption, QStringLiteral("货币不规范"));
    QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);
}

void BillNumbersTest::dateTimeHasNoLeadingZeros() {
    QCOMPARE(FormatDateTime(QDateTime(QDate(2006, 1, 1), QTime(0, 0, 0))), QStringLiteral("2006-1-1 0:0:0"));
    QCOMPARE(FormatDateTime(QDateTime(QDate(2005, 3, 7), QTime(9, 5, 0))), QStringLiteral("2005-3-7 9:5:0"));
}

void BillNumbersTest::maxNumberValueAndRangeSum() {
    QCOMPARE(MaxNumberValue(6), 999999.0);
    QCOMPARE(MaxNumberValue(7), 9999999.0);
    QCOMPARE(MaxNumberValue(15), 999999999999999.0);
    // The sum, not the last number, is compared with the largest value.
    QVERIFY(999901.0 + 2 * 50 > MaxNumberValue(6));
    QVERIFY(999900.0 + 2 * 50 > MaxNumberValue(6));
}

void BillNumbersTest::returnCountIgnoresCommas() {
    QString plain;
    QCOMPARE(ParseReturnCount("1,000", &plain), 1000);
    QCOMPARE(plain, QStringLiteral("1000"));
    QCOMPARE(ParseReturnCount("30本"), 30);
    QCOMPARE(ParseReturnCount(""), 0);
}

void BillNumbersTest::firstDocumentNumbers() {
    TestDatabase t;
    double number = 0;
    QVERIFY(NextDocumentNumber(Bill_Repository_No, number));
    QCOMPARE(FormatDocumentNumber(number), QStringLiteral("100000000000000"));
    QVERIFY(NextDocumentNumber(Bill_Issue_No, number));
    QCOMPARE(FormatDocumentNumber(number), QStringLiteral("200000000000000"));
    QVERIFY(NextDocumentNumber(Bill_Return_No, number));
    QCOMPARE(FormatDocumentNumber(number), QStringLiteral("300000000000000"));
}

void BillNumbersTest::nextDocumentNumberIsLargestPlusOne() {
    TestDatabase t;
    t.Exec(QString::asprintf("INSERT INTO %s (%s,%s) VALUES ('a',%f)", Bill_Info, Bill_Kind, Bill_Repository_No,
                             100000000000004.0));
    t.Exec(QString::asprintf("INSERT INTO %s (%s,%s) VALUES ('b',%f)", Bill_Info, Bill_Kind, Bill_Repository_No,
                             100000000000001.0));
    double number = 0;
    QVERIFY(NextDocumentNumber(Bill_Repository_No, number));
    QCOMPARE(FormatDocumentNumber(number), QStringLiteral("100000000000005"));
    // Stock-in numbers exist, but no issue number yet.
    QVERIFY(NextDocumentNumber(Bill_Issue_No, number));
    QCOMPARE(FormatDocumentNumber(number), QStringLiteral("200000000000000"));
}

void BillNumbersTest::nextDocumentNumberReportsFailure() {
    TestDatabase t;
    MessageCapture messages;
    double number = 42;
    QVERIFY(!NextDocumentNumber("No_Such_Column", number));
    QCOMPARE(number, 42.0);
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().caption, ApplicationTitle());
}

QTEST_GUILESS_MAIN(BillNumbersTest)
#include "tst_billnumbers.moc"
