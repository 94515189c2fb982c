#pragma once
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// What the main window's two views show: the trees read from the store and the statements of
// their lists. Lists that must start empty ask for the state word no run carries.

// The money columns of every list of the views.
QStringList ViewMoneyColumns();

// Department view: runs that are out with recipients.
QString DepartmentEmptyStatement();
QString RecipientRunsStatement(const QString &recipient);
QString DepartmentRunsStatement(const QString &department);
// Repository view: runs in stock.
QString RepositoryEmptyStatement();
QString KindStockStatement(const QString &kind);
// What the overview opens in the department view: a kind's books out and returned, with who holds
// or returned them, and every book out since before a time, the longest out first.
QString KindOutStatement(const QString &kind);
QString KindReturnedStatement(const QString &kind);
QString OutSinceBeforeStatement(const QDateTime &before);

struct DepartmentNode {
    QString name;
    QStringList recipients;
};

// Departments in the order the store gives them, each with its recipients. A recipient joins the
// first department of its department's name; one whose department is gone is left out. Fills
// departments as it reads, so a failure (CDbError) leaves what was read so far.
void ReadDepartmentTree(QList<DepartmentNode> &departments);
// Kind names in name order; throws CDbError, leaving what was read so far.
void ReadKindNames(QStringList &kinds);
