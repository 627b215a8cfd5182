// The rights test, the rights string edits and the menu codes they grant; users, day locks and
// system settings against a real database.
#include "TestDatabase.h"
#include "app/DayLockStore.h"
#include "app/PasswordDigest.h"
#include "app/Rights.h"
#include "app/RightsString.h"
#include "app/SharedProcedures.h"
#include "app/SystemSettingsStore.h"
#include "app/UserNameCodec.h"
#include "app/UserRightsStore.h"
#include "calendar/WorkingDay.h"

#include <QtTest>

using namespace app;

class TestRights : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hasRight_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("rights");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("permission");
        QTest::addColumn<bool>("granted");
        QTest::newRow("view granted") << "ANNA" << "00_TTFF11_TFFF" << "11" << 0 << true;
        QTest::newRow("change refused") << "ANNA" << "00_TTFF11_TFFF" << "11" << 1 << false;
        QTest::newRow("no entry, view") << "ANNA" << "00_TTFF" << "11" << 0 << false;
        QTest::newRow("no entry, change") << "ANNA" << "00_TTFF" << "11" << 1 << false;
        QTest::newRow("ADMIN without entry, view") << "ADMIN" << "00_TTFF" << "11" << 0 << true;
        QTest::newRow("ADMIN without entry, change") << "ADMIN" << "" << "11" << 1 << true;
        QTest::newRow("invoice code only for ADMIN") << "ANNA" << "00_TTTT11_TTTT" << "27" << 1 << false;
        QTest::newRow("payment code for ADMIN") << "ADMIN" << "" << "28" << 3 << true;
        QTest::newRow("empty string") << "ANNA" << "" << "00" << 0 << false;
        QTest::newRow("delete is the fourth letter") << "ANNA" << "08_TFFT" << "08" << 3 << true;
        QTest::newRow("cut-off last entry") << "ANNA" << "08_TF" << "08" << 3 << false;
        QTest::newRow("name is case sensitive") << "admin" << "" << "00" << 0 << false;
    }
    void hasRight() {
        QFETCH(QString, user);
        QFETCH(QString, rights);
        QFETCH(QString, code);
        QFETCH(int, permission);
        QFETCH(bool, granted);
        QCOMPARE(HasRight(user, rights, code, permission), granted);
    }

    void grant_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("letters");
        QTest::addColumn<QString>("after");
        QTest::newRow("banks with view and delete") << "" << "08" << RightsString::letters(true, false, false, true)
                                                    << "08_TFFT";
        QTest::newRow("appended at the end") << "10_TFFF00_TTFF" << "08" << "TFFT" << "10_TFFF00_TTFF08_TFFT";
        QTest::newRow("present: only its letters change") << "00_TTFF08_TFFF10_TFFF" << "08" << "FTTT"
                                                           << "00_TTFF08_FTTT10_TFFF";
        QTest::newRow("present last") << "00_TTFF10_TFFF" << "10" << "TTTT" << "00_TTFF10_TTTT";
    }
    void grant() {
        QFETCH(QString, before);
        QFETCH(QString, code);
        QFETCH(QString, letters);
        QFETCH(QString, after);
        RightsString r(before);
        r.grant(code, letters);
        QCOMPARE(r.text(), after);
        QCOMPARE(r.text().count(code + QLatin1Char('_')), 1);
    }

    void revoke_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("after");
        QTest::newRow("middle") << "00_TTFF08_TFFT10_TFFF" << "08" << "00_TTFF10_TFFF";
        QTest::newRow("first") << "00_TTFF08_TFFT10_TFFF" << "00" << "08_TFFT10_TFFF";
        QTest::newRow("last") << "00_TTFF08_TFFT10_TFFF" << "10" << "00_TTFF08_TFFT";
        QTest::newRow("only") << "13_TTTT" << "13" << "";
        QTest::newRow("absent") << "00_TTFF10_TFFF" << "08" << "00_TTFF10_TFFF";
    }
    void revoke() {
        QFETCH(QString, before);
        QFETCH(QString, code);
        QFETCH(QString, after);
        RightsString r(before);
        r.revoke(code);
        QCOMPARE(r.text(), after);
        QCOMPARE(before.size() - r.text().size(), before.contains(code + '_') ? 7 : 0);
    }

    void setLettersLeavesAbsentCodes() {
        RightsString r(QStringLiteral("00_TTFF"));
        r.setLetters(QStringLiteral("11"), QStringLiteral("TTTT"));
        QCOMPARE(r.text(), QStringLiteral("00_TTFF"));
        r.setLetters(QStringLiteral("00"), QStringLiteral("FFFT"));
        QCOMPARE(r.text(), QStringLiteral("00_FFFT"));
        QCOMPARE(r.lettersOf(QStringLiteral("00")), QStringLiteral("FFFT"));
    }

    void captionsSplitIntoTwoSortedLists() {
        const RightsString r(QStringLiteral("10_TFFF08_TFFT"));
        QCOMPARE(r.chosenCaptions(), (QStringList{"Dati-Kalendārā plānošana", "Sar.-Bankas"}));
        const QStringList other = r.otherCaptions();
        QCOMPARE(other.size(), 15);
        QVERIFY(!other.contains(QStringLiteral("Sar.-Bankas")));
        QStringList sorted = other;
        sorted.sort();
        QCOMPARE(other, sorted);
        QCOMPARE(RightsString::codeOfCaption(QStringLiteral("Serviss-Periodu bloķēšana")), QStringLiteral("15"));
    }

    void menuCodes_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("rights");
        QTest::addColumn<QStringList>("codes");
        QStringList all;
        for (int i = 0; i < 17; ++i) all << QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
        QTest::newRow("ADMIN, empty string") << "ADMIN" << "" << all;
        QTest::newRow("view of 00 only") << "ANNA" << "00_TFFF11_FTTT" << QStringList{"00"};
        QTest::newRow("empty") << "ANNA" << "" << QStringList{};
        QTest::newRow("order kept") << "ANNA" << "15_TFFF10_TTTT03_FFFF" << QStringList{"15", "10"};
    }
    void menuCodes() {
        QFETCH(QString, user);
        QFETCH(QString, rights);
        QFETCH(QStringList, codes);
        QCOMPARE(MenuCodesGranted(user, rights), codes);
    }
};

