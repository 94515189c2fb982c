#pragma once
#include "bills/StockDialogParts.h"

#include <QDialog>

class CQueryListCtrl;
class QCheckBox;
class QDateTimeEdit;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// "票据发放": hands whole books in stock to a recipient of a department. The books are gathered in
// a pending list, from the main window's selection or typed by their first numbers, and issued at
// once under one document number; the issued books leave the main window's list.
class CIssueDlg : public QDialog {
    Q_OBJECT
public:
    // The main window hands its list: its selected books are taken in and the done ones leave it.
    // Without one there is nothing to pre-fill from and no list to update.
    explicit CIssueDlg(CQueryListCtrl *mainList, QWidget *parent = nullptr);

    void OnKindChanged();
    void OnTreeDoubleClick(QTreeWidgetItem *item);
    void AddBook();
    void IssueAll();
    void PrintIssueList();
    void PrefillFromMainList();
    // "还原": the pending list as the main window's selection makes it.
    void RestoreList();

    CQueryListCtrl *PendingList() const { return m_list; }
    QTreeWidget *Tree() const { return m_tree; }

private:
    void OnInitDialog();
    void BuildLayout();
    void BuildTree();

    CQueryListCtrl *m_mainList;
    CBookPicker m_picker;
    QTreeWidget *m_tree;
    QLineEdit *m_documentNo;
    QLineEdit *m_dept;
    QLineEdit *m_broker;
    QComboBox *m_managers;
    QDateTimeEdit *m_issueTime;
    QCheckBox *m_continuous;
    // Set once a document was written under the number shown: later issues of the dialog go on with it.
    bool m_documentWritten = false;
    CQueryListCtrl *m_list;
};
