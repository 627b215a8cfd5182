// The consultation register's data without a window: numbering, the checks in their order with
// the field to focus, the time rules, saving with the journal, stale saves, rejecting, the list's
// filter and order, and two workstations taking the same number at once.
#include "../calendar/ClinicFixture.h"
#include "Fetched.h"
#include "TestDatabase.h"
#include "app/Settings.h"
#include "consultations/ConsultationList.h"
#include "consultations/ConsultationTimes.h"
#include "consultations/TKonsultacijasDati.h"
#include "db/DbError.h"
#include "db/Transaction.h"

#include <QThread>
#include <QtTest>

#include <atomic>

using namespace consultations;

Q_DECLARE_METATYPE(consultations::ConsultationSort)

namespace {

const QDate Day(2026, 3, 4);

}  // namespace

class TestConsultationStore : public QObject {
    Q_OBJECT
    QString m_path;
    std::unique_ptr<db::Database> m_db;
    std::unique_ptr<ClinicFixture> m_clinic;
    int m_ilze = 0, m_janis = 0;
    int m_room = 0, m_room2 = 0;
    int m_type = 0;
    int m_anna = 0, m_peteris = 0;

    // A stored consultation; the columns given replace those of a complete one.
    int addConsultation(const QVariantHash& columns = {}) {
        QVariantHash v{{"NUMURS", "500"},
                       {"DATUMS", QDateTime(Day, QTime(10, 5))},
                       {"ISKLIENTS", m_anna},
                       {"ISIZPILDITAJS", m_ilze},
                       {"ISKABINETS", m_room},
                       {"TIME_START", "10:00"},
                       {"TIME_END", "11:00"}};
        for (auto it = columns.cbegin(); it != columns.cend(); ++it) v.insert(it.key(), it.value());
        QStringList names = v.keys(), params;
        for (const QString& n : names) params.append(":" + n);
        const int key = m_db->scalar("INSERT INTO O_KONSULTACIJA_HD (" + names.join(',') + ") VALUES (" +
                                         params.join(',') + ") RETURNING ISN",
                                     v)
                            .toInt();
        m_db->commitRetaining();
        return key;
    }
    // A complete new consultation as the window hands it over.
    Consultation valid(const QString& number = QStringLiteral("700")) {
        Consultation c;
        c.number = number;
        c.date = Day;
        c.patient = m_anna;
        c.specialist = m_ilze;
        c.room = m_room;
        c.type = m_type;
        c.timeStart = "10:00";
        c.timeEnd = "10:45";
        return c;
    }
    db::ResultSet row(int key) { return m_db->select("SELECT * FROM O_KONSULTACIJA_HD WHERE ISN=:K", {{"K", key}}); }
    db::ResultSet journal(int key) {
        return m_db->select("SELECT TAUSTINS, NUMURS, BAZE, DATUMS FROM O_OPERACIJAS WHERE BAZE='O_KONSULTACIJA_HD' "
                            "AND ISN_BAZE=:K ORDER BY ISN",
                            {{"K", key}});
    }
    QList<int> listed(const ConsultationFilter& f, const ConsultationSort& sort = {}) {
        const db::ResultSet rs = TKonsultacijasDati(*m_db).list(f, sort);
        QList<int> keys;
        for (int r = 0; r < rs.rowCount(); ++r) keys.append(rs.value(r, "ISN").toInt());
        return keys;
    }
    ConsultationFilter period(const QDate& from, const QDate& to) {
        ConsultationFilter f;
        f.from = from;
        f.to = to;
        return f;
    }

private Q_SLOTS:
    void init() {
        testsupport::isolateSettings();
        m_path = testsupport::freshDatabaseFile(QStringLiteral("consultations"));
        m_db = testsupport::open(m_path);
        m_clinic = std::make_unique<ClinicFixture>(*m_db);
        m_ilze = m_clinic->specialist("Bērziņa", "Ilze");
        m_janis = m_clinic->specialist("Ozols", "Jānis");
        m_room = m_clinic->room("Kabinets 1");
        m_room2 = m_clinic->room("Kabinets 2");
        m_type = m_clinic->type("Konsultācija");
        m_anna = m_clinic->patient("Liepiņa", "Anna");
        m_peteris = m_clinic->patient("Zariņš", "Pēteris");
    }
    void cleanup() {
        m_clinic.reset();
        m_db.reset();
    }

