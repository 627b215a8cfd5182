#include "app/TAtlautasDienas.h"
#include "app/TLietotajuTiesibas.h"
#include "app/TMainFormDati.h"
#include "app/TSistemasIestatijumi.h"
#include "app/WindowRegistry.h"

namespace app {

// The windows of the application shell: users and rights, day locks, system settings. They work
// on the session's connection.
void RegisterAppWindows() {
    WindowRegistry::add(WindowId::UsersAndRights, [](QWidget* main) -> QWidget* {
        return new TLietotajuTiesibas(TMainFormDati::instance().database(), main);
    });
    WindowRegistry::add(WindowId::DayLocks, [](QWidget* main) -> QWidget* {
        return new TAtlautasDienas(TMainFormDati::instance().database(), main);
    });
    WindowRegistry::add(WindowId::SystemSettings, [](QWidget* main) -> QWidget* {
        return new TSistemasIestatijumi(TMainFormDati::instance().database(), main);
    });
}

}  // namespace app
