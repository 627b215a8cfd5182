#pragma once
#include "app/WindowRegistry.h"

#include <memory>

class QWidget;

namespace app {

class TMainFormDati;

// Creates the main window after a successful log-on. Returns nullptr when the window's own
// start-up did not complete; the start-up then ends the program.
// The composition registers the windows and facades first.
// The windows of the application shell itself: users and rights, day locks, system settings.
void RegisterAppWindows(WindowRegistry& registry);

std::unique_ptr<QWidget> CreateMainWindow(TMainFormDati& dati, const Composition& composition);

}  // namespace app
