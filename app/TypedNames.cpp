#include "app/TypedNames.h"

namespace {

QString WithoutInvisibles(const QString &text) {
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char32_t c = QChar::isHighSurrogate(text[i].unicode()) && i + 1 < text.size() &&
                                   QChar::isLowSurrogate(text[i + 1].unicode())
                               ? QChar::surrogateToUcs4(text[i], text[i + 1])
                               : text[i].unicode();
        const int units = c > 0xFFFF ? 2 : 1;
        const QChar::Category category = QChar::category(c);
        if (category != QChar::Other_Format && category != QChar::Other_Control)
            kept += text.mid(i, units);
        i += units - 1;
    }
    return kept;
}

} // namespace

QString NormaliseTypedName(const QString &typed) {
    // The invisibles go first, so that none stands between two characters that fold together.
    return WithoutInvisibles(typed).normalized(QString::NormalizationForm_KC).trimmed();
}
