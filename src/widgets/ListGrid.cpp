#include "widgets/ListGrid.h"

#include <QEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QStyledItemDelegate>
#include <QToolTip>
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

// Shows a cell's whole text as a tool tip when the cell cuts it short.
class ElidedTipDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event->type() != QEvent::ToolTip || !index.isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        const QString text = index.data(Qt::DisplayRole).toString();
        const QVariant own = index.data(Qt::ToolTipRole);
        if (own.isValid()) return QStyledItemDelegate::helpEvent(event, view, option, index);
        const int room = option.rect.width() - 2 * 4;  // the cell's text margins
        if (!text.isEmpty() && option.fontMetrics.horizontalAdvance(text) > room) {
            QToolTip::showText(event->globalPos(), text, view->viewport(), option.rect);
            return true;
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
};

}  // namespace

int CompactRowHeight(const QTableView* grid) {
    return grid->fontMetrics().height() + 5;
}

void FitColumnsToTitles(QTableView* grid) {
    QHeaderView* header = grid->horizontalHeader();
    const QAbstractItemModel* model = grid->model();
    if (!model) return;
    const QFontMetrics metrics(header->font());
    // Room for the margins and a sort arrow beside the title.
    const int padding = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 18;
    for (int c = 0; c < model->columnCount(); ++c) {
        if (header->isSectionHidden(c)) continue;
        const int wanted = metrics.horizontalAdvance(model->headerData(c, Qt::Horizontal).toString()) + padding;
        if (header->sectionSize(c) < wanted) header->resizeSection(c, wanted);
    }
}

void CompactGrid(QTableView* grid) {
    grid->verticalHeader()->setMinimumSectionSize(CompactRowHeight(grid));
    grid->verticalHeader()->setDefaultSectionSize(CompactRowHeight(grid));
    grid->setWordWrap(false);
    grid->setTextElideMode(Qt::ElideRight);
    if (!dynamic_cast<ElidedTipDelegate*>(grid->itemDelegate())) grid->setItemDelegate(new ElidedTipDelegate(grid));
    FitColumnsToTitles(grid);
}

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
    CompactGrid(grid);
}

}  // namespace widgets
