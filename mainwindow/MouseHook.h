#pragma once
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>

class QWidget;

// Makes the row of menu-bar buttons behave like a menu bar: while one of their pop-up menus is
// open it watches the mouse of the whole application, and a press on another bar button, or the
// pointer coming to rest on one, closes the open menu and asks for that button's menu instead.
class CMouseHook : public QObject {
    Q_OBJECT
public:
    explicit CMouseHook(QObject *parent = nullptr);
    ~CMouseHook() override;

    void SetTargetWindow(QWidget *window);
    // Starts watching; true once the hook is in place.
    bool StartHook();
    // The screen rectangles of the bar buttons, left to right; the first is menu 1.
    void SetHitRect(const QList<QRect> &rects);
    // Non-zero (the menu's index) while a bar menu is open.
    int GetStatus() const { return m_status; }
    // The menu about to open, 1 to 5.
    void SetCurMenu(int menu) { m_curMenu = menu; }
    // The menu set by SetCurMenu is opening now.
    void SetBegin() { m_status = m_curMenu; }

signals:
    // Another bar button was chosen while a bar menu was open; that menu is closed already.
    void MenuRequested(int menu);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int BarButtonAt(const QPoint &globalPos) const;
    void SwitchTo(int menu);

    QPointer<QWidget> m_target;
    QList<QRect> m_hitRects;
    int m_curMenu = 0;
    int m_status = 0;
    bool m_started = false;
};
