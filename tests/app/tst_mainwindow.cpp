// The main window, the users-and-rights, day-lock and system-settings windows, driven offscreen
// as a user would drive them, on real databases.
#include "ModalHelper.h"
#include "TestDatabase.h"
#include "molarix/Composition.h"
#include "app/AutoArchive.h"
#include "app/PasswordDigest.h"
#include "app/Rights.h"
#include "app/Settings.h"
#include "app/SharedProcedures.h"
#include "app/TAtlautasDienas.h"
#include "app/TLietotajuTiesibas.h"
#include "app/TMainFormDati.h"
#include "app/Startup.h"
#include "app/TMolarixMain.h"
#include "app/TPasswordDlg.h"
#include "app/TSistemasIestatijumi.h"
#include "app/TStartForm.h"
#include "app/UserNameCodec.h"
#include "app/UserRightsStore.h"
#include "app/WindowRegistry.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScreen>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace app;

namespace {

const QList<WindowId> AllWindows{
    WindowId::PatientList, WindowId::PatientGroups, WindowId::PriceList,     WindowId::Specialists,
    WindowId::Rooms,       WindowId::Districts,     WindowId::NameDays,      WindowId::ConsultationTypes,
    WindowId::Banks,       WindowId::UserGroups,    WindowId::Calendar,      WindowId::Consultations,
    WindowId::Invoices,    WindowId::Payments,      WindowId::SystemSettings, WindowId::UsersAndRights,
    WindowId::Archive,     WindowId::DayLocks,      WindowId::MassMessages};
const QList<WindowId> Ungated{WindowId::Invoices, WindowId::Payments, WindowId::MassMessages};

// A window standing in for those that other subsystems make, so that every entry has a factory.
std::unique_ptr<WindowRegistry> standIns() {
    auto registry = std::make_unique<WindowRegistry>();
    for (WindowId id : AllWindows)
        registry->add(id, [](app::Session&, QWidget* main) -> QWidget* { return new QWidget(main, Qt::Window); });
    return registry;
}

// Runs `action` and answers every message box it opens with `button`; returns their texts.
QStringList withMessageBoxes(const std::function<void()>& action, QMessageBox::StandardButton button = QMessageBox::Ok) {
    return answering(button, action);
}

// A logged-on session on a fresh database: ADMIN, or a user made with the given rights.
struct LoggedOn {
    std::unique_ptr<TMainFormDati> dati;
    QString path;
};

LoggedOn logOn(const QString& user = QStringLiteral("ADMIN"), const QString& rights = QString()) {
    LoggedOn s;
    s.path = testsupport::freshDatabaseFile(QStringLiteral("main"));
    if (user != QLatin1String("ADMIN")) {
        auto d = testsupport::open(s.path);
        UserRightsStore store(*d);
        const int isn = store.addUser(1, user, 1, QString(), QString()).isn;
        store.setRights(isn, rights);
    }
    s.dati = std::make_unique<TMainFormDati>(testsupport::open(s.path));
    const LogonResult r = s.dati->authenticate(user, QString());
    if (!r.ok()) qFatal("log-on failed: %s", qPrintable(r.message));
    return s;
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { testsupport::isolateSettings(); }

    // Runs before any stand-in is registered: entries of windows nobody made are disabled.
    void entriesWithoutWindowsAreDisabled() {
        LoggedOn s = logOn();
        TMolarixMain main(*s.dati, std::make_unique<WindowRegistry>());
        QVERIFY(main.isReady());
        QVERIFY(!main.registry().has(WindowId::Calendar));
        QVERIFY(!main.menuAction(WindowId::Calendar)->isEnabled());
        QVERIFY(!main.toolAction(WindowId::Calendar)->isEnabled());
        QVERIFY(!main.menuAction(WindowId::Invoices)->isEnabled());
        QVERIFY(main.quitAction()->isEnabled());
        main.menuAction(WindowId::Calendar)->trigger();  // disabled: nothing happens
        QCOMPARE(main.registry().instance(WindowId::Calendar), nullptr);
    }

    void captionAndHighlight() {
        LoggedOn s = logOn();
        s.dati->setHighlightColor(Qt::white);
        TMolarixMain main(*s.dati, standIns());
        QVERIFY(main.windowTitle().startsWith(QStringLiteral("Molarix ver ")));
        QVERIFY(main.windowTitle().contains(QStringLiteral("     Lietotājs : ADMIN     Datu bāze: ")));
        QCOMPARE(s.dati->HighlightColor(), QColor(0xC0, 0xDC, 0xC0));
        QCOMPARE(main.pos(), QPoint(0, 0));
    }

    void menuEnabling_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("rights");
        QTest::addColumn<QList<int>>("enabledGated");
        QList<int> all;
        for (WindowId id : AllWindows)
            if (!Ungated.contains(id)) all.append(int(id));
        QTest::newRow("ADMIN with an empty string") << "ADMIN" << "" << all;
        QTest::newRow("00_TFFF11_FTTT") << "ANNA" << "00_TFFF11_FTTT" << QList<int>{int(WindowId::PatientList)};
        QTest::newRow("no rights") << "ANNA" << "" << QList<int>{};
        QTest::newRow("service functions")
            << "ANNA" << "13_TFFF15_TTTT12_FTTT10_TFFF"
            << QList<int>{int(WindowId::UsersAndRights), int(WindowId::DayLocks), int(WindowId::Calendar)};
    }
    void menuEnabling() {
        QFETCH(QString, user);
        QFETCH(QString, rights);
        QFETCH(QList<int>, enabledGated);
        LoggedOn s = logOn(user, rights);
        TMolarixMain main(*s.dati, standIns());
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        for (WindowId id : AllWindows) {
            const bool expected = Ungated.contains(id) || enabledGated.contains(int(id));
            QVERIFY2(main.menuAction(id)->isEnabled() == expected, qPrintable(main.menuAction(id)->text()));
            if (QAction* tool = main.toolAction(id)) QCOMPARE(tool->isEnabled(), expected);
        }
        QVERIFY(main.toolAction(WindowId::PatientList));
        QVERIFY(main.toolAction(WindowId::Calendar));
        QVERIFY(main.toolAction(WindowId::Consultations));
        QVERIFY(main.quitAction()->isEnabled());
    }

