// The plan and treatment pages of the consultation window and the line dialog, on the real
// windows: a doctor's plan typed by parts of names, moved to treatment with totals and colours;
// the dialog's refusals with their focus; deleting; and the price-list card's attached items
// used by the plan.
#include "../calendar/ClinicFixture.h"
#include "ModalHelper.h"
#include "TestDatabase.h"
#include "app/Settings.h"
#include "app/TMainFormDati.h"
#include "app/WindowRegistry.h"
#include "billing/TIzrakstisana.h"
#include "consultations/ConsultationForm.h"
#include "consultations/TAddPlansArstesana.h"
#include "consultations/TKonsultacijas.h"
#include "consultations/TreatmentPage.h"
#include "models/ResultTableModel.h"
#include "molarix/Composition.h"
#include "pricelist/Tn_klprec.h"
#include "pricelist/Tn_klprecDati.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

using namespace consultations;

class TestTreatmentWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<app::TMainFormDati> m_session;
    std::unique_ptr<app::WindowRegistry> m_registry;
    std::unique_ptr<ClinicFixture> m_clinic;
    db::Database* m_db = nullptr;
    int m_ilze = 0, m_room = 0, m_patient = 0, m_consultation = 0;
    int m_filling = 0, m_xray = 0, m_cleaning = 0, m_anaesthesia = 0;
    int m_group = 0;

    int item(const QString& name, double price, double maxPrice, int minutes, int vat) {
        const int key = m_db->scalar("INSERT INTO N_PRECE (ISPRGRUPA, GNOS, PARDCENA1, MAX_CENA, LAIKS, NODOKLIS) VALUES "
                                     "(:R, :G, :P, :M, :L, :N) RETURNING ISN",
                                     {{"R", m_group}, {"G", name}, {"P", price}, {"M", maxPrice}, {"L", minutes}, {"N", vat}})
                              .toInt();
        m_db->commitRetaining();
        return key;
    }
    TKonsultacijas* openOn(int consultation) {
        auto* w = qobject_cast<TKonsultacijas*>(m_registry->open(app::WindowId::Consultations, *m_session, nullptr));
        if (!w || !QTest::qWaitForWindowExposed(w)) return nullptr;
        m_session->facades().consultations.open(nullptr, {0, consultation, 2});
        return w->currentKey() == consultation ? w : nullptr;
    }
    void showPage(TKonsultacijas* w, TreatmentPage* page) {
        w->form()->pages()->setCurrentWidget(page->parentWidget());
        QVERIFY(QTest::qWaitForWindowExposed(page));
    }
    // The line dialog as a doctor fills it: part of the name typed, the tooth, Saglabāt.
    static void fillLine(QDialog* d, const QString& typed, const QString& tooth, const QString& quantity = {}) {
        auto* dialog = qobject_cast<TAddPlansArstesana*>(d);
        if (!dialog) return;
        QLineEdit* name = dialog->edit("edManipulacija");
        name->setFocus();
        typeText(name, typed);
        QLineEdit* zobs = dialog->edit("edZobaNr");
        zobs->selectAll();
        typeText(zobs, tooth);
        if (!quantity.isEmpty()) {
            dialog->edit("edDaudzums")->selectAll();
            typeText(dialog->edit("edDaudzums"), quantity);
        }
        QTest::mouseClick(dialog->button("btSaglabat"), Qt::LeftButton);
    }
    QStringList names(TreatmentPage* page) {
        QStringList n;
        for (int r = 0; r < page->model()->rowCount(); ++r) n << page->model()->fieldValue(r, "PRECE").toString();
        return n;
    }
    QList<bool> green(TreatmentPage* page) {
        QList<bool> g;
        for (int r = 0; r < page->model()->rowCount(); ++r)
            g << (page->model()->index(r, 1).data(Qt::ForegroundRole).value<QColor>() == QColor(0, 0x80, 0));
        return g;
    }
    void clickRow(TreatmentPage* page, int row, Qt::KeyboardModifiers modifiers = {}) {
        QTableView* grid = page->grid();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, grid->visualRect(page->model()->index(row, 1)).center());
    }

