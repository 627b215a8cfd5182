// The requests tab: numbering by value with the stored alignment, the checks in their order,
// saving with the weekday wishes and the journal, taken numbers (also by another workstation
// through the server), every filter piece, the title orders, the date of the consultation made,
// a visit numbered after the request, the weekday panel, the planner showing a saved request and
// the patient card's history opening a request.
#include "../calendar/ClinicFixture.h"
#include "ModalHelper.h"
#include "TestDatabase.h"
#include "app/ChangeNotifier.h"
#include "app/Settings.h"
#include "app/TMainFormDati.h"
#include "app/WindowRegistry.h"
#include "calendar/PlannerStore.h"
#include "consultations/ConsultationForm.h"
#include "consultations/RequestForm.h"
#include "consultations/RequestStore.h"
#include "consultations/RequestsPage.h"
#include "consultations/TKonsultacijas.h"
#include "consultations/TPieteikumiFiltrs.h"
#include "db/DbError.h"
#include "db/Transaction.h"
#include "models/ResultTableModel.h"
#include "molarix/Composition.h"
#include "widgets/LookupCombo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

using namespace consultations;

namespace {

const QDate Day(2026, 3, 4);  // a Wednesday

QString aligned(const QString& n) { return n.rightJustified(20); }

}  // namespace

class TestRequests : public QObject {
    Q_OBJECT
    std::unique_ptr<app::TMainFormDati> m_session;
    std::unique_ptr<app::WindowRegistry> m_registry;
    std::unique_ptr<ClinicFixture> m_clinic;
    db::Database* m_db = nullptr;
    QString m_path;
    int m_ilze = 0, m_janis = 0, m_dace = 0;
    int m_room = 0, m_room2 = 0, m_type = 0, m_type2 = 0;
    int m_anna = 0, m_peteris = 0;

    // A stored request; the columns given replace those of a complete one.
    int addRequest(const QVariantHash& columns = {}) {
        QVariantHash v{{"NUMURS", aligned("500")},
                       {"DATUMS", QDateTime(Day, QTime(0, 0))},
                       {"ISKLIENTS", m_anna},
                       {"ISPIETEICEJS", m_dace},
                       {"ISIZPILDITAJS", m_ilze},
                       {"ISKABINETS", m_room},
                       {"ISVEIDS", m_type},
                       {"PLAN_DAT", QDateTime(Day.addDays(7), QTime(0, 0))},
                       {"PLAN_LAIKS", "10:00"},
                       {"PLAN_ILGUMS", "01:00"}};
        for (auto it = columns.cbegin(); it != columns.cend(); ++it) v.insert(it.key(), it.value());
        QStringList names = v.keys(), params;
        for (const QString& n : names) params.append(":" + n);
        db::Transaction tx(*m_db);
        const int key = tx.scalar("INSERT INTO O_KONSULT_PIET_HD (" + names.join(',') + ") VALUES (" +
                                      params.join(',') + ") RETURNING ISN",
                                  v)
                            .toInt();
        tx.commit();
        return key;
    }
    int addConsultation(const QString& number, int patient, const QDate& date, int request = 0) {
        db::Transaction tx(*m_db);
        const int key =
            tx.scalar("INSERT INTO O_KONSULTACIJA_HD (NUMURS, DATUMS, ISKLIENTS, ISKONSULTPIET) VALUES (:N, :D, :K, :P) "
                      "RETURNING ISN",
                      {{"N", number}, {"D", QDateTime(date, QTime(11, 0))}, {"K", patient},
                       {"P", request > 0 ? QVariant(request) : QVariant()}})
                .toInt();
        tx.commit();
        return key;
    }
    // A complete new request as the page hands it over.
    calendar::Appointment valid(const QString& number = QStringLiteral("700")) {
        calendar::Appointment a = RequestStore(*m_db).create({m_dace, m_ilze, m_type}, Day);
        a.number = number;
        a.patient = m_anna;
        a.room = m_room;
        return a;
    }
    QList<int> listed(const RequestFilter& f, const QString& sort = {}) {
        const db::ResultSet rs = RequestStore(*m_db).list(f, sort);
        QList<int> keys;
        for (int r = 0; r < rs.rowCount(); ++r) keys.append(rs.value(r, "ISN").toInt());
        return keys;
    }
    RequestFilter period(const QDate& from, const QDate& to) {
        RequestFilter f;
        f.from = from;
        f.to = to;
        return f;
    }
    TKonsultacijas* openRegister() {
        auto* w = qobject_cast<TKonsultacijas*>(m_registry->open(app::WindowId::Consultations, *m_session, nullptr));
        if (w && !QTest::qWaitForWindowExposed(w)) return nullptr;
        return w;
    }
    TKonsultacijas* shown() const {
        return qobject_cast<TKonsultacijas*>(m_registry->instance(app::WindowId::Consultations));
    }
    QLineEdit* line(RequestsPage* p, const char* column) {
        return qobject_cast<QLineEdit*>(p->form()->field(QString::fromLatin1(column)));
    }

private Q_SLOTS:
    void init() {
        testsupport::isolateSettings();
        m_path = testsupport::freshDatabaseFile(QStringLiteral("requests"));
        m_session = std::make_unique<app::TMainFormDati>(testsupport::open(m_path));
        QVERIFY(m_session->authenticate(QStringLiteral("ADMIN"), QString()).ok());
        m_registry = std::make_unique<app::WindowRegistry>();
        molarix::Compose(*m_registry, *m_session);
        m_db = &m_session->database();
        m_clinic = std::make_unique<ClinicFixture>(*m_db);
        m_ilze = m_clinic->specialist("Bērziņa", "Ilze");
        m_janis = m_clinic->specialist("Ozols", "Jānis");
        m_dace = m_clinic->specialist("Kalniņa", "Dace");
        m_room = m_clinic->room("Kabinets 1");
        m_room2 = m_clinic->room("Kabinets 2");
        m_type = m_clinic->type("Konsultācija");
        m_type2 = m_clinic->type("Higiēna");
        m_anna = m_clinic->patient("Liepiņa", "Anna");
        m_peteris = m_clinic->patient("Zariņš", "Pēteris");
        m_clinic->setWorkingDays({1, 2, 3, 4, 5});
        app::Settings::setInteger("Konsultacijas", "Isizpilditajs", m_ilze);
        app::Settings::setInteger("Konsultacijas", "Ispieteicejs", m_dace);
        app::Settings::setInteger("Konsultacijas", "Isveids", m_type);
    }
    void cleanup() {
        if (m_registry) delete m_registry->instance(app::WindowId::Consultations);
        m_registry.reset();
        m_clinic.reset();
        m_session.reset();
    }

