// Invoices made from a consultation's treatment lines and their printout: numbering per
// consultation, only lines not invoiced yet, today's VAT rate, deleted lines left out, the words
// of the printed total, and two workstations invoicing one consultation at once.
#include "InvoiceFixture.h"
#include "TestDatabase.h"
#include "billing/AmountInWords.h"
#include "billing/InvoicePrint.h"
#include "billing/TIzrakstisanaDati.h"

#include <QDir>
#include <QProcess>
#include <QThread>
#include <QtTest>

#include <atomic>

using namespace billing;

namespace {

const QDate Day(2026, 11, 23);

QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

class TestConsultationInvoice : public QObject {
    Q_OBJECT
    QString m_path;
    std::unique_ptr<db::Database> m_db;
    std::unique_ptr<InvoiceFixture> m_fix;
    int m_anna = 0, m_plomba = 0, m_higiena = 0, m_konsultacija = 0;

    QStringList invoiceLines(int invoice) {
        const db::ResultSet rs = m_db->select(
            "SELECT N.GNOS, D.CENA, D.DAUDZUMS, D.NODOKLIS, D.ATLAIDE, D.KOMENTARS, D.ISARSTESANA FROM O_PAVOUT_DT D "
            "JOIN N_PRECE N ON N.ISN = D.ISPRECE WHERE D.ISPAVOUTHD = :H ORDER BY D.ISN",
            {{"H", invoice}});
        QStringList out;
        for (int r = 0; r < rs.rowCount(); ++r)
            out << QStringLiteral("%1 %2×%3 %4% %5 %6")
                       .arg(rs.value(r, 0).toString())
                       .arg(rs.value(r, 1).toDouble(), 0, 'f', 2)
                       .arg(rs.value(r, 2).toDouble())
                       .arg(rs.value(r, 3).toDouble())
                       .arg(rs.value(r, 4).toDouble())
                       .arg(rs.value(r, 5).toString());
        return out;
    }

private Q_SLOTS:
    void init() {
        testsupport::isolateSettings();
        m_path = testsupport::freshDatabaseFile(QStringLiteral("consultinvoice"));
        m_db = testsupport::open(m_path);
        m_fix = std::make_unique<InvoiceFixture>(*m_db);
        m_anna = m_fix->patient("Liepiņa", "Anna", "010180-12345");
        m_plomba = m_fix->item("Plomba ķirurģiska", 121.0, 21, "P1");
        m_higiena = m_fix->item("Zobu higiēna", 50.0, 0, "H1");
        m_konsultacija = m_fix->consultation(m_anna, Day, "125", "Kontrole pēc mēneša");
    }
    void cleanup() {
        m_fix.reset();
        m_db.reset();
    }

    // The first invoice takes <number>_1 with every line; preparing again bills nothing; a line
    // added later goes alone on <number>_2. The header is the consultation's: patient, day, due
    // five days later, the cash desk, nothing paid.
    void secondInvoiceHoldsOnlyNewLines() {
        m_fix->treatment(m_konsultacija, m_plomba, 100, 2, 21, "zobs 16");
        m_fix->treatment(m_konsultacija, m_higiena, 50, 1, 0);
        TIzrakstisanaDati dati(*m_db);
        const auto first = dati.invoiceConsultation(m_konsultacija, 1);
        QVERIFY(first);
        QCOMPARE(first->number, QStringLiteral("125_1"));
        QCOMPARE(first->lines, 2);
        const std::optional<InvoiceHeader> h = dati.load(first->key);
        QVERIFY(h);
        QCOMPARE(h->patient, m_anna);
        QCOMPARE(h->date, Day);
        QCOMPARE(h->payBy, Day.addDays(5));
        QCOMPARE(h->paymentMethod, 1);
        QCOMPARE(h->paidSum, 0.0);
        QCOMPARE(h->series, QString());
        QCOMPARE(h->total, 292.0);
        QCOMPARE(invoiceLines(first->key),
                 (QStringList{"Plomba ķirurģiska 100.00×2 21% 0 zobs 16", "Zobu higiēna 50.00×1 0% 0 "}));
        QVERIFY(!dati.invoiceConsultation(m_konsultacija, 1));
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM O_PAVOUT_HD").toInt(), 1);

        m_fix->treatment(m_konsultacija, m_higiena, 50, 1, 0);
        const auto second = dati.invoiceConsultation(m_konsultacija, 1);
        QVERIFY(second);
        QCOMPARE(second->number, QStringLiteral("125_2"));
        QCOMPARE(invoiceLines(second->key), QStringList{"Zobu higiēna 50.00×1 0% 0 "});
        // Every invoice made here is in the journal.
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM O_OPERACIJAS WHERE BAZE = 'O_PAVOUT_HD' AND TAUSTINS = 'J'").toInt(), 2);
    }

    // The rate is the price list's of today, not the one stored with the treatment; deleted lines
    // are not billed; a number taken by another invoice is skipped.
    void rateOfTodayDeletedLinesAndTakenNumbers() {
        m_fix->treatment(m_konsultacija, m_plomba, 100, 1, 12);
        const int gone = m_fix->treatment(m_konsultacija, m_higiena, 50, 1, 0);
        m_fix->exec("UPDATE O_ARSTESANA_DT SET DZESTS = 1 WHERE ISN = :K", {{"K", gone}});
        m_fix->exec("UPDATE N_PRECE SET NODOKLIS = 21 WHERE ISN = :K", {{"K", m_plomba}});
        m_fix->invoice(m_anna, Day, "125_1");
        const auto made = TIzrakstisanaDati(*m_db).invoiceConsultation(m_konsultacija, 1);
        QVERIFY(made);
        QCOMPARE(made->number, QStringLiteral("125_2"));
        QCOMPARE(invoiceLines(made->key), QStringList{"Plomba ķirurģiska 100.00×1 21% 0 "});
        // Nothing left: the deleted line does not count.
        QVERIFY(!TIzrakstisanaDati(*m_db).invoiceConsultation(m_konsultacija, 1));
    }

