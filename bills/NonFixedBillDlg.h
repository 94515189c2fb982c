#pragma once
#include "bills/StockMoves.h"

#include <QDialog>

class CQueryListCtrl;
class QLineEdit;
class QPushButton;

// "不固定金额票据": the single bills of one book of non-fixed amount, where the amount written on each
// bill is recorded. Each amount is stored at once. The caller takes the book's total and the number
// of bills that carry an amount, however the dialog was closed.
class CNonFixedBillDlg : public QDialog {
    Q_OBJECT
public:
    CNonFixedBillDlg(const BookKey &book, QWidget *parent = nullptr);

    void OnListClick();
    void RecordAmount();
    void OnClose();
    void RefreshTotal();

    double Total() const { return m_total; }
    // Bills whose listed amount is a number other than zero.
    int CountedBills() const;
    CQueryListCtrl *List() const { return m_list; }

private:
    void OnInitDialog();

    BookKey m_book;
    double m_total = 0;
    CQueryListCtrl *m_list;
    QLineEdit *m_billNumber;
    QLineEdit *m_amount;
    QLineEdit *m_totalField;
    QPushButton *m_record;
    QPushButton *m_close;
};
