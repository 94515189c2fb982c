#pragma once
#include "reports/ReportGenerators.h"

#include <QDialog>
#include <QList>
#include <QPoint>
#include <QStringList>

class CQueryListCtrl;
class QComboBox;
class QLineEdit;
class QPushButton;

// "报表": chooses a report of Report_Info, asks for its period, generates it, shows it in the list,
// finds text in it and prints it. The controls at the top stay at their distance from the right edge
// when the dialog is resized; the list grows with it.
class CReportDlg : public QDialog {
    Q_OBJECT
public:
    explicit CReportDlg(QWidget *parent = nullptr);

    QComboBox *ReportKinds() const { return m_reportKinds; }
    QPushButton *GenerateButton() const { return m_generate; }
    QComboBox *ColumnTitles() const { return m_columnTitles; }
    QLineEdit *SearchText() const { return m_searchText; }
    QPushButton *FindButton() const { return m_find; }
    QPushButton *PrintButton() const { return m_print; }
    QPushButton *ExportButton() const { return m_export; }
    QPushButton *CloseButton() const { return m_close; }
    CQueryListCtrl *List() const { return m_list; }

    // The row the next "查询" starts from, shared by every opening of the dialog.
    static int FindPosition();
    static void SetFindPosition(int row);

    void OnGenerate();
    void OnFind();
    void OnPrint();
    void OnExport();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // Runs the generator of the position with a progress window; false for a position without one.
    bool Generate(int position, const QString &from, const QString &to, const QString &department,
                  CReportTable &report);
    void ShowTable(const CReportTable &report);
    void FillColumnTitles();

    QComboBox *m_reportKinds;
    QPushButton *m_generate;
    QComboBox *m_columnTitles;
    QLineEdit *m_searchText;
    QPushButton *m_find;
    QPushButton *m_print;
    QPushButton *m_export;
    QPushButton *m_close;
    CQueryListCtrl *m_list;
    QStringList m_billKinds;
    // Where each top control and the list's far corner stand, measured from the right and bottom edges.
    QList<QPoint> m_controlOffsets;
    QPoint m_listFarOffset;
};
