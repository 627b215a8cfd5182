#include "calendar/PlannerPainter.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace calendar {

QColor TextColorOn(const QColor& fill) {
    // Relative luminance as the eye weighs the channels.
    const double y = 0.299 * fill.redF() + 0.587 * fill.greenF() + 0.114 * fill.blueF();
    return y < 0.5 ? QColor(Qt::white) : QColor(Qt::black);
}

FittedCaption FitCaption(const QFont& base, const QString& text, int width, int maxHeight) {
    FittedCaption fitted{32, text};
    QFont font = base;
    for (; fitted.pointSize > 8; --fitted.pointSize) {
        font.setPointSize(fitted.pointSize);
        const QFontMetrics fm(font);
        if (fm.horizontalAdvance(text) <= width - 4 && fm.height() <= maxHeight) return fitted;
    }
    font.setPointSize(8);
    const QFontMetrics fm(font);
    while (!fitted.text.isEmpty() && fm.horizontalAdvance(fitted.text) > width - 4) fitted.text.chop(1);
    return fitted;
}

namespace {

QColor stored(quint32 bgr) { return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)); }

void drawCaption(QPainter& p, const QRect& cell, const QString& text, const QFont& base) {
    const FittedCaption fitted = FitCaption(base, text, cell.width());
    QFont font = base;
    font.setPointSize(fitted.pointSize);
    p.setFont(font);
    p.drawText(cell, Qt::AlignCenter, fitted.text);
}

}  // namespace

void PaintGrid(QPainter& p, const CalendarLayout& layout, const QVector<PlannerColumn>& columns,
               const std::array<quint32, 6>& colors, const QFont& base) {
    const QSize size = layout.pictureSize();
    const int axis = CalendarLayout::AxisWidth;
    const int header = CalendarLayout::HeaderHeight;
    p.fillRect(QRect(QPoint(0, 0), size), Qt::white);

    QFont axisFont = base;
    axisFont.setPointSize(12);
    QFont smallFont = base;
    smallFont.setPointSize(7);
    const int thirtyWidth = QFontMetrics(smallFont).horizontalAdvance(QStringLiteral("30"));
    const int bandStart = axis - thirtyWidth - 3;
    const int bottom = std::min(layout.bandsBottom(), size.height());
    const int gridRight = std::min(size.width(), layout.columnLeft(layout.columnCount()));

    // Bands: a quarter-hour line every 10 pixels, the hour lines across the axis too.
    const QColor quarterPen(0xE4, 0xE4, 0xE4);
    const QColor halfPen(0xC8, 0xC8, 0xC8);
    const QColor hourPen(0x80, 0x80, 0x80);
    const int hours = layout.range().endHour - layout.firstVisibleHour();
    for (int band = 0; band <= hours * 4; ++band) {
        const int y = header + band * CalendarLayout::BandHeight;
        if (y > size.height()) break;
        if (band % 4 == 0) {
            p.setPen(hourPen);
            p.drawLine(0, y, gridRight, y);
        } else {
            p.setPen(band % 2 == 0 ? halfPen : quarterPen);
            p.drawLine(bandStart, y, gridRight, y);
        }
    }
    // The axis: the hour near the top of its bands, "30" at the half hour.
    p.setPen(Qt::black);
    for (int h = 0; h < hours; ++h) {
        const int top = header + h * CalendarLayout::HourHeight;
        if (top > size.height()) break;
        p.setFont(axisFont);
        const QFontMetrics fm(axisFont);
        p.drawText(QRect(0, top + 10 - fm.ascent() / 2, bandStart, fm.height()), Qt::AlignHCenter | Qt::AlignTop,
                   QString::number(layout.firstVisibleHour() + h));
        p.setFont(smallFont);
        const QFontMetrics sm(smallFont);
        p.drawText(QRect(0, top + CalendarLayout::HourHeight / 2 - sm.height(), axis - 3, sm.height()),
                   Qt::AlignRight | Qt::AlignBottom, QStringLiteral("30"));
    }

    // Headers, then the column edges over them; a day begins with a stronger line.
    for (int c = layout.columnOffset(); c < columns.size() && layout.columnVisible(c); ++c) {
        const int left = layout.columnLeft(c);
        const QColor dayColor = stored(colors[c % 2 == 0 ? 4 : 5]);
        const QRect dayCell(left, 0, layout.columnWidth(), CalendarLayout::HeaderRowHeight);
        const QRect nameCell(left, CalendarLayout::HeaderRowHeight, layout.columnWidth(), CalendarLayout::HeaderRowHeight);
        p.fillRect(dayCell, dayColor);
        p.fillRect(nameCell, QColor(0xF4, 0xF4, 0xF4));
        p.setPen(TextColorOn(dayColor));
        drawCaption(p, dayCell, columns.at(c).dayCaption(), base);
        p.setPen(Qt::black);
        drawCaption(p, nameCell, columns.at(c).nameCaption, base);
    }
    p.setPen(hourPen);
    p.drawLine(0, header, gridRight, header);
    p.drawLine(axis, 0, axis, bottom);
    for (int c = layout.columnOffset(); c <= columns.size(); ++c) {
        const int x = layout.columnLeft(c);
        if (x > size.width()) break;
        const bool dayStart = c == columns.size() || c == 0 || columns.at(c).date != columns.at(c - 1).date;
        p.setPen(QPen(dayStart ? QColor(0x40, 0x40, 0x40) : hourPen, dayStart ? 2 : 1));
        p.drawLine(x, 0, x, bottom);
    }
}

