#include "lists/SearchQuery.h"

#include "app/Dialect.h"
#include "bills/BillNumbers.h"
#include "lists/StatementParser.h"

namespace {

qsizetype IndexUpper(const QStringList &list, const QString &text) {
    const QString wanted = UpperAscii(text);
    for (qsizetype i = 0; i < list.size(); ++i)
        if (UpperAscii(list.at(i)) == wanted)
            return i;
    return -1;
}

QString DateText(const QDateTime &t) {
    const QDate d = t.date();
    const QTime h = t.time();
    return QString::asprintf("%d-%d-%d %d:%d:%d", d.year(), d.month(), d.day(), h.hour(), h.minute(), h.second());
}

} // namespace

QStringList SearchTitlesOf(const SearchCatalogue &catalogue, const QStringList &expressions,
                           const QStringList &kindColumns) {
    QStringList titles;
    for (const QString &expression : expressions) {
        if (IndexUpper(kindColumns, expression) < 0)
            continue;
        const qsizetype at = IndexUpper(catalogue.names, expression);
        if (at >= 0 && at < catalogue.titles.size())
            titles << catalogue.titles.at(at);
    }
    return titles;
}

QString SearchColumnOfTitle(const SearchCatalogue &catalogue, const QString &title) {
    if (title.isEmpty())
        return QString();
    const qsizetype at = IndexUpper(catalogue.titles, title);
    return at < 0 || at >= catalogue.names.size() ? QString() : catalogue.names.at(at);
}

QString TextSearchClause(const QString &column, const QString &value, bool exact) {
    if (exact)
        return QString::asprintf(" %s = '%s' ", qUtf8Printable(column), Quote(value).constData());
    QString pattern = value;
    pattern.replace(u'\\', QStringLiteral("\\\\"));
    pattern.replace(u'%', QStringLiteral("\\%"));
    pattern.replace(u'_', QStringLiteral("\\_"));
    return QString::asprintf(" %s LIKE '%%%s%%' ESCAPE '\\' ", qUtf8Printable(column), Quote(pattern).constData());
}

QString NumberSearchClause(const QString &column, double lower, double upper) {
    return QString::asprintf(" %s BETWEEN %f AND %f ", qUtf8Printable(column), lower, upper);
}

bool ParseSearchNumber(const QString &text, double &value) {
    if (text.trimmed().isEmpty()) {
        value = 0;
        return true;
    }
    return ParseDecimalText(text, value);
}

QString DateSearchClause(const QString &column, const QDateTime &from, const QDateTime &to) {
    return QString::asprintf(" %s BETWEEN #%s# AND #%s# ", qUtf8Printable(column), qUtf8Printable(DateText(from)),
                             qUtf8Printable(DateText(to)));
}

QString AddSearchClause(const QString &where, const QString &clause) {
    return where.isEmpty() ? clause : where + QStringLiteral(" AND ") + clause;
}

QString ComposeSearchStatement(const StatementParts &parts, const QString &where) {
    QString statement =
        QString::asprintf("SELECT %s FROM %s ", qUtf8Printable(parts.selectList), qUtf8Printable(parts.fromPart));
    if (!where.isEmpty())
        statement += QString::asprintf(" WHERE %s ", qUtf8Printable(where));
    if (!parts.orderColumn.isEmpty())
        statement += QString::asprintf(parts.ascending ? " ORDER BY %s ASC " : " ORDER BY %s DESC ",
                                       qUtf8Printable(parts.orderColumn));
    return statement;
}

namespace {

void AddFields(SearchCatalogue &catalogue, std::initializer_list<SearchField> fields, QStringList &kind) {
    for (const SearchField &field : fields) {
        catalogue.names << QString::fromLatin1(field.name);
        catalogue.titles << QString::fromUtf8(field.title);
        kind << QString::fromLatin1(field.name);
    }
}

} // namespace

SearchCatalogue MakeSearchCatalogue(std::initializer_list<SearchField> texts,
                                    std::initializer_list<SearchField> numbers,
                                    std::initializer_list<SearchField> dates) {
    SearchCatalogue catalogue;
    AddFields(catalogue, texts, catalogue.textColumns);
    AddFields(catalogue, numbers, catalogue.numberColumns);
    AddFields(catalogue, dates, catalogue.dateColumns);
    return catalogue;
}
