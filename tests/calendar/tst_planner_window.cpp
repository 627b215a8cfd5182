// The planner window as a receptionist uses it: dragging blocks with the mouse, double-clicks,
// the parameters, and appointments made on another workstation appearing by themselves.
#include "ClinicFixture.h"
#include "ModalHelper.h"
#include "TestDatabase.h"
#include "app/Session.h"
#include "calendar/PlannerGrid.h"
#include "calendar/PlannerPainter.h"
#include "widgets/ColorBox.h"
#include "calendar/TAppointment.h"
#include "calendar/TKalendPlanParametri.h"
#include "calendar/TKalendaraPlanosana.h"
#include "db/EventListener.h"
#include "molarix/Composition.h"
#include "app/WindowRegistry.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include "Fetched.h"

#include <QComboBox>
#include <QSpinBox>
#include <QtTest>

using namespace calendar;

namespace {

const QDate Monday(2027, 3, 1);

}  // namespace

class TestPlannerWindow : public QObject {
    Q_OBJECT
    QString m_path;
    std::unique_ptr<app::Session> m_session;
    std::unique_ptr<ClinicFixture> m_clinic;
    int m_kalna = 0, m_ozola = 0, m_room = 0, m_type = 0, m_patient = 0;

    // The planner on the week of Monday, 8:00 to 18:00, both specialists checked.
    std::unique_ptr<TKalendaraPlanosana> planner(app::Session& session) {
        auto window = std::make_unique<TKalendaraPlanosana>(session);
        window->resize(1300, 700);
        window->show();
        window->setShownDate(Monday);
        window->setTimeRange("8:00", "18:00");
        window->setCheckedKeys(ColumnKind::Specialists, {m_kalna, m_ozola});
        return window;
    }
    static TAppointment* blockOf(TKalendaraPlanosana& window, int key) {
        for (TAppointment* block : window.grid()->shownBlocks())
            if (block->block().appointmentKey == key) return block;
        return nullptr;
    }
    QVariantHash row(int key) {
        const db::ResultSet r = m_session->database().select(
            "SELECT ISIZPILDITAJS, PLAN_DAT, PLAN_LAIKS FROM O_KONSULT_PIET_HD WHERE ISN=:I", {{"I", key}});
        return {{"specialist", r.first("ISIZPILDITAJS")}, {"date", r.first("PLAN_DAT").toDateTime().date()},
                {"time", r.first("PLAN_LAIKS")}};
    }
    // Drags a block with the mouse by the given distance. The mouse is moved over the grid, as a
    // real one is: the block follows it.
    static void drag(TAppointment* block, const QPoint& by, bool hold = true) {
        QWidget* grid = block->parentWidget();
        const QPoint grip = block->geometry().topLeft() + QPoint(10, 10);
        QTest::mousePress(block, Qt::LeftButton, {}, QPoint(10, 10));
        if (hold) {
            QTest::mouseMove(grid, grip + by / 2);
            QTest::mouseMove(grid, grip + by);
        }
        QTest::mouseRelease(grid, Qt::LeftButton, {}, grip + by);
    }

private Q_SLOTS:
    void init() {
        testsupport::isolateSettings();
        m_path = testsupport::freshDatabaseFile(QStringLiteral("plannerwin"));
        m_session = std::make_unique<app::Session>(testsupport::open(m_path));
        m_session->setUser(1, "ADMIN");
        m_clinic = std::make_unique<ClinicFixture>(m_session->database());
        m_kalna = m_clinic->specialist("Kalna", "Ilze");
        m_ozola = m_clinic->specialist("Ozola", "Anna");
        m_room = m_clinic->room("Pirmais", "K1");
        m_type = m_clinic->type("Plombēšana");
        m_patient = m_clinic->patient("Bērziņš", "Jānis");
    }
    void cleanup() {
        m_clinic.reset();
        m_session.reset();
    }

    // The main window's "Kalendārā plānošana" opens the planner, once.
    void openedFromTheCatalogue() {
        app::WindowRegistry registry;
        molarix::Compose(registry, *m_session);
        QVERIFY(registry.has(app::WindowId::Calendar));
        QWidget* first = registry.open(app::WindowId::Calendar, *m_session, nullptr);
        QVERIFY(qobject_cast<TKalendaraPlanosana*>(first));
        QCOMPARE(first->windowTitle(), QStringLiteral("Kalendārā plānošana"));
        QCOMPARE(registry.open(app::WindowId::Calendar, *m_session, nullptr), first);
        delete first;
    }

