#pragma once
#include <QString>
#include <QStringView>
#include <QVector>

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

// A printed column: its width, the characters that fit it and its right edge.
struct PrintColumn {
    int width = 0;
    int characters = 0;
    double rightEdge = 0;
};

// Columns of the list's on-screen widths scaled so that the list's client width spans the page.
QVector<PrintColumn> ComputePrintColumns(const QVector<int> &screenWidths, int clientWidth, const PageGeometry &page);

// Display width in character cells: a wide (CJK, full-width) character takes two, any other one.
int DisplayWidth(QStringView text);

// The longest beginning of the text that fits the cells; a character is never cut in half.
QString CutToDisplayWidth(const QString &text, int cells);
