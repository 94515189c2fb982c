#pragma once
#include <QDialog>
#include <QString>
#include <functional>

class CQueryListCtrl;
class QComboBox;
class QDateEdit;
class QFrame;

// "出入库管理": lists the stock-in, issue or return documents of a date range, shows the runs of one,
// counts and prints them, and cancels a whole document while all of its runs are still as the
// operation left them. After a cancel was asked for, the main window's views are rebuilt.
class COperationDocumentDlg : public QDialog {
    Q_OBJECT
public:
    explicit COperationDocumentDlg(std::function<void()> refreshViews, QWidget *parent = nullptr);

    void OnQuery();
    void OnDocumentClicked();
    void OnCancelDocument();
    void OnCountDocuments();
    void OnCountBills();
    void OnPrintDocument();
    void OnExportDocument();

    QComboBox *Kinds() const { return m_kinds; }
    QDateEdit *FromDate() const { return m_from; }
    QDateEdit *ToDate() const { return m_to; }
    CQueryListCtrl *Documents() const { return m_documents; }
    CQueryListCtrl *Runs() const { return m_runs; }

private:
    void BuildLayout();
    // The "单据编号" of the selected document; empty when none is selected or none was queried.
    QString SelectedNumber() const;
    // "%s_%s" of the queried kind and the selected document; empty without a selection.
    QString DocumentTableName() const;

    std::function<void()> m_refreshViews;
    QString m_queriedKind; // the kind of the last query, which the other buttons refer to
    QComboBox *m_kinds;
    QDateEdit *m_from;
    QDateEdit *m_to;
    QFrame *m_frame;
    CQueryListCtrl *m_documents;
    CQueryListCtrl *m_runs;
};
