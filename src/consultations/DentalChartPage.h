#pragma once
#include "consultations/ChartRenderer.h"
#include "consultations/ToothChart.h"

#include <QImage>
#include <QPointer>
#include <QTransform>
#include <QWidget>

class QLabel;

namespace dentalchart {

class TFKartesOpcijas;

// The "Z-karte" page: the chart of one consultation drawn from the picture folder, changed by
// clicks with the palette's tool while the consultation is being edited. It takes and gives the
// stored text of ZOBU_KARTE; whoever shows it stores that text when chartChanged() says so.
class DentalChartPage : public QWidget {
    Q_OBJECT
public:
    explicit DentalChartPage(QWidget* parent = nullptr);
    ~DentalChartPage() override;

    // Shows a stored chart. Records that do not follow the format are left out and named in the
    // status bar; the rest is shown and kept.
    void setChart(const QString& text);
    // The chart as stored text.
    QString chart() const { return m_chart.text(); }
    const ToothChart& model() const { return m_chart; }

    // Clicks change the chart only while the consultation is edited or new.
    void setEditable(bool editable) { m_editable = editable; }
    bool isEditable() const { return m_editable; }

    TFKartesOpcijas* palette() const { return m_palette; }
    // Shows the palette on top, in milk mode when the chart was kept in it, with the default crown.
    void showPalette();
    void hidePalette();

    // The folder the pictures come from; the program's "images" folder (app::ProgramDataFolder) unless set.
    void setImageFolder(const QString& folder);
    QString imageFolder() const { return m_folder; }

    QString statusText() const;
    // The chart as a picture of its design size.
    QImage renderImage() const { return m_renderer.image(); }
    const ChartRenderer& renderer() const { return m_renderer; }

    // A click at a point of the chart's design coordinates, as the mouse gives it.
    void clickAt(QPoint designPoint);
    // Where a design point is shown on the chart's drawing area, and the drawing area itself.
    QPoint widgetPoint(QPoint designPoint) const;
    QWidget* canvas() const;

Q_SIGNALS:
    // After every change by a click or by the milk-teeth switch: the chart's stored text.
    void chartChanged(const QString& text);

private:
    class Canvas;
    friend class Canvas;
    QTransform designToWidget() const;
    void setMilkMode(bool milk);
    void showStatus(const QStringList& skipped, const QStringList& missing);
    void showMissing(const QStringList& missing);

    ToothChart m_chart;
    ChartRenderer m_renderer;
    QString m_folder;
    // The records of the stored text that could not be read.
    QStringList m_skipped;
    bool m_editable = false;
    Canvas* m_canvas = nullptr;
    QLabel* m_status = nullptr;
    QPointer<TFKartesOpcijas> m_palette;
};

}  // namespace dentalchart
