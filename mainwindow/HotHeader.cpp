#include "mainwindow/HotHeader.h"

#include <QCursor>
#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>

CHotHeader::CHotHeader(QHeaderView *header) : QObject(header), m_header(header) {
    setObjectName(QStringLiteral("hotHeader"));
    m_timer.setInterval(WatchInterval);
    connect(&m_timer, &QTimer::timeout, this, &CHotHeader::OnTimer);
    header->setMouseTracking(true);
    header->viewport()->setMouseTracking(true);
    header->viewport()->installEventFilter(this);
    header->setProperty(HotProperty, -1);
}

CHotHeader *CHotHeader::Track(QHeaderView *header) {
    if (!header)
        return nullptr;
    if (auto *tracker = header->findChild<CHotHeader *>(QStringLiteral("hotHeader"), Qt::FindDirectChildrenOnly))
        return tracker;
    return new CHotHeader(header);
}

bool CHotHeader::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseMove && m_header) {
        const QPoint pos = static_cast<QMouseEvent *>(event)->position().toPoint();
        const int section = m_header->logicalIndexAt(pos);
        if (section >= 0 && section != m_hot) {
            SetHot(section);
            const int left = m_header->sectionViewportPosition(section);
            const QRect local(left, 0, m_header->sectionSize(section), m_header->viewport()->height());
            m_hotRect = QRect(m_header->viewport()->mapToGlobal(local.topLeft()), local.size());
            m_timer.start();
        }
    }
    return QObject::eventFilter(watched, event);
}

void CHotHeader::OnTimer() {
    if (m_hotRect.contains(QCursor::pos()))
        return;
    m_timer.stop();
    m_hotRect = QRect();
    SetHot(-1);
}

void CHotHeader::SetHot(int section) {
    m_hot = section;
    if (!m_header)
        return;
    m_header->setProperty(HotProperty, section);
    m_header->viewport()->update();
}
