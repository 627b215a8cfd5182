// Log-on: the data module against real databases, the workstation's database list, and the
// log-in dialog driven as a user would drive it.
#include "TestDatabase.h"
#include "db/ClinicDatabase.h"
#include "app/DatabaseList.h"
#include "app/PasswordDigest.h"
#include "app/Settings.h"
#include "app/SharedProcedures.h"
#include "app/StartupChecks.h"
#include "app/TMainFormDati.h"
#include "app/TPasswordDlg.h"
#include "app/UserNameCodec.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

using namespace app;
using Outcome = LogonResult::Outcome;
using Field = LogonResult::Field;

namespace {

const QString WrongPassword = QStringLiteral("Nav ievadīta pareiza parole !!!");
const QString UnknownUser = QStringLiteral("Šāds lietotājs nav reģistrēts sistēmā !!!");
const QString CannotOpen = QStringLiteral("Nevaru atvērt datu bāzi !!!");

// A database file (not attached) holding the default rows and the given users (name -> PASWORD).
QString databaseWithUsers(const QList<QPair<QString, QVariant>>& users) {
    const QString path = testsupport::freshDatabaseFile(QStringLiteral("logon"));
    auto d = testsupport::open(path);
    EnsureDefaultRows(d->defaultTransaction());
    for (const auto& [name, password] : users)
        d->exec("INSERT INTO N_USERS (GNOS, PASWORD, IESPEJAS, ISUSERGROUP) VALUES (:G, :P, '00_TTFF', 1)",
                {{"G", EncodeUserName(name)}, {"P", password}});
    d->commitRetaining();
    return path;
}

void setDatabases(const QList<QPair<QString, QString>>& entries) {
    Settings::removeSection(QStringLiteral("Bazes"));
    for (const auto& [name, conn] : entries) Settings::setString(QStringLiteral("Bazes"), name, conn);
}

// Types text the way a keyboard would, one key press per character (also for letters that
// QTest::keyClicks cannot map to a key, such as ā).
void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_A, QString(c), Qt::NoModifier);
}

// True when the process has the file open (Linux /proc).
bool processHoldsFile(qint64 pid, const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget() == canonical) return true;
    return false;
}

// The dialog with its two message boxes answered by the test.
class Dialog : public TPasswordDlg {
public:
    using TPasswordDlg::TPasswordDlg;
    bool answerCreate = false;
    QStringList asked;
    QStringList errors;

protected:
    bool confirmCreateDatabase(const QString& path) override {
        asked.append(path);
        return answerCreate;
    }
    void showDatabaseError(const QString& text) override { errors.append(text); }
};

}  // namespace