    void choosingAnEntryTwiceShowsTheSameWindow() {
        LoggedOn s = logOn();
        TMolarixMain main(*s.dati, standIns());
        main.show();
        main.menuAction(WindowId::Banks)->trigger();
        QWidget* first = main.registry().instance(WindowId::Banks);
        QVERIFY(first && first->isVisible());
        first->hide();
        main.menuAction(WindowId::Banks)->trigger();
        QCOMPARE(main.registry().instance(WindowId::Banks), first);
        QVERIFY(first->isVisible());
        main.toolAction(WindowId::PatientList)->trigger();
        QVERIFY(main.registry().instance(WindowId::PatientList)->isVisible());
    }

    // The main window is a whole window: its bars, a middle, a status bar with the user, the
    // database and the day locks; a disabled entry says why.
    void aProperMainWindow() {
        LoggedOn s = logOn(QStringLiteral("LIETA"), QStringLiteral("00_TFFF"));
        s.dati->database().exec("UPDATE N_ISI SET BLOKDIENAS=3");
        s.dati->database().commitRetaining();
        auto registry = standIns();
        TMolarixMain main(*s.dati, std::move(registry));
        QVERIFY(main.centralWidget());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(main.geometry(), screen);
        QVERIFY(!main.toolAction(WindowId::PatientList)->icon().isNull());
        QVERIFY(!main.quitAction()->icon().isNull());
        auto label = [&](const char* name) { return main.findChild<QLabel*>(QString::fromLatin1(name))->text(); };
        QCOMPARE(label("lbLietotajs"), QStringLiteral("Lietotājs: LIETA"));
        QVERIFY(label("lbDatuBaze").startsWith(QStringLiteral("Datu bāze: ")));
        QCOMPARE(label("lbDienas"), QStringLiteral("Bloķētas dienas līdz %1; šodiena atvērta")
                                        .arg(QDate::currentDate().addDays(-3).toString(QStringLiteral("dd.MM.yyyy"))));
        QVERIFY(main.menuAction(WindowId::PatientList)->isEnabled());
        QAction* calendar = main.menuAction(WindowId::Calendar);
        QVERIFY(!calendar->isEnabled());
        QVERIFY2(calendar->toolTip().contains(QStringLiteral("Jums nav tiesību atvērt šo logu (tiesību kods 10)")),
                 qPrintable(calendar->toolTip()));
        TMolarixMain bare(*s.dati, std::make_unique<WindowRegistry>());
        QVERIFY(bare.menuAction(WindowId::Invoices)->toolTip().contains(QStringLiteral("vēl nav pieejama")));
    }

