#pragma once
#include <functional>

class QLineEdit;
class QTableView;

namespace widgets {

// Makes a grid a read-only list: whole rows, one at a time, rows of one height (no measuring of
// long lists), no row numbers, the last column filling the width.
void SetupListGrid(QTableView* grid);

// The keys of a list that doubles as a picker: Enter in the grid chooses the current row, Enter in
// the list's quick-search field moves the focus into the grid. The filter belongs to the grid.
void InstallPickKeys(QTableView* grid, QLineEdit* quickSearch, std::function<void()> choose);

}  // namespace widgets
