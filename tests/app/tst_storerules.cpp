#include "app/Database.h"
#include "app/Dialect.h"
#include "app/LoginDlg.h"
#include "bills/MasterNames.h"
#include "masterdata/AddBillKindDlg.h"
#include "masterdata/NameTable.h"
#include "schema/Schema.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

using namespace schema;

// How the store keeps and compares texts: exactly as typed, dates only where dates belong, names
// without regard to case and in pinyin order, one command per statement.
class StoreRulesTest : public QObject {
    Q_OBJECT
private slots:
    void passwordShapedLikeADateLogsIn();
    void departmentNamedLikeADateIsFoundAndDeleted();
    void kindNamedLikeADateKeepsItsBooks();
    void datesInTheDateColumnsStillCompareInTimeOrder();
    void impossibleDatesAreRefused();
    void numbersOutsideValuesKeepTheirMeaning();
    void statementWithTwoCommandsIsRefused();
    void loginFindsTheAccountInAnyCase();
    void kindInAnotherCaseIsRefusedAsDuplicate();
    void kindsListInPinyinOrder();
    void deliveredFileStaysReadableWithTheShell();
};

namespace {

QString Eq(const char *column, const QString &value) {
    return QString::asprintf("%s = '%s'", column, Quote(value).constData());
}

// The login with the user chosen (or typed) and the password typed, OK pressed.
int LoginAs(const QString &user, const QString &password) {
    CLoginDlg dlg;
    dlg.show();
    dlg.UserBox()->setEditText(user);
    dlg.PasswordBox()->setText(password);
    dlg.OkButton()->click();
    return dlg.Result();
}

} // namespace

void StoreRulesTest::passwordShapedLikeADateLogsIn() {
    TestDatabase t;
    AddUser(QStringLiteral("clerk"), QStringLiteral("x"), QString());
    const QString password = QStringLiteral("2008-8-8 8:8");
    t.Exec(QString::asprintf("UPDATE %s SET %s = '%s' WHERE %s = 'clerk'", Bill_Password_Info, Bill_Password_PWD,
                             Quote(password).constData(), Bill_Password_User));
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s FROM %s WHERE %s = 'clerk'", Bill_Password_PWD, Bill_Password_Info,
                                        Bill_Password_User)),
             password);
    MessageCapture messages;
    QCOMPARE(LoginAs(QStringLiteral("clerk"), password), CLoginDlg::LoginSucceeded);
    QCOMPARE(messages.Count(), 0);
}

void StoreRulesTest::departmentNamedLikeADateIsFoundAndDeleted() {
    TestDatabase t;
    MessageCapture messages;
    for (const QString &name : {QStringLiteral("3-1-2 4:5"), QStringLiteral("２００８/８/８ ８:８")}) {
        QVERIFY(InsertName(nametables::Departments, name));
        QCOMPARE(t.Scalar(QString::asprintf("SELECT %s FROM %s", Bill_Dept_Name, Bill_Dept_Info)), name);
        QVERIFY(!IsNameFree(nametables::Departments, name));
        QCOMPARE(t.Count(Bill_Dept_Info, Eq(Bill_Dept_Name, name)), 1);
        QVERIFY(DeleteName(nametables::Departments, name));
        QCOMPARE(t.Db().ChangedRows(), 1);
        QCOMPARE(t.Count(Bill_Dept_Info), 0);
    }
    QCOMPARE(messages.Count(), 0);
}

void StoreRulesTest::kindNamedLikeADateKeepsItsBooks() {
    TestDatabase t;
    const KindSpec kind{"2026/1/9 9:5", "行政事业", "A", "", 8, 10, 1.0, false};
    AddKind(kind);
    AddStockRun(kind, 1);
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s FROM %s", Bill_Kind, Bill_Info)), kind.name);
    QCOMPARE(t.Count(Bill_Info, Eq(Bill_Kind, kind.name)), 1);
    QCOMPARE(ReadNames(Bill_Kind_Info, Bill_Kind_Name, Bill_Kind_Name), QStringList{kind.name});
}

