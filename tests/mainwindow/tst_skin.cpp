#include "app/AppStyle.h"
#include "app/LoginDlg.h"
#include "bills/IssueDlg.h"
#include "bills/StockInDlg.h"
#include "lists/QueryListCtrl.h"
#include "mainwindow/AboutDlg.h"
#include "mainwindow/HotHeader.h"
#include "mainwindow/ImageButton.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/MainDlg.h"
#include "mainwindow/Skin.h"
#include "mainwindow/SkinStyle.h"
#include "mainwindow/SplashDlg.h"
#include "schema/Schema.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtTest>
#include <climits>

using namespace schema;

// Receives the addresses the program asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    explicit UrlCatcher(const QString &scheme) : m_scheme(scheme) {
        QDesktopServices::setUrlHandler(scheme, this, "Open");
    }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(m_scheme); }
    QList<QUrl> urls;
public slots:
    void Open(const QUrl &url) { urls << url; }

private:
    QString m_scheme;
};

class SkinTest : public QObject {
    Q_OBJECT
private slots:
    // The shape.
    void allWhiteShapeGivesAnEmptyRegion();
    void shapeWithMoreRunsThanOnePieceGivesTheSameRegionAsOneStep();
    void pixelOffWhiteOnlyInBlueIsNotTransparent();
    void toleranceWidensTheTransparentRange();

    // The skin files.
    void skinFileGivesItsBitmapsByNumber();
    void missingSkinFileSaysSoAndGivesNoBitmap();
    void missingSkinFileGivesFourMessagesAtStartUpAndTheProgramRuns();
    void skinnedWindowTakesShapeAndPicturesOfTheSkinFile();
    void maximiseAndRestoreSwapTheirButtonsAndTheLayout();

    // Custom controls.
    void movingBetweenTwoImageButtonsLeavesTheFirstNormalAndTheSecondHot();
    void imageButtonShowsPressedThenFocused();
    void headerLightsTheItemUnderThePointerUntilItLeaves();
    void menuItemsKeepTheirIconsAndTheCheckedViewShowsTheCheck();

    // Splash, help, version, about, tray.
    void splashClosesItselfAfterTwoSeconds();
    void splashRunsBeforeTheLogin();
    void missingSplashFileSaysSoWhenTheSplashIsDrawn();
    void helpOpensTheHelpDocumentBesideTheDatabase();
    void versionBoxWithNullVersionAndAuthorShowsTheLabelsOnly();
    void versionBoxShowsVersionAndAuthor();
    void emptyEmailMakesContactDoNothing();
    void contactWritesToTheAddressFromMenuAndAboutDialog();
    void aboutDialogShowsWelcomeAndAddress();
    void trayIconHasItsTooltipAndMenu();

    // One look.
    void dialogsOpenCentredOnTheMainWindowWithTheirColumnsWhole();
    void noWindowCarriesAStyleOfItsOwn();
};

