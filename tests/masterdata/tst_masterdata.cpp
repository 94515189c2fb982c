#include "app/Dialect.h"
#include "masterdata/Departments.h"
#include "masterdata/Managers.h"
#include "masterdata/NameTable.h"
#include "masterdata/RecycleBills.h"
#include "schema/Schema.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

#include <QtTest>

using namespace schema;

namespace {

// Every column of the first row, NULL kept apart from the empty text.
QStringList RowValues(const QString &statement) {
    CDatabase &db = TheDatabase();
    db.OpenQuery(statement);
    QStringList values;
    for (int c = 0; !db.IsEOF() && c < db.ColumnCount(); ++c) {
        QString v;
        values << (db.ReadFieldText(c, v) ? db.ColumnName(c) + "=" + v : db.ColumnName(c) + "=<NULL>");
    }
    db.CloseQuery();
    return values;
}

QString Eq(const char *column, const QString &value) {
    return QString::asprintf("%s = %s", column, qUtf8Printable(QuoteText(value)));
}

const KindSpec Receipt{"收据", "行政事业", "A", "", 8, 10, 2.0, false};
const KindSpec Voucher{"通用票", "行政事业", "T", "", 6, 5, 0.0, true};
const KindSpec Fund{"基金票", "政府基金", "J", "", 8, 10, 5.0, false};

} // namespace

class MasterDataTest : public QObject {
    Q_OBJECT
private slots:

    void recycledRowKeepsEveryColumnValue();
    void failedDeleteOfMainKindLeavesEverything();
    void recycleInsideCallersTransactionIsPartOfIt();
    void singleRunMoveKeepsRemarkAndOtherRuns();
    void namesWithQuotesAndTrailingBlanksAreDistinctButCaseIsNot();

    void failedSetCurrentKeepsPreviousManager();
    void noCurrentManagerYieldsEmptyName();
    void currentManagerIsOneAndComesFirst();
    void namesAreFreeOnlyWhenNoRowHoldsThemExactly();

    void recipientOfUnknownDepartmentIsNotAdded();
};

void MasterDataTest::recycledRowKeepsEveryColumnValue() {
    TestDatabase t;
    AddKind(Receipt);
    AddStockRun(Receipt, 1);
    AddStockRun(Receipt, 11);
    t.Exec(QString::asprintf("UPDATE %s SET %s = '2026-2-1 10:0:0', %s = '财务科', %s = '李四', %s = 'O''Hara', "
                             "%s = 200000000000001, %s = '%s', %s = 'A00000015', %s = 15, %s = 5, %s = 10.5, "
                             "%s = 300000000000002 WHERE %s = 11",
                             Bill_Info, Bill_Issue_Time, Bill_Issue_Dept, Bill_Issue_Broker, Bill_Issue_Manager,
                             Bill_Issue_No, Bill_Flag, FlagReturned, Bill_Return_End_Char, Bill_Return_End_Int,
                             Bill_Unit_Return_Amount, Bill_Unit_Return_Total, Bill_Return_No, Bill_Begin_Int));
    const QString pick = QString::asprintf("SELECT * FROM %%s WHERE %s = 11", Bill_Begin_Int);
    QStringList expected = RowValues(QString::asprintf(qPrintable(pick), Bill_Info));
    QVERIFY(RecycleBills(Receipt.name, RemarkKindDeleted, "O'Neil", "2026-3-4 5:6:7"));
    // Everything comes across, the counter and the void stamps included; the remark says why, and the
    // deletion has stamps of its own.
    for (QString &value : expected)
        if (value.startsWith(QString(Bill_Info_Remark) + "="))
            value = QString(Bill_Info_Remark) + "=" + RemarkKindDeleted;
    expected << QString(Bill_Recycle_Time) + "=2026-03-04 05:06:07" << QString(Bill_Recycle_Manager) + "=O'Neil";
    QCOMPARE(RowValues(QString::asprintf(qPrintable(pick), Bill_Recycle_Info)), expected);
    QVERIFY(expected.contains(QString(Bill_Issue_Manager) + "=O'Hara"));
    QVERIFY(expected.contains(QString(Bill_ID) + "=2"));
}

