#include "reports/ListExport.h"

#include "bills/BillNumbers.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>

namespace {

using Kind = ExportTable::Kind;

// Width in Excel's character units: Chinese and full-width characters take two.
int CellWidth(QStringView text) {
    int width = 0;
    for (const QChar c : text)
        width += c.unicode() >= 0x2E80 ? 2 : 1;
    return width;
}

// Digits of a plain number: at most 12 before the point, no leading zero, an optional minus.
bool IsPlainNumber(QStringView s) {
    int i = 0;
    if (i < s.size() && s[i] == QLatin1Char('-'))
        ++i;
    const int intStart = i;
    while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128)
        ++i;
    const int intDigits = i - intStart;
    if (intDigits == 0 || intDigits > 12 || (intDigits > 1 && s[intStart] == QLatin1Char('0')))
        return false;
    if (i == s.size())
        return true;
    if (s[i] != QLatin1Char('.') || i + 1 == s.size())
        return false;
    for (++i; i < s.size(); ++i)
        if (!s[i].isDigit() || s[i].unicode() >= 128)
            return false;
    return true;
}

bool ReadInts(QStringView text, QChar separator, int *out, int count) {
    const QList<QStringView> parts = text.split(separator);
    if (parts.size() != count)
        return false;
    for (int i = 0; i < count; ++i) {
        if (parts[i].isEmpty() || parts[i].size() > 4)
            return false;
        bool ok = false;
        out[i] = parts[i].toInt(&ok);
        if (!ok || parts[i][0] == QLatin1Char('-') || parts[i][0] == QLatin1Char('+'))
            return false;
    }
    return true;
}

// The money format of the workbook: the sign, thousands separated, two decimals.
constexpr const char *kMoneyFormat = "\xEF\xBF\xA5#,##0.00";
constexpr const char *kDateTimeFormat = "yyyy-mm-dd hh:mm:ss";

QString XlsxError(lxw_error e) {
    return QString::fromUtf8(lxw_strerror(e));
}

// Sheet names are at most 31 characters and hold none of []:*?/\ .
QByteArray SheetName(const QString &title) {
    QString name = title;
    for (QChar &c : name)
        if (QStringLiteral("[]:*?/\\").contains(c))
            c = QLatin1Char('_');
    name = name.left(31).trimmed();
    return (name.isEmpty() ? QStringLiteral("清单") : name).toUtf8();
}

} // namespace

bool MoneyValue(const QString &cell, double &value) {
    const QString text = StripMoneySign(cell.trimmed()).remove(QLatin1Char(','));
    if (text.isEmpty())
        return false;
    bool ok = false;
    value = text.toDouble(&ok);
    return ok && std::isfinite(value);
}

bool DateParts(const QString &cell, int parts[6]) {
    const QStringView text = QStringView(cell).trimmed();
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    const QStringView date = blank < 0 ? text : text.left(blank);
    if (!ReadInts(date, QLatin1Char('-'), parts, 3))
        return false;
    parts[3] = parts[4] = parts[5] = 0;
    if (blank >= 0 && !ReadInts(text.mid(blank + 1), QLatin1Char(':'), parts + 3, 3))
        return false;
    return parts[0] >= 1900 && parts[0] <= 9999 && parts[1] >= 1 && parts[1] <= 12 && parts[2] >= 1 && parts[2] <= 31 &&
           parts[3] <= 23 && parts[4] <= 59 && parts[5] <= 59;
}

void ExportTable::TypeColumns() {
    const int columns = int(headers.size());
    kinds = QVector<Kind>(columns, Kind::Text);
    widths = QVector<double>(columns, 0);
    for (int c = 0; c < columns; ++c) {
        bool anyFilled = false, anyMoneySign = false, money = true, number = true, date = true;
        int widest = CellWidth(headers[c]);
        for (const QStringList &row : std::as_const(rows)) {
            const QString cell = row.value(c);
            for (const QStringView line : QStringView(cell).split(QLatin1Char('\n')))
                widest = std::max(widest, CellWidth(line));
            if (cell.isEmpty())
                continue;
            anyFilled = true;
            double v = 0;
            int parts[6];
            if (cell.startsWith(MoneySign))
                anyMoneySign = true;
            if (money && !MoneyValue(cell, v))
                money = false;
            if (number && !IsPlainNumber(cell))
                number = false;
            if (date && !DateParts(cell, parts))
                date = false;
        }
        if (anyFilled && money && anyMoneySign)
            kinds[c] = Kind::Money;
        else if (anyFilled && date)
            kinds[c] = Kind::Date;
        else if (anyFilled && number)
            kinds[c] = Kind::Number;
        // A little room beyond the text, as a clerk would drag the column; very long texts wrap at 60.
        widths[c] = std::min(60.0, widest + 2.0);
    }
}

