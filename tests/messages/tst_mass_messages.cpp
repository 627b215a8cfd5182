// Messages to many patients: the list narrowed by groups, sex and language (bound, never pasted),
// the SMS of one text to the chosen patients through a modem on a pseudo-terminal, and the
// e-mail through the test SMTP server, with "<VardsUzvards>" replaced.
#include "../sms/FakeModem.h"
#include "ModalHelper.h"
#include "TestDatabase.h"
#include "app/TMainFormDati.h"
#include "messages/MassMessageStore.h"
#include "messages/TE_MailSutisana.h"
#include "models/ResultTableModel.h"
#include "sms/ModemPort.h"

#include <QButtonGroup>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

using namespace messages;

class TestMassMessages : public QObject {
    Q_OBJECT
    std::unique_ptr<app::TMainFormDati> m_session;
    db::Database* m_db = nullptr;
    int m_kids = 0, m_seniors = 0, m_staff = 0;

    int group(const QString& name) {
        return m_db->scalar("INSERT INTO N_KLGRUPA (GNOS) VALUES (:G) RETURNING ISN", {{"G", name}}).toInt();
    }
    void patient(const QString& name, int group, int sex, int language, const QVariant& phone, const QVariant& mail) {
        m_db->exec("INSERT INTO N_KLIENTS (VARDS, UZVARDS, ISKLGRUPA, DZIMUMS, SAZINAS_VAL, MOB_TEL, E_MAIL) "
                   "VALUES (:V, :U, :G, :D, :S, :T, :E)",
                   {{"V", name.section(' ', 0, 0)}, {"U", name.section(' ', 1)}, {"G", group > 0 ? QVariant(group) : QVariant()},
                    {"D", sex}, {"S", language}, {"T", phone}, {"E", mail}});
    }
    QStringList names(const db::ResultSet& rows) {
        QStringList out;
        for (int r = 0; r < rows.rowCount(); ++r)
            out << rows.value(r, "VARDS").toString() + " " + rows.value(r, "UZVARDS").toString();
        return out;
    }

private Q_SLOTS:
    void init() {
        testsupport::isolateSettings();
        m_session = std::make_unique<app::TMainFormDati>(testsupport::freshDatabase(QStringLiteral("massmsg")));
        QVERIFY(m_session->authenticate(QStringLiteral("ADMIN"), QString()).ok());
        m_db = &m_session->database();
        m_kids = group("Bērni");
        m_seniors = group("Seniori");
        m_staff = group("Darbinieki");
        patient("Anna Ābele", m_kids, 1, 0, "21111111", "anna@example.lv");
        patient("Boriss Beļajevs", m_seniors, 0, 1, "22222222, 23333333", QVariant());
        patient("Olga Cvetkova", m_seniors, 1, 1, QVariant(), "olga@example.lv");
        patient("John Dawson", m_staff, 0, 2, "24444444", "john@example.com");
        patient("Ēriks Zeltiņš", 0, 0, 0, "25555555", "eriks@example.lv");
        m_db->commitRetaining();
    }
    void cleanup() { m_session.reset(); }

