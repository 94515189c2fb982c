#include "reports/PrintPicture.h"

#include "audit/OperationLog.h"
#include "bills/BillNumbers.h"
#include "reports/ExportList.h"
#include "reports/PrintPreviewDlg.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPageSize>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QWidget>
#include <algorithm>

namespace {

// PNG pictures are drawn at twice the screen size, so that they stay sharp when printed or zoomed.
constexpr int PictureScale = 2;

bool WritePng(QWidget &widget, const QString &path, QString *error) {
    QPixmap picture(widget.size() * PictureScale);
    picture.setDevicePixelRatio(PictureScale);
    picture.fill(Qt::white);
    widget.render(&picture);
    if (picture.save(path, "PNG"))
        return true;
    *error = QStringLiteral("无法写入文件");
    return false;
}

bool WritePdf(QWidget &widget, const QString &title, const QString &path, QString *error) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    if (PrintPictureOn(printer, widget, title) == PrintOutcome::Printed)
        return true;
    *error = QStringLiteral("无法写入文件");
    return false;
}

} // namespace

PrintOutcome PrintPictureOn(QPrinter &printer, QWidget &widget, const QString &title) {
    // A wide picture is printed across a turned page.
    if (widget.width() > widget.height() && printer.height() > printer.width())
        printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer))
        return PrintOutcome::Failed;
    const QRect page(0, 0, printer.width(), printer.height());
    painter.setFont(PrintFont());
    const QFontMetrics metrics(painter.font(), &printer);
    const int line = metrics.height();
    painter.drawText(QRect(page.left(), 0, page.width(), line), Qt::AlignLeft,
                     QStringLiteral("表格名称：%1").arg(title));
    painter.drawText(QRect(page.left(), 0, page.width(), line), Qt::AlignHCenter, QStringLiteral("执收单位："));
    painter.drawText(QRect(page.left(), 0, page.width(), line), Qt::AlignRight,
                     QStringLiteral("打印时间:%1").arg(FormatDateTime(QDateTime::currentDateTime())));
    // The log's chain head stands at the foot, as on every printed report.
    painter.drawText(QRect(page.left(), page.bottom() - line, page.width(), line), Qt::AlignLeft, ChainHeadFooter());
    // The picture fills the room between the title line and the foot, its shape kept.
    const QRect room = page.adjusted(0, 2 * line, 0, -2 * line);
    const double scale = std::min(double(room.width()) / widget.width(), double(room.height()) / widget.height());
    painter.translate(room.left() + (room.width() - widget.width() * scale) / 2, room.top());
    painter.scale(scale, scale);
    widget.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    return painter.end() ? PrintOutcome::Printed : PrintOutcome::Failed;
}

void PrintPicture(QWidget &widget, const QString &title, QWidget *parent) {
    CPrintPreviewDlg preview(
        PrintJob{title, [&widget, title](QPrinter &printer) { return PrintPictureOn(printer, widget, title); },
                 [&widget, title](QWidget *owner) { return ExportPicture(widget, title, owner); }},
        parent);
    RunPreview(preview);
}

bool ExportPictureTo(QWidget &widget, const QString &title, const QString &path, QString *error) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return WritePng(widget, path, error);
    if (suffix == QLatin1String("pdf"))
        return WritePdf(widget, title, path, error);
    *error = QStringLiteral("只能导出为 .png 或 .pdf 文件");
    return false;
}

bool ExportPicture(QWidget &widget, const QString &title, QWidget *parent) {
    return ExportAsked(
        title, title, QStringLiteral("png"), parent,
        [&](const QString &path, QString *error, QString *) { return ExportPictureTo(widget, title, path, error); });
}
