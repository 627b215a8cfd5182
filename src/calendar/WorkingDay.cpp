#include "calendar/WorkingDay.h"

#include "app/TimeText.h"

namespace calendar {

using app::DurationSlots;
using app::HourDivisionMinutes;
using app::IsValidTime;
using app::WorkingHourSlots;

QStringList FillWorkingHours(db::Database& database) {
    const db::ResultSet r =
        database.select(QStringLiteral("SELECT DARBA_LAIKS_NO, DARBA_LAIKS_LIDZ, STUNDU_DALIJUMS FROM N_ISI"));
    QString from = r.first(QStringLiteral("DARBA_LAIKS_NO")).toString();
    QString to = r.first(QStringLiteral("DARBA_LAIKS_LIDZ")).toString();
    // A value shorter than "hh:mm" (e.g. "7:00") or unreadable falls back to the usual day.
    if (from.size() < 5 || !IsValidTime(from)) from = QStringLiteral("08:00");
    if (to.size() < 5 || !IsValidTime(to)) to = QStringLiteral("21:00");
    const int step = HourDivisionMinutes(r.first(QStringLiteral("STUNDU_DALIJUMS")).toInt());
    return WorkingHourSlots(from, to, step);
}

QStringList FillDurations(db::Database& database) {
    const int division = database.scalar(QStringLiteral("SELECT STUNDU_DALIJUMS FROM N_ISI")).toInt();
    return DurationSlots(HourDivisionMinutes(division));
}

}  // namespace calendar
