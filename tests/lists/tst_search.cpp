// Searching and multiple sorting of the main list on a real store: the field catalogue, text, number
// and date conditions, narrowing within one opening, literal matching of wildcard characters, and the
// list keeping its own statement.
#include "app/Dialect.h"
#include "lists/MultiIndexDlg.h"
#include "lists/QueryListCtrl.h"
#include "lists/SearchDlg.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/MainDlg.h"
#include "mainwindow/SearchFields.h"
#include "schema/Schema.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QTimer>
#include <QtTest>

using namespace schema;

namespace {

struct Run {
    QString kind;
    QString begin;
    int amount = 100;
    QString broker = QStringLiteral("李四");
    QString issueTime = QStringLiteral("2026-3-1 9:0:0");
    QString manager = QStringLiteral("张三"); // empty stores NULL
};

void Insert(const Run &r) {
    TheDatabase().ExecuteStatement(
        QString::asprintf("INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s,%s,%s,%s) VALUES (%s,%s,%d,%f,%f,%s,%s,%s,%s,'%s')",
                          Bill_Info, Bill_Kind, Bill_Begin_Char, Bill_Unit_Amount, Bill_Unit_Price, Bill_Unit_Total,
                          Bill_Issue_Broker, Bill_Issue_Time, Bill_Issue_Manager, Bill_Issue_Dept, Bill_Flag,
                          qUtf8Printable(QuoteText(r.kind)), qUtf8Printable(QuoteText(r.begin)), r.amount, 1.0,
                          double(r.amount), qUtf8Printable(QuoteText(r.broker)), qUtf8Printable(QuoteText(r.issueTime)),
                          r.manager.isEmpty() ? "NULL" : qUtf8Printable(QuoteText(r.manager)), "'财务科'", FlagIssued));
}

// A department view's statement over the issued runs, as the main window lays it out.
QString IssuedStatement() {
    return QString::asprintf(" SELECT %s AS 票据类型,%s AS 领票人,%s AS 开始编号,%s AS 张数,%s AS 金额,%s AS "
                             "领票时间,%s AS 发票人 FROM %s WHERE %s = '%s' ORDER BY %s ASC ",
                             Bill_Kind, Bill_Issue_Broker, Bill_Begin_Char, Bill_Unit_Amount, Bill_Unit_Total,
                             Bill_Issue_Time, Bill_Issue_Manager, Bill_Info, Bill_Flag, FlagIssued, Bill_Begin_Char);
}

void Setup(CQueryListCtrl &list, const QString &statement = IssuedStatement()) {
    list.ClearColumns();
    list.SetStatement(statement, 3);
    QVERIFY(list.FillFromStatement(statement));
}

QStringList Column(const CQueryListCtrl &list, const QString &title) {
    const int column = list.ColumnIndexOfTitle(title);
    QStringList texts;
    for (int row = 0; row < list.RowCount(); ++row)
        texts << list.GetItemText(row, column);
    return texts;
}

QStringList Items(const QComboBox *box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

void SearchText(CSearchDlg &dlg, const QString &title, const QString &value, bool exact = false) {
    dlg.TextColumnBox()->setEditText(title);
    dlg.TextValueEdit()->setText(value);
    dlg.ExactBox()->setChecked(exact);
    dlg.SearchButton()->click();
}

// Five runs of two kinds with two recipients; the third has no issuing clerk.
void InsertFiveRuns() {
    Insert({QStringLiteral("收据"), QStringLiteral("0001"), 100, QStringLiteral("李四"),
            QStringLiteral("2026-3-1 9:0:0")});
    Insert({QStringLiteral("收据"), QStringLiteral("0101"), 50, QStringLiteral("王五"),
            QStringLiteral("2026-3-5 14:30:0")});
    Insert({QStringLiteral("基金票"), QStringLiteral("0201"), 20, QStringLiteral("李四"),
            QStringLiteral("2026-4-2 8:0:0"), QString()});
    Insert({QStringLiteral("基金票"), QStringLiteral("0301"), 100, QStringLiteral("王五"),
            QStringLiteral("2026-4-20 16:0:0")});
    Insert({QStringLiteral("收据"), QStringLiteral("0401"), 10, QStringLiteral("李四"),
            QStringLiteral("2026-5-1 10:0:0")});
}

} // namespace

class SearchTest : public QObject {
    Q_OBJECT
private slots:
    void catalogueHoldsThirtyOneColumnsOfThreeKinds() {
        const SearchCatalogue &c = MainSearchCatalogue();
        QCOMPARE(c.names.size(), 31);
        QCOMPARE(c.titles.size(), 31);
        QCOMPARE(c.textColumns.size(), 17);
        QCOMPARE(c.numberColumns.size(), 9);
        QCOMPARE(c.dateColumns.size(), 5);
        QCOMPARE(c.names.first(), QString::fromLatin1(Bill_Kind));
        QCOMPARE(c.titles.at(c.names.indexOf(QString::fromLatin1(Bill_Made_Units))), QStringLiteral("制造部门"));
        QCOMPARE(c.titles.at(c.names.indexOf(QString::fromLatin1(Bill_Return_End_Int))),
                 QStringLiteral("返还结尾编号INT"));
        QCOMPARE(c.titles.last(), QStringLiteral("制造时间"));
        QCOMPARE(c.textColumns.last(), QString::fromLatin1(Bill_Made_Units));
        QCOMPARE(c.numberColumns.first(), QString::fromLatin1(Bill_ID));
        QCOMPARE(c.dateColumns.first(), QString::fromLatin1(Bill_Issue_Time));
    }