    // The printout holds every invoiced line of the consultation (over both invoices, deleted
    // ones left out) and the words of the total it prints, not of the treatment total that
    // includes a line not invoiced yet.
    void printoutWordsOfPrintedTotal() {
        QVERIFY(!InvoicePrint::ConsultationInvoices(*m_db, m_konsultacija, 21));
        m_fix->treatment(m_konsultacija, m_plomba, 100, 2, 21);
        TIzrakstisanaDati dati(*m_db);
        QVERIFY(dati.invoiceConsultation(m_konsultacija, 1));
        m_fix->treatment(m_konsultacija, m_higiena, 50, 1, 0);
        QVERIFY(dati.invoiceConsultation(m_konsultacija, 1));
        const int gone = m_fix->treatment(m_konsultacija, m_higiena, 30, 1, 0);
        QVERIFY(dati.invoiceConsultation(m_konsultacija, 1));
        m_fix->exec("UPDATE O_ARSTESANA_DT SET DZESTS = 1 WHERE ISN = :K", {{"K", gone}});
        m_fix->treatment(m_konsultacija, m_higiena, 70, 1, 0);  // not invoiced

        const std::optional<reports::Report> report = InvoicePrint::ConsultationInvoices(*m_db, m_konsultacija, 21);
        QVERIFY(report);
        const QString dir = testsupport::scratchDir() + "/consultinvoice";
        QDir().mkpath(dir);
        const QString pdf = dir + "/" + QString::number(QDateTime::currentMSecsSinceEpoch()) + ".pdf";
        QCOMPARE(report->exportPdf(pdf), 1);
        const QString text = pdfText(pdf);
        QVERIFY2(!text.isEmpty(), "pdftotext gave no text");
        const QString flat = text.simplified();
        // 125_3 held only the deleted line.
        QVERIFY2(flat.contains("RĒĶINA Nr.: 125_1, 125_2 DATUMS : 23.11.2026"), qPrintable(flat));
        QVERIFY(flat.contains("ADRESĀTS : Anna Liepiņa"));
        QVERIFY(flat.contains("Kontrole pēc mēneša"));
        QVERIFY(text.contains(QRegularExpression("P1\\s+Plomba ķirurģiska\\s+2\\.00\\s+100\\.00\\s+200\\.00")));
        QVERIFY(text.contains(QRegularExpression("H1\\s+Zobu higiēna\\s+1\\.00\\s+50\\.00\\s+50\\.00")));
        QVERIFY(!text.contains(QRegularExpression("Zobu higiēna\\s+1\\.00\\s+30\\.00")));
        QVERIFY(!text.contains(QRegularExpression("Zobu higiēna\\s+1\\.00\\s+70\\.00")));
        QVERIFY(flat.contains("SUMMA APMAKSAI 292.00"));
        QVERIFY(flat.contains("KOPĒJĀ SUMMA " + AmountInWords(292.0, "EUR", QString()).simplified()));
    }

    // Two workstations through the Firebird server prepare the invoice of one consultation at the
    // same moment: its lines are billed once, and the other is told that all are billed.
    void twoWorkstationsBillOnce() {
        if (testsupport::serverPrefix().isEmpty()) QSKIP("needs the Firebird server (MOLARIX_FB_SERVER)");
        for (int i = 0; i < 5; ++i) m_fix->treatment(m_konsultacija, m_higiena, 10 + i, 1, 0);
        const int consultation = m_konsultacija;
        cleanup();
        const QString connection = testsupport::serverPrefix() + m_path;
        auto doctor = testsupport::open(connection);
        auto bookkeeper = testsupport::open(connection);
        std::atomic<int> ready{0}, made{0}, failures{0};
        auto run = [&](db::Database* database) {
            TIzrakstisanaDati dati(*database);
            ready.fetch_add(1);
            while (ready.load() < 2) QThread::yieldCurrentThread();
            try {
                if (dati.invoiceConsultation(consultation, 1)) made.fetch_add(1);
            } catch (const std::exception&) {
                failures.fetch_add(1);
            }
        };
        QThread* first = QThread::create(run, doctor.get());
        QThread* second = QThread::create(run, bookkeeper.get());
        first->start();
        second->start();
        QVERIFY(first->wait(60000));
        QVERIFY(second->wait(60000));
        delete first;
        delete second;
        QCOMPARE(failures.load(), 0);
        QCOMPARE(made.load(), 1);
        doctor->commitRetaining();
        QCOMPARE(doctor->scalar("SELECT COUNT(*) FROM O_PAVOUT_DT").toInt(), 5);
        QCOMPARE(doctor->scalar("SELECT COUNT(DISTINCT ISARSTESANA) FROM O_PAVOUT_DT").toInt(), 5);
    }
};

QTEST_MAIN(TestConsultationInvoice)
#include "tst_consultation_invoice.moc"
