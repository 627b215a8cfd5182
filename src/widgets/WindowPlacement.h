#pragma once
#include <QRect>
#include <QString>

class QWidget;

namespace widgets {

// Where the program's windows open. The main window (the widget with the property
// "molarixMainWindow") covers the screen; every other window opens inside its work area, below its
// menu and tool bar and above its status bar, wholly on screen, at the place and size it had when
// it was last closed (settings section "Logi", one value per window: "left,top,width,height").
// A window with nothing remembered opens centred in the work area at its own size, shrunk to fit.
// A window with the property "molarixOwnPlace" places itself.

// The rectangle windows open in: the main window's middle (in global coordinates) while it is
// shown, else the available area of the screen the widget is on (or of the primary screen).
QRect WorkArea(const QWidget* widget = nullptr);

// A rectangle moved and, when it is larger, shrunk so that it lies wholly inside the area.
QRect FitInto(const QRect& rect, const QRect& area);

// The place a window opens at: the remembered rectangle fitted into the area, or, with nothing
// remembered, the given size centred in the area and fitted into it. frame is how much the window
// manager's frame adds around the window (left, top, right, bottom as a QRect of margins).
QRect OpeningPlace(const QRect& remembered, const QSize& size, const QRect& area, const QRect& frame = QRect());

// The name a window's place is remembered under (its object name, else its class name).
QString PlacementName(const QWidget* window);

// Applies the rules above to every top-level window of the application (dialogs and windows; not
// message boxes, menus, pop-ups, the start picture or the main window). The program installs it at
// start; tests do too. Installing twice does nothing.
void InstallWindowPlacement();

}  // namespace widgets
