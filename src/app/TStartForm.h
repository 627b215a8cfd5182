#pragma once
#include <QWidget>

namespace app {

// The picture shown while the program starts and the user logs in: borderless, centred, on top
// of other windows. A click on it closes it.
class TStartForm : public QWidget {
    Q_OBJECT
public:
    explicit TStartForm(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
};

}  // namespace app
