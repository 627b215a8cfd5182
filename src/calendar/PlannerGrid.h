#pragma once
#include "calendar/CalendarLayout.h"
#include "calendar/TAppointment.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

#include <array>

namespace calendar {

class TAppointment;

// The drawn grid of the planner with its blocks. It shows what it is given and reports what the
// user did with the mouse; it never reads or writes the database.
class PlannerGrid : public QWidget {
    Q_OBJECT
public:
    explicit PlannerGrid(QWidget* parent = nullptr);

    void setContents(const CalendarLayout& layout, const QVector<PlannerColumn>& columns,
                     const QVector<PlannerBlock>& blocks, const std::array<quint32, 6>& colors);
    CalendarLayout& layout() { return m_layout; }
    const QVector<PlannerColumn>& columns() const { return m_columns; }
    const QVector<PlannerBlock>& blocks() const { return m_blocks; }
    // Places the blocks again from the lists (after a resize or a scroll).
    void relayout();

    // The blocks on screen, in block-list order.
    QList<TAppointment*> shownBlocks() const;
    // Whether blocks may be dragged (the user's right to change appointments).
    void setDragEnabled(bool on) { m_dragEnabled = on; }
    // True while a block is held down.
    bool isDragging() const { return m_pressed != nullptr; }

    // From the blocks' mouse handlers; points are in the block's own coordinates.
    void blockPressed(TAppointment* block, const QPoint& at);
    void blockMoved(TAppointment* block, const QPoint& at);
    void blockReleased(TAppointment* block, const QPoint& at);
    void blockDoubleClicked(TAppointment* block, const QPoint& at);

Q_SIGNALS:
    // A double-click on a free place: a new appointment in this slot.
    void slotDoubleClicked(calendar::PlannerSlot slot);
    // A double-click on an appointment's block (index in the block list).
    void appointmentDoubleClicked(int blockIndex);
    // An appointment dragged to another column or time.
    void appointmentDropped(int blockIndex, calendar::PlannerSlot target);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    // The mouse goes to the block it pressed; events that reach the grid while a block is held
    // (synthesised ones, or a lost grab) are handed to it.
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    CalendarLayout m_layout;
    QVector<PlannerColumn> m_columns;
    QVector<PlannerBlock> m_blocks;
    std::array<quint32, 6> m_colors{};
    QVector<TAppointment*> m_pool;  // block widgets, reused from layout to layout
    int m_shown = 0;

    // A held block: where it was pressed (grid coordinates), where it stood, and whether the press
    // has turned into a drag (the mouse moved, or it was held longer than a double-click).
    QPointer<TAppointment> m_pressed;
    QPoint m_pressPoint;
    QRect m_pressGeometry;
    QElapsedTimer m_pressTime;
    bool m_moved = false;
    bool m_dragEnabled = true;
};

}  // namespace calendar
