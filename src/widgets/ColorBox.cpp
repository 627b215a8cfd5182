#include "widgets/ColorBox.h"
#include "widgets/StoredColor.h"

#include <QColorDialog>

namespace widgets {

ColorBox::ColorBox(QWidget* parent) : QPushButton(parent) {
    setMinimumWidth(90);
    setColor(Qt::white);
    connect(this, &QPushButton::clicked, this, &ColorBox::choose);
}

void ColorBox::setColor(const QColor& color) {
    const bool changed = color != m_color;
    m_color = color;
    // The text keeps its contrast on any background.
    const QColor ink = m_color.lightness() < 128 ? Qt::white : Qt::black;
    setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: %2; }").arg(m_color.name(), ink.name()));
    setText(m_color.name().toUpper());
    if (changed) Q_EMIT colorChanged(m_color);
}

int ColorBox::storedColor() const {
    return StoredFromColor(m_color);
}

void ColorBox::setStoredColor(int stored) {
    setColor(ColorFromStored(stored));
}

void ColorBox::choose() {
    const QColor c = QColorDialog::getColor(m_color, this);
    if (c.isValid()) setColor(c);
}

}  // namespace widgets