    // The next plain number is the greatest by value, not by text; numbers with "-" and any that
    // are not digits do not count.
    void nextNumber_data() {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("next");
        QTest::newRow("first") << QStringList{} << "1";
        QTest::newRow("9 and 10") << QStringList{"9", "10"} << "11";
        QTest::newRow("visits ignored") << QStringList{"9", "10", "57-121"} << "11";
        QTest::newRow("only visits") << QStringList{"57-121"} << "1";
        QTest::newRow("leading zeros") << QStringList{"007", "6"} << "8";
        QTest::newRow("letters ignored") << QStringList{"A12", "3"} << "4";
        QTest::newRow("longer wins") << QStringList{"999", "1000", "99"} << "1001";
        QTest::newRow("too long to count") << QStringList{"99999999999999999999"} << "";
    }
    void nextNumber() {
        QFETCH(QStringList, stored);
        QFETCH(QString, next);
        int minute = 0;
        for (const QString& n : stored) addConsultation({{"NUMURS", n}, {"DATUMS", QDateTime(Day, QTime(9, minute++))}});
        QCOMPARE(TKonsultacijasDati(*m_db).nextNumber(), next);
        QCOMPARE(TKonsultacijasDati(*m_db).create({m_ilze, m_type}).number, next);
    }

    // The hour offered ends within the day, so that a consultation started late in the evening
    // can be saved as offered.
    void newConsultationHour_data() {
        QTest::addColumn<QTime>("now");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::newRow("midnight") << QTime(0, 0) << "00:00" << "01:00";
        QTest::newRow("afternoon") << QTime(14, 37, 59) << "14:37" << "15:37";
        QTest::newRow("last full hour") << QTime(22, 59) << "22:59" << "23:59";
        QTest::newRow("late evening") << QTime(23, 10) << "23:10" << "23:59";
        QTest::newRow("last minute") << QTime(23, 59, 30) << "23:58" << "23:59";
    }
    void newConsultationHour() {
        QFETCH(QTime, now);
        QFETCH(QString, start);
        QFETCH(QString, end);
        const Consultation c = TKonsultacijasDati(*m_db).create({m_janis, m_type}, QDateTime(Day, now));
        QCOMPARE(c.timeStart, start);
        QCOMPARE(c.timeEnd, end);
        QString s = c.timeStart, e = c.timeEnd;
        QVERIFY(ConsultationTimes::Check(s, e).ok());
    }

    // A new consultation starts now, for an hour, with the remembered specialist and type.
    void newConsultation() {
        addConsultation({{"NUMURS", "41"}});
        TKonsultacijasDati dati(*m_db);
        const Consultation c = dati.create({m_janis, m_type}, QDateTime(Day, QTime(14, 37, 12)));
        QCOMPARE(c.isn, 0);
        QCOMPARE(c.number, QStringLiteral("42"));
        QCOMPARE(c.date, Day);
        QCOMPARE(c.timeStart, QStringLiteral("14:37"));
        QCOMPARE(c.timeEnd, QStringLiteral("15:37"));
        QCOMPARE(c.specialist, m_janis);
        QCOMPARE(c.type, m_type);
        QCOMPARE(c.patient, 1);
        for (const HealthAnswer& a : c.health) QCOMPARE(a, HealthAnswer());

        app::Settings::setInteger("Konsultacijas", "Isizpilditajs", m_ilze);
        app::Settings::setInteger("Konsultacijas", "Isveids", m_type);
        QCOMPARE(TKonsultacijasDati::ReadDefaults().specialist, m_ilze);
        Consultation saved = valid();
        saved.specialist = m_janis;
        TKonsultacijasDati::RememberDefaults(saved);
        QCOMPARE(TKonsultacijasDati::ReadDefaults().specialist, m_janis);
        QCOMPARE(app::Settings::integer("Konsultacijas", "Isveids"), m_type);
    }

