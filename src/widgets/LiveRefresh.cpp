#include "widgets/LiveRefresh.h"

#include "widgets/Guard.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QScrollBar>
#include <QEvent>
#include <QWidget>

namespace widgets {

LiveRefresh::LiveRefresh(QWidget* owner, std::function<void()> refresh, std::function<bool()> busy)
    : QObject(owner), m_owner(owner), m_refresh(std::move(refresh)), m_busy(std::move(busy)) {
    owner->installEventFilter(this);
    // While something modal stands over the window, look again now and then.
    m_retry.setInterval(250);
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &LiveRefresh::tryNow);
}

std::function<void()> LiveRefresh::KeepingScroll(QAbstractScrollArea* grid, std::function<void()> refresh) {
    return [grid, refresh = std::move(refresh)] {
        const int scroll = grid->verticalScrollBar()->value();
        refresh();
        grid->verticalScrollBar()->setValue(scroll);
    };
}

void LiveRefresh::request() {
    m_pending = true;
    if (m_scheduled) return;
    m_scheduled = true;
    // After the current event: the notice may come from inside the window's own save.
    QTimer::singleShot(0, this, [this] {
        m_scheduled = false;
        tryNow();
    });
}

bool LiveRefresh::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_owner && event->type() == QEvent::Show && m_pending) request();
    return QObject::eventFilter(watched, event);
}

void LiveRefresh::tryNow() {
    if (!m_pending || !m_owner) return;
    if (!m_owner->isVisible()) return;  // the Show event brings it back
    QWidget* modal = QApplication::activeModalWidget();
    const bool covered = modal && modal != m_owner->window();
    if (covered || (m_busy && m_busy())) {
        m_retry.start();
        return;
    }
    m_pending = false;
    Guard(m_owner, m_refresh);
}

}  // namespace widgets
