#include "bills/ReturnDlg.h"

#include "app/Database.h"
#include "app/Messages.h"
#include "app/TabOrder.h"
#include "bills/BillNumbers.h"
#include "bills/MasterNames.h"
#include "bills/ModalRunner.h"
#include "bills/ReturnLineDlg.h"
#include "lists/QueryListCtrl.h"
#include "masterdata/Managers.h"
#include "schema/Schema.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

using namespace schema;

namespace {

// The first numbers of the refused lines, as one message names them.
QString RefusedRuns(const QVector<ReturnLine> &lines, const QVector<int> &rows) {
    QStringList names;
    for (int row : rows)
        names << lines[row].run.beginChar;
    return names.join(QStringLiteral("、"));
}

QString NotIssuedMessage(const QString &full) {
    return QStringLiteral("编号 %1 没有被人领出，或者没有入库。").arg(full);
}

} // namespace

CReturnDlg::CReturnDlg(CQueryListCtrl *mainList, QWidget *parent)
    : QDialog(parent), m_mainList(mainList), m_picker(this), m_managers(new QComboBox(this)),
      m_returnTime(DateTimePicker(this, "returnTime")), m_documentNo(ReadOnlyField(this, "documentNo")),
      m_list(new CQueryListCtrl(this)) {
    setWindowTitle(QStringLiteral("票据回收"));
    OrderTabsByPosition(this);
    m_managers->setObjectName(QStringLiteral("manager"));
    m_list->setObjectName(QStringLiteral("pending"));
    BuildLayout();
    SwallowEnterKey(this);
    connect(m_picker.Kinds(), &QComboBox::currentIndexChanged, this, &CReturnDlg::OnKindChanged);
    connect(m_picker.Kinds(), &QComboBox::activated, this, &CReturnDlg::OnKindChanged);
    OnInitDialog();
}

void CReturnDlg::BuildLayout() {
    auto label = [this](const char *text) { return new QLabel(QString::fromUtf8(text), this); };
    auto *fields = new QGridLayout;
    fields->addWidget(label("管理员姓名："), 0, 0);
    fields->addWidget(m_managers, 0, 1);
    fields->addWidget(label("回收时间："), 0, 2);
    fields->addWidget(m_returnTime, 0, 3);
    fields->addWidget(label("回收单："), 1, 0);
    fields->addWidget(m_documentNo, 1, 1);
    fields->addWidget(label("票据类型："), 1, 2);
    fields->addWidget(m_picker.Kinds(), 1, 3);
    fields->addWidget(label("回收票据开始编号："), 2, 0);
    fields->addLayout(NumberRow(m_picker.Prefix(), m_picker.Digits(), m_picker.Suffix()), 2, 1, 1, 3);

    auto *page = new QVBoxLayout(this);
    page->addLayout(fields);
    page->addWidget(m_list, 1);
    page->addLayout(ButtonRow(this, {{"回收", "return", [this] { ReturnAll(); }},
                                     {"插入", "insert", [this] { AddBook(); }},
                                     {"删除", "remove", [this] { DeleteSelectedRows(m_list); }},
                                     {"修改", "edit", [this] { EditLines(); }},
                                     {"还原", "restore", [this] { RestoreList(); }},
                                     {"关闭", "close", [this] { reject(); }}}));
}

void CReturnDlg::OnInitDialog() {
    LayOutPendingList(m_list, QString::asprintf("SELECT %s AS 票据类型,%s AS 开始编号,%s AS 结尾编号,%s AS "
                                                "返还结尾编号,%s AS 单价,%s AS 张数,%s AS 回收张数,%s AS 金额,%s AS "
                                                "回收金额,%s AS 返还部门,%s AS 返还人 FROM %s WHERE %s = '%s'",
                                                Bill_Kind, Bill_Begin_Char, Bill_End_Char, Bill_Return_End_Char,
                                                Bill_Unit_Price, Bill_Unit_Amount, Bill_Unit_Return_Amount,
                                                Bill_Unit_Total, Bill_Unit_Return_Total, Bill_Return_Dept,
                                                Bill_Return_Broker, Bill_Info, Bill_Flag, FlagNone));
    PrefillFromMainList();
    m_picker.FillKinds();
    FillNames(m_managers, [] { return ManagerNamesCurrentFirst(); });
    double documentNo = 0;
    if (NextDocumentNumber(Bill_Return_No, documentNo))
        m_documentNo->setText(FormatDocumentNumber(documentNo));
}

