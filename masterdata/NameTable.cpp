#include "masterdata/NameTable.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "audit/OperationLog.h"
#include "schema/Schema.h"

using namespace schema;

namespace nametables {
const NameTable MainKinds{Bill_Main_Kind_Info, Bill_Main_Kind_Name, ErrorReport::Db, nullptr, "票据主类型"};
const NameTable Kinds{Bill_Kind_Info, Bill_Kind_Name, ErrorReport::Db, nullptr, "票据类型"};
const NameTable MakingDepartments{Bill_Made_Info, Bill_Made_Name, ErrorReport::Com, nullptr, "票据制造部门"};
const NameTable Managers{Bill_Manager_Info, Bill_Manager_Name, ErrorReport::Com, Bill_Manager_Cur, "票据管理员"};
const NameTable Departments{Bill_Dept_Info, Bill_Dept_Name, ErrorReport::Com, nullptr, "发放部门"};
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

void WriteMasterLog(const char *operation, const char *caption, const QString &name) {
    LogEntry entry;
    entry.operation = QString::fromUtf8(operation);
    entry.detail = QStringLiteral("%1：%2").arg(QString::fromUtf8(caption), name);
    WriteLog(entry);
}

void ExecuteInsertName(const NameTable &table, const QString &name) {
    CTransaction transaction;
    if (table.flagColumn)
        TheDatabase().ExecuteStatement(
            QString::asprintf("INSERT INTO %s \t\t\t\t\t(%s,%s) \t\t\t\t\tVALUES \t\t\t\t\t('%s',FALSE)", table.table,
                              table.nameColumn, table.flagColumn, Quote(name).constData()));
    else
        TheDatabase().ExecuteStatement(
            QString::asprintf("INSERT INTO %s \t\t\t\t\t(%s) \t\t\t\t\tVALUES \t\t\t\t\t('%s')", table.table,
                              table.nameColumn, Quote(name).constData()));
    WriteMasterLog(logop::AddMaster, table.caption, name);
    transaction.Commit();
}

void ExecuteDeleteName(const NameTable &table, const QString &name) {
    CTransaction transaction;
    TheDatabase().ExecuteStatement(QString::asprintf("DELETE * \t\t\t\t\tFROM %s \t\t\t\t\tWHERE %s = '%s'",
                                                     table.table, table.nameColumn, Quote(name).constData()));
    if (TheDatabase().ChangedRows() > 0)
        WriteMasterLog(logop::DeleteMaster, table.caption, name);
    transaction.Commit();
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
