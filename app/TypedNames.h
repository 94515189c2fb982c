#pragma once
#include <QString>

// A name as a clerk typed it, made into the name that is stored and compared: invisible format
// characters (zero-width spaces and joiners, bidirectional controls, the byte-order mark) and control
// characters are removed, compatibility forms are folded (NFKC: full-width letters and digits,
// half-width katakana, the ideographic space) and the outer blanks are trimmed, so that two names
// that look alike are one name. Empty when nothing visible is left. Names already stored are read
// as they are.
QString NormaliseTypedName(const QString &typed);
