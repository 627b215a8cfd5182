// The reminders page's lists: birthdays and name days of the last days (a window across the new
// year included), treatments due to be repeated, and the appointments of the coming days.
#include "ClinicFixture.h"
#include "Fetched.h"
#include "TestDatabase.h"
#include "ModalHelper.h"
#include "app/KeyList.h"
#include "app/Session.h"
#include "calendar/ReminderStore.h"
#include "calendar/RemindersPage.h"

#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

using namespace calendar;

class TestReminders : public QObject {
    Q_OBJECT
    std::unique_ptr<db::Database> m_db;

    int patient(const QString& surname, const QString& name, const QDate& born = {}, const QString& nameDay = {}) {
        const int key = ClinicFixture(*m_db).patient(surname, name);
        m_db->exec(QStringLiteral("UPDATE N_KLIENTS SET DZIM_DAT = :D, VARDA_DIENA = :V, MOB_TEL = '29000000' WHERE ISN = :I"),
                   {{"D", born.isValid() ? QVariant(QDateTime(born, QTime(0, 0))) : QVariant()},
                    {"V", nameDay.isEmpty() ? QVariant() : QVariant(nameDay)},
                    {"I", key}});
        m_db->commitRetaining();
        return key;
    }
    void setting(const QString& column, int days) {
        m_db->exec(QStringLiteral("UPDATE N_ISI SET %1 = :D").arg(column), {{"D", days}});
        m_db->commitRetaining();
    }
    int item(const QString& name, int first, int second) {
        const int key = m_db->scalar(QStringLiteral("INSERT INTO N_PRECE (GNOS, FIRST_NOTIF, SECOND_NOTIF) VALUES (:G, :F, :S) RETURNING ISN"),
                                     {{"G", name}, {"F", first}, {"S", second}})
                            .toInt();
        m_db->commitRetaining();
        return key;
    }
    // A consultation of the patient on the day with one treatment line of the item.
    int treatment(int patientKey, int itemKey, const QDate& day, bool lineDeleted = false, bool consultationDeleted = false) {
        static int number = 0;
        const int hd = m_db->scalar(QStringLiteral("INSERT INTO O_KONSULTACIJA_HD (NUMURS, DATUMS, ISKLIENTS, DZESTS) "
                                                   "VALUES (:N, :D, :K, :X) RETURNING ISN"),
                                    {{"N", QString::number(++number)},
                                     {"D", QDateTime(day, QTime(9, 0))},
                                     {"K", patientKey},
                                     {"X", consultationDeleted ? QVariant(1) : QVariant()}})
                             .toInt();
        const int line = m_db->scalar(QStringLiteral("INSERT INTO O_ARSTESANA_DT (ISKONSULTACIJAHD, ISPRECE, DZESTS) "
                                                     "VALUES (:H, :P, :X) RETURNING ISN"),
                                      {{"H", hd}, {"P", itemKey}, {"X", lineDeleted ? QVariant(1) : QVariant()}})
                             .toInt();
        m_db->commitRetaining();
        return line;
    }
    void sent(int line, const QString& column, const QDate& day) {
        m_db->exec(QStringLiteral("UPDATE O_ARSTESANA_DT SET %1 = :D WHERE ISN = :I").arg(column), {{"D", day}, {"I", line}});
        m_db->commitRetaining();
    }

private Q_SLOTS:
    void initTestCase() { testsupport::isolateSettings(); }
    void init() { m_db = testsupport::freshDatabase(QStringLiteral("reminders")); }
    void cleanup() { m_db.reset(); }

    void holidays_data() {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<int>("days");
        QTest::addColumn<QStringList>("listed");  // "Name: text" in the page's order
        const QDate midMarch(2027, 3, 15);
        QTest::newRow("only today with 0 days") << midMarch << 0 << QStringList{"Anna Liepa: Šodien dzimšanas diena", "Jānis Kalns: Šodien vārda diena"};
        QTest::newRow("three days back") << midMarch << 3
                                         << QStringList{"Pēteris Ozols: 13.03 dzimšanas diena", "Anna Liepa: Šodien dzimšanas diena",
                                                        "Jānis Kalns: Šodien vārda diena"};
        QTest::newRow("across the new year") << QDate(2027, 1, 2) << 5
                                             << QStringList{"Ilze Egle: 30.12 dzimšanas diena", "Marta Bērza: 01.01 vārda diena",
                                                            "Rita Priede: Šodien dzimšanas diena"};
        QTest::newRow("new year's eve") << QDate(2026, 12, 31) << 2 << QStringList{"Ilze Egle: 30.12 dzimšanas diena"};
    }
    void holidays() {
        QFETCH(QDate, today);
        QFETCH(int, days);
        setting(QStringLiteral("REMIND_SVETKI_DIENAS"), days);
        patient("Liepa", "Anna", QDate(1980, 3, 15));
        patient("Kalns", "Jānis", {}, "15.03");
        patient("Ozols", "Pēteris", QDate(1975, 3, 13));
        patient("Vītola", "Līga", QDate(1990, 3, 11));  // four days back
        patient("Egle", "Ilze", QDate(1970, 12, 30));
        patient("Bērza", "Marta", {}, "01.01");
        patient("Priede", "Rita", QDate(2001, 1, 2));
        patient("Krūms", "Ēriks", QDate(1985, 12, 26));  // before the new-year window
        QStringList listed;
        for (const HolidayReminder& h : ReminderStore(*m_db).holidays(today)) listed << h.name + QStringLiteral(": ") + h.text;
        QTEST(listed, "listed");
    }