    void choices_data() {
        QTest::addColumn<QStringList>("groups");
        QTest::addColumn<int>("sex");
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("listed");
        const QStringList all{"Anna Ābele", "Boriss Beļajevs", "Olga Cvetkova", "John Dawson", "Ēriks Zeltiņš"};
        QTest::newRow("nothing chosen: everybody but the default row") << QStringList{} << 0 << 0 << all;
        QTest::newRow("two groups: either") << QStringList{"Bērni", "Seniori"} << 0 << 0
                                            << QStringList{"Anna Ābele", "Boriss Beļajevs", "Olga Cvetkova"};
        QTest::newRow("women speaking Russian") << QStringList{} << 2 << 2 << QStringList{"Olga Cvetkova"};
        QTest::newRow("men") << QStringList{} << 1 << 0 << QStringList{"Boriss Beļajevs", "John Dawson", "Ēriks Zeltiņš"};
        QTest::newRow("English") << QStringList{} << 0 << 3 << QStringList{"John Dawson"};
        QTest::newRow("a group and Latvian") << QStringList{"Bērni"} << 0 << 1 << QStringList{"Anna Ābele"};
    }
    // The store's list and the window's, which follows every tick and choice.
    void choices() {
        QFETCH(QStringList, groups);
        QFETCH(int, sex);
        QFETCH(int, language);
        QFETCH(QStringList, listed);
        TE_MailSutisana w(*m_session);
        QCOMPARE(w.model()->rowCount(), 5);
        for (int i = 0; i < w.groupList()->count(); ++i)
            if (groups.contains(w.groupList()->item(i)->text())) w.groupList()->item(i)->setCheckState(Qt::Checked);
        w.sexChoice()->button(sex)->click();
        w.languageChoice()->button(language)->click();
        QCOMPARE(names(w.model()->rows()), listed);
        QCOMPARE(names(MassMessageStore(*m_db).patients(w.choice())), listed);
        // Unticking every group returns to the other choices alone.
        for (int i = 0; i < w.groupList()->count(); ++i) w.groupList()->item(i)->setCheckState(Qt::Unchecked);
        w.sexChoice()->button(0)->click();
        w.languageChoice()->button(0)->click();
        QCOMPARE(w.model()->rowCount(), 5);
    }

    // One message per number, the name put in; a text too long for one SMS, an empty text and
    // a missing port stop everything before anything goes.
    void smsMessages() {
        MassMessageStore store(*m_db);
        const db::ResultSet all = store.patients({});
        m_db->exec("UPDATE N_ISI SET SMS_PORT = 0");
        QCOMPARE(store.sms(all, "Sveiki").stop, QStringLiteral("SMS netika nosūtīts - SMS ports nav ievadīts (iestādā pie kalendāra parametiem) !!!"));
        m_db->exec("UPDATE N_ISI SET SMS_PORT = 3");
        QCOMPARE(store.sms(all, "  ").stop, QStringLiteral("Nav ievadīts E-mail/SMS teksts !!!"));
        const SmsMessages made = store.sms(all, "<VardsUzvards>, klīnika pārcelta!");
        QVERIFY(made.stop.isEmpty());
        QCOMPARE(made.withoutNumber, 1);
        QStringList got;
        for (const sms::SmsMessage& m : made.messages) got << m.number + " " + m.text;
        QCOMPARE(got, (QStringList{"+37121111111 Anna Ābele, klīnika pārcelta!",
                                   "+37122222222 Boriss Beļajevs, klīnika pārcelta!",
                                   "+37123333333 Boriss Beļajevs, klīnika pārcelta!",
                                   "+37124444444 John Dawson, klīnika pārcelta!",
                                   "+37125555555 Ēriks Zeltiņš, klīnika pārcelta!"}));
        const SmsMessages tooLong = store.sms(all, QString(150, 'x') + " <VardsUzvards>");
        QVERIFY(tooLong.messages.isEmpty());
        QVERIFY(tooLong.stop.contains("Boriss Beļajevs"));
    }

