// The list control on a real store: filling, money columns, re-queries, sorting, finding and extracting.
#include "app/Dialect.h"
#include "lists/QueryListCtrl.h"
#include "schema/Schema.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QtTest>

using namespace schema;

namespace {

void InsertBill(const QString &kind, const QString &begin, double total, const char *broker = nullptr,
                const char *flag = FlagStock) {
    TheDatabase().ExecuteStatement(
        QString::asprintf("INSERT INTO %s (%s,%s,%s,%s,%s,%s) VALUES ('%s','%s',%f,%f,'%s',%s)", Bill_Info, Bill_Kind,
                          Bill_Begin_Char, Bill_Unit_Price, Bill_Unit_Total, Bill_Flag, Bill_Issue_Broker,
                          Quote(kind).constData(), Quote(begin).constData(), total / 2, total, flag,
                          broker ? qUtf8Printable(QuoteText(QString::fromUtf8(broker))) : "NULL"));
}

QString StockStatement(const char *order = "ORDER BY Bill_ID ASC") {
    return QString::asprintf(
        "SELECT %s AS 票据类型,%s AS 开始编号,%s AS 单价,%s AS 金额,%s AS 领票人 FROM %s WHERE %s = "
        "'%s' %s",
        Bill_Kind, Bill_Begin_Char, Bill_Unit_Price, Bill_Unit_Total, Bill_Issue_Broker, Bill_Info, Bill_Flag,
        FlagStock, order);
}

void Setup(CQueryListCtrl &list, const QString &statement) {
    list.ClearColumns();
    list.SetStatement(statement, 3);
    QVERIFY(list.FillFromStatement(statement));
}

QStringList Column(const CQueryListCtrl &list, int column) {
    QStringList texts;
    for (int row = 0; row < list.RowCount(); ++row)
        texts << list.GetItemText(row, column);
    return texts;
}

} // namespace

class TestQueryListCtrl : public QObject {
    Q_OBJECT
private slots:
    void FillShowsEveryFieldAsText() {
        TestDatabase t;
        InsertBill("  甲票", "0001", 25, "李四");
        InsertBill("乙票", "0002", 4);
        InsertBill("丙票", "0003", 0, nullptr, FlagIssued);
        CQueryListCtrl list;
        Setup(list, StockStatement());
        QCOMPARE(list.GetHeaderTitles(), QStringList({"票据类型", "开始编号", "单价", "金额", "领票人"}));
        QCOMPARE(list.RowCount(), 2);
        QCOMPARE(list.GetItemText(0, 0), QStringLiteral("甲票")); // leading blanks removed
        QCOMPARE(list.GetItemText(0, 2), QStringLiteral("12.5"));
        QCOMPARE(list.GetItemText(1, 3), QStringLiteral("4"));
        QCOMPARE(list.GetItemText(1, 4), QString()); // NULL
        QCOMPARE(list.GetStatement(), WrapStatement(StockStatement()));
    }

    void ColumnsFitTheirTitleAndTextsOnceFilled() {
        TestDatabase t;
        CQueryListCtrl list;
        list.SetStatement(StockStatement(), 3);
        // Before any row, a column is as wide as its title times the factor.
        const QFontMetrics titles = list.horizontalHeader()->fontMetrics();
        QCOMPARE(list.horizontalHeader()->sectionSize(1), titles.horizontalAdvance(QStringLiteral("开始编号")) * 3);

        const QString longKind = QStringLiteral("行政事业性收费票据（省级统一印制）");
        {
            CTransaction transaction;
            InsertBill(longKind, "0001", 25, "2026-01-10 10:10:00");
            for (int i = 2; i <= 3000; ++i)
                InsertBill("甲", QString::asprintf("%04d", i), 1);
            InsertBill("乙", "XZ0000000000012500", 12500, "周"); // the last row is measured too
            transaction.Commit();
        }
        QVERIFY(list.FillFromStatement(StockStatement()));
        list.resize(1200, 300);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const QFontMetrics cells = list.fontMetrics();
        const QHeaderView *header = list.horizontalHeader();
        const QStringList widest{longKind, "XZ0000000000012500", "12.5", "12500", "2026-01-10 10:10:00"};
        for (int column = 0; column < list.ColumnCount(); ++column) {
            const int width = header->sectionSize(column);
            QVERIFY2(width > cells.horizontalAdvance(widest.at(column)) + 4, qPrintable(widest.at(column)));
            QVERIFY(width > titles.horizontalAdvance(list.GetHeaderTitles().at(column)));
            // Shown whole: no text in view asks for more than the column has.
            QVERIFY2(static_cast<QAbstractItemView &>(list).sizeHintForColumn(column) <= width,
                     qPrintable(widest.at(column)));
        }
        list.scrollToBottom();
        QVERIFY(static_cast<QAbstractItemView &>(list).sizeHintForColumn(1) <= header->sectionSize(1));
        // A short column is narrowed to its texts: the price column no longer keeps three titles' width.
        QVERIFY(header->sectionSize(2) < titles.horizontalAdvance(QStringLiteral("单价")) * 3);
        // Sorting keeps the widths.
        const int kindWidth = header->sectionSize(0);
        list.SortLocal(1, false);
        QCOMPARE(header->sectionSize(0), kindWidth);
    }

