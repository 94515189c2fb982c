#include "reports/PrintPreviewDlg.h"

#include "reports/ExportList.h"
#include "reports/PrintEngine.h"

#include <QAction>
#include <QCoreApplication>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>

namespace {

PreviewRunner &Runner() {
    static PreviewRunner runner = [](CPrintPreviewDlg &preview) { preview.exec(); };
    return runner;
}

} // namespace

CPrintPreviewDlg::CPrintPreviewDlg(CQueryListCtrl &list, const QString &tableName, QWidget *parent)
    : CPrintPreviewDlg(PrintJob{tableName,
                                [&list, tableName](QPrinter &printer) { return PrintListOn(printer, list, tableName); },
                                [&list, tableName](QWidget *owner) { return ExportList(list, tableName, owner); }},
                       parent) {}

CPrintPreviewDlg::CPrintPreviewDlg(PrintJob job, QWidget *parent)
    : CPrintPreviewDlg(std::make_unique<QPrinter>(QPrinter::HighResolution), std::move(job), parent) {}

CPrintPreviewDlg::CPrintPreviewDlg(std::unique_ptr<QPrinter> printer, PrintJob job, QWidget *parent)
    : QPrintPreviewDialog(printer.get(), parent), m_printer(std::move(printer)), m_job(std::move(job)),
      m_preview(findChild<QPrintPreviewWidget *>()) {
    setWindowTitle(QStringLiteral("打印预览 - %1").arg(m_job.name));
    m_printer->setDocName(m_job.name);
    connect(this, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *target) { m_job.printOn(*target); });
    TakeOverToolBar();
    resize(1000, 720);
}

CPrintPreviewDlg::~CPrintPreviewDlg() = default;

// The dialog's own "Print" would run Qt's print dialog by itself; it runs the program's print path
// instead, which tests can drive. "导出" joins the tool bar after it.
void CPrintPreviewDlg::TakeOverToolBar() {
    const QString printText = QCoreApplication::translate("QPrintPreviewDialog", "Print");
    QToolBar *bar = findChild<QToolBar *>();
    for (QAction *action : findChildren<QAction *>()) {
        if (action->text() != printText)
            continue;
        action->disconnect(SIGNAL(triggered(bool)));
        connect(action, &QAction::triggered, this, [this] { Print(); });
        action->setObjectName(QStringLiteral("print"));
    }
    if (bar) {
        bar->addSeparator();
        QAction *exportAction = bar->addAction(QStringLiteral("导出"), this, [this] { Export(); });
        exportAction->setObjectName(QStringLiteral("export"));
        exportAction->setToolTip(QStringLiteral("导出为 Excel、CSV 或 PDF 文件"));
    }
}

int CPrintPreviewDlg::PageCount() {
    if (!m_preview)
        return 0;
    m_preview->updatePreview();
    return m_preview->pageCount();
}

void CPrintPreviewDlg::SetOrientation(QPageLayout::Orientation orientation) {
    if (!m_preview)
        return;
    if (orientation == QPageLayout::Landscape)
        m_preview->setLandscapeOrientation();
    else
        m_preview->setPortraitOrientation();
}

bool CPrintPreviewDlg::Print() {
    const PrintOutcome outcome = PrintWithDialog(*m_printer, m_job.printOn, this);
    if (outcome != PrintOutcome::Printed)
        return false;
    accept();
    return true;
}

bool CPrintPreviewDlg::Export() {
    return m_job.exportFile(this);
}

PreviewRunner SetPreviewRunner(PreviewRunner runner) {
    PreviewRunner previous = Runner();
    Runner() = std::move(runner);
    return previous;
}

void RunPreview(CPrintPreviewDlg &preview) {
    Runner()(preview);
}
