#include "lists/ListRows.h"

#include "app/DatabaseCollation.h"

#include <QHash>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Offset = quint32;

Offset EndOf(const QByteArray &row, int column) {
    Offset end;
    std::memcpy(&end, row.constData() + column * sizeof(Offset), sizeof(Offset));
    return end;
}

void SetEndOf(QByteArray &row, int column, Offset end) {
    std::memcpy(row.data() + column * sizeof(Offset), &end, sizeof(Offset));
}

QByteArrayView CellOf(const QByteArray &row, int columns, int column) {
    const qsizetype header = columns * qsizetype(sizeof(Offset));
    const Offset begin = column == 0 ? 0 : EndOf(row, column - 1);
    return QByteArrayView(row.constData() + header + begin, EndOf(row, column) - begin);
}

QByteArray EncodeRow(const QList<QByteArrayView> &cells) {
    const qsizetype header = cells.size() * qsizetype(sizeof(Offset));
    QByteArray row(header, '\0');
    for (int i = 0; i < cells.size(); ++i) {
        row.append(cells[i]);
        SetEndOf(row, i, Offset(row.size() - header));
    }
    return row;
}

// The first eight bytes with ASCII letters folded to lower case, so most comparisons of a sort
// need not reach the rows.
quint64 FoldedPrefixOf(QByteArrayView text) {
    quint64 prefix = 0;
    for (int i = 0; i < 8; ++i) {
        quint8 c = i < text.size() ? quint8(text[i]) : 0u;
        if (c >= 'A' && c <= 'Z')
            c = quint8(c + ('a' - 'A'));
        prefix = (prefix << 8) | c;
    }
    return prefix;
}

int CompareFoldedBytes(QByteArrayView a, QByteArrayView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype k = 0; k < n; ++k) {
        char x = a[k], y = b[k];
        if (x >= 'A' && x <= 'Z')
            x = char(x + ('a' - 'A'));
        if (y >= 'A' && y <= 'Z')
            y = char(y + ('a' - 'A'));
        if (x != y)
            return quint8(x) < quint8(y) ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool IsAsciiBytes(QByteArrayView text) {
    for (char c : text)
        if (quint8(c) >= 0x80)
            return false;
    return true;
}

void UpperAsciiBytes(QByteArray &bytes) {
    for (char &c : bytes)
        if (c >= 'a' && c <= 'z')
            c = char(c - ('a' - 'A'));
}

// Keys whose byte order is the order of ComparePinyin: an ASCII character is its byte, letters folded;
// any other character is 0x80 followed by its rank among the column's other characters in three
// bytes, ranked by CompareNameChars. Characters equal in that order have equal encodings, so the
// first differing byte decides as the first differing character does, and a prefix comes first.
std::vector<QByteArray> PinyinKeys(const CListRows &rows, int column) {
    std::vector<std::u32string> texts;
    texts.reserve(rows.RowCount());
    std::vector<char32_t> others;
    for (int i = 0; i < rows.RowCount(); ++i) {
        const QList<uint> ucs4 = QString::fromUtf8(rows.Cell(i, column)).toUcs4();
        texts.emplace_back(ucs4.begin(), ucs4.end());
        for (char32_t c : texts.back())
            if (c >= 0x80)
                others.push_back(c);
    }
    std::sort(others.begin(), others.end());
    others.erase(std::unique(others.begin(), others.end()), others.end());
    std::sort(others.begin(), others.end(), [](char32_t a, char32_t b) { return CompareNameChars(a, b) < 0; });
    QHash<char32_t, quint32> rank;
    for (size_t r = 0; r < others.size(); ++r)
        rank.insert(others[r], quint32(r));
    std::vector<QByteArray> keys;
    keys.reserve(texts.size());
    for (const std::u32string &text : texts) {
        QByteArray key;
        key.reserve(qsizetype(text.size()) * 4);
        for (char32_t c : text) {
            if (c < 0x80) {
                key.append(char(c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c));
                continue;
            }
            const quint32 r = rank.value(c);
            key.append(char(0x80));
            key.append(char(r >> 16));
            key.append(char(r >> 8));
            key.append(char(r));
        }
        keys.push_back(std::move(key));
    }
    return keys;
}

} // namespace

void AppendUtf8(QByteArray &target, QStringView text) {
    const qsizetype n = text.size();
    const char16_t *s = text.utf16();
    qsizetype i = 0;
    while (i < n && s[i] < 0x80)
        ++i;
    // At most three bytes per UTF-16 unit; a surrogate pair of two units takes four.
    const qsizetype at = target.size();
    target.resize(at + i + (n - i) * 3);
    char *out = target.data() + at;
    for (qsizetype k = 0; k < i; ++k)
        *out++ = char(s[k]);
    for (; i < n; ++i) {
        char32_t c = s[i];
        if (c < 0x80) {
            *out++ = char(c);
        } else if (c < 0x800) {
            *out++ = char(0xC0 | (c >> 6));
            *out++ = char(0x80 | (c & 0x3F));
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
            c = QChar::surrogateToUcs4(char16_t(c), s[++i]);
            *out++ = char(0xF0 | (c >> 18));
            *out++ = char(0x80 | ((c >> 12) & 0x3F));
            *out++ = char(0x80 | ((c >> 6) & 0x3F));
            *out++ = char(0x80 | (c & 0x3F));
        } else {
            if (QChar::isSurrogate(c))
                c = QChar::ReplacementCharacter;
            *out++ = char(0xE0 | (c >> 12));
            *out++ = char(0x80 | ((c >> 6) & 0x3F));
            *out++ = char(0x80 | (c & 0x3F));
        }
    }
    target.resize(out - target.constData());
}

