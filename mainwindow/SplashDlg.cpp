#include "mainwindow/SplashDlg.h"

#include "mainwindow/Skin.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimerEvent>

namespace {

// The size of the splash when its picture cannot be read.
const QSize DefaultSize(340, 410);

CSplashDlg::Runner &CurrentRunner() {
    static CSplashDlg::Runner runner = [](QWidget *owner) { CSplashDlg(owner).exec(); };
    return runner;
}

} // namespace

CSplashDlg::CSplashDlg(QWidget *parent) : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("splash"));
    setWindowTitle(QStringLiteral("Pelorvanide"));
    setFixedSize(DefaultSize);
    // The splash is a picture, not a dialog: the shared look gives it no frame or margins.
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void CSplashDlg::SetRunner(Runner runner) {
    CurrentRunner() = std::move(runner);
}

void CSplashDlg::Run(QWidget *owner) {
    CurrentRunner()(owner);
}

void CSplashDlg::showEvent(QShowEvent *event) {
    m_timer.start(m_interval, this);
    QDialog::showEvent(event);
}

void CSplashDlg::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QImage picture = skin::LoadBitmap(QString::fromLatin1(skin::SplashFileName), 1);
    if (picture.isNull()) {
        painter.fillRect(rect(), QColor(30, 96, 152));
        return;
    }
    painter.drawImage(0, 0, picture);
}

void CSplashDlg::timerEvent(QTimerEvent *event) {
    if (event->timerId() != m_timer.timerId()) {
        QDialog::timerEvent(event);
        return;
    }
    m_timer.stop();
    accept();
}
