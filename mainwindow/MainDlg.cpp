#include "mainwindow/MainDlg.h"

#include "app/BusyWindow.h"
#include "app/Database.h"
#include "app/LoginDlg.h"
#include "app/Messages.h"
#include "audit/BookAuditDlg.h"
#include "audit/LogDlg.h"
#include "audit/LowStock.h"
#include "audit/OperationLog.h"
#include "bills/BillHistoryDlg.h"
#include "bills/IssueDlg.h"
#include "bills/ReturnDlg.h"
#include "bills/StockInDlg.h"
#include "lists/MultiIndexDlg.h"
#include "lists/QueryListCtrl.h"
#include "lists/SearchDlg.h"
#include "maintenance/ForcedOperationDlg.h"
#include "maintenance/MaintenanceCommands.h"
#include "maintenance/OperationDocumentDlg.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/SearchFields.h"
#include "mainwindow/SplashDlg.h"
#include "masterdata/AddBrokerDlg.h"
#include "masterdata/AddDeptDlg.h"
#include "masterdata/BillKindDlg.h"
#include "masterdata/DeleteCommands.h"
#include "masterdata/MadeDeptDlg.h"
#include "masterdata/MainKindDlg.h"
#include "masterdata/ManagerDlg.h"
#include "reports/ExportList.h"
#include "reports/PrintEngine.h"
#include "reports/ReportDlg.h"
#include "reports/TableNameDlg.h"
#include "resources/Artwork.h"
#include "users/PasswordDlg.h"
#include "users/UserAccountDlg.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QWindow>

namespace {

int RunLoginDialog(QWidget *parent, QString &userName) {
    CLoginDlg login(parent);
    login.exec();
    userName = login.UserName();
    return login.Result();
}

} // namespace

CMainDlg::CMainDlg(QWidget *parent) : QDialog(parent), m_loginRunner(RunLoginDialog) {
    // The splash shows while the window is made, before the login.
    CSplashDlg::Run(nullptr);
    // The skin draws the frame: no frame of the window system.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint);
    setWindowTitle(QStringLiteral("Pelorvanide"));
    setWindowIcon(artwork::Icon(artwork::Glyph::Application));
    for (const MainCommand &command : MainCommands())
        if (!command.sameAs)
            m_commands.insert(command.id, CommandSlot());
    BuildLayout();
    InstallBuiltInCommands();
    connect(&m_hook, &CMouseHook::MenuRequested, this, &CMainDlg::OpenBarMenu);
    connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, this,
            [this] { RunCommand(cmd::Refresh); });
    BuildTray();
    m_changeWatch = new QTimer(this);
    m_changeWatch->setInterval(200);
    connect(m_changeWatch, &QTimer::timeout, this, [this] {
        try {
            if (TheDatabase().ChangedElsewhere())
                m_staleLabel->show();
        } catch (const CDbError &) {
            // A watch that cannot ask stays silent; the next command tells what is wrong.
        }
    });
    m_changeWatch->start();
}

CMainDlg::~CMainDlg() = default;

void CMainDlg::ForgetOthersChanges() {
    try {
        TheDatabase().ChangedElsewhere();
    } catch (const CDbError &) {
    }
    m_staleLabel->hide();
}

bool CMainDlg::Initialise() {
    if (RunLogin() != CLoginDlg::LoginSucceeded)
        return false;
    m_permissions.LoadPermissionTable();
    LoadUserRights();
    m_hook.SetTargetWindow(this);
    m_hook.StartHook();
    ApplyNormalLayout();
    ShowDepartmentViewAgain();
    WarnOfLowStock();
    return true;
}

void CMainDlg::WarnOfLowStock() {
    QString warning;
    try {
        warning = LowStockWarning(ShortKinds());
    } catch (const CDbError &e) {
        ReportDbError(e);
        return;
    }
    if (!warning.isEmpty())
        ShowMessage(warning, QStringLiteral("库存不足"), MsgIcon::Exclamation);
}

int CMainDlg::RunLogin() {
    QString user;
    const int result = m_loginRunner(isVisible() ? this : nullptr, user);
    if (!user.isEmpty())
        SetCurrentUser(user);
    return result;
}

void CMainDlg::SetCurrentUser(const QString &user) {
    m_permissions.SetUserName(user);
    SetLogUser(user);
    m_userLabel->setText(QStringLiteral("当前用户：%1").arg(user));
}

