#include "app/AppIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace app {

namespace {

const QColor Ink(0x1F, 0x4E, 0x6B);
const QColor Teal(0x2E, 0x8B, 0x8B);
const QColor Paper(0xFA, 0xFC, 0xFD);
const QColor Accent(0xE0, 0x8A, 0x2E);

// Draws one picture on a 32 x 32 grid, scaled to the pixmap.
QPixmap draw(int size, const std::function<void(QPainter&)>& paint) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    paint(p);
    return pixmap;
}

QIcon icon(const std::function<void(QPainter&)>& paint) {
    QIcon i;
    for (int size : {16, 24, 32, 48}) i.addPixmap(draw(size, paint));
    return i;
}

void page(QPainter& p, const QRectF& r) {
    p.setPen(QPen(Ink, 1.5));
    p.setBrush(Paper);
    p.drawRoundedRect(r, 2, 2);
}

void tooth(QPainter& p, const QRectF& r, const QColor& fill) {
    QPainterPath path;
    const qreal x = r.x(), y = r.y(), w = r.width(), h = r.height();
    path.moveTo(x + w * 0.15, y + h * 0.15);
    path.cubicTo(x + w * 0.35, y - h * 0.05, x + w * 0.65, y - h * 0.05, x + w * 0.85, y + h * 0.15);
    path.cubicTo(x + w * 1.0, y + h * 0.35, x + w * 0.9, y + h * 0.55, x + w * 0.8, y + h * 0.7);
    path.lineTo(x + w * 0.7, y + h * 1.0);
    path.lineTo(x + w * 0.55, y + h * 0.6);
    path.lineTo(x + w * 0.45, y + h * 0.6);
    path.lineTo(x + w * 0.3, y + h * 1.0);
    path.lineTo(x + w * 0.2, y + h * 0.7);
    path.cubicTo(x + w * 0.1, y + h * 0.55, x + w * 0.0, y + h * 0.35, x + w * 0.15, y + h * 0.15);
    p.setPen(QPen(Ink, 1.5));
    p.setBrush(fill);
    p.drawPath(path);
}

void euro(QPainter& p, const QPointF& centre, qreal size) {
    QFont f = p.font();
    f.setPixelSize(int(size));
    f.setBold(true);
    p.setFont(f);
    p.setPen(Accent);
    p.drawText(QRectF(centre.x() - size, centre.y() - size, 2 * size, 2 * size), Qt::AlignCenter, QStringLiteral("€"));
}

}  // namespace

QIcon ApplicationIcon() {
    return icon([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Teal);
        p.drawRoundedRect(QRectF(1, 1, 30, 30), 7, 7);
        tooth(p, QRectF(7, 6, 18, 21), Paper);
    });
}

QIcon ToolIcon(const QString& name) {
    if (name == QLatin1String("calendar"))
        return icon([](QPainter& p) {
            page(p, QRectF(4, 6, 24, 22));
            p.setPen(Qt::NoPen);
            p.setBrush(Teal);
            p.drawRect(QRectF(4.75, 6.75, 22.5, 5));
            p.setBrush(Ink);
            p.drawRoundedRect(QRectF(9, 3, 3, 6), 1, 1);
            p.drawRoundedRect(QRectF(20, 3, 3, 6), 1, 1);
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 4; ++c) {
                    p.setBrush(r == 1 && c == 2 ? Accent : QColor(0x9A, 0xB4, 0xC2));
                    p.drawRect(QRectF(7.5 + c * 4.6, 14.5 + r * 4.3, 3, 2.6));
                }
        });
    if (name == QLatin1String("consultations"))
        return icon([](QPainter& p) {
            page(p, QRectF(6, 5, 20, 24));
            p.setPen(Qt::NoPen);
            p.setBrush(Ink);
            p.drawRoundedRect(QRectF(11, 3, 10, 5), 1.5, 1.5);
            tooth(p, QRectF(10, 11, 12, 14), QColor(0xE6, 0xF2, 0xF2));
        });
    if (name == QLatin1String("invoices"))
        return icon([](QPainter& p) {
            page(p, QRectF(6, 3, 20, 26));
            p.setPen(QPen(QColor(0x9A, 0xB4, 0xC2), 1.5));
            for (int i = 0; i < 4; ++i) p.drawLine(QPointF(9.5, 8 + i * 3.5), QPointF(22.5, 8 + i * 3.5));
            euro(p, QPointF(20, 23), 9);
        });
    if (name == QLatin1String("payments"))
        return icon([](QPainter& p) {
            p.setPen(QPen(Ink, 1.5));
            p.setBrush(QColor(0xD8, 0xEE, 0xE0));
            p.drawRoundedRect(QRectF(2, 8, 28, 16), 2, 2);
            p.setBrush(Paper);
            p.drawEllipse(QPointF(16, 16), 5.5, 5.5);
            euro(p, QPointF(16, 16), 7);
        });
    if (name == QLatin1String("patients"))
        return icon([](QPainter& p) {
            auto person = [&p](qreal x, qreal scale, const QColor& fill) {
                p.setPen(QPen(Ink, 1.5));
                p.setBrush(fill);
                p.drawEllipse(QPointF(x, 11 * scale + (1 - scale) * 14), 4.5 * scale, 4.5 * scale);
                QPainterPath body;
                body.moveTo(x - 8 * scale, 28);
                body.cubicTo(x - 8 * scale, 18, x + 8 * scale, 18, x + 8 * scale, 28);
                body.closeSubpath();
                p.drawPath(body);
            };
            person(21, 0.85, QColor(0xC6, 0xDC, 0xE6));
            person(12, 1.0, Teal);
        });
    if (name == QLatin1String("minimise"))
        return icon([](QPainter& p) {
            page(p, QRectF(4, 5, 24, 20));
            p.setPen(Qt::NoPen);
            p.setBrush(Teal);
            p.drawRect(QRectF(4.75, 5.75, 22.5, 4));
            p.setBrush(Accent);
            p.drawRoundedRect(QRectF(9, 20, 14, 3), 1, 1);
        });
    if (name == QLatin1String("exit"))
        return icon([](QPainter& p) {
            p.setPen(QPen(Ink, 1.5));
            p.setBrush(QColor(0xC6, 0xDC, 0xE6));
            p.drawRect(QRectF(5, 4, 14, 24));
            p.setBrush(Ink);
            p.drawEllipse(QPointF(15.5, 16), 1.2, 1.2);
            p.setPen(QPen(Accent, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawLine(QPointF(18, 16), QPointF(29, 16));
            p.drawLine(QPointF(25, 12), QPointF(29, 16));
            p.drawLine(QPointF(25, 20), QPointF(29, 16));
        });
    return {};
}

}  // namespace app
