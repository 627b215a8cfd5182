#pragma once
#include <QIcon>
#include <QString>

namespace app {

// The program's icon (window manager, task bar).
QIcon ApplicationIcon();

// The pictures of the main window's tool bar, drawn rather than loaded so that the program needs
// no image files: "calendar", "consultations", "invoices", "payments", "patients", "minimise",
// "exit". An unknown name gives an empty icon.
QIcon ToolIcon(const QString& name);

}  // namespace app
