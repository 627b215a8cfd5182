// The calendar window's reminders page as it is shown: its three lists read for today. The
// prophylaxis list walks every treatment line of the items with a reminder, so it is the one that
// grows with the clinic's history; the bare statement is its SQL, unordered, with the items bound.
#include "BenchCase.h"
#include "calendar/ReminderStore.h"

#include <QDate>

namespace {

bench::BenchCase::Registrar prophylaxis({
    QStringLiteral("reminders: the prophylaxis list of today"),
    [](db::Database& d) {
        bench::consume(qint64(calendar::ReminderStore(d).prophylaxis(QDate::currentDate()).size()));
    },
    [](db::Database& d) {
        db::Params params{{QStringLiteral("TODAY"), QDate::currentDate()}};
        const db::ResultSet items = d.select(QStringLiteral("SELECT ISN FROM N_PRECE WHERE FIRST_NOTIF > 0"));
        for (int r = 0; r < items.rowCount(); ++r) params.insert(QStringLiteral("P%1").arg(r), items.value(r, 0));
        bench::consume(qint64(d.select(calendar::ReminderStore::ProphylaxisSql(items.rowCount()), params).rowCount()));
    },
    25,
});

bench::BenchCase::Registrar holidays({
    QStringLiteral("reminders: birthdays and name days of today's window"),
    [](db::Database& d) { bench::consume(qint64(calendar::ReminderStore(d).holidays(QDate::currentDate()).size())); },
    {},
    26,
});

bench::BenchCase::Registrar appointments({
    QStringLiteral("reminders: the appointments of the coming days"),
    [](db::Database& d) {
        bench::consume(qint64(calendar::ReminderStore(d).appointments(QDate::currentDate()).size()));
    },
    {},
    27,
});

}  // namespace
