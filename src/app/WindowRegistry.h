#pragma once
#include "app/WindowCatalogue.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QVector>
#include <QWidget>
#include <functional>

namespace app {

class Session;

// The factories of the windows and their live instances, owned by the main window. A window
// without a registered factory shows as a disabled entry.
class WindowRegistry {
public:
    // Makes the window (not yet shown). The parent is the main window; the window should be a
    // top-level one (Qt::Window) so that it is not drawn inside the main window.
    using Factory = std::function<QWidget*(Session& session, QWidget* mainWindow)>;

    void add(WindowId id, Factory factory);
    bool has(WindowId id) const;
    // Creates the window on first use, then shows it non-modally and brings it forward. Returns
    // the instance, or nullptr when no factory is registered.
    QWidget* open(WindowId id, Session& session, QWidget* mainWindow);
    // The instance, created on first use but not shown (a window that works for the main window
    // without being opened, like the archive for the archive timer); nullptr without a factory.
    QWidget* instantiate(WindowId id, Session& session, QWidget* mainWindow);
    // The live instance, if it was opened and not destroyed.
    QWidget* instance(WindowId id) const;

private:
    struct Slot {
        Factory factory;
        QPointer<QWidget> instance;
    };
    QHash<int, Slot> m_slots;
};

// What the composition root does before the main window is made: registers every subsystem's
// window factories and fills the session's facades.
using Composition = std::function<void(WindowRegistry& registry, Session& session)>;

}  // namespace app
