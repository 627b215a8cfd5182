// What the planner reads for the shown days and how a dragged appointment is stored.
#include "ClinicFixture.h"
#include "TestDatabase.h"
#include "app/TMainFormDati.h"
#include "calendar/CalendarParametersStore.h"
#include "calendar/PlannerStore.h"
#include "db/DbError.h"
#include "demo/DemoData.h"

#include "Fetched.h"

#include <QtTest>


#include <algorithm>

using namespace calendar;

namespace {

const QDate Monday(2027, 3, 1);
const QDate Wednesday = Monday.addDays(2);

QVector<PlannerBlock> blocksOf(const PlannerData& data, int column) {
    QVector<PlannerBlock> blocks;
    for (const PlannerBlock& b : data.blocks)
        if (b.column == column) blocks << b;
    return blocks;
}

QString describe(const PlannerBlock& b) {
    return QStringLiteral("%1 %2+%3 #%4 s%5 [%6|%7] c%8 st%9")
        .arg(int(b.kind))
        .arg(b.startMinutes)
        .arg(b.durationMinutes)
        .arg(b.appointmentKey)
        .arg(b.specialistKey)
        .arg(b.firstText, b.secondText)
        .arg(b.color, 0, 16)
        .arg(b.callStatus);
}

}  // namespace

class TestPlannerStore : public QObject {
    Q_OBJECT
    std::unique_ptr<db::Database> m_db;
    std::unique_ptr<ClinicFixture> m_clinic;
    int m_kalna = 0, m_ozola = 0, m_room = 0, m_type = 0, m_patient = 0;

    PlannerQuery week(ColumnKind kind, const QList<PlannerResource>& resources) {
        PlannerStore store(*m_db);
        PlannerQuery q;
        q.settings = store.settings();
        q.days = ShownDays(Monday.addDays(3), Interval::Week, q.settings.workingDays);
        q.kind = kind;
        q.resources = resources;
        q.range = {8, 18};
        return q;
    }
    PlannerResource resource(const QList<PlannerResource>& all, int key) {
        for (const PlannerResource& r : all)
            if (r.key == key) return r;
        return {};
    }

private Q_SLOTS:
    void init() {
        testsupport::isolateSettings();
        m_db = testsupport::freshDatabase(QStringLiteral("planner"));
        m_clinic = std::make_unique<ClinicFixture>(*m_db);
        // Kalna does not receive on Wednesdays, nor any day from 12 to 13; Ozola has a colour of her own.
        m_kalna = m_clinic->specialist("Kalna", "Ilze", 0, "VISI|12:00-13:00|\r\n", "3|VISI|\r\n");
        m_ozola = m_clinic->specialist("Ozola", "Anna", 0x00FF8000);
        m_room = m_clinic->room("Pirmais", "K1");
        m_type = m_clinic->type("Plombēšana");
        m_patient = m_clinic->patient("Bērziņš", "Jānis");
        m_clinic->holiday(Wednesday, "Svētki");
    }
    void cleanup() {
        m_clinic.reset();
        m_db.reset();
    }

