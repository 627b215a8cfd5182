// The invoice document and the planned-payments report printed to PDF and read back with
// pdftotext, the values the report is filled with, and molarix-admin's print-invoice and
// import-invoices.
#include "../admin/AdminRun.h"
#include "InvoiceFixture.h"
#include "TestDatabase.h"
#include "billing/AmountInWords.h"
#include "billing/InvoicePrint.h"
#include "billing/TIzrakstisanaDati.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

using namespace billing;

namespace {

QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), path,
                                          QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

const QDate Day(2026, 3, 4);

}  // namespace

class TestInvoicePrint : public QObject {
    Q_OBJECT
    QString m_path;
    std::unique_ptr<db::Database> m_db;
    std::unique_ptr<InvoiceFixture> m_fix;
    int m_anna = 0, m_plomba = 0, m_higiena = 0;

    QString scratch(const QString& name) {
        const QString dir = testsupport::scratchDir() + "/invoiceprint";
        QDir().mkpath(dir);
        return dir + "/" + QString::number(QDateTime::currentMSecsSinceEpoch()) + "-" + name;
    }

private Q_SLOTS:
    void init() {
        testsupport::isolateSettings();
        m_path = testsupport::freshDatabaseFile(QStringLiteral("invoiceprint"));
        m_db = testsupport::open(m_path);
        m_fix = std::make_unique<InvoiceFixture>(*m_db);
        m_fix->exec("UPDATE N_ISI SET ORGNOS='SIA Zobārstniecība Ņ', REG_NR=' 40003000001 ', PVN_KODS='LV40003000001', "
                    "ORGADR='Rīga, Ēdoles iela 5', BANKNOS='Swedbank', BANKKODS='HABALV22', BANKKONTS='LV00HABA0000000000001'");
        const int bank = m_db->scalar("SELECT ISN FROM N_BANKA WHERE ISN=1").toInt();
        m_anna = m_fix->patient("Liepiņa", "Anna", "010180-12345");
        m_fix->exec("UPDATE N_KLIENTS SET ISBANKA=:B, BANKAS_KONTS='LV11PARX0000000000002' WHERE ISN=:K",
                    {{"B", bank}, {"K", m_anna}});
        m_plomba = m_fix->item("Plomba ķirurģiska", 121.0, 21, "P1");
        m_higiena = m_fix->item("Zobu higiēna", 50.0, 0, "H1");
    }
    void cleanup() {
        m_fix.reset();
        m_db.reset();
    }

