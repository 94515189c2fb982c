#pragma once
#include "audit/LowStock.h"
#include <QDate>
#include <QDateTime>

#include <QHash>
#include <QList>
#include <QString>

// The stock at a glance: what the overview view shows, read from the store in one pass over the
// books. Money is held in whole cents, summed as the reports sum it, so the figures equal theirs.

// Books of one kind by state: in stock, out with recipients, returned.
struct KindFigures {
    QString kind;
    int inStock = 0;
    int out = 0;
    int returned = 0;
};

// The money collected in one calendar month (by return time).
struct MonthMoney {
    QDate month; // its first day
    qint64 cents = 0;
};

// A book out with a recipient longer than the overdue limit.
struct OverdueBook {
    QString kind;
    QString begin;
    QString end;
    QString department;
    QString recipient;
    QString issued; // the issue time as stored
    int days = 0;   // whole days since the issue
};

struct OverviewFigures {
    int booksInStock = 0;
    qint64 stockCents = 0; // face value of the books in stock
    int booksOut = 0;
    int returnedThisMonth = 0;
    qint64 collectedThisMonthCents = 0;
    int returnedThisYear = 0;
    qint64 collectedThisYearCents = 0;
    int voidedThisYear = 0;
    QList<KindFigures> kinds;    // every kind, in name order
    QList<MonthMoney> months;    // the last twelve months, oldest first, this month last
    QVector<ShortKind> lowStock; // the kinds running short, in name order
    QList<OverdueBook> overdue;  // the longest out first

    // True when no book is recorded at all.
    bool IsEmpty() const { return kinds.isEmpty() && booksInStock == 0 && booksOut == 0 && returnedThisYear == 0; }
};

// Books out longer than this many days are listed as overdue.
constexpr int OverdueDays = 90;
// The money chart covers this many months.
constexpr int OverviewMonths = 12;

// Reads the kinds, then every book once, then the kinds running short; the month, year and overdue
// limit are taken from now. Throws CDbError.
OverviewFigures ReadOverview(const QDateTime &now);
