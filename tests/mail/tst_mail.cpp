// E-mail: messages as composed (quoted-printable, encoded headers, calendar files) and sent to a
// real SMTP server on 127.0.0.1 (started by scripts/test; the server cases skip without it),
// read back with Python's e-mail parser as a mail program would read them.
#include "ClinicFixture.h"
#include "Fetched.h"
#include "TestDatabase.h"
#include "app/KeyList.h"
#include "mail/MailMessage.h"
#include "mail/MailSender.h"
#include "mail/MailStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonArray>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

using namespace mail;

namespace {

QByteArray chomp(const QByteArray& line) { return line.endsWith('\r') ? line.chopped(1) : line; }

int envPort(const char* name) { return qEnvironmentVariableIntValue(name); }

#define NEED_SMTP()                                                                                                     \
    if (envPort("MOLARIX_SMTP_PORT") == 0)                                                                              \
    QSKIP("MOLARIX_SMTP_PORT is not set: the SMTP server is started by scripts/test (scripts/smtp-server start)")

// An address nobody else in this run uses, so that parallel tests find their own messages.
QString uniqueAddress(const QString& local, const QString& domain = QStringLiteral("example.lv")) {
    return QStringLiteral("%1.%2@%3").arg(local).arg(QRandomGenerator::global()->generate(), 0, 16).arg(domain);
}

// The messages the server received for the address, decoded.
QList<QJsonObject> received(const QString& address, int expected = 1) {
    const QDir dir(qEnvironmentVariable("MOLARIX_SMTP_DIR"));
    QList<QJsonObject> found;
    QElapsedTimer t;
    t.start();
    do {
        found.clear();
        for (const QString& name : dir.entryList({QStringLiteral("*.eml")}, QDir::Files, QDir::Name)) {
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::ReadOnly)) continue;
            const QByteArray head = f.read(4096);
            const int end = int(head.indexOf("\r\n\r\n"));
            if (!head.left(end).contains(("X-Envelope-To: " + address).toUtf8())) continue;
            QProcess p;
            p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(MAIL_DECODER), f.fileName()});
            p.waitForFinished(20000);
            const QJsonDocument json = QJsonDocument::fromJson(p.readAllStandardOutput());
            if (json.isNull()) qWarning() << p.readAllStandardError();
            found.append(json.object());
        }
        if (found.size() >= expected) break;
        QTest::qWait(50);
    } while (t.elapsed() < 5000);
    return found;
}

// An iCalendar text's properties of its events (unfolded), one map per event.
QList<QHash<QString, QString>> calendarEvents(QString text) {
    text.replace(QStringLiteral("\r\n "), QString());
    QList<QHash<QString, QString>> events;
    for (const QString& line : text.split(QStringLiteral("\r\n"))) {
        if (line == QLatin1String("BEGIN:VEVENT")) events.append(QHash<QString, QString>());
        else if (!events.isEmpty() && line.contains(u':')) events.last().insert(line.section(u':', 0, 0), line.section(u':', 1));
    }
    return events;
}

}  // namespace

class TestMail : public QObject {
    Q_OBJECT
    std::unique_ptr<db::Database> m_db;

