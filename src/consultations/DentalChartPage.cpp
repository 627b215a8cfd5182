#include "consultations/DentalChartPage.h"

#include "app/AppPaths.h"

#include "consultations/TFKartesOpcijas.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusBar>
#include <QVBoxLayout>

#include <cmath>

namespace dentalchart {

// The drawing area: the chart scaled to fit, its proportions kept.
class DentalChartPage::Canvas : public QWidget {
public:
    explicit Canvas(DentalChartPage* page) : QWidget(page), m_page(page) {
        setMinimumSize(layout::CanvasRect().size() / 2);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    QSize sizeHint() const override { return layout::CanvasRect().size(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor::fromRgb(BackgroundRgb));
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setTransform(m_page->designToWidget());
        m_page->m_renderer.paint(painter);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        const QPointF design = m_page->designToWidget().inverted().map(event->position());
        m_page->clickAt(QPoint(int(std::floor(design.x())), int(std::floor(design.y()))));
    }

private:
    DentalChartPage* m_page;
};

DentalChartPage::DentalChartPage(QWidget* parent)
    : QWidget(parent), m_folder(app::ProgramDataFolder(QStringLiteral("images"))) {
    m_canvas = new Canvas(this);
    auto* statusBar = new QStatusBar(this);
    statusBar->setSizeGripEnabled(false);
    m_status = new QLabel(statusBar);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long list of skipped records must not widen the page.
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_status->setMinimumWidth(1);
    statusBar->addWidget(m_status, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_canvas, 1);
    layout->addWidget(statusBar);

    m_palette = new TFKartesOpcijas(this);
    connect(m_palette, &TFKartesOpcijas::milkModeChanged, this, &DentalChartPage::setMilkMode);
    setChart(QString());
}

DentalChartPage::~DentalChartPage() = default;

QWidget* DentalChartPage::canvas() const { return m_canvas; }

void DentalChartPage::setImageFolder(const QString& folder) {
    m_folder = folder;
    m_renderer.setFolder(m_folder);
    // The records skipped when the chart was read stay named.
    showStatus(m_skipped, m_renderer.drawAll(m_chart));
    m_canvas->update();
}

void DentalChartPage::setChart(const QString& text) {
    m_skipped = m_chart.read(text);
    const QStringList& skipped = m_skipped;
    m_renderer.setFolder(m_folder);
    const QStringList missing = m_renderer.drawAll(m_chart);
    showStatus(skipped, missing);
    m_canvas->update();
}

void DentalChartPage::showPalette() {
    m_palette->setMilkMode(m_chart.isInMilkMode());
    m_palette->resetCrown();
    m_palette->show();
    m_palette->raise();
}

void DentalChartPage::hidePalette() { m_palette->hide(); }

QString DentalChartPage::statusText() const { return m_status->text(); }

void DentalChartPage::showStatus(const QStringList& skipped, const QStringList& missing) {
    QStringList parts;
    if (!skipped.isEmpty()) parts.append(tr("Zobu kartes bojātie ieraksti izlaisti: %1").arg(skipped.join(u' ')));
    if (!missing.isEmpty()) parts.append(QStringLiteral("Nav faila : ") + missing.last());
    m_status->setText(parts.join(QStringLiteral("   ")));
}

void DentalChartPage::showMissing(const QStringList& missing) {
    if (!missing.isEmpty()) m_status->setText(QStringLiteral("Nav faila : ") + missing.last());
}

void DentalChartPage::clickAt(QPoint designPoint) {
    if (!m_editable) return;
    const std::optional<ChartHit> hit = m_renderer.hitTest(designPoint);
    if (!hit) return;
    const ToolChoice tool = m_palette->choice();
    const bool changed = hit->view == TopView ? m_chart.clickTop(hit->position, hit->local, tool)
                                              : m_chart.clickSide(hit->position, hit->width, hit->local.x(), tool);
    if (!changed) return;
    showMissing(m_renderer.drawPosition(m_chart, hit->position));
    m_canvas->update();
    Q_EMIT chartChanged(m_chart.text());
}

void DentalChartPage::setMilkMode(bool milk) {
    if (!m_editable || milk == m_chart.isInMilkMode()) {
        m_palette->setMilkMode(m_chart.isInMilkMode());
        return;
    }
    m_chart.setMilkMode(milk);
    showMissing(m_renderer.drawAll(m_chart));
    m_canvas->update();
    Q_EMIT chartChanged(m_chart.text());
}

QTransform DentalChartPage::designToWidget() const {
    const QRect design = layout::CanvasRect();
    const double scale =
        std::min(double(m_canvas->width()) / design.width(), double(m_canvas->height()) / design.height());
    QTransform transform;
    transform.translate((m_canvas->width() - design.width() * scale) / 2,
                        (m_canvas->height() - design.height() * scale) / 2);
    transform.scale(scale, scale);
    transform.translate(-design.left(), -design.top());
    return transform;
}

QPoint DentalChartPage::widgetPoint(QPoint designPoint) const {
    // The middle of the design pixel, so that the click maps back onto it.
    return designToWidget().map(QPointF(designPoint) + QPointF(0.5, 0.5)).toPoint();
}

}  // namespace dentalchart
