#include "bills/MasterNames.h"

#include "app/Database.h"
#include "schema/Schema.h"

using namespace schema;

namespace {
QString Text(CDatabase &db, const char *column) {
    QString value;
    db.ReadFieldText(QLatin1String(column), value);
    return value;
}
} // namespace

QStringList ReadNames(const char *table, const char *nameColumn, const char *orderColumn) {
    CDatabase &db = TheDatabase();
    db.OpenQuery(orderColumn ? QString::asprintf("SELECT * FROM %s ORDER BY %s ASC", table, orderColumn)
                             : QString::asprintf("SELECT * FROM %s", table));
    QStringList names;
    for (; !db.IsEOF(); db.MoveNext())
        names << Text(db, nameColumn);
    db.CloseQuery();
    return names;
}

QVector<QPair<QString, QString>> ReadDepartmentBrokers() {
    CDatabase &db = TheDatabase();
    db.OpenQuery(QString::asprintf(" SELECT %s,%s \t\t\t\t\tFROM %s AS a,%s AS b \t\t\t\t\tWHERE a.%s = b.%s "
                                   "\t\t\t\t\tORDER BY b.%s ASC ",
                                   Bill_Dept_Name, Bill_Broker_Name, Bill_Broker_Info, Bill_Dept_Info, Bill_Broker_Dept,
                                   Bill_Dept_ID, Bill_Dept_ID));
    QVector<QPair<QString, QString>> pairs;
    for (; !db.IsEOF(); db.MoveNext())
        pairs.append({Text(db, Bill_Dept_Name), Text(db, Bill_Broker_Name)});
    db.CloseQuery();
    return pairs;
}
