#pragma once
#include <QString>
#include <QVector>

namespace app {

// The windows that the main window opens. Each is a single instance: created on first use, then
// shown again and brought forward.
enum class WindowId {
    PatientList,
    PatientGroups,
    PriceList,
    Specialists,
    Rooms,
    Districts,
    NameDays,
    ConsultationTypes,
    Banks,
    UserGroups,
    Calendar,
    Consultations,
    Invoices,
    Payments,
    SystemSettings,
    UsersAndRights,
    Archive,
    DayLocks,
    MassMessages,
    OperationJournal,
};

// One line of the window catalogue: everything the menu, the tool bar, the rights window and the
// menu gating know of a window. The factory is registered separately by the composition root,
// which alone knows the window classes.
struct WindowEntry {
    WindowId id;
    QString rightsCode;     // "00" .. "15"; empty for a window no right gates
    QString rightsCaption;  // its caption in the rights window
    QString menuPath;       // menu titles from the menu bar down, separated by "/"
    QString caption;        // menu entry
    QString toolCaption;    // tool-bar button; empty for none
    int toolPlace = 0;      // order on the tool bar; a new tens digit starts a group after a gap
    bool separatorBefore = false;
};

// The catalogue in menu order.
const QVector<WindowEntry>& WindowCatalogue();
const WindowEntry* FindWindowEntry(WindowId id);

}  // namespace app