    // A treatment is due FIRST_NOTIF days after it was done and SECOND_NOTIF days after the first
    // reminder of a channel; only the latest treatment with an item counts.
    void prophylaxis() {
        const QDate today(2027, 3, 15);
        const int checkup = item("Profilaktiskā apskate", 30, 0);
        const int hygiene = item("Higiēna", 30, 10);
        const int noReminder = item("Plombēšana", 0, 0);
        const int anna = patient("Liepa", "Anna"), janis = patient("Bērziņš", "Jānis"), rita = patient("Priede", "Rita");
        const int due = treatment(anna, checkup, today.addDays(-31));
        treatment(janis, checkup, today.addDays(-30));  // exactly 30 days: not yet
        treatment(janis, noReminder, today.addDays(-300));
        treatment(rita, hygiene, today.addDays(-200));   // done again since: the old one does not count
        treatment(rita, hygiene, today.addDays(-5));
        treatment(rita, checkup, today.addDays(-100), true);        // deleted line
        treatment(rita, checkup, today.addDays(-100), false, true); // rejected consultation
        const int second = treatment(janis, hygiene, today.addDays(-60));
        sent(second, "ATGAD_SMS", today.addDays(-11));   // second SMS reminder due
        sent(second, "ATGAD_EMAIL", today.addDays(-10)); // second e-mail not yet

        QList<ProphylaxisReminder> rows = ReminderStore(*m_db).prophylaxis(today);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].name, QStringLiteral("Jānis Bērziņš"));  // by surname
        QCOMPARE(rows[0].line, second);
        QCOMPARE(rows[0].procedure, QStringLiteral("Higiēna"));
        QVERIFY(rows[0].smsDue && !rows[0].emailDue);
        QCOMPARE(rows[1].line, due);
        QCOMPARE(rows[1].date, today.addDays(-31));
        QVERIFY(rows[1].smsDue && rows[1].emailDue);

        // After an e-mail the line is due by SMS only, and with no second reminder it never returns.
        sent(due, "ATGAD_EMAIL", today);
        rows = ReminderStore(*m_db).prophylaxis(today);
        QCOMPARE(rows.size(), 2);
        QVERIFY(rows[1].smsDue && !rows[1].emailDue);
        sent(due, "ATGAD_SMS", today);
        rows = ReminderStore(*m_db).prophylaxis(today.addDays(400));
        for (const ProphylaxisReminder& r : rows) QVERIFY(r.line != due);
    }

    // Which line of a patient and item counts, and the order of the rows. Each line is
    // "patient;item;days ago[;flags]" with the flags d (line deleted), x (consultation deleted),
    // sN / eN (SMS / e-mail sent N days ago); a listed row is "line number:channels due".
    void prophylaxisLatest_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("two lines on one day: the later one counts") << QStringList{"Anna;Higiēna;40", "Anna;Higiēna;40;s0"}
                                                                    << QStringList{"2:E"};
        QTest::newRow("a newer line of a deleted consultation hides nothing")
            << QStringList{"Anna;Apskate;40", "Anna;Apskate;5;x"} << QStringList{"1:SE"};
        QTest::newRow("a newer deleted line hides nothing") << QStringList{"Anna;Apskate;40", "Anna;Apskate;5;d"} << QStringList{"1:SE"};
        QTest::newRow("a newer line not yet due hides the older one") << QStringList{"Anna;Apskate;40", "Anna;Apskate;5"} << QStringList{};
        QTest::newRow("each item of a patient counts apart") << QStringList{"Anna;Apskate;40", "Anna;Higiēna;5"} << QStringList{"1:SE"};
        QTest::newRow("no second reminder when SECOND_NOTIF is 0 or empty")
            << QStringList{"Anna;Apskate;400;s300;e300", "Anna;Tīrīšana;400;s300", "Anna;Higiēna;400;s300;e5"} << QStringList{"3:S", "2:E"};
        QTest::newRow("second reminder due by channel") << QStringList{"Anna;Higiēna;100;s11;e10", "Ilze;Higiēna;100;s10;e11"}
                                                        << QStringList{"2:E", "1:S"};
        QTest::newRow("by surname, equal names by patient and item")
            << QStringList{"Otra Anna;Higiēna;50", "Zane;Apskate;50", "Anna;Higiēna;50", "Anna;Apskate;50", "Ilze;Apskate;50"}
            << QStringList{"5:SE", "4:SE", "3:SE", "1:SE", "2:SE"};
        QTest::newRow("exactly FIRST_NOTIF days: not yet") << QStringList{"Anna;Apskate;30", "Ilze;Apskate;31"} << QStringList{"2:SE"};
    }
    void prophylaxisLatest() {
        QFETCH(QStringList, lines);
        const QDate today(2027, 3, 15);
        // Keys in this order: items Apskate < Higiēna < Tīrīšana, patients Anna < Otra Anna.
        const QHash<QString, int> items{{"Apskate", item("Apskate", 30, 0)},
                                        {"Higiēna", item("Higiēna", 30, 10)},
                                        {"Tīrīšana", item("Tīrīšana", 30, 0)}};
        m_db->exec(QStringLiteral("UPDATE N_PRECE SET SECOND_NOTIF = NULL WHERE ISN = :I"), {{"I", items.value("Tīrīšana")}});
        m_db->commitRetaining();
        const QHash<QString, int> patients{{"Anna", patient("Liepa", "Anna")},
                                           {"Otra Anna", patient("Liepa", "Anna")},  // the same name, a later key
                                           {"Zane", patient("Zariņa", "Zane")},
                                           {"Ilze", patient("Bērziņa", "Ilze")}};
        QHash<int, int> numbers;  // line key -> its number in `lines`
        for (int i = 0; i < lines.size(); ++i) {
            const QStringList f = lines.at(i).split(u';');
            const QStringList flags = f.mid(3);
            const int line = treatment(patients.value(f[0]), items.value(f[1]), today.addDays(-f[2].toInt()),
                                       flags.contains(QStringLiteral("d")), flags.contains(QStringLiteral("x")));
            for (const QString& flag : flags) {
                if (flag.size() < 2) continue;
                sent(line, flag.startsWith(u's') ? "ATGAD_SMS" : "ATGAD_EMAIL", today.addDays(-flag.mid(1).toInt()));
            }
            numbers.insert(line, i + 1);
        }
        auto listed = [&] {
            QStringList out;
            for (const ProphylaxisReminder& r : ReminderStore(*m_db).prophylaxis(today)) {
                out << QStringLiteral("%1:%2%3").arg(numbers.value(r.line)).arg(r.smsDue ? "S" : "").arg(r.emailDue ? "E" : "");
                if (r.procedure != lines.value(numbers.value(r.line) - 1).section(u';', 1, 1)) out << "procedure " + r.procedure;
            }
            return out;
        };
        QTEST(listed(), "listed");

        // A price list with more reminder items than are bound as a list gives the same rows.
        m_db->exec(QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < %1) DO BEGIN "
                                  "INSERT INTO N_PRECE (GNOS, FIRST_NOTIF) VALUES ('Papildu', 1); I = I + 1; END END")
                       .arg(ReminderStore::MaxBoundItems));
        m_db->commitRetaining();
        QTEST(listed(), "listed");
    }

    // A patient with two appointments in the window is listed once; cancelled and later ones are not.
    void appointments() {
        ClinicFixture clinic(*m_db);
        setting(QStringLiteral("REMIND_KONSULTAC_DIENAS"), 1);
        const QDate today(2027, 3, 15);
        ClinicFixture::Appointment a;
        a.specialist = clinic.specialist("Zariņa", "Ērika");
        a.room = clinic.room("1");
        a.type = clinic.type("Higiēna");
        a.patient = patient("Ozols", "Pēteris");
        a.date = today.addDays(1);
        a.time = "10:00";
        clinic.appointment(a);
        a.date = today;
        a.time = "16:30";
        clinic.appointment(a);
        a.patient = patient("Apse", "Dace");
        a.date = today.addDays(2);  // outside the window
        clinic.appointment(a);
        a.date = today.addDays(1);
        a.cancelled = true;
        clinic.appointment(a);
        a.patient = patient("Bērziņš", "Jānis");
        a.cancelled = false;
        clinic.appointment(a);
        m_db->commitRetaining();

        const QList<AppointmentReminder> rows = ReminderStore(*m_db).appointments(today);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].name, QStringLiteral("Jānis Bērziņš"));
        QCOMPARE(rows[1].name, QStringLiteral("Pēteris Ozols"));
        QCOMPARE(rows[1].procedure, QStringLiteral("Higiēna"));
        QCOMPARE(rows[1].times, (QList<QDateTime>{QDateTime(today, QTime(16, 30)), QDateTime(today.addDays(1), QTime(10, 0))}));
    }

    // The page ticks who can be reached and is due; unticking a patient's e-mail leaves him out of
    // the e-mail sending only; sending marks the prophylaxis line it reminded of.
    void page() {
        ClinicFixture clinic(*m_db);
        const QDate today = QDate::currentDate();
        const int port = qEnvironmentVariableIntValue("MOLARIX_SMTP_PORT");
        m_db->exec(QStringLiteral("UPDATE N_ISI SET REMIND_KONSULTAC_DIENAS = 1, REMIND_SVETKI_DIENAS = 0, HOST_OUT = '127.0.0.1', "
                                  "HOST_OUT_PORT = :P, USER_MAIL = 'klinika@zobi.example.lv', "
                                  "KONSULTACIJAS_TXT = 'Rīt vizīte, <VardsUzvards>.', PROFILAKSE_TXT = '<VardsUzvards>, laiks apskatei.'"),
                   {{"P", port}});
        const int anna = patient("Liepa", "Anna"), janis = patient("Bērziņš", "Jānis");
        const QString address = QStringLiteral("anna.%1@example.lv").arg(QDateTime::currentMSecsSinceEpoch());
        m_db->exec(QStringLiteral("UPDATE N_KLIENTS SET E_MAIL = :E WHERE ISN = :I"), {{"E", address}, {"I", anna}});
        ClinicFixture::Appointment a;
        a.specialist = clinic.specialist("Zariņa", "Ērika");
        a.room = clinic.room("1");
        a.type = clinic.type("Higiēna");
        a.date = today.addDays(1);
        a.patient = anna;
        clinic.appointment(a);
        a.patient = janis;
        clinic.appointment(a);
        const int line = treatment(anna, item("Apskate", 30, 0), today.addDays(-31));
        sent(line, "ATGAD_SMS", today);  // the SMS went already: only the e-mail is due

        app::Session session(*m_db);
        calendar::RemindersPage page(session);
        page.rebuild();
        using P = calendar::RemindersPage;
        QCOMPARE(page.grid(P::Appointments)->rowCount(), 2);
        QCOMPARE(page.smsList(P::Appointments), app::FormatKeyList({janis, anna}));
        QCOMPARE(page.emailList(P::Appointments), app::FormatKeyList({anna}));
        QVERIFY(!(page.grid(P::Appointments)->item(0, 4)->flags() & Qt::ItemIsUserCheckable));  // Jānis has no address
        QCOMPARE(page.smsList(P::Prophylaxis), QString());
        QCOMPARE(page.emailList(P::Prophylaxis), app::FormatKeyList({anna}));
        QCOMPARE(page.lineList(P::Prophylaxis, false), app::FormatKeyList({line}));
        page.grid(P::Appointments)->item(1, 4)->setCheckState(Qt::Unchecked);
        QCOMPARE(page.emailList(P::Appointments), QString());
        QCOMPARE(page.smsList(P::Appointments), app::FormatKeyList({janis, anna}));

        if (port == 0) QSKIP("MOLARIX_SMTP_PORT is not set: the SMTP server is started by scripts/test (scripts/smtp-server start)");
        ModalHelper helper;
        int dialogs = 0;
        helper.onDialog = [&](QDialog* dialog) {
            ++dialogs;
            auto* button = dialog->findChild<QPushButton*>(QStringLiteral("btnCancel"));
            QTRY_COMPARE_WITH_TIMEOUT(button->text(), QStringLiteral("Aizvērt"), 20000);
            button->click();
        };
        page.sendEmail();
        QCOMPARE(dialogs, 1);  // the prophylaxis kind only: the appointment list was emptied
        QCOMPARE(helper.messages, QStringList{"Nosūtītas vēstules: 1, neizdevās: 0."});
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT ATGAD_EMAIL FROM O_ARSTESANA_DT WHERE ISN = :I"), {{"I", line}}).toDate(), today);
        QCOMPARE(page.grid(P::Prophylaxis)->rowCount(), 0);  // reread: nothing due any more
    }
};

QTEST_MAIN(TestReminders)
#include "tst_reminders.moc"
