#pragma once
#include "consultations/ChartPictures.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class QPainter;

namespace dentalchart {

// Where a chart click landed.
struct ChartHit {
    int position = 0;
    int view = TopView;  // TopView, SideView1 or SideView2
    QPoint local;        // in the view's picture, as shown (after flipping)
    int width = 0;       // of the view's picture
};

// Draws the chart from the picture folder: each position's five pictures composed from the files
// that PicturesOf() names, and the whole chart from those. A file that is missing is left out and
// reported; the rest is drawn.
class ChartRenderer {
public:
    explicit ChartRenderer(const QString& folder = QString());

    // The folder the pictures are read from; pictures read so far are forgotten.
    void setFolder(const QString& folder);
    QString folder() const { return m_folder; }
    // The full path of a picture name.
    QString pathOf(const QString& name) const;

    // Composes the pictures of one position, or of all. Returns the full paths of missing files.
    QStringList drawPosition(const ToothChart& chart, int t);
    QStringList drawAll(const ToothChart& chart);

    // Paints the chart in design coordinates (see layout::CanvasRect()).
    void paint(QPainter& painter) const;
    // The whole chart as one picture.
    QImage image() const;
    // The picture or side view at a design point; top views first.
    std::optional<ChartHit> hitTest(QPoint designPoint) const;

    const PositionPictures& pictures(int t) const { return m_positions.at(t - 1).pictures; }
    // A composed view of position t.
    const QImage& viewImage(int t, int view) const { return m_positions.at(t - 1).images[view]; }

private:
    const QImage* picture(const QString& name, QStringList& missing);
    QImage compose(const ViewPictures& view, QStringList& missing);
    void paintBackground(QPainter& painter) const;
    // The two-digit tooth numbers between the jaws (milk numbers for milk teeth).
    void paintNumbers(QPainter& painter) const;

    struct Drawn {
        PositionPictures pictures;
        std::array<QImage, ViewCount> images;
        bool milk = false;
    };
    QString m_folder;
    QHash<QString, QImage> m_cache;  // a null image for a missing file
    std::array<Drawn, PositionCount> m_positions;
};

}  // namespace dentalchart
