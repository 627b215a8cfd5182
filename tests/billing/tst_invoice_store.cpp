// The invoice register's data without a window: numbering, the list's filter pieces and order,
// the checks, saving with the journal, stale saves, copying, deleting, lines and totals, a whole
// invoice in one call, the CSV import, and two workstations numbering at once.
#include "Fetched.h"
#include "InvoiceFixture.h"
#include "TestDatabase.h"
#include "app/Settings.h"
#include "billing/InvoiceImport.h"
#include "billing/InvoiceList.h"
#include "billing/InvoiceNumbering.h"
#include "billing/TIzrakstisanaDati.h"
#include "db/DbError.h"

#include <QThread>
#include <QtTest>

#include <atomic>

using namespace billing;

Q_DECLARE_METATYPE(billing::InvoiceFilter)

namespace {
const QDate Day(2026, 3, 4);
}

class TestInvoiceStore : public QObject {
    Q_OBJECT
    QString m_path;
    std::unique_ptr<db::Database> m_db;
    std::unique_ptr<InvoiceFixture> m_fix;
    int m_anna = 0, m_peteris = 0;
    int m_plomba = 0, m_higiena = 0;

    QList<int> listed(const InvoiceFilter& f, const InvoiceSort& s = {}) {
        const db::ResultSet rs = TIzrakstisanaDati(*m_db).list(f, s);
        QList<int> keys;
        for (int r = 0; r < rs.rowCount(); ++r) keys.append(rs.value(r, "ISN").toInt());
        return keys;
    }
    InvoiceHeader complete(const QString& number = "100") {
        InvoiceHeader h = TIzrakstisanaDati(*m_db).create(number, QString(), Day);
        h.numberFromCounter = false;
        h.patient = m_anna;
        return h;
    }
    int journalCount(const QString& table, const QString& code) {
        return m_db->scalar("SELECT COUNT(*) FROM O_OPERACIJAS WHERE BAZE=:B AND TAUSTINS=:T", {{"B", table}, {"T", code}})
            .toInt();
    }
    int count(const char* table) { return m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt(); }

private Q_SLOTS:
    void init() {
        testsupport::isolateSettings();
        m_path = testsupport::freshDatabaseFile(QStringLiteral("invoices"));
        m_db = testsupport::open(m_path);
        m_fix = std::make_unique<InvoiceFixture>(*m_db);
        m_anna = m_fix->patient("Liepiņa", "Anna", "010180-12345");
        m_peteris = m_fix->patient("Zariņš", "Pēteris", "020290-23456");
        m_plomba = m_fix->item("Plomba", 121.0, 21, "P1");
        m_higiena = m_fix->item("Zobu higiēna", 50.0, 0, "H1");
    }
    void cleanup() {
        m_fix.reset();
        m_db.reset();
    }

    void counterNumbers_data() {
        QTest::addColumn<int>("counter");
        QTest::addColumn<QString>("series");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("series pads to six") << 7 << "AB" << QStringList{"000007", "000008"};
        QTest::newRow("no series, no padding") << 7 << "" << QStringList{"7", "8"};
        QTest::newRow("long enough already") << 1234567 << "AB" << QStringList{"1234567", "1234568"};
    }
    void counterNumbers() {
        QFETCH(int, counter);
        QFETCH(QString, series);
        QFETCH(QStringList, numbers);
        InvoiceCounter c{counter, series};
        QCOMPARE(c.take(), numbers.at(0));
        QCOMPARE(c.take(), numbers.at(1));
        c.write();
        QCOMPARE(InvoiceCounter::Read().next, counter + 2);
        QCOMPARE(InvoiceCounter::Read().series, series);
    }

