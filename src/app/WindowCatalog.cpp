#include "app/WindowRegistry.h"

// Registration functions of the subsystems' windows. Add one declaration and one call per
// subsystem; nothing else in the main window needs to know a window class.
namespace patients {
void RegisterPriceListWindow();
void RegisterWindows();
}

namespace app {

void RegisterAppWindows();

void RegisterAllWindows() {
    static bool done = false;
    if (done) return;
    done = true;
    patients::RegisterPriceListWindow();
    patients::RegisterWindows();
    RegisterAppWindows();
}

}  // namespace app
