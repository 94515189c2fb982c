#include "schema/SchemaTables.h"

#include "app/Database.h"
#include "schema/DeliveredDatabase.h"
#include "schema/Schema.h"

#include <QFile>
#include <QSet>
#include <QStringList>

namespace schema {

namespace {

using K = ColumnKind;

std::vector<ColumnDef> RunColumns() {
    return {{Bill_ID, K::Counter},
            {Bill_Kind, K::Text},
            {Bill_Main_Kind, K::Text},
            {Bill_Begin_Char, K::Number},
            {Bill_End_Char, K::Number},
            {Bill_Return_End_Char, K::Number},
            {Bill_Prefix, K::Number},
            {Bill_Suffix, K::Number},
            {Bill_Begin_Int, K::Double},
            {Bill_End_Int, K::Double},
            {Bill_Return_End_Int, K::Double},
            {Bill_Unit_Price, K::Double},
            {Bill_Unit_Amount, K::Long},
            {Bill_Unit_Total, K::Double},
            {Bill_Unit_Return_Amount, K::Long},
            {Bill_Unit_Return_Total, K::Double},
            {Bill_Flag, K::Text},
            {Bill_Repository_Time, K::DateTime},
            {Bill_Repository_Manager, K::Text},
            {Bill_Repository_No, K::Double},
            {Bill_Made_Time, K::DateTime},
            {Bill_Made_Units, K::Text},
            {Bill_Issue_Time, K::DateTime},
            {Bill_Issue_Dept, K::Text},
            {Bill_Issue_Broker, K::Text},
            {Bill_Issue_Manager, K::Text},
            {Bill_Issue_No, K::Double},
            {Bill_Return_Time, K::DateTime},
            {Bill_Return_Dept, K::Text},
            {Bill_Return_Broker, K::Text},
            {Bill_Return_Manager, K::Text},
            {Bill_Return_No, K::Double},
            {Bill_Invalid_Time, K::DateTime},
            {Bill_Invalid_Manager, K::Text},
            {Bill_Info_Remark, K::Text},
            {Bill_NoneFixed_Sum, K::Boolean}};
}

// A deleted run: every column of the run, its counter kept as a plain number, then the deletion's
// stamps. Rows deleted before the stamps had columns of their own carry the deletion in the run's
// void stamps, which the upgrade copies.
std::vector<ColumnDef> RecycledRunColumns() {
    std::vector<ColumnDef> columns = RunColumns();
    columns.front().kind = K::Key;
    columns.push_back({Bill_Recycle_Time, K::DateTime, 2, Bill_Invalid_Time});
    columns.push_back({Bill_Recycle_Manager, K::Text, 2, Bill_Invalid_Manager});
    return columns;
}

std::vector<ColumnDef> SingleBillColumns() {
    return {{Bill_NoneFixed_Kind, K::Text},         {Bill_NoneFixed_Main_Kind, K::Text},
            {Bill_NoneFixed_Begin_Char, K::Number}, {Bill_NoneFixed_Inner_Char, K::Number},
            {Bill_NoneFixed_Inner_Int, K::Double},  {Bill_NoneFixed_Unit_Price, K::Double}};
}

std::vector<ColumnDef> RecycledSingleBillColumns() {
    std::vector<ColumnDef> columns = SingleBillColumns();
    columns.push_back({Bill_Recycle_NoneFixed_Time, K::DateTime, 2});
    columns.push_back({Bill_Recycle_NoneFixed_Manager, K::Text, 2});
    return columns;
}

std::vector<TableDef> MakeTables() {
    return {
        {Bill_Info, RunColumns(), true},
        {Bill_Recycle_Info, RecycledRunColumns(), true},
        {Bill_NoneFixed_Manifest_Info, SingleBillColumns(), true},
        {Bill_Recycle_NoneFixed_Info, RecycledSingleBillColumns(), true},
        {Bill_Kind_Info,
         {{Bill_Kind_Name, K::Text},
          {Bill_Kind_Unit_Price, K::Double},
          {Bill_Kind_Unit_Amount, K::Long},
          {Bill_Kind_Unit_Total, K::Double},
          {Bill_Kind_Prefix, K::Number},
          {Bill_Kind_Suffix, K::Number},
          {Bill_Kind_Length, K::Long},
          {Bill_Kind_Main_Kind, K::Text},
          {Bill_Kind_NoneFixed, K::Boolean},
          {Bill_Kind_Stock_Limit, K::Long, 3}}},
        {Bill_Main_Kind_Info, {{Bill_Main_Kind_ID, K::Counter}, {Bill_Main_Kind_Name, K::Text}}},
        {Bill_Flag_Info, {{Bill_Flag_ID, K::Counter}, {Bill_Flag_Name, K::Text}}},
        {Bill_Made_Info, {{Bill_Made_ID, K::Counter}, {Bill_Made_Name, K::Text}}},
        {Bill_Dept_Info, {{Bill_Dept_ID, K::Counter}, {Bill_Dept_Name, K::Text}}},
        {Bill_Manager_Info,
         {{Bill_Manager_ID, K::Counter}, {Bill_Manager_Name, K::Text}, {Bill_Manager_Cur, K::Boolean}}},
        {Bill_Broker_Info, {{Bill_Broker_Name, K::Text}, {Bill_Broker_Dept, K::Long}}},
        {Bill_Password_Info,
         {{Bill_Password_ID, K::Counter},
          {Bill_Password_User, K::Text},
          {Bill_Password_PWD, K::Exact},
          {Bill_Password_Popedom, K::Exact},
          {Bill_Password_Number, K::Long},
          {Bill_Password_Sex, K::Long},
          {Bill_Password_Address, K::Text},
          {Bill_Password_Contact, K::Text},
          {Bill_Password_Email, K::Text},
          {Bill_Password_Remark, K::Text}}},
        {Bill_Popedom_Tree_Info,
         {{Bill_Popedom_Tree_ID, K::Counter},
          {Bill_Popedom_Tree_ParentID, K::Long},
          {Bill_Popedom_Tree_InNum, K::Long},
          {Bill_Popedom_Tree_Code, K::Exact},
          {Bill_Popedom_Tree_Name, K::Text}}},
        {Report_Info, {{Report_Info_ID, K::Counter}, {Report_Info_Name, K::Text}}},
        {Report_Year_Info,
         {{Report_Year_Info_Name, K::Text},
          {Report_Year_Info_Last, K::Text},
          {Report_Year_Info_This, K::Text},
          {Report_Year_Info_After, K::Text},
          {Report_Year_Info_Begin, K::Text},
          {Report_Year_Info_End, K::Text},
          {Report_Year_Info_Sum, K::Text},
          {Report_Year_Info_Actual, K::Text},
          {Report_Year_Info_Tolerance, K::Text},
          {Report_Year_Info_Reason, K::Text},
          {Report_Year_Info_Suggest, K::Text}}},
        {Report_Month_Info,
         {{Report_Month_Issue_Date, K::Text},
          {Report_Month_Has_Reward, K::Text},
          {Report_Month_Bill_Name, K::Text},
          {Report_Month_Bill_Begin, K::Text},
          {Report_Month_Bill_End, K::Text},
          {Report_Month_Bill_Units, K::Text},
          {Report_Month_Bill_Price, K::Text},
          {Report_Month_Return_Sum, K::Text},
          {Report_Month_Tolerance, K::Text},
          {Report_Month_Return_Date, K::Text},
          {Report_Month_Remark, K::Text}}},
        {Bill_I_Info, {{Bill_I_Author, K::Text}, {Bill_I_Email, K::Text}, {Bill_I_Version, K::Text}}},
        {Bill_Log_Info,
         {{Bill_Log_ID, K::Counter},
          {Bill_Log_No, K::Long},
          {Bill_Log_Time, K::DateTime},
          {Bill_Log_User, K::Text},
          {Bill_Log_Operation, K::Text},
          {Bill_Log_Document_No, K::Double},
          {Bill_Log_Kind, K::Text},
          {Bill_Log_Begin_Char, K::Number},
          {Bill_Log_End_Char, K::Number},
          {Bill_Log_Amount, K::Long},
          {Bill_Log_Total, K::Double},
          {Bill_Log_Detail, K::Text},
          {Bill_Log_Hash, K::Exact}},
         false,
         3},
    };
}

struct IndexDef {
    const char *name;
    const char *table;
    const char *columns;
};

// Lookups the operations make: runs of a kind by first number (overlap test, issue and return
// lookups), runs by state (views), by document number (documents and the next number), single
// bills of a book, recipients of a department, deleted books of a kind by first number (the
// history of one bill number), and log entries by period, by user and period, and by book.
constexpr IndexDef kIndexes[] = {
    {"IX_Bill_Kind_Begin", Bill_Info, "Bill_Kind, Bill_Begin_Int"},
    {"IX_Bill_Kind_Begin_Char", Bill_Info, "Bill_Kind, Bill_Begin_Char"},
    {"IX_Bill_Flag", Bill_Info, "Bill_Flag, Bill_Kind"},
    {"IX_Bill_Issue_Dept", Bill_Info, "Bill_Issue_Dept, Bill_Issue_Broker"},
    {"IX_Bill_Repository_No", Bill_Info, "Bill_Repository_No"},
    {"IX_Bill_Issue_No", Bill_Info, "Bill_Issue_No"},
    {"IX_Bill_Return_No", Bill_Info, "Bill_Return_No"},
    {"IX_Bill_Issue_Time", Bill_Info, "Bill_Issue_Time"},
    {"IX_Bill_Return_Time", Bill_Info, "Bill_Return_Time"},
    {"IX_Recycle_Kind_Begin", Bill_Recycle_Info, "Bill_Kind, Bill_Begin_Int"},
    {"IX_NoneFixed_Book", Bill_NoneFixed_Manifest_Info,
     "Bill_NoneFixed_Kind, Bill_NoneFixed_Begin_Char, Bill_NoneFixed_Inner_Char"},
    {"IX_Broker_Dept", Bill_Broker_Info, "Bill_Broker_Dept"},
    {"IX_Kind_Name", Bill_Kind_Info, "Bill_Kind_Name"},
    {"IX_Log_Time", Bill_Log_Info, "Bill_Log_Time"},
    {"IX_Log_User_Time", Bill_Log_Info, "Bill_Log_User, Bill_Log_Time"},
    {"IX_Log_Kind_Begin", Bill_Log_Info, "Bill_Log_Kind, Bill_Log_Begin_Char"},
};

// Column names by kind, without regard to case, for the statement translation.
const QHash<QString, ColumnKind> &KindsByName() {
    static const QHash<QString, ColumnKind> kinds = [] {
        QHash<QString, ColumnKind> map;
        for (const TableDef &table : Tables())
            for (const ColumnDef &column : table.columns)
                map.insert(QString::fromLatin1(column.name).toLower(), column.kind);
        return map;
    }();
    return kinds;
}

bool HasKind(QStringView column, ColumnKind kind) {
    // Every column of the store begins with "Bill_" or "Report_": most words are turned away here.
    if (column.size() < 6 || column.size() > 40 ||
        (column[0] != u'B' && column[0] != u'b' && column[0] != u'R' && column[0] != u'r'))
        return false;
    const auto it = KindsByName().constFind(column.toString().toLower());
    return it != KindsByName().constEnd() && it.value() == kind;
}

QStringList ColumnsOf(CDatabase &db, const char *table) {
    QStringList names;
    db.OpenQuery(QStringLiteral("PRAGMA table_info(%1)").arg(QLatin1String(table)));
    for (; !db.IsEOF(); db.MoveNext()) {
        QString name;
        db.ReadFieldText(QStringLiteral("name"), name);
        names << name.toLower();
    }
    db.CloseQuery();
    return names;
}

// The current columns, and what fills each from a table of a file of that version.
std::pair<QString, QString> UpgradeColumnLists(const TableDef &table, int version) {
    QStringList names, sources;
    for (const ColumnDef &c : table.columns) {
        const char *source = c.since <= version ? c.name : c.upgradedFrom;
        if (!source)
            continue;
        names << QLatin1String(c.name);
        sources << QLatin1String(source);
    }
    return {names.join(QStringLiteral(", ")), sources.join(QStringLiteral(", "))};
}

} // namespace

const std::vector<TableDef> &Tables() {
    static const std::vector<TableDef> tables = MakeTables();
    return tables;
}

QString ColumnTypeText(ColumnKind kind) {
    switch (kind) {
    case K::Counter:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case K::Text:
    case K::Number:
        // The store's own case folding of ASCII: the file stays readable with any SQLCipher shell.
        return QStringLiteral("TEXT COLLATE NOCASE");
    case K::Exact:
        return QStringLiteral("TEXT");
    case K::Long:
    case K::Key:
        return QStringLiteral("INTEGER");
    case K::Double:
        return QStringLiteral("DOUBLE");
    case K::Boolean:
        // A flag left out of an INSERT is FALSE, never NULL, so "current first" orderings stay right.
        return QStringLiteral("BOOLEAN DEFAULT 0");
    case K::DateTime:
        return QStringLiteral("DATETEXT");
    }
    return QString();
}

std::vector<ColumnDef> ColumnsAt(const TableDef &table, int version) {
    std::vector<ColumnDef> columns;
    for (const ColumnDef &c : table.columns)
        if (c.since <= version)
            columns.push_back(c);
    return columns;
}

QString CreateTableStatement(const TableDef &table, const QString &name, int version) {
    QStringList parts;
    for (const ColumnDef &c : ColumnsAt(table, version))
        parts << QStringLiteral("%1 %2").arg(QLatin1String(c.name), ColumnTypeText(c.kind));
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(name, parts.join(QStringLiteral(", ")));
}

void CreateIndexes(CDatabase &db) {
    for (const IndexDef &index : kIndexes)
        db.ExecuteStatement(
            QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                .arg(QLatin1String(index.name), QLatin1String(index.table), QLatin1String(index.columns)));
}

bool IsDateTimeColumn(QStringView column) {
    return HasKind(column, K::DateTime);
}

bool IsNameColumn(QStringView column) {
    return HasKind(column, K::Text);
}

bool HasEveryTableAndColumn(CDatabase &db, int version, QString *problem) {
    for (const TableDef &table : Tables()) {
        if (table.since > version)
            continue;
        const QStringList present = ColumnsOf(db, table.name);
        if (present.isEmpty()) {
            if (problem)
                *problem = QStringLiteral("no table %1").arg(QLatin1String(table.name));
            return false;
        }
        QStringList wanted;
        for (const ColumnDef &c : ColumnsAt(table, version))
            wanted << QString::fromLatin1(c.name).toLower();
        for (const QString &column : wanted) {
            if (!present.contains(column)) {
                if (problem)
                    *problem = QStringLiteral("no column %1 in %2").arg(column, QLatin1String(table.name));
                return false;
            }
        }
        if (table.exactColumns && present != wanted) {
            if (problem)
                *problem = QStringLiteral("other columns in %1").arg(QLatin1String(table.name));
            return false;
        }
    }
    return true;
}

void UpgradeSchema(CDatabase &db, int version) {
    CTransaction transaction(db);
    for (const TableDef &table : Tables()) {
        const QString name = QLatin1String(table.name);
        if (table.since > version) {
            db.ExecuteStatement(CreateTableStatement(table, name));
            continue;
        }
        const QString old = name + QStringLiteral("_Old");
        // Renaming takes the old indexes along; they go with the old table.
        db.ExecuteStatement(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(name, old));
        db.ExecuteStatement(CreateTableStatement(table, name));
        const auto [columns, sources] = UpgradeColumnLists(table, version);
        db.ExecuteStatement(QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4").arg(name, columns, sources, old));
        // Counters go on from where the old table stopped, also past rows deleted at its end.
        db.ExecuteStatement(QStringLiteral("UPDATE sqlite_sequence SET seq = (SELECT MAX(seq) FROM sqlite_sequence "
                                           "WHERE name IN ('%1', '%2')) WHERE name = '%1'")
                                .arg(name, old));
        db.ExecuteStatement(QStringLiteral("DROP TABLE %1").arg(old));
        db.ExecuteStatement(QStringLiteral("DELETE FROM sqlite_sequence WHERE name = '%1'").arg(old));
    }
    CreateIndexes(db);
    InsertMissingRights(db);
    db.ExecuteStatement(QStringLiteral("PRAGMA user_version = %1").arg(CurrentSchemaVersion));
    transaction.Commit();
}

} // namespace schema
