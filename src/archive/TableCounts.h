#pragma once
#include <QMap>
#include <QString>

namespace db {
class Database;
}

namespace archive {

// Rows of every table of the database (views, system tables and temporary tables left out),
// counted in one snapshot so that all counts belong to the same moment.
using TableCounts = QMap<QString, qint64>;
TableCounts CountRows(db::Database& database);

// How a restored copy differs from the source: one line per table whose count in the copy lies
// outside what the source held from `before` to `after` (both counted on the source around the
// backup; equal when nobody wrote meanwhile). Empty when they agree.
QStringList CompareCounts(const TableCounts& before, const TableCounts& after, const TableCounts& restored);

inline qint64 TotalRows(const TableCounts& counts) {
    qint64 total = 0;
    for (qint64 n : counts) total += n;
    return total;
}

}  // namespace archive