class TestUserStore : public QObject {
    Q_OBJECT
    std::unique_ptr<db::Database> m_db;

    QString storedPassword(int isn) {
        return m_db->scalar("SELECT PASWORD FROM N_USERS WHERE ISN=:I", {{"I", isn}}).toString();
    }

private Q_SLOTS:
    void init() { m_db = testsupport::freshDatabase(QStringLiteral("users")); }
    void cleanup() { m_db.reset(); }

    void addingRefusals() {
        UserRightsStore store(*m_db);
        UserChangeResult r = store.addUser(1, "ANNA", 0, "", "");
        QVERIFY(!r.ok);
        QCOMPARE(r.message, QStringLiteral("Jāizvēlas students vai darbinieks !!!"));
        QCOMPARE(r.focus, UserChangeResult::Field::Staff);
        r = store.addUser(1, "   ", 1, "", "");
        QVERIFY(!r.ok);
        QVERIFY(r.message.isEmpty());
        QVERIFY(store.addUser(1, " ANNA ", 1, "X", "X").ok);
        r = store.addUser(1, "ANNA", 1, "", "");
        QCOMPARE(r.message, QStringLiteral("Šāds lietotājs jau ir reģistrēts sistēmā !!!"));
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM N_USERS").toInt(), 1);
        QCOMPARE(store.users(1).first().name, QStringLiteral("ANNA"));
    }

    void passwords() {
        UserRightsStore store(*m_db);
        const int anna = store.addUser(1, "ANNA", 1, "SLEPENI", "SLEPENI").isn;
        QVERIFY(PasswordMatches(storedPassword(anna), "SLEPENI"));
        const int mismatch = store.addUser(1, "PETERIS", 1, "A", "B").isn;
        QVERIFY(!m_db->scalar("SELECT PASWORD FROM N_USERS WHERE ISN=:I", {{"I", mismatch}}).isValid());

        // The window shows the stored digest, upper-cased by the field; saving keeps it.
        const QString digest = storedPassword(anna);
        QVERIFY(store.saveUser(anna, "ANNA", 1, digest.toUpper(), digest.toUpper()).ok);
        QCOMPARE(storedPassword(anna), digest);
        // Differing confirmation: the old password stays.
        QVERIFY(store.saveUser(anna, "ANNA", 1, "JAUNA", "JAUNAA").ok);
        QCOMPARE(storedPassword(anna), digest);
        // A new password gets a new digest.
        QVERIFY(store.saveUser(anna, "ANNA", 1, "JAUNA", "JAUNA").ok);
        QVERIFY(PasswordMatches(storedPassword(anna), "JAUNA"));
        // Cleared fields: the empty password's digest, which only an empty password matches.
        QVERIFY(store.saveUser(anna, "ANNA", 1, "", "").ok);
        QVERIFY(HasCheckablePassword(storedPassword(anna)));
        QVERIFY(PasswordMatches(storedPassword(anna), ""));
        QVERIFY(!PasswordMatches(storedPassword(anna), "JAUNA"));
    }

