#include "db/ResultSet.h"

#include <stdexcept>

namespace db {

ResultSet::ResultSet(QStringList columns) : m_columns(std::move(columns)) {
    for (int i = 0; i < m_columns.size(); ++i) {
        const QString key = m_columns[i].toUpper();
        if (!m_index.contains(key)) m_index.insert(key, i);  // first of equal aliases wins
    }
}

int ResultSet::columnIndex(const QString& name) const { return m_index.value(name.toUpper(), -1); }

QVariant ResultSet::value(int r, const QString& name) const {
    const int c = columnIndex(name);
    if (c < 0) throw std::out_of_range("no column " + name.toStdString() + " in the result");
    return m_rows.at(r).at(c);
}

}  // namespace db