    void fieldBoxesOfferTheListColumnsOfTheirKindAndStartEmpty() {
        TestDatabase t;
        CQueryListCtrl list;
        Setup(list);
        CSearchDlg dlg(MainSearchCatalogue(), list);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("票据搜索"));
        QCOMPARE(Items(dlg.TextColumnBox()), QStringList({"票据类型", "领票人", "开始编号", "发票人"}));
        QCOMPARE(Items(dlg.NumberColumnBox()), QStringList({"张数", "金额"}));
        QCOMPARE(Items(dlg.DateColumnBox()), QStringList({"领票时间"}));
        for (QComboBox *box : {dlg.TextColumnBox(), dlg.NumberColumnBox(), dlg.DateColumnBox()}) {
            QVERIFY(box->isEditable());
            QVERIFY(box->currentText().isEmpty());
        }
        QCOMPARE(dlg.LowerEdit()->text(), QStringLiteral("0"));
        QCOMPARE(dlg.UpperEdit()->text(), QStringLiteral("0"));
        QCOMPARE(dlg.FromDateEdit()->date(), QDate::currentDate());
        QCOMPARE(dlg.ToDateEdit()->date(), QDate::currentDate());
    }

    void textSearchContainsOrMatchesExactlyAndKeepsTheListOrder() {
        TestDatabase t;
        InsertFiveRuns();
        Insert({QStringLiteral("大收据本"), QStringLiteral("0501")});
        MessageCapture messages;
        CQueryListCtrl list;
        Setup(list);
        CSearchDlg dlg(MainSearchCatalogue(), list);
        SearchText(dlg, QStringLiteral("票据类型"), QStringLiteral("收据"));
        QCOMPARE(Column(list, QStringLiteral("开始编号")), QStringList({"0001", "0101", "0401", "0501"}));

        CSearchDlg exact(MainSearchCatalogue(), list);
        SearchText(exact, QStringLiteral("票据类型"), QStringLiteral("收据"), true);
        QCOMPARE(Column(list, QStringLiteral("开始编号")), QStringList({"0001", "0101", "0401"}));
        QCOMPARE(messages.Count(), 0);
        // The list keeps its own statement.
        QCOMPARE(list.GetStatement(), WrapStatement(IssuedStatement()));
    }

    void emptyContainsValueMatchesEveryValueThatIsNotNull() {
        TestDatabase t;
        InsertFiveRuns();
        CQueryListCtrl list;
        Setup(list);
        CSearchDlg dlg(MainSearchCatalogue(), list);
        SearchText(dlg, QStringLiteral("发票人"), QString());
        QCOMPARE(Column(list, QStringLiteral("开始编号")), QStringList({"0001", "0101", "0301", "0401"}));
    }

