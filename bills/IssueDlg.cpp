#include "bills/IssueDlg.h"

#include "app/Database.h"
#include "app/Messages.h"
#include "app/TabOrder.h"
#include "bills/BillNumbers.h"
#include "bills/MasterNames.h"
#include "lists/QueryListCtrl.h"
#include "masterdata/Managers.h"
#include "reports/ExportList.h"
#include "reports/PrintEngine.h"
#include "schema/Schema.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTreeWidget>

using namespace schema;

namespace {

// The name the issue list is printed and exported under.
QString IssueListName() {
    return QStringLiteral("Pelorvanide_发放清单");
}

QString NotInStockMessage(const QString &full) {
    return QStringLiteral("编号 %1 不在票据仓库中，可能正在被其他人使用，也可能没有入库。").arg(full);
}

} // namespace

CIssueDlg::CIssueDlg(CQueryListCtrl *mainList, QWidget *parent)
    : QDialog(parent), m_mainList(mainList), m_picker(this), m_tree(new QTreeWidget(this)),
      m_documentNo(ReadOnlyField(this, "documentNo")), m_dept(ReadOnlyField(this, "dept")),
      m_broker(ReadOnlyField(this, "broker")), m_managers(new QComboBox(this)),
      m_issueTime(DateTimePicker(this, "issueTime")), m_continuous(new QCheckBox(QStringLiteral("连续发放"), this)),
      m_list(new CQueryListCtrl(this)) {
    setWindowTitle(QStringLiteral("票据发放"));
    OrderTabsByPosition(this);
    m_tree->setObjectName(QStringLiteral("tree"));
    m_tree->setHeaderHidden(true);
    m_managers->setObjectName(QStringLiteral("manager"));
    m_continuous->setObjectName(QStringLiteral("continuous"));
    m_list->setObjectName(QStringLiteral("pending"));
    BuildLayout();
    SwallowEnterKey(this);
    // Choosing a kind reloads it even when it is the one shown: a continuous issue cleared its
    // prefix and suffix.
    connect(m_picker.Kinds(), &QComboBox::currentIndexChanged, this, &CIssueDlg::OnKindChanged);
    connect(m_picker.Kinds(), &QComboBox::activated, this, &CIssueDlg::OnKindChanged);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, &CIssueDlg::OnTreeDoubleClick);
    OnInitDialog();
}

void CIssueDlg::BuildLayout() {
    auto label = [this](const char *text) { return new QLabel(QString::fromUtf8(text), this); };
    auto *left = new QVBoxLayout;
    left->addWidget(label("部门列表："));
    left->addWidget(m_tree, 1);

    auto *fields = new QGridLayout;
    fields->addWidget(label("发放单："), 0, 0);
    fields->addWidget(m_documentNo, 0, 1);
    fields->addWidget(label("领票部门名称："), 1, 0);
    fields->addWidget(m_dept, 1, 1);
    fields->addWidget(label("领票人姓名："), 1, 2);
    fields->addWidget(m_broker, 1, 3);
    fields->addWidget(label("管理员姓名："), 2, 0);
    fields->addWidget(m_managers, 2, 1);
    fields->addWidget(label("发票时间："), 2, 2);
    fields->addWidget(m_issueTime, 2, 3);
    fields->addWidget(label("票据类型："), 3, 0);
    fields->addWidget(m_picker.Kinds(), 3, 1);
    fields->addWidget(m_continuous, 3, 3);
    fields->addWidget(label("发放票据开始编号："), 4, 0);
    fields->addLayout(NumberRow(m_picker.Prefix(), m_picker.Digits(), m_picker.Suffix()), 4, 1, 1, 3);

    QHBoxLayout *buttons = ButtonRow(this, {{"发放", "issue", [this] { IssueAll(); }},
                                            {"打印", "print", [this] { PrintIssueList(); }},
                                            {"导出", "export", [this] { ExportList(*m_list, IssueListName(), this); }},
                                            {"插入", "insert", [this] { AddBook(); }},
                                            {"删除", "remove", [this] { DeleteSelectedRows(m_list); }},
                                            {"还原", "restore", [this] { RestoreList(); }},
                                            {"关闭", "close", [this] { reject(); }}});

    auto *right = new QVBoxLayout;
    right->addLayout(fields);
    right->addWidget(label("票据列表："));
    right->addWidget(m_list, 1);
    right->addLayout(buttons);
    auto *page = new QHBoxLayout(this);
    page->addLayout(left, 1);
    page->addLayout(right, 3);
}

