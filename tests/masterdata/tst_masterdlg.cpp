#include "app/Dialect.h"
#include "lists/QueryListCtrl.h"
#include "masterdata/AddBillKindDlg.h"
#include "masterdata/AddBrokerDlg.h"
#include "masterdata/AddDeptDlg.h"
#include "masterdata/AddMadeDeptDlg.h"
#include "masterdata/AddMainKindDlg.h"
#include "masterdata/AddManagerDlg.h"
#include "masterdata/BillKindDlg.h"
#include "masterdata/MadeDeptDlg.h"
#include "masterdata/MainKindDlg.h"
#include "masterdata/ManagerDlg.h"
#include "schema/Schema.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace schema;

namespace {

QString Eq(const char *column, const QString &value) {
    return QString::asprintf("%s = %s", column, qUtf8Printable(QuoteText(value)));
}

struct KindFields {
    QString name = "收据";
    QString price = "2";
    QString amount = "100";
    QString prefix;
    QString suffix;
    QString length = "10";
    bool noneFixed = false;
    bool keepAdding = false;
};

void Fill(CAddBillKindDlg &dlg, const KindFields &f) {
    dlg.NameEdit()->setText(f.name);
    dlg.PriceEdit()->setText(f.price);
    dlg.AmountEdit()->setText(f.amount);
    dlg.PrefixEdit()->setText(f.prefix);
    dlg.SuffixEdit()->setText(f.suffix);
    dlg.LengthEdit()->setText(f.length);
    dlg.NoneFixedBox()->setChecked(f.noneFixed);
    dlg.KeepAddingBox()->setChecked(f.keepAdding);
}

QStringList Column(const CQueryListCtrl *list, int column) {
    QStringList texts;
    for (int row = 0; row < list->RowCount(); ++row)
        texts << list->GetItemText(row, column);
    return texts;
}

const KindSpec Receipt{"收据", "行政事业", "A", "", 8, 10, 2.0, false};
const KindSpec Voucher{"通用票", "行政事业", "T", "", 6, 5, 0.0, true};

// Runs the modal dialog that the click opens, letting drive() work on it before the click returns.
template <typename Dialog> void WithModal(QPushButton *opener, std::function<void(Dialog &)> drive) {
    bool driven = false;
    QTimer::singleShot(0, [&] {
        auto *dlg = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        drive(*dlg);
        driven = true;
        if (dlg->isVisible())
            dlg->CloseButton()->click();
    });
    opener->click();
    QVERIFY(driven);
}

} // namespace

class MasterDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void blankInPrefixIsRemovedAndCountsNoDigit();
    void fifteenDigitsAreAcceptedAndSixteenRefused();
    void wideCharactersOfPrefixAndSuffixCountTwice();
    void duplicateKindIsRefusedWithItsName();
    void missingValuesAreRefusedSilently_data();
    void missingValuesAreRefusedSilently();
    void numberOutsideItsRangeStopsTheEntry_data();
    void numberOutsideItsRangeStopsTheEntry();
    void priceOfWholeCentsGivesBooksOfWholeCents();
    void lookAlikeNamesAreOneName();
    void nonFixedKindIsStoredWithoutPriceAndTicked();
    void keepAddingClearsOnlyTheNameAndStaysOpen();
    void mainKindBoxListsMainKindsFirstSelected();
    void withoutMainKindsKindGetsEmptyMainKind();

    void answeringNoToKindDeleteChangesNothing();
    void deletingKindFromListRecyclesItsRuns();
    void deletingMainKindFromListKeepsItsKinds();
    void failedRecycleLeavesKindRunsAndList();
    void addDialogRefreshesTheListAfterEachEntry();

    void setCurrentLeavesExactlyOneTick();
    void deletingCurrentManagerLeavesNoTick();
    void duplicateManagerIsRefused();
    void makingDepartmentIsDeletedWithoutQuestion();
    void failedInsertKeepsTheEntryInTheDialog();

    void departmentAddRebuildsViewAndRefusesDuplicates();
    void recipientNameIsRefusedInAnotherDepartment();
    void recipientGoesToTheChosenDepartment();
    void withoutDepartmentsRecipientIsNotAdded();

    void namesAreStoredWithoutOuterBlanks();
    void tabFollowsTheFieldsOfTheKindDialog();
};

