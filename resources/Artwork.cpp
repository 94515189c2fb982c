#include "resources/Artwork.h"

#include <QFont>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <utility>

namespace artwork {

namespace {

// Every glyph is drawn on a 32 by 32 canvas and scaled to the size asked for.
constexpr qreal Canvas = 32.0;

const QColor Blue(46, 117, 182);
const QColor DarkBlue(31, 78, 121);
const QColor Green(60, 154, 95);
const QColor Orange(224, 142, 43);
const QColor Red(214, 69, 65);
const QColor Purple(126, 87, 194);
const QColor Teal(21, 154, 156);
const QColor Grey(107, 119, 133);
const QColor Brown(160, 113, 79);

enum class Symbol {
    Plus,
    Minus,
    Cross,
    Tick,
    ArrowUp,
    ArrowIn,
    ArrowOut,
    Magnifier,
    Bars,
    Printer,
    Person,
    Building,
    Ticket,
    Key,
    Power,
    Question,
    Info,
    Hash,
    Funnel,
    Sort,
    Shield,
    Box,
    Bolt,
    Pages,
    Underline,
    Columns,
    Star,
    Square,
    Squares,
    Circle,
};

enum class Corner { None, Plus, Minus };

struct Badge {
    QColor colour;
    Symbol symbol;
    Corner corner = Corner::None;
};

QPen SymbolPen(qreal width = 2.6) {
    return QPen(Qt::white, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void DrawText(QPainter &p, const QRectF &box, const QString &text, qreal pixelSize) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(int(pixelSize));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignCenter, text);
}

void DrawPerson(QPainter &p, QPointF head, qreal scale) {
    p.drawEllipse(head, 4.2 * scale, 4.2 * scale);
    QPainterPath body;
    const QPointF base(head.x(), head.y() + 14 * scale);
    body.moveTo(base.x() - 8 * scale, base.y());
    body.cubicTo(base.x() - 8 * scale, base.y() - 8 * scale, base.x() + 8 * scale, base.y() - 8 * scale,
                 base.x() + 8 * scale, base.y());
    body.closeSubpath();
    p.drawPath(body);
}

void DrawSymbol(QPainter &p, Symbol symbol) {
    p.setPen(SymbolPen());
    p.setBrush(Qt::NoBrush);
    switch (symbol) {
    case Symbol::Plus:
        p.drawLine(QPointF(16, 9), QPointF(16, 23));
        p.drawLine(QPointF(9, 16), QPointF(23, 16));
        break;
    case Symbol::Minus:
        p.drawLine(QPointF(9, 16), QPointF(23, 16));
        break;
    case Symbol::Cross:
        p.drawLine(QPointF(10.5, 10.5), QPointF(21.5, 21.5));
        p.drawLine(QPointF(21.5, 10.5), QPointF(10.5, 21.5));
        break;
    case Symbol::Tick:
        p.drawPolyline(QPolygonF({QPointF(9, 16.5), QPointF(14, 21.5), QPointF(23, 10.5)}));
        break;
    case Symbol::Circle:
        // Two thirds of a circle with an arrow head at its open end: the usual sign for reading anew.
        p.drawArc(QRectF(9, 9, 14, 14), 60 * 16, 270 * 16);
        p.drawPolyline(QPolygonF({QPointF(19.5, 6.5), QPointF(20.5, 10.5), QPointF(16.5, 11.5)}));
        break;
    case Symbol::ArrowUp:
        p.drawLine(QPointF(9, 8.5), QPointF(23, 8.5));
        p.drawLine(QPointF(16, 23.5), QPointF(16, 12.5));
        p.drawPolyline(QPolygonF({QPointF(10.5, 18), QPointF(16, 12.5), QPointF(21.5, 18)}));
        break;
    case Symbol::ArrowOut:
    case Symbol::ArrowIn: {
        p.drawPolyline(QPolygonF({QPointF(14, 9), QPointF(9, 9), QPointF(9, 23), QPointF(14, 23)}));
        p.drawLine(QPointF(13, 16), QPointF(24, 16));
        const qreal tip = symbol == Symbol::ArrowOut ? 24 : 13;
        const qreal back = symbol == Symbol::ArrowOut ? 19.5 : 17.5;
        p.drawPolyline(QPolygonF({QPointF(back, 11.5), QPointF(tip, 16), QPointF(back, 20.5)}));
        break;
    }
    case Symbol::Magnifier:
        p.drawEllipse(QPointF(14, 14), 5.5, 5.5);
        p.setPen(SymbolPen(3.4));
        p.drawLine(QPointF(18.3, 18.3), QPointF(23.5, 23.5));
        break;
    case Symbol::Bars:
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(8.5, 16, 4, 8), 1, 1);
        p.drawRoundedRect(QRectF(14, 10, 4, 14), 1, 1);
        p.drawRoundedRect(QRectF(19.5, 13, 4, 11), 1, 1);
        break;
    case Symbol::Printer:
        p.drawRect(QRectF(11, 8, 10, 5));
        p.drawRoundedRect(QRectF(8, 13, 16, 8), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(11.5, 18.5, 9, 5.5));
        break;
    case Symbol::Person:
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        DrawPerson(p, QPointF(16, 11.5), 1.0);
        break;
    case Symbol::Building:
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 9, 14, 15));
        p.setBrush(QColor(255, 255, 255, 0));
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column)
                p.fillRect(QRectF(11 + column * 4, 11 + row * 3.6, 2.2, 2.2), Qt::transparent);
        p.fillRect(QRectF(14.6, 21, 2.8, 3), Qt::transparent);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        break;
    case Symbol::Ticket: {
        QPainterPath ticket;
        ticket.addRoundedRect(QRectF(7, 10, 18, 12), 2, 2);
        QPainterPath notches;
        notches.addEllipse(QPointF(7, 16), 2.4, 2.4);
        notches.addEllipse(QPointF(25, 16), 2.4, 2.4);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(ticket.subtracted(notches));
        p.setPen(QPen(QColor(0, 0, 0, 70), 1.2, Qt::DashLine));
        p.drawLine(QPointF(19, 11.5), QPointF(19, 20.5));
        break;
    }
    case Symbol::Key:
        p.drawEllipse(QPointF(12, 16), 4, 4);
        p.drawLine(QPointF(16, 16), QPointF(24, 16));
        p.drawLine(QPointF(21, 16), QPointF(21, 20));
        p.drawLine(QPointF(24, 16), QPointF(24, 19));
        break;
    case Symbol::Power:
        p.drawArc(QRectF(9, 9.5, 14, 14), 120 * 16, 300 * 16);
        p.drawLine(QPointF(16, 7.5), QPointF(16, 15));
        break;
    case Symbol::Question:
        DrawText(p, QRectF(4, 3, 24, 26), QStringLiteral("?"), 19);
        break;
    case Symbol::Info:
        DrawText(p, QRectF(4, 3, 24, 26), QStringLiteral("i"), 19);
        break;
    case Symbol::Hash:
        DrawText(p, QRectF(4, 3, 24, 26), QStringLiteral("#"), 17);
        break;
    case Symbol::Funnel:
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF(
            {QPointF(8, 9), QPointF(24, 9), QPointF(18, 16.5), QPointF(18, 23), QPointF(14, 25), QPointF(14, 16.5)}));
        break;
    case Symbol::Sort:
        p.drawLine(QPointF(12, 9), QPointF(12, 23));
        p.drawPolyline(QPolygonF({QPointF(8.5, 12.5), QPointF(12, 9), QPointF(15.5, 12.5)}));
        p.drawLine(QPointF(20, 9), QPointF(20, 23));
        p.drawPolyline(QPolygonF({QPointF(16.5, 19.5), QPointF(20, 23), QPointF(23.5, 19.5)}));
        break;
    case Symbol::Shield: {
        QPainterPath shield;
        shield.moveTo(16, 7.5);
        shield.lineTo(24, 10.5);
        shield.cubicTo(24, 18, 20.5, 22.5, 16, 25);
        shield.cubicTo(11.5, 22.5, 8, 18, 8, 10.5);
        shield.closeSubpath();
        p.drawPath(shield);
        p.drawPolyline(QPolygonF({QPointF(12.5, 16), QPointF(15, 18.5), QPointF(19.5, 13)}));
        break;
    }
    case Symbol::Box:
        p.drawRect(QRectF(8.5, 12, 15, 11.5));
        p.drawPolyline(QPolygonF({QPointF(8.5, 12), QPointF(11, 8), QPointF(21, 8), QPointF(23.5, 12)}));
        p.drawLine(QPointF(13.5, 16), QPointF(18.5, 16));
        break;
    case Symbol::Bolt:
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({QPointF(18, 6.5), QPointF(10, 17.5), QPointF(15.5, 17.5), QPointF(13.5, 25.5),
                                 QPointF(22, 14), QPointF(16.5, 14)}));
        break;
    case Symbol::Pages:
        p.drawRect(QRectF(12, 8, 11, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 12, 11, 13));
        break;
    case Symbol::Underline:
        p.drawLine(QPointF(10, 21), QPointF(22, 21));
        break;
    case Symbol::Columns:
        p.drawRect(QRectF(8.5, 9.5, 15, 13));
        p.drawLine(QPointF(13.5, 9.5), QPointF(13.5, 22.5));
        p.drawLine(QPointF(18.5, 9.5), QPointF(18.5, 22.5));
        break;
    case Symbol::Square:
        p.drawRect(QRectF(10, 10, 12, 12));
        break;
    case Symbol::Squares:
        p.drawPolyline(
            QPolygonF({QPointF(13, 10), QPointF(13, 8.5), QPointF(23.5, 8.5), QPointF(23.5, 19), QPointF(22, 19)}));
        p.drawRect(QRectF(8.5, 13, 10.5, 10.5));
        break;
    case Symbol::Star: {
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const qreal radius = i % 2 ? 4 : 9;
            const qreal angle = -M_PI / 2 + i * M_PI / 5;
            star << QPointF(16 + radius * std::cos(angle), 16.5 + radius * std::sin(angle));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPolygon(star);
        break;
    }
    }
}

