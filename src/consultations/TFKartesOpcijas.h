#pragma once
#include "consultations/ChartTools.h"

#include <QMap>
#include <QWidget>

class QButtonGroup;
class QRadioButton;
class QToolButton;

namespace dentalchart {

// The dental chart's tool palette: a small window, on top of its owner, with 33 toggle buttons
// of which one at a time is down, and the choice of permanent or milk teeth. Its place on the
// screen is kept in the settings section "KOpc" (Top, Left).
class TFKartesOpcijas : public QWidget {
    Q_OBJECT
public:
    explicit TFKartesOpcijas(QWidget* owner = nullptr);

    // The tool that is down (None when no button is), with the crown kind of the crown button.
    ToolChoice choice() const;
    QToolButton* button(Tool tool) const { return m_buttons.value(tool); }
    QRadioButton* permanentButton() const { return m_permanent; }
    QRadioButton* milkButton() const { return m_milk; }

    bool milkMode() const;
    // Shows the mode without announcing it (the chart already is in it).
    void setMilkMode(bool milk);
    // The crown button back to the metal-ceramic crown.
    void resetCrown();
    // Picks a kind as the crown pop-up does: "MK_K" ... "BM_K" or "*starpd/blok".
    void chooseCrown(const QString& kind);

Q_SIGNALS:
    // The user switched between permanent and milk teeth.
    void milkModeChanged(bool milk);

protected:
    void moveEvent(QMoveEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void enableForMode();
    void storePlace();

    QButtonGroup* m_group = nullptr;
    QMap<Tool, QToolButton*> m_buttons;
    QRadioButton* m_permanent = nullptr;
    QRadioButton* m_milk = nullptr;
    bool m_placed = false;
};

}  // namespace dentalchart
