#pragma once
#include <memory>

class QWidget;

namespace app {

class TMainFormDati;

// Creates the main window after a successful log-on. Returns nullptr when the window's own
// start-up did not complete; the start-up then ends the program.
std::unique_ptr<QWidget> CreateMainWindow(TMainFormDati& dati);

}  // namespace app
