#include "users/RightsTreePane.h"

#include "app/Database.h"
#include "users/PermissionTable.h"
#include "users/RightsTree.h"
#include "users/UserAccounts.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>

namespace {

void CollectInOrder(QTreeWidgetItem *item, QList<QTreeWidgetItem *> &items) {
    items << item;
    for (int i = 0; i < item->childCount(); ++i)
        CollectInOrder(item->child(i), items);
}

void SetSubtreeState(QTreeWidgetItem *item, Qt::CheckState state) {
    for (int i = 0; i < item->childCount(); ++i) {
        item->child(i)->setCheckState(0, state);
        SetSubtreeState(item->child(i), state);
    }
}

} // namespace

CRightsTreePane::CRightsTreePane(const CPermissionTable &table, QWidget *parent) : QTreeWidget(parent), m_table(table) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
}

void CRightsTreePane::LoadRightsTree() {
    clear();
    QSet<int> loaded;
    FillLevel(invisibleRootItem(), 0, loaded);
}

void CRightsTreePane::FillLevel(QTreeWidgetItem *parent, int parentId, QSet<int> &loaded) {
    QList<RightsNode> level;
    try {
        level = ReadRightsLevel(parentId);
    } catch (const CDbError &e) {
        ReportDbError(e);
        return;
    }
    const QIcon image = style()->standardIcon(QStyle::SP_FileDialogDetailedView);
    QList<QPair<QTreeWidgetItem *, int>> inserted;
    for (const RightsNode &node : level) {
        // A row that names itself or an ancestor as parent would repeat the tree without end.
        if (loaded.contains(node.id))
            continue;
        loaded.insert(node.id);
        auto *item = new QTreeWidgetItem(parent, QStringList(node.name));
        item->setIcon(0, image);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        inserted.append({item, node.id});
    }
    for (const auto &[item, id] : inserted) {
        FillLevel(item, id, loaded);
        item->setExpanded(true);
    }
}

void CRightsTreePane::ShowUserRights(const QString &user) {
    if (user.isEmpty())
        return;
    if (IsAdministrator(user)) {
        CheckAllRights(Qt::Checked);
        return;
    }
    CPermissionTable reader;
    const QString rights = reader.LoadUserRights(user);
    for (QTreeWidgetItem *item : ItemsInOrder())
        item->setCheckState(0, RightGrantedIn(m_table, rights, item->text(0)) ? Qt::Checked : Qt::Unchecked);
}

void CRightsTreePane::CheckAllRights(Qt::CheckState state) {
    for (QTreeWidgetItem *item : ItemsInOrder())
        item->setCheckState(0, state);
}

void CRightsTreePane::PropagateCheck(QTreeWidgetItem *item) {
    if (!item)
        return;
    SetSubtreeState(item, item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

QString CRightsTreePane::BuildPopedomString() const {
    QStringList checked;
    for (QTreeWidgetItem *item : ItemsInOrder())
        if (item->checkState(0) == Qt::Checked)
            checked << item->text(0);
    return ComposePopedomString(m_table, checked);
}

QList<QTreeWidgetItem *> CRightsTreePane::ItemsInOrder() const {
    QList<QTreeWidgetItem *> items;
    for (int i = 0; i < topLevelItemCount(); ++i)
        CollectInOrder(topLevelItem(i), items);
    return items;
}

QTreeWidgetItem *CRightsTreePane::FindRight(const QString &name) const {
    for (QTreeWidgetItem *item : ItemsInOrder())
        if (item->text(0) == name)
            return item;
    return nullptr;
}

// The descendants follow from the state before the click: the item's own box toggles afterwards,
// through the list's normal handling, when the click was on the box.
void CRightsTreePane::mousePressEvent(QMouseEvent *event) {
    const QPoint pos = event->position().toPoint();
    QTreeWidgetItem *item = itemAt(pos);
    // The branch sign left of an item opens and closes it and is no click on the item.
    if (event->button() == Qt::LeftButton && item && visualItemRect(item).contains(pos))
        PropagateCheck(item);
    QTreeWidget::mousePressEvent(event);
}

// The space bar toggles the current item's box; its branch follows as on a click.
void CRightsTreePane::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Space && currentItem())
        PropagateCheck(currentItem());
    QTreeWidget::keyPressEvent(event);
}
