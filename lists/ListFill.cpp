#include "lists/ListFill.h"

#include "app/Database.h"
#include "bills/BillNumbers.h"
#include "lists/ListRows.h"

#include <QVector>
#include <charconv>
#include <cmath>

namespace {

bool IsLeadingBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

QByteArrayView WithoutLeadingBlanks(QByteArrayView text) {
    qsizetype i = 0;
    while (i < text.size() && IsLeadingBlank(text[i]))
        ++i;
    return text.sliced(i);
}

// Closes the query however the reading ends.
struct QueryCloser {
    CDatabase &db;
    ~QueryCloser() { db.CloseQuery(); }
};

// Appends one money cell: the prefix, then the value with the set decimals. Two decimals are the
// whole cents as every amount is shown (ToCents), so a list's rows and its total agree.
void AddMoneyCell(CListRows &rows, const QByteArray &prefix, double value, int decimals) {
    char buffer[400];
    QByteArray cell = prefix;
    if (decimals == 2 && std::fabs(value) < 1e15) {
        const qint64 cents = ToCents(value);
        const quint64 whole = cents < 0 ? quint64(-(cents + 1)) + 1 : quint64(cents);
        if (cents < 0)
            cell.append('-');
        const std::to_chars_result digits = std::to_chars(buffer, buffer + sizeof buffer, whole / 100);
        cell.append(buffer, digits.ptr - buffer);
        cell.append('.');
        cell.append(char('0' + whole % 100 / 10));
        cell.append(char('0' + whole % 10));
    } else {
        const std::to_chars_result digits =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
        cell.append(buffer, digits.ptr - buffer);
    }
    rows.AddCell(cell);
}

} // namespace

void ReadStatementRows(CDatabase &db, const QString &statement, const QStringList &titles, const MoneyFormat &money,
                       CListRows &rows) {
    const QueryCloser closer{db};
    db.OpenQuery(statement);
    QVector<int> fields;
    QVector<bool> isMoney;
    for (const QString &title : titles) {
        const int field = db.ColumnIndex(title);
        if (field < 0)
            throw CDbError(QStringLiteral("no such column: %1").arg(title));
        fields.append(field);
        isMoney.append(money.titles.contains(title));
    }
    if (titles.isEmpty())
        return;
    const QByteArray prefix = money.prefix.toUtf8();
    QByteArrayView text;
    for (; !db.IsEOF(); db.MoveNext()) {
        rows.BeginRow();
        for (int i = 0; i < fields.size(); ++i) {
            // A money value is read as the store's number, which is the value its text stands for.
            double value = 0;
            if (isMoney[i] && db.ReadFieldNumber(fields[i], value) && value != 0) {
                AddMoneyCell(rows, prefix, value, money.decimals);
                continue;
            }
            if (!db.ReadFieldUtf8(fields[i], text))
                text = QByteArrayView();
            rows.AddCell(WithoutLeadingBlanks(text));
        }
        rows.EndRow();
    }
}
