#pragma once
#include <QStringView>

// Compares texts as the clerks read them, character by character: ASCII characters by their byte
// with letters folded to one case (as the store's NOCASE), before every other character; other
// characters by the zh_CN collator, Chinese by pinyin, and characters it weighs alike by their code
// point. A text comes before every longer text it begins. This is a strict weak order whose only
// ties are texts that differ in the case of ASCII letters; the store's ORDER BY (collation PINYIN)
// and the lists' own sort both use it.
int ComparePinyin(QStringView a, QStringView b);

// The step ComparePinyin takes for one pair of characters (code points).
int CompareNameChars(char32_t a, char32_t b);
