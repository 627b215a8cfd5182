// The appointment editor: new appointments from the planner's columns, the checks in their order,
// request numbers (right-aligned, taken ones replaced, also between two workstations at once),
// cancelling, stale saves, the waiting list and loading a waiting request into the slot.
#include "ModalHelper.h"
#include "TestDatabase.h"
#include "app/ChangeNotifier.h"
#include "app/DayLockStore.h"
#include "app/Settings.h"
#include "app/TMainFormDati.h"
#include "app/WindowRegistry.h"
#include "calendar/AppointmentStore.h"
#include "calendar/PlannerGrid.h"
#include "calendar/TAppointment.h"
#include "calendar/TEditKalendar.h"
#include "calendar/TGaiditaji.h"
#include "calendar/TKalendaraPlanosana.h"
#include "db/DbError.h"
#include "models/ResultTableModel.h"
#include "molarix/Composition.h"
#include "patients/TKlienti.h"
#include "patients/Tn_klientEdit.h"
#include "widgets/LookupCombo.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QThread>
#include <QToolButton>
#include <QtTest>

#include <atomic>

using namespace calendar;

namespace {

// Wednesday.
const QDate SlotDay(2026, 3, 4);
const QString Padding = QString(AppointmentStore::NumberWidth - 1, QLatin1Char(' '));

QString padded(const QString& n) { return AppointmentStore::PadNumber(n); }

// How many change notices named the key (other notices, such as the events of the rows the test
// itself inserted, may come as well).
int heard(const QSignalSpy& spy, int key) {
    int n = 0;
    for (const QList<QVariant>& args : spy)
        if (args.at(0).value<QList<int>>().contains(key)) ++n;
    return n;
}

}  // namespace

class TestAppointmentEditor : public QObject {
    Q_OBJECT
    QString m_path;
    std::unique_ptr<app::TMainFormDati> m_session;
    std::unique_ptr<app::WindowRegistry> m_registry;
    db::Database* m_db = nullptr;
    int m_ilze = 0, m_janis = 0, m_dace = 0;   // specialists and the receptionist
    int m_room1 = 0, m_room2 = 0;              // "Kabinets 1", "Kabinets 2"
    int m_consultation = 0, m_hygiene = 0;     // consultation types
    int m_anna = 0, m_peteris = 0;             // patients

    int insert(const QString& sql, const db::Params& p = {}) {
        const int key = m_db->scalar(sql, p).toInt();
        m_db->commitRetaining();
        return key;
    }
    int addAgent(const QString& surname, const QString& name) {
        return insert("INSERT INTO N_AGENTS (UZVARDS, VARDS) VALUES (:U, :V) RETURNING ISN", {{"U", surname}, {"V", name}});
    }
    int addRoom(const QString& name) {
        return insert("INSERT INTO N_KABINETI (GNOS) VALUES (:G) RETURNING ISN", {{"G", name}});
    }
    int addType(const QString& name, const QVariant& kind) {
        return insert("INSERT INTO N_VEIDI (GNOS, TIPS) VALUES (:G, :T) RETURNING ISN", {{"G", name}, {"T", kind}});
    }
    int addPatient(const QString& surname, const QString& name) {
        return insert("INSERT INTO N_KLIENTS (UZVARDS, VARDS) VALUES (:U, :V) RETURNING ISN", {{"U", surname}, {"V", name}});
    }
    // A stored request with the given columns over a complete, valid one.
    int addRequest(const QVariantHash& columns) {
        QVariantHash v{{"NUMURS", padded("900")},
                       {"DATUMS", QDateTime(QDate(2026, 2, 1), QTime(9, 15))},
                       {"ISKLIENTS", m_peteris},
                       {"ISPIETEICEJS", m_dace},
                       {"ISIZPILDITAJS", m_ilze},
                       {"ISKABINETS", m_room1},
                       {"ISVEIDS", m_consultation},
                       {"PLAN_DAT", QDateTime(QDate(2026, 3, 20), QTime(0, 0))},
                       {"PLAN_LAIKS", "14:00"},
                       {"PLAN_ILGUMS", "00:30"},
                       {"CALL_STATUS", 0}};
        for (auto it = columns.cbegin(); it != columns.cend(); ++it) v.insert(it.key(), it.value());
        QStringList names = v.keys(), params;
        for (const QString& n : names) params.append(":" + n);
        return insert("INSERT INTO O_KONSULT_PIET_HD (" + names.join(',') + ") VALUES (" + params.join(',') +
                          ") RETURNING ISN",
                      v);
    }
    int count(const QString& sql, const db::Params& p = {}) { return m_db->scalar(sql, p).toInt(); }
    db::ResultSet row(int key) {
        return m_db->select("SELECT * FROM O_KONSULT_PIET_HD WHERE ISN=:K", {{"K", key}});
    }
    app::AppointmentTarget newAt(int specialist, int room, const QTime& time) {
        return {0, specialist, room, QDateTime(SlotDay, time)};
    }
    // A complete new appointment as the store takes it.
    Appointment valid(const QString& number) {
        AppointmentStore store(*m_db);
        Appointment a = store.create(m_ilze, 0, QDateTime(SlotDay, QTime(10, 0)), {m_dace, m_consultation});
        a.number = number;
        a.patient = m_anna;
        return a;
    }
    template <typename T>
    T* child(TEditKalendar& editor, const char* name) {
        return editor.findChild<T*>(QString::fromLatin1(name));
    }

private Q_SLOTS:
    void init() {
        testsupport::isolateSettings();
        m_path = testsupport::freshDatabaseFile(QStringLiteral("appointments"));
        m_session = std::make_unique<app::TMainFormDati>(testsupport::open(m_path));
        QVERIFY(m_session->authenticate(QStringLiteral("ADMIN"), QString()).ok());
        m_registry = std::make_unique<app::WindowRegistry>();
        molarix::Compose(*m_registry, *m_session);
        m_db = &m_session->database();
        m_ilze = addAgent("Bērziņa", "Ilze");
        m_janis = addAgent("Ozols", "Jānis");
        m_dace = addAgent("Kalniņa", "Dace");
        m_room2 = addRoom("Kabinets 2");
        m_room1 = addRoom("Kabinets 1");
        m_consultation = addType("Konsultācija", 0);
        m_hygiene = addType("Higiēna", QVariant());
        addType("Rentgens", 1);
        m_anna = addPatient("Liepiņa", "Anna");
        m_peteris = addPatient("Zariņš", "Pēteris");
        app::Settings::setInteger("Konsultacijas", "Ispieteicejs", m_dace);
        app::Settings::setInteger("Konsultacijas", "Isveids", m_consultation);
    }
    void cleanup() {
        m_registry.reset();
        m_session.reset();
    }

