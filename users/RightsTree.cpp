#include "users/RightsTree.h"

#include "app/Database.h"
#include "schema/Schema.h"
#include "users/PermissionTable.h"

using namespace schema;

namespace {

// The code of a right's name, empty when it has none that could stand in a rights string.
QString CodeOfName(const CPermissionTable &table, const QString &name) {
    const qsizetype at = table.Names().indexOf(name);
    if (at < 0)
        return QString();
    const QString code = table.Codes().at(at);
    return code == CPermissionTable::NullEntry() ? QString() : code;
}

} // namespace

QList<RightsNode> ReadRightsLevel(int parentId) {
    CDatabase &db = TheDatabase();
    db.OpenQuery(QString::asprintf(" SELECT * FROM %s \t\t\t\t\tWHERE (%s = %d) \t\t\t\t\tORDER BY %s ASC",
                                   Bill_Popedom_Tree_Info, Bill_Popedom_Tree_ParentID, parentId,
                                   Bill_Popedom_Tree_InNum));
    QList<RightsNode> level;
    for (; !db.IsEOF(); db.MoveNext()) {
        double id = 0;
        RightsNode node;
        if (!db.ReadFieldNumber(Bill_Popedom_Tree_ID, id) || !db.ReadFieldText(Bill_Popedom_Tree_Name, node.name))
            continue;
        node.id = int(id);
        level << node;
    }
    db.CloseQuery();
    return level;
}

bool RightGrantedIn(const CPermissionTable &table, const QString &rights, const QString &name) {
    const QString code = CodeOfName(table, name);
    return !code.isEmpty() && rights.contains(code);
}

QString ComposePopedomString(const CPermissionTable &table, const QStringList &checkedNames) {
    QString rights;
    for (const QString &name : checkedNames)
        rights += CodeOfName(table, name);
    return rights;
}