    // A week of two specialists: working days only, holiday and non-receiving blocks first in their
    // columns, then the appointments with their texts, status and colour; cancelled ones and those
    // on days the clinic is closed do not show.
    void readsTheWeek() {
        ClinicFixture::Appointment a{m_patient, m_kalna, m_room, m_type, Monday};
        a.notes = "Sāp zobs";
        a.callStatus = 1;
        const int monday = m_clinic->appointment(a);
        a.notes.clear();
        a.callStatus = 0;
        a.date = Wednesday;
        a.time = "11:00";
        const int wednesday = m_clinic->appointment(a);
        a.date = Monday.addDays(5);  // Saturday: the clinic is closed
        m_clinic->appointment(a);
        a.date = Monday;
        a.time = "15:00";
        a.cancelled = true;
        m_clinic->appointment(a);
        ClinicFixture::Appointment b{m_patient, m_ozola, m_room, m_type, Monday.addDays(1), "09:15", "00:45"};
        const int tuesday = m_clinic->appointment(b);

        PlannerStore store(*m_db);
        const QList<PlannerResource> all = store.specialists();
        const PlannerData data = store.read(week(ColumnKind::Specialists, {resource(all, m_kalna), resource(all, m_ozola)}));
        QCOMPARE(data.columns.size(), 10);  // Monday to Friday, two each
        QCOMPARE(data.columns.at(0).nameCaption, QStringLiteral("Kalna Ilze"));
        QCOMPARE(data.columns.at(9).date, Monday.addDays(4));

        const auto mondayKalna = blocksOf(data, 0);
        QCOMPARE(mondayKalna.size(), 2);
        QCOMPARE(mondayKalna.at(0).kind, BlockKind::NonReceiving);
        QCOMPARE(mondayKalna.at(0).startMinutes, 12 * 60);
        QCOMPARE(mondayKalna.at(0).durationMinutes, 60);
        QCOMPARE(mondayKalna.at(0).secondText, QStringLiteral("Nav pieņemšana"));
        const PlannerBlock& visit = mondayKalna.at(1);
        QCOMPARE(visit.appointmentKey, monday);
        QCOMPARE(visit.firstText, QStringLiteral("Bērziņš Jānis"));
        QCOMPARE(visit.secondText, QStringLiteral("Plombēšana-Sāp zobs"));
        QCOMPARE(visit.startMinutes, 10 * 60);
        QCOMPARE(visit.durationMinutes, 60);
        QCOMPARE(visit.callStatus, 1);
        QCOMPARE(visit.specialistKey, m_kalna);
        QCOMPARE(visit.color, DefaultColors()[0]);

        const auto tuesdayOzola = blocksOf(data, 3);
        QCOMPARE(tuesdayOzola.size(), 1);
        QCOMPARE(tuesdayOzola.at(0).appointmentKey, tuesday);
        QCOMPARE(tuesdayOzola.at(0).durationMinutes, 45);
        QCOMPARE(tuesdayOzola.at(0).color, 0x00FF8000u);  // her own colour
        QCOMPARE(tuesdayOzola.at(0).secondText, QStringLiteral("Plombēšana"));

        // Wednesday is a holiday, and Kalna does not receive on Wednesdays at all.
        const auto wednesdayKalna = blocksOf(data, 4);
        QCOMPARE(wednesdayKalna.size(), 4);
        QCOMPARE(wednesdayKalna.at(0).kind, BlockKind::Holiday);
        QCOMPARE(wednesdayKalna.at(0).secondText, QStringLiteral("Svētku diena"));
        QCOMPARE(wednesdayKalna.at(0).durationMinutes, 10 * 60);
        QCOMPARE(wednesdayKalna.at(2).kind, BlockKind::NonReceiving);
        QCOMPARE(wednesdayKalna.at(2).startMinutes, 8 * 60);  // the whole day
        QCOMPARE(wednesdayKalna.at(2).durationMinutes, 10 * 60);
        QCOMPARE(wednesdayKalna.at(3).appointmentKey, wednesday);
        const auto wednesdayOzola = blocksOf(data, 5);
        QCOMPARE(wednesdayOzola.size(), 1);
        QCOMPARE(wednesdayOzola.at(0).kind, BlockKind::Holiday);
        // Kalna: Monday 2, Wednesday 4, her 12-13 block on the other three days; Ozola: Tuesday, Wednesday.
        QCOMPARE(data.blocks.size(), 2 + 4 + 3 + 2);
    }

    // Room columns: holidays show, non-receiving times do not, and a block belongs to the
    // appointment's own specialist.
    void readsRoomColumns() {
        m_clinic->appointment({m_patient, m_ozola, m_room, m_type, Wednesday});
        PlannerStore store(*m_db);
        const PlannerData data = store.read(week(ColumnKind::Rooms, {resource(store.rooms(), m_room)}));
        QCOMPARE(data.columns.size(), 5);
        QCOMPARE(data.columns.at(0).nameCaption, QStringLiteral("K1 Pirmais"));
        const auto wednesday = blocksOf(data, 2);
        QCOMPARE(wednesday.size(), 2);
        QCOMPARE(wednesday.at(0).kind, BlockKind::Holiday);
        QCOMPARE(wednesday.at(1).specialistKey, m_ozola);
        QCOMPARE(wednesday.at(1).color, 0x00FF8000u);
        QCOMPARE(data.blocks.size(), 2);
    }

