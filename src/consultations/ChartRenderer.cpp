#include "consultations/ChartRenderer.h"

#include <QDir>
#include <QFont>
#include <QPainter>

#include <cstdlib>

namespace dentalchart {

namespace {
// The line between the jaws; the tooth numbers stand on either side of it.
constexpr int Between = 256;
}  // namespace

ChartRenderer::ChartRenderer(const QString& folder) { setFolder(folder); }

void ChartRenderer::setFolder(const QString& folder) {
    m_folder = folder;
    m_cache.clear();
}

QString ChartRenderer::pathOf(const QString& name) const { return QDir(m_folder).filePath(name); }

const QImage* ChartRenderer::picture(const QString& name, QStringList& missing) {
    auto it = m_cache.find(name);
    if (it == m_cache.end()) {
        QImage image(pathOf(name));
        if (!image.isNull()) image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        it = m_cache.insert(name, image);
    }
    if (it->isNull()) {
        missing.append(pathOf(name));
        return nullptr;
    }
    return &*it;
}

QImage ChartRenderer::compose(const ViewPictures& view, QStringList& missing) {
    QImage image(view.rect.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const Layer& layer : view.layers) {
        const QImage* p = picture(layer.name, missing);
        if (!p) continue;
        switch (layer.place) {
        case Layer::Place::Fill:
            // A milk tooth's side views are larger than the permanent pictures drawn on them.
            if (p->size() == image.size())
                painter.drawImage(0, 0, *p);
            else
                painter.drawImage(image.rect(), *p);
            break;
        case Layer::Place::At:
            painter.drawImage(layer.at, *p);
            break;
        case Layer::Place::CrownEnd:
            painter.drawImage((image.width() - p->width()) / 2,
                              view.crownAtBottom ? image.height() - p->height() : 0, *p);
            break;
        }
    }
    painter.end();
    return view.mirrored ? image.mirrored(true, false) : image;
}

QStringList ChartRenderer::drawPosition(const ToothChart& chart, int t) {
    QStringList missing;
    Drawn& drawn = m_positions.at(t - 1);
    drawn.pictures = PicturesOf(chart, t);
    drawn.milk = chart.isMilkTooth(t);
    for (int view = 0; view < ViewCount; ++view) drawn.images[view] = compose(drawn.pictures.views[view], missing);
    return missing;
}

QStringList ChartRenderer::drawAll(const ToothChart& chart) {
    QStringList missing;
    for (int t = 1; t <= PositionCount; ++t) missing += drawPosition(chart, t);
    return missing;
}

void ChartRenderer::paintBackground(QPainter& painter) const {
    const QRect canvas = layout::CanvasRect();
    painter.fillRect(canvas, QColor::fromRgb(BackgroundRgb));
    const QColor line(0xB8, 0xAC, 0xA6);
    painter.setPen(QPen(line, 1));
    painter.drawLine(canvas.left() + 12, Between, canvas.right() - 12, Between);
    const int middle = (layout::TopViewRect(8).right() + layout::TopViewRect(9).left() + 1) / 2;
    painter.drawLine(middle, canvas.top() + 6, middle, canvas.bottom() - 6);
}

void ChartRenderer::paintNumbers(QPainter& painter) const {
    QColor box = QColor::fromRgb(BackgroundRgb);
    box.setAlpha(210);
    QFont font = painter.font();
    font.setPixelSize(11);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0x6B, 0x5E, 0x57));
    for (int t = 1; t <= PositionCount; ++t) {
        const QRect top = layout::TopViewRect(t);
        const QRect cell(top.left() + 12, t <= 16 ? Between - 14 : Between + 2, top.width() - 24, 12);
        const int number = layout::ToothNumber(t, m_positions.at(t - 1).milk);
        // Over the teeth that reach into the middle (milk and retained teeth).
        painter.fillRect(cell, box);
        painter.drawText(cell, Qt::AlignCenter, QString::number(number));
    }
}

void ChartRenderer::paint(QPainter& painter) const {
    paintBackground(painter);
    for (const Drawn& drawn : m_positions)
        for (int view : {TopView, SideView1, SideView2})
            painter.drawImage(drawn.pictures.views[view].rect.topLeft(), drawn.images[view]);
    for (const Drawn& drawn : m_positions)
        for (int view : {Overlay1, Overlay2})
            painter.drawImage(drawn.pictures.views[view].rect.topLeft(), drawn.images[view]);
    paintNumbers(painter);
}

QImage ChartRenderer::image() const {
    const QRect canvas = layout::CanvasRect();
    QImage image(canvas.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.translate(-canvas.topLeft());
    paint(painter);
    painter.end();
    return image;
}

std::optional<ChartHit> ChartRenderer::hitTest(QPoint point) const {
    for (const Drawn& drawn : m_positions) {
        const QRect& rect = drawn.pictures.views[TopView].rect;
        if (rect.contains(point)) return ChartHit{drawn.pictures.position, TopView, point - rect.topLeft(), rect.width()};
    }
    // Side views of neighbours may overlap: the one whose middle is nearest takes the click.
    std::optional<ChartHit> best;
    int bestDistance = 0;
    for (const Drawn& drawn : m_positions) {
        for (int view : {SideView1, SideView2}) {
            const QRect& rect = drawn.pictures.views[view].rect;
            if (!rect.contains(point)) continue;
            const int distance = std::abs(point.x() - rect.center().x());
            if (!best || distance < bestDistance) {
                best = ChartHit{drawn.pictures.position, view, point - rect.topLeft(), rect.width()};
                bestDistance = distance;
            }
        }
    }
    return best;
}

}  // namespace dentalchart
