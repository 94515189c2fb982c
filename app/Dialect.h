#pragma once
#include "app/Store.h"

#include <QString>
#include <QVector>

// Turns the statement texts the dialogs compose into what the store accepts. The text is read once,
// word by word, and written for the target store:
//  - "DELETE * FROM" loses its star;
//  - #date# literals, and quoted texts written into or compared with a date-time column, become
//    zero-padded "yyyy-mm-dd hh:mm:ss" texts, so date-times compare and sort chronologically; an
//    impossible date (the 31st of February) is refused with CDbError. Every other text is kept
//    exactly as typed, however much it looks like a date;
//  - the words TRUE and FALSE become -1 and 0, the values the flags are stored as;
//  - a name column ordered by ORDER BY is ordered by pinyin (the file's collation PINYIN of the
//    connection, the server's ICU collation ServerPinyinCollation);
//  - a statement of more than one command is refused with CDbError (the commands of a trigger's body
//    between BEGIN and END belong to its one CREATE TRIGGER).
// For the server, '?' marks become $1, $2, ..., LIKE ignores case on every column as in the file,
// [name] becomes "name", quoted names are matched in lower case as the server keeps unquoted ones,
// and the file's hint NOT INDEXED is left out.
// With parameterise set, the string and number literals in value positions are lifted out as bound
// values and the text keeps a '?' in their place, so statements that differ only in their values
// share one prepared form. Numbers in ORDER BY and GROUP BY (column positions), hexadecimal numbers,
// blobs and column aliases stay in the text. Text values may point into the statement, which must
// outlive the result.

// The server's collation of names: ICU's Chinese by pinyin with Latin letters and digits before
// Chinese characters, as in the file. Made with the tables.
inline constexpr const char *ServerPinyinCollation = "pelorvanide_pinyin";
inline constexpr const char *ServerPinyinLocale = "zh-u-kr-latn-hani";

struct SqlValue {
    enum Type { Integer, Real, Text, Null } type = Text;
    qint64 integer = 0;
    double real = 0;
    QString text;
    // A text taken as it stands in the statement, without a copy; valid while the statement lives.
    QStringView view;
    QStringView TextValue() const { return view.isNull() ? QStringView(text) : view; }
};

// Values bound to a prepared statement.
inline SqlValue TextValue(const QString &text) {
    SqlValue v;
    v.text = text;
    return v;
}

inline SqlValue RealValue(double real) {
    SqlValue v;
    v.type = SqlValue::Real;
    v.real = real;
    return v;
}

inline SqlValue IntegerValue(qint64 integer) {
    SqlValue v;
    v.type = SqlValue::Integer;
    v.integer = integer;
    return v;
}

inline SqlValue NullValue() {
    SqlValue v;
    v.type = SqlValue::Null;
    return v;
}

struct TranslatedStatement {
    QString text;
    QVector<SqlValue> values;
};

TranslatedStatement TranslateStatement(const QString &statement, bool parameterise,
                                       StoreKind target = StoreKind::File);

// "2026-1-9 9:5:0" -> "2026-01-09 09:05:00"; a date alone gets midnight. Empty when the text is no date.
// requireTime refuses a text without a time part.
QString NormaliseDateTimeText(const QString &text, bool requireTime);

// The date-time as the store keeps it, for values the translation cannot see are date-times (a
// literal in the SELECT list of INSERT ... SELECT *). Throws CDbError when the text is no date-time.
QString StoredDateTimeText(const QString &text);

// A text value as a statement literal, single quotes doubled: O'Brien -> 'O''Brien'.
QString QuoteText(const QString &value);
// The same without the surrounding quotes, for format strings that already hold them ('%s').
QByteArray Quote(const QString &value);
