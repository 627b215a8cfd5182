#pragma once
#include <QColor>
#include <functional>

class QWidget;

namespace widgets {

// Editor windows show where typing goes: the input control that has the focus (line edits, text
// boxes, combo boxes, spin boxes and the date fields) takes the highlight colour as its
// background while it has the focus. The colour is asked each time (the session's
// HighlightColor, which the main window sets). The highlighter belongs to the window.
void HighlightFocusedInputs(QWidget* window, std::function<QColor()> color);

}  // namespace widgets