void DrawBadge(QPainter &p, const Badge &badge) {
    QLinearGradient fill(0, 2, 0, 30);
    fill.setColorAt(0, badge.colour.lighter(118));
    fill.setColorAt(1, badge.colour.darker(108));
    p.setPen(QPen(badge.colour.darker(125), 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(2.5, 2.5, 27, 27), 7, 7);
    DrawSymbol(p, badge.symbol);
    if (badge.corner == Corner::None)
        return;
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(badge.corner == Corner::Plus ? Green : Red);
    p.drawEllipse(QPointF(24.5, 24.5), 6.5, 6.5);
    p.setPen(SymbolPen(2.2));
    p.drawLine(QPointF(21.5, 24.5), QPointF(27.5, 24.5));
    if (badge.corner == Corner::Plus)
        p.drawLine(QPointF(24.5, 21.5), QPointF(24.5, 27.5));
}

// The tree pictures are drawn as small objects rather than badges, so the tree reads at a glance.
void DrawDepartment(QPainter &p) {
    p.setPen(QPen(DarkBlue, 1.2));
    QLinearGradient wall(0, 6, 0, 28);
    wall.setColorAt(0, Blue.lighter(130));
    wall.setColorAt(1, Blue);
    p.setBrush(wall);
    p.drawRect(QRectF(6.5, 8.5, 19, 20));
    p.setBrush(DarkBlue);
    p.drawPolygon(QPolygonF({QPointF(4.5, 9), QPointF(16, 3), QPointF(27.5, 9)}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 248, 214));
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            p.drawRect(QRectF(9.5 + column * 5, 11.5 + row * 4.5, 3, 3));
    p.setBrush(DarkBlue);
    p.drawRect(QRectF(14, 24, 4, 4.5));
}

void DrawRecipient(QPainter &p) {
    p.setPen(QPen(Green.darker(140), 1.2));
    QRadialGradient skin(QPointF(14.5, 8.5), 8);
    skin.setColorAt(0, QColor(255, 231, 204));
    skin.setColorAt(1, QColor(236, 190, 150));
    p.setBrush(skin);
    p.drawEllipse(QPointF(16, 10), 6, 6);
    QLinearGradient coat(0, 17, 0, 30);
    coat.setColorAt(0, Green.lighter(125));
    coat.setColorAt(1, Green);
    p.setBrush(coat);
    QPainterPath body;
    body.moveTo(5, 29.5);
    body.cubicTo(5, 19, 27, 19, 27, 29.5);
    body.closeSubpath();
    p.drawPath(body);
}

void DrawKind(QPainter &p) {
    QPainterPath ticket;
    ticket.addRoundedRect(QRectF(3.5, 8.5, 25, 16), 2.5, 2.5);
    QPainterPath notches;
    notches.addEllipse(QPointF(3.5, 16.5), 3, 3);
    notches.addEllipse(QPointF(28.5, 16.5), 3, 3);
    QLinearGradient paper(0, 8, 0, 25);
    paper.setColorAt(0, Orange.lighter(135));
    paper.setColorAt(1, Orange);
    p.setPen(QPen(Orange.darker(150), 1.2));
    p.setBrush(paper);
    p.drawPath(ticket.subtracted(notches));
    p.setPen(QPen(Orange.darker(160), 1.2, Qt::DashLine));
    p.drawLine(QPointF(21.5, 10), QPointF(21.5, 23));
    p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 13.5), QPointF(17, 13.5));
    p.drawLine(QPointF(8, 17), QPointF(15, 17));
    p.drawLine(QPointF(8, 20.5), QPointF(17, 20.5));
}

