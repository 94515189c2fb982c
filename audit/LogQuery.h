#pragma once
#include "lists/SearchQuery.h"

#include <QDate>
#include <QString>
#include <QStringList>

// The operation log as the log dialog lists it.

// What the list shows: the entries of a period, narrowed to one user, one operation and one kind
// where they are given (empty: all).
struct LogFilter {
    QDate from;
    QDate to;
    QString user;
    QString operation;
    QString kind;
};

// The list's statement: number, time, user, operation, document, kind, numbers, count, amount and
// detail of each entry, in the order they were written.
QString LogListStatement(const LogFilter &filter);

// The operations the log records, for the dialog's choice.
QStringList LogOperations();

// The columns of the log that "票据搜索" offers in the log dialog.
const SearchCatalogue &LogSearchCatalogue();

// The money column of the list.
inline const QString LogAmountTitle = QStringLiteral("金额");
