#include "calendar/PlannerGrid.h"

#include "calendar/PlannerPainter.h"
#include "calendar/TAppointment.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

namespace calendar {

PlannerGrid::PlannerGrid(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(CalendarLayout::AxisWidth + 60, CalendarLayout::HeaderHeight + CalendarLayout::HourHeight);
}

void PlannerGrid::setContents(const CalendarLayout& layout, const QVector<PlannerColumn>& columns,
                              const QVector<PlannerBlock>& blocks, const std::array<quint32, 6>& colors) {
    m_layout = layout;
    m_layout.setPictureSize(size());
    m_columns = columns;
    m_blocks = blocks;
    m_colors = colors;
    relayout();
}

void PlannerGrid::relayout() {
    m_layout.setPictureSize(size());
    // Offsets stay within what is hidden at the current size.
    m_layout.setHourOffset(m_layout.hourOffset());
    m_layout.setColumnOffset(m_layout.columnOffset());
    const QVector<QRect> rects = m_layout.placeBlocks(m_blocks);
    int used = 0;
    for (int i = 0; i < m_blocks.size(); ++i) {
        if (rects.at(i).isEmpty()) continue;
        if (used == m_pool.size()) m_pool.append(new TAppointment(this));
        TAppointment* block = m_pool.at(used++);
        block->setBlock(i, m_blocks.at(i));
        block->setGeometry(rects.at(i));
        block->show();
    }
    // Appointments over the holiday and non-receiving blocks of their column.
    for (int i = 0; i < used; ++i)
        if (m_pool.at(i)->block().kind == BlockKind::Appointment) m_pool.at(i)->raise();
    for (int i = used; i < m_pool.size(); ++i) m_pool.at(i)->hide();
    m_shown = used;
    update();
}

QList<TAppointment*> PlannerGrid::shownBlocks() const { return QList<TAppointment*>(m_pool.cbegin(), m_pool.cbegin() + m_shown); }

void PlannerGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintGrid(p, m_layout, m_columns, m_colors, font());
}

void PlannerGrid::resizeEvent(QResizeEvent*) { relayout(); }

void PlannerGrid::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    if (const auto slot = m_layout.slotAt(e->position().toPoint())) Q_EMIT slotDoubleClicked(*slot);
}

void PlannerGrid::mouseMoveEvent(QMouseEvent* e) {
    if (m_pressed) blockMoved(m_pressed, m_pressed->mapFromParent(e->position().toPoint()));
}

void PlannerGrid::mouseReleaseEvent(QMouseEvent* e) {
    if (m_pressed && e->button() == Qt::LeftButton)
        blockReleased(m_pressed, m_pressed->mapFromParent(e->position().toPoint()));
}

void PlannerGrid::blockPressed(TAppointment* block, const QPoint& at) {
    if (block->block().kind != BlockKind::Appointment || !m_dragEnabled) return;
    m_pressed = block;
    m_pressPoint = block->mapToParent(at);
    m_pressGeometry = block->geometry();
    m_pressTime.start();
    m_moved = false;
}

void PlannerGrid::blockMoved(TAppointment* block, const QPoint& at) {
    if (block != m_pressed) return;
    const QPoint now = block->mapToParent(at);
    if (!m_moved && (now - m_pressPoint).manhattanLength() < QApplication::startDragDistance()) return;
    m_moved = true;
    block->raise();
    block->move(m_pressGeometry.topLeft() + (now - m_pressPoint));
}

void PlannerGrid::blockReleased(TAppointment* block, const QPoint& at) {
    if (block != m_pressed) return;
    const QPoint to = block->mapToParent(at);
    m_pressed = nullptr;
    // A quick press and release stays a click (or the first half of a double-click).
    const bool drag = m_moved || m_pressTime.elapsed() >= QApplication::doubleClickInterval();
    const int index = block->blockIndex();
    const auto target = drag ? m_layout.dropTarget(m_blocks.at(index), m_pressPoint, to) : std::nullopt;
    block->setGeometry(m_pressGeometry);
    if (target) Q_EMIT appointmentDropped(index, *target);
}

void PlannerGrid::blockDoubleClicked(TAppointment* block, const QPoint& at) {
    m_pressed = nullptr;
    const int index = block->blockIndex();
    if (block->block().kind == BlockKind::Appointment) {
        Q_EMIT appointmentDoubleClicked(index);
        return;
    }
    // A holiday or non-receiving block stands on free time: the slot under the mouse.
    if (const auto slot = m_layout.slotAt(block->mapToParent(at))) Q_EMIT slotDoubleClicked(*slot);
}

}  // namespace calendar
