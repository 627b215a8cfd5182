// The payment windows as the bookkeeper uses them: one invoice paid partly from the invoice
// register, the rest with an overpayment in the payment register over the invoice chosen on the
// unpaid page, the first payment deleted and the overpayment spread later, with the invoice's paid
// sum followed in the invoice register; the pay dialog's refusals; the main window's entry.
#include "InvoiceFixture.h"
#include "db/Transaction.h"
#include "ModalHelper.h"
#include "TestDatabase.h"
#include "app/TMainFormDati.h"
#include "app/WindowRegistry.h"
#include "billing/TApmFiltrs.h"
#include "billing/TApmaksas.h"
#include "billing/TApmaksatPZ.h"
#include "billing/TIzrakstisana.h"
#include "models/ResultTableModel.h"
#include "molarix/Composition.h"
#include "patients/TKlienti.h"
#include "widgets/NullableDateEdit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

using namespace billing;

class TestPaymentWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<app::TMainFormDati> m_session;
    std::unique_ptr<app::WindowRegistry> m_registry;
    std::unique_ptr<InvoiceFixture> m_fix;
    db::Database* m_db = nullptr;
    int m_anna = 0, m_item = 0;
    const QDate m_today = QDate::currentDate();

    template <typename W>
    W* open(app::WindowId id) {
        auto* w = qobject_cast<W*>(m_registry->open(id, *m_session, nullptr));
        if (w && !QTest::qWaitForWindowExposed(w)) return nullptr;
        return w;
    }
    template <typename W>
    void click(W* w, const char* name) {
        QPushButton* b = w->button(QString::fromLatin1(name));
        QVERIFY2(b && b->isEnabled(), name);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    // An invoice of the given total (one line without VAT), dated days ago.
    int invoice(const QString& number, double total, int daysAgo) {
        const int key = m_fix->invoice(m_anna, m_today.addDays(-daysAgo), number);
        m_fix->line(key, m_item, total, 1, 0);
        return key;
    }
    double paid(int invoice) {
        return m_db->scalar("SELECT APMAKS_SUM FROM O_PAVOUT_HD WHERE ISN=:I", {{"I", invoice}}).toDouble();
    }
    // The "Apm. summa" the invoice register shows for the invoice.
    static QString paidShown(TIzrakstisana* w, int invoice) {
        const int row = w->model()->findRow(invoice);
        return row < 0 ? QString() : w->model()->index(row, 5).data().toString();
    }

private Q_SLOTS:
    void init() {
        testsupport::isolateSettings();
        m_session = std::make_unique<app::TMainFormDati>(testsupport::freshDatabase(QStringLiteral("paywin")));
        QVERIFY(m_session->authenticate(QStringLiteral("ADMIN"), QString()).ok());
        m_registry = std::make_unique<app::WindowRegistry>();
        molarix::Compose(*m_registry, *m_session);
        m_db = &m_session->database();
        m_fix = std::make_unique<InvoiceFixture>(*m_db);
        m_anna = m_fix->patient("Liepiņa", "Anna", "010180-12345");
        m_fix->patient("Zariņš", "Pēteris", "020290-23456");
        m_item = m_fix->item("Plomba", 100.0, 0, "P1");
        m_db->commitRetaining();
        InvoiceFilter f;
        f.from = m_today.addDays(-60);
        f.to = m_today;
        f.write();
        PaymentFilter p;
        p.from = m_today.addDays(-60);
        p.to = m_today;
        p.write();
    }
    void cleanup() {
        delete m_registry->instance(app::WindowId::Payments);
        delete m_registry->instance(app::WindowId::Invoices);
        m_registry.reset();
        m_fix.reset();
        m_session.reset();
    }

    // A long list shows its first screenful at once and reads the rest while the user looks; a
    // payment further down to stay on is read at once.
    void longListReadInSteps() {
        {
            db::Transaction tx(*m_db);
            for (int i = 0; i < 700; ++i)
                tx.exec("INSERT INTO O_APMAKS_HD (ISKLIENTS, DATUMS, NUMURS, SUMMA, PARPALIKUMS, APMAKSVEIDS) "
                        "VALUES (:K, :D, :N, 10, 10, 0)",
                        {{"K", m_anna}, {"D", QDateTime(m_today.addDays(-(i % 30)), QTime(0, 0))},
                         {"N", QStringLiteral("M-%1").arg(i)}});
            tx.commit();
        }
        const int last = m_db->scalar("SELECT MAX(ISN) FROM O_APMAKS_HD").toInt();
        auto* w = open<TApmaksas>(app::WindowId::Payments);
        QVERIFY(w);
        QTRY_COMPARE(w->model()->rowCount(), 700);
        w->refresh();
        QVERIFY(w->model()->rowCount() < 700);
        w->refresh(last);
        QCOMPARE(w->currentKey(), last);
        QTRY_COMPARE(w->model()->rowCount(), 700);
    }

    // The main window's "Rēķinu apmaksa" opens the register; no right gates it.
    void catalogueEntry() {
        const app::WindowEntry* entry = app::FindWindowEntry(app::WindowId::Payments);
        QVERIFY(entry);
        QVERIFY(entry->rightsCode.isEmpty());
        QCOMPARE(entry->caption, QStringLiteral("Rēķinu apmaksa"));
        QVERIFY(m_registry->has(app::WindowId::Payments));
        auto* w = open<TApmaksas>(app::WindowId::Payments);
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Rēķinu apmaksas"));
        QCOMPARE(m_registry->open(app::WindowId::Payments, *m_session, nullptr), w);
    }

    void bookkeeperFlow() {
        const int older = invoice("R-1", 100, 20), newer = invoice("R-2", 50, 10);
        auto* invoices = open<TIzrakstisana>(app::WindowId::Invoices);
        QVERIFY(invoices);
        ModalHelper modal;
        QString typedAmount = "40";
        modal.onDialog = [&](QDialog* d) {
            if (auto* pay = qobject_cast<TApmaksatPZ*>(d)) {
                // It proposes the debt, the invoice's number and today.
                QCOMPARE(pay->windowTitle(), QStringLiteral("Rēķina apmaksa"));
                QCOMPARE(pay->amountEdit()->text(), QStringLiteral("100"));
                QCOMPARE(pay->documentEdit()->text(), QStringLiteral("R-1"));
                QCOMPARE(pay->dateEdit()->value(), m_today);
                pay->amountEdit()->setText(typedAmount);
                pay->documentEdit()->setText("KASE-1");
                pay->methodCombo()->setCurrentIndex(1);
                QTest::mouseClick(pay->payButton(), Qt::LeftButton);
                return;
            }
            if (auto* list = qobject_cast<patients::TKlienti*>(d)) {
                list->quickSearchEdit()->setFocus();
                typeText(list->quickSearchEdit(), "liep");
                QTest::keyClick(list->quickSearchEdit(), Qt::Key_Return);
                QTest::keyClick(list->grid(), Qt::Key_Return);
            }
        };

        // 1. From the invoice register: 40.00 of the older invoice's 100.00, Ctrl+A.
        QVERIFY(invoices->setCurrentKey(older));
        QVERIFY(invoices->button("btApmaksa")->isEnabled());
        QVERIFY(invoices->action("actApmaksat")->isEnabled());
        QTest::keyClick(invoices->grid(), Qt::Key_A, Qt::ControlModifier);
        QTRY_COMPARE(paid(older), 40.0);
        QCOMPARE(paidShown(invoices, older), QStringLiteral("40.00"));
        QCOMPARE(invoices->currentKey(), older);
        QCOMPARE(m_db->scalar("SELECT APMAKS_NR FROM O_PAVOUT_HD WHERE ISN=:I", {{"I", older}}).toString(),
                 QStringLiteral("KASE-1"));

        // 2. In the payment register: the first payment is listed; a new one of 75.00 for the
        //    older invoice chosen on the unpaid page pays its 60.00 and keeps 15.00.
        auto* payments = open<TApmaksas>(app::WindowId::Payments);
        QVERIFY(payments);
        QCOMPARE(payments->model()->rowCount(), 1);
        const int first = payments->currentKey();
        QCOMPARE(payments->edit("NUMURS")->text(), QStringLiteral("KASE-1"));
        click(payments, "btJauns");
        QCOMPARE(payments->state(), TApmaksas::State::Insert);
        QCOMPARE(payments->dateEdit()->value(), m_today);
        // Saving without a patient says so.
        payments->edit("NUMURS")->setText("BANKA-2");
        payments->edit("SUMMA")->setText("75");
        click(payments, "btSaglabat");
        QCOMPARE(modal.messages.value(0), QStringLiteral("Nav izvēlēts klients !!!"));
        click(payments, "btKlients");
        QTRY_COMPARE(payments->edit("edKlients")->text(), QStringLiteral("Liepiņa Anna"));
        payments->tabs()->setCurrentIndex(TApmaksas::UnpaidPage);
        QCOMPARE(payments->unpaidModel()->rowCount(), 2);
        QCOMPARE(payments->sumLabel("lbRekinuSumma")->text(), QStringLiteral("    150.00"));
        QCOMPARE(payments->sumLabel("lbApmaksats")->text(), QStringLiteral("     40.00"));
        QCOMPARE(payments->sumLabel("lbAtlikums")->text(), QStringLiteral("    110.00"));
        payments->unpaidGrid()->selectRow(payments->unpaidModel()->findRow(older));
        QCOMPARE(payments->sumLabel("lbAtlasita")->text(), QStringLiteral("     60.00"));
        modal.answers = {QMessageBox::Yes};
        click(payments, "btSaglabat");
        QCOMPARE(modal.messages.value(1), QStringLiteral("Vai apmaksāt TIKAI atlasītās pavadzīmes ?"));
        QCOMPARE(payments->state(), TApmaksas::State::Browse);
        QCOMPARE(paid(older), 100.0);
        QCOMPARE(paid(newer), 0.0);
        const int second = payments->currentKey();
        QVERIFY(second != first);
        QCOMPARE(payments->payment().allocated, 60.0);
        QCOMPARE(payments->payment().overpayment, 15.0);
        // Paid, it leaves the unpaid page.
        QCOMPARE(payments->unpaidModel()->rowCount(), 1);
        payments->tabs()->setCurrentIndex(TApmaksas::PaymentsPage);
        QCOMPARE(payments->allocationsModel()->rowCount(), 1);
        // A payment with money left over is red.
        const int secondRow = payments->model()->findRow(second);
        QCOMPARE(payments->model()->index(secondRow, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
        // The invoice register follows without being asked.
        QTRY_COMPARE(paidShown(invoices, older), QStringLiteral("100.00"));

        // 3. The first payment deleted: the invoice's paid sum drops to 60.00 and keeps the
        //    second payment's number.
        QVERIFY(payments->setCurrentKey(first));
        modal.answers = {QMessageBox::Yes};
        click(payments, "btDzest");
        QCOMPARE(modal.messages.value(2), QStringLiteral("Vai tiešām vēlaties dzēst ierakstu ?"));
        QCOMPARE(payments->model()->rowCount(), 1);
        QCOMPARE(paid(older), 60.0);
        QCOMPARE(m_db->scalar("SELECT APMAKS_NR FROM O_PAVOUT_HD WHERE ISN=:I", {{"I", older}}).toString(),
                 QStringLiteral("BANKA-2"));
        QTRY_COMPARE(paidShown(invoices, older), QStringLiteral("60.00"));

        // 4. The overpayment spread without a choice goes to the oldest invoice still owing.
        QCOMPARE(payments->currentKey(), second);
        click(payments, "btParpalikums");
        QCOMPARE(paid(older), 75.0);
        QCOMPARE(payments->payment().overpayment + 1, 1.0);
        QTRY_COMPARE(paidShown(invoices, older), QStringLiteral("75.00"));
        click(payments, "btParpalikums");
        QCOMPARE(modal.messages.value(3), QStringLiteral("Nav ko sadalīt !!!"));
        QCOMPARE(modal.messages.size(), 4);
    }

    // The pay dialog refuses letters and writes nothing; a paid invoice is not offered.
    void payDialogRefusals() {
        const int key = invoice("R-9", 100, 1);
        const int done = invoice("R-10", 100, 1);
        m_fix->exec("UPDATE O_PAVOUT_HD SET APMAKS_SUM = 99.99 WHERE ISN = :I", {{"I", done}});
        auto* invoices = open<TIzrakstisana>(app::WindowId::Invoices);
        QVERIFY(invoices);
        ModalHelper modal;
        modal.onDialog = [&](QDialog* d) {
            if (auto* pay = qobject_cast<TApmaksatPZ*>(d)) {
                pay->amountEdit()->setText("desmit");
                QTest::mouseClick(pay->payButton(), Qt::LeftButton);
            }
        };
        QVERIFY(invoices->setCurrentKey(done));
        click(invoices, "btApmaksa");
        QCOMPARE(modal.messages, QStringList{"Rēķins jau ir apmaksāts !!!"});
        QVERIFY(invoices->setCurrentKey(key));
        click(invoices, "btApmaksa");
        QTRY_COMPARE(modal.messages.size(), 2);
        QCOMPARE(modal.messages.at(1), QStringLiteral("Apmaksu izdarīt neizdevās !!! \"desmit\" nav skaitlis"));
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM O_APMAKS_HD").toInt(), 0);
        QCOMPARE(paid(key), 0.0);
    }

    // The filter dialog keeps what it stores, and a method chosen unticks "Visi veidi".
    void filterKeepsItsSettings() {
        {
            auto* payments = open<TApmaksas>(app::WindowId::Payments);
            QVERIFY(payments);
            TApmFiltrs* f = payments->filterDialog();
            QVERIFY(f->allMethods()->isChecked());
            f->allDates()->setChecked(true);
            f->numberEdit()->setText("B-7");
            delete payments;
        }
        const PaymentFilter stored = PaymentFilter::Read();
        QVERIFY(stored.allDates);
        QCOMPARE(stored.number, QStringLiteral("B-7"));
        QCOMPARE(stored.from, m_today.addDays(-60));
    }
};

QTEST_MAIN(TestPaymentWindow)
#include "tst_payment_window.moc"