    // Dragging with the mouse: to the next column (Ozola, same day) and an hour down stores the new
    // specialist and time with a journal row; a quick click, a drop on the time axis or past the
    // last column store nothing.
    void dragWithTheMouse_data() {
        QTest::addColumn<QPoint>("by");
        QTest::addColumn<bool>("hold");
        QTest::addColumn<bool>("stored");
        QTest::newRow("next column, an hour later") << QPoint(100, 40) << true << true;
        QTest::newRow("quick click") << QPoint(0, 0) << false << false;
        QTest::newRow("onto the time axis") << QPoint(-100, 0) << true << false;
        QTest::newRow("past the last column") << QPoint(1250, 0) << true << false;
    }
    void dragWithTheMouse() {
        QFETCH(bool, stored);
        const int key = m_clinic->appointment({m_patient, m_kalna, m_room, m_type, Monday});
        auto window = planner(*m_session);
        TAppointment* block = blockOf(*window, key);
        QVERIFY(block);
        QCOMPARE(block->geometry().topLeft(), QPoint(CalendarLayout::AxisWidth + 2, 40 + 2 * 40 + 1));
        ModalHelper helper;
        QFETCH(QPoint, by);
        drag(block, by, FETCHED(bool, hold));
        QVERIFY(helper.messages.isEmpty());
        const QVariantHash now = row(key);
        const int journal = m_session->database()
                                .scalar("SELECT COUNT(*) FROM O_OPERACIJAS WHERE ISN_BAZE=:I AND PIEZIMES='Drag&Drop'", {{"I", key}})
                                .toInt();
        if (stored) {
            QCOMPARE(now.value("specialist").toInt(), m_ozola);
            QCOMPARE(now.value("date").toDate(), Monday);
            QCOMPARE(now.value("time").toString(), QStringLiteral("11:00"));
            QCOMPARE(journal, 1);
            QTRY_VERIFY(blockOf(*window, key) && blockOf(*window, key)->block().column == 1);
        } else {
            QCOMPARE(now.value("specialist").toInt(), m_kalna);
            QCOMPARE(now.value("time").toString(), QStringLiteral("10:00"));
            QCOMPARE(journal, 0);
            QCOMPARE(blockOf(*window, key)->geometry().topLeft(), QPoint(CalendarLayout::AxisWidth + 2, 40 + 2 * 40 + 1));
        }
    }

    // A drop onto a locked day is refused with the day-lock message; a drop onto a slot another
    // appointment of the specialist holds asks first.
    void refusedAndQuestionedDrops_data() {
        QTest::addColumn<bool>("lockTarget");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("stored");
        const QString locked = QStringLiteral("Datums ir bloķēts, labošanu izdarīt nedrīkst !!!");
        const QString question = QStringLiteral("Šajā laikā jau ir pieraksts. Vai tiešām vēlaties pārvietot ?");
        QTest::newRow("locked day") << true << false << int(QMessageBox::Yes) << locked << false;
        QTest::newRow("taken, No") << false << true << int(QMessageBox::No) << question << false;
        QTest::newRow("taken, Yes") << false << true << int(QMessageBox::Yes) << question << true;
    }
    void refusedAndQuestionedDrops() {
        const int key = m_clinic->appointment({m_patient, m_kalna, m_room, m_type, Monday});
        // The target: Tuesday, Kalna's column (two columns to the right), the same time.
        if (FETCHED(bool, lockTarget)) m_clinic->lockDay(Monday.addDays(1));
        if (FETCHED(bool, taken)) m_clinic->appointment({m_patient, m_kalna, m_room, m_type, Monday.addDays(1), "10:30"});
        auto window = planner(*m_session);
        ModalHelper helper;
        helper.defaultAnswer = QMessageBox::StandardButton(FETCHED(int, answer));
        drag(blockOf(*window, key), QPoint(200, 0));
        QCOMPARE(helper.messages, QStringList{FETCHED(QString, message)});
        QCOMPARE(row(key).value("date").toDate(), FETCHED(bool, stored) ? Monday.addDays(1) : Monday);
    }