    // The next number is one more than the greatest by value: the stored alignment makes text
    // order numeric, and a number stored without it (older rows) is aligned before comparing.
    void nextNumber_data() {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("next");
        QTest::newRow("first is typed") << QStringList{} << "";
        QTest::newRow("aligned 9 and 10") << QStringList{aligned("9"), aligned("10")} << "11";
        QTest::newRow("unaligned 9, aligned 10") << QStringList{"9", aligned("10")} << "11";
        QTest::newRow("unaligned 99 and 100") << QStringList{"99", "100", aligned("12")} << "101";
        QTest::newRow("greatest not a number") << QStringList{aligned("12"), aligned("A12")} << "";
        QTest::newRow("letters shorter than the greatest") << QStringList{aligned("A1"), aligned("120")} << "121";
    }
    void nextNumber() {
        QFETCH(QStringList, stored);
        QFETCH(QString, next);
        for (const QString& n : stored) addRequest({{"NUMURS", n}});
        QCOMPARE(RequestStore(*m_db).nextNumber(), next);
        const calendar::Appointment a = RequestStore(*m_db).create({m_dace, m_ilze, m_type}, Day);
        QCOMPARE(a.number, next);
        QCOMPARE(a.taker, m_dace);
        QCOMPARE(a.specialist, m_ilze);
        QCOMPARE(a.type, m_type);
        QCOMPARE(a.patient, 1);
        QCOMPARE(a.callStatus, 1);
        QCOMPARE(a.plannedTime, QStringLiteral("09:00"));
        QCOMPARE(a.duration, QStringLiteral("01:00"));
    }

