#include "archive/ArchiveWindows.h"

#include "app/AutoArchive.h"
#include "app/TMolarixMain.h"
#include "archive/TArhivesana.h"

namespace archive {

void RegisterWindows(app::WindowRegistry& registry, app::Session& session) {
    registry.add(app::WindowId::Archive, [](app::Session& s, QWidget* mainWindow) -> QWidget* {
        return new TArhivesana(s, mainWindow);
    });
    // The timer's archive is the window's own action: the window is made for it when it was not
    // opened yet, and stays hidden.
    app::SetAutoArchiveAction([&session](QWidget* mainWindow) {
        auto* main = qobject_cast<app::TMolarixMain*>(mainWindow);
        if (!main) return;
        auto* window = qobject_cast<TArhivesana*>(
            main->registry().instantiate(app::WindowId::Archive, session, mainWindow));
        if (window) window->autoArchive();
    });
}

}  // namespace archive