void MasterDialogsTest::blankInPrefixIsRemovedAndCountsNoDigit() {
    TestDatabase t;
    MessageCapture messages;
    int refreshed = 0;
    CAddBillKindDlg dlg([&] { ++refreshed; });
    dlg.show();
    KindFields f;
    f.prefix = "A B";
    Fill(dlg, f);
    dlg.AcceptButton()->click();
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(t.Count(Bill_Kind_Info, Eq(Bill_Kind_Prefix, "AB") + QString::asprintf(" AND %s = 8", Bill_Kind_Length)),
             1);
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s FROM %s", Bill_Kind_Unit_Total, Bill_Kind_Info)),
             QStringLiteral("200"));
    QCOMPARE(dlg.PrefixEdit()->text(), QStringLiteral("AB"));
    QCOMPARE(refreshed, 1);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
}

void MasterDialogsTest::fifteenDigitsAreAcceptedAndSixteenRefused() {
    TestDatabase t;
    MessageCapture messages;
    CAddBillKindDlg dlg(nullptr);
    dlg.show();
    KindFields f;
    f.prefix = "AB";
    f.suffix = "C";
    f.length = "19";
    Fill(dlg, f);
    dlg.AcceptButton()->click();
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().text, QStringLiteral("票据长度不正确!"));
    QCOMPARE(messages.Last().caption, QStringLiteral("长度错误!"));
    QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);
    QCOMPARE(dlg.LengthEdit()->selectedText(), QStringLiteral("19"));
    QCOMPARE(t.Count(Bill_Kind_Info), 0);
    QVERIFY(dlg.isVisible());

    dlg.LengthEdit()->setText("3"); // nothing left for digits
    dlg.AcceptButton()->click();
    QCOMPARE(messages.Count(), 2);
    QCOMPARE(t.Count(Bill_Kind_Info), 0);

    dlg.LengthEdit()->setText("18");
    dlg.AcceptButton()->click();
    QCOMPARE(messages.Count(), 2);
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s FROM %s", Bill_Kind_Length, Bill_Kind_Info)), QStringLiteral("15"));
}

void MasterDialogsTest::wideCharactersOfPrefixAndSuffixCountTwice() {
    TestDatabase t;
    CAddBillKindDlg dlg(nullptr);
    KindFields f;
    f.prefix = "京 A";
    f.suffix = "号";
    f.length = "12";
    Fill(dlg, f);
    dlg.AcceptButton()->click();
    QCOMPARE(t.Count(Bill_Kind_Info, Eq(Bill_Kind_Prefix, "京A") + QString::asprintf(" AND %s = 7", Bill_Kind_Length)),
             1);
}

void MasterDialogsTest::duplicateKindIsRefusedWithItsName() {
    TestDatabase t;
    MessageCapture messages;
    AddKind(Receipt);
    CAddBillKindDlg dlg(nullptr);
    dlg.show();
    Fill(dlg, KindFields());
    dlg.AcceptButton()->click();
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().text, QStringLiteral("收据 已经存在,请重新输入票据类型!"));
    QCOMPARE(messages.Last().caption, QStringLiteral("同名错误!"));
    QCOMPARE(dlg.NameEdit()->selectedText(), QStringLiteral("收据"));
    QCOMPARE(dlg.focusWidget(), dlg.NameEdit());
    QCOMPARE(t.Count(Bill_Kind_Info), 1);
    // A trailing blank does not make another kind.
    dlg.NameEdit()->setText("收据 ");
    dlg.AcceptButton()->click();
    QCOMPARE(messages.Count(), 2);
    QCOMPARE(t.Count(Bill_Kind_Info), 1);
}

void MasterDialogsTest::missingValuesAreRefusedSilently_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("length");
    QTest::newRow("no name") << ""
                             << "2"
                             << "100"
                             << "10";
    QTest::newRow("no price") << "收据"
                              << "0"
                              << "100"
                              << "10";
    QTest::newRow("empty price") << "收据"
                                 << ""
                                 << "100"
                                 << "10";
    QTest::newRow("no amount") << "收据"
                               << "2"
                               << "0"
                               << "10";
    QTest::newRow("no length") << "收据"
                               << "2"
                               << "100"
                               << "0";
}

