#include "reports/ExportList.h"

#include "app/Messages.h"
#include "audit/OperationLog.h"
#include "lists/QueryListCtrl.h"
#include "reports/PrintEngine.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageSize>
#include <QPrinter>

namespace {

const QString kFilters = QStringLiteral("Excel 工作簿 (*.xlsx);;CSV 文件 (*.csv);;PDF 文件 (*.pdf)");

SaveFileRunner &FileRunner() {
    static SaveFileRunner runner = [](QString &path, QWidget *parent) {
        QString filter = QStringLiteral("Excel 工作簿 (*.xlsx)");
        const QString chosen = QFileDialog::getSaveFileName(parent, QStringLiteral("导出"), path, kFilters, &filter);
        if (chosen.isEmpty())
            return false;
        path = chosen;
        // A name typed without a type gets the type of the chosen filter.
        if (QFileInfo(path).suffix().isEmpty())
            path += filter.contains(QLatin1String("csv"))   ? QStringLiteral(".csv")
                    : filter.contains(QLatin1String("pdf")) ? QStringLiteral(".pdf")
                                                            : QStringLiteral(".xlsx");
        return true;
    };
    return runner;
}

bool WritePdf(CQueryListCtrl &list, const QString &tableName, const QString &path, QString *error) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    switch (PrintListOn(printer, list, tableName)) {
    case PrintOutcome::Printed:
        return true;
    case PrintOutcome::NoRows:
        *error = QStringLiteral("列表中没有数据");
        return false;
    case PrintOutcome::Refused:
        *error = QStringLiteral("纸张放不下表格");
        return false;
    case PrintOutcome::Failed:
    case PrintOutcome::Cancelled:
        break;
    }
    *error = QStringLiteral("无法写入文件");
    return false;
}

} // namespace

ExportTable TableOfList(const CQueryListCtrl &list, const QString &tableName) {
    ExportTable table;
    table.title = tableName;
    table.headers = list.GetHeaderTitles();
    const int columns = int(table.headers.size());
    table.rows.reserve(list.RowCount());
    for (int r = 0; r < list.RowCount(); ++r) {
        QStringList cells;
        cells.reserve(columns);
        for (int c = 0; c < columns; ++c)
            cells << list.GetItemText(r, c);
        table.rows << cells;
    }
    table.TypeColumns();
    table.footer = ChainHeadFooter();
    return table;
}

bool ExportListTo(CQueryListCtrl &list, const QString &tableName, const QString &path, QString *error) {
    QString reason;
    bool ok = false;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        ok = WritePdf(list, tableName, path, &reason);
    else if (suffix == QLatin1String("csv"))
        ok = WriteCsv(TableOfList(list, tableName), path, &reason);
    else if (suffix == QLatin1String("xlsx"))
        ok = WriteXlsx(TableOfList(list, tableName), path, &reason);
    else
        reason = QStringLiteral("只能导出为 .xlsx、.csv 或 .pdf 文件");
    if (!ok && error)
        *error = reason;
    return ok;
}

bool ExportList(CQueryListCtrl &list, const QString &tableName, QWidget *parent) {
    QString path = QDir::current().filePath(ExportFileStem(tableName) + QStringLiteral(".xlsx"));
    if (!FileRunner()(path, parent ? parent : list.window()))
        return false;
    QString error;
    {
        // A long list takes a moment: the clerk sees the wait cursor meanwhile.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool ok = ExportListTo(list, tableName, path, &error);
        QApplication::restoreOverrideCursor();
        if (ok) {
            ShowMessage(QStringLiteral("表格已导出到：\n%1").arg(QDir::toNativeSeparators(path)),
                        QStringLiteral("完成"), MsgIcon::Information);
            return true;
        }
    }
    ShowMessage(QStringLiteral("导出失败，文件没有写成：\n%1\n%2").arg(QDir::toNativeSeparators(path), error),
                QStringLiteral("导出"), MsgIcon::Exclamation);
    return false;
}

SaveFileRunner SetSaveFileRunner(SaveFileRunner runner) {
    SaveFileRunner previous = FileRunner();
    FileRunner() = std::move(runner);
    return previous;
}