    // The one query over the shown range gives the blocks that one query per column gives, on the
    // demo clinic, for specialists and rooms, in a busy week and the weeks around it.
    void rangeReadMatchesPerColumnRead() {
        auto demoDb = testsupport::freshDatabase(QStringLiteral("planner-demo"));
        demo::DemoDataGenerator(*demoDb, demo::Scale::Demo, 7, QDate(2026, 12, 6)).run();
        PlannerStore store(*demoDb);
        int compared = 0;
        for (const ColumnKind kind : {ColumnKind::Specialists, ColumnKind::Rooms}) {
            const QList<PlannerResource> all = kind == ColumnKind::Specialists ? store.specialists() : store.rooms();
            for (int weekOffset : {-1, 0, 2}) {
                PlannerQuery q;
                q.settings = store.settings();
                q.days = ShownDays(QDate(2026, 12, 7).addDays(7 * weekOffset), Interval::Week, q.settings.workingDays);
                q.kind = kind;
                q.resources = all;
                q.range = {8, 21};
                PlannerData one = store.read(q);
                PlannerData many = store.readPerColumn(q);
                QCOMPARE(one.columns.size(), many.columns.size());
                auto order = [](const PlannerBlock& a, const PlannerBlock& b) {
                    return std::tuple(a.column, int(a.kind), a.startMinutes, a.appointmentKey) <
                           std::tuple(b.column, int(b.kind), b.startMinutes, b.appointmentKey);
                };
                std::sort(one.blocks.begin(), one.blocks.end(), order);
                std::sort(many.blocks.begin(), many.blocks.end(), order);
                QStringList a, b;
                for (const auto& x : one.blocks) a << describe(x);
                for (const auto& x : many.blocks) b << describe(x);
                QCOMPARE(a, b);
                compared += int(one.blocks.size());
            }
        }
        QVERIFY2(compared > 50, "the demo clinic should have appointments in these weeks");
    }

