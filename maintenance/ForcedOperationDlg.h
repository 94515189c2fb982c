#pragma once
#include <QDialog>

class CQueryListCtrl;
class QCheckBox;
class QComboBox;
class QLineEdit;

// "强制操作": lists every returned or voided run, finds and extracts rows, prints the list and moves
// one run for good into the recycle tables.
class CForcedOperationDlg : public QDialog {
    Q_OBJECT
public:
    explicit CForcedOperationDlg(QWidget *parent = nullptr);

    void FillForcedList(const QString &statement);
    // Appends "合计" with the sum of "金额" unless the sum is 0.
    void AddTotalRow();
    void OnObjectChanged();
    void OnFind();
    void OnExtract();
    void OnPrint();
    void ForcedDelete();

    CQueryListCtrl *List() const { return m_list; }
    QComboBox *Objects() const { return m_objects; }
    QComboBox *Fields() const { return m_fields; }

    // Where "查询" goes on looking: one row for the whole run of the program, kept between openings.
    static int &SearchStartRow();

private:
    void BuildLayout();

    QComboBox *m_objects;
    QComboBox *m_fields;
    QLineEdit *m_text;
    QCheckBox *m_exact;
    CQueryListCtrl *m_list;
};
