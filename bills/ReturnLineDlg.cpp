#include "bills/ReturnLineDlg.h"

#include "app/BusyWindow.h"
#include "app/Database.h"
#include "app/TabOrder.h"
#include "bills/BillNumbers.h"
#include "bills/MasterNames.h"
#include "bills/ModalRunner.h"
#include "bills/NonFixedBillDlg.h"
#include "bills/StockDialogParts.h"
#include "lists/QueryListCtrl.h"
#include "schema/Schema.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

using namespace schema;

namespace {
QComboBox *EditableList(QWidget *parent, const char *objectName) {
    auto *list = new QComboBox(parent);
    list->setObjectName(QLatin1String(objectName));
    list->setEditable(true);
    return list;
}
} // namespace

CReturnLineDlg::CReturnLineDlg(CQueryListCtrl *returnList, QWidget *parent)
    : QDialog(parent), m_returnList(returnList), m_kind(ReadOnlyField(this, "kind")),
      m_first(ReadOnlyField(this, "first")), m_last(ReadOnlyField(this, "last")),
      m_returnedLast(ReadOnlyField(this, "returnedLast")), m_price(ReadOnlyField(this, "price")),
      m_count(ReadOnlyField(this, "count")), m_returnedAmount(ReadOnlyField(this, "returnedAmount")),
      m_returnedCount(new QSpinBox(this)), m_depts(EditableList(this, "dept")),
      m_brokers(EditableList(this, "broker")) {
    setWindowTitle(QStringLiteral("修改"));
    OrderTabsByPosition(this);
    m_returnedCount->setObjectName(QStringLiteral("returnedCount"));
    // The count moves only by its arrows, one bill at a time.
    m_returnedCount->findChild<QLineEdit *>()->setReadOnly(true);
    BuildLayout();
    SwallowEnterKey(this);
    connect(m_returnedCount, &QSpinBox::valueChanged, this, &CReturnLineDlg::OnCountSpin);
    OnInitDialog();
}

void CReturnLineDlg::BuildLayout() {
    auto *grid = new QGridLayout;
    const struct {
        const char *label;
        QWidget *field;
    } rows[] = {{"票据类型：", m_kind},
                {"开始编号：", m_first},
                {"结尾编号：", m_last},
                {"返还结尾编号：", m_returnedLast},
                {"单价：", m_price},
                {"张数：", m_count},
                {"回收张数：(***)", m_returnedCount},
                {"回收金额：", m_returnedAmount},
                {"返还部门：", m_depts},
                {"返还人姓名：", m_brokers}};
    int line = 0;
    for (const auto &row : rows) {
        grid->addWidget(new QLabel(QString::fromUtf8(row.label), this), line, 0);
        grid->addWidget(row.field, line++, 1);
    }
    auto *page = new QVBoxLayout(this);
    page->addLayout(grid);
    page->addLayout(ButtonRow(this, {{"上一个", "previous", [this] { PreviousLine(); }},
                                     {"下一个", "next", [this] { NextLine(); }},
                                     {"修改", "save", [this] { SaveLine(); }},
                                     {"关闭", "close", [this] { reject(); }}}));
}

void CReturnLineDlg::OnInitDialog() {
    m_rows = m_returnList->SelectedRows();
    m_position = 0;
    FillNames(m_depts, [] { return ReadNames(Bill_Dept_Info, Bill_Dept_Name); });
    FillNames(m_brokers, [] { return ReadNames(Bill_Broker_Info, Bill_Broker_Name); });
    LoadLine();
}

void CReturnLineDlg::LoadLine() {
    const int row = CurrentRow();
    if (row < 0)
        return;
    auto cell = [&](const QString &t) { return CellText(m_returnList, row, t); };
    m_kind->setText(cell(title::Kind));
    m_first->setText(cell(title::Begin));
    m_last->setText(cell(title::End));
    m_returnedLast->setText(cell(title::ReturnEnd));
    m_price->setText(cell(title::Price));
    m_count->setText(cell(title::Amount));
    m_returnedAmount->setText(cell(title::ReturnTotal));

    bool found = false;
    {
        CBusyWindow busy(this);
        found = FindRunReported(m_kind->text(), m_first->text(), m_run, FlagIssued);
    }
    // The line's own cells stand when its run is not issued; another line's run must not.
    if (!found)
        m_run = RunInfo();
    m_depts->setEditText(found ? m_run.issueDept : cell(title::ReturnDept));
    m_brokers->setEditText(found ? m_run.issueBroker : cell(title::ReturnBroker));

    const QSignalBlocker quiet(m_returnedCount);
    m_returnedCount->setRange(1, qMax(1, ParseReturnCount(m_count->text())));
    m_returnedCount->setValue(ParseReturnCount(cell(title::ReturnAmount)));
}

void CReturnLineDlg::OnCountSpin(int count) {
    const int c = ClampReturnCount(count, ParseReturnCount(m_count->text()));
    m_returnedLast->setText(ReturnedLastNumber(m_run, m_first->text(), c));
    if (!m_run.noneFixed)
        m_returnedAmount->setText(FormatMoney(m_run.unitPrice * c));
}

void CReturnLineDlg::SaveLine() {
    const int row = CurrentRow();
    if (row < 0)
        return;
    if (m_run.noneFixed) {
        CNonFixedBillDlg bills({m_kind->text(), m_run.mainKind, m_first->text()}, this);
        RunModal(bills);
        m_returnedAmount->setText(FormatMoney(bills.Total()));
        if (bills.CountedBills() > 0) {
            const QSignalBlocker quiet(m_returnedCount);
            m_returnedCount->setValue(bills.CountedBills());
        }
    }
    double amount = 0;
    QString normalised;
    const bool parsed = ParseMoneyText(m_returnedAmount->text(), amount, normalised);
    if (!parsed || !IsWholeCents(amount)) {
        if (parsed)
            ShowCentsRefusal();
        else
            ShowMoneyRefusal();
        m_returnedAmount->setFocus();
        m_returnedAmount->selectAll();
        return;
    }
    m_returnedAmount->setText(normalised);
    m_returnList->SetItemTextByTitle(row, title::ReturnTotal, normalised);
    m_returnList->SetItemTextByTitle(row, title::ReturnDept, m_depts->currentText());
    m_returnList->SetItemTextByTitle(row, title::ReturnBroker, m_brokers->currentText());
    m_returnList->SetItemTextByTitle(row, title::ReturnEnd, m_returnedLast->text());
    m_returnList->SetItemTextByTitle(row, title::ReturnAmount, QString::number(m_returnedCount->value()));
    if (m_run.noneFixed)
        m_returnList->SetItemTextByTitle(row, title::Total, normalised);
    m_returnList->scrollTo(m_returnList->model()->index(row, 0));
}

void CReturnLineDlg::PreviousLine() {
    m_position = qMax(0, m_position - 1);
    LoadLine();
}

void CReturnLineDlg::NextLine() {
    m_position = qMin(int(m_rows.size()) - 1, m_position + 1);
    LoadLine();
}
