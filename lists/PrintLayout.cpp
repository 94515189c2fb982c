#include "lists/PrintLayout.h"

namespace {

bool IsWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// The character at i and how many UTF-16 units it takes.
char32_t CharacterAt(QStringView text, qsizetype i, int &units) {
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        units = 2;
        return QChar::surrogateToUcs4(c, text[i + 1]);
    }
    units = 1;
    return c.unicode();
}

} // namespace

PageGeometry ComputePageGeometry(int horizontalResolution, int verticalResolution, int lineHeight,
                                 int averageCharWidth) {
    PageGeometry page;
    page.rowHeight = int(lineHeight * 1.75);
    page.charWidth = averageCharWidth;
    if (page.rowHeight <= 0 || page.charWidth <= 0)
        return page;
    page.pageWidth = int(double(horizontalResolution) / page.charWidth * page.charWidth);
    page.pageHeight = int(double(verticalResolution) / page.rowHeight * page.rowHeight);
    page.linesPerPage = page.pageHeight / page.rowHeight;
    page.x0 = page.charWidth * 0.2;
    page.y0 = page.rowHeight * 0.2;
    return page;
}

int PageCount(int rows, const PageGeometry &page) {
    if (rows <= 0 || !page.HoldsRows())
        return 0;
    return (rows + page.linesPerPage - 6) / (page.linesPerPage - 5);
}

QVector<PrintColumn> ComputePrintColumns(const QVector<int> &screenWidths, int clientWidth, const PageGeometry &page) {
    QVector<PrintColumn> columns;
    if (clientWidth <= 0 || page.charWidth <= 0)
        return columns;
    const double scale = double(page.pageWidth) / clientWidth;
    double right = 0;
    for (int screenWidth : screenWidths) {
        PrintColumn column;
        column.width = int(screenWidth * scale);
        column.characters = column.width / page.charWidth;
        right += screenWidth * scale;
        column.rightEdge = right;
        columns.append(column);
    }
    return columns;
}

int DisplayWidth(QStringView text) {
    int cells = 0;
    int units = 0;
    for (qsizetype i = 0; i < text.size(); i += units)
        cells += IsWide(CharacterAt(text, i, units)) ? 2 : 1;
    return cells;
}

QString CutToDisplayWidth(const QString &text, int cells) {
    int used = 0;
    int units = 0;
    for (qsizetype i = 0; i < text.size(); i += units) {
        const int width = IsWide(CharacterAt(text, i, units)) ? 2 : 1;
        if (used + width > cells)
            return text.left(i);
        used += width;
    }
    return text;
}
