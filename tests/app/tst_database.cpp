#include "app/Dialect.h"
#include "schema/Schema.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QtTest>
#include <sqlite3.h>

using namespace schema;

class DatabaseTest : public QObject {
    Q_OBJECT
private slots:
    void quotedValueRoundTripsAndTouchesOnlyItsRow();
    void deleteWithStarRemovesRows();
    void datesCompareAndSortChronologically();
    void dateLiteralsMeanMidnight();
    void trueSortsBeforeFalseAscending();
    void onlyNameColumnsAreOrderedByPinyin();
    void onlyValuePositionsAreBound();
    void nullLeavesCallersValue();
    void numbersReadAsClerksExpect();
    void emptyStateQueryKeepsEveryColumn();
    void chineseAliasesNameColumns();
    void newQueryClosesThePreviousOne();
    void recordCountCountsRows();
    void rollbackLeavesNoPartialChange();
    void failedStatementReportsStoreMessage();
    void nestedTransactionRollsBackInnerPartOnly();
    void preparedRowsInsertAllOrFailWithStoreMessage();
    void fileDoesNotOpenWithoutTheKey();
    void brokenFilesAreRefused_data();
    void brokenFilesAreRefused();
    void missingFileIsNotCreated();
};

void DatabaseTest::quotedValueRoundTripsAndTouchesOnlyItsRow() {
    TestDatabase t;
    for (const QString &name : {QStringLiteral("O'Brien"), QStringLiteral("O"), QStringLiteral("Brien")})
        t.Exec(QString::asprintf("INSERT INTO %s (%s) VALUES ('%s')", Bill_Dept_Info, Bill_Dept_Name,
                                 Quote(name).constData()));
    t.Exec(QString::asprintf("DELETE * FROM %s WHERE %s = '%s'", Bill_Dept_Info, Bill_Dept_Name,
                             Quote(QStringLiteral("O")).constData()));
    QCOMPARE(t.Count(Bill_Dept_Info), 2);
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s FROM %s WHERE %s = %s", Bill_Dept_Name, Bill_Dept_Info,
                                        Bill_Dept_Name, qPrintable(QuoteText(QStringLiteral("O'Brien"))))),
             QStringLiteral("O'Brien"));
    // A value that tries to end the literal early stays a value.
    const QString hostile = QStringLiteral("x' OR '1'='1");
    t.Exec(QString::asprintf("DELETE * FROM %s WHERE %s = '%s'", Bill_Dept_Info, Bill_Dept_Name,
                             Quote(hostile).constData()));
    QCOMPARE(t.Count(Bill_Dept_Info), 2);
}

void DatabaseTest::deleteWithStarRemovesRows() {
    TestDatabase t;
    t.Exec(QString::asprintf("INSERT INTO %s \t\t\t\t\t(%s) \t\t\t\t\tVALUES \t\t\t\t\t('%s')", Bill_Made_Info,
                             Bill_Made_Name, "印刷厂"));
    QCOMPARE(t.Count(Bill_Made_Info), 1);
    t.Exec(QString::asprintf("DELETE * \t\t\t\t\tFROM %s \t\t\t\t\tWHERE %s = '%s'", Bill_Made_Info, Bill_Made_Name,
                             "印刷厂"));
    QCOMPARE(t.Count(Bill_Made_Info), 0);
}

void DatabaseTest::datesCompareAndSortChronologically() {
    TestDatabase t;
    const std::pair<const char *, const char *> times[] = {{"oct1", "2026-10-1 0:0:0"},
                                                           {"jan9", "2026-1-9 9:5:0"},
                                                           {"jan10", "2026-1-10 10:0:0"},
                                                           {"dec31", "2025-12-31 23:59:59"},
                                                           {"feb1", "2026-2-1 0:0:0"}};
    for (auto [label, when] : times)
        t.Exec(QString::asprintf("INSERT INTO %s (%s,%s) VALUES ('%s','%s')", Bill_Info, Bill_Kind, Bill_Issue_Time,
                                 label, when));
    CDatabase &db = t.Db();
    db.OpenQuery(QString::asprintf("SELECT %s FROM %s ORDER BY %s ASC", Bill_Kind, Bill_Info, Bill_Issue_Time));
    QStringList order;
    for (; !db.IsEOF(); db.MoveNext()) {
        QString kind;
        db.ReadFieldText(Bill_Kind, kind);
        order << kind;
    }
    db.CloseQuery();
    QCOMPARE(order, QStringList({"dec31", "jan9", "jan10", "feb1", "oct1"}));
    // January 9 lies before October 1 although "9" sorts after "1" as plain text.
    QCOMPARE(
        t.Count(Bill_Info, QString::asprintf("%s BETWEEN #2026-1-1 0:0:0# AND #2026-1-31 23:59:59#", Bill_Issue_Time)),
        2);
    QCOMPARE(t.Count(Bill_Info, QString::asprintf("%s < #2026-1-10#", Bill_Issue_Time)), 2);
    // A date-time reads back in one consistent form.
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s FROM %s WHERE %s = 'jan9'", Bill_Issue_Time, Bill_Info, Bill_Kind)),
             QStringLiteral("2026-01-09 09:05:00"));
}

