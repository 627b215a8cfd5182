// The requests tab as it opens: the requests taken in the busiest month, with the date of the
// consultation made from each in the same statement, and the current request read; against the
// bare list SQL. Also the next request number of "Jauns".
#include "BenchCase.h"
#include "consultations/RequestStore.h"

namespace {

struct Choices {
    QString attached;
    consultations::RequestFilter month;
};

// The month with the most requests taken; found once per database.
const Choices& choices(db::Database& d) {
    static Choices c;
    if (c.attached == d.connectionString()) return c;
    c.attached = d.connectionString();
    const db::ResultSet busiest = d.select(QStringLiteral(
        "SELECT FIRST 1 EXTRACT(YEAR FROM DATUMS) Y, EXTRACT(MONTH FROM DATUMS) M FROM O_KONSULT_PIET_HD "
        "GROUP BY 1, 2 ORDER BY COUNT(*) DESC"));
    const QDate first = busiest.isEmpty() ? QDate::currentDate()
                                          : QDate(busiest.value(0, 0).toInt(), busiest.value(0, 1).toInt(), 1);
    c.month.from = first;
    c.month.to = first.addMonths(1).addDays(-1);
    return c;
}

bench::BenchCase::Registrar month({
    QStringLiteral("requests: the busiest month, listed with the consultation dates and the current one read"),
    [](db::Database& d) {
        consultations::RequestStore store(d);
        const db::ResultSet rows = store.list(choices(d).month);
        if (!rows.isEmpty()) bench::consume(QVariant(store.load(rows.value(0, 0).toInt())->number));
        bench::consume(qint64(rows.rowCount()));
    },
    [](db::Database& d) {
        const consultations::ListQuery q = consultations::RequestListQuery(choices(d).month);
        bench::consume(qint64(d.select(q.sql, q.params).rowCount()));
    },
    35,
});

// What the tab does when it opens on that month: its first screenful (the rest is read in steps
// afterwards) and the current request read.
bench::BenchCase::Registrar monthOpens({
    QStringLiteral("requests: the tab opening on the busiest month (first screenful + current one read)"),
    [](db::Database& d) {
        consultations::RequestStore store(d);
        auto fetch = store.fetchList(choices(d).month);
        const db::ResultSet rows = fetch->next(200);
        if (!rows.isEmpty()) bench::consume(QVariant(store.load(rows.value(0, 0).toInt())->number));
        bench::consume(qint64(rows.rowCount()));
    },
    {},
    36,
});

bench::BenchCase::Registrar nextNumber({
    QStringLiteral("requests: the next request number of a new request"),
    [](db::Database& d) { bench::consume(QVariant(consultations::RequestStore(d).nextNumber())); },
    {},
    36,
});

}  // namespace
