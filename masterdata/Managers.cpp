#include "masterdata/Managers.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "audit/OperationLog.h"
#include "masterdata/NameTable.h"
#include "schema/Schema.h"

using namespace schema;

bool SetCurrentManager(const QString &name) {
    return RunReported(ErrorReport::Com, [&] {
        CDatabase &db = TheDatabase();
        CTransaction transaction(db);
        db.ExecuteStatement(
            QString::asprintf("UPDATE %s \t\t\t\t\tSET %s = %s", Bill_Manager_Info, Bill_Manager_Cur, "FALSE"));
        db.ExecuteStatement(QString::asprintf("UPDATE %s \t\t\t\t\tSET %s = %s \t\t\t\t\tWHERE %s = '%s'",
                                              Bill_Manager_Info, Bill_Manager_Cur, "TRUE", Bill_Manager_Name,
                                              Quote(name).constData()));
        WriteMasterLog(logop::SetManager, nametables::Managers.caption, name);
        transaction.Commit();
    });
}

QString GetCurrentManager() {
    const QStringList current = QueryNames(
        QString::asprintf("SELECT * FROM %s WHERE %s = TRUE", Bill_Manager_Info, Bill_Manager_Cur), Bill_Manager_Name);
    return current.value(0);
}

QStringList ManagerNamesCurrentFirst() {
    // TRUE is stored as -1, so ascending order by the flag puts the current administrator first.
    return QueryNames(QString::asprintf("SELECT * FROM %s ORDER BY %s ASC", Bill_Manager_Info, Bill_Manager_Cur),
                      Bill_Manager_Name);
}

QStringList MakingDepartmentNames() {
    return QueryNames(QString::asprintf("SELECT * FROM %s ORDER BY %s ASC", Bill_Made_Info, Bill_Made_ID),
                      Bill_Made_Name);
}
