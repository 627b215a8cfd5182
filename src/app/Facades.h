#pragma once
#include <QDateTime>
#include <QString>
#include <functional>

class QWidget;

// How one subsystem opens another's windows without knowing their classes. The composition root
// (src/molarix) fills them in at start-up; an empty function means the window does not exist in
// this program (its button stays disabled).
namespace app {

// The consultation window filtered to a patient, or on one request (marker 1) or consultation
// (marker 2) with its key. A request with startVisit set is the patient's visit: a new
// consultation is started from it (or the one made from it already is shown).
struct ConsultationTarget {
    int patientKey = 0;
    int documentKey = 0;
    int marker = 0;  // 0 = the patient's consultations, 1 = a request, 2 = a consultation
    bool startVisit = false;
};

struct PatientsFacade {
    // The patient list as a modal picker positioned on the key; the chosen key, or 0.
    std::function<int(QWidget* parent, int currentKey)> pick;
    // The patient card: key 0 = new, negative = copy of -key, positive = edit. Returns the saved
    // key, or 0 when the card was closed without saving.
    std::function<int(QWidget* parent, int key, bool historyPage)> edit;
};

struct ReferencesFacade {
    // A reference list (N_AGENTS, N_PRECE, ...) as a modal picker; the chosen key, or 0.
    std::function<int(QWidget* parent, const QString& table, int currentKey)> pick;
};

// The appointment the editor opens: an existing one by key, or a new one (key 0) in the clicked
// slot of a specialist's column (roomKey 0) or of a room's column (specialistKey 0).
struct AppointmentTarget {
    int appointmentKey = 0;
    int specialistKey = 0;
    int roomKey = 0;
    QDateTime slot;  // the slot's date and start time; for an existing appointment its column's date
};

struct CalendarFacade {
    // The appointment editor, modal. True when it saved or cancelled the appointment.
    std::function<bool(QWidget* parent, const AppointmentTarget& target)> openAppointment;
};

struct ConsultationsFacade {
    std::function<void(QWidget* parent, const ConsultationTarget& target)> open;
};

struct BillingFacade {
    std::function<void(QWidget* parent, int invoiceKey)> openInvoice;
};

struct Facades {
    PatientsFacade patients;
    ReferencesFacade references;
    CalendarFacade calendar;
    ConsultationsFacade consultations;
    BillingFacade billing;
};

}  // namespace app