class TestLogon : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        testsupport::isolateSettings();
    }

    void firstAdminLogon() {
        TMainFormDati dati(testsupport::freshDatabase(QStringLiteral("first")));
        QCOMPARE(dati.database().scalar("SELECT COUNT(*) FROM N_USERS").toInt(), 0);
        QVERIFY(dati.authenticate(QStringLiteral("ADMIN"), QStringLiteral("jebkas")).ok());
        QCOMPARE(dati.UserName(), QStringLiteral("ADMIN"));
        QVERIFY(dati.UserIsn() > 0);
        QCOMPARE(dati.UserRights(), QString());
        QCOMPARE(dati.DefaultVatRate(), 21);
        QVERIFY(dati.database().scalar("SELECT GNOS FROM N_USERGROUP WHERE ISN=1").isValid());
        QVERIFY(dati.database().scalar("SELECT ISN FROM N_VEIDI WHERE ISN=1").isValid());
        const db::ResultSet admin = dati.database().select("SELECT GNOS, PASWORD, ISUSERGROUP FROM N_USERS");
        QCOMPARE(admin.rowCount(), 1);
        QCOMPARE(admin.value(0, "GNOS").toByteArray(), EncodeUserName(QStringLiteral("ADMIN")));
        QVERIFY(!admin.value(0, "PASWORD").isValid());
        QCOMPARE(admin.value(0, "ISUSERGROUP").toInt(), 1);

        const int firstLogon = dati.LogonIsn();
        QVERIFY(firstLogon > 0);
        // Second log-on: the same user, any password, no second user, a second log-on row.
        QVERIFY(dati.authenticate(QStringLiteral("ADMIN"), QStringLiteral("cita")).ok());
        QCOMPARE(dati.database().scalar("SELECT COUNT(*) FROM N_USERS").toInt(), 1);
        QVERIFY(dati.LogonIsn() > firstLogon);

        const db::ResultSet logon = dati.database().select(
            "SELECT ISUSER, START_TIME, END_TIME, LOGOFF FROM O_LOGON WHERE ISN=:I", {{"I", dati.LogonIsn()}});
        QCOMPARE(logon.value(0, "ISUSER").toInt(), dati.UserIsn());
        QVERIFY(qAbs(logon.value(0, "START_TIME").toDateTime().secsTo(QDateTime::currentDateTime())) < 60);
        QVERIFY(!logon.value(0, "END_TIME").isValid());
        QVERIFY(!logon.value(0, "LOGOFF").isValid());

        // Journal rows carry the logged-on user.
        dati.writeJournal(QStringLiteral("J"), QString(), QStringLiteral("N_KLIENTS"), 5);
        QCOMPARE(dati.database().scalar("SELECT ISUSER FROM O_OPERACIJAS WHERE ISN_BAZE=5").toInt(), dati.UserIsn());

        dati.endLogon();
        const db::ResultSet closed = dati.database().select("SELECT END_TIME, LOGOFF FROM O_LOGON WHERE ISN=:I",
                                                            {{"I", dati.LogonIsn()}});
        QVERIFY(closed.value(0, "END_TIME").toDateTime().isValid());
        QCOMPARE(closed.value(0, "LOGOFF").toString(), QStringLiteral("OK"));
        // The first log-on row stays open: only the current one is closed.
        QVERIFY(!dati.database().scalar("SELECT LOGOFF FROM O_LOGON WHERE ISN=:I", {{"I", firstLogon}}).isValid());
    }

    void passwords_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        const QString digest = MakePasswordDigest(QStringLiteral("Zobs2024"));
        QTest::newRow("right") << QVariant(digest) << "Zobs2024" << true;
        QTest::newRow("case differs") << QVariant(digest) << "zobs2024" << false;
        QTest::newRow("empty typed") << QVariant(digest) << "" << false;
        QTest::newRow("NULL stored") << QVariant() << "jebkas" << true;
        QTest::newRow("empty stored") << QVariant("") << "jebkas" << true;
        QTest::newRow("no colon") << QVariant("parole") << "jebkas" << true;
        QTest::newRow("digest of the empty password") << QVariant(MakePasswordDigest(QString())) << "" << true;
        QTest::newRow("empty password, something typed") << QVariant(MakePasswordDigest(QString())) << "x" << false;
    }
    void passwords() {
        QFETCH(QVariant, stored);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        TMainFormDati dati;
        const QString path = databaseWithUsers({{QStringLiteral("DAKTERE"), stored}});
        const LogonResult r = dati.logOn({QStringLiteral("Klīnika"), path, QStringLiteral("DAKTERE"), typed});
        QCOMPARE(r.ok(), accepted);
        QCOMPARE(dati.isLoggedOn(), accepted);
        if (accepted) {
            QCOMPARE(dati.UserName(), QStringLiteral("DAKTERE"));
            QCOMPARE(dati.UserRights(), QStringLiteral("00_TTFF"));
            QCOMPARE(dati.databaseName(), QStringLiteral("Klīnika"));
        } else {
            QCOMPARE(r.message, WrongPassword);
            QCOMPARE(r.focus, Field::Password);
            QVERIFY(!r.inMessageBox);
            QVERIFY(!dati.isConnected());  // nobody works on a connection without a log-on
        }
    }

    void refusals_data() {
        QTest::addColumn<QString>("databaseName");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("focus");
        QTest::newRow("no database") << "" << "DAKTERE" << "Nav izvēlēts datu bāzes vārds !!!" << int(Field::Database);
        QTest::newRow("no user name") << "Klīnika" << "" << "Ievadiet korektu lietotāja vārdu !!!" << int(Field::UserName);
        QTest::newRow("blank user name") << "Klīnika" << "  " << "Ievadiet korektu lietotāja vārdu !!!"
                                         << int(Field::UserName);
        QTest::newRow("unknown user") << "Klīnika" << "NEZINĀMS" << UnknownUser << int(Field::UserName);
        // Once users exist, ADMIN is not created for whoever types the name.
        QTest::newRow("ADMIN after users exist") << "Klīnika" << "ADMIN" << UnknownUser << int(Field::UserName);
    }
    void refusals() {
        QFETCH(QString, databaseName);
        QFETCH(QString, user);
        QFETCH(QString, message);
        QFETCH(int, focus);
        const QString path = databaseWithUsers({{QStringLiteral("DAKTERE"), QVariant()}});
        TMainFormDati dati;
        const LogonResult r = dati.logOn({databaseName, path, user, QString()});
        QCOMPARE(r.outcome, Outcome::Refused);
        QCOMPARE(r.message, message);
        QCOMPARE(int(r.focus), focus);
        QVERIFY(!dati.isConnected());
        auto d = testsupport::open(path);
        QCOMPARE(d->scalar("SELECT COUNT(*) FROM N_USERS").toInt(), 1);
        QCOMPARE(d->scalar("SELECT COUNT(*) FROM O_LOGON").toInt(), 0);
    }

    void vatRateFromClinic() {
        auto d = testsupport::freshDatabase(QStringLiteral("vat"));
        d->exec("UPDATE N_ISI SET PVN_LIKME=12");
        d->commitRetaining();
        TMainFormDati dati(std::move(d));
        QVERIFY(dati.authenticate(QStringLiteral("ADMIN"), QString()).ok());
        QCOMPARE(dati.DefaultVatRate(), 12);
    }

    void missingDatabase() {
        const QString path = testsupport::scratchDir() + QStringLiteral("/new-clinic/") +
                             QUuid::createUuid().toString(QUuid::Id128) + QStringLiteral("/ODONTA.FDB");
        TMainFormDati dati;
        const LogonRequest request{QStringLiteral("Jaunā"), path, QStringLiteral("ADMIN"), QString()};
        LogonResult r = dati.logOn(request);
        QCOMPARE(r.outcome, Outcome::DatabaseMissing);
        QVERIFY(r.inMessageBox);
        QVERIFY2(r.message.startsWith(CannotOpen + u'\n'), qPrintable(r.message));
        QVERIFY2(r.message.contains(path), qPrintable(r.message));
        QVERIFY(!QFile::exists(path));

        db::CreateClinicDatabase(path);
        r = dati.logOn(request);
        QVERIFY(r.ok());
        QCOMPARE(dati.database().scalar("SELECT COUNT(*) FROM N_USERS").toInt(), 1);
    }

    void serverThatIsNotThere() {
        TMainFormDati dati;
        const LogonResult r = dati.logOn({QStringLiteral("Serveris"), QStringLiteral("127.0.0.1/1:/nekur/x.fdb"),
                                          QStringLiteral("ADMIN"), QString()});
        QCOMPARE(r.outcome, Outcome::Refused);  // not a local file: nothing to offer to create
        QVERIFY(r.inMessageBox);
        QVERIFY(r.message.startsWith(CannotOpen + u'\n'));
        QVERIFY(r.message.size() > CannotOpen.size() + 5);
    }

    void databaseHeldByAnotherProgram() {
        const QString path = databaseWithUsers({});
        QProcess holder;
        holder.start(QStringLiteral("isql-fb"), {QStringLiteral("-q"), QStringLiteral("-user"), QStringLiteral("SYSDBA"), path});
        if (!holder.waitForStarted(10000)) QSKIP("isql-fb is not installed");
        QTRY_VERIFY_WITH_TIMEOUT(processHoldsFile(holder.processId(), path), 20000);
        TMainFormDati dati;
        const LogonResult r = dati.logOn({QStringLiteral("Klīnika"), path, QStringLiteral("ADMIN"), QString()});
        holder.closeWriteChannel();
        holder.waitForFinished(10000);
        QCOMPARE(r.outcome, Outcome::Refused);
        QVERIFY(r.inMessageBox);
        QCOMPARE(r.focus, Field::Database);
        QVERIFY2(r.message.startsWith(CannotOpen + u'\n'), qPrintable(r.message));
        QVERIFY2(r.message.contains(QStringLiteral("cita programma")), qPrintable(r.message));
    }

    void databaseList() {
        // Stored in an order unlike the display order; each name keeps its own connection string.
        setDatabases({{"Zaļā klīnika", "/data/zala.fdb"},
                      {"arhīvs", "/data/arhivs.fdb"},
                      {"Ābeļu iela", "server:/db/abele.fdb"},
                      {"Bērzi", "server/3051:/db/berzi.fdb"}});
        const DatabaseList list = DatabaseList::load();
        QCOMPARE(list.names(), (QStringList{"Ābeļu iela", "arhīvs", "Bērzi", "Zaļā klīnika"}));
        QCOMPARE(list.entries()[0].connectionString, QStringLiteral("server:/db/abele.fdb"));
        QCOMPARE(list.entries()[1].connectionString, QStringLiteral("/data/arhivs.fdb"));
        QCOMPARE(list.entries()[2].connectionString, QStringLiteral("server/3051:/db/berzi.fdb"));
        QCOMPARE(list.entries()[3].connectionString, QStringLiteral("/data/zala.fdb"));
    }

    void defaultDatabaseEntry() {
        QVERIFY(!Settings::hasSection(QStringLiteral("Bazes")));
        const DatabaseList list = DatabaseList::load();
        QCOMPARE(list.size(), 1);
        QCOMPARE(list.entries()[0].name, QStringLiteral("GALVENĀ DATU BĀZE"));
        QVERIFY(list.entries()[0].connectionString.endsWith(QStringLiteral("/ZALTERS/MOLARIX/ODONTA.FDB")));
        QCOMPARE(Settings::names(QStringLiteral("Bazes")), QStringList{"GALVENĀ DATU BĀZE"});
        QCOMPARE(list.initialIndex(), 0);
        QCOMPARE(DatabaseList::lastUser(), QStringLiteral("ADMIN"));
    }

    void lastDatabaseIndex_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("selected");
        QTest::newRow("missing") << QVariant() << 0;
        QTest::newRow("second") << QVariant(1) << 1;
        QTest::newRow("last") << QVariant(2) << 2;
        QTest::newRow("negative") << QVariant(-1) << 0;
        QTest::newRow("beyond the end") << QVariant(3) << 0;
        QTest::newRow("not a number") << QVariant("x") << 0;
    }
    void lastDatabaseIndex() {
        QFETCH(QVariant, stored);
        QFETCH(int, selected);
        setDatabases({{"A", "/a.fdb"}, {"B", "/b.fdb"}, {"C", "/c.fdb"}});
        Settings::setString(QStringLiteral("Password"), QStringLiteral("LastUser"), QStringLiteral("DAKTERE"));
        if (stored.isValid()) Settings::setValue(QStringLiteral("Password"), QStringLiteral("LastDBIndex"), stored);
        QCOMPARE(DatabaseList::load().initialIndex(), selected);
        TMainFormDati dati;
        TPasswordDlg dialog(dati);
        QCOMPARE(dialog.cbDatuBaze()->currentIndex(), selected);
        QCOMPARE(dialog.edLietotajs()->text(), QStringLiteral("DAKTERE"));
    }

    void dateFormatCheck() {
        QVERIFY(!DateFormatProblem());
        Settings::setString(QStringLiteral("International"), QStringLiteral("sShortDate"), QStringLiteral("dd.MM.yyyy"));
        QVERIFY(!DateFormatProblem());
        Settings::setString(QStringLiteral("International"), QStringLiteral("sShortDate"), QStringLiteral("M/d/yyyy"));
        QCOMPARE(DateFormatProblem().value_or(QString()),
                 QStringLiteral("Datumam jābūt formātā dd.MM.yyyy.\nTo iestāda Control panel -> Regional settings -> Date"));
    }

    // ---- The dialog, driven with keys and clicks -----------------------------------------------

    void dialogRefusesThenLogsOn() {
        const QString secret = MakePasswordDigest(QStringLiteral("Slepens"));
        const QString path = databaseWithUsers({{QStringLiteral("DAKTERE"), secret}});
        setDatabases({{"Arhīvs", "/nav/arhivs.fdb"}, {"Klīnika", path}});
        TMainFormDati dati;
        Dialog dialog(dati);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Paroles ievads"));
        dialog.cbDatuBaze()->setCurrentIndex(1);
        QCOMPARE(dialog.selectedConnectionString(), path);

        // Unknown user; the name field turns typing into upper case.
        dialog.edLietotajs()->clear();
        typeText(dialog.edLietotajs(), QStringLiteral("nezināms"));
        QCOMPARE(dialog.edLietotajs()->text(), QStringLiteral("NEZINĀMS"));
        QTest::mouseClick(dialog.btOK(), Qt::LeftButton);
        QCOMPARE(dialog.statusText(), UnknownUser);
        QCOMPARE(dialog.focusWidget(), dialog.edLietotajs());
        QVERIFY(dialog.isVisible());

        // Wrong password: the password is compared exactly as typed.
        dialog.edLietotajs()->clear();
        QTest::keyClicks(dialog.edLietotajs(), QStringLiteral("daktere"));
        QTest::keyClicks(dialog.edParole(), QStringLiteral("slepens"));
        QCOMPARE(dialog.edParole()->echoMode(), QLineEdit::Password);
        QTest::keyClick(dialog.edParole(), Qt::Key_Return);
        QCOMPARE(dialog.statusText(), WrongPassword);
        QCOMPARE(dialog.focusWidget(), dialog.edParole());
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.isLoggedIn());

        // Right password.
        dialog.edParole()->clear();
        QTest::keyClicks(dialog.edParole(), QStringLiteral("Slepens"));
        QTest::mouseClick(dialog.btOK(), Qt::LeftButton);
        QCOMPARE(dialog.statusText(), QString());
        QVERIFY(dialog.isLoggedIn());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QVERIFY(dati.isLoggedOn());
        QCOMPARE(dati.UserName(), QStringLiteral("DAKTERE"));
        QCOMPARE(Settings::string("Password", "LastUser"), QStringLiteral("DAKTERE"));
        QCOMPARE(Settings::integer("Password", "LastDBIndex", -1), 1);
        QVERIFY(dialog.errors.isEmpty());
    }

    void dialogCancel() {
        const QString path = databaseWithUsers({{QStringLiteral("DAKTERE"), MakePasswordDigest("x")}});
        setDatabases({{"Klīnika", path}, {"Otra", "/nav/otra.fdb"}});
        Settings::setInteger(QStringLiteral("Password"), QStringLiteral("LastDBIndex"), 0);
        TMainFormDati dati;
        Dialog dialog(dati);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // A failed attempt first: cancelling afterwards must not leave a usable connection.
        dialog.edLietotajs()->setText(QStringLiteral("DAKTERE"));
        QTest::keyClicks(dialog.edParole(), QStringLiteral("nepareizi"));
        QTest::mouseClick(dialog.btOK(), Qt::LeftButton);
        QCOMPARE(dialog.statusText(), WrongPassword);
        dialog.cbDatuBaze()->setCurrentIndex(1);
        QTest::mouseClick(dialog.btAtlikt(), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dati.isConnected());
        QVERIFY(!dati.isLoggedOn());
        QCOMPARE(Settings::integer("Password", "LastDBIndex", -1), 1);  // the choice is remembered
        QCOMPARE(Settings::string("Password", "LastUser"), QString());  // nobody logged on
    }

    void dialogCreatesNewClinicDatabase_data() {
        QTest::addColumn<bool>("create");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void dialogCreatesNewClinicDatabase() {
        QFETCH(bool, create);
        const QString path = testsupport::scratchDir() + QStringLiteral("/new-") +
                             QUuid::createUuid().toString(QUuid::Id128).left(8) + QStringLiteral("/ODONTA.FDB");
        setDatabases({{"GALVENĀ DATU BĀZE", path}});
        TMainFormDati dati;
        Dialog dialog(dati);
        dialog.answerCreate = create;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.edLietotajs()->text(), QStringLiteral("ADMIN"));
        QTest::mouseClick(dialog.btOK(), Qt::LeftButton);
        QCOMPARE(dialog.asked, QStringList{path});
        QCOMPARE(dialog.isLoggedIn(), create);
        QCOMPARE(QFile::exists(path), create);
        if (create) {
            QVERIFY(dialog.errors.isEmpty());
            QCOMPARE(dati.UserName(), QStringLiteral("ADMIN"));
        } else {
            QCOMPARE(dialog.errors.size(), 1);
            QVERIFY(dialog.errors[0].startsWith(CannotOpen));
            QCOMPARE(dialog.focusWidget(), dialog.cbDatuBaze());
            QVERIFY(dialog.isVisible());
        }
    }

    // ---- molarix-admin ---------------------------------------------------------------------------

    void adminSetPasswordAndUsers() {
        const QString path = databaseWithUsers({{QStringLiteral("DAKTERE"), QVariant()}, {QStringLiteral("ĀRSTS"), QVariant()}});
        auto run = [&](const QStringList& args, const QByteArray& input = {}) {
            QProcess p;
            p.start(QStringLiteral(MOLARIX_ADMIN), args);
            p.write(input);
            p.closeWriteChannel();
            p.waitForFinished(60000);
            return std::make_tuple(p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                                   QString::fromUtf8(p.readAllStandardError()));
        };
        auto [code, out, err] = run({"set-password", path, "daktere", "--password-stdin"}, "Jauna Parole\n");
        QVERIFY2(code == 0, qPrintable(err));
        std::tie(code, out, err) = run({"set-password", path, "NEZINĀMS", "--password-stdin"}, "x\n");
        QCOMPARE(code, 1);
        QVERIFY2(err.contains("NEZINĀMS"), qPrintable(err));
        // A clinic that has lost its ADMIN gets it back from the command line only.
        std::tie(code, out, err) = run({"set-password", path, "ADMIN", "--password-stdin"}, "Admins1\n");
        QVERIFY2(code == 0, qPrintable(err));
        std::tie(code, out, err) = run({"users", path});
        QVERIFY2(code == 0, qPrintable(err));
        const QStringList names = out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(names.size(), 3);
        QVERIFY(out.contains("DAKTERE"));
        QVERIFY(out.contains("ĀRSTS"));
        QVERIFY(out.contains("ADMIN"));

        TMainFormDati dati;
        QCOMPARE(dati.logOn({"K", path, "DAKTERE", "Jauna Parole"}).ok(), true);
        QCOMPARE(dati.logOn({"K", path, "DAKTERE", ""}).message, WrongPassword);
        QCOMPARE(dati.logOn({"K", path, "ADMIN", "Admins1"}).ok(), true);
        dati.database().detach();
    }
};

QObject* makeTestLogon() { return new TestLogon; }

#include "tst_logon.moc"
