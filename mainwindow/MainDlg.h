#pragma once
#include "mainwindow/MouseHook.h"
#include "users/PermissionTable.h"

#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QRegion>
#include <QString>
#include <functional>

class COverviewView;
class CQueryListCtrl;
struct OverdueBook;
class QAbstractButton;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QStackedWidget;
class QSystemTrayIcon;
class QTimer;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

// The program's one window: a row of menu-bar buttons, the department or stock tree on the left,
// the list of bill runs (or the overview in its place) on the right and the buttons around them.
// Every menu item and button runs a command through one table: id -> right -> handler. A command
// without a handler is shown but grayed; the dialogs of the program are wired in with
// SetCommandHandler.
class CMainDlg : public QDialog {
    Q_OBJECT
public:
    // What a tree item is, kept as its image index.
    enum TreeImage { DepartmentImage = 0, RecipientImage = 1, KindImage = 1 };
    enum ViewModes { DepartmentViewMode = 0, RepositoryViewMode = 1, OverviewMode = 2 };

    // Runs the login and fills the user name; returns the login's result (6 when someone logged in).
    using LoginRunner = std::function<int(QWidget *parent, QString &userName)>;

    explicit CMainDlg(QWidget *parent = nullptr);

    // The size the window opens at on a screen of that free size: wide enough for every column of
    // the repository list on a screen of 1280 by 800, never larger than the screen.
    static QSize DefaultSize(const QSize &screen);
    ~CMainDlg() override;

    // The start-up steps once the window exists: the login, the rights of the user, the mouse hook
    // and the department view. False when nobody logged in: the program ends.
    bool Initialise();
    void SetLoginRunner(LoginRunner runner) { m_loginRunner = std::move(runner); }
    // Runs the login; a name that logged in becomes the current user. Returns the login's result.
    int RunLogin();

    // The current user and rights.
    QString CurrentUser() const { return m_permissions.UserName(); }
    void SetCurrentUser(const QString &user);
    CPermissionTable &Permissions() { return m_permissions; }
    // Reads the rights of the current user afresh.
    void LoadUserRights();
    // True when the current user holds the right; otherwise shows the refusal.
    bool CheckRight(const QString &rightName);

    // The views.
    int ViewMode() const { return m_viewMode; }
    CQueryListCtrl *MainList() const { return m_list; }
    QTreeWidget *Tree() const { return m_tree; }
    bool SelectedTreeItem(QString &text, int &image) const;
    void ShowDepartmentView();
    void ShowRepositoryView();
    // Rebuilds the department tree and its empty list whatever view is shown.
    void ShowDepartmentViewAgain();
    // Rebuilds the tree and the empty list of the view shown.
    void RebuildCurrentView();
    // Reads the view shown again from the store: the tree, keeping the chosen item, the list's own
    // statement and the overview when it is shown, so that the work of other clerks shows. Runs after
    // every command that may change the books (after every command in the overview), and on "刷新" (F5).
    void RefreshView();
    // Lists the runs of a department, recipient or kind; nothing for no item. In the overview the
    // list comes back in its place first.
    void OnTreeDoubleClick(QTreeWidgetItem *item);
    // Marks the kinds of the repository view that run short ("（库存不足）" and a warning icon) and
    // clears the mark of the others; nothing while the department view is shown.
    void RefreshStockMarks();
    // The one message after login naming the kinds that run short; none when no kind does.
    void WarnOfLowStock();

    // The overview (MainOverview.cpp): shown in place of the list, the tree left as it is; read afresh
    // after every command while it is shown.
    void ShowOverview();
    void RefreshOverview();
    COverviewView *Overview() const { return m_overview; }
    // What a click in the overview opens: the books of a kind in one state (0 in stock, 1 out,
    // 2 returned), a kind's stock, or the books out too long with the chosen one selected.
    void OpenKindBooks(const QString &kind, int state);
    void OpenOverdueBook(const OverdueBook &book);
    // Takes the selected rows out of the main list; the store is not touched.
    void RemoveSelectedRows();

    // The commands.
    void RunCommand(int id);
    void SetCommandHandler(int id, std::function<void()> handler);
    bool HasCommandHandler(int id) const;
    // The menu item of a command of the menu-bar menus; null for other ids.
    QAction *CommandAction(int id) const;
    // Menu-bar menu 1 to 5 and its button.
    QMenu *BarMenu(int menu) const;
    QToolButton *BarButton(int menu) const;
    // Grays and checks the items of a menu-bar menu for the current view and selection.
    void UpdateMenuState(int menu);
    void OpenBarMenu(int menu);

