#include "lists/ListFill.h"

#include "app/Database.h"
#include "lists/ListRows.h"

#include <QVector>
#include <charconv>

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

// Appends one money cell: the prefix, then the value with the set decimals, as "%.*f" writes it.
void AddMoneyCell(CListRows &rows, const QByteArray &prefix, double value, int decimals) {
    char buffer[400];
    const std::to_chars_result digits =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    QByteArray cell = prefix;
    cell.append(buffer, digits.ptr - buffer);
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