    // The checks in their order: each case breaks one field of a request that the earlier checks
    // pass; its message and focus, and nothing is stored.
    void checksInOrder_data() {
        QTest::addColumn<QString>("breaks");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("field");
        QTest::newRow("number") << "number" << "Nav ievadīts numurs !!!" << "NUMURS";
        QTest::newRow("locked day") << "locked" << "Datums ir bloķēts, labošanu izdarīt nedrīkst !!!" << "DATUMS";
        QTest::newRow("patient") << "patient" << "Nav izvēlēts klients !!!" << "ISKLIENTS";
        QTest::newRow("room") << "room" << "Nav izvēlēts kabinets !!!" << "ISKABINETS";
        QTest::newRow("specialist") << "specialist" << "Nav izvēlēts korektsizpildītājs !!!" << "ISIZPILDITAJS";
        QTest::newRow("type") << "type" << "Nav izvēlēts konsultācijas veids !!!" << "ISVEIDS";
        QTest::newRow("duration") << "duration" << "Nav ievadīts ilgums !!!" << "PLAN_ILGUMS";
        QTest::newRow("requester") << "taker" << "Nav izvēlēts korekts pieteicējs !!!" << "ISPIETEICEJS";
        QTest::newRow("time") << "time" << "Nekorekts laiks !!!" << "PLAN_LAIKS";
        QTest::newRow("weekday time") << "weekday" << "Nekorekts laiks !!!" << "DIENA2_LIDZ";
        QTest::newRow("another's number on edit") << "edit number" << "Pieteikuma numurs '500' datu bazē jau eksistē!!!"
                                                  << "NUMURS";
    }
    void checksInOrder() {
        QFETCH(QString, breaks);
        QFETCH(QString, message);
        QFETCH(QString, field);
        addRequest();
        calendar::Appointment a = valid();
        // Each later check would fail too: only the order decides which one speaks.
        if (breaks == "number") a.number = "  ";
        if (breaks == "locked") m_clinic->lockDay(Day);
        if (breaks == "patient") a.patient = 1;
        if (breaks == "room") a.room = 0;
        if (breaks == "specialist") a.specialist = 1;
        if (breaks == "type") a.type = 0;
        if (breaks == "duration") a.duration = " ";
        if (breaks == "taker") a.taker = 1;
        if (breaks == "time") a.plannedTime = "9:75";
        if (breaks == "weekday") {
            a.waiting = true;
            a.days[1] = {true, "8:00", "25:00"};
        }
        if (breaks == "edit number") {
            a.isn = addRequest({{"NUMURS", aligned("501")}});
            a.number = "500";
        }
        const int before = m_db->scalar("SELECT COUNT(*) FROM O_KONSULT_PIET_HD").toInt();
        const app::CardCheck check = RequestStore(*m_db).validate(a);
        QCOMPARE(check.message, message);
        QCOMPARE(check.field, field);
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM O_KONSULT_PIET_HD").toInt(), before);
    }

    // A new request with its weekday wishes: every column stored, the number aligned, the time
    // padded, the journal written; then changed ("L") and a stale change refused.
    void saveAndEdit() {
        RequestStore store(*m_db);
        calendar::Appointment a = valid(" 42 ");
        a.plannedTime = "8:30";
        a.assistant = m_janis;
        a.notes = "Sāp augšējais kreisais zobs";
        a.prostheticMaterial = 2;
        a.waiting = true;
        a.days[0] = {true, "8:00", "12:00"};
        a.days[3] = {true, "14:00", ""};
        QVERIFY(store.validate(a).ok());
        QCOMPARE(a.plannedTime, QStringLiteral("08:30"));
        const calendar::AppointmentSave saved = store.save(a, 1);
        QVERIFY(saved.ok());
        QVERIFY(saved.takenNumbers.isEmpty());
        const db::ResultSet row = m_db->select("SELECT * FROM O_KONSULT_PIET_HD WHERE ISN=:K", {{"K", saved.key}});
        QCOMPARE(row.first("NUMURS").toString(), aligned("42"));
        QCOMPARE(row.first("PLAN_LAIKS").toString(), QStringLiteral("08:30"));
        QCOMPARE(row.first("ISASISTENTS").toInt(), m_janis);
        QCOMPARE(row.first("PIEZIMES").toString(), QStringLiteral("Sāp augšējais kreisais zobs"));
        QCOMPARE(row.first("CALL_STATUS").toInt(), 1);
        QCOMPARE(row.first("PROTEZ_MATERIALS").toInt(), 2);
        QCOMPARE(row.first("PIRMS_DATUMA").toInt(), 1);
        QCOMPARE(row.first("DIENA1").toString(), QStringLiteral("V"));
        QCOMPARE(row.first("DIENA1_NO").toString(), QStringLiteral("08:00"));
        QCOMPARE(row.first("DIENA1_LIDZ").toString(), QStringLiteral("12:00"));
        QCOMPARE(row.first("DIENA2").toString(), QStringLiteral("N"));
        QCOMPARE(row.first("DIENA4").toString(), QStringLiteral("V"));
        QVERIFY(row.first("DIENA4_LIDZ").isNull());
        QCOMPARE(m_db->scalar("SELECT TAUSTINS FROM O_OPERACIJAS WHERE BAZE='O_KONSULT_PIET_HD' AND ISN_BAZE=:K",
                              {{"K", saved.key}})
                     .toString(),
                 QStringLiteral("J"));
        // The waiting list finds it on a Monday morning before the planned day.
        const db::ResultSet waiting = calendar::AppointmentStore(*m_db).waitingList(QDate(2026, 3, 2), "9:00");
        QCOMPARE(waiting.rowCount(), 1);

        calendar::Appointment edited = *store.load(saved.key);
        QCOMPARE(edited.days[0], (calendar::WeekdayTimes{true, "08:00", "12:00"}));
        edited.waiting = false;
        edited.plannedTime = "11:00";
        QVERIFY(store.validate(edited).ok());
        QVERIFY(store.save(edited, 1).ok());
        QCOMPARE(m_db->scalar("SELECT PIRMS_DATUMA || DIENA1 FROM O_KONSULT_PIET_HD WHERE ISN=:K", {{"K", saved.key}})
                     .toString(),
                 QStringLiteral("0N"));
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM O_OPERACIJAS WHERE BAZE='O_KONSULT_PIET_HD' AND TAUSTINS='L'")
                     .toInt(),
                 1);
        // Saved again over the change just made: refused, nothing written.
        QVERIFY_THROWS_EXCEPTION(db::StaleRowError, store.save(edited, 1));