void MasterDialogsTest::missingValuesAreRefusedSilently() {
    QFETCH(QString, name);
    QFETCH(QString, price);
    QFETCH(QString, amount);
    QFETCH(QString, length);
    TestDatabase t;
    MessageCapture messages;
    CAddBillKindDlg dlg(nullptr);
    dlg.show();
    KindFields f;
    f.name = name;
    f.price = price;
    f.amount = amount;
    f.length = length;
    Fill(dlg, f);
    dlg.AcceptButton()->click();
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(t.Count(Bill_Kind_Info), 0);
    QVERIFY(dlg.isVisible());
}

void MasterDialogsTest::numberOutsideItsRangeStopsTheEntry_data() {
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("message");
    QTest::newRow("amount too big") << "2"
                                    << "10001"
                                    << "请填入一个在0和10000之间的整数。";
    QTest::newRow("amount negative") << "2"
                                     << "-1"
                                     << "请填入一个在0和10000之间的整数。";
    QTest::newRow("amount no number") << "2"
                                      << "1O0"
                                      << "请填入一个在0和10000之间的整数。";
    QTest::newRow("price too big") << "1000000001"
                                   << "100"
                                   << "请填入一个在0和1000000000之间的数字。";
    QTest::newRow("price with fractions of a cent") << "4.15625"
                                                    << "20"
                                                    << "金额只能精确到分（最多两位小数），请重新输入!";
    QTest::newRow("price of a tenth of a cent") << "1e-3"
                                                << "20"
                                                << "金额只能精确到分（最多两位小数），请重新输入!";
}

void MasterDialogsTest::numberOutsideItsRangeStopsTheEntry() {
    QFETCH(QString, price);
    QFETCH(QString, amount);
    QFETCH(QString, message);
    TestDatabase t;
    MessageCapture messages;
    AddKind(Receipt); // a duplicate name must not be reached
    CAddBillKindDlg dlg(nullptr);
    dlg.show();
    KindFields f;
    f.price = price;
    f.amount = amount;
    Fill(dlg, f);
    dlg.AcceptButton()->click();
    QCOMPARE(messages.Texts(), QStringList{message});
    QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);
    QCOMPARE(t.Count(Bill_Kind_Info), 1);
    QVERIFY(dlg.isVisible());
}

void MasterDialogsTest::nonFixedKindIsStoredWithoutPriceAndTicked() {
    TestDatabase t;
    AddKind(Receipt);
    CBillKindDlg list;
    CAddBillKindDlg dlg([&] { list.FillList(); }, &list);
    KindFields f;
    f.name = "通用票";
    f.price = "";
    f.noneFixed = true;
    Fill(dlg, f);
    dlg.AcceptButton()->click();
    QCOMPARE(t.Count(Bill_Kind_Info,
                     Eq(Bill_Kind_Name, "通用票") + QString::asprintf(" AND %s IS NULL AND %s IS NULL AND %s = -1",
                                                                      Bill_Kind_Unit_Price, Bill_Kind_Unit_Total,
                                                                      Bill_Kind_NoneFixed)),
             1);
    const int tick = list.List()->ColumnIndexOfTitle("不固定金额票据");
    QCOMPARE(tick, 8);
    QCOMPARE(Column(list.List(), 0), (QStringList{"收据", "通用票"}));
    QCOMPARE(Column(list.List(), tick), (QStringList{"", "√"}));
    QCOMPARE(list.List()->GetItemText(0, 1), QStringLiteral("￥2.00"));
}

void MasterDialogsTest::keepAddingClearsOnlyTheNameAndStaysOpen() {
    TestDatabase t;
    int refreshed = 0;
    CAddBillKindDlg dlg([&] { ++refreshed; });
    dlg.show();
    KindFields f;
    f.prefix = "A";
    f.keepAdding = true;
    Fill(dlg, f);
    dlg.AcceptButton()->click();
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.NameEdit()->text(), QString());
    QCOMPARE(dlg.focusWidget(), dlg.NameEdit());
    QCOMPARE(dlg.PrefixEdit()->text(), QStringLiteral("A"));
    QCOMPARE(dlg.LengthEdit()->text(), QStringLiteral("10"));
    QCOMPARE(dlg.PriceEdit()->text(), QStringLiteral("2"));
    dlg.NameEdit()->setText("收据二");
    dlg.AcceptButton()->click();
    QCOMPARE(t.Count(Bill_Kind_Info, QString::asprintf("%s = 9", Bill_Kind_Length)), 2);
    QCOMPARE(refreshed, 2);
    QVERIFY(dlg.isVisible());
}

