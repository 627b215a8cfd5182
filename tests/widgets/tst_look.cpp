// What every window shares: Qt's own dialogs in Latvian, dates read as people type them, grids
// that fit their titles, readable coloured rows, windows placed below the main window's bars and
// remembered, and the highlight of the field being typed in.
#include "ModalHelper.h"
#include "TestDatabase.h"
#include "app/Application.h"
#include "app/DateText.h"
#include "app/Settings.h"
#include "models/ResultTableModel.h"
#include "widgets/Contrast.h"
#include "widgets/FocusHighlight.h"
#include "widgets/ListGrid.h"
#include "widgets/NullableDateEdit.h"
#include "widgets/WindowPlacement.h"

#include <QCalendarWidget>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

QString plain(QString text) { return text.remove(u'&'); }

}  // namespace

class TestLook : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        testsupport::isolateSettings();
        QVERIFY2(app::Application::installLatvian(), "qtbase_lv.qm (qt6-translations-l10n) is not installed");
    }

    // Question boxes, button boxes and the date picker speak Latvian; the week starts on Monday.
    void qtSpeaksLatvian() {
        QMessageBox box(QMessageBox::Question, QString(), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(plain(box.button(QMessageBox::Yes)->text()), QStringLiteral("Jā"));
        QCOMPARE(plain(box.button(QMessageBox::No)->text()), QStringLiteral("Nē"));
        QCOMPARE(plain(box.button(QMessageBox::Cancel)->text()), QStringLiteral("Atcelt"));
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(plain(buttons.button(QDialogButtonBox::Cancel)->text()), QStringLiteral("Atcelt"));

        widgets::NullableDateEdit date;
        date.setValue(QDate(2025, 3, 17));
        date.showPopup();
        QCalendarWidget* calendar = date.calendarWidget();
        auto* month = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
        QVERIFY(month);
        QCOMPARE(month->text(), QStringLiteral("marts"));
        QCOMPARE(calendar->firstDayOfWeek(), Qt::Monday);
        QCOMPARE(calendar->locale().standaloneMonthName(1), QStringLiteral("janvāris"));
        QCOMPARE(QLocale().dayName(1), QStringLiteral("pirmdiena"));
        // Dates the program writes itself stay dd.MM.yyyy.
        QCOMPARE(date.lineEdit()->text(), QStringLiteral("17.03.2025"));
    }

    void readDate_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("latestYear");
        QTest::addColumn<QDate>("read");
        const QDate march17(1985, 3, 17);
        QTest::newRow("dd.MM.yyyy") << "17.03.1985" << 2025 << march17;
        QTest::newRow("ddMMyyyy") << "17031985" << 2025 << march17;
        QTest::newRow("d.M.yyyy") << "7.3.1985" << 2025 << QDate(1985, 3, 7);
        QTest::newRow("dd.MM.yy") << "17.03.85" << 2025 << march17;
        QTest::newRow("ddMMyy") << "170385" << 2025 << march17;
        QTest::newRow("other separators") << "17/3-1985" << 2025 << march17;
        QTest::newRow("blanks around") << "  17. 03. 1985 " << 2025 << march17;
        QTest::newRow("year first") << "1985-03-17" << 2025 << march17;
        QTest::newRow("two digits this year") << "01.01.25" << 2025 << QDate(2025, 1, 1);
        QTest::newRow("two digits next year, birth date") << "01.01.26" << 2025 << QDate(1926, 1, 1);
        QTest::newRow("two digits ahead, document date") << "01.01.30" << 2045 << QDate(2030, 1, 1);
        QTest::newRow("29 February of a leap year") << "29.02.2024" << 2025 << QDate(2024, 2, 29);
        QTest::newRow("29 February otherwise") << "29.02.2023" << 2025 << QDate();
        QTest::newRow("month 13") << "17.13.1985" << 2025 << QDate();
        QTest::newRow("day and month only") << "17.03" << 2025 << QDate();
        QTest::newRow("five digits") << "17385" << 2025 << QDate();
        QTest::newRow("words") << "17. marts" << 2025 << QDate();
        QTest::newRow("empty") << "" << 2025 << QDate();
    }
    void readDate() {
        QFETCH(QString, typed);
        QFETCH(int, latestYear);
        QFETCH(QDate, read);
        QCOMPARE(app::ReadDate(typed, latestYear), read);
    }

    // A field that always holds a date goes back to it when emptied; an unreadable text stays
    // and is reported once, and RefuseUnreadableDates stops a save on it.
    void dateFieldKeepsWhatItCannotRead() {
        QDialog window;
        auto* layout = new QVBoxLayout(&window);
        auto* date = new widgets::NullableDateEdit(QDate(2025, 1, 2), &window);
        auto* other = new QLineEdit(&window);
        layout->addWidget(date);
        layout->addWidget(other);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QSignalSpy changed(date, &widgets::NullableDateEdit::dateChanged);
        date->setFocus();
        date->lineEdit()->clear();
        other->setFocus();
        QCOMPARE(date->date(), QDate(2025, 1, 2));
        QCOMPARE(date->lineEdit()->text(), QStringLiteral("02.01.2025"));
        QCOMPARE(changed.count(), 0);

        date->setFocus();
        date->lineEdit()->selectAll();
        typeText(date->lineEdit(), QStringLiteral("31.04.2025"));
        ModalHelper modal;
        other->setFocus();
        QTRY_COMPARE(modal.messages.size(), 1);
        QVERIFY(modal.messages[0].startsWith(QStringLiteral("Nevar nolasīt datumu \"31.04.2025\".")));
        QCOMPARE(date->lineEdit()->text(), QStringLiteral("31.04.2025"));
        QCOMPARE(date->date(), QDate(2025, 1, 2));
        QVERIFY(widgets::RefuseUnreadableDates(&window));
        QCOMPARE(modal.messages.size(), 2);
        QCOMPARE(window.focusWidget(), date->lineEdit());

        date->lineEdit()->setText(QStringLiteral("1.4.2025"));
        QVERIFY(date->commitText());
        QCOMPARE(date->date(), QDate(2025, 4, 1));
        QCOMPARE(changed.count(), 1);
        QVERIFY(!widgets::RefuseUnreadableDates(&window));
    }

    void contrast() {
        QCOMPARE(qRound(widgets::ContrastRatio(Qt::black, Qt::white)), 21);
        QCOMPARE(widgets::TextColorOn(QColor(0xFF, 0xFF, 0xC0)), QColor(Qt::black));
        QCOMPARE(widgets::TextColorOn(QColor(0x20, 0x20, 0x80)), QColor(Qt::white));
        const widgets::RowColors dark = widgets::ReadableRowColors(QColor(0x00, 0x00, 0xFF), Qt::white);
        QCOMPARE(dark.text, QColor(0x00, 0x00, 0xFF));
        QVERIFY(!dark.background.isValid());
        const widgets::RowColors pale = widgets::ReadableRowColors(QColor(0xC0, 0xDC, 0xC0), Qt::white);
        QCOMPARE(pale.background, QColor(0xC0, 0xDC, 0xC0));
        QCOMPARE(pale.text, QColor(Qt::black));
    }

    // Titles fit, rows are compact, long texts are cut and amounts stand on the right.
    void gridsLookFinished() {
        models::ResultTableModel model;
        model.setColumns({{QStringLiteral("N"), QStringLiteral("Uzvārds"), {}, {}},
                          {QStringLiteral("D"), QStringLiteral("Dzimšanas datums"), QStringLiteral("dd.MM.yyyy"), {}},
                          {QStringLiteral("S"), QStringLiteral("Summa"), QStringLiteral("0.00"), {}}});
        db::ResultSet rows(QStringList{"N", "D", "S"});
        rows.append({QStringLiteral("Ļoti garš uzvārds, kas neietilpst šaurā kolonnā"), QDate(1985, 3, 17), 12.5});
        model.setRows(rows);
        QTableView grid;
        grid.setModel(&model);
        grid.horizontalHeader()->resizeSection(1, 20);
        widgets::SetupListGrid(&grid);
        const QFontMetrics metrics(grid.horizontalHeader()->font());
        QVERIFY(grid.columnWidth(1) >= metrics.horizontalAdvance(QStringLiteral("Dzimšanas datums")));
        QVERIFY2(grid.verticalHeader()->defaultSectionSize() <= 24, qPrintable(QString::number(grid.verticalHeader()->defaultSectionSize())));
        QCOMPARE(grid.textElideMode(), Qt::ElideRight);
        QVERIFY(model.index(0, 2).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
        QVERIFY(model.index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignLeft);
    }

    // Windows open below the main window's bars, wholly on screen, and come back where they were.
    void windowsOpenInTheWorkArea() {
        widgets::InstallWindowPlacement();
        app::Settings::removeSection(QStringLiteral("Logi"));
        QMainWindow main;
        main.setProperty("molarixMainWindow", true);
        main.menuBar()->addMenu(QStringLiteral("Dati"));
        main.addToolBar(QStringLiteral("Rīki"))->addAction(QStringLiteral("Pacienti"));
        main.setCentralWidget(new QWidget(&main));
        main.statusBar()->showMessage(QStringLiteral("Lietotājs"));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        main.setGeometry(screen);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        const QRect area = widgets::WorkArea(&main);
        QVERIFY(area.top() > screen.top());
        QCOMPARE(area.top(), main.centralWidget()->mapToGlobal(QPoint(0, 0)).y());

        {
            QDialog dialog(&main);
            dialog.setObjectName(QStringLiteral("Proves_logs"));
            dialog.resize(300, 200);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QVERIFY2(area.contains(dialog.frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(dialog.x()).arg(dialog.y()).arg(dialog.width()).arg(dialog.height())));
            dialog.setGeometry(area.left() + 10, area.top() + 20, 320, 210);
            dialog.hide();
        }
        QCOMPARE(app::Settings::string(QStringLiteral("Logi"), QStringLiteral("Proves_logs")),
                 QStringLiteral("%1,%2,320,210").arg(area.left() + 10).arg(area.top() + 20));
        {
            QDialog again(&main);
            again.setObjectName(QStringLiteral("Proves_logs"));
            again.show();
            QCOMPARE(again.geometry(), QRect(area.left() + 10, area.top() + 20, 320, 210));
        }
        // A place remembered on a larger screen, or over the bars, is brought into the area.
        app::Settings::setString(QStringLiteral("Logi"), QStringLiteral("Proves_logs"),
                                 QStringLiteral("%1,%2,%3,%4").arg(screen.right() - 50).arg(screen.top()).arg(400).arg(screen.height() * 2));
        QDialog third(&main);
        third.setObjectName(QStringLiteral("Proves_logs"));
        third.show();
        QVERIFY(area.contains(third.frameGeometry()));
        QCOMPARE(third.width(), 400);
        QCOMPARE(third.frameGeometry().height(), area.height());
        QCOMPARE(widgets::FitInto(QRect(-50, -50, 10, 10), area), QRect(area.topLeft(), QSize(10, 10)));
    }

    // The field being typed in takes the highlight colour and gives it back when left.
    void focusedInputIsHighlighted() {
        QDialog window;
        auto* layout = new QVBoxLayout(&window);
        auto* first = new QLineEdit(&window);
        auto* second = new QLineEdit(&window);
        layout->addWidget(first);
        layout->addWidget(second);
        const QColor highlight(0xC0, 0xDC, 0xC0);
        widgets::HighlightFocusedInputs(&window, [&] { return highlight; });
        const QColor plainBase = second->palette().color(QPalette::Base);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        first->setFocus();
        QCOMPARE(first->palette().color(QPalette::Base), highlight);
        second->setFocus();
        QCOMPARE(second->palette().color(QPalette::Base), highlight);
        QCOMPARE(first->palette().color(QPalette::Base), plainBase);
    }
};

QTEST_MAIN(TestLook)
#include "tst_look.moc"
