#include "lists/StatementParser.h"

namespace {

// A piece of the statement: the same range read from the statement as written, from its upper-cased
// copy and from the copy in which keywords are searched, which all have the same length because
// only ASCII letters change and quoted text is blotted out character by character.
struct Span {
    const QString *original;
    const QString *upper;
    const QString *keys;
    qsizetype begin;
    qsizetype end;

    qsizetype Find(const char *word) const {
        const qsizetype at = QStringView(*keys).sliced(begin, end - begin).indexOf(QLatin1String(word));
        return at < 0 ? -1 : begin + at;
    }
    Span Before(qsizetype at) const { return {original, upper, keys, begin, at}; }
    Span After(qsizetype at, const char *word) const {
        return {original, upper, keys, at + qsizetype(qstrlen(word)), end};
    }
    bool IsEmpty() const { return begin >= end; }
    QString Original() const { return original->mid(begin, end - begin); }
    QString UpperWithoutBlanks() const {
        QString text = upper->mid(begin, end - begin);
        text.remove(QLatin1Char(' '));
        return text;
    }
};

// Tabs and line breaks separate words as blanks do.
QString BlankCopy(const QString &statement) {
    QString copy = UpperAscii(statement);
    for (QChar &c : copy)
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    return copy;
}

// The copy in which keywords are searched: what stands between quotes (a value 'a ORDER BY b', a
// name "x FROM y" or [x FROM y]) is blotted out, so only the statement's own words are found.
QString KeywordCopy(const QString &blanked) {
    QString copy = blanked;
    QChar close;
    for (QChar &c : copy) {
        if (!close.isNull()) {
            if (c == close)
                close = QChar();
            else
                c = u'\x01';
        } else if (c == u'\'' || c == u'"') {
            close = c;
        } else if (c == u'[') {
            close = u']';
        }
    }
    return copy;
}

void ParseTail(const Span &rest, StatementParts &parts) {
    const qsizetype where = rest.Find(" WHERE ");
    if (where < 0) {
        const qsizetype order = rest.Find(" ORDER BY ");
        parts.fromPart = (order < 0 ? rest : rest.Before(order)).Original();
        return;
    }
    parts.fromPart = rest.Before(where).Original();
    const Span condition = rest.After(where, " WHERE ");
    const qsizetype order = condition.Find(" ORDER BY ");
    if (order < 0) {
        parts.wherePart = condition.Original();
        return;
    }
    parts.wherePart = condition.Before(order).Original();
    const Span ordering = condition.After(order, " ORDER BY ");
    if (const qsizetype asc = ordering.Find(" ASC "); asc >= 0) {
        parts.orderColumn = ordering.Before(asc).Original();
        parts.ascending = true;
    } else if (const qsizetype desc = ordering.Find(" DESC "); desc >= 0) {
        parts.orderColumn = ordering.Before(desc).Original();
        parts.ascending = false;
    } else {
        parts.orderColumn = ordering.Original();
    }
}

// Pairs "expression AS title" separated by commas. A comma inside an expression does not end the
// pair: the next pair starts after the comma that follows the title.
void ParseSelectList(Span list, StatementParts &parts) {
    for (qsizetype as = list.Find(" AS "); as >= 0; as = list.Find(" AS ")) {
        parts.expressions.append(list.Before(as).UpperWithoutBlanks());
        const Span rest = list.After(as, " AS ");
        const qsizetype comma = rest.Find(",");
        if (comma < 0) {
            parts.titles.append(rest.UpperWithoutBlanks());
            return;
        }
        parts.titles.append(rest.Before(comma).UpperWithoutBlanks());
        list = rest.After(comma, ",");
    }
}

} // namespace

QString WrapStatement(const QString &statement) {
    return QLatin1Char(' ') + statement + QLatin1Char(' ');
}

QString UpperAscii(const QString &text) {
    QString upper = text;
    for (QChar &c : upper)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    return upper;
}

void ParseStatement(const QString &wrapped, StatementParts &parts) {
    const QString upper = BlankCopy(wrapped);
    const QString keys = KeywordCopy(upper);
    const Span whole{&wrapped, &upper, &keys, 0, wrapped.size()};
    const qsizetype from = whole.Find(" FROM ");
    if (from < 0)
        return;
    parts.selectList.clear();
    parts.fromPart.clear();
    parts.wherePart.clear();
    parts.orderColumn.clear();
    ParseTail(whole.After(from, " FROM "), parts);

    Span select = whole.Before(from);
    if (const qsizetype keyword = select.Find(" SELECT "); keyword >= 0)
        select = select.After(keyword, " SELECT ");
    if (select.IsEmpty())
        return;
    parts.selectList = select.Original();
    parts.expressions.clear();
    parts.titles.clear();
    ParseSelectList(select, parts);
}

QString ExpressionOfTitle(const StatementParts &parts, const QString &title) {
    if (parts.expressions.isEmpty() || parts.expressions.size() != parts.titles.size())
        return QString();
    const qsizetype at = parts.titles.indexOf(title);
    return at < 0 ? QString() : parts.expressions.at(at);
}

QString OrderTextOfTitles(const StatementParts &parts, const QStringList &titles, bool ascending) {
    QStringList expressions;
    for (const QString &title : titles) {
        const QString expression = ExpressionOfTitle(parts, title);
        if (!expression.isEmpty())
            expressions.append(expression);
    }
    // A direction binds to one column only: every column but the last carries its own, and the composed
    // statement closes with the last one's.
    return expressions.join(ascending ? QStringLiteral(" ASC,") : QStringLiteral(" DESC,"));
}

QString ComposeOrderedStatement(const StatementParts &parts, const QString &orderText, bool ascending) {
    QString statement =
        QString::asprintf("SELECT %s FROM %s ", qUtf8Printable(parts.selectList), qUtf8Printable(parts.fromPart));
    if (!parts.wherePart.isEmpty())
        statement = QString::asprintf("%s WHERE %s ", qUtf8Printable(statement), qUtf8Printable(parts.wherePart));
    statement = QString::asprintf("%s ORDER BY %s ", qUtf8Printable(statement), qUtf8Printable(orderText));
    return QString::asprintf(ascending ? "%s ASC " : "%s DESC ", qUtf8Printable(statement));
}
