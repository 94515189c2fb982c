#include "mainwindow/SkinStyle.h"

#include "mainwindow/HotHeader.h"
#include "resources/Artwork.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QHeaderView>
#include <QLayout>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTableView>
#include <QTreeView>
#include <algorithm>

namespace {

constexpr int MenuIconLeft = 6;
constexpr int MenuTextLeft = 32;
constexpr int MenuIconSize = 16;
const QColor MenuText(31, 43, 56);
const QColor DisabledText(128, 128, 128);

artwork::MenuPlace PlaceOf(const QStyleOptionMenuItem &item) {
    if (item.rect.top() <= item.menuRect.top() + 2)
        return artwork::MenuPlace::First;
    if (item.rect.bottom() >= item.menuRect.bottom() - 2)
        return artwork::MenuPlace::Last;
    return artwork::MenuPlace::Middle;
}

void DrawMenuItem(const QStyleOptionMenuItem &item, QPainter *p) {
    const bool enabled = item.state & QStyle::State_Enabled;
    const bool highlighted = enabled && (item.state & QStyle::State_Selected);
    p->drawPixmap(item.rect.topLeft(), artwork::MenuItemImage(PlaceOf(item), item.rect.size()));
    if (item.menuItemType == QStyleOptionMenuItem::Separator) {
        const int y = item.rect.center().y();
        p->setPen(QColor(221, 227, 234));
        p->drawLine(item.rect.left() + MenuTextLeft, y, item.rect.right() - 8, y);
        return;
    }
    if (highlighted)
        p->drawPixmap(item.rect.topLeft(), artwork::MenuItemImage(artwork::MenuPlace::Highlight, item.rect.size()));
    // A checked item shows the check picture in place of its own icon.
    const QIcon icon = item.checked ? artwork::Icon(artwork::Glyph::Check) : item.icon;
    if (!icon.isNull()) {
        const QPixmap picture = icon.pixmap(MenuIconSize, MenuIconSize, enabled ? QIcon::Normal : QIcon::Disabled);
        p->drawPixmap(item.rect.left() + MenuIconLeft, item.rect.top() + (item.rect.height() - MenuIconSize) / 2,
                      picture);
    }
    QString text = item.text;
    QString shortcut;
    if (const int tab = text.indexOf(QLatin1Char('\t')); tab >= 0) {
        shortcut = text.mid(tab + 1);
        text = text.left(tab);
    }
    p->setPen(enabled ? MenuText : DisabledText);
    const QRect textRect = item.rect.adjusted(MenuTextLeft, 0, -10, 0);
    p->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, text);
    if (!shortcut.isEmpty())
        p->drawText(textRect, Qt::AlignRight | Qt::AlignVCenter, shortcut);
}

// The window a dialog is placed over: the outermost shown window it belongs to.
QWidget *OwnerWindow(QDialog *dialog) {
    QWidget *owner = nullptr;
    for (QWidget *w = dialog->parentWidget(); w; w = w->window()->parentWidget()) {
        if (w->window()->isVisible())
            owner = w->window();
    }
    return owner;
}

// How much wider the dialog must be for each list to show all its columns.
int MissingListWidth(QDialog *dialog) {
    int missing = 0;
    for (QAbstractItemView *view : dialog->findChildren<QAbstractItemView *>()) {
        QHeaderView *header = nullptr;
        int extra = 0;
        if (auto *table = qobject_cast<QTableView *>(view)) {
            header = table->horizontalHeader();
            if (table->verticalHeader()->isVisible())
                extra += table->verticalHeader()->width();
        } else if (auto *tree = qobject_cast<QTreeView *>(view)) {
            header = tree->isHeaderHidden() ? nullptr : tree->header();
        }
        if (!header || header->count() == 0 || !view->isVisibleTo(dialog))
            continue;
        extra += view->verticalScrollBar()->sizeHint().width();
        missing = std::max(missing, header->length() + extra - view->viewport()->width());
    }
    return missing;
}

} // namespace

