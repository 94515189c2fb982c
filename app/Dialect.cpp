#include "app/Dialect.h"

#include "app/Database.h"
#include "schema/SchemaTables.h"

#include <QDate>

namespace {

bool IsAsciiDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

bool IsHexDigit(QChar c) {
    const char16_t u = c.unicode();
    return IsAsciiDigit(c) || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f' || c == u'\v';
}

bool IsWord(QStringView word, QStringView keyword) {
    return word.size() == keyword.size() && word.compare(keyword, Qt::CaseInsensitive) == 0;
}

bool IsWordChar(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_' || u == u'$' ||
           u >= 0x80;
}

bool IsOperatorChar(QChar c) {
    return c == u'=' || c == u'<' || c == u'>' || c == u'!';
}

// Reads an unsigned decimal group; returns false when no digit stands at pos.
bool ReadNumber(const QString &s, int &pos, int &value, int maxDigits) {
    int start = pos;
    value = 0;
    while (pos < s.size() && s[pos].isDigit() && pos - start < maxDigits) {
        value = value * 10 + s[pos].digitValue();
        ++pos;
    }
    return pos > start;
}

bool Expect(const QString &s, int &pos, QChar a, QChar b = QChar()) {
    if (pos < s.size() && (s[pos] == a || (!b.isNull() && s[pos] == b))) {
        ++pos;
        return true;
    }
    return false;
}

void SkipBlanks(const QString &s, int &pos) {
    while (pos < s.size() && s[pos].isSpace())
        ++pos;
}

[[noreturn]] void RefuseDate(QStringView text) {
    throw CDbError(QStringLiteral("“%1”不是有效的日期时间").arg(text));
}

// Where a literal stands with respect to a date-time column: "column = 'x'", "column BETWEEN 'x'
// AND 'y'", "column IN ('x', 'y')".
enum class DateZone { None, AfterColumn, Value, Between1, BetweenAnd, Between2, InList, InListOpen };

enum class Last { None, Word, Compare, Open, Close, Comma, Literal, Other };

// The column list of an INSERT, so that a literal written into a date-time column is known.
enum class InsertPhase { None, Table, Columns, AfterColumns, Values, Select };

struct OrderZone {
    int depth;
    bool order; // ORDER BY, not GROUP BY
};

class CTranslator {
public:
    CTranslator(const QString &s, bool parameterise) : s(s), n(int(s.size())), parameterise(parameterise) {
        out.text.reserve(s.size() + 16);
        if (parameterise)
            out.values.reserve(16);
    }

    TranslatedStatement Run() {
        while (i < n) {
            const QChar c = s[i];
            if (c == u'\'')
                StringLiteral();
            else if (c == u'"' || c == u'[')
                QuotedName();
            else if (c == u'#')
                DateLiteral();
            else if (IsAsciiDigit(c) || (c == u'.' && i + 1 < n && IsAsciiDigit(s[i + 1])))
                Number();
            else if (IsWordChar(c))
                Word();
            else if (IsBlank(c))
                Blanks();
            else
                Punctuation();
        }
        return std::move(out);
    }

private:
    bool InOrderZone() const { return !zones.isEmpty() && zones.last().depth <= depth; }

    // A literal whose value is written into or compared with a date-time column.
    bool DateValueHere() const {
        if (zone == DateZone::Value || zone == DateZone::Between1 || zone == DateZone::Between2 ||
            zone == DateZone::InListOpen)
            return true;
        return itemStart && (phase == InsertPhase::Values || phase == InsertPhase::Select) &&
               valueIndex < dateColumns.size() && dateColumns[valueIndex];
    }

    void AfterLiteral() {
        switch (zone) {
        case DateZone::Between1:
            zone = DateZone::BetweenAnd;
            break;
        case DateZone::InListOpen:
            break;
        default:
            zone = DateZone::None;
        }
        itemStart = false;
        last = Last::Literal;
    }

    void AppendText(const QString &text, QStringView asWritten) {
        if (parameterise) {
            out.text += u'?';
            out.values.push_back(SqlValue{SqlValue::Text, 0, 0, asWritten.isNull() ? text : QString(), asWritten});
        } else {
            out.text += QuoteText(asWritten.isNull() ? text : asWritten.toString());
        }
    }

