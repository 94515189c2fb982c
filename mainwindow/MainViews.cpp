// The two views of the main window: departments with their recipients, or the kinds in stock, and
// the list of runs that a double click on a tree item shows. The overview is in MainOverview.cpp.
#include "app/BusyWindow.h"
#include "app/Database.h"
#include "audit/LowStock.h"
#include "lists/QueryListCtrl.h"
#include "mainwindow/MainDlg.h"
#include "mainwindow/ViewStatements.h"
#include "resources/Artwork.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QSet>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

constexpr int ImageRole = Qt::UserRole;
// The name an item stands for; its text may carry a mark after the name.
constexpr int NameRole = Qt::UserRole + 1;

QTreeWidgetItem *MakeItem(const QString &text, int image, const QIcon &icon) {
    auto *item = new QTreeWidgetItem(QStringList(text));
    item->setData(0, ImageRole, image);
    item->setData(0, NameRole, text);
    item->setIcon(0, icon);
    // An item without a name cannot be chosen.
    if (text.isEmpty())
        item->setFlags(item->flags() & ~Qt::ItemIsSelectable);
    return item;
}

// Freezes the drawing of a widget for the length of a rebuild.
class CFrozen {
public:
    explicit CFrozen(QWidget *widget) : m_widget(widget) { m_widget->setUpdatesEnabled(false); }
    ~CFrozen() { m_widget->setUpdatesEnabled(true); }
    CFrozen(const CFrozen &) = delete;
    CFrozen &operator=(const CFrozen &) = delete;

private:
    QWidget *m_widget;
};

// What names a row of the list across a refill: its kind and first number where the list shows
// them, else all of its texts.
QString RowKey(const CQueryListCtrl &list, int row) {
    const int kind = list.ColumnIndexOfTitle(QStringLiteral("票据类型"));
    const int begin = list.ColumnIndexOfTitle(QStringLiteral("开始编号"));
    QStringList parts;
    if (kind >= 0 && begin >= 0) {
        parts << list.GetItemText(row, kind) << list.GetItemText(row, begin);
    } else {
        for (int column = 0; column < list.ColumnCount(); ++column)
            parts << list.GetItemText(row, column);
    }
    return parts.join(QChar(0x1f));
}

} // namespace

void CMainDlg::FillDepartmentTree() {
    m_tree->clear();
    m_treeIcons = {artwork::Icon(artwork::Glyph::Department), artwork::Icon(artwork::Glyph::Recipient)};
    QList<DepartmentNode> departments;
    try {
        ReadDepartmentTree(departments);
    } catch (const CDbError &e) {
        ReportDbError(e);
    }
    for (const DepartmentNode &node : departments) {
        QTreeWidgetItem *department = MakeItem(node.name, DepartmentImage, m_treeIcons.at(DepartmentImage));
        m_tree->addTopLevelItem(department);
        for (const QString &recipient : node.recipients)
            department->addChild(MakeItem(recipient, RecipientImage, m_treeIcons.at(RecipientImage)));
    }
    // The recipients are what a clerk looks for: every department opens with them shown.
    m_tree->expandAll();
}

void CMainDlg::FillRepositoryTree() {
    m_tree->clear();
    m_treeIcons = {artwork::Icon(artwork::Glyph::Stock), artwork::Icon(artwork::Glyph::Kind)};
    QStringList kinds;
    try {
        ReadKindNames(kinds);
    } catch (const CDbError &e) {
        ReportDbError(e);
    }
    for (const QString &kind : kinds)
        m_tree->addTopLevelItem(MakeItem(kind, KindImage, m_treeIcons.at(KindImage)));
    MarkShortKinds();
}

void CMainDlg::RefreshStockMarks() {
    if (m_viewShown && m_treeMode == RepositoryViewMode)
        MarkShortKinds();
}

void CMainDlg::MarkShortKinds() {
    QVector<ShortKind> shortKinds;
    try {
        shortKinds = ShortKinds();
    } catch (const CDbError &e) {
        ReportDbError(e);
    }
    QSet<QString> names;
    for (const ShortKind &kind : std::as_const(shortKinds))
        names.insert(kind.kind);
    const QIcon warning = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_tree->topLevelItem(i);
        const QString name = item->data(0, NameRole).toString();
        const bool isShort = names.contains(name);
        item->setText(0, isShort ? name + LowStockMark : name);
        item->setIcon(0, isShort ? warning : m_treeIcons.value(KindImage));
    }
}

