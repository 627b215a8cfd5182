#include "app/WindowRegistry.h"


namespace app {

void WindowRegistry::add(WindowId id, Factory factory) { m_slots[int(id)].factory = std::move(factory); }

bool WindowRegistry::has(WindowId id) const {
    const auto it = m_slots.constFind(int(id));
    return it != m_slots.cend() && bool(it->factory);
}

QWidget* WindowRegistry::instantiate(WindowId id, Session& session, QWidget* mainWindow) {
    auto it = m_slots.find(int(id));
    if (it == m_slots.end() || !it->factory) return nullptr;
    if (!it->instance) it->instance = it->factory(session, mainWindow);
    return it->instance;
}

QWidget* WindowRegistry::open(WindowId id, Session& session, QWidget* mainWindow) {
    QWidget* w = instantiate(id, session, mainWindow);
    if (!w) return nullptr;
    if (w->isMinimized()) w->showNormal();
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

QWidget* WindowRegistry::instance(WindowId id) const { return m_slots.value(int(id)).instance; }

}  // namespace app
