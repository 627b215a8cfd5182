// Shared procedures against a real database (embedded engine, private copy of the template).
#include "TestDatabase.h"
#include "app/SharedProcedures.h"
#include "app/UserNameCodec.h"
#include "calendar/WorkingDay.h"
#include "patients/PatientSearch.h"
#include "db/Statement.h"

#include <QtTest>

using namespace app;

namespace {

int addPatient(db::Database& d, const QString& surname, const QString& name, const QString& code = {},
               const QString& phone = {}, const QString& mobile = {}) {
    return d
        .scalar(QStringLiteral("INSERT INTO N_KLIENTS (UZVARDS, VARDS, PERS_KODS, TELEFONS, MOB_TEL) "
                               "VALUES (:U, :V, :P, :T, :M) RETURNING ISN"),
                {{"U", surname},
                 {"V", name},
                 {"P", code.isEmpty() ? QVariant() : code},
                 {"T", phone.isEmpty() ? QVariant() : phone},
                 {"M", mobile.isEmpty() ? QVariant() : mobile}})
        .toInt();
}

}  // namespace

class TestProcedures : public QObject {
    Q_OBJECT
    std::unique_ptr<db::Database> m_db;  // patients for the search tests, made once
    QHash<QString, int> m_keys;

private Q_SLOTS:
    void initTestCase() {
        m_db = testsupport::freshDatabase(QStringLiteral("procedures"));
        EnsureDefaultRows(m_db->defaultTransaction());
        m_keys["berzins"] = addPatient(*m_db, "Bērziņš", "Jānis", "120385-10001", "67123456");
        m_keys["ozola"] = addPatient(*m_db, "Ozola", "Anna", "010190-20002", "", "29111222, 26333444");
        m_keys["annija"] = addPatient(*m_db, "Kalniņa", "Annija", "050505-30003");
        m_keys["quote"] = addPatient(*m_db, "O'Brien", "Liam", "", "");
        m_keys["digits"] = addPatient(*m_db, "Zariņš-1203", "Pēteris-1203");
        m_keys["skele"] = addPatient(*m_db, "ŠĶĒLE", "GUNTA");
        m_keys["marija"] = addPatient(*m_db, "Liepa", "Marija", "", "", "+371 2000 1111");
        m_db->commitRetaining();
    }

