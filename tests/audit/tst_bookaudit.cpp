// The audit of the books: a history with a planted gap, a double number, an overdue book, a
// contradicting return and an unstamped void gives exactly those five findings; the same history
// without them gives none.
#include "audit/BookAudit.h"
#include "audit/BookAuditDlg.h"
#include "lists/QueryListCtrl.h"
#include "schema/Schema.h"
#include "tests/bills/StockTestSupport.h"

#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QSpinBox>
#include <QtTest>

using namespace schema;

namespace {

QString DaysAgo(int days) {
    return QDateTime::currentDateTime().addDays(-days).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

void SetBook(TestDatabase &t, const char *begin, const QString &assignments) {
    t.Exec(
        QStringLiteral("UPDATE Bill_Info SET %1 WHERE Bill_Begin_Char = '%2'").arg(assignments, QLatin1String(begin)));
}

void Issue(TestDatabase &t, const char *begin, int daysAgo) {
    SetBook(t, begin,
            QStringLiteral("Bill_Flag = '运作', Bill_Issue_Time = '%1', Bill_Issue_Dept = '收费科', "
                           "Bill_Issue_Broker = '赵领票', Bill_Issue_No = 200000000000000")
                .arg(DaysAgo(daysAgo)));
}

void Return(TestDatabase &t, const char *begin, const char *end, double endInt, int used, double collected) {
    SetBook(t, begin,
            QStringLiteral("Bill_Flag = '回收', Bill_Return_Time = '%1', Bill_Unit_Return_Amount = %2, "
                           "Bill_Return_End_Char = '%3', Bill_Return_End_Int = %4, Bill_Unit_Return_Total = %5")
                .arg(DaysAgo(5))
                .arg(used)
                .arg(QLatin1String(end))
                .arg(endInt)
                .arg(collected));
}

void Recycle(TestDatabase &t, int id, double begin, const QString &time, const QString &manager) {
    t.Exec(QStringLiteral("INSERT INTO Bill_Recycle_Info (Bill_ID, Bill_Kind, Bill_Begin_Char, Bill_End_Char, "
                          "Bill_Prefix, Bill_Suffix, Bill_Begin_Int, Bill_End_Int, Bill_Unit_Amount, Bill_Flag, "
                          "Bill_Recycle_Time, Bill_Recycle_Manager) VALUES (%1, '收费票据甲', '%2', '%3', '', '', %4, "
                          "%5, 100, '库存', %6, %7)")
               .arg(id)
               .arg(QString::asprintf("%08.0f", begin), QString::asprintf("%08.0f", begin + 99))
               .arg(begin)
               .arg(begin + 99)
               .arg(time.isEmpty() ? QStringLiteral("NULL") : QStringLiteral("'%1'").arg(time),
                    manager.isEmpty() ? QStringLiteral("NULL") : QStringLiteral("'%1'").arg(manager)));
}

// Books of 收费票据甲 (100 a book at 2 yuan), every one in order but for the planted faults.
void PlantHistory(TestDatabase &t) {
    AddKind(FixedKind());
    for (double begin : {1.0, 101.0, 301.0, 401.0, 501.0, 601.0, 701.0})
        AddStockRun(FixedKind(), begin);
    Return(t, "00000001", "00000030", 30, 30, 61); // 30 used at 2 yuan is 60
    Issue(t, "00000101", 200);                     // overdue
    // 00000201 to 00000300 were never stocked: a gap.
    SetBook(t, "00000301", QStringLiteral("Bill_Flag = '作废'")); // voided without time or administrator
    Recycle(t, 1000, 401, DaysAgo(30), QStringLiteral("王管理")); // deleted, then stocked again: a double
    Return(t, "00000501", "00000600", 600, 100, 200);             // a proper return
    Issue(t, "00000601", 10);                                     // issued lately
    SetBook(t, "00000701",
            QStringLiteral("Bill_Flag = '作废', Bill_Invalid_Time = '%1', Bill_Invalid_Manager = "
                           "'王管理'")
                .arg(DaysAgo(3)));
    Recycle(t, 1001, 801, DaysAgo(2), QStringLiteral("王管理")); // a proper deletion
}

QStringList Rows(const CQueryListCtrl *list) {
    QStringList rows;
    for (int row = 0; row < list->RowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < list->ColumnCount(); ++column)
            cells << list->GetItemText(row, column);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

} // namespace

class BookAuditTest : public QObject {
    Q_OBJECT
private slots:
    void plantedFaultsAreFoundExactly();
    void historyWithoutFaultsIsComplete();
    void auditKeepsToTheChosenKindAndDays();
};

void BookAuditTest::plantedFaultsAreFoundExactly() {
    TestDatabase t;
    MessageCapture messages;
    PlantHistory(t);
    CBookAuditDlg dialog;
    QCOMPARE(dialog.OverdueDays()->value(), 90);
    Click(&dialog, "audit");
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(dialog.Findings()->GetHeaderTitles(), QStringList({"票据类型", "编号", "问题"}));
    QCOMPARE(Rows(dialog.Findings()),
             QStringList({
                 "收费票据甲|00000001 至 00000100|回收自相矛盾：回收金额 ￥61.00 不等于回收张数乘单价 ￥60.00",
                 "收费票据甲|00000101 至 00000200|发放 200 天未回收（领票部门 收费科，领票人 赵领票）",
                 "收费票据甲|00000201 至 00000300|编号缺失：没有任何票据（含已删除的）持有这些编号",
                 "收费票据甲|00000301 至 00000400|作废票据没有作废时间或管理员",
                 "收费票据甲|00000401 至 00000500|编号重复：被两本票据同时持有",
             }));
    QCOMPARE(dialog.Summary()->text(), QStringLiteral("共发现 5 个问题。"));
}

void BookAuditTest::historyWithoutFaultsIsComplete() {
    TestDatabase t;
    MessageCapture messages;
    PlantHistory(t);
    AddStockRun(FixedKind(), 201);
    Return(t, "00000001", "00000030", 30, 30, 60);
    Issue(t, "00000101", 89);
    SetBook(t, "00000301", QStringLiteral("Bill_Invalid_Time = '%1', Bill_Invalid_Manager = '王管理'").arg(DaysAgo(1)));
    t.Exec("DELETE FROM Bill_Recycle_Info WHERE Bill_ID = 1000");
    CBookAuditDlg dialog;
    Click(&dialog, "audit");
    QCOMPARE(dialog.Findings()->RowCount(), 0);
    QCOMPARE(dialog.Summary()->text(), QStringLiteral("账簿完整，未发现问题"));

    // A returned count beyond the book and a returned end outside it are contradictions too, and so
    // is a deletion without its stamps.
    Return(t, "00000501", "00000650", 650, 150, 300);
    Recycle(t, 1002, 901, QString(), QStringLiteral("王管理"));
    const QVector<AuditFinding> findings = AuditBooks({});
    QCOMPARE(findings.size(), 2);
    QCOMPARE(findings[0].problem,
             QStringLiteral("回收自相矛盾：回收张数 150 大于本内张数 100；返还结尾编号 00000650 不在本内"));
    QCOMPARE(findings[1].numbers, QStringLiteral("00000901 至 00001000"));
    QCOMPARE(findings[1].problem, QStringLiteral("删除票据没有删除时间或管理员"));
}

void BookAuditTest::auditKeepsToTheChosenKindAndDays() {
    TestDatabase t;
    MessageCapture messages;
    PlantHistory(t);
    KindSpec other = FixedKind(QStringLiteral("收费票据乙"));
    AddKind(other);
    AddStockRun(other, 1);
    AddStockRun(other, 301);
    CBookAuditDlg dialog;
    dialog.Kinds()->setCurrentText(QStringLiteral("收费票据乙"));
    Click(&dialog, "audit");
    QCOMPARE(Rows(dialog.Findings()),
             QStringList({"收费票据乙|00000101 至 00000300|编号缺失：没有任何票据（含已删除的）持有这些编号"}));
    dialog.Kinds()->setCurrentIndex(0);
    dialog.OverdueDays()->setValue(201);
    Click(&dialog, "audit");
    QCOMPARE(dialog.Findings()->RowCount(), 5); // the overdue book is not overdue after 201 days
    QVERIFY(!Rows(dialog.Findings()).join(QString()).contains(QStringLiteral("未回收")));
}

QTEST_MAIN(BookAuditTest)
#include "tst_bookaudit.moc"