void StoreRulesTest::datesInTheDateColumnsStillCompareInTimeOrder() {
    TestDatabase t;
    t.Exec(QString::asprintf("INSERT INTO %s (%s,%s,%s) VALUES ('a','2026-1-9 9:5:0','2026/2/1 8:0')", Bill_Info,
                             Bill_Kind, Bill_Issue_Time, Bill_Made_Time));
    t.Exec(QString::asprintf("INSERT INTO %s (%s,%s) SELECT 'b','２０２６-１-１０ ０:０:０'", Bill_Info, Bill_Kind,
                             Bill_Issue_Time));
    t.Exec(QString::asprintf("UPDATE %s SET %s = '2026-3-1 7:0:0', %s = '3-1-2 4:5' WHERE %s = 'a'", Bill_Info,
                             Bill_Return_Time, Bill_Info_Remark, Bill_Kind));
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s FROM %s WHERE %s = 'a'", Bill_Issue_Time, Bill_Info, Bill_Kind)),
             QStringLiteral("2026-01-09 09:05:00"));
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s FROM %s WHERE %s = 'a'", Bill_Made_Time, Bill_Info, Bill_Kind)),
             QStringLiteral("2026-02-01 08:00:00"));
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s FROM %s WHERE %s = 'b'", Bill_Issue_Time, Bill_Info, Bill_Kind)),
             QStringLiteral("2026-01-10 00:00:00"));
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s FROM %s WHERE %s = 'a'", Bill_Return_Time, Bill_Info, Bill_Kind)),
             QStringLiteral("2026-03-01 07:00:00"));
    // The remark beside it is a text and stays as typed.
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s FROM %s WHERE %s = 'a'", Bill_Info_Remark, Bill_Info, Bill_Kind)),
             QStringLiteral("3-1-2 4:5"));
    // Quoted dates compared with a date column and #..# literals compare in time order.
    QCOMPARE(t.Count(Bill_Info, QString::asprintf("%s >= '2026-1-10'", Bill_Issue_Time)), 1);
    QCOMPARE(t.Count(Bill_Info, QString::asprintf("%s BETWEEN '2026-1-9' AND '2026-1-9 23:59:59'", Bill_Issue_Time)),
             1);
    QCOMPARE(t.Count(Bill_Info, QString::asprintf("%s IN ('2026-1-9 9:5:0', '2026-1-10')", Bill_Issue_Time)), 2);
    QCOMPARE(t.Count(Bill_Info, QString::asprintf("%s < #2026-1-10#", Bill_Issue_Time)), 1);
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s FROM %s ORDER BY %s DESC", Bill_Kind, Bill_Info, Bill_Issue_Time)),
             QStringLiteral("b"));
}

void StoreRulesTest::impossibleDatesAreRefused() {
    TestDatabase t;
    for (const char *statement : {"INSERT INTO Bill_Info (Bill_Kind,Bill_Issue_Time) VALUES ('a','2005-2-31 0:0:0')",
                                  "INSERT INTO Bill_Info (Bill_Kind,Bill_Issue_Time) VALUES ('a','2005-13-1')",
                                  "UPDATE Bill_Info SET Bill_Return_Time = 'tomorrow'",
                                  "DELETE FROM Bill_Info WHERE Bill_Issue_Time < #2005-2-31#"}) {
        QVERIFY_THROWS_EXCEPTION(CDbError, t.Exec(QString::fromLatin1(statement)));
    }
    QCOMPARE(t.Count(Bill_Info), 0);
    // 2004 was a leap year.
    t.Exec(QStringLiteral("INSERT INTO Bill_Info (Bill_Kind,Bill_Issue_Time) VALUES ('a','2004-2-29 0:0:0')"));
    QCOMPARE(t.Count(Bill_Info), 1);
}

void StoreRulesTest::numbersOutsideValuesKeepTheirMeaning() {
    TestDatabase t;
    for (const char *name : {"c", "a", "b"})
        t.Exec(QString::asprintf("INSERT INTO %s (%s) VALUES ('%s')", Bill_Made_Info, Bill_Made_Name, name));
    // ORDER BY 1 orders by the first column: the departments are numbered in name order.
    t.Exec(QString::asprintf("INSERT INTO %s (%s) SELECT %s FROM %s ORDER BY 1 DESC", Bill_Dept_Info, Bill_Dept_Name,
                             Bill_Made_Name, Bill_Made_Info));
    QCOMPARE(
        t.Scalar(QString::asprintf("SELECT %s FROM %s ORDER BY %s ASC", Bill_Dept_Name, Bill_Dept_Info, Bill_Dept_ID)),
        QStringLiteral("c"));
    QCOMPARE(
        t.Scalar(QString::asprintf("SELECT %s FROM %s ORDER BY %s DESC", Bill_Dept_Name, Bill_Dept_Info, Bill_Dept_ID)),
        QStringLiteral("a"));
    AddKind({"收据", "行政事业", "A", "", 8, 10, 1.0, false});
    t.Exec(QString::asprintf("UPDATE %s SET %s = 0x10", Bill_Kind_Info, Bill_Kind_Length));
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s FROM %s", Bill_Kind_Length, Bill_Kind_Info)), QStringLiteral("16"));
    // Numbers in values are still bound and compare as numbers.
    t.Exec(QString::asprintf("UPDATE %s SET %s = 1.5e1 WHERE %s = 16", Bill_Kind_Info, Bill_Kind_Unit_Price,
                             Bill_Kind_Length));
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s FROM %s", Bill_Kind_Unit_Price, Bill_Kind_Info)),
             QStringLiteral("15"));
}

