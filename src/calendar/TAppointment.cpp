#include "calendar/TAppointment.h"

#include "calendar/PlannerGrid.h"
#include "calendar/PlannerPainter.h"

#include <QMouseEvent>
#include <QPainter>

namespace calendar {

namespace {

QColor fillOf(quint32 bgr) { return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)); }

QString hhmm(int minutes) {
    return QStringLiteral("%1:%2").arg(minutes / 60, 2, 10, QLatin1Char('0')).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

TAppointment::TAppointment(PlannerGrid* grid) : QWidget(grid), m_grid(grid) {
    setVisible(false);
    setGeometry(0, 0, 25, 25);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TAppointment::setBlock(int index, const PlannerBlock& block) {
    m_index = index;
    m_block = block;
    m_painted = false;
    QString tip = block.firstText.trimmed().isEmpty() ? block.secondText : block.firstText + QLatin1Char('\n') + block.secondText;
    if (block.kind == BlockKind::Appointment) {
        tip = hhmm(block.startMinutes) + QStringLiteral("–") + hhmm(block.startMinutes + block.durationMinutes) +
              QLatin1Char(' ') + tip;
        const QString status = StatusText(block.callStatus);
        if (!status.isEmpty()) tip += QLatin1Char('\n') + status;
    }
    setToolTip(tip);
    setCursor(block.kind == BlockKind::Appointment ? Qt::PointingHandCursor : Qt::ArrowCursor);
    update();
}

QStringList TAppointment::drawnLines() const {
    const QFontMetrics fm(font());
    const int room = width() - 15;
    QStringList lines;
    QString first = m_block.firstText;
    if (fm.horizontalAdvance(first) >= room && first.size() > 3) {
        // Shorten until the text with its dots fits.
        first.chop(3);
        while (!first.isEmpty() && fm.horizontalAdvance(first + QStringLiteral("...")) >= room) first.chop(1);
        first += QStringLiteral("...");
    }
    lines << first;
    QString line;
    for (const QChar ch : m_block.secondText) {
        if (ch == QLatin1Char('\n') || ch == QLatin1Char('\r')) {
            if (ch == QLatin1Char('\n')) {
                lines << line;
                line.clear();
            }
            continue;
        }
        line += ch;
        if (fm.horizontalAdvance(line) >= room) {
            lines << line;
            line.clear();
        }
    }
    if (!line.isEmpty()) lines << line;
    return lines;
}

void TAppointment::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor fill = fillOf(m_block.color);
    p.setBrush(fill);
    p.setPen(QPen(Qt::black, 2));
    p.drawRect(QRect(1, 1, width() - 2, height() - 2));
    p.setPen(TextColorOn(fill));
    const QFontMetrics fm(font());
    const QStringList lines = drawnLines();
    for (int k = 0; k < lines.size(); ++k) {
        const int y = k * fm.height() + 1;
        if (y > height()) break;
        p.drawText(5, y + fm.ascent(), lines.at(k));
    }
    if (m_block.callStatus > 0) {
        const QRect icon(width() - 3 - StatusIconSize, height() - 3 - StatusIconSize, StatusIconSize, StatusIconSize);
        PaintStatusIcon(p, icon, m_block.callStatus);
    }
    m_painted = true;
}

void TAppointment::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) m_grid->blockPressed(this, e->position().toPoint());
}

void TAppointment::mouseMoveEvent(QMouseEvent* e) { m_grid->blockMoved(this, e->position().toPoint()); }

void TAppointment::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) m_grid->blockReleased(this, e->position().toPoint());
}

void TAppointment::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) m_grid->blockDoubleClicked(this, e->position().toPoint());
}

}  // namespace calendar
