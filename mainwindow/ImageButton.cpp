#include "mainwindow/ImageButton.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int Padding = 10;
constexpr int IconGap = 5;

} // namespace

CImageButton::CImageButton(artwork::ButtonFace face, QWidget *parent) : QToolButton(parent), m_face(face) {
    setMouseTracking(true);
    setAttribute(Qt::WA_NoSystemBackground);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void CImageButton::SetFace(artwork::ButtonFace face) {
    m_face = face;
    update();
}

QSize CImageButton::sizeHint() const {
    const QFontMetrics metrics(font());
    const bool hasText = !text().isEmpty() && toolButtonStyle() != Qt::ToolButtonIconOnly;
    const bool hasIcon = !icon().isNull() && toolButtonStyle() != Qt::ToolButtonTextOnly;
    int width = 2 * (hasText ? Padding : 5);
    if (hasIcon)
        width += iconSize().width();
    if (hasText)
        width += metrics.horizontalAdvance(text()) + (hasIcon ? IconGap : 0);
    const int height = std::max(hasIcon ? iconSize().height() + 10 : 0, metrics.height() + 12);
    return QSize(width, height);
}

void CImageButton::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.drawPixmap(0, 0, artwork::ButtonImage(m_face, isEnabled() ? m_state : Normal, size()));
    if (!isEnabled())
        p.setOpacity(0.4);
    const bool hasText = !text().isEmpty() && toolButtonStyle() != Qt::ToolButtonIconOnly;
    const bool hasIcon = !icon().isNull() && toolButtonStyle() != Qt::ToolButtonTextOnly;
    const int textWidth = hasText ? fontMetrics().horizontalAdvance(text()) : 0;
    const int contentWidth = (hasIcon ? iconSize().width() : 0) + textWidth + (hasIcon && hasText ? IconGap : 0);
    const int shift = m_state == Pressed ? 1 : 0;
    int x = (width() - contentWidth) / 2 + shift;
    if (hasIcon) {
        const QPixmap picture = icon().pixmap(iconSize());
        p.drawPixmap(x, (height() - iconSize().height()) / 2 + shift, picture);
        x += iconSize().width() + IconGap;
    }
    if (hasText) {
        const bool light = m_face != artwork::ButtonFace::Command;
        p.setPen(light ? QColor(Qt::white) : QColor(36, 49, 63));
        p.drawText(QRect(x, shift, textWidth + 2, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
    }
}

void CImageButton::SetState(int state) {
    m_state = state;
    repaint();
}

void CImageButton::ReleaseCapture() {
    if (!m_capture)
        return;
    m_capture = false;
    if (mouseGrabber() == this)
        releaseMouse();
}

void CImageButton::mouseMoveEvent(QMouseEvent *event) {
    if (!m_capture) {
        m_capture = true;
        if (isVisible())
            grabMouse();
        SetState(Hot);
    } else if (!rect().contains(event->position().toPoint())) {
        ReleaseCapture();
        SetState(m_focus ? Focused : Normal);
    }
    QToolButton::mouseMoveEvent(event);
}

void CImageButton::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton)
        SetState(Pressed);
    QToolButton::mousePressEvent(event);
}

void CImageButton::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) {
        SetState(m_focus ? Focused : Normal);
        ReleaseCapture();
    }
    // The click may open a dialog; the button is drawn at rest before it does.
    QToolButton::mouseReleaseEvent(event);
}

void CImageButton::focusInEvent(QFocusEvent *event) {
    const bool wasPressed = m_state == Pressed;
    m_state = Focused;
    m_focus = true;
    if (!wasPressed)
        repaint();
    QToolButton::focusInEvent(event);
}

void CImageButton::focusOutEvent(QFocusEvent *event) {
    m_focus = false;
    SetState(Normal);
    QToolButton::focusOutEvent(event);
}

void CImageButton::hideEvent(QHideEvent *event) {
    // A hidden button must not keep the mouse of the whole program.
    ReleaseCapture();
    m_state = m_focus ? Focused : Normal;
    QToolButton::hideEvent(event);
}
