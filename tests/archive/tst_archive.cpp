// The database archive on real databases: the engine's backup of a database that is open and in
// use, the ZIP file, the test restore that checks it, the archive window and the main window's
// archive timer.
#include "ArchiveFixture.h"
#include "Fetched.h"
#include "ModalHelper.h"
#include "TestDatabase.h"
#include "app/AutoArchive.h"
#include "app/Settings.h"
#include "app/TMainFormDati.h"
#include "app/TMolarixMain.h"
#include "archive/ArchiveError.h"
#include "archive/ArchiveNaming.h"
#include "archive/ArchiveSettings.h"
#include "archive/ArchiveWindows.h"
#include "archive/BackupOptions.h"
#include "archive/DatabaseArchiver.h"
#include "archive/TArhivesana.h"
#include "archive/TableCounts.h"
#include "archive/ZipFile.h"
#include "db/SchemaCheck.h"
#include "db/ServiceManager.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <ibase.h>

using namespace archive;

namespace {

const QString Made = QStringLiteral("Arhīva fails veiksmīgi izveidots !!!");
const QString NotMade = QStringLiteral("Arhīva fails nav izveidots !!!");

// A session logged on as ADMIN to a database the test keeps open.
std::unique_ptr<app::TMainFormDati> logOn(const QString& connectionString) {
    auto dati = std::make_unique<app::TMainFormDati>(testsupport::open(connectionString));
    const app::LogonResult r = dati->authenticate(QStringLiteral("ADMIN"), QString());
    if (!r.ok()) qFatal("log-on failed: %s", qPrintable(r.message));
    return dati;
}

QDateTime fixedNow() {
    return QDateTime(QDate(2012, 3, 5), QTime(10, 15));
}

}  // namespace