    void settings(const QVariantHash& values) {
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            m_db->exec(QStringLiteral("UPDATE N_ISI SET %1 = :V").arg(it.key()), {{"V", it.value()}});
        m_db->commitRetaining();
    }
    void clinicSettings(int port, int security = 0) {
        settings({{"HOST_OUT", "127.0.0.1"},
                  {"HOST_OUT_PORT", port},
                  {"HOST_OUT_DROSIBA", security},
                  {"USER_MAIL", "klinika@zobi.example.lv"},
                  {"ORGNOS", "SIA \"Zobārstniecība Ābele\""},
                  {"ORGADR", "Brīvības iela 1, Rīga"},
                  {"REMIND_KONSULTAC_DIENAS", 1},
                  {"KONSULTACIJAS_TXT", "Labdien, <VardsUzvards>!\nAtgādinām par Jūsu vizīti rīt. Ja nevarat ierasties, "
                                        "lūdzu, zvaniet 67000000 — paldies! Šī rinda ir gara, lai to vajadzētu dalīt "
                                        "vairākās rindās, kā prasa kodējums.\n.punkts rindas sākumā"},
                  {"PROFILAKSE_TXT", "<VardsUzvards>, laiks profilaksei."}});
    }
    int patient(const QString& surname, const QString& name, const QVariant& email) {
        const int key = ClinicFixture(*m_db).patient(surname, name);
        m_db->exec(QStringLiteral("UPDATE N_KLIENTS SET E_MAIL = :E WHERE ISN = :I"), {{"E", email}, {"I", key}});
        m_db->commitRetaining();
        return key;
    }
    int treatmentLine(int patientKey) {
        const int hd = m_db->scalar(QStringLiteral("INSERT INTO O_KONSULTACIJA_HD (NUMURS, DATUMS, ISKLIENTS) "
                                                   "VALUES (:N, :D, :K) RETURNING ISN"),
                                    {{"N", QStringLiteral("K%1").arg(patientKey)},
                                     {"D", QDateTime(QDate::currentDate().addDays(-200), QTime(9, 0))},
                                     {"K", patientKey}})
                             .toInt();
        const int line = m_db->scalar(QStringLiteral("INSERT INTO O_ARSTESANA_DT (ISKONSULTACIJAHD) VALUES (:H) RETURNING ISN"),
                                      {{"H", hd}})
                             .toInt();
        m_db->commitRetaining();
        return line;
    }
    QVariant remindedOn(int line) {
        return m_db->scalar(QStringLiteral("SELECT ATGAD_EMAIL FROM O_ARSTESANA_DT WHERE ISN = :I"), {{"I", line}});
    }

private Q_SLOTS:
    void initTestCase() { testsupport::isolateSettings(); }
    void init() { m_db = testsupport::freshDatabase(QStringLiteral("mail")); }
    void cleanup() { m_db.reset(); }

