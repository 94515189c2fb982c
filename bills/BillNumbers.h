#pragma once
#include <QDateTime>
#include <QString>

// Bill numbers, counts, money amounts, date-times and document numbers: how each is written as text
// for the screen and for statements, and how typed text is accepted or refused.

// The fullwidth yen sign, written before money amounts.
inline const QString MoneySign = QStringLiteral("￥");

// prefix + value zero-padded to width digits + suffix; a value needing more digits is printed whole.
QString FormatBillNumber(const QString &prefix, double value, const QString &suffix, int width);
QString FormatBillDigits(double value, int width);
// Non-empty and every character a decimal digit.
bool IsDigitText(const QString &text);
// A finite decimal number as typed: an optional sign, then digits with at most one point ("12",
// "-3.5", ".5", "20."), blanks around it allowed. False for anything else: an empty text, words such
// as "inf" or "nan", exponents, separators.
bool ParseDecimalText(const QString &text, double &value);

// Money held in whole cents: 12.5 yuan is 1250, half a cent rounds away from zero. Every amount that
// is shown (lists, reports, totals) goes through the cents, so that a total is the sum of its rows.
qint64 ToCents(double yuan);
// 1250 -> "￥12.50", without a detour through floating point.
QString FormatCents(qint64 cents);
// 12.5 -> "￥12.50": FormatCents(ToCents(value)).
QString FormatMoney(double value);
// True for an amount of whole cents: a price or amount with more than two decimals is refused.
bool IsWholeCents(double value);
// The refusal of an amount that is not whole cents, shown as a message box.
void ShowCentsRefusal();
// Removes one leading "￥" and nothing else.
QString StripMoneySign(const QString &text);
// Accepts digits and points after one optional sign; the value is the leading number (12.5.1 gives
// 12.5) and normalised its FormatMoney text. Refused text leaves both untouched.
bool ParseMoneyText(const QString &text, double &value, QString &normalised);
// The refusal of ParseMoneyText, shown as a message box.
void ShowMoneyRefusal();

// "2005-3-7 9:5:0": year-month-day hour:minute:second without leading zeros.
QString FormatDateTime(const QDateTime &when);

// The largest value width digits can hold (6 gives 999999).
double MaxNumberValue(int width);

// A returned count as typed: every "," removed, then the leading integer. The comma-free text is
// what the return statement writes.
int ParseReturnCount(const QString &text, QString *commaFree = nullptr);

// Document numbers: 15 digits held as a double, shown with "%.0f".
QString FormatDocumentNumber(double number);
// The first number of each kind of document.
double FirstDocumentNumber(const char *column);
// Largest number in the column over all runs + 1, or the first number of that document kind when
// no run carries one yet. A failure is reported and returns false.
bool NextDocumentNumber(const char *column, double &number);
// The number a document is written under, drawn inside its transaction while no other desk may draw
// one of the column: the number the dialog showed, when no stored run carries it yet or when the
// clerk's own document goes on (continuing); otherwise the next free one, as another desk took the
// shown number meanwhile. Throws CDbError.
double ClaimDocumentNumber(const char *column, double shown, bool continuing);
