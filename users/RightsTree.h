#pragma once
#include <QList>
#include <QString>
#include <QStringList>

class CPermissionTable;

// The rights tree as the account dialog shows it, without the widget: its levels as stored, and the
// translation between the checked items and a user's rights string.

struct RightsNode {
    int id = 0;
    QString name;
};

// The rights directly under a parent (0 for the top level), in their sibling order. Rows without an
// ID or a name are left out. Throws CDbError.
QList<RightsNode> ReadRightsLevel(int parentId);

// True when the item of that name shows as checked for the rights string: the name has a code in the
// table and that code occurs in the string. A right without a code is never shown as granted.
bool RightGrantedIn(const CPermissionTable &table, const QString &rights, const QString &name);

// The rights string of the checked items, given by name in depth-first order: their codes joined
// without separators. Names without a code in the table are left out.
QString ComposePopedomString(const CPermissionTable &table, const QStringList &checkedNames);
