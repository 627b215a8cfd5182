// The consultation register on the real windows: a doctor's new consultation from an
// appointment, the checks with the focus, the time fields, sorting by the titles, rejecting, a
// stale save, another workstation's consultation appearing, and the hand-overs from the patient
// list, the patient card and the main window's catalogue.
#include "../calendar/ClinicFixture.h"
#include "ModalHelper.h"
#include "TestDatabase.h"
#include "app/ChangeNotifier.h"
#include "app/Settings.h"
#include "app/TMainFormDati.h"
#include "app/WindowRegistry.h"
#include "calendar/TEditKalendar.h"
#include "consultations/ConsultationForm.h"
#include "consultations/ConsultationTimes.h"
#include "consultations/DentalChartPage.h"
#include "consultations/TFKartesOpcijas.h"
#include "consultations/TIzpildeFiltrs.h"
#include "consultations/TKonsultacijas.h"
#include "db/DbError.h"
#include "models/ResultTableModel.h"
#include "molarix/Composition.h"
#include "patients/TKlienti.h"
#include "patients/Tn_klientEdit.h"
#include "widgets/NullableDateEdit.h"
#include "widgets/LookupCombo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace consultations;

namespace {
// The middle of a tooth position's top view, in the chart's design coordinates.
QPoint topViewMiddle(int t) { return dentalchart::layout::TopViewRect(t).topLeft() + QPoint(26, 26); }
}  // namespace

class TestConsultationWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<app::TMainFormDati> m_session;
    std::unique_ptr<app::WindowRegistry> m_registry;
    std::unique_ptr<ClinicFixture> m_clinic;
    db::Database* m_db = nullptr;
    int m_ilze = 0, m_janis = 0, m_dace = 0;
    int m_room1 = 0, m_room2 = 0, m_type = 0;
    int m_anna = 0, m_peteris = 0;
    const QDate m_today = QDate::currentDate();

    int addConsultation(const QVariantHash& columns = {}) {
        QVariantHash v{{"NUMURS", "500"},
                       {"DATUMS", QDateTime(m_today, QTime(10, 5))},
                       {"ISKLIENTS", m_peteris},
                       {"ISIZPILDITAJS", m_ilze},
                       {"ISKABINETS", m_room1},
                       {"TIME_START", "10:00"},
                       {"TIME_END", "11:00"}};
        for (auto it = columns.cbegin(); it != columns.cend(); ++it) v.insert(it.key(), it.value());
        QStringList names = v.keys(), params;
        for (const QString& n : names) params.append(":" + n);
        db::Transaction tx(*m_db);
        const int key = tx.scalar("INSERT INTO O_KONSULTACIJA_HD (" + names.join(',') + ") VALUES (" +
                                      params.join(',') + ") RETURNING ISN",
                                  v)
                            .toInt();
        tx.commit();
        return key;
    }
    db::ResultSet row(int key) { return m_db->select("SELECT * FROM O_KONSULTACIJA_HD WHERE ISN=:K", {{"K", key}}); }
    TKonsultacijas* openRegister() {
        auto* w = qobject_cast<TKonsultacijas*>(m_registry->open(app::WindowId::Consultations, *m_session, nullptr));
        if (w && !QTest::qWaitForWindowExposed(w)) return nullptr;
        return w;
    }
    TKonsultacijas* shown() const {
        return qobject_cast<TKonsultacijas*>(m_registry->instance(app::WindowId::Consultations));
    }
    QList<int> listedKeys(TKonsultacijas* w) {
        QList<int> keys;
        for (int r = 0; r < w->model()->rowCount(); ++r) keys.append(w->model()->fieldValue(r, "ISN").toInt());
        return keys;
    }
    QLineEdit* line(TKonsultacijas* w, const char* column) {
        return qobject_cast<QLineEdit*>(w->form()->field(QString::fromLatin1(column)));
    }
    QComboBox* time(TKonsultacijas* w, const char* column) { return w->form()->timeField(QString::fromLatin1(column)); }
    // Types into a time field as a user does and leaves it with Tab.
    void typeTime(TKonsultacijas* w, const char* column, const QString& text) {
        QLineEdit* edit = time(w, column)->lineEdit();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        typeText(edit, text);
        QCOMPARE(edit->text(), text);
        QTest::keyClick(edit, Qt::Key_Tab);
    }
    void clickTitle(TKonsultacijas* w, int column) {
        QHeaderView* header = w->grid()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }
    // The patient list as the picker: the patient found by typing part of the surname.
    void pickInList(QDialog* d, const QString& typed) {
        if (auto* list = qobject_cast<patients::TKlienti*>(d)) {
            list->quickSearchEdit()->setFocus();
            typeText(list->quickSearchEdit(), typed);
            QTest::keyClick(list->quickSearchEdit(), Qt::Key_Return);
            QTest::keyClick(list->grid(), Qt::Key_Return);
        }
    }

