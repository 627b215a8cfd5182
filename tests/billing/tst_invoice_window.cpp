// The invoice register on the real windows: the bookkeeper's new invoice with two lines picked
// from the price list, its totals and its PDF; the buttons by state and right; the filter moved
// to a saved invoice; a copy; a print that the database refuses; the main window's entry.
#include "InvoiceFixture.h"
#include "db/Transaction.h"
#include "ModalHelper.h"
#include "TestDatabase.h"
#include "app/Settings.h"
#include "app/TMainFormDati.h"
#include "app/WindowRegistry.h"
#include "billing/TIzrakstisana.h"
#include "billing/TIzrakstisanaCitasZinas.h"
#include "models/ResultTableModel.h"
#include "molarix/Composition.h"
#include "patients/TKlienti.h"
#include "references/TKlasifikators.h"
#include "widgets/NullableDateEdit.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QtTest>

using namespace billing;

class TestInvoiceWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<app::TMainFormDati> m_session;
    std::unique_ptr<app::WindowRegistry> m_registry;
    std::unique_ptr<InvoiceFixture> m_fix;
    db::Database* m_db = nullptr;
    int m_anna = 0, m_plomba = 0, m_higiena = 0;
    const QDate m_today = QDate::currentDate();

    TIzrakstisana* openRegister() {
        auto* w = qobject_cast<TIzrakstisana*>(m_registry->open(app::WindowId::Invoices, *m_session, nullptr));
        if (w && !QTest::qWaitForWindowExposed(w)) return nullptr;
        return w;
    }
    void click(TIzrakstisana* w, const char* name) {
        QPushButton* b = w->button(QString::fromLatin1(name));
        QVERIFY2(b && b->isEnabled(), name);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    // A list window used as a picker: the row found by typing part of its name, chosen with Enter.
    static void pickIn(QDialog* d, const QString& typed) {
        QLineEdit* search = nullptr;
        QTableView* grid = nullptr;
        if (auto* list = qobject_cast<patients::TKlienti*>(d)) {
            search = list->quickSearchEdit();
            grid = list->grid();
        } else if (auto* list = qobject_cast<references::TKlasifikators*>(d)) {
            search = list->quickSearch();
            grid = list->grid();
        }
        if (!search) return;
        search->setFocus();
        search->clear();
        typeText(search, typed);
        QTest::keyClick(search, Qt::Key_Return);
        QTest::keyClick(grid, Qt::Key_Return);
    }

private Q_SLOTS:
    void init() {
        testsupport::isolateSettings();
        m_session = std::make_unique<app::TMainFormDati>(testsupport::freshDatabase(QStringLiteral("invoicewin")));
        QVERIFY(m_session->authenticate(QStringLiteral("ADMIN"), QString()).ok());
        m_registry = std::make_unique<app::WindowRegistry>();
        molarix::Compose(*m_registry, *m_session);
        m_db = &m_session->database();
        m_fix = std::make_unique<InvoiceFixture>(*m_db);
        m_anna = m_fix->patient("Liepiņa", "Anna", "010180-12345");
        m_fix->patient("Zariņš", "Pēteris", "020290-23456");
        m_plomba = m_fix->item("Plomba", 121.0, 21, "P1");
        m_higiena = m_fix->item("Zobu higiēna", 50.0, 0, "H1");
        m_db->commitRetaining();
        InvoiceFilter f;
        f.from = m_today.addDays(-30);
        f.to = m_today;
        f.write();
        app::Settings::setInteger("IzrakstOrder", "TekPZNr", 7);
        app::Settings::setString("IzrakstOrder", "Serija", "AB");
    }
    void cleanup() {
        delete m_registry->instance(app::WindowId::Invoices);
        m_registry.reset();
        m_fix.reset();
        m_session.reset();
    }

    // The main window's "Rēķini" opens the register; no right gates the entry.
    void catalogueEntry() {
        const app::WindowEntry* entry = app::FindWindowEntry(app::WindowId::Invoices);
        QVERIFY(entry);
        QVERIFY(entry->rightsCode.isEmpty());
        QVERIFY(m_registry->has(app::WindowId::Invoices));
        TIzrakstisana* w = openRegister();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Rēķini"));
        QCOMPARE(m_registry->open(app::WindowId::Invoices, *m_session, nullptr), w);
    }

    // New invoice, patient, two lines by item, the totals, the PDF.
    void bookkeeperFlow() {
        TIzrakstisana* w = openRegister();
        QVERIFY(w);
        ModalHelper modal;
        QString pdf = testsupport::scratchDir() + "/invoicewin-" + QString::number(QDateTime::currentMSecsSinceEpoch()) + ".pdf";
        QString typedForPicker = "liep";
        modal.onDialog = [&](QDialog* d) {
            if (auto* preview = qobject_cast<QPrintPreviewDialog*>(d)) {
                for (QAction* a : preview->findChild<QToolBar*>()->actions())
                    if (a->text() == QStringLiteral("PDF…")) a->trigger();
                preview->close();
                return;
            }
            if (auto* files = qobject_cast<QFileDialog*>(d)) {
                // Typed into the name field as the user does (selectFile() leaves a focused field alone).
                QLineEdit* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                QVERIFY(name);
                name->setText(pdf);
                static_cast<QDialog*>(files)->accept();
                return;
            }
            pickIn(d, typedForPicker);
        };

        click(w, "btJauns");
        QCOMPARE(w->state(), TIzrakstisana::State::Insert);
        QCOMPARE(w->edit("NUMURS")->text(), QStringLiteral("000007"));
        QCOMPARE(w->edit("SERIJA")->text(), QStringLiteral("AB"));
        QCOMPARE(w->dateEdit("DATUMS")->value(), m_today);
        QVERIFY(!w->button("btJauns")->isEnabled());
        QVERIFY(!w->button("btKopet")->isEnabled());
        QVERIFY(!w->action("actImports")->isEnabled());
        QVERIFY(w->button("btSaglabat")->isEnabled());

        // Saving without a patient says so.
        click(w, "btSaglabat");
        QCOMPARE(modal.messages.value(0), QStringLiteral("Nav izvēlēts students !!!"));
        click(w, "btKlients");
        QTRY_COMPARE(w->edit("edKlients")->text(), QStringLiteral("Liepiņa Anna"));
        click(w, "btSaglabat");
        QCOMPARE(w->state(), TIzrakstisana::State::Browse);
        QCOMPARE(w->tabs()->currentIndex(), int(TIzrakstisana::LinesPage));
        QCOMPARE(w->lineState(), TIzrakstisana::State::Insert);
        QCOMPARE(w->counter().next, 8);
        const int key = w->invoice().isn;
        QVERIFY(key > 0);
        QCOMPARE(w->invoice().payBy, m_today.addDays(5));

        typedForPicker = "Plomba";
        click(w, "btPrece");
        QTRY_COMPARE(w->edit("edPrece")->text(), QStringLiteral("Plomba"));
        QCOMPARE(w->edit("CENA")->text(), QStringLiteral("100.00"));
        w->edit("DAUDZUMS")->setText("2");
        w->edit("ATLAIDE")->setText("-10");
        click(w, "btSaglabatRinda");
        QCOMPARE(w->lineState(), TIzrakstisana::State::Browse);
        QCOMPARE(w->linesModel()->rowCount(), 1);
        QCOMPARE(w->linesModel()->index(0, 2).data().toString(), QStringLiteral("217.80"));

        click(w, "btJaunsRinda");
        typedForPicker = "Zobu";
        click(w, "btPrece");
        QTRY_COMPARE(w->edit("edPrece")->text(), QStringLiteral("Zobu higiēna"));
        click(w, "btSaglabatRinda");
        QCOMPARE(w->linesModel()->rowCount(), 2);
        QCOMPARE(w->totalLabel("lbSummaBezPvn")->text(), QStringLiteral("    230.00"));
        QCOMPARE(w->totalLabel("lbPvn")->text(), QStringLiteral("     37.80"));
        QCOMPARE(w->totalLabel("lbKopa")->text(), QStringLiteral("    267.80"));

        // Back on the list, the invoice shows its total; printed to PDF from the preview.
        w->tabs()->setCurrentIndex(TIzrakstisana::ListPage);
        QCOMPARE(w->currentKey(), key);
        const int row = w->model()->findRow(key);
        QCOMPARE(w->model()->index(row, 4).data().toString(), QStringLiteral("267.80"));
        click(w, "btDrukat");
        QTRY_VERIFY(QFile::exists(pdf));
        QProcess p;
        p.start("pdftotext", {"-layout", "-enc", "UTF-8", pdf, "-"});
        QVERIFY(p.waitForFinished(30000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput()).simplified();
        QVERIFY2(text.contains("RĒĶINA Nr.: 000007"), qPrintable(text));
        QVERIFY(text.contains("ADRESĀTS : Anna Liepiņa"));
        QVERIFY(text.contains("Zobu higiēna"));
        QVERIFY(text.contains("SUMMA APMAKSAI 267.80"));
        QCOMPARE(modal.messages.size(), 1);
    }

    // A user without the register's right sees the list only; "Dzēst" refuses an invoice with a
    // payment, copies make "-KOPIJA".
    void rightsCopyAndDelete() {
        const int paid = m_fix->invoice(m_anna, m_today, "15", 0.01);
        m_fix->line(paid, m_plomba, 100, 1, 21);
        m_session->setUser(m_session->UserIsn(), QStringLiteral("DACE"), QStringLiteral("00_TTTT"));
        TIzrakstisana* w = openRegister();
        QVERIFY(w);
        QVERIFY(w->setCurrentKey(paid));
        for (const char* name : {"btJauns", "btKopet", "btLabot", "btDzest"}) QVERIFY2(!w->button(name)->isEnabled(), name);
        QVERIFY(!w->action("actImports")->isEnabled());
        QVERIFY(w->button("btDrukat")->isEnabled());
        delete w;

        m_session->setUser(m_session->UserIsn(), QStringLiteral("ADMIN"), QString());
        w = openRegister();
        QVERIFY(w->setCurrentKey(paid));
        ModalHelper modal;
        click(w, "btDzest");
        QCOMPARE(modal.messages, QStringList{"Pavadzīmi ar apmaksu dzēst nedrīkst !!!"});
        click(w, "btKopet");
        const int copy = w->currentKey();
        QVERIFY(copy != paid);
        QCOMPARE(w->edit("NUMURS")->text(), QStringLiteral("15-KOPIJA"));
        click(w, "btDzest");
        QCOMPARE(modal.messages.last(), QStringLiteral("Vai tiešām vēlaties dzēst rēķinu ?"));
        QVERIFY(w->model()->findRow(copy) < 0);
    }

    // Saving an invoice dated outside the filter moves the filter to its date.
    void filterMovesToSavedInvoice() {
        TIzrakstisana* w = openRegister();
        ModalHelper modal;
        modal.onDialog = [](QDialog* d) { pickIn(d, "zar"); };
        click(w, "btJauns");
        w->dateEdit("DATUMS")->setValue(m_today.addYears(-2));
        QCOMPARE(w->dateEdit("APMAKS_LIDZ")->value(), m_today.addYears(-2).addDays(5));
        click(w, "btKlients");
        QTRY_VERIFY(!w->edit("edKlients")->text().isEmpty());
        w->edit("NUMURS")->setText("SR-0099");
        Q_EMIT w->edit("NUMURS")->editingFinished();
        QCOMPARE(w->counter().next, 100);
        click(w, "btSaglabat");
        QVERIFY(modal.messages.contains("Esošais filtrs tiek pārlikts uz pavadzīmes datumu !!!"));
        QCOMPARE(w->filter().from, m_today.addYears(-2));
        QCOMPARE(w->filter().to, m_today.addYears(-2));
        QCOMPARE(w->model()->rowCount(), 1);
        QCOMPARE(w->model()->fieldValue(0, "NUMURS").toString(), QStringLiteral("SR-0099"));
        w->cancelLineEdit();
        // Once saved, the counter of this workstation goes on from the typed number.
        QCOMPARE(InvoiceCounter::Read().next, 100);
    }

    // A long list shows its first screenful at once and reads the rest while the user looks;
    // an invoice further down to stay on is read at once.
    void longListReadInSteps() {
        {
            db::Transaction tx(*m_db);
            for (int i = 0; i < 700; ++i)
                tx.exec("INSERT INTO O_PAVOUT_HD (ISKLIENTS, DATUMS, NUMURS, APMAKS_SUM, APMAKSVEIDS) "
                        "VALUES (:K, :D, :N, 0, 0)",
                        {{"K", m_anna}, {"D", QDateTime(m_today.addDays(-(i % 20)), QTime(0, 0))},
                         {"N", QStringLiteral("L-%1").arg(i)}});
            tx.commit();
        }
        const int last = m_db->scalar("SELECT MAX(ISN) FROM O_PAVOUT_HD").toInt();
        TIzrakstisana* w = openRegister();
        QVERIFY(w);
        QTRY_COMPARE(w->model()->rowCount(), 700);
        ModalHelper modal;
        w->refresh();
        QVERIFY(w->model()->rowCount() < 700);
        w->refresh(last);
        QCOMPARE(w->currentKey(), last);
        QCOMPARE(modal.messages, QStringList());
        QTRY_COMPARE(w->model()->rowCount(), 700);
        // Another window showing one invoice narrows the filter to its number and day.
        w->showInvoice(last);
        QCOMPARE(w->model()->rowCount(), 1);
        QCOMPARE(w->currentKey(), last);
        QCOMPARE(w->filter().number, QStringLiteral("L-699"));
        QCOMPARE(w->filter().from, m_today.addDays(-(699 % 20)));
        QCOMPARE(modal.messages, QStringList());
    }

    // Overdue unpaid invoices are red; the other-information dialog edits the payment method
    // only while the invoice is edited.
    void overdueRowsAndOtherInformation() {
        const int late = m_fix->invoice(m_anna, m_today.addDays(-20), "1", 0, {}, m_today.addDays(-15));
        m_fix->line(late, m_higiena, 100, 1, 0);
        const int paid = m_fix->invoice(m_anna, m_today.addDays(-20), "2", 99.995, {}, m_today.addDays(-15));
        m_fix->line(paid, m_higiena, 100, 1, 0);
        TIzrakstisana* w = openRegister();
        QCOMPARE(w->model()->index(w->model()->findRow(late), 0).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
        QVERIFY(!w->model()->index(w->model()->findRow(paid), 0).data(Qt::ForegroundRole).isValid());

        QVERIFY(w->setCurrentKey(late));
        InvoiceHeader h = w->invoice();
        TIzrakstisanaCitasZinas browse(h, false);
        QVERIFY(!browse.methodCombo()->isEnabled());
        TIzrakstisanaCitasZinas editing(h, true);
        editing.methodCombo()->setCurrentIndex(1);
        editing.paidSumEdit()->setText("12,50");
        QVERIFY(editing.apply(h));
        QCOMPARE(h.paymentMethod, 1);
        QCOMPARE(h.paidSum, 12.5);
    }

    // Everything a print shows is read before the preview; a database that refuses ends the print
    // with "Sistēmas kļūda: " and no preview.
    void printRefusedByDatabase() {
        const int key = m_fix->invoice(m_anna, m_today, "9");
        TIzrakstisana* w = openRegister();
        QVERIFY(w->setCurrentKey(key));
        m_db->commitRetaining();
        m_db->executeImmediate("ALTER TABLE N_ISI DROP BANKKONTS");
        ModalHelper modal;
        bool previewShown = false;
        modal.onDialog = [&](QDialog* d) {
            previewShown = true;
            d->close();
        };
        click(w, "btDrukat");
        QCOMPARE(modal.messages.size(), 1);
        QVERIFY2(modal.messages.first().startsWith("Sistēmas kļūda: "), qPrintable(modal.messages.first()));
        QVERIFY(!previewShown);
    }
};

QTEST_MAIN(TestInvoiceWindow)
#include "tst_invoice_window.moc"