void CListRows::InsertColumn(int column) {
    for (QByteArray &row : m_rows)
        row = RowWithCell(row, column, QByteArrayView(), true);
    ++m_columns;
}

void CListRows::ClearColumns() {
    m_columns = 0;
    m_rows.clear();
}

QByteArrayView CListRows::Cell(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= m_columns)
        return QByteArrayView();
    return CellOf(m_rows[row], m_columns, column);
}

QString CListRows::Text(int row, int column) const {
    return QString::fromUtf8(Cell(row, column));
}

void CListRows::SetText(int row, int column, QStringView text) {
    QByteArray bytes;
    AppendUtf8(bytes, text);
    m_rows[row] = RowWithCell(m_rows[row], column, bytes, false);
}

QByteArray CListRows::EmptyRow() const {
    return QByteArray(m_columns * qsizetype(sizeof(Offset)), '\0');
}

QByteArray CListRows::RowWithCell(const QByteArray &row, int column, QByteArrayView cell, bool insert) const {
    QList<QByteArrayView> cells;
    cells.reserve(m_columns + 1);
    for (int i = 0; i < m_columns; ++i)
        cells.append(CellOf(row, m_columns, i));
    if (insert)
        cells.insert(column, cell);
    else
        cells[column] = cell;
    return EncodeRow(cells);
}

void CListRows::InsertEmptyRows(int row, int count) {
    m_rows.insert(row, count, EmptyRow());
}

void CListRows::RemoveRows(int row, int count) {
    m_rows.remove(row, count);
}

void CListRows::SwapRows(int a, int b) {
    m_rows.swapItemsAt(a, b);
}

void CListRows::BeginRow() {
    // The offsets are all written as the cells come, so the buffer is only resized, keeping its memory.
    m_building.resize(m_columns * qsizetype(sizeof(Offset)));
    m_builtCells = 0;
}

void CListRows::AddCell(QStringView text) {
    if (m_builtCells < m_columns) {
        AppendUtf8(m_building, text);
        EndCell();
    }
}

void CListRows::AddCell(QByteArrayView utf8) {
    if (m_builtCells < m_columns) {
        m_building.append(utf8);
        EndCell();
    }
}

void CListRows::EndCell() {
    SetEndOf(m_building, m_builtCells++, Offset(m_building.size() - m_columns * qsizetype(sizeof(Offset))));
}

void CListRows::EndRow() {
    while (m_builtCells < m_columns)
        EndCell();
    m_rows.append(QByteArray(m_building.constData(), m_building.size()));
}

void CListRows::Sort(int column, bool ascending) {
    // Texts sort as the store's ORDER BY sorts them (ComparePinyin); a column of ASCII texts alone
    // needs no collator, its folded bytes are the order.
    bool ascii = true;
    for (int i = 0; i < RowCount() && ascii; ++i)
        ascii = IsAsciiBytes(Cell(i, column));
    std::vector<int> order(m_rows.size());
    for (int i = 0; i < RowCount(); ++i)
        order[i] = i;
    if (ascii) {
        struct Key {
            quint64 prefix;
            QByteArrayView text;
        };
        std::vector<Key> keys;
        keys.reserve(m_rows.size());
        for (int i = 0; i < RowCount(); ++i) {
            const QByteArrayView text = Cell(i, column);
            keys.push_back({FoldedPrefixOf(text), text});
        }
        const auto less = [&keys](int x, int y) {
            const Key &a = keys[x];
            const Key &b = keys[y];
            if (a.prefix != b.prefix)
                return a.prefix < b.prefix;
            return CompareFoldedBytes(a.text, b.text) < 0;
        };
        if (ascending)
            std::stable_sort(order.begin(), order.end(), less);
        else
            std::stable_sort(order.begin(), order.end(), [&less](int x, int y) { return less(y, x); });
    } else {
        const std::vector<QByteArray> keys = PinyinKeys(*this, column);
        const auto less = [&keys](int x, int y) { return keys[x] < keys[y]; };
        if (ascending)
            std::stable_sort(order.begin(), order.end(), less);
        else
            std::stable_sort(order.begin(), order.end(), [&less](int x, int y) { return less(y, x); });
    }
    QVector<QByteArray> sorted;
    sorted.reserve(m_rows.size());
    for (int row : order)
        sorted.append(std::move(m_rows[row]));
    m_rows = std::move(sorted);
}

void CListRows::KeepRows(const QList<int> &rows) {
    QVector<QByteArray> kept;
    kept.reserve(rows.size());
    for (int row : rows)
        kept.append(m_rows.at(row));
    m_rows = std::move(kept);
}

int CListRows::Find(int column, const QString &text, int start, bool exact) const {
    const QByteArray wanted = text.toUtf8();
    QByteArray upper;
    for (int row = std::max(start, 0); row < RowCount(); ++row) {
        const QByteArrayView cell = Cell(row, column);
        if (exact) {
            if (cell == QByteArrayView(wanted))
                return row;
            continue;
        }
        upper = cell.toByteArray();
        UpperAsciiBytes(upper);
        if (upper.contains(wanted))
            return row;
    }
    return -1;
}