void DatabaseTest::dateLiteralsMeanMidnight() {
    QCOMPARE(NormaliseDateTimeText("2006-1-1", false), QStringLiteral("2006-01-01 00:00:00"));
    QCOMPARE(NormaliseDateTimeText("2006-1-1", true), QString());
    QCOMPARE(NormaliseDateTimeText("2006-13-1 0:0:0", true), QString());
    QCOMPARE(NormaliseDateTimeText("Smith", false), QString());
    const TranslatedStatement s =
        TranslateStatement("SELECT a FROM t WHERE d BETWEEN #2026-3-7# AND #2026-3-7 9:5:0#", false);
    QCOMPARE(s.text, QStringLiteral("SELECT a FROM t WHERE d BETWEEN '2026-03-07 00:00:00' AND '2026-03-07 09:05:00'"));
}

void DatabaseTest::trueSortsBeforeFalseAscending() {
    TestDatabase t;
    t.Exec(QString::asprintf("INSERT INTO %s (%s,%s) VALUES ('a',FALSE)", Bill_Manager_Info, Bill_Manager_Name,
                             Bill_Manager_Cur));
    t.Exec(QString::asprintf("INSERT INTO %s (%s,%s) VALUES ('b',TRUE)", Bill_Manager_Info, Bill_Manager_Name,
                             Bill_Manager_Cur));
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s FROM %s ORDER BY %s ASC", Bill_Manager_Name, Bill_Manager_Info,
                                        Bill_Manager_Cur)),
             QStringLiteral("b"));
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s FROM %s WHERE %s = TRUE", Bill_Manager_Name, Bill_Manager_Info,
                                        Bill_Manager_Cur)),
             QStringLiteral("b"));
    // Words that merely contain TRUE are left alone.
    QCOMPARE(TranslateStatement("SELECT TRUEST, 'TRUE' FROM x WHERE y = true", false).text,
             QStringLiteral("SELECT TRUEST, 'TRUE' FROM x WHERE y = (-1)"));
}

void DatabaseTest::onlyNameColumnsAreOrderedByPinyin() {
    QCOMPARE(TranslateStatement("SELECT * FROM Bill_Kind_Info ORDER BY Bill_Kind_Name ASC", false).text,
             QStringLiteral("SELECT * FROM Bill_Kind_Info ORDER BY Bill_Kind_Name COLLATE PINYIN ASC"));
    QCOMPARE(TranslateStatement("SELECT a FROM t AS b ORDER BY b.bill_dept_name DESC, Bill_Begin_Int, "
                                "Bill_Issue_Time, Bill_Kind",
                                false)
                 .text,
             QStringLiteral("SELECT a FROM t AS b ORDER BY b.bill_dept_name COLLATE PINYIN DESC, Bill_Begin_Int, "
                            "Bill_Issue_Time, Bill_Kind COLLATE PINYIN"));
    // Grouping, expressions and an order already collated are left alone.
    QCOMPARE(TranslateStatement("SELECT Bill_Kind FROM t GROUP BY Bill_Kind ORDER BY Bill_Kind || 'x', "
                                "Bill_Kind COLLATE BINARY",
                                false)
                 .text,
             QStringLiteral("SELECT Bill_Kind FROM t GROUP BY Bill_Kind ORDER BY Bill_Kind || 'x', "
                            "Bill_Kind COLLATE BINARY"));
}

