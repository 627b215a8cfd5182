// The planner's grid arithmetic: shown hours and days, where blocks stand, and what a double-click
// or a drop at a point means.
#include "app/KeyList.h"
#include "calendar/CalendarLayout.h"
#include "calendar/PlannerStore.h"

#include "Fetched.h"

#include <QtTest>


using namespace calendar;

namespace {

constexpr std::array<bool, 7> AllDays{true, true, true, true, true, true, true};
constexpr std::array<bool, 7> WeekDays{true, true, true, true, true, false, false};

PlannerBlock appointment(int column, int start, int duration, int key) {
    PlannerBlock b;
    b.column = column;
    b.startMinutes = start;
    b.durationMinutes = duration;
    b.appointmentKey = key;
    return b;
}

// A grid of 8:00 to 18:00, columns 100 pixels wide, big enough to show everything.
CalendarLayout grid(int columns, TimeRange range = {8, 18}, QSize picture = {1200, 800}) {
    CalendarLayout layout(range, 100, columns);
    layout.setPictureSize(picture);
    return layout;
}

}  // namespace

class TestCalendarLayout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void visibleRange_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::newRow("half past rounds up") << "8:00" << "17:30" << 8 << 18;
        QTest::newRow("whole hour") << "8:00" << "17:00" << 8 << 17;
        QTest::newRow("same hour shows one") << "9:00" << "9:00" << 9 << 10;
        QTest::newRow("within one hour") << "9:00" << "9:30" << 9 << 10;
        QTest::newRow("end before start") << "10:00" << "8:00" << 10 << 11;
        QTest::newRow("late evening") << "23:00" << "23:30" << 23 << 24;
        QTest::newRow("stored with a leading zero") << "08:00" << "21:00" << 8 << 21;
    }
    void visibleRange() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        const TimeRange range = VisibleRange(from, to);
        QCOMPARE(range.startHour, FETCHED(int, start));
        QCOMPARE(range.endHour, FETCHED(int, end));
    }

    void shownDays_data() {
        QTest::addColumn<QDate>("shown");
        QTest::addColumn<int>("interval");
        QTest::addColumn<bool>("weekend");
        QTest::addColumn<QDate>("first");
        QTest::addColumn<QDate>("last");
        QTest::addColumn<int>("count");
        // 06.12.2026 is a Sunday, 07.12.2026 a Monday.
        QTest::newRow("week from a Sunday") << QDate(2026, 12, 6) << 1 << true << QDate(2026, 11, 30) << QDate(2026, 12, 6) << 7;
        QTest::newRow("week from a Monday") << QDate(2026, 12, 7) << 1 << true << QDate(2026, 12, 7) << QDate(2026, 12, 13) << 7;
        QTest::newRow("week without the weekend") << QDate(2026, 12, 9) << 1 << false << QDate(2026, 12, 7) << QDate(2026, 12, 11) << 5;
        QTest::newRow("one working day") << QDate(2026, 12, 9) << 0 << false << QDate(2026, 12, 9) << QDate(2026, 12, 9) << 1;
        QTest::newRow("a day the clinic is closed") << QDate(2026, 12, 12) << 0 << false << QDate() << QDate() << 0;
    }
    void shownDays() {
        QFETCH(QDate, shown);
        QFETCH(int, interval);
        QFETCH(bool, weekend);
        const QList<QDate> days = ShownDays(shown, Interval(interval), weekend ? AllDays : WeekDays);
        QCOMPARE(days.size(), FETCHED(int, count));
        if (!days.isEmpty()) {
            QCOMPARE(days.first(), FETCHED(QDate, first));
            QCOMPARE(days.last(), FETCHED(QDate, last));
        }
        for (const QDate& d : days) QVERIFY(weekend || d.dayOfWeek() <= 5);
    }

    void dayCaption() { QCOMPARE(DayCaption(QDate(2026, 12, 9)), QStringLiteral("Trešd. 09.12.2026")); }

    // Position and height of one block: 10 pixels per quarter hour below the first visible hour.
    void blockGeometry_data() {
        QTest::addColumn<int>("startHour");
        QTest::addColumn<int>("hourOffset");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("duration");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("9:15 for 0:45 from 9:00") << 9 << 0 << 9 * 60 + 15 << 45 << QRect(47, 40 + 11, 90, 31);
        QTest::newRow("9:15 for 0:45 from 8:00") << 8 << 0 << 9 * 60 + 15 << 45 << QRect(47, 40 + 40 + 11, 90, 31);
        QTest::newRow("at the first hour") << 8 << 0 << 8 * 60 << 60 << QRect(47, 41, 90, 41);
        QTest::newRow("scrolled one hour down") << 8 << 1 << 9 * 60 + 15 << 45 << QRect(47, 40 + 11, 90, 31);
        QTest::newRow("reaches into the shown hours") << 9 << 0 << 8 * 60 + 30 << 60 << QRect(47, 41, 90, 21);
        QTest::newRow("over before the shown hours") << 9 << 0 << 7 * 60 << 60 << QRect();
        QTest::newRow("after the end hour") << 9 << 0 << 18 * 60 << 30 << QRect();
    }
    void blockGeometry() {
        QFETCH(int, startHour);
        CalendarLayout layout = grid(1, {startHour, 18}, {600, 200});  // short: the hours scroll
        layout.setHourOffset(FETCHED(int, hourOffset));
        const QVector<QRect> rects = layout.placeBlocks({appointment(0, FETCHED(int, start), FETCHED(int, duration), 1)});
        QCOMPARE(rects.at(0), FETCHED(QRect, rect));
    }

    // Blocks of one column that overlap stay visible: the second of two on the right third, three
    // or more side by side. Blocks that only touch keep the full width.
    void overlappingBlocks_data() {
        QTest::addColumn<QVector<int>>("starts");
        QTest::addColumn<QVector<int>>("durations");
        QTest::addColumn<QVector<int>>("widths");
        QTest::newRow("10:00 for 60 and 10:30") << QVector<int>{600, 630} << QVector<int>{60, 30} << QVector<int>{90, 33};
        QTest::newRow("two at the same time") << QVector<int>{600, 600} << QVector<int>{60, 60} << QVector<int>{90, 33};
        QTest::newRow("touching") << QVector<int>{600, 660} << QVector<int>{60, 60} << QVector<int>{90, 90};
        QTest::newRow("three at once") << QVector<int>{600, 600, 615} << QVector<int>{60, 60, 30} << QVector<int>{31, 31, 31};
        QTest::newRow("a chain of two lanes") << QVector<int>{600, 630, 660} << QVector<int>{45, 45, 45}
                                              << QVector<int>{90, 33, 90};
    }
    void overlappingBlocks() {
        QFETCH(QVector<int>, starts);
        QFETCH(QVector<int>, durations);
        QFETCH(QVector<int>, widths);
        const CalendarLayout layout = grid(2);
        QVector<PlannerBlock> blocks;
        for (int i = 0; i < starts.size(); ++i) blocks << appointment(1, starts.at(i), durations.at(i), i + 1);
        const QVector<QRect> rects = layout.placeBlocks(blocks);
        const int columnLeft = layout.columnLeft(1);
        for (int i = 0; i < rects.size(); ++i) {
            QCOMPARE(rects.at(i).width(), widths.at(i));
            QVERIFY(rects.at(i).left() >= columnLeft && rects.at(i).right() < columnLeft + 100);
        }
        if (widths.contains(33)) {
            const QRect narrow = rects.at(widths.indexOf(33));
            QCOMPARE(narrow.left() + narrow.width(), columnLeft + 100);  // at the column's right edge
        }
        if (widths.first() < 90)  // side by side: no block hides another
            for (int i = 0; i < rects.size(); ++i)
                for (int j = i + 1; j < rects.size(); ++j) QVERIFY(!rects.at(i).intersects(rects.at(j)));
    }

    void scrolling() {
        // 8:00-21:00 is 13 hours: 560 pixels with the header, in a picture 400 high.
        CalendarLayout layout(TimeRange{8, 21}, 100, 12);
        layout.setPictureSize({645, 400});
        QCOMPARE(layout.hiddenHours(), 14 - 10);
        QCOMPARE(layout.hiddenColumns(), 12 - 6);
        layout.setHourOffset(9);  // kept within what is hidden
        QCOMPARE(layout.hourOffset(), 4);
        layout.setColumnOffset(3);
        QCOMPARE(layout.columnLeft(3), CalendarLayout::AxisWidth);
        const QVector<QRect> rects = layout.placeBlocks({appointment(1, 12 * 60, 60, 1), appointment(4, 12 * 60, 60, 2)});
        QVERIFY(rects.at(0).isNull());  // scrolled off to the left
        QCOMPARE(rects.at(1).topLeft(), QPoint(CalendarLayout::AxisWidth + 100 + 2, 41));
        layout.setPictureSize({2000, 2000});
        QCOMPARE(layout.hiddenHours(), 0);
        QCOMPARE(layout.hiddenColumns(), 0);
    }

    // A double-click on the grid: the column and the half hour under the point, or nothing.
    void slotAt_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("column");  // -1: nothing
        QTest::addColumn<int>("minutes");
        QTest::newRow("first half hour") << QPoint(50, 45) << 0 << 8 * 60;
        QTest::newRow("second column, 8:30") << QPoint(45 + 100 + 5, 40 + 25) << 1 << 8 * 60 + 30;
        QTest::newRow("last band") << QPoint(250, 40 + 10 * 40 - 1) << 2 << 17 * 60 + 30;
        QTest::newRow("on the axis") << QPoint(30, 100) << -1 << 0;
        QTest::newRow("in the header") << QPoint(100, 30) << -1 << 0;
        QTest::newRow("after the end hour") << QPoint(100, 40 + 10 * 40 + 5) << -1 << 0;
        QTest::newRow("past the last column") << QPoint(45 + 300 + 5, 100) << -1 << 0;
        QTest::newRow("cut-off column") << QPoint(45 + 200 + 5, 100) << -1 << 0;
    }
    void slotAt() {
        QFETCH(int, column);
        // Three columns in a picture that shows two whole ones and part of the third.
        CalendarLayout layout(TimeRange{8, 18}, 100, 3);
        layout.setPictureSize({QTest::currentDataTag() == QByteArray("last band") ? 400 : 300, 600});
        const auto slot = layout.slotAt(FETCHED(QPoint, point));
        if (column < 0) {
            QVERIFY(!slot);
        } else {
            QVERIFY(slot);
            QCOMPARE(slot->column, column);
            QCOMPARE(slot->minutes, FETCHED(int, minutes));
        }
    }

    // A block dragged from one point to another: the column under the mouse and the start moved by
    // the half hours travelled; nothing for a drop outside the columns or without a change.
    void dropTarget_data() {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<int>("column");  // -1: nothing is stored
        QTest::addColumn<int>("minutes");
        const QPoint grip(100, 100);  // inside the block in column 0
        QTest::newRow("to the next column") << grip << grip + QPoint(100, 0) << 1 << 9 * 60 + 15;
        QTest::newRow("an hour later") << grip << grip + QPoint(0, 40) << 0 << 10 * 60 + 15;
        QTest::newRow("half an hour earlier, next day") << grip << grip + QPoint(200, -21) << 2 << 8 * 60 + 45;
        QTest::newRow("a jiggle") << grip << grip + QPoint(4, 6) << -1 << 0;
        QTest::newRow("onto the time axis") << grip << QPoint(20, 100) << -1 << 0;
        QTest::newRow("past the last column") << grip << QPoint(45 + 300 + 10, 100) << -1 << 0;
        QTest::newRow("outside the picture") << grip << QPoint(100, 900) << -1 << 0;
        QTest::newRow("above the first hour") << grip << grip + QPoint(0, -60) << -1 << 0;
    }
    void dropTarget() {
        const CalendarLayout layout = grid(3);
        const PlannerBlock block = appointment(0, 9 * 60 + 15, 45, 7);
        const auto target = layout.dropTarget(block, FETCHED(QPoint, from), FETCHED(QPoint, to));
        QFETCH(int, column);
        if (column < 0) {
            QVERIFY(!target);
        } else {
            QVERIFY(target);
            QCOMPARE(target->column, column);
            QCOMPARE(target->minutes, FETCHED(int, minutes));
        }
    }

    void keyLists_data() {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("text");
        QTest::newRow("two") << QList<int>{12, 345} << "|12||345|";
        QTest::newRow("none") << QList<int>{} << "";
    }
    void keyLists() {
        QFETCH(QList<int>, keys);
        QFETCH(QString, text);
        QCOMPARE(app::FormatKeyList(keys), text);
        QCOMPARE(app::ParseKeyList(text), keys);
        for (int key : keys) QVERIFY(app::KeyListContains(text, key));
        QVERIFY(!app::KeyListContains(QStringLiteral("|12||345|"), 34));  // 34 is not part of 345
    }

    void checkListItems() {
        const QString item = CheckListItemText(QStringLiteral("Eglīte Māra"), 23);
        QCOMPARE(item.size(), 50 + 3);
        QVERIFY(item.startsWith(QStringLiteral("Eglīte Māra ")));
        QCOMPARE(CheckListItemKey(item), 23);
        QCOMPARE(CheckListItemKey(QStringLiteral("A|B|7")), 7);
        QCOMPARE(CheckListItemKey(QStringLiteral("no key")), 0);
    }
};

QTEST_GUILESS_MAIN(TestCalendarLayout)
#include "tst_calendar_layout.moc"
