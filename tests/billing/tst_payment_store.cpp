// Payments without a window: rounding, the three allocation modes, allocating an overpayment later,
// deleting with the allocations reversed, a failure half-way, a random run of all of them with the
// paid sums checked against the allocation rows after every step, two workstations paying the same
// invoices at once, and the CSV import with molarix-admin's import-payments.
#include "../admin/AdminRun.h"
#include "Fetched.h"
#include "InvoiceFixture.h"
#include "TestDatabase.h"
#include "billing/PaymentAllocation.h"
#include "billing/PaymentImport.h"
#include "billing/TApmaksasDati.h"
#include "db/DbError.h"
#include "db/Transaction.h"
#include "demo/DemoData.h"

#include <QRandomGenerator>
#include <QThread>
#include <QtTest>

#include <atomic>

using namespace billing;

Q_DECLARE_METATYPE(billing::AllocationMode)
Q_DECLARE_METATYPE(billing::PaymentFilter)

namespace {
const QDate Day(2026, 3, 4);
using Amounts = QList<double>;
}  // namespace

class TestPaymentStore : public QObject {
    Q_OBJECT
    QString m_path;
    std::unique_ptr<db::Database> m_db;
    std::unique_ptr<InvoiceFixture> m_fix;
    int m_anna = 0, m_peteris = 0;

    int invoice(int patient, const QDate& date, const QString& number, double total, const QVariant& paid = 0.0) {
        const int key = m_fix->invoice(patient, date, number);
        m_fix->exec("UPDATE O_PAVOUT_HD SET KOPSUMMA=:K, APMAKS_SUM=:P WHERE ISN=:I", {{"K", total}, {"P", paid}, {"I", key}});
        return key;
    }
    double paid(int invoice) {
        return m_db->scalar("SELECT APMAKS_SUM FROM O_PAVOUT_HD WHERE ISN=:I", {{"I", invoice}}).toDouble();
    }
    QVariant invoiceValue(int invoice, const char* column) {
        return m_db->scalar(QStringLiteral("SELECT ") + column + " FROM O_PAVOUT_HD WHERE ISN=:I", {{"I", invoice}});
    }
    QVariant paymentValue(int payment, const char* column) {
        return m_db->scalar(QStringLiteral("SELECT ") + column + " FROM O_APMAKS_HD WHERE ISN=:I", {{"I", payment}});
    }
    int count(const char* table) { return m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt(); }
    int journal(const QString& code) {
        return m_db->scalar("SELECT COUNT(*) FROM O_OPERACIJAS WHERE BAZE='O_APMAKS_HD' AND TAUSTINS=:T", {{"T", code}})
            .toInt();
    }
    // Invoices whose paid sum is not the sum of their allocation rows, is negative or exceeds the
    // total, and payments whose SUMMA is not the sum of their rows: all must be none.
    static QString broken(db::Database& database) {
        QStringList out;
        const db::ResultSet inv = database.select(
            "SELECT H.ISN, H.APMAKS_SUM, H.KOPSUMMA, (SELECT SUM(D.SUMMA) FROM O_APMAKS_DT D WHERE D.ISPAVOUTHD=H.ISN) R "
            "FROM O_PAVOUT_HD H");
        for (int r = 0; r < inv.rowCount(); ++r) {
            const double paidSum = inv.value(r, "APMAKS_SUM").toDouble(), rows = inv.value(r, "R").toDouble();
            if (qAbs(paidSum - rows) >= 0.005 || paidSum < 0 || paidSum - inv.value(r, "KOPSUMMA").toDouble() >= 0.005)
                out << QStringLiteral("invoice %1 paid %2 rows %3 total %4")
                           .arg(inv.value(r, "ISN").toInt())
                           .arg(paidSum)
                           .arg(rows)
                           .arg(inv.value(r, "KOPSUMMA").toDouble());
        }
        const db::ResultSet pay = database.select(
            "SELECT P.ISN, P.SUMMA, P.PARPALIKUMS, (SELECT SUM(D.SUMMA) FROM O_APMAKS_DT D WHERE D.ISAPMAKSHD=P.ISN) R "
            "FROM O_APMAKS_HD P");
        for (int r = 0; r < pay.rowCount(); ++r)
            if (qAbs(pay.value(r, "SUMMA").toDouble() - pay.value(r, "R").toDouble()) >= 0.005 ||
                pay.value(r, "PARPALIKUMS").toDouble() < -0.005)
                out << QStringLiteral("payment %1 summa %2 rows %3")
                           .arg(pay.value(r, "ISN").toInt())
                           .arg(pay.value(r, "SUMMA").toDouble())
                           .arg(pay.value(r, "R").toDouble());
        return out.join('\n');
    }
    NewPayment payment(int patient, double amount, const QString& number = "B1", const QDate& date = Day.addDays(5)) {
        NewPayment p;
        p.patient = patient;
        p.date = date;
        p.number = number;
        p.amount = amount;
        p.method = 1;
        return p;
    }
    QString scratch(const QString& name, const QByteArray& content) {
        const QString path = testsupport::scratchDir() + '/' + QString::number(QRandomGenerator::global()->generate()) + name;
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return path;
    }

private Q_SLOTS:
    void init() {
        testsupport::isolateSettings();
        m_path = testsupport::freshDatabaseFile(QStringLiteral("payments"));
        m_db = testsupport::open(m_path);
        m_fix = std::make_unique<InvoiceFixture>(*m_db);
        m_anna = m_fix->patient("Liepiņa", "Anna", "010180-12345");
        m_peteris = m_fix->patient("Zariņš", "Pēteris", "020290-23456");
    }
    void cleanup() {
        m_fix.reset();
        m_db.reset();
    }