void DatabaseTest::onlyValuePositionsAreBound() {
    const QString statement = QStringLiteral("INSERT INTO t (a,b,c) SELECT 'x' AS 'y', 0x1F, X'0A' FROM u "
                                             "WHERE v = 5 ORDER BY 2, 1 LIMIT 3");
    const TranslatedStatement t = TranslateStatement(statement, true);
    QCOMPARE(t.text, QStringLiteral("INSERT INTO t (a,b,c) SELECT ? AS 'y', 0x1F, X'0A' FROM u "
                                    "WHERE v = ? ORDER BY 2, 1 LIMIT ?"));
    QCOMPARE(t.values.size(), 3);
    QCOMPARE(t.values[0].TextValue().toString(), QStringLiteral("x"));
    QCOMPARE(t.values[1].integer, 5);
    QCOMPARE(t.values[2].integer, 3);
}

void DatabaseTest::nullLeavesCallersValue() {
    TestDatabase t;
    t.Exec(QString::asprintf("INSERT INTO %s (%s) VALUES ('k')", Bill_Info, Bill_Kind));
    CDatabase &db = t.Db();
    db.OpenQuery(QString::asprintf("SELECT * FROM %s", Bill_Info));
    QString text = QStringLiteral("kept");
    double number = 7;
    QVERIFY(!db.ReadFieldText(Bill_Issue_Dept, text));
    QVERIFY(!db.ReadFieldNumber(Bill_Issue_No, number));
    QCOMPARE(text, QStringLiteral("kept"));
    QCOMPARE(number, 7.0);
    QVERIFY(db.ReadFieldText(QStringLiteral("bill_kind"), text)); // names are found regardless of case
    QCOMPARE(text, QStringLiteral("k"));
    db.CloseQuery();
}

void DatabaseTest::numbersReadAsClerksExpect() {
    TestDatabase t;
    t.Exec(QString::asprintf("INSERT INTO %s (%s,%s,%s,%s) VALUES ('k',%f,%f,%d)", Bill_Info, Bill_Kind,
                             Bill_Repository_No, Bill_Unit_Price, Bill_Unit_Amount, 100000000000000.0, 12.5, 2));
    CDatabase &db = t.Db();
    db.OpenQuery(QString::asprintf("SELECT * FROM %s", Bill_Info));
    QString no, price, amount;
    db.ReadFieldText(Bill_Repository_No, no);
    db.ReadFieldText(Bill_Unit_Price, price);
    db.ReadFieldText(Bill_Unit_Amount, amount);
    db.CloseQuery();
    QCOMPARE(no, QStringLiteral("100000000000000"));
    QCOMPARE(price, QStringLiteral("12.5"));
    QCOMPARE(amount, QStringLiteral("2"));
}

void DatabaseTest::emptyStateQueryKeepsEveryColumn() {
    TestDatabase t;
    t.Exec(QString::asprintf("INSERT INTO %s (%s,%s) VALUES ('k','%s')", Bill_Info, Bill_Kind, Bill_Flag, FlagStock));
    CDatabase &db = t.Db();
    db.OpenQuery(QString::asprintf("SELECT %s AS 开始编号,%s AS 结尾编号,%s AS 单价 FROM %s WHERE %s = '%s'",
                                   Bill_Begin_Char, Bill_End_Char, Bill_Unit_Price, Bill_Info, Bill_Flag, FlagNone));
    QVERIFY(db.IsEOF());
    QCOMPARE(db.ColumnCount(), 3);
    QCOMPARE(db.ColumnName(2), QStringLiteral("单价"));
    db.CloseQuery();
}

void DatabaseTest::chineseAliasesNameColumns() {
    TestDatabase t;
    t.Exec(QString::asprintf("INSERT INTO %s (%s) VALUES ('票据甲')", Bill_Info, Bill_Kind));
    CDatabase &db = t.Db();
    db.OpenQuery(QString::asprintf("SELECT %s AS 票据类型 FROM %s", Bill_Kind, Bill_Info));
    QString kind;
    QVERIFY(db.ReadFieldText(QStringLiteral("票据类型"), kind));
    QCOMPARE(kind, QStringLiteral("票据甲"));
    db.CloseQuery();
}

