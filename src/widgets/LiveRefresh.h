#pragma once
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

class QAbstractScrollArea;
class QWidget;

namespace widgets {

// Re-reads what a window shows when the change notifier says its rows changed (on this or on
// another workstation). Several notices in a row cost one re-read. The re-read waits while the
// window is hidden, while a card or question stands modal over it, or while the window itself
// says it is busy (a row being edited); it runs as soon as that is over. The refresh function is
// expected to keep the current row, the selection and the scroll position.
class LiveRefresh : public QObject {
    Q_OBJECT
public:
    LiveRefresh(QWidget* owner, std::function<void()> refresh, std::function<bool()> busy = {});

    // A refresh of a grid that puts its scroll position back afterwards (the refresh itself keeps
    // the current row).
    static std::function<void()> KeepingScroll(QAbstractScrollArea* grid, std::function<void()> refresh);

    // Connect the notifier's signals here.
    void request();
    bool isPending() const { return m_pending; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tryNow();

    QPointer<QWidget> m_owner;
    std::function<void()> m_refresh;
    std::function<bool()> m_busy;
    bool m_pending = false;
    bool m_scheduled = false;
    QTimer m_retry;
};

}  // namespace widgets