    void renameToAnotherUsersNameIsRefused() {
        UserRightsStore store(*m_db);
        const int anna = store.addUser(1, "ANNA", 1, "", "").isn;
        store.addUser(1, "PETERIS", 1, "", "");
        const UserChangeResult r = store.saveUser(anna, "PETERIS", 1, "", "");
        QVERIFY(!r.ok);
        QCOMPARE(r.message, QStringLiteral("Šāds lietotājs jau ir reģistrēts sistēmā !!!"));
        QCOMPARE(DecodeUserName(m_db->scalar("SELECT GNOS FROM N_USERS WHERE ISN=:I", {{"I", anna}}).toByteArray()),
                 QStringLiteral("ANNA"));
        QVERIFY(store.saveUser(anna, "ANNA K", 1, "", "").ok);
    }

    void saveFailureMessage() {
        UserRightsStore store(*m_db);
        const int anna = store.addUser(1, "ANNA", 1, "", "").isn;
        const UserChangeResult r = store.saveUser(anna, "ANNA", 999, "", "");
        QVERIFY(r.message.startsWith(QStringLiteral("Datus izmainīt neizdevās !!!\n")));
        QVERIFY(r.message.size() > QStringLiteral("Datus izmainīt neizdevās !!!\n").size());
    }

    void rightsAndDeletion() {
        UserRightsStore store(*m_db);
        const int anna = store.addUser(1, "ANNA", 1, "", "").isn;
        store.setRights(anna, "00_TFFF11_FTTT");
        QCOMPARE(store.users(1).first().rights, QStringLiteral("00_TFFF11_FTTT"));
        store.deleteUser(anna);
        QVERIFY(store.users(1).isEmpty());
    }
};

class TestDayLocks : public QObject {
    Q_OBJECT
    std::unique_ptr<db::Database> m_db;

    QString flag(const QDate& d) {
        return m_db->scalar("SELECT FLAG FROM O_DIENAS WHERE DATUMS=:D", {{"D", d}}).toString();
    }
    int rows() { return m_db->scalar("SELECT COUNT(*) FROM O_DIENAS").toInt(); }

private Q_SLOTS:
    void init() { m_db = testsupport::freshDatabase(QStringLiteral("days")); }
    void cleanup() { m_db.reset(); }

    void keepThreeDaysOpen() {
        app::Session session(*m_db);
        DayLockStore store(session);
        const QDate today(2026, 3, 10);
        // Days of an earlier year that the window filled are locked too.
        store.ensureDays(QDate(2020, 6, 1), QDate(2020, 6, 30));
        store.lockOlderDays(3, today);
        // Today's and the previous year now have a row per day.
        QCOMPARE(rows(), 30 + 365 + 365);
        QCOMPARE(flag(QDate(2026, 3, 7)), QStringLiteral("T"));
        QCOMPARE(flag(QDate(2025, 1, 1)), QStringLiteral("T"));
        QCOMPARE(flag(QDate(2020, 6, 15)), QStringLiteral("T"));
        for (int day : {8, 9, 10}) QCOMPARE(flag(QDate(2026, 3, day)), QStringLiteral("F"));
        QCOMPARE(flag(QDate(2026, 12, 31)), QStringLiteral("F"));
        QVERIFY(!IsDayOpen(*m_db, QDate(2026, 3, 7)));
        QVERIFY(IsDayOpen(*m_db, QDate(2026, 3, 8)));
        // A day without a row stays open.
        QVERIFY(IsDayOpen(*m_db, QDate(2010, 5, 5)));

        // A day reopened by hand inside the open range stays open at the next start.
        store.setDay(QDate(2026, 3, 9), true);
        store.setDay(QDate(2026, 3, 9), false);
        store.lockOlderDays(3, today);
        QCOMPARE(flag(QDate(2026, 3, 9)), QStringLiteral("F"));
        QCOMPARE(rows(), 30 + 365 + 365);  // nothing made twice
    }

    void keepOpenZeroChangesNothing() {
        app::Session session(*m_db);
        DayLockStore store(session);
        store.ensureDays(QDate(2026, 3, 1), QDate(2026, 3, 10));
        QCOMPARE(store.lockOlderDays(0, QDate(2026, 3, 10)), 0);
        QCOMPARE(store.lockOlderDays(-2, QDate(2026, 3, 10)), 0);
        QCOMPARE(rows(), 10);
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM O_DIENAS WHERE FLAG='T'").toInt(), 0);
        // BLOKDIENAS of a new database is 0.
        QCOMPARE(store.lockOlderDays(QDate(2026, 3, 10)), 0);
        QCOMPARE(rows(), 10);
    }

