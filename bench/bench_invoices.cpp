// The invoice register as it opens on its busiest month, with the current invoice and its lines
// read, against the bare list SQL; and a 40-line invoice printed to PDF.
#include "BenchCase.h"
#include "billing/InvoicePrint.h"
#include "billing/TIzrakstisanaDati.h"

#include <QDir>

namespace {

struct Choices {
    QString attached;
    billing::InvoiceFilter month;
    int fortyLines = 0;
    QList<int> unbilled;  // consultations with treatment not invoiced yet, newest first
};

// An invoice of 40 lines. The generated clinic's invoices are shorter, so the first run adds one
// ("BENCH-40", lines of the first forty price-list items) to the database and later runs reuse it.
int fortyLineInvoice(db::Database& d) {
    const QString number = QStringLiteral("BENCH-40");
    const QVariant found = d.scalar(
        QStringLiteral("SELECT FIRST 1 H.ISN FROM O_PAVOUT_HD H WHERE H.NUMURS = :N "
                       "AND (SELECT COUNT(*) FROM O_PAVOUT_DT D WHERE D.ISPAVOUTHD = H.ISN) = 40"),
        {{QStringLiteral("N"), number}});
    if (found.isValid()) return found.toInt();
    const db::ResultSet items = d.select(QStringLiteral("SELECT FIRST 40 ISN FROM N_PRECE WHERE ISN > 1 ORDER BY ISN"));
    const QVariant patient = d.scalar(QStringLiteral("SELECT FIRST 1 ISN FROM N_KLIENTS WHERE ISN > 1 ORDER BY ISN"));
    if (items.isEmpty() || !patient.isValid()) return 0;
    billing::TIzrakstisanaDati dati(d);
    billing::InvoiceHeader h = dati.create(number, QString());
    h.patient = patient.toInt();
    QVector<billing::InvoiceLine> lines;
    for (int i = 0; i < 40; ++i) {
        billing::InvoiceLine l = billing::TIzrakstisanaDati::NewLine(0);
        l.item = items.value(i % items.rowCount(), 0).toInt();
        l.price = 10 + i;
        l.quantity = 1 + i % 3;
        l.vatRate = i % 2 ? 21 : 0;
        lines.append(l);
    }
    return dati.createInvoice(h, lines, 0);
}

const Choices& choices(db::Database& d) {
    static Choices c;
    if (c.attached == d.connectionString()) return c;
    c.attached = d.connectionString();
    const db::ResultSet busiest = d.select(QStringLiteral(
        "SELECT FIRST 1 EXTRACT(YEAR FROM DATUMS) Y, EXTRACT(MONTH FROM DATUMS) M FROM O_PAVOUT_HD "
        "GROUP BY 1, 2 ORDER BY COUNT(*) DESC"));
    const QDate first = busiest.isEmpty() ? QDate::currentDate()
                                          : QDate(busiest.value(0, 0).toInt(), busiest.value(0, 1).toInt(), 1);
    c.month.from = first;
    c.month.to = first.addMonths(1).addDays(-1);
    c.fortyLines = fortyLineInvoice(d);
    const db::ResultSet open = d.select(QStringLiteral(
        "SELECT FIRST 20 DISTINCT A.ISKONSULTACIJAHD FROM O_ARSTESANA_DT A WHERE (A.DZESTS IS NULL OR A.DZESTS = 0) "
        "AND NOT EXISTS (SELECT 1 FROM O_PAVOUT_DT D WHERE D.ISARSTESANA = A.ISN) ORDER BY 1 DESC"));
    for (int r = 0; r < open.rowCount(); ++r) c.unbilled.append(open.value(r, 0).toInt());
    return c;
}

void open(db::Database& d) {
    billing::TIzrakstisanaDati dati(d);
    billing::InvoiceSort sort;
    sort.ordered = true;  // by date, as a clinic sorts it
    const db::ResultSet rows = dati.list(choices(d).month, sort);
    if (!rows.isEmpty()) {
        const int key = rows.value(0, 0).toInt();
        bench::consume(QVariant(dati.load(key)->number));
        bench::consume(qint64(dati.lines(key).rowCount()));
    }
    bench::consume(qint64(rows.rowCount()));
}

bench::BenchCase::Registrar month({
    QStringLiteral("invoices: the busiest month listed by date, with the current invoice and its lines read"),
    [](db::Database& d) { open(d); },
    [](db::Database& d) {
        billing::InvoiceSort sort;
        sort.ordered = true;
        const billing::InvoiceListQuery q = billing::MakeInvoiceListQuery(choices(d).month, sort);
        bench::consume(qint64(d.select(q.sql, q.params).rowCount()));
    },
    40,
});

bench::BenchCase::Registrar print({
    QStringLiteral("invoices: a 40-line invoice read and printed to PDF"),
    [](db::Database& d) {
        const std::optional<reports::Report> report = billing::InvoicePrint::Invoice(d, choices(d).fortyLines, 21);
        if (report) bench::consume(qint64(report->exportPdf(QDir::tempPath() + QStringLiteral("/molarix-bench-invoice.pdf"))));
    },
    {},
    41,
});

// Each run bills another consultation (the database keeps the invoices).
bench::BenchCase::Registrar consultation({
    QStringLiteral("invoices: a consultation's treatment billed (Sagatavot rēķinu)"),
    [](db::Database& d) {
        Choices& c = const_cast<Choices&>(choices(d));
        if (c.unbilled.isEmpty()) return;
        const auto made = billing::TIzrakstisanaDati(d).invoiceConsultation(c.unbilled.takeFirst(), 0);
        bench::consume(qint64(made ? made->lines : 0));
    },
    {},
    42,
});

}  // namespace