    void secondPressWithTheSameChoicesGivesTheSameRows() {
        TestDatabase t;
        InsertFiveRuns();
        CQueryListCtrl list;
        Setup(list);
        CSearchDlg dlg(MainSearchCatalogue(), list);
        SearchText(dlg, QStringLiteral("领票人"), QStringLiteral("李四"));
        const QStringList first = Column(list, QStringLiteral("开始编号"));
        QCOMPARE(first, QStringList({"0001", "0201", "0401"}));
        dlg.SearchButton()->click();
        QCOMPARE(Column(list, QStringLiteral("开始编号")), first);
        // The same condition twice, on top of the list's own.
        QCOMPARE(dlg.WhereText().count(QStringLiteral("LIKE")), 2);
    }

    void laterSearchesNarrowTheEarlierOnesUntilTheDialogCloses() {
        TestDatabase t;
        InsertFiveRuns();
        CQueryListCtrl list;
        Setup(list);
        {
            CSearchDlg dlg(MainSearchCatalogue(), list);
            SearchText(dlg, QStringLiteral("领票人"), QStringLiteral("李四"));
            SearchText(dlg, QStringLiteral("票据类型"), QStringLiteral("收据"));
            QCOMPARE(Column(list, QStringLiteral("开始编号")), QStringList({"0001", "0401"}));
        }
        // A new opening starts again from the list's own statement.
        CSearchDlg again(MainSearchCatalogue(), list);
        SearchText(again, QStringLiteral("票据类型"), QStringLiteral("基金"));
        QCOMPARE(Column(list, QStringLiteral("开始编号")), QStringList({"0201", "0301"}));
    }

    void quotePercentUnderscoreAndBackslashAreMatchedLiterally() {
        TestDatabase t;
        for (const char *kind : {"O'Brien票", "OBrien票", "100%票", "1000票", "A_B票", "AXB票", "C\\D票", "CD票"})
            Insert({QString::fromUtf8(kind), QString::fromUtf8(kind)});
        MessageCapture messages;
        CQueryListCtrl list;
        Setup(list);
        const auto found = [&list](const QString &value, bool exact) {
            CSearchDlg dlg(MainSearchCatalogue(), list);
            SearchText(dlg, QStringLiteral("票据类型"), value, exact);
            return Column(list, QStringLiteral("票据类型"));
        };
        QCOMPARE(found(QStringLiteral("O'B"), false), QStringList({"O'Brien票"}));
        QCOMPARE(found(QStringLiteral("O'Brien票"), true), QStringList({"O'Brien票"}));
        QCOMPARE(found(QStringLiteral("100%"), false), QStringList({"100%票"}));
        QCOMPARE(found(QStringLiteral("A_B"), false), QStringList({"A_B票"}));
        QCOMPARE(found(QStringLiteral("C\\D"), false), QStringList({"C\\D票"}));
        QCOMPARE(messages.Count(), 0);
    }