void DrawStock(QPainter &p) {
    p.setPen(QPen(Brown.darker(150), 1.2));
    QLinearGradient side(0, 10, 0, 29);
    side.setColorAt(0, Brown.lighter(135));
    side.setColorAt(1, Brown);
    p.setBrush(side);
    p.drawRect(QRectF(4.5, 11.5, 23, 17));
    p.setBrush(Brown.lighter(150));
    p.drawPolygon(QPolygonF({QPointF(4.5, 11.5), QPointF(8.5, 4.5), QPointF(23.5, 4.5), QPointF(27.5, 11.5)}));
    p.setBrush(QColor(255, 244, 222));
    p.drawRect(QRectF(12, 15.5, 8, 4));
}

void DrawApplication(QPainter &p) {
    QLinearGradient fill(0, 0, 32, 32);
    fill.setColorAt(0, Blue.lighter(120));
    fill.setColorAt(1, DarkBlue);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 8, 8);
    DrawSymbol(p, Symbol::Ticket);
}

Badge BadgeOf(Glyph glyph) {
    switch (glyph) {
    case Glyph::StockIn:
        return {Blue, Symbol::ArrowIn};
    case Glyph::Issue:
        return {Green, Symbol::ArrowOut};
    case Glyph::Return:
        return {Teal, Symbol::ArrowIn};
    case Glyph::Report:
        return {Purple, Symbol::Bars};
    case Glyph::Print:
        return {Grey, Symbol::Printer};
    case Glyph::Login:
        return {Orange, Symbol::Key};
    case Glyph::Rights:
        return {DarkBlue, Symbol::Shield};
    case Glyph::Exit:
        return {Red, Symbol::Power};
    case Glyph::Index:
        return {Teal, Symbol::Sort};
    case Glyph::Search:
        return {Blue, Symbol::Magnifier};
    case Glyph::Extract:
        return {Purple, Symbol::Funnel};
    case Glyph::Delete:
        return {Red, Symbol::Cross};
    case Glyph::Void:
        return {Grey, Symbol::Minus};
    case Glyph::Forced:
        return {Orange, Symbol::Bolt};
    case Glyph::Documents:
        return {Brown, Symbol::Pages};
    case Glyph::MainKind:
        return {Orange, Symbol::Star};
    case Glyph::Manager:
        return {DarkBlue, Symbol::Person};
    case Glyph::Maker:
        return {Brown, Symbol::Building};
    case Glyph::AddDepartment:
        return {Blue, Symbol::Building, Corner::Plus};
    case Glyph::AddRecipient:
        return {Green, Symbol::Person, Corner::Plus};
    case Glyph::DeleteDepartment:
        return {Blue, Symbol::Building, Corner::Minus};
    case Glyph::DeleteRecipient:
        return {Green, Symbol::Person, Corner::Minus};
    case Glyph::Password:
        return {Teal, Symbol::Key};
    case Glyph::Help:
        return {Blue, Symbol::Question};
    case Glyph::Version:
        return {Grey, Symbol::Info};
    case Glyph::About:
        return {Teal, Symbol::Info};
    case Glyph::Refresh:
        return {Teal, Symbol::Circle};
    case Glyph::Top:
        return {Teal, Symbol::ArrowUp};
    case Glyph::Count:
        return {Grey, Symbol::Hash};
    case Glyph::FindNext:
        return {Blue, Symbol::Magnifier};
    case Glyph::Column:
        return {Grey, Symbol::Columns};
    case Glyph::Minimise:
        return {Grey, Symbol::Underline};
    case Glyph::Maximise:
        return {Grey, Symbol::Square};
    case Glyph::Restore:
        return {Grey, Symbol::Squares};
    case Glyph::Check:
        return {Green, Symbol::Tick};
    case Glyph::DepartmentView:
        return {Blue, Symbol::Building};
    case Glyph::RepositoryView:
        return {Brown, Symbol::Box};
    case Glyph::Overview:
        return {Teal, Symbol::Bars};
    default:
        break;
    }
    return {Orange, Symbol::Ticket};
}

