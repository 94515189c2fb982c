#include "masterdata/DeleteCommands.h"

#include "app/Messages.h"
#include "mainwindow/MainDlg.h"
#include "masterdata/Departments.h"

#include <QTreeWidget>

namespace {

// What tells the two delete commands apart.
struct TreeItemDelete {
    const char *right;
    int image;
    const char *wrongKindText; // %s: the selected item
    const char *wrongKindCaption;
    const char *question; // %s twice: the selected item
    bool (*remove)(const QString &name);
};

const TreeItemDelete DepartmentDelete{
    "删除发放部门",
    CMainDlg::DepartmentImage,
    "%s 不是部门，请选择你要删除的部门!",
    "请选择部门",
    "\n删除领票部门：\n\n   当部门 '%s' 被删除时，其所属的领票人也将被同时删除，\n你确定要删除 '%s' 吗?\n\n",
    DeleteDept};

const TreeItemDelete RecipientDelete{"删除发放人员",
                                     CMainDlg::RecipientImage,
                                     "%s 不是领票人，请选择你要删除的领票人!",
                                     "请选择领票人",
                                     "\n删除领票人:\n\n领票人 '%s' 将被删除，你确定要删除 '%s' 吗?\n\n",
                                     DeleteBroker};

void DeleteSelectedTreeItem(CMainDlg &main, const TreeItemDelete &what) {
    if (!main.CheckRight(QString::fromUtf8(what.right)))
        return;
    if (main.ViewMode() != CMainDlg::DepartmentViewMode)
        return;
    QString text;
    int image = -1;
    if (!main.SelectedTreeItem(text, image))
        return;
    const QByteArray name = text.toUtf8();
    if (image != what.image) {
        ShowMessage(QString::asprintf(what.wrongKindText, name.constData()), QString::fromUtf8(what.wrongKindCaption),
                    MsgIcon::Exclamation);
        return;
    }
    if (ShowMessage(QString::asprintf(what.question, name.constData(), name.constData()), QStringLiteral("删除"),
                    MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    QTreeWidgetItem *item = main.Tree()->currentItem();
    // The item leaves the tree only once the store has let the name go.
    if (what.remove(text))
        delete item;
}

} // namespace

void DeleteDeptCommand(CMainDlg &main) {
    DeleteSelectedTreeItem(main, DepartmentDelete);
}

void DeleteBrokerCommand(CMainDlg &main) {
    DeleteSelectedTreeItem(main, RecipientDelete);
}
