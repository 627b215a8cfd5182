#pragma once
#include <QString>
#include <QVector>
#include <optional>

class QTableView;

namespace widgets {

// The user's arrangement of a grid's columns, kept per grid in the settings section "GridSetup"
// under the grid's object name. Columns are listed in the grid's own (logical) order.
struct GridColumnLayout {
    QString field;         // field the column shows; informative, the position is what counts
    int visualIndex = 0;   // where the user moved it
    int width = 0;         // pixels
    bool hidden = false;

    bool operator==(const GridColumnLayout&) const = default;
};

struct GridLayout {
    static constexpr const char* Section = "GridSetup";

    QVector<GridColumnLayout> columns;

    // Text form stored in the settings (a small JSON document).
    QString toText() const;
    // Empty when the text is not a layout this program wrote.
    static std::optional<GridLayout> fromText(const QString& text);

    // The stored layout of a grid, only when it still has the designed number of columns: a grid
    // that gained or lost columns starts again from its design.
    static std::optional<GridLayout> load(const QString& gridName, int designedColumns);
    void save(const QString& gridName) const;

    bool operator==(const GridLayout&) const = default;
};

// Stores the order, widths and visibility of the grid's columns under the grid's object name.
void SaveGridLayout(const QTableView* grid);
// Applies the stored layout when it has as many columns as the grid's model has now; otherwise
// (or without a stored layout) the grid keeps its designed columns.
void LoadGridLayout(QTableView* grid);

}  // namespace widgets
