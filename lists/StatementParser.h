#pragma once
#include <QString>
#include <QStringList>

// The parts of a list statement "SELECT expr AS title, ... FROM tables WHERE condition ORDER BY column ASC".
// Keywords are found in an upper-cased copy in which tabs and line breaks count as blanks and quoted text
// ('a ORDER BY b', "name", [name]) is not searched. Expressions and titles are held upper-cased with every
// blank removed; the select list, from part, where part and order column keep the statement's own text,
// so that a re-query finds the same rows as the first run.
struct StatementParts {
    QString selectList;
    QStringList expressions;
    QStringList titles;
    QString fromPart;
    QString wherePart;
    QString orderColumn;
    bool ascending = true;
};

// " %s ": the form in which a list keeps and parses its statement.
QString WrapStatement(const QString &statement);

// Upper-cases ASCII letters only; Chinese text and every other character stay as they are.
QString UpperAscii(const QString &text);

// Parses a wrapped statement into parts. A statement without " FROM " leaves the parts untouched; a
// statement without a select list keeps the former expressions and titles; a statement without ASC or
// DESC after its ORDER BY column keeps the former ascending flag.
void ParseStatement(const QString &wrapped, StatementParts &parts);

// The expression of a title, when expressions and titles pair up; otherwise empty.
QString ExpressionOfTitle(const StatementParts &parts, const QString &title);

// The titles' expressions joined by ",", titles without an expression skipped; every column but the
// last followed by the direction, which ComposeOrderedStatement writes after the last.
QString OrderTextOfTitles(const StatementParts &parts, const QStringList &titles, bool ascending);

// "SELECT <select list> FROM <from part> [WHERE <where part>] ORDER BY <order text> ASC|DESC".
QString ComposeOrderedStatement(const StatementParts &parts, const QString &orderText, bool ascending);