    // Every line with its surcharge or discount, the totals, the VAT line and the words of the
    // printed total.
    void invoiceDocument() {
        const int key = m_fix->invoice(m_anna, Day, "RX-41", 0, "AB", Day.addDays(5));
        m_fix->line(key, m_plomba, 100, 2, 21, -10);   // 180.00 + 37.80
        m_fix->line(key, m_higiena, 50, 1, 0);          // 50.00
        const std::optional<reports::Report> report = InvoicePrint::Invoice(*m_db, key, 21);
        QVERIFY(report);
        const QString pdf = scratch("invoice.pdf");
        QCOMPARE(report->exportPdf(pdf), 1);
        const QString text = pdfText(pdf);
        QVERIFY2(!text.isEmpty(), "pdftotext gave no text");
        const QString flat = text.simplified();
        QVERIFY(flat.contains("RĒĶINS"));
        QVERIFY(flat.contains("RĒĶINA Nr.: RX-41"));
        QVERIFY(flat.contains("DATUMS : 04.03.2026"));
        QVERIFY(flat.contains("Rēķina apmaksas termiņš 09.03.2026"));
        QVERIFY(flat.contains("ADRESĀTS : Anna Liepiņa"));
        QVERIFY(flat.contains("Reģ.Nr. 010180-12345"));
        QVERIFY(flat.contains("Konts : LV11PARX0000000000002"));
        static const QRegularExpression plomba(QStringLiteral("P1\\s+Plomba ķirurģiska\\s+2\\.00\\s+90\\.00\\s+180\\.00"));
        QVERIFY2(plomba.match(text).hasMatch(), qPrintable(text));
        static const QRegularExpression higiena(QStringLiteral("H1\\s+Zobu higiēna\\s+1\\.00\\s+50\\.00\\s+50\\.00"));
        QVERIFY(higiena.match(text).hasMatch());
        QVERIFY(flat.contains("Kopā 267.80 230.00"));
        QVERIFY(flat.contains("PVN 37.80 PVN 21 -37.80 37.80"));
        QVERIFY(flat.contains("SUMMA APMAKSAI 267.80"));
        const QString words = AmountInWords(267.80, "EUR", QString());
        QCOMPARE(words, QStringLiteral(" Divi simti sešdesmit septiņi EUR astoņdesmit   centi"));
        QVERIFY(flat.contains("KOPĒJĀ SUMMA " + words.simplified()));
        QVERIFY(flat.contains("SIA Zobārstniecība Ņ"));
        QVERIFY(flat.contains("Reģ.Nr.40003000001 Nod.maks.Nr.LV40003000001 Adrese Rīga, Ēdoles iela 5"));
        QVERIFY(flat.contains("BANKA Swedbank Kods HABALV22 Nor.rēķins LV00HABA0000000000001"));
        QVERIFY(flat.contains("Rēķins sagatavots elektroniski un ir derīgs bez paraksta un zīmoga"));
        QVERIFY(flat.contains("Pasta adrese : Anna Liepiņa, Rīga, Brīvības iela 1, LV-1010"));
        // The words exactly as AmountInWords gives them, blanks included, are what the report holds.
        QVERIFY(report->csv().contains("Plomba ķirurģiska"));
    }

    void vatLine_data() {
        QTest::addColumn<double>("vat");
        QTest::addColumn<QString>("text");
        QTest::newRow("no VAT") << 0.0 << "PVN 21% ";
        QTest::newRow("below half a cent") << 0.004 << "PVN 21% ";
        QTest::newRow("VAT") << 37.8 << "PVN 37.80 PVN 21 -37.80";
    }
    void vatLine() {
        QFETCH(double, vat);
        QFETCH(QString, text);
        QCOMPARE(InvoicePrint::VatText(vat, 21), text);
    }

    // An invoice without lines prints its header and zero totals; a missing invoice prints nothing.
    void emptyAndMissingInvoice() {
        const int key = m_fix->invoice(m_anna, Day, "7");
        const std::optional<reports::Report> report = InvoicePrint::Invoice(*m_db, key, 21);
        QVERIFY(report);
        const QString pdf = scratch("empty.pdf");
        report->exportPdf(pdf);
        const QString flat = pdfText(pdf).simplified();
        QVERIFY(flat.contains("RĒĶINA Nr.: 7"));
        QVERIFY(flat.contains("PVN 21% "));
        QVERIFY(flat.contains("KOPĒJĀ SUMMA 0 EUR 0 centi"));
        QVERIFY(!InvoicePrint::Invoice(*m_db, 999999, 21));
    }

    // A 40-line invoice fills more than one page and every line is printed.
    void fortyLines() {
        const int key = m_fix->invoice(m_anna, Day, "40");
        for (int i = 0; i < 40; ++i) m_fix->line(key, i % 2 ? m_plomba : m_higiena, 10 + i, 1, i % 2 ? 21 : 0);
        const std::optional<reports::Report> report = InvoicePrint::Invoice(*m_db, key, 21);
        const QString pdf = scratch("forty.pdf");
        QVERIFY(report->exportPdf(pdf) >= 1);
        const QString text = pdfText(pdf);
        QCOMPARE(text.count("Zobu higiēna"), 20);
        QCOMPARE(text.count("Plomba ķirurģiska"), 20);
        const double total = TIzrakstisanaDati(*m_db).totals(key).total;
        QVERIFY(text.simplified().contains("SUMMA APMAKSAI " + QString::number(total, 'f', 2)));
        QVERIFY(text.simplified().contains(AmountInWords(total, "EUR", QString()).simplified()));
    }

