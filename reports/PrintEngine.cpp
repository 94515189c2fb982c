#include "reports/PrintEngine.h"

#include "app/Messages.h"
#include "audit/OperationLog.h"
#include "bills/BillNumbers.h"
#include "lists/QueryListCtrl.h"
#include "reports/PrintPreviewDlg.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <map>

namespace {

// Rows measured to size the printed columns: enough to see every kind of text, few enough that a
// long list prints without measuring each cell twice.
constexpr int kMeasuredRows = 2000;

PrintDialogRunner &DialogRunner() {
    static PrintDialogRunner runner = [](QPrinter &printer, QWidget *parent) {
        QPrintDialog dialog(&printer, parent);
        // The whole list is printed once: neither a selection nor a page range applies.
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, false);
        return dialog.exec() == QDialog::Accepted;
    };
    return runner;
}

// Room a cell keeps free: the text offset on both sides and the ruling pen.
int CellMargin(int charWidth) {
    return int(2 * charWidth * 0.2) + 4;
}

// The print font measured on the printer, and smaller sizes of it for whole texts that would not
// fit their column otherwise.
class PrintFonts {
public:
    explicit PrintFonts(QPaintDevice *device) : m_device(device), m_base(PrintFont()), m_metrics(m_base, device) {}

    const QFontMetrics &Metrics() const { return m_metrics; }
    const QFont &Base() const { return m_base; }
    int Width(QStringView text) const { return m_metrics.horizontalAdvance(text.toString()); }

    // The largest size, in steps of a tenth of a point, at which the text fits the width; 0 when even
    // the smallest does not.
    const QFont *FittingFont(const QString &text, int width, int textWidth) {
        double size = m_base.pointSizeF() * width / std::max(1, textWidth);
        for (; size >= 1.0; size *= 0.95) {
            const int tenths = int(size * 10);
            auto found = m_smaller.find(tenths);
            if (found == m_smaller.end()) {
                QFont font = m_base;
                font.setPointSizeF(tenths / 10.0);
                found = m_smaller.emplace(tenths, std::make_pair(font, QFontMetrics(font, m_device))).first;
            }
            if (found->second.second.horizontalAdvance(text) <= width)
                return &found->second.first;
        }
        return nullptr;
    }

private:
    QPaintDevice *m_device;
    QFont m_base;
    QFontMetrics m_metrics;
    std::map<int, std::pair<QFont, QFontMetrics>> m_smaller;
};

// What each column needs: its title and a sample of its cells, measured in the print font.
QVector<ColumnNeed> MeasureColumns(const CQueryListCtrl &list, const PrintFonts &fonts, int margin) {
    const QStringList titles = list.GetHeaderTitles();
    QVector<ColumnNeed> needs(titles.size());
    for (int i = 0; i < titles.size(); ++i)
        needs[i].whole = needs[i].full = fonts.Width(titles.at(i)) + margin;
    for (int row : SampleRows(list.RowCount(), kMeasuredRows)) {
        for (int i = 0; i < titles.size(); ++i) {
            const QString text = list.GetItemText(row, i);
            if (text.isEmpty())
                continue;
            const int need = fonts.Width(text) + margin;
            needs[i].full = std::max(needs[i].full, need);
            if (PrintsWhole(text))
                needs[i].whole = std::max(needs[i].whole, need);
        }
    }
    return needs;
}

// One print job: the page geometry and columns computed once, then page after page.
class ListPrinter {
public:
    ListPrinter(QPainter &painter, PrintFonts &fonts, const CQueryListCtrl &list, const PageGeometry &page,
                const QVector<PrintColumn> &columns, const QString &tableName)
        : m_painter(painter), m_fonts(fonts), m_list(list), m_page(page), m_columns(columns),
          m_margin(CellMargin(page.charWidth)), m_titles(list.GetHeaderTitles()),
          m_pageCount(PageCount(list.RowCount(), page)),
          m_title(CutToWidth(QStringLiteral("表格名称：%1").arg(tableName),
                             page.pageWidth / 2 - int(page.x0) - page.charWidth,
                             [&fonts](QStringView text) { return fonts.Width(text); })),
          m_time(QStringLiteral("打印时间:%1").arg(FormatDateTime(QDateTime::currentDateTime()))),
          m_logCode(ChainHeadFooter()) {}

    int PageCountOfJob() const { return m_pageCount; }

