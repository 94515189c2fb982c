#pragma once
#include <QString>
#include <QStringView>
#include <vector>

class CDatabase;

// The tables and columns of the store in one place: the delivered database is created from them,
// a file is checked against them when it is opened, and an older file is rebuilt to them.
namespace schema {

enum class ColumnKind {
    Counter, // the table's key, numbered by the store
    Text,    // compared without regard to ASCII case, like the names clerks type
    Number,  // a bill number as text: compared without regard to case, ordered as stored
    Exact,   // text compared exactly as stored (passwords)
    Long,
    Double,
    Boolean,  // -1 for TRUE, 0 for FALSE
    DateTime, // zero-padded "yyyy-mm-dd hh:mm:ss" text
    Key       // a plain number holding a copied counter
};

struct ColumnDef {
    const char *name;
    ColumnKind kind;
    // The schema version that brought the column; files of older versions lack it.
    int since = 0;
    // What an upgrade from an older version fills the new column with: an old column of the same
    // table, or nullptr for NULL.
    const char *upgradedFrom = nullptr;
};

struct TableDef {
    const char *name;
    std::vector<ColumnDef> columns;
    // The columns must stand exactly so, in this order and no others: rows are copied from the run
    // tables into the recycle tables with SELECT * followed by the deletion's stamps.
    bool exactColumns = false;
    // The schema version that brought the table; files of older versions lack it.
    int since = 0;
};

const std::vector<TableDef> &Tables();

// The version written into every file this program makes or upgrades. Files of version 0 are those
// of the first release, whose texts compared case-sensitively; files of version 1 lack the deletion
// stamps of the recycle tables, so a deleted voided book had its void stamps overwritten; files of
// version 2 lack the operation log, the low-stock limit of a kind and the rights of the log and of the
// audit.
constexpr int CurrentSchemaVersion = 3;

// The columns of the table as files of that version hold them.
std::vector<ColumnDef> ColumnsAt(const TableDef &table, int version);

// The store's type text of a column kind.
QString ColumnTypeText(ColumnKind kind);
// The table as files of that version hold it (the current version unless told).
QString CreateTableStatement(const TableDef &table, const QString &name, int version = CurrentSchemaVersion);
// The indexes of the lookups the operations make.
void CreateIndexes(CDatabase &db);

bool IsDateTimeColumn(QStringView column);
// Text columns holding names, which lists order as the clerks read them (pinyin for Chinese).
bool IsNameColumn(QStringView column);

// Every table and column that files of that version hold is there. On failure, problem names what
// is missing.
bool HasEveryTableAndColumn(CDatabase &db, int version, QString *problem);
// Rebuilds every table of a file of an older version in the current form, creates the tables it
// lacks, adds the rights it lacks and writes the current version, in one transaction: nothing changes
// when it fails. Columns the file lacks are filled as their definition says.
void UpgradeSchema(CDatabase &db, int version);

} // namespace schema
