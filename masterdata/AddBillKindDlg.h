#pragma once
#include "masterdata/AddNameDlg.h"
#include "masterdata/BillKinds.h"

class QComboBox;

// "增加票据类型": adds a kind with its main kind, price, book size and number format. The typed length
// is the whole number's; the digits stored are what prefix and suffix leave of it.
class CAddBillKindDlg : public CAddNameDlg {
    Q_OBJECT
public:
    CAddBillKindDlg(std::function<void()> refreshParentList, QWidget *parent = nullptr);

    QComboBox *MainKindBox() const { return m_mainKind; }
    QLineEdit *PriceEdit() const { return m_price; }
    QLineEdit *AmountEdit() const { return m_amount; }
    QLineEdit *PrefixEdit() const { return m_prefix; }
    QLineEdit *SuffixEdit() const { return m_suffix; }
    QLineEdit *LengthEdit() const { return m_length; }
    QCheckBox *NoneFixedBox() const { return m_noneFixed; }
    QLineEdit *StockLimitEdit() const { return m_stockLimit; }

protected:
    bool TakeFields() override;
    bool HasRequiredValues(const QString &name) const override;
    bool PrepareInsert() override;
    bool InsertEntry(const QString &name) override;

private:
    QLineEdit *AddEditRow(const QString &label, const QString &text, const char *objectName);
    // A number field as the dialog takes it: empty reads as 0; text that is no number, or a number
    // outside the range, is refused with the range message and the field is selected for correction.
    static bool ReadNumberField(QLineEdit *edit, double min, double max, bool integer, double &value);

    QComboBox *m_mainKind;
    QLineEdit *m_price;
    QLineEdit *m_amount;
    QLineEdit *m_prefix;
    QLineEdit *m_suffix;
    QLineEdit *m_length;
    QLineEdit *m_stockLimit;
    QCheckBox *m_noneFixed;
    KindEntry m_entry;
    int m_digits = 0;
};
