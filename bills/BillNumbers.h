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

// 12.5 -> "￥12.50".
QString FormatMoney(double value);
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
