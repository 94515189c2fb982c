#pragma once
// Driving dialogs from the keyboard.
#include <QApplication>
#include <QList>
#include <QWidget>
#include <QtTest>

// The widgets the focus visits when Tab is pressed again and again from the first one, each once:
// a date field takes several presses, one for each of its parts.
inline QList<QWidget *> TabStops(QWidget *first, int count) {
    QList<QWidget *> stops{first};
    first->setFocus();
    for (int presses = 0; stops.size() < count && presses < 20 * count; ++presses) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *now = QApplication::focusWidget();
        if (now != stops.last())
            stops.append(now);
    }
    return stops;
}

// Names of the widgets, for comparing tab orders readably.
inline QStringList NamesOf(const QList<QWidget *> &widgets) {
    QStringList names;
    for (const QWidget *widget : widgets)
        names << (widget ? widget->objectName() : QStringLiteral("<none>"));
    return names;
}
