#pragma once
#include <QSet>
#include <QString>
#include <QTreeWidget>

class CPermissionTable;

// The rights tree of the account dialog: every right with a check box, as stored in the rights table,
// fully expanded. A click on an item (its label or its box) sets all its descendants to the opposite of
// the state the item had before the click, so one click grants or takes back a whole branch.
class CRightsTreePane : public QTreeWidget {
    Q_OBJECT
public:
    explicit CRightsTreePane(const CPermissionTable &table, QWidget *parent = nullptr);

    // Clears the tree and fills it from the rights table, level by level, each item expanded.
    void LoadRightsTree();
    // Shows the rights of the user: every item checked for the administrator, otherwise exactly the
    // items whose codes occur in the user's rights string. Nothing happens for an empty name.
    void ShowUserRights(const QString &user);
    void CheckAllRights(Qt::CheckState state);
    // Sets every descendant of the item to the opposite of the item's present state.
    void PropagateCheck(QTreeWidgetItem *item);
    // The codes of the checked items in depth-first order, joined without separators.
    QString BuildPopedomString() const;

    // Every item, an item before its children, siblings in order.
    QList<QTreeWidgetItem *> ItemsInOrder() const;
    // The first item with that text, in the same order; null when none has it.
    QTreeWidgetItem *FindRight(const QString &name) const;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FillLevel(QTreeWidgetItem *parent, int parentId, QSet<int> &loaded);

    const CPermissionTable &m_table;
};
