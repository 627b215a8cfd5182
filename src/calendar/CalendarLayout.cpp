#include "calendar/CalendarLayout.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>

namespace calendar {

namespace {

// The hour before the colon, and the minutes after it; 0 for what cannot be read.
int hourOf(const QString& text) { return text.section(QLatin1Char(':'), 0, 0).trimmed().toInt(); }
int minutesOf(const QString& text) { return text.section(QLatin1Char(':'), 1, 1).trimmed().toInt(); }

}  // namespace

QStringList HalfHourTexts() {
    QStringList texts;
    texts.reserve(48);
    for (int h = 0; h < 24; ++h) {
        texts << QStringLiteral("%1:00").arg(h) << QStringLiteral("%1:30").arg(h);
    }
    return texts;
}

TimeRange VisibleRange(const QString& fromText, const QString& toText) {
    TimeRange range;
    range.startHour = std::clamp(hourOf(fromText), 0, 23);
    int endHour = std::clamp(hourOf(toText), 0, 24);
    const int fromMinutes = range.startHour * 60 + minutesOf(fromText);
    const int toMinutes = endHour * 60 + minutesOf(toText);
    if (toMinutes < fromMinutes) {
        // An end before the start reads as the start: one hour is shown.
        endHour = range.startHour;
    } else if (endHour != range.startHour && minutesOf(toText) > 0) {
        ++endHour;  // "17:30" shows the band up to 18:00
    }
    if (endHour == range.startHour) ++endHour;
    range.endHour = std::min(endHour, 24);
    return range;
}

QList<QDate> ShownDays(const QDate& shown, Interval interval, const std::array<bool, 7>& working) {
    QList<QDate> days;
    if (!shown.isValid()) return days;
    QDate first = shown;
    int count = 1;
    if (interval == Interval::Week) {
        first = shown.addDays(1 - shown.dayOfWeek());
        count = 7;
    }
    for (int i = 0; i < count; ++i) {
        const QDate day = first.addDays(i);
        if (working[size_t(day.dayOfWeek() - 1)]) days.append(day);
    }
    return days;
}

QString DayCaption(const QDate& date) {
    static const char* const names[] = {QT_TRANSLATE_NOOP("TKalendaraPlanosana", "Pirmd."),
                                        QT_TRANSLATE_NOOP("TKalendaraPlanosana", "Otrd."),
                                        QT_TRANSLATE_NOOP("TKalendaraPlanosana", "Trešd."),
                                        QT_TRANSLATE_NOOP("TKalendaraPlanosana", "Ceturd."),
                                        QT_TRANSLATE_NOOP("TKalendaraPlanosana", "Piektd."),
                                        QT_TRANSLATE_NOOP("TKalendaraPlanosana", "Sestd."),
                                        QT_TRANSLATE_NOOP("TKalendaraPlanosana", "Svētd.")};
    if (!date.isValid()) return {};
    return QCoreApplication::translate("TKalendaraPlanosana", names[date.dayOfWeek() - 1]) + QLatin1Char(' ') +
           date.toString(QStringLiteral("dd.MM.yyyy"));
}

CalendarLayout::CalendarLayout(TimeRange range, int columnWidth, int columnCount)
    : m_range(range), m_columnWidth(std::max(columnWidth, 10)), m_columnCount(std::max(columnCount, 0)) {}

void CalendarLayout::setHourOffset(int hours) { m_hourOffset = std::clamp(hours, 0, hiddenHours()); }

void CalendarLayout::setColumnOffset(int columns) { m_columnOffset = std::clamp(columns, 0, hiddenColumns()); }

int CalendarLayout::hiddenHours() const {
    const int gridHeight = HeaderHeight + (m_range.endHour - m_range.startHour) * HourHeight;
    if (gridHeight <= m_picture.height()) return 0;
    return std::max(0, (m_range.endHour - m_range.startHour + 1) - m_picture.height() / HourHeight);
}

int CalendarLayout::hiddenColumns() const {
    const int room = m_picture.width() - AxisWidth;
    if (m_columnCount * m_columnWidth <= room) return 0;
    return std::max(0, m_columnCount - std::max(room, 0) / m_columnWidth);
}

int CalendarLayout::bandsBottom() const { return HeaderHeight + (m_range.endHour - firstVisibleHour()) * HourHeight; }

int CalendarLayout::wholeVisibleColumns() const {
    const int fit = std::max(m_picture.width() - AxisWidth, 0) / m_columnWidth;
    return std::clamp(m_columnCount - m_columnOffset, 0, fit);
}

int CalendarLayout::columnLeft(int column) const { return AxisWidth + (column - m_columnOffset) * m_columnWidth; }

bool CalendarLayout::columnVisible(int column) const {
    return column >= m_columnOffset && column < m_columnCount && columnLeft(column) < m_picture.width();
}

int CalendarLayout::verticalPosition(int minutes) const {
    const int first = firstVisibleHour() * 60;
    if (minutes < first) return -1;
    return (minutes - first) / 15 * BandHeight + 1;
}

int CalendarLayout::blockHeight(int durationMinutes) { return std::max(durationMinutes, 0) / 15 * BandHeight + 1; }

QVector<QRect> CalendarLayout::placeBlocks(const QVector<PlannerBlock>& blocks) const {
    QVector<QRect> rects(blocks.size());
    const int firstMinute = firstVisibleHour() * 60;
    const int lastMinute = m_range.endHour * 60;
    const int fullWidth = m_columnWidth - m_columnWidth / 10;

    // Which blocks are drawn, per column, with their full-width rectangles.
    QHash<int, QVector<int>> byColumn;
    for (int i = 0; i < blocks.size(); ++i) {
        const PlannerBlock& b = blocks.at(i);
        if (!columnVisible(b.column)) continue;
        const int end = b.startMinutes + b.durationMinutes;
        if (b.startMinutes >= lastMinute || end <= firstMinute) continue;
        int top = 0;
        int height = 0;
        if (b.startMinutes >= firstMinute) {
            top = HeaderHeight + verticalPosition(b.startMinutes);
            height = blockHeight(b.durationMinutes);
        } else {
            // Begins above the shown hours: the part that reaches into them is drawn.
            top = HeaderHeight + 1;
            height = blockHeight(end - firstMinute);
        }
        rects[i] = QRect(columnLeft(b.column) + 2, top, fullWidth, height);
        byColumn[b.column].append(i);
    }

    // Overlapping blocks of a column: groups of blocks linked by overlaps, each block in the first
    // lane free at its start.
    for (auto it = byColumn.begin(); it != byColumn.end(); ++it) {
        QVector<int> order = it.value();
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return blocks.at(a).startMinutes < blocks.at(b).startMinutes;
        });
        const int left = columnLeft(it.key());
        int i = 0;
        while (i < order.size()) {
            QVector<int> group;
            QVector<int> laneOf;
            QVector<int> laneEnds;
            int groupEnd = 0;
            int j = i;
            for (; j < order.size(); ++j) {
                const PlannerBlock& b = blocks.at(order.at(j));
                const int start = b.startMinutes;
                const int end = start + std::max(b.durationMinutes, 1);
                if (j > i && start >= groupEnd) break;
                int lane = 0;
                while (lane < laneEnds.size() && laneEnds.at(lane) > start) ++lane;
                if (lane == laneEnds.size()) laneEnds.append(end);
                else laneEnds[lane] = end;
                group.append(order.at(j));
                laneOf.append(lane);
                groupEnd = std::max(groupEnd, end);
            }
            const int lanes = int(laneEnds.size());
            if (lanes == 2) {
                // The later of two sits over the right third of the earlier.
                const int width = m_columnWidth / 3;
                for (int g = 0; g < group.size(); ++g)
                    if (laneOf.at(g) == 1) {
                        QRect& r = rects[group.at(g)];
                        r.setLeft(left + m_columnWidth - width);
                        r.setWidth(width);
                    }
            } else if (lanes > 2) {
                const int laneWidth = std::max((m_columnWidth - 4) / lanes, 3);
                for (int g = 0; g < group.size(); ++g) {
                    QRect& r = rects[group.at(g)];
                    r.setLeft(left + 2 + laneOf.at(g) * laneWidth);
                    r.setWidth(laneWidth - 1);
                }
            }
            i = j;
        }
    }
    return rects;
}

