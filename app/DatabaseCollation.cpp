#include "app/DatabaseCollation.h"

#include <QCollator>
#include <QLocale>

namespace {

char16_t FoldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
}

} // namespace

bool IsAsciiText(QStringView text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

const QCollator &PinyinCollator() {
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Chinese, QLocale::China));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

int ComparePinyin(QStringView a, QStringView b) {
    if (IsAsciiText(a) && IsAsciiText(b)) {
        const qsizetype n = std::min(a.size(), b.size());
        for (qsizetype k = 0; k < n; ++k) {
            const char16_t x = FoldAscii(a[k].unicode());
            const char16_t y = FoldAscii(b[k].unicode());
            if (x != y)
                return x < y ? -1 : 1;
        }
        return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
    }
    const int c = PinyinCollator().compare(a, b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}
