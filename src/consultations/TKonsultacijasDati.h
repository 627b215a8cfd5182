#pragma once
#include "app/StoreResult.h"
#include "consultations/Consultation.h"
#include "consultations/ConsultationList.h"
#include "db/Database.h"

#include <QCoreApplication>
#include <QPair>
#include <QVector>
#include <optional>

namespace consultations {

// What a save did: the key stored, or the refusal (nothing was stored).
struct ConsultationSave {
    int key = 0;
    app::CardCheck refusal;
    bool ok() const { return refusal.ok(); }
};

// A consultation started from a request, or why none could be.
struct VisitStart {
    std::optional<Consultation> consultation;
    // The duration of the request, for the window's duration field.
    QString duration;
    // A consultation made from the request already: shown instead of a new one.
    int existingKey = 0;
    QString message;
};

// The consultation register's data: the look-ups, the list, a new consultation, one read by
// key, the checks in their order, the save, rejecting and its undoing. Database errors propagate
// as db::DbError; a save or reject over another workstation's later change throws
// db::StaleRowError and writes nothing.
class TKonsultacijasDati {
    Q_DECLARE_TR_FUNCTIONS(TKonsultacijas)
public:
    static constexpr const char* Table = "O_KONSULTACIJA_HD";
    // The settings section of the register, shared with the appointment editor.
    static constexpr const char* SettingsSection = "Konsultacijas";

    explicit TKonsultacijasDati(db::Database& database);

    // Staff (specialists and assistants; "UZVARDS VARDS"), rooms and consultation types.
    QVector<QPair<int, QString>> staff();
    QVector<QPair<int, QString>> rooms();
    QVector<QPair<int, QString>> types();

    db::ResultSet list(const ConsultationFilter& filter, const ConsultationSort& sort);

    // A new consultation started at the given moment: today, from now for an hour, the default
    // specialist and type, no patient, the next number.
    Consultation create(const ConsultationDefaults& defaults, const QDateTime& now = QDateTime::currentDateTime());
    // A new consultation for the patient's visit on a request: its patient, staff, room, type and
    // notes, its planned time, and the request's number with the next plain number after "-".
    VisitStart createFromRequest(int requestKey, const QDateTime& now = QDateTime::currentDateTime());
    std::optional<Consultation> load(int key);
    QString nextNumber();
    // "UZVARDS VARDS" of a patient; empty when there is none or none is chosen (key 1).
    QString patientName(int key);
    // The first and last day of the patient's consultations (invalid dates when there is none).
    QPair<QDate, QDate> patientPeriod(int patient);

    // The checks before saving, in their order; the first failing one answers with its message
    // and the field to focus (named by its column). Times and number are trimmed and the hours
    // padded on the way.
    app::CardCheck validate(Consultation& consultation);
    // Stores a checked consultation with the audit columns and the journal entry in one
    // transaction; DATUMS gets the time of day of `now`. A number that another workstation took
    // meanwhile is refused like any duplicate.
    ConsultationSave save(const Consultation& consultation, int userIsn,
                          const QDateTime& now = QDateTime::currentDateTime());
    // Stores the dental chart of a stored consultation that is being edited, without its other
    // columns; returns the row's new change stamp (the edit goes on from it). A row another
    // workstation changed since it was read is refused (db::StaleRowError) and nothing is written.
    QVariant saveChart(const Consultation& consultation, const QString& chart, int userIsn,
                       const QDateTime& now = QDateTime::currentDateTime());
    // Marks the consultation rejected (DZESTS = 1) with a journal entry "D", or takes the mark
    // away again ("L"). A locked day refuses both with the message returned.
    QString reject(const Consultation& consultation, int userIsn);
    QString undoReject(const Consultation& consultation, int userIsn);

    static ConsultationDefaults ReadDefaults();
    static void RememberDefaults(const Consultation& consultation);

    static QString DuplicateMessage(const QString& number);
    static QString LockedDayMessage();

private:
    QString setRejected(const Consultation& consultation, bool rejected, int userIsn);
    db::Database& m_db;
};

}  // namespace consultations
