// The arrangement of the main window: the top band with the menu-bar buttons, the tree panel and
// the list panel with the buttons around them.
#include "app/Database.h"
#include "lists/QueryListCtrl.h"
#include "mainwindow/HotHeader.h"
#include "mainwindow/ImageButton.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/MainDlg.h"
#include "mainwindow/OverviewView.h"
#include "resources/Artwork.h"

#include <QAction>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using artwork::Glyph;

namespace {

Glyph CommandGlyph(int id) {
    switch (HandlerId(id)) {
    case cmd::StockIn:
        return Glyph::StockIn;
    case cmd::Issue:
        return Glyph::Issue;
    case cmd::Return:
        return Glyph::Return;
    case cmd::Report:
        return Glyph::Report;
    case cmd::Print:
        return Glyph::Print;
    case cmd::Login:
        return Glyph::Login;
    case cmd::Rights:
        return Glyph::Rights;
    case cmd::Exit:
        return Glyph::Exit;
    case cmd::Index:
        return Glyph::Index;
    case cmd::Search:
        return Glyph::Search;
    case cmd::Extract:
        return Glyph::Extract;
    case cmd::Delete:
        return Glyph::Delete;
    case cmd::Void:
        return Glyph::Void;
    case cmd::Forced:
        return Glyph::Forced;
    case cmd::Documents:
        return Glyph::Documents;
    case cmd::History:
    case cmd::OperationLog:
        return Glyph::Search;
    case cmd::LogCheck:
    case cmd::BookAudit:
        return Glyph::Index;
    case cmd::Export:
        return Glyph::Print;
    case cmd::DepartmentView:
        return Glyph::DepartmentView;
    case cmd::RepositoryView:
        return Glyph::RepositoryView;
    case cmd::Overview:
        return Glyph::Overview;
    case cmd::Refresh:
        return Glyph::Refresh;
    case cmd::MainKind:
        return Glyph::MainKind;
    case cmd::Kind:
        return Glyph::Kind;
    case cmd::Manager:
        return Glyph::Manager;
    case cmd::Maker:
        return Glyph::Maker;
    case cmd::AddDepartment:
        return Glyph::AddDepartment;
    case cmd::AddRecipient:
        return Glyph::AddRecipient;
    case cmd::DeleteDepartment:
        return Glyph::DeleteDepartment;
    case cmd::DeleteRecipient:
        return Glyph::DeleteRecipient;
    case cmd::Password:
        return Glyph::Password;
    case cmd::Help:
        return Glyph::Help;
    case cmd::Version:
        return Glyph::Version;
    default:
        return Glyph::About;
    }
}

// A button's text is its command's menu text without the accelerator and the padding blanks.
QString ButtonText(int id) {
    QString text = QString::fromUtf8(FindMainCommand(id)->text).trimmed();
    const int accelerator = text.indexOf(QLatin1String("(&"));
    return accelerator >= 0 ? text.left(accelerator) : text;
}

QWidget *Band(const char *name, QLayout *layout) {
    auto *band = new QWidget;
    band->setObjectName(QString::fromLatin1(name));
    band->setAttribute(Qt::WA_StyledBackground);
    band->setLayout(layout);
    return band;
}

QHBoxLayout *Row(int left, int top, int right, int bottom, int spacing) {
    auto *row = new QHBoxLayout;
    row->setContentsMargins(left, top, right, bottom);
    row->setSpacing(spacing);
    return row;
}

} // namespace

QSize CMainDlg::DefaultSize(const QSize &screen) {
    return QSize(1260, 760).boundedTo(screen);
}

void CMainDlg::BuildLayout() {
    const QScreen *screen = QGuiApplication::primaryScreen();
    resize(DefaultSize(screen ? screen->availableSize() : QSize(1280, 800)));
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    page->addWidget(BuildHeader());
    auto *body = Row(10, 10, 10, 10, 10);
    body->addWidget(BuildTreePanel());
    body->addWidget(BuildListPanel(), 1);
    page->addLayout(body, 1);
    BuildBarMenus();
    RefreshViewIndicators();
}