    // The window's own small commands.
    void OnExit();
    void OnMinimise();
    void OnBackToTop();
    void OnRowCount();
    void OnExtract();
    void OnFindNext();
    void OnChooseFindColumn();
    QString FindColumn() const { return m_findTitle; }
    QLineEdit *FindBox() const { return m_findBox; }
    // True for a point of the top band by which the window is dragged.
    bool IsCaptionPoint(const QPoint &pos) const;

    // Escape and the window's close button ask before leaving, as the exit command does.
    void reject() override;

    // The skin (MainSkin.cpp): the shape and pictures of "MainDlgSrc.dat" at rest and maximised.
    enum SkinState { SkinNormal, SkinMaximised, SkinMinimised };
    void ApplyNormalLayout();
    void ApplyMaximisedLayout();
    int SkinStateNow() const { return m_skinState; }
    QRegion WindowRegion() const { return m_region; }
    // The drawn pictures: 2 background, 3 top band, 4 list caption band; null when not loaded.
    QPixmap SkinBitmap(int id) const;
    // The notification-area icon and its menu.
    QSystemTrayIcon *TrayIcon() const { return m_tray; }
    QMenu *TrayMenu() const { return m_trayMenu; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    struct CommandSlot {
        std::function<void()> handler;
        QAction *action = nullptr;
        QList<QAbstractButton *> buttons;
    };

    // Layout.
    void BuildLayout();
    QWidget *BuildHeader();
    QWidget *BuildTreePanel();
    QWidget *BuildListPanel();
    void BuildBarMenus();
    QToolButton *CommandButton(int controlId, int commandId, const QString &text);
    QToolButton *ToolButton(int controlId, const QIcon &icon, const QString &text, const QString &tip);
    void InstallBuiltInCommands();
    void InstallDialogCommands();
    void RefreshCommandState(int id);
    void RefreshViewIndicators();
    // The views are about to be read: what others changed until now is in them.
    void ForgetOthersChanges();

    // Views.
    void FillDepartmentTree();
    void FillRepositoryTree();
    void MarkShortKinds();
    // Makes the top-level item of that name the tree's current one, whatever mark its text carries.
    void ChooseTreeItem(const QString &name);
    void ShowRepositoryViewAgain();
    void SetListStatement(const QString &statement);
    void SetListCaption(const QString &detail);
    void ShowListInPlaceOfOverview();
    void PrintOverview();
    void ExportOverview();

    // The skin and the shell around the window (MainSkin.cpp).
    void BuildTray();
    void InstallShellCommands();
    void PaintSkinBand(QObject *watched, QEvent *event);

    // Commands run by the window itself.
    void OnLogin();
    // Reads the user's rights afresh before a command. An account deleted meanwhile is told so and
    // logged out: the login runs again, and the program ends when nobody logs in. False when the
    // command must not run.
    bool ConfirmAccount();
    void OnPrint();

    CPermissionTable m_permissions;
    CMouseHook m_hook;
    LoginRunner m_loginRunner;
    QHash<int, CommandSlot> m_commands;
    int m_viewMode = DepartmentViewMode;
    // The tree shown: the department or the repository tree, also under the overview.
    int m_treeMode = DepartmentViewMode;
    bool m_viewShown = false;
    QList<QIcon> m_treeIcons;

    QTreeWidget *m_tree = nullptr;
    CQueryListCtrl *m_list = nullptr;
    QStackedWidget *m_listArea = nullptr;
    COverviewView *m_overview = nullptr;
    QLabel *m_treeCaption = nullptr;
    QLabel *m_listCaption = nullptr;
    QLabel *m_userLabel = nullptr;
    // Shown when another desk (or anyone going round the program) committed a change to the books
    // since the views were read; the watch asks the store a few times a second.
    QLabel *m_staleLabel = nullptr;
    QTimer *m_changeWatch = nullptr;
    QList<QToolButton *> m_barButtons;
    QList<QMenu *> m_barMenus;
    QLineEdit *m_findBox = nullptr;
    QToolButton *m_findColumnButton = nullptr;
    QString m_findTitle;
    int m_findIndex = -1;
    int m_findRow = 0;

    bool m_dragging = false;
    QPoint m_dragOffset;

    QWidget *m_headerBand = nullptr;
    QWidget *m_captionBand = nullptr;
    QToolButton *m_maximiseButton = nullptr;
    QToolButton *m_restoreButton = nullptr;
    QRegion m_region;
    QPixmap m_background;
    QPixmap m_topBand;
    QPixmap m_captionPicture;
    int m_skinState = SkinNormal;
    int m_stateBeforeMinimise = SkinNormal;
    QSystemTrayIcon *m_tray = nullptr;
    QMenu *m_trayMenu = nullptr;
};