    void MoneyColumnsShowPrefixExceptForZero() {
        TestDatabase t;
        InsertBill("甲票", "0001", 125);
        InsertBill("甲票", "0002", 0);
        CQueryListCtrl list;
        list.SetStatement(StockStatement(), 3);
        list.SetMoneyColumns({"金额", "票据类型"}, "￥", 2);
        QVERIFY(list.FillFromStatement(StockStatement()));
        QCOMPARE(Column(list, 3), QStringList({"￥125.00", "0"}));
        QCOMPARE(Column(list, 0), QStringList({"甲票", "甲票"})); // a text without a number stays
        // Laying out the columns again forgets the money columns.
        list.ClearColumns();
        list.SetStatement(StockStatement(), 3);
        QVERIFY(list.FillFromStatement(StockStatement()));
        QCOMPARE(list.GetItemText(0, 3), QStringLiteral("125"));
    }

    void StatementWithoutTitlesIsRefused() {
        TestDatabase t;
        MessageCapture messages;
        InsertBill("甲票", "0001", 1);
        CQueryListCtrl list;
        Setup(list, StockStatement());
        const QString where = list.GetWherePart();
        list.SetStatement(QString::asprintf("SELECT * FROM %s ORDER BY %s ASC", Bill_Kind_Info, Bill_Kind_Name), 3);
        QCOMPARE(messages.Count(), 1);
        QCOMPARE(messages.Last().caption, ApplicationTitle());
        QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);
        QCOMPARE(list.ColumnCount(), 5);
        QCOMPARE(list.GetWherePart(), where);
        QCOMPARE(list.RowCount(), 1);
        // A list that never got columns shows no rows for such a statement and does not fail.
        CQueryListCtrl empty;
        empty.SetStatement("SELECT * FROM Bill_Info", 3);
        QVERIFY(empty.FillFromStatement("SELECT * FROM Bill_Info"));
        QCOMPARE(empty.RowCount(), 0);
    }

    void FailingStatementKeepsRowsReadAndStoredStatement() {
        TestDatabase t;
        MessageCapture messages;
        for (int i = 1; i <= 4; ++i)
            InsertBill("甲票", QString::number(i), i);
        CQueryListCtrl list;
        Setup(list, StockStatement());
        // The third row overflows while it is read, after two rows are in the list.
        const QString failing = QString::asprintf(
            "SELECT %s AS 票据类型,%s AS 开始编号,ABS(CASE WHEN %s = '3' THEN -9223372036854775807-1 "
            "ELSE 1 END) AS 单价,%s AS 金额,%s AS 领票人 FROM %s ORDER BY %s ASC",
            Bill_Kind, Bill_Begin_Char, Bill_Begin_Char, Bill_Unit_Total, Bill_Issue_Broker, Bill_Info, Bill_ID);
        QVERIFY(!list.FillFromStatement(failing));
        QCOMPARE(messages.Count(), 1);
        QCOMPARE(messages.Last().caption, ApplicationTitle());
        QCOMPARE(list.RowCount(), 2);
        QCOMPARE(list.GetStatement(), WrapStatement(StockStatement()));
        // A statement the store cannot read at all leaves an empty list.
        QVERIFY(!list.FillFromStatement("SELECT nothing AS 票据类型 FROM nowhere"));
        QCOMPARE(list.RowCount(), 0);
        QCOMPARE(list.GetStatement(), WrapStatement(StockStatement()));
        QVERIFY(list.isEnabled());
    }

    void RequeryRunsAnotherStatementAndKeepsTheStoredOne() {
        TestDatabase t;
        InsertBill("甲票", "0001", 1);
        InsertBill("乙票", "0002", 2);
        CQueryListCtrl list;
        list.Requery(StockStatement()); // nothing stored yet: nothing happens
        QCOMPARE(list.RowCount(), 0);
        Setup(list, StockStatement());
        const QString filtered =
            QString::asprintf("SELECT %s FROM %s WHERE %s AND %s = '乙票'", qUtf8Printable(list.GetSelectList()),
                              qUtf8Printable(list.GetFromPart()), qUtf8Printable(list.GetWherePart()), Bill_Kind);
        list.Requery(filtered);
        QCOMPARE(Column(list, 0), QStringList{"乙票"});
        QCOMPARE(list.GetStatement(), WrapStatement(StockStatement()));
        QVERIFY(list.isEnabled());
        QVERIFY(!QApplication::overrideCursor());
    }

    void HeaderClickReQueriesAndFindsValuesOfAnyCase() {
        TestDatabase t;
        InsertBill("ab类", "0002", 1);
        InsertBill("ab类", "0003", 3);
        InsertBill("ab类", "0001", 2);
        InsertBill("AB类", "0009", 2);
        const QString statement = QString::asprintf(
            "SELECT %s AS 票据类型,%s AS 开始编号,%s AS 金额 FROM %s WHERE %s = 'ab类' ORDER BY %s ASC", Bill_Kind,
            Bill_Begin_Char, Bill_Unit_Total, Bill_Info, Bill_Kind, Bill_ID);
        CQueryListCtrl list;
        list.SetSortByQuery(true);
        Setup(list, statement);
        list.OnHeaderClicked(1);
        // "AB类" is the same kind as "ab类": names compare without regard to case.
        QCOMPARE(Column(list, 1), QStringList({"0001", "0002", "0003", "0009"}));
        QCOMPARE(list.horizontalHeader()->sortIndicatorSection(), 1);
        QCOMPARE(list.horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
        list.OnHeaderClicked(2);
        QCOMPARE(Column(list, 2), QStringList({"3", "2", "2", "1"}));
        QCOMPARE(list.horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(list.GetStatement(), WrapStatement(statement));
    }

    void ReSortKeepsAConditionOnAValueHoldingOrderBy() {
        TestDatabase t;
        InsertBill("a ORDER BY b", "0002", 1);
        InsertBill("a ORDER BY b", "0001", 2);
        InsertBill("other", "0003", 3);
        CQueryListCtrl list;
        Setup(list, QString::asprintf("SELECT %s AS 票据类型,%s AS 开始编号 FROM %s WHERE %s = 'a ORDER BY b' "
                                      "ORDER BY %s ASC",
                                      Bill_Kind, Bill_Begin_Char, Bill_Info, Bill_Kind, Bill_ID));
        QCOMPARE(list.GetWherePart(), QString::asprintf("%s = 'a ORDER BY b'", Bill_Kind));
        list.SortByColumnQuery(1, true);
        QCOMPARE(Column(list, 1), QStringList({"0001", "0002"}));
        list.SortByColumnQuery(1, false);
        QCOMPARE(Column(list, 1), QStringList({"0002", "0001"}));
    }

    void ReQueryOfStatementWithOrderButNoWhere() {
        TestDatabase t;
        InsertBill("乙票", "0001", 1, nullptr, FlagIssued);
        InsertBill("甲票", "0002", 2);
        CQueryListCtrl list;
        Setup(list, QString::asprintf("SELECT %s AS 票据类型,%s AS 开始编号 FROM %s ORDER BY %s ASC", Bill_Kind,
                                      Bill_Begin_Char, Bill_Info, Bill_ID));
        QVERIFY(list.GetOrderColumn().isEmpty());
        list.SortByColumnQuery(0, false);
        // Pinyin order: jia before yi, so descending puts 乙 first.
        QCOMPARE(Column(list, 0), QStringList({"乙票", "甲票"}));
    }

    void SortBySeveralColumnsDescendingAppliesToEveryColumn() {
        TestDatabase t;
        InsertBill("A票", "0001", 1);
        InsertBill("B票", "0002", 2);
        InsertBill("B票", "0003", 3);
        CQueryListCtrl list;
        Setup(list, StockStatement());
        list.SortByColumnsQuery({"票据类型", "没有", "开始编号"}, false);
        // Kinds descending, and numbers descending within a kind.
        QCOMPARE(Column(list, 1), QStringList({"0003", "0002", "0001"}));
        list.SortByColumnsQuery({"票据类型", "开始编号"}, true);
        QCOMPARE(Column(list, 1), QStringList({"0001", "0002", "0003"}));
        QVERIFY(!list.horizontalHeader()->isSortIndicatorShown());
        const QStringList before = Column(list, 1);
        list.SortByColumnsQuery({}, true);
        list.SortByColumnsQuery({"没有"}, true);
        QCOMPARE(Column(list, 1), before);
    }

    void LocalSortIsPinyinWithoutCaseAndStable() {
        CQueryListCtrl list;
        list.InsertColumn(0, "值");
        list.InsertColumn(1, "序");
        const QStringList values{"9", "10", "b", "甲", "100", "B", "9", "20", "10"};
        for (int i = 0; i < values.size(); ++i) {
            list.AppendRow();
            list.SetItemText(i, 0, values[i]);
            list.SetItemText(i, 1, QString::number(i));
        }
        list.SortLocal(0, true);
        // Character by character: ASCII before every other character, digits before Latin letters
        // without regard to case ("b" and "B" are equal and keep their order), then Chinese.
        QCOMPARE(Column(list, 0), QStringList({"10", "10", "100", "20", "9", "9", "b", "B", "甲"}));
        QCOMPARE(Column(list, 1), QStringList({"1", "8", "4", "7", "0", "6", "2", "5", "3"}));
        list.SortLocal(0, false);
        QCOMPARE(Column(list, 0), QStringList({"甲", "b", "B", "9", "9", "20", "100", "10", "10"}));
        QCOMPARE(list.GetItemText(3, 1), QStringLiteral("0")); // equal texts keep their order
        // Chinese names in pinyin order: fei, xing, zheng.
        const QStringList kinds{"政府性基金票据", "行政事业性收费票据", "非税收入一般缴款书"};
        for (int i = 0; i < kinds.size(); ++i)
            list.SetItemText(i, 0, kinds[i]);
        for (int i = kinds.size(); i < values.size(); ++i)
            list.SetItemText(i, 0, "政府性基金票据");
        list.SortLocal(0, true);
        QCOMPARE(Column(list, 0).mid(0, 3),
                 QStringList({"非税收入一般缴款书", "行政事业性收费票据", "政府性基金票据"}));
        // A column of ASCII texts alone sorts without regard to case too.
        const QStringList latin{"b", "A", "c", "B", "a", "C", "b", "a", "A"};
        for (int i = 0; i < latin.size(); ++i)
            list.SetItemText(i, 0, latin[i]);
        list.SortLocal(0, true);
        QCOMPARE(Column(list, 0), QStringList({"A", "a", "a", "A", "b", "B", "b", "c", "C"}));
        QVERIFY(list.isEnabled());
        QVERIFY(!QApplication::overrideCursor());
    }

    void HeaderClicksAlternateDirectionAcrossColumns() {
        CQueryListCtrl list;
        list.InsertColumn(0, "甲");
        list.InsertColumn(1, "乙");
        for (const char *pair : {"2b", "1c", "3a"}) {
            const int row = list.AppendRow();
            list.SetItemText(row, 0, QString(QLatin1Char(pair[0])));
            list.SetItemText(row, 1, QString(QLatin1Char(pair[1])));
        }
        list.OnHeaderClicked(0);
        QCOMPARE(Column(list, 0), QStringList({"1", "2", "3"}));
        list.OnHeaderClicked(1);
        QCOMPARE(Column(list, 1), QStringList({"c", "b", "a"}));
        QCOMPARE(list.horizontalHeader()->sortIndicatorSection(), 1);
        QCOMPARE(list.horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
        list.OnHeaderClicked(1);
        QCOMPARE(Column(list, 1), QStringList({"a", "b", "c"}));
        // Switched off, a click changes nothing and does not turn the direction.
        list.SetSortEnabled(false);
        list.OnHeaderClicked(0);
        QCOMPARE(Column(list, 0), QStringList({"3", "2", "1"}));
        list.SetSortEnabled(true);
        list.OnHeaderClicked(0);
        QCOMPARE(Column(list, 0), QStringList({"3", "2", "1"}));
    }

    void FindTextWrapsToTheFirstRowAfterTheLastMatch() {
        CQueryListCtrl list;
        list.InsertColumn(0, "编号");
        list.InsertColumn(1, "名称");
        const QStringList names{"xAbc", "甲", "abd", "Ab", "ab"};
        for (int i = 0; i < names.size(); ++i) {
            list.AppendRow();
            list.SetItemText(i, 0, QString::number(i));
            list.SetItemText(i, 1, names[i]);
        }
        int start = 0;
        QVERIFY(list.FindText("名称", "ab", start, false));
        QCOMPARE(start, 1);
        QCOMPARE(list.SelectedRows(), QList<int>{0});
        QCOMPARE(list.currentIndex().row(), 0);
        QVERIFY(list.FindText("名称", "ab", start, false));
        QCOMPARE(start, 3);
        QVERIFY(list.FindText("名称", "ab", start, false));
        QVERIFY(list.FindText("名称", "ab", start, false));
        QCOMPARE(start, 5);
        QVERIFY(!list.FindText("名称", "ab", start, false));
        QCOMPARE(start, 0);
        QVERIFY(list.FindText("名称", "ab", start, false));
        QCOMPARE(start, 1);

        start = 0;
        QVERIFY(list.FindText("名称", "ab", start, true));
        QCOMPARE(start, 5);
        start = 0;
        QVERIFY(list.FindText("名称", "甲", start, true));
        QCOMPARE(start, 2);
        start = 3;
        QVERIFY(!list.FindText("没有", "ab", start, false));
        QCOMPARE(start, 3);
    }

    void KeepSelectedRowsKeepsThemInOrder() {
        CQueryListCtrl list;
        list.InsertColumn(0, "编号");
        for (int i = 0; i < 5; ++i)
            list.SetItemText(list.AppendRow(), 0, QString::number(i));
        list.SelectRow(3);
        list.SelectRow(1, true);
        QCOMPARE(list.SelectedRows(), QList<int>({1, 3}));
        list.KeepSelectedRows();
        QCOMPARE(Column(list, 0), QStringList({"1", "3"}));
        QVERIFY(!list.HasSelection());
        // With nothing selected the list empties.
        list.KeepSelectedRows();
        QCOMPARE(list.RowCount(), 0);
    }

    void DirectUseOfColumnsAndRows() {
        CQueryListCtrl list;
        QCOMPARE(list.InsertColumn(0, "乙", 50), 0);
        QCOMPARE(list.InsertColumn(9, "丙"), 1);
        QCOMPARE(list.horizontalHeader()->sectionSize(0), 50);
        const int row = list.AppendRow();
        QVERIFY(list.SetItemTextByTitle(row, "丙", "c"));
        QVERIFY(!list.SetItemTextByTitle(row, "丁", "d"));
        QVERIFY(!list.SetItemText(5, 0, "x"));
        QCOMPARE(list.InsertColumn(0, "甲"), 0); // existing rows get an empty cell
        QCOMPARE(list.GetItemText(row, 2), QStringLiteral("c"));
        QCOMPARE(list.GetItemText(row, 0), QString());
        QCOMPARE(list.InsertRow(0), 0);
        list.SetItemText(0, 0, "first");
        list.SwapRows(0, 1);
        QCOMPARE(list.GetItemText(1, 0), QStringLiteral("first"));
        QCOMPARE(list.ColumnIndexOfTitle("丙"), 2);
        list.DeleteRow(0);
        QCOMPARE(list.RowCount(), 1);
        QCOMPARE(list.GetItemText(0, 0), QStringLiteral("first"));
        list.DeleteAllRows();
        QCOMPARE(list.RowCount(), 0);
        QCOMPARE(list.ColumnCount(), 3);
    }

    void DoubleClickReportsTheRow() {
        CQueryListCtrl list;
        list.InsertColumn(0, "编号", 80);
        for (int i = 0; i < 3; ++i)
            list.AppendRow();
        list.resize(200, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QSignalSpy spy(&list, &CQueryListCtrl::RowDoubleClicked);
        const QRect cell = list.visualRect(list.model()->index(1, 0));
        QTest::mousePress(list.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::mouseRelease(list.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first().first().toInt(), 1);
    }
};

QTEST_MAIN(TestQueryListCtrl)
#include "tst_querylistctrl.moc"
