#pragma once
#include "app/StoreResult.h"
#include "db/Database.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <array>
#include <optional>

namespace calendar {

// A weekday on which a patient waiting for an earlier slot can come, and between which times
// ("hh:nn"; empty leaves that side of the day open). Stored as DIENAn ("V" yes, "N" no),
// DIENAn_NO and DIENAn_LIDZ.
struct WeekdayTimes {
    bool on = false;
    QString from;
    QString until;
    bool operator==(const WeekdayTimes&) const = default;
};

// One appointment (a consultation request, O_KONSULT_PIET_HD) as the editor shows it. Keys of 0
// mean "nothing chosen"; the waiting-list columns other than the flag are not edited here.
struct Appointment {
    int isn = 0;               // 0 = not stored yet
    QString number;            // NUMURS as typed; stored right-aligned (see PadNumber)
    QDateTime requestDate;     // DATUMS, the day the request was taken
    QDateTime plannedDate;     // PLAN_DAT
    QString plannedTime;       // PLAN_LAIKS, "hh:nn"
    QString duration;          // PLAN_ILGUMS, "hh:mm"
    int patient = 1;           // ISKLIENTS; 1 is the default row "not set"
    int taker = 0;             // ISPIETEICEJS
    int specialist = 0;        // ISIZPILDITAJS
    int assistant = 0;         // ISASISTENTS, optional
    int room = 0;              // ISKABINETS
    int type = 0;              // ISVEIDS
    QString notes;             // PIEZIMES
    int callStatus = 0;        // CALL_STATUS: 0 no call needed, 1 to call, 2 called
    int prostheticMaterial = 0;  // PROTEZ_MATERIALS: 0 not needed, 1 needed, 2 arrived, 3 handed over
    bool waiting = false;      // PIRMS_DATUMA = 1: the patient waits for an earlier slot
    std::array<WeekdayTimes, 7> days;  // Monday first; only meaningful while waiting
    bool emailSent = false;    // ISEMAILSENT, set by the reminders
    bool smsSent = false;      // ISSMSSENT
    QString patientName;       // "UZVARDS VARDS" of the patient
    QVariant readStamp;        // IEVDAT_EDIT as read; a save over a later change is refused
};

// The request taker and consultation type a new appointment starts with.
struct AppointmentDefaults {
    int taker = 1;
    int type = 1;
};

// What a save did: the key and the number stored, and the numbers that were found taken on the
// way (each replaced by the next free one; the user is told).
struct AppointmentSave {
    int key = 0;
    QString number;
    QStringList takenNumbers;
    // A refusal; nothing was stored.
    QString message;
    bool ok() const { return message.isEmpty(); }
};

// The consultation already made from an appointment.
struct VisitConsultation {
    int key = 0;
    QDateTime date;
};

// The appointment editor's data: a new appointment at a slot, reading one, the checks in their
// order, the save with the request-number loop, cancelling, the waiting list and the look-ups.
// Database errors propagate as db::DbError; a save or cancel over another workstation's later
// change throws db::StaleRowError and writes nothing.
class AppointmentStore {
    Q_DECLARE_TR_FUNCTIONS(TEditKalendar)
public:
    // Width of O_KONSULT_PIET_HD.NUMURS: request numbers are padded on the left with blanks to it
    // so that they sort and compare as text in numeric order.
    static constexpr int NumberWidth = 20;
    // The settings section whose values the consultation window shares.
    static constexpr const char* SettingsSection = "Konsultacijas";

    explicit AppointmentStore(db::Database& database);

    // Look-ups: staff (N_AGENTS, ISN > 1, "UZVARDS VARDS"), rooms (ISN > 1, by name) and
    // consultation types (TIPS empty or 0, by name).
    QVector<QPair<int, QString>> staff();
    QVector<QPair<int, QString>> rooms();
    QVector<QPair<int, QString>> types();

    // A new appointment in the slot of a specialist's column (roomKey 0) or of a room's column
    // (specialistKey 0; the specialist is then left to choose). Without a room key the first room
    // by name is taken.
    Appointment create(int specialistKey, int roomKey, const QDateTime& slot, const AppointmentDefaults& defaults);
    // The stored appointment, or nothing when it is not there.
    std::optional<Appointment> load(int key);
    // One more than the greatest request number by value; empty when the greatest is not a number.
    QString nextNumber();
    // "UZVARDS VARDS" of a patient; empty when there is none.
    QString patientName(int key);

    static QString PadNumber(const QString& number);
    // A time with a one-digit hour ("9:30") gets a leading zero.
    static QString NormaliseTime(const QString& time);

    // The checks before saving, in their order; the first failing one answers with its message
    // and the control to focus (named by its column, "ISKLIENTS" for the patient button). The
    // planned time and the number are normalised on the way.
    app::CardCheck validate(Appointment& appointment, bool mayCreate);

    // Stores the appointment (checked before) with the audit columns and the journal entry in one
    // transaction. A new one takes the next free number when its own is taken already, also when
    // another workstation took it at the same moment.
    AppointmentSave save(const Appointment& appointment, int userIsn);
    // Marks a stored appointment cancelled (DZESTS = 1); the row stays.
    void cancel(const Appointment& appointment, int userIsn);
    // Takes the cancel mark away again (journal "L").
    void restore(const Appointment& appointment, int userIsn);

    // The defaults of new appointments kept in the settings store, and their update after a new
    // appointment was saved.
    static AppointmentDefaults ReadDefaults();
    static void RememberDefaults(const Appointment& appointment);

    // Requests waiting for an earlier slot that fit this one: the flag set, the slot's weekday
    // marked "V" with the slot time within that day's from/until times (an empty time leaves that
    // side open), planned after the slot's date and not cancelled. Every column of the request,
    // with KVARDS, KUZVARDS (patient) and AVARDS, AUZVARDS (specialist). Empty for a slot time
    // that is not a time.
    db::ResultSet waitingList(const QDate& slotDate, const QString& slotTime);

    // The consultation made from the appointment: one with its key, or numbered after its request
    // number ("57" or "57-3").
    std::optional<VisitConsultation> visitConsultation(int key, int patient, const QString& number);
    // The number of a consultation made from a request: the request number, "-" and one more
    // than the greatest plain consultation number ("-1" when there is none).
    QString visitNumber(const QString& requestNumber);

    static QString NumberTakenMessage(const QString& number);

private:
    QVector<QPair<int, QString>> lookup(const QString& sql);
    QString followingNumber(db::Transaction& tx, const QString& current);
    int insert(db::Transaction& tx, const Appointment& a, const QString& number, int userIsn);
    void update(db::Transaction& tx, const Appointment& a, const QString& number, int userIsn);
    void setCancelled(const Appointment& a, bool cancelled, int userIsn);

    db::Database& m_db;
};

}  // namespace calendar
