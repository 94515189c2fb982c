#pragma once
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>

class QHeaderView;

// Lights up the header item under the pointer. The lit item's screen rectangle is remembered and a
// 200 ms timer watches the pointer: once it has left that rectangle the item goes dark again.
class CHotHeader : public QObject {
    Q_OBJECT
public:
    static constexpr int WatchInterval = 200;
    // The header's property that names the lit section, -1 for none; the skin style draws by it.
    static constexpr const char *HotProperty = "hotSection";

    // Tracks the header from now on; a header is tracked once however often this is called.
    static CHotHeader *Track(QHeaderView *header);

    int HotItem() const { return m_hot; }
    bool IsWatching() const { return m_timer.isActive(); }
    // A tick of the timer: clears the lit item once the pointer is outside it.
    void OnTimer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit CHotHeader(QHeaderView *header);
    void SetHot(int section);

    QPointer<QHeaderView> m_header;
    QTimer m_timer;
    QRect m_hotRect;
    int m_hot = -1;
};