    // The selected patients get the SMS through the modem; one number refused is reported and the
    // others still go.
    void windowSendsSmsToSelected() {
        FakeModem modem;
        QVERIFY(modem.isOpen());
        modem.refuseNumber.insert("+37122222222");
        sms::SetDevicePath(4, modem.device());
        m_db->exec("UPDATE N_ISI SET SMS_PORT = 4");
        m_db->commitRetaining();
        TE_MailSutisana w(*m_session);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.textEdit()->setPlainText("<VardsUzvards>, gaidām Jūs!");
        w.grid()->selectRow(0);
        w.grid()->selectionModel()->select(w.model()->index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        ModalHelper helper;
        QString counts;
        helper.onDialog = [&](QDialog* dialog) {
            auto* button = dialog->findChild<QPushButton*>(QStringLiteral("btnCancel"));
            QTRY_COMPARE_WITH_TIMEOUT(button->text(), QStringLiteral("Aizvērt"), 20000);
            counts = dialog->findChild<QLabel*>(QStringLiteral("lbCounts"))->text();
            button->click();
        };
        QTest::mouseClick(w.findChild<QPushButton*>("btSutitSMS"), Qt::LeftButton);
        QCOMPARE(helper.messages, QStringList{"Sūtīt SMS 3 numuriem (0 pacientiem nav mobilā tālruņa)?"});
        QCOMPARE(counts, QStringLiteral("Nosūtīti: 2    Neizdevās: 1    Atlikuši: 0"));
        QCOMPARE(modem.delivered(), (QStringList{"+37121111111", "+37123333333"}));
    }

    // The e-mail of the text to every listed patient with an address, received by a real SMTP
    // server, the name put in and Latvian letters intact.
    void windowSendsMail() {
        if (qEnvironmentVariableIntValue("MOLARIX_SMTP_PORT") == 0)
            QSKIP("MOLARIX_SMTP_PORT is not set: the SMTP server is started by scripts/test (scripts/smtp-server start)");
        m_db->exec("UPDATE N_ISI SET HOST_OUT = :H, USER_MAIL = 'klinika@example.lv', ORGNOS = 'Zobu klīnika Ņ'",
                   {{"H", QStringLiteral("127.0.0.1:%1").arg(qEnvironmentVariable("MOLARIX_SMTP_PORT"))}});
        m_db->commitRetaining();
        const QString tag = QString::number(QDateTime::currentMSecsSinceEpoch());
        m_db->exec("UPDATE N_KLIENTS SET E_MAIL = REPLACE(E_MAIL, '@', :T) WHERE E_MAIL IS NOT NULL", {{"T", QVariant(QStringLiteral("+") + tag + QStringLiteral("@"))}});
        m_db->commitRetaining();
        TE_MailSutisana w(*m_session);
        w.textEdit()->setPlainText("Labdien, <VardsUzvards>! Klīnika 24. decembrī strādā līdz 12:00.");
        w.subjectEdit()->setText("Svētku darba laiks");
        ModalHelper helper;
        helper.onDialog = [&](QDialog* dialog) {
            auto* button = dialog->findChild<QPushButton*>(QStringLiteral("btnCancel"));
            QTRY_COMPARE_WITH_TIMEOUT(button->text(), QStringLiteral("Aizvērt"), 30000);
            button->click();
        };
        w.sendMail();
        QCOMPARE(helper.messages, QStringList{"Sūtīt e-pastu 4 adresēm (1 pacientiem nav e-pasta adreses)?"});
        const QString olga = "olga+" + tag + "@example.lv";
        QJsonObject mail;
        QTRY_VERIFY_WITH_TIMEOUT(!(mail = receivedFor(olga)).isEmpty(), 10000);
        QCOMPARE(mail["headers"].toObject()["Subject"].toString(), QStringLiteral("Svētku darba laiks"));
        QCOMPARE(mail["from_name"].toString(), QStringLiteral("Zobu klīnika Ņ"));
        QVERIFY2(mail["body"].toString().contains("Labdien, Olga Cvetkova! Klīnika 24. decembrī strādā līdz 12:00."),
                 qPrintable(mail["body"].toString()));
    }

private:
    QJsonObject receivedFor(const QString& address) {
        const QDir dir(qEnvironmentVariable("MOLARIX_SMTP_DIR"));
        for (const QString& name : dir.entryList({QStringLiteral("*.eml")}, QDir::Files, QDir::Name)) {
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::ReadOnly)) continue;
            const QByteArray head = f.read(4096);
            if (!head.left(int(head.indexOf("\r\n\r\n"))).contains(("X-Envelope-To: " + address).toUtf8())) continue;
            QProcess p;
            p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(MAIL_DECODER), f.fileName()});
            p.waitForFinished(20000);
            return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
        }
        return {};
    }
};

QTEST_MAIN(TestMassMessages)
#include "tst_mass_messages.moc"