    void numberRangeIncludesBothEndsAndRefusesWordsAndFailedSearches() {
        TestDatabase t;
        InsertFiveRuns();
        MessageCapture messages;
        CQueryListCtrl list;
        Setup(list);
        CSearchDlg dlg(MainSearchCatalogue(), list);
        dlg.NumberColumnBox()->setEditText(QStringLiteral("张数"));
        dlg.LowerEdit()->setText(QStringLiteral("20"));
        dlg.UpperEdit()->setText(QStringLiteral("50"));
        dlg.SearchButton()->click();
        QCOMPARE(Column(list, QStringLiteral("开始编号")), QStringList({"0101", "0201"}));
        QCOMPARE(messages.Count(), 0);

        dlg.UpperEdit()->setText(QStringLiteral("五十"));
        dlg.SearchButton()->click();
        QCOMPARE(messages.Count(), 1);
        QCOMPARE(messages.Last().text, QStringLiteral("数值范围只能填写数字，请重新输入！"));
        // Nothing was added and the rows stay.
        QCOMPARE(dlg.WhereText().count(QStringLiteral("BETWEEN")), 1);
        QCOMPARE(list.RowCount(), 2);

        // Only finite decimals are numbers: no word the store's own reading would take.
        CSearchDlg fresh(MainSearchCatalogue(), list);
        fresh.NumberColumnBox()->setEditText(QStringLiteral("张数"));
        fresh.LowerEdit()->setText(QStringLiteral("0"));
        const QString listWhere = fresh.WhereText();
        for (const char *word : {"nan", "inf", "-inf", "infinity", "NaN", "1e3", "0x10", "1,5", ".", "-", "1.2.3"}) {
            messages.Clear();
            fresh.UpperEdit()->setText(QString::fromLatin1(word));
            fresh.SearchButton()->click();
            QCOMPARE(messages.Texts(), QStringList{QStringLiteral("数值范围只能填写数字，请重新输入！")});
            QCOMPARE(fresh.WhereText(), listWhere);
            QCOMPARE(list.RowCount(), 2);
        }

        // A search the store refuses is reported, and its condition is not kept for the next one.
        t.Exec(QStringLiteral("ALTER TABLE Bill_Info RENAME TO Bill_Info_Away"));
        messages.Clear();
        fresh.UpperEdit()->setText(QStringLiteral(" 20 "));
        fresh.SearchButton()->click();
        QCOMPARE(messages.Count(), 1);
        QCOMPARE(fresh.WhereText(), listWhere);
        t.Exec(QStringLiteral("ALTER TABLE Bill_Info_Away RENAME TO Bill_Info"));

        // A good search afterwards in the same dialog works.
        messages.Clear();
        fresh.LowerEdit()->setText(QStringLiteral("-5.5"));
        fresh.UpperEdit()->setText(QStringLiteral("20."));
        fresh.SearchButton()->click();
        QCOMPARE(messages.Count(), 0);
        QCOMPARE(Column(list, QStringLiteral("开始编号")), QStringList({"0201", "0401"}));
        QCOMPARE(fresh.WhereText().count(QStringLiteral("BETWEEN")), 1);
        double value = 1;
        QVERIFY(ParseSearchNumber(QString(), value));
        QCOMPARE(value, 0.0);
        QVERIFY(ParseSearchNumber(QStringLiteral("+.5"), value));
        QCOMPARE(value, 0.5);
    }

    void dateRangeTakesDateAndTimeFromTheirFields() {
        TestDatabase t;
        InsertFiveRuns();
        MessageCapture messages;
        CQueryListCtrl list;
        Setup(list);
        CSearchDlg dlg(MainSearchCatalogue(), list);
        dlg.DateColumnBox()->setEditText(QStringLiteral("领票时间"));
        dlg.FromDateEdit()->setDate(QDate(2026, 3, 5));
        dlg.FromTimeEdit()->setTime(QTime(14, 30, 0));
        dlg.ToDateEdit()->setDate(QDate(2026, 4, 20));
        dlg.ToTimeEdit()->setTime(QTime(15, 59, 59));
        dlg.SearchButton()->click();
        QCOMPARE(Column(list, QStringLiteral("开始编号")), QStringList({"0101", "0201"}));
        QCOMPARE(messages.Count(), 0);
    }

    void fieldTextThatIsNoCatalogueTitleAddsNoCondition() {
        TestDatabase t;
        InsertFiveRuns();
        CQueryListCtrl list;
        Setup(list);
        CSearchDlg dlg(MainSearchCatalogue(), list);
        SearchText(dlg, QStringLiteral("没有此字段"), QStringLiteral("收据"));
        QCOMPARE(list.RowCount(), 5);
        QCOMPARE(dlg.WhereText(), list.GetWherePart());
    }

    void headerClickAfterASearchShowsEveryRowAgain() {
        TestDatabase t;
        InsertFiveRuns();
        CQueryListCtrl list;
        Setup(list);
        list.SetSortByQuery(true);
        CSearchDlg dlg(MainSearchCatalogue(), list);
        SearchText(dlg, QStringLiteral("领票人"), QStringLiteral("王五"));
        QCOMPARE(list.RowCount(), 2);
        list.OnHeaderClicked(list.ColumnIndexOfTitle(QStringLiteral("开始编号")));
        QCOMPARE(Column(list, QStringLiteral("开始编号")), QStringList({"0001", "0101", "0201", "0301", "0401"}));
    }

