#include "reports/ListExport.h"

#include "app/FileCommit.h"
#include "bills/BillNumbers.h"

#include <QDir>
#include <QFile>
#include <QTextBoundaryFinder>

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

// Excel's limits: a sheet name holds at most 31 characters, a cell at most 32,767.
constexpr int kSheetNameMax = 31;
constexpr int kCellTextMax = 32767;

// The text cut to at most max UTF-16 units, at the start of a whole character: a character made of
// several code units (an emoji, a letter with its accents) is never split.
QString CutAtCharacter(const QString &text, int max) {
    if (text.size() <= max)
        return text;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    finder.setPosition(max);
    if (!finder.isAtBoundary())
        finder.toPreviousBoundary();
    return text.left(std::max<qsizetype>(finder.position(), 0));
}

// Blanks and apostrophes go from both ends.
QString WithoutEndBlanksOrApostrophes(const QString &text) {
    const auto loose = [](QChar c) { return c.isSpace() || c == QLatin1Char('\''); };
    qsizetype begin = 0, end = text.size();
    while (begin < end && loose(text[begin]))
        ++begin;
    while (end > begin && loose(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// A name Excel takes for a sheet: none of []:*?/\ or control characters, no ' at its start or end,
// at most 31 characters, not empty and not the reserved "History".
QString SheetName(const QString &title) {
    QString name = title;
    for (QChar &c : name)
        if (QStringLiteral("[]:*?/\\").contains(c) || c.unicode() < 32)
            c = QLatin1Char('_');
    name = WithoutEndBlanksOrApostrophes(CutAtCharacter(WithoutEndBlanksOrApostrophes(name), kSheetNameMax));
    if (name.isEmpty())
        return QStringLiteral("清单");
    if (name.compare(QLatin1String("History"), Qt::CaseInsensitive) == 0)
        name += QLatin1Char('_');
    return name;
}

// Text written into the workbook, cut to Excel's limit; the first failure of the library is kept.
class CSheetWriter {
public:
    explicit CSheetWriter(lxw_worksheet *sheet) : m_sheet(sheet) {}
    void Keep(lxw_error e) {
        if (m_failure == LXW_NO_ERROR)
            m_failure = e;
    }
    void Text(lxw_row_t row, lxw_col_t col, const QString &text, lxw_format *format) {
        const QString cut = CutAtCharacter(text, kCellTextMax);
        if (cut.size() < text.size())
            ++m_cut;
        m_utf8 = cut.toUtf8();
        Keep(worksheet_write_string(m_sheet, row, col, m_utf8.constData(), format));
    }
    lxw_error Failure() const { return m_failure; }
    int CutCells() const { return m_cut; }

private:
    lxw_worksheet *m_sheet;
    lxw_error m_failure = LXW_NO_ERROR;
    int m_cut = 0;
    QByteArray m_utf8;
};

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

namespace {

// The workbook's formats; null when one could not be made.
struct Formats {
    lxw_format *title, *header, *money, *date;
};

Formats MakeFormats(lxw_workbook *workbook) {
    Formats f{workbook_add_format(workbook), workbook_add_format(workbook), workbook_add_format(workbook),
              workbook_add_format(workbook)};
    if (!f.title || !f.header || !f.money || !f.date)
        return Formats{};
    format_set_bold(f.title);
    format_set_font_size(f.title, 14);
    format_set_bold(f.header);
    format_set_bg_color(f.header, 0xD9D9D9);
    format_set_border(f.header, LXW_BORDER_THIN);
    format_set_num_format(f.money, kMoneyFormat);
    format_set_num_format(f.date, kDateTimeFormat);
    return f;
}

void WriteSheet(const ExportTable &table, lxw_worksheet *sheet, const Formats &formats, CSheetWriter &out) {
    const int columns = int(table.headers.size());
    for (int c = 0; c < columns; ++c) {
        double width = table.widths.value(c, 10);
        if (table.kinds.value(c) == Kind::Date)
            width = std::max(width, 21.0);
        out.Keep(worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), width, nullptr));
    }
    worksheet_freeze_panes(sheet, 2, 0);
    out.Text(0, 0, table.title, formats.title);
    for (int c = 0; c < columns; ++c)
        out.Text(1, lxw_col_t(c), table.headers[c], formats.header);
    lxw_row_t r = 2;
    for (const QStringList &row : table.rows) {
        for (int c = 0; c < columns && out.Failure() == LXW_NO_ERROR; ++c) {
            const QString &cell = c < row.size() ? row[c] : QString();
            if (cell.isEmpty())
                continue;
            const lxw_col_t col = lxw_col_t(c);
            double value = 0;
            int parts[6];
            switch (table.kinds.value(c)) {
            case Kind::Money:
                if (MoneyValue(cell, value)) {
                    out.Keep(worksheet_write_number(sheet, r, col, value, formats.money));
                    continue;
                }
                break;
            case Kind::Number:
                if (MoneyValue(cell, value)) {
                    out.Keep(worksheet_write_number(sheet, r, col, value, nullptr));
                    continue;
                }
                break;
            case Kind::Date:
                if (DateParts(cell, parts)) {
                    lxw_datetime when = {parts[0], parts[1], parts[2], parts[3], parts[4], double(parts[5])};
                    out.Keep(worksheet_write_datetime(sheet, r, col, &when, formats.date));
                    continue;
                }
                break;
            case Kind::Text:
                break;
            }
            out.Text(r, col, cell, nullptr);
        }
        ++r;
    }
    if (!table.footer.isEmpty())
        out.Text(r + 1, 0, table.footer, nullptr);
}

QString LibraryText(lxw_error e) {
    return QString::fromUtf8(lxw_strerror(e));
}

} // namespace

bool WriteXlsx(const ExportTable &table, const QString &path, QString *error, int *cutCells) {
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    // Written under a temporary name beside the target, which it replaces only once it is whole.
    CFileReplacement target(path);
    if (target.TempPath().isEmpty())
        return fail(target.Error());
    // Rows go straight to a temporary file as they are written, so a list of any length takes
    // little memory; this is why the title is written into its first cell rather than merged.
    const QByteArray tmp = QFile::encodeName(QDir::tempPath());
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char *>(tmp.constData());
    const QByteArray file = QFile::encodeName(target.TempPath());
    lxw_workbook *workbook = workbook_new_opt(file.constData(), &options);
    if (!workbook)
        return fail(QStringLiteral("无法建立工作簿：内存不足。"));
    const QByteArray sheetName = SheetName(table.title).toUtf8();
    const lxw_error nameError = workbook_validate_sheet_name(workbook, sheetName.constData());
    lxw_worksheet *sheet =
        nameError == LXW_NO_ERROR ? workbook_add_worksheet(workbook, sheetName.constData()) : nullptr;
    const Formats formats = sheet ? MakeFormats(workbook) : Formats{};
    CSheetWriter out(sheet);
    if (!sheet)
        out.Keep(nameError != LXW_NO_ERROR ? nameError : LXW_ERROR_MEMORY_MALLOC_FAILED);
    else if (!formats.title)
        out.Keep(LXW_ERROR_MEMORY_MALLOC_FAILED);
    else
        WriteSheet(table, sheet, formats, out);
    // Closing frees the workbook whatever happened; after a failure its file goes with the temporary name.
    const lxw_error closed = workbook_close(workbook);
    if (out.Failure() != LXW_NO_ERROR)
        return fail(QStringLiteral("无法写入工作表“%1”：%2").arg(QString::fromUtf8(sheetName), LibraryText(out.Failure())));
    if (closed != LXW_NO_ERROR)
        return fail(QStringLiteral("无法写成工作簿文件：%1").arg(LibraryText(closed)));
    if (!target.Commit())
        return fail(target.Error());
    if (cutCells)
        *cutCells = out.CutCells();
    return true;
}

namespace {

// A spreadsheet takes a cell that begins so as a formula.
bool StartsLikeFormula(const QString &field) {
    return !field.isEmpty() && QStringLiteral("=+-@\t\r").contains(field[0]);
}

// The field as the CSV holds it. A text that a spreadsheet would run as a formula gets a leading ',
// which shows it as text (the tab or CR it began with stays); an amount or number stays a number.
QByteArray CsvField(QString field, Kind kind) {
    double value = 0;
    const bool isNumber = (kind == Kind::Money || kind == Kind::Number) && MoneyValue(field, value);
    if (!isNumber && StartsLikeFormula(field))
        field.prepend(QLatin1Char('\''));
    if (field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) || field.contains(QLatin1Char('\n')) ||
        field.contains(QLatin1Char('\r')))
        return '"' + field.replace(QLatin1String("\""), QLatin1String("\"\"")).toUtf8() + '"';
    return field.toUtf8();
}

} // namespace

