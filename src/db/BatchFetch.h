#pragma once
#include "db/Database.h"
#include "db/ResultSet.h"

#include <QStringList>
#include <memory>

namespace db {

class Statement;

// A list read in batches from one open query on the default transaction: a window shows the first
// rows at once and reads the rest while the user looks at them.
class BatchFetch {
public:
    BatchFetch(Database& database, const QString& sql, const Params& params = {});
    ~BatchFetch();
    // Up to maxRows further rows; fewer (or none) at the end of the list.
    ResultSet next(int maxRows);
    bool atEnd() const { return m_atEnd; }

private:
    std::unique_ptr<Statement> m_statement;
    QStringList m_columns;
    bool m_atEnd = false;
};

// Whether the rows hold the one with this ISN: a window that stays on a row further down than
// the first batch reads the rest at once.
bool ContainsKey(const ResultSet& rows, int key);

}  // namespace db
