#pragma once
#include <QString>
#include <QVector>

// Turns the statement texts the dialogs compose into what the store accepts:
//  - "DELETE * FROM" loses its star;
//  - #date# literals, and quoted texts written into or compared with a date-time column, become
//    zero-padded "yyyy-mm-dd hh:mm:ss" texts, so date-times compare and sort chronologically; an
//    impossible date (the 31st of February) is refused with CDbError. Every other text is kept
//    exactly as typed, however much it looks like a date;
//  - the words TRUE and FALSE become -1 and 0, the values the flags are stored as;
//  - a name column ordered by ORDER BY is ordered by pinyin (collation PINYIN of the connection).
// With parameterise set, the string and number literals in value positions are lifted out as bound
// values and the text keeps a '?' in their place, so statements that differ only in their values
// share one prepared form. Numbers in ORDER BY and GROUP BY (column positions), hexadecimal numbers,
// blobs and column aliases stay in the text. Text values may point into the statement, which must
// outlive the result.

struct SqlValue {
    enum Type { Integer, Real, Text } type = Text;
    qint64 integer = 0;
    double real = 0;
    QString text;
    // A text taken as it stands in the statement, without a copy; valid while the statement lives.
    QStringView view;
    QStringView TextValue() const { return view.isNull() ? QStringView(text) : view; }
};

struct TranslatedStatement {
    QString text;
    QVector<SqlValue> values;
};

TranslatedStatement TranslateStatement(const QString &statement, bool parameterise);

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