    void indexSortsByTheChosenLevelsAndStaysOpen() {
        TestDatabase t;
        InsertFiveRuns();
        MessageCapture messages;
        CQueryListCtrl list;
        Setup(list);
        CMultiIndexDlg dlg(list);
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("多重索引"));
        QCOMPARE(Items(dlg.LevelBox(4)), QStringList({""}) + list.GetHeaderTitles());
        dlg.LevelBox(1)->setCurrentText(QStringLiteral("领票人"));
        dlg.LevelBox(3)->setCurrentText(QStringLiteral("张数"));
        dlg.IndexButton()->click();
        QCOMPARE(dlg.ChosenTitles(), QStringList({"领票人", "张数"}));
        QVERIFY(dlg.isVisible());
        QCOMPARE(Column(list, QStringLiteral("领票人")), QStringList({"李四", "李四", "李四", "王五", "王五"}));
        QCOMPARE(Column(list, QStringLiteral("张数")), QStringList({"10", "20", "100", "50", "100"}));
        QCOMPARE(messages.Count(), 0);
    }

    void descendingIndexSortsEveryChosenColumnDescending() {
        TestDatabase t;
        InsertFiveRuns();
        Insert({QStringLiteral("收据"), QStringLiteral("0601"), 10, QStringLiteral("王五")});
        CQueryListCtrl list;
        Setup(list);
        CMultiIndexDlg dlg(list);
        dlg.LevelBox(1)->setCurrentText(QStringLiteral("领票人"));
        dlg.LevelBox(2)->setCurrentText(QStringLiteral("张数"));
        dlg.LevelBox(3)->setCurrentText(QStringLiteral("开始编号"));
        dlg.DescendingBox()->setChecked(true);
        dlg.IndexButton()->click();
        QCOMPARE(Column(list, QStringLiteral("开始编号")),
                 QStringList({"0301", "0101", "0601", "0001", "0201", "0401"}));
        QCOMPARE(Column(list, QStringLiteral("领票人")), QStringList({"王五", "王五", "王五", "李四", "李四", "李四"}));
    }

    void indexWithoutChosenLevelsLeavesTheRows() {
        TestDatabase t;
        InsertFiveRuns();
        CQueryListCtrl list;
        Setup(list);
        list.SortLocal(list.ColumnIndexOfTitle(QStringLiteral("开始编号")), false);
        const QStringList before = Column(list, QStringLiteral("开始编号"));
        CMultiIndexDlg dlg(list);
        dlg.IndexButton()->click();
        QCOMPARE(Column(list, QStringLiteral("开始编号")), before);
    }

    void mainWindowSearchesAndIndexesItsList() {
        TestDatabase t;
        InsertFiveRuns();
        MessageCapture messages;
        CMainDlg window;
        window.SetCurrentUser(QString::fromUtf8(AdministratorUser));
        window.Permissions().LoadPermissionTable();
        window.LoadUserRights();
        window.ShowDepartmentViewAgain();
        CQueryListCtrl *list = window.MainList();
        Setup(*list);
        bool searched = false;
        QTimer::singleShot(0, [&] {
            auto *dlg = qobject_cast<CSearchDlg *>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            SearchText(*dlg, QStringLiteral("领票人"), QStringLiteral("王五"));
            searched = true;
            dlg->CloseButton()->click();
        });
        window.RunCommand(cmd::Search);
        QVERIFY(searched);
        QCOMPARE(Column(*list, QStringLiteral("开始编号")), QStringList({"0101", "0301"}));

        // Sorting through the store starts again from the list's own statement.
        bool indexed = false;
        QTimer::singleShot(0, [&] {
            auto *dlg = qobject_cast<CMultiIndexDlg *>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            dlg->LevelBox(1)->setCurrentText(QStringLiteral("开始编号"));
            dlg->DescendingBox()->setChecked(true);
            dlg->IndexButton()->click();
            indexed = true;
            dlg->CloseButton()->click();
        });
        window.RunCommand(cmd::Index);
        QVERIFY(indexed);
        QCOMPARE(Column(*list, QStringLiteral("开始编号")), QStringList({"0401", "0301", "0201", "0101", "0001"}));
        QCOMPARE(messages.Count(), 0);
    }
};

QTEST_MAIN(SearchTest)
#include "tst_search.moc"