    void StringLiteral() {
        // X'..' is a blob, a literal after AS names a column: both keep their meaning as written.
        const bool asWrittenOnly = (last == Last::Word && i > 0 && IsWordChar(s[i - 1]) && (IsWord(lastWord, u"X"))) ||
                                   (last == Last::Word && IsWord(lastWord, u"AS")) || InOrderZone();
        QString value;
        QStringView asWritten; // the value where it holds no doubled quote
        int j = i + 1;
        const int firstClose = int(s.indexOf(u'\'', j));
        if (firstClose >= 0 && (firstClose + 1 >= n || s[firstClose + 1] != u'\'')) {
            asWritten = QStringView(s).mid(j, firstClose - j);
            j = firstClose;
        }
        while (asWritten.isNull()) {
            const int close = int(s.indexOf(u'\'', j));
            if (close < 0) {
                j = n;
                break;
            }
            value += QStringView(s).mid(j, close - j);
            if (close + 1 < n && s[close + 1] == u'\'') { // a doubled quote inside the value
                value += u'\'';
                j = close + 2;
                continue;
            }
            j = close;
            break;
        }
        if (j >= n) { // unterminated: let the store report it
            out.text += QStringView(s).mid(i);
            i = n;
            return;
        }
        if (asWrittenOnly) {
            out.text += QStringView(s).mid(i, j - i + 1);
        } else if (DateValueHere()) {
            const QStringView text = asWritten.isNull() ? QStringView(value) : asWritten;
            if (text.isEmpty()) {
                AppendText(value, asWritten);
            } else {
                const QString date = NormaliseDateTimeText(text.toString(), false);
                if (date.isEmpty())
                    RefuseDate(text);
                AppendText(date, {});
            }
        } else {
            AppendText(value, asWritten);
        }
        i = j + 1;
        AfterLiteral();
    }

    void QuotedName() {
        const QChar close = s[i] == u'"' ? u'"' : u']';
        int j = int(s.indexOf(close, i + 1));
        j = j < 0 ? n - 1 : j;
        out.text += QStringView(s).mid(i, j - i + 1);
        NameSeen(QStringView(s).mid(i + 1, j - i - 1));
        i = j + 1;
    }

    void DateLiteral() {
        const int j = int(s.indexOf(u'#', i + 1));
        if (j < 0) {
            out.text += s[i];
            ++i;
            last = Last::Other;
            return;
        }
        const QString inner = s.mid(i + 1, j - i - 1);
        const QString date = NormaliseDateTimeText(inner, false);
        if (date.isEmpty())
            RefuseDate(inner);
        AppendText(date, {});
        i = j + 1;
        AfterLiteral();
    }

    void Number() {
        int j = i;
        bool real = false;
        bool bindable = true;
        if (s[i] == u'0' && i + 2 < n && (s[i + 1] == u'x' || s[i + 1] == u'X') && IsHexDigit(s[i + 2])) {
            j = i + 2;
            while (j < n && IsHexDigit(s[j]))
                ++j;
            bindable = false; // hexadecimal: kept as written
        } else {
            while (j < n && (IsAsciiDigit(s[j]) || s[j] == u'.')) {
                real = real || s[j] == u'.';
                ++j;
            }
            if (j < n && (s[j] == u'e' || s[j] == u'E')) {
                int k = j + 1;
                if (k < n && (s[k] == u'+' || s[k] == u'-'))
                    ++k;
                if (k < n && IsAsciiDigit(s[k])) {
                    real = true;
                    j = k;
                    while (j < n && IsAsciiDigit(s[j]))
                        ++j;
                }
            }
        }
        // Letters glued to a number make no number: the store reports them as written.
        while (j < n && IsWordChar(s[j])) {
            bindable = false;
            ++j;
        }
        const QStringView number = QStringView(s).mid(i, j - i);
        bool ok = false;
        SqlValue v;
        // A number in ORDER BY or GROUP BY names a column of the result; it stays as written.
        if (parameterise && bindable && !InOrderZone()) {
            if (!real) {
                v.type = SqlValue::Integer;
                v.integer = number.toLongLong(&ok);
            }
            if (!ok) {
                v.type = SqlValue::Real;
                v.real = number.toDouble(&ok);
            }
        }
        if (ok) {
            out.text += u'?';
            out.values.push_back(v);
        } else {
            out.text += number;
        }
        i = j;
        AfterLiteral();
    }

    // The next word or character after blanks, for deciding whether an ORDER BY term ends here.
    bool OrderTermEndsAt(int pos) const {
        while (pos < n && IsBlank(s[pos]))
            ++pos;
        if (pos >= n || s[pos] == u',' || s[pos] == u')' || s[pos] == u';')
            return true;
        int end = pos;
        while (end < n && IsWordChar(s[end]))
            ++end;
        const QStringView word = QStringView(s).mid(pos, end - pos);
        return IsWord(word, u"ASC") || IsWord(word, u"DESC") || IsWord(word, u"LIMIT") || IsWord(word, u"NULLS");
    }

