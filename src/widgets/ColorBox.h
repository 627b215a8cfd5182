#pragma once
#include <QColor>
#include <QPushButton>

namespace widgets {

// A colour chooser: a button painted in the chosen colour that opens the colour dialog.
class ColorBox : public QPushButton {
    Q_OBJECT
public:
    explicit ColorBox(QWidget* parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    // The colour as the database stores it (0x00BBGGRR).
    int storedColor() const;
    void setStoredColor(int stored);

Q_SIGNALS:
    void colorChanged(const QColor& color);

private:
    void choose();
    QColor m_color = Qt::white;
};

}  // namespace widgets
