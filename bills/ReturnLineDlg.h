#pragma once
#include "bills/StockMoves.h"

#include <QDialog>
#include <QList>

class CQueryListCtrl;
class QComboBox;
class QLineEdit;
class QSpinBox;

// "修改": corrects the selected lines of the return list one after the other: how many bills of the
// book were used, who brought it back and, for a book of non-fixed amount, the amounts of its single
// bills. It writes only the return list's cells (the single amounts excepted).
class CReturnLineDlg : public QDialog {
    Q_OBJECT
public:
    CReturnLineDlg(CQueryListCtrl *returnList, QWidget *parent = nullptr);

    void LoadLine();
    void OnCountSpin(int count);
    void SaveLine();
    void PreviousLine();
    void NextLine();

    int Position() const { return m_position; }

private:
    void OnInitDialog();
    void BuildLayout();
    int CurrentRow() const { return m_rows.value(m_position, -1); }

    CQueryListCtrl *m_returnList;
    QList<int> m_rows;
    int m_position = 0;
    RunInfo m_run;
    QLineEdit *m_kind;
    QLineEdit *m_first;
    QLineEdit *m_last;
    QLineEdit *m_returnedLast;
    QLineEdit *m_price;
    QLineEdit *m_count;
    QLineEdit *m_returnedAmount;
    QSpinBox *m_returnedCount;
    QComboBox *m_depts;
    QComboBox *m_brokers;
};