QByteArray CsvBytes(const ExportTable &table) {
    QByteArray out("\xEF\xBB\xBF");
    const int columns = int(table.headers.size());
    const auto appendLine = [&](const QStringList &fields, bool header) {
        for (int c = 0; c < columns; ++c) {
            if (c > 0)
                out += ',';
            out += CsvField(fields.value(c), header ? Kind::Text : table.kinds.value(c));
        }
        out += "\r\n";
    };
    appendLine(table.headers, true);
    for (const QStringList &row : table.rows)
        appendLine(row, false);
    if (!table.footer.isEmpty())
        out += CsvField(table.footer, Kind::Text) + "\r\n";
    return out;
}

bool WriteCsv(const ExportTable &table, const QString &path, QString *error) {
    // Written under a temporary name beside the target, which it replaces only once it is whole.
    CFileReplacement target(path);
    QString reason = target.Error();
    if (!target.TempPath().isEmpty()) {
        QFile file(target.TempPath());
        const QByteArray bytes = CsvBytes(table);
        const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
        if (!written)
            reason = QStringLiteral("无法写入文件：%1").arg(file.errorString());
        file.close();
        if (written && target.Commit())
            return true;
        if (written)
            reason = target.Error();
    }
    if (error)
        *error = reason;
    return false;
}

QString ExportFileStem(const QString &tableName) {
    QString stem = tableName.trimmed();
    for (QChar &c : stem)
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.unicode() < 32)
            c = QLatin1Char('_');
    return stem.isEmpty() ? QStringLiteral("清单") : stem;
}
