// The operation journal opened on its default month: the operations with their users, tables and
// log-ons, into the grid's model.
#include "BenchCase.h"
#include "journal/JournalStore.h"
#include "models/ResultTableModel.h"

namespace {

journal::JournalFilter lastMonth(db::Database& d) {
    // The month up to the newest journal row, so that a database generated long ago still has one.
    const QDate last = d.scalar(QStringLiteral("SELECT MAX(IEVDAT) FROM O_OPERACIJAS")).toDate();
    journal::JournalFilter f;
    f.to = last.isValid() ? last : QDate::currentDate();
    f.from = f.to.addMonths(-1).addDays(1);
    return f;
}

bench::BenchCase::Registrar month({
    QStringLiteral("operation journal: a month of operations into the grid"),
    [](db::Database& d) {
        static journal::JournalFilter f;
        if (!f.to.isValid()) f = lastMonth(d);
        models::ResultTableModel model;
        model.setColumns({{"IEVDAT", "Datums", "dd.MM.yyyy", {}}, {"LIETOTAJS", "Lietotājs", "", {}}});
        model.setRows(journal::JournalStore(d).operations(f));
        bench::consume(model.rowCount());
    },
    [](db::Database& d) {
        static journal::JournalFilter f;
        if (!f.to.isValid()) f = lastMonth(d);
        bench::consume(qint64(d.select(QStringLiteral("SELECT ISN, IEVDAT, IEVLAIKS, TAUSTINS, ISUSER, BAZE, ISN_BAZE, "
                                                      "NUMURS, DATUMS, PIEZIMES FROM O_OPERACIJAS WHERE IEVDAT >= :NO AND "
                                                      "IEVDAT <= :LIDZ ORDER BY IEVDAT DESC, IEVLAIKS DESC, ISN DESC"),
                                       {{QStringLiteral("NO"), f.from}, {QStringLiteral("LIDZ"), f.to}})
                                  .rowCount()));
    },
    30,
});

// What the window does when it opens on the month: the first screenful of operations with their
// log-ons, and the log-on page; the rest is read in steps afterwards.
bench::BenchCase::Registrar monthOpens({
    QStringLiteral("operation journal: the window opening on a month (first screenful + log-ons)"),
    [](db::Database& d) {
        static journal::JournalFilter f;
        if (!f.to.isValid()) f = lastMonth(d);
        journal::JournalStore store(d);
        models::ResultTableModel model;
        model.setColumns({{"IEVDAT", "Datums", "dd.MM.yyyy", {}}, {"LIETOTAJS", "Lietotājs", "", {}}});
        auto fetch = store.fetchOperations(f);
        model.setRows(fetch->next(200));
        bench::consume(model.rowCount());
        bench::consume(store.logons(f.from, f.to).rowCount());
    },
    {},
    31,
});

}  // namespace
