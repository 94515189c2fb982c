#include "resources/SkinArtwork.h"

#include "resources/Artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace skinart {

namespace {

constexpr qreal CornerRadius = 12;

QPainterPath WindowOutline(qreal inset = 0) {
    QPainterPath path;
    path.addRoundedRect(QRectF(inset, inset, WindowSize.width() - 2 * inset, WindowSize.height() - 2 * inset),
                        CornerRadius, CornerRadius);
    return path;
}

QImage Blank(QSize size, QColor fill) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

QFont UiFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// A receipt form seen from above: the stub on the left, the torn-off line, a few printed lines.
void DrawTicket(QPainter &p, const QRectF &box, QColor paper, QColor ink, qreal angle) {
    p.save();
    p.translate(box.center());
    p.rotate(angle);
    const QRectF body(-box.width() / 2, -box.height() / 2, box.width(), box.height());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawRoundedRect(body.translated(3, 4), 6, 6);
    p.setBrush(paper);
    p.setPen(QPen(paper.darker(115), 1));
    p.drawRoundedRect(body, 6, 6);
    const qreal stub = body.left() + body.width() * 0.28;
    p.setPen(QPen(ink, 1.4, Qt::DashLine));
    p.drawLine(QPointF(stub, body.top() + 6), QPointF(stub, body.bottom() - 6));
    p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const qreal y = body.top() + body.height() * (0.3 + 0.2 * i);
        p.drawLine(QPointF(stub + 12, y), QPointF(body.right() - 14 - (i == 2 ? 30 : 0), y));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QPointF(body.left() + body.width() * 0.14, body.center().y()), 7, 7);
    p.restore();
}

} // namespace

QImage ShapeBitmap() {
    QImage image = Blank(WindowSize, Qt::white);
    QPainter p(&image);
    // No smoothing: the edge must be either inside or outside.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 40, 60));
    p.drawPath(WindowOutline());
    return image;
}

QImage BackgroundBitmap() {
    QImage image = Blank(WindowSize, QColor(233, 238, 244));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, WindowSize.height());
    fill.setColorAt(0, QColor(238, 243, 248));
    fill.setColorAt(1, QColor(224, 231, 239));
    p.fillRect(image.rect(), fill);
    // A faint watermark of forms in the lower right corner, behind the panels' margins.
    p.setOpacity(0.05);
    DrawTicket(p, QRectF(980, 600, 170, 90), QColor(46, 117, 182), QColor(255, 255, 255), -12);
    p.setOpacity(1);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(23, 61, 99), 2));
    p.drawPath(WindowOutline(1));
    return image;
}

QImage TopBandBitmap() {
    const QSize size(WindowSize.width(), TopBandHeight);
    QImage image = Blank(size, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, size.width(), 0);
    sky.setColorAt(0, QColor(20, 55, 92));
    sky.setColorAt(0.55, QColor(33, 94, 150));
    sky.setColorAt(1, QColor(24, 120, 150));
    p.fillRect(image.rect(), sky);
    QLinearGradient gloss(0, 0, 0, size.height());
    gloss.setColorAt(0, QColor(255, 255, 255, 38));
    gloss.setColorAt(0.5, QColor(255, 255, 255, 8));
    gloss.setColorAt(1, QColor(0, 0, 0, 30));
    p.fillRect(image.rect(), gloss);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 16));
    p.drawEllipse(QPointF(size.width() - 150, -40), 140, 90);
    p.drawEllipse(QPointF(size.width() - 420, 70), 110, 50);
    p.setPen(QPen(QColor(120, 180, 230), 1));
    p.drawLine(0, size.height() - 1, size.width(), size.height() - 1);
    return image;
}

QImage CaptionBandBitmap() {
    QImage image = Blank(CaptionBandSize, Qt::white);
    QPainter p(&image);
    QLinearGradient fill(0, 0, 0, CaptionBandSize.height());
    fill.setColorAt(0, QColor(251, 252, 254));
    fill.setColorAt(1, QColor(228, 235, 243));
    p.fillRect(image.rect(), fill);
    p.fillRect(QRect(0, 0, 4, CaptionBandSize.height()), QColor(46, 117, 182));
    p.setPen(QColor(203, 213, 225));
    p.drawLine(0, CaptionBandSize.height() - 1, CaptionBandSize.width(), CaptionBandSize.height() - 1);
    return image;
}

QImage SplashBitmap() {
    QImage image = Blank(SplashSize, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient sky(0, 0, SplashSize.width(), SplashSize.height());
    sky.setColorAt(0, QColor(22, 58, 98));
    sky.setColorAt(0.6, QColor(30, 96, 152));
    sky.setColorAt(1, QColor(20, 130, 150));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    QRadialGradient glow(QPointF(SplashSize.width() * 0.5, 150), 190);
    glow.setColorAt(0, QColor(255, 255, 255, 50));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(glow);
    p.drawRect(image.rect());

    DrawTicket(p, QRectF(60, 70, 200, 100), QColor(255, 226, 170), QColor(190, 120, 40), -14);
    DrawTicket(p, QRectF(80, 96, 200, 100), QColor(210, 236, 255), QColor(46, 117, 182), -4);
    DrawTicket(p, QRectF(96, 124, 200, 100), QColor(255, 255, 255), QColor(60, 154, 95), 6);

    p.drawPixmap(40, 262, artwork::Picture(artwork::Glyph::Application, 44));
    p.setPen(Qt::white);
    p.setFont(UiFont(28, true));
    p.drawText(QRectF(96, 258, 230, 32), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Pelorvanide"));
    p.setPen(QColor(214, 232, 245));
    p.setFont(UiFont(15, false));
    p.drawText(QRectF(98, 290, 230, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("票据管理系统"));

    p.setPen(QColor(255, 255, 255, 60));
    p.drawLine(QPointF(40, 336), QPointF(SplashSize.width() - 40, 336));
    p.setPen(QColor(200, 222, 240));
    p.setFont(UiFont(13, false));
    p.drawText(QRectF(40, 344, SplashSize.width() - 80, 22), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("入库 · 发放 · 回收 · 报表"));
    p.drawText(QRectF(40, 370, SplashSize.width() - 80, 22), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("正在启动，请稍候……"));
    p.setPen(QColor(255, 255, 255, 90));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, SplashSize.width() - 1, SplashSize.height() - 1));
    return image;
}

} // namespace skinart
