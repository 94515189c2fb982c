#include "schema/DeliveredDatabase.h"
#include "schema/Schema.h"
#include "tests/support/TestSupport.h"

#include <QtTest>

using namespace schema;

class SchemaTest : public QObject {
    Q_OBJECT
private slots:
    void deliveredRowsArePresent();
    void rightCodesNeverOccurInsideEachOther();
    void everyCheckedRightHasATreeRow();
    void recycleCopyKeepsEveryColumn();
    void singleBillRecycleCopyKeepsEveryColumn();
};

void SchemaTest::deliveredRowsArePresent() {
    TestDatabase t;
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s FROM %s WHERE %s = '%s'", Bill_Password_PWD, Bill_Password_Info,
                                        Bill_Password_User, AdministratorUser)),
             QString::fromUtf8(DeliveredAdministratorPassword));
    QCOMPARE(t.Count(Report_Info), 5);
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s FROM %s ORDER BY %s ASC", Report_Info_Name, Report_Info,
                                        Report_Info_ID)),
             QStringLiteral("年度行政事业性收费和政府性基金票据年审表"));
    QCOMPARE(t.Count(Bill_I_Info), 1);
    QCOMPARE(t.Count(Bill_Info), 0);
}

void SchemaTest::rightCodesNeverOccurInsideEachOther() {
    TestDatabase t;
    CDatabase &db = t.Db();
    db.OpenQuery(QString::asprintf("SELECT * FROM %s ORDER BY %s ASC", Bill_Popedom_Tree_Info, Bill_Popedom_Tree_ID));
    QStringList codes;
    for (; !db.IsEOF(); db.MoveNext()) {
        QString code;
        db.ReadFieldText(Bill_Popedom_Tree_Code, code);
        codes << code;
    }
    db.CloseQuery();
    for (const QString &a : codes) {
        for (const QString &b : codes) {
            if (a != b)
                QVERIFY2(!b.contains(a), qPrintable(a + " inside " + b));
            // Across the joint of two codes, in either order.
            const QString joint = a + b;
            for (const QString &c : codes)
                QVERIFY2(joint.indexOf(c, 1) < 0 || joint.indexOf(c, 1) == a.size(),
                         qPrintable(c + " across " + joint));
        }
    }
}

void SchemaTest::everyCheckedRightHasATreeRow() {
    TestDatabase t;
    const char *names[] = {"票据入库", "票据发放", "票据回收", "票据报表", "票据主类型", "票据类型",
                           "票据管理员", "票据制造部门", "增加发放部门", "增加发放人员", "删除发放部门",
                           "删除发放人员", "票据删除", "票据作废", "强制操作", "出入库管理", "权限设置",
                           "修改个人密码"};
    for (const char *name : names)
        QVERIFY2(t.Count(Bill_Popedom_Tree_Info, QString::asprintf("%s = '%s'", Bill_Popedom_Tree_Name, name)) == 1,
                 name);
}

void SchemaTest::recycleCopyKeepsEveryColumn() {
    TestDatabase t;
    t.Exec(QString::asprintf(
        "INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s,%s,%s) VALUES ('票据甲','主','A00000001B','A00000100B',1,100,'%s','2026-1-9 9:5:0',TRUE)",
        Bill_Info, Bill_Kind, Bill_Main_Kind, Bill_Begin_Char, Bill_End_Char, Bill_Begin_Int, Bill_End_Int,
        Bill_Flag, Bill_Repository_Time, Bill_NoneFixed_Sum, FlagStock));
    t.Exec(QString::asprintf("UPDATE %s SET %s = '%s'", Bill_Info, Bill_Info_Remark, RemarkKindDeleted));
    t.Exec(QString::asprintf("INSERT INTO %s SELECT *,'2026-02-01 08:00:00','王管理' FROM %s WHERE %s = '%s'",
                             Bill_Recycle_Info, Bill_Info, Bill_Kind, "票据甲"));
    const QString columns = QStringLiteral("*");
    CDatabase &db = t.Db();
    QStringList source, copy;
    for (auto [table, list] : {std::pair{Bill_Info, &source}, std::pair{Bill_Recycle_Info, &copy}}) {
        db.OpenQuery(QString::asprintf("SELECT * FROM %s", table));
        for (int i = 0; i < db.ColumnCount(); ++i) {
            QString v = QStringLiteral("<null>");
            db.ReadFieldText(i, v);
            *list << db.ColumnName(i) + u'=' + v;
        }
        db.CloseQuery();
    }
    // Every column of the run, then the deletion's stamps.
    QCOMPARE(copy.mid(0, source.size()), source);
    QCOMPARE(copy.mid(source.size()), (QStringList{QStringLiteral("Bill_Recycle_Time=2026-02-01 08:00:00"),
                                                   QStringLiteral("Bill_Recycle_Manager=王管理")}));
    QVERIFY(source.contains(QStringLiteral("Bill_ID=1")));
    QVERIFY(source.contains(QStringLiteral("Bill_Info_Remark=类型删除标志")));
}

void SchemaTest::singleBillRecycleCopyKeepsEveryColumn() {
    TestDatabase t;
    t.Exec(QString::asprintf("INSERT INTO %s VALUES ('k','m','001','002',2,12.5)", Bill_NoneFixed_Manifest_Info));
    t.Exec(QString::asprintf("INSERT INTO %s SELECT *,'2026-02-01 08:00:00','王管理' FROM %s",
                             Bill_Recycle_NoneFixed_Info, Bill_NoneFixed_Manifest_Info));
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s || '/' || %s || '/' || %s || '/' || %s FROM %s",
                                        Bill_NoneFixed_Inner_Char, Bill_NoneFixed_Unit_Price,
                                        Bill_Recycle_NoneFixed_Time, Bill_Recycle_NoneFixed_Manager,
                                        Bill_Recycle_NoneFixed_Info)),
             QStringLiteral("002/12.5/2026-02-01 08:00:00/王管理"));
}

QTEST_GUILESS_MAIN(SchemaTest)
#include "tst_schema.moc"
