#pragma once
#include "bills/BillHistory.h"

#include <QDialog>

class CQueryListCtrl;
class QComboBox;
class QLabel;
class QLineEdit;

// "票据追踪": the clerk picks a kind and types one bill number, with or without its prefix and suffix;
// the dialog names the book that holds it, live or deleted, and lists that book's road step by step.
class CBillHistoryDlg : public QDialog {
    Q_OBJECT
public:
    explicit CBillHistoryDlg(QWidget *parent = nullptr);

    void OnKindChanged();
    // "追踪": looks the number up and fills the list; a number no book holds says so.
    void OnTrace();

    QComboBox *Kinds() const { return m_kinds; }
    QLineEdit *Number() const { return m_number; }
    QLabel *Summary() const { return m_summary; }
    CQueryListCtrl *Road() const { return m_list; }

private:
    QComboBox *m_kinds;
    QLabel *m_format;
    QLineEdit *m_number;
    QLabel *m_summary;
    CQueryListCtrl *m_list;
    KindParams m_kind;
};