    // Two workstations start at once: the second leaves the days to the first instead of making
    // them twice.
    void simultaneousStartsMakeEachDayOnce() {
        app::Session session(*m_db);
        DayLockStore store(session);
        const QString path = m_db->connectionString();
        auto other = testsupport::open(path);
        {
            db::Transaction first(*other);
            first.select("SELECT ISN FROM N_ISI WITH LOCK");
            QCOMPARE(store.lockOlderDays(3, QDate(2026, 3, 10)), 0);
            QCOMPARE(rows(), 0);
        }
        QVERIFY(store.lockOlderDays(3, QDate(2026, 3, 10)) > 0);
        QCOMPARE(rows(), 730);
    }

    void februaryOfANonLeapYear() {
        app::Session session(*m_db);
        DayLockStore store(session);
        store.setMonth(2023, 2, true);
        QCOMPARE(rows(), 28);
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM O_DIENAS WHERE FLAG='T'").toInt(), 28);
        QCOMPARE(store.fillMonth(2023, 2), QVector<bool>(28, true));
        const QVector<bool> marks = store.monthMarks(2023);
        QVERIFY(marks[1]);
        QVERIFY(!marks[0]);  // no rows: not ticked
        // One journal row per day: code J, the new flag as number, the day as date.
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM O_OPERACIJAS WHERE TAUSTINS='J' AND NUMURS='T' "
                              "AND BAZE='O_DIENAS'").toInt(),
                 28);
        store.setDay(QDate(2023, 2, 14), false);
        QVERIFY(!store.monthMarks(2023)[1]);
        QCOMPARE(store.fillMonth(2023, 2).count(true), 27);
        QCOMPARE(m_db->scalar("SELECT DATUMS FROM O_OPERACIJAS WHERE NUMURS='F'").toDate(), QDate(2023, 2, 14));
    }

    void firstFill() {
        app::Session session(*m_db);
        DayLockStore store(session);
        const QDate today(2026, 7, 1);
        QVERIFY(store.needsFirstFill(today));
        const int made = store.ensureDays(QDate(1995, 1, 1), QDate(DayLockStore::lastYear(today), 12, 31));
        QCOMPARE(made, int(QDate(1995, 1, 1).daysTo(QDate(2027, 12, 31))) + 1);
        QVERIFY(!store.needsFirstFill(today));
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM O_DIENAS WHERE FLAG<>'F'").toInt(), 0);
        QCOMPARE(store.ensureDays(QDate(1995, 1, 1), QDate(2027, 12, 31)), 0);
    }

    void keepOpenDaysText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<int>("value");
        QTest::newRow("number") << "5" << true << 5;
        QTest::newRow("blanks around") << " 7 " << true << 7;
        QTest::newRow("zero") << "0" << true << 0;
        QTest::newRow("letters") << "pieci" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("decimal") << "2,5" << false << 0;
    }
    void keepOpenDaysText() {
        QFETCH(QString, text);
        QFETCH(bool, stored);
        QFETCH(int, value);
        app::Session session(*m_db);
        DayLockStore store(session);
        const QString message = store.setKeepOpenDays(text);
        QCOMPARE(message.isEmpty(), stored);
        QCOMPARE(store.keepOpenDays(), value);
    }
};

class TestSettingsStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void savingWithoutChangesRewritesTheSameValues() {
        auto d = testsupport::freshDatabase(QStringLiteral("settings"));
        d->exec("UPDATE N_ISI SET ORGNOS='Zobu klīnika', PROFILAKSE_TXT='Laiks pārbaudei', PAVNR_COUNTER=17, "
                "USER_MAIL='klinika@example.lv', PVN_LIKME=12");
        d->commitRetaining();
        const db::ResultSet before = d->select("SELECT * FROM N_ISI");
        SystemSettingsStore store(*d);
        QVERIFY(store.load());
        store.save();
        const db::ResultSet after = d->select("SELECT * FROM N_ISI");
        QCOMPARE(after.rowCount(), 1);
        QCOMPARE(after.row(0), before.row(0));

        store.setValue("ORGNOS", "Jaunā klīnika");
        store.setValue("PVN_LIKME", 0);
        store.setValue("DARBA_LAIKS_NO", "8:00");
        store.save();
        QCOMPARE(d->scalar("SELECT ORGNOS FROM N_ISI").toString(), QStringLiteral("Jaunā klīnika"));
        QCOMPARE(d->scalar("SELECT PVN_LIKME FROM N_ISI").toInt(), 0);
        QCOMPARE(d->scalar("SELECT DARBA_LAIKS_NO FROM N_ISI").toString(), QStringLiteral("8:00"));
        QCOMPARE(calendar::FillWorkingHours(*d).value(0), QStringLiteral("08:00"));
    }
};

QObject* makeTestRights() { return new TestRights; }
QObject* makeTestUserStore() { return new TestUserStore; }
QObject* makeTestDayLocks() { return new TestDayLocks; }
QObject* makeTestSettingsStore() { return new TestSettingsStore; }

#include "tst_rights.moc"
