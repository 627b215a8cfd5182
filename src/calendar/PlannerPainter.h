#pragma once
#include "calendar/CalendarLayout.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <array>

class QPainter;

// Drawing of the planner: the grid picture, fitted captions, block colours and status icons.
namespace calendar {

// Black or white, whichever reads better on the fill.
QColor TextColorOn(const QColor& fill);

// A caption fitted into a header cell: the largest font size from 32 down to 8 at which it is
// narrower than width - 4 and not higher than 18 pixels; at size 8 characters are cut from its end.
struct FittedCaption {
    int pointSize = 8;
    QString text;
};
FittedCaption FitCaption(const QFont& base, const QString& text, int width, int maxHeight = 18);

// The picture: white ground, band and hour lines, the time axis, column edges and the two header
// rows (day captions on alternating colours 5 and 6, name captions below).
void PaintGrid(QPainter& painter, const CalendarLayout& layout, const QVector<PlannerColumn>& columns,
               const std::array<quint32, 6>& colors, const QFont& base);

// The icon of an appointment's call status (1 call the patient, 2 called); nothing for 0.
void PaintStatusIcon(QPainter& painter, const QRect& rect, int status);
constexpr int StatusIconSize = 14;
// "Sazvanīt", "Jau sazvanīts"; empty for 0.
QString StatusText(int status);

}  // namespace calendar
