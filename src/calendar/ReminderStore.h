#pragma once
#include "db/Database.h"

#include <QCoreApplication>
#include <QDate>
#include <QList>
#include <QString>

namespace calendar {

// The patients the reminders page lists, and the send lists it starts with.
struct HolidayReminder {
    int patient = 0;
    QString text;    // "Šodien dzimšanas diena", "03.01 vārda diena"
    QString name;    // "Vārds Uzvārds"
    QString mobTel;
    QString email;
    QString day;     // the year-month-day text the holiday falls on within the window (for the order)
};

struct ProphylaxisReminder {
    int patient = 0;
    int line = 0;        // O_ARSTESANA_DT.ISN of the latest treatment with the item
    QString name;
    QString procedure;   // N_PRECE.GNOS
    QDate date;          // the consultation's date
    QString mobTel;
    QString email;
    bool smsDue = false;
    bool emailDue = false;
};

struct AppointmentReminder {
    int patient = 0;
    QString name;
    QString procedure;   // the consultation type of the patient's first appointment in the window
    QString mobTel;
    QString email;
    QList<QDateTime> times;  // every appointment of the patient in the window, in order
};

// The three reminder lists: birthdays and name days of the last N_ISI.REMIND_SVETKI_DIENAS days,
// treatments due to be repeated, and appointments of the next N_ISI.REMIND_KONSULTAC_DIENAS days.
// Shared by the reminders page and molarix-admin remind. Throws db::DbError.
class ReminderStore {
    Q_DECLARE_TR_FUNCTIONS(ReminderStore)
public:
    explicit ReminderStore(db::Database& database) : m_db(database) {}

    int holidayDays();
    int appointmentDays();

    // The window's two ends as year-month-day texts, each with its own year.
    static QPair<QString, QString> HolidayWindow(QDate today, int days);

    QList<HolidayReminder> holidays(QDate today);
    // Latest line of each patient and item with a reminder that is due by SMS or e-mail, ordered
    // by surname and first name (equal names by patient and item).
    QList<ProphylaxisReminder> prophylaxis(QDate today);
    // The prophylaxis statement: item keys bound as :P0... when boundItems > 0, otherwise every item
    // with FIRST_NOTIF > 0 joined; :TODAY the day the reminders are due by. Unordered.
    static QString ProphylaxisSql(int boundItems);
    // Beyond this many items with a reminder the statement joins the price list instead of binding
    // the keys (the engine takes at most 1500 values in a list).
    static constexpr int MaxBoundItems = 1000;
    // Appointments from `today` to `today` plus the reminder days, cancelled ones left out; each
    // patient once.
    QList<AppointmentReminder> appointments(QDate today);
    QList<AppointmentReminder> appointments(QDate from, QDate to);

private:
    int setting(const QString& column);
    db::Database& m_db;
};

}  // namespace calendar
