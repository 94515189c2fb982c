#pragma once
#include <QString>
#include <QStringView>
#include <QVector>
#include <functional>

// Where a printed list goes on the page, in printer device units. Lines are R apart: the title on
// line 2, the header band on line 3, rows from line 4 to line L-2 and the footer on the last line.
struct PageGeometry {
    int rowHeight = 0;    // R: the font's line height times 1.75
    int charWidth = 0;    // C: the font's average character width
    int pageWidth = 0;    // W: whole characters across the page
    int pageHeight = 0;   // H: whole rows down the page
    int linesPerPage = 0; // L
    double x0 = 0;        // text offset from a column's left edge
    double y0 = 0;        // text offset from a line's top
    int RowsPerPage() const { return linesPerPage - 5; }
    // Pages of five lines or fewer hold only the title, the header and the footer.
    bool HoldsRows() const { return linesPerPage > 5 && charWidth > 0; }
};

PageGeometry ComputePageGeometry(int horizontalResolution, int verticalResolution, int lineHeight,
                                 int averageCharWidth);

// Pages for rows list rows: the rows rounded up to whole pages; 0 for no rows.
int PageCount(int rows, const PageGeometry &page);

// What one column needs on the page, margins included: `whole` to show its title and every text that
// must print whole (numbers, amounts, dates), `full` to show every text it holds.
struct ColumnNeed {
    int whole = 0;
    int full = 0;
};

// A printed column: its width and its right edge; the last column ends at the page width.
struct PrintColumn {
    int width = 0;
    double rightEdge = 0;
};

// Every column gets a share of the page width. When all needs fit, each column has what it needs
// and the room left is shared out as the columns are wide on screen; when only the whole texts fit,
// those are kept and the rest of the page goes to the columns whose names would be cut; when even
// they do not fit, the page is shared out as the whole texts need it.
QVector<PrintColumn> ComputePrintColumns(const QVector<ColumnNeed> &needs, const QVector<int> &screenWidths,
                                         int pageWidth);

// The width the columns take when every text shows in full.
int FullWidthOf(const QVector<ColumnNeed> &needs);

// Numbers, amounts, bill numbers and date-times: texts that lose their meaning when cut, so they
// print whole (in smaller type if the column is too narrow). Any text with a digit and nothing but
// digits, Latin letters, blanks and the signs of amounts and dates.
bool PrintsWhole(QStringView text);

// The longest beginning of the text whose measured width fits; a character (with its combining
// marks or surrogate pair) is never split.
QString CutToWidth(const QString &text, int width, const std::function<int(QStringView)> &measure);

// Rows spread evenly over the list, at most limit of them: the rows measured to size its columns.
QVector<int> SampleRows(int rowCount, int limit);