private Q_SLOTS:
    void init() {
        testsupport::isolateSettings();
        m_session = std::make_unique<app::TMainFormDati>(testsupport::freshDatabase(QStringLiteral("treatwin")));
        QVERIFY(m_session->authenticate(QStringLiteral("ADMIN"), QString()).ok());
        m_registry = std::make_unique<app::WindowRegistry>();
        molarix::Compose(*m_registry, *m_session);
        m_db = &m_session->database();
        m_clinic = std::make_unique<ClinicFixture>(*m_db);
        m_ilze = m_clinic->specialist("Bērziņa", "Ilze");
        m_room = m_clinic->room("Kabinets 1");
        m_patient = m_clinic->patient("Liepiņa", "Anna");
        m_consultation = m_db->scalar("INSERT INTO O_KONSULTACIJA_HD (NUMURS, DATUMS, ISKLIENTS, ISIZPILDITAJS, "
                                      "ISKABINETS, TIME_START, TIME_END) VALUES ('41', :D, :K, :A, :R, '10:00', "
                                      "'11:00') RETURNING ISN",
                                      {{"D", QDateTime(QDate::currentDate(), QTime(10, 0))},
                                       {"K", m_patient},
                                       {"A", m_ilze},
                                       {"R", m_room}})
                             .toInt();
        m_db->commitRetaining();
        m_group = m_db->scalar("INSERT INTO N_PRGRUPA (GNOS) VALUES ('Terapija') RETURNING ISN").toInt();
        m_filling = item("Plombe kompozīta", 45, 60, 40, 21);
        m_xray = item("Rentgenuzņēmums", 6.5, 0, 5, 12);
        m_cleaning = item("Profesionālā tīrīšana", 10, 15, 30, 21);
        m_anaesthesia = item("Anestēzija", 8, 0, 10, 21);
    }
    void cleanup() {
        delete m_registry->instance(app::WindowId::Consultations);
        m_registry.reset();
        m_clinic.reset();
        m_session.reset();
    }

    // The doctor types three plan lines by parts of their names, moves two of them to treatment,
    // and sees the totals and the green of the lines that went further; moving them again adds
    // nothing; deleting a treatment line makes its plan line black again.
    void doctorPlansAndTreats() {
        TKonsultacijas* w = openOn(m_consultation);
        QVERIFY(w);
        TreatmentPage* plan = w->planPage();
        TreatmentPage* treatment = w->treatmentPage();
        showPage(w, plan);
        QCOMPARE(plan->consultation(), m_consultation);
        QCOMPARE(plan->amountField()->text(), QStringLiteral("0.00"));

        ModalHelper modal;
        const QList<QStringList> typed{{"plo", "36", ""}, {"prof", "11", "2"}, {"rentg", "46", ""}};
        for (const QStringList& t : typed) {
            modal.onDialog = [t](QDialog* d) { fillLine(d, t[0], t[1], t[2]); };
            QTest::mouseClick(plan->button("btJauns"), Qt::LeftButton);
        }
        QCOMPARE(modal.messages, QStringList());
        QCOMPARE(names(plan), (QStringList{"Plombe kompozīta", "Profesionālā tīrīšana", "Rentgenuzņēmums"}));
        QCOMPARE(plan->model()->fieldValue(0, "ZOBA_NR").toInt(), 36);
        QCOMPARE(plan->model()->fieldValue(0, "MAX_CENA").toDouble(), 60.0);
        QCOMPARE(plan->model()->fieldValue(1, "DAUDZUMS").toDouble(), 2.0);
        QCOMPARE(plan->model()->fieldValue(2, "LAIKS").toString(), QStringLiteral("00:05"));
        QCOMPARE(plan->model()->fieldValue(2, "ISIZPILDITAJS").toInt(), m_ilze);
        // 45 x 1.21 + 2 x 10 x 1.21 + 6.5 x 1.12; 40 + 60 + 5 minutes.
        QCOMPARE(plan->amountField()->text(), QStringLiteral("85.93"));
        QCOMPARE(plan->timeField()->text(), QStringLiteral("01:45"));
        QCOMPARE(green(plan), (QList<bool>{false, false, false}));

        // Nothing selected, then the first and the third.
        plan->grid()->clearSelection();
        QTest::mouseClick(plan->button("btUzArstesanu"), Qt::LeftButton);
        QCOMPARE(modal.messages.takeLast(), QStringLiteral("Nav iezīmēti plāna ieraksti, ko pārvietot uz ārstēšanu !!!"));
        clickRow(plan, 0);
        clickRow(plan, 2, Qt::ControlModifier);
        QTest::mouseClick(plan->button("btUzArstesanu"), Qt::LeftButton);
        QCOMPARE(modal.messages.takeLast(), QStringLiteral("Visi dati pievienoti!"));
        QCOMPARE(green(plan), (QList<bool>{true, false, true}));
        // The treatment page reads its lines when it comes forward.
        showPage(w, treatment);
        QTRY_COMPARE(names(treatment), (QStringList{"Plombe kompozīta", "Rentgenuzņēmums"}));
        QCOMPARE(treatment->amountField()->text(), QStringLiteral("61.73"));
        QCOMPARE(treatment->timeField()->text(), QStringLiteral("00:45"));
        showPage(w, plan);
        QTest::mouseClick(plan->button("btUzArstesanu"), Qt::LeftButton);
        QCOMPARE(modal.messages.takeLast(), QStringLiteral("Dati pievienoti: 0/2"));

        showPage(w, treatment);
        clickRow(treatment, 0);
        modal.answers = {QMessageBox::Yes};
        QTest::mouseClick(treatment->button("btDzest"), Qt::LeftButton);
        QCOMPARE(modal.messages.takeLast(), QStringLiteral("Vai tiešām vēlaties izdzēst manipulāciju no ārstēšanas ?"));
        QCOMPARE(names(treatment), QStringList{"Rentgenuzņēmums"});
        showPage(w, plan);
        QTRY_COMPARE(green(plan), (QList<bool>{false, false, true}));
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM O_ARSTESANA_DT WHERE DZESTS = 1").toInt(), 1);
    }

    // "Rēķins" before anything is invoiced says so; "Sagatavot rēķinu" makes <number>_1 of the
    // treatment lines, shows it in the invoice register and turns the lines green; a second time
    // nothing is left to bill; "Rēķins" then previews the printout.
    void invoiceFromTreatment() {
        for (int itemKey : {m_filling, m_xray})
            m_db->exec("INSERT INTO O_ARSTESANA_DT (ISKONSULTACIJAHD, ISPRECE, CENA, DAUDZUMS, NODOKLIS) "
                       "SELECT :K, ISN, PARDCENA1, 1, NODOKLIS FROM N_PRECE WHERE ISN = :P",
                       {{"K", m_consultation}, {"P", itemKey}});
        m_db->commitRetaining();
        TKonsultacijas* w = openOn(m_consultation);
        QVERIFY(w);
        ModalHelper modal;
        int previews = 0;
        modal.onDialog = [&previews](QDialog* d) {
            ++previews;
            d->reject();
        };
        QTest::mouseClick(w->button("btRekins"), Qt::LeftButton);
        QCOMPARE(modal.messages, QStringList{"Nav izrakstīto rēķinu!"});

        TreatmentPage* treatment = w->treatmentPage();
        showPage(w, treatment);
        QTRY_COMPARE(names(treatment), (QStringList{"Plombe kompozīta", "Rentgenuzņēmums"}));
        QCOMPARE(green(treatment), (QList<bool>{false, false}));
        QPushButton* prepare = treatment->button("btSagatavotRekinu");
        QVERIFY(prepare->isEnabled());
        QTest::mouseClick(prepare, Qt::LeftButton);
        auto* invoices = qobject_cast<billing::TIzrakstisana*>(m_registry->instance(app::WindowId::Invoices));
        QVERIFY(invoices);
        QCOMPARE(m_db->scalar("SELECT NUMURS FROM O_PAVOUT_HD WHERE ISN = :K", {{"K", invoices->currentKey()}}).toString(),
                 QStringLiteral("41_1"));
        QTRY_COMPARE(green(treatment), (QList<bool>{true, true}));
        QTest::mouseClick(prepare, Qt::LeftButton);
        QCOMPARE(modal.messages.takeLast(), QStringLiteral("Visi rēķini jau ir izveidoti"));
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM O_PAVOUT_DT").toInt(), 2);

        QTest::mouseClick(w->button("btRekins"), Qt::LeftButton);
        QCOMPARE(modal.messages.size(), 1);
        QTRY_COMPARE(previews, 1);
        delete invoices;
    }

    // Editing a plan line: the dialog comes filled, a price that does not read is refused with
    // the focus on it and nothing stored; a good one is stored.
    void editRefusesUnreadablePrice() {
        TKonsultacijas* w = openOn(m_consultation);
        QVERIFY(w);
        TreatmentPage* plan = w->planPage();
        showPage(w, plan);
        ModalHelper modal;
        QTest::mouseClick(plan->button("btLabot"), Qt::LeftButton);
        QCOMPARE(modal.messages.takeLast(), QStringLiteral("Nav datu, ko labot !!!"));
        modal.onDialog = [](QDialog* d) { fillLine(d, "anest", "21"); };
        QTest::mouseClick(plan->button("btJauns"), Qt::LeftButton);
        QCOMPARE(names(plan), QStringList{"Anestēzija"});

        bool checked = false;
        modal.onDialog = [&](QDialog* d) {
            auto* dialog = qobject_cast<TAddPlansArstesana*>(d);
            if (!dialog) return;
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Labot plānā"));
            QCOMPARE(dialog->edit("edManipulacija")->text(), QStringLiteral("Anestēzija"));
            QCOMPARE(dialog->edit("edCena")->text(), QStringLiteral("8.00"));
            QCOMPARE(dialog->edit("edZobaNr")->text(), QStringLiteral("21"));
            dialog->edit("edCena")->setText(QStringLiteral("8.5O"));
            QTest::mouseClick(dialog->button("btSaglabat"), Qt::LeftButton);
            QCOMPARE(modal.messages.takeLast(), QStringLiteral("Nekorekta cena !!!"));
            QCOMPARE(dialog->focusWidget(), dialog->edit("edCena"));
            QVERIFY(dialog->isVisible());
            dialog->edit("edCena")->setText(QStringLiteral("8,60"));
            QTest::mouseClick(dialog->button("btSaglabat"), Qt::LeftButton);
            checked = true;
        };
        QTest::mouseClick(plan->button("btLabot"), Qt::LeftButton);
        QVERIFY(checked);
        QCOMPARE(plan->model()->fieldValue(0, "CENA").toDouble(), 8.6);
        QCOMPARE(plan->amountField()->text(), QStringLiteral("10.41"));
    }

    // A consultation not saved yet has no lines; the dialog refuses a line without a
    // manipulation.
    void refusalsBeforeAnyLine() {
        TKonsultacijas* w = openOn(m_consultation);
        QVERIFY(w);
        ModalHelper modal;
        QTest::mouseClick(w->button("btJauns"), Qt::LeftButton);
        QCOMPARE(w->state(), TKonsultacijas::State::Insert);
        QCOMPARE(w->planPage()->consultation(), 0);
        QTest::mouseClick(w->planPage()->button("btJauns"), Qt::LeftButton);
        QTest::mouseClick(w->treatmentPage()->button("btJauns"), Qt::LeftButton);
        QCOMPARE(modal.messages, (QStringList{"Sākumā jāizveido konsultācijas galva !!!",
                                              "Sākumā jāizveido konsultācijas galva !!!"}));

        TreatmentStore store(*m_db);
        TAddPlansArstesana dialog(store, LineKind::Treatment, false);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Pievienot ārstēšanu"));
        QVERIFY(!dialog.edit("edMaxCena")->isVisibleTo(&dialog));
        dialog.manipulationTyped(QStringLiteral("xyz"));
        QVERIFY(!dialog.save());
        QCOMPARE(modal.messages.takeLast(), QStringLiteral("Nav izvēlēta korekta manipulācija !!!"));
        // Completion with the tail selected; taking a letter away keeps what was typed.
        dialog.manipulationTyped(QStringLiteral("Pro"));
        QCOMPARE(dialog.edit("edManipulacija")->text(), QStringLiteral("Profesionālā tīrīšana"));
        QCOMPARE(dialog.edit("edManipulacija")->selectedText(), QStringLiteral("fesionālā tīrīšana"));
        QTest::keyClick(dialog.edit("edManipulacija"), Qt::Key_Backspace);
        QCOMPARE(dialog.edit("edManipulacija")->text(), QStringLiteral("Pro"));
        QVERIFY(!dialog.save());
        QCOMPARE(modal.messages.takeLast(), QStringLiteral("Nav izvēlēta korekta manipulācija !!!"));
        typeText(dialog.edit("edManipulacija"), QStringLiteral("f"));
        QCOMPARE(dialog.edit("edManipulacija")->text(), QStringLiteral("Profesionālā tīrīšana"));
        QCOMPARE(dialog.edit("edCena")->text(), QStringLiteral("10.00"));
        QCOMPARE(dialog.edit("edIlgums")->text(), QStringLiteral("00:30"));
        dialog.edit("edDaudzums")->setText(QStringLiteral("pāris"));
        QVERIFY(!dialog.save());
        QCOMPARE(modal.messages.takeLast(), QStringLiteral("Nekorekts daudzums !!!"));
        QCOMPARE(dialog.focusWidget(), dialog.edit("edDaudzums"));
    }

    // The price-list card's "Pievienotās preces": an item picked from the price list, its
    // quantity typed, stored in the text format; an unreadable quantity is refused. A plan line
    // of the manipulation then brings the item along.
    void attachedItemsOnTheCard() {
        {
            pricelist::Tn_klprec list(*m_session);
            QVERIFY(list.goToItem(m_filling));
            pricelist::Tn_klprecDati* card = list.card();
            QCOMPARE(card->attachedGrid()->rowCount(), 0);
            ModalHelper modal;
            modal.onDialog = [this](QDialog* d) {
                auto* picker = qobject_cast<pricelist::Tn_klprec*>(d);
                if (!picker) return;
                QVERIFY(picker->goToItem(m_xray));
                QTest::keyClick(picker->itemGrid(), Qt::Key_Return);
            };
            card->findChild<QPushButton*>("btPievienot")->click();
            QCOMPARE(card->attachedGrid()->rowCount(), 1);
            QCOMPARE(card->attachedGrid()->item(0, 0)->text(), QStringLiteral("Rentgenuzņēmums"));
            QCOMPARE(card->attachedGrid()->item(0, 1)->text(), QStringLiteral("6.50"));
            QVERIFY(list.cardChanged());
            card->attachedGrid()->item(0, 2)->setText(QStringLiteral("divi"));
            card->saveButton()->click();
            QCOMPARE(modal.messages.takeLast(), QStringLiteral("Nekorekts pievienotās preces daudzums !!!"));
            QVERIFY(m_db->scalar("SELECT PIEVPRECES FROM N_PRECE WHERE ISN=:K", {{"K", m_filling}}).isNull());
            card->attachedGrid()->item(0, 2)->setText(QStringLiteral("2"));
            card->attachedGrid()->item(0, 1)->setText(QStringLiteral("5,5"));
            card->saveButton()->click();
            QCOMPARE(modal.messages, QStringList());
            QCOMPARE(m_db->scalar("SELECT PIEVPRECES FROM N_PRECE WHERE ISN=:K", {{"K", m_filling}}).toString(),
                     QStringLiteral("%1_5.5+2|").arg(m_xray));
            QVERIFY(!list.cardChanged());
            // Shown again as stored; taken away again.
            QVERIFY(list.goToItem(m_xray));
            QVERIFY(list.goToItem(m_filling));
            QCOMPARE(card->attachedGrid()->rowCount(), 1);
            QCOMPARE(card->attachedGrid()->item(0, 2)->text(), QStringLiteral("2"));
        }
        TKonsultacijas* w = openOn(m_consultation);
        QVERIFY(w);
        showPage(w, w->treatmentPage());
        ModalHelper modal;
        modal.onDialog = [](QDialog* d) { fillLine(d, "plombe", "26"); };
        QTest::mouseClick(w->treatmentPage()->button("btJauns"), Qt::LeftButton);
        QCOMPARE(modal.messages, QStringList());
        QCOMPARE(names(w->treatmentPage()), (QStringList{"Plombe kompozīta", "Rentgenuzņēmums"}));
        QCOMPARE(w->treatmentPage()->model()->fieldValue(1, "DAUDZUMS").toDouble(), 2.0);
        QCOMPARE(w->treatmentPage()->model()->fieldValue(1, "ZOBA_NR").toInt(), 26);
        // 45 x 1.21 + 2 x 5.5 x 1.12
        QCOMPARE(w->treatmentPage()->amountField()->text(), QStringLiteral("66.77"));
    }
};

QTEST_MAIN(TestTreatmentWindow)
#include "tst_treatment_window.moc"