void DrawGlyph(QPainter &p, Glyph glyph) {
    switch (glyph) {
    case Glyph::Department:
        DrawDepartment(p);
        return;
    case Glyph::Recipient:
        DrawRecipient(p);
        return;
    case Glyph::Kind:
        DrawKind(p);
        return;
    case Glyph::Stock:
        DrawStock(p);
        return;
    case Glyph::Application:
        DrawApplication(p);
        return;
    default:
        DrawBadge(p, BadgeOf(glyph));
    }
}

// The login's buttons: a rounded pill whose look follows the state letter of the image name.
QPixmap ImageButton(const QString &label, bool primary, QChar state) {
    const QSize size(104, 34);
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QColor base = primary ? Blue : QColor(236, 240, 245);
    if (state == QLatin1Char('H'))
        base = base.lighter(primary ? 112 : 103);
    if (state == QLatin1Char('D'))
        base = base.darker(115);
    const qreal shift = state == QLatin1Char('D') ? 1 : 0;
    const QRectF body = QRectF(1.5, 1.5 + shift, size.width() - 3, size.height() - 4);
    QLinearGradient fill(0, body.top(), 0, body.bottom());
    fill.setColorAt(0, base.lighter(112));
    fill.setColorAt(1, base.darker(104));
    if (state != QLatin1Char('D')) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 40));
        p.drawRoundedRect(body.translated(0, 1.5), 8, 8);
    }
    const QColor edge = state == QLatin1Char('F') ? QColor(255, 196, 64) : base.darker(primary ? 130 : 118);
    p.setPen(QPen(edge, state == QLatin1Char('F') ? 2 : 1));
    p.setBrush(fill);
    p.drawRoundedRect(body, 8, 8);
    QFont font;
    font.setPixelSize(15);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 4);
    p.setFont(font);
    p.setPen(primary ? Qt::white : QColor(60, 70, 84));
    p.drawText(body.adjusted(4, 0, 0, 0), Qt::AlignCenter, label);
    return pixmap;
}

} // namespace