QString StatusText(int status) {
    switch (status) {
    case 1:
        return QCoreApplication::translate("TKalendaraPlanosana", "Sazvanīt");
    case 2:
        return QCoreApplication::translate("TKalendaraPlanosana", "Jau sazvanīts");
    default:
        return {};
    }
}

void PaintStatusIcon(QPainter& p, const QRect& r, int status) {
    if (status <= 0) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF c = QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5);
    if (status == 1) {
        // Call the patient: a white handset on orange.
        p.setPen(QPen(QColor(0x80, 0x40, 0x00), 1));
        p.setBrush(QColor(0xF0, 0x8C, 0x00));
        p.drawEllipse(c);
        QPainterPath handset;
        const double w = c.width();
        const double x = c.left();
        const double y = c.top();
        handset.moveTo(x + 0.22 * w, y + 0.30 * w);
        handset.cubicTo(x + 0.25 * w, y + 0.80 * w, x + 0.75 * w, y + 0.80 * w, x + 0.78 * w, y + 0.30 * w);
        p.setPen(QPen(Qt::white, std::max(2.0, w / 6), Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(handset);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(x + 0.22 * w, y + 0.30 * w), w * 0.12, w * 0.12);
        p.drawEllipse(QPointF(x + 0.78 * w, y + 0.30 * w), w * 0.12, w * 0.12);
    } else if (status == 2) {
        // Called: a white tick on green.
        p.setPen(QPen(QColor(0x10, 0x60, 0x10), 1));
        p.setBrush(QColor(0x2E, 0xA0, 0x3C));
        p.drawEllipse(c);
        const double w = c.width();
        QPainterPath tick;
        tick.moveTo(c.left() + 0.25 * w, c.top() + 0.52 * w);
        tick.lineTo(c.left() + 0.43 * w, c.top() + 0.70 * w);
        tick.lineTo(c.left() + 0.76 * w, c.top() + 0.32 * w);
        p.setPen(QPen(Qt::white, std::max(2.0, w / 7), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    } else {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(0xC0, 0xC0, 0xC0));
        p.drawEllipse(c);
        QFont f = p.font();
        f.setPointSize(7);
        p.setFont(f);
        p.drawText(r, Qt::AlignCenter, QString::number(status));
    }
    p.restore();
}

}  // namespace calendar
