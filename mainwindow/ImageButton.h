#pragma once
#include "resources/Artwork.h"

#include <QToolButton>

// A button drawn from four images (normal, pressed, focused, hot). It takes the mouse while the
// pointer is over it and lets it go when the pointer leaves, so that it lights up exactly while the
// pointer is on it.
class CImageButton : public QToolButton {
    Q_OBJECT
public:
    enum DrawState { Normal = 0, Pressed = 1, Focused = 2, Hot = 3 };

    explicit CImageButton(artwork::ButtonFace face, QWidget *parent = nullptr);
    void SetFace(artwork::ButtonFace face);
    artwork::ButtonFace Face() const { return m_face; }
    int State() const { return m_state; }
    bool HasCapture() const { return m_capture; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void SetState(int state);
    void ReleaseCapture();

    artwork::ButtonFace m_face;
    int m_state = Normal;
    bool m_focus = false;
    bool m_capture = false;
};
