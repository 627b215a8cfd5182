#pragma once
#include <QHash>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace db {

// Rows fetched completely from one query. Values are typed QVariants: int / qlonglong for
// integers, double for floating and scaled numbers, QString for text and text blobs, QByteArray
// for binary blobs and OCTETS text, QDate, QDateTime, QTime; a NULL is an invalid QVariant.
class ResultSet {
public:
    using Row = QVector<QVariant>;

    ResultSet() = default;
    explicit ResultSet(QStringList columns);

    int rowCount() const { return int(m_rows.size()); }
    int columnCount() const { return int(m_columns.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    const QStringList& columns() const { return m_columns; }
    // Column position by its name or alias, without regard to case; -1 when absent.
    int columnIndex(const QString& name) const;

    const Row& row(int r) const { return m_rows.at(r); }
    QVariant value(int r, int c) const { return m_rows.at(r).at(c); }
    // Throws std::out_of_range for an unknown column name: a misspelt name is a program fault.
    QVariant value(int r, const QString& name) const;
    // First row's value, or an invalid QVariant when there is no row.
    QVariant first(const QString& name) const { return isEmpty() ? QVariant() : value(0, name); }

    void append(Row row) { m_rows.append(std::move(row)); }
    void reserve(int n) { m_rows.reserve(n); }

private:
    QStringList m_columns;
    QHash<QString, int> m_index;  // upper-cased name -> position
    QVector<Row> m_rows;
};

}  // namespace db
