#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <initializer_list>

struct StatementParts;

// The columns a list of bill runs can be searched by: each column's name with the title the search
// dialog shows for it, and which of them hold texts, numbers and date-times.
struct SearchCatalogue {
    QStringList names;
    QStringList titles;
    QStringList textColumns;
    QStringList numberColumns;
    QStringList dateColumns;
};

// One searchable column: its name in the store and the title the list shows for it.
struct SearchField {
    const char *name;
    const char *title;
};

// A catalogue of the text, number and date-time columns, in that order.
SearchCatalogue MakeSearchCatalogue(std::initializer_list<SearchField> texts,
                                    std::initializer_list<SearchField> numbers,
                                    std::initializer_list<SearchField> dates);

// The titles of those list expressions that are columns of the kind (one of the catalogue's three
// lists), in the list's order. Names are compared upper-cased, as list expressions are held.
QStringList SearchTitlesOf(const SearchCatalogue &catalogue, const QStringList &expressions,
                           const QStringList &kindColumns);

// The column name of a catalogue title (compared upper-cased); empty for any other text.
QString SearchColumnOfTitle(const SearchCatalogue &catalogue, const QString &title);

// " column = 'value' " for an exact match, otherwise " column LIKE '%value%' " in which the value's own
// %, _ and \ stand for themselves. An empty value then matches every value that is not NULL.
QString TextSearchClause(const QString &column, const QString &value, bool exact);
QString NumberSearchClause(const QString &column, double lower, double upper);
// A bound of the number range: a finite decimal number ("12", "-3.5", ".5"), blanks around it
// allowed; an empty field counts as 0. False for anything else, "inf", "nan" and exponents included.
bool ParseSearchNumber(const QString &text, double &value);
QString DateSearchClause(const QString &column, const QDateTime &from, const QDateTime &to);

// The where text with one more clause joined by " AND ".
QString AddSearchClause(const QString &where, const QString &clause);

// The list's own select list and tables, the where text and the list's own order.
QString ComposeSearchStatement(const StatementParts &parts, const QString &where);
