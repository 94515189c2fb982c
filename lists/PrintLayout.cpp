#include "lists/PrintLayout.h"

#include <QTextBoundaryFinder>
#include <algorithm>
#include <numeric>

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

int FullWidthOf(const QVector<ColumnNeed> &needs) {
    int total = 0;
    for (const ColumnNeed &need : needs)
        total += std::max(need.whole, need.full);
    return total;
}

QVector<PrintColumn> ComputePrintColumns(const QVector<ColumnNeed> &needs, const QVector<int> &screenWidths,
                                         int pageWidth) {
    QVector<PrintColumn> columns;
    const int n = int(needs.size());
    if (n == 0 || pageWidth <= 0)
        return columns;
    QVector<double> whole(n), full(n), share(n);
    for (int i = 0; i < n; ++i) {
        whole[i] = std::max(0, needs[i].whole);
        full[i] = std::max(whole[i], double(needs[i].full));
    }
    const double sumWhole = std::accumulate(whole.begin(), whole.end(), 0.0);
    const double sumFull = std::accumulate(full.begin(), full.end(), 0.0);
    if (sumFull <= pageWidth) {
        // Room to spare: shared as the columns are wide on screen (evenly without screen widths).
        QVector<double> weight(n, 1.0);
        double sumWeight = n;
        if (screenWidths.size() == n) {
            const double sumScreen = std::accumulate(screenWidths.begin(), screenWidths.end(), 0.0,
                                                     [](double s, int w) { return s + std::max(0, w); });
            if (sumScreen > 0) {
                for (int i = 0; i < n; ++i)
                    weight[i] = std::max(0, screenWidths[i]);
                sumWeight = sumScreen;
            }
        }
        for (int i = 0; i < n; ++i)
            share[i] = full[i] + (pageWidth - sumFull) * weight[i] / sumWeight;
    } else if (sumWhole <= pageWidth) {
        // The whole texts fit; the names are cut, each column getting room as it lacks it.
        const double sumLack = sumFull - sumWhole;
        for (int i = 0; i < n; ++i)
            share[i] = whole[i] + (pageWidth - sumWhole) * (full[i] - whole[i]) / sumLack;
    } else {
        for (int i = 0; i < n; ++i)
            share[i] = sumWhole > 0 ? pageWidth * whole[i] / sumWhole : double(pageWidth) / n;
    }
    double right = 0;
    for (int i = 0; i < n; ++i) {
        PrintColumn column;
        const double left = right;
        right = i + 1 == n ? double(pageWidth) : std::min(double(pageWidth), right + share[i]);
        column.rightEdge = right;
        column.width = int(right) - int(left);
        columns.append(column);
    }
    return columns;
}

bool PrintsWhole(QStringView text) {
    bool digit = false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            digit = true;
        else if (!((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || u == u' ' || u == u'.' || u == u',' ||
                   u == u'-' || u == u'+' || u == u':' || u == u'/' || u == u'%' || u == u'￥' || u == u'¥' ||
                   u == u'$'))
            return false;
    }
    return digit;
}

QString CutToWidth(const QString &text, int width, const std::function<int(QStringView)> &measure) {
    if (text.isEmpty() || measure(text) <= width)
        return text;
    // Grapheme boundaries after the first character; the longest fitting prefix is found by halving.
    QVector<qsizetype> ends;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary())
        ends.append(at);
    qsizetype low = 0, high = ends.size(); // ends[0 .. low) fit, ends[high ..) do not
    while (low < high) {
        const qsizetype mid = (low + high) / 2;
        if (measure(QStringView(text).left(ends[mid])) <= width)
            low = mid + 1;
        else
            high = mid;
    }
    return low == 0 ? QString() : text.left(ends[low - 1]);
}

QVector<int> SampleRows(int rowCount, int limit) {
    QVector<int> rows;
    if (rowCount <= 0 || limit <= 0)
        return rows;
    const int count = std::min(rowCount, limit);
    rows.reserve(count);
    for (int i = 0; i < count; ++i)
        rows.append(int(qint64(i) * rowCount / count));
    if (rowCount > count)
        rows.last() = rowCount - 1; // the last row is often a total
    return rows;
}