void MasterDialogsTest::mainKindBoxListsMainKindsFirstSelected() {
    TestDatabase t;
    AddMainKind("政府基金");
    AddMainKind("行政事业");
    CAddBillKindDlg dlg(nullptr);
    QCOMPARE(dlg.MainKindBox()->count(), 2);
    QCOMPARE(dlg.MainKindBox()->currentText(), QStringLiteral("政府基金"));
    dlg.MainKindBox()->setCurrentIndex(1);
    Fill(dlg, KindFields());
    dlg.AcceptButton()->click();
    QCOMPARE(t.Count(Bill_Kind_Info, Eq(Bill_Kind_Main_Kind, "行政事业")), 1);
}

void MasterDialogsTest::withoutMainKindsKindGetsEmptyMainKind() {
    TestDatabase t;
    CAddBillKindDlg dlg(nullptr);
    QCOMPARE(dlg.MainKindBox()->count(), 0);
    Fill(dlg, KindFields());
    dlg.AcceptButton()->click();
    QCOMPARE(t.Count(Bill_Kind_Info, Eq(Bill_Kind_Main_Kind, "")), 1);
}

void MasterDialogsTest::answeringNoToKindDeleteChangesNothing() {
    TestDatabase t;
    MessageCapture messages;
    AddKind(Receipt);
    AddStockRun(Receipt, 1);
    CBillKindDlg list;
    QCOMPARE(list.windowTitle(), QStringLiteral("票据类型"));
    list.DeleteButton()->click(); // no row selected
    QCOMPARE(messages.Count(), 0);
    list.List()->SelectRow(0);
    messages.Answer(MsgAnswer::No);
    list.DeleteButton()->click();
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().text,
             QStringLiteral("    警告：在删除该票据类型的同时，您将删除数据库中所有与该票据类型相关联的数据记录。\n"
                            "您确定真的要删除该票据类型吗？"));
    QCOMPARE(messages.Last().caption, QStringLiteral("警告"));
    QCOMPARE(messages.Last().icon, MsgIcon::Question);
    QCOMPARE(messages.Last().buttons, MsgButtons::YesNo);
    QCOMPARE(t.Count(Bill_Kind_Info), 1);
    QCOMPARE(t.Count(Bill_Info), 1);
    QCOMPARE(list.List()->RowCount(), 1);
}

void MasterDialogsTest::deletingKindFromListRecyclesItsRuns() {
    TestDatabase t;
    MessageCapture messages;
    AddManager("张管", true);
    AddKind(Receipt);
    AddKind(Voucher);
    AddStockRun(Receipt, 1);
    AddStockRun(Voucher, 1);
    CBillKindDlg list;
    QCOMPARE(Column(list.List(), 0), (QStringList{"收据", "通用票"}));
    list.List()->SelectRow(1);
    list.DeleteButton()->click();
    QCOMPARE(Column(list.List(), 0), QStringList{"收据"});
    QCOMPARE(t.Count(Bill_Info), 1);
    QCOMPARE(t.Count(Bill_Recycle_Info, Eq(Bill_Kind, "通用票") + " AND " + Eq(Bill_Info_Remark, RemarkKindDeleted) +
                                            " AND " + Eq(Bill_Recycle_Manager, "张管") + " AND " + Bill_Recycle_Time +
                                            " IS NOT NULL AND " + Bill_Invalid_Time + " IS NULL"),
             1);
    QCOMPARE(t.Count(Bill_Recycle_NoneFixed_Info), 5);
}

void MasterDialogsTest::deletingMainKindFromListKeepsItsKinds() {
    TestDatabase t;
    MessageCapture messages;
    AddKind(Receipt);
    AddKind(Voucher);
    AddMainKind("政府基金");
    AddStockRun(Receipt, 1);
    AddStockRun(Voucher, 1);
    CMainKindDlg list;
    QCOMPARE(Column(list.List(), 0), (QStringList{"行政事业", "政府基金"}));
    list.List()->SelectRow(0);
    list.DeleteButton()->click();
    QCOMPARE(messages.Last().text,
             QStringLiteral("    警告：在删除该主票据类型的同时，您将删除数据库中所有与该主票据类型"
                            "相关联的数据记录。\n您确定真的要删除该票据类型吗？"));
    QCOMPARE(Column(list.List(), 0), QStringList{"政府基金"});
    QCOMPARE(t.Count(Bill_Kind_Info, Eq(Bill_Kind_Main_Kind, "行政事业")), 2);
    QCOMPARE(t.Count(Bill_Info), 0);
    QCOMPARE(t.Count(Bill_Recycle_Info, Eq(Bill_Info_Remark, RemarkKindDeleted)), 2);
    QCOMPARE(t.Count(Bill_Recycle_NoneFixed_Info), 5);
}