void MasterDataTest::failedDeleteOfMainKindLeavesEverything() {
    TestDatabase t;
    MessageCapture messages;
    AddKind(Voucher);
    AddStockRun(Voucher, 1);
    // The last step of the move fails.
    t.Exec(QString::asprintf("CREATE TRIGGER refuse BEFORE DELETE ON %s BEGIN SELECT RAISE(ABORT, 'refused'); END",
                             Bill_NoneFixed_Manifest_Info));
    QVERIFY(!DeleteKindWithBills(nametables::MainKinds, Voucher.mainKind, RemarkMainKindDeleted));
    QCOMPARE(messages.Count(), 1);
    QVERIFY(messages.Last().text.contains("refused"));
    QCOMPARE(t.Count(Bill_Main_Kind_Info), 1);
    QCOMPARE(t.Count(Bill_Info), 1);
    QCOMPARE(t.Count(Bill_Recycle_Info), 0);
    QCOMPARE(t.Count(Bill_Recycle_NoneFixed_Info), 0);
    QCOMPARE(t.Count(Bill_Info, QString(Bill_Info_Remark) + " IS NULL"), 1);
}

void MasterDataTest::recycleInsideCallersTransactionIsPartOfIt() {
    TestDatabase t;
    MessageCapture messages;
    AddKind(Receipt);
    AddStockRun(Receipt, 1);

    // A caller that rolls back takes the move back with it.
    t.Db().BeginTrans();
    QVERIFY(RecycleBills(Receipt.name, RemarkKindDeleted, "", "2026-1-1 0:0:0"));
    QCOMPARE(t.Count(Bill_Info), 0);
    t.Db().RollbackTrans();
    QCOMPARE(t.Count(Bill_Info), 1);
    QCOMPARE(t.Count(Bill_Recycle_Info), 0);

    // A failed move undoes only itself; the caller's own work stays until it decides.
    t.Exec(QString::asprintf("CREATE TRIGGER refuse BEFORE DELETE ON %s BEGIN SELECT RAISE(ABORT, 'refused'); END",
                             Bill_Info));
    t.Db().BeginTrans();
    AddDepartment("财务科");
    QVERIFY(!RecycleBills(Receipt.name, RemarkKindDeleted, "", "2026-1-1 0:0:0"));
    QCOMPARE(t.Db().TransactionDepth(), 1);
    t.Db().CommitTrans();
    QCOMPARE(t.Count(Bill_Dept_Info), 1);
    QCOMPARE(t.Count(Bill_Recycle_Info), 0);
    QCOMPARE(t.Count(Bill_Info, QString(Bill_Invalid_Time) + " IS NULL"), 1);
    QCOMPARE(messages.Count(), 1);
}

void MasterDataTest::singleRunMoveKeepsRemarkAndOtherRuns() {
    TestDatabase t;
    AddKind(Voucher);
    const QString first = AddStockRun(Voucher, 1);
    AddStockRun(Voucher, 6);
    t.Exec(QString::asprintf("UPDATE %s SET %s = '手工备注'", Bill_Info, Bill_Info_Remark));
    QVERIFY(RecycleBills(Voucher.name, first, "张管", "2026-3-4 5:6:7"));
    QCOMPARE(t.Count(Bill_Info), 1);
    QCOMPARE(t.Count(Bill_Recycle_Info, Eq(Bill_Info_Remark, "手工备注") + " AND " + Eq(Bill_Begin_Char, first)), 1);
    QCOMPARE(t.Count(Bill_Recycle_NoneFixed_Info, Eq(Bill_NoneFixed_Begin_Char, first)), 5);
    QCOMPARE(t.Count(Bill_NoneFixed_Manifest_Info), 5);
}