        // Reject and its undoing write only the mark.
        calendar::Appointment current = *store.load(saved.key);
        store.reject(current, 1);
        QCOMPARE(m_db->scalar("SELECT DZESTS FROM O_KONSULT_PIET_HD WHERE ISN=:K", {{"K", saved.key}}).toInt(), 1);
        store.undoReject(*store.load(saved.key), 1);
        QCOMPARE(m_db->scalar("SELECT DZESTS FROM O_KONSULT_PIET_HD WHERE ISN=:K", {{"K", saved.key}}).toInt(), 0);
    }

    // A new request whose number is taken takes the next one and says which was taken; when the
    // greatest stored number is not a number, nothing is stored.
    void takenNumber() {
        RequestStore store(*m_db);
        addRequest({{"NUMURS", aligned("7")}});
        addRequest({{"NUMURS", "9"}});
        calendar::Appointment a = valid("7");
        QVERIFY(store.validate(a).ok());
        const calendar::AppointmentSave saved = store.save(a, 1);
        QVERIFY(saved.ok());
        QCOMPARE(saved.takenNumbers, QStringList{"7"});
        QCOMPARE(saved.number, QStringLiteral("10"));
        QCOMPARE(calendar::AppointmentStore::NumberTakenMessage("7"),
                 QStringLiteral("Pieteikuma numurs '7' datu bazē jau eksistē!\nTiks paņemts nakošais numurs!"));

        addRequest({{"NUMURS", aligned("X99")}});
        calendar::Appointment b = valid("7");
        const int before = m_db->scalar("SELECT COUNT(*) FROM O_KONSULT_PIET_HD").toInt();
        const calendar::AppointmentSave refused = store.save(b, 1);
        QCOMPARE(refused.message, QStringLiteral("Nevar aprēķināt nākošo numuru !!!"));
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM O_KONSULT_PIET_HD").toInt(), before);
    }

    // Every filter piece narrows the list to the one request it asks for; typed values are bound.
    void filterPieces_data() {
        QTest::addColumn<QString>("piece");
        QTest::newRow("period") << "period";
        QTest::newRow("last day of the period") << "last day";
        QTest::newRow("planned period") << "planned";
        QTest::newRow("patient") << "patient";
        QTest::newRow("requester") << "taker";
        QTest::newRow("specialist") << "specialist";
        QTest::newRow("type") << "type";
        QTest::newRow("number") << "number";
        QTest::newRow("number stored unaligned") << "old number";
        QTest::newRow("can come earlier") << "waiting";
        QTest::newRow("cannot come earlier") << "not waiting";
        QTest::newRow("rejected shown") << "rejected";
    }
    void filterPieces() {
        QFETCH(QString, piece);
        // A common request that matches no piece but the period, and the one that each piece asks for.
        const int common = addRequest({{"NUMURS", aligned("1")}, {"PIRMS_DATUMA", 1}});
        QVariantHash special{{"NUMURS", aligned("2")}};
        RequestFilter f = period(Day, Day);
        RequestFilter wider = period(Day.addDays(-10), Day.addDays(10));
        if (piece == "period") special.insert("DATUMS", QDateTime(Day.addDays(-5), QTime(0, 0)));
        if (piece == "last day") special.insert("DATUMS", QDateTime(Day.addDays(1), QTime(23, 59)));
        if (piece == "planned") special.insert("PLAN_DAT", QDateTime(Day.addDays(30), QTime(0, 0)));
        if (piece == "patient") special.insert("ISKLIENTS", m_peteris);
        if (piece == "taker") special.insert("ISPIETEICEJS", m_janis);
        if (piece == "specialist") special.insert("ISIZPILDITAJS", m_janis);
        if (piece == "type") special.insert("ISVEIDS", m_type2);
        if (piece == "number") special.insert("NUMURS", aligned("57"));
        if (piece == "old number") special.insert("NUMURS", "O'58");
        if (piece == "not waiting") special.insert("PIRMS_DATUMA", 0);
        if (piece == "rejected") special.insert("DZESTS", 1);
        const int key = addRequest(special);
        f = wider;
        if (piece == "period") f = period(Day.addDays(-6), Day.addDays(-4));
        if (piece == "last day") f = period(Day.addDays(1), Day.addDays(1));
        if (piece == "planned") {
            f.plannedOn = true;
            f.plannedFrom = Day.addDays(29);
            f.plannedTo = Day.addDays(30);
        }
        if (piece == "patient") f.patient = m_peteris;
        if (piece == "taker") f.taker = m_janis;
        if (piece == "specialist") f.specialist = m_janis;
        if (piece == "type") f.type = m_type2;
        if (piece == "number") f.number = "57";
        if (piece == "old number") f.number = "O'58";
        if (piece == "waiting") f.waiting = RequestFilter::OnlyWaiting;
        if (piece == "not waiting") f.waiting = RequestFilter::NotWaiting;
        if (piece == "waiting") {
            // Here the common one is the one asked for.
            QCOMPARE(listed(f), QList<int>{common});
            return;
        }
        if (piece == "rejected") {
            QCOMPARE(listed(wider), QList<int>{common});
            f.showRejected = true;
            const QList<int> both = listed(f);
            QCOMPARE(QSet<int>(both.begin(), both.end()), (QSet<int>{common, key}));
            return;
        }
        QCOMPARE(listed(f), QList<int>{key});
        // Without the piece both are listed.
        QCOMPARE(listed(period(Day.addDays(-10), Day.addDays(10))).size(), 2);
    }

    // The filter is kept between sessions under its own settings section.
    void storedFilter() {
        RequestFilter f = period(Day, Day.addDays(3));
        f.plannedOn = true;
        f.plannedFrom = Day.addDays(1);
        f.plannedTo = Day.addDays(2);
        f.patient = m_anna;
        f.taker = m_dace;
        f.specialist = m_ilze;
        f.type = m_type;
        f.number = "57";
        f.waiting = RequestFilter::NotWaiting;
        f.write();
        QCOMPARE(RequestFilter::Read(), f);
        QCOMPARE(app::Settings::string("PieteikumiFiltrs", "DatumsNo"), Day.toString("dd.MM.yyyy"));
        QCOMPARE(app::Settings::integer("PieteikumiFiltrs", "PlanDatFlag"), 1);
        QCOMPARE(app::Settings::string("PieteikumiFiltrs", "Numurs"), QStringLiteral("57"));
        app::Settings::setString("PieteikumiFiltrs", "DatumsNo", "nav datums");
        QCOMPARE(RequestFilter::Read(Day).from, Day.addMonths(-1));
    }

    // The fixed orders of the title clicks; the default is the newest request first.
    void titleOrders_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QList<int>>("order");  // indexes of the three requests below
        QTest::newRow("default") << "" << QList<int>{2, 1, 0};
        QTest::newRow("number") << "NUMURS" << QList<int>{1, 0, 2};
        QTest::newRow("date") << "DATUMS" << QList<int>{2, 1, 0};
        QTest::newRow("patient") << "ShKlientFIO" << QList<int>{2, 0, 1};
        QTest::newRow("planned date") << "PLAN_DAT" << QList<int>{2, 0, 1};
        QTest::newRow("planned time") << "PLAN_LAIKS" << QList<int>{1, 2, 0};
        QTest::newRow("specialist") << "ShIzpildFIO" << QList<int>{0, 1, 2};
        QTest::newRow("room does not sort") << "KABINETS" << QList<int>{2, 1, 0};
    }
    void titleOrders() {
        QFETCH(QString, field);
        QFETCH(QList<int>, order);
        const int apine = m_clinic->patient("Apine", "Dina");
        const QList<int> keys{
            addRequest({{"NUMURS", aligned("9")}, {"DATUMS", QDateTime(Day, QTime(0, 0))}, {"ISKLIENTS", m_anna},
                        {"PLAN_DAT", QDateTime(Day.addDays(5), QTime(0, 0))}, {"PLAN_LAIKS", "15:00"}, {"ISIZPILDITAJS", m_ilze}}),
            addRequest({{"NUMURS", aligned("8")}, {"DATUMS", QDateTime(Day.addDays(1), QTime(0, 0))}, {"ISKLIENTS", m_peteris},
                        {"PLAN_DAT", QDateTime(Day.addDays(6), QTime(0, 0))}, {"PLAN_LAIKS", "08:00"}, {"ISIZPILDITAJS", m_dace}}),
            addRequest({{"NUMURS", aligned("10")}, {"DATUMS", QDateTime(Day.addDays(2), QTime(0, 0))}, {"ISKLIENTS", apine},
                        {"PLAN_DAT", QDateTime(Day.addDays(4), QTime(0, 0))}, {"PLAN_LAIKS", "09:00"}, {"ISIZPILDITAJS", m_janis}})};
        QList<int> expected;
        for (int i : order) expected.append(keys.at(i));
        QCOMPARE(listed(period(Day, Day.addDays(3)), field), expected);
    }

    // The date of the consultation made from each request comes with the list: by the request's
    // key, its number or its number and "-"; not another request's ("157-2" for 57) nor another
    // patient's.
    void consultationDate() {
        const int byKey = addRequest({{"NUMURS", aligned("56")}});
        const int byNumber = addRequest({{"NUMURS", aligned("57")}});
        const int byPrefix = addRequest({{"NUMURS", aligned("58")}});
        const int none = addRequest({{"NUMURS", aligned("59")}});
        addConsultation("900", m_anna, Day.addDays(1), byKey);
        addConsultation("57", m_anna, Day.addDays(2));
        addConsultation("58-121", m_anna, Day.addDays(3));
        addConsultation("159-2", m_anna, Day.addDays(4));
        addConsultation("59-1", m_peteris, Day.addDays(5));
        const db::ResultSet rs = RequestStore(*m_db).list(period(Day, Day));
        QHash<int, QDate> dates;
        for (int r = 0; r < rs.rowCount(); ++r)
            dates.insert(rs.value(r, "ISN").toInt(), rs.value(r, "IZPILDITS_DAT").toDateTime().date());
        QCOMPARE(dates.value(byKey), Day.addDays(1));
        QCOMPARE(dates.value(byNumber), Day.addDays(2));
        QCOMPARE(dates.value(byPrefix), Day.addDays(3));
        QCOMPARE(dates.value(none), QDate());
    }

    // Two workstations through the Firebird server save new requests with the same number: the one
    // that comes second is told and gets the next free number; nothing is lost.
    void twoWorkstationsOneNumber() {
        try {
            twoWorkstations();
        } catch (const std::exception& e) {
            QFAIL(e.what());
        }
    }