void MasterDialogsTest::failedRecycleLeavesKindRunsAndList() {
    TestDatabase t;
    MessageCapture messages;
    AddKind(Voucher);
    AddStockRun(Voucher, 1);
    t.Exec(QString::asprintf("ALTER TABLE %s RENAME TO Recycle_Elsewhere", Bill_Recycle_Info));
    CBillKindDlg list;
    list.List()->SelectRow(0);
    list.DeleteButton()->click();
    QCOMPARE(messages.Count(), 2);
    QCOMPARE(messages.Last().caption, ApplicationTitle());
    QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);
    QCOMPARE(t.Count(Bill_Kind_Info), 1);
    QCOMPARE(t.Count(Bill_Info, QString::asprintf("%s IS NULL AND %s IS NULL", Bill_Invalid_Time, Bill_Info_Remark)),
             1);
    QCOMPARE(t.Count(Bill_NoneFixed_Manifest_Info), 5);
    QCOMPARE(list.List()->RowCount(), 1);
    QCOMPARE(t.Db().TransactionDepth(), 0);
}

void MasterDialogsTest::addDialogRefreshesTheListAfterEachEntry() {
    TestDatabase t;
    CMainKindDlg list;
    QCOMPARE(list.List()->RowCount(), 0);
    WithModal<CAddMainKindDlg>(list.AddButton(), [&](CAddMainKindDlg &dlg) {
        QCOMPARE(dlg.windowTitle(), QStringLiteral("增加主类型"));
        dlg.KeepAddingBox()->setChecked(true);
        dlg.NameEdit()->setText("行政事业");
        dlg.AcceptButton()->click();
        QCOMPARE(Column(list.List(), 0), QStringList{"行政事业"});
        dlg.NameEdit()->setText("政府基金");
        dlg.AcceptButton()->click();
        QVERIFY(dlg.isVisible());
    });
    QCOMPARE(Column(list.List(), 0), (QStringList{"行政事业", "政府基金"}));
}

void MasterDialogsTest::setCurrentLeavesExactlyOneTick() {
    TestDatabase t;
    AddManager("甲", true);
    AddManager("乙");
    AddManager("丙");
    CManagerDlg list;
    QCOMPARE(list.SetCurrentButton()->text(), QStringLiteral("有效"));
    QCOMPARE(Column(list.List(), 1), (QStringList{"√", "", ""}));
    list.SetCurrentButton()->click(); // nothing selected
    QCOMPARE(Column(list.List(), 1), (QStringList{"√", "", ""}));
    list.List()->SelectRow(2);
    list.SetCurrentButton()->click();
    QCOMPARE(Column(list.List(), 0), (QStringList{"甲", "乙", "丙"}));
    QCOMPARE(Column(list.List(), 1), (QStringList{"", "", "√"}));
    QCOMPARE(t.Count(Bill_Manager_Info, QString(Bill_Manager_Cur) + " = -1"), 1);
}

void MasterDialogsTest::deletingCurrentManagerLeavesNoTick() {
    TestDatabase t;
    MessageCapture messages;
    AddManager("甲");
    AddManager("乙", true);
    CManagerDlg list;
    list.List()->SelectRow(1);
    list.DeleteButton()->click();
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(Column(list.List(), 0), QStringList{"甲"});
    QCOMPARE(Column(list.List(), 1), QStringList{""});
    // An administrator added through the dialog is not current and shows no tick either.
    CAddManagerDlg add([&] { list.FillList(); }, &list);
    add.NameEdit()->setText("丙");
    add.AcceptButton()->click();
    QCOMPARE(Column(list.List(), 1), (QStringList{"", ""}));
}

void MasterDialogsTest::duplicateManagerIsRefused() {
    TestDatabase t;
    MessageCapture messages;
    AddManager("甲");
    CAddManagerDlg dlg(nullptr);
    dlg.NameEdit()->setText("甲");
    dlg.AcceptButton()->click();
    QCOMPARE(messages.Texts(), QStringList{"甲 已经存在,请重新输入票据管理员!"});
    QCOMPARE(messages.Last().caption, QStringLiteral("同名错误!"));
    QCOMPARE(t.Count(Bill_Manager_Info), 1);
}

