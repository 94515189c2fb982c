#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

// A list as the clerk sees it, handed to the finance office as a file: an Excel workbook or CSV.
// Written from the shown texts, so the file holds exactly what the list shows.

struct ExportTable {
    enum class Kind { Text, Money, Number, Date };
    QString title;             // the table name
    QStringList headers;       // column titles
    QVector<QStringList> rows; // shown cell texts, one list per row
    QVector<Kind> kinds;       // per column, from TypeColumns
    QVector<double> widths;    // per column in characters, from TypeColumns
    QString footer;            // a line after the rows (the log's check code); none when empty

    // Decides each column's kind from its cells and the width that fits its longest text:
    //  - money when its cells carry "￥" (a zero amount is shown without the sign);
    //  - a date when every cell is a date-time "2026-01-09 09:05:00" or a date alone;
    //  - a number when every cell is a plain number without leading zeros and of at most 12 digits,
    //    so bill numbers such as 00000001 and 15-digit document numbers stay texts;
    //  - text otherwise. Empty cells fit every kind; a column with no filled cell is text.
    void TypeColumns();
};

// A money, number or date cell's value; false for an empty or unreadable cell. Dates are given as
// the parts year, month, day, hour, minute, second.
bool MoneyValue(const QString &cell, double &value);
bool DateParts(const QString &cell, int parts[6]);

// Both files are written under a temporary name beside the target and replace it only once they are
// whole: a failure leaves an existing target as it was. False with the reason in error, a Chinese
// sentence followed by the library's words.

// The workbook: the title in the first row, the bold header in the second, then one row per list
// row, then the footer; money as numbers in the "￥" number format, dates as dates, numbers as numbers, columns as
// wide as their texts. The sheet is named after the title as far as Excel allows. A text longer than
// Excel's 32,767 characters is cut to that; cutCells tells how many were.
bool WriteXlsx(const ExportTable &table, const QString &path, QString *error = nullptr, int *cutCells = nullptr);

// UTF-8 with a byte-order mark, so Excel reads the Chinese right; the header line, then one line per
// row and the footer, lines ended by CR LF; a field holding a comma, a quote, CR or LF is quoted, its quotes doubled.
// A text beginning with =, +, -, @, a tab or CR, which a spreadsheet would run as a formula, gets a
// leading ' so that it shows as text; amounts and numbers stay numbers.
QByteArray CsvBytes(const ExportTable &table);
bool WriteCsv(const ExportTable &table, const QString &path, QString *error = nullptr);

// The table name as a file name: characters no file name may hold become "_".
QString ExportFileStem(const QString &tableName);