private:
    void twoWorkstations() {
        if (testsupport::serverPrefix().isEmpty()) QSKIP("needs the Firebird server (MOLARIX_FB_SERVER)");
        const calendar::Appointment base = valid(QString());
        cleanup();  // the embedded engine would hold the file for itself
        const QString connection = testsupport::serverPrefix() + m_path;
        auto reception = testsupport::open(connection);
        auto doctor = testsupport::open(connection);
        RequestStore receptionStore(*reception);
        RequestStore doctorStore(*doctor);

        // Both type 1 into an empty table; the doctor's save is not committed yet when the
        // reception saves.
        calendar::Appointment mine = base;
        mine.number = "1";
        calendar::Appointment theirs = base;
        theirs.number = "1";
        QVERIFY(receptionStore.validate(mine).ok());
        QVERIFY(doctorStore.validate(theirs).ok());
        calendar::AppointmentSave first;
        {
            db::Transaction pending(*doctor);
            pending.exec("INSERT INTO O_KONSULT_PIET_HD (NUMURS, DATUMS) VALUES (:N, :D)",
                         {{"N", aligned("1")}, {"D", QDateTime(Day, QTime(0, 0))}});
            first = receptionStore.save(mine, 1);
            pending.rollback();
        }
        QVERIFY(first.ok());
        QCOMPARE(first.takenNumbers, QStringList{"1"});
        QCOMPARE(first.number, QStringLiteral("2"));
        // Then the doctor's own save of 1 after the reception committed 2: 1 is free again.
        doctor->commitRetaining();
        const calendar::AppointmentSave second = doctorStore.save(theirs, 1);
        QVERIFY(second.ok());
        QCOMPARE(second.number, QStringLiteral("1"));
        // A third save of the same offered number is told and takes 3.
        reception->commitRetaining();
        calendar::Appointment again = base;
        again.number = "1";
        const calendar::AppointmentSave third = receptionStore.save(again, 1);
        QCOMPARE(third.takenNumbers, QStringList{"1"});
        QCOMPARE(third.number, QStringLiteral("3"));
        reception->commitRetaining();
        QCOMPARE(reception->scalar("SELECT COUNT(DISTINCT NUMURS) FROM O_KONSULT_PIET_HD").toInt(), 3);
        QCOMPARE(reception->scalar("SELECT MAX(NUMURS) FROM O_KONSULT_PIET_HD").toString(), aligned("3"));
    }