void MasterDialogsTest::makingDepartmentIsDeletedWithoutQuestion() {
    TestDatabase t;
    MessageCapture messages;
    AddMaker("一厂");
    AddMaker("O'Neil印刷");
    CMadeDeptDlg list;
    QCOMPARE(Column(list.List(), 0), (QStringList{"一厂", "O'Neil印刷"}));
    list.List()->SelectRow(1);
    list.DeleteButton()->click();
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(Column(list.List(), 0), QStringList{"一厂"});
    CAddMadeDeptDlg add(nullptr);
    add.NameEdit()->setText("一厂");
    add.AcceptButton()->click();
    QCOMPARE(messages.Texts(), QStringList{"一厂 已经存在,请重新输入票据制作部门!"});
}

void MasterDialogsTest::failedInsertKeepsTheEntryInTheDialog() {
    TestDatabase t;
    MessageCapture messages;
    t.Exec(QString::asprintf("CREATE TRIGGER refuse BEFORE INSERT ON %s BEGIN SELECT RAISE(ABORT, 'refused'); END",
                             Bill_Made_Info));
    int refreshed = 0;
    CAddMadeDeptDlg dlg([&] { ++refreshed; });
    dlg.show();
    dlg.NameEdit()->setText("一厂");
    dlg.AcceptButton()->click();
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().caption, ApplicationTitle());
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.NameEdit()->text(), QStringLiteral("一厂"));
    QCOMPARE(refreshed, 0);
}

void MasterDialogsTest::departmentAddRebuildsViewAndRefusesDuplicates() {
    TestDatabase t;
    MessageCapture messages;
    int rebuilt = 0;
    CAddDeptDlg dlg([&] { ++rebuilt; });
    dlg.show();
    QCOMPARE(dlg.windowTitle(), QStringLiteral("增加部门"));
    QCOMPARE(dlg.AcceptButton()->text(), QStringLiteral("确定"));
    QCOMPARE(dlg.CloseButton()->text(), QStringLiteral("取消"));
    dlg.AcceptButton()->click(); // empty name
    QCOMPARE(rebuilt, 0);
    dlg.KeepAddingBox()->setChecked(true);
    dlg.NameEdit()->setText("财务科");
    dlg.AcceptButton()->click();
    QCOMPARE(rebuilt, 1);
    QVERIFY(dlg.isVisible());
    dlg.NameEdit()->setText("财务科");
    dlg.AcceptButton()->click();
    QCOMPARE(messages.Texts(), QStringList{"财务科 已经存在,请重新输入部门名称!"});
    QCOMPARE(rebuilt, 1);
    QCOMPARE(t.Count(Bill_Dept_Info), 1);
}

void MasterDialogsTest::recipientNameIsRefusedInAnotherDepartment() {
    TestDatabase t;
    MessageCapture messages;
    AddDepartment("财务科");
    AddDepartment("办公室");
    AddBroker("李四", "财务科");
    CAddBrokerDlg dlg(nullptr);
    dlg.show();
    QCOMPARE(dlg.windowTitle(), QStringLiteral("增加领票人"));
    QCOMPARE(dlg.DepartmentBox()->currentText(), QStringLiteral("财务科"));
    dlg.DepartmentBox()->setCurrentIndex(1);
    dlg.NameEdit()->setText("李四");
    dlg.AcceptButton()->click();
    QCOMPARE(messages.Texts(), QStringList{"李四 已经存在,请重新输入领票人姓名!"});
    QCOMPARE(messages.Last().caption, QStringLiteral("同名错误!"));
    QCOMPARE(dlg.NameEdit()->selectedText(), QStringLiteral("李四"));
    QCOMPARE(t.Count(Bill_Broker_Info), 1);
}