void CReturnDlg::OnKindChanged() {
    m_picker.LoadKind();
}

void CReturnDlg::AppendBook(QStringList cells, const RunInfo *run, bool select) {
    QString total = cells[5];
    if (run && run->noneFixed) {
        // A book of non-fixed amount is worth what its single bills were recorded at.
        try {
            total = FormatMoney(SingleBillTotal({cells[0], run->mainKind, cells[1]}));
        } catch (const CDbError &e) {
            ReportDbError(e);
        }
    }
    const QString dept = run ? run->issueDept : QString();
    const QString broker = run ? run->issueBroker : QString();
    AppendPendingRow(m_list,
                     {cells[0], cells[1], cells[2], cells[2], cells[3], cells[4], cells[4], total, total, dept, broker},
                     select);
}

void CReturnDlg::PrefillFromMainList() {
    if (!m_mainList)
        return;
    for (const QStringList &cells : SelectedBookTexts(m_mainList)) {
        RunInfo run;
        const bool found = FindRunReported(cells[0], cells[1], run);
        AppendBook(cells, found ? &run : nullptr, false);
    }
}

void CReturnDlg::RestoreList() {
    m_list->DeleteAllRows();
    PrefillFromMainList();
}

void CReturnDlg::AddBook() {
    QString full;
    if (!m_picker.TakeNewNumber(m_list, full))
        return;
    RunInfo run;
    if (!FindRunReported(m_picker.Kinds()->currentText(), full, run, FlagIssued)) {
        ShowMessage(NotIssuedMessage(full), QStringLiteral("编号回收报错"), MsgIcon::Exclamation);
        return;
    }
    AppendBook(m_picker.NewBookCells(full), &run, true);
}

void CReturnDlg::EditLines() {
    if (!m_list->HasSelection())
        return;
    CReturnLineDlg editor(m_list, this);
    RunModal(editor);
}

void CReturnDlg::ReturnAll() {
    QVector<ReturnLine> lines;
    for (int row = 0; row < m_list->RowCount(); ++row) {
        auto cell = [&](const QString &t) { return CellText(m_list, row, t); };
        lines.append({PendingRun(m_list, row), cell(title::ReturnDept), cell(title::ReturnBroker),
                      cell(title::ReturnTotal), cell(title::ReturnEnd), cell(title::ReturnAmount), cell(title::Total)});
    }
    const ReturnStamp stamp{FormatDateTime(m_returnTime->dateTime()), m_managers->currentText(),
                            m_documentNo->text().toDouble()};
    MoveOutcome outcome;
    try {
        outcome = ReturnRuns(lines, stamp);
    } catch (const CDbError &e) {
        // Nothing was returned; the list stays for another try.
        ReportDbError(e);
        return;
    }
    if (outcome.kind != MoveOutcome::Done) {
        ShowPendingRow(m_list, outcome.row);
        if (outcome.kind == MoveOutcome::BadAmount)
            ShowMoneyRefusal();
        else
            ShowMessage(NotIssuedMessage(RefusedRuns(lines, outcome.rows)), QStringLiteral("编号回收报错"),
                        MsgIcon::Exclamation);
        return;
    }
    if (m_mainList) {
        QVector<RunKey> runs;
        for (const ReturnLine &line : lines)
            runs << line.run;
        RemoveRuns(m_mainList, runs);
    }
    accept();
}
