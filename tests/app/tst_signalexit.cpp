// The program asked to end by the system (shut-down, kill, Ctrl+C, a closed terminal) while a
// user is logged on: it is started as a separate process on a test database, brought into a
// state, sent the signal, and must end by itself with status 0, the log-on row closed and
// nothing saved that the user had not saved.
#include "TestDatabase.h"

#include <QProcess>
#include <QtTest>

#include <csignal>

class TestSignalExit : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void exitsInOrder_data() {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("state");
        QTest::newRow("SIGTERM, main window") << SIGTERM << "main";
        QTest::newRow("SIGINT, main window") << SIGINT << "main";
        QTest::newRow("SIGHUP, main window") << SIGHUP << "main";
        QTest::newRow("SIGTERM, unsaved day-lock window") << SIGTERM << "edit";
        QTest::newRow("SIGTERM, question box open") << SIGTERM << "modal";
        QTest::newRow("SIGTERM, start-up warning open") << SIGTERM << "warning";
    }
    void exitsInOrder() {
        QFETCH(int, signal);
        QFETCH(QString, state);
        const QString path = testsupport::freshDatabaseFile(QStringLiteral("signal"));
        if (state == QLatin1String("warning"))  // a missing index makes the log-on warn ADMIN
            testsupport::open(path)->executeImmediate(QStringLiteral("DROP INDEX O_LOGON_START_TIME"));
        QProcess program;
        program.start(QStringLiteral(SIGNAL_CHILD), {path, state});
        QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
        QByteArray output;
        QTRY_VERIFY2_WITH_TIMEOUT((output += program.readAllStandardOutput()).contains("READY\n"),
                                  program.readAllStandardError().constData(), 120000);

        QCOMPARE(::kill(pid_t(program.processId()), signal), 0);
        const bool ended = program.waitForFinished(60000);
        const QByteArray errors = program.readAllStandardError();
        if (!ended) {
            program.kill();
            program.waitForFinished();
        }
        QVERIFY2(ended, "the program is still running after the signal");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QVERIFY2(program.exitCode() == 0, errors.constData());

        auto database = testsupport::open(path);
        const db::ResultSet logons = database->select(QStringLiteral("SELECT END_TIME, LOGOFF FROM O_LOGON"));
        QCOMPARE(logons.rowCount(), 1);
        QVERIFY(logons.value(0, QStringLiteral("END_TIME")).toDateTime().isValid());
        QCOMPARE(logons.value(0, QStringLiteral("LOGOFF")).toString(), QStringLiteral("OK"));
        // The day-lock window saves its number when it is closed; an exit on a signal does not
        // close it.
        QCOMPARE(database->scalar(QStringLiteral("SELECT BLOKDIENAS FROM N_ISI")).toInt(), 0);
    }
};

QTEST_MAIN(TestSignalExit)
#include "tst_signalexit.moc"