void MasterDialogsTest::recipientGoesToTheChosenDepartment() {
    TestDatabase t;
    AddDepartment("财务科");
    AddDepartment("办公室");
    int rebuilt = 0;
    CAddBrokerDlg dlg([&] { ++rebuilt; });
    dlg.show();
    dlg.DepartmentBox()->setCurrentIndex(1);
    dlg.KeepAddingBox()->setChecked(true);
    dlg.NameEdit()->setText("王五");
    dlg.AcceptButton()->click();
    dlg.NameEdit()->setText("赵六");
    dlg.AcceptButton()->click();
    QCOMPARE(rebuilt, 2);
    QCOMPARE(dlg.DepartmentBox()->currentText(), QStringLiteral("办公室"));
    const QString office = t.Scalar(QString::asprintf("SELECT %s FROM %s WHERE %s", Bill_Dept_ID, Bill_Dept_Info,
                                                      qUtf8Printable(Eq(Bill_Dept_Name, "办公室"))));
    QCOMPARE(t.Count(Bill_Broker_Info, QString(Bill_Broker_Dept) + " = " + office), 2);
}

void MasterDialogsTest::withoutDepartmentsRecipientIsNotAdded() {
    TestDatabase t;
    MessageCapture messages;
    int rebuilt = 0;
    CAddBrokerDlg dlg([&] { ++rebuilt; });
    dlg.show();
    QCOMPARE(dlg.DepartmentBox()->count(), 0);
    dlg.NameEdit()->setText("王五");
    dlg.AcceptButton()->click();
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(rebuilt, 0);
    QCOMPARE(t.Count(Bill_Broker_Info), 0);
    QVERIFY(dlg.isVisible());
}

// Types the name into a fresh add dialog and presses its accepting button.
template <typename Dialog> void AddByDialog(const QString &name) {
    Dialog dlg(nullptr);
    dlg.show();
    dlg.NameEdit()->setText(name);
    dlg.AcceptButton()->click();
}

void MasterDialogsTest::namesAreStoredWithoutOuterBlanks() {
    TestDatabase t;
    MessageCapture messages;
    AddMainKind("行政事业");
    AddKind(Receipt); // "收据"
    AddByDialog<CAddMainKindDlg>(QStringLiteral(" 政府基金\t"));
    AddByDialog<CAddDeptDlg>(QStringLiteral("  财务科 "));
    AddByDialog<CAddBrokerDlg>(QStringLiteral("\u3000张三 "));
    AddByDialog<CAddMadeDeptDlg>(QStringLiteral(" 省印刷厂"));
    AddByDialog<CAddManagerDlg>(QStringLiteral("王五 "));
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(t.Count(Bill_Main_Kind_Info, Eq(Bill_Main_Kind_Name, "政府基金")), 1);
    QCOMPARE(t.Count(Bill_Dept_Info, Eq(Bill_Dept_Name, "财务科")), 1);
    QCOMPARE(t.Count(Bill_Broker_Info, Eq(Bill_Broker_Name, "张三")), 1);
    QCOMPARE(t.Count(Bill_Made_Info, Eq(Bill_Made_Name, "省印刷厂")), 1);
    QCOMPARE(t.Count(Bill_Manager_Info, Eq(Bill_Manager_Name, "王五")), 1);

    // " 收据" is the kind "收据" already stored: refused as a duplicate, nothing added.
    CAddBillKindDlg kind(nullptr);
    kind.show();
    KindFields f;
    f.name = QStringLiteral(" 收据 ");
    Fill(kind, f);
    kind.AcceptButton()->click();
    QCOMPARE(messages.Texts(), QStringList{"收据 已经存在,请重新输入票据类型!"});
    QCOMPARE(t.Count(Bill_Kind_Info), 1);
    f.name = QStringLiteral(" 通用收据 ");
    Fill(kind, f);
    kind.AcceptButton()->click();
    QCOMPARE(t.Count(Bill_Kind_Info, Eq(Bill_Kind_Name, "通用收据")), 1);

    // Blanks alone are the empty name: refused without a word and without a row.
    messages.Clear();
    const int departments = t.Count(Bill_Dept_Info);
    AddByDialog<CAddDeptDlg>(QStringLiteral("   "));
    AddByDialog<CAddMainKindDlg>(QStringLiteral(" "));
    AddByDialog<CAddManagerDlg>(QStringLiteral("\u3000"));
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(t.Count(Bill_Dept_Info), departments);
    QCOMPARE(t.Count(Bill_Main_Kind_Info), 2);
    QCOMPARE(t.Count(Bill_Manager_Info), 1);
    f.name = QStringLiteral("  ");
    Fill(kind, f);
    kind.AcceptButton()->click();
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(t.Count(Bill_Kind_Info), 2);
}

