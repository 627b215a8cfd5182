#pragma once
#include <QColor>

namespace widgets {

// The contrast of two colours as the accessibility guidelines measure it: 1 (the same) to 21
// (black on white). Text is comfortable from about 4.5, readable from 3.
double ContrastRatio(const QColor& a, const QColor& b);

// Black or white, whichever reads better on the background.
QColor TextColorOn(const QColor& background);

// How a row coloured with `color` is drawn on `base` (the grid's own background): the colour as
// the text's colour while it can be read there; otherwise (a pale colour on white) the colour
// fills the row and the text is black or white by contrast.
struct RowColors {
    QColor text;
    QColor background;  // invalid: the grid's own
};
RowColors ReadableRowColors(const QColor& color, const QColor& base);

}  // namespace widgets
