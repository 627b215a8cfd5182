#include "reports/BandPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

namespace reports {

namespace {
constexpr double kMmPerInch = 25.4;
}

BandPainter::BandPainter(const QPaintDevice& device, const ValueResolver& resolver)
    : m_device(device),
      m_resolver(resolver),
      m_dotsPerMmX(device.logicalDpiX() / kMmPerInch),
      m_dotsPerMmY(device.logicalDpiY() / kMmPerInch) {}

QFont BandPainter::font(const TextItem& item) const {
    QFont f(item.fontFamily);
    f.setPointSizeF(item.fontSize);
    f.setBold(item.bold);
    f.setItalic(item.italic);
    return f;
}

int BandPainter::flags(const TextItem& item) const {
    return int(item.alignment) | (item.wrap ? int(Qt::TextWordWrap) : 0);
}

double BandPainter::grownHeight(const TextItem& item, const QString& text) const {
    // Metrics of the device itself: a PDF at 1200 dpi and a screen preview may break lines at
    // slightly different places, and what is painted must fit what was measured.
    const QFontMetricsF metrics(font(item), &m_device);
    const QRectF room(0, 0, item.rect.width() * m_dotsPerMmX, 1e9);
    const double textDots = metrics.boundingRect(room, flags(item), text).height();
    // The declared height holds one line and the room around it; every further line adds to it.
    const double extraLines = qMax(0.0, textDots - metrics.height()) / m_dotsPerMmY;
    return item.rect.height() + extraLines;
}

double BandPainter::height(const Band& band, const Scope& scope) const {
    double h = band.height;
    for (const TextItem& item : band.texts) {
        if (!item.wrap) continue;
        const double grown = grownHeight(item, m_resolver.text(item.text, scope));
        h = qMax(h, band.height + grown - item.rect.height());
    }
    return h;
}

QRectF BandPainter::toDots(const QRectF& mm, double top) const {
    return QRectF(mm.left() * m_dotsPerMmX, (top + mm.top()) * m_dotsPerMmY, mm.width() * m_dotsPerMmX,
                  mm.height() * m_dotsPerMmY);
}

QPointF BandPainter::toDots(const QPointF& mm, double top) const {
    return QPointF(mm.x() * m_dotsPerMmX, (top + mm.y()) * m_dotsPerMmY);
}

double BandPainter::penWidth(double mm) const { return mm * m_dotsPerMmX; }

void BandPainter::paint(QPainter& painter, const Band& band, const Scope& scope, double top) const {
    painter.save();
    for (const TextItem& item : band.texts) {
        const QString text = m_resolver.text(item.text, scope);
        QRectF rect = item.rect;
        if (item.wrap) rect.setHeight(grownHeight(item, text));
        painter.setFont(font(item));
        painter.setPen(Qt::black);
        painter.drawText(toDots(rect, top), flags(item), text);
        if (item.frameWidth > 0) {
            painter.setPen(QPen(Qt::black, penWidth(item.frameWidth)));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(toDots(rect, top));
        }
    }
    for (const LineItem& line : band.lines) {
        painter.setPen(QPen(Qt::black, penWidth(line.width), Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(toDots(line.line.p1(), top), toDots(line.line.p2(), top));
    }
    for (const FrameItem& frame : band.frames) {
        painter.setPen(QPen(Qt::black, penWidth(frame.width)));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(toDots(frame.rect, top));
    }
    painter.restore();
}

}  // namespace reports