void MasterDataTest::namesWithQuotesAndTrailingBlanksAreDistinctButCaseIsNot() {
    TestDatabase t;
    const KindSpec quoted{"O'Brien票", "行政事业", "Q", "", 8, 10, 1.0, false};
    const KindSpec blank{"O'Brien票 ", "行政事业", "Q", "", 8, 10, 1.0, false};
    for (const KindSpec &k : {quoted, blank}) {
        AddKind(k);
        AddStockRun(k, 1);
    }
    QVERIFY(!IsNameFree(nametables::Kinds, quoted.name));
    // Names compare without regard to case: another case is the same kind.
    QVERIFY(!IsNameFree(nametables::Kinds, "o'brien票"));
    QVERIFY(!IsNameFree(nametables::Kinds, "O'BRIEN票"));
    QVERIFY(DeleteKindWithBills(nametables::Kinds, "O'BRIEN票", RemarkKindDeleted));
    QCOMPARE(t.Count(Bill_Kind_Info), 1);
    QCOMPARE(t.Count(Bill_Info), 1);
    QCOMPARE(t.Count(Bill_Info, Eq(Bill_Kind, blank.name)), 1);
    QCOMPARE(t.Count(Bill_Recycle_Info, Eq(Bill_Kind, quoted.name)), 1);
}

void MasterDataTest::failedSetCurrentKeepsPreviousManager() {
    TestDatabase t;
    MessageCapture messages;
    AddManager("甲", true);
    AddManager("乙");
    t.Exec(QString::asprintf("CREATE TRIGGER refuse BEFORE UPDATE ON %s WHEN NEW.%s = -1 "
                             "BEGIN SELECT RAISE(ABORT, 'refused'); END",
                             Bill_Manager_Info, Bill_Manager_Cur));
    QVERIFY(!SetCurrentManager("乙"));
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(GetCurrentManager(), QStringLiteral("甲"));
}

void MasterDataTest::noCurrentManagerYieldsEmptyName() {
    TestDatabase t;
    AddManager("甲");
    QCOMPARE(GetCurrentManager(), QString());
    AddKind(Receipt);
    AddStockRun(Receipt, 1);
    QVERIFY(DeleteKindWithBills(nametables::Kinds, Receipt.name, RemarkKindDeleted));
    QCOMPARE(t.Count(Bill_Recycle_Info, Eq(Bill_Recycle_Manager, "")), 1);
}

void MasterDataTest::currentManagerIsOneAndComesFirst() {
    TestDatabase t;
    QVERIFY(InsertName(nametables::Managers, "甲"));
    QVERIFY(InsertName(nametables::Managers, "乙"));
    QVERIFY(SetCurrentManager("乙"));
    QVERIFY(InsertName(nametables::Managers, "丙"));
    // A new administrator is stored as not current, never with an unset flag.
    QCOMPARE(t.Count(Bill_Manager_Info, QString(Bill_Manager_Cur) + " IS NULL"), 0);
    const QStringList names = ManagerNamesCurrentFirst();
    QCOMPARE(names.size(), 3);
    QCOMPARE(names.first(), QStringLiteral("乙"));
    QCOMPARE(GetCurrentManager(), QStringLiteral("乙"));
    QVERIFY(SetCurrentManager("丙"));
    QCOMPARE(t.Count(Bill_Manager_Info, QString(Bill_Manager_Cur) + " = -1"), 1);
    QCOMPARE(ManagerNamesCurrentFirst().first(), QStringLiteral("丙"));
}

void MasterDataTest::namesAreFreeOnlyWhenNoRowHoldsThemExactly() {
    TestDatabase t;
    for (const NameTable *table :
         {&nametables::MainKinds, &nametables::MakingDepartments, &nametables::Managers, &nametables::Departments}) {
        QVERIFY(InsertName(*table, "It's"));
        QVERIFY(!IsNameFree(*table, "It's"));
        QVERIFY(!IsNameFree(*table, "it's"));
        QVERIFY(IsNameFree(*table, "It's "));
        QVERIFY(InsertName(*table, "It's "));
        QVERIFY(DeleteName(*table, "It's"));
        QVERIFY(IsNameFree(*table, "It's"));
        QVERIFY(!IsNameFree(*table, "It's "));
    }
    AddMaker("二厂");
    AddMaker("一厂");
    QCOMPARE(MakingDepartmentNames(), (QStringList{"It's ", "二厂", "一厂"}));
}

void MasterDataTest::recipientOfUnknownDepartmentIsNotAdded() {
    TestDatabase t;
    MessageCapture messages;
    QVERIFY(InsertBroker("李四", "无此部门"));
    QCOMPARE(t.Count(Bill_Broker_Info), 0);
    QCOMPARE(messages.Count(), 0);
}

QTEST_GUILESS_MAIN(MasterDataTest)
#include "tst_masterdata.moc"
