#pragma once
#include "audit/OperationLog.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

// Taking runs out of use and undoing whole documents: the statements and the changes behind the
// void and delete commands, the forced operation and the operation documents. Every change runs
// in one transaction and throws CDbError after rolling it back.

// Why a change was run again: another desk changed its runs between reading and writing them.
QString ChangedMeanwhileText();

// What a change of one run came to: done, or no stored run matches the kind and first number.
enum class RunChange { Done, NoRun };

// Marks the whole run voided, stamped with the time and the administrator; its other columns stay.
QString VoidRunStatement(const QString &kind, const QString &beginChar, const QString &time, const QString &manager);
RunChange VoidRun(const QString &kind, const QString &beginChar, const QString &time, const QString &manager);
// Moves the one run and its single bills into the recycle tables, stamped with the time and the
// administrator; the run's remark stays. The log names the move by operation ("票据删除", "强制删除").
RunChange RecycleRun(const QString &kind, const QString &beginChar, const QString &time, const QString &manager,
                     const char *operation = logop::Delete);

// The forced operation's objects: "回收" lists returned runs by return time, "作废" voided runs by
// void time. Any other object gives an empty statement.
QStringList ForcedObjects();
QString ForcedListStatement(const QString &object);
// The sum of money cells as the lists show them ("￥12.50"); empty cells count nothing.
double SumMoneyTexts(const QStringList &cells);

// A kind of operation document: the columns the operation stamped and the state it left its runs in.
struct DocumentKind {
    const char *name;
    const char *numberColumn;
    const char *timeColumn;
    const char *managerColumn;
    const char *requiredState;
    const char *stateAfterCancel; // nullptr: cancelling deletes the runs
    const char *refusal;          // %s: the offending first numbers, each followed by ","
    const char *cancelOperation;  // the log's word for cancelling one
    bool clearsReturn = false;    // cancelling clears every return stamp, as if it was never recorded
};

// Stock-in, issue and return documents, in that order.
const QVector<DocumentKind> &DocumentKinds();
// Null for a name that is no document kind.
const DocumentKind *FindDocumentKind(const QString &name);

// Each document first stamped from the start of the from-date to the end of the to-date, once, with
// its first time, its administrator (the first in order when its runs were stamped by several) and
// the number of its runs ("本数"): runs issued under one number at two times are one document.
QString DocumentListStatement(const DocumentKind &kind, const QDate &from, const QDate &to);
// The runs of one document in number order.
QString DocumentRunsStatement(const DocumentKind &kind, const QString &number);
// A document number as a list shows it: digits only, so that it may stand unquoted in a statement.
bool IsDocumentNumber(const QString &text);

// What cancelling a document came to: done; refused because these runs (their first numbers, in
// number order) are no longer in the state the operation left them in; nothing to do because no
// run carries the number any more (it was cancelled since); or refused because the number is not
// one. Nothing changed unless it is done.
struct DocumentCancel {
    enum Outcome { Done, Refused, NothingLeft, BadNumber } outcome = BadNumber;
    QStringList offending;
    int runs = 0; // runs the cancel changed or removed, when done
};

// Checks and cancels the document in one transaction: stock-in deletes its runs and their single
// bills, issue puts its runs back in stock with only the document number and the state changed,
// return puts them back to issued as if the return had never been recorded: every return column is
// cleared, and a book of non-fixed amount goes back to the amount of its stock-in with its single
// bills' recorded amounts. A run without a state does not block the cancel.
DocumentCancel CancelDocument(const DocumentKind &kind, const QString &number);
// The refusal text of a refused cancel.
QString CancelRefusalText(const DocumentKind &kind, const QStringList &offending);
