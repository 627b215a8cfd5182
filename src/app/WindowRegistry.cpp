#include "app/WindowRegistry.h"

#include <QHash>

namespace app {

namespace {

struct Entry {
    WindowRegistry::Factory factory;
    QPointer<QWidget> instance;
};

QHash<int, Entry>& entries() {
    static QHash<int, Entry> e;
    return e;
}

}  // namespace

void WindowRegistry::add(WindowId id, Factory factory) { entries()[int(id)].factory = std::move(factory); }

bool WindowRegistry::has(WindowId id) {
    const auto it = entries().constFind(int(id));
    return it != entries().cend() && bool(it->factory);
}

QWidget* WindowRegistry::open(WindowId id, QWidget* mainWindow) {
    auto it = entries().find(int(id));
    if (it == entries().end() || !it->factory) return nullptr;
    if (!it->instance) it->instance = it->factory(mainWindow);
    QWidget* w = it->instance;
    if (!w) return nullptr;
    if (w->isMinimized()) w->showNormal();
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

QWidget* WindowRegistry::instance(WindowId id) { return entries().value(int(id)).instance; }

void WindowRegistry::clearInstances() {
    for (auto& e : entries()) e.instance = nullptr;
}

}  // namespace app
