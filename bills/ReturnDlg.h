#pragma once
#include "bills/StockDialogParts.h"

#include <QDialog>

class CQueryListCtrl;
class QDateTimeEdit;
class QLineEdit;

// "票据回收": records that issued books come back, wholly or partly used, with the money collected.
// The books are gathered in a pending list, from the main window's selection or typed, corrected
// line by line with the line editor and returned at once under one document number.
class CReturnDlg : public QDialog {
    Q_OBJECT
public:
    // The main window hands its list: its selected books are taken in and the done ones leave it.
    // Without one there is nothing to pre-fill from and no list to update.
    explicit CReturnDlg(CQueryListCtrl *mainList, QWidget *parent = nullptr);

    void OnKindChanged();
    void AddBook();
    void ReturnAll();
    void PrefillFromMainList();
    // "修改": the line editor over the selected rows.
    void EditLines();
    // "还原": the pending list as the main window's selection makes it.
    void RestoreList();

    CQueryListCtrl *PendingList() const { return m_list; }

private:
    void OnInitDialog();
    void BuildLayout();
    // Appends a book from its "票据类型" to "金额" cells; the rest is the whole book coming back from
    // whom it was issued to.
    void AppendBook(QStringList cells, const RunInfo *run, bool select);

    CQueryListCtrl *m_mainList;
    CBookPicker m_picker;
    QComboBox *m_managers;
    QDateTimeEdit *m_returnTime;
    QLineEdit *m_documentNo;
    CQueryListCtrl *m_list;
};
