#pragma once
#include "reports/ReportLayout.h"
#include "reports/ValueResolver.h"

class QFont;
class QPainter;
class QPaintDevice;

namespace reports {

// Measures and paints bands on one paint device. Layout lengths are millimetres; the device
// works in its own dots, so every length is converted here and nowhere else.
class BandPainter {
public:
    BandPainter(const QPaintDevice& device, const ValueResolver& resolver);

    // The height (mm) a band needs: its declared height, or more when wrapped text needs it.
    double height(const Band& band, const Scope& scope) const;
    // Paints a band whose top lies `top` mm below the top of the printable area.
    void paint(QPainter& painter, const Band& band, const Scope& scope, double top) const;

private:
    QFont font(const TextItem& item) const;
    int flags(const TextItem& item) const;
    // The height (mm) of a wrapping item: its declared height plus the lines its text needs
    // beyond the first.
    double grownHeight(const TextItem& item, const QString& text) const;
    QRectF toDots(const QRectF& mm, double top) const;
    QPointF toDots(const QPointF& mm, double top) const;
    double penWidth(double mm) const;

    const QPaintDevice& m_device;
    const ValueResolver& m_resolver;
    double m_dotsPerMmX;
    double m_dotsPerMmY;
};

}  // namespace reports
