#include "models/ResultTableModel.h"

#include "models/NumberFormat.h"

#include <QDate>
#include <QDateTime>
#include <QFont>

namespace models {

QString formatValue(const QVariant& value, const QString& format) {
    if (!value.isValid() || value.isNull()) return QString();
    const int type = value.typeId();
    if (format.isEmpty()) {
        if (type == QMetaType::QDate) return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
        if (type == QMetaType::QDateTime) {
            const QDateTime dt = value.toDateTime();
            if (dt.time() == QTime(0, 0)) return dt.date().toString(QStringLiteral("dd.MM.yyyy"));
            return dt.toString(QStringLiteral("dd.MM.yyyy hh:mm"));
        }
        return value.toString();
    }
    if (type == QMetaType::QDate) return value.toDate().toString(format);
    if (type == QMetaType::QDateTime) return value.toDateTime().toString(format);
    if (type == QMetaType::QTime) return value.toTime().toString(format);
    if (NumberFormat::isNumberNotation(format)) {
        bool ok = false;
        const double x = value.toDouble(&ok);
        const std::optional<NumberFormat> number = NumberFormat::parse(format);
        if (!ok || !number) return value.toString();
        return number->apply(x);
    }
    return value.toString();
}

ResultTableModel::ResultTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void ResultTableModel::setColumns(QVector<GridColumn> columns) {
    beginResetModel();
    m_columns = std::move(columns);
    m_fieldIndex.clear();
    for (const GridColumn& c : m_columns) m_fieldIndex.append(c.field.isEmpty() ? -1 : m_rows.columnIndex(c.field));
    endResetModel();
}

void ResultTableModel::setRows(ResultSet rows) {
    beginResetModel();
    m_rows = std::move(rows);
    m_fieldIndex.clear();
    for (const GridColumn& c : m_columns) m_fieldIndex.append(c.field.isEmpty() ? -1 : m_rows.columnIndex(c.field));
    endResetModel();
}

void ResultTableModel::appendRows(const ResultSet& more) {
    if (more.isEmpty()) return;
    const int first = m_rows.rowCount();
    beginInsertRows(QModelIndex(), first, first + more.rowCount() - 1);
    m_rows.reserve(first + more.rowCount());
    for (int r = 0; r < more.rowCount(); ++r) m_rows.append(more.row(r));
    endInsertRows();
}

QVariant ResultTableModel::fieldValue(int row, const QString& field) const {
    const int c = m_rows.columnIndex(field);
    if (c < 0 || row < 0 || row >= m_rows.rowCount()) return QVariant();
    return m_rows.value(row, c);
}

int ResultTableModel::findRow(const QVariant& key, const QString& keyField) const {
    const int c = m_rows.columnIndex(keyField);
    if (c < 0) return -1;
    for (int r = 0; r < m_rows.rowCount(); ++r)
        if (m_rows.value(r, c) == key) return r;
    return -1;
}

int ResultTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows.rowCount(); }
int ResultTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_columns.size()); }

QVariant ResultTableModel::rawValue(int row, int column) const {
    const GridColumn& def = m_columns.at(column);
    if (def.calculate) return def.calculate(m_rows, row);
    const int c = m_fieldIndex.value(column, -1);
    return c < 0 ? QVariant() : m_rows.value(row, c);
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.rowCount() || index.column() >= m_columns.size()) return {};
    switch (role) {
        case Qt::DisplayRole:
            return formatValue(rawValue(index.row(), index.column()), m_columns.at(index.column()).format);
        case Qt::EditRole:
            return rawValue(index.row(), index.column());
        case Qt::TextAlignmentRole: {
            // Amounts and other formatted numbers line up on the right unless the column says
            // where they go.
            const GridColumn& c = m_columns.at(index.column());
            if (c.alignment == (Qt::AlignLeft | Qt::AlignVCenter) && NumberFormat::isNumberNotation(c.format))
                return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
            return QVariant::fromValue(c.alignment);
        }
        default:
            return {};
    }
}

void ResultTableModel::setBoldColumn(int column) {
    if (column == m_boldColumn) return;
    m_boldColumn = column;
    if (!m_columns.isEmpty()) Q_EMIT headerDataChanged(Qt::Horizontal, 0, int(m_columns.size()) - 1);
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal && section < m_columns.size())
        return m_columns.at(section).title;
    if (role == Qt::FontRole && orientation == Qt::Horizontal && section == m_boldColumn) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace models
