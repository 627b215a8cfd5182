#include "app/TStartForm.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

namespace app {

TStartForm::TStartForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("StartForm"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(480, 300);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));  // silver
    setPalette(p);
    setAutoFillBackground(true);
}

void TStartForm::showEvent(QShowEvent* event) {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QWidget::showEvent(event);
}

void TStartForm::paintEvent(QPaintEvent*) {
    // The picture is drawn rather than loaded so that the program needs no image file to start.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = rect().adjusted(12, 12, -12, -12);
    QLinearGradient gradient(area.topLeft(), area.bottomRight());
    gradient.setColorAt(0, QColor(0xF4, 0xF8, 0xFA));
    gradient.setColorAt(1, QColor(0xC6, 0xDC, 0xE6));
    painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    painter.setBrush(gradient);
    painter.drawRoundedRect(area, 10, 10);

    QFont title = font();
    title.setPointSize(34);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(QColor(0x1F, 0x4E, 0x6B));
    painter.drawText(area.adjusted(0, 40, 0, -120), Qt::AlignCenter, QStringLiteral("Molarix"));

    QFont small = font();
    small.setPointSize(11);
    painter.setFont(small);
    painter.setPen(QColor(0x33, 0x33, 0x33));
    painter.drawText(area.adjusted(0, 150, 0, -60), Qt::AlignCenter, tr("Zobārstniecības klīnikas darba vieta"));
    painter.drawText(area.adjusted(0, 0, -16, -12), Qt::AlignRight | Qt::AlignBottom,
                     QStringLiteral("ver " MOLARIX_VERSION));
}

void TStartForm::mousePressEvent(QMouseEvent*) { close(); }

void TStartForm::mouseDoubleClickEvent(QMouseEvent*) { close(); }

}  // namespace app