    // The start picture stays over the main window until the first window is opened.
    void startPictureStaysUntilAWindowOpens() {
        LoggedOn s = logOn();
        TStartForm start;
        start.show();
        TMolarixMain main(*s.dati, standIns());
        main.show();
        QVERIFY(start.isVisible());
        main.openWindow(WindowId::Banks);
        QVERIFY(!start.isVisible());
        start.show();
        main.minimiseAction()->trigger();
        QVERIFY(!start.isVisible());
    }

    void quitClosesTheWindow() {
        LoggedOn s = logOn();
        TMolarixMain main(*s.dati, standIns());
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTest::keyClick(&main, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!main.isVisible());
        main.show();
        main.minimiseAction()->trigger();
        QVERIFY(main.isMinimized());
    }

    void startOfDayLock() {
        LoggedOn s = logOn();
        s.dati->database().exec("UPDATE N_ISI SET BLOKDIENAS=1");
        s.dati->database().commitRetaining();
        TMolarixMain main(*s.dati, standIns());
        QVERIFY(main.isReady());
        const QDate today = QDate::currentDate();
        QVERIFY(!IsDayOpen(s.dati->database(), today.addDays(-1)));
        QVERIFY(IsDayOpen(s.dati->database(), today));
    }

    void archiveTimer_data() {
        QTest::addColumn<QVariant>("autoArhivs");  // invalid: no Arhivs section
        QTest::addColumn<QVariant>("nextLaiks");
        QTest::addColumn<bool>("timerRuns");
        QTest::addColumn<bool>("due");
        const QDateTime now = QDateTime::currentDateTime();
        QTest::newRow("no section") << QVariant() << QVariant() << false << false;
        QTest::newRow("off") << QVariant(0) << QVariant(now.addDays(-1)) << false << false;
        QTest::newRow("on, past") << QVariant(1) << QVariant(now.addSecs(-60)) << true << true;
        QTest::newRow("on, future") << QVariant(1) << QVariant(now.addDays(1)) << true << false;
        QTest::newRow("on, text time past") << QVariant(1) << QVariant(QStringLiteral("01.02.2020 10:00:00")) << true
                                            << true;
        QTest::newRow("on, unreadable time") << QVariant(1) << QVariant(QStringLiteral("rīt")) << true << true;
        QTest::newRow("2 runs the timer but never archives") << QVariant(2) << QVariant(now.addDays(-9)) << true
                                                             << false;
    }
    void archiveTimer() {
        QFETCH(QVariant, autoArhivs);
        QFETCH(QVariant, nextLaiks);
        QFETCH(bool, timerRuns);
        QFETCH(bool, due);
        if (autoArhivs.isValid()) {
            Settings::setValue("Arhivs", "AutoArhivs", autoArhivs);
            Settings::setValue("Arhivs", "NextLaiks", nextLaiks);
        }
        int archives = 0;
        SetAutoArchiveAction([&archives](QWidget*) { ++archives; });
        LoggedOn s = logOn();
        TMolarixMain main(*s.dati, standIns());
        QVERIFY(!main.archiveTimer()->isActive());
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QCOMPARE(main.archiveTimer()->isActive(), timerRuns);
        QCOMPARE(AutoArchiveDue(QDateTime::currentDateTime()), due);
        if (timerRuns) QTRY_COMPARE_WITH_TIMEOUT(archives > 0, due, 1500);
        SetAutoArchiveAction({});
    }
};

class TestShellWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { testsupport::isolateSettings(); }

    // ADMIN on a new database makes a group and a user with a password and rights; that user then
    // logs on and sees only the permitted entries.
    void adminMakesAUserWhoLogsOn() {
        LoggedOn s = logOn();
        db::Database& d = s.dati->database();
        const int group = d.scalar("INSERT INTO N_USERGROUP (GNOS) VALUES ('Reģistratūra') RETURNING ISN").toInt();
        const int staff = d.scalar("INSERT INTO N_AGENTS (VARDS, UZVARDS) VALUES ('Anna', 'Ozola') RETURNING ISN").toInt();
        d.commitRetaining();

        TLietotajuTiesibas w(*s.dati);
        w.show();
        w.selectGroup(group);
        QCOMPARE(w.lbGrupas()->currentItem()->text(), QStringLiteral("Reģistratūra"));
        QCOMPARE(w.lbLietotaji()->count(), 0);

        QTest::keyClicks(w.edLietotajs(), "anna");
        QCOMPARE(w.edLietotajs()->text(), QStringLiteral("ANNA"));
        QCOMPARE(withMessageBoxes([&] { w.btPievienot()->click(); }),
                 QStringList{"Jāizvēlas students vai darbinieks !!!"});
        w.cbDarbinieks()->setCurrentIndex(w.cbDarbinieks()->findData(staff));
        QCOMPARE(w.cbDarbinieks()->currentText(), QStringLiteral("Ozola Anna"));
        QTest::keyClicks(w.edParole(), "zobs1");
        QTest::keyClicks(w.edParoleApst(), "zobs1");
        QCOMPARE(withMessageBoxes([&] { w.btPievienot()->click(); }), QStringList{});
        QCOMPARE(w.lbLietotaji()->count(), 1);
        QCOMPARE(w.lbLietotaji()->currentItem()->text(), QStringLiteral("ANNA"));
        QCOMPARE(w.lbIzveletas()->count(), 0);
        QCOMPARE(w.lbNeizveletas()->count(), 17);

        // Banks with view and delete, then the patient list with view only.
        w.lbNeizveletas()->findItems("Sar.-Bankas", Qt::MatchExactly).first()->setSelected(true);
        w.otherBox(View)->setChecked(true);
        w.otherBox(Delete)->setChecked(true);
        w.btPievienotIespejas()->click();
        QCOMPARE(w.currentRights(), QStringLiteral("08_TFFT"));
        w.otherBox(Delete)->setChecked(false);
        w.lbNeizveletas()->findItems("Sar.-Pacienti/Klienti", Qt::MatchExactly).first()->setSelected(true);
        w.btPievienotIespejas()->click();
        QCOMPARE(w.currentRights(), QStringLiteral("08_TFFT00_TFFF"));
        QCOMPARE(w.lbIzveletas()->count(), 2);
        QCOMPARE(w.lbNeizveletas()->count(), 15);

        // Choosing an entry of the user's list shows its letters; saving rewrites them.
        w.lbIzveletas()->setCurrentItem(w.lbIzveletas()->findItems("Sar.-Bankas", Qt::MatchExactly).first());
        QVERIFY(w.chosenBox(View)->isChecked() && w.chosenBox(Delete)->isChecked());
        QVERIFY(!w.chosenBox(Change)->isChecked());
        w.chosenBox(Change)->setChecked(true);
        w.btSaglabatIespejas()->click();
        QCOMPARE(w.currentRights(), QStringLiteral("08_TTFT00_TFFF"));

        // Taking banks away removes exactly its entry.
        w.lbIzveletas()->findItems("Sar.-Bankas", Qt::MatchExactly).first()->setSelected(true);
        w.btNonemtIespejas()->click();
        QCOMPARE(w.currentRights(), QStringLiteral("00_TFFF"));

        // The rights memory: empty at first, then copied to a second user.
        QCOMPARE(withMessageBoxes([&] { w.pasteRightsFromMemory(); }),
                 QStringList{"Sākumā jāieliek kāda lietotāja tiesības atmiņā !!!"});
        w.copyRightsToMemory();
        w.edLietotajs()->setText("PETERIS");
        w.edParole()->clear();
        w.edParoleApst()->clear();
        w.btPievienot()->click();
        QCOMPARE(w.lbLietotaji()->currentItem()->text(), QStringLiteral("PETERIS"));
        QCOMPARE(w.currentRights(), QString());
        w.pasteRightsFromMemory();
        QCOMPARE(w.currentRights(), QStringLiteral("00_TFFF"));

        // Saving ANNA without touching the password keeps it.
        w.selectUser("ANNA");
        const QString digest = d.scalar("SELECT PASWORD FROM N_USERS WHERE GNOS=:G", {{"G", EncodeUserName("ANNA")}}).toString();
        QCOMPARE(w.edParole()->text(), digest);
        w.btSaglabat()->click();
        QCOMPARE(d.scalar("SELECT PASWORD FROM N_USERS WHERE GNOS=:G", {{"G", EncodeUserName("ANNA")}}).toString(), digest);

        // Deleting asks first; "No" keeps the user.
        w.selectUser("PETERIS");
        QCOMPARE(withMessageBoxes([&] { w.btDzest()->click(); }, QMessageBox::No),
                 QStringList{"Vai tiešām vēlaties dzēst lietotāju ?"});
        QCOMPARE(w.lbLietotaji()->count(), 2);
        withMessageBoxes([&] { w.btDzest()->click(); }, QMessageBox::Yes);
        QCOMPARE(w.lbLietotaji()->count(), 1);

        // Shown again: a group made meanwhile (announced as another workstation's commit is) is
        // listed, the chosen user stays chosen.
        w.close();
        d.exec("INSERT INTO N_USERGROUP (GNOS) VALUES ('Ārsti')");
        d.touch("N_USERGROUP");
        d.commitRetaining();
        w.show();
        QTRY_COMPARE(w.lbGrupas()->count(), 3);
        QCOMPARE(w.lbGrupas()->currentItem()->text(), QStringLiteral("Reģistratūra"));
        QCOMPARE(w.lbLietotaji()->currentItem()->text(), QStringLiteral("ANNA"));
        QCOMPARE(w.currentRights(), QStringLiteral("00_TFFF"));
        s.dati.reset();

        // ANNA's next log-on: the password as stored (upper case), her menu.
        TMainFormDati anna(testsupport::open(s.path));
        QVERIFY(!anna.authenticate("ANNA", "zobs1").ok());
        QVERIFY(anna.authenticate("ANNA", "ZOBS1").ok());
        TMolarixMain main(anna, standIns());
        QVERIFY(main.menuAction(WindowId::PatientList)->isEnabled());
        QVERIFY(main.toolAction(WindowId::PatientList)->isEnabled());
        QVERIFY(!main.menuAction(WindowId::Banks)->isEnabled());
        QVERIFY(!main.menuAction(WindowId::UsersAndRights)->isEnabled());
        QVERIFY(main.menuAction(WindowId::Invoices)->isEnabled());
    }

    // The program from the start: the user made above logs on through the log-in dialog and finds
    // only the entries the rights allow, then quits with "Beigt darbu".
    void programStartsForAUserWithRights() {
        const QString path = testsupport::freshDatabaseFile(QStringLiteral("start"));
        {
            auto d = testsupport::open(path);
            UserRightsStore store(*d);
            const int isn = store.addUser(1, "ANNA", 1, "ZOBS1", "ZOBS1").isn;
            store.setRights(isn, "00_TFFF11_FTTT");
        }
        Settings::setString("Bazes", "Klīnika", path);
        QStringList enabled;
        QTimer player;
        player.setInterval(20);
        QObject::connect(&player, &QTimer::timeout, [&] {
            if (auto* login = qobject_cast<TPasswordDlg*>(QApplication::activeModalWidget())) {
                login->edLietotajs()->setText("ANNA");
                login->edParole()->setText("ZOBS1");
                login->btOK()->click();
                if (login->isVisible()) login->btAtlikt()->click();
                return;
            }
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                enabled.append(box->text());
                box->accept();
                return;
            }
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* main = qobject_cast<TMolarixMain*>(w);
                if (!main || !main->isVisible()) continue;
                for (WindowId id : AllWindows)
                    if (main->menuAction(id)->isEnabled()) enabled.append(main->menuAction(id)->text());
                main->quitAction()->trigger();
            }
        });
        player.start();
        // The program's own windows, and stand-ins for those other subsystems will make.
        QCOMPARE(RunApplication([](WindowRegistry& registry, app::Session& session) {
                     molarix::Compose(registry, session);
                     for (WindowId id : AllWindows)
                         if (!registry.has(id))
                             registry.add(id, [](app::Session&, QWidget* main) -> QWidget* { return new QWidget(main, Qt::Window); });
                 }),
                 0);
        // The stand-ins give the ungated entries their windows.
        QCOMPARE(enabled, (QStringList{"Pacienti/Klienti", "Rēķini", "Rēķinu apmaksa", "E-Mail un SMS sūtīšana"}));
        auto d = testsupport::open(path);
        QCOMPARE(d->scalar("SELECT LOGOFF FROM O_LOGON").toString(), QStringLiteral("OK"));
    }

    void rightsWindowButtonsFollowTheUsersRights_data() {
        QTest::addColumn<QString>("rights");
        QTest::addColumn<bool>("change");
        QTest::addColumn<bool>("add");
        QTest::addColumn<bool>("remove");
        QTest::newRow("view only") << "13_TFFF" << false << false << false;
        QTest::newRow("change and add") << "00_TTTT13_TTTF" << true << true << false;
        QTest::newRow("delete only") << "13_FFFT" << false << false << true;
    }
    void rightsWindowButtonsFollowTheUsersRights() {
        QFETCH(QString, rights);
        QFETCH(bool, change);
        QFETCH(bool, add);
        QFETCH(bool, remove);
        LoggedOn s = logOn("ANNA", rights);
        TLietotajuTiesibas w(*s.dati);
        w.show();
        QCOMPARE(w.btSaglabat()->isEnabled(), change);
        QCOMPARE(w.btPievienotIespejas()->isEnabled(), change);
        QCOMPARE(w.btSaglabatIespejas()->isEnabled(), change);
        QCOMPARE(w.btPievienot()->isEnabled(), add);
        QCOMPARE(w.btDzest()->isEnabled(), remove);
    }

    void dayLocksWindow() {
        LoggedOn s = logOn();
        db::Database& d = s.dati->database();
        const QDate today(2026, 3, 10);
        TAtlautasDienas w(*s.dati, nullptr, today);
        // The first opening fills every day of the year range.
        QCOMPARE(d.scalar("SELECT COUNT(*) FROM O_DIENAS").toInt(),
                 int(QDate(1995, 1, 1).daysTo(QDate(2027, 12, 31))) + 1);
        QCOMPARE(w.lbGadi()->item(0)->text(), QStringLiteral("1995"));
        QCOMPARE(w.lbGadi()->item(w.lbGadi()->count() - 1)->text(), QStringLiteral("2027"));
        QCOMPARE(w.lbGadi()->currentItem()->text(), QStringLiteral("2026"));
        QCOMPARE(w.lbMenesi()->currentRow(), 2);
        QCOMPARE(w.lbDienas()->count(), 31);

        // Ticking a day locks it; IsDayOpen then refuses it.
        w.lbDienas()->item(4)->setCheckState(Qt::Checked);
        QVERIFY(!IsDayOpen(d, QDate(2026, 3, 5)));
        QVERIFY(IsDayOpen(d, QDate(2026, 3, 6)));

        // Ticking February of 2023 locks its 28 days and marks the month.
        w.lbGadi()->setCurrentRow(2023 - 1995);
        w.lbMenesi()->item(1)->setCheckState(Qt::Checked);
        QCOMPARE(d.scalar("SELECT COUNT(*) FROM O_DIENAS WHERE FLAG='T' AND DATUMS BETWEEN '2023-02-01' AND '2023-03-31'")
                     .toInt(),
                 28);
        w.lbMenesi()->setCurrentRow(1);
        QCOMPARE(w.lbDienas()->count(), 28);
        QCOMPARE(w.lbDienas()->item(27)->checkState(), Qt::Checked);
        w.lbDienas()->item(0)->setCheckState(Qt::Unchecked);
        QCOMPARE(w.lbMenesi()->item(1)->checkState(), Qt::Unchecked);

        // The number of open days: a non-number is refused and the window stays open.
        w.show();
        QCOMPARE(w.edBlokDienas()->text(), QStringLiteral("0"));
        w.edBlokDienas()->setText("trīs");
        const QStringList messages = withMessageBoxes([&] { w.close(); });
        QCOMPARE(messages.size(), 1);
        QVERIFY(w.isVisible());
        QCOMPARE(d.scalar("SELECT BLOKDIENAS FROM N_ISI").toInt(), 0);
        w.edBlokDienas()->setText("3");
        QVERIFY(w.close());
        QCOMPARE(d.scalar("SELECT BLOKDIENAS FROM N_ISI").toInt(), 3);
    }

    void systemSettingsWindow() {
        LoggedOn s = logOn();
        db::Database& d = s.dati->database();
        d.exec("UPDATE N_ISI SET ORGNOS='Zobu klīnika', HOST_OUT='smtp.example.lv', PVN_LIKME=21");
        d.commitRetaining();
        const db::ResultSet before = d.select("SELECT * FROM N_ISI");
        TSistemasIestatijumi w(*s.dati);
        w.show();
        QCOMPARE(w.edit("ORGNOS")->text(), QStringLiteral("Zobu klīnika"));
        QVERIFY(w.workingDay(1)->isChecked());
        QVERIFY(!w.workingDay(7)->isChecked());
        QCOMPARE(w.hourDivision()->checkedId(), 1);
        w.btSaglabat()->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(d.select("SELECT * FROM N_ISI").row(0), before.row(0));

        // An edit closed without saving is gone at the next showing.
        w.show();
        w.edit("ORGNOS")->setText("Cits");
        QCOMPARE(withMessageBoxes([&] { w.btAizvert()->click(); }, QMessageBox::No),
                 QStringList{QStringLiteral("Vai saglabāt izmaiņas ?")});
        QVERIFY(!w.isVisible());
        w.show();
        QCOMPARE(w.edit("ORGNOS")->text(), QStringLiteral("Zobu klīnika"));

        w.edit("DARBA_LAIKS_NO")->setText("8:00");
        w.workingDay(6)->setChecked(true);
        w.hourDivision()->button(2)->setChecked(true);
        w.cbPvnLikme()->setCurrentIndex(w.cbPvnLikme()->findData(12));
        w.btSaglabat()->click();
        const db::ResultSet after = d.select("SELECT DARBA_LAIKS_NO, DARBADIENA_6, STUNDU_DALIJUMS, PVN_LIKME FROM N_ISI");
        QCOMPARE(after.value(0, 0).toString(), QStringLiteral("8:00"));
        QCOMPARE(after.value(0, 1).toInt(), 1);
        QCOMPARE(after.value(0, 2).toInt(), 2);
        QCOMPARE(after.value(0, 3).toInt(), 12);
        QCOMPARE(s.dati->DefaultVatRate(), 12);
    }

    // Working hours are times of day: anything else is refused with a sentence that says what is
    // wrong, and nothing is stored.
    void workingHoursAreChecked_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("message");  // empty: saved
        QTest::addColumn<QString>("focus");
        const QString rule = QStringLiteral("\" nav pareizs laiks. Laiku raksta hh:mm, stundas no 0 līdz 24, minūtes no 0 līdz 59 (piemēram, 08:30) !!!");
        QTest::newRow("99:99") << "99:99" << "18:00" << QStringLiteral("Darba laika sākums: \"99:99") + rule << "DARBA_LAIKS_NO";
        QTest::newRow("abcde") << "08:00" << "abcde" << QStringLiteral("Darba laika beigas: \"abcde") + rule << "DARBA_LAIKS_LIDZ";
        QTest::newRow("minutes 60") << "12:60" << "18:00" << QStringLiteral("Darba laika sākums: \"12:60") + rule << "DARBA_LAIKS_NO";
        QTest::newRow("no colon") << "0800" << "18:00" << QStringLiteral("Darba laika sākums: \"0800") + rule << "DARBA_LAIKS_NO";
        QTest::newRow("end before start") << "18:00" << "08:00"
                                          << QStringLiteral("Darba laika sākumam jābūt agrākam par beigām !!!") << "DARBA_LAIKS_LIDZ";
        QTest::newRow("24:00 ends the day") << "07:30" << "24:00" << QString() << QString();
        QTest::newRow("empty takes the defaults") << "" << "" << QString() << QString();
    }
    void workingHoursAreChecked() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        LoggedOn s = logOn();
        db::Database& d = s.dati->database();
        d.exec("UPDATE N_ISI SET DARBA_LAIKS_NO='09:00', DARBA_LAIKS_LIDZ='17:00'");
        d.commitRetaining();
        TSistemasIestatijumi w(*s.dati);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.edit("DARBA_LAIKS_NO")->setText(from);
        w.edit("DARBA_LAIKS_LIDZ")->setText(to);
        const QStringList seen = withMessageBoxes([&] { w.btSaglabat()->click(); });
        const db::ResultSet row = d.select("SELECT DARBA_LAIKS_NO, DARBA_LAIKS_LIDZ FROM N_ISI");
        if (message.isEmpty()) {
            QCOMPARE(seen, QStringList());
            QVERIFY(!w.isVisible());
            QCOMPARE(row.value(0, 0).toString(), from);
            QCOMPARE(row.value(0, 1).toString(), to);
            return;
        }
        QCOMPARE(seen, QStringList{message});
        QVERIFY(w.isVisible());
        QCOMPARE(w.focusWidget(), w.edit(focus));
        QCOMPARE(row.value(0, 0).toString(), QStringLiteral("09:00"));
        QCOMPARE(row.value(0, 1).toString(), QStringLiteral("17:00"));
        // A short time is written out as the day grids compare it when the field is left.
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.edit("DARBA_LAIKS_NO")->setFocus();
        w.edit("DARBA_LAIKS_NO")->selectAll();
        typeText(w.edit("DARBA_LAIKS_NO"), QStringLiteral("7:5"));
        w.edit("DARBA_LAIKS_LIDZ")->setFocus();
        QCOMPARE(w.edit("DARBA_LAIKS_NO")->text(), QStringLiteral("07:05"));
        withMessageBoxes([&] { w.close(); }, QMessageBox::No);
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QObject* makeTestRights();
    QObject* makeTestUserStore();
    QObject* makeTestDayLocks();
    QObject* makeTestSettingsStore();
    int failures = 0;
    std::vector<std::unique_ptr<QObject>> tests;
    tests.emplace_back(makeTestRights());
    tests.emplace_back(makeTestUserStore());
    tests.emplace_back(makeTestDayLocks());
    tests.emplace_back(makeTestSettingsStore());
    tests.emplace_back(new TestMainWindow);
    tests.emplace_back(new TestShellWindows);
    QStringList args = application.arguments();
    QString only;
    if (args.size() > 1 && args.last().startsWith(QLatin1String("Test"))) only = args.takeLast();
    for (auto& test : tests) {
        QStringList runArgs = args;
        if (!only.isEmpty()) {
            if (only.section(QStringLiteral("::"), 0, 0) != QLatin1String(test->metaObject()->className())) continue;
            const QString function = only.section(QStringLiteral("::"), 1);
            if (!function.isEmpty()) runArgs.append(function);
        }
        failures += QTest::qExec(test.get(), runArgs);
    }
    return failures == 0 ? 0 : 1;
}

#include "tst_mainwindow.moc"
