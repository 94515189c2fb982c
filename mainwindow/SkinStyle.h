#pragma once
#include <QObject>
#include <QProxyStyle>

class QDialog;

// The program's one look: the list headers drawn from the header images with the lit item, the
// pop-up menus drawn item by item with their icons, and every other control left to the base style
// under the application's style sheet.
class CSkinStyle : public QProxyStyle {
    Q_OBJECT
public:
    CSkinStyle();

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override;
};

// Puts every dialog, as it is shown, in the middle of the main window, wide enough that the columns
// of its lists show whole, and lights up its list headers under the pointer.
class CDialogPlacer : public QObject {
    Q_OBJECT
public:
    explicit CDialogPlacer(QObject *parent = nullptr) : QObject(parent) {}
    static void Place(QDialog *dialog);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// The look of the whole application: the skin style, the style sheet and the dialog placer.
void InstallSkinLook(const QString &styleSheet);