void StoreRulesTest::statementWithTwoCommandsIsRefused() {
    TestDatabase t;
    AddDepartment(QStringLiteral("甲"));
    AddMaker(QStringLiteral("乙"));
    QVERIFY_THROWS_EXCEPTION(CDbError, t.Exec(QString::asprintf("DELETE FROM %s WHERE %s = '甲'; DELETE FROM %s",
                                                                Bill_Dept_Info, Bill_Dept_Name, Bill_Made_Info)));
    QVERIFY_THROWS_EXCEPTION(CDbError, t.Db().OpenQuery(QString::asprintf("SELECT * FROM %s; DROP TABLE %s",
                                                                          Bill_Dept_Info, Bill_Made_Info)));
    QCOMPARE(t.Count(Bill_Dept_Info), 1);
    QCOMPARE(t.Count(Bill_Made_Info), 1);
    // A ';' inside a value, or closing the one command, is no second command.
    t.Exec(QString::asprintf("INSERT INTO %s (%s) VALUES ('a; DELETE FROM x');", Bill_Dept_Info, Bill_Dept_Name));
    QCOMPARE(t.Count(Bill_Dept_Info), 2);
}

void StoreRulesTest::loginFindsTheAccountInAnyCase() {
    TestDatabase t;
    AddUser(QStringLiteral("Clerk"), QStringLiteral("pw"), QStringLiteral("P01"));
    MessageCapture messages;
    for (const QString &typed : {QStringLiteral("CLERK"), QStringLiteral("clerk"), QStringLiteral("cLeRk")})
        QCOMPARE(LoginAs(typed, QStringLiteral("pw")), CLoginDlg::LoginSucceeded);
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(LoginAs(QStringLiteral("CLERK"), QStringLiteral("PW")), CLoginDlg::LoginFailed);
}

void StoreRulesTest::kindInAnotherCaseIsRefusedAsDuplicate() {
    TestDatabase t;
    MessageCapture messages;
    AddKind({"ABC", "行政事业", "A", "", 8, 10, 1.0, false});
    CAddBillKindDlg dlg(nullptr);
    dlg.show();
    dlg.NameEdit()->setText(QStringLiteral("abc"));
    dlg.PriceEdit()->setText(QStringLiteral("1"));
    dlg.AmountEdit()->setText(QStringLiteral("10"));
    dlg.PrefixEdit()->setText(QStringLiteral("B"));
    dlg.LengthEdit()->setText(QStringLiteral("8"));
    dlg.AcceptButton()->click();
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().caption, QStringLiteral("同名错误!"));
    QCOMPARE(t.Count(Bill_Kind_Info), 1);
    // Names compare in any case: "FINANCE" finds "Finance".
    AddDepartment(QStringLiteral("Finance"));
    QVERIFY(!IsNameFree(nametables::Departments, QStringLiteral("FINANCE")));
}

void StoreRulesTest::kindsListInPinyinOrder() {
    TestDatabase t;
    for (const char *name : {"政府性基金票据", "行政事业性收费票据", "非税收入一般缴款书"})
        AddKind({QString::fromUtf8(name), "行政事业", "A", "", 8, 10, 1.0, false});
    const QStringList pinyin{"非税收入一般缴款书", "行政事业性收费票据", "政府性基金票据"};
    QCOMPARE(ReadNames(Bill_Kind_Info, Bill_Kind_Name, Bill_Kind_Name), pinyin);
    CDatabase &db = t.Db();
    db.OpenQuery(QString::asprintf("SELECT %s AS 票据类型 FROM %s ORDER BY %s DESC", Bill_Kind_Name, Bill_Kind_Info,
                                   Bill_Kind_Name));
    QStringList descending;
    for (; !db.IsEOF(); db.MoveNext()) {
        QString name;
        db.ReadFieldText(0, name);
        descending.prepend(name);
    }
    db.CloseQuery();
    QCOMPARE(descending, pinyin);
}

void StoreRulesTest::deliveredFileStaysReadableWithTheShell() {
    FILE_STORE_ONLY();
    TestDatabase t;
    AddKind({"政府性基金票据", "行政事业", "A", "", 8, 10, 1.0, false});
    AddDepartment(QStringLiteral("Finance"));
    t.Db().Close();
    QProcess shell;
    shell.start(QStringLiteral("sqlcipher"), {t.FilePath()});
    QVERIFY(shell.waitForStarted());
    shell.write(QByteArray("PRAGMA key = '") + CDatabase::FixedKey() +
                "';\nPRAGMA cipher_page_size = 4096;\nPRAGMA integrity_check;\n"
                "SELECT COUNT(*) FROM Bill_Dept_Info WHERE Bill_Dept_Name = 'FINANCE';\n"
                "SELECT Bill_Kind_Name FROM Bill_Kind_Info ORDER BY Bill_Kind_Name;\n");
    shell.closeWriteChannel();
    QVERIFY(shell.waitForFinished());
    QCOMPARE(QString::fromUtf8(shell.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
             QStringList({"ok", "1", "政府性基金票据"}));
    QVERIFY(TheDatabase().Open(t.FilePath()));
}

QTEST_MAIN(StoreRulesTest)
#include "tst_storerules.moc"
