#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>
#include <QVector>

// The rows of a list, kept compactly for lists of a million rows: each row is one block of UTF-8
// holding the end offsets of its cells followed by the cells' bytes, so a row costs one allocation
// whatever its column count, and texts compare byte by byte as stored.
class CListRows {
public:
    int RowCount() const { return int(m_rows.size()); }
    int ColumnCount() const { return m_columns; }

    // Changing the columns keeps the rows: a new column is empty in every row.
    void InsertColumn(int column);
    void ClearColumns();

    QByteArrayView Cell(int row, int column) const;
    QString Text(int row, int column) const;
    void SetText(int row, int column, QStringView text);

    void InsertEmptyRows(int row, int count);
    void RemoveRows(int row, int count);
    void Clear() { m_rows.clear(); }
    void SwapRows(int a, int b);
    void Reserve(int rows) { m_rows.reserve(rows); }

    // Building a row cell by cell, then appending it: the way a fill adds its rows without a
    // temporary text per cell.
    void BeginRow();
    void AddCell(QStringView text);
    void AddCell(QByteArrayView utf8);
    void EndRow();

    // Stable sort by one column: Chinese by pinyin, Latin letters without regard to case.
    void Sort(int column, bool ascending);
    // Keeps the given rows, in the order given.
    void KeepRows(const QList<int> &rows);
    // The first row from start on whose cell equals the text (exact) or, upper-cased, contains the
    // text, which the caller has upper-cased; -1 when none.
    int Find(int column, const QString &text, int start, bool exact) const;

private:
    QByteArray EmptyRow() const;
    void EndCell();
    QByteArray RowWithCell(const QByteArray &row, int column, QByteArrayView cell, bool insert) const;

    int m_columns = 0;
    QVector<QByteArray> m_rows;
    QByteArray m_building;
    int m_builtCells = 0;
};

// Appends text as UTF-8 without a temporary.
void AppendUtf8(QByteArray &target, QStringView text);
