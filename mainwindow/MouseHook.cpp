#include "mainwindow/MouseHook.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>

CMouseHook::CMouseHook(QObject *parent) : QObject(parent) {}

CMouseHook::~CMouseHook() {
    if (m_started && qApp)
        qApp->removeEventFilter(this);
}

void CMouseHook::SetTargetWindow(QWidget *window) {
    m_target = window;
}

bool CMouseHook::StartHook() {
    if (!m_started && qApp) {
        qApp->installEventFilter(this);
        m_started = true;
    }
    return m_started;
}

void CMouseHook::SetHitRect(const QList<QRect> &rects) {
    m_hitRects = rects;
}

int CMouseHook::BarButtonAt(const QPoint &globalPos) const {
    for (int i = 0; i < m_hitRects.size(); ++i)
        if (m_hitRects.at(i).contains(globalPos))
            return i + 1;
    return 0;
}

void CMouseHook::SwitchTo(int menu) {
    const int open = m_status;
    if (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    m_status = 0;
    // Pressing the button of the open menu only closes it, as on a menu bar.
    if (menu != open)
        QMetaObject::invokeMethod(
            this, [this, menu] { emit MenuRequested(menu); }, Qt::QueuedConnection);
}

bool CMouseHook::eventFilter(QObject *watched, QEvent *event) {
    if (!m_status || !watched->isWidgetType() || !m_target)
        return false;
    auto *menu = qobject_cast<QMenu *>(watched);
    switch (event->type()) {
    case QEvent::Hide:
        if (menu && menu->isWindow())
            m_status = 0;
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove: {
        // While a menu is open it holds the mouse, so every move and press arrives here first.
        if (!menu)
            return false;
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const int bar = BarButtonAt(mouse->globalPosition().toPoint());
        if (!bar)
            return false;
        if (event->type() == QEvent::MouseMove && bar == m_status)
            return false;
        SwitchTo(bar);
        return true;
    }
    default:
        return false;
    }
}
