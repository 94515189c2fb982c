#pragma once
#include <QDialog>

class CQueryListCtrl;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;

// "操作日志": lists the operation log by period, user, operation and kind, with search, print and
// export like every list. It shows the chain head's check code ("日志校验码"), runs "日志校验" over the
// whole chain, and says of a check code taken from a printed page whether the log still passes
// through it. Nothing here changes or deletes an entry.
class CLogDlg : public QDialog {
    Q_OBJECT
public:
    explicit CLogDlg(QWidget *parent = nullptr);

    void OnQuery();
    void OnSearch();
    void OnPrint();
    void OnExport();
    // "日志校验": the chain check's finding in a message.
    void OnCheckChain();
    // "核对校验码": whether the log passes through the typed code, in a message.
    void OnCheckCode();

    QDateEdit *FromDate() const { return m_from; }
    QDateEdit *ToDate() const { return m_to; }
    QComboBox *Users() const { return m_users; }
    QComboBox *Operations() const { return m_operations; }
    QComboBox *Kinds() const { return m_kinds; }
    QLineEdit *CodeEdit() const { return m_code; }
    QLabel *HeadCode() const { return m_head; }
    CQueryListCtrl *List() const { return m_list; }

private:
    void BuildLayout();
    void ShowHeadCode();

    QDateEdit *m_from;
    QDateEdit *m_to;
    QComboBox *m_users;
    QComboBox *m_operations;
    QComboBox *m_kinds;
    QLineEdit *m_code;
    QLabel *m_head;
    CQueryListCtrl *m_list;
};

// "日志校验" from the menu: checks the chain and tells the finding.
void CheckLogChainCommand();
