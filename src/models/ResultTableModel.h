#pragma once
#include "db/ResultSet.h"

#include <QAbstractTableModel>
#include <QVector>
#include <functional>

namespace models {

using db::ResultSet;

// How one grid column shows a field of the rows.
struct GridColumn {
    QString field;   // column of the result set; empty for a calculated column
    QString title;   // header text
    // Display format: "0.00" (fixed decimals, as many as after the point), "dd.MM.yyyy" and other
    // date/time patterns for date values, "%10.2f"-style printf formats for numbers (the accepted
    // forms are in NumberFormat.h); empty = as is.
    QString format;
    // A calculated column: the value for a row, given the whole result set.
    std::function<QVariant(const ResultSet&, int row)> calculate;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

// Formats a value the way grids and reports show it (see GridColumn::format).
QString formatValue(const QVariant& value, const QString& format);

// The one read-only model that every grid shows: fetched rows, columns by name, a display format
// per column and calculated columns. Sorting and refreshing are the owner's business: it replaces
// the rows with setRows() after running its query again.
class ResultTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ResultTableModel(QObject* parent = nullptr);

    void setColumns(QVector<GridColumn> columns);
    const QVector<GridColumn>& gridColumns() const { return m_columns; }
    void setRows(ResultSet rows);
    // Adds rows of the same query after the present ones (a long list fetched in batches); views
    // keep their current row and scroll position.
    void appendRows(const ResultSet& more);
    const ResultSet& rows() const { return m_rows; }

    // The raw value of a field (also one not shown) in a row; invalid when out of range.
    QVariant fieldValue(int row, const QString& field) const;
    // The row whose keyField equals key, or -1. Used to reposition on a remembered key.
    int findRow(const QVariant& key, const QString& keyField = QStringLiteral("ISN")) const;

    // The column whose title is shown bold (the one the list is sorted by); -1 for none.
    void setBoldColumn(int column);
    int boldColumn() const { return m_boldColumn; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QVariant rawValue(int row, int column) const;
    QVector<GridColumn> m_columns;
    QVector<int> m_fieldIndex;  // result column of each GridColumn, -1 for calculated/missing
    ResultSet m_rows;
    int m_boldColumn = -1;
};

}  // namespace models
