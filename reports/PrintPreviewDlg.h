#pragma once
#include "reports/PrintEngine.h"

#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QString>
#include <functional>
#include <memory>

class CQueryListCtrl;
class QPrintPreviewWidget;
class QPrinter;

// What a preview shows: its name, its pages drawn onto a printer, and what "导出" saves.
struct PrintJob {
    QString name;
    PagePrinter printOn;
    std::function<bool(QWidget *parent)> exportFile;
};

// The pages of a list (or of another print job) exactly as they will print, drawn by the print
// engine onto the printer they will print on: page set-up with portrait and landscape, zoom, "打印"
// through the print dialog onto the same printer, so the printed pages are the ones shown, and
// "导出" to a file.
class CPrintPreviewDlg : public QPrintPreviewDialog {
    Q_OBJECT
public:
    CPrintPreviewDlg(CQueryListCtrl &list, const QString &tableName, QWidget *parent = nullptr);
    CPrintPreviewDlg(PrintJob job, QWidget *parent = nullptr);
    ~CPrintPreviewDlg() override;

    QPrintPreviewWidget *Preview() const { return m_preview; }
    QPrinter &Printer() const { return *m_printer; }
    // Draws the pages afresh and counts them.
    int PageCount();
    void SetOrientation(QPageLayout::Orientation orientation);
    // "打印": the print dialog, then the pages onto the printer; the preview closes once printed.
    bool Print();
    // "导出": what is shown into a file chosen by the clerk.
    bool Export();

private:
    CPrintPreviewDlg(std::unique_ptr<QPrinter> printer, PrintJob job, QWidget *parent);
    void TakeOverToolBar();

    std::unique_ptr<QPrinter> m_printer;
    const PrintJob m_job;
    QPrintPreviewWidget *m_preview = nullptr;
};

// How PrintList shows the preview: its modal loop by default. Tests install their own to look at
// the pages or to print at once; returns the runner it replaces.
using PreviewRunner = std::function<void(CPrintPreviewDlg &preview)>;
PreviewRunner SetPreviewRunner(PreviewRunner runner);
// Shows the preview through the runner; used by PrintList.
void RunPreview(CPrintPreviewDlg &preview);