CSkinStyle::CSkinStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void CSkinStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                             const QWidget *widget) const {
    if (element == CE_HeaderSection) {
        if (const auto *header = qstyleoption_cast<const QStyleOptionHeader *>(option)) {
            int id = artwork::HeaderNormal;
            if (option->state & State_Sunken)
                id = artwork::HeaderPressed;
            else if (widget && widget->property(CHotHeader::HotProperty).toInt() == header->section &&
                     widget->property(CHotHeader::HotProperty).isValid())
                id = artwork::HeaderHot;
            painter->drawPixmap(option->rect, artwork::HeaderImage(id, option->rect.size()));
            return;
        }
    }
    if (element == CE_MenuItem) {
        if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option)) {
            DrawMenuItem(*item, painter);
            return;
        }
    }
    if (element == CE_MenuEmptyArea) {
        painter->fillRect(option->rect, Qt::white);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void CSkinStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                               const QWidget *widget) const {
    if (element == PE_PanelMenu || element == PE_FrameMenu) {
        painter->save();
        if (element == PE_PanelMenu)
            painter->fillRect(option->rect, Qt::white);
        painter->setPen(QColor(170, 187, 206));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

QSize CSkinStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                                   const QWidget *widget) const {
    if (type == CT_MenuItem) {
        if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option)) {
            if (item->menuItemType == QStyleOptionMenuItem::Separator)
                return QSize(size.width(), 7);
            const QFontMetrics metrics(item->font);
            QString text = item->text;
            int width = MenuTextLeft + 24;
            if (const int tab = text.indexOf(QLatin1Char('\t')); tab >= 0) {
                width += metrics.horizontalAdvance(text.mid(tab + 1)) + 20;
                text = text.left(tab);
            }
            width += metrics.horizontalAdvance(QString(text).remove(QLatin1Char('&')));
            return QSize(std::max(width, 150), std::max(metrics.height() + 12, 28));
        }
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

int CSkinStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const {
    switch (metric) {
    case PM_MenuPanelWidth:
        return 1;
    case PM_MenuVMargin:
    case PM_MenuHMargin:
        return 0;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

void CDialogPlacer::Place(QDialog *dialog) {
    for (QHeaderView *header : dialog->findChildren<QHeaderView *>())
        if (header->orientation() == Qt::Horizontal)
            CHotHeader::Track(header);
    if (dialog->layout())
        dialog->layout()->activate();
    QWidget *owner = OwnerWindow(dialog);
    const QScreen *screen = owner ? owner->screen() : dialog->screen();
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
    if (const int missing = MissingListWidth(dialog); missing > 0) {
        const int width = std::min(dialog->width() + missing, room.width() - 40);
        if (width > dialog->width() && dialog->maximumWidth() >= width)
            dialog->resize(width, dialog->height());
    }
    if (!owner)
        return;
    QRect frame = dialog->frameGeometry();
    frame.moveCenter(owner->frameGeometry().center());
    // Never off the screen, even when the main window partly is.
    frame.moveLeft(std::clamp(frame.left(), room.left(), std::max(room.left(), room.right() - frame.width())));
    frame.moveTop(std::clamp(frame.top(), room.top(), std::max(room.top(), room.bottom() - frame.height())));
    dialog->move(frame.topLeft());
}

bool CDialogPlacer::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto *dialog = qobject_cast<QDialog *>(watched);
        // Frameless windows (the main window, the splash, the login) have their own size and place.
        if (dialog && dialog->isWindow() && !(dialog->windowFlags() & Qt::FramelessWindowHint) &&
            !dialog->property("placed").toBool()) {
            dialog->setProperty("placed", true);
            Place(dialog);
        }
    }
    return QObject::eventFilter(watched, event);
}

void InstallSkinLook(const QString &styleSheet) {
    QApplication::setStyle(new CSkinStyle);
    qApp->setStyleSheet(styleSheet);
    qApp->installEventFilter(new CDialogPlacer(qApp));
}
