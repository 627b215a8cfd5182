#pragma once
#include <QDate>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <array>
#include <optional>

// The planner's grid as numbers: which days and hours are shown, where a column, a time and a block
// lie in the picture, and what a click or a drop at a point means. No widgets: the window paints
// what this computes.
//
// Picture coordinates: (0, 0) is the top-left corner of the drawn grid. The time axis takes the
// first 45 pixels, the two header rows the first 40; one hour is 40 pixels (10 per quarter).
namespace calendar {

enum class Interval { Day = 0, Week = 1 };
enum class ColumnKind { Specialists = 0, Rooms = 1 };

// The hours the bands cover: from startHour up to (not including) endHour.
struct TimeRange {
    int startHour = 8;
    int endHour = 18;
    bool operator==(const TimeRange&) const = default;
};

// The 48 choices of the time combos: "0:00", "0:30", ... "23:30".
QStringList HalfHourTexts();
// The range the two combo texts give: whole hours, at least one ("8:00" to "17:30" is 8 to 18,
// "9:00" to "9:00" is 9 to 10). A text without a readable hour counts as 0.
TimeRange VisibleRange(const QString& fromText, const QString& toText);

// The days that get columns: the shown date alone, or its week from Monday to Sunday, leaving out
// the weekdays the clinic does not work (working[0] Monday ... working[6] Sunday).
QList<QDate> ShownDays(const QDate& shown, Interval interval, const std::array<bool, 7>& working);
// "Pirmd. 07.12.2026".
QString DayCaption(const QDate& date);

// One column: a day and a specialist or room.
struct PlannerColumn {
    QDate date;
    int key = 0;          // N_AGENTS.ISN or N_KABINETI.ISN
    QString nameCaption;  // the specialist's or room's name
    QString dayCaption() const { return DayCaption(date); }
};

enum class BlockKind { Appointment, Holiday, NonReceiving };

// One block to draw in a column.
struct PlannerBlock {
    BlockKind kind = BlockKind::Appointment;
    int column = 0;
    int startMinutes = 0;  // from midnight
    int durationMinutes = 0;
    int appointmentKey = 0;  // 0 for holiday and non-receiving blocks
    int specialistKey = 0;   // 0 for holiday and non-receiving blocks
    int roomKey = 0;
    int callStatus = 0;  // status icon; 0 none
    quint32 color = 0;   // 0x00BBGGRR
    QString firstText;
    QString secondText;
    QVariant stamp;  // the appointment's IEVDAT_EDIT as read, for the stale-move check
    bool operator==(const PlannerBlock&) const = default;
};

// Where a click or a drop lands: a column and a start time.
struct PlannerSlot {
    int column = 0;
    int minutes = 0;  // from midnight
    bool operator==(const PlannerSlot&) const = default;
};

class CalendarLayout {
public:
    static constexpr int BandHeight = 10;  // a quarter of an hour
    static constexpr int HourHeight = 40;
    static constexpr int HeaderRowHeight = 20;
    static constexpr int HeaderHeight = 40;
    static constexpr int AxisWidth = 45;
    static constexpr int DefaultColumnWidth = 100;

    CalendarLayout() = default;
    CalendarLayout(TimeRange range, int columnWidth, int columnCount);

    TimeRange range() const { return m_range; }
    int columnWidth() const { return m_columnWidth; }
    int columnCount() const { return m_columnCount; }

    // The size of the drawn picture; decides what is hidden and needs scrolling.
    void setPictureSize(const QSize& size) { m_picture = size; }
    QSize pictureSize() const { return m_picture; }
    // Whole hours scrolled off the top, whole columns scrolled off the left; both are kept within
    // what is hidden.
    void setHourOffset(int hours);
    void setColumnOffset(int columns);
    int hourOffset() const { return m_hourOffset; }
    int columnOffset() const { return m_columnOffset; }

    // Hours and columns that do not fit the picture (0 when everything fits).
    int hiddenHours() const;
    int hiddenColumns() const;

    int firstVisibleHour() const { return m_range.startHour + m_hourOffset; }
    // Bottom edge of the last band (picture y).
    int bandsBottom() const;
    // Columns shown whole, from the column offset on.
    int wholeVisibleColumns() const;
    // Left edge of a column (picture x), after the horizontal scroll.
    int columnLeft(int column) const;
    bool columnVisible(int column) const;

    // Offset of a start time below the first visible band line: (minutes since the first visible
    // hour) div 15 x 10 + 1; -1 when the time lies before the first visible hour.
    int verticalPosition(int minutes) const;
    // Height of a block lasting the given minutes: duration div 15 x 10 + 1.
    static int blockHeight(int durationMinutes);

    // The rectangles of the blocks, in picture coordinates, in the order given; an empty rectangle
    // for a block not drawn (its column scrolled away, or it lies outside the visible hours).
    // A block that begins above the first visible hour but reaches into it is drawn from the top.
    // Blocks of one column that overlap share it: with two, the later one takes the right third
    // over the earlier; with three or more at once, they stand side by side.
    QVector<QRect> placeBlocks(const QVector<PlannerBlock>& blocks) const;

    // The empty half-hour slot under a point (a double-click): right of the time axis, below the
    // header, in a whole visible column and before the end hour; nothing otherwise.
    std::optional<PlannerSlot> slotAt(const QPoint& point) const;

    // Where a block dragged from `from` to `to` (picture points of the mouse) lands: the column
    // under the mouse, and the start moved by the whole half hours the mouse travelled. Nothing
    // when the mouse is released over the time axis, the header, outside the picture or past the
    // last column, when the new start falls outside the visible hours, or when neither the column
    // nor the time changes.
    std::optional<PlannerSlot> dropTarget(const PlannerBlock& block, const QPoint& from, const QPoint& to) const;

    // The column under a picture x, or -1.
    int columnAt(int x) const;

private:
    TimeRange m_range;
    int m_columnWidth = DefaultColumnWidth;
    int m_columnCount = 0;
    QSize m_picture{800, 600};
    int m_hourOffset = 0;
    int m_columnOffset = 0;
};

}  // namespace calendar
