// The start-up from start to exit, and the shared procedures that work on widgets.
#include "TestDatabase.h"
#include "molarix/Composition.h"
#include "app/PasswordDigest.h"
#include "app/Settings.h"
#include "app/SharedProcedures.h"
#include "widgets/GridLayout.h"
#include "app/Startup.h"
#include "app/TPasswordDlg.h"
#include "app/UserNameCodec.h"
#include "models/ResultTableModel.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>

using namespace app;
using namespace widgets;

namespace {

// Plays the user through the start-up: answers the log-in dialog, notes the message boxes, and
// closes the main window once it is up.
class Player : public QObject {
public:
    QString user = QStringLiteral("ADMIN");
    QString password;
    bool cancel = false;
    QStringList messages;
    QString mainCaption;

    Player() {
        m_timer.setInterval(20);
        connect(&m_timer, &QTimer::timeout, this, &Player::step);
        m_timer.start();
    }

private:
    void step() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* login = qobject_cast<TPasswordDlg*>(modal)) {
            if (cancel) {
                QTest::mouseClick(login->btAtlikt(), Qt::LeftButton);
                return;
            }
            login->edLietotajs()->setText(user);
            login->edParole()->setText(password);
            QTest::mouseClick(login->btOK(), Qt::LeftButton);
            if (login->isVisible()) {  // refused: give up like a user would
                messages.append(login->statusText());
                QTest::mouseClick(login->btAtlikt(), Qt::LeftButton);
            }
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages.append(box->text());
            box->accept();
            return;
        }
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("MolarixMain") && w->isVisible()) {
                mainCaption = w->windowTitle();
                w->close();
            }
        }
    }
    QTimer m_timer;
};

const QString InitFailure = QStringLiteral("Kaut kas nav kārtībā ar inicializācijas procesu, darbs tiek pārtraukts !!!");

}  // namespace

class TestUi : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { testsupport::isolateSettings(); }

    void startupLogsOnAndClosesTheLogon() {
        const QString path = testsupport::freshDatabaseFile(QStringLiteral("startup"));
        Settings::setString("Bazes", "Klīnika", path);
        Player player;
        QCOMPARE(RunApplication(molarix::Compose), 0);
        QCOMPARE(player.messages, QStringList());
        QVERIFY2(player.mainCaption.contains(QStringLiteral("Lietotājs : ADMIN")), qPrintable(player.mainCaption));
        QVERIFY(player.mainCaption.contains(QStringLiteral("Datu bāze: Klīnika")));

        auto d = testsupport::open(path);
        const db::ResultSet logon = d->select("SELECT START_TIME, END_TIME, LOGOFF FROM O_LOGON");
        QCOMPARE(logon.rowCount(), 1);
        QCOMPARE(logon.value(0, "LOGOFF").toString(), QStringLiteral("OK"));
        QVERIFY(logon.value(0, "END_TIME").toDateTime() >= logon.value(0, "START_TIME").toDateTime());
        QCOMPARE(d->scalar("SELECT GNOS FROM N_RAJONS WHERE ISN=1").toString(), QStringLiteral("Nav noteikts"));
    }

    void startupEndsWhenLogInFails_data() {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("cancelled") << true << QStringList{InitFailure};
        QTest::newRow("wrong password, then cancelled")
            << false << QStringList{QStringLiteral("Nav ievadīta pareiza parole !!!"), InitFailure};
    }
    void startupEndsWhenLogInFails() {
        QFETCH(bool, cancel);
        QFETCH(QStringList, messages);
        const QString path = testsupport::freshDatabaseFile(QStringLiteral("startup"));
        {
            auto d = testsupport::open(path);
            EnsureDefaultRows(d->defaultTransaction());
            d->exec("INSERT INTO N_USERS (GNOS, PASWORD, ISUSERGROUP) VALUES (:G, :P, 1)",
                    {{"G", EncodeUserName("ADMIN")}, {"P", MakePasswordDigest("Pareizi")}});
            d->commitRetaining();
        }
        Settings::setString("Bazes", "Klīnika", path);
        Player player;
        player.cancel = cancel;
        player.password = QStringLiteral("Nepareizi");
        QCOMPARE(RunApplication(molarix::Compose), 0);
        QCOMPARE(player.messages, messages);
        QVERIFY(player.mainCaption.isEmpty());
        auto d = testsupport::open(path);
        QCOMPARE(d->scalar("SELECT COUNT(*) FROM O_LOGON").toInt(), 0);
    }

    void wrongDateFormatStopsBeforeLogIn() {
        Settings::setString("International", "sShortDate", "M/d/yyyy");
        Player player;
        QCOMPARE(RunApplication(molarix::Compose), 0);
        QCOMPARE(player.messages.size(), 1);
        QVERIFY(player.messages[0].startsWith(QStringLiteral("Datumam jābūt formātā dd.MM.yyyy.")));
    }

    void gridLayoutPersists() {
        db::ResultSet rows(QStringList{"ISN", "UZVARDS", "VARDS"});
        rows.append({1, "Ozols", "Jānis"});
        models::ResultTableModel model;
        model.setColumns({{"ISN", "Nr"}, {"UZVARDS", "Uzvārds"}, {"VARDS", "Vārds"}});
        model.setRows(rows);
        {
            QTableView grid;
            grid.setObjectName("grdKlienti");
            grid.setModel(&model);
            grid.horizontalHeader()->moveSection(2, 0);  // first name first
            grid.setColumnWidth(1, 177);
            grid.setColumnHidden(0, true);
            SaveGridLayout(&grid);
        }
        QTableView restored;
        restored.setObjectName("grdKlienti");
        restored.setModel(&model);
        LoadGridLayout(&restored);
        QCOMPARE(restored.horizontalHeader()->visualIndex(2), 0);
        QCOMPARE(restored.columnWidth(1), 177);
        QVERIFY(restored.isColumnHidden(0));

        // The grid gained a column since: the stored layout no longer applies.
        model.setColumns({{"ISN", "Nr"}, {"UZVARDS", "Uzvārds"}, {"VARDS", "Vārds"}, {"VARDS", "Vēl"}});
        QTableView changed;
        changed.setObjectName("grdKlienti");
        changed.setModel(&model);
        const int designedWidth = changed.columnWidth(1);
        LoadGridLayout(&changed);
        QCOMPARE(changed.horizontalHeader()->visualIndex(2), 2);
        QCOMPARE(changed.columnWidth(1), designedWidth);
        QVERIFY(!changed.isColumnHidden(0));

        Settings::setString("GridSetup", "grdKlienti", "bojāts");
        QTableView broken;
        broken.setObjectName("grdKlienti");
        broken.setModel(&model);
        LoadGridLayout(&broken);
        QVERIFY(!broken.isColumnHidden(0));
    }

};

QObject* makeTestUi() { return new TestUi; }

#include "tst_ui.moc"