class TestArchive : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { archivetest::clinicTemplate(); }
    void init() { testsupport::isolateSettings(); }
    void cleanup() { app::SetAutoArchiveAction({}); }

    void nameFromDate_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("name");
        QTest::newRow("05.03.2012") << QDate(2012, 3, 5) << "20120305";
        QTest::newRow("31.12.1999") << QDate(1999, 12, 31) << "19991231";
    }
    void nameFromDate() {
        QFETCH(QDate, date);
        QFETCH(QString, name);
        QCOMPARE(NameFromDate(date), name);
    }

    // Only the directory of the location text is used; a text naming a directory is that one.
    void location_data() {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("zip");
        const QString dir = archivetest::freshDir(QStringLiteral("location"));
        QTest::newRow("file name in the directory is ignored")
            << dir + "/kopija.zip" << dir + "/20120305.zip";
        QTest::newRow("a file that does not exist yet") << dir + "/sub/x.zip" << dir + "/sub/20120305.zip";
        QTest::newRow("directory with a slash") << dir + "/" << dir + "/20120305.zip";
        QTest::newRow("existing directory without a slash") << dir << dir + "/20120305.zip";
    }
    void location() {
        QFETCH(QString, location);
        QFETCH(QString, zip);
        QCOMPARE(ZipPath(location, QStringLiteral("20120305")), zip);
    }

    void backupCommand_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<unsigned>("flags");
        QTest::addColumn<bool>("verbose");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("factor");
        QTest::addColumn<QString>("error");  // part of the error text, empty when understood
        QTest::newRow("default") << DefaultArhPrepare() << unsigned(isc_spb_bkp_no_garbage_collect) << true
                                 << "SYSDBA"
                                 << "pwlkjhgfd" << 0 << "";
        QTest::newRow("stored command of the older program")
            << "\"c:\\Program Files\\Firebird\\Firebird_2_5\\bin\\gbak.exe\" -g -v -USER SYSDBA -PAS "
               "pwlkjhgfd"
            << unsigned(isc_spb_bkp_no_garbage_collect) << true << "SYSDBA"
            << "pwlkjhgfd" << 0 << "";
        QTest::newRow("switches only, any case, long forms")
            << "-GARBAGE_COLLECT -Verbose -user ANNA -password \"slepens vards\" -ignore -limbo -NT"
            << unsigned(isc_spb_bkp_no_garbage_collect | isc_spb_bkp_ignore_checksums |
                        isc_spb_bkp_ignore_limbo | isc_spb_bkp_non_transportable)
            << true << "ANNA"
            << "slepens vards" << 0 << "";
        QTest::newRow("factor") << "gbak -fa 20 -t -b" << 0u << false << "SYSDBA"
                                << "pwlkjhgfd" << 20 << "";
        QTest::newRow("unknown switch") << "gbak -g -y log.txt" << 0u << false << ""
                                        << "" << 0 << "\"-y\"";
        QTest::newRow("too short to tell") << "gbak -i" << 0u << false << ""
                                           << "" << 0 << "\"-i\"";
        QTest::newRow("metadata only is no archive") << "gbak -m" << 0u << false << ""
                                                     << "" << 0 << "\"-m\"";
        QTest::newRow("user without a name") << "gbak -g -USER" << 0u << false << ""
                                             << "" << 0 << "trūkst vērtības";
        QTest::newRow("factor not a number") << "gbak -fa x" << 0u << false << ""
                                             << "" << 0 << "veselam skaitlim";
    }
    void backupCommand() {
        QFETCH(QString, command);
        QFETCH(QString, error);
        const BackupOptions o = ParseBackupCommand(command);
        if (!error.isEmpty()) {
            QVERIFY2(o.error.contains(error), qPrintable(o.error));
            return;
        }
        QVERIFY2(o.ok(), qPrintable(o.error));
        QCOMPARE(o.flags, FETCHED(unsigned, flags));
        QCOMPARE(o.verbose, FETCHED(bool, verbose));
        QCOMPARE(o.user, FETCHED(QString, user));
        QCOMPARE(o.password, FETCHED(QString, password));
        QCOMPARE(o.factor, FETCHED(int, factor));
    }

    // Rows written by other workstations while the backup runs are allowed for: the copy must
    // hold what the source held at some moment between the two counts.
    void compareCounts_data() {
        QTest::addColumn<qint64>("before");
        QTest::addColumn<qint64>("after");
        QTest::addColumn<qint64>("restored");
        QTest::addColumn<bool>("agree");
        QTest::newRow("same") << 10LL << 10LL << 10LL << true;
        QTest::newRow("row lost") << 10LL << 10LL << 9LL << false;
        QTest::newRow("row added during the backup, copy before") << 10LL << 11LL << 10LL << true;
        QTest::newRow("row added during the backup, copy after") << 10LL << 11LL << 11LL << true;
        QTest::newRow("rows deleted during the backup") << 10LL << 8LL << 9LL << true;
        QTest::newRow("outside both counts") << 10LL << 11LL << 12LL << false;
    }
    void compareCounts() {
        QFETCH(qint64, before);
        QFETCH(qint64, after);
        QFETCH(qint64, restored);
        QFETCH(bool, agree);
        const TableCounts b{{"N_KLIENTS", before}, {"O_LOGON", 3}};
        const TableCounts a{{"N_KLIENTS", after}, {"O_LOGON", 3}};
        const TableCounts r{{"N_KLIENTS", restored}, {"O_LOGON", 3}};
        QCOMPARE(CompareCounts(b, a, r).isEmpty(), agree);
        const TableCounts missing{{"N_KLIENTS", restored}};
        QVERIFY(!CompareCounts(b, a, missing).isEmpty());
    }

    // The archive of a database that this process holds open (and, through a server, another
    // connection too) restores to the same rows, and the restored database opens in the program.
    void archiveOfOpenDatabase_data() {
        QTest::addColumn<bool>("server");
        QTest::newRow("embedded, file held by this process") << false;
        QTest::newRow("on the server, streamed here") << true;
    }
    void archiveOfOpenDatabase() {
        QFETCH(bool, server);
        if (server && testsupport::serverPrefix().isEmpty()) QSKIP("no Firebird server (MOLARIX_FB_SERVER)");
        const QString file = archivetest::clinicCopy();
        const QString connection = (server ? testsupport::serverPrefix() : QString()) + file;
        auto held = testsupport::open(connection);
        // Work in progress on the held connection stays out of the archive; what was committed
        // is in it.
        held->exec(QStringLiteral("UPDATE N_KLIENTS SET ADRESE = 'arhīvā' WHERE ISN = 2"));
        held->commitRetaining();
        held->exec(QStringLiteral("DELETE FROM O_LOGON"));
        const TableCounts source = [&] {
            auto other = testsupport::open(connection);
            return CountRows(*other);
        }();
        QVERIFY(source.value(QStringLiteral("N_KLIENTS")) > 100);
        QVERIFY(source.value(QStringLiteral("O_LOGON")) > 0);

        ArchiveJob job;
        job.connectionString = connection;
        job.zipPath = archivetest::freshDir(QStringLiteral("zip")) + QStringLiteral("/20120305.zip");
        job.memberName = MemberName(QStringLiteral("20120305"));
        job.tempDir = archivetest::freshDir(QStringLiteral("tmp"));
        job.options = ParseBackupCommand(DefaultArhPrepare());
        QStringList lines;
        const ArchiveSummary made = MakeArchive(job, [&](const QString& l) { lines.append(l); });
        QCOMPARE(made.zipPath, job.zipPath);
        QCOMPARE(made.rows, TotalRows(source));
        QCOMPARE(made.tables, int(source.size()));
        // Verbose output of the engine reaches the progress (a server's backup streams without it).
        QVERIFY(lines.filter(QStringLiteral("gbak:")).size() > 10);
        QVERIFY(QDir(job.tempDir).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
        QCOMPARE(QDir(QFileInfo(job.zipPath).path()).entryList(QDir::Files), QStringList{"20120305.zip"});
        held->defaultTransaction().rollback();

        const QString restoredFile =
            archivetest::freshDir(QStringLiteral("restored")) + QStringLiteral("/r.fdb");
        const QString member = ExtractZip(job.zipPath, restoredFile + QStringLiteral(".cpy"));
        QCOMPARE(member, QStringLiteral("20120305.cpy"));
        QFile::remove(restoredFile + QStringLiteral(".cpy"));
        const ArchiveSummary restored = RestoreArchive(job.zipPath, restoredFile);
        QCOMPARE(restored.rows, TotalRows(source));
        auto copy = logOn(restoredFile);
        QCOMPARE(CountRows(copy->database()), [&] {
            TableCounts expected = source;
            expected[QStringLiteral("O_LOGON")] += 1;  // this log-on
            return expected;
        }());
        QCOMPARE(
            copy->database().scalar(QStringLiteral("SELECT ADRESE FROM N_KLIENTS WHERE ISN = 2")).toString(),
            QStringLiteral("arhīvā"));
        db::SchemaCheck check(copy->database());
        QVERIFY(check.schemaProblems().isEmpty());
    }

    // What the services report reaches the user; nothing is left behind.
    void serviceErrors_data() {
        QTest::addColumn<QString>("connection");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("reason");
        QTest::newRow("server refuses the user") << "server"
                                                 << "-g -user SYSDBA -pas nepareiza"
                                                 << "password";
        QTest::newRow("no such database on the server") << "server missing"
                                                        << "-g"
                                                        << "";
    }
    void serviceErrors() {
        QFETCH(QString, connection);
        QFETCH(QString, command);
        QFETCH(QString, reason);
        if (testsupport::serverPrefix().isEmpty()) QSKIP("no Firebird server (MOLARIX_FB_SERVER)");
        const QString file = connection.endsWith(QLatin1String("missing"))
                                 ? testsupport::scratchDir() + QStringLiteral("/nav-tadas.fdb")
                                 : archivetest::clinicCopy();
        ArchiveJob job;
        job.connectionString = testsupport::serverPrefix() + file;
        job.zipPath = archivetest::freshDir(QStringLiteral("zip")) + QStringLiteral("/a.zip");
        job.memberName = QStringLiteral("a.cpy");
        job.tempDir = archivetest::freshDir(QStringLiteral("tmp"));
        job.options = ParseBackupCommand(command);
        try {
            MakeArchive(job);
            QFAIL("the archive was made");
        } catch (const db::DbError& e) {
            QVERIFY2(e.message().contains(reason, Qt::CaseInsensitive), qPrintable(e.message()));
            QVERIFY(!e.message().isEmpty());
        }
        QVERIFY(!QFileInfo::exists(job.zipPath));
        QVERIFY(QDir(QFileInfo(job.zipPath).path()).entryList(QDir::Files).isEmpty());
        QVERIFY(QDir(job.tempDir).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    }

    // The window on 05.03.2012 with the name from the date: the archive of the open database is
    // dir/20120305.zip holding 20120305.cpy, whatever file name the location text names, and the
    // next automatic archive is due tomorrow at the set time.
    void windowArchivesUnderDateName() {
        const QString dir = archivetest::freshDir(QStringLiteral("window"));
        app::Settings::setString("Arhivs", "Katalogs", dir + "/kopija.zip");
        app::Settings::setValue("Arhivs", "VeidotNoDat", true);
        app::Settings::setInteger("Arhivs", "AutoArhivs", 1);
        app::Settings::setString("Arhivs", "AutoArhLaiks", "07:30");
        // An earlier archive of the same name is replaced.
        QFile older(dir + "/20120305.zip");
        QVERIFY(older.open(QIODevice::WriteOnly));
        older.write("vecais arhīvs");
        older.close();
        auto dati = logOn(archivetest::clinicCopy());
        TArhivesana window(*dati);
        window.setClock(fixedNow);
        window.show();
        QVERIFY(window.chkVeidotNoDat()->isChecked());
        QCOMPARE(window.edArhPrepare()->text(), DefaultArhPrepare());
        QVERIFY(window.rbVeikt()->isChecked());

        ModalHelper helper;
        QVERIFY(window.Arhivet());
        QCOMPARE(window.edFailaVards()->text(), QStringLiteral("20120305"));
        QCOMPARE(helper.messages, QStringList{Made});
        QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList{"20120305.zip"});
        const QString extracted = archivetest::freshDir(QStringLiteral("x")) + QStringLiteral("/m");
        QCOMPARE(ExtractZip(dir + "/20120305.zip", extracted), QStringLiteral("20120305.cpy"));
        QCOMPARE(ArchiveSettings::NextLaiks(), QDateTime(QDate(2012, 3, 6), QTime(7, 30)));
        QCOMPARE(app::Settings::string("Arhivs", "FailaVards"), QStringLiteral("20120305"));
    }

    // Refusals and failures: the message, no ZIP file, NextLaiks as it was.
    void windowFailures_data() {
        QTest::addColumn<QString>("location");  // "<dir>" is replaced by a fresh folder
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("time");
        QTest::addColumn<bool>("server");
        QTest::addColumn<QString>("message");  // the start of the message
        QTest::newRow("no location") << ""
                                     << "a"
                                     << ""
                                     << "12:00" << false << "Nav izvēlēts arhīva katalogs !!!";
        QTest::newRow("no name") << "<dir>/a.zip"
                                 << " "
                                 << ""
                                 << "12:00" << false << "Nav ievadīts arhīva faila vārds !!!";
        QTest::newRow("time that is no time") << "<dir>/a.zip"
                                              << "a"
                                              << ""
                                              << "25:00" << false << "Nekorekts laiks !!!";
        QTest::newRow("switch gbak does not know")
            << "<dir>/a.zip"
            << "a"
            << "gbak -g -q"
            << "12:00" << false << NotMade + "\n\nArhīva sagatavošanas rindā";
        QTest::newRow("directory that does not exist") << "<dir>/nav/a.zip"
                                                       << "a"
                                                       << ""
                                                       << "12:00" << false << NotMade + "\n\nArhīva katalogs";
        QTest::newRow("directory below a file") << "<dir>/fails.txt/a.zip"
                                                << "a"
                                                << ""
                                                << "12:00" << false << NotMade + "\n\nArhīva katalogs";
        QTest::newRow("unwritable system directory")
            << "/proc/a.zip"
            << "a"
            << ""
            << "12:00" << false << NotMade + "\n\nNevar izveidot ZIP failu";
        QTest::newRow("the server's services refuse the password")
            << "<dir>/a.zip"
            << "a"
            << "gbak -g -v -USER SYSDBA -PAS nepareiza"
            << "12:00" << true << NotMade + "\n\nYour user name and password are not defined";
    }
    void windowFailures() {
        QFETCH(QString, location);
        QFETCH(QString, name);
        QFETCH(QString, command);
        QFETCH(QString, time);
        QFETCH(bool, server);
        QFETCH(QString, message);
        if (server && testsupport::serverPrefix().isEmpty()) QSKIP("no Firebird server (MOLARIX_FB_SERVER)");
        const QString dir = archivetest::freshDir(QStringLiteral("fail"));
        location.replace(QLatin1String("<dir>"), dir);
        QFile marker(dir + "/fails.txt");
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.close();
        // An earlier archive of the same name outlives a failed one.
        QFile older(dir + "/a.zip");
        QVERIFY(older.open(QIODevice::WriteOnly));
        older.write("vecais arhīvs");
        older.close();
        const QDateTime next(QDate(2012, 3, 1), QTime(12, 0));
        ArchiveSettings::saveNextLaiks(next);

        auto dati = logOn((server ? testsupport::serverPrefix() : QString()) + archivetest::clinicCopy());
        TArhivesana window(*dati);
        window.setClock(fixedNow);
        window.edKatalogs()->setText(location);
        window.chkVeidotNoDat()->setChecked(false);
        window.edFailaVards()->setText(name);
        if (!command.isEmpty()) window.edArhPrepare()->setText(command);
        window.rbVeikt()->setChecked(true);
        window.edAutoArhLaiks()->setText(time);
        const QStringList shown = answering(QMessageBox::Ok, [&] { QVERIFY(!window.Arhivet()); });
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].startsWith(message), qPrintable(shown[0]));
        QCOMPARE(ArchiveSettings::NextLaiks(), next);
        QCOMPARE(QDir(dir).entryList(QDir::Files), (QStringList{"a.zip", "fails.txt"}));
        QVERIFY(older.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(older.readAll()), QStringLiteral("vecais arhīvs"));
    }

    // The main window's timer with NextLaiks unreadable: the archive runs at the first tick,
    // through the window's own action, and moves NextLaiks to tomorrow.
    void timerStartsArchive() {
        const QString dir = archivetest::freshDir(QStringLiteral("timer"));
        app::Settings::setString("Arhivs", "Katalogs", dir + "/x.zip");
        app::Settings::setString("Arhivs", "FailaVards", "auto");
        app::Settings::setInteger("Arhivs", "AutoArhivs", 1);
        app::Settings::setString("Arhivs", "AutoArhLaiks", "06:45");
        app::Settings::setString("Arhivs", "NextLaiks", "nav datums");
        auto dati = logOn(archivetest::clinicCopy());
        auto registry = std::make_unique<app::WindowRegistry>();
        archive::RegisterWindows(*registry, *dati);
        app::TMolarixMain main(*dati, std::move(registry));
        ModalHelper helper;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QVERIFY(main.archiveTimer()->isActive());
        QTRY_COMPARE_WITH_TIMEOUT(helper.messages, QStringList{Made}, 60000);
        QVERIFY(QFileInfo::exists(dir + "/auto.zip"));
        QCOMPARE(ArchiveSettings::NextLaiks(), QDateTime(QDate::currentDate().addDays(1), QTime(6, 45)));
        // The window was made for the timer and stays hidden.
        QWidget* window = main.registry().instance(app::WindowId::Archive);
        QVERIFY(window && !window->isVisible());
    }

    // A failing automatic archive says so once and is not tried again at every tick; NextLaiks
    // stays, so it is tried again later.
    void timerFailureNotRepeatedEverySecond() {
        const QString dir = archivetest::freshDir(QStringLiteral("timer-fail"));
        app::Settings::setString("Arhivs", "Katalogs", dir + "/nav/x.zip");
        app::Settings::setString("Arhivs", "FailaVards", "auto");
        app::Settings::setInteger("Arhivs", "AutoArhivs", 1);
        // Whole seconds, as the setting stores them (one clock reading, so no second boundary
        // falls between two readings).
        QDateTime due = QDateTime::currentDateTime().addSecs(-5);
        due.setTime(QTime(due.time().hour(), due.time().minute(), due.time().second()));
        ArchiveSettings::saveNextLaiks(due);
        auto dati = logOn(archivetest::clinicCopy());
        auto registry = std::make_unique<app::WindowRegistry>();
        archive::RegisterWindows(*registry, *dati);
        app::TMolarixMain main(*dati, std::move(registry));
        ModalHelper helper;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTRY_COMPARE_WITH_TIMEOUT(helper.messages.size(), 1, 60000);
        QVERIFY(helper.messages[0].startsWith(NotMade));
        QTest::qWait(3000);
        QCOMPARE(helper.messages.size(), 1);
        QCOMPARE(ArchiveSettings::NextLaiks(), due);
    }
};

QTEST_MAIN(TestArchive)
#include "tst_archive.moc"
