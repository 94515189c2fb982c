#include "app/DatabaseCollation.h"

#include <QCollator>
#include <QHash>
#include <QLocale>

namespace {

char32_t FoldAscii(char32_t c) {
    return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c;
}

const QCollator &PinyinCollator() {
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Chinese, QLocale::China));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

// The collator's key of one character, made once per character: a sort compares the same few
// thousand characters millions of times.
const QCollatorSortKey &KeyOf(char32_t c) {
    static QHash<char32_t, QCollatorSortKey> keys;
    auto it = keys.constFind(c);
    if (it == keys.constEnd())
        it = keys.insert(c, PinyinCollator().sortKey(QString::fromUcs4(&c, 1)));
    return it.value();
}

// The code point at i, stepping past it; a lone surrogate stands for itself.
char32_t NextCodePoint(QStringView s, qsizetype &i) {
    const char16_t c = s[i++].unicode();
    if (QChar::isHighSurrogate(c) && i < s.size() && QChar::isLowSurrogate(s[i].unicode()))
        return QChar::surrogateToUcs4(c, s[i++].unicode());
    return c;
}

} // namespace

int CompareNameChars(char32_t a, char32_t b) {
    if (a == b)
        return 0;
    const bool asciiA = a < 0x80;
    const bool asciiB = b < 0x80;
    if (asciiA && asciiB) {
        const char32_t x = FoldAscii(a);
        const char32_t y = FoldAscii(b);
        return x == y ? 0 : (x < y ? -1 : 1);
    }
    if (asciiA != asciiB)
        return asciiA ? -1 : 1;
    const int c = KeyOf(a).compare(KeyOf(b));
    if (c != 0)
        return c < 0 ? -1 : 1;
    return a < b ? -1 : 1;
}

int ComparePinyin(QStringView a, QStringView b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        const int c = CompareNameChars(NextCodePoint(a, i), NextCodePoint(b, j));
        if (c != 0)
            return c;
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}