namespace {

QImage White(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

qint64 Area(const QRegion &region) {
    qint64 area = 0;
    for (const QRect &rect : region)
        area += qint64(rect.width()) * rect.height();
    return area;
}

bool SameRegion(const QRegion &a, const QRegion &b) {
    return a.xored(b).isEmpty();
}

void Move(QWidget *widget, const QPoint &pos) {
    QMouseEvent event(QEvent::MouseMove, QPointF(pos), QPointF(widget->mapToGlobal(pos)), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void Button(QWidget *widget, QEvent::Type type, const QPoint &pos) {
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

int LoginAs(QWidget *, QString &user) {
    user = QString::fromUtf8(AdministratorUser);
    return int(CLoginDlg::LoginSucceeded);
}

const QString MissingSkin = QStringLiteral("没有找到动态链接库文件:MainDlgSrc.dat");

void SetProgramInfo(TestDatabase &t, const QString &values) {
    t.Exec(QString::asprintf("UPDATE %s SET %s", Bill_I_Info, qUtf8Printable(values)));
}

} // namespace

// --- The shape ---------------------------------------------------------------------------------------

void SkinTest::allWhiteShapeGivesAnEmptyRegion() {
    QVERIFY(skin::RegionFromBitmap(White(64, 40)).isEmpty());
    QImage one = White(64, 40);
    one.setPixel(10, 20, qRgb(0, 0, 0));
    QCOMPARE(skin::RegionFromBitmap(one), QRegion(10, 20, 1, 1));
}

void SkinTest::shapeWithMoreRunsThanOnePieceGivesTheSameRegionAsOneStep() {
    // Every other pixel dark: 100 runs a row, 5000 runs in all, in rows of different patterns.
    QImage image = White(200, 50);
    qint64 dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = (y % 3 == 0 ? 0 : 1); x < image.width(); x += 2) {
            image.setPixel(x, y, qRgb(20, 40, 60));
            ++dark;
        }
    const QRegion pieces = skin::RegionFromBitmap(image);
    const QRegion oneStep = skin::RegionFromBitmap(image, Qt::white, QColor(254, 254, 254), INT_MAX);
    QVERIFY(dark > 2 * skin::RegionPiece);
    QVERIFY(SameRegion(pieces, oneStep));
    QCOMPARE(Area(pieces), dark);
    QVERIFY(pieces.contains(QPoint(0, 0)));
    QVERIFY(!pieces.contains(QPoint(1, 0)));
    QVERIFY(pieces.contains(QPoint(1, 1)));
    QVERIFY(pieces.contains(QPoint(199, 49)));
    QVERIFY(!pieces.contains(QPoint(0, 49)));
}

void SkinTest::pixelOffWhiteOnlyInBlueIsNotTransparent() {
    QImage image = White(8, 3);
    image.setPixel(3, 1, qRgb(255, 255, 254));
    image.setPixel(5, 1, qRgb(254, 255, 255));
    const QRegion region = skin::RegionFromBitmap(image);
    QVERIFY(region.contains(QPoint(3, 1)));
    QVERIFY(region.contains(QPoint(5, 1)));
    QVERIFY(!region.contains(QPoint(4, 1)));
    QCOMPARE(Area(region), 2);
}

void SkinTest::toleranceWidensTheTransparentRange() {
    QImage image(4, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(200, 200, 200));
    image.setPixel(1, 0, qRgb(210, 205, 200));
    image.setPixel(2, 0, qRgb(211, 200, 200));
    image.setPixel(3, 0, qRgb(199, 200, 200));
    const QRegion region = skin::RegionFromBitmap(image, QColor(200, 200, 200), QColor(10, 10, 10));
    QCOMPARE(region, QRegion(2, 0, 2, 1));
}

// --- The skin files -----------------------------------------------------------------------------------

void SkinTest::skinFileGivesItsBitmapsByNumber() {
    TestDatabase t;
    MessageCapture messages;
    const QString file = QString::fromLatin1(skin::SkinFileName);
    const QImage shape = skin::LoadBitmap(file, 1);
    QCOMPARE(shape.size(), QSize(1260, 760));
    // Pure white around the rounded corners, the window inside.
    QCOMPARE(QColor(shape.pixel(0, 0)), QColor(Qt::white));
    QVERIFY(QColor(shape.pixel(590, 370)) != QColor(Qt::white));
    QCOMPARE(skin::LoadBitmap(file, 2).size(), shape.size());
    QCOMPARE(skin::LoadBitmap(file, 3).width(), shape.width());
    QVERIFY(!skin::LoadBitmap(file, 4).isNull());
    QVERIFY(skin::LoadBitmap(file, 9).isNull());
    QCOMPARE(skin::LoadBitmap(QString::fromLatin1(skin::SplashFileName), 1).size(), QSize(340, 410));
    QCOMPARE(messages.Count(), 0);
}

void SkinTest::missingSkinFileSaysSoAndGivesNoBitmap() {
    TestDatabase t;
    QVERIFY(QFile::remove(t.Dir() + QStringLiteral("/MainDlgSrc.dat")));
    MessageCapture messages;
    QVERIFY(skin::LoadBitmap(QString::fromLatin1(skin::SkinFileName), 2).isNull());
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().text, MissingSkin);
    QCOMPARE(messages.Last().caption, QStringLiteral("提示"));
    QCOMPARE(messages.Last().buttons, MsgButtons::Ok);
}

void SkinTest::missingSkinFileGivesFourMessagesAtStartUpAndTheProgramRuns() {
    TestDatabase t;
    QVERIFY(QFile::remove(t.Dir() + QStringLiteral("/MainDlgSrc.dat")));
    AddDepartment(QStringLiteral("财务科"));
    MessageCapture messages;
    CMainDlg dlg;
    dlg.SetLoginRunner(LoginAs);
    QVERIFY(dlg.Initialise());
    QCOMPARE(messages.Count(), 4);
    for (const CapturedMessage &message : messages.Messages()) {
        QCOMPARE(message.text, MissingSkin);
        QCOMPARE(message.caption, QStringLiteral("提示"));
    }
    QVERIFY(dlg.WindowRegion().isEmpty());
    QVERIFY(dlg.SkinBitmap(skin::BackgroundBitmap).isNull());
    // The window works without its skin.
    QCOMPARE(dlg.Tree()->topLevelItemCount(), 1);
    dlg.RunCommand(cmd::RepositoryView);
    QCOMPARE(dlg.ViewMode(), int(CMainDlg::RepositoryViewMode));
    QCOMPARE(messages.Count(), 4);
}

void SkinTest::skinnedWindowTakesShapeAndPicturesOfTheSkinFile() {
    TestDatabase t;
    MessageCapture messages;
    CMainDlg dlg;
    dlg.SetLoginRunner(LoginAs);
    QVERIFY(dlg.Initialise());
    QCOMPARE(messages.Count(), 0);
    const QImage shape = skin::LoadBitmap(QString::fromLatin1(skin::SkinFileName), 1);
    QCOMPARE(dlg.size(), shape.size());
    QVERIFY(SameRegion(dlg.WindowRegion(), skin::RegionFromBitmap(shape)));
    QVERIFY(SameRegion(dlg.mask(), dlg.WindowRegion()));
    QVERIFY(!dlg.WindowRegion().contains(QPoint(0, 0)));
    QVERIFY(!dlg.WindowRegion().contains(QPoint(dlg.width() - 1, dlg.height() - 1)));
    QVERIFY(dlg.WindowRegion().contains(QPoint(dlg.width() / 2, 0)));
    QVERIFY(dlg.WindowRegion().contains(QPoint(dlg.width() / 2, dlg.height() / 2)));
    QCOMPARE(dlg.SkinBitmap(skin::BackgroundBitmap).size(), shape.size());
    QCOMPARE(dlg.SkinBitmap(skin::TopBandBitmap).width(), shape.width());
    QVERIFY(!dlg.SkinBitmap(skin::CaptionBandBitmap).isNull());
    QVERIFY(dlg.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(dlg.SkinStateNow(), int(CMainDlg::SkinNormal));
}

void SkinTest::maximiseAndRestoreSwapTheirButtonsAndTheLayout() {
    TestDatabase t;
    MessageCapture messages;
    CMainDlg dlg;
    dlg.SetLoginRunner(LoginAs);
    QVERIFY(dlg.Initialise());
    dlg.show();
    auto *maximise = dlg.findChild<QToolButton *>(QStringLiteral("button1005"));
    auto *restore = dlg.findChild<QToolButton *>(QStringLiteral("button1006"));
    QVERIFY(maximise && restore);
    QVERIFY(maximise->isVisible() && maximise->isEnabled());
    QVERIFY(!restore->isVisible() && !restore->isEnabled());

    maximise->click();
    const QRect room = dlg.screen()->availableGeometry();
    QCOMPARE(dlg.SkinStateNow(), int(CMainDlg::SkinMaximised));
    QCOMPARE(dlg.pos(), room.topLeft());
    QCOMPARE(dlg.size(), room.size().expandedTo(dlg.minimumSizeHint()));
    QVERIFY(SameRegion(dlg.WindowRegion(), QRegion(dlg.rect())));
    QCOMPARE(dlg.SkinBitmap(skin::BackgroundBitmap).size(), dlg.size());
    QCOMPARE(dlg.SkinBitmap(skin::TopBandBitmap).size(), QSize(dlg.width(), 52));
    QCOMPARE(dlg.SkinBitmap(skin::CaptionBandBitmap).width(),
             dlg.findChild<QWidget *>(QStringLiteral("static1055"))->width());
    QVERIFY(!maximise->isVisible() && !maximise->isEnabled());
    QVERIFY(restore->isVisible() && restore->isEnabled());
    // The list grows with the window and keeps its distance from the right edge.
    QWidget *list = dlg.MainList();
    QVERIFY(dlg.width() - list->mapTo(&dlg, QPoint(list->width(), 0)).x() < 40);

    restore->click();
    QCOMPARE(dlg.SkinStateNow(), int(CMainDlg::SkinNormal));
    QCOMPARE(dlg.size(), QSize(1260, 760));
    QVERIFY(!dlg.WindowRegion().contains(QPoint(0, 0)));
    QVERIFY(maximise->isVisible() && !restore->isVisible());
    QCOMPARE(messages.Count(), 0);
}

// --- Custom controls ------------------------------------------------------------------------------------

void SkinTest::movingBetweenTwoImageButtonsLeavesTheFirstNormalAndTheSecondHot() {
    QWidget page;
    page.resize(300, 60);
    auto *first = new CImageButton(artwork::ButtonFace::Command, &page);
    auto *second = new CImageButton(artwork::ButtonFace::Command, &page);
    first->setGeometry(10, 10, 100, 30);
    second->setGeometry(120, 10, 100, 30);
    page.show();
    QCOMPARE(first->State(), int(CImageButton::Normal));

    Move(first, QPoint(50, 15));
    QCOMPARE(first->State(), int(CImageButton::Hot));
    QVERIFY(first->HasCapture());
    Move(first, QPoint(60, 12));
    QCOMPARE(first->State(), int(CImageButton::Hot));
    // The first button holds the mouse, so it sees the pointer arrive on the second.
    Move(first, second->geometry().center() - first->pos());
    QCOMPARE(first->State(), int(CImageButton::Normal));
    QVERIFY(!first->HasCapture());
    Move(second, QPoint(40, 15));
    QCOMPARE(second->State(), int(CImageButton::Hot));
    QCOMPARE(first->State(), int(CImageButton::Normal));
    Move(second, QPoint(400, 15));
    QCOMPARE(second->State(), int(CImageButton::Normal));
    QVERIFY(!second->HasCapture());
    QCOMPARE(QWidget::mouseGrabber(), nullptr);
}

void SkinTest::imageButtonShowsPressedThenFocused() {
    QWidget page;
    auto *button = new CImageButton(artwork::ButtonFace::Command, &page);
    button->setGeometry(10, 10, 100, 30);
    page.show();
    int clicks = 0;
    connect(button, &QToolButton::clicked, [&] { ++clicks; });
    Move(button, QPoint(20, 10));
    Button(button, QEvent::MouseButtonPress, QPoint(20, 10));
    QCOMPARE(button->State(), int(CImageButton::Pressed));
    Button(button, QEvent::MouseButtonRelease, QPoint(20, 10));
    QCOMPARE(button->State(), int(CImageButton::Normal));
    QVERIFY(!button->HasCapture());
    QCOMPARE(clicks, 1);

    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(button, &in);
    QCOMPARE(button->State(), int(CImageButton::Focused));
    Button(button, QEvent::MouseButtonPress, QPoint(20, 10));
    Button(button, QEvent::MouseButtonRelease, QPoint(20, 10));
    QCOMPARE(button->State(), int(CImageButton::Focused));
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(button, &out);
    QCOMPARE(button->State(), int(CImageButton::Normal));
}

void SkinTest::headerLightsTheItemUnderThePointerUntilItLeaves() {
    QWidget page;
    page.resize(500, 200);
    auto *list = new CQueryListCtrl(&page);
    list->setGeometry(0, 0, 500, 200);
    list->InsertColumn(0, QStringLiteral("票据类型"), 120);
    list->InsertColumn(1, QStringLiteral("开始编号"), 120);
    list->InsertColumn(2, QStringLiteral("结尾编号"), 120);
    page.show();
    QHeaderView *header = list->horizontalHeader();
    CHotHeader *hot = CHotHeader::Track(header);
    QCOMPARE(CHotHeader::Track(header), hot);
    QCOMPARE(hot->HotItem(), -1);

    const int x = header->sectionViewportPosition(1) + 30;
    QCursor::setPos(header->viewport()->mapToGlobal(QPoint(x, 5)));
    Move(header->viewport(), QPoint(x, 5));
    QCOMPARE(hot->HotItem(), 1);
    QCOMPARE(header->property(CHotHeader::HotProperty).toInt(), 1);
    QVERIFY(hot->IsWatching());
    // While the pointer stays on the item the timer keeps it lit.
    hot->OnTimer();
    QCOMPARE(hot->HotItem(), 1);
    QCursor::setPos(header->viewport()->mapToGlobal(QPoint(x, 150)));
    hot->OnTimer();
    QCOMPARE(hot->HotItem(), -1);
    QCOMPARE(header->property(CHotHeader::HotProperty).toInt(), -1);
    QVERIFY(!hot->IsWatching());
}

void SkinTest::menuItemsKeepTheirIconsAndTheCheckedViewShowsTheCheck() {
    TestDatabase t;
    CMainDlg dlg;
    dlg.SetCurrentUser(QString::fromUtf8(AdministratorUser));
    dlg.ShowDepartmentViewAgain();
    for (int menu = 1; menu <= 5; ++menu)
        for (QAction *action : dlg.BarMenu(menu)->actions())
            QVERIFY(action->isSeparator() || !action->icon().isNull());
    for (QAction *action : dlg.TrayMenu()->actions())
        QVERIFY(action->isSeparator() || !action->icon().isNull());
    dlg.UpdateMenuState(3);
    QAction *department = dlg.CommandAction(cmd::DepartmentView);
    QAction *repository = dlg.CommandAction(cmd::RepositoryView);
    QVERIFY(department->isChecked());
    QVERIFY(!repository->isChecked());
    QCOMPARE(department->icon().pixmap(16).toImage(), artwork::Icon(artwork::Glyph::Check).pixmap(16).toImage());
    QVERIFY(repository->icon().pixmap(16).toImage() != department->icon().pixmap(16).toImage());
}

// --- Splash, help, version, about, tray ----------------------------------------------------------------

void SkinTest::splashClosesItselfAfterTwoSeconds() {
    TestDatabase t;
    MessageCapture messages;
    CSplashDlg splash;
    QCOMPARE(splash.TimerInterval(), 2000);
    QCOMPARE(CSplashDlg::ShowTime, 2000);
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    // No one closes it: it ends by itself.
    QCOMPARE(splash.exec(), int(QDialog::Accepted));
    QCOMPARE(messages.Count(), 0);
}

void SkinTest::splashRunsBeforeTheLogin() {
    TestDatabase t;
    QStringList order;
    CSplashDlg::SetRunner([&](QWidget *) { order << QStringLiteral("splash"); });
    CMainDlg dlg;
    dlg.SetLoginRunner([&](QWidget *parent, QString &user) {
        order << QStringLiteral("login");
        return LoginAs(parent, user);
    });
    QVERIFY(dlg.Initialise());
    CSplashDlg::SetRunner([](QWidget *) {});
    QCOMPARE(order, QStringList({QStringLiteral("splash"), QStringLiteral("login")}));
}

void SkinTest::missingSplashFileSaysSoWhenTheSplashIsDrawn() {
    TestDatabase t;
    QVERIFY(QFile::remove(t.Dir() + QStringLiteral("/DOvozOzivodERU.dat")));
    MessageCapture messages;
    CSplashDlg splash;
    splash.show();
    splash.repaint();
    QVERIFY(messages.Count() >= 1);
    QCOMPARE(messages.Last().text, QStringLiteral("没有找到动态链接库文件:DOvozOzivodERU.dat"));
    QCOMPARE(messages.Last().caption, QStringLiteral("提示"));
    splash.close();
}

void SkinTest::helpOpensTheHelpDocumentBesideTheDatabase() {
    TestDatabase t;
    MessageCapture messages;
    UrlCatcher files(QStringLiteral("file"));
    CMainDlg dlg;
    dlg.RunCommand(cmd::Help);
    dlg.RunCommand(cmd::TrayHelp);
    dlg.findChild<QToolButton *>(QStringLiteral("button1002"))->click();
    QCOMPARE(files.urls.size(), 3);
    for (const QUrl &url : files.urls)
        QCOMPARE(url, QUrl::fromLocalFile(t.Dir() + QStringLiteral("/rOzevURU2.html")));
    QCOMPARE(messages.Count(), 0);
}

void SkinTest::versionBoxWithNullVersionAndAuthorShowsTheLabelsOnly() {
    TestDatabase t;
    SetProgramInfo(t, QString::asprintf("%s = NULL, %s = NULL", Bill_I_Version, Bill_I_Author));
    MessageCapture messages;
    CMainDlg dlg;
    dlg.RunCommand(cmd::Version);
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().text, QStringLiteral("当前版本：\n作　　者："));
    QCOMPARE(messages.Last().caption, QStringLiteral("当前版本"));
}

void SkinTest::versionBoxShowsVersionAndAuthor() {
    TestDatabase t;
    SetProgramInfo(t, QString::asprintf("%s = '2.1', %s = '票据组'", Bill_I_Version, Bill_I_Author));
    MessageCapture messages;
    CMainDlg dlg;
    dlg.RunCommand(cmd::Version);
    QCOMPARE(messages.Last().text, QStringLiteral("当前版本：2.1\n作　　者：票据组"));
}

void SkinTest::emptyEmailMakesContactDoNothing() {
    TestDatabase t;
    SetProgramInfo(t, QString::asprintf("%s = ''", Bill_I_Email));
    MessageCapture messages;
    UrlCatcher mail(QStringLiteral("mailto"));
    CMainDlg dlg;
    dlg.RunCommand(cmd::TrayContact);
    CAboutDlg about(&dlg);
    about.ContactButton()->click();
    QVERIFY(mail.urls.isEmpty());
    SetProgramInfo(t, QString::asprintf("%s = NULL", Bill_I_Email));
    dlg.RunCommand(cmd::TrayContact);
    QVERIFY(mail.urls.isEmpty());
    QCOMPARE(messages.Count(), 0);
}

void SkinTest::contactWritesToTheAddressFromMenuAndAboutDialog() {
    TestDatabase t;
    SetProgramInfo(t, QString::asprintf("%s = 'piaoju@example.cn'", Bill_I_Email));
    UrlCatcher mail(QStringLiteral("mailto"));
    CMainDlg dlg;
    dlg.RunCommand(cmd::TrayContact);
    CAboutDlg about(&dlg);
    about.ContactButton()->click();
    QCOMPARE(mail.urls.size(), 2);
    QCOMPARE(mail.urls.at(0), QUrl(QStringLiteral("mailto:piaoju@example.cn")));
    QCOMPARE(mail.urls.at(1), mail.urls.at(0));
}

void SkinTest::aboutDialogShowsWelcomeAndAddress() {
    TestDatabase t;
    SetProgramInfo(t, QString::asprintf("%s = 'piaoju@example.cn'", Bill_I_Email));
    CAboutDlg about;
    QCOMPARE(about.windowTitle(), QStringLiteral("关于作者"));
    QStringList texts;
    for (QLabel *label : about.findChildren<QLabel *>())
        texts << label->text();
    QVERIFY(texts.contains(QStringLiteral("欢迎使用：Pelorvanide")));
    QVERIFY(texts.contains(QStringLiteral("E_MAIL：")));
    QCOMPARE(about.EmailLabel()->text(), QStringLiteral("piaoju@example.cn"));
    QCOMPARE(about.ContactButton()->text(), QStringLiteral("联系作者"));
    QCOMPARE(about.OkButton()->text(), QStringLiteral("确定"));
    about.show();
    about.OkButton()->click();
    QVERIFY(!about.isVisible());
    QCOMPARE(about.result(), int(QDialog::Accepted));
}

void SkinTest::trayIconHasItsTooltipAndMenu() {
    TestDatabase t;
    CMainDlg dlg;
    QVERIFY(dlg.TrayIcon());
    QCOMPARE(dlg.TrayIcon()->toolTip().section(QLatin1Char('\n'), 0, 0), QStringLiteral("欢迎使用Pelorvanide软件"));
    QVERIFY(!dlg.TrayIcon()->icon().isNull());
    QList<int> ids;
    for (QAction *action : dlg.TrayMenu()->actions())
        ids << (action->isSeparator() ? 0 : action->data().toInt());
    QCOMPARE(ids, TrayMenuItems());
    // Shown only where the desktop has a tray.
    QCOMPARE(dlg.TrayIcon()->isVisible(), QSystemTrayIcon::isSystemTrayAvailable());
}

// --- One look --------------------------------------------------------------------------------------------

void SkinTest::dialogsOpenCentredOnTheMainWindowWithTheirColumnsWhole() {
    TestDatabase t;
    MessageCapture messages;
    CDialogPlacer placer;
    qApp->installEventFilter(&placer);
    // The main window around the middle of the small test screen, so that no dialog needs to be
    // pushed back onto the screen.
    CMainDlg dlg;
    dlg.SetCurrentUser(QString::fromUtf8(AdministratorUser));
    dlg.ShowDepartmentViewAgain();
    dlg.show();
    dlg.move(dlg.screen()->geometry().center() - dlg.rect().center() + QPoint(7, -5));
    const QPoint centre = dlg.frameGeometry().center();

    CIssueDlg issue(dlg.MainList(), &dlg);
    issue.resize(200, issue.height());
    issue.show();
    QVERIFY(issue.width() > 200);
    issue.close();

    // A dialog too narrow for the four columns of its list grows until they show whole.
    QDialog lists(&dlg);
    auto *layout = new QVBoxLayout(&lists);
    auto *list = new CQueryListCtrl;
    layout->addWidget(list);
    for (int column = 0; column < 4; ++column)
        list->InsertColumn(column, QStringLiteral("第%1列").arg(column + 1), 140);
    lists.resize(260, 300);
    lists.show();
    QVERIFY2(
        list->horizontalHeader()->length() <= list->viewport()->width(),
        qPrintable(QStringLiteral("%1 > %2").arg(list->horizontalHeader()->length()).arg(list->viewport()->width())));
    QVERIFY2((lists.frameGeometry().center() - centre).manhattanLength() <= 2,
             qPrintable(QStringLiteral("%1,%2 %3x%4 vs %5,%6")
                            .arg(lists.x())
                            .arg(lists.y())
                            .arg(lists.width())
                            .arg(lists.height())
                            .arg(centre.x())
                            .arg(centre.y())));
    lists.close();

    CStockInDlg stockIn(&dlg);
    stockIn.show();
    QVERIFY((stockIn.frameGeometry().center() - centre).manhattanLength() <= 2);
    stockIn.close();
    CAboutDlg about(&dlg);
    about.show();
    QVERIFY((about.frameGeometry().center() - centre).manhattanLength() <= 2);
    about.close();
    qApp->removeEventFilter(&placer);
}

void SkinTest::noWindowCarriesAStyleOfItsOwn() {
    TestDatabase t;
    CMainDlg dlg;
    CLoginDlg login;
    CStockInDlg stockIn(&dlg);
    CIssueDlg issue(dlg.MainList(), &dlg);
    CAboutDlg about(&dlg);
    CSplashDlg splash;
    // The look is defined once, for the whole program: no window or control brings its own.
    for (QWidget *window : std::initializer_list<QWidget *>{&dlg, &login, &stockIn, &issue, &about, &splash}) {
        QVERIFY2(window->styleSheet().isEmpty(), qPrintable(window->metaObject()->className()));
        for (QWidget *child : window->findChildren<QWidget *>())
            QVERIFY2(child->styleSheet().isEmpty(), qPrintable(child->objectName()));
    }
    QVERIFY(!ApplicationStyleSheet().isEmpty());
    QVERIFY(ApplicationStyleSheet().contains(QStringLiteral("QPushButton")));
}

QTEST_MAIN(SkinTest)
#include "tst_skin.moc"
