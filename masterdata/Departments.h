#pragma once
#include <QString>
#include <QStringList>

// Receiving departments and their recipients. Bill runs name both by text, so deleting either leaves
// the runs as they are.

// Department names in the order the store returns them.
QStringList DepartmentNames();

// Recipient names are unique over all departments. A failed query is reported and counts as taken.
bool IsBrokerNameFree(const QString &name);
// Adds the recipient to the department of that name; with no such department nothing is added.
// A failure is reported and returns false.
bool InsertBroker(const QString &name, const QString &department);

// Deletes the department and its recipients in one transaction; a failure is reported and leaves
// both in place.
bool DeleteDept(const QString &name);
// Deletes one recipient; a failure is reported and returns false.
bool DeleteBroker(const QString &name);
