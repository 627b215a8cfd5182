// The patient register: the list a receptionist opens many times a day and the quick search.
#include "BenchCase.h"
#include "patients/PatientFinder.h"
#include "patients/PatientSearch.h"
#include "patients/PatientSearchIndex.h"
#include "models/ResultTableModel.h"
#include "db/Statement.h"

namespace {

const QString ListSql = QStringLiteral(
    "SELECT ISN, UZVARDS, VARDS, DZIM_DAT, TELEFONS, MOB_TEL FROM N_KLIENTS  WHERE  ISN!=1  ORDER BY UZVARDS, VARDS");

// The statement that FindPatient runs first, as the database sees it.
const QString FindSql = QStringLiteral(
    "SELECT 1 FLAG, ISN FROM N_KLIENTS WHERE (UPPER(UZVARDS) CONTAINING :B AND UPPER(VARDS) CONTAINING :A) "
    "OR (UPPER(UZVARDS) CONTAINING :A AND UPPER(VARDS) CONTAINING :B) "
    "UNION SELECT 2 FLAG, ISN FROM N_KLIENTS WHERE UPPER(N_KLIENTS.UZVARDS) STARTING WITH :S "
    "UNION SELECT 3 FLAG, ISN FROM N_KLIENTS WHERE UPPER(N_KLIENTS.VARDS) STARTING WITH :S "
    "UNION SELECT 4 FLAG, ISN FROM N_KLIENTS WHERE UPPER(N_KLIENTS.PERS_KODS) STARTING WITH :S ORDER BY 1, 2");

void bareFind(db::Database& d, const QString& a, const QString& b, const QString& s) {
    bench::consume(d.select(FindSql, {{"A", a}, {"B", b}, {"S", s}}).rowCount());
}

bench::BenchCase::Registrar firstScreen({
    QStringLiteral("patient list: first screen (40 rows)"),
    [](db::Database& d) {
        db::Statement st(d.defaultTransaction(), ListSql);
        st.execute();
        for (int i = 0; i < 40 && st.next(); ++i) bench::consume(st.value(1));
    },
    [](db::Database& d) {
        db::Statement st(d.defaultTransaction(), ListSql);
        st.execute();
        for (int i = 0; i < 40 && st.next(); ++i) {
        }
    },
    10,
});

bench::BenchCase::Registrar fullFetch({
    QStringLiteral("patient list: all rows into the grid model"),
    [](db::Database& d) {
        models::ResultTableModel model;
        model.setColumns({{"UZVARDS", "Uzvārds", "", {}}, {"VARDS", "Vārds", "", {}}, {"DZIM_DAT", "Dzim.dat.", "dd.MM.yyyy", {}}});
        model.setRows(d.select(ListSql));
        bench::consume(model.rowCount());
    },
    [](db::Database& d) { bench::consume(d.select(ListSql).rowCount()); },
    11,
});

bench::BenchCase::Registrar findPrefix({
    QStringLiteral("FindPatient: surname prefix \"bērz\""),
    [](db::Database& d) { bench::consume(patients::FindPatient(d, QStringLiteral("bērz"))); },
    [](db::Database& d) { bareFind(d, "BĒRZ", "BĒRZ", "BĒRZ"); },
    20,
});

bench::BenchCase::Registrar findFragment({
    QStringLiteral("FindPatient: fragment \"ziņ\""),
    [](db::Database& d) { bench::consume(patients::FindPatient(d, QStringLiteral("ziņ"))); },
    [](db::Database& d) { bareFind(d, "ZIŅ", "ZIŅ", "ZIŅ"); },
    21,
});

bench::BenchCase::Registrar findTwoWords({
    QStringLiteral("FindPatient: two words \"anna ozol\""),
    [](db::Database& d) { bench::consume(patients::FindPatient(d, QStringLiteral("anna ozol"))); },
    [](db::Database& d) { bareFind(d, "ANNA", "OZOL", "ANNA OZOL"); },
    22,
});

bench::BenchCase::Registrar findPhone({
    QStringLiteral("FindPatient: phone fragment \"2912\""),
    [](db::Database& d) { bench::consume(patients::FindPatient(d, QStringLiteral("2912"))); },
    [](db::Database& d) {
        bareFind(d, "2912", "2912", "2912");
        bench::consume(d.select(QStringLiteral("SELECT N_KLIENTS.ISN FROM N_KLIENTS WHERE N_KLIENTS.TELEFONS CONTAINING "
                                               ":TELEFONS OR N_KLIENTS.MOB_TEL CONTAINING :TELEFONS"),
                                {{"TELEFONS", "2912"}})
                           .rowCount());
    },
    23,
});

// The same searches answered from the workstation's copy in memory, as the program runs them once
// the copy is read; "bare" is the database's statement. The copy of five times the register
// (every patient five times under new keys) stands for the large scale: the texts below all walk
// the whole copy before they are answered, so they show how the cost grows with the register.
const patients::PatientSearchIndex& copyOf(db::Database& d, int times) {
    static QHash<QString, std::shared_ptr<patients::PatientSearchIndex>> copies;
    const QString id = d.connectionString() + QLatin1Char('#') + QString::number(times);
    auto& index = copies[id];
    if (!index) {
        const QVector<patients::PatientSearchRow> rows = patients::PatientFinder::readRows(d);
        QVector<patients::PatientSearchRow> all;
        all.reserve(rows.size() * times);
        for (int copy = 0; copy < times; ++copy)
            for (patients::PatientSearchRow r : rows) {
                r.key += copy * 10000000;
                all.append(r);
            }
        index = std::make_shared<patients::PatientSearchIndex>();
        index->assign(all);
    }
    return *index;
}

struct MemoryCase {
    const char* typed;
    const char* a;
    const char* b;
    const char* s;
};

const MemoryCase memoryCases[] = {{"bērz", "BĒRZ", "BĒRZ", "BĒRZ"},
                                  {"ziņ", "ZIŅ", "ZIŅ", "ZIŅ"},
                                  {"anna ozol", "ANNA", "OZOL", "ANNA OZOL"},
                                  {"2912", "2912", "2912", "2912"},
                                  {"nekāds vārds", "NEKĀDS", "VĀRDS", "NEKĀDS VĀRDS"}};

const bool memoryRegistered = [] {
    int order = 24;
    for (int times : {1, 5})
        for (const MemoryCase& c : memoryCases) {
            const QString typed = QString::fromUtf8(c.typed);
            bench::BenchCase::all().append(bench::BenchCase{
                QStringLiteral("FindPatient from memory%1: \"%2\"")
                    .arg(times == 1 ? QString() : QStringLiteral(" (register x%1)").arg(times), typed),
                [typed, times](db::Database& d) { bench::consume(copyOf(d, times).find(typed)); },
                [c](db::Database& d) {
                    bareFind(d, QString::fromUtf8(c.a), QString::fromUtf8(c.b), QString::fromUtf8(c.s));
                },
                order++,
            });
        }
    return true;
}();

}  // namespace