void CMainDlg::LoadUserRights() {
    m_permissions.LoadUserRights(CurrentUser());
}

bool CMainDlg::CheckRight(const QString &rightName) {
    return m_permissions.CheckRight(rightName);
}

bool CMainDlg::ConfirmAccount() {
    // Without a login there is no account to lose; such a window holds no rights either.
    if (CurrentUser().isEmpty())
        return true;
    switch (m_permissions.ReloadUserRights()) {
    case CPermissionTable::Account::Present:
        return true;
    case CPermissionTable::Account::Unreadable:
        return false;
    case CPermissionTable::Account::Gone:
        break;
    }
    ShowMessage(QStringLiteral("您的帐户“%1”已被删除，不能再进行操作，请重新登录。").arg(CurrentUser()),
                QStringLiteral("权限"), MsgIcon::Exclamation);
    SetCurrentUser(QString());
    if (RunLogin() == CLoginDlg::LoginSucceeded) {
        LoadUserRights();
        RebuildCurrentView();
    } else {
        done(QDialog::Rejected);
    }
    return false;
}

// --- Commands --------------------------------------------------------------------------------------

void CMainDlg::InstallBuiltInCommands() {
    SetCommandHandler(cmd::Login, [this] { OnLogin(); });
    SetCommandHandler(cmd::Exit, [this] { OnExit(); });
    SetCommandHandler(cmd::DepartmentView, [this] { ShowDepartmentView(); });
    SetCommandHandler(cmd::RepositoryView, [this] { ShowRepositoryView(); });
    SetCommandHandler(cmd::Overview, [this] {
        if (m_viewMode != OverviewMode)
            ShowOverview();
    });
    SetCommandHandler(cmd::Refresh, [this] { RefreshView(); });
    SetCommandHandler(cmd::Extract, [this] { OnExtract(); });
    SetCommandHandler(cmd::Print, [this] { OnPrint(); });
    InstallShellCommands();
    InstallDialogCommands();
}

// Commands that open a dialog of their own, or act on the tree's selection. The right and the view
// were checked by RunCommand before a handler runs.
void CMainDlg::InstallDialogCommands() {
    SetCommandHandler(cmd::StockIn, [this] {
        CStockInDlg(this).exec();
        RefreshStockMarks();
    });
    SetCommandHandler(cmd::History, [this] { CBillHistoryDlg(this).exec(); });
    SetCommandHandler(cmd::OperationLog, [this] { CLogDlg(this).exec(); });
    SetCommandHandler(cmd::LogCheck, [] { CheckLogChainCommand(); });
    SetCommandHandler(cmd::BookAudit, [this] { CBookAuditDlg(this).exec(); });
    SetCommandHandler(cmd::Export, [this] {
        if (m_viewMode == OverviewMode)
            ExportOverview();
        else
            ExportList(*m_list, CTableNameDlg::AskTableName(this), this);
    });
    SetCommandHandler(cmd::Issue, [this] {
        CIssueDlg(m_list, this).exec();
        RefreshStockMarks();
    });
    SetCommandHandler(cmd::Return, [this] { CReturnDlg(m_list, this).exec(); });
    SetCommandHandler(cmd::Report, [this] { CReportDlg(this).exec(); });
    SetCommandHandler(cmd::MainKind, [this] { CMainKindDlg(this).exec(); });
    SetCommandHandler(cmd::Kind, [this] { CBillKindDlg(this).exec(); });
    SetCommandHandler(cmd::Manager, [this] { CManagerDlg(this).exec(); });
    SetCommandHandler(cmd::Maker, [this] { CMadeDeptDlg(this).exec(); });
    const auto showDepartmentViewAgain = [this] { ShowDepartmentViewAgain(); };
    SetCommandHandler(cmd::AddDepartment,
                      [this, showDepartmentViewAgain] { CAddDeptDlg(showDepartmentViewAgain, this).exec(); });
    SetCommandHandler(cmd::AddRecipient,
                      [this, showDepartmentViewAgain] { CAddBrokerDlg(showDepartmentViewAgain, this).exec(); });
    SetCommandHandler(cmd::DeleteDepartment, [this] { DeleteDeptCommand(*this); });
    SetCommandHandler(cmd::DeleteRecipient, [this] { DeleteBrokerCommand(*this); });
    SetCommandHandler(cmd::Search, [this] { CSearchDlg(MainSearchCatalogue(), *m_list, this).exec(); });
    SetCommandHandler(cmd::Index, [this] { CMultiIndexDlg(*m_list, this).exec(); });
    SetCommandHandler(cmd::Rights, [this] { CUserAccountDlg(m_permissions, this).exec(); });
    SetCommandHandler(cmd::Password, [this] { CPasswordDlg(CurrentUser(), this).exec(); });
    SetCommandHandler(cmd::Void, [this] {
        VoidCommand(m_list);
        RefreshStockMarks();
    });
    SetCommandHandler(cmd::Delete, [this] {
        DeleteCommand(m_list);
        RefreshStockMarks();
    });
    SetCommandHandler(cmd::Forced, [this] {
        CForcedOperationDlg(this).exec();
        RefreshStockMarks();
    });
    SetCommandHandler(cmd::Documents, [this] { COperationDocumentDlg([this] { RebuildCurrentView(); }, this).exec(); });
}

