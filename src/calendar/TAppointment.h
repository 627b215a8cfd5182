#pragma once
#include "calendar/CalendarLayout.h"

#include <QWidget>

namespace calendar {

class PlannerGrid;

// One block over the planner's grid: an appointment, a holiday or a non-receiving time. It paints
// itself and hands its mouse to the grid, which decides what a click, a double-click or a drag
// means.
class TAppointment : public QWidget {
    Q_OBJECT
public:
    explicit TAppointment(PlannerGrid* grid);

    void setBlock(int index, const PlannerBlock& block);
    int blockIndex() const { return m_index; }
    const PlannerBlock& block() const { return m_block; }
    bool painted() const { return m_painted; }

    // The texts as drawn: the first line (shortened with "..." when too wide) and the wrapped lines
    // of the second text.
    QStringList drawnLines() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    PlannerGrid* m_grid;
    PlannerBlock m_block;
    int m_index = -1;
    bool m_painted = false;
};

}  // namespace calendar