    void Word() {
        int j = i + 1;
        // "a.column" is one name.
        while (j < n &&
               (IsWordChar(s[j]) || (s[j] == u'.' && j + 1 < n && IsWordChar(s[j + 1]) && !IsAsciiDigit(s[j + 1]))))
            ++j;
        const QStringView word = QStringView(s).mid(i, j - i);
        const qsizetype dot = word.lastIndexOf(u'.');
        const QStringView name = dot < 0 ? word : word.mid(dot + 1);
        const Last before = last;
        const QStringView wordBefore = lastWord;
        i = j;
        if (IsWord(word, u"TRUE")) {
            out.text += QStringLiteral("(-1)");
            AfterLiteral();
            return;
        }
        if (IsWord(word, u"FALSE")) {
            out.text += QStringLiteral("0");
            AfterLiteral();
            return;
        }
        out.text += word;
        if (IsWord(word, u"DELETE")) {
            int k = j;
            SkipBlanks(s, k);
            if (k < n && s[k] == u'*')
                i = k + 1;
        }
        // Names are ordered as the clerks read them: Chinese by pinyin, Latin letters without case.
        if (InOrderZone() && zones.last().order && zones.last().depth == depth &&
            (before == Last::Comma || (before == Last::Word && IsWord(wordBefore, u"BY"))) &&
            schema::IsNameColumn(name) && OrderTermEndsAt(i))
            out.text += QStringLiteral(" COLLATE PINYIN");
        Keyword(word, before, wordBefore);
        NameSeen(name);
        lastWord = word;
    }

    void Keyword(QStringView word, Last before, QStringView wordBefore) {
        if (IsWord(word, u"BY") && before == Last::Word &&
            (IsWord(wordBefore, u"ORDER") || IsWord(wordBefore, u"GROUP"))) {
            zones.append({depth, IsWord(wordBefore, u"ORDER")});
        } else if (IsWord(word, u"LIMIT") || IsWord(word, u"HAVING") || IsWord(word, u"WINDOW") ||
                   IsWord(word, u"UNION") || IsWord(word, u"EXCEPT") || IsWord(word, u"INTERSECT")) {
            while (!zones.isEmpty() && zones.last().depth >= depth)
                zones.removeLast();
        }
        switch (phase) {
        case InsertPhase::None:
            if (IsWord(word, u"INSERT")) {
                phase = InsertPhase::Table;
                insertDepth = depth;
                dateColumns.clear();
            }
            break;
        case InsertPhase::Table:
        case InsertPhase::AfterColumns:
            if (IsWord(word, u"VALUES")) {
                phase = InsertPhase::Values;
            } else if (IsWord(word, u"SELECT")) {
                phase = InsertPhase::Select;
                valueIndex = 0;
                itemStart = true;
                return;
            }
            break;
        case InsertPhase::Columns:
        case InsertPhase::Values:
            break;
        case InsertPhase::Select:
            if (depth == insertDepth && (IsWord(word, u"FROM") || IsWord(word, u"WHERE")))
                phase = InsertPhase::None;
            break;
        }
        itemStart = false;
    }

    void NameSeen(QStringView name) {
        const bool date = schema::IsDateTimeColumn(name);
        if (phase == InsertPhase::Columns && depth == insertDepth + 1)
            dateColumns.push_back(date);
        if (date) {
            zone = DateZone::AfterColumn;
        } else if (zone == DateZone::AfterColumn && IsWord(name, u"NOT")) {
        } else if (zone == DateZone::AfterColumn && IsWord(name, u"BETWEEN")) {
            zone = DateZone::Between1;
        } else if (zone == DateZone::AfterColumn && IsWord(name, u"IN")) {
            zone = DateZone::InList;
        } else if (zone == DateZone::BetweenAnd && IsWord(name, u"AND")) {
            zone = DateZone::Between2;
        } else {
            zone = DateZone::None;
        }
        last = Last::Word;
    }

    void Blanks() {
        int j = i + 1;
        while (j < n && IsBlank(s[j]))
            ++j;
        out.text += QStringView(s).mid(i, j - i);
        i = j;
    }