private Q_SLOTS:
    // The window: a receptionist's new request on the requests tab with the weekday panel, saved
    // and then shown by the planner's model and announced to the other windows.
    void newRequestReachesThePlanner() {
        addRequest({{"NUMURS", aligned("41")}, {"DATUMS", QDateTime(Day.addYears(-3), QTime(0, 0))}});
        TKonsultacijas* w = openRegister();
        QVERIFY(w);
        QCOMPARE(w->tabs()->currentIndex(), int(TKonsultacijas::RequestsTab));
        QCOMPARE(w->windowTitle(), QStringLiteral("PIETEIKUMI"));
        RequestsPage* p = w->requests();
        ModalHelper modal;
        modal.onDialog = [&](QDialog* d) { d->done(QDialog::Rejected); };
        QVERIFY(p->button("btJauns")->isEnabled());
        QTest::mouseClick(p->button("btJauns"), Qt::LeftButton);
        QCOMPARE(p->state(), RequestsPage::State::Insert);
        QCOMPARE(line(p, "NUMURS")->text(), QStringLiteral("42"));

        // The weekday panel: hidden until "Var pirms šī laika"; Monday to Friday only.
        RequestForm* form = p->form();
        QVERIFY(!form->weekdayPanel()->isVisible());
        auto* earlier = qobject_cast<QCheckBox*>(form->field("PIRMS_DATUMA"));
        QTest::mouseClick(earlier, Qt::LeftButton, {}, QPoint(6, earlier->height() / 2));
        QVERIFY(form->weekdayPanel()->isVisible());
        for (int d = 0; d < 7; ++d) QCOMPARE(form->weekday(d)->isVisible(), d < 5);
        QVERIFY(!form->weekdayFrom(2)->isEnabled());
        QTest::mouseClick(form->weekday(2), Qt::LeftButton, {}, QPoint(6, form->weekday(2)->height() / 2));
        QVERIFY(form->weekdayFrom(2)->isEnabled());
        QVERIFY(form->weekdayUntil(2)->isEnabled());
        form->weekdayFrom(2)->setText("9:00");

        // Saved with no room first: the message and the focus; then complete.
        QTest::mouseClick(p->button("btSaglabat"), Qt::LeftButton);
        QCOMPARE(modal.messages, QStringList{"Nav izvēlēts klients !!!"});
        p->form()->setPatientName("Liepiņa Anna");
        calendar::Appointment typed = p->form()->collect(p->request());
        QVERIFY(typed.days[2].on);
        // The patient comes from the picker; here it is set as the picker would.
        const_cast<calendar::Appointment&>(p->request()).patient = m_anna;
        form->lookup("ISKABINETS")->setKey(m_room2);
        form->timeField("PLAN_LAIKS")->setEditText("10:30");
        QSignalSpy announced(&m_session->notifier(), &app::ChangeNotifier::appointmentsChanged);
        QTest::mouseClick(p->button("btSaglabat"), Qt::LeftButton);
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(p->state(), RequestsPage::State::Browse);
        const int key = m_db->scalar("SELECT MAX(ISN) FROM O_KONSULT_PIET_HD").toInt();
        QCOMPARE(p->currentKey(), key);
        QVERIFY(announced.count() >= 1);
        QCOMPARE(m_db->scalar("SELECT DIENA3 || DIENA3_NO FROM O_KONSULT_PIET_HD WHERE ISN=:K", {{"K", key}}).toString(),
                 QStringLiteral("V09:00"));

        // The planner's model of today shows it in the specialist's column.
        calendar::PlannerStore planner(*m_db);
        calendar::PlannerQuery q;
        q.settings = planner.settings();
        q.days = {QDate::currentDate()};
        q.kind = calendar::ColumnKind::Specialists;
        for (const calendar::PlannerResource& r : planner.specialists())
            if (r.key == m_ilze) q.resources.append(r);
        q.range = {8, 18};
        const calendar::PlannerData data = planner.read(q);
        bool found = false;
        for (const calendar::PlannerBlock& b : data.blocks)
            if (b.appointmentKey == key) {
                found = true;
                QCOMPARE(b.startMinutes, 10 * 60 + 30);
                QCOMPARE(b.specialistKey, m_ilze);
            }
        QVERIFY(found);
    }

    // Only the clinic's working days are offered, as they are when the window comes forward.
    void weekdayPanelFollowsWorkingDays_data() {
        QTest::addColumn<QList<int>>("working");
        QTest::newRow("Monday to Friday") << QList<int>{1, 2, 3, 4, 5};
        QTest::newRow("with Saturday") << QList<int>{1, 2, 3, 4, 5, 6};
        QTest::newRow("Tuesday to Saturday") << QList<int>{2, 3, 4, 5, 6};
        QTest::newRow("every day") << QList<int>{1, 2, 3, 4, 5, 6, 7};
    }
    void weekdayPanelFollowsWorkingDays() {
        QFETCH(QList<int>, working);
        const int key = addRequest({{"PIRMS_DATUMA", 1}, {"DIENA1", "V"}, {"DIENA1_NO", "08:00"}});
        TKonsultacijas* w = openRegister();
        QVERIFY(w);
        m_clinic->setWorkingDays(working);
        w->requests()->activated();
        w->requests()->showRequest(key);
        RequestForm* form = w->requests()->form();
        QVERIFY(form->weekdayPanel()->isVisible());
        for (int d = 0; d < 7; ++d) {
            QCOMPARE(form->weekday(d)->isVisible(), working.contains(d + 1));
            QCOMPARE(form->weekdayFrom(d)->isVisible(), working.contains(d + 1));
        }
        // Not editing: nothing can be ticked.
        QVERIFY(!form->weekday(2)->isEnabled());
        QCOMPARE(qobject_cast<QLineEdit*>(form->field("DIENA1_NO"))->text(), QStringLiteral("08:00"));
    }

    // The window, with every weekday of the panel shown, fits a 1366 × 768 screen below the main
    // window's menu and tool bar (about 90 pixels) together with its frame.
    void fitsSmallScreen() {
        const int key = addRequest({{"PIRMS_DATUMA", 1}, {"DIENA1", "V"}, {"DIENA1_NO", "08:00"}});
        TKonsultacijas* w = openRegister();
        QVERIFY(w);
        m_clinic->setWorkingDays({1, 2, 3, 4, 5, 6, 7});
        w->requests()->activated();
        w->requests()->showRequest(key);
        QVERIFY(w->requests()->form()->weekdayPanel()->isVisible());
        // The tab control needs the room of its tallest page, whichever is shown.
        const QSize least = w->minimumSizeHint().expandedTo(w->minimumSize());
        QVERIFY2(least.height() <= 640, qPrintable(QString::number(least.height())));
        QVERIFY2(least.width() <= 1340, qPrintable(QString::number(least.width())));
    }

    // "Apmeklējums" on request 57 when the greatest plain consultation number is 120: a new
    // consultation numbered 57-121 on the consultations tab, filtered to the patient.
    void visitNumberedAfterTheRequest() {
        const int request = addRequest({{"NUMURS", aligned("57")}, {"DATUMS", QDateTime(QDate::currentDate(), QTime(0, 0))},
                                        {"PLAN_LAIKS", "9:30"}, {"PLAN_ILGUMS", "00:45"}});
        addConsultation("120", m_peteris, QDate::currentDate().addDays(-3));
        addConsultation("99", m_peteris, QDate::currentDate().addDays(-2));
        addConsultation("60-130", m_peteris, QDate::currentDate().addDays(-1));
        TKonsultacijas* w = openRegister();
        QVERIFY(w);
        RequestsPage* p = w->requests();
        RequestFilter f = period(QDate::currentDate(), QDate::currentDate());
        p->setFilter(f);
        p->refresh(request);
        QCOMPARE(p->currentKey(), request);
        ModalHelper modal;
        QTest::mouseClick(p->button("btApmeklejums"), Qt::LeftButton);
        QCOMPARE(modal.messages, QStringList());
        QCOMPARE(w->tabs()->currentIndex(), int(TKonsultacijas::ConsultationsTab));
        QCOMPARE(w->state(), TKonsultacijas::State::Insert);
        QCOMPARE(qobject_cast<QLineEdit*>(w->form()->field("NUMURS"))->text(), QStringLiteral("57-121"));
        QCOMPARE(w->consultation().request, request);
        QCOMPARE(w->form()->timeField("TIME_START")->currentText(), QStringLiteral("09:30"));
        QCOMPARE(w->form()->timeField("TIME_END")->currentText(), QStringLiteral("10:15"));
        QCOMPARE(w->filter().patient, m_anna);
        QVERIFY(w->abandonEdit());
        modal.messages.clear();

        // No request to visit, and one without a specialist.
        w->tabs()->setCurrentIndex(TKonsultacijas::RequestsTab);
        p->setFilter(period(Day.addYears(-5), Day.addYears(-5)));
        p->refresh();
        QTest::mouseClick(p->button("btApmeklejums"), Qt::LeftButton);
        QCOMPARE(modal.messages, QStringList{"Nav ko veidot !!!"});
        const int noSpecialist = addRequest({{"NUMURS", aligned("58")}, {"ISIZPILDITAJS", 1}});
        p->showRequest(noSpecialist);
        QCOMPARE(p->currentKey(), noSpecialist);
        QTest::mouseClick(p->button("btApmeklejums"), Qt::LeftButton);
        QCOMPARE(modal.messages.last(), QStringLiteral("Nav izpildītāja !!!"));
    }

    // A request row of the patient card's history opens the requests tab on that request, also
    // when the filter did not list it.
    void historyOpensTheRequest() {
        const int request = addRequest({{"NUMURS", aligned("77")}, {"DATUMS", QDateTime(Day.addYears(-2), QTime(0, 0))}});
        TKonsultacijas* w = openRegister();
        QVERIFY(w);
        w->tabs()->setCurrentIndex(TKonsultacijas::ConsultationsTab);
        QVERIFY(w->requests()->model()->findRow(request) < 0);
        m_session->facades().consultations.open(nullptr, {m_anna, request, 1});
        QCOMPARE(w->tabs()->currentIndex(), int(TKonsultacijas::RequestsTab));
        QCOMPARE(w->requests()->currentKey(), request);
        QCOMPARE(line(w->requests(), "NUMURS")->text(), QStringLiteral("77"));
    }
};

QTEST_MAIN(TestRequests)
#include "tst_requests.moc"