QToolButton *CMainDlg::ToolButton(int controlId, const QIcon &icon, const QString &text, const QString &tip) {
    auto *button = new CImageButton(artwork::ButtonFace::Command);
    button->setObjectName(QStringLiteral("button%1").arg(controlId));
    button->setIcon(icon);
    button->setIconSize(QSize(18, 18));
    button->setText(text);
    button->setToolTip(tip);
    button->setToolButtonStyle(text.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    return button;
}

QToolButton *CMainDlg::CommandButton(int controlId, int commandId, const QString &text) {
    QToolButton *button = ToolButton(controlId, artwork::Icon(CommandGlyph(commandId)), text, ButtonText(commandId));
    connect(button, &QToolButton::clicked, this, [this, commandId] { RunCommand(commandId); });
    m_commands[HandlerId(commandId)].buttons << button;
    button->setEnabled(HasCommandHandler(commandId));
    return button;
}

QWidget *CMainDlg::BuildHeader() {
    auto *row = Row(14, 4, 10, 4, 4);
    auto *logo = new QLabel;
    logo->setPixmap(artwork::Picture(Glyph::Application, 26));
    auto *title = new QLabel(QStringLiteral("Pelorvanide"));
    title->setObjectName(QStringLiteral("appTitle"));
    row->addWidget(logo);
    row->addWidget(title);
    row->addSpacing(22);

    const QStringList captions = {QStringLiteral("票据操作"), QStringLiteral("票据查询"), QStringLiteral("视图"),
                                  QStringLiteral("基础资料"), QStringLiteral("帮助")};
    for (int menu = 1; menu <= captions.size(); ++menu) {
        auto *button = new CImageButton(artwork::ButtonFace::Bar);
        button->setObjectName(QStringLiteral("button%1").arg(1057 + menu));
        button->setText(captions.at(menu - 1));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setMinimumHeight(34);
        connect(button, &QToolButton::clicked, this, [this, menu] { OpenBarMenu(menu); });
        m_barButtons << button;
        row->addWidget(button);
    }
    row->addStretch(1);
    // Which store the books are in: shown only for a server, the file being the usual case.
    auto *storeLabel = new QLabel(TheDatabase().StoreLabel());
    storeLabel->setObjectName(QStringLiteral("storeLabel"));
    storeLabel->setVisible(!storeLabel->text().isEmpty());
    row->addWidget(storeLabel);
    row->addSpacing(12);
    m_staleLabel = new QLabel(QStringLiteral("其他操作员改动了票据，按F5刷新"));
    m_staleLabel->setObjectName(QStringLiteral("staleLabel"));
    m_staleLabel->hide();
    row->addWidget(m_staleLabel);
    row->addSpacing(12);
    m_userLabel = new QLabel;
    m_userLabel->setObjectName(QStringLiteral("userLabel"));
    row->addWidget(m_userLabel);
    row->addSpacing(12);

    auto windowButton = [this, row](int controlId, Glyph glyph, const QString &tip) {
        auto *button = static_cast<CImageButton *>(ToolButton(controlId, artwork::Icon(glyph), QString(), tip));
        button->SetFace(artwork::ButtonFace::Window);
        button->setIconSize(QSize(22, 22));
        row->addWidget(button);
        return button;
    };
    QToolButton *help = windowButton(1002, Glyph::Help, ButtonText(cmd::Help));
    connect(help, &QToolButton::clicked, this, [this] { RunCommand(cmd::Help); });
    m_commands[cmd::Help].buttons << help;
    QToolButton *minimise = windowButton(1000, Glyph::Minimise, QStringLiteral("最小化"));
    connect(minimise, &QToolButton::clicked, this, &CMainDlg::OnMinimise);
    m_maximiseButton = windowButton(1005, Glyph::Maximise, QStringLiteral("最大化"));
    connect(m_maximiseButton, &QToolButton::clicked, this, &CMainDlg::ApplyMaximisedLayout);
    m_restoreButton = windowButton(1006, Glyph::Restore, QStringLiteral("还原"));
    connect(m_restoreButton, &QToolButton::clicked, this, &CMainDlg::ApplyNormalLayout);
    m_restoreButton->hide();
    QToolButton *close = windowButton(1001, Glyph::Exit, ButtonText(cmd::Exit));
    connect(close, &QToolButton::clicked, this, [this] { RunCommand(cmd::Exit); });
    m_commands[cmd::Exit].buttons << close;

    QWidget *header = Band("headerBand", row);
    header->setFixedHeight(52);
    header->installEventFilter(this);
    m_headerBand = header;
    return header;
}

QWidget *CMainDlg::BuildTreePanel() {
    auto *panel = new QVBoxLayout;
    panel->setContentsMargins(1, 1, 1, 1);
    panel->setSpacing(0);

    auto *captionRow = Row(12, 8, 12, 8, 6);
    m_treeCaption = new QLabel;
    m_treeCaption->setObjectName(QStringLiteral("panelTitle"));
    captionRow->addWidget(m_treeCaption);
    panel->addWidget(Band("panelCaption", captionRow));

    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("tree1004"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setIconSize(QSize(16, 16));
    m_tree->setIndentation(18);
    m_tree->viewport()->installEventFilter(this);
    panel->addWidget(m_tree, 1);

    auto *buttons = new QGridLayout;
    buttons->setContentsMargins(8, 8, 8, 8);
    buttons->setSpacing(6);
    const int treeCommands[][2] = {{1046, cmd::AddDepartment},
                                   {1008, cmd::AddRecipient},
                                   {1009, cmd::DeleteDepartment},
                                   {1010, cmd::DeleteRecipient}};
    for (int i = 0; i < 4; ++i) {
        const int id = treeCommands[i][1];
        QToolButton *button = CommandButton(treeCommands[i][0], id, ButtonText(id));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        buttons->addWidget(button, i / 2, i % 2);
    }
    auto *footer = new QWidget;
    footer->setObjectName(QStringLiteral("panelFooter"));
    footer->setAttribute(Qt::WA_StyledBackground);
    footer->setLayout(buttons);
    panel->addWidget(footer);

    QWidget *frame = Band("panel", panel);
    frame->setFixedWidth(250);
    return frame;
}

QWidget *CMainDlg::BuildListPanel() {
    auto *panel = new QVBoxLayout;
    panel->setContentsMargins(1, 1, 1, 1);
    panel->setSpacing(0);

    auto *captionRow = Row(8, 6, 8, 6, 6);
    captionRow->addWidget(CommandButton(1007, cmd::DepartmentView, ButtonText(cmd::DepartmentView)));
    captionRow->addWidget(CommandButton(1015, cmd::RepositoryView, ButtonText(cmd::RepositoryView)));
    captionRow->addWidget(CommandButton(1016, cmd::Overview, ButtonText(cmd::Overview)));
    captionRow->addWidget(CommandButton(1017, cmd::Refresh, ButtonText(cmd::Refresh)));
    captionRow->addSpacing(10);
    m_listCaption = new QLabel;
    m_listCaption->setObjectName(QStringLiteral("listCaption"));
    captionRow->addWidget(m_listCaption, 1);
    captionRow->addWidget(CommandButton(1012, cmd::Index, ButtonText(cmd::Index)));
    captionRow->addWidget(CommandButton(1013, cmd::Search, ButtonText(cmd::Search)));
    captionRow->addWidget(CommandButton(1014, cmd::Extract, ButtonText(cmd::Extract)));
    m_captionBand = Band("panelCaption", captionRow);
    m_captionBand->setObjectName(QStringLiteral("static1055"));
    m_captionBand->installEventFilter(this);
    panel->addWidget(m_captionBand);

    m_list = new CQueryListCtrl;
    m_list->setObjectName(QStringLiteral("list1011"));
    m_list->SetSortEnabled(true);
    CHotHeader::Track(m_list->horizontalHeader());
    // The overview takes the list's place; the list keeps its rows meanwhile.
    m_overview = new COverviewView;
    connect(m_overview, &COverviewView::KindChosen, this, &CMainDlg::OpenKindBooks);
    connect(m_overview, &COverviewView::LowStockChosen, this,
            [this](const QString &kind) { OpenKindBooks(kind, COverviewView::InStock); });
    connect(m_overview, &COverviewView::OverdueChosen, this, &CMainDlg::OpenOverdueBook);
    m_listArea = new QStackedWidget;
    m_listArea->addWidget(m_list);
    m_listArea->addWidget(m_overview);
    panel->addWidget(m_listArea, 1);

    auto *footerRow = Row(8, 7, 8, 7, 6);
    footerRow->addWidget(CommandButton(1034, cmd::Report, ButtonText(cmd::Report)));
    footerRow->addWidget(CommandButton(1035, cmd::Issue, ButtonText(cmd::Issue)));
    footerRow->addWidget(CommandButton(1036, cmd::Return, ButtonText(cmd::Return)));
    footerRow->addStretch(1);

    m_findColumnButton =
        ToolButton(1040, artwork::Icon(Glyph::Column), QStringLiteral("查找列"), QStringLiteral("选择查找的列"));
    m_findColumnButton->setMinimumWidth(96);
    connect(m_findColumnButton, &QToolButton::clicked, this, &CMainDlg::OnChooseFindColumn);
    m_findBox = new QLineEdit;
    m_findBox->setObjectName(QStringLiteral("findBox"));
    m_findBox->setPlaceholderText(QStringLiteral("查找内容"));
    m_findBox->setFixedWidth(180);
    QToolButton *findNext = ToolButton(1039, artwork::Icon(Glyph::FindNext), QString(), QStringLiteral("查找下一个"));
    connect(findNext, &QToolButton::clicked, this, &CMainDlg::OnFindNext);
    connect(m_findBox, &QLineEdit::returnPressed, this, &CMainDlg::OnFindNext);
    QToolButton *top = ToolButton(1023, artwork::Icon(Glyph::Top), QString(), QStringLiteral("回到列表顶部"));
    connect(top, &QToolButton::clicked, this, &CMainDlg::OnBackToTop);
    QToolButton *count = ToolButton(1033, artwork::Icon(Glyph::Count), QString(), QStringLiteral("行数"));
    connect(count, &QToolButton::clicked, this, &CMainDlg::OnRowCount);
    for (QWidget *widget : std::initializer_list<QWidget *>{m_findColumnButton, m_findBox, findNext})
        footerRow->addWidget(widget);
    footerRow->addSpacing(10);
    footerRow->addWidget(top);
    footerRow->addWidget(count);

    auto *footer = new QWidget;
    footer->setObjectName(QStringLiteral("panelFooter"));
    footer->setAttribute(Qt::WA_StyledBackground);
    footer->setLayout(footerRow);
    panel->addWidget(footer);
    return Band("panel", panel);
}

void CMainDlg::BuildBarMenus() {
    for (int menu = 1; menu <= 5; ++menu) {
        auto *popup = new QMenu(this);
        popup->setObjectName(QStringLiteral("menu%1").arg(menu));
        for (int id : BarMenuItems(menu)) {
            if (!id) {
                popup->addSeparator();
                continue;
            }
            const MainCommand *command = FindMainCommand(id);
            QAction *action = popup->addAction(artwork::Icon(CommandGlyph(id)), QString::fromUtf8(command->text));
            action->setData(id);
            action->setProperty("ownIcon", artwork::Icon(CommandGlyph(id)));
            action->setCheckable(command->checkedInView >= 0);
            action->setEnabled(HasCommandHandler(id));
            m_commands[id].action = action;
        }
        m_barMenus << popup;
    }
}

namespace {
int ViewCommand(int viewMode) {
    switch (viewMode) {
    case CMainDlg::RepositoryViewMode:
        return cmd::RepositoryView;
    case CMainDlg::OverviewMode:
        return cmd::Overview;
    default:
        return cmd::DepartmentView;
    }
}
} // namespace

void CMainDlg::RefreshViewIndicators() {
    // The button of the view shown stands out, as the picture over the list did.
    for (int id : {int(cmd::DepartmentView), int(cmd::RepositoryView), int(cmd::Overview)}) {
        for (QAbstractButton *button : m_commands[id].buttons)
            if (auto *image = qobject_cast<CImageButton *>(button))
                image->SetFace(id == ViewCommand(m_viewMode) ? artwork::ButtonFace::Current
                                                             : artwork::ButtonFace::Command);
    }
    m_treeCaption->setText(m_treeMode == DepartmentViewMode ? QStringLiteral("领票部门 / 领票人")
                                                            : QStringLiteral("库存票据类型"));
    m_listArea->setCurrentWidget(m_viewMode == OverviewMode ? static_cast<QWidget *>(m_overview) : m_list);
    SetListCaption(QString());
}

void CMainDlg::SetListCaption(const QString &detail) {
    const QString view = ButtonText(ViewCommand(m_viewMode));
    m_listCaption->setText(detail.isEmpty() ? view : view + QStringLiteral("  ›  ") + detail);
}
