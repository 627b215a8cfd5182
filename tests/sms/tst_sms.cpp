// The SMS modem link against a pseudo-terminal standing in for the modem: the exact bytes the modem
// receives, its refusals, the messages built from the database and the send with its progress
// dialog.
#include "FakeModem.h"
#include "Fetched.h"
#include "ModalHelper.h"
#include "TestDatabase.h"
#include "app/KeyList.h"
#include "app/Session.h"
#include "sms/ModemPort.h"
#include "sms/ModemReplies.h"
#include "sms/SendSms.h"
#include "sms/SmsSender.h"
#include "sms/SmsStore.h"
#include "sms/SmsText.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QtTest>

using namespace sms;

namespace {

const QString Greeting = QStringLiteral("Labdien, <VardsUzvards>! Atgādinām par vizīti rīt plkst. 10:00. Zobārstniecība");

QByteArray win1257(const QString& text) {
    QStringEncoder encoder("windows-1257");
    return encoder.encode(text);
}

// What the modem receives for one message.
QByteArray exchange(const QString& number, const QString& text) {
    return QByteArrayLiteral("AT+CMGF=1\r\nAT+CMGS=\"") + number.toLatin1() + QByteArrayLiteral("\"\r") + win1257(text) +
           QByteArray(1, char(26));
}

// Short waits: the stand-in answers at once or never.
const SmsSender::Timeouts Quick{1500, 1500};

}  // namespace

class TestSms : public QObject {
    Q_OBJECT
    std::unique_ptr<db::Database> m_db;

    int patient(const QString& surname, const QString& name, const QVariant& mobTel) {
        return m_db->scalar(QStringLiteral("INSERT INTO N_KLIENTS (UZVARDS, VARDS, MOB_TEL) VALUES (:U, :V, :M) RETURNING ISN"),
                            {{"U", surname}, {"V", name}, {"M", mobTel}})
            .toInt();
    }
    int treatmentLine(int patientKey) {
        const int hd = m_db->scalar(QStringLiteral("INSERT INTO O_KONSULTACIJA_HD (NUMURS, DATUMS, ISKLIENTS) "
                                                   "VALUES (:N, :D, :K) RETURNING ISN"),
                                    {{"N", QStringLiteral("K%1").arg(patientKey)},
                                     {"D", QDateTime(QDate::currentDate().addDays(-200), QTime(9, 0))},
                                     {"K", patientKey}})
                             .toInt();
        return m_db->scalar(QStringLiteral("INSERT INTO O_ARSTESANA_DT (ISKONSULTACIJAHD) VALUES (:H) RETURNING ISN"),
                            {{"H", hd}})
            .toInt();
    }
    QVariant remindedOn(int line) {
        return m_db->scalar(QStringLiteral("SELECT ATGAD_SMS FROM O_ARSTESANA_DT WHERE ISN = :I"), {{"I", line}});
    }
    void settings(const QVariant& port, const QString& column, const QVariant& text) {
        m_db->exec(QStringLiteral("UPDATE N_ISI SET SMS_PORT = :P, %1 = :T").arg(column), {{"P", port}, {"T", text}});
        m_db->commitRetaining();
    }

private Q_SLOTS:
    void initTestCase() { testsupport::isolateSettings(); }
    void init() { m_db = testsupport::freshDatabase(QStringLiteral("sms")); }
    void cleanup() { m_db.reset(); }

