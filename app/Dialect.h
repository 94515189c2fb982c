#pragma once
#include <QString>
#include <QVector>

// Turns the statement texts the dialogs compose into what the store accepts:
//  - "DELETE * FROM" loses its star;
//  - #date# literals and quoted "y-m-d h:m:s" texts become zero-padded "yyyy-mm-dd hh:mm:ss" texts,
//    so date-times compare and sort chronologically as text;
//  - the words TRUE and FALSE become -1 and 0, the values the flags are stored as.
// With parameterise set, every string and number literal is lifted out as a bound value and the
// text keeps a '?' in its place, so statements that differ only in their values share one
// prepared form. Text values may point into the statement, which must outlive the result.

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

// A text value as a statement literal, single quotes doubled: O'Brien -> 'O''Brien'.
QString QuoteText(const QString &value);
// The same without the surrounding quotes, for format strings that already hold them ('%s').
QByteArray Quote(const QString &value);
