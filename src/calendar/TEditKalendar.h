#pragma once
#include "app/Facades.h"
#include "app/Session.h"
#include "calendar/AppointmentStore.h"

#include <QDialog>
#include <QHash>
#include <functional>

class QButtonGroup;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace widgets {
class LookupCombo;
}

namespace calendar {

// The appointment editor "Pieteikums vizītei": one appointment (consultation request) new at a
// slot of the planner or stored, its patient, staff, room, type, planned time and duration, call
// and prosthetic-material state; saving, cancelling, the waiting list and the hand-over to a
// visit. Modal; accepted when the appointment was saved or cancelled.
class TEditKalendar : public QDialog {
    Q_OBJECT
public:
    explicit TEditKalendar(app::Session& session, QWidget* parent = nullptr);
    ~TEditKalendar() override;

    // Opens the appointment of the target: a stored one by key, or a new one at the slot. False
    // when the stored one is not there.
    bool start(const app::AppointmentTarget& target);

    // "&Saglabāt pieteikumu": the checks, then the save; the window closes when it is stored.
    bool save();
    // "&Noraidīt": asks, then marks the appointment cancelled and closes.
    bool cancelAppointment();
    // "Klients": the patient list as a picker.
    void pickPatient();
    // The patient of the appointment, with the name shown.
    void setPatient(int key);
    // The small button beside the patient: the patient's card.
    void showPatientCard();
    // "Gaiditāji": the waiting requests that fit the slot; the chosen one is loaded into it.
    void openWaitingList();
    // Loads the waiting request into the slot shown now: the slot's date and time, the specialist
    // shown (and the room, when the slot is a room's).
    void takeWaiting(int key);
    // "Apmeklējums": the consultation made from this appointment, or a new one from it.
    void visit();

    int key() const { return m_row.isn; }
    int savedKey() const { return m_savedKey; }
    const Appointment& appointment() const { return m_row; }

    // Controls by the column they edit ("NUMURS", "DATUMS", "PLAN_DAT", "PLAN_LAIKS",
    // "PLAN_ILGUMS", "ISKLIENTS" (the patient's name box), "PIEZIMES").
    QWidget* field(const QString& column) const;
    // "ISPIETEICEJS", "ISIZPILDITAJS", "ISASISTENTS", "ISKABINETS", "ISVEIDS".
    widgets::LookupCombo* lookup(const QString& column) const;
    // "btSaglabat", "btAizvert", "btNoraidit", "btKlients", "btKlientsInfo", "btGaiditaji",
    // "btApmeklejums".
    QPushButton* button(const QString& name) const;
    QButtonGroup* callStatus() const { return m_rgSazvanit; }
    QButtonGroup* prostheticMaterial() const { return m_rgProtez; }

private:
    void fill();
    void collect();
    void applyState();
    void focusField(const QString& column);
    void message(const QString& text);
    bool store();
    // Runs a save or cancel; a refusal or database error is shown and answers false.
    bool write(const std::function<void()>& change);

    app::Session& m_session;
    AppointmentStore m_store;
    Appointment m_row;
    int m_savedKey = 0;
    // The slot came from a room's column: a waiting request loaded into it takes the room too.
    bool m_roomSlot = false;
    bool m_mayChange = false;
    bool m_mayAdd = false;
    bool m_mayDelete = false;

    QLineEdit* m_edNumurs;
    QDateEdit* m_dtpDatums;
    QDateEdit* m_dtpPlanDat;
    QComboBox* m_cbPlanLaiks;
    QComboBox* m_cbIlgums;
    QLineEdit* m_edKlients;
    QPlainTextEdit* m_edPiezimes;
    QButtonGroup* m_rgSazvanit;
    QButtonGroup* m_rgProtez;
    QHash<QString, widgets::LookupCombo*> m_lookups;
};

}  // namespace calendar