void DatabaseTest::newQueryClosesThePreviousOne() {
    TestDatabase t;
    CDatabase &db = t.Db();
    db.OpenQuery(QString::asprintf("SELECT * FROM %s", Bill_Password_Info));
    QVERIFY(!db.IsEOF());
    db.OpenQuery(QString::asprintf("SELECT * FROM %s", Report_Info));
    QString name;
    QVERIFY(db.ReadFieldText(Report_Info_Name, name));
    QVERIFY(!name.isEmpty());
    db.CloseQuery();
    QVERIFY(!db.IsQueryOpen());
}

void DatabaseTest::recordCountCountsRows() {
    TestDatabase t;
    CDatabase &db = t.Db();
    db.OpenQuery(QString::asprintf("SELECT * FROM %s ORDER BY %s ASC", Report_Info, Report_Info_ID));
    QCOMPARE(db.RecordCount(), 5L);
    db.CloseQuery();
}

void DatabaseTest::rollbackLeavesNoPartialChange() {
    TestDatabase t;
    MessageCapture messages;
    CDatabase &db = t.Db();
    try {
        CTransaction transaction;
        db.ExecuteStatement(QString::asprintf("INSERT INTO %s (%s) VALUES ('a')", Bill_Dept_Info, Bill_Dept_Name));
        db.ExecuteStatement(QString::asprintf("INSERT INTO %s (%s) VALUES ('b')", Bill_Dept_Info, Bill_Dept_Name));
        db.ExecuteStatement(QStringLiteral("INSERT INTO No_Such_Table (x) VALUES (1)"));
        transaction.Commit();
        QFAIL("the failing statement must throw");
    } catch (const CDbError &e) {
        ReportDbError(e);
    }
    QCOMPARE(t.Count(Bill_Dept_Info), 0);
    QCOMPARE(db.TransactionDepth(), 0);
    QCOMPARE(messages.Count(), 1);
    QVERIFY(messages.Last().text.contains(QStringLiteral("No_Such_Table")));
    QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);
    QCOMPARE(messages.Last().caption, ApplicationTitle());
    // The connection keeps working after the failure.
    db.ExecuteStatement(QString::asprintf("INSERT INTO %s (%s) VALUES ('c')", Bill_Dept_Info, Bill_Dept_Name));
    QCOMPARE(t.Count(Bill_Dept_Info), 1);
}

void DatabaseTest::failedStatementReportsStoreMessage() {
    TestDatabase t;
    QVERIFY_THROWS_EXCEPTION(CDbError, t.Db().OpenQuery(QStringLiteral("SELECT nothing FROM nowhere")));
    QVERIFY_THROWS_EXCEPTION(CDbError, t.Db().ExecuteStatement(QStringLiteral("UPDATE nowhere SET a = 1")));
}

void DatabaseTest::nestedTransactionRollsBackInnerPartOnly() {
    TestDatabase t;
    CDatabase &db = t.Db();
    db.BeginTrans();
    db.ExecuteStatement(QString::asprintf("INSERT INTO %s (%s) VALUES ('outer')", Bill_Dept_Info, Bill_Dept_Name));
    db.BeginTrans();
    db.ExecuteStatement(QString::asprintf("INSERT INTO %s (%s) VALUES ('inner')", Bill_Dept_Info, Bill_Dept_Name));
    db.RollbackTrans();
    db.CommitTrans();
    QCOMPARE(t.Count(Bill_Dept_Info), 1);
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s FROM %s", Bill_Dept_Name, Bill_Dept_Info)), QStringLiteral("outer"));
}

namespace {
// Brokers 经手人0 ... of department i % 30, every seventh without a department: the rows change the
// types bound in the middle of a batch.
QVector<QVector<SqlValue>> BrokerRows(int first, int count) {
    QVector<QVector<SqlValue>> rows;
    for (int i = first; i < first + count; ++i) {
        SqlValue name;
        name.text = QStringLiteral("经手人%1").arg(i);
        SqlValue dept;
        dept.type = i % 7 == 0 ? SqlValue::Null : SqlValue::Integer;
        dept.integer = i % 30;
        rows.append({name, dept});
    }
    return rows;
}
} // namespace