void MasterDialogsTest::priceOfWholeCentsGivesBooksOfWholeCents() {
    TestDatabase t;
    MessageCapture messages;
    CAddBillKindDlg dlg(nullptr);
    dlg.show();
    KindFields f;
    f.price = QStringLiteral("0.07");
    f.amount = QStringLiteral("3");
    Fill(dlg, f);
    dlg.AcceptButton()->click();
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(t.Scalar(QString::asprintf("SELECT %s || '|' || %s FROM %s", Bill_Kind_Unit_Price, Bill_Kind_Unit_Total,
                                        Bill_Kind_Info)),
             QStringLiteral("0.07|0.21"));
}

void MasterDialogsTest::lookAlikeNamesAreOneName() {
    TestDatabase t;
    MessageCapture messages;
    AddMainKind("行政事业");
    AddByDialog<CAddMainKindDlg>(QStringLiteral("政府基金"));
    AddByDialog<CAddDeptDlg>(QStringLiteral("财务科"));
    AddByDialog<CAddBrokerDlg>(QStringLiteral("张三"));
    AddByDialog<CAddMadeDeptDlg>(QStringLiteral("ABC印刷厂"));
    AddByDialog<CAddManagerDlg>(QStringLiteral("王五"));
    QCOMPARE(messages.Count(), 0);
    // The same names with a zero-width space, a joiner, a direction mark, an ideographic space or
    // full-width letters: each refused as the name already stored.
    AddByDialog<CAddMainKindDlg>(QStringLiteral("政府\u200B基金"));
    AddByDialog<CAddDeptDlg>(QStringLiteral("财务科\u3000"));
    AddByDialog<CAddBrokerDlg>(QStringLiteral("\u200E张三"));
    AddByDialog<CAddMadeDeptDlg>(QStringLiteral("ＡＢＣ印刷厂"));
    AddByDialog<CAddManagerDlg>(QStringLiteral("王\u2060五"));
    QCOMPARE(messages.Count(), 5);
    for (const CapturedMessage &m : messages.Messages())
        QCOMPARE(m.caption, QStringLiteral("同名错误!"));
    QCOMPARE(t.Count(Bill_Main_Kind_Info), 2);
    QCOMPARE(t.Count(Bill_Dept_Info), 1);
    QCOMPARE(t.Count(Bill_Broker_Info), 1);
    QCOMPARE(t.Count(Bill_Made_Info), 1);
    QCOMPARE(t.Count(Bill_Manager_Info), 1);

    CAddBillKindDlg kind(nullptr);
    kind.show();
    KindFields f;
    f.name = QStringLiteral("ｶﾅ票据\u202E");
    Fill(kind, f);
    kind.AcceptButton()->click();
    QCOMPARE(t.Count(Bill_Kind_Info, Eq(Bill_Kind_Name, "カナ票据")), 1);
    f.name = QStringLiteral("カナ\uFEFF票据");
    Fill(kind, f);
    kind.AcceptButton()->click();
    QCOMPARE(messages.Last().text, QStringLiteral("カナ票据 已经存在,请重新输入票据类型!"));
    QCOMPARE(t.Count(Bill_Kind_Info), 1);

    // Nothing visible is no name: refused as blanks are, without a word.
    messages.Clear();
    AddByDialog<CAddDeptDlg>(QStringLiteral("\u200B\u200D"));
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(t.Count(Bill_Dept_Info), 1);
}

void MasterDialogsTest::tabFollowsTheFieldsOfTheKindDialog() {
    TestDatabase t;
    AddMainKind("行政事业");
    CAddBillKindDlg dlg(nullptr);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    dlg.activateWindow();
    const QList<QWidget *> expected{dlg.findChild<QComboBox *>("mainKind"),
                                    dlg.NameEdit(),
                                    dlg.PriceEdit(),
                                    dlg.AmountEdit(),
                                    dlg.PrefixEdit(),
                                    dlg.SuffixEdit(),
                                    dlg.LengthEdit(),
                                    dlg.StockLimitEdit(),
                                    dlg.KeepAddingBox(),
                                    dlg.NoneFixedBox(),
                                    dlg.AcceptButton(),
                                    dlg.CloseButton()};
    expected.first()->setFocus();
    for (int i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY2(QApplication::focusWidget() == expected.at(i), qPrintable(QString::number(i)));
    }
}

QTEST_MAIN(MasterDialogsTest)
#include "tst_masterdlg.moc"
