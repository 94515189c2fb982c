#pragma once
#include "bills/StockIn.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The history of one bill number: which book holds it, live in Bill_Info or deleted into
// Bill_Recycle_Info, and the road that book went: stock-in, issue, return, void or deletion.

// A bill number as the clerk typed it, with or without the kind's prefix and suffix. False when what
// is left between them is not a number.
bool ParseTypedBillNumber(const QString &typed, const KindParams &kind, double &value);

// One step of a book's road, as the history list shows it.
struct HistoryStep {
    QString step; // "入库", "发放", "回收", "作废", "删除", or the operation the log names
    QString time;
    QString manager; // the administrator who did it; for a step read from the log, the user
    QString dept;
    QString broker;
    QString document;
    QString detail;
};

// One book that holds the number, as stored.
struct HistoryBook {
    bool deleted = false; // read from the recycle table
    QString kind;
    QString beginChar;
    QString endChar;
    double beginInt = 0;
    double endInt = 0;
    QString flag;
    QString remark;
    double unitTotal = 0;
    QString repositoryTime, repositoryManager, madeUnits;
    double repositoryNo = 0;
    QString issueTime, issueDept, issueBroker, issueManager;
    double issueNo = 0; // 0 when not issued (or the issue was cancelled)
    QString returnTime, returnDept, returnBroker, returnManager, returnEndChar;
    double returnNo = 0; // 0 when not returned
    double returnEndInt = 0;
    int returnCount = 0;
    double returnTotal = 0;
    QString invalidTime, invalidManager;   // the void
    QString deletionTime, deletionManager; // a deleted book only
    // The book's road as the operation log tells it; empty when the log holds none for it.
    QVector<HistoryStep> loggedRoad;
};

// Books of the kind that hold the value, oldest stock-in first: deleted ones from the recycle table
// and the live one. A book is taken as U bills from its first number, U being the kind's count, so
// only the books whose first number lies within U - 1 below the value are read, through the indexes
// on kind and first number. Each book gets its logged road. Throws CDbError.
QVector<HistoryBook> FindBooksHolding(const QString &kind, int unitAmount, double value);

// The road of the book in time order: the logged road where the log holds one, otherwise the road its
// stamps tell, and for a return whether the value itself was used.
QVector<HistoryStep> BookRoad(const HistoryBook &book, double value);

// Column titles of the history list, in the order of HistoryStep's fields.
QStringList HistoryTitles();
QStringList HistoryCells(const HistoryStep &step);

// A line saying where the book stands: its numbers, its state and the table it is in.
QString BookSummary(const HistoryBook &book);