private Q_SLOTS:
    void init() {
        testsupport::isolateSettings();
        m_session = std::make_unique<app::TMainFormDati>(testsupport::freshDatabase(QStringLiteral("consultwin")));
        QVERIFY(m_session->authenticate(QStringLiteral("ADMIN"), QString()).ok());
        m_registry = std::make_unique<app::WindowRegistry>();
        molarix::Compose(*m_registry, *m_session);
        m_db = &m_session->database();
        m_clinic = std::make_unique<ClinicFixture>(*m_db);
        m_ilze = m_clinic->specialist("Bērziņa", "Ilze");
        m_janis = m_clinic->specialist("Ozols", "Jānis");
        m_dace = m_clinic->specialist("Kalniņa", "Dace");
        m_room1 = m_clinic->room("Kabinets 1");
        m_room2 = m_clinic->room("Kabinets 2");
        m_type = m_clinic->type("Konsultācija");
        m_anna = m_clinic->patient("Liepiņa", "Anna");
        m_peteris = m_clinic->patient("Zariņš", "Pēteris");
        app::Settings::setInteger("Konsultacijas", "Isizpilditajs", m_ilze);
        app::Settings::setInteger("Konsultacijas", "Isveids", m_type);
    }
    void cleanup() {
        delete m_registry->instance(app::WindowId::Consultations);
        m_registry.reset();
        m_clinic.reset();
        m_session.reset();
    }

    // The doctor opens the patient's appointment, presses "Apmeklējums", fills the questionnaire
    // and the diagnosis in Latvian, saves, and finds the consultation again through the filter.
    void doctorRecordsAVisit() {
        m_clinic->appointment({m_anna, m_ilze, m_room2, m_type, m_today, "9:30", "00:45", "Sāp zobs"});
        const int request = m_db->scalar("SELECT MAX(ISN) FROM O_KONSULT_PIET_HD").toInt();
        m_db->exec("UPDATE O_KONSULT_PIET_HD SET ISPIETEICEJS=:P WHERE ISN=:K", {{"P", m_dace}, {"K", request}});
        m_db->commitRetaining();
        addConsultation({{"NUMURS", "9"}, {"DATUMS", QDateTime(m_today.addDays(-3), QTime(9, 0))}});
        addConsultation({{"NUMURS", "10"}, {"DATUMS", QDateTime(m_today.addDays(-2), QTime(9, 0))}});

        ModalHelper modal;
        modal.onDialog = [&](QDialog* d) { pickInList(d, QStringLiteral("liep")); };
        {
            calendar::TEditKalendar editor(*m_session);
            QVERIFY(editor.start({request, 0, 0, QDateTime()}));
            QVERIFY(editor.button("btApmeklejums")->isEnabled());
            QTest::mouseClick(editor.button("btApmeklejums"), Qt::LeftButton);
        }
        QCOMPARE(modal.messages, QStringList());
        TKonsultacijas* w = shown();
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->windowTitle(), QStringLiteral("KONSULTĀCIJAS"));
        QCOMPARE(w->state(), TKonsultacijas::State::Insert);
        QCOMPARE(line(w, "NUMURS")->text(), QStringLiteral("1001-11"));
        QCOMPARE(line(w, "ISKLIENTS")->text(), QStringLiteral("Liepiņa Anna"));
        QCOMPARE(time(w, "TIME_START")->currentText(), QStringLiteral("09:30"));
        QCOMPARE(time(w, "TIME_END")->currentText(), QStringLiteral("10:15"));
        QCOMPARE(time(w, "ILGUMS")->currentText(), QStringLiteral("00:45"));
        QCOMPARE(w->form()->lookup("ISKABINETS")->key(), m_room2);
        QCOMPARE(w->form()->lookup("ISIZPILDITAJS")->key(), m_ilze);
        QCOMPARE(qobject_cast<QPlainTextEdit*>(w->form()->field("PIEZIMES"))->toPlainText(), QStringLiteral("Sāp zobs"));
        QVERIFY(w->button("btSaglabat")->isEnabled());
        QVERIFY(!w->button("btJauns")->isEnabled());

        // The questionnaire: allergy with a comment, heart disease.
        QCheckBox* allergy = w->form()->healthFlag(8);
        QCOMPARE(allergy->text(), QStringLiteral("Alerģija"));
        QTest::mouseClick(allergy, Qt::LeftButton, {}, QPoint(6, allergy->height() / 2));
        QVERIFY(allergy->isChecked());
        w->form()->healthComment(8)->setFocus();
        typeText(w->form()->healthComment(8), QStringLiteral("Penicilīns — nātrene, ārsts brīdināts"));
        QTest::mouseClick(w->form()->healthFlag(1), Qt::LeftButton, {}, QPoint(6, 6));
        w->form()->pages()->setCurrentIndex(3);
        auto* diagnosis = qobject_cast<QPlainTextEdit*>(w->form()->field("DIAGNOZE"));
        diagnosis->setFocus();
        typeText(diagnosis, QStringLiteral("Dziļš kariess 36. zobam"));
        QTest::mouseClick(w->button("btSaglabat"), Qt::LeftButton);
        QCOMPARE(modal.messages, QStringList());
        QCOMPARE(w->state(), TKonsultacijas::State::Browse);

        const int key = m_db->scalar("SELECT ISN FROM O_KONSULTACIJA_HD WHERE NUMURS='1001-11'").toInt();
        QVERIFY(key > 0);
        const db::ResultSet stored = row(key);
        QCOMPARE(stored.first("ISKONSULTPIET").toInt(), request);
        QCOMPARE(stored.first("ALERGIJA").toInt(), 1);
        QCOMPARE(stored.first("ALERGIJA_CMT").toString(), QStringLiteral("Penicilīns — nātrene, ārsts brīdināts"));
        QCOMPARE(stored.first("SIRDS_ASINSVADI").toInt(), 1);
        QCOMPARE(stored.first("NIERES").toInt(), 0);
        QCOMPARE(stored.first("DIAGNOZE").toString(), QStringLiteral("Dziļš kariess 36. zobam"));
        QCOMPARE(stored.first("DATUMS").toDateTime().date(), m_today);
        // The list shows the new consultation alone.
        QCOMPARE(listedKeys(w), QList<int>{key});
        QCOMPARE(w->currentKey(), key);
        QCOMPARE(w->filter().number, QStringLiteral("1001-11"));

        // Found again through "Atlasīt": today's consultations of the patient picked by name.
        modal.onDialog = [&](QDialog* d) {
            if (auto* f = qobject_cast<TIzpildeFiltrs*>(d)) {
                f->numberEdit()->clear();
                f->toEdit()->setDate(m_today);
                QTest::mouseClick(f->button("btKlients"), Qt::LeftButton);
                QCOMPARE(f->patientName()->text(), QStringLiteral("Liepiņa Anna"));
                QTest::mouseClick(f->button("btAtlasit"), Qt::LeftButton);
            } else {
                pickInList(d, QStringLiteral("liep"));
            }
        };
        addConsultation({{"NUMURS", "11"}, {"ISKLIENTS", m_anna}, {"DATUMS", QDateTime(m_today.addDays(-1), QTime(8, 0))}});
        w->setFilter([&] {
            ConsultationFilter f = w->filter();
            f.from = m_today.addDays(-1);
            return f;
        }());
        QTest::mouseClick(w->button("btAtlasit"), Qt::LeftButton);
        QCOMPARE(modal.messages, QStringList());
        QCOMPARE(w->filter().patient, m_anna);
        QCOMPARE(listedKeys(w).size(), 2);
        QVERIFY(listedKeys(w).contains(key));
        QCOMPARE(w->currentKey(), key);
        QCOMPARE(app::Settings::integer("IzpildeFiltrs", "Isklients"), m_anna);
    }

    // A new consultation: the checks stop with their message and the focus on the field; the time
    // fields follow each other; the number offered is 11 after 9 and 10.
    void newConsultationChecksAndTimes() {
        addConsultation({{"NUMURS", "9"}});
        addConsultation({{"NUMURS", "10"}, {"DATUMS", QDateTime(m_today, QTime(11, 5))}});
        TKonsultacijas* w = openRegister();
        QVERIFY(w);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        ModalHelper modal;
        modal.onDialog = [&](QDialog* d) { pickInList(d, QStringLiteral("zar")); };
        QTest::mouseClick(w->button("btJauns"), Qt::LeftButton);
        QCOMPARE(w->state(), TKonsultacijas::State::Insert);
        QCOMPARE(line(w, "NUMURS")->text(), QStringLiteral("11"));
        // An hour, unless the hour would pass midnight (then up to 23:59).
        QCOMPARE(time(w, "ILGUMS")->currentText(),
                 DurationBetween(time(w, "TIME_START")->currentText(), time(w, "TIME_END")->currentText()));
        if (QTime::currentTime() < QTime(22, 58)) QCOMPARE(time(w, "ILGUMS")->currentText(), QStringLiteral("01:00"));
        QCOMPARE(w->form()->lookup("ISIZPILDITAJS")->key(), m_ilze);

        QTest::mouseClick(w->button("btSaglabat"), Qt::LeftButton);
        QCOMPARE(modal.messages, QStringList{"Nav ievadīts klients !!!"});
        QCOMPARE(w->focusWidget(), w->form()->button("btKlients"));
        QCOMPARE(w->state(), TKonsultacijas::State::Insert);

        QTest::mouseClick(w->form()->button("btKlients"), Qt::LeftButton);
        QCOMPARE(line(w, "ISKLIENTS")->text(), QStringLiteral("Zariņš Pēteris"));
        w->form()->lookup("ISKABINETS")->clear();
        QTest::mouseClick(w->button("btSaglabat"), Qt::LeftButton);
        QCOMPARE(modal.messages.last(), QStringLiteral("Nav izvēlēts kabinets !!!"));
        QCOMPARE(w->focusWidget(), w->form()->lookup("ISKABINETS")->combo());
        w->form()->lookup("ISKABINETS")->setKey(m_room2);

        // Start 8:15 with an hour: the end follows; a typed end gives the duration; a typed
        // duration gives the end again.
        typeTime(w, "ILGUMS", "1:00");
        typeTime(w, "TIME_START", "8:15");
        QCOMPARE(time(w, "TIME_END")->currentText(), QStringLiteral("09:15"));
        typeTime(w, "TIME_END", "10:00");
        QCOMPARE(time(w, "ILGUMS")->currentText(), QStringLiteral("01:45"));
        typeTime(w, "ILGUMS", "0:30");
        QCOMPARE(time(w, "TIME_END")->currentText(), QStringLiteral("08:45"));
        typeTime(w, "TIME_END", "8:00");
        QCOMPARE(time(w, "ILGUMS")->currentText(), QString());
        QTest::mouseClick(w->button("btSaglabat"), Qt::LeftButton);
        QCOMPARE(modal.messages.last(), QStringLiteral("Nekorekts laika periods !!!"));
        QVERIFY(w->focusWidget() == time(w, "TIME_END") || w->focusWidget() == time(w, "TIME_END")->lineEdit());
        QCOMPARE(time(w, "TIME_START")->currentText(), QStringLiteral("08:15"));
        typeTime(w, "TIME_END", "9:00");
        const int before = modal.messages.size();
        QTest::mouseClick(w->button("btSaglabat"), Qt::LeftButton);
        QCOMPARE(modal.messages.size(), before);
        const int key = m_db->scalar("SELECT ISN FROM O_KONSULTACIJA_HD WHERE NUMURS='11'").toInt();
        QVERIFY(key > 0);
        QCOMPARE(row(key).first("TIME_START").toString(), QStringLiteral("08:15"));
        QCOMPARE(row(key).first("TIME_END").toString(), QStringLiteral("09:00"));
        QCOMPARE(row(key).first("ISKLIENTS").toInt(), m_peteris);
        QCOMPARE(w->currentKey(), key);
        QCOMPARE(time(w, "ILGUMS")->currentText(), QStringLiteral("00:45"));
    }

    // The number offered is taken by another workstation before the save: the duplicate message,
    // and the next free number offered in its place.
    void offeredNumberTakenMeanwhile() {
        addConsultation({{"NUMURS", "10"}});
        TKonsultacijas* w = openRegister();
        QVERIFY(w);
        ModalHelper modal;
        QTest::mouseClick(w->button("btJauns"), Qt::LeftButton);
        QCOMPARE(line(w, "NUMURS")->text(), QStringLiteral("11"));
        addConsultation({{"NUMURS", "11"}});
        w->form()->lookup("ISKABINETS")->setKey(m_room1);
        modal.onDialog = [&](QDialog* d) { pickInList(d, QStringLiteral("liep")); };
        QTest::mouseClick(w->form()->button("btKlients"), Qt::LeftButton);
        QTest::mouseClick(w->button("btSaglabat"), Qt::LeftButton);
        QCOMPARE(modal.messages, QStringList{"Konsultācijas ar numuru '11' datu bazē jau eksistē!!!"});
        QCOMPARE(line(w, "NUMURS")->text(), QStringLiteral("12"));
        QTest::mouseClick(w->button("btSaglabat"), Qt::LeftButton);
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(m_db->scalar("SELECT ISKLIENTS FROM O_KONSULTACIJA_HD WHERE NUMURS='12'").toInt(), m_anna);
    }

    // A title click sorts by that column and shows it bold; the second click turns the order
    // round; the current consultation stays current.
    void sortingByTitles() {
        const int a = addConsultation({{"NUMURS", "2"}, {"ISKLIENTS", m_anna}, {"DATUMS", QDateTime(m_today, QTime(9, 0))}});
        const int b = addConsultation({{"NUMURS", "3"}, {"DATUMS", QDateTime(m_today, QTime(8, 0))}});
        const int c = addConsultation({{"NUMURS", "1"}, {"DATUMS", QDateTime(m_today, QTime(10, 0))}});
        TKonsultacijas* w = openRegister();
        QVERIFY(w);
        QCOMPARE(listedKeys(w), (QList<int>{b, a, c}));
        QCOMPARE(w->model()->boldColumn(), 2);
        QVERIFY(w->setCurrentKey(a));
        clickTitle(w, 0);
        QCOMPARE(listedKeys(w), (QList<int>{c, a, b}));
        QCOMPARE(w->model()->boldColumn(), 0);
        QVERIFY(w->model()->headerData(0, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
        QVERIFY(!w->model()->headerData(2, Qt::Horizontal, Qt::FontRole).isValid());
        QCOMPARE(w->currentKey(), a);
        clickTitle(w, 0);
        QCOMPARE(listedKeys(w), (QList<int>{b, a, c}));
        QCOMPARE(app::Settings::string("Konsultacijas", "Kartiba"), QStringLiteral("NUMURS DESC"));
        clickTitle(w, 1);
        QCOMPARE(listedKeys(w).first(), a);
        clickTitle(w, 7);  // the rejected mark does not sort
        QCOMPARE(w->sort().column, QStringLiteral("ShKlientsFIO"));
        QCOMPARE(w->currentKey(), a);
    }

    // "Noraidīt" asks, marks the consultation and the list drops it; shown again with the
    // rejected ones, "Noraidījuma atcelšana" takes the mark away.
    void rejectAndUndo() {
        const int first = addConsultation({{"NUMURS", "1"}, {"DATUMS", QDateTime(m_today, QTime(8, 0))}});
        const int second = addConsultation({{"NUMURS", "2"}});
        TKonsultacijas* w = openRegister();
        QVERIFY(w);
        QVERIFY(w->setCurrentKey(second));
        QStringList seen = answering(QMessageBox::No, [&] { QTest::mouseClick(w->button("btNoraidit"), Qt::LeftButton); });
        QCOMPARE(seen, QStringList{"Noraidīt ierakstu ?"});
        QCOMPARE(row(second).first("DZESTS").toInt(), 0);
        seen = answering(QMessageBox::Yes, [&] { QTest::mouseClick(w->button("btNoraidit"), Qt::LeftButton); });
        QCOMPARE(row(second).first("DZESTS").toInt(), 1);
        QCOMPARE(m_db->scalar("SELECT TAUSTINS FROM O_OPERACIJAS WHERE ISN_BAZE=:K AND BAZE='O_KONSULTACIJA_HD'",
                              {{"K", second}})
                     .toString()
                     .trimmed(),
                 QStringLiteral("D"));
        QCOMPARE(listedKeys(w), QList<int>{first});

        ConsultationFilter f = w->filter();
        f.showRejected = true;
        w->setFilter(f);
        w->refresh(second);
        QCOMPARE(w->currentKey(), second);
        QCOMPARE(w->model()->index(w->grid()->currentIndex().row(), 7).data().toString(), QStringLiteral("X"));
        QVERIFY(!w->button("btNoraidit")->isEnabled());
        QAction* undo = w->gridMenu()->findChild<QAction*>("actNoraidijumaAtcelsana");
        QVERIFY(undo->isEnabled());
        undo->trigger();
        QCOMPARE(row(second).first("DZESTS").toInt(), 0);
        QCOMPARE(w->model()->index(w->grid()->currentIndex().row(), 7).data().toString(), QString());
    }

    // An edit saved over another workstation's later change is refused; the window then shows the
    // other version.
    void staleSaveShowsTheirVersion() {
        const int key = addConsultation({{"DIAGNOZE", "sākotnējā"}});
        TKonsultacijas* w = openRegister();
        QVERIFY(w);
        QVERIFY(w->setCurrentKey(key));
        QTest::mouseClick(w->button("btLabot"), Qt::LeftButton);
        QCOMPARE(w->state(), TKonsultacijas::State::Edit);
        auto* diagnosis = qobject_cast<QPlainTextEdit*>(w->form()->field("DIAGNOZE"));
        diagnosis->setPlainText("mana");
        {
            db::Transaction other(*m_db);
            other.exec("UPDATE O_KONSULTACIJA_HD SET DIAGNOZE='cita darbstacija', IEVDAT_EDIT=:T WHERE ISN=:K",
                       {{"T", QDateTime::currentDateTime().addSecs(3)}, {"K", key}});
            other.commit();
        }
        ModalHelper modal;
        QTest::mouseClick(w->button("btSaglabat"), Qt::LeftButton);
        QCOMPARE(modal.messages, QStringList{db::StaleRowError::Message()});
        QCOMPARE(w->state(), TKonsultacijas::State::Browse);
        QCOMPARE(diagnosis->toPlainText(), QStringLiteral("cita darbstacija"));
        QCOMPARE(row(key).first("DIAGNOZE").toString(), QStringLiteral("cita darbstacija"));
    }

    // Another workstation's consultation appears without the user asking, keeping the current
    // row; not while one is being edited, and then once the edit is left.
    void otherWorkstationFollowed() {
        const int mine = addConsultation({{"NUMURS", "1"}, {"DATUMS", QDateTime(m_today, QTime(8, 0))}});
        TKonsultacijas* w = openRegister();
        QVERIFY(w);
        QVERIFY(w->setCurrentKey(mine));
        const int theirs = addConsultation({{"NUMURS", "2"}});
        m_session->notifier().eventsPosted({{"O_KONSULTACIJA_HD", 1}});
        QTRY_VERIFY(listedKeys(w).contains(theirs));
        QCOMPARE(w->currentKey(), mine);

        QTest::mouseClick(w->button("btLabot"), Qt::LeftButton);
        const int later = addConsultation({{"NUMURS", "3"}});
        m_session->notifier().eventsPosted({{"O_KONSULTACIJA_HD", 1}});
        QTest::qWait(400);
        QVERIFY(!listedKeys(w).contains(later));
        const QStringList seen = answering(QMessageBox::Yes, [&] { QTest::keyClick(w, Qt::Key_Escape); });
        QCOMPARE(seen, QStringList{"Izmaiņas nav saglabātas. Vai tiešām vēlaties tās atmest ?"});
        QCOMPARE(w->state(), TKonsultacijas::State::Browse);
        QTRY_VERIFY(listedKeys(w).contains(later));
        QCOMPARE(w->currentKey(), mine);
    }

    // Without the register's right the hand-overs refuse; with the right to look only, nothing
    // can be started, changed or rejected.
    void rightsGateTheRegister() {
        addConsultation();
        m_session->setUser(m_session->UserIsn(), QStringLiteral("DACE"), QStringLiteral("00_TTTT"));
        QStringList seen = answering(QMessageBox::Ok, [&] { m_session->facades().consultations.open(nullptr, {m_peteris, 0, 0}); });
        QCOMPARE(seen, QStringList{"Jums nav tiesību strādāt ar konsultāciju reģistru (lietotāju tiesības) !!!"});
        QVERIFY(!shown());

        m_session->setUser(m_session->UserIsn(), QStringLiteral("DACE"), QStringLiteral("00_TTTT11_TFFF"));
        m_session->facades().consultations.open(nullptr, {m_peteris, 0, 0});
        TKonsultacijas* w = shown();
        QVERIFY(w);
        QCOMPARE(w->model()->rowCount(), 1);
        QVERIFY(!w->button("btJauns")->isEnabled());
        QVERIFY(!w->button("btLabot")->isEnabled());
        QVERIFY(!w->button("btNoraidit")->isEnabled());
        w->newConsultation();
        QCOMPARE(w->state(), TKonsultacijas::State::Browse);
    }

    // The patient list's "Konsultācijas" shows all the patient's consultations; the patient
    // card's history opens the chosen one (the register stands modal over the card meanwhile);
    // a request row goes to the requests tab; the main window's entry opens one register.
    void handOvers() {
        const int old = addConsultation({{"NUMURS", "1"}, {"ISKLIENTS", m_anna}, {"DATUMS", QDateTime(m_today.addYears(-2), QTime(9, 0))}});
        const int recent = addConsultation({{"NUMURS", "2"}, {"ISKLIENTS", m_anna}});
        addConsultation({{"NUMURS", "3"}});
        {
            patients::TKlienti list(*m_session);
            list.setSelectedKey(m_anna);
            QCOMPARE(list.currentKey(), m_anna);
            QVERIFY(list.button("btKonsultacijas")->isEnabled());
            QTest::mouseClick(list.button("btKonsultacijas"), Qt::LeftButton);
        }
        TKonsultacijas* w = shown();
        QVERIFY(w);
        QCOMPARE(w->filter().patient, m_anna);
        QCOMPARE(w->filter().from, m_today.addYears(-2));
        QCOMPARE(listedKeys(w), (QList<int>{old, recent}));
        w->close();

        // From the card's history, while the card is modal.
        ModalHelper modal;
        bool checked = false;
        modal.onDialog = [&](QDialog* d) {
            auto* card = qobject_cast<patients::Tn_klientEdit*>(d);
            if (!card) return;
            card->findChild<widgets::NullableDateEdit*>("dtpNo")->setDate(m_today.addYears(-3));
            QTableView* history = card->historyGrid();
            const int r = [&] {
                for (int i = 0; i < history->model()->rowCount(); ++i)
                    if (history->model()->index(i, 1).data().toString() == "1") return i;
                return -1;
            }();
            QVERIFY(r >= 0);
            history->selectRow(r);
            QTimer::singleShot(50, [&] {
                TKonsultacijas* open = shown();
                QVERIFY(open && open->isVisible());
                QCOMPARE(open->windowModality(), Qt::ApplicationModal);
                QCOMPARE(open->currentKey(), old);
                QCOMPARE(open->filter().from, m_today.addYears(-2));
                checked = true;
                open->close();
            });
            QTest::mouseClick(card->findChild<QPushButton*>("btAtrast"), Qt::LeftButton);
            QCOMPARE(shown()->windowModality(), Qt::NonModal);
            card->reject();
        };
        m_session->facades().patients.edit(nullptr, m_anna, true);
        QVERIFY(checked);

        // A request row of the history: the requests tab.
        m_clinic->appointment({m_anna, m_ilze, m_room1, m_type, m_today});
        const int request = m_db->scalar("SELECT MAX(ISN) FROM O_KONSULT_PIET_HD").toInt();
        m_session->facades().consultations.open(nullptr, {m_anna, request, 1});
        QCOMPARE(shown()->tabs()->currentIndex(), int(TKonsultacijas::RequestsTab));
        QCOMPARE(shown()->windowTitle(), QStringLiteral("PIETEIKUMI"));
        QCOMPARE(shown()->requestKey(), request);

        // The main window's catalogue entry: the same single register.
        QVERIFY(m_registry->has(app::WindowId::Consultations));
        QCOMPARE(m_registry->open(app::WindowId::Consultations, *m_session, nullptr), static_cast<QWidget*>(shown()));
    }

    // The chart page of the window: a tooth clicked while a stored consultation is edited is in
    // ZOBU_KARTE at once, the palette standing by while the chart page is in front; the save that
    // follows keeps it and is not taken for another workstation's change.
    void chartClicksStoredAtOnce() {
        const int key = addConsultation({{"ZOBU_KARTE", "0+stEx/|"}});
        TKonsultacijas* w = openRegister();
        QVERIFY(w);
        QVERIFY(w->setCurrentKey(key));
        dentalchart::DentalChartPage* chart = w->form()->chartPage();
        chart->setImageFolder(QStringLiteral(MOLARIX_IMAGES_DIR));
        w->tabs()->setCurrentIndex(TKonsultacijas::ConsultationsTab);
        w->form()->pages()->setCurrentWidget(chart);
        QCOMPARE(chart->chart(), QStringLiteral("0+stEx/|"));
        QVERIFY(!chart->palette()->isVisible());
        // Not while only looking.
        QTest::mouseClick(chart->canvas(), Qt::LeftButton, {}, chart->widgetPoint(topViewMiddle(5)));
        QCOMPARE(chart->chart(), QStringLiteral("0+stEx/|"));

        QTest::mouseClick(w->button("btLabot"), Qt::LeftButton);
        QTRY_VERIFY(chart->palette()->isVisible());
        chart->palette()->button(dentalchart::Tool::AmalgamFilling)->click();
        ModalHelper modal;
        QTest::mouseClick(chart->canvas(), Qt::LeftButton, {}, chart->widgetPoint(topViewMiddle(5)));
        const QString afterClick = chart->chart();
        QVERIFY(afterClick.startsWith(QStringLiteral("0+stEx/|4+kz4")));
        QCOMPARE(row(key).first("ZOBU_KARTE").toString(), afterClick);
        QCOMPARE(w->state(), TKonsultacijas::State::Edit);
        // A second tooth, then another page: the palette goes, and comes back with the chart.
        QTest::mouseClick(chart->canvas(), Qt::LeftButton, {}, chart->widgetPoint(topViewMiddle(20)));
        QVERIFY(chart->chart().contains(QStringLiteral("19+kz4")));
        QCOMPARE(row(key).first("ZOBU_KARTE").toString(), chart->chart());
        w->form()->pages()->setCurrentIndex(0);
        QVERIFY(!chart->palette()->isVisible());
        w->tabs()->setCurrentIndex(TKonsultacijas::ConsultationsTab);
        w->form()->pages()->setCurrentWidget(chart);
        QVERIFY(chart->palette()->isVisible());

        qobject_cast<QPlainTextEdit*>(w->form()->field("DIAGNOZE"))->setPlainText(QStringLiteral("Kariess 15., 45."));
        QTest::mouseClick(w->button("btSaglabat"), Qt::LeftButton);
        QCOMPARE(modal.messages, QStringList());
        QCOMPARE(w->state(), TKonsultacijas::State::Browse);
        QVERIFY(!chart->palette()->isVisible());
        const db::ResultSet stored = row(key);
        QCOMPARE(stored.first("DIAGNOZE").toString(), QStringLiteral("Kariess 15., 45."));
        QCOMPARE(stored.first("ZOBU_KARTE").toString(), chart->chart());
    }

    // A new consultation keeps its chart until its save inserts it.
    void newConsultationSavesItsChart() {
        TKonsultacijas* w = openRegister();
        QVERIFY(w);
        QTest::mouseClick(w->button("btJauns"), Qt::LeftButton);
        QCOMPARE(w->state(), TKonsultacijas::State::Insert);
        dentalchart::DentalChartPage* chart = w->form()->chartPage();
        chart->setImageFolder(QStringLiteral(MOLARIX_IMAGES_DIR));
        w->tabs()->setCurrentIndex(TKonsultacijas::ConsultationsTab);
        w->form()->pages()->setCurrentWidget(chart);
        QVERIFY(chart->palette()->isVisible());
        chart->palette()->button(dentalchart::Tool::Extracted)->click();
        QTest::mouseClick(chart->canvas(), Qt::LeftButton, {}, chart->widgetPoint(topViewMiddle(1)));
        QCOMPARE(chart->chart(), QStringLiteral("0+stEx/|"));
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM O_KONSULTACIJA_HD").toInt(), 0);

        m_session->facades().patients.pick = [this](QWidget*, int) { return m_anna; };
        QTest::mouseClick(w->form()->button("btKlients"), Qt::LeftButton);
        w->form()->lookup("ISKABINETS")->setKey(m_room1);
        ModalHelper modal;
        QTest::mouseClick(w->button("btSaglabat"), Qt::LeftButton);
        QCOMPARE(modal.messages, QStringList());
        const int key = m_db->scalar("SELECT MAX(ISN) FROM O_KONSULTACIJA_HD").toInt();
        QCOMPARE(row(key).first("ZOBU_KARTE").toString(), QStringLiteral("0+stEx/|"));
    }

    // Another workstation changed the consultation after the edit began: a click is refused
    // with the stale-row message, nothing of ours is written, and their version is shown.
    void chartClickOverAnotherWorkstationsChange() {
        const int key = addConsultation({{"ZOBU_KARTE", "2+kz4C|"}});
        TKonsultacijas* w = openRegister();
        QVERIFY(w);
        QVERIFY(w->setCurrentKey(key));
        dentalchart::DentalChartPage* chart = w->form()->chartPage();
        chart->setImageFolder(QStringLiteral(MOLARIX_IMAGES_DIR));
        w->tabs()->setCurrentIndex(TKonsultacijas::ConsultationsTab);
        w->form()->pages()->setCurrentWidget(chart);
        QTest::mouseClick(w->button("btLabot"), Qt::LeftButton);
        chart->palette()->button(dentalchart::Tool::Extracted)->click();
        {
            db::Transaction other(*m_db);
            other.exec("UPDATE O_KONSULTACIJA_HD SET ZOBU_KARTE='2+kz4C|7+stEx/|', IEVDAT_EDIT=:T WHERE ISN=:K",
                       {{"T", QDateTime::currentDateTime().addSecs(3)}, {"K", key}});
            other.commit();
        }
        ModalHelper modal;
        QTest::mouseClick(chart->canvas(), Qt::LeftButton, {}, chart->widgetPoint(topViewMiddle(1)));
        QCOMPARE(modal.messages, QStringList{db::StaleRowError::Message()});
        QCOMPARE(w->state(), TKonsultacijas::State::Browse);
        QCOMPARE(row(key).first("ZOBU_KARTE").toString(), QStringLiteral("2+kz4C|7+stEx/|"));
        QCOMPARE(chart->chart(), QStringLiteral("2+kz4C|7+stEx/|"));
        QVERIFY(!chart->palette()->isVisible());
    }

    // A stored chart with records the page cannot read: the status bar names them, a save that
    // did not touch the chart writes it back as it was, and a click keeps every readable record.
    void brokenChartRecordsKept() {
        const QString stored = QStringLiteral("2+kz4C|x+kz1C|7+stEx/|");
        const int key = addConsultation({{"ZOBU_KARTE", stored}});
        TKonsultacijas* w = openRegister();
        QVERIFY(w);
        QVERIFY(w->setCurrentKey(key));
        dentalchart::DentalChartPage* chart = w->form()->chartPage();
        chart->setImageFolder(QStringLiteral(MOLARIX_IMAGES_DIR));
        w->tabs()->setCurrentIndex(TKonsultacijas::ConsultationsTab);
        w->form()->pages()->setCurrentWidget(chart);
        QVERIFY2(chart->statusText().contains(QStringLiteral("x+kz1C")), qPrintable(chart->statusText()));
        QTest::mouseClick(w->button("btLabot"), Qt::LeftButton);
        qobject_cast<QPlainTextEdit*>(w->form()->field("DIAGNOZE"))->setPlainText(QStringLiteral("bez izmaiņām kartē"));
        ModalHelper modal;
        QTest::mouseClick(w->button("btSaglabat"), Qt::LeftButton);
        QCOMPARE(modal.messages, QStringList());
        QCOMPARE(row(key).first("ZOBU_KARTE").toString(), stored);

        QTest::mouseClick(w->button("btLabot"), Qt::LeftButton);
        chart->palette()->button(dentalchart::Tool::Extracted)->click();
        QTest::mouseClick(chart->canvas(), Qt::LeftButton, {}, chart->widgetPoint(topViewMiddle(1)));
        QCOMPARE(modal.messages, QStringList());
        QCOMPARE(row(key).first("ZOBU_KARTE").toString(), QStringLiteral("0+stEx/|2+kz4C|7+stEx/|"));
    }
};

QTEST_MAIN(TestConsultationWindow)
#include "tst_consultation_window.moc"
