#include "masterdata/Departments.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "audit/OperationLog.h"
#include "masterdata/NameTable.h"
#include "schema/Schema.h"

using namespace schema;

namespace {
constexpr const char *BrokerCaption = "发放人员";
} // namespace

QStringList DepartmentNames() {
    return QueryNames(QString::asprintf(" SELECT * FROM %s ", Bill_Dept_Info), Bill_Dept_Name);
}

bool IsBrokerNameFree(const QString &name) {
    return !QueryHasRows(QString::asprintf(" SELECT a.%s \t\t\t\t\tFROM %s AS a\t\t\t\t\tWHERE a.%s = '%s' ",
                                           Bill_Broker_Name, Bill_Broker_Info, Bill_Broker_Name,
                                           Quote(name).constData()));
}

bool InsertBroker(const QString &name, const QString &department) {
    return RunReported(ErrorReport::Com, [&] {
        CTransaction transaction;
        TheDatabase().ExecuteStatement(QString::asprintf(
            " INSERT INTO %s \t\t\t\t\t(%s,%s) \t\t\t\t\tSELECT '%s',%s \t\t\t\t\tFROM %s \t\t\t\t\tWHERE %s = '%s' ",
            Bill_Broker_Info, Bill_Broker_Name, Bill_Broker_Dept, Quote(name).constData(), Bill_Dept_ID, Bill_Dept_Info,
            Bill_Dept_Name, Quote(department).constData()));
        if (TheDatabase().ChangedRows() > 0)
            WriteMasterLog(logop::AddMaster, BrokerCaption, department + QStringLiteral(" ") + name);
        transaction.Commit();
    });
}

bool DeleteDept(const QString &name) {
    const QByteArray quoted = Quote(name);
    return RunReported(ErrorReport::Com, [&] {
        CDatabase &db = TheDatabase();
        CTransaction transaction(db);
        // The recipients go first, while the department row still answers their sub-select.
        db.ExecuteStatement(QString::asprintf(" DELETE * \t\t\t\t\tFROM %s \t\t\t\t\tWHERE %s \t\t\t\t\tIN ( "
                                              "\t\t\t\t\tSELECT %s \t\t\t\t\tFROM %s \t\t\t\t\tWHERE %s = '%s' "
                                              "\t\t\t\t\t)",
                                              Bill_Broker_Info, Bill_Broker_Dept, Bill_Dept_ID, Bill_Dept_Info,
                                              Bill_Dept_Name, quoted.constData()));
        db.ExecuteStatement(QString::asprintf(" DELETE * \t\t\t\t\tFROM %s \t\t\t\t\tWHERE %s = '%s' ", Bill_Dept_Info,
                                              Bill_Dept_Name, quoted.constData()));
        if (db.ChangedRows() > 0)
            WriteMasterLog(logop::DeleteMaster, nametables::Departments.caption, name);
        transaction.Commit();
    });
}

bool DeleteBroker(const QString &name) {
    return RunReported(ErrorReport::Com, [&] {
        CTransaction transaction;
        TheDatabase().ExecuteStatement(QString::asprintf(" DELETE * \t\t\t\t\tFROM %s \t\t\t\t\tWHERE %s = '%s' ",
                                                         Bill_Broker_Info, Bill_Broker_Name, Quote(name).constData()));
        if (TheDatabase().ChangedRows() > 0)
            WriteMasterLog(logop::DeleteMaster, BrokerCaption, name);
        transaction.Commit();
    });
}