    // Double-clicks open the appointment editor through the calendar facade: a free half hour with
    // the column's specialist, date and time; a block with its appointment.
    void doubleClicksOpenTheEditor() {
        const int key = m_clinic->appointment({m_patient, m_kalna, m_room, m_type, Monday});
        QList<app::AppointmentTarget> opened;
        m_session->facades().calendar.openAppointment = [&](QWidget*, const app::AppointmentTarget& t) {
            opened << t;
            return false;
        };
        auto window = planner(*m_session);
        // Ozola's Monday column, the second half of the 9 o'clock hour.
        QTest::mouseDClick(window->grid(), Qt::LeftButton, {}, QPoint(45 + 100 + 50, 40 + 40 + 25));
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.at(0).appointmentKey, 0);
        QCOMPARE(opened.at(0).specialistKey, m_ozola);
        QCOMPARE(opened.at(0).roomKey, 0);
        QCOMPARE(opened.at(0).slot, QDateTime(Monday, QTime(9, 30)));
        QTest::mouseDClick(blockOf(*window, key), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(opened.size(), 2);
        QCOMPARE(opened.at(1).appointmentKey, key);
        QCOMPARE(opened.at(1).specialistKey, m_kalna);
        QCOMPARE(opened.at(1).slot, QDateTime(Monday, QTime(10, 0)));
        // On the time axis nothing opens.
        QTest::mouseDClick(window->grid(), Qt::LeftButton, {}, QPoint(20, 200));
        QCOMPARE(opened.size(), 2);
    }

    // The parameters: a fresh database shows the default colours and stores them; unticking
    // Saturday and Sunday takes them out of the week; a width that is not a number is refused.
    void parameters() {
        m_clinic->setWorkingDays({1, 2, 3, 4, 5, 6, 7});
        auto window = planner(*m_session);
        QCOMPARE(window->grid()->columns().size(), 14);
        ModalHelper helper;
        helper.onDialog = [](QDialog* dialog) {
            auto* p = qobject_cast<TKalendPlanParametri*>(dialog);
            QVERIFY(p);
            QCOMPARE(p->colorBox(4)->storedColor(), 0x00CBC0FF);
            p->workingDay(6)->setChecked(false);
            p->workingDay(7)->setChecked(false);
            p->widthEdit()->setText("abc");
            p->findChild<QPushButton*>("btAizvert")->click();  // refused: stays open
            QVERIFY(p->isVisible());
            p->widthEdit()->setText(" 120 ");
            // The mail server's account, for servers that take mail only from those logged in.
            p->findChild<QSpinBox*>("spSmtpPorts")->setValue(587);
            p->findChild<QComboBox*>("cbSmtpDrosiba")->setCurrentIndex(1);
            p->findChild<QLineEdit*>("edSmtpLietotajs")->setText(QStringLiteral("klinika"));
            p->findChild<QLineEdit*>("edSmtpParole")->setText(QStringLiteral("Slepenā parole"));
            p->findChild<QPushButton*>("btAizvert")->click();
        };
        window->openParameters();
        QCOMPARE(helper.messages.size(), 1);
        QVERIFY(helper.messages.at(0).startsWith(QStringLiteral("Aiļu platumam")));
        QCOMPARE(window->columnWidth(), 120);
        QCOMPARE(window->grid()->columns().size(), 10);
        QCOMPARE(m_session->database().scalar("SELECT COLOR_4 FROM N_ISI").toInt(), 0x00CBC0FF);
        const db::ResultSet mail = m_session->database().select(
            "SELECT HOST_OUT_PORT, HOST_OUT_DROSIBA, USER_NAME_MAIL, USER_PASSWORD_MAIL FROM N_ISI");
        QCOMPARE(mail.value(0, 0).toInt(), 587);
        QCOMPARE(mail.value(0, 1).toInt(), 1);
        QCOMPARE(mail.value(0, 2).toString(), QStringLiteral("klinika"));
        QCOMPARE(mail.value(0, 3).toString(), QStringLiteral("Slepenā parole"));
    }

    // A block's texts: the first line shortened with "...", the second text wrapped at blanks
    // (a word wider than the block where it must), nothing lost but what the block cuts off.
    void blockTexts() {
        PlannerGrid grid;
        grid.resize(400, 400);
        TAppointment block(&grid);
        block.setGeometry(0, 0, 90, 200);
        PlannerBlock b;
        b.firstText = QStringLiteral("Bērziņš-Kalniņš Jānis Pēteris");
        b.secondText = QStringLiteral("Plombēšana-Sāp zobs apakšā pa kreisi Pārbaudepārbaudepārbaude");
        block.setBlock(0, b);
        const QStringList lines = block.drawnLines();
        QVERIFY(lines.first().endsWith(QStringLiteral("...")));
        QVERIFY(b.firstText.startsWith(lines.first().chopped(3)));
        const int room = block.width() - 15;
        for (const QString& line : lines.mid(1)) QVERIFY(block.fontMetrics().horizontalAdvance(line) < room);
        QCOMPARE(lines.mid(1).join(QString()).remove(QLatin1Char(' ')), QString(b.secondText).remove(QLatin1Char(' ')));
        QVERIFY(lines.contains(QStringLiteral("pa kreisi")) || lines.join('|').contains(QStringLiteral("kreisi")));
    }

