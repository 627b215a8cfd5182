#pragma once
class QTableView;

namespace widgets {

// Makes a grid a read-only list: whole rows, one at a time, rows of one height (no measuring of
// long lists), no row numbers, the last column filling the width.
void SetupListGrid(QTableView* grid);

}  // namespace widgets
