#pragma once
#include <QApplication>
#include <QWidget>

// The wait cursor for the length of a piece of work.
class CWaitCursor {
public:
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor &) = delete;
    CWaitCursor &operator=(const CWaitCursor &) = delete;
};

// The wait cursor, and the window refuses input until the work is done.
class CBusyWindow {
public:
    explicit CBusyWindow(QWidget *window) : m_window(window) { m_window->setEnabled(false); }
    ~CBusyWindow() { m_window->setEnabled(true); }
    CBusyWindow(const CBusyWindow &) = delete;
    CBusyWindow &operator=(const CBusyWindow &) = delete;

private:
    CWaitCursor m_cursor;
    QWidget *m_window;
};