bool WriteXlsx(const ExportTable &table, const QString &path, QString *error) {
    // Rows go straight to a temporary file as they are written, so a list of any length takes
    // little memory; this is why the title is written into its first cell rather than merged.
    const QByteArray tmp = QFile::encodeName(QDir::tempPath());
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char *>(tmp.constData());
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook *workbook = workbook_new_opt(file.constData(), &options);
    if (!workbook) {
        if (error)
            *error = QStringLiteral("无法建立文件");
        return false;
    }
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, SheetName(table.title).constData());
    lxw_format *titleFormat = workbook_add_format(workbook);
    format_set_bold(titleFormat);
    format_set_font_size(titleFormat, 14);
    lxw_format *headerFormat = workbook_add_format(workbook);
    format_set_bold(headerFormat);
    format_set_bg_color(headerFormat, 0xD9D9D9);
    format_set_border(headerFormat, LXW_BORDER_THIN);
    lxw_format *moneyFormat = workbook_add_format(workbook);
    format_set_num_format(moneyFormat, kMoneyFormat);
    lxw_format *dateFormat = workbook_add_format(workbook);
    format_set_num_format(dateFormat, kDateTimeFormat);

    const int columns = int(table.headers.size());
    for (int c = 0; c < columns; ++c) {
        double width = table.widths.value(c, 10);
        if (table.kinds.value(c) == Kind::Date)
            width = std::max(width, 21.0);
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), width, nullptr);
    }
    worksheet_freeze_panes(sheet, 2, 0);
    worksheet_write_string(sheet, 0, 0, table.title.toUtf8().constData(), titleFormat);
    for (int c = 0; c < columns; ++c)
        worksheet_write_string(sheet, 1, lxw_col_t(c), table.headers[c].toUtf8().constData(), headerFormat);
    lxw_row_t r = 2;
    QByteArray text;
    for (const QStringList &row : table.rows) {
        for (int c = 0; c < columns; ++c) {
            const QString &cell = c < row.size() ? row[c] : QString();
            if (cell.isEmpty())
                continue;
            const lxw_col_t col = lxw_col_t(c);
            double value = 0;
            int parts[6];
            switch (table.kinds.value(c)) {
            case Kind::Money:
                if (MoneyValue(cell, value)) {
                    worksheet_write_number(sheet, r, col, value, moneyFormat);
                    continue;
                }
                break;
            case Kind::Number:
                if (MoneyValue(cell, value)) {
                    worksheet_write_number(sheet, r, col, value, nullptr);
                    continue;
                }
                break;
            case Kind::Date:
                if (DateParts(cell, parts)) {
                    lxw_datetime when = {parts[0], parts[1], parts[2], parts[3], parts[4], double(parts[5])};
                    worksheet_write_datetime(sheet, r, col, &when, dateFormat);
                    continue;
                }
                break;
            case Kind::Text:
                break;
            }
            text = cell.toUtf8();
            worksheet_write_string(sheet, r, col, text.constData(), nullptr);
        }
        ++r;
    }
    if (!table.footer.isEmpty())
        worksheet_write_string(sheet, r + 1, 0, table.footer.toUtf8().constData(), nullptr);
    const lxw_error e = workbook_close(workbook);
    if (e != LXW_NO_ERROR) {
        if (error)
            *error = XlsxError(e);
        return false;
    }
    return true;
}

QByteArray CsvBytes(const ExportTable &table) {
    QByteArray out("\xEF\xBB\xBF");
    const auto appendLine = [&out](const QStringList &fields, int columns) {
        for (int c = 0; c < columns; ++c) {
            if (c > 0)
                out += ',';
            const QString field = fields.value(c);
            if (field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
                field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r'))) {
                out += '"';
                out += QString(field).replace(QLatin1String("\""), QLatin1String("\"\"")).toUtf8();
                out += '"';
            } else {
                out += field.toUtf8();
            }
        }
        out += "\r\n";
    };
    const int columns = int(table.headers.size());
    appendLine(table.headers, columns);
    for (const QStringList &row : table.rows)
        appendLine(row, columns);
    if (!table.footer.isEmpty())
        appendLine({table.footer}, 1);
    return out;
}

bool WriteCsv(const ExportTable &table, const QString &path, QString *error) {
    // Written beside the target and renamed over it at the end: a failure leaves no half file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(CsvBytes(table)) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

QString ExportFileStem(const QString &tableName) {
    QString stem = tableName.trimmed();
    for (QChar &c : stem)
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.unicode() < 32)
            c = QLatin1Char('_');
    return stem.isEmpty() ? QStringLiteral("清单") : stem;
}