void CMainDlg::RunCommand(int id) {
    const MainCommand *command = FindMainCommand(id);
    if (!command)
        return;
    const int handlerId = HandlerId(id);
    if (!HasCommandHandler(handlerId))
        return;
    if (!EndsTheSession(handlerId) && !ConfirmAccount())
        return;
    if (command->right && !CheckRight(QString::fromUtf8(command->right)))
        return;
    const MainCommand *own = FindMainCommand(handlerId);
    if (own->requiredView >= 0 && own->requiredView != m_viewMode)
        return;
    // Commands on the list's rows bring the list back in place of the overview.
    if (own->needsRows || handlerId == cmd::Index || handlerId == cmd::Search)
        ShowListInPlaceOfOverview();
    const bool overview = m_viewMode == OverviewMode;
    // A copy, so that a handler may replace itself while it runs.
    const std::function<void()> handler = m_commands.value(handlerId).handler;
    handler();
    // Whether it was done or refused, what the books hold now is shown, others' work included; the
    // overview is read again after every command.
    if (handlerId != cmd::Refresh && ((overview && m_viewMode == OverviewMode) || MayChangeTheBooks(handlerId)))
        RefreshView();
}

void CMainDlg::SetCommandHandler(int id, std::function<void()> handler) {
    const int handlerId = HandlerId(id);
    auto slot = m_commands.find(handlerId);
    if (slot == m_commands.end())
        return;
    slot->handler = std::move(handler);
    RefreshCommandState(handlerId);
}

bool CMainDlg::HasCommandHandler(int id) const {
    auto slot = m_commands.constFind(HandlerId(id));
    return slot != m_commands.constEnd() && bool(slot->handler);
}

void CMainDlg::RefreshCommandState(int id) {
    const CommandSlot &slot = m_commands[id];
    const bool enabled = bool(slot.handler);
    if (slot.action)
        slot.action->setEnabled(enabled);
    for (QAbstractButton *button : slot.buttons)
        button->setEnabled(enabled);
}

QAction *CMainDlg::CommandAction(int id) const {
    return m_commands.value(id).action;
}

QMenu *CMainDlg::BarMenu(int menu) const {
    return m_barMenus.value(menu - 1);
}

QToolButton *CMainDlg::BarButton(int menu) const {
    return m_barButtons.value(menu - 1);
}

void CMainDlg::UpdateMenuState(int menu) {
    const bool rowsSelected = m_list->HasSelection();
    for (int id : BarMenuItems(menu)) {
        const MainCommand *command = FindMainCommand(id);
        QAction *action = CommandAction(id);
        if (!command || !action)
            continue;
        bool enabled = HasCommandHandler(id);
        if (command->requiredView >= 0 && command->requiredView != m_viewMode)
            enabled = false;
        if (command->needsRows && !rowsSelected)
            enabled = false;
        action->setEnabled(enabled);
        if (command->checkedInView >= 0) {
            const bool checked = command->checkedInView == m_viewMode;
            action->setChecked(checked);
            action->setIcon(checked ? artwork::Icon(artwork::Glyph::Check)
                                    : action->property("ownIcon").value<QIcon>());
        }
    }
}

