#include "app/MainWindowFactory.h"
#include "app/TAtlautasDienas.h"
#include "app/TLietotajuTiesibas.h"
#include "app/TSistemasIestatijumi.h"

namespace app {

void RegisterAppWindows(WindowRegistry& registry) {
    registry.add(WindowId::UsersAndRights,
                 [](Session& s, QWidget* main) -> QWidget* { return new TLietotajuTiesibas(s, main); });
    registry.add(WindowId::DayLocks, [](Session& s, QWidget* main) -> QWidget* { return new TAtlautasDienas(s, main); });
    registry.add(WindowId::SystemSettings,
                 [](Session& s, QWidget* main) -> QWidget* { return new TSistemasIestatijumi(s, main); });
}

}  // namespace app