    void counterFollowsTypedNumber_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("counter");
        QTest::newRow("prefix and zeros") << "A-000123" << 124;
        QTest::newRow("SR-0099") << "SR-0099" << 100;
        QTest::newRow("plain") << "41" << 42;
        QTest::newRow("letters after digits") << "12B" << 5;
        QTest::newRow("no digit at all") << "ABC" << 5;
        QTest::newRow("empty") << "" << 5;
        QTest::newRow("too big") << "99999999999" << 5;
    }
    void counterFollowsTypedNumber() {
        QFETCH(QString, typed);
        QFETCH(int, counter);
        QCOMPARE(CounterAfterTyped(typed, 5), counter);
        // With a series the next number is padded.
        if (typed == "SR-0099") QCOMPARE(CounterNumber(CounterAfterTyped(typed, 5), "SR"), QStringLiteral("000100"));
    }

    // Every filter piece selects with bound values; typed text cannot change the statement.
    void listFilter_data() {
        QTest::addColumn<InvoiceFilter>("filter");
        QTest::addColumn<QStringList>("expected");  // numbers, in key order
        auto f = [](const QDate& from, const QDate& to) {
            InvoiceFilter x;
            x.from = from;
            x.to = to;
            return x;
        };
        const InvoiceFilter all = f(QDate(2026, 1, 1), QDate(2026, 12, 31));
        QTest::newRow("period") << f(Day, Day) << QStringList{"1", "2", "3", "4"};
        QTest::newRow("whole year") << all << QStringList{"1", "2", "3", "4", "5"};
        InvoiceFilter n = all;
        n.number = "2";
        QTest::newRow("number") << n << QStringList{"2"};
        n.number = "2' OR '1'='1";
        QTest::newRow("quote in number") << n << QStringList{};
        n.number = QString(30, '1');
        QTest::newRow("number too long") << n << QStringList{};
        InvoiceFilter unpaid = all;
        unpaid.paymentState = InvoiceFilter::UnpaidOnly;
        QTest::newRow("unpaid: 99.99 of 100 is unpaid") << unpaid << QStringList{"3", "4", "5"};
        InvoiceFilter paid = all;
        paid.paymentState = InvoiceFilter::PaidOnly;
        QTest::newRow("paid: 99.995 of 100 counts as paid") << paid << QStringList{"1", "2"};
        InvoiceFilter patient = all;
        patient.patient = -1;  // replaced by Pēteris's key
        QTest::newRow("patient") << patient << QStringList{"5"};
    }
    void listFilter() {
        QFETCH(InvoiceFilter, filter);
        QFETCH(QStringList, expected);
        // Totals of 100.00 (one line of 100 + 0 % VAT) with the paid sums below.
        const double paid[] = {100, 99.995, 99.99, 0};
        for (int i = 0; i < 4; ++i) {
            const int key = m_fix->invoice(m_anna, Day, QString::number(i + 1), paid[i]);
            m_fix->line(key, m_higiena, 100, 1, 0);
        }
        // An invoice stored with a time of day on the last day of the period still belongs to it.
        m_fix->exec("INSERT INTO O_PAVOUT_HD (ISKLIENTS, DATUMS, NUMURS, APMAKS_SUM) VALUES (:K, :D, '5', 0)",
                    {{"K", m_peteris}, {"D", QDateTime(QDate(2026, 12, 31), QTime(15, 30))}});
        m_fix->line(m_db->scalar("SELECT MAX(ISN) FROM O_PAVOUT_HD").toInt(), m_higiena, 10, 1, 0);
        if (filter.patient == -1) filter.patient = m_peteris;
        const db::ResultSet rs = TIzrakstisanaDati(*m_db).list(filter, {});
        QStringList numbers;
        for (int r = 0; r < rs.rowCount(); ++r) numbers.append(rs.value(r, "NUMURS").toString());
        numbers.sort();
        QCOMPARE(numbers, expected);
    }

    // A click sorts ascending, the next one on the same column turns it round; the stored order
    // is used only when it is one the program writes.
    void sortOrder() {
        InvoiceSort s;
        QVERIFY(!s.ordered);
        QCOMPARE(s.orderBy(), QString());
        s = s.clicked("DATUMS");
        QCOMPARE(s.orderBy(), QStringLiteral("O_PAVOUT_HD.DATUMS DESCENDING "));  // DATUMS is the start column
        s = s.clicked("ShUzvardsVards");
        QCOMPARE(s.orderBy(), QStringLiteral("N_KLIENTS.UZVARDS ASCENDING , N_KLIENTS.VARDS ASCENDING "));
        s = s.clicked("ShUzvardsVards");
        QCOMPARE(s.orderBy(), QStringLiteral("N_KLIENTS.UZVARDS DESCENDING , N_KLIENTS.VARDS DESCENDING "));
        QCOMPARE(s.clicked("ISN").orderBy(), QStringLiteral("O_PAVOUT_HD.ISN ASCENDING "));
        s.write();
        QCOMPARE(InvoiceSort::Read(), s);

        for (const QString& bad : {QStringLiteral("O_PAVOUT_HD.ISN; DELETE FROM O_PAVOUT_HD"),
                                   QStringLiteral("(SELECT 1 FROM RDB$DATABASE)"), QStringLiteral("N_KLIENTS.PERS_KODS")}) {
            app::Settings::setString("IzrakstOrder", "Kartiba", bad);
            QVERIFY2(!InvoiceSort::Read().ordered, qPrintable(bad));
        }
        QCOMPARE(InvoiceSort::FromOrderBy("  O_PAVOUT_HD.KOPSUMMA   DESCENDING").column, QStringLiteral("KOPSUMMA"));

        // The list follows the order: by name descending.
        const int a = m_fix->invoice(m_anna, Day, "1");
        const int p = m_fix->invoice(m_peteris, Day, "2");
        InvoiceFilter f;
        QCOMPARE(listed(f, InvoiceSort().clicked("ShUzvardsVards").clicked("ShUzvardsVards")), (QList<int>{p, a}));
        QCOMPARE(listed(f, InvoiceSort().clicked("ShUzvardsVards")), (QList<int>{a, p}));
    }

    void validation_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("patient");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("field");
        QTest::newRow("no date") << QDate() << "1" << true << "Nav ievadīts pavadzīmes datums !!!" << "DATUMS";
        QTest::newRow("before 1900") << QDate(1899, 12, 31) << "1" << true << "Datums nevar būt mazāks par 01.01.1900 !!!"
                                     << "DATUMS";
        QTest::newRow("blank number") << Day << "  " << true << "Nav ievadīts rēķina numurs !!!" << "NUMURS";
        QTest::newRow("no patient") << Day << "1" << false << "Nav izvēlēts students !!!" << "ISKLIENTS";
        QTest::newRow("date checked first") << QDate() << "" << false << "Nav ievadīts pavadzīmes datums !!!" << "DATUMS";
        QTest::newRow("complete") << QDate(1900, 1, 1) << "1" << true << "" << "";
    }
    void validation() {
        QFETCH(QDate, date);
        QFETCH(QString, number);
        QFETCH(bool, patient);
        QFETCH(QString, message);
        QFETCH(QString, field);
        InvoiceHeader h = complete(number);
        h.date = date;
        h.patient = patient ? m_anna : 0;
        const app::CardCheck c = TIzrakstisanaDati::Validate(h);
        QCOMPARE(c.message, message);
        QCOMPARE(c.field, field);
    }

    // New and edited invoices are stored with their journal rows; a save over another
    // workstation's change, or over a payment recorded meanwhile, is refused and writes nothing.
    void saveEditAndStaleSaves() {
        TIzrakstisanaDati dati(*m_db);
        InvoiceHeader h = complete("A-17");
        h.series = "AB";
        h.comment = "Pirmais";
        const InvoiceSave s = dati.save(h, 1);
        QVERIFY(s.ok());
        QCOMPARE(s.number, QStringLiteral("A-17"));
        std::optional<InvoiceHeader> stored = dati.load(s.key);
        QVERIFY(stored);
        QCOMPARE(stored->payBy, Day.addDays(5));
        QCOMPARE(stored->patientName, QStringLiteral("Liepiņa Anna"));
        QCOMPARE(stored->comment, QStringLiteral("Pirmais"));
        QCOMPARE(journalCount("O_PAVOUT_HD", "J"), 1);

        InvoiceHeader edited = *stored;
        edited.number = "A-18";
        QVERIFY(dati.save(edited, 1).ok());
        QCOMPARE(dati.load(s.key)->number, QStringLiteral("A-18"));
        QCOMPARE(journalCount("O_PAVOUT_HD", "L"), 1);

        // The old copy of the row is stale now.
        edited.number = "A-19";
        QVERIFY_THROWS_EXCEPTION(db::StaleRowError, dati.save(edited, 1));
        QCOMPARE(dati.load(s.key)->number, QStringLiteral("A-18"));

        // A payment changes only the paid sum: the save of the header read before it is refused.
        InvoiceHeader fresh = *dati.load(s.key);
        m_fix->exec("UPDATE O_PAVOUT_HD SET APMAKS_SUM = 12.5 WHERE ISN = :K", {{"K", s.key}});
        fresh.comment = "Otrais";
        QVERIFY_THROWS_EXCEPTION(db::StaleRowError, dati.save(fresh, 1));
        QCOMPARE(dati.load(s.key)->paidSum, 12.5);
        QCOMPARE(journalCount("O_PAVOUT_HD", "L"), 1);
    }

    // The counter's number that another invoice of the series holds by now is not stored twice:
    // the save takes the next free one. A typed number is stored as typed.
    void counterNumberTakenMovesOn() {
        m_fix->invoice(m_peteris, Day, "000007", 0, "AB");
        m_fix->invoice(m_peteris, Day, "000008", 0, "AB");
        m_fix->invoice(m_peteris, Day, "000009", 0, "CD");
        TIzrakstisanaDati dati(*m_db);
        InvoiceHeader h = dati.create("000007", "AB", Day);
        h.patient = m_anna;
        QCOMPARE(dati.save(h, 1).number, QStringLiteral("000009"));
        InvoiceHeader typed = complete("000007");
        typed.series = "AB";
        QCOMPARE(dati.save(typed, 1).number, QStringLiteral("000007"));
    }

    void copyWithoutLinesAndPayment() {
        const int key = m_fix->invoice(m_anna, Day, "15", 20.0, "AB", Day.addDays(9));
        m_fix->line(key, m_plomba, 100, 1, 21);
        TIzrakstisanaDati dati(*m_db);
        const int copy = dati.copy(key, 1);
        QVERIFY(copy > key);
        const std::optional<InvoiceHeader> c = dati.load(copy);
        QCOMPARE(c->number, QStringLiteral("15-KOPIJA"));
        QCOMPARE(c->series, QStringLiteral("AB"));
        QCOMPARE(c->payBy, Day.addDays(9));
        QCOMPARE(c->patient, m_anna);
        QCOMPARE(c->paidSum, 0.0);
        QCOMPARE(c->total, 0.0);
        QCOMPARE(dati.lines(copy).rowCount(), 0);
        QCOMPARE(dati.copy(999999, 1), 0);
    }

    void deleteRules() {
        TIzrakstisanaDati dati(*m_db);
        QCOMPARE(dati.remove(0, 1).message, QStringLiteral("Nav datu, ko dzēst !!!"));
        const int paid = m_fix->invoice(m_anna, Day, "1", 0.01);
        app::DeleteOutcome out = dati.remove(paid, 1);
        QVERIFY(!out.deleted);
        QCOMPARE(out.message, QStringLiteral("Pavadzīmi ar apmaksu dzēst nedrīkst !!!"));

        const int withLines = m_fix->invoice(m_anna, Day, "2");
        m_fix->line(withLines, m_plomba, 100, 1, 21);
        out = dati.remove(withLines, 1);
        QVERIFY(!out.deleted);
        QVERIFY2(out.message.startsWith("Dzēst nevar (Iespējams, ka nav izdzēsts rēķina saturs) !!! \n\n ("),
                 qPrintable(out.message));
        QVERIFY(dati.load(withLines));
        QCOMPARE(journalCount("O_PAVOUT_HD", "D"), 0);

        dati.deleteLines({m_db->scalar("SELECT ISN FROM O_PAVOUT_DT").toInt()}, 1);
        QVERIFY(dati.remove(withLines, 1).deleted);
        QVERIFY(!dati.load(withLines));
        QCOMPARE(journalCount("O_PAVOUT_HD", "D"), 1);
        QCOMPARE(journalCount("O_PAVOUT_DT", "D"), 1);
    }

    // The line price is the price list's price without VAT; the line total and the invoice's
    // totals follow the lines.
    void linesAndTotals() {
        TIzrakstisanaDati dati(*m_db);
        QCOMPARE(dati.itemForLine(m_plomba)->price, 100.0);
        QCOMPARE(dati.itemForLine(m_plomba)->vatRate, 21.0);
        QCOMPARE(dati.itemForLine(m_higiena)->price, 50.0);
        QVERIFY(!dati.itemForLine(999999));

        const int key = dati.save(complete(), 1).key;
        InvoiceLine l = TIzrakstisanaDati::NewLine(key);
        QCOMPARE(l.quantity, 1.0);
        QCOMPARE(l.discount, 0.0);
        l.item = m_plomba;
        l.price = 100;
        l.quantity = 2;
        l.discount = -10;
        l.vatRate = 21;
        const int first = dati.saveLine(l, 1);
        QCOMPARE(dati.lines(key).value(0, "ARPVN").toDouble(), 217.8);
        InvoiceTotals t = dati.totals(key);
        QCOMPARE(QString::number(t.net, 'f', 2), QStringLiteral("180.00"));
        QCOMPARE(QString::number(t.vat, 'f', 2), QStringLiteral("37.80"));
        QCOMPARE(QString::number(t.total, 'f', 2), QStringLiteral("217.80"));

        InvoiceLine second = TIzrakstisanaDati::NewLine(key);
        second.item = m_higiena;
        second.price = 50;
        const int secondKey = dati.saveLine(second, 1);
        InvoiceLine third = second;
        const int thirdKey = dati.saveLine(third, 1);
        QCOMPARE(QString::number(dati.totals(key).total, 'f', 2), QStringLiteral("317.80"));

        // An edit of a line that changed meanwhile is refused.
        InvoiceLine edited = *dati.loadLine(first);
        edited.quantity = 3;
        dati.saveLine(edited, 1);
        QCOMPARE(QString::number(dati.totals(key).total, 'f', 2), QStringLiteral("426.70"));
        QVERIFY_THROWS_EXCEPTION(db::StaleRowError, dati.saveLine(edited, 1));

        // Deleting removes exactly the lines given.
        dati.deleteLines({secondKey}, 1);
        const db::ResultSet rest = dati.lines(key);
        QCOMPARE(rest.rowCount(), 2);
        QCOMPARE(rest.value(0, "ISN").toInt(), first);
        QCOMPARE(rest.value(1, "ISN").toInt(), thirdKey);
        dati.deleteLines({}, 1);
        QCOMPARE(dati.lines(key).rowCount(), 2);
        QCOMPARE(journalCount("O_PAVOUT_DT", "J"), 3);
        QCOMPARE(journalCount("O_PAVOUT_DT", "L"), 1);

        // A line order that is not a column list is not used.
        QCOMPARE(dati.lines(key, " O_PAVOUT_DT.ISN DESC").value(0, "ISN").toInt(), thirdKey);
        QCOMPARE(dati.lines(key, "1; DELETE FROM O_PAVOUT_DT").value(0, "ISN").toInt(), first);
    }

    // A whole invoice from lines is one call and one transaction.
    void createInvoiceFromLines() {
        TIzrakstisanaDati dati(*m_db);
        InvoiceHeader h = complete("125_1");
        InvoiceLine a = TIzrakstisanaDati::NewLine(0);
        a.item = m_plomba;
        a.price = 100;
        a.vatRate = 21;
        InvoiceLine b = a;
        b.item = 999999;  // no such item: the whole invoice is refused
        QVERIFY_THROWS_EXCEPTION(db::DbError, dati.createInvoice(h, {a, b}, 1));
        QCOMPARE(count("O_PAVOUT_HD"), 0);
        QCOMPARE(count("O_PAVOUT_DT"), 0);
        b.item = m_higiena;
        b.price = 50;
        b.vatRate = 0;
        const int key = dati.createInvoice(h, {a, b}, 1);
        QCOMPARE(dati.load(key)->number, QStringLiteral("125_1"));
        QCOMPARE(QString::number(dati.totals(key).total, 'f', 2), QStringLiteral("171.00"));
        QCOMPARE(journalCount("O_PAVOUT_DT", "J"), 2);
    }

    void payRefusal_data() {
        QTest::addColumn<double>("total");
        QTest::addColumn<double>("paid");
        QTest::addColumn<bool>("refused");
        QTest::newRow("99.995 of 100") << 100.0 << 99.995 << true;
        QTest::newRow("99.99 of 100") << 100.0 << 99.99 << true;
        QTest::newRow("99.98 of 100") << 100.0 << 99.98 << false;
        QTest::newRow("nothing paid") << 100.0 << 0.0 << false;
    }
    void payRefusal() {
        QFETCH(double, total);
        QFETCH(double, paid);
        QFETCH(bool, refused);
        QCOMPARE(TIzrakstisanaDati::PayRefusal(total, paid).isEmpty(), !refused);
    }

    // A bad line in the middle leaves nothing behind and is named; the corrected file imports
    // once, consecutive lines of one patient, date and number making one invoice.
    void importAllOrNothing() {
        const QString good1 = "010180-12345;04.03.2026;AB;900;09.03.2026;No kases;1;Plomba;100.00;2;21;-10;Augšā";
        const QString good2 = "010180-12345;04.03.2026;AB;900;09.03.2026;No kases;1;Zobu higiēna;50,5;1;0;0;";
        const QString good3 = "020290-23456;05.03.2026;;901;;;0;Plomba;100;1;21;;";
        const QString bad = "020290-23456;05.03.2026;;901;;;0;Plomba;1O0;1;21;;";
        InvoiceImport import(*m_db, 1);
        ImportResult r = import.run(good1 + "\n" + good2 + "\n" + bad + "\r\n" + good3 + "\n");
        QVERIFY(!r.ok);
        QCOMPARE(r.failure.line, 3);
        QCOMPARE(r.failure.field, 9);
        QCOMPARE(r.failure.message(),
                 QStringLiteral("Kaut kas nav kārtībā !!!\n") + bad + "\n\nRinda 3, lauks 9: nav skaitlis: \"1O0\"");
        QCOMPARE(count("O_PAVOUT_HD"), 0);
        QCOMPARE(count("O_PAVOUT_DT"), 0);

        // A number longer than its column stops the import on its line, after good lines.
        r = import.run(good1 + "\n" + "010180-12345;04.03.2026;;" + QString(25, 'X') + ";;;0;Plomba;1;1;0;;\n");
        QVERIFY(!r.ok);
        QCOMPARE(r.failure.line, 2);
        QCOMPARE(r.failure.field, 4);
        QCOMPARE(count("O_PAVOUT_HD"), 0);

        const QString corrected = good1 + "\n" + good2 + "\n" + good3 + "\n";
        r = import.run(corrected);
        QVERIFY2(r.ok, qPrintable(r.failure.message()));
        QCOMPARE(r.invoices, 2);
        QCOMPARE(r.lines, 3);
        QCOMPARE(count("O_PAVOUT_HD"), 2);
        QCOMPARE(count("O_PAVOUT_DT"), 3);
        const db::ResultSet h = m_db->select("SELECT NUMURS, SERIJA, APMAKSVEIDS, KOPSUMMA, APMAKS_SUM, APMAKS_LIDZ, "
                                             "ISKLIENTS FROM O_PAVOUT_HD ORDER BY NUMURS");
        QCOMPARE(h.value(0, "SERIJA").toString(), QStringLiteral("AB"));
        QCOMPARE(h.value(0, "APMAKSVEIDS").toInt(), 1);
        QCOMPARE(QString::number(h.value(0, "KOPSUMMA").toDouble(), 'f', 2), QStringLiteral("268.30"));
        QCOMPARE(h.value(0, "APMAKS_LIDZ").toDateTime().date(), QDate(2026, 3, 9));
        QCOMPARE(h.value(1, "ISKLIENTS").toInt(), m_peteris);
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM O_OPERACIJAS WHERE PIEZIMES='No CSV'").toInt(), 2);
    }

    void importNamesWhatIsWrong_data() {
        QTest::addColumn<QString>("record");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("reason");
        QTest::newRow("unknown code") << "999999-00000;04.03.2026;;1;;;0;Plomba;1;1;0;;" << 1
                                      << "nav pacienta ar personas kodu \"999999-00000\"";
        QTest::newRow("bad date") << "010180-12345;31.02.2026;;1;;;0;Plomba;1;1;0;;" << 2 << "nav datums: \"31.02.2026\"";
        QTest::newRow("no number") << "010180-12345;04.03.2026;;;;;0;Plomba;1;1;0;;" << 4 << "nav aizpildīts";
        QTest::newRow("unknown item") << "010180-12345;04.03.2026;;1;;;0;Kronis;1;1;0;;" << 8
                                      << "cenrādī nav pozīcijas \"Kronis\"";
        QTest::newRow("payment method") << "010180-12345;04.03.2026;;1;;;3;Plomba;1;1;0;;" << 7
                                        << "apmaksas veids ir 0 (Banka) vai 1 (Kase)";
        QTest::newRow("short record") << "010180-12345;04.03.2026;;1;;;0;Plomba;1" << 10 << "nav skaitlis: \"\"";
    }
    void importNamesWhatIsWrong() {
        QFETCH(QString, record);
        QFETCH(int, field);
        QFETCH(QString, reason);
        const ImportResult r = InvoiceImport(*m_db, 1).run(record);
        QVERIFY(!r.ok);
        QCOMPARE(r.failure.line, 1);
        QCOMPARE(r.failure.field, field);
        QCOMPARE(r.failure.reason, reason);
    }

    // A personal code of several patients: without anyone to ask the import stops on its line;
    // the window's chooser decides.
    void importSharedPersonalCode() {
        const int twin = m_fix->patient("Liepiņa", "Ieva", "010180-12345");
        const QString csv = "020290-23456;05.03.2026;;901;;;0;Plomba;100;1;21;;\n"
                            "010180-12345;05.03.2026;;902;;;0;Plomba;100;1;21;;\n";
        ImportResult r = InvoiceImport(*m_db, 1).run(csv);
        QVERIFY(!r.ok);
        QCOMPARE(r.failure.line, 2);
        QCOMPARE(r.failure.field, 1);
        QCOMPARE(r.failure.reason, QStringLiteral("personas kods \"010180-12345\" ir vairākiem pacientiem"));
        QCOMPARE(count("O_PAVOUT_HD"), 0);

        InvoiceImport asking(*m_db, 1);
        QStringList asked;
        asking.setDuplicateChooser([&](const QString& code) {
            asked << code;
            return twin;
        });
        r = asking.run(csv);
        QVERIFY(r.ok);
        QCOMPARE(asked, QStringList{"010180-12345"});
        QCOMPARE(m_db->scalar("SELECT ISKLIENTS FROM O_PAVOUT_HD WHERE NUMURS='902'").toInt(), twin);

        InvoiceImport cancelled(*m_db, 1);
        cancelled.setDuplicateChooser([](const QString&) { return 0; });
        QVERIFY(!cancelled.run("010180-12345;06.03.2026;;903;;;0;Plomba;100;1;21;;").ok);
        QCOMPARE(count("O_PAVOUT_HD"), 2);
    }

    // Two workstations through the Firebird server, each with its own counter at the same value,
    // save new invoices at once: no number is stored twice.
    void twoWorkstationsNeverShareANumber() {
        if (testsupport::serverPrefix().isEmpty()) QSKIP("needs the Firebird server (MOLARIX_FB_SERVER)");
        const int patient = m_anna;
        cleanup();
        const QString connection = testsupport::serverPrefix() + m_path;
        auto reception = testsupport::open(connection);
        auto bookkeeper = testsupport::open(connection);
        constexpr int Each = 12;
        std::atomic<int> ready{0}, failures{0};
        QStringList stored[2];
        auto run = [&](db::Database* database, int who) {
            TIzrakstisanaDati dati(*database);
            InvoiceCounter counter{1, "AB"};
            ready.fetch_add(1);
            while (ready.load() < 2) QThread::yieldCurrentThread();
            for (int i = 0; i < Each; ++i) {
                try {
                    InvoiceHeader h = dati.create(counter.take(), counter.series, Day);
                    h.patient = patient;
                    const InvoiceSave s = dati.save(h, 1);
                    stored[who].append(s.number);
                    counter.next = qMax(counter.next, CounterAfterTyped(s.number, counter.next));
                } catch (const std::exception&) {
                    failures.fetch_add(1);
                }
            }
        };
        QThread* first = QThread::create(run, reception.get(), 0);
        QThread* second = QThread::create(run, bookkeeper.get(), 1);
        first->start();
        second->start();
        QVERIFY(first->wait(120000));
        QVERIFY(second->wait(120000));
        delete first;
        delete second;
        QCOMPARE(failures.load(), 0);
        reception->commitRetaining();
        QCOMPARE(reception->scalar("SELECT COUNT(*) FROM O_PAVOUT_HD").toInt(), 2 * Each);
        QCOMPARE(reception->scalar("SELECT COUNT(DISTINCT NUMURS) FROM O_PAVOUT_HD").toInt(), 2 * Each);
        QCOMPARE(stored[0].size() + stored[1].size(), 2 * Each);
    }
};

QTEST_GUILESS_MAIN(TestInvoiceStore)
#include "tst_invoice_store.moc"
