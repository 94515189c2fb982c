#include "reports/PrintEngine.h"

#include "app/Messages.h"
#include "bills/BillNumbers.h"
#include "lists/QueryListCtrl.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace {

// Header and footer texts once had a fixed buffer; the title line keeps within the same size.
constexpr int kTitleCells = 199;

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

// One print job: the page geometry and columns computed once, then page after page.
class ListPrinter {
public:
    ListPrinter(QPainter &painter, const CQueryListCtrl &list, const PageGeometry &page, const QString &tableName)
        : m_painter(painter), m_list(list), m_page(page), m_metrics(painter.fontMetrics()),
          m_pageCount(PageCount(list.RowCount(), page)),
          m_title(CutToDisplayWidth(QStringLiteral("表格名称：%1").arg(tableName), TitleCells())),
          m_time(QStringLiteral("打印时间:%1").arg(FormatDateTime(QDateTime::currentDateTime()))) {
        const QHeaderView *header = list.horizontalHeader();
        QVector<int> widths;
        for (int i = 0; i < header->count(); ++i)
            widths.append(header->sectionSize(i));
        int clientWidth = list.viewport()->width();
        if (clientWidth <= 0)
            clientWidth = header->length();
        m_columns = ComputePrintColumns(widths, clientWidth, page);
    }

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
        RightAlignedText(W - DisplayWidth(m_time) + x0, titleY, m_time);

        for (int i = 0; i < m_columns.size(); ++i)
            Text(ColumnLeft(i), 3 * R + m_page.y0,
                 CutToDisplayWidth(m_list.GetHeaderTitles().at(i), m_columns[i].characters));

        const double footerY = m_page.pageHeight - R + m_page.y0;
        Text(int(x0), footerY, QStringLiteral("执收单位负责人："));
        Text(W / 4, footerY, QStringLiteral("执收单位经办人："));
        Text(W / 2, footerY, QStringLiteral("执收单位制表人："));
        RightAlignedText(W + x0, footerY, QString::asprintf("--第%d/%d页--", pageNumber, m_pageCount));

        for (int line = 0; line < m_page.RowsPerPage() && nextRow < m_list.RowCount(); ++line, ++nextRow) {
            const double y = 4 * R + m_page.y0 + line * R;
            for (int i = 0; i < m_columns.size(); ++i)
                Text(ColumnLeft(i), y, CutToDisplayWidth(m_list.GetItemText(nextRow, i), m_columns[i].characters));
        }
    }

private:
    // The title keeps clear of "执收单位：" in the middle of the line.
    int TitleCells() const {
        const int cells = m_page.charWidth > 0 ? int((m_page.pageWidth / 2 - m_page.x0) / m_page.charWidth) - 1 : 0;
        return std::clamp(cells, 0, kTitleCells);
    }
    double ColumnLeft(int column) const {
        return (column == 0 ? int(m_page.x0) : m_columns[column - 1].rightEdge + m_page.x0);
    }
    // Texts are placed by the top of their line, as the layout is drawn.
    void Text(double x, double top, const QString &text) {
        if (!text.isEmpty())
            m_painter.drawText(QPointF(x, top + m_metrics.ascent()), text);
    }
    void RightAlignedText(double right, double top, const QString &text) {
        Text(right - m_metrics.horizontalAdvance(text), top, text);
    }

    QPainter &m_painter;
    const CQueryListCtrl &m_list;
    const PageGeometry m_page;
    const QFontMetrics m_metrics;
    const int m_pageCount;
    const QString m_title;
    const QString m_time;
    QVector<PrintColumn> m_columns;
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
    const PageGeometry page = PrintGeometryOf(printer);
    if (!page.HoldsRows()) {
        ShowMessage(QStringLiteral("纸张太小，放不下表格的行，无法打印。"), QStringLiteral("打印"),
                    MsgIcon::Exclamation);
        return PrintOutcome::Refused;
    }
    // A job without pages cannot be made: an empty list prints nothing.
    if (list.RowCount() == 0)
        return PrintOutcome::NoRows;
    printer.setDocName(tableName);
    QPainter painter;
    if (!painter.begin(&printer))
        return PrintOutcome::Failed;
    painter.setFont(PrintFont());
    ListPrinter job(painter, list, page, tableName);
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
    QPrinter printer(QPrinter::HighResolution);
    printer.setCopyCount(1);
    if (!DialogRunner()(printer, list.window()))
        return;
    printer.setCopyCount(1);
    printer.setPrintRange(QPrinter::AllPages);
    PrintListOn(printer, list, tableName);
}

PrintDialogRunner SetPrintDialogRunner(PrintDialogRunner runner) {
    PrintDialogRunner previous = DialogRunner();
    DialogRunner() = std::move(runner);
    return previous;
}