    void roundAmount_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("digits");
        QTest::addColumn<double>("rounded");
        QTest::newRow("half up") << 2.345 << 2 << 2.35;
        QTest::newRow("half away from zero below 0") << -2.345 << 2 << -2.35;
        QTest::newRow("below half") << 2.344 << 2 << 2.34;
        QTest::newRow("binary 1.005 still up") << 1.005 << 2 << 1.01;
        QTest::newRow("negative below half") << -2.344 << 2 << -2.34;
        QTest::newRow("whole digits") << 12.5 << 0 << 13.0;
        QTest::newRow("sum of tenths") << (0.1 + 0.2) << 2 << 0.3;
        QTest::newRow("zero") << 0.0 << 2 << 0.0;
    }
    void roundAmount() {
        QFETCH(double, value);
        QFETCH(int, digits);
        QFETCH(double, rounded);
        QCOMPARE(RoundAmount(value, digits) + 1.0, rounded + 1.0);
    }

    void checks_data() {
        QTest::addColumn<NewPayment>("payment");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("field");
        NewPayment ok;
        ok.patient = 1;
        ok.date = Day;
        ok.number = "B1";
        ok.amount = 10;
        NewPayment p = ok;
        p.date = {};
        QTest::newRow("no date") << p << "Nav ievadīts apmaksas datums !!!" << "DATUMS";
        p = ok;
        p.date = QDate(1899, 12, 31);
        QTest::newRow("before 1900") << p << "Datums nevar būt mazāks par 01.01.1900 !!!" << "DATUMS";
        p = ok;
        p.number = "  ";
        QTest::newRow("no number") << p << "Nav ievadīts apmaksas dokumenta numurs !!!" << "NUMURS";
        p = ok;
        p.patient = 0;
        QTest::newRow("no patient") << p << "Nav izvēlēts klients !!!" << "ISKLIENTS";
        p = ok;
        p.amount = 0;
        QTest::newRow("no amount") << p << "Nav ievadīta apmaksas summa !!!" << "SUMMA";
        QTest::newRow("fine") << ok << "" << "";
    }
    void checks() {
        QFETCH(NewPayment, payment);
        QFETCH(QString, message);
        QFETCH(QString, field);
        const app::CardCheck c = TApmaksasDati::check(payment);
        QCOMPARE(c.message, message);
        QCOMPARE(c.field, field);
        if (!message.isEmpty()) {
            payment.patient = payment.patient ? m_anna : 0;
            QVERIFY(!TApmaksasDati(*m_db, 1).saveNew(payment, AllocationMode::Automatic).ok());
            QCOMPARE(count("O_APMAKS_HD"), 0);
        }
    }

    // Invoices of 30.00 (oldest), 50.00 (paid NULL) and one of another patient; which invoices get
    // what, and what stays on the payment.
    void newPayment_data() {
        QTest::addColumn<AllocationMode>("mode");
        QTest::addColumn<double>("amount");
        QTest::addColumn<QList<int>>("chosen");  // 0 older, 1 newer, 2 Pēteris's
        QTest::addColumn<Amounts>("expectPaid"); // older, newer, Pēteris's
        QTest::addColumn<double>("overpayment");
        QTest::newRow("automatic pays both, rest kept") << AllocationMode::Automatic << 100.0 << QList<int>{}
                                                        << Amounts{30, 50, 0} << 20.0;
        QTest::newRow("automatic oldest first") << AllocationMode::Automatic << 40.0 << QList<int>{} << Amounts{30, 10, 0}
                                                << 0.0;
        QTest::newRow("advance allocates nothing") << AllocationMode::Advance << 40.0 << QList<int>{} << Amounts{0, 0, 0}
                                                   << 40.0;
        QTest::newRow("selected only the newer") << AllocationMode::Selected << 40.0 << QList<int>{1}
                                                 << Amounts{0, 40, 0} << 0.0;
        QTest::newRow("selected beyond the debt") << AllocationMode::Selected << 70.0 << QList<int>{1, 0}
                                                  << Amounts{20, 50, 0} << 0.0;
        QTest::newRow("another patient's invoice left alone")
            << AllocationMode::Selected << 70.0 << QList<int>{2, 0} << Amounts{30, 0, 0} << 40.0;
        QTest::newRow("cents") << AllocationMode::Automatic << 30.015 << QList<int>{} << Amounts{30, 0.02, 0} << 0.0;
    }
    void newPayment() {
        QFETCH(AllocationMode, mode);
        QFETCH(double, amount);
        QFETCH(QList<int>, chosen);
        QFETCH(Amounts, expectPaid);
        QFETCH(double, overpayment);
        const QList<int> inv{invoice(m_anna, Day.addDays(-10), "R1", 30), invoice(m_anna, Day, "R2", 50, QVariant()),
                             invoice(m_peteris, Day.addDays(-20), "R3", 25)};
        QList<int> keys;
        for (int c : chosen) keys << inv.at(c);
        const PaymentOutcome o = TApmaksasDati(*m_db, 1).saveNew(payment(m_anna, amount, "B-77"), mode, keys);
        QVERIFY2(o.ok(), qPrintable(o.refusal.message));
        for (int i = 0; i < 3; ++i) QCOMPARE(paid(inv[i]) + 1, expectPaid[i] + 1);
        const double allocated = expectPaid[0] + expectPaid[1];
        QCOMPARE(paymentValue(o.key, "SUMMA").toDouble() + 1, allocated + 1);
        QCOMPARE(paymentValue(o.key, "PARPALIKUMS").toDouble() + 1, overpayment + 1);
        QCOMPARE(o.overpayment + 1, overpayment + 1);
        for (int i = 0; i < 2; ++i)
            if (expectPaid[i] > 0) {
                QCOMPARE(invoiceValue(inv[i], "APMAKS_NR").toString(), QString("B-77"));
                QCOMPARE(invoiceValue(inv[i], "APMAKSVEIDS").toInt(), 1);
                QCOMPARE(invoiceValue(inv[i], "APMAKS_DAT").toDateTime().date(), Day.addDays(5));
            }
        QCOMPARE(journal("J"), 1);
        QCOMPARE(broken(*m_db), QString());
    }

    void overpaymentLater() {
        const int older = invoice(m_anna, Day.addDays(-1), "R1", 30), newer = invoice(m_anna, Day, "R2", 50);
        TApmaksasDati dati(*m_db, 1);
        const PaymentOutcome advance = dati.saveNew(payment(m_anna, 60), AllocationMode::Advance);
        QCOMPARE(paid(older), 0.0);
        PaymentOutcome o = dati.allocateOverpayment(advance.key);
        QVERIFY(o.ok());
        QCOMPARE(paid(older), 30.0);
        QCOMPARE(paid(newer), 30.0);
        QCOMPARE(paymentValue(advance.key, "SUMMA").toDouble(), 60.0);
        QCOMPARE(paymentValue(advance.key, "PARPALIKUMS").toDouble() + 1, 1.0);
        QCOMPARE(m_db->scalar("SELECT PIEZIMES FROM O_OPERACIJAS WHERE TAUSTINS='PARP'").toString(),
                 QString("SakumaPārpal=60.00 BeiguPārpalik=0.00"));
        o = dati.allocateOverpayment(advance.key);
        QCOMPARE(o.refusal.message, QString("Nav ko sadalīt !!!"));
        QCOMPARE(journal("PARP"), 1);
        QCOMPARE(broken(*m_db), QString());
    }

    void deleteReverses() {
        const int full = invoice(m_anna, Day.addDays(-1), "R1", 30), part = invoice(m_anna, Day, "R2", 50);
        TApmaksasDati dati(*m_db, 1);
        const int first = dati.saveNew(payment(m_anna, 40, "B1"), AllocationMode::Automatic).key;  // 30 + 10
        const int second = dati.saveNew(payment(m_anna, 15, "B2", Day.addDays(6)), AllocationMode::Automatic).key;
        QCOMPARE(paid(part), 25.0);
        // The second payment paid the newer invoice partly: its number and date stay afterwards.
        QVERIFY(dati.deletePayments({second}).deleted);
        QCOMPARE(paid(part), 10.0);
        QCOMPARE(invoiceValue(part, "APMAKS_NR").toString(), QString("B2"));
        QCOMPARE(broken(*m_db), QString());
        // The first paid the older invoice completely: nothing paid, no number or date.
        QVERIFY(dati.deletePayments({first}).deleted);
        QCOMPARE(paid(full), 0.0);
        QCOMPARE(paid(part), 0.0);
        QCOMPARE(invoiceValue(full, "APMAKS_NR").toString(), QString());
        QVERIFY(invoiceValue(full, "APMAKS_DAT").isNull());
        QCOMPARE(count("O_APMAKS_HD") + count("O_APMAKS_DT"), 0);
        QCOMPARE(journal("D"), 2);
        QCOMPARE(dati.deletePayments({}).message, QString("Nav datu, ko dzēst !!!"));
    }

    // The database refuses half-way through an operation: nothing of it stays.
    void failureLeavesNothing() {
        const int good = invoice(m_anna, Day.addDays(-1), "R1", 30), bad = invoice(m_anna, Day, "BAD", 50);
        TApmaksasDati dati(*m_db, 1);
        // More than the good invoice's debt, so that spreading it reaches the refused one.
        const int advance = dati.saveNew(payment(m_anna, 50, "A1"), AllocationMode::Advance).key;
        const int before = dati.saveNew(payment(m_anna, 10, "B0"), AllocationMode::Automatic).key;
        QCOMPARE(paid(good), 10.0);
        m_fix->exec("CREATE EXCEPTION TEST_REFUSED 'refused by the test'");
        m_fix->exec("CREATE TRIGGER TEST_REFUSE FOR O_PAVOUT_HD BEFORE UPDATE AS BEGIN "
                    "IF (NEW.NUMURS = 'BAD' AND NEW.APMAKS_SUM IS DISTINCT FROM OLD.APMAKS_SUM) THEN "
                    "EXCEPTION TEST_REFUSED; END");
        m_fix->exec("CREATE TRIGGER TEST_REFUSE_DT FOR O_APMAKS_HD BEFORE DELETE AS BEGIN "
                    "IF (OLD.NUMURS = 'B0') THEN EXCEPTION TEST_REFUSED; END");
        const int payments = count("O_APMAKS_HD"), rows = count("O_APMAKS_DT"), journalRows = count("O_OPERACIJAS");

        PaymentOutcome o = dati.saveNew(payment(m_anna, 70, "B1"), AllocationMode::Automatic);
        QVERIFY(!o.ok());
        QVERIFY2(o.refusal.message.startsWith("Apmaksu saglabāt neizdevās !!! "), qPrintable(o.refusal.message));
        QVERIFY(o.details.contains("refused by the test"));
        o = dati.allocateOverpayment(advance);
        QVERIFY(o.refusal.message.startsWith("Apmaksu pārpalikumu saglabāt neizdevās !!! \n"));
        QCOMPARE(paymentValue(advance, "PARPALIKUMS").toDouble(), 50.0);
        const app::DeleteOutcome d = dati.deletePayments({advance, before});
        QVERIFY(!d.deleted);
        QVERIFY(d.message.startsWith("Ierakstu iždzēst neizdevās !!! \n "));
        QCOMPARE(paid(good), 10.0);
        QCOMPARE(paid(bad), 0.0);
        QCOMPARE(count("O_APMAKS_HD"), payments);
        QCOMPARE(count("O_APMAKS_DT"), rows);
        QCOMPARE(count("O_OPERACIJAS"), journalRows);
        QCOMPARE(broken(*m_db), QString());
    }

    // Editing a payment: invoices whose last payment it still is follow its new date, number and
    // method; an invoice paid later by another payment keeps that one's. The amounts stay.
    void editFollowsInvoices() {
        const int first = invoice(m_anna, Day.addDays(-2), "R1", 30), second = invoice(m_anna, Day, "R2", 50);
        TApmaksasDati dati(*m_db, 1);
        const int b1 = dati.saveNew(payment(m_anna, 40, "B1"), AllocationMode::Automatic).key;  // 30 + 10
        dati.saveNew(payment(m_anna, 5, "B2", Day.addDays(7)), AllocationMode::Automatic);       // second's last
        PaymentEdit e;
        e.key = b1;
        e.patient = e.oldPatient = m_anna;
        e.oldDate = Day.addDays(5);
        e.oldNumber = "B1";
        e.oldMethod = 1;
        e.date = Day.addDays(9);
        e.number = "B1-LABOTS";
        e.method = 0;
        PaymentOutcome o = dati.saveEdited(e);
        QVERIFY2(o.ok(), qPrintable(o.refusal.message));
        QCOMPARE(invoiceValue(first, "APMAKS_NR").toString(), QString("B1-LABOTS"));
        QCOMPARE(invoiceValue(first, "APMAKS_DAT").toDateTime().date(), Day.addDays(9));
        QCOMPARE(invoiceValue(first, "APMAKSVEIDS").toInt(), 0);
        QCOMPARE(invoiceValue(second, "APMAKS_NR").toString(), QString("B2"));
        QCOMPARE(paymentValue(b1, "SUMMA").toDouble(), 40.0);
        QCOMPARE(journal("L"), 1);
        // Saved over what was read: another workstation changed it meanwhile.
        e.number = "B1-OTRREIZ";
        o = dati.saveEdited(e);
        QCOMPARE(o.refusal.message, db::StaleRowError::Message());
        QCOMPARE(paymentValue(b1, "NUMURS").toString(), QString("B1-LABOTS"));
        // An allocated payment keeps its patient.
        e.oldDate = e.date;
        e.oldNumber = "B1-LABOTS";
        e.oldMethod = 0;
        e.patient = m_peteris;
        QVERIFY(dati.saveEdited(e).ok());
        QCOMPARE(paymentValue(b1, "ISKLIENTS").toInt(), m_anna);
        QCOMPARE(broken(*m_db), QString());
    }

    // Paying one invoice of 120.00 with 20.00 paid: the amount typed, what the invoice and the
    // payment show afterwards.
    void payInvoice_data() {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("document");
        QTest::addColumn<double>("paidAfter");
        QTest::addColumn<double>("summa");
        QTest::addColumn<double>("overpayment");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("the debt") << 100.0 << "K-1" << 120.0 << 100.0 << 0.0 << "";
        QTest::newRow("more than the debt") << 150.0 << "K-1" << 120.0 << 100.0 << 50.0 << "";
        QTest::newRow("part") << 40.0 << "K-1" << 60.0 << 40.0 << 0.0 << "";
        QTest::newRow("cents rounded") << 40.004 << "K-1" << 60.0 << 40.0 << 0.0 << "";
        QTest::newRow("nothing") << 0.0 << "K-1" << 20.0 << 0.0 << 0.0
                                 << "Apmaksu izdarīt neizdevās !!! summai jābūt lielākai par 0";
        QTest::newRow("refund") << -10.0 << "K-1" << 20.0 << 0.0 << 0.0
                                << "Apmaksu izdarīt neizdevās !!! summai jābūt lielākai par 0";
        QTest::newRow("long document") << 10.0 << "12345678901234567890-extra" << 30.0 << 10.0 << 0.0 << "";
    }
    void payInvoice() {
        QFETCH(double, amount);
        QFETCH(QString, document);
        QFETCH(double, paidAfter);
        QFETCH(double, summa);
        QFETCH(double, overpayment);
        QFETCH(QString, refusal);
        const int inv = invoice(m_anna, Day, "R1", 120, 20.0);
        // The 20.00 already paid came from a payment of its own.
        m_fix->exec("INSERT INTO O_APMAKS_HD (ISKLIENTS, DATUMS, NUMURS, SUMMA, PARPALIKUMS, APMAKSVEIDS) "
                    "VALUES (:K, :D, 'A0', 20, 0, 0)", {{"K", m_anna}, {"D", QDateTime(Day, QTime(0, 0))}});
        m_fix->exec("INSERT INTO O_APMAKS_DT (ISAPMAKSHD, ISPAVOUTHD, DATUMS, NUMURS, SUMMA) "
                    "SELECT MAX(ISN), :I, :D, 'R1', 20 FROM O_APMAKS_HD", {{"I", inv}, {"D", QDateTime(Day, QTime(0, 0))}});
        const PaymentOutcome o = TApmaksasDati(*m_db, 1).payInvoice(inv, amount, document, Day.addDays(3), 1);
        QCOMPARE(o.refusal.message, refusal);
        QCOMPARE(paid(inv), paidAfter);
        if (refusal.isEmpty()) {
            QCOMPARE(paymentValue(o.key, "SUMMA").toDouble(), summa);
            QCOMPARE(paymentValue(o.key, "PARPALIKUMS").toDouble() + 1, overpayment + 1);
            QCOMPARE(paymentValue(o.key, "NUMURS").toString(), document.left(20));
            QCOMPARE(invoiceValue(inv, "APMAKS_NR").toString(), document.left(20));
            QCOMPARE(invoiceValue(inv, "APMAKS_DAT").toDateTime().date(), Day.addDays(3));
            QCOMPARE(invoiceValue(inv, "APMAKSVEIDS").toInt(), 1);
            QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM O_APMAKS_DT WHERE ISAPMAKSHD=:P", {{"P", o.key}}).toInt(), 1);
        } else {
            QCOMPARE(count("O_APMAKS_HD"), 1);
        }
        QCOMPARE(broken(*m_db), QString());
    }

    // The register's list by filter, and the unpaid page's sums.
    void listAndUnpaid_data() {
        QTest::addColumn<PaymentFilter>("filter");
        QTest::addColumn<QStringList>("numbers");  // newest first
        PaymentFilter all;
        all.allDates = true;
        QTest::newRow("every date") << all << QStringList{"C", "B", "A"};
        PaymentFilter f;
        f.from = Day;
        f.to = Day.addDays(1);
        QTest::newRow("period, last day included") << f << QStringList{"B", "A"};
        f = all;
        f.number = "B";
        QTest::newRow("number") << f << QStringList{"B"};
        f = all;
        f.number = "B' OR 1=1 --";
        QTest::newRow("typed quote") << f << QStringList{};
        f = all;
        f.overpayment = PaymentFilter::WithOverpaymentOnly;
        QTest::newRow("with overpayment") << f << QStringList{"C"};
        f = all;
        f.method = 0;
        QTest::newRow("method") << f << QStringList{"B"};
        f = all;
        f.patient = -1;  // Pēteris, set below
        QTest::newRow("patient") << f << QStringList{"A"};
    }
    void listAndUnpaid() {
        QFETCH(PaymentFilter, filter);
        QFETCH(QStringList, numbers);
        if (filter.patient < 0) filter.patient = m_peteris;
        const int older = invoice(m_anna, Day.addDays(-1), "R1", 30), newer = invoice(m_anna, Day, "R2", 50, QVariant());
        invoice(m_peteris, Day, "R3", 10);
        TApmaksasDati dati(*m_db, 1);
        NewPayment a = payment(m_peteris, 10, "A", Day);
        a.method = 1;
        NewPayment b = payment(m_anna, 10, "B", Day.addDays(1));
        b.method = 0;
        NewPayment c = payment(m_anna, 5, "C", Day.addDays(2));
        c.method = 1;
        QVERIFY(dati.saveNew(a, AllocationMode::Automatic).ok());
        QVERIFY(dati.saveNew(b, AllocationMode::Automatic).ok());
        QVERIFY(dati.saveNew(c, AllocationMode::Advance).ok());
        const db::ResultSet rs = dati.list(filter);
        QStringList got;
        for (int r = 0; r < rs.rowCount(); ++r) got << rs.value(r, "NUMURS").toString();
        QCOMPARE(got, numbers);
        // Anna's unpaid: 20.00 left of 30.00, and 50.00 with no paid sum at all, oldest first.
        const db::ResultSet unpaid = dati.unpaid(m_anna);
        QCOMPARE(unpaid.rowCount(), 2);
        QCOMPARE(unpaid.value(0, "ISN").toInt(), older);
        QCOMPARE(unpaid.value(1, "ISN").toInt(), newer);
        const UnpaidTotals t = TApmaksasDati::Totals(unpaid);
        QCOMPARE(t.total, 80.0);
        QCOMPARE(t.paid, 10.0);
        QCOMPARE(t.debt(), 70.0);
        QCOMPARE(TApmaksasDati::SelectedDebt(unpaid, {1}), 50.0);
        QCOMPARE(TApmaksasDati::SelectedDebt(unpaid, {0, 1}), 70.0);
    }

    // The demo clinic with its own payments: new payments in every mode, edits, overpayment
    // allocations and deletes of its payments and of new ones, with the sums checked after each.
    void randomSequenceOnDemoClinic() {
        cleanup();
        m_db = testsupport::freshDatabase(QStringLiteral("payments-demo"));
        demo::DemoDataGenerator(*m_db, demo::Scale::Demo, 7, QDate(2026, 12, 6)).run();
        QCOMPARE(broken(*m_db), QString());
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        QRandomGenerator rnd(seed);
        // Patients with open invoices, and the demo's own payments.
        const db::ResultSet owing = m_db->select(
            "SELECT FIRST 12 ISKLIENTS FROM O_PAVOUT_HD WHERE KOPSUMMA - COALESCE(APMAKS_SUM, 0) >= 0.005 "
            "GROUP BY ISKLIENTS ORDER BY COUNT(*) DESC");
        QVERIFY(owing.rowCount() > 3);
        QList<int> patients;
        for (int r = 0; r < owing.rowCount(); ++r) patients << owing.value(r, 0).toInt();
        QList<int> payments;
        const db::ResultSet existing =
            m_db->select("SELECT FIRST 20 ISN FROM O_APMAKS_HD WHERE ISKLIENTS IN (SELECT FIRST 12 ISKLIENTS FROM "
                         "O_PAVOUT_HD GROUP BY ISKLIENTS ORDER BY COUNT(*) DESC) ORDER BY ISN DESC");
        for (int r = 0; r < existing.rowCount(); ++r) payments << existing.value(r, 0).toInt();
        TApmaksasDati dati(*m_db, 1);
        for (int step = 0; step < 60; ++step) {
            const int who = patients.at(rnd.bounded(patients.size()));
            const int action = rnd.bounded(10);
            if (action < 4 || payments.isEmpty()) {
                QList<int> chosen;
                const db::ResultSet open = dati.unpaid(who);
                for (int r = 0; r < open.rowCount(); ++r)
                    if (rnd.bounded(2) == 0) chosen << open.value(r, "ISN").toInt();
                const PaymentOutcome o = dati.saveNew(payment(who, rnd.bounded(1, 40000) / 100.0, QString("D%1").arg(step)),
                                                      AllocationMode(rnd.bounded(3)), chosen);
                QVERIFY2(o.ok(), qPrintable(o.refusal.message));
                payments << o.key;
            } else if (action < 6) {
                dati.allocateOverpayment(payments.at(rnd.bounded(payments.size())));
            } else if (action < 8) {
                const std::optional<PaymentHeader> h = dati.load(payments.at(rnd.bounded(payments.size())));
                QVERIFY(h);
                PaymentEdit e;
                e.key = h->isn;
                e.patient = e.oldPatient = h->patient;
                e.date = h->date.addDays(rnd.bounded(3));
                e.oldDate = h->date;
                e.number = h->number + "E";
                e.oldNumber = h->number;
                e.method = rnd.bounded(2);
                e.oldMethod = h->method;
                const PaymentOutcome o = dati.saveEdited(e);
                QVERIFY2(o.ok(), qPrintable(o.refusal.message));
            } else {
                QVERIFY(dati.deletePayments({payments.takeAt(rnd.bounded(payments.size()))}).deleted);
            }
            const QString b = broken(*m_db);
            QVERIFY2(b.isEmpty(), qPrintable(QString("step %1: %2").arg(step).arg(b)));
        }
    }

    // Many payments, overpayment allocations and deletes over three patients, in a random order
    // (seeded, printed), with the sums checked after every step.
    void randomSequence() {
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        QRandomGenerator rnd(seed);
        const int third = m_fix->patient("Ozola", "Ilze", "030370-34567");
        const QList<int> patients{m_anna, m_peteris, third};
        QHash<int, QList<int>> invoices;
        for (int i = 0; i < 30; ++i) {
            const int who = patients.at(i % 3);
            invoices[who] << invoice(who, Day.addDays(-int(rnd.bounded(200))), QString("R%1").arg(i),
                                     rnd.bounded(1, 20000) / 100.0, i % 7 == 0 ? QVariant() : QVariant(0.0));
        }
        TApmaksasDati dati(*m_db, 1);
        QList<int> payments;
        for (int step = 0; step < 80; ++step) {
            const int who = patients.at(rnd.bounded(3));
            const int action = rnd.bounded(10);
            if (action < 5 || payments.isEmpty()) {
                const auto mode = AllocationMode(rnd.bounded(3));
                QList<int> chosen;
                for (int k : invoices[who])
                    if (rnd.bounded(3) == 0) chosen << k;
                const PaymentOutcome o = dati.saveNew(payment(who, rnd.bounded(1, 30000) / 100.0, QString("P%1").arg(step)),
                                                      mode, chosen);
                QVERIFY2(o.ok(), qPrintable(o.refusal.message));
                payments << o.key;
            } else if (action < 8) {
                dati.allocateOverpayment(payments.at(rnd.bounded(payments.size())));
            } else {
                QVERIFY(dati.deletePayments({payments.takeAt(rnd.bounded(payments.size()))}).deleted);
            }
            const QString b = broken(*m_db);
            QVERIFY2(b.isEmpty(), qPrintable(QString("step %1: %2").arg(step).arg(b)));
        }
        // Money is neither made nor lost: what was received is allocated or kept.
        const double received = m_db->scalar("SELECT COALESCE(SUM(SUMMA + PARPALIKUMS), 0) FROM O_APMAKS_HD").toDouble();
        const double rows = m_db->scalar("SELECT COALESCE(SUM(SUMMA), 0) FROM O_APMAKS_DT").toDouble();
        const double kept = m_db->scalar("SELECT COALESCE(SUM(PARPALIKUMS), 0) FROM O_APMAKS_HD").toDouble();
        QVERIFY(qAbs(received - rows - kept) < 0.01);
    }

    // Two workstations through the Firebird server pay the same patient's invoices at the same
    // moment, many times over: no invoice is ever paid beyond its total, and every payment's money is
    // either on an invoice or kept as its overpayment.
    void twoWorkstationsPayTheSameInvoices() {
        if (testsupport::serverPrefix().isEmpty()) QSKIP("needs the Firebird server (MOLARIX_FB_SERVER)");
        constexpr int Invoices = 30;
        double total = 0;
        for (int i = 0; i < Invoices; ++i) {
            invoice(m_anna, Day.addDays(i), QString("R%1").arg(i), 100);
            total += 100;
        }
        const int patient = m_anna;
        cleanup();
        const QString connection = testsupport::serverPrefix() + m_path;
        auto reception = testsupport::open(connection);
        auto bookkeeper = testsupport::open(connection);
        constexpr int Each = 30;
        std::atomic<int> ready{0}, refused{0};
        auto run = [&](db::Database* database, int who) {
            TApmaksasDati dati(*database, 1);
            ready.fetch_add(1);
            while (ready.load() < 2) QThread::yieldCurrentThread();
            for (int i = 0; i < Each; ++i) {
                // 70 each: both read the same first open invoice.
                const PaymentOutcome o = dati.saveNew(payment(patient, 70, QString("W%1-%2").arg(who).arg(i)),
                                                      i % 2 ? AllocationMode::Automatic : AllocationMode::Selected,
                                                      {});
                if (!o.ok()) refused.fetch_add(1);
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
        reception->commitRetaining();
        QCOMPARE(broken(*reception), QString());
        const int stored = reception->scalar("SELECT COUNT(*) FROM O_APMAKS_HD").toInt();
        QCOMPARE(stored + refused.load(), 2 * Each);
        // Refused ones wrote nothing; the others' money is all accounted for.
        const double allocated = reception->scalar("SELECT SUM(APMAKS_SUM) FROM O_PAVOUT_HD").toDouble();
        const double received = reception->scalar("SELECT SUM(SUMMA + PARPALIKUMS) FROM O_APMAKS_HD").toDouble();
        const double kept = reception->scalar("SELECT SUM(PARPALIKUMS) FROM O_APMAKS_HD").toDouble();
        QVERIFY(allocated <= total + 0.005);
        QVERIFY(qAbs(received - allocated - kept) < 0.01);
        QVERIFY2(refused.load() <= Each / 5, "the retries should carry almost every payment through");
    }

    // Same as above but selected mode with the same invoice chosen by both: the later one pays only
    // what is left and keeps the rest.
    void twoWorkstationsChooseTheSameInvoice() {
        if (testsupport::serverPrefix().isEmpty()) QSKIP("needs the Firebird server (MOLARIX_FB_SERVER)");
        constexpr int Rounds = 40;
        QList<int> inv;
        for (int i = 0; i < Rounds; ++i) inv << invoice(m_anna, Day.addDays(i), QString("R%1").arg(i), 100);
        const int patient = m_anna;
        cleanup();
        const QString connection = testsupport::serverPrefix() + m_path;
        auto a = testsupport::open(connection);
        auto b = testsupport::open(connection);
        std::atomic<int> ready{0};
        auto run = [&](db::Database* database, int who) {
            TApmaksasDati dati(*database, 1);
            for (int i = 0; i < Rounds; ++i) {
                ready.fetch_add(1);
                while (ready.load() < 2 * (i + 1)) QThread::yieldCurrentThread();
                dati.saveNew(payment(patient, 60, QString("S%1-%2").arg(who).arg(i)), AllocationMode::Selected, {inv[i]});
            }
        };
        QThread* first = QThread::create(run, a.get(), 0);
        QThread* second = QThread::create(run, b.get(), 1);
        first->start();
        second->start();
        QVERIFY(first->wait(120000));
        QVERIFY(second->wait(120000));
        delete first;
        delete second;
        a->commitRetaining();
        QCOMPARE(broken(*a), QString());
        for (int i = 0; i < Rounds; ++i) {
            const db::ResultSet rs = a->select("SELECT SUM(D.SUMMA) S, COUNT(*) N FROM O_APMAKS_DT D WHERE D.ISPAVOUTHD=:I",
                                               {{"I", inv[i]}});
            // 60 + 40 when both got through, 60 when one was refused.
            QVERIFY(rs.value(0, "S").toDouble() <= 100.005);
        }
        QCOMPARE(a->scalar("SELECT COUNT(*) FROM O_PAVOUT_HD WHERE APMAKS_SUM > KOPSUMMA + 0.005").toInt(), 0);
    }

    void importTwiceAddsNothing() {
        const int older = invoice(m_anna, Day.addDays(-3), "R1", 30), newer = invoice(m_anna, Day, "R2", 50);
        invoice(m_peteris, Day, "R3", 10);
        const QString csv = "010180-12345;05.03.2026;BANKA-1;100,00;0\r\n"
                            "020290-23456;05.03.2026;BANKA-2;4.5;1\r\n"
                            "010180-12345;05.03.2026;BANKA-1;100,00;0\r\n"  // the same line twice
                            "999999-99999;05.03.2026;BANKA-3;5;0\r\n"       // nobody
                            "\r\n";
        PaymentImportResult r = PaymentImport(*m_db, 1).run(csv);
        QVERIFY2(r.ok, qPrintable(r.failure.message()));
        QCOMPARE(r.imported, 2);
        QCOMPARE(r.skipped, 2);
        QCOMPARE(r.allocated, 84.5);
        QCOMPARE(r.overpayment, 20.0);
        QCOMPARE(r.skippedLines.size(), 2);
        QVERIFY(r.skippedLines.at(1).startsWith("Rinda 4"));
        QCOMPARE(paid(older), 30.0);
        QCOMPARE(paid(newer), 50.0);
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM O_OPERACIJAS WHERE TAUSTINS='J' AND PIEZIMES='No CSV'").toInt(), 2);
        const int rows = count("O_APMAKS_DT");
        r = PaymentImport(*m_db, 1).run(csv);
        QVERIFY(r.ok);
        QCOMPARE(r.imported, 0);
        QCOMPARE(r.skipped, 4);
        QCOMPARE(count("O_APMAKS_HD"), 2);
        QCOMPARE(count("O_APMAKS_DT"), rows);
        QCOMPARE(broken(*m_db), QString());
    }

    void badLineLeavesNothing_data() {
        QTest::addColumn<QString>("badLine");
        QTest::addColumn<int>("field");
        QTest::newRow("no date") << "010180-12345;32.13.2026;B2;10;0" << 2;
        QTest::newRow("no number") << "010180-12345;05.03.2026;;10;0" << 3;
        QTest::newRow("amount not a number") << "010180-12345;05.03.2026;B2;desmit;0" << 4;
        QTest::newRow("amount zero") << "010180-12345;05.03.2026;B2;0;0" << 4;
        QTest::newRow("refund") << "010180-12345;05.03.2026;B2;-5;0" << 4;
        QTest::newRow("unknown method") << "010180-12345;05.03.2026;B2;10;7" << 5;
        QTest::newRow("number too long") << "010180-12345;05.03.2026;B123456789012345678901;10;0" << 3;
    }
    void badLineLeavesNothing() {
        QFETCH(QString, badLine);
        QFETCH(int, field);
        invoice(m_anna, Day, "R1", 30);
        const PaymentImportResult r =
            PaymentImport(*m_db, 1).run("010180-12345;05.03.2026;B1;10;0\n020290-23456;05.03.2026;B1;1;0\n" + badLine);
        QVERIFY(!r.ok);
        QCOMPARE(r.failure.line, 3);
        QCOMPARE(r.failure.field, field);
        QVERIFY(r.failure.message().startsWith("Kaut kas nav kārtībā !!!\n" + badLine));
        QCOMPARE(count("O_APMAKS_HD") + count("O_APMAKS_DT") + count("O_OPERACIJAS"), 0);
        QCOMPARE(paid(m_db->scalar("SELECT MIN(ISN) FROM O_PAVOUT_HD").toInt()), 0.0);
    }

    void adminImportPayments() {
        invoice(m_anna, Day, "R1", 30);
        cleanup();
        const QString good = scratch("good.csv", "010180-12345;05.03.2026;B1;45;0\n020290-23456;06.03.2026;B9;5;1\n");
        admintest::Run r = admintest::admin({"import-payments", m_path, good});
        QVERIFY2(r.code == 0, qPrintable(r.all()));
        QVERIFY2(r.out.contains("Importēti maksājumi: 2, izlaisti: 0, sadalīts pa rēķiniem kopā: 30.00, pārpalikumā: 20.00"),
                 qPrintable(r.out));
        r = admintest::admin({"import-payments", m_path, good});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains("Importēti maksājumi: 0, izlaisti: 2, sadalīts pa rēķiniem kopā: 0.00"), qPrintable(r.out));
        const QString bad = scratch("bad.csv", "010180-12345;07.03.2026;B2;45;0\n010180-12345;07.03.2026;B3;x;0\n");
        r = admintest::admin({"import-payments", m_path, bad});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("Rinda 2, lauks 4") && r.err.contains("Nekas netika ierakstīts."), qPrintable(r.err));
        QCOMPARE(admintest::admin({"import-payments", m_path}).code, 2);
        m_db = testsupport::open(m_path);
        QCOMPARE(count("O_APMAKS_HD"), 2);
        QCOMPARE(broken(*m_db), QString());
    }
};

QTEST_GUILESS_MAIN(TestPaymentStore)
#include "tst_payment_store.moc"