void DatabaseTest::preparedRowsInsertAllOrFailWithStoreMessage() {
    TestDatabase t;
    CDatabase &db = t.Db();
    const QString insert =
        QString::asprintf("INSERT INTO %s (%s,%s) VALUES (?,?)", Bill_Broker_Info, Bill_Broker_Name, Bill_Broker_Dept);
    // More rows than the server is sent at once: every one arrives, the change count is the last row's.
    {
        CTransaction transaction;
        db.ExecutePrepared(insert, BrokerRows(0, 2500));
        transaction.Commit();
    }
    QCOMPARE(db.ChangedRows(), 1);
    QCOMPARE(t.Count(Bill_Broker_Info), 2500);
    QCOMPARE(t.Count(Bill_Broker_Info, QStringLiteral("Bill_Broker_Dept IS NULL")), 358);
    QCOMPARE(t.Scalar(QString::asprintf("SELECT SUM(%s) FROM %s", Bill_Broker_Dept, Bill_Broker_Info)),
             QStringLiteral("30969"));
    // A row refused in the middle of the second batch: nothing of the insert stays, the store's own
    // words are told, and the connection goes on working.
    t.RefuseChanges(QStringLiteral("refuse_broker"), "INSERT", Bill_Broker_Info, QStringLiteral("经手人已停用"),
                    QStringLiteral("NEW.Bill_Broker_Name = '经手人4200'"));
    QString message;
    try {
        CTransaction transaction;
        db.ExecutePrepared(insert, BrokerRows(3000, 2500));
        transaction.Commit();
    } catch (const CDbError &e) {
        message = e.Message();
    }
    QCOMPARE(message, QStringLiteral("经手人已停用"));
    QCOMPARE(db.TransactionDepth(), 0);
    QCOMPARE(t.Count(Bill_Broker_Info), 2500);
    db.ExecutePrepared(insert, BrokerRows(6000, 3));
    QCOMPARE(db.ChangedRows(), 1);
    QCOMPARE(t.Count(Bill_Broker_Info), 2503);
}

void DatabaseTest::fileDoesNotOpenWithoutTheKey() {
    FILE_STORE_ONLY();
    TestDatabase t;
    const QString path = t.FilePath();
    t.Db().Close();
    for (const QByteArray &key : {QByteArray(), QByteArray("wrongwrongwrongwro")}) {
        sqlite3 *raw = nullptr;
        QCOMPARE(sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        if (!key.isEmpty())
            sqlite3_key(raw, key.constData(), key.size());
        const int rc = sqlite3_exec(raw, "SELECT COUNT(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        sqlite3_close(raw);
        QCOMPARE(rc, SQLITE_NOTADB);
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(!file.readAll().contains("Bill_Info")); // nothing readable on disk
    QVERIFY(t.Db().Open(path));
}

void DatabaseTest::brokenFilesAreRefused_data() {
    QTest::addColumn<QString>("damage");
    QTest::newRow("truncated") << "truncated";
    QTest::newRow("flipped bytes") << "flipped";
    QTest::newRow("plain sqlite") << "plain";
    QTest::newRow("empty file") << "empty";
    QTest::newRow("text file") << "text";
}

void DatabaseTest::brokenFilesAreRefused() {
    FILE_STORE_ONLY();
    QFETCH(QString, damage);
    TestDatabase t;
    const QString path = t.FilePath();
    t.Db().Close();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    file.close();
    QFile::remove(path);
    if (damage == "truncated") {
        bytes.truncate(bytes.size() / 3);
    } else if (damage == "flipped") {
        for (int i = 0; i < bytes.size(); i += 97)
            bytes[i] = char(bytes[i] ^ 0x5a);
    } else if (damage == "empty") {
        bytes.clear();
    } else if (damage == "text") {
        bytes = "this is not a database\n";
    }
    if (damage == "plain") {
        sqlite3 *raw = nullptr;
        sqlite3_open(path.toUtf8().constData(), &raw);
        sqlite3_exec(raw, "CREATE TABLE Bill_Info (Bill_ID INTEGER)", nullptr, nullptr, nullptr);
        sqlite3_close(raw);
    } else {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
    }
    QString error;
    QVERIFY(!t.Db().Open(path, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!t.Db().IsOpen());
}

void DatabaseTest::missingFileIsNotCreated() {
    QTemporaryDir dir;
    const QString path = dir.filePath(CDatabase::DataFileName());
    CDatabase db;
    QVERIFY(!db.Open(path));
    QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(DatabaseTest)
#include "tst_database.moc"
