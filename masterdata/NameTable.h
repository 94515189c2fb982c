#pragma once
#include "app/Database.h"

#include <QString>
#include <QStringList>

// How a failed statement is shown: the store's message either way, but the changes to departments,
// recipients, making departments and administrators report through ReportComError.
enum class ErrorReport { Db, Com };
void ShowDbError(ErrorReport report, const CDbError &error);

// Runs statements that throw CDbError; a failure is reported and returns false. Work that begins a
// CTransaction inside has rolled it back by the time the report shows.
template <typename Work> bool RunReported(ErrorReport report, Work &&work) {
    try {
        work();
        return true;
    } catch (const CDbError &e) {
        ShowDbError(report, e);
        return false;
    }
}

// A master table that is mostly a list of unique names: main kinds, kinds, making departments,
// administrators and departments. Names are compared exactly as typed (case and blanks count).
struct NameTable {
    const char *table;
    const char *nameColumn;
    ErrorReport writeReport;
    // Written FALSE with every new name, so that a new row never carries an unset flag (an unset flag
    // would sort before the current administrator and read as set).
    const char *flagColumn = nullptr;
    // What the table holds, as the log names it.
    const char *caption = nullptr;
};

namespace nametables {
extern const NameTable MainKinds;
extern const NameTable Kinds;
extern const NameTable MakingDepartments;
extern const NameTable Managers;
extern const NameTable Departments;
} // namespace nametables

// True when no row holds the name. A failed query is reported and the name counts as taken.
bool IsNameFree(const NameTable &table, const QString &name);
// The log entry of a change of master data: "票据制造部门：印刷厂". Throws CDbError.
void WriteMasterLog(const char *operation, const char *caption, const QString &name);
// Add and remove one name with its log entry, in one transaction; they throw CDbError.
void ExecuteInsertName(const NameTable &table, const QString &name);
void ExecuteDeleteName(const NameTable &table, const QString &name);
// The same, reporting a failure and returning false.
bool InsertName(const NameTable &table, const QString &name);
bool DeleteName(const NameTable &table, const QString &name);

// True when the query returns at least one row; a failed query is reported and counts as a row.
bool QueryHasRows(const QString &statement);
// One column of every row of the query, in the order the rows come. A failed query is reported and
// the names read so far are returned.
QStringList QueryNames(const QString &statement, const char *column);

// A stored flag as a list shows it: "√" for a set flag, empty for a cleared or unset one.
QString TickText(const QString &storedFlag);