    void PrintPage(int pageNumber, int &nextRow) {
        const int R = m_page.rowHeight;
        const int W = m_page.pageWidth;
        const int L = m_page.linesPerPage;
        m_painter.setPen(QPen(Qt::black, 3));
        m_painter.setBrush(QColor(192, 192, 192));
        m_painter.drawRect(0, 3 * R, W, R);
        m_painter.setBrush(Qt::white);
        m_painter.drawRect(0, 4 * R, W, (L - 5) * R);
        for (int i = 0; i + 1 < m_columns.size(); ++i) {
            const int x = int(m_columns[i].rightEdge);
            m_painter.drawLine(x, 3 * R, x, (L - 1) * R);
        }
        for (int y = 5 * R; y <= (L - 1) * R; y += R)
            m_painter.drawLine(0, y, W, y);

        const double x0 = m_page.x0;
        const double titleY = 2 * R + m_page.y0;
        Text(int(x0), titleY, m_title);
        Text(W / 2, titleY, QStringLiteral("执收单位："));
        RightAlignedText(W - x0, titleY, m_time);

        for (int i = 0; i < m_columns.size(); ++i)
            Cell(i, 3 * R + m_page.y0, m_titles.at(i));

        const double footerY = m_page.pageHeight - R + m_page.y0;
        Text(int(x0), footerY, QStringLiteral("执收单位负责人："));
        Text(W / 5, footerY, QStringLiteral("执收单位经办人："));
        Text(2 * W / 5, footerY, QStringLiteral("执收单位制表人："));
        // The chain head of the operation log: a kept paper shows the log was not rewritten later.
        Text(3 * W / 5, footerY, m_logCode);
        RightAlignedText(W - x0, footerY, QString::asprintf("--第%d/%d页--", pageNumber, m_pageCount));

        for (int line = 0; line < m_page.RowsPerPage() && nextRow < m_list.RowCount(); ++line, ++nextRow) {
            const double y = 4 * R + m_page.y0 + line * R;
            for (int i = 0; i < m_columns.size(); ++i)
                Cell(i, y, m_list.GetItemText(nextRow, i));
        }
    }

private:
    double ColumnLeft(int column) const {
        return (column == 0 ? int(m_page.x0) : m_columns[column - 1].rightEdge + m_page.x0);
    }
    // A cell's text within its column: names are cut at a whole character, numbers, amounts and
    // dates print whole, in smaller type when the column is too narrow for them.
    void Cell(int column, double top, const QString &text) {
        if (text.isEmpty())
            return;
        const int room = std::max(0, m_columns[column].width - m_margin);
        const double left = ColumnLeft(column);
        const int width = m_fonts.Width(text);
        if (width <= room) {
            Text(left, top, text);
        } else if (!PrintsWhole(text)) {
            Text(left, top, CutToWidth(text, room, [this](QStringView part) { return m_fonts.Width(part); }));
        } else if (const QFont *smaller = m_fonts.FittingFont(text, room, width)) {
            m_painter.setFont(*smaller);
            Text(left, top, text);
            m_painter.setFont(m_fonts.Base());
        } else {
            // Not even the smallest type fits: the column's own rectangle holds what shows.
            m_painter.save();
            m_painter.setClipRect(QRectF(left, top, room, m_page.rowHeight));
            Text(left, top, text);
            m_painter.restore();
        }
    }
    // Texts are placed by the top of their line, as the layout is drawn.
    void Text(double x, double top, const QString &text) {
        if (!text.isEmpty())
            m_painter.drawText(QPointF(x, top + m_fonts.Metrics().ascent()), text);
    }
    void RightAlignedText(double right, double top, const QString &text) {
        Text(right - m_fonts.Width(text), top, text);
    }

    QPainter &m_painter;
    PrintFonts &m_fonts;
    const CQueryListCtrl &m_list;
    const PageGeometry m_page;
    const QVector<PrintColumn> m_columns;
    const int m_margin;
    const QStringList m_titles;
    const int m_pageCount;
    const QString m_title;
    const QString m_time;
    const QString m_logCode;
};

} // namespace

QFont PrintFont() {
    QFont font;
    font.setPointSize(10);
    return font;
}

PageGeometry PrintGeometryOf(QPrinter &printer) {
    const QFontMetrics metrics(PrintFont(), &printer);
    return ComputePageGeometry(printer.width(), printer.height(), metrics.height() + metrics.leading(),
                               metrics.averageCharWidth());
}

PrintOutcome PrintListOn(QPrinter &printer, CQueryListCtrl &list, const QString &tableName) {
    PrintFonts fonts(&printer);
    PageGeometry page = PrintGeometryOf(printer);
    const QVector<ColumnNeed> needs = MeasureColumns(list, fonts, CellMargin(page.charWidth));
    // Columns that do not fit across an upright page are printed across a turned one.
    if (FullWidthOf(needs) > page.pageWidth && printer.height() > printer.width()) {
        printer.setPageOrientation(QPageLayout::Landscape);
        page = PrintGeometryOf(printer);
    }
    if (!page.HoldsRows()) {
        ShowMessage(QStringLiteral("纸张太小，放不下表格的行，无法打印。"), QStringLiteral("打印"),
                    MsgIcon::Exclamation);
        return PrintOutcome::Refused;
    }
    // A job without pages cannot be made: an empty list prints nothing.
    if (list.RowCount() == 0)
        return PrintOutcome::NoRows;
    const QHeaderView *header = list.horizontalHeader();
    QVector<int> screenWidths;
    for (int i = 0; i < needs.size(); ++i)
        screenWidths.append(i < header->count() ? header->sectionSize(i) : 0);
    const QVector<PrintColumn> columns = ComputePrintColumns(needs, screenWidths, page.pageWidth);
    printer.setDocName(tableName);
    QPainter painter;
    if (!painter.begin(&printer))
        return PrintOutcome::Failed;
    painter.setFont(fonts.Base());
    ListPrinter job(painter, fonts, list, page, columns, tableName);
    int nextRow = 0;
    for (int p = 1; p <= job.PageCountOfJob(); ++p) {
        if (p > 1 && !printer.newPage()) {
            painter.end();
            return PrintOutcome::Failed;
        }
        job.PrintPage(p, nextRow);
    }
    return painter.end() ? PrintOutcome::Printed : PrintOutcome::Failed;
}

void PrintList(CQueryListCtrl &list, const QString &tableName) {
    CPrintPreviewDlg preview(list, tableName, list.window());
    RunPreview(preview);
}

PrintOutcome PrintWithDialog(QPrinter &printer, const PagePrinter &printOn, QWidget *parent) {
    printer.setCopyCount(1);
    if (!DialogRunner()(printer, parent))
        return PrintOutcome::Cancelled;
    printer.setCopyCount(1);
    printer.setPrintRange(QPrinter::AllPages);
    return printOn(printer);
}

PrintDialogRunner SetPrintDialogRunner(PrintDialogRunner runner) {
    PrintDialogRunner previous = DialogRunner();
    DialogRunner() = std::move(runner);
    return previous;
}