QPixmap Picture(Glyph glyph, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / Canvas, size / Canvas);
    DrawGlyph(p, glyph);
    return pixmap;
}

QIcon Icon(Glyph glyph) {
    static QHash<int, QIcon> cache;
    auto found = cache.constFind(int(glyph));
    if (found != cache.constEnd())
        return *found;
    QIcon icon;
    for (int size : {16, 20, 24, 32})
        icon.addPixmap(Picture(glyph, size));
    cache.insert(int(glyph), icon);
    return icon;
}

QPixmap LoginBackground() {
    const QSize size(420, 270);
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0, QColor(27, 68, 110));
    sky.setColorAt(1, QColor(20, 120, 140));
    p.fillRect(pixmap.rect(), sky);
    // Soft light shapes behind the title.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 18));
    p.drawEllipse(QPointF(370, 10), 120, 120);
    p.drawEllipse(QPointF(40, 250), 90, 90);
    p.setBrush(QColor(255, 255, 255, 12));
    p.drawEllipse(QPointF(300, 90), 60, 60);

    p.save();
    p.translate(28, 22);
    p.scale(44 / Canvas, 44 / Canvas);
    DrawApplication(p);
    p.restore();
    QFont title;
    title.setPixelSize(26);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRectF(84, 20, 320, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Pelorvanide"));
    QFont subtitle;
    subtitle.setPixelSize(13);
    p.setFont(subtitle);
    p.setPen(QColor(214, 232, 245));
    p.drawText(QRectF(86, 48, 320, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("票据管理 · 用户登录"));

    // The card that holds the fields.
    const QRectF card(20, 84, size.width() - 40, 166);
    p.setBrush(QColor(0, 0, 0, 35));
    p.drawRoundedRect(card.translated(0, 3), 12, 12);
    p.setBrush(QColor(250, 252, 255));
    p.drawRoundedRect(card, 12, 12);
    QFont label;
    label.setPixelSize(14);
    p.setFont(label);
    p.setPen(QColor(60, 70, 84));
    p.drawText(QRectF(40, 104, 70, 30), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("用户名："));
    p.drawText(QRectF(40, 148, 70, 30), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("密　码："));
    return pixmap;
}

QPixmap NamedImage(const QString &name) {
    static QHash<QString, QPixmap> cache;
    if (auto found = cache.constFind(name); found != cache.constEnd())
        return *found;
    if (name.size() < 2)
        return {};
    const QChar state = name.back();
    if (!QStringLiteral("UDFH").contains(state))
        return {};
    const QString caption = name.left(name.size() - 1);
    QPixmap image;
    if (caption == QLatin1String("OK"))
        image = ImageButton(QStringLiteral("确定"), true, state);
    else if (caption == QLatin1String("CANCEL"))
        image = ImageButton(QStringLiteral("取消"), false, state);
    if (!image.isNull())
        cache.insert(name, image);
    return image;
}

QPixmap ButtonImage(ButtonFace face, int state, QSize size) {
    static QHash<QString, QPixmap> cache;
    const QString key = QStringLiteral("%1/%2/%3x%4").arg(int(face)).arg(state).arg(size.width()).arg(size.height());
    if (auto found = cache.constFind(key); found != cache.constEnd())
        return *found;
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body = QRectF(pixmap.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = face == ButtonFace::Bar ? 5 : 4;
    if (face == ButtonFace::Bar || face == ButtonFace::Window) {
        // On the dark top band: nothing at rest, a light veil under the pointer, a dark one pressed.
        QColor veil(0, 0, 0, 0);
        if (state == 3)
            veil = QColor(255, 255, 255, 46);
        else if (state == 1)
            veil = QColor(0, 0, 0, 60);
        else if (state == 2)
            veil = QColor(255, 255, 255, 22);
        p.setPen(state == 2 ? QPen(QColor(255, 255, 255, 90), 1) : Qt::NoPen);
        p.setBrush(veil);
        p.drawRoundedRect(body, radius, radius);
    } else {
        const bool current = face == ButtonFace::Current;
        QColor top = current ? QColor(62, 136, 204) : QColor(253, 254, 255);
        QColor bottom = current ? QColor(38, 100, 160) : QColor(234, 239, 245);
        QColor edge = current ? QColor(30, 84, 136) : QColor(190, 202, 216);
        if (state == 3) {
            top = current ? top.lighter(110) : QColor(240, 247, 255);
            bottom = current ? bottom.lighter(110) : QColor(214, 231, 249);
            edge = Blue;
        } else if (state == 1) {
            std::swap(top, bottom);
            top = top.darker(108);
            edge = DarkBlue;
        } else if (state == 2) {
            edge = Blue;
        }
        QLinearGradient fill(0, 0, 0, size.height());
        fill.setColorAt(0, top);
        fill.setColorAt(1, bottom);
        p.setPen(QPen(edge, 1));
        p.setBrush(fill);
        p.drawRoundedRect(body, radius, radius);
    }
    cache.insert(key, pixmap);
    return pixmap;
}

QPixmap HeaderImage(int id, QSize size) {
    QPixmap pixmap(size.expandedTo(QSize(1, 1)));
    QPainter p(&pixmap);
    QLinearGradient fill(0, 0, 0, pixmap.height());
    if (id == HeaderHot) {
        fill.setColorAt(0, QColor(246, 250, 255));
        fill.setColorAt(1, QColor(214, 230, 248));
    } else if (id == HeaderPressed) {
        fill.setColorAt(0, QColor(205, 222, 242));
        fill.setColorAt(1, QColor(226, 236, 248));
    } else {
        fill.setColorAt(0, QColor(252, 253, 254));
        fill.setColorAt(1, QColor(232, 237, 243));
    }
    p.fillRect(pixmap.rect(), fill);
    p.setPen(QColor(205, 214, 225));
    p.drawLine(pixmap.width() - 1, 3, pixmap.width() - 1, pixmap.height() - 4);
    p.setPen(id == HeaderNormal ? QColor(196, 206, 218) : Blue);
    p.drawLine(0, pixmap.height() - 1, pixmap.width(), pixmap.height() - 1);
    return pixmap;
}

QPixmap MenuItemImage(MenuPlace place, QSize size) {
    QPixmap pixmap(size.expandedTo(QSize(1, 1)));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // The icon column is tinted, so the icons stand on a band of their own.
    p.fillRect(pixmap.rect(), Qt::white);
    p.fillRect(QRect(0, 0, 28, pixmap.height()), QColor(238, 243, 249));
    if (place == MenuPlace::First)
        p.fillRect(QRect(0, 0, pixmap.width(), 2), Blue);
    if (place == MenuPlace::Last)
        p.fillRect(QRect(0, pixmap.height() - 1, pixmap.width(), 1), QColor(225, 231, 238));
    if (place == MenuPlace::Highlight) {
        QLinearGradient fill(0, 0, 0, pixmap.height());
        fill.setColorAt(0, QColor(232, 242, 252));
        fill.setColorAt(1, QColor(208, 228, 248));
        p.setPen(QPen(QColor(150, 190, 230), 1));
        p.setBrush(fill);
        p.drawRoundedRect(QRectF(pixmap.rect()).adjusted(2.5, 0.5, -2.5, -0.5), 3, 3);
    }
    return pixmap;
}

QColor AccentColor() {
    return Blue;
}
QColor AccentDarkColor() {
    return DarkBlue;
}

} // namespace artwork