    void findPatient_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");  // key name, empty for none
        QTest::newRow("lower-case latvian fragment") << "bērz" << "berzins";
        QTest::newRow("stored in upper case") << "šķē" << "skele";
        QTest::newRow("first name then surname") << "jānis bērziņš" << "berzins";
        QTest::newRow("surname then first name") << "ozola anna" << "ozola";
        QTest::newRow("first name starts") << "annij" << "annija";
        // Two first names start with it: the lower key comes first.
        QTest::newRow("start of two first names") << "ann" << "ozola";
        QTest::newRow("personal code digits") << "0101" << "ozola";
        QTest::newRow("digits in a name win over the code") << "1203" << "digits";
        QTest::newRow("phone fragment") << "7123" << "berzins";
        QTest::newRow("second mobile number") << "26333" << "ozola";
        QTest::newRow("phone as typed with blanks") << "2000 1111" << "marija";
        QTest::newRow("quote in text") << "o'bri" << "quote";
        QTest::newRow("quote that would break pasted SQL") << "x' OR '1'='1" << "";
        QTest::newRow("nothing") << "Nekāds" << "";
        QTest::newRow("letter the clinic's character set lacks") << "Жанна" << "";
        QTest::newRow("upper case outside the character set") << "µ" << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("blanks only") << "   " << "";
        QTest::newRow("default row never found") << "noteik" << "";
        QTest::newRow("longer than any column") << QString(300, u'A') << "";
        QTest::newRow("longer than the personal code") << "Bērziņš Jānis Pēteris" << "";
        QTest::newRow("longer than the phone column") << QString(40, u'7') << "";
    }
    void findPatient() {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QCOMPARE(patients::FindPatient(*m_db, typed), expected.isEmpty() ? 0 : m_keys.value(expected));
    }

    void findKeyByCode() {
        const int item = m_db->scalar("INSERT INTO N_PRECE (GNOS) VALUES ('Plombe ''Kompozīts''') RETURNING ISN").toInt();
        QCOMPARE(FindKeyByCode(*m_db, CodeKind::ItemName, QStringLiteral("Plombe 'Kompozīts'")), item);
        QCOMPARE(FindKeyByCode(*m_db, CodeKind::ItemName, QStringLiteral("Plombe")), 0);
        QCOMPARE(FindKeyByCode(*m_db, CodeKind::PersonalCode, QStringLiteral("120385-10001")), m_keys["berzins"]);
        QCOMPARE(FindKeyByCode(*m_db, CodeKind::PersonalCode, QStringLiteral("' OR ''='")), 0);
        QCOMPARE(FindKeyByCode(*m_db, CodeKind::PersonalCode, QStringLiteral("120385-100011 ")), 0);
        QCOMPARE(FindKeyByCode(*m_db, CodeKind::ItemName, QString(240, u'x')), 0);

        // Several patients with one code: the chooser decides, and is asked only then.
        const int twin = addPatient(*m_db, "Bērziņa", "Ilze", "120385-10001");
        QString askedFor;
        const int chosen = FindKeyByCode(*m_db, CodeKind::PersonalCode, QStringLiteral("120385-10001"),
                                         [&](const QString& code) {
                                             askedFor = code;
                                             return twin;
                                         });
        QCOMPARE(askedFor, QStringLiteral("120385-10001"));
        QCOMPARE(chosen, twin);
        askedFor.clear();
        FindKeyByCode(*m_db, CodeKind::PersonalCode, QStringLiteral("010190-20002"), [&](const QString& code) {
            askedFor = code;
            return 0;
        });
        QVERIFY(askedFor.isEmpty());
        m_db->defaultTransaction().rollback();
        m_db->commitRetaining();
    }

    void writeJournal() {
        auto d = testsupport::freshDatabase(QStringLiteral("journal"));
        const QDateTime documentDate(QDate(2024, 3, 15), QTime(0, 0));
        WriteJournal(d->defaultTransaction(), 7, QStringLiteral("PARP-LONG-CODE"), QStringLiteral("NR-1234567890"),
                     QStringLiteral("O_KONSULTACIJA_HD_EXTRA"), 42, QString(130, u'ā'), documentDate);
        WriteJournal(d->defaultTransaction(), 7, QStringLiteral("D"), QString(), QStringLiteral("N_KLIENTS"), 5,
                     QString(), QDateTime());
        d->commitRetaining();
        const db::ResultSet r = d->select(
            "SELECT TAUSTINS, ISUSER, IEVDAT, IEVLAIKS, DATUMS, NUMURS, BAZE, ISN_BAZE, PIEZIMES FROM O_OPERACIJAS "
            "ORDER BY ISN");
        QCOMPARE(r.rowCount(), 2);
        QCOMPARE(r.value(0, "TAUSTINS").toString(), QStringLiteral("PARP-LONG-"));
        QCOMPARE(r.value(0, "NUMURS").toString(), QStringLiteral("NR-1234567"));
        QCOMPARE(r.value(0, "BAZE").toString(), QStringLiteral("O_KONSULTACIJA_HD_EX"));  // 25 -> 20 characters
        QCOMPARE(r.value(0, "PIEZIMES").toString(), QString(100, u'ā'));
        QCOMPARE(r.value(0, "ISUSER").toInt(), 7);
        QCOMPARE(r.value(0, "ISN_BAZE").toInt(), 42);
        QCOMPARE(r.value(0, "IEVDAT").toDate(), QDate::currentDate());
        QVERIFY(QTime::fromString(r.value(0, "IEVLAIKS").toString(), QStringLiteral("HH:mm:ss")).isValid());
        QCOMPARE(r.value(0, "DATUMS").toDateTime(), documentDate);
        QVERIFY(!r.value(1, "DATUMS").isValid());
    }

    void ensureDefaultRows() {
        auto d = testsupport::freshDatabase(QStringLiteral("defaults"));
        // A generator that has moved on, as in a database where rows were added and removed.
        d->exec("INSERT INTO N_BANKA (GNOS) VALUES ('Pagaidu')");
        d->exec("DELETE FROM N_BANKA");
        EnsureDefaultRows(d->defaultTransaction());
        EnsureDefaultRows(d->defaultTransaction());
        d->commitRetaining();
        QStringList tables = DefaultRowTables();
        tables.removeDuplicates();
        for (const QString& table : tables) {
            QCOMPARE(d->scalar("SELECT COUNT(*) FROM " + table).toInt(), 1);
            QVERIFY2(d->scalar("SELECT ISN FROM " + table + " WHERE ISN=1").isValid(), qPrintable(table));
        }
        QCOMPARE(d->scalar("SELECT GNOS FROM N_BANKA WHERE ISN=1").toString(), QStringLiteral("Nav noteikts"));
        QCOMPARE(d->scalar("SELECT VARDS || ' ' || UZVARDS FROM N_KLIENTS WHERE ISN=1").toString(),
                 QStringLiteral("Nav Noteikts"));
        // A patient pointing at the default doctor is accepted (N_KLIENTS.ISAGENTS refers to N_AGENTS).
        QVERIFY(addPatient(*d, "Jauns", "Pacients") > 1);
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, EnsureDefaultRow(d->defaultTransaction(), "N_BANKA; DROP"));
    }

    void workingHoursFromSettings_data() {
        QTest::addColumn<QVariant>("from");
        QTest::addColumn<QVariant>("to");
        QTest::addColumn<QVariant>("division");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<int>("durations");
        QTest::newRow("4 characters starts at 08:00") << QVariant("7:00") << QVariant("12:00") << QVariant(0) << "08:00"
                                                      << "12:00" << 23;
        QTest::newRow("unset") << QVariant() << QVariant() << QVariant() << "08:00" << "21:00" << 23;
        QTest::newRow("quarters") << QVariant("07:30") << QVariant("08:00") << QVariant(2) << "07:30" << "08:00" << 95;
        QTest::newRow("division 5") << QVariant("09:00") << QVariant("11:00") << QVariant(5) << "09:00" << "11:00" << 23;
    }
    void workingHoursFromSettings() {
        QFETCH(QVariant, from);
        QFETCH(QVariant, to);
        QFETCH(QVariant, division);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(int, durations);
        auto d = testsupport::freshDatabase(QStringLiteral("hours"));
        d->exec("UPDATE N_ISI SET DARBA_LAIKS_NO=:F, DARBA_LAIKS_LIDZ=:T, STUNDU_DALIJUMS=:D",
                {{"F", from}, {"T", to}, {"D", division}});
        const QStringList hours = calendar::FillWorkingHours(*d);
        QCOMPARE(hours.first(), first);
        QCOMPARE(hours.last(), last);
        QCOMPARE(calendar::FillDurations(*d).size(), durations);
    }

    void dayOpen() {
        auto d = testsupport::freshDatabase(QStringLiteral("days"));
        const QDate locked(2024, 1, 10), open(2024, 1, 11), absent(2024, 1, 12);
        d->exec("INSERT INTO O_DIENAS (ISN, DATUMS, FLAG) VALUES (1, :D, 'T')", {{"D", locked}});
        d->exec("INSERT INTO O_DIENAS (ISN, DATUMS, FLAG) VALUES (1, :D, 'F')", {{"D", open}});
        QVERIFY(!IsDayOpen(*d, locked));
        QVERIFY(IsDayOpen(*d, open));
        QVERIFY(IsDayOpen(*d, absent));
    }

    void lookupValue() {
        QCOMPARE(LookupValue(*m_db, "UZVARDS", m_keys["ozola"], "N_KLIENTS"), QStringLiteral("Ozola"));
        QCOMPARE(LookupValue(*m_db, "UZVARDS", 99999, "N_KLIENTS"), QString());
        QCOMPARE(LookupValue(*m_db, "PERS_KODS", m_keys["quote"], "N_KLIENTS"), QString());  // NULL
        QCOMPARE(LookupNumber(*m_db, "STUNDU_DALIJUMS", 1, "N_ISI"), 1.0);
        QCOMPARE(LookupNumber(*m_db, "STUNDU_DALIJUMS", 99, "N_ISI"), 0.0);
        QCOMPARE(LookupValue(*m_db, "DARBA_LAIKS_NO", 1, "N_ISI"), QStringLiteral("08:00"));
        m_db->exec("UPDATE N_KLIENTS SET DZIM_DAT=:D WHERE ISN=:I", {{"D", QDateTime(QDate(1985, 3, 12), QTime())},
                                                                      {"I", m_keys["berzins"]}});
        QCOMPARE(LookupValue(*m_db, "DZIM_DAT", m_keys["berzins"], "N_KLIENTS"), QStringLiteral("12.03.1985"));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, LookupValue(*m_db, "ISN FROM N_USERS --", 1, "N_KLIENTS"));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, LookupNumber(*m_db, "ISN", 1, "N_ISI WHERE 1=1 OR"));
    }

    void encodedNamesRoundTripThroughDatabase() {
        // Every byte value, stored in and read back from the OCTETS column.
        auto d = testsupport::freshDatabase(QStringLiteral("octets"));
        EnsureDefaultRows(d->defaultTransaction());
        QByteArray all;
        for (int b = 0; b < 256; ++b) all.append(char(b));
        const QString name = FromWindows1257(all.mid(1, 199)) + FromWindows1257(all.mid(200));
        for (const QString& n : {name.left(200), name.mid(100), QStringLiteral("ĀRSTS"), QStringLiteral("ADMIN")}) {
            const QByteArray encoded = EncodeUserName(n);
            d->exec("INSERT INTO N_USERS (GNOS, ISUSERGROUP) VALUES (:G, 1)", {{"G", encoded}});
            const QVariant back = d->scalar("SELECT GNOS FROM N_USERS WHERE GNOS=:G", {{"G", encoded}});
            QCOMPARE(back.toByteArray(), encoded);
            QCOMPARE(DecodeUserName(back.toByteArray()), n);
        }
    }

};


QObject* makeTestProcedures() { return new TestProcedures; }

#include "tst_procedures.moc"
