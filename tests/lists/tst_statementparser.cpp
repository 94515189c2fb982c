// The list statement parser and the re-query composer, on the statement forms the dialogs use.
#include "lists/StatementParser.h"
#include "schema/Schema.h"

#include <QtTest>

using namespace schema;

namespace {

StatementParts Parse(const QString &statement, bool ascendingBefore = true) {
    StatementParts parts;
    parts.ascending = ascendingBefore;
    ParseStatement(WrapStatement(statement), parts);
    return parts;
}

QString RepositoryView() {
    return QString::asprintf(
        " SELECT %s AS 开始编号,%s AS 结尾编号,%s AS 单价,%s AS 张数,%s AS 金额,%s AS 入库时间,%s AS "
        "入库人,%s AS 制造时间,%s AS 制造部门,%s AS 票据类型 FROM %s WHERE %s = '%s' ORDER BY %s ASC ",
        Bill_Begin_Char, Bill_End_Char, Bill_Unit_Price, Bill_Unit_Amount, Bill_Unit_Total, Bill_Repository_Time,
        Bill_Repository_Manager, Bill_Made_Time, Bill_Made_Units, Bill_Kind, Bill_Info, Bill_Flag, "库存",
        Bill_Begin_Int);
}

} // namespace

class TestStatementParser : public QObject {
    Q_OBJECT
private slots:
    void ViewStatementGivesTitlesExpressionsAndParts() {
        const StatementParts p = Parse(RepositoryView());
        QCOMPARE(p.titles, QStringList({"开始编号", "结尾编号", "单价", "张数", "金额", "入库时间", "入库人",
                                        "制造时间", "制造部门", "票据类型"}));
        QCOMPARE(p.expressions.size(), 10);
        QCOMPARE(p.expressions.first(), QStringLiteral("BILL_BEGIN_CHAR"));
        QCOMPARE(p.expressions.last(), QStringLiteral("BILL_KIND"));
        QCOMPARE(p.fromPart, QStringLiteral("Bill_Info"));
        QCOMPARE(p.wherePart, QStringLiteral("Bill_Flag = '库存'"));
        QCOMPARE(p.orderColumn, QStringLiteral("Bill_Begin_Int"));
        QVERIFY(p.ascending);
        QVERIFY(p.selectList.startsWith(QStringLiteral("Bill_Begin_Char AS 开始编号,")));
        QVERIFY(p.selectList.endsWith(QStringLiteral("Bill_Kind AS 票据类型")));
    }

    void OrderByWithoutWhereLeavesOrderColumnEmpty() {
        const StatementParts p = Parse(QString::asprintf("SELECT %s AS 票据主类型 FROM %s ORDER BY %s ASC",
                                                         Bill_Main_Kind_Name, Bill_Main_Kind_Info, Bill_Main_Kind_ID));
        QCOMPARE(p.titles, QStringList{"票据主类型"});
        QCOMPARE(p.fromPart, QString::fromLatin1(Bill_Main_Kind_Info));
        QVERIFY(p.wherePart.isEmpty());
        QVERIFY(p.orderColumn.isEmpty());
    }

    void WhereWithoutOrderKeepsTheTrailingBlank() {
        const StatementParts p = Parse(QString::asprintf("SELECT %s AS 票据类型,%s AS 开始编号 FROM %s WHERE %s = '%s'",
                                                         Bill_Kind, Bill_Begin_Char, Bill_Info, Bill_Flag, "腾空"));
        QCOMPARE(p.wherePart, QStringLiteral("Bill_Flag = '腾空' "));
        QVERIFY(p.orderColumn.isEmpty());
    }

    void DescendingAndUnmarkedOrder() {
        const QString base = QString::asprintf("SELECT %s AS 票据管理员 FROM %s WHERE %s = TRUE ORDER BY %s",
                                               Bill_Manager_Name, Bill_Manager_Info, Bill_Manager_Cur, Bill_Manager_ID);
        const StatementParts descending = Parse(base + QStringLiteral(" DESC"));
        QCOMPARE(descending.orderColumn, QString::fromLatin1(Bill_Manager_ID));
        QVERIFY(!descending.ascending);
        // Without ASC or DESC the order column keeps its blank and the direction stays as it was.
        const StatementParts unmarked = Parse(base, false);
        QCOMPARE(unmarked.orderColumn, QString::fromLatin1(Bill_Manager_ID) + QLatin1Char(' '));
        QVERIFY(!unmarked.ascending);
    }

    void BlanksAfterCommasAndInsideTitlesAreRemoved() {
        const StatementParts p =
            Parse(QString::asprintf("SELECT %s AS %s,%s AS %s, %s AS %s, %s AS  联系 方式 FROM %s ORDER BY %s ASC",
                                    Bill_Password_User, "姓名", Bill_Password_Sex, "性别", Bill_Password_Address,
                                    "家庭地址", Bill_Password_Contact, Bill_Password_Info, Bill_Password_User));
        QCOMPARE(p.titles, QStringList({"姓名", "性别", "家庭地址", "联系方式"}));
        QCOMPARE(p.expressions, QStringList({"BILL_PASSWORD_USER", "BILL_PASSWORD_SEX", "BILL_PASSWORD_ADDRESS",
                                             "BILL_PASSWORD_CONTACT"}));
    }

    void TabsAndLineBreaksSeparateKeywords() {
        const StatementParts p = Parse(QString::asprintf("SELECT %s AS 票据类型\t\t\t\t\tFROM %s\n\t\t\t\t\tWHERE %s = "
                                                         "'%s'\t\t\t\t\tORDER BY %s\tDESC\t",
                                                         Bill_Kind, Bill_Info, Bill_Flag, "运作", Bill_Kind));
        QCOMPARE(p.titles, QStringList{"票据类型"});
        // The parts keep the tabs that surround them; the store reads them as blanks.
        QCOMPARE(p.fromPart.trimmed(), QString::fromLatin1(Bill_Info));
        QCOMPARE(p.wherePart.trimmed(), QStringLiteral("Bill_Flag = '运作'"));
        QCOMPARE(p.orderColumn, QString::fromLatin1(Bill_Kind));
        QVERIFY(!p.ascending);
    }

