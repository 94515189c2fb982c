#pragma once
#include <QString>
#include <QStringList>

class CDatabase;
class CListRows;

// How a list shows money: the titles of its money columns, the prefix and the decimals.
struct MoneyFormat {
    QStringList titles;
    QString prefix;
    int decimals = 0;
};

// Runs the statement and appends its rows to rows, one cell per title, the field named by the title
// read as text: NULL gives an empty cell and leading blanks are removed. A money cell whose value is
// not zero shows the prefix and the value with the set decimals ("125" -> "￥125.00"); a zero value
// shows the text as read.
// A failing statement, or a title that names no field of it, throws CDbError; the rows read before
// stay. The query is closed afterwards either way.
void ReadStatementRows(CDatabase &db, const QString &statement, const QStringList &titles, const MoneyFormat &money,
                       CListRows &rows);
