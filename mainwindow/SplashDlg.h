#pragma once
#include <QBasicTimer>
#include <QDialog>
#include <functional>

// The picture shown for two seconds while the main window is made, before the login: a borderless
// window centred on the screen, drawn from bitmap 1 of the splash file, that closes itself.
class CSplashDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int ShowTime = 2000;

    explicit CSplashDlg(QWidget *parent = nullptr);
    // The time the running splash waits before it closes.
    int TimerInterval() const { return m_interval; }

    // How the main window shows the splash: by default it runs this dialog modally. Tests that make
    // many windows put something quicker in its place.
    using Runner = std::function<void(QWidget *owner)>;
    static void SetRunner(Runner runner);
    static void Run(QWidget *owner);

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    QBasicTimer m_timer;
    int m_interval = ShowTime;
};