    // Quoted-printable lines stay within 76 characters and decode to the text (checked by
    // reading the encoding back by hand).
    void quotedPrintable_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("ascii") << "Labdien" << QByteArray("Labdien");
        QTest::newRow("latvian") << "ā" << QByteArray("=C4=81");
        QTest::newRow("equals") << "a=b" << QByteArray("a=3Db");
        QTest::newRow("trailing blank") << "rinda \nnākamā" << QByteArray("rinda=20\r\nn=C4=81kam=C4=81");
        QTest::newRow("leading dot") << ".\n.x" << QByteArray("=2E\r\n=2Ex");
        QTest::newRow("long") << QString(80, u'x') << QByteArray(75, 'x') + "=\r\n" + QByteArray(5, 'x');
        QTest::newRow("long, letter at the break") << QString(74, u'x') + QStringLiteral("ļļ")
                                                   << QByteArray(74, 'x') + "=\r\n=C4=BC=C4=BC";
    }
    void quotedPrintable() {
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        const QByteArray encoded = EncodeQuotedPrintable(text);
        QCOMPARE(encoded, expected);
        for (const QByteArray& line : encoded.split('\n')) QVERIFY(chomp(line).size() <= 76);
    }

    void headers() {
        QCOMPARE(EncodeHeaderText(QStringLiteral("Reminder")), QByteArray("Reminder"));
        const QByteArray subject = EncodeHeaderText(QString(40, u'ā'));
        // Two encoded words, neither longer than 75 characters, no letter split between them.
        const QList<QByteArray> words = subject.split('\n');
        QCOMPARE(words.size(), 2);
        for (const QByteArray& w : words) {
            QVERIFY(w.trimmed().size() <= 75);
            const QByteArray b64 = w.trimmed().mid(10).chopped(2);
            QVERIFY(QString::fromUtf8(QByteArray::fromBase64(b64)).count(u'ā') * 2 == QByteArray::fromBase64(b64).size());
        }
        QCOMPARE(FormatAddress(QString(), QStringLiteral("a@b.lv")), QByteArray("a@b.lv"));
        QCOMPARE(FormatAddress(QStringLiteral("Anna Liepa"), QStringLiteral("a@b.lv")), QByteArray("Anna Liepa <a@b.lv>"));
        QCOMPARE(FormatAddress(QStringLiteral("Liepa, Anna"), QStringLiteral("a@b.lv")), QByteArray("\"Liepa, Anna\" <a@b.lv>"));
        QCOMPARE(FormatDate(QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7), QTimeZone(7200))),
                 QByteArray("Sun, 06 Dec 2026 09:05:07 +0200"));
        QVERIFY(IsPlausibleAddress(QStringLiteral("a.b@c.lv")));
        for (const char* bad : {"", "ab.lv", "a@", "@b.lv", "a b@c.lv", "a@b@c.lv", "a@b.lv>\r\nRCPT TO:<x@y.lv"})
            QVERIFY2(!IsPlausibleAddress(QString::fromLatin1(bad)), bad);
    }

    void serverUrl_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("security");
        QTest::addColumn<QString>("url");
        QTest::newRow("plain") << "mail.lv" << 0 << 0 << "smtp://mail.lv:25";
        QTest::newRow("starttls") << "mail.lv" << 0 << 1 << "smtp://mail.lv:587";
        QTest::newRow("tls") << "mail.lv" << 0 << 2 << "smtps://mail.lv:465";
        QTest::newRow("typed port") << " mail.lv:2525 " << 0 << 0 << "smtp://mail.lv:2525";
        QTest::newRow("port field wins") << "mail.lv:2525" << 26 << 1 << "smtp://mail.lv:26";
        QTest::newRow("ipv6") << "::1" << 0 << 0 << "smtp://[::1]:25";
    }
    void serverUrl() {
        MailServer s;
        s.host = FETCHED(QString, host);
        s.port = FETCHED(int, port);
        s.security = MailServer::Security(FETCHED(int, security));
        QTEST(s.url(), "url");
    }

    // Long texts are folded at 75 octets, never inside a letter; times are in UTC.
    void calendarFile() {
        CalendarEvent e;
        e.start = QDateTime(QDate(2026, 7, 1), QTime(10, 30), QTimeZone("Europe/Riga"));
        e.minutes = 45;
        e.summary = QStringLiteral("Vizīte; pārbaude, tīrīšana");
        e.location = QStringLiteral("SIA \"Zobārstniecība Ābele\", Brīvības iela 1, Rīga, ") + QString(30, u'ž');
        e.uid = QStringLiteral("pieraksts-7@zobi.lv");
        const QByteArray ics = MakeCalendar({e}, QDateTime(QDate(2026, 6, 30), QTime(8, 0), QTimeZone::utc()));
        for (const QByteArray& line : ics.split('\n')) {
            QVERIFY(chomp(line).size() <= 75);
            QVERIFY2(QString::fromUtf8(chomp(line)).toUtf8() == chomp(line), line.constData());
        }
        const auto events = calendarEvents(QString::fromUtf8(ics));
        QCOMPARE(events.size(), 1);
        QCOMPARE(events[0].value("DTSTART"), QStringLiteral("20260701T073000Z"));
        QCOMPARE(events[0].value("DTEND"), QStringLiteral("20260701T081500Z"));
        QCOMPARE(events[0].value("SUMMARY"), QStringLiteral("Vizīte\\; pārbaude\\, tīrīšana"));
        QVERIFY(events[0].value("LOCATION").endsWith(QString(30, u'ž')));
    }

    // Missing settings stop the sending of a kind before anything is sent.
    void stops_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("message");
        QTest::newRow("host") << "HOST_OUT"
                              << "Vēstule netika nosūtīta - smtp host parametrs nav ievadīts (iestādā pie kalendāra parametiem) !!!";
        QTest::newRow("sender") << "USER_MAIL"
                                << "Vēstule netika nosūtīta - nav ievadīts izsūtītāja e-mail (iestādā pie kalendāra parametiem) !!!";
        QTest::newRow("text") << "KONSULTACIJAS_TXT"
                              << "Vēstule netika nosūtīta - nav ievadīts e-mail saturs (iestādā pie kalendāra parametiem) !!!";
    }
    void stops() {
        QFETCH(QString, column);
        clinicSettings(25);
        settings({{column, QVariant()}});
        const int p = patient("Liepa", "Anna", "anna@example.lv");
        MailStore store(*m_db);
        const MailBatch batch = store.prepare(MailKind::Appointment, app::FormatKeyList({p}));
        QTEST(batch.stop, "message");
        QVERIFY(batch.items.isEmpty());
        // An empty list sends nothing and says nothing.
        QVERIFY(store.prepare(MailKind::Appointment, QString()).stop.isEmpty());
    }

    // Appointment reminders through the plain server: headers, the decoded Latvian body and the
    // calendar file; a refused address is reported and the next patient still gets his.
    void appointmentReminder() {
        NEED_SMTP();
        clinicSettings(envPort("MOLARIX_SMTP_PORT"));
        ClinicFixture clinic(*m_db);
        const QString janis = uniqueAddress(QStringLiteral("janis"));
        const QString refused = uniqueAddress(QStringLiteral("nav"), QStringLiteral("atteikts.invalid"));
        const QString second = uniqueAddress(QStringLiteral("otrs"));
        const int p1 = patient(QStringLiteral("Bērziņš"), QStringLiteral("Jānis"), janis);
        const int p2 = patient(QStringLiteral("Ozola"), QStringLiteral("Līga"), QString(refused + QStringLiteral("; ") + second));
        const int p3 = patient(QStringLiteral("Kalns"), QStringLiteral("Pēteris"), QVariant());
        const int doctor = clinic.specialist(QStringLiteral("Zariņa"), QStringLiteral("Ērika"));
        const int type = clinic.type(QStringLiteral("Higiēna"));
        const QDate tomorrow = QDate::currentDate().addDays(1);
        ClinicFixture::Appointment a;
        a.patient = p1;
        a.specialist = doctor;
        a.type = type;
        a.room = clinic.room(QStringLiteral("1. kabinets"));
        a.date = tomorrow;
        a.time = QStringLiteral("14:30");
        a.duration = QStringLiteral("00:45");
        const int appointment = clinic.appointment(a);
        a.date = tomorrow.addDays(5);  // outside the reminder window
        clinic.appointment(a);
        a.date = tomorrow;
        a.cancelled = true;  // cancelled appointments are no events
        clinic.appointment(a);
        a.patient = p2;
        a.cancelled = false;
        clinic.appointment(a);
        m_db->commitRetaining();

        MailStore store(*m_db);
        const MailBatch batch = store.prepare(MailKind::Appointment, app::FormatKeyList({p1, p2, p3}));
        QVERIFY2(batch.stop.isEmpty(), qPrintable(batch.stop));
        QCOMPARE(batch.items.size(), 3);  // two addresses of the second patient, none of the third
        MailSender sender(batch.server);
        QStringList outcomes;
        for (const MailItem& item : batch.items) {
            const MailOutcome o = sender.send(item.message);
            outcomes << (o.sent ? QStringLiteral("sent") : QStringLiteral("failed"));
            if (!o.sent) QVERIFY2(o.reason.contains(QLatin1String("550")), qPrintable(o.reason));
        }
        QCOMPARE(outcomes, QStringList({"sent", "failed", "sent"}));

        const QList<QJsonObject> mails = received(janis);
        QCOMPARE(mails.size(), 1);
        const QJsonObject m = mails.first();
        QCOMPARE(m["defects"].toArray().size(), 0);
        QCOMPARE(m["to_name"].toString(), QStringLiteral("Jānis Bērziņš"));
        QCOMPARE(m["to_address"].toString(), janis);
        QCOMPARE(m["from_name"].toString(), QStringLiteral("SIA \"Zobārstniecība Ābele\""));
        QCOMPARE(m["from_address"].toString(), QStringLiteral("klinika@zobi.example.lv"));
        QCOMPARE(m["headers"]["Subject"].toString(), QStringLiteral("Atgādinājums par pierakstu pie zobārsta"));
        QCOMPARE(m["headers"]["MIME-Version"].toString(), QStringLiteral("1.0"));
        QVERIFY(m["headers"]["Message-ID"].toString().endsWith(QLatin1String("@zobi.example.lv>")));
        QVERIFY(qAbs(m["date_epoch"].toDouble() - QDateTime::currentSecsSinceEpoch()) < 120);
        QCOMPARE(m["body_charset"].toString(), QStringLiteral("utf-8"));
        QCOMPARE(m["body_cte"].toString(), QStringLiteral("quoted-printable"));
        QCOMPARE(m["body"].toString().trimmed(),
                 QStringLiteral("Labdien, Jānis Bērziņš!\nAtgādinām par Jūsu vizīti rīt. Ja nevarat ierasties, lūdzu, "
                                "zvaniet 67000000 — paldies! Šī rinda ir gara, lai to vajadzētu dalīt vairākās rindās, "
                                "kā prasa kodējums.\n.punkts rindas sākumā"));
        const QJsonArray attachments = m["attachments"].toArray();
        QCOMPARE(attachments.size(), 1);
        QCOMPARE(attachments[0]["filename"].toString(), QStringLiteral("pieraksts.ics"));
        QCOMPARE(attachments[0]["type"].toString(), QStringLiteral("text/calendar"));
        const auto events = calendarEvents(attachments[0]["text"].toString().replace(u'\n', QStringLiteral("\r\n")).replace(QStringLiteral("\r\r\n"), QStringLiteral("\r\n")));
        QCOMPARE(events.size(), 1);  // the later and the cancelled appointments are left out
        const QDateTime start(tomorrow, QTime(14, 30));
        QCOMPARE(events[0].value("DTSTART"), start.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")));
        QCOMPARE(events[0].value("DTEND"), start.addSecs(45 * 60).toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")));
        QCOMPARE(events[0].value("SUMMARY"), QStringLiteral("Vizīte pie zobārsta: Higiēna"));
        QCOMPARE(events[0].value("DESCRIPTION"), QStringLiteral("Speciālists: Ērika Zariņa"));
        QCOMPARE(events[0].value("LOCATION"), QStringLiteral("SIA \"Zobārstniecība Ābele\"\\, Brīvības iela 1\\, Rīga"));
        QCOMPARE(events[0].value("UID"), QStringLiteral("pieraksts-%1@zobi.example.lv").arg(appointment));

        QCOMPARE(received(second).size(), 1);
        QCOMPARE(received(second).first()["to_name"].toString(), QStringLiteral("Līga Ozola"));
    }

    // A prophylaxis line is marked only when its message went; a patient without an address has
    // his line marked at once (he cannot be reached, and would stay on the list for ever).
    void prophylaxisMarking() {
        NEED_SMTP();
        clinicSettings(envPort("MOLARIX_SMTP_PORT"));
        const int good = patient(QStringLiteral("Liepa"), QStringLiteral("Anna"), uniqueAddress(QStringLiteral("anna")));
        const int bad = patient(QStringLiteral("Egle"), QStringLiteral("Inga"), uniqueAddress(QStringLiteral("inga"), QStringLiteral("atteikts.invalid")));
        const int none = patient(QStringLiteral("Krūms"), QStringLiteral("Ēriks"), QVariant());
        const int l1 = treatmentLine(good), l2 = treatmentLine(bad), l3 = treatmentLine(none);
        MailStore store(*m_db);
        const MailBatch batch = store.prepare(MailKind::Prophylaxis, app::FormatKeyList({good, bad, none}),
                                              app::FormatKeyList({l1, l2, l3}));
        QVERIFY2(batch.stop.isEmpty(), qPrintable(batch.stop));
        QCOMPARE(batch.items.size(), 2);
        QCOMPARE(remindedOn(l3).toDate(), QDate::currentDate());
        QVERIFY(remindedOn(l1).isNull());
        MailSender sender(batch.server);
        for (const MailItem& item : batch.items) store.noteOutcome(item, sender.send(item.message));
        QCOMPARE(remindedOn(l1).toDate(), QDate::currentDate());
        QVERIFY(remindedOn(l2).isNull());
        QVERIFY(batch.items[0].message.attachments.isEmpty());
        QCOMPARE(batch.items[0].message.body, QStringLiteral("Anna Liepa, laiks profilaksei."));
    }

    // Servers that want encryption and a log-in: STARTTLS and TLS from the start with the right
    // password; a wrong password, a server that offers no STARTTLS and a closed port fail with a
    // reason and nothing sent in the clear.
    void secureServers_data() {
        QTest::addColumn<QByteArray>("portVariable");
        QTest::addColumn<int>("security");
        QTest::addColumn<bool>("rightPassword");
        QTest::addColumn<bool>("sent");
        QTest::newRow("starttls") << QByteArray("MOLARIX_SMTP_STARTTLS_PORT") << 1 << true << true;
        QTest::newRow("smtps") << QByteArray("MOLARIX_SMTPS_PORT") << 2 << true << true;
        QTest::newRow("wrong password") << QByteArray("MOLARIX_SMTP_STARTTLS_PORT") << 1 << false << false;
        QTest::newRow("no log-in") << QByteArray("MOLARIX_SMTP_STARTTLS_PORT") << 0 << true << false;
        QTest::newRow("no starttls offered") << QByteArray("MOLARIX_SMTP_PORT") << 1 << true << false;
        QTest::newRow("closed port") << QByteArray() << 0 << true << false;
    }
    void secureServers() {
        NEED_SMTP();
        QFETCH(QByteArray, portVariable);
        QFETCH(int, security);
        QFETCH(bool, rightPassword);
        QFETCH(bool, sent);
        MailServer server;
        server.host = QStringLiteral("127.0.0.1");
        // Port 1 (tcpmux) is served by nobody here: the connection is refused.
        server.port = portVariable.isEmpty() ? 1 : envPort(portVariable.constData());
        server.security = MailServer::Security(security);
        if (security != 0 || !rightPassword) {
            server.user = qEnvironmentVariable("MOLARIX_SMTP_USER");
            server.password = rightPassword ? qEnvironmentVariable("MOLARIX_SMTP_PASSWORD") : QStringLiteral("nepareiza");
        }
        server.caFile = qEnvironmentVariable("MOLARIX_SMTP_CA");
        server.timeoutSeconds = 10;
        MailMessage m;
        m.fromAddress = QStringLiteral("klinika@zobi.example.lv");
        m.toAddress = uniqueAddress(QStringLiteral("drosi"));
        m.toName = QStringLiteral("Ģirts Ķēniņš");
        m.subject = QStringLiteral("Pārbaude");
        m.body = QStringLiteral("Šifrēts sveiciens.");
        const MailOutcome outcome = MailSender(server).send(m);
        QCOMPARE(outcome.sent, sent);
        QCOMPARE(outcome.reason.isEmpty(), sent);
        const QList<QJsonObject> mails = received(m.toAddress, sent ? 1 : 0);
        QCOMPARE(mails.size(), sent ? 1 : 0);
        if (sent) QCOMPARE(mails.first()["body"].toString().trimmed(), m.body);
    }
};

QTEST_MAIN(TestMail)
#include "tst_mail.moc"
