#include "app/TabOrder.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>
#include <algorithm>

namespace {

bool IsReadOnlyText(const QWidget *widget) {
    if (auto *edit = qobject_cast<const QLineEdit *>(widget))
        return edit->isReadOnly();
    if (auto *edit = qobject_cast<const QTextEdit *>(widget))
        return edit->isReadOnly();
    if (auto *edit = qobject_cast<const QPlainTextEdit *>(widget))
        return edit->isReadOnly();
    return false;
}

// The fields Tab stops at: visible widgets that take focus by Tab, not the parts inside them (the
// editor of a spin box or of an editable drop-down list).
void CollectStops(QWidget *dialog, QWidget *parent, QList<QWidget *> &stops) {
    for (QObject *child : parent->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (!widget || widget->isWindow() || !widget->isVisibleTo(dialog))
            continue;
        if (IsReadOnlyText(widget)) {
            widget->setFocusPolicy(Qt::ClickFocus);
            continue;
        }
        if ((widget->focusPolicy() & Qt::TabFocus) && !widget->focusProxy()) {
            stops.append(widget);
            if (qobject_cast<QAbstractSpinBox *>(widget) || qobject_cast<QComboBox *>(widget))
                continue;
        }
        CollectStops(dialog, widget, stops);
    }
}

void OrderNow(QWidget *dialog) {
    struct Stop {
        QWidget *widget;
        QRect rect;
    };
    QList<QWidget *> widgets;
    CollectStops(dialog, dialog, widgets);
    QList<Stop> stops;
    for (QWidget *widget : widgets)
        stops.append({widget, QRect(widget->mapTo(dialog, QPoint(0, 0)), widget->size())});
    std::stable_sort(stops.begin(), stops.end(),
                     [](const Stop &a, const Stop &b) { return a.rect.top() < b.rect.top(); });
    // A row holds the fields that begin above the middle of its first field (of a tall one such as
    // a tree or a list, the middle of its first line); within a row, left to right.
    const int line = 2 * dialog->fontMetrics().height();
    for (qsizetype first = 0; first < stops.size();) {
        const int middle = stops[first].rect.top() + std::min(stops[first].rect.height(), line) / 2;
        qsizetype end = first + 1;
        while (end < stops.size() && stops[end].rect.top() <= middle)
            ++end;
        std::stable_sort(stops.begin() + first, stops.begin() + end,
                         [](const Stop &a, const Stop &b) { return a.rect.left() < b.rect.left(); });
        first = end;
    }
    for (qsizetype i = 0; i + 1 < stops.size(); ++i)
        QWidget::setTabOrder(stops[i].widget, stops[i + 1].widget);
}

class CTabOrderOnShow : public QObject {
public:
    explicit CTabOrderOnShow(QWidget *dialog) : QObject(dialog) {
        setObjectName(QStringLiteral("tabOrderOnShow"));
        dialog->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show)
            OrderNow(static_cast<QWidget *>(watched));
        return false;
    }
};

} // namespace

void OrderTabsByPosition(QWidget *dialog) {
    if (!dialog->findChild<QObject *>(QStringLiteral("tabOrderOnShow"), Qt::FindDirectChildrenOnly))
        new CTabOrderOnShow(dialog);
}
