// The consultation register as it opens: the list of a month for one specialist and of all the
// consultations of one patient, with the current consultation read, against the bare list SQL.
#include "BenchCase.h"
#include "consultations/TKonsultacijasDati.h"

namespace {

struct Choices {
    QString attached;
    consultations::ConsultationFilter month;
    consultations::ConsultationFilter patient;
};

// The busiest specialist's busiest month, and the patient with the most consultations; found once
// per database.
const Choices& choices(db::Database& d) {
    static Choices c;
    if (c.attached == d.connectionString()) return c;
    c.attached = d.connectionString();
    const db::ResultSet busiest = d.select(QStringLiteral(
        "SELECT FIRST 1 ISIZPILDITAJS, EXTRACT(YEAR FROM DATUMS) Y, EXTRACT(MONTH FROM DATUMS) M FROM O_KONSULTACIJA_HD "
        "WHERE ISIZPILDITAJS > 1 GROUP BY 1, 2, 3 ORDER BY COUNT(*) DESC"));
    const QDate first = busiest.isEmpty() ? QDate::currentDate()
                                          : QDate(busiest.value(0, 1).toInt(), busiest.value(0, 2).toInt(), 1);
    c.month.from = first;
    c.month.to = first.addMonths(1).addDays(-1);
    c.month.specialist = busiest.isEmpty() ? 1 : busiest.value(0, 0).toInt();
    const QVariant patient = d.scalar(QStringLiteral(
        "SELECT FIRST 1 ISKLIENTS FROM O_KONSULTACIJA_HD WHERE ISKLIENTS > 1 GROUP BY ISKLIENTS ORDER BY COUNT(*) DESC"));
    c.patient.patient = patient.isValid() ? patient.toInt() : 1;
    const QPair<QDate, QDate> period = consultations::TKonsultacijasDati(d).patientPeriod(c.patient.patient);
    c.patient.from = period.first.isValid() ? period.first : QDate::currentDate();
    c.patient.to = qMax(period.second, QDate::currentDate());
    return c;
}

// What the register does when it opens on a filter: the list, then the current consultation.
void open(db::Database& d, const consultations::ConsultationFilter& filter) {
    consultations::TKonsultacijasDati dati(d);
    const db::ResultSet rows = dati.list(filter, {});
    if (!rows.isEmpty()) bench::consume(QVariant(dati.load(rows.value(0, 0).toInt())->number));
    bench::consume(qint64(rows.rowCount()));
}

void bare(db::Database& d, const consultations::ConsultationFilter& filter) {
    const consultations::ListQuery q = consultations::ConsultationListQuery(filter, {});
    bench::consume(qint64(d.select(q.sql, q.params).rowCount()));
}

bench::BenchCase::Registrar month({
    QStringLiteral("consultations: a month of the busiest specialist, listed with the current one read"),
    [](db::Database& d) { open(d, choices(d).month); },
    [](db::Database& d) { bare(d, choices(d).month); },
    30,
});

bench::BenchCase::Registrar patient({
    QStringLiteral("consultations: all of the patient with the most, listed with the current one read"),
    [](db::Database& d) {
        // Opening on a patient first finds the patient's period.
        consultations::ConsultationFilter f = choices(d).patient;
        const QPair<QDate, QDate> period = consultations::TKonsultacijasDati(d).patientPeriod(f.patient);
        if (period.first.isValid()) f.from = period.first;
        open(d, f);
    },
    [](db::Database& d) { bare(d, choices(d).patient); },
    31,
});

bench::BenchCase::Registrar nextNumber({
    QStringLiteral("consultations: the next plain number of a new consultation"),
    [](db::Database& d) { bench::consume(QVariant(consultations::TKonsultacijasDati(d).nextNumber())); },
    {},
    32,
});

}  // namespace
