// molarix-admin sms-test: one message through a modem on a device, the modem's answers printed.
#include "FakeModem.h"

#include <QProcess>
#include <QStringEncoder>
#include <QtTest>

class TestSmsAdmin : public QObject {
    Q_OBJECT

    struct Run {
        int code = -1;
        QString out, err;
    };
    static Run admin(const QStringList& args) {
        QProcess p;
        p.start(QStringLiteral(MOLARIX_ADMIN), QStringList{QStringLiteral("sms-test")} + args);
        p.waitForFinished(120000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

private Q_SLOTS:
    void sent() {
        FakeModem modem;
        const Run r = admin({modem.device(), QStringLiteral("29123456"), QStringLiteral("Pārbaude: ķēķis ŗūņš")});
        QCOMPARE(r.code, 0);
        QStringEncoder encoder("windows-1257");
        QCOMPARE(modem.received(), QByteArray("AT+CMGF=1\r\nAT+CMGS=\"+37129123456\"\r") +
                                       QByteArray(encoder.encode(QStringLiteral("Pārbaude: ķēķis ŗūņš"))) + QByteArray(1, 26));
        QCOMPARE(r.out, QStringLiteral(">> AT+CMGF=1\\r\\n\n<< OK\n>> AT+CMGS=\"+37129123456\"\\r\n<< > \n"
                                       ">> Pārbaude: ķēķis ŗūņš\n>> <26>\n<< +CMGS: 1\n<< OK\n"
                                       "SMS nosūtīts uz +37129123456 (modema ziņas numurs 1).\n"));
    }

    void refusedOrWrong_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("err");
        QTest::newRow("refused") << QStringList{"MODEM", "22222222", "Teksts"} << 1
                                 << "SMS netika nosūtīts: Modems atteica numuru: ERROR\n";
        QTest::newRow("no device") << QStringList{"/dev/molarix-no-such-modem", "22222222", "Teksts"} << 1 << "";
        QTest::newRow("too long") << QStringList{"MODEM", "21111111", QString(161, u'x')} << 2
                                  << "SMS netika nosūtīts - teksta garums 161 zīmes, vienā SMS ietilpst 1 līdz 160.\n";
        QTest::newRow("two numbers") << QStringList{"MODEM", "21111111,22222222", "Teksts"} << 2
                                     << "Norādiet vienu tālruņa numuru.\n";
        QTest::newRow("arguments") << QStringList{"MODEM", "21111111"} << 2
                                   << "Lietošana: molarix-admin sms-test DEVICE NUMBER TEXT\n";
    }
    void refusedOrWrong() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, err);
        FakeModem modem;
        modem.refuseNumber.insert(QStringLiteral("+37122222222"));
        args.replaceInStrings(QStringLiteral("MODEM"), modem.device());
        const Run r = admin(args);
        QCOMPARE(r.code, code);
        if (!err.isEmpty()) QCOMPARE(r.err, err);
        else QVERIFY2(r.err.startsWith(QStringLiteral("SMS netika nosūtīts: Kļūda sūtot SMS 1")), qPrintable(r.err));
        QVERIFY(modem.delivered().isEmpty());
        if (code == 2) QCOMPARE(modem.received(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestSmsAdmin)
#include "tst_sms_admin.moc"