    // The port number stands for a device of this workstation; open, write and close answer with
    // their result codes.
    void portWrapper() {
        QCOMPARE(DevicePath(1), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(DevicePath(4), QStringLiteral("/dev/ttyUSB3"));
        FakeModem modem;
        QVERIFY(modem.isOpen());
        SetDevicePath(4, modem.device());
        QCOMPARE(DevicePath(4), modem.device());

        QCOMPARE(OpenPort(0, 460800, u'n'), InvalidPort);
        QCOMPARE(OpenDevice(QStringLiteral("/dev/molarix-no-such-modem"), 460800, u'n'), InvalidPort);
        QVERIFY(!LastPortError().isEmpty());

        const int handle = OpenPort(4, 460800, u'n');
        QVERIFY2(handle != InvalidPort, qPrintable(LastPortError()));
        QCOMPARE(WritePort(handle, "AT", 0), -1);
        QCOMPARE(WritePort(handle, "AT+CMGF=1\r\n", 11), 0);
        QCOMPARE(WritePort(handle + 1000, "AT", 2), -2);
        QCOMPARE(ReadPort(handle, 2000).trimmed(), QByteArray("OK"));
        QCOMPARE(ClosePort(handle), 0);
        QCOMPARE(WritePort(handle, "AT", 2), -2);
        // Nothing of the refused writes reached the modem.
        QCOMPARE(modem.received(), QByteArray("AT+CMGF=1\r\n"));
        SetDevicePath(4, QString());
        QCOMPARE(DevicePath(4), QStringLiteral("/dev/ttyUSB3"));
    }

    // The modem's answers, however they are cut into reads.
    void replies_data() {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("reference");
        QTest::newRow("ok") << QList<QByteArray>{"\r\nOK\r\n"} << QStringList{"OK"} << -1;
        QTest::newRow("echo, prompt") << QList<QByteArray>{"AT+CMGS=\"+3712\"\r", "\r\n", "> "}
                                      << QStringList{"AT+CMGS=\"+3712\"", "> "} << -1;
        QTest::newRow("sent, split") << QList<QByteArray>{"\r\n+CM", "GS: 17\r", "\n\r\nO", "K\r\n"}
                                     << QStringList{"+CMGS: 17", "OK"} << 17;
        QTest::newRow("cms error") << QList<QByteArray>{"\r\n+CMS ERROR: 304\r\n"} << QStringList{"+CMS ERROR: 304"} << -1;
        QTest::newRow("cme error") << QList<QByteArray>{"\r\n+CME ERROR: 10\r\n"} << QStringList{"+CME ERROR: 10"} << -1;
    }
    void replies() {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QStringList, expected);
        QFETCH(int, reference);
        ModemReplies r;
        QStringList seen;
        for (const QByteArray& c : chunks) {
            r.feed(c);
            for (auto reply = r.take(); reply.kind != ModemReplies::Kind::None; reply = r.take()) seen << reply.line;
        }
        QCOMPARE(seen, expected);
        QCOMPARE(r.messageReference(), reference);
    }

