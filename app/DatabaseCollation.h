#pragma once
#include <QStringView>

// Compares texts as the clerks read them: Chinese by pinyin, Latin letters without regard to case.
// Texts of ASCII characters alone compare as the store's NOCASE does. The store's ORDER BY (collation
// PINYIN) and the lists' own sort use this one order.
int ComparePinyin(QStringView a, QStringView b);

// True when the text holds ASCII characters only, which compare without the collator.
bool IsAsciiText(QStringView text);

class QCollator;
// The collator for texts beyond ASCII: Chinese of mainland China, case-insensitive.
const QCollator &PinyinCollator();
