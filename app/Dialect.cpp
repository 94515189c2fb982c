#include "app/Dialect.h"

namespace {

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
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", y, mo, d, h, mi, sec);
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
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && s[i + 1].isDigit())) {
            int j = i;
            bool real = false;
            while (j < n && (s[j].isDigit() || s[j] == u'.')) {
                real = real || s[j] == u'.';
                ++j;
            }
            if (j < n && (s[j] == u'e' || s[j] == u'E')) {
                int k = j + 1;
                if (k < n && (s[k] == u'+' || s[k] == u'-'))
                    ++k;
                if (k < n && s[k].isDigit()) {
                    real = true;
                    j = k;
                    while (j < n && s[j].isDigit())
                        ++j;
                }
            }
            const QStringView number = QStringView(s).mid(i, j - i);
            bool ok = false;
            SqlValue v;
            if (!real) {
                v.type = SqlValue::Integer;
                v.integer = number.toLongLong(&ok);
            }
            if (!ok) {
                v.type = SqlValue::Real;
                v.real = number.toDouble(&ok);
            }
            if (parameterise && ok) {
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
            if (word.compare(u"TRUE", Qt::CaseInsensitive) == 0) {
                out.text += QStringLiteral("(-1)");
            } else if (word.compare(u"FALSE", Qt::CaseInsensitive) == 0) {
                out.text += QStringLiteral("0");
            } else {
                out.text += word;
                if (word.compare(u"DELETE", Qt::CaseInsensitive) == 0) {
                    int k = j;
                    SkipBlanks(s, k);
                    if (k < n && s[k] == u'*')
                        j = k + 1;
                }
            }
            i = j;
        } else {
            out.text += c;
            ++i;
        }
    }
    return out;
}
