#pragma once
#include <QString>
#include <functional>

// What a bill kind fixes about its numbers and amounts.
struct KindParams {
    QString name;
    QString mainKind;
    QString prefix;
    QString suffix;
    double unitPrice = 0;
    int unitAmount = 0; // bills in one book
    double bookTotal = 0;
    int length = 0; // digits of the numeric part
    bool noneFixed = false;
};

// Reads the kind into params: a NULL text becomes empty, a NULL flag false, a NULL number leaves the
// value as it was. A kind of non-fixed amount has no price of its own: its price and book total are 0.
// orderColumn, when given, orders the lookup by that column. False when no kind has the name; throws
// CDbError.
bool ReadKind(const QString &name, KindParams &params, const char *orderColumn = nullptr);

// One stock-in entry: books of unitAmount consecutive numbers from begin, under one document number.
struct StockInEntry {
    KindParams kind;
    QString prefix;
    QString suffix;
    int width = 0; // digits written, the length of the typed begin digits
    double begin = 0;
    int books = 0;
    QString stockTime; // date-time texts
    QString madeTime;
    QString manager;
    QString madeUnits;
    double documentNo = 0;
    // The document was written before under this number by the same dialog (continuous stock-in).
    bool continuing = false;

    double BookBegin(int book) const { return begin + double(kind.unitAmount) * book; }
    double Last() const { return BookBegin(books) - 1; }
};

QString StockInStatement(const StockInEntry &entry, int book);
QString SingleBillStatement(const StockInEntry &entry, int book, int position);

// What a stock-in came to: written under documentNo, or refused because a stored book holds a number
// of the entry (shared, the first such number), which another desk may have stocked in meanwhile.
struct StockInOutcome {
    bool overlap = false;
    double shared = 0;
    double documentNo = 0;
};

// Writes every book of the entry, and for a kind of non-fixed amount its single bills with amount 0,
// in one transaction, under the document number ClaimDocumentNumber gives. The overlap check runs
// inside it, while no other desk may stock in the kind. On a failure nothing of the entry stays and
// the CDbError is thrown on. progress is told the number of books written so far.
StockInOutcome InsertStockRuns(const StockInEntry &entry,
                               const std::function<void(int done, int total)> &progress = {});

// Runs of a kind are taken as U bills each from their begin, U being the kind's count now. When some
// run holds a number of [first, last], shared gets the first number held by both and the result is
// true. Only the runs whose begin lies within U - 1 below first up to last are read, through the
// index on kind and begin. Throws CDbError.
bool FindOverlap(const QString &kind, int unitAmount, double first, double last, double &shared);
// The refusal of an overlapping entry, the number written with width digits.
QString OverlapMessage(int width, double shared);
