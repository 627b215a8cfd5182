#include "widgets/Contrast.h"

#include <cmath>

namespace widgets {

namespace {

double channel(double c) {
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& c) {
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// Below this a coloured text is hard to read on its background.
constexpr double ReadableText = 3.0;

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor TextColorOn(const QColor& background) {
    return ContrastRatio(background, Qt::black) >= ContrastRatio(background, Qt::white) ? QColor(Qt::black)
                                                                                        : QColor(Qt::white);
}

RowColors ReadableRowColors(const QColor& color, const QColor& base) {
    if (ContrastRatio(color, base) >= ReadableText) return {color, QColor()};
    return {TextColorOn(color), color};
}

}  // namespace widgets
