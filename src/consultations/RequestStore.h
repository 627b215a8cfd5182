#pragma once
#include "db/BatchFetch.h"

#include <memory>
#include "app/StoreResult.h"
#include "calendar/AppointmentStore.h"
#include "consultations/RequestList.h"
#include "db/Database.h"

#include <QCoreApplication>
#include <array>
#include <optional>

namespace consultations {

// The requester, specialist and consultation type a new request starts with (the settings of
// the consultation register, shared with the appointment editor).
struct RequestDefaults {
    int taker = 1;
    int specialist = 1;
    int type = 0;
};

// The requests tab's data. Requests are the calendar's appointments (O_KONSULT_PIET_HD): reading,
// saving with the request-number rules and cancelling go through calendar::AppointmentStore, so
// that both windows keep one set of rules; the checks here are the requests tab's, in its order.
// Database errors propagate as db::DbError; a save or reject over another workstation's later
// change throws db::StaleRowError and writes nothing.
class RequestStore {
    Q_DECLARE_TR_FUNCTIONS(TKonsultacijas)
public:
    explicit RequestStore(db::Database& database);

    db::ResultSet list(const RequestFilter& filter, const QString& sortField = QString());
    // The same list read in batches: a window shows the first rows at once.
    std::unique_ptr<db::BatchFetch> fetchList(const RequestFilter& filter, const QString& sortField = QString());

    // A new request: taken today and planned for today at 09:00 for an hour, the default
    // requester, specialist and type, no patient, to be called back, the next number.
    calendar::Appointment create(const RequestDefaults& defaults, const QDate& today = QDate::currentDate());
    std::optional<calendar::Appointment> load(int key);
    QString nextNumber();

    // The checks before saving, in their order; the first failing one answers with its message
    // and the field to focus (named by its column; "DIENA3_NO" for a weekday's time). The number
    // is trimmed and the planned time padded on the way.
    app::CardCheck validate(calendar::Appointment& request);
    // Stores a checked request (journal "J" or "L") and commits. A new one whose number is taken
    // takes the next free one (AppointmentSave::takenNumbers says which were taken).
    calendar::AppointmentSave save(const calendar::Appointment& request, int userIsn);
    // "Noraidīt" and its undoing: only the mark DZESTS.
    void reject(const calendar::Appointment& request, int userIsn);
    void undoReject(const calendar::Appointment& request, int userIsn);

    // Staff ("UZVARDS VARDS"), rooms and consultation types for the look-ups.
    QVector<QPair<int, QString>> staffList();
    QVector<QPair<int, QString>> roomList();
    QVector<QPair<int, QString>> typeList();

    // The clinic's working days (N_ISI.DARBADIENA_1..7), Monday first.
    std::array<bool, 7> workingDays();
    QString patientName(int key);

    static RequestDefaults ReadDefaults();
    static void RememberDefaults(const calendar::Appointment& request);
    // Weekday captions, Monday first: "Pr", "Ot", "Tr", "Ce", "Pk", "Se", "Sv".
    static QStringList WeekdayCaptions();

private:
    db::Database& m_db;
};

}  // namespace consultations