    // A new appointment from a specialist's column and from a room's column, saved through the
    // editor: the stored row, the journal, the remembered defaults and the change notice. The room
    // column's appointment has no specialist and is refused until one is chosen.
    void newAppointmentFromColumn_data() {
        QTest::addColumn<bool>("roomColumn");
        QTest::addColumn<QString>("typedTime");
        QTest::addColumn<QString>("storedTime");
        QTest::newRow("specialist column, one-digit hour typed") << false << "9:30" << "09:30";
        QTest::newRow("room column, slot time kept") << true << "" << "10:30";
    }
    void newAppointmentFromColumn() {
        QFETCH(bool, roomColumn);
        QFETCH(QString, typedTime);
        QFETCH(QString, storedTime);
        addRequest({{"NUMURS", padded("41")}, {"DZESTS", 1}});
        QSignalSpy changed(&m_session->notifier(), &app::ChangeNotifier::appointmentsChanged);
        TEditKalendar editor(*m_session);
        QVERIFY(editor.start(newAt(roomColumn ? 0 : m_janis, roomColumn ? m_room2 : 0, QTime(10, 30))));
        editor.show();
        ModalHelper modal;
        QCOMPARE(qobject_cast<QLineEdit*>(editor.field("NUMURS"))->text(), QStringLiteral("42"));
        QCOMPARE(qobject_cast<QDateEdit*>(editor.field("PLAN_DAT"))->date(), SlotDay);
        QCOMPARE(qobject_cast<QDateEdit*>(editor.field("DATUMS"))->date(), QDate::currentDate());
        QCOMPARE(editor.lookup("ISPIETEICEJS")->key(), m_dace);
        QCOMPARE(editor.lookup("ISVEIDS")->key(), m_consultation);
        // Without a room from the column the first room by name is taken.
        QCOMPARE(editor.lookup("ISKABINETS")->key(), roomColumn ? m_room2 : m_room1);
        QVERIFY(!editor.button("btNoraidit")->isEnabled());

        // The patient is picked from the patient list by typing part of the surname.
        modal.onDialog = [&](QDialog* d) {
            auto* list = qobject_cast<patients::TKlienti*>(d);
            QVERIFY(list);
            list->quickSearchEdit()->setFocus();
            typeText(list->quickSearchEdit(), QStringLiteral("liepi"));
            QTest::keyClick(list->quickSearchEdit(), Qt::Key_Return);
            QTest::keyClick(list->grid(), Qt::Key_Return);
        };
        QTest::mouseClick(editor.button("btKlients"), Qt::LeftButton);
        QCOMPARE(editor.appointment().patient, m_anna);
        QCOMPARE(qobject_cast<QLineEdit*>(editor.field("ISKLIENTS"))->text(), QStringLiteral("Liepiņa Anna"));
        // The small button shows that patient's card.
        int cardKey = 0;
        modal.onDialog = [&](QDialog* d) {
            auto* card = qobject_cast<patients::Tn_klientEdit*>(d);
            QVERIFY(card);
            cardKey = card->key();
            card->reject();
        };
        QTest::mouseClick(editor.button("btKlientsInfo"), Qt::LeftButton);
        QTRY_COMPARE(cardKey, m_anna);

        if (!typedTime.isEmpty()) qobject_cast<QComboBox*>(editor.field("PLAN_LAIKS"))->setEditText(typedTime);
        if (roomColumn) {
            QVERIFY(!editor.save());
            QCOMPARE(modal.messages.last(), QStringLiteral("Nav izvēlēts korekts speciālists !!!"));
            QCOMPARE(editor.focusWidget(), editor.lookup("ISIZPILDITAJS")->combo());
            QCOMPARE(count("SELECT COUNT(*) FROM O_KONSULT_PIET_HD WHERE DZESTS=0"), 0);
            editor.lookup("ISIZPILDITAJS")->setKey(m_janis);
        }
        qobject_cast<QPlainTextEdit*>(editor.field("PIEZIMES"))->setPlainText(QStringLiteral("Sāp augšējais zobs"));
        editor.callStatus()->button(1)->click();
        modal.messages.clear();
        QTest::mouseClick(editor.button("btSaglabat"), Qt::LeftButton);
        QCOMPARE(modal.messages, QStringList());
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        const int key = editor.savedKey();
        QVERIFY(key > 0);

        const db::ResultSet r = row(key);
        QCOMPARE(r.first("NUMURS").toString(), Padding.left(18) + "42");
        QCOMPARE(r.first("DATUMS").toDateTime(), QDateTime(QDate::currentDate(), QTime(0, 0)));
        QCOMPARE(r.first("PLAN_DAT").toDateTime(), QDateTime(SlotDay, QTime(0, 0)));
        QCOMPARE(r.first("PLAN_LAIKS").toString(), storedTime);
        QCOMPARE(r.first("PLAN_ILGUMS").toString(), QStringLiteral("01:00"));
        QCOMPARE(r.first("ISKLIENTS").toInt(), m_anna);
        QCOMPARE(r.first("ISIZPILDITAJS").toInt(), m_janis);
        QCOMPARE(r.first("ISKABINETS").toInt(), roomColumn ? m_room2 : m_room1);
        QCOMPARE(r.first("ISPIETEICEJS").toInt(), m_dace);
        QCOMPARE(r.first("ISVEIDS").toInt(), m_consultation);
        QCOMPARE(r.first("ISASISTENTS"), QVariant());
        QCOMPARE(r.first("PIEZIMES").toString(), QStringLiteral("Sāp augšējais zobs"));
        QCOMPARE(r.first("CALL_STATUS").toInt(), 1);
        QCOMPARE(r.first("PROTEZ_MATERIALS").toInt(), 0);
        QCOMPARE(r.first("PIRMS_DATUMA").toInt(), 0);
        for (int d = 1; d <= 7; ++d) QCOMPARE(r.first(QStringLiteral("DIENA%1").arg(d)).toString(), QStringLiteral("N"));
        QCOMPARE(r.first("DZESTS").toInt(), 0);
        QCOMPARE(r.first("ISUSER_NEW").toInt(), m_session->UserIsn());
        QVERIFY(r.first("IEVDAT_NEW").toDateTime().isValid());
        QCOMPARE(r.first("ISUSER_EDIT").toInt(), m_session->UserIsn());
        QCOMPARE(count("SELECT COUNT(*) FROM O_OPERACIJAS WHERE BAZE='O_KONSULT_PIET_HD' AND TAUSTINS='J' AND "
                       "ISN_BAZE=:K AND NUMURS='42'",
                       {{"K", key}}),
                 1);
        QCOMPARE(heard(changed, key), 1);
        QCOMPARE(app::Settings::integer("Konsultacijas", "Isizpilditajs"), m_janis);

        // The next new appointment starts with the remembered taker and type.
        app::Settings::setInteger("Konsultacijas", "Isveids", m_hygiene);
        TEditKalendar next(*m_session);
        QVERIFY(next.start(newAt(m_ilze, 0, QTime(12, 0))));
        QCOMPARE(next.lookup("ISVEIDS")->key(), m_hygiene);
        QCOMPARE(next.lookup("ISPIETEICEJS")->key(), m_dace);
        QCOMPARE(qobject_cast<QLineEdit*>(next.field("NUMURS"))->text(), QStringLiteral("43"));
    }

