#pragma once
#include <QString>
#include <QStringList>

// A kind as entered in the add dialog.
struct KindEntry {
    QString mainKind;
    QString name;
    double unitPrice = 0;
    int unitAmount = 100;
    QString prefix;
    QString suffix;
    qint64 length = 0; // the whole number as typed: prefix, digits and suffix
    bool noneFixed = false;
    int stockLimit = 0; // "库存下限": books in stock below which the kind is short; 0 for none
};

// The widest numeric part a kind may have.
constexpr int MaxKindDigits = 15;

// The typed values without which a kind is silently not added: a name, a price for a kind of fixed
// amount, a unit amount and a length.
bool HasRequiredKindValues(const KindEntry &entry);

// Width of a text as the number is printed: a Chinese (or any non-ASCII) character takes two places.
int TextWidth(const QString &text);
// Every blank taken out.
QString WithoutSpaces(const QString &text);
// Digits of the numeric part: the typed length less the widths of prefix and suffix.
qint64 KindDigits(const KindEntry &entry);
bool IsKindDigitsValid(qint64 digits);

// Adds the kind with the given number of digits and its log entry; a kind of non-fixed amount is
// stored without price and total. Throws CDbError.
void ExecuteInsertKind(const KindEntry &entry, int digits);

// Sets the low-stock limit of the kind (0 for none) with its log entry. Throws CDbError.
void SetKindStockLimit(const QString &name, int limit);

// The list of kinds with their column titles; "不固定金额票据" holds the stored flag.
QString KindListStatement();
QString MainKindListStatement();
// Main kind names in the order they were added, for the add dialog's box.
QStringList MainKindNames();