    void KeywordsAreFoundInAnyCaseAndValuesKeepTheirCase() {
        const StatementParts p = Parse("select a.Bill_Kind as 票据类型 from Bill_Info as a where Bill_Kind = 'ab类' "
                                       "order by Bill_Kind asc");
        QCOMPARE(p.expressions, QStringList{"A.BILL_KIND"});
        QCOMPARE(p.fromPart, QStringLiteral("Bill_Info as a"));
        QCOMPARE(p.wherePart, QStringLiteral("Bill_Kind = 'ab类'"));
        QCOMPARE(UpperAscii(QStringLiteral("ab类ü")), QStringLiteral("AB类ü"));
    }

    void CommaInsideAnExpressionDoesNotSplitThePair() {
        const StatementParts p =
            Parse("SELECT SUBSTR(Bill_Begin_Char,1,2) AS 前两位,Bill_Kind AS 票据类型 FROM Bill_Info");
        QCOMPARE(p.titles, QStringList({"前两位", "票据类型"}));
        QCOMPARE(p.expressions, QStringList({"SUBSTR(BILL_BEGIN_CHAR,1,2)", "BILL_KIND"}));
    }

    void StarOrMissingFromLeavesNoTitles() {
        QVERIFY(Parse(QString::asprintf("SELECT * FROM %s ORDER BY %s ASC", Bill_Kind_Info, Bill_Kind_Name))
                    .titles.isEmpty());
        StatementParts kept = Parse(RepositoryView());
        ParseStatement(WrapStatement("SELECT 1"), kept);
        QCOMPARE(kept.titles.size(), 10);
        QCOMPARE(kept.fromPart, QString::fromLatin1(Bill_Info));
    }

    void TitleMapsToItsExpressionOnlyWhenListsPairUp() {
        StatementParts p = Parse(RepositoryView());
        QCOMPARE(ExpressionOfTitle(p, "单价"), QStringLiteral("BILL_UNIT_PRICE"));
        QVERIFY(ExpressionOfTitle(p, "不存在").isEmpty());
        p.expressions.removeLast();
        QVERIFY(ExpressionOfTitle(p, "单价").isEmpty());
    }

    void ReQueryForOneColumnKeepsWhere() {
        const StatementParts p = Parse(RepositoryView());
        QCOMPARE(ComposeOrderedStatement(p, ExpressionOfTitle(p, "单价"), true),
                 "SELECT " + p.selectList +
                     " FROM Bill_Info  WHERE Bill_Flag = '库存'  ORDER BY BILL_UNIT_PRICE  ASC ");
    }

    void KeywordsInsideQuotedValuesAreNotTheStatementsOwn() {
        const StatementParts p = Parse(QString::asprintf(
            "SELECT %s AS 部门名称,'x FROM y, z AS w' AS 说明 FROM %s WHERE %s = 'a ORDER BY b' OR %s = ' WHERE ' "
            "ORDER BY %s DESC",
            Bill_Dept_Name, Bill_Dept_Info, Bill_Dept_Name, Bill_Dept_Name, Bill_Dept_ID));
        QCOMPARE(p.fromPart, QString::fromLatin1(Bill_Dept_Info));
        QCOMPARE(p.wherePart,
                 QString::asprintf("%s = 'a ORDER BY b' OR %s = ' WHERE '", Bill_Dept_Name, Bill_Dept_Name));
        QCOMPARE(p.orderColumn, QString::fromLatin1(Bill_Dept_ID));
        QVERIFY(!p.ascending);
        QCOMPARE(p.titles, QStringList({"部门名称", "说明"}));
        QCOMPARE(p.expressions, QStringList({"BILL_DEPT_NAME", "'XFROMY,ZASW'"}));
        // A re-query keeps the whole condition.
        QCOMPARE(ComposeOrderedStatement(p, OrderTextOfTitles(p, {"部门名称"}, true), true),
                 "SELECT " + p.selectList + " FROM Bill_Dept_Info  WHERE " + p.wherePart +
                     "  ORDER BY BILL_DEPT_NAME  ASC ");
    }

    void ReQueryForSeveralColumnsDescendingSkipsUnknownTitles() {
        const StatementParts p =
            Parse(QString::asprintf("SELECT %s AS 票据类型,%s AS 开始编号,%s AS 单价 FROM %s ORDER BY "
                                    "%s ASC",
                                    Bill_Kind, Bill_Begin_Char, Bill_Unit_Price, Bill_Info, Bill_ID));
        const QString order = OrderTextOfTitles(p, {"票据类型", "没有", "单价", "开始编号"}, false);
        QCOMPARE(order, QStringLiteral("BILL_KIND DESC,BILL_UNIT_PRICE DESC,BILL_BEGIN_CHAR"));
        QCOMPARE(ComposeOrderedStatement(p, order, false),
                 "SELECT " + p.selectList +
                     " FROM Bill_Info  ORDER BY BILL_KIND DESC,BILL_UNIT_PRICE DESC,BILL_BEGIN_CHAR  DESC ");
        QCOMPARE(OrderTextOfTitles(p, {"单价", "开始编号"}, true),
                 QStringLiteral("BILL_UNIT_PRICE ASC,BILL_BEGIN_CHAR"));
    }
};

QTEST_APPLESS_MAIN(TestStatementParser)
#include "tst_statementparser.moc"
