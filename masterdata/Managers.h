#pragma once
#include <QString>
#include <QStringList>

// Makes the named administrator the one current administrator: every flag is cleared and the
// name's set, in one transaction. A failure is reported and leaves the previous one current.
bool SetCurrentManager(const QString &name);

// The name of the current administrator, stamped on the rows that delete and void change; empty
// when none is current. A failed query is reported and yields the empty text.
QString GetCurrentManager();

// Administrator names for the choice lists of the stock operations, the current one first so that
// it is preselected.
QStringList ManagerNamesCurrentFirst();

// Making department names for stock-in, in the order they were added.
QStringList MakingDepartmentNames();
