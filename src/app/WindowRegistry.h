#pragma once
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

namespace app {

// The windows that the main window opens. Each is a single instance: created on first use, then
// shown again and brought forward.
enum class WindowId {
    PatientList,        // "00"
    PatientGroups,      // "01" generic list N_KLGRUPA
    PriceList,          // "02"
    Specialists,        // "03" generic list N_AGENTS
    Rooms,              // "04" generic list N_KABINETI
    Districts,          // "05" generic list N_RAJONS
    NameDays,           // "06" generic list N_SVETKI
    ConsultationTypes,  // "07" generic list N_VEIDI
    Banks,              // "08" generic list N_BANKA
    UserGroups,         // "09" generic list N_USERGROUP
    Calendar,           // "10"
    Consultations,      // "11"
    Invoices,
    Payments,
    SystemSettings,     // "12"
    UsersAndRights,     // "13"
    Archive,            // "14"
    DayLocks,           // "15"
    MassMessages,
};

// Where each subsystem tells the main window how to make its windows, so that the main window
// knows no window class and a subsystem added later needs no change there. A window without a
// registered factory shows as a disabled entry.
class WindowRegistry {
public:
    // Makes the window (not yet shown). The parent is the main window; the window should be a
    // top-level one (Qt::Window) so that it is not drawn inside the main window.
    using Factory = std::function<QWidget*(QWidget* mainWindow)>;

    static void add(WindowId id, Factory factory);
    static bool has(WindowId id);
    // Creates the window on first use, then shows it non-modally and brings it forward. Returns
    // the instance, or nullptr when no factory is registered.
    static QWidget* open(WindowId id, QWidget* mainWindow);
    // The live instance, if it was opened and not destroyed.
    static QWidget* instance(WindowId id);
    // Forgets every instance (not the factories); used when the main window goes.
    static void clearInstances();
};

// Registers the windows of every subsystem. Called once by the start-up before the main window
// is made; each subsystem adds one line here for its own registration function.
void RegisterAllWindows();

}  // namespace app
