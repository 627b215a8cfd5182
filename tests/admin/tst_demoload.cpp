// molarix-admin demo-data: the demo clinic goes in whole through a server, and a load that is
// stopped, killed or fails never leaves the database weaker than it was.
#include "AdminRun.h"
#include "db/SchemaCheck.h"
#include "demo/DemoData.h"
#include "demo/DemoInstall.h"

#include <QElapsedTimer>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>

using admintest::admin;
using admintest::Run;

namespace {

QStringList schemaProblems(const QString& connectionString) {
    db::Database d;
    d.attach(connectionString);
    db::SchemaCheck check(d);
    QStringList texts;
    for (const db::SchemaProblem& p : check.schemaProblems()) texts.append(p.text);
    return texts;
}

// The database as a new one is: no patients or documents, and its whole structure.
void expectEmptyAndWhole(const QString& connectionString) {
    db::Database d;
    d.attach(connectionString);
    QCOMPARE(d.scalar("SELECT (SELECT COUNT(*) FROM N_KLIENTS WHERE ISN > 1) + (SELECT COUNT(*) FROM O_KONSULT_PIET_HD) + "
                      "(SELECT COUNT(*) FROM O_PAVOUT_HD) + (SELECT COUNT(*) FROM O_OPERACIJAS) FROM N_ISI").toInt(),
             0);
    db::SchemaCheck check(d);
    QCOMPARE(check.schemaProblems().size(), 0);
}

int patients(const QString& connectionString) {
    db::Database d;
    d.attach(connectionString);
    return d.scalar("SELECT COUNT(*) FROM N_KLIENTS WHERE ISN > 1").toInt();
}

// Starts a demo load, sends the signal once it has written its first table, and waits for the end.
Run interrupted(const QString& database, int sig) {
    QProcess p;
    p.start(QStringLiteral(MOLARIX_ADMIN), {"demo-data", database, "--scale", "demo"});
    QByteArray out;
    QElapsedTimer timer;
    timer.start();
    while (!out.contains("rindas") && p.state() != QProcess::NotRunning && timer.elapsed() < 300000) {
        p.waitForReadyRead(1000);
        out += p.readAllStandardOutput();
    }
    if (p.state() != QProcess::NotRunning) ::kill(pid_t(p.processId()), sig);
    p.waitForFinished(300000);
    Run r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(out + p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

}  // namespace

class TestDemoLoad : public QObject {
    Q_OBJECT
    QStringList m_files;

    QString newFile(const QString& tag) { return m_files.emplaceBack(testsupport::freshDatabaseFile(tag)); }

private Q_SLOTS:
    void cleanupTestCase() {
        for (const QString& f : m_files) {
            QFile::remove(f);
            QFile::remove(demo::DemoWorkFile(f));
        }
    }

    // Every parameter of the bulk statements, NULLs among them, arrives as bound through a server.
    void wholeClinicThroughTheServer() {
        if (testsupport::serverPrefix().isEmpty()) QSKIP("MOLARIX_FB_SERVER is not set");
        const QString path = testsupport::scratchDir() + "/demo-server-" + QUuid::createUuid().toString(QUuid::Id128).left(8) + ".fdb";
        m_files.append(path);
        const QString database = testsupport::serverPrefix() + path;
        Run r = admin({"create-db", database});
        QVERIFY2(r.code == 0, qPrintable(r.all()));
        r = admin({"demo-data", database, "--scale", "demo"});
        QVERIFY2(r.code == 0, qPrintable(r.all()));
        QCOMPARE(patients(database), demo::sizesFor(demo::Scale::Demo).patients);
        r = admin({"check-db", database});
        QVERIFY2(r.code == 0, qPrintable(r.all()));
        db::Database d;
        d.attach(database);
        // Users without a staff member keep no staff key (a NULL, not 0).
        QCOMPARE(d.scalar("SELECT COUNT(*) FROM N_USERS WHERE ISAGENTS IS NULL").toInt(), 3);
    }

    void stoppedLoad_data() {
        QTest::addColumn<int>("sig");
        QTest::addColumn<bool>("server");
        QTest::newRow("Ctrl+C, local file") << int(SIGINT) << false;
        QTest::newRow("SIGTERM, local file") << int(SIGTERM) << false;
        QTest::newRow("SIGHUP, local file") << int(SIGHUP) << false;
        QTest::newRow("SIGKILL, local file") << int(SIGKILL) << false;
        QTest::newRow("SIGHUP, server") << int(SIGHUP) << true;
        QTest::newRow("SIGKILL, server") << int(SIGKILL) << true;
    }
    void stoppedLoad() {
        QFETCH(int, sig);
        QFETCH(bool, server);
        if (server && testsupport::serverPrefix().isEmpty()) QSKIP("MOLARIX_FB_SERVER is not set");
        const QString path = newFile(QStringLiteral("stopped"));
        const QString database = (server ? testsupport::serverPrefix() : QString()) + path;
        const bool root = ::geteuid() == 0;
        if (!server && root) QCOMPARE(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
        const Run r = interrupted(database, sig);
        QVERIFY2(r.code != 0, qPrintable(r.all()));
        if (sig != SIGKILL) QVERIFY2(r.err.contains("pārtraukta"), qPrintable(r.all()));

        if (!server) {
            // The clinic's file never saw the load.
            expectEmptyAndWhole(path);
            if (QTest::currentTestFailed()) return;
            if (sig != SIGKILL) {
                QVERIFY2(r.err.contains("palika tāda, kāda bija"), qPrintable(r.err));
                QVERIFY(!QFile::exists(demo::DemoWorkFile(path)));
                return;
            }
            // The next run clears the killed run's copy and puts the whole clinic in its place,
            // keeping the file's owner and mode.
            const Run again = admin({"demo-data", path, "--scale", "demo"});
            QVERIFY2(again.code == 0, qPrintable(again.all()));
            QVERIFY(!QFile::exists(demo::DemoWorkFile(path)));
            QCOMPARE(patients(path), demo::sizesFor(demo::Scale::Demo).patients);
            QCOMPARE(schemaProblems(path), QStringList());
            struct stat st {};
            QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
            QCOMPARE(int(st.st_mode & 0777), 0666);
            if (root) QCOMPARE(int(st.st_uid), 65534);
            return;
        }
        if (sig != SIGKILL) {
            QCOMPARE(schemaProblems(database), QStringList());
            return;
        }
        // A killed process puts nothing back; check-db finds what it took away and restores it.
        QVERIFY(!schemaProblems(database).isEmpty());
        const Run repaired = admin({"check-db", database, "--repair"});
        QVERIFY2(repaired.out.section("Pēc labošanas:", 1).contains("Uzbūve: kārtībā"), qPrintable(repaired.all()));
        QCOMPARE(schemaProblems(database), QStringList());
    }

    void failedLoad_data() {
        QTest::addColumn<bool>("server");
        QTest::newRow("local file") << false;
        QTest::newRow("server") << true;
    }
    void failedLoad() {
        QFETCH(bool, server);
        if (server && testsupport::serverPrefix().isEmpty()) QSKIP("MOLARIX_FB_SERVER is not set");
        const QString path = newFile(QStringLiteral("failed"));
        const QString database = (server ? testsupport::serverPrefix() : QString()) + path;
        {
            // Payments come late in the load: by then every other table is filled.
            db::Database d;
            d.attach(database);
            d.executeImmediate("CREATE EXCEPTION T_PAYMENTS_REFUSED 'payments refused here'");
            d.executeImmediate("CREATE TRIGGER T_REFUSE FOR O_APMAKS_HD BEFORE INSERT AS BEGIN EXCEPTION T_PAYMENTS_REFUSED; END");
        }
        const Run r = admin({"demo-data", database, "--scale", "demo"});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("payments refused here"), qPrintable(r.err));
        if (server) {
            QCOMPARE(schemaProblems(database), QStringList());
        } else {
            expectEmptyAndWhole(path);
            QVERIFY(!QFile::exists(demo::DemoWorkFile(path)));
        }
    }

    // A key that the loaded rows break cannot come back; every other one still does, and the
    // error names each that did not.
    void everyObjectThatCanBeIsPutBack() {
        auto d = testsupport::open(newFile(QStringLiteral("restore")));
        d->executeImmediate(
            "CREATE TRIGGER T_ORPHAN FOR O_LOGON AFTER INSERT AS BEGIN "
            "IF (NOT EXISTS (SELECT 1 FROM O_APMAKS_DT WHERE ISAPMAKSHD = -5)) THEN "
            "INSERT INTO O_APMAKS_DT (ISAPMAKSHD, ISPAVOUTHD, SUMMA) VALUES (-5, -5, 0); END");
        try {
            demo::DemoDataGenerator(*d, demo::Scale::Demo, 5, QDate(2026, 12, 6)).run();
            QFAIL("a key the rows break was reported restored");
        } catch (const db::DbError& e) {
            QVERIFY2(e.message().contains("FK_O_APMAKS_DT_ISAPMAKSHD") && e.message().contains("FK_O_APMAKS_DT_ISPAVOUTHD"),
                     qPrintable(e.message()));
        }
        db::SchemaCheck check(*d);
        QStringList missing;
        for (const db::SchemaProblem& p : check.schemaProblems()) missing.append(p.name);
        QCOMPARE(missing, (QStringList{"FK_O_APMAKS_DT_ISAPMAKSHD", "FK_O_APMAKS_DT_ISPAVOUTHD"}));
    }
};

QTEST_GUILESS_MAIN(TestDemoLoad)
#include "tst_demoload.moc"
