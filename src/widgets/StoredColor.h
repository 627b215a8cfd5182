#pragma once
#include <QColor>

namespace widgets {

// Colours are stored in the database as integers 0x00BBGGRR.
QColor ColorFromStored(int stored);
int StoredFromColor(const QColor& color);

}  // namespace widgets
