#include "widgets/ListGrid.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>

namespace widgets {

namespace {

class PickKeys : public QObject {
public:
    PickKeys(QTableView* grid, QLineEdit* quickSearch, std::function<void()> choose)
        : QObject(grid), m_grid(grid), m_quickSearch(quickSearch), m_choose(std::move(choose)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int k = static_cast<QKeyEvent*>(event)->key();
        if (k != Qt::Key_Return && k != Qt::Key_Enter) return false;
        if (watched == m_grid) {
            m_choose();
            return true;
        }
        if (watched == m_quickSearch) {
            m_grid->setFocus();
            return true;
        }
        return false;
    }

private:
    QTableView* m_grid;
    QLineEdit* m_quickSearch;
    std::function<void()> m_choose;
};

}  // namespace

void InstallPickKeys(QTableView* grid, QLineEdit* quickSearch, std::function<void()> choose) {
    auto* filter = new PickKeys(grid, quickSearch, std::move(choose));
    grid->installEventFilter(filter);
    if (quickSearch) quickSearch->installEventFilter(filter);
}

void SetupListGrid(QTableView* grid) {
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setStretchLastSection(true);
}

}  // namespace widgets
