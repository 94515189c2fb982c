// The main window's skin and the shell around it: the shape and pictures of the skin file at rest
// and maximised, the notification-area icon, and the help, version, about and contact commands.
#include "mainwindow/AboutDlg.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/MainDlg.h"
#include "mainwindow/Shell.h"
#include "mainwindow/Skin.h"
#include "resources/Artwork.h"

#include <QAction>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QToolButton>

namespace {

QImage SkinImage(int id) {
    return skin::LoadBitmap(QString::fromLatin1(skin::SkinFileName), id);
}

} // namespace

void CMainDlg::ApplyNormalLayout() {
    const QImage shape = SkinImage(skin::ShapeBitmap);
    if (!shape.isNull())
        resize(shape.size());
    m_region = shape.isNull() ? QRegion() : skin::RegionFromBitmap(shape);
    if (m_region.isEmpty())
        clearMask();
    else
        setMask(m_region);
    m_background = QPixmap::fromImage(SkinImage(skin::BackgroundBitmap));
    m_topBand = QPixmap::fromImage(SkinImage(skin::TopBandBitmap));
    m_captionPicture = QPixmap::fromImage(SkinImage(skin::CaptionBandBitmap));
    // Back in the middle of the screen when coming back from the maximised layout.
    if (m_skinState == SkinMaximised) {
        if (QScreen *room = screen())
            move(room->availableGeometry().center() - rect().center());
    }
    m_maximiseButton->setVisible(true);
    m_maximiseButton->setEnabled(true);
    m_restoreButton->setVisible(false);
    m_restoreButton->setEnabled(false);
    m_skinState = SkinNormal;
    update();
}

void CMainDlg::ApplyMaximisedLayout() {
    const QRect room = screen() ? screen()->availableGeometry() : geometry();
    setGeometry(room);
    // A screen smaller than the window's least size leaves the window at that size.
    const QSize size = this->size();
    m_region = QRegion(QRect(QPoint(0, 0), size));
    setMask(m_region);
    const auto stretched = [](const QImage &image, int width, int height) {
        return image.isNull()
                   ? QPixmap()
                   : QPixmap::fromImage(image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    };
    m_background = stretched(SkinImage(skin::BackgroundBitmap), size.width(), size.height());
    const QImage band = SkinImage(skin::TopBandBitmap);
    m_topBand = stretched(band, size.width(), band.height());
    const QImage caption = SkinImage(skin::CaptionBandBitmap);
    layout()->activate();
    m_captionPicture = stretched(caption, m_captionBand->width(), caption.height());
    m_maximiseButton->setVisible(false);
    m_maximiseButton->setEnabled(false);
    m_restoreButton->setVisible(true);
    m_restoreButton->setEnabled(true);
    m_skinState = SkinMaximised;
    update();
}

QPixmap CMainDlg::SkinBitmap(int id) const {
    switch (id) {
    case skin::BackgroundBitmap:
        return m_background;
    case skin::TopBandBitmap:
        return m_topBand;
    case skin::CaptionBandBitmap:
        return m_captionPicture;
    default:
        return QPixmap();
    }
}

void CMainDlg::paintEvent(QPaintEvent *event) {
    if (m_background.isNull()) {
        QDialog::paintEvent(event);
        return;
    }
    QPainter(this).drawPixmap(0, 0, m_background);
}

// The top band and the list caption band are drawn from their pictures before their own contents.
void CMainDlg::PaintSkinBand(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::Paint)
        return;
    if (watched == m_headerBand && !m_topBand.isNull())
        QPainter(m_headerBand).drawPixmap(0, 0, m_topBand);
    else if (watched == m_captionBand && !m_captionPicture.isNull())
        QPainter(m_captionBand).drawPixmap(0, 0, m_captionPicture);
}

void CMainDlg::changeEvent(QEvent *event) {
    // Coming back from the task bar, the window takes up the layout it had before.
    if (event->type() == QEvent::WindowStateChange && m_skinState == SkinMinimised && !isMinimized())
        m_skinState = m_stateBeforeMinimise;
    QDialog::changeEvent(event);
}

void CMainDlg::BuildTray() {
    m_trayMenu = new QMenu(this);
    m_trayMenu->setObjectName(QStringLiteral("trayMenu"));
    for (int id : TrayMenuItems()) {
        if (!id) {
            m_trayMenu->addSeparator();
            continue;
        }
        // The tray items share their pictures with the menu items whose handlers they run.
        const QAction *twin = CommandAction(HandlerId(id));
        QAction *action = m_trayMenu->addAction(QString::fromUtf8(FindMainCommand(id)->text));
        if (twin)
            action->setIcon(twin->property("ownIcon").value<QIcon>());
        else if (id == cmd::TrayContact)
            action->setIcon(artwork::Icon(artwork::Glyph::Manager));
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    }
    m_tray = new QSystemTrayIcon(artwork::Icon(artwork::Glyph::Application), this);
    m_tray->setToolTip(QStringLiteral("欢迎使用Pelorvanide软件\n票据入库、发放、回收与报表"));
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Context)
            return;
        raise();
        activateWindow();
        m_trayMenu->popup(QCursor::pos());
    });
    if (QSystemTrayIcon::isSystemTrayAvailable())
        m_tray->show();
}

void CMainDlg::InstallShellCommands() {
    SetCommandHandler(cmd::Help, [] { shell::OpenHelp(); });
    SetCommandHandler(cmd::Version, [] { shell::ShowVersion(); });
    SetCommandHandler(cmd::About, [this] { CAboutDlg(this).exec(); });
    SetCommandHandler(cmd::TrayContact, [] { shell::WriteToContact(); });
}
