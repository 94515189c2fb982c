#pragma once
#include <QPair>
#include <QStringList>
#include <QVector>

// The master data the stock dialogs choose from, read straight from its tables. Each throws CDbError.

// The name column of every row of the table, ordered ascending by orderColumn, or in stored order
// without one.
QStringList ReadNames(const char *table, const char *nameColumn, const char *orderColumn = nullptr);
// Every recipient with the name of its department, in the order of the departments' counters.
QVector<QPair<QString, QString>> ReadDepartmentBrokers();
