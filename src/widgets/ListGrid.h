#pragma once
#include <functional>

class QLineEdit;
class QTableView;

namespace widgets {

// Makes a grid a read-only list: whole rows, one at a time, rows of one height (no measuring of
// long lists), no row numbers, the last column filling the width, and the look of CompactGrid.
void SetupListGrid(QTableView* grid);

// The look every grid shares: compact rows (the text's height and a little air, about 20 pixels),
// columns at least as wide as their titles, long texts cut with "…" and shown whole in a tool
// tip. Call it after the grid has its model.
void CompactGrid(QTableView* grid);
// Widens every column whose title does not fit to the title's width (a stored layout may be
// narrower than a title).
void FitColumnsToTitles(QTableView* grid);

// The row height CompactGrid gives the grid's font.
int CompactRowHeight(const QTableView* grid);

// The keys of a list that doubles as a picker: Enter in the grid chooses the current row, Enter in
// the list's quick-search field moves the focus into the grid. The filter belongs to the grid.
void InstallPickKeys(QTableView* grid, QLineEdit* quickSearch, std::function<void()> choose);

}  // namespace widgets