    // The checks before saving, in their order: the first failing one shows its message, puts
    // the focus on its control and stores nothing.
    void checksInOrder_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");  // object name; empty: no control named
        QTest::newRow("no right to create") << "rights"
                                            << "Jums nav tiesības veidot jaunu pieteikumu (lietotāju tiesības) !!!"
                                            << "";
        QTest::newRow("request date locked") << "locked" << "Datums ir bloķēts, labošanu izdarīt nedrīkst !!!" << "";
        QTest::newRow("blank number") << "number" << "Nav ievadīts numurs !!!" << "NUMURS";
        QTest::newRow("patient not picked") << "patient" << "Nav izvēlēts korekts klients !!!" << "btKlients";
        QTest::newRow("no room") << "room" << "Nav izvēlēts kabinets !!!" << "ISKABINETS";
        QTest::newRow("room before taker") << "room+taker" << "Nav izvēlēts kabinets !!!" << "ISKABINETS";
        QTest::newRow("no specialist") << "specialist" << "Nav izvēlēts korekts speciālists !!!" << "ISIZPILDITAJS";
        QTest::newRow("no type") << "type" << "Nav izvēlēts konsultācijas veids !!!" << "ISVEIDS";
        QTest::newRow("no duration") << "duration" << "Nav ievadīts ilgums !!!" << "PLAN_ILGUMS";
        QTest::newRow("no taker") << "taker" << "Nav izvēlēts korekts pieteicejs !!!" << "ISPIETEICEJS";
        QTest::newRow("hour past 24") << "time" << "Nekorekts laiks !!!" << "PLAN_LAIKS";
        QTest::newRow("time without colon") << "time2" << "Nekorekts laiks !!!" << "PLAN_LAIKS";
    }
    void checksInOrder() {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        if (fault == "rights") m_session->setUser(m_session->UserIsn(), "ANNA", "10_TTFT");
        if (fault == "locked") app::DayLockStore(*m_session).setMonth(QDate::currentDate().year(), QDate::currentDate().month(), true);
        TEditKalendar editor(*m_session);
        QVERIFY(editor.start(newAt(m_ilze, 0, QTime(11, 0))));
        // With no request stored yet the number is the user's to type.
        QCOMPARE(qobject_cast<QLineEdit*>(editor.field("NUMURS"))->text(), QString());
        qobject_cast<QLineEdit*>(editor.field("NUMURS"))->setText("1");
        if (fault != "patient") editor.setPatient(m_anna);
        if (fault == "number") qobject_cast<QLineEdit*>(editor.field("NUMURS"))->setText("   ");
        if (fault.startsWith("room")) editor.lookup("ISKABINETS")->clearButton()->click();
        if (fault == "specialist") editor.lookup("ISIZPILDITAJS")->clearButton()->click();
        if (fault == "type") editor.lookup("ISVEIDS")->clearButton()->click();
        if (fault == "duration") qobject_cast<QComboBox*>(editor.field("PLAN_ILGUMS"))->setEditText("");
        if (fault.endsWith("taker")) editor.lookup("ISPIETEICEJS")->clearButton()->click();
        if (fault == "time") qobject_cast<QComboBox*>(editor.field("PLAN_LAIKS"))->setEditText("25:00");
        if (fault == "time2") qobject_cast<QComboBox*>(editor.field("PLAN_LAIKS"))->setEditText("1130");
        const QStringList seen = answering(QMessageBox::Ok, [&] { QVERIFY(!editor.save()); });
        QCOMPARE(seen, QStringList{message});
        if (!focus.isEmpty()) {
            QWidget* expected = editor.findChild<QWidget*>(focus);
            QVERIFY(expected);
            if (expected->focusProxy()) expected = expected->focusProxy();
            QCOMPARE(editor.focusWidget(), expected);
        }
        QVERIFY(editor.result() != QDialog::Accepted);
        QCOMPARE(count("SELECT COUNT(*) FROM O_KONSULT_PIET_HD"), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM O_OPERACIJAS WHERE BAZE='O_KONSULT_PIET_HD'"), 0);
    }

    // An existing appointment on a locked request date cannot be changed, and a user without the
    // change right cannot save at all.
    void lockedDayAndRightsOnStoredAppointment() {
        const int key = addRequest({{"DATUMS", QDateTime(QDate(2025, 11, 3), QTime(0, 0))}});
        app::DayLockStore(*m_session).setMonth(2025, 11, true);
        TEditKalendar editor(*m_session);
        QVERIFY(editor.start({key, m_ilze, 0, QDateTime(QDate(2026, 3, 20), QTime(14, 0))}));
        qobject_cast<QComboBox*>(editor.field("PLAN_LAIKS"))->setEditText("15:00");
        const QStringList seen = answering(QMessageBox::Ok, [&] { QVERIFY(!editor.save()); });
        QCOMPARE(seen, QStringList{"Datums ir bloķēts, labošanu izdarīt nedrīkst !!!"});
        QCOMPARE(row(key).first("PLAN_LAIKS").toString(), QStringLiteral("14:00"));

        m_session->setUser(m_session->UserIsn(), "ANNA", "10_TFTF");
        TEditKalendar readOnly(*m_session);
        QVERIFY(readOnly.start({key, m_ilze, 0, QDateTime()}));
        QVERIFY(!readOnly.button("btSaglabat")->isEnabled());
        QVERIFY(!readOnly.button("btNoraidit")->isEnabled());
    }

    // Request numbers are right-aligned to the column's width, so that the text maximum is the
    // numeric one; the next number is one more, and empty when the greatest is not a number.
    void nextNumber_data() {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("next");
        QTest::newRow("no requests yet") << QStringList{} << "";
        QTest::newRow("seven") << QStringList{padded("7")} << "8";
        QTest::newRow("ten after nine") << QStringList{padded("7"), padded("10"), padded("9")} << "11";
        QTest::newRow("greatest not a number") << QStringList{padded("12"), "A-12"} << "";
    }
    void nextNumber() {
        QFETCH(QStringList, stored);
        QFETCH(QString, next);
        for (const QString& n : stored) addRequest({{"NUMURS", n}});
        QCOMPARE(AppointmentStore(*m_db).nextNumber(), next);
    }

    // A number found taken at the save is replaced by the next free one and the user is told; a
    // taken number is never stored twice and the appointment is never lost.
    void takenNumberIsReplaced_data() {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");    // empty: nothing stored
        QTest::addColumn<QStringList>("told");
        const QString taken = "Pieteikuma numurs '%1' datu bazē jau eksistē!\nTiks paņemts nakošais numurs!";
        QTest::newRow("free") << QStringList{padded("5")} << " 6 " << "6" << QStringList{};
        QTest::newRow("taken") << QStringList{padded("5"), padded("8")} << "5" << "9" << QStringList{taken.arg("5")};
        // A number stored before numbers were right-aligned hides the greatest from the text maximum.
        QTest::newRow("old unaligned number") << QStringList{"9", padded("10")} << "10" << "11"
                                              << QStringList{taken.arg("10")};
        QTest::newRow("greatest not a number") << QStringList{padded("X")} << "X" << ""
                                               << QStringList{taken.arg("X"), "Nevar aprēķināt nākošo numuru !!!"};
    }
    void takenNumberIsReplaced() {
        QFETCH(QStringList, stored);
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        QFETCH(QStringList, told);
        for (const QString& n : stored) addRequest({{"NUMURS", n}});
        TEditKalendar editor(*m_session);
        QVERIFY(editor.start(newAt(m_ilze, 0, QTime(8, 0))));
        editor.setPatient(m_anna);
        qobject_cast<QLineEdit*>(editor.field("NUMURS"))->setText(typed);
        const QStringList seen = answering(QMessageBox::Ok, [&] { QCOMPARE(editor.save(), !saved.isEmpty()); });
        QCOMPARE(seen, told);
        QCOMPARE(count("SELECT COUNT(*) FROM O_KONSULT_PIET_HD"), stored.size() + (saved.isEmpty() ? 0 : 1));
        if (!saved.isEmpty()) QCOMPARE(row(editor.savedKey()).first("NUMURS").toString(), padded(saved));
    }

    // Changing a stored appointment keeps the weekday marks of a waiting request and resets those
    // of one that does not wait; an edit over another workstation's later change is refused.
    void editStoredAppointment_data() {
        QTest::addColumn<int>("waiting");
        QTest::addColumn<QString>("wednesday");
        QTest::newRow("waiting: marks kept") << 1 << "V";
        QTest::newRow("not waiting: marks reset") << 0 << "N";
    }
    void editStoredAppointment() {
        QFETCH(int, waiting);
        QFETCH(QString, wednesday);
        const int key = addRequest({{"PIRMS_DATUMA", waiting}, {"DIENA3", "V"}, {"DIENA3_NO", "10:00"}});
        TEditKalendar editor(*m_session);
        QVERIFY(editor.start({key, m_ilze, 0, QDateTime(QDate(2026, 3, 20), QTime(14, 0))}));
        QCOMPARE(qobject_cast<QLineEdit*>(editor.field("NUMURS"))->text(), QStringLiteral("900"));
        QCOMPARE(qobject_cast<QLineEdit*>(editor.field("ISKLIENTS"))->text(), QStringLiteral("Zariņš Pēteris"));
        QCOMPARE(qobject_cast<QDateEdit*>(editor.field("DATUMS"))->date(), QDate(2026, 2, 1));
        qobject_cast<QComboBox*>(editor.field("PLAN_LAIKS"))->setEditText("15:30");
        QVERIFY(answering(QMessageBox::Ok, [&] { QVERIFY(editor.save()); }).isEmpty());
        const db::ResultSet r = row(key);
        QCOMPARE(r.first("PLAN_LAIKS").toString(), QStringLiteral("15:30"));
        QCOMPARE(r.first("DIENA3").toString(), wednesday);
        QCOMPARE(r.first("DIENA3_NO").toString(), QStringLiteral("10:00"));
        // The request date keeps its time of day when the day is unchanged.
        QCOMPARE(r.first("DATUMS").toDateTime(), QDateTime(QDate(2026, 2, 1), QTime(9, 15)));
        QCOMPARE(count("SELECT COUNT(*) FROM O_OPERACIJAS WHERE TAUSTINS='L' AND ISN_BAZE=:K", {{"K", key}}), 1);
    }

    void staleEditsAreRefused_data() {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("save") << false;
        QTest::newRow("cancel") << true;
    }
    void staleEditsAreRefused() {
        QFETCH(bool, cancel);
        const int key = addRequest({});
        TEditKalendar editor(*m_session);
        QVERIFY(editor.start({key, m_ilze, 0, QDateTime()}));
        // Another workstation moves it meanwhile.
        auto otherDb = testsupport::open(m_path);
        QTest::qWait(5);
        AppointmentStore other(*otherDb);
        Appointment moved = *other.load(key);
        moved.plannedTime = "16:00";
        QVERIFY(other.save(moved, 1).ok());

        qobject_cast<QComboBox*>(editor.field("PLAN_LAIKS"))->setEditText("08:30");
        const QStringList seen = answering(QMessageBox::Yes, [&] {
            QVERIFY(!(cancel ? editor.cancelAppointment() : editor.save()));
        });
        QCOMPARE(seen.last(), db::StaleRowError::Message());
        QCOMPARE(row(key).first("PLAN_LAIKS").toString(), QStringLiteral("16:00"));
        QCOMPARE(row(key).first("DZESTS").toInt(), 0);
        // The editor now shows the other workstation's version, and a second try goes through.
        QCOMPARE(qobject_cast<QComboBox*>(editor.field("PLAN_LAIKS"))->currentText(), QStringLiteral("16:00"));
        QVERIFY(answering(QMessageBox::Yes, [&] { QVERIFY(cancel ? editor.cancelAppointment() : editor.save()); })
                    .size() == (cancel ? 1 : 0));
        QCOMPARE(row(key).first("DZESTS").toInt(), cancel ? 1 : 0);
    }

    // "&Noraidīt" asks first; on yes the row stays, marked cancelled, with a journal entry and a
    // change notice.
    void cancelAppointment() {
        const int key = addRequest({{"NUMURS", padded("77")}});
        QSignalSpy changed(&m_session->notifier(), &app::ChangeNotifier::appointmentsChanged);
        TEditKalendar editor(*m_session);
        QVERIFY(editor.start({key, m_ilze, 0, QDateTime()}));
        QVERIFY(editor.button("btNoraidit")->isEnabled());
        QStringList seen = answering(QMessageBox::No, [&] { QVERIFY(!editor.cancelAppointment()); });
        QCOMPARE(seen, QStringList{"Vai tiešām vēlaties dzēst pieteikumu ?"});
        QCOMPARE(row(key).first("DZESTS").toInt(), 0);
        QCOMPARE(heard(changed, key), 0);
        seen = answering(QMessageBox::Yes, [&] { QTest::mouseClick(editor.button("btNoraidit"), Qt::LeftButton); });
        QCOMPARE(seen, QStringList{"Vai tiešām vēlaties dzēst pieteikumu ?"});
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(row(key).first("DZESTS").toInt(), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM O_OPERACIJAS WHERE TAUSTINS='D' AND ISN_BAZE=:K AND NUMURS='77'",
                       {{"K", key}}),
                 1);
        QCOMPARE(heard(changed, key), 1);
    }

    // The waiting list for a Wednesday 11:00 slot on 04.03.2026: empty when nothing waits, when
    // Wednesday is not marked or when 11:00 lies outside the marked window; an empty from or until
    // time leaves that side of the day open and never spoils the list for the others.
    void waitingList_data() {
        QTest::addColumn<QVariantHash>("request");
        QTest::addColumn<bool>("listed");
        const QVariantHash fits{{"PIRMS_DATUMA", 1}, {"DIENA3", "V"}, {"DIENA3_NO", "10:00"}, {"DIENA3_LIDZ", "12:00"}};
        auto with = [&](const QVariantHash& change) {
            QVariantHash h = fits;
            for (auto it = change.cbegin(); it != change.cend(); ++it) h.insert(it.key(), it.value());
            return h;
        };
        QTest::newRow("fits") << fits << true;
        QTest::newRow("not waiting") << with({{"PIRMS_DATUMA", 0}}) << false;
        QTest::newRow("waiting flag empty") << with({{"PIRMS_DATUMA", QVariant()}}) << false;
        QTest::newRow("Wednesday not marked") << with({{"DIENA3", "N"}, {"DIENA2", "V"}, {"DIENA2_NO", "10:00"},
                                                      {"DIENA2_LIDZ", "12:00"}})
                                              << false;
        QTest::newRow("slot before the window") << with({{"DIENA3_NO", "11:30"}}) << false;
        QTest::newRow("slot after the window") << with({{"DIENA3_LIDZ", "10:30"}}) << false;
        QTest::newRow("window ends at the slot") << with({{"DIENA3_LIDZ", "11:00"}}) << true;
        QTest::newRow("no times: the whole day") << with({{"DIENA3_NO", QVariant()}, {"DIENA3_LIDZ", QVariant()}})
                                                << true;
        QTest::newRow("masked empty times") << with({{"DIENA3_NO", "  :  "}, {"DIENA3_LIDZ", ":"}}) << true;
        QTest::newRow("only until given") << with({{"DIENA3_NO", ""}, {"DIENA3_LIDZ", "10:00"}}) << false;
        QTest::newRow("planned the same day") << with({{"PLAN_DAT", QDateTime(SlotDay, QTime(0, 0))}}) << false;
        QTest::newRow("cancelled") << with({{"DZESTS", 1}}) << false;
    }
    void waitingList() {
        QFETCH(QVariantHash, request);
        QFETCH(bool, listed);
        // Another waiting request that fits, with the kind of empty times that used to break the
        // whole query.
        addRequest({{"NUMURS", padded("1")}, {"PIRMS_DATUMA", 1}, {"DIENA3", "V"}, {"DIENA3_NO", ""},
                    {"DIENA3_LIDZ", QVariant()}, {"ISKLIENTS", m_anna}, {"PLAN_DAT", QDateTime(QDate(2026, 4, 1), QTime(0, 0))}});
        const int key = addRequest(request);
        const db::ResultSet rows = AppointmentStore(*m_db).waitingList(SlotDay, "11:00");
        QStringList keys;
        for (int r = 0; r < rows.rowCount(); ++r) keys.append(rows.value(r, "ISN").toString());
        QCOMPARE(keys.contains(QString::number(key)), listed);
        QCOMPARE(rows.rowCount(), listed ? 2 : 1);
        // One-digit hours are slot times too.
        QCOMPARE(AppointmentStore(*m_db).waitingList(SlotDay, "9:00").rowCount() >= 1, true);
    }

    // The waiting list's window, and a chosen request loaded into the slot: it takes the slot's
    // date and time and the specialist shown, keeps its own number, patient and request date, and
    // saving it moves that request instead of making a new one.
    void waitingRequestMovesIntoSlot() {
        const int waiting = addRequest({{"NUMURS", padded("310")},
                                        {"PIRMS_DATUMA", 1},
                                        {"DIENA3", "V"},
                                        {"DIENA3_NO", "10:00"},
                                        {"DIENA3_LIDZ", "12:00"}});
        addRequest({{"NUMURS", padded("311")}});
        TEditKalendar editor(*m_session);
        QVERIFY(editor.start(newAt(m_janis, 0, QTime(11, 0))));
        editor.show();
        ModalHelper modal;
        modal.onDialog = [&](QDialog* d) {
            auto* list = qobject_cast<TGaiditaji*>(d);
            QVERIFY(list);
            QCOMPARE(list->windowTitle(), QStringLiteral("Gaiditaji"));
            QCOMPARE(list->model()->rowCount(), 1);
            QCOMPARE(list->model()->columnCount(), 3 + 14);
            QCOMPARE(list->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Pierakstīts uz:"));
            QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("Zariņš Pēteris"));
            QCOMPARE(list->model()->index(0, 1).data().toString(), QStringLiteral("20.03.2026"));
            QCOMPARE(list->model()->index(0, 2).data().toString(), QStringLiteral("Bērziņa Ilze"));
            QCOMPARE(list->model()->index(0, 3 + 2 * 2).data().toString(), QStringLiteral("10:00"));
            list->grid()->selectRow(0);
            QTest::keyClick(list->grid(), Qt::Key_Return);
        };
        QTest::mouseClick(editor.button("btGaiditaji"), Qt::LeftButton);
        QTRY_COMPARE(editor.key(), waiting);
        QCOMPARE(qobject_cast<QLineEdit*>(editor.field("NUMURS"))->text(), QStringLiteral("310"));
        QCOMPARE(qobject_cast<QDateEdit*>(editor.field("DATUMS"))->date(), QDate(2026, 2, 1));
        QCOMPARE(qobject_cast<QDateEdit*>(editor.field("PLAN_DAT"))->date(), SlotDay);
        QCOMPARE(qobject_cast<QComboBox*>(editor.field("PLAN_LAIKS"))->currentText(), QStringLiteral("11:00"));
        QCOMPARE(editor.lookup("ISIZPILDITAJS")->key(), m_janis);
        QVERIFY(editor.button("btNoraidit")->isEnabled());
        QVERIFY(editor.save());
        QCOMPARE(count("SELECT COUNT(*) FROM O_KONSULT_PIET_HD"), 2);
        const db::ResultSet r = row(waiting);
        QCOMPARE(r.first("PLAN_DAT").toDateTime(), QDateTime(SlotDay, QTime(0, 0)));
        QCOMPARE(r.first("PLAN_LAIKS").toString(), QStringLiteral("11:00"));
        QCOMPARE(r.first("ISIZPILDITAJS").toInt(), m_janis);
        QCOMPARE(r.first("ISKLIENTS").toInt(), m_peteris);

        // "Ai&zvērt" in the waiting list chooses nothing and the editor keeps what it shows.
        TEditKalendar other(*m_session);
        QVERIFY(other.start(newAt(m_janis, 0, QTime(11, 0))));
        modal.onDialog = [&](QDialog* d) { d->findChild<QPushButton*>("btAizvert")->click(); };
        other.openWaitingList();
        QCOMPARE(other.key(), 0);
    }

    // "Apmeklējums" waits for the consultation window: disabled without it; with it, a request
    // that already has its consultation opens that one, any other is saved and handed over.
    void visitHandOver() {
        const int withVisit = addRequest({{"NUMURS", padded("57")}});
        m_db->exec("INSERT INTO O_KONSULTACIJA_HD (NUMURS, DATUMS, ISKLIENTS) VALUES ('157-2', :D, :K)",
                   {{"D", QDateTime(QDate(2026, 1, 5), QTime(9, 0))}, {"K", m_peteris}});
        const int made = insert("INSERT INTO O_KONSULTACIJA_HD (NUMURS, DATUMS, ISKLIENTS) VALUES ('57-3', :D, :K) "
                                "RETURNING ISN",
                                {{"D", QDateTime(QDate(2026, 3, 20), QTime(14, 5))}, {"K", m_peteris}});
        m_db->exec("INSERT INTO O_KONSULTACIJA_HD (NUMURS, DATUMS, ISKLIENTS) VALUES ('120', :D, :K)",
                   {{"D", QDateTime(QDate(2026, 1, 5), QTime(9, 0))}, {"K", m_anna}});
        m_db->exec("INSERT INTO O_KONSULTACIJA_HD (NUMURS, DATUMS, ISKLIENTS) VALUES ('99', :D, :K)",
                   {{"D", QDateTime(QDate(2026, 1, 5), QTime(9, 0))}, {"K", m_anna}});
        m_db->commitRetaining();
        AppointmentStore store(*m_db);
        QCOMPARE(store.visitNumber(" 57"), QStringLiteral("57-121"));
        QCOMPARE(store.visitConsultation(withVisit, m_peteris, padded("57"))->key, made);
        QVERIFY(!store.visitConsultation(0, m_peteris, "5"));

        {
            // A program without the consultation window.
            m_session->facades().consultations.open = nullptr;
            TEditKalendar editor(*m_session);
            QVERIFY(editor.start({withVisit, m_ilze, 0, QDateTime()}));
            QVERIFY(!editor.button("btApmeklejums")->isEnabled());
            QVERIFY(editor.button("btApmeklejums")->isDefault());
        }
        QList<app::ConsultationTarget> opened;
        m_session->facades().consultations.open = [&](QWidget*, const app::ConsultationTarget& t) { opened.append(t); };
        TEditKalendar existing(*m_session);
        QVERIFY(existing.start({withVisit, m_ilze, 0, QDateTime()}));
        QVERIFY(existing.button("btApmeklejums")->isEnabled());
        existing.visit();
        TEditKalendar fresh(*m_session);
        QVERIFY(fresh.start(newAt(m_ilze, 0, QTime(13, 0))));
        fresh.setPatient(m_anna);
        fresh.visit();
        QCOMPARE(opened.size(), 2);
        QCOMPARE(opened[0].documentKey, made);
        QCOMPARE(opened[0].marker, 2);
        QVERIFY(fresh.savedKey() > 0);
        QCOMPARE(opened[1].documentKey, fresh.savedKey());
        QCOMPARE(opened[1].marker, 1);
        QVERIFY(opened[1].startVisit);
        QVERIFY(!opened[0].startVisit);
        QCOMPARE(opened[1].patientKey, m_anna);
    }

    // The receptionist's day on the real windows: a double-click on a free half hour of the
    // planner opens the editor, the patient is picked by typing part of the surname, the save
    // shows the block; a double-click on the block reopens it to change the time; then it is
    // cancelled and its block goes.
    void receptionistFlow() {
        addRequest({});  // an earlier request: numbering goes on from its number
        m_db->exec("UPDATE N_ISI SET DARBADIENA_1=1, DARBADIENA_2=1, DARBADIENA_3=1, DARBADIENA_4=1, "
                   "DARBADIENA_5=1, DARBADIENA_6=0, DARBADIENA_7=0");
        m_db->commitRetaining();
        TKalendaraPlanosana planner(*m_session);
        planner.resize(1300, 700);
        planner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&planner));
        planner.setShownDate(SlotDay);
        planner.setTimeRange("8:00", "18:00");
        planner.setCheckedKeys(ColumnKind::Specialists, {m_ilze, m_janis});
        auto blockOf = [&](int key) -> TAppointment* {
            for (TAppointment* block : planner.grid()->shownBlocks())
                if (block->block().appointmentKey == key) return block;
            return nullptr;
        };

        ModalHelper modal;
        std::function<void(TEditKalendar*)> inEditor;
        modal.onDialog = [&](QDialog* d) {
            if (auto* editor = qobject_cast<TEditKalendar*>(d)) {
                inEditor(editor);
            } else if (auto* list = qobject_cast<patients::TKlienti*>(d)) {
                list->quickSearchEdit()->setFocus();
                typeText(list->quickSearchEdit(), QStringLiteral("liep"));
                QTest::keyClick(list->quickSearchEdit(), Qt::Key_Return);
                QTest::keyClick(list->grid(), Qt::Key_Return);
            }
        };

        // Wednesday is the third day; Bērziņa's column comes first in it. 11:00 is the seventh
        // half hour after 8:00.
        inEditor = [&](TEditKalendar* editor) {
            QCOMPARE(editor->lookup("ISIZPILDITAJS")->key(), m_ilze);
            QCOMPARE(qobject_cast<QComboBox*>(editor->field("PLAN_LAIKS"))->currentText(), QStringLiteral("11:00"));
            QTest::mouseClick(editor->button("btKlients"), Qt::LeftButton);
            QCOMPARE(qobject_cast<QLineEdit*>(editor->field("ISKLIENTS"))->text(), QStringLiteral("Liepiņa Anna"));
            QTest::mouseClick(editor->button("btSaglabat"), Qt::LeftButton);
        };
        QTest::mouseDClick(planner.grid(), Qt::LeftButton, {}, QPoint(45 + 4 * 100 + 50, 40 + 3 * 40 + 5));
        QCOMPARE(modal.messages, QStringList());
        const int key = m_db->scalar("SELECT MAX(ISN) FROM O_KONSULT_PIET_HD").toInt();
        QCOMPARE(row(key).first("NUMURS").toString(), padded("901"));
        QTRY_VERIFY(blockOf(key));
        QCOMPARE(blockOf(key)->block().column, 4);
        QCOMPARE(blockOf(key)->block().firstText, QStringLiteral("Liepiņa Anna"));
        QCOMPARE(blockOf(key)->geometry().top(), 40 + 3 * 40 + 1);

        // Reopened from its block, moved to 12:30.
        inEditor = [&](TEditKalendar* editor) {
            QCOMPARE(editor->key(), key);
            auto* time = qobject_cast<QComboBox*>(editor->field("PLAN_LAIKS"));
            time->setCurrentIndex(time->findText("12:30"));
            QTest::mouseClick(editor->button("btSaglabat"), Qt::LeftButton);
        };
        QTest::mouseDClick(blockOf(key), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(modal.messages, QStringList());
        QCOMPARE(row(key).first("PLAN_LAIKS").toString(), QStringLiteral("12:30"));
        QTRY_COMPARE(blockOf(key)->geometry().top(), 40 + 4 * 40 + 20 + 1);

        // Cancelled from its block.
        inEditor = [&](TEditKalendar* editor) { QTest::mouseClick(editor->button("btNoraidit"), Qt::LeftButton); };
        QTest::mouseDClick(blockOf(key), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(modal.messages, QStringList{"Vai tiešām vēlaties dzēst pieteikumu ?"});
        QCOMPARE(row(key).first("DZESTS").toInt(), 1);
        QTRY_VERIFY(!blockOf(key));
    }

    // Two workstations through the Firebird server saving new appointments at the same moment,
    // both starting from the same next number: every appointment is stored, no number twice.
    void twoWorkstationsSaveAtOnce() {
        if (testsupport::serverPrefix().isEmpty()) QSKIP("needs the Firebird server (MOLARIX_FB_SERVER)");
        Appointment base = valid(QString());
        cleanup();  // the embedded engine would hold the file for itself
        const QString connection = testsupport::serverPrefix() + m_path;
        auto reception = testsupport::open(connection);
        auto doctor = testsupport::open(connection);

        // The doctor's insert of number 20 is not committed yet when the reception looks the
        // number up: only the unique index finds it.
        AppointmentStore receptionStore(*reception);
        {
            db::Transaction pending(*doctor);
            Appointment a = base;
            a.number = "20";
            pending.exec("INSERT INTO O_KONSULT_PIET_HD (NUMURS, DATUMS, ISKLIENTS, ISPIETEICEJS, ISIZPILDITAJS, "
                         "ISKABINETS, ISVEIDS) VALUES (:N, :D, :K, :P, :I, :R, :V)",
                         {{"N", padded("20")}, {"D", a.requestDate}, {"K", a.patient}, {"P", a.taker},
                          {"I", a.specialist}, {"R", a.room}, {"V", a.type}});
            Appointment mine = base;
            mine.number = "20";
            const AppointmentSave saved = receptionStore.save(mine, 1);
            QVERIFY(saved.ok());
            QCOMPARE(saved.takenNumbers, QStringList{"20"});
            QCOMPARE(saved.number, QStringLiteral("21"));
            pending.commit();
        }

        // Both workstations save a run of appointments at once, each starting from the number
        // it read.
        constexpr int Each = 8;
        std::atomic<int> ready{0};
        std::atomic<int> failures{0};
        auto run = [&](db::Database* database) {
            AppointmentStore store(*database);
            ready.fetch_add(1);
            while (ready.load() < 2) QThread::yieldCurrentThread();
            for (int i = 0; i < Each; ++i) {
                Appointment a = base;
                a.number = store.nextNumber();
                try {
                    if (!store.save(a, 1).ok()) failures.fetch_add(1);
                } catch (const std::exception&) {
                    failures.fetch_add(1);
                }
            }
        };
        QThread* first = QThread::create(run, reception.get());
        QThread* second = QThread::create(run, doctor.get());
        first->start();
        second->start();
        QVERIFY(first->wait(60000));
        QVERIFY(second->wait(60000));
        delete first;
        delete second;
        QCOMPARE(failures.load(), 0);
        reception->commitRetaining();
        QCOMPARE(reception->scalar("SELECT COUNT(*) FROM O_KONSULT_PIET_HD").toInt(), 2 + 2 * Each);
        QCOMPARE(reception->scalar("SELECT COUNT(DISTINCT NUMURS) FROM O_KONSULT_PIET_HD").toInt(), 2 + 2 * Each);
    }
};

QTEST_MAIN(TestAppointmentEditor)
#include "tst_appointment_editor.moc"
