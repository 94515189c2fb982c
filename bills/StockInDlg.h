#pragma once
#include "bills/StockIn.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QPushButton;
class QSpinBox;

// "票据入库": takes newly printed books of one kind into stock, one row per book, refusing numbers
// that overlap books already recorded. With "连续增加" the dialog stays open for the next entry and
// the entries share one document number.
class CStockInDlg : public QDialog {
    Q_OBJECT
public:
    explicit CStockInDlg(QWidget *parent = nullptr);

    void OnKindChanged();
    void OnBooksChanged();
    void OnConfirm();
    // Writes the entry; false when it was refused (a stored run holds a number of it) or failed.
    bool InsertRuns();
    void ClearEntry();

private:
    void OnInitDialog();
    void BuildLayout();
    // The end follows the begin as it is typed, so the range checked and stored is the one shown.
    void OnBeginChanged();
    // What the framework checks when the dialog's values are taken: the number fields' lengths.
    bool TakeValues();
    void ShowEnd(bool reportFormat);
    StockInEntry Entry() const;

    KindParams m_kind;
    QComboBox *m_kinds;
    QLineEdit *m_mainKind;
    QLineEdit *m_unitPrice;
    QLineEdit *m_unitAmount;
    QLineEdit *m_bookTotal;
    QLineEdit *m_length;
    QLineEdit *m_beginPrefix;
    QLineEdit *m_beginDigits;
    QLineEdit *m_beginSuffix;
    QLineEdit *m_endPrefix;
    QLineEdit *m_endDigits;
    QLineEdit *m_endSuffix;
    QSpinBox *m_books;
    QLineEdit *m_documentNo;
    QDateTimeEdit *m_stockTime;
    QComboBox *m_managers;
    QDateTimeEdit *m_madeTime;
    QComboBox *m_makers;
    QCheckBox *m_continuous;
    bool m_documentWritten = false;
    QPushButton *m_confirm;
    QPushButton *m_cancel;
};
