#include "db/BatchFetch.h"

#include "db/Statement.h"

namespace db {

BatchFetch::BatchFetch(Database& database, const QString& sql, const Params& params)
    : m_statement(std::make_unique<Statement>(database.defaultTransaction(), sql)) {
    if (!params.isEmpty()) m_statement->bind(params);
    m_statement->execute();
    m_columns = m_statement->columnNames();
}

BatchFetch::~BatchFetch() = default;

ResultSet BatchFetch::next(int maxRows) {
    ResultSet rows(m_columns);
    const int columns = int(m_columns.size());
    while (!m_atEnd && rows.rowCount() < maxRows) {
        if (!m_statement->next()) {
            m_atEnd = true;
            break;
        }
        ResultSet::Row row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c) row.append(m_statement->value(c));
        rows.append(std::move(row));
    }
    return rows;
}

bool ContainsKey(const ResultSet& rows, int key) {
    const int column = rows.columnIndex(QStringLiteral("ISN"));
    for (int r = 0; r < rows.rowCount(); ++r)
        if (rows.value(r, column).toInt() == key) return true;
    return false;
}

}  // namespace db