    void plannedPayments() {
        const int p2 = m_fix->patient("Zariņš", "Pēteris", "020290-23456");
        const int a = m_fix->invoice(m_anna, Day, "1", 40, {}, Day.addDays(5));
        m_fix->line(a, m_higiena, 100, 1, 0);
        const int b = m_fix->invoice(p2, Day.addDays(10), "2", 0, {}, Day.addDays(15));
        m_fix->line(b, m_higiena, 30, 1, 0);
        reports::Report report = InvoicePrint::PlannedPayments(*m_db, Day.addDays(12));
        QCOMPARE(report.rows().rowCount(), 2);
        const QString pdf = scratch("planned.pdf");
        report.exportPdf(pdf);
        const QString flat = pdfText(pdf).simplified();
        QVERIFY(flat.contains("PLĀNOJAMĀS APMAKSAS PAR 01.01.1900-31.03.2026 NO IZRAKSTĪTAJĀM PAVADZĪMĒM"));
        QVERIFY(flat.contains("SIA Zobārstniecība Ņ"));
        // Anna: 100 invoiced, 40 paid, 60 owed, dated before the day, 7 days late.
        QVERIFY2(flat.contains("04.03.2026 1 100.00 40.00 60.00 60.00 09.03.2026 7"), qPrintable(flat));
        // Pēteris: dated before the day too, not due yet.
        QVERIFY(flat.contains("14.03.2026 2 30.00 0.00 30.00 30.00 19.03.2026"));
        QVERIFY(flat.contains("KOPĀ 130.00 40.00 90.00 90.00"));
    }

    // The bookkeeper's scripts: a shared number lists its invoices and exits 2, --key picks one;
    // an import with a bad line stores nothing and exits non-zero.
    void adminCommands() {
        const int first = m_fix->invoice(m_anna, Day, "55");
        m_fix->line(first, m_plomba, 100, 1, 21);
        const int second = m_fix->invoice(m_anna, Day.addDays(1), "55");
        cleanup();
        const QString pdf = scratch("admin.pdf");
        admintest::Run r = admintest::admin({"print-invoice", m_path, "55", "--pdf", pdf});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains("--key " + QString::number(first)));
        QVERIFY(r.err.contains("--key " + QString::number(second)));
        r = admintest::admin({"print-invoice", m_path, "55", "--pdf", pdf, "--key", QString::number(first)});
        QVERIFY2(r.code == 0, qPrintable(r.all()));
        const QString flat = pdfText(pdf).simplified();
        QVERIFY(flat.contains("RĒĶINA Nr.: 55"));
        QVERIFY(flat.contains(AmountInWords(121.0, "EUR", QString()).simplified()));
        QCOMPARE(admintest::admin({"print-invoice", m_path, "nav", "--pdf", pdf}).code, 1);
        QCOMPARE(admintest::admin({"print-invoice", m_path, "55"}).code, 2);

        const QString csv = scratch("import.csv");
        QFile f(csv);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("010180-12345;04.03.2026;;300;;;0;Zobu higiēna;50;1;0;;\n"
                "010180-12345;04.03.2026;;300;;;0;Nekas;50;1;0;;\n");
        f.close();
        r = admintest::admin({"import-invoices", m_path, csv});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("Rinda 2, lauks 8"), qPrintable(r.err));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("010180-12345;04.03.2026;;300;;;0;Zobu higiēna;50;1;0;;\n"
                "010180-12345;04.03.2026;;300;;;0;Plomba ķirurģiska;100;1;21;;\n");
        f.close();
        r = admintest::admin({"import-invoices", m_path, csv});
        QVERIFY2(r.code == 0, qPrintable(r.all()));
        auto db = testsupport::open(m_path);
        QCOMPARE(db->scalar("SELECT COUNT(*) FROM O_PAVOUT_HD WHERE NUMURS='300'").toInt(), 1);
        QCOMPARE(db->scalar("SELECT COUNT(*) FROM O_PAVOUT_DT").toInt(), 3);
    }
};

QTEST_MAIN(TestInvoicePrint)
#include "tst_invoice_print.moc"
