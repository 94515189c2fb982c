#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

// The audit of the books ("票据稽核"): every book, live or deleted, is read once and checked for what
// an auditor of controlled forms asks about. Each finding names the kind, the numbers and the fault.

struct AuditFinding {
    QString kind;
    QString numbers;
    QString problem;
};

struct AuditOptions {
    QString kind;         // empty: every kind
    int overdueDays = 90; // issued books not returned after this many days are named
    QDateTime now = QDateTime::currentDateTime();
};

// The findings, by kind and then by number:
//  - numbers between the lowest and highest ever stocked in that no book, live or deleted, holds;
//  - numbers held by two books (a live one and a deleted one, or two live ones);
//  - books issued longer than the days ago and not returned, with department and recipient;
//  - returns that contradict themselves: more used than the book holds, a returned end outside the
//    book, or for a kind of fixed amount money collected other than used times price;
//  - voided or deleted books without a time or an administrator.
// Throws CDbError.
QVector<AuditFinding> AuditBooks(const AuditOptions &options);

// The column titles of the findings list and the cells of one finding.
QStringList AuditTitles();
QStringList AuditCells(const AuditFinding &finding);

// What an audit without findings says.
QString CleanAuditText();
