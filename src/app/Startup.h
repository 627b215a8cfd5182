#pragma once
#include "app/WindowRegistry.h"

namespace app {

// The program from start to exit: date format check, log-in, main window, message loop, and the
// closing of the log-on record. Returns the process exit code.
int RunApplication(const Composition& composition);

}  // namespace app
