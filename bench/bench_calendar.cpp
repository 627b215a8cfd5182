// The planner's week of every specialist: what one rebuild reads and lays out, against the bare
// SQL of its appointment query, and against reading one column at a time.
#include "BenchCase.h"
#include "calendar/CalendarLayout.h"
#include "calendar/PlannerStore.h"

namespace {

// The busiest week of the database, all specialists, 8:00 to 21:00; found once per database.
calendar::PlannerQuery busiestWeek(db::Database& d) {
    static calendar::PlannerQuery query;
    static QString attached;
    if (attached == d.connectionString()) return query;
    attached = d.connectionString();
    const QDate busiest = d.scalar(QStringLiteral("SELECT FIRST 1 PLAN_DAT FROM O_KONSULT_PIET_HD WHERE "
                                                  "(DZESTS IS NULL OR DZESTS=0) GROUP BY PLAN_DAT ORDER BY COUNT(*) DESC"))
                              .toDateTime()
                              .date();
    calendar::PlannerStore store(d);
    query = {};
    query.settings = store.settings();
    query.days = calendar::ShownDays(busiest.isValid() ? busiest : QDate::currentDate(), calendar::Interval::Week,
                                     query.settings.workingDays);
    query.kind = calendar::ColumnKind::Specialists;
    query.resources = store.specialists();
    query.range = {8, 21};
    return query;
}

void layOut(const calendar::PlannerData& data, const calendar::PlannerQuery& q) {
    calendar::CalendarLayout layout(q.range, 100, int(data.columns.size()));
    layout.setPictureSize({1300, 650});
    bench::consume(qint64(layout.placeBlocks(data.blocks).size()));
}

bench::BenchCase::Registrar week({
    QStringLiteral("planner: busiest week of all specialists, read and laid out"),
    [](db::Database& d) {
        const calendar::PlannerQuery q = busiestWeek(d);
        const calendar::PlannerData data = calendar::PlannerStore(d).read(q);
        layOut(data, q);
    },
    [](db::Database& d) {
        const calendar::PlannerQuery q = busiestWeek(d);
        db::Params params{{QStringLiteral("PLAN_NO"), QDateTime(q.days.first(), QTime(0, 0))},
                          {QStringLiteral("PLAN_LIDZ"), QDateTime(q.days.last(), QTime(0, 0))}};
        for (int k = 0; k < q.resources.size(); ++k) params.insert(QStringLiteral("K%1").arg(k), q.resources.at(k).key);
        bench::consume(qint64(d.select(calendar::PlannerStore::RangeSql(int(q.resources.size()), q.kind), params).rowCount()));
    },
    20,
});

bench::BenchCase::Registrar weekPerColumn({
    QStringLiteral("planner: the same week read one column at a time"),
    [](db::Database& d) {
        const calendar::PlannerQuery q = busiestWeek(d);
        layOut(calendar::PlannerStore(d).readPerColumn(q), q);
    },
    {},
    21,
});

}  // namespace
