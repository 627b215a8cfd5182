// The patient list window on tab "*": its one fetch of every patient, and the quick search that
// moves along the fetched rows as the receptionist types.
#include "BenchCase.h"
#include "references/ReferenceListStore.h"
#include "models/ResultTableModel.h"
#include "db/Statement.h"
#include "patients/PatientListStore.h"

namespace {

const QString AllSql =
    patients::PatientListStore::ListSql(QStringLiteral("*"), patients::PatientListStore::DefaultOrder());

bench::BenchCase::Registrar listFetch({
    QStringLiteral("patient list \"*\": store fetch into the grid model"),
    [](db::Database& d) {
        patients::PatientListStore store(d);
        models::ResultTableModel model;
        model.setColumns({{"UZVARDS", "Uzvārds", "", {}},
                          {"VARDS", "Vārds", "", {}},
                          {"DZIM_DAT", "Dzimšanas datums", "dd.MM.yyyy", {}},
                          {"TELEFONS", "Telefons", "", {}},
                          {"MOB_TEL", "Mob. telefons", "", {}}});
        model.setRows(store.fetch(QStringLiteral("*"), patients::PatientListStore::DefaultOrder()));
        bench::consume(model.rowCount());
    },
    [](db::Database& d) { bench::consume(d.select(AllSql).rowCount()); },
    12,
});

// The list as the window holds it after it opened on "*" (fetched once per database).
const db::ResultSet& shownList(db::Database& d) {
    static db::ResultSet rows;
    static QString attached;
    if (attached != d.connectionString() || rows.isEmpty()) {
        rows = patients::PatientListStore(d).fetch(QStringLiteral("*"), patients::PatientListStore::DefaultOrder());
        attached = d.connectionString();
    }
    return rows;
}

// Typing "ZVAIG" key by key: five look-ups in the sorted surnames, against one indexed query per key.
bench::BenchCase::Registrar quickSearch({
    QStringLiteral("patient list \"*\": quick search while typing \"ZVAIG\""),
    [](db::Database& d) {
        // The window sorts the surnames once per list load (see the case below), at the first key.
        static references::PrefixRows surnames;
        static QString sortedFor;
        const db::ResultSet& rows = shownList(d);
        if (sortedFor != d.connectionString()) {
            surnames = references::PrefixRows(rows, QStringLiteral("UZVARDS"));
            sortedFor = d.connectionString();
        }
        const QString typed = QStringLiteral("ZVAIG");
        for (int n = 1; n <= typed.size(); ++n) bench::consume(surnames.first(typed.left(n)));
    },
    [](db::Database& d) {
        const QString typed = QStringLiteral("ZVAIG");
        for (int n = 1; n <= typed.size(); ++n)
            bench::consume(d.scalar(
                QStringLiteral(
                    "SELECT FIRST 1 ISN FROM N_KLIENTS WHERE ISN!=1 AND UPPER(UZVARDS) STARTING WITH "
                    ":S ORDER BY UPPER(UZVARDS)"),
                {{QStringLiteral("S"), typed.left(n)}}));
    },
    13,
});

// What the quick search's first key costs once per list load: sorting the fetched surnames.
bench::BenchCase::Registrar quickSearchSort({
    QStringLiteral("patient list \"*\": sorting the surnames for the quick search (once per load)"),
    [](db::Database& d) {
        bench::consume(references::PrefixRows(shownList(d), QStringLiteral("UZVARDS")).first(QStringLiteral("Z")));
    },
    {},
    14,
});

}  // namespace

namespace {

// What the window reads before it is first painted: one batch of the open query.
bench::BenchCase::Registrar firstBatch({
    QStringLiteral("patient list \"*\": first batch the window shows (200 rows)"),
    [](db::Database& d) {
        patients::PatientListFetch fetch(d, AllSql);
        models::ResultTableModel model;
        model.setColumns({{"UZVARDS", "Uzvārds", "", {}}, {"VARDS", "Vārds", "", {}}});
        model.setRows(fetch.next(200));
        bench::consume(model.rowCount());
    },
    [](db::Database& d) {
        db::Statement st(d.defaultTransaction(), AllSql);
        st.execute();
        for (int i = 0; i < 200 && st.next(); ++i) bench::consume(st.value(1));
    },
    14,
});

}  // namespace