    // The padding, blank fields and the recomputing of end and duration.
    void timeRules_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("duration");
        QTest::addColumn<QString>("endFromDuration");
        QTest::addColumn<QString>("durationBetween");
        QTest::newRow("plain") << "09:30" << "10:15" << "00:45" << "10:15" << "00:45";
        QTest::newRow("one-digit hours") << "9:30" << "10:15" << "1:00" << "10:30" << "00:45";
        QTest::newRow("end before start") << "10:00" << "09:00" << "00:30" << "10:30" << "";
        QTest::newRow("blank start") << ":" << "10:00" << "01:00" << "" << "";
        QTest::newRow("blank end") << "10:00" << " : " << "" << "" << "";
        QTest::newRow("invalid minutes") << "10:75" << "11:00" << "00:30" << "" << "";
        QTest::newRow("across midnight") << "23:30" << "23:45" << "01:00" << "24:30" << "00:15";
    }
    void timeRules() {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, duration);
        QCOMPARE(EndFromDuration(start, duration), FETCHED(QString, endFromDuration));
        QCOMPARE(DurationBetween(start, end), FETCHED(QString, durationBetween));
    }
    void paddingAndBlanks() {
        QCOMPARE(PadTime("8:15"), QStringLiteral("08:15"));
        QCOMPARE(PadTime(" 9:05 "), QStringLiteral("09:05"));
        QCOMPARE(PadTime("10:00"), QStringLiteral("10:00"));
        QCOMPARE(PadTime(":"), QStringLiteral(":"));
        QVERIFY(IsBlankTime(":"));
        QVERIFY(IsBlankTime(" : "));
        QVERIFY(IsBlankTime("__:__"));
        QVERIFY(IsBlankTime(""));
        QVERIFY(!IsBlankTime("0:00"));
    }

    // The checks stop at the first failure in their order; every row breaks several things and
    // expects the first of them.
    void checksInOrder_data() {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("field");
        const QStringList all{"date", "locked", "number", "patient", "room", "specialist", "duplicate"};
        QTest::newRow("no date first") << all << "" << "" << "Nav ievadīts datums !!!" << "DATUMS";
        QTest::newRow("locked day") << all.mid(1) << "" << "" << "Datums ir bloķēts, labošanu izdarīt nedrīkst !!!"
                                    << "DATUMS";
        QTest::newRow("no number") << all.mid(2) << "" << "" << "Nav ievadīts numurs !!!" << "NUMURS";
        QTest::newRow("no patient") << all.mid(3) << "" << "" << "Nav ievadīts klients !!!" << "ISKLIENTS";
        QTest::newRow("no room") << all.mid(4) << "" << "" << "Nav izvēlēts kabinets !!!" << "ISKABINETS";
        QTest::newRow("no specialist") << all.mid(5) << "" << "" << "Nav izvēlēts korekts speciālists !!!"
                                       << "ISIZPILDITAJS";
        QTest::newRow("total too big") << all.mid(6) << "24:30" << "" << "Summārais laiks ir par lielu !!!"
                                       << "TIME_START";
        QTest::newRow("midnight start") << QStringList{} << "24:00" << "24:30" << "Summārais laiks ir par lielu !!!"
                                        << "TIME_START";
        QTest::newRow("end missing") << all.mid(6) << "9:00" << ":" << "Norm. laika periods jānorāda līdz galam !!!"
                                     << "TIME_END";
        QTest::newRow("start missing") << QStringList{} << " : " << "10:00"
                                       << "Norm. laika periods jānorāda līdz galam !!!" << "TIME_START";
        QTest::newRow("no time") << all.mid(6) << ":" << ":" << "Kaut kāds laiks jānorāda!!!" << "TIME_START";
        QTest::newRow("empty texts") << QStringList{} << "" << "" << "Kaut kāds laiks jānorāda!!!" << "TIME_START";
        QTest::newRow("start invalid") << all.mid(6) << "25:00" << "26:00" << "Nekorekts laiks !!!" << "TIME_START";
        QTest::newRow("minutes invalid") << QStringList{} << "9:61" << "10:00" << "Nekorekts laiks !!!"
                                         << "TIME_START";
        QTest::newRow("end invalid") << QStringList{} << "09:00" << "9:75" << "Nekorekts laiks !!!" << "TIME_END";
        QTest::newRow("empty period") << all.mid(6) << "10:00" << "10:00" << "Nekorekts laika periods !!!"
                                      << "TIME_END";
        QTest::newRow("end before start") << QStringList{} << "11:00" << "10:30" << "Nekorekts laika periods !!!"
                                          << "TIME_END";
        QTest::newRow("duplicate number") << all.mid(6) << "9:00" << "9:30"
                                          << "Konsultācijas ar numuru '500' datu bazē jau eksistē!!!" << "NUMURS";
        QTest::newRow("all well") << QStringList{} << "8:15" << "9:00" << "" << "";
    }
    void checksInOrder() {
        QFETCH(QStringList, faults);
        QFETCH(QString, message);
        QFETCH(QString, field);
        addConsultation();  // number 500
        m_clinic->lockDay(Day.addDays(-1));
        Consultation c = valid();
        c.timeStart = FETCHED(QString, start);
        c.timeEnd = FETCHED(QString, end);
        if (faults.contains("date")) c.date = QDate();
        if (faults.contains("locked") && !faults.contains("date")) c.date = Day.addDays(-1);
        if (faults.contains("number")) c.number = "  ";
        if (faults.contains("patient")) c.patient = 1;
        if (faults.contains("room")) c.room = 0;
        if (faults.contains("specialist")) c.specialist = 1;
        if (faults.contains("duplicate") && !faults.contains("number")) c.number = " 500 ";
        const app::CardCheck check = TKonsultacijasDati(*m_db).validate(c);
        QCOMPARE(check.message, message);
        QCOMPARE(check.field, field);
        if (check.ok()) {
            QCOMPARE(c.timeStart, QStringLiteral("08:15"));
            QCOMPARE(c.timeEnd, QStringLiteral("09:00"));
        }
    }

    // A consultation keeps its own number; another one with that number is refused; the number
    // is compared as stored, blanks around it trimmed.
    void ownNumberAccepted() {
        const int stored = addConsultation({{"NUMURS", "77"}});
        TKonsultacijasDati dati(*m_db);
        Consultation own = *dati.load(stored);
        QVERIFY(dati.validate(own).ok());
        QVERIFY(dati.save(own, 1).ok());
        Consultation other = valid(" 77");
        QCOMPARE(dati.validate(other).message, QStringLiteral("Konsultācijas ar numuru '77' datu bazē jau eksistē!!!"));
        // Past the check (another workstation stored it just now): the unique index refuses it.
        const ConsultationSave refused = dati.save(other, 1);
        QVERIFY(!refused.ok());
        QCOMPARE(refused.refusal.message, QStringLiteral("Konsultācijas ar numuru '77' datu bazē jau eksistē!!!"));
        QCOMPARE(refused.refusal.field, QStringLiteral("NUMURS"));
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM O_KONSULTACIJA_HD").toInt(), 1);
        QCOMPARE(journal(stored).rowCount(), 1);
    }

    // A day locked afterwards refuses changes of its consultations, also moving one away from it,
    // and rejecting one.
    void lockedDay() {
        const int key = addConsultation();
        TKonsultacijasDati dati(*m_db);
        Consultation c = *dati.load(key);
        m_clinic->lockDay(Day);
        Consultation moved = c;
        moved.date = Day.addDays(1);
        QCOMPARE(dati.validate(moved).message, TKonsultacijasDati::LockedDayMessage());
        QCOMPARE(dati.validate(c).message, TKonsultacijasDati::LockedDayMessage());
        QCOMPARE(dati.reject(c, 1), TKonsultacijasDati::LockedDayMessage());
        QCOMPARE(row(key).first("DZESTS").toInt(), 0);
        QCOMPARE(journal(key).rowCount(), 0);
    }

    // A new consultation with its questionnaire, stored and read back; then changed. Both saves
    // leave a journal entry and the audit columns.
    void saveAndReadBack() {
        TKonsultacijasDati dati(*m_db);
        Consultation c = valid("701");
        c.timeStart = "8:15";
        c.timeEnd = "9:00";
        c.assistant = m_janis;
        c.notes = "Sāpes apakšžoklī, kreisajā pusē.";
        c.diagnosis = "Kariess 36. zobam";
        c.health[8] = {true, "Penicilīns — izsitumi"};
        c.health[4] = {true, QString()};
        c.health[10] = {false, "nav zināms"};
        QVERIFY(dati.validate(c).ok());
        const QDateTime now(Day.addDays(2), QTime(16, 20, 30));
        const ConsultationSave saved = dati.save(c, 3, now);
        QVERIFY(saved.ok());
        const db::ResultSet stored = row(saved.key);
        QCOMPARE(stored.first("NUMURS").toString(), QStringLiteral("701"));
        QCOMPARE(stored.first("DATUMS").toDateTime(), QDateTime(Day, QTime(16, 20, 30)));
        QCOMPARE(stored.first("TIME_START").toString(), QStringLiteral("08:15"));
        QCOMPARE(stored.first("ALERGIJA").toInt(), 1);
        QCOMPARE(stored.first("ALERGIJA_CMT").toString(), QStringLiteral("Penicilīns — izsitumi"));
        QCOMPARE(stored.first("DIABETS").toInt(), 1);
        QCOMPARE(stored.first("AIDS").toInt(), 0);
        QCOMPARE(stored.first("EPILEPSIJA").toInt(), 0);
        QCOMPARE(stored.first("DZESTS").toInt(), 0);
        QCOMPARE(stored.first("ISUSER_NEW").toInt(), 3);
        QCOMPARE(stored.first("IEVDAT_NEW").toDateTime(), now);

        Consultation back = *dati.load(saved.key);
        QCOMPARE(back.number, c.number);
        QCOMPARE(back.date, Day);
        QCOMPARE(back.patient, m_anna);
        QCOMPARE(back.patientName, QStringLiteral("Liepiņa Anna"));
        QCOMPARE(back.assistant, m_janis);
        QCOMPARE(back.notes, c.notes);
        QCOMPARE(back.diagnosis, c.diagnosis);
        QCOMPARE(back.health, c.health);

        // Chart and status columns written by other pages stay as they are.
        m_db->exec("UPDATE O_KONSULTACIJA_HD SET ZOBU_KARTE='16_k|', KABATAS='16_4|' WHERE ISN=:K", {{"K", saved.key}});
        m_db->commitRetaining();
        back = *dati.load(saved.key);
        back.health[8].yes = false;
        back.room = m_room2;
        QVERIFY(dati.validate(back).ok());
        QVERIFY(dati.save(back, 4).ok());
        const db::ResultSet changed = row(saved.key);
        QCOMPARE(changed.first("ALERGIJA").toInt(), 0);
        QCOMPARE(changed.first("ISKABINETS").toInt(), m_room2);
        QCOMPARE(changed.first("ZOBU_KARTE").toString(), QStringLiteral("16_k|"));
        QCOMPARE(changed.first("KABATAS").toString(), QStringLiteral("16_4|"));
        QCOMPARE(changed.first("ISUSER_EDIT").toInt(), 4);
        const db::ResultSet j = journal(saved.key);
        QCOMPARE(j.rowCount(), 2);
        QCOMPARE(j.value(0, "TAUSTINS").toString().trimmed(), QStringLiteral("J"));
        QCOMPARE(j.value(1, "TAUSTINS").toString().trimmed(), QStringLiteral("L"));
        QCOMPARE(j.value(0, "NUMURS").toString().trimmed(), QStringLiteral("701"));
        QCOMPARE(j.value(0, "DATUMS").toDateTime().date(), Day);
    }

    // Rejecting marks the row and journals "D"; the list hides it unless asked; undoing takes the
    // mark away ("L").
    void rejectAndUndo() {
        const int key = addConsultation({{"NUMURS", "88"}});
        TKonsultacijasDati dati(*m_db);
        Consultation c = *dati.load(key);
        QCOMPARE(dati.reject(c, 2), QString());
        QCOMPARE(row(key).first("DZESTS").toInt(), 1);
        db::ResultSet j = journal(key);
        QCOMPARE(j.rowCount(), 1);
        QCOMPARE(j.value(0, "TAUSTINS").toString().trimmed(), QStringLiteral("D"));
        QCOMPARE(j.value(0, "NUMURS").toString().trimmed(), QStringLiteral("88"));
        ConsultationFilter f = period(Day, Day);
        QCOMPARE(listed(f), QList<int>{});
        f.showRejected = true;
        QCOMPARE(listed(f), QList<int>{key});

        c = *dati.load(key);
        QVERIFY(c.rejected);
        QCOMPARE(dati.undoReject(c, 2), QString());
        QCOMPARE(row(key).first("DZESTS").toInt(), 0);
        QCOMPARE(journal(key).value(1, "TAUSTINS").toString().trimmed(), QStringLiteral("L"));
    }

    // A save or reject over another workstation's later change of the same consultation writes
    // nothing.
    void staleChangesRefused_data() {
        QTest::addColumn<bool>("rejecting");
        QTest::newRow("save") << false;
        QTest::newRow("reject") << true;
    }
    void staleChangesRefused() {
        QFETCH(bool, rejecting);
        const int key = addConsultation();
        TKonsultacijasDati dati(*m_db);
        Consultation mine = *dati.load(key);
        Consultation theirs = mine;
        theirs.diagnosis = "otrā darbstacija";
        QVERIFY(dati.save(theirs, 2, QDateTime::currentDateTime().addSecs(5)).ok());
        mine.diagnosis = "mana";
        QVERIFY_THROWS_EXCEPTION(db::StaleRowError, rejecting ? void(dati.reject(mine, 1)) : void(dati.save(mine, 1)));
        const db::ResultSet stored = row(key);
        QCOMPARE(stored.first("DIAGNOZE").toString(), QStringLiteral("otrā darbstacija"));
        QCOMPARE(stored.first("DZESTS").toInt(), 0);
        QCOMPARE(journal(key).rowCount(), 1);
    }

    // The period includes its last day whatever the time of day; the other choices narrow it. A
    // typed number is a value, never part of the statement.
    void listFilter_data() {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("period") << "" << QStringList{"today late", "today early", "no room"};
        QTest::newRow("patient") << "patient" << QStringList{"today early"};
        QTest::newRow("specialist") << "specialist" << QStringList{"today late", "no room"};
        QTest::newRow("number") << "number" << QStringList{"today late"};
        QTest::newRow("number with quotes") << "injection" << QStringList{};
        QTest::newRow("number too long") << "long number" << QStringList{};
        QTest::newRow("rejected shown") << "rejected" << QStringList{"today late", "today early", "no room",
                                                                     "rejected"};
    }
    void listFilter() {
        QFETCH(QString, choice);
        QFETCH(QStringList, expected);
        const QDate today = QDate::currentDate();
        QHash<QString, int> keys;
        keys["yesterday"] = addConsultation({{"NUMURS", "1"}, {"DATUMS", QDateTime(today.addDays(-1), QTime(23, 59, 59))}});
        keys["today early"] =
            addConsultation({{"NUMURS", "2"}, {"DATUMS", QDateTime(today, QTime(0, 0))}, {"ISKLIENTS", m_peteris},
                             {"ISIZPILDITAJS", m_janis}});
        keys["today late"] = addConsultation({{"NUMURS", "3"}, {"DATUMS", QDateTime(today, QTime(23, 59, 59, 900))}});
        keys["tomorrow"] = addConsultation({{"NUMURS", "4"}, {"DATUMS", QDateTime(today.addDays(1), QTime(0, 0))}});
        keys["no room"] = addConsultation({{"NUMURS", "5"}, {"DATUMS", QDateTime(today, QTime(12, 0))}, {"ISKABINETS", QVariant()}});
        keys["rejected"] = addConsultation({{"NUMURS", "6"}, {"DATUMS", QDateTime(today, QTime(13, 0))}, {"DZESTS", 1}});
        ConsultationFilter f = period(today, today);
        if (choice == "patient") f.patient = m_peteris;
        if (choice == "specialist") f.specialist = m_ilze;
        if (choice == "number") f.number = " 3 ";
        if (choice == "injection") f.number = "3' OR '1'='1";
        if (choice == "long number") f.number = QString(40, QLatin1Char('3'));
        if (choice == "rejected") f.showRejected = true;
        QList<int> want;
        for (const QString& name : expected) want.append(keys.value(name));
        std::sort(want.begin(), want.end());
        QList<int> got = listed(f);
        std::sort(got.begin(), got.end());
        QCOMPARE(got, want);
    }

    // A second click on a title turns the order round; another column starts ascending; the
    // rejected-mark column does not sort. The order text follows the column's fixed tie-breaks.
    void sortClicks() {
        ConsultationSort s;
        QCOMPARE(s.column, QStringLiteral("DATUMS"));
        QVERIFY(!s.descending);
        s = s.clicked("NUMURS");
        QCOMPARE(s.orderBy(), QStringLiteral("O_KONSULTACIJA_HD.NUMURS, O_KONSULTACIJA_HD.DATUMS DESC, O_KONSULTACIJA_HD.ISN"));
        s = s.clicked("NUMURS");
        QCOMPARE(s.orderBy(),
                 QStringLiteral("O_KONSULTACIJA_HD.NUMURS DESC, O_KONSULTACIJA_HD.DATUMS DESC, O_KONSULTACIJA_HD.ISN"));
        s = s.clicked("ShIzpilditajsFIO");
        QVERIFY(!s.descending);
        QCOMPARE(s.orderBy(), QStringLiteral("N_IZPILD.UZVARDS, N_IZPILD.VARDS, O_KONSULTACIJA_HD.ISN"));
        QCOMPARE(s.clicked("ShDzests"), s);
        QCOMPARE(s.clicked("ISN; DELETE FROM N_KLIENTS"), s);
    }

    // Only a stored order of our own columns is taken; anything else gives the default.
    void storedSort_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<ConsultationSort>("sort");
        QTest::newRow("column") << "KABINETS" << ConsultationSort{"KABINETS", false};
        QTest::newRow("descending") << "ShKlientsFIO DESC" << ConsultationSort{"ShKlientsFIO", true};
        QTest::newRow("empty") << "" << ConsultationSort{};
        QTest::newRow("sql") << "N_KLIENTS.UZVARDS" << ConsultationSort{};
        QTest::newRow("pasted") << "NUMURS; DROP TABLE N_KLIENTS" << ConsultationSort{};
        QTest::newRow("other direction word") << "NUMURS ASC" << ConsultationSort{};
        QTest::newRow("rejected mark") << "ShDzests" << ConsultationSort{};
    }
    void storedSort() {
        QFETCH(QString, text);
        QFETCH(ConsultationSort, sort);
        app::Settings::setString("Konsultacijas", "Kartiba", text);
        QCOMPARE(ConsultationSort::Read(), sort);
        sort.write();
        QCOMPARE(ConsultationSort::Read(), sort);
    }

    // The list in the order of each sortable column, both ways, from the database. Only the
    // first expression turns round: rows equal in it keep their tie-break order.
    void listOrder_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QStringList>("ascending");
        QTest::addColumn<QStringList>("descending");
        QTest::newRow("number") << "NUMURS" << QStringList{"a", "b", "c"} << QStringList{"c", "b", "a"};
        QTest::newRow("patient") << "ShKlientsFIO" << QStringList{"b", "a", "c"} << QStringList{"c", "a", "b"};
        QTest::newRow("date") << "DATUMS" << QStringList{"c", "a", "b"} << QStringList{"b", "a", "c"};
        QTest::newRow("room") << "KABINETS" << QStringList{"a", "c", "b"} << QStringList{"b", "a", "c"};
        QTest::newRow("specialist") << "ShIzpilditajsFIO" << QStringList{"a", "c", "b"} << QStringList{"b", "a", "c"};
        QTest::newRow("start") << "TIME_START" << QStringList{"b", "c", "a"} << QStringList{"a", "c", "b"};
        QTest::newRow("end") << "TIME_END" << QStringList{"c", "b", "a"} << QStringList{"a", "b", "c"};
    }
    void listOrder() {
        QFETCH(QString, column);
        QFETCH(QStringList, ascending);
        QFETCH(QStringList, descending);
        QHash<QString, int> keys;
        keys["a"] = addConsultation({{"NUMURS", "11"}, {"DATUMS", QDateTime(Day, QTime(10, 0))}, {"ISKLIENTS", m_peteris},
                                     {"TIME_START", "15:00"}, {"TIME_END", "16:00"}});
        keys["b"] = addConsultation({{"NUMURS", "12"}, {"DATUMS", QDateTime(Day, QTime(11, 0))}, {"ISKABINETS", m_room2},
                                     {"ISIZPILDITAJS", m_janis}, {"TIME_START", "08:00"}, {"TIME_END", "15:30"}});
        keys["c"] = addConsultation({{"NUMURS", "13"},
                                     {"DATUMS", QDateTime(Day, QTime(9, 0))},
                                     {"ISKLIENTS", m_clinic->patient("Zvaigzne", "Ēriks")},
                                     {"TIME_START", "09:00"},
                                     {"TIME_END", "09:30"}});
        auto keysOf = [&](const QStringList& names) {
            QList<int> list;
            for (const QString& n : names) list.append(keys.value(n));
            return list;
        };
        // The list starts sorted by date, ascending; the first click on another title sorts by it.
        const ConsultationSort sort = column == "DATUMS" ? ConsultationSort{} : ConsultationSort().clicked(column);
        QCOMPARE(listed(period(Day, Day), sort), keysOf(ascending));
        QCOMPARE(listed(period(Day, Day), sort.clicked(column)), keysOf(descending));
    }

    // The filter of this workstation: the period, patient and specialist are kept; a stored date
    // that cannot be read gives the default period.
    void storedFilter() {
        const QDate today(2026, 5, 20);
        ConsultationFilter f = ConsultationFilter::Read(today);
        QCOMPARE(f.from, QDate(2026, 4, 20));
        QCOMPARE(f.to, today);
        QCOMPARE(f.patient, 1);
        f.from = QDate(2026, 1, 2);
        f.to = QDate(2026, 1, 31);
        f.patient = m_anna;
        f.specialist = m_ilze;
        f.write();
        QCOMPARE(app::Settings::string("IzpildeFiltrs", "DatumsNo"), QStringLiteral("02.01.2026"));
        const ConsultationFilter back = ConsultationFilter::Read(today);
        QCOMPARE(back.from, f.from);
        QCOMPARE(back.to, f.to);
        QCOMPARE(back.patient, m_anna);
        QCOMPARE(back.specialist, m_ilze);
        app::Settings::setString("IzpildeFiltrs", "DatumsLidz", "31.02.2026");
        QCOMPARE(ConsultationFilter::Read(today).to, today);
    }

    // A visit on a request: the request's people, room, type, notes and time; the number after
    // the request's. A request with its consultation made already answers that one.
    void visitFromRequest() {
        m_clinic->appointment({m_anna, m_ilze, m_room2, m_type, Day, "9:30", "00:45", "Zobu sāpes"});
        const int request = m_db->scalar("SELECT MAX(ISN) FROM O_KONSULT_PIET_HD").toInt();
        m_db->exec("UPDATE O_KONSULT_PIET_HD SET NUMURS=:N, ISASISTENTS=:A WHERE ISN=:K",
                   {{"N", QString("57").rightJustified(20)}, {"A", m_janis}, {"K", request}});
        m_db->commitRetaining();
        addConsultation({{"NUMURS", "120"}});
        addConsultation({{"NUMURS", "99"}, {"DATUMS", QDateTime(Day, QTime(8, 0))}});
        TKonsultacijasDati dati(*m_db);
        const VisitStart visit = dati.createFromRequest(request, QDateTime(Day.addDays(1), QTime(9, 40)));
        QVERIFY(visit.message.isEmpty());
        QVERIFY(visit.consultation);
        const Consultation& c = *visit.consultation;
        QCOMPARE(c.number, QStringLiteral("57-121"));
        QCOMPARE(c.request, request);
        QCOMPARE(c.patient, m_anna);
        QCOMPARE(c.specialist, m_ilze);
        QCOMPARE(c.assistant, m_janis);
        QCOMPARE(c.room, m_room2);
        QCOMPARE(c.type, m_type);
        QCOMPARE(c.notes, QStringLiteral("Zobu sāpes"));
        QCOMPARE(c.date, Day.addDays(1));
        QCOMPARE(c.timeStart, QStringLiteral("09:30"));
        QCOMPARE(c.timeEnd, QStringLiteral("10:15"));
        QCOMPARE(visit.duration, QStringLiteral("00:45"));
        Consultation toSave = c;
        QVERIFY(dati.validate(toSave).ok());
        const int key = dati.save(toSave, 1).key;
        QCOMPARE(row(key).first("ISKONSULTPIET").toInt(), request);
        // Made already: that one is shown.
        QCOMPARE(dati.createFromRequest(request).existingKey, key);
        QCOMPARE(dati.nextNumber(), QStringLiteral("121"));

        QCOMPARE(dati.createFromRequest(0).message, QStringLiteral("Nav ko veidot !!!"));
        m_clinic->appointment({m_peteris, 1, m_room, m_type, Day});
        QCOMPARE(dati.createFromRequest(m_db->scalar("SELECT MAX(ISN) FROM O_KONSULT_PIET_HD").toInt()).message,
                 QStringLiteral("Nav izpildītāja !!!"));
    }

    // Two workstations through the Firebird server take the same offered number at once: one
    // consultation is stored under it, the other is refused with the duplicate message (never a
    // system error) and nothing of it is written.
    void twoWorkstationsTakeOneNumber() {
        if (testsupport::serverPrefix().isEmpty()) QSKIP("needs the Firebird server (MOLARIX_FB_SERVER)");
        const Consultation base = valid(QString());
        cleanup();  // the embedded engine would hold the file for itself
        const QString connection = testsupport::serverPrefix() + m_path;
        auto reception = testsupport::open(connection);
        auto doctor = testsupport::open(connection);
        TKonsultacijasDati receptionData(*reception);
        TKonsultacijasDati doctorData(*doctor);

        // The doctor's consultation 1 is not committed yet when the reception checks the number.
        {
            db::Transaction pending(*doctor);
            pending.exec("INSERT INTO O_KONSULTACIJA_HD (NUMURS, DATUMS, ISKLIENTS) VALUES ('1', :D, :K)",
                         {{"D", QDateTime(Day, QTime(9, 0))}, {"K", base.patient}});
            Consultation mine = base;
            mine.number = receptionData.nextNumber();
            QCOMPARE(mine.number, QStringLiteral("1"));
            QVERIFY(receptionData.validate(mine).ok());
            const ConsultationSave refused = receptionData.save(mine, 1);
            QVERIFY(!refused.ok());
            QCOMPARE(refused.refusal.message, QStringLiteral("Konsultācijas ar numuru '1' datu bazē jau eksistē!!!"));
            pending.commit();
        }
        reception->commitRetaining();
        QCOMPARE(receptionData.nextNumber(), QStringLiteral("2"));

        // Both save runs at once, each with the number it was offered.
        constexpr int Each = 8;
        std::atomic<int> ready{0};
        std::atomic<int> stored{0}, refused{0}, failures{0};
        auto run = [&](db::Database* database) {
            TKonsultacijasDati dati(*database);
            ready.fetch_add(1);
            while (ready.load() < 2) QThread::yieldCurrentThread();
            for (int i = 0; i < Each; ++i) {
                try {
                    database->commitRetaining();
                    Consultation c = base;
                    c.number = dati.nextNumber();
                    if (!dati.validate(c).ok()) {
                        refused.fetch_add(1);
                        continue;
                    }
                    const ConsultationSave s = dati.save(c, 1);
                    if (s.ok())
                        stored.fetch_add(1);
                    else if (s.refusal.message.startsWith("Konsultācijas ar numuru"))
                        refused.fetch_add(1);
                    else
                        failures.fetch_add(1);
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
        QCOMPARE(stored.load() + refused.load(), 2 * Each);
        QVERIFY(stored.load() > 0);
        reception->commitRetaining();
        const int rows = reception->scalar("SELECT COUNT(*) FROM O_KONSULTACIJA_HD").toInt();
        QCOMPARE(rows, 1 + stored.load());
        QCOMPARE(reception->scalar("SELECT COUNT(DISTINCT NUMURS) FROM O_KONSULTACIJA_HD").toInt(), rows);
        QCOMPARE(reception->scalar("SELECT COUNT(*) FROM O_OPERACIJAS WHERE BAZE='O_KONSULTACIJA_HD'").toInt(),
                 stored.load());
    }
};

QTEST_MAIN(TestConsultationStore)
#include "tst_consultation_store.moc"
