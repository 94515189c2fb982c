#pragma once
#include <QDialog>

class CQueryListCtrl;
class QComboBox;
class QLabel;
class QSpinBox;

// "票据稽核": audits the books of one kind or of all kinds and lists each finding with the kind, the
// numbers and what is wrong; an audit without findings says "账簿完整，未发现问题". The list prints
// and exports like every list.
class CBookAuditDlg : public QDialog {
    Q_OBJECT
public:
    explicit CBookAuditDlg(QWidget *parent = nullptr);

    void OnAudit();
    void OnPrint();
    void OnExport();

    QComboBox *Kinds() const { return m_kinds; }
    QSpinBox *OverdueDays() const { return m_days; }
    QLabel *Summary() const { return m_summary; }
    CQueryListCtrl *Findings() const { return m_list; }

private:
    QComboBox *m_kinds;
    QSpinBox *m_days;
    QLabel *m_summary;
    CQueryListCtrl *m_list;
};