void CMainDlg::ChooseTreeItem(const QString &name) {
    QAbstractItemModel *model = m_tree->model();
    const QModelIndexList found = model->match(model->index(0, 0), NameRole, name, 1, Qt::MatchExactly);
    if (!found.isEmpty())
        m_tree->setCurrentIndex(found.first());
}

void CMainDlg::SetListStatement(const QString &statement) {
    CFrozen frozen(m_list);
    m_list->ClearColumns();
    m_list->SetStatement(statement, 3);
    m_list->SetMoneyColumns(ViewMoneyColumns(), QStringLiteral("￥"), 2);
    m_list->FillFromStatement(statement, TheDatabase());
}

void CMainDlg::ShowDepartmentView() {
    if (m_viewShown && m_viewMode == DepartmentViewMode)
        return;
    ShowDepartmentViewAgain();
}

void CMainDlg::ShowRepositoryView() {
    if (m_viewShown && m_viewMode == RepositoryViewMode)
        return;
    ShowRepositoryViewAgain();
}

void CMainDlg::ShowDepartmentViewAgain() {
    CWaitCursor wait;
    {
        CFrozen frozen(m_tree);
        FillDepartmentTree();
    }
    SetListStatement(DepartmentEmptyStatement());
    m_viewMode = DepartmentViewMode;
    m_treeMode = DepartmentViewMode;
    m_viewShown = true;
    RefreshViewIndicators();
}

void CMainDlg::ShowRepositoryViewAgain() {
    CWaitCursor wait;
    {
        CFrozen frozen(m_tree);
        FillRepositoryTree();
    }
    SetListStatement(RepositoryEmptyStatement());
    m_viewMode = RepositoryViewMode;
    m_treeMode = RepositoryViewMode;
    m_viewShown = true;
    RefreshViewIndicators();
}

void CMainDlg::RebuildCurrentView() {
    const bool overview = m_viewMode == OverviewMode;
    if (m_treeMode == RepositoryViewMode)
        ShowRepositoryViewAgain();
    else
        ShowDepartmentViewAgain();
    if (overview)
        ShowOverview();
}

void CMainDlg::RefreshView() {
    CWaitCursor wait;
    ForgetOthersChanges();
    QString chosen;
    int chosenImage = -1;
    SelectedTreeItem(chosen, chosenImage);
    {
        CFrozen frozen(m_tree);
        if (m_treeMode == RepositoryViewMode)
            FillRepositoryTree();
        else
            FillDepartmentTree();
        for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
            if ((*it)->data(0, NameRole).toString() == chosen && (*it)->data(0, ImageRole).toInt() == chosenImage) {
                m_tree->setCurrentItem(*it);
                break;
            }
        }
    }
    const QString statement = m_list->GetStatement();
    if (!statement.isEmpty()) {
        // The rows chosen before stay chosen where they are still listed.
        QSet<QString> selected;
        for (int row : m_list->SelectedRows())
            selected.insert(RowKey(*m_list, row));
        SetListStatement(statement);
        for (int row = 0; row < m_list->RowCount(); ++row)
            if (selected.contains(RowKey(*m_list, row)))
                m_list->SelectRow(row, true);
    }
    if (m_viewMode == OverviewMode)
        RefreshOverview();
}

bool CMainDlg::SelectedTreeItem(QString &text, int &image) const {
    QTreeWidgetItem *item = m_tree->currentItem();
    if (!item || !item->isSelected())
        return false;
    text = item->data(0, NameRole).toString();
    image = item->data(0, ImageRole).toInt();
    return true;
}

void CMainDlg::OnTreeDoubleClick(QTreeWidgetItem *item) {
    CBusyWindow busy(this);
    if (!item)
        return;
    const QString text = item->data(0, NameRole).toString();
    const int image = item->data(0, ImageRole).toInt();
    QString statement;
    if (m_treeMode == DepartmentViewMode)
        statement = image == RecipientImage ? RecipientRunsStatement(text) : DepartmentRunsStatement(text);
    else if (image == KindImage)
        statement = KindStockStatement(text);
    if (statement.isEmpty())
        return;
    ShowListInPlaceOfOverview();
    SetListStatement(statement);
    SetListCaption(text);
}

bool CMainDlg::eventFilter(QObject *watched, QEvent *event) {
    PaintSkinBand(watched, event);
    if (m_tree && watched == m_tree->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton)
            OnTreeDoubleClick(m_tree->itemAt(mouse->position().toPoint()));
    }
    return QDialog::eventFilter(watched, event);
}