void CMainDlg::OpenBarMenu(int menu) {
    QMenu *popup = BarMenu(menu);
    QToolButton *button = BarButton(menu);
    if (!popup || !button)
        return;
    QList<QRect> rects;
    for (QToolButton *bar : m_barButtons)
        rects << QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size());
    m_hook.SetHitRect(rects);
    if (m_hook.GetStatus()) {
        if (QWidget *open = QApplication::activePopupWidget())
            open->close();
    }
    m_hook.SetCurMenu(menu);
    m_hook.SetBegin();
    UpdateMenuState(menu);
    button->setDown(true);
    QAction *chosen = popup->exec(button->mapToGlobal(QPoint(0, button->height())));
    button->setDown(false);
    if (chosen)
        RunCommand(chosen->data().toInt());
}

// --- The window's own commands ---------------------------------------------------------------------

void CMainDlg::OnLogin() {
    if (RunLogin() != CLoginDlg::LoginSucceeded)
        return;
    LoadUserRights();
    WarnOfLowStock();
}

void CMainDlg::OnPrint() {
    if (m_viewMode == OverviewMode)
        PrintOverview();
    else
        PrintList(*m_list, CTableNameDlg::AskTableName(this));
}

void CMainDlg::OnExit() {
    if (ShowMessage(QStringLiteral("您确定要退出系统?"), QStringLiteral("退出提示"), MsgIcon::Question,
                    MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    try {
        LogEntry entry;
        entry.operation = QString::fromUtf8(logop::Exit);
        entry.detail = QStringLiteral("用户 %1 退出").arg(CurrentUser());
        WriteLog(entry);
    } catch (const CDbError &e) {
        // The clerk is told; the program still ends as asked.
        ReportDbError(e);
    }
    done(QDialog::Accepted);
}

void CMainDlg::reject() {
    OnExit();
}

void CMainDlg::OnMinimise() {
    m_stateBeforeMinimise = m_skinState;
    m_skinState = SkinMinimised;
    showMinimized();
}

void CMainDlg::OnBackToTop() {
    m_list->ScrollToTop();
}

void CMainDlg::OnRowCount() {
    ShowMessage(QString::asprintf("    当前列表中，共有 %d 行数据.", m_list->RowCount()), QStringLiteral("行数"),
                MsgIcon::Information, MsgButtons::Ok);
}

void CMainDlg::OnExtract() {
    CBusyWindow busy(this);
    m_list->setUpdatesEnabled(false);
    m_list->KeepSelectedRows();
    m_list->setUpdatesEnabled(true);
}

void CMainDlg::RemoveSelectedRows() {
    const int count = int(m_list->SelectedRows().size());
    for (int i = 0; i < count; ++i) {
        const QList<int> selected = m_list->SelectedRows();
        if (selected.isEmpty())
            break;
        m_list->DeleteRow(selected.first());
    }
}

void CMainDlg::OnChooseFindColumn() {
    QMenu menu(this);
    const QStringList titles = m_list->GetHeaderTitles();
    for (int i = 0; i < titles.size(); ++i) {
        QAction *item = menu.addAction(titles.at(i));
        item->setCheckable(true);
        item->setChecked(i == m_findIndex);
        item->setData(i);
    }
    QAction *chosen = menu.exec(m_findColumnButton->mapToGlobal(QPoint(0, m_findColumnButton->height())));
    if (!chosen)
        return;
    m_findIndex = chosen->data().toInt();
    m_findTitle = chosen->text();
    m_findColumnButton->setText(m_findTitle);
}

void CMainDlg::OnFindNext() {
    m_list->FindText(m_findTitle, m_findBox->text(), m_findRow, false);
}

// --- Dragging by the top band ----------------------------------------------------------------------

bool CMainDlg::IsCaptionPoint(const QPoint &pos) const {
    return rect().contains(pos) && pos.y() < height() / 22;
}

void CMainDlg::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton || !IsCaptionPoint(event->position().toPoint())) {
        QDialog::mousePressEvent(event);
        return;
    }
    // The window system moves the window where it can; elsewhere the window follows the mouse.
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    m_dragging = true;
    m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void CMainDlg::mouseMoveEvent(QMouseEvent *event) {
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - m_dragOffset);
    else
        QDialog::mouseMoveEvent(event);
}

void CMainDlg::mouseReleaseEvent(QMouseEvent *event) {
    m_dragging = false;
    QDialog::mouseReleaseEvent(event);
}
