#include "masterdata/NameTable.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "schema/Schema.h"

using namespace schema;

namespace nametables {
const NameTable MainKinds{Bill_Main_Kind_Info, Bill_Main_Kind_Name, ErrorReport::Db};
const NameTable Kinds{Bill_Kind_Info, Bill_Kind_Name, ErrorReport::Db};
const NameTable MakingDepartments{Bill_Made_Info, Bill_Made_Name, ErrorReport::Com};
const NameTable Managers{Bill_Manager_Info, Bill_Manager_Name, ErrorReport::Com, Bill_Manager_Cur};
const NameTable Departments{Bill_Dept_Info, Bill_Dept_Name, ErrorReport::Com};
} // namespace nametables

void ShowDbError(ErrorReport report, const CDbError &error) {
    if (report == ErrorReport::Com)
        ReportComError(error);
    else
        ReportDbError(error);
}

bool QueryHasRows(const QString &statement) {
    CDatabase &db = TheDatabase();
    try {
        db.OpenQuery(statement);
        const bool rows = !db.IsEOF();
        db.CloseQuery();
        return rows;
    } catch (const CDbError &e) {
        db.CloseQuery();
        ReportDbError(e);
        return true;
    }
}

bool IsNameFree(const NameTable &table, const QString &name) {
    return !QueryHasRows(
        QString::asprintf("SELECT * FROM %s WHERE %s = '%s'", table.table, table.nameColumn, Quote(name).constData()));
}

void ExecuteInsertName(const NameTable &table, const QString &name) {
    if (table.flagColumn)
        TheDatabase().ExecuteStatement(
            QString::asprintf("INSERT INTO %s \t\t\t\t\t(%s,%s) \t\t\t\t\tVALUES \t\t\t\t\t('%s',FALSE)", table.table,
                              table.nameColumn, table.flagColumn, Quote(name).constData()));
    else
        TheDatabase().ExecuteStatement(
            QString::asprintf("INSERT INTO %s \t\t\t\t\t(%s) \t\t\t\t\tVALUES \t\t\t\t\t('%s')", table.table,
                              table.nameColumn, Quote(name).constData()));
}

void ExecuteDeleteName(const NameTable &table, const QString &name) {
    TheDatabase().ExecuteStatement(QString::asprintf("DELETE * \t\t\t\t\tFROM %s \t\t\t\t\tWHERE %s = '%s'",
                                                     table.table, table.nameColumn, Quote(name).constData()));
}

bool InsertName(const NameTable &table, const QString &name) {
    return RunReported(table.writeReport, [&] { ExecuteInsertName(table, name); });
}

bool DeleteName(const NameTable &table, const QString &name) {
    return RunReported(table.writeReport, [&] { ExecuteDeleteName(table, name); });
}

QStringList QueryNames(const QString &statement, const char *column) {
    CDatabase &db = TheDatabase();
    QStringList names;
    try {
        for (db.OpenQuery(statement); !db.IsEOF(); db.MoveNext()) {
            QString name;
            db.ReadFieldText(QString::fromLatin1(column), name);
            names << name;
        }
        db.CloseQuery();
    } catch (const CDbError &e) {
        db.CloseQuery();
        ReportDbError(e);
    }
    return names;
}

QString TickText(const QString &storedFlag) {
    return storedFlag.isEmpty() || storedFlag == QLatin1String("0") ? QString() : QStringLiteral("√");
}
