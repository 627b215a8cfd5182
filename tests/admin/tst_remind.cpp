// molarix-admin remind on the demo clinic: the dry run lists exactly the appointments of the
// reminder window, and a real run sends the e-mails to the test SMTP server.
#include "AdminRun.h"
#include "TestDatabase.h"
#include "demo/DemoData.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

using namespace admintest;

class TestRemind : public QObject {
    Q_OBJECT
    QString m_path;
    QDate m_day;

    // The appointments of the window as the receptionist sees them in the planner: "dd.MM.yyyy hh:mm"
    // and the patient's name, per patient key.
    QMap<int, QStringList> expected(db::Database& d, QDate from, QDate to) {
        const db::ResultSet rows = d.select(
            QStringLiteral("SELECT P.ISKLIENTS, P.PLAN_DAT, P.PLAN_LAIKS FROM O_KONSULT_PIET_HD P "
                           "WHERE P.PLAN_DAT >= :A AND P.PLAN_DAT <= :B AND (P.DZESTS IS NULL OR P.DZESTS = 0) "
                           "AND P.ISKLIENTS > 1 ORDER BY P.PLAN_DAT, P.PLAN_LAIKS"),
            {{"A", QDateTime(from, QTime(0, 0))}, {"B", QDateTime(to, QTime(0, 0))}});
        QMap<int, QStringList> out;
        for (int r = 0; r < rows.rowCount(); ++r)
            out[rows.value(r, 0).toInt()] << rows.value(r, 1).toDateTime().date().toString("dd.MM.yyyy") + u' ' +
                                                 rows.value(r, 2).toString().trimmed();
        return out;
    }

private Q_SLOTS:
    void initTestCase() {
        testsupport::isolateSettings();
        m_path = testsupport::freshDatabaseFile(QStringLiteral("remind"));
        auto d = testsupport::open(m_path);
        demo::DemoDataGenerator(*d, demo::Scale::Demo, 11).run();
        // The next working day from tomorrow on, so that the window holds appointments.
        m_day = QDate::currentDate().addDays(1);
        while (m_day.dayOfWeek() > 5) m_day = m_day.addDays(1);
        d->exec(QStringLiteral("UPDATE N_ISI SET REMIND_KONSULTAC_DIENAS = 2, SMS_PORT = 1, "
                               "KONSULTACIJAS_SMS = 'Labdien, <VardsUzvards>! Rīt Jums ir vizīte.', "
                               "KONSULTACIJAS_TXT = 'Labdien, <VardsUzvards>! Atgādinām par vizīti.', HOST_OUT = '127.0.0.1', "
                               "HOST_OUT_PORT = :P"),
                {{"P", qEnvironmentVariableIntValue("MOLARIX_SMTP_PORT")}});
        d->commitRetaining();
    }

    void dryRunListsTheWindow() {
        QMap<int, QStringList> want;
        QSet<QString> names;
        int cancelled = 0;
        {
            auto d = testsupport::open(m_path);
            // One appointment of the window cancelled: it is no longer reminded of.
            cancelled = d->scalar(QStringLiteral("SELECT FIRST 1 ISN FROM O_KONSULT_PIET_HD WHERE PLAN_DAT = :A AND "
                                                 "(DZESTS IS NULL OR DZESTS = 0) AND ISKLIENTS > 1 ORDER BY ISN"),
                                  {{"A", QDateTime(m_day, QTime(0, 0))}})
                            .toInt();
            QVERIFY(cancelled > 0);
            d->exec(QStringLiteral("UPDATE O_KONSULT_PIET_HD SET DZESTS = 1 WHERE ISN = :I"), {{"I", cancelled}});
            d->commitRetaining();
            want = expected(*d, m_day, m_day.addDays(2));
            for (auto it = want.cbegin(); it != want.cend(); ++it)
                names << d->select(QStringLiteral("SELECT VARDS, UZVARDS FROM N_KLIENTS WHERE ISN = :I"), {{"I", it.key()}})
                             .first("VARDS").toString().trimmed();
        }
        QVERIFY(!want.isEmpty());
        const Run r = admin({"remind", m_path, "--date", m_day.toString("dd.MM.yyyy"), "--dry-run"});
        QVERIFY2(r.code == 0, qPrintable(r.all()));
        QVERIFY(r.out.contains(QStringLiteral("Vizītes no %1 līdz %2: %3 pacienti")
                                   .arg(m_day.toString("dd.MM.yyyy"), m_day.addDays(2).toString("dd.MM.yyyy"))
                                   .arg(want.size())));
        // Every appointment of the window appears once, and nothing else.
        QStringList listed;
        static const QRegularExpression time(QStringLiteral("\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d"));
        for (const QString& line : r.out.split(u'\n')) {
            if (line.startsWith(u' ')) continue;
            for (auto m = time.globalMatch(line); m.hasNext();) listed << m.next().captured();
        }
        QStringList all;
        for (const QStringList& l : want) all << l;
        std::sort(all.begin(), all.end());
        std::sort(listed.begin(), listed.end());
        QCOMPARE(listed, all);
        QVERIFY(r.out.contains(QStringLiteral("    SMS: +371")));
        QVERIFY(r.out.contains(QStringLiteral("Izmēģinājums (--dry-run): nekas netika nosūtīts.")));
        for (const QString& n : names) QVERIFY2(r.out.contains(n), qPrintable(n));
    }

    // A real run by e-mail only: every patient of the window with an address gets one message.
    void sendsEmail() {
        if (qEnvironmentVariableIntValue("MOLARIX_SMTP_PORT") == 0)
            QSKIP("MOLARIX_SMTP_PORT is not set: the SMTP server is started by scripts/test (scripts/smtp-server start)");
        const Run dry = admin({"remind", m_path, "--date", m_day.toString("yyyy-MM-dd"), "--dry-run", "--no-sms"});
        QCOMPARE(dry.code, 0);
        QStringList addresses;
        static const QRegularExpression address(QStringLiteral("E-pasts: (\\S+@\\S+)"));
        for (auto m = address.globalMatch(dry.out); m.hasNext();) addresses << m.next().captured(1);
        QVERIFY(!addresses.isEmpty());
        QVERIFY(!dry.out.contains(QStringLiteral("SMS:")));
        const QDateTime started = QDateTime::currentDateTime().addSecs(-1);
        const Run r = admin({"remind", m_path, "--date", m_day.toString("yyyy-MM-dd"), "--no-sms"});
        QVERIFY2(r.code == 0, qPrintable(r.all()));
        QVERIFY(r.out.contains(QStringLiteral("e-pasta vēstules %1; neizdevās: SMS 0, e-pasta vēstules 0.").arg(addresses.size())));
        const QDir dir(qEnvironmentVariable("MOLARIX_SMTP_DIR"));
        for (const QString& a : addresses) {
            int found = 0;
            for (const QFileInfo& f : dir.entryInfoList({"*.eml"}, QDir::Files)) {
                if (f.lastModified() < started) continue;
                QFile file(f.filePath());
                file.open(QIODevice::ReadOnly);
                if (file.read(2048).contains(("X-Envelope-To: " + a + "\r\n").toUtf8())) ++found;
            }
            QVERIFY2(found >= 1, qPrintable(a));
        }
    }

    void refusesBadArguments() {
        QCOMPARE(admin({"remind"}).code, 2);
        QCOMPARE(admin({"remind", m_path, "--date", "31.02.2027"}).code, 2);
    }
};

QTEST_MAIN(TestRemind)
#include "tst_remind.moc"