    void Punctuation() {
        const QChar c = s[i];
        if (c == u'-' && i + 1 < n && s[i + 1] == u'-') {
            int j = int(s.indexOf(u'\n', i));
            j = j < 0 ? n : j;
            out.text += QStringView(s).mid(i, j - i);
            i = j;
            return;
        }
        if (c == u'/' && i + 1 < n && s[i + 1] == u'*') {
            int j = int(s.indexOf(QStringLiteral("*/"), i + 2));
            j = j < 0 ? n : j + 2;
            out.text += QStringView(s).mid(i, j - i);
            i = j;
            return;
        }
        if (IsOperatorChar(c)) {
            int j = i + 1;
            while (j < n && IsOperatorChar(s[j]))
                ++j;
            out.text += QStringView(s).mid(i, j - i);
            i = j;
            zone = zone == DateZone::AfterColumn ? DateZone::Value : DateZone::None;
            last = Last::Compare;
            itemStart = false;
            return;
        }
        out.text += c;
        ++i;
        if (c == u'(') {
            ++depth;
            if (phase == InsertPhase::Table) {
                phase = InsertPhase::Columns;
            } else if (phase == InsertPhase::Values && depth == insertDepth + 1) {
                valueIndex = 0;
                itemStart = true;
                last = Last::Open;
                return;
            }
            zone = zone == DateZone::InList ? DateZone::InListOpen : DateZone::None;
            last = Last::Open;
        } else if (c == u')') {
            --depth;
            while (!zones.isEmpty() && zones.last().depth > depth)
                zones.removeLast();
            if (phase == InsertPhase::Columns && depth == insertDepth)
                phase = InsertPhase::AfterColumns;
            zone = DateZone::None;
            last = Last::Close;
        } else if (c == u',') {
            if ((phase == InsertPhase::Values && depth == insertDepth + 1) ||
                (phase == InsertPhase::Select && depth == insertDepth)) {
                ++valueIndex;
                itemStart = true;
                last = Last::Comma;
                zone = DateZone::None;
                return;
            }
            if (zone != DateZone::InListOpen)
                zone = DateZone::None;
            last = Last::Comma;
        } else if (c == u';') {
            zones.clear();
            phase = InsertPhase::None;
            zone = DateZone::None;
            depth = 0;
            last = Last::None;
        } else {
            zone = DateZone::None;
            last = Last::Other;
        }
        itemStart = false;
    }

    const QString &s;
    const int n;
    const bool parameterise;
    TranslatedStatement out;
    int i = 0;
    int depth = 0;
    Last last = Last::None;
    QStringView lastWord;
    DateZone zone = DateZone::None;
    QVector<OrderZone> zones;
    InsertPhase phase = InsertPhase::None;
    int insertDepth = 0;
    QVector<bool> dateColumns;
    int valueIndex = 0;
    bool itemStart = false;
};

} // namespace

QString NormaliseDateTimeText(const QString &text, bool requireTime) {
    int pos = 0, y, mo, d, h = 0, mi = 0, sec = 0;
    SkipBlanks(text, pos);
    if (!ReadNumber(text, pos, y, 4) || !Expect(text, pos, u'-', u'/') || !ReadNumber(text, pos, mo, 2) ||
        !Expect(text, pos, u'-', u'/') || !ReadNumber(text, pos, d, 2))
        return {};
    int afterDate = pos;
    SkipBlanks(text, pos);
    bool hasTime = pos > afterDate && ReadNumber(text, pos, h, 2);
    if (hasTime) {
        if (!Expect(text, pos, u':') || !ReadNumber(text, pos, mi, 2))
            return {};
        if (Expect(text, pos, u':') && !ReadNumber(text, pos, sec, 2))
            return {};
    } else if (requireTime) {
        return {};
    }
    SkipBlanks(text, pos);
    // The 31st of February is no day, as the original store refused it.
    if (pos != text.size() || !QDate::isValid(y, mo, d) || h > 23 || mi > 59 || sec > 59)
        return {};
    // "yyyy-MM-dd hh:mm:ss", written digit by digit: this runs for every date a statement holds.
    char16_t out[19];
    const auto put = [&out](int at, int value, int digits) {
        for (int k = digits - 1; k >= 0; --k, value /= 10)
            out[at + k] = char16_t(u'0' + value % 10);
    };
    put(0, y, 4);
    out[4] = u'-';
    put(5, mo, 2);
    out[7] = u'-';
    put(8, d, 2);
    out[10] = u' ';
    put(11, h, 2);
    out[13] = u':';
    put(14, mi, 2);
    out[16] = u':';
    put(17, sec, 2);
    return QString(reinterpret_cast<const QChar *>(out), 19);
}

QString StoredDateTimeText(const QString &text) {
    const QString stored = NormaliseDateTimeText(text, true);
    if (stored.isEmpty())
        RefuseDate(text);
    return stored;
}

QString QuoteText(const QString &value) {
    QString quoted = value;
    quoted.replace(u'\'', QStringLiteral("''"));
    return u'\'' + quoted + u'\'';
}

QByteArray Quote(const QString &value) {
    QString doubled = value;
    doubled.replace(u'\'', QStringLiteral("''"));
    return doubled.toUtf8();
}

TranslatedStatement TranslateStatement(const QString &statement, bool parameterise) {
    return CTranslator(statement, parameterise).Run();
}
