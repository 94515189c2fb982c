#include "reports/ExportList.h"

#include "app/Messages.h"
#include "lists/QueryListCtrl.h"
#include "reports/PrintEngine.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageSize>
#include <QPrinter>

namespace {

// The types a list is exported as, and those of a picture, each with its suffix; the first is the one
// proposed.
struct FileType {
    const char *filter;
    const char *suffix;
};
const QList<FileType> kListTypes = {
    {"Excel 工作簿 (*.xlsx)", "xlsx"}, {"CSV 文件 (*.csv)", "csv"}, {"PDF 文件 (*.pdf)", "pdf"}};
const QList<FileType> kPictureTypes = {{"PNG 图片 (*.png)", "png"}, {"PDF 文件 (*.pdf)", "pdf"}};

SaveFileRunner &FileRunner() {
    static SaveFileRunner runner = [](QString &path, QWidget *parent) {
        // A proposed picture offers the picture types, anything else the list types.
        const QList<FileType> &types =
            QFileInfo(path).suffix() == QLatin1String(kPictureTypes.first().suffix) ? kPictureTypes : kListTypes;
        QStringList filters;
        for (const FileType &type : types)
            filters << QString::fromUtf8(type.filter);
        QString filter = filters.first();
        const QString chosen = QFileDialog::getSaveFileName(parent, QStringLiteral("导出"), path,
                                                            filters.join(QStringLiteral(";;")), &filter);
        if (chosen.isEmpty())
            return false;
        path = chosen;
        // A name typed without a type gets the type of the chosen filter.
        if (QFileInfo(path).suffix().isEmpty())
            path += QLatin1Char('.') + QString::fromLatin1(types.at(int(filters.indexOf(filter))).suffix);
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
    return ExportAsked(tableName, QStringLiteral("表格"), QStringLiteral("xlsx"), parent ? parent : list.window(),
                       [&](const QString &path, QString *error) { return ExportListTo(list, tableName, path, error); });
}

bool ExportAsked(const QString &name, const QString &what, const QString &suffix, QWidget *parent,
                 const FileWriter &write) {
    QString path = QDir::current().filePath(ExportFileStem(name) + QLatin1Char('.') + suffix);
    if (!FileRunner()(path, parent))
        return false;
    QString error;
    {
        // A long list takes a moment: the clerk sees the wait cursor meanwhile.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool ok = write(path, &error);
        QApplication::restoreOverrideCursor();
        if (ok) {
            ShowMessage(QStringLiteral("%1已导出到：\n%2").arg(what, QDir::toNativeSeparators(path)),
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