void CIssueDlg::OnInitDialog() {
    LayOutPendingList(m_list, QString::asprintf("SELECT %s AS 票据类型,%s AS 开始编号,%s AS 结尾编号,%s AS 单价,%s AS "
                                                "张数,%s AS 金额 FROM %s WHERE %s = '%s'",
                                                Bill_Kind, Bill_Begin_Char, Bill_End_Char, Bill_Unit_Price,
                                                Bill_Unit_Amount, Bill_Unit_Total, Bill_Info, Bill_Flag, FlagNone));
    BuildTree();
    PrefillFromMainList();
    m_picker.FillKinds();
    FillNames(m_managers, [] { return ManagerNamesCurrentFirst(); });
    double documentNo = 0;
    if (NextDocumentNumber(Bill_Issue_No, documentNo))
        m_documentNo->setText(FormatDocumentNumber(documentNo));
}

void CIssueDlg::BuildTree() {
    QStringList departments;
    QVector<QPair<QString, QString>> brokers;
    try {
        departments = ReadNames(Bill_Dept_Info, Bill_Dept_Name);
        brokers = ReadDepartmentBrokers();
    } catch (const CDbError &e) {
        ReportDbError(e);
    }
    const QIcon deptIcon = style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon brokerIcon = style()->standardIcon(QStyle::SP_FileIcon);
    for (const QString &name : departments)
        new QTreeWidgetItem(m_tree, QStringList(name));
    for (auto &[dept, broker] : brokers) {
        // Recipients of departments sharing a name all go under the first of them.
        const QList<QTreeWidgetItem *> found = m_tree->findItems(dept, Qt::MatchExactly);
        if (!found.isEmpty())
            new QTreeWidgetItem(found.first(), QStringList(broker));
    }
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *dept = m_tree->topLevelItem(i);
        dept->setIcon(0, deptIcon);
        for (int j = 0; j < dept->childCount(); ++j)
            dept->child(j)->setIcon(0, brokerIcon);
    }
}

void CIssueDlg::OnKindChanged() {
    m_picker.LoadKind();
}

void CIssueDlg::OnTreeDoubleClick(QTreeWidgetItem *item) {
    if (!item)
        return;
    if (QTreeWidgetItem *dept = item->parent()) {
        m_dept->setText(dept->text(0));
        m_broker->setText(item->text(0));
    } else {
        m_dept->setText(item->text(0));
        m_broker->clear();
    }
}

void CIssueDlg::PrefillFromMainList() {
    if (!m_mainList)
        return;
    for (const QStringList &cells : SelectedBookTexts(m_mainList))
        AppendPendingRow(m_list, cells, false);
}

void CIssueDlg::RestoreList() {
    m_list->DeleteAllRows();
    PrefillFromMainList();
}

void CIssueDlg::AddBook() {
    QString full;
    if (!m_picker.TakeNewNumber(m_list, full))
        return;
    RunInfo run;
    if (!FindRunReported(m_picker.Kinds()->currentText(), full, run, FlagStock)) {
        ShowMessage(NotInStockMessage(full), QStringLiteral("编号仓库报错"), MsgIcon::Exclamation);
        return;
    }
    AppendPendingRow(m_list, m_picker.NewBookCells(full));
}

void CIssueDlg::IssueAll() {
    if (m_dept->text().isEmpty() || m_broker->text().isEmpty())
        return;
    QVector<RunKey> runs;
    for (int row = 0; row < m_list->RowCount(); ++row)
        runs << PendingRun(m_list, row);
    const IssueStamp stamp{
        FormatDateTime(m_issueTime->dateTime()), m_dept->text(),   m_broker->text(), m_managers->currentText(),
        m_documentNo->text().toDouble(),         m_documentWritten};
    MoveOutcome outcome;
    try {
        outcome = IssueRuns(runs, stamp);
    } catch (const CDbError &e) {
        // Nothing was issued; the list stays for another try.
        ReportDbError(e);
        return;
    }
    if (outcome.kind != MoveOutcome::Done) {
        // Every run that is not in stock any more is named, those another desk took meanwhile too.
        ShowPendingRow(m_list, outcome.row);
        QStringList taken;
        for (int row : outcome.rows)
            taken << runs[row].beginChar;
        ShowMessage(NotInStockMessage(taken.join(QStringLiteral("、"))), QStringLiteral("编号仓库报错"),
                    MsgIcon::Exclamation);
        return;
    }
    // Another desk may have written a document under the number shown meanwhile: this one's is shown.
    m_documentNo->setText(FormatDocumentNumber(outcome.documentNo));
    m_documentWritten = true;
    if (m_mainList)
        RemoveRuns(m_mainList, runs);
    if (!m_continuous->isChecked()) {
        accept();
        return;
    }
    // The document number stays: every issue until the dialog closes is one document.
    for (QLineEdit *field : {m_dept, m_broker, m_picker.Digits(), m_picker.Prefix(), m_picker.Suffix()})
        field->clear();
    m_picker.Digits()->setFocus();
    m_list->DeleteAllRows();
}

void CIssueDlg::PrintIssueList() {
    PrintList(*m_list, IssueListName());
}