int CalendarLayout::columnAt(int x) const {
    if (x < AxisWidth || x >= m_picture.width()) return -1;
    const int column = m_columnOffset + (x - AxisWidth) / m_columnWidth;
    return column < m_columnCount ? column : -1;
}

std::optional<PlannerSlot> CalendarLayout::slotAt(const QPoint& point) const {
    if (point.x() < AxisWidth || point.y() < HeaderHeight || point.x() >= m_picture.width() ||
        point.y() >= m_picture.height())
        return std::nullopt;
    const int shown = (point.x() - AxisWidth) / m_columnWidth;
    if (shown >= wholeVisibleColumns()) return std::nullopt;
    const int minutes = firstVisibleHour() * 60 + (point.y() - HeaderHeight) / (HourHeight / 2) * 30;
    if (minutes >= m_range.endHour * 60) return std::nullopt;
    return PlannerSlot{m_columnOffset + shown, minutes};
}

std::optional<PlannerSlot> CalendarLayout::dropTarget(const PlannerBlock& block, const QPoint& from,
                                                      const QPoint& to) const {
    if (to.y() < 0 || to.y() >= m_picture.height()) return std::nullopt;
    const int column = columnAt(to.x());
    if (column < 0) return std::nullopt;
    // Whole half hours the mouse travelled, to the nearest.
    const int dy = to.y() - from.y();
    const int step = HourHeight / 2;
    const int halfHours = dy >= 0 ? (dy + step / 2) / step : -((-dy + step / 2) / step);
    const int minutes = block.startMinutes + halfHours * 30;
    if (halfHours != 0 && (minutes < firstVisibleHour() * 60 || minutes >= m_range.endHour * 60)) return std::nullopt;
    if (column == block.column && halfHours == 0) return std::nullopt;
    return PlannerSlot{column, minutes};
}

}  // namespace calendar