    // Header captions: the largest size from 32 down that fits the cell (narrower than the width
    // less 4, at most 18 pixels high); at size 8 the end is cut off.
    void captionFitting_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("cut");
        QTest::newRow("short name, wide column") << "Ozola Anna" << 200 << false;
        QTest::newRow("day caption") << "Trešd. 09.12.2026" << 160 << false;
        QTest::newRow("long name, narrow column") << "Bērziņš-Kalniņš Jānis Pēteris" << 50 << true;
    }
    void captionFitting() {
        QFETCH(QString, text);
        QFETCH(int, width);
        const QFont base = QApplication::font();
        const FittedCaption fitted = FitCaption(base, text, width);
        QFont font = base;
        font.setPointSize(fitted.pointSize);
        const QFontMetrics fm(font);
        QVERIFY(fm.horizontalAdvance(fitted.text) <= width - 4);
        QVERIFY(fitted.pointSize >= 8 && fitted.pointSize <= 32);
        if (FETCHED(bool, cut)) {
            QCOMPARE(fitted.pointSize, 8);
            QVERIFY(text.startsWith(fitted.text) && fitted.text.size() < text.size());
        } else {
            QCOMPARE(fitted.text, text);
            QVERIFY(fm.height() <= 18);
            font.setPointSize(fitted.pointSize + 1);  // one size larger would not fit
            const QFontMetrics larger(font);
            QVERIFY(fitted.pointSize == 32 || larger.horizontalAdvance(text) > width - 4 || larger.height() > 18);
        }
    }

    // A run of scroll steps moves the picture at once and reads the database once, after the run.
    void scrollingReadsOnce() {
        m_clinic->appointment({m_patient, m_kalna, m_room, m_type, Monday, "16:00"});
        auto window = planner(*m_session);
        window->resize(900, 300);
        QTRY_VERIFY(window->verticalBar()->isVisible());
        QTest::qWait(50);
        const int before = window->rebuildCount();
        for (int step = 1; step <= 4; ++step) {
            window->verticalBar()->setValue(step);
            QCOMPARE(window->grid()->layout().firstVisibleHour(), 8 + step);
            QTest::qWait(30);
        }
        QCOMPARE(window->rebuildCount(), before);
        QTRY_COMPARE(window->rebuildCount(), before + 1);
        QCOMPARE(window->grid()->layout().hourOffset(), 4);
    }

    // Two workstations on the Firebird server: an appointment saved on one appears in the other's
    // planner by itself, without moving its scroll position.
    void anotherWorkstationsAppointmentAppears() {
        if (testsupport::serverPrefix().isEmpty()) QSKIP("needs the Firebird server (MOLARIX_FB_SERVER)");
        m_clinic.reset();
        m_session.reset();  // the embedded engine would hold the file for itself
        const QString connection = testsupport::serverPrefix() + m_path;
        app::Session reception(testsupport::open(connection));
        reception.setUser(1, "ADMIN");
        reception.listenToOtherWorkstations();
        app::Session doctor(testsupport::open(connection));
        doctor.setUser(1, "ADMIN");
        ClinicFixture other(doctor.database());

        auto window = std::make_unique<TKalendaraPlanosana>(reception);
        window->resize(900, 300);  // the day does not fit: the hours scroll
        window->show();
        window->setShownDate(Monday);
        window->setTimeRange("8:00", "18:00");
        window->setCheckedKeys(ColumnKind::Specialists, {m_kalna, m_ozola});
        QTRY_VERIFY(window->verticalBar()->isVisible());
        window->verticalBar()->setValue(2);
        QTest::qWait(600);  // the scroll's own re-read is over
        QCOMPARE(window->grid()->layout().hourOffset(), 2);

        const int key = other.appointment({m_patient, m_ozola, m_room, m_type, Monday, "11:00"});
        QTRY_VERIFY_WITH_TIMEOUT(blockOf(*window, key) != nullptr, 3000);
        QCOMPARE(window->grid()->layout().hourOffset(), 2);
        QCOMPARE(window->verticalBar()->value(), 2);
        QCOMPARE(blockOf(*window, key)->geometry().top(), 40 + 1 + 40);  // 11:00 under 10:00
    }
};

QTEST_MAIN(TestPlannerWindow)
#include "tst_planner_window.moc"