    void numbersAndTexts_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("dialled");
        QTest::newRow("plain") << "29123456" << QStringList{"+37129123456"};
        QTest::newRow("spaces") << " 291 23-456 " << QStringList{"+37129123456"};
        QTest::newRow("two") << "29123456, 26111111" << QStringList{"+37129123456", "+37126111111"};
        QTest::newRow("foreign") << "29123456,+4479001122" << QStringList{"+37129123456", "+4479001122"};
        QTest::newRow("empty parts") << " , ,29123456," << QStringList{"+37129123456"};
        QTest::newRow("none") << "  " << QStringList{};
    }
    void numbersAndTexts() {
        QFETCH(QString, stored);
        QFETCH(QStringList, dialled);
        QStringList got;
        for (const QString& n : SplitNumbers(stored)) got << DialNumber(n);
        QCOMPARE(got, dialled);
    }

    // The messages of a kind go out to every number of every patient in list order, byte for byte;
    // a modem that echoes what it hears changes nothing.
    void exactBytes_data() {
        QTest::addColumn<bool>("echo");
        QTest::newRow("no echo") << false;
        QTest::newRow("echo") << true;
    }
    void exactBytes() {
        QFETCH(bool, echo);
        FakeModem modem;
        modem.echo = echo;
        SetDevicePath(2, modem.device());
        settings(2, QStringLiteral("KONSULTACIJAS_SMS"), Greeting);
        const int ozola = patient(QStringLiteral("Ozola"), QStringLiteral("Līga"), QStringLiteral("29123456"));
        const int noPhone = patient(QStringLiteral("Bērziņš"), QStringLiteral("Jānis"), QVariant());
        const int kalns = patient(QStringLiteral("Kalns"), QStringLiteral("Ēriks"), QStringLiteral("2611 1111, +4479001122"));
        m_db->commitRetaining();

        SmsStore store(*m_db);
        const SmsBatch batch = store.prepare(SmsKind::Appointment, app::FormatKeyList({ozola, noPhone, kalns}));
        QCOMPARE(batch.stop, QString());
        QCOMPARE(batch.device, modem.device());
        QCOMPARE(batch.messages.size(), 3);

        SmsSender sender(batch.device, Quick);
        QList<SmsOutcome> outcomes;
        QCOMPARE(sender.sendAll(batch.messages, {}, [&](int, const SmsOutcome& o) { outcomes << o; }), 3);
        for (const SmsOutcome& o : outcomes) QVERIFY2(o.sent, qPrintable(o.reason));
        QCOMPARE(outcomes[2].reference, 3);

        const QString toLiga = QStringLiteral("Labdien, Līga Ozola! Atgādinām par vizīti rīt plkst. 10:00. Zobārstniecība");
        const QString toEriks = QStringLiteral("Labdien, Ēriks Kalns! Atgādinām par vizīti rīt plkst. 10:00. Zobārstniecība");
        QCOMPARE(modem.received(), exchange("+37129123456", toLiga) + exchange("+37126111111", toEriks) +
                                       exchange("+4479001122", toEriks));
        QCOMPARE(modem.delivered(), (QStringList{"+37129123456", "+37126111111", "+4479001122"}));
    }

    // A recipient the modem refuses is reported with the modem's words and the next is still sent.
    void refusal_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("textSent");
        QTest::newRow("number refused") << "number" << "Modems atteica numuru: ERROR" << false;
        QTest::newRow("network refused") << "delivery" << "Modems atteica: +CMS ERROR: 500" << true;
    }
    void refusal() {
        QFETCH(QString, how);
        QFETCH(QString, reason);
        QFETCH(bool, textSent);
        FakeModem modem;
        (how == QLatin1String("number") ? modem.refuseNumber : modem.failDelivery).insert(QStringLiteral("+37122222222"));
        const QList<SmsMessage> messages{{1, 0, "A", "+37121111111", "Pirmais"},
                                         {2, 0, "B", "+37122222222", "Otrais"},
                                         {3, 0, "C", "+37123333333", "Trešais"}};
        SmsSender sender(modem.device(), Quick);
        QList<SmsOutcome> outcomes;
        sender.sendAll(messages, {}, [&](int, const SmsOutcome& o) { outcomes << o; });
        QCOMPARE(outcomes.size(), 3);
        QVERIFY(outcomes[0].sent);
        QVERIFY(!outcomes[1].sent);
        QCOMPARE(outcomes[1].reason, reason);
        QVERIFY(outcomes[2].sent);
        QCOMPARE(modem.delivered(), (QStringList{"+37121111111", "+37123333333"}));
        QCOMPARE(modem.received().contains("Otrais"), textSent);
        QVERIFY(modem.received().endsWith(exchange("+37123333333", QStringLiteral("Trešais"))));
    }

    // A device that answers nothing, and one that is not there: the messages fail with a reason,
    // each is tried.
    void noModem() {
        FakeModem modem;
        modem.silent = true;
        const QList<SmsMessage> messages{{1, 0, "A", "+37121111111", "Pirmais"}, {2, 0, "B", "+37122222222", "Otrais"}};
        SmsSender silent(modem.device(), {300, 300});
        QList<SmsOutcome> outcomes;
        silent.sendAll(messages, {}, [&](int, const SmsOutcome& o) { outcomes << o; });
        QCOMPARE(outcomes.size(), 2);
        QCOMPARE(outcomes[1].reason, QStringLiteral("Modems neatbildēja"));
        // Without answers the bytes are still those of every message.
        QCOMPARE(modem.received(), exchange("+37121111111", "Pirmais") + exchange("+37122222222", "Otrais"));

        SmsSender absent(QStringLiteral("/dev/molarix-no-such-modem"), Quick);
        const SmsOutcome o = absent.send(messages[0]);
        QVERIFY(!o.sent);
        QVERIFY2(o.reason.startsWith(QStringLiteral("Kļūda sūtot SMS 1 - neizdevās atvērt portu /dev/molarix-no-such-modem")),
                 qPrintable(o.reason));
    }

    // What stops a kind before anything is sent.
    void stops_data() {
        QTest::addColumn<QVariant>("port");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("withPatients");
        QTest::addColumn<QString>("stop");
        QTest::addColumn<int>("messages");
        const QString noPort = "SMS netika nosūtīts - SMS ports nav ievadīts (iestādā pie kalendāra parametiem) !!!";
        const QString noText = "SMS netika nosūtīts - nav ievadīts SMS saturs (iestādā pie kalendāra parametiem) !!!";
        QTest::newRow("empty list") << QVariant(1) << Greeting << false << "" << 0;
        QTest::newRow("empty list, no port") << QVariant(0) << QString() << false << "" << 0;
        QTest::newRow("port 0, no text") << QVariant(0) << QString() << true << noPort << 0;
        QTest::newRow("port null") << QVariant() << Greeting << true << noPort << 0;
        QTest::newRow("no text") << QVariant(1) << QString() << true << noText << 0;
        QTest::newRow("160 with the name") << QVariant(1) << QString(149, u'ā') + "<VardsUzvards>" << true << "" << 2;
        QTest::newRow("161 with the name")
            << QVariant(1) << QString(150, u'ā') + "<VardsUzvards>" << true
            << "SMS netika nosūtīts - teksts ir garāks par 160 zīmēm, kas ietilpst vienā SMS: Anna Zariņa (161 zīmes). "
               "Saīsiniet tekstu (iestādā pie kalendāra parametiem) !!!"
            << 0;
    }
    void stops() {
        QFETCH(QVariant, port);
        QFETCH(QString, text);
        QFETCH(bool, withPatients);
        QFETCH(QString, stop);
        QFETCH(int, messages);
        settings(port, QStringLiteral("PROFILAKSE_SMS"), text.isEmpty() ? QVariant() : QVariant(text));
        QList<int> patients, lines;
        if (withPatients) {
            patients << patient(QStringLiteral("Zariņa"), QStringLiteral("Anna"), QStringLiteral("29000001"));
            patients << patient(QStringLiteral("Liepa"), QStringLiteral("Ivo"), QStringLiteral("29000002"));
            patients << patient(QStringLiteral("Egle"), QStringLiteral("Ieva"), QVariant());
            for (int p : patients) lines << treatmentLine(p);
            m_db->commitRetaining();
        }
        SmsStore store(*m_db);
        const SmsBatch batch =
            store.prepare(SmsKind::Prophylaxis, app::FormatKeyList(patients), app::FormatKeyList(lines));
        QCOMPARE(batch.stop, stop);
        QCOMPARE(batch.messages.size(), messages);
        if (!withPatients) return;
        // The line of the patient without a number is marked only when the others may be sent.
        QCOMPARE(remindedOn(lines[2]).isValid(), stop.isEmpty());
        QVERIFY(!remindedOn(lines[0]).isValid());
        // "Anna Zariņa" takes 11 characters in place of the placeholder.
        if (messages) QCOMPARE(SmsLength(batch.messages[0].text), 160);
    }

    // The send operation of the reminders page: progress dialog, refusals listed at the end, the
    // prophylaxis lines marked for the messages that went and for the patient without a number.
    void sendWithProgress() {
        FakeModem modem;
        modem.refuseNumber.insert(QStringLiteral("+37122222222"));
        SetDevicePath(1, modem.device());
        settings(1, QStringLiteral("PROFILAKSE_SMS"), QStringLiteral("<VardsUzvards>, laiks profilaktiskajai apskatei!"));
        const int a = patient(QStringLiteral("Ābele"), QStringLiteral("Anna"), QStringLiteral("21111111"));
        const int b = patient(QStringLiteral("Bērziņa"), QStringLiteral("Baiba"), QStringLiteral("22222222"));
        const int c = patient(QStringLiteral("Cīrulis"), QStringLiteral("Cēsis"), QVariant());
        const int d = patient(QStringLiteral("Dzene"), QStringLiteral("Dace"), QStringLiteral("24444444"));
        const QList<int> lines{treatmentLine(a), treatmentLine(b), treatmentLine(c), treatmentLine(d)};
        m_db->commitRetaining();

        app::Session session(*m_db);
        ModalHelper helper;
        QString counts, failures;
        helper.onDialog = [&](QDialog* dialog) {
            auto* button = dialog->findChild<QPushButton*>(QStringLiteral("btnCancel"));
            QTRY_COMPARE_WITH_TIMEOUT(button->text(), QStringLiteral("Aizvērt"), 20000);
            counts = dialog->findChild<QLabel*>(QStringLiteral("lbCounts"))->text();
            failures = dialog->findChild<QPlainTextEdit*>(QStringLiteral("mmFailures"))->toPlainText();
            button->click();
        };
        const SmsProgress::Summary summary =
            SendSms(session, SmsKind::Prophylaxis, app::FormatKeyList({a, b, c, d}), app::FormatKeyList(lines), nullptr);
        QCOMPARE(helper.messages, QStringList());
        QCOMPARE(summary.sent, 2);
        QCOMPARE(summary.failed, 1);
        QCOMPARE(counts, QStringLiteral("Nosūtīti: 2    Neizdevās: 1    Atlikuši: 0"));
        QCOMPARE(failures, QStringLiteral("Baiba Bērziņa (+37122222222): Modems atteica numuru: ERROR"));
        QCOMPARE(modem.delivered(), (QStringList{"+37121111111", "+37124444444"}));
        const QDate today = QDate::currentDate();
        QCOMPARE(remindedOn(lines[0]).toDate(), today);
        QVERIFY(!remindedOn(lines[1]).isValid());
        QCOMPARE(remindedOn(lines[2]).toDate(), today);
        QCOMPARE(remindedOn(lines[3]).toDate(), today);
    }

    // "Pārtraukt" stops between two messages; the rest are counted as not sent.
    void cancel() {
        FakeModem modem;
        modem.deliveryMs = 300;
        SetDevicePath(1, modem.device());
        settings(1, QStringLiteral("SVETKI_SMS"), QStringLiteral("Daudz laimes svētkos!"));
        QList<int> patients;
        for (int i = 0; i < 5; ++i) patients << patient(QStringLiteral("P%1").arg(i), QStringLiteral("V"), QStringLiteral("2900000%1").arg(i));
        m_db->commitRetaining();
        app::Session session(*m_db);
        ModalHelper helper;
        QString state;
        helper.onDialog = [&](QDialog* dialog) {
            auto* button = dialog->findChild<QPushButton*>(QStringLiteral("btnCancel"));
            QTRY_VERIFY_WITH_TIMEOUT(!modem.delivered().isEmpty(), 10000);
            button->click();
            QTRY_COMPARE_WITH_TIMEOUT(button->text(), QStringLiteral("Aizvērt"), 20000);
            state = dialog->findChild<QLabel*>(QStringLiteral("lbCurrent"))->text();
            button->click();
        };
        const SmsProgress::Summary summary = SendSms(session, SmsKind::Holiday, app::FormatKeyList(patients), {}, nullptr);
        QVERIFY(summary.sent >= 1);
        QVERIFY2(summary.notTried >= 1, qPrintable(QString::number(summary.sent)));
        QCOMPARE(summary.sent + summary.notTried, 5);
        QCOMPARE(modem.delivered().size(), summary.sent);
        QCOMPARE(state, QStringLiteral("Sūtīšana pārtraukta."));
    }

    // Stops are shown in a message box and nothing reaches the modem.
    void stopShown() {
        FakeModem modem;
        SetDevicePath(1, modem.device());
        settings(0, QStringLiteral("SVETKI_SMS"), QVariant());
        const int p = patient(QStringLiteral("Ozola"), QStringLiteral("Līga"), QStringLiteral("29123456"));
        m_db->commitRetaining();
        app::Session session(*m_db);
        const QStringList shown = answering(QMessageBox::Ok, [&] {
            SendSms(session, SmsKind::Holiday, app::FormatKeyList({p}), {}, nullptr);
        });
        QCOMPARE(shown, QStringList{"SMS netika nosūtīts - SMS ports nav ievadīts (iestādā pie kalendāra parametiem) !!!"});
        QCOMPARE(modem.received(), QByteArray());
    }
};

QTEST_MAIN(TestSms)
#include "tst_sms.moc"
