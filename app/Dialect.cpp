#include "app/Dialect.h"

namespace {

bool IsAsciiDigit(QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; }

// Characters that start nothing the translation rewrites, copied as they stand.
bool IsPlain(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x80 && u != u'\'' && u != u'"' && u != u'[' && u != u'#' && u != u'.' && u != u'_' && u != u'$' &&
           !(u >= u'a' && u <= u'z') && !(u >= u'A' && u <= u'Z') && !(u >= u'0' && u <= u'9');
}

bool IsWord(QStringView word, QStringView keyword) {
    return word.size() == keyword.size() && word.compare(keyword, Qt::CaseInsensitive) == 0;
}

bool IsWordChar(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_' || u == u'$' ||
           u >= 0x80;
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

void AppendLiteral(TranslatedStatement &out, bool parameterise, const QString &text, QStringView asWritten = {}) {
    if (parameterise) {
        out.text += u'?';
        out.values.push_back(SqlValue{SqlValue::Text, 0, 0, asWritten.isNull() ? text : QString(), asWritten});
    } else {
        out.text += QuoteText(asWritten.isNull() ? text : asWritten.toString());
    }
}

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
    if (pos != text.size() || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || sec > 59)
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

TranslatedStatement TranslateStatement(const QString &s, bool parameterise) {
    TranslatedStatement out;
    out.text.reserve(s.size());
    if (parameterise)
        out.values.reserve(16);
    const int n = s.size();
    int i = 0;
    while (i < n) {
        const QChar c = s[i];
        if (c == u'\'') {
            QString value;
            QStringView asWritten; // the value where it holds no doubled quote and is no date
            int j = i + 1;
            const int firstClose = s.indexOf(u'\'', j);
            if (firstClose >= 0 && (firstClose + 1 >= n || s[firstClose + 1] != u'\'')) {
                asWritten = QStringView(s).mid(j, firstClose - j);
                if (!asWritten.isEmpty() && asWritten[0].isDigit() && asWritten.size() <= 24)
                    asWritten = QStringView(); // may be a date-time, which is rewritten
                else
                    j = firstClose;
            }
            while (asWritten.isNull()) {
                const int close = s.indexOf(u'\'', j);
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
                break;
            }
            if (!value.isEmpty() && value[0].isDigit() && value.size() <= 24) {
                QString date = NormaliseDateTimeText(value, true);
                if (!date.isEmpty())
                    value = date;
            }
            AppendLiteral(out, parameterise, value, asWritten);
            i = j + 1;
        } else if (c == u'"' || c == u'[') {
            const QChar close = c == u'"' ? u'"' : u']';
            int j = s.indexOf(close, i + 1);
            j = j < 0 ? n - 1 : j;
            out.text += QStringView(s).mid(i, j - i + 1);
            i = j + 1;
        } else if (c == u'#') {
            int j = s.indexOf(u'#', i + 1);
            QString date = j < 0 ? QString() : NormaliseDateTimeText(s.mid(i + 1, j - i - 1), false);
            if (date.isEmpty()) {
                out.text += c;
                ++i;
                continue;
            }
            AppendLiteral(out, parameterise, date);
            i = j + 1;
        } else if (IsAsciiDigit(c) || (c == u'.' && i + 1 < n && IsAsciiDigit(s[i + 1]))) {
            int j = i;
            bool real = false;
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
            const QStringView number = QStringView(s).mid(i, j - i);
            bool ok = false;
            SqlValue v;
            if (parameterise && !real) {
                v.type = SqlValue::Integer;
                v.integer = number.toLongLong(&ok);
            }
            if (parameterise && !ok) {
                v.type = SqlValue::Real;
                v.real = number.toDouble(&ok);
            }
            if (ok) {
                out.text += u'?';
                out.values.push_back(v);
            } else {
                out.text += number;
            }
            i = j;
        } else if (IsWordChar(c)) {
            int j = i + 1;
            while (j < n && IsWordChar(s[j]))
                ++j;
            const QStringView word = QStringView(s).mid(i, j - i);
            if (IsWord(word, u"TRUE")) {
                out.text += QStringLiteral("(-1)");
            } else if (IsWord(word, u"FALSE")) {
                out.text += QStringLiteral("0");
            } else {
                out.text += word;
                if (IsWord(word, u"DELETE")) {
                    int k = j;
                    SkipBlanks(s, k);
                    if (k < n && s[k] == u'*')
                        j = k + 1;
                }
            }
            i = j;
        } else {
            int j = i + 1;
            while (j < n && IsPlain(s[j]))
                ++j;
            out.text += QStringView(s).mid(i, j - i);
            i = j;
        }
    }
    return out;
}
