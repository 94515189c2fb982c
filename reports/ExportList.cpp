#include "reports/ExportList.h"

#include "app/FileCommit.h"
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
#include <QRegularExpression>

#include <algorithm>

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

// Qt's PDF writer does not tell when the disk took only part of the file. A whole file ends with
// "startxref", the offset of its cross-reference table, and "%%EOF"; a file with bytes lost has no
// such end, or an offset that misses the table.
bool IsWholePdf(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 64)
        return false;
    file.seek(std::max<qint64>(0, file.size() - 64));
    static const QRegularExpression end(QStringLiteral("startxref\\s+(\\d+)\\s+%%EOF\\s*$"));
    const QRegularExpressionMatch match = end.match(QString::fromLatin1(file.readAll()));
    bool ok = false;
    const qint64 offset = match.captured(1).toLongLong(&ok);
    return match.hasMatch() && ok && offset < file.size() && file.seek(offset) && file.read(4) == "xref";
}

bool WritePdf(CQueryListCtrl &list, const QString &tableName, const QString &path, QString *error) {
    // Written under a temporary name beside the target, which it replaces only once it is whole.
    CFileReplacement target(path);
    if (target.TempPath().isEmpty()) {
        *error = target.Error();
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(target.TempPath());
    printer.setPageSize(QPageSize(QPageSize::A4));
    switch (PrintListOn(printer, list, tableName)) {
    case PrintOutcome::Printed:
        if (!IsWholePdf(target.TempPath())) {
            *error = QStringLiteral("PDF 文件没有写完整，磁盘可能已满。");
            return false;
        }
        if (target.Commit())
            return true;
        *error = target.Error();
        return false;
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

bool ExportListTo(CQueryListCtrl &list, const QString &tableName, const QString &path, QString *error, int *cutCells) {
    QString reason;
    bool ok = false;
    if (cutCells)
        *cutCells = 0;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        ok = WritePdf(list, tableName, path, &reason);
    else if (suffix == QLatin1String("csv"))
        ok = WriteCsv(TableOfList(list, tableName), path, &reason);
    else if (suffix == QLatin1String("xlsx"))
        ok = WriteXlsx(TableOfList(list, tableName), path, &reason, cutCells);
    else
        reason = QStringLiteral("只能导出为 .xlsx、.csv 或 .pdf 文件");
    if (!ok && error)
        *error = reason;
    return ok;
}

bool ExportList(CQueryListCtrl &list, const QString &tableName, QWidget *parent) {
    return ExportAsked(tableName, QStringLiteral("表格"), QStringLiteral("xlsx"), parent ? parent : list.window(),
                       [&](const QString &path, QString *error, QString *remark) {
                           int cutCells = 0;
                           const bool ok = ExportListTo(list, tableName, path, error, &cutCells);
                           if (cutCells > 0)
                               *remark = QStringLiteral("\n\n有%1个单元格的文字超过 Excel 的上限 32767 个字符，"
                                                        "已截断到这个长度。")
                                             .arg(cutCells);
                           return ok;
                       });
}

bool ExportAsked(const QString &name, const QString &what, const QString &suffix, QWidget *parent,
                 const FileWriter &write) {
    QString path = QDir::current().filePath(ExportFileStem(name) + QLatin1Char('.') + suffix);
    if (!FileRunner()(path, parent))
        return false;
    const bool existed = QFileInfo::exists(path);
    QString error;
    QString remark;
    // A long list takes a moment: the clerk sees the wait cursor meanwhile.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = write(path, &error, &remark);
    QApplication::restoreOverrideCursor();
    const QString where = QDir::toNativeSeparators(path);
    if (ok) {
        ShowMessage(QStringLiteral("%1已导出到：\n%2").arg(what, where) + remark, QStringLiteral("完成"),
                    MsgIcon::Information);
        return true;
    }
    QString text = QStringLiteral("导出失败，文件没有写成：\n%1\n%2").arg(where, error);
    if (existed)
        text += QStringLiteral("\n原有的同名文件没有改动。");
    ShowMessage(text, QStringLiteral("导出"), MsgIcon::Exclamation);
    return false;
}

SaveFileRunner SetSaveFileRunner(SaveFileRunner runner) {
    SaveFileRunner previous = FileRunner();
    FileRunner() = std::move(runner);
    return previous;
}