    // A drag stores the new specialist or room, date and time with a "Drag&Drop" journal row; a
    // locked day at either end, or a row another workstation changed meanwhile, stores nothing.
    void moves_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("locked");  // 0 none, 1 the appointment's day, 2 the target day
        QTest::addColumn<bool>("changedMeanwhile");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("to another specialist and day") << 0 << 0 << false << QString();
        QTest::newRow("to another room") << 1 << 0 << false << QString();
        QTest::newRow("from a locked day") << 0 << 1 << false << PlannerStore::LockedMessage();
        QTest::newRow("onto a locked day") << 0 << 2 << false << PlannerStore::LockedMessage();
        QTest::newRow("changed meanwhile") << 0 << 0 << true << db::StaleRowError::Message();
    }
    void moves() {
        QFETCH(int, kind);
        QFETCH(int, locked);
        QFETCH(QString, refusal);
        const int otherRoom = m_clinic->room("Otrais", "K2");
        const int key = m_clinic->appointment({m_patient, m_kalna, m_room, m_type, Monday});
        const QDate target = Monday.addDays(1);
        if (locked == 1) m_clinic->lockDay(Monday);
        if (locked == 2) m_clinic->lockDay(target);
        PlannerStore store(*m_db);
        PlannerQuery q = week(ColumnKind(kind), kind == 0 ? store.specialists() : store.rooms());
        const PlannerData data = store.read(q);
        PlannerBlock block;
        for (const auto& b : data.blocks)
            if (b.appointmentKey == key) block = b;
        QCOMPARE(block.appointmentKey, key);
        if (FETCHED(bool, changedMeanwhile))
            m_db->exec("UPDATE O_KONSULT_PIET_HD SET IEVDAT_EDIT=:D WHERE ISN=:I",
                       {{"D", QDateTime::currentDateTime().addSecs(5)}, {"I", key}});
        m_db->commitRetaining();

        AppointmentMove move{key, block.stamp, Monday, 60, ColumnKind(kind), kind == 0 ? m_ozola : otherRoom, target, 11 * 60 + 30};
        const MoveResult result = store.move(move, 1);
        QCOMPARE(result.message, refusal);
        QCOMPARE(result.moved, refusal.isEmpty());
        const db::ResultSet row = m_db->select(
            "SELECT ISIZPILDITAJS, ISKABINETS, PLAN_DAT, PLAN_LAIKS, ISUSER_EDIT FROM O_KONSULT_PIET_HD WHERE ISN=:I", {{"I", key}});
        const int journal = m_db->scalar("SELECT COUNT(*) FROM O_OPERACIJAS WHERE BAZE='O_KONSULT_PIET_HD' AND ISN_BAZE=:I "
                                         "AND TAUSTINS='L' AND PIEZIMES='Drag&Drop'",
                                         {{"I", key}})
                                .toInt();
        if (!refusal.isEmpty()) {
            QCOMPARE(row.first("PLAN_DAT").toDateTime().date(), Monday);
            QCOMPARE(row.first("PLAN_LAIKS").toString(), QStringLiteral("10:00"));
            QCOMPARE(row.first("ISIZPILDITAJS").toInt(), m_kalna);
            QCOMPARE(journal, 0);
            return;
        }
        QCOMPARE(row.first("PLAN_DAT").toDateTime(), QDateTime(target, QTime(0, 0)));
        QCOMPARE(row.first("PLAN_LAIKS").toString(), QStringLiteral("11:30"));
        QCOMPARE(row.first("ISIZPILDITAJS").toInt(), kind == 0 ? m_ozola : m_kalna);
        QCOMPARE(row.first("ISKABINETS").toInt(), kind == 0 ? m_room : otherRoom);
        QCOMPARE(row.first("ISUSER_EDIT").toInt(), 1);
        QCOMPARE(journal, 1);
    }

    // Whether the target slot is already taken by another appointment of the same specialist.
    void slotTaken_data() {
        QTest::addColumn<QString>("time");
        QTest::addColumn<bool>("sameSpecialist");
        QTest::addColumn<bool>("cancelled");
        QTest::addColumn<bool>("taken");
        QTest::newRow("overlapping") << "11:00" << true << false << true;
        QTest::newRow("starting inside") << "11:45" << true << false << true;
        QTest::newRow("touching") << "12:30" << true << false << false;
        QTest::newRow("another specialist") << "11:00" << false << false << false;
        QTest::newRow("cancelled") << "11:00" << true << true << false;
    }
    void slotTaken() {
        ClinicFixture::Appointment other{m_patient, FETCHED(bool, sameSpecialist) ? m_ozola : m_kalna, m_room, m_type,
                                         Monday.addDays(1), FETCHED(QString, time)};
        other.cancelled = FETCHED(bool, cancelled);
        m_clinic->appointment(other);
        const int key = m_clinic->appointment({m_patient, m_kalna, m_room, m_type, Monday});
        PlannerStore store(*m_db);
        // Moving Kalna's 60-minute visit to Ozola on Tuesday at 11:30.
        const AppointmentMove move{key, {}, Monday, 60, ColumnKind::Specialists, m_ozola, Monday.addDays(1), 11 * 60 + 30};
        QCOMPARE(store.slotTaken(move), FETCHED(bool, taken));
    }

    // A fresh database keeps 0 for the colours: the parameters show and store the defaults; later
    // saves write only what changed, so another workstation's settings in the same row stay.
    void parameterColours() {
        CalendarParametersStore store(*m_db);
        QVERIFY(store.load());
        const auto defaults = DefaultColors();
        for (int n = 1; n <= 6; ++n)
            QCOMPARE(quint32(store.value(CalendarParametersStore::ColorColumn(n)).toLongLong()), defaults[size_t(n - 1)]);
        QCOMPARE(store.changedColumns().size(), 6);
        store.save();
        const db::ResultSet row = m_db->select("SELECT COLOR_1, COLOR_2, COLOR_3, COLOR_4, COLOR_5, COLOR_6 FROM N_ISI");
        for (int n = 0; n < 6; ++n) QCOMPARE(quint32(row.value(0, n).toLongLong()), defaults[size_t(n)]);

        QVERIFY(store.load());
        m_db->exec("UPDATE N_ISI SET HOST_OUT='smtp.cits.lv'");  // the system settings, elsewhere
        m_db->commitRetaining();
        store.setValue(CalendarParametersStore::ColorColumn(3), 0x00123456);
        QCOMPARE(store.changedColumns(), QStringList{CalendarParametersStore::ColorColumn(3)});
        store.save();
        QCOMPARE(m_db->scalar("SELECT HOST_OUT FROM N_ISI").toString(), QStringLiteral("smtp.cits.lv"));
        QCOMPARE(m_db->scalar("SELECT COLOR_3 FROM N_ISI").toInt(), 0x00123456);
        QCOMPARE(PlannerStore(*m_db).settings().colors[2], 0x00123456u);
    }
};

QTEST_GUILESS_MAIN(TestPlannerStore)
#include "tst_planner_store.moc"
