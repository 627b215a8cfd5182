// The payment register as it opens on its busiest month, with the current payment and the invoices
// it pays read; and one payment spread automatically over a patient's 500 open invoices.
#include "BenchCase.h"
#include "billing/PaymentAllocation.h"
#include "billing/TApmaksasDati.h"
#include "db/Transaction.h"

namespace {

struct Choices {
    QString attached;
    billing::PaymentFilter month;
    int owing = 0;      // the patient with 500 open invoices
    double debt = 0;    // what they owe in all
};

// A patient owing 500 invoices of one line each. The generated clinic spreads its debts thinly, so
// the first run adds one ("Parādniece Bench", invoices "BENCH-P-n") and later runs reuse her.
int owingPatient(db::Database& d) {
    const QVariant found = d.scalar(QStringLiteral(
        "SELECT FIRST 1 K.ISN FROM N_KLIENTS K WHERE K.UZVARDS = 'Parādniece' AND K.VARDS = 'Bench' AND "
        "(SELECT COUNT(*) FROM O_PAVOUT_HD H WHERE H.ISKLIENTS = K.ISN AND H.KOPSUMMA - COALESCE(H.APMAKS_SUM, 0) "
        ">= 0.005) = 500"));
    if (found.isValid()) return found.toInt();
    const QVariant item = d.scalar(QStringLiteral("SELECT FIRST 1 ISN FROM N_PRECE WHERE ISN > 1 ORDER BY ISN"));
    db::Transaction tx(d);
    const int patient = tx.scalar(QStringLiteral("INSERT INTO N_KLIENTS (UZVARDS, VARDS) VALUES ('Parādniece', 'Bench') "
                                                 "RETURNING ISN"))
                            .toInt();
    const QDate first = QDate::currentDate().addDays(-600);
    for (int i = 0; i < 500; ++i) {
        const int invoice =
            tx.scalar(QStringLiteral("INSERT INTO O_PAVOUT_HD (ISKLIENTS, DATUMS, NUMURS, APMAKS_SUM, APMAKSVEIDS) "
                                     "VALUES (:K, :D, :N, 0, 0) RETURNING ISN"),
                      {{QStringLiteral("K"), patient},
                       {QStringLiteral("D"), QDateTime(first.addDays(i), QTime(0, 0))},
                       {QStringLiteral("N"), QStringLiteral("BENCH-P-%1").arg(i)}})
                .toInt();
        tx.exec(QStringLiteral("INSERT INTO O_PAVOUT_DT (ISPAVOUTHD, ISPRECE, CENA, DAUDZUMS, NODOKLIS, ATLAIDE) "
                               "VALUES (:H, :P, :C, 1, 0, 0)"),
                {{QStringLiteral("H"), invoice}, {QStringLiteral("P"), item}, {QStringLiteral("C"), 10.0 + i % 40}});
    }
    tx.commit();
    return patient;
}

const Choices& choices(db::Database& d) {
    static Choices c;
    if (c.attached == d.connectionString()) return c;
    c.attached = d.connectionString();
    const db::ResultSet busiest = d.select(QStringLiteral(
        "SELECT FIRST 1 EXTRACT(YEAR FROM DATUMS) Y, EXTRACT(MONTH FROM DATUMS) M FROM O_APMAKS_HD "
        "GROUP BY 1, 2 ORDER BY COUNT(*) DESC"));
    const QDate first = busiest.isEmpty() ? QDate::currentDate()
                                          : QDate(busiest.value(0, 0).toInt(), busiest.value(0, 1).toInt(), 1);
    c.month.from = first;
    c.month.to = first.addMonths(1).addDays(-1);
    c.owing = owingPatient(d);
    c.debt = d.scalar(QStringLiteral("SELECT SUM(KOPSUMMA - COALESCE(APMAKS_SUM, 0)) FROM O_PAVOUT_HD WHERE ISKLIENTS = :K"),
                      {{QStringLiteral("K"), c.owing}})
                 .toDouble();
    return c;
}

bench::BenchCase::Registrar month({
    QStringLiteral("payments: the busiest month listed, with the current payment and its invoices read"),
    [](db::Database& d) {
        billing::TApmaksasDati dati(d, 0);
        const db::ResultSet rows = dati.list(choices(d).month);
        if (!rows.isEmpty()) {
            const int key = rows.value(0, 0).toInt();
            bench::consume(QVariant(dati.load(key)->number));
            bench::consume(qint64(dati.allocations(key).rowCount()));
        }
        bench::consume(qint64(rows.rowCount()));
    },
    [](db::Database& d) {
        const billing::PaymentListQuery q = billing::MakePaymentListQuery(choices(d).month);
        bench::consume(qint64(d.select(q.sql, q.params).rowCount()));
    },
    45,
});

// A new payment of the register covering all 500 invoices, stored and spread automatically in one
// transaction; deleted again (its allocations reversed) after each run, untimed.
bench::BenchCase::Registrar automatic({
    QStringLiteral("payments: one payment spread automatically over 500 open invoices"),
    [](db::Database& d) {
        const Choices& c = choices(d);
        billing::NewPayment p;
        p.patient = c.owing;
        p.date = QDate::currentDate();
        p.number = QStringLiteral("BENCH");
        p.amount = c.debt + 5;
        const billing::PaymentOutcome o =
            billing::TApmaksasDati(d, 0).saveNew(p, billing::AllocationMode::Automatic);
        if (!o.ok()) throw std::runtime_error(o.refusal.message.toStdString());
        bench::consume(qint64(o.allocated));
    },
    [](db::Database& d) {
        // The patient's unpaid invoices as the allocation reads them.
        bench::consume(qint64(d.select(billing::UnpaidInvoicesSql(), {{QStringLiteral("ISKLIENTS"), choices(d).owing}})
                                  .rowCount()));
    },
    46,
    [](db::Database& d) {
        const QVariant key = d.scalar(QStringLiteral("SELECT MAX(ISN) FROM O_APMAKS_HD WHERE ISKLIENTS = :K AND NUMURS = 'BENCH'"),
                                      {{QStringLiteral("K"), choices(d).owing}});
        if (!key.isNull()) billing::TApmaksasDati(d, 0).deletePayments({key.toInt()});
    },
});

}  // namespace
