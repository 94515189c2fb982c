#include "bills/NonFixedBillDlg.h"

#include "app/Database.h"
#include "app/Messages.h"
#include "app/TabOrder.h"
#include "bills/BillNumbers.h"
#include "bills/StockDialogParts.h"
#include "lists/QueryListCtrl.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

namespace {
const QString NumberTitle = QStringLiteral("票据编号");
const QString AmountTitle = QStringLiteral("票据金额");
// The largest amount one bill may carry, in yuan.
constexpr double MaxBillAmount = 2147483647.0;
} // namespace

CNonFixedBillDlg::CNonFixedBillDlg(const BookKey &book, QWidget *parent)
    : QDialog(parent), m_book(book), m_list(new CQueryListCtrl(this)), m_billNumber(ReadOnlyField(this, "billNumber")),
      m_amount(new QLineEdit(this)), m_totalField(ReadOnlyField(this, "total")),
      m_record(new QPushButton(QStringLiteral("登记单价"), this)),
      m_close(new QPushButton(QStringLiteral("关闭"), this)) {
    setWindowTitle(QStringLiteral("不固定金额票据"));
    OrderTabsByPosition(this);
    m_list->setObjectName(QStringLiteral("bills"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_amount->setObjectName(QStringLiteral("amount"));
    m_record->setObjectName(QStringLiteral("record"));
    m_close->setObjectName(QStringLiteral("close"));
    m_close->setAutoDefault(false);
    m_record->setDefault(true);

    auto *fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("票据编号："), this), 0, 0);
    fields->addWidget(m_billNumber, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("票据金额(元)："), this), 1, 0);
    fields->addWidget(m_amount, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("总金额(元)："), this), 2, 0);
    fields->addWidget(m_totalField, 2, 1);
    fields->addWidget(m_record, 3, 1);
    fields->addWidget(m_close, 4, 1);
    fields->setRowStretch(5, 1);
    auto *page = new QHBoxLayout(this);
    page->addWidget(m_list, 1);
    page->addLayout(fields);

    connect(m_list, &QAbstractItemView::clicked, this, &CNonFixedBillDlg::OnListClick);
    connect(m_record, &QPushButton::clicked, this, &CNonFixedBillDlg::RecordAmount);
    connect(m_close, &QPushButton::clicked, this, &CNonFixedBillDlg::OnClose);
    OnInitDialog();
}

void CNonFixedBillDlg::OnInitDialog() {
    LayOutPendingList(m_list, SingleBillListStatement(m_book));
    RefreshTotal();
}

void CNonFixedBillDlg::OnListClick() {
    const QList<int> rows = m_list->SelectedRows();
    if (rows.isEmpty())
        return;
    m_billNumber->setText(CellText(m_list, rows.first(), NumberTitle));
    m_amount->setText(CellText(m_list, rows.first(), AmountTitle));
}

void CNonFixedBillDlg::RecordAmount() {
    const QString billNumber = m_billNumber->text();
    if (billNumber.isEmpty())
        return;
    double amount = 0;
    if (!ParseDecimalText(m_amount->text(), amount) || std::fabs(amount) > MaxBillAmount) {
        ShowMessage(QStringLiteral("票据金额只能填写数字，请重新输入!"), QStringLiteral("金额错误"),
                    MsgIcon::Exclamation);
        m_amount->setFocus();
        m_amount->selectAll();
        return;
    }
    if (!IsWholeCents(amount)) {
        ShowCentsRefusal();
        m_amount->setFocus();
        m_amount->selectAll();
        return;
    }
    try {
        RecordBillAmount(m_book, billNumber, amount);
    } catch (const CDbError &e) {
        // The list keeps showing what is stored.
        ReportDbError(e);
        return;
    }
    RefreshTotal();
    const int column = m_list->ColumnIndexOfTitle(AmountTitle);
    for (int row = 0; row < m_list->RowCount(); ++row) {
        if (CellText(m_list, row, NumberTitle) == billNumber) {
            m_list->SetItemText(row, column, QString::asprintf("%.2f", amount));
            break;
        }
    }
}

void CNonFixedBillDlg::RefreshTotal() {
    try {
        m_total = SingleBillTotal(m_book);
    } catch (const CDbError &e) {
        ReportDbError(e);
        return;
    }
    m_totalField->setText(QString::number(m_total, 'f', 2));
}

int CNonFixedBillDlg::CountedBills() const {
    QStringList amounts;
    for (int row = 0; row < m_list->RowCount(); ++row)
        amounts << CellText(m_list, row, AmountTitle);
    return CountAmounts(amounts);
}

void CNonFixedBillDlg::OnClose() {
    accept();
}
