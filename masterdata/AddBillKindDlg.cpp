#include "masterdata/AddBillKindDlg.h"

#include "app/Messages.h"
#include "bills/BillNumbers.h"
#include "masterdata/NameTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>

namespace {
constexpr double MaxUnitPrice = 1e9;
constexpr int MaxUnitAmount = 10000;
constexpr qint64 MaxLength = 4294967295LL;
constexpr double MaxStockLimit = 1000000;
} // namespace

bool CAddBillKindDlg::ReadNumberField(QLineEdit *edit, double min, double max, bool integer, double &value) {
    const QString text = edit->text().trimmed();
    bool ok = true;
    double number = 0;
    if (!text.isEmpty())
        number = integer ? double(text.toLongLong(&ok)) : text.toDouble(&ok);
    if (ok && number >= min && number <= max) {
        value = number;
        return true;
    }
    ShowMessage(RangeMessage(min, max, integer), ApplicationTitle(), MsgIcon::Exclamation);
    FocusAndSelect(edit);
    return false;
}

CAddBillKindDlg::CAddBillKindDlg(std::function<void()> refreshParentList, QWidget *parent)
    : CAddNameDlg({QStringLiteral("增加票据类型"), QStringLiteral("新增票据类型名称："),
                   QStringLiteral("%s 已经存在,请重新输入票据类型!")},
                  &nametables::Kinds, std::move(refreshParentList), parent),
      m_mainKind(new QComboBox(this)), m_noneFixed(new QCheckBox(QStringLiteral("不固定金额票据"), this)) {
    m_mainKind->setObjectName(QStringLiteral("mainKind"));
    m_noneFixed->setObjectName(QStringLiteral("noneFixed"));
    Form()->insertRow(0, QStringLiteral("票据主类型名称："), m_mainKind);
    m_price = AddEditRow(QStringLiteral("票据单价："), QStringLiteral("0"), "price");
    m_amount = AddEditRow(QStringLiteral("票据单位数量："), QStringLiteral("100"), "amount");
    m_prefix = AddEditRow(QStringLiteral("票据前缀符号："), QString(), "prefix");
    m_suffix = AddEditRow(QStringLiteral("票据后缀符号："), QString(), "suffix");
    m_length = AddEditRow(QStringLiteral("票据长度：(必填)"), QStringLiteral("0"), "length");
    m_stockLimit = AddEditRow(QStringLiteral("库存下限："), QStringLiteral("0"), "stockLimit");
    CheckRow()->insertWidget(1, m_noneFixed);

    m_mainKind->addItems(MainKindNames());
    if (m_mainKind->count() > 0)
        m_mainKind->setCurrentIndex(0);
}

QLineEdit *CAddBillKindDlg::AddEditRow(const QString &label, const QString &text, const char *objectName) {
    auto *edit = new QLineEdit(text, this);
    edit->setObjectName(QLatin1String(objectName));
    Form()->addRow(label, edit);
    return edit;
}

bool CAddBillKindDlg::TakeFields() {
    double price = 0;
    double amount = 0;
    double length = 0;
    double stockLimit = 0;
    if (!ReadNumberField(m_price, 0, MaxUnitPrice, false, price))
        return false;
    if (!IsWholeCents(price)) {
        ShowCentsRefusal();
        FocusAndSelect(m_price);
        return false;
    }
    if (!ReadNumberField(m_amount, 0, MaxUnitAmount, true, amount) ||
        !ReadNumberField(m_length, 0, double(MaxLength), true, length) ||
        !ReadNumberField(m_stockLimit, 0, MaxStockLimit, true, stockLimit))
        return false;
    m_entry.stockLimit = int(stockLimit);
    m_entry.name = NameEdit()->text();
    m_entry.unitPrice = price;
    m_entry.unitAmount = int(amount);
    m_entry.length = qint64(length);
    m_entry.prefix = m_prefix->text();
    m_entry.suffix = m_suffix->text();
    m_entry.noneFixed = m_noneFixed->isChecked();
    return true;
}

bool CAddBillKindDlg::HasRequiredValues(const QString &) const {
    return HasRequiredKindValues(m_entry);
}

bool CAddBillKindDlg::PrepareInsert() {
    if (m_entry.noneFixed)
        m_entry.unitPrice = 0;
    m_entry.prefix = WithoutSpaces(m_entry.prefix);
    m_entry.suffix = WithoutSpaces(m_entry.suffix);
    m_prefix->setText(m_entry.prefix);
    m_suffix->setText(m_entry.suffix);
    const qint64 digits = KindDigits(m_entry);
    if (!IsKindDigitsValid(digits)) {
        ShowMessage(QStringLiteral("票据长度不正确!"), QStringLiteral("长度错误!"), MsgIcon::Exclamation);
        FocusAndSelect(m_length);
        return false;
    }
    m_digits = int(digits);
    m_entry.mainKind = m_mainKind->currentText();
    return true;
}

bool CAddBillKindDlg::InsertEntry(const QString &) {
    return RunReported(ErrorReport::Db, [this] { ExecuteInsertKind(m_entry, m_digits); });
}
