#include "archive/TableCounts.h"

#include "db/Database.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>

namespace archive {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("TableCounts", text);
}

QString quotedName(const QString& name) {
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

}  // namespace

TableCounts CountRows(db::Database& database) {
    db::Transaction tx(database, db::Transaction::Kind::ReadOnlySnapshot);
    // Relation type 0 is a persistent table (1 view, 2 external, 3 virtual, 4-5 temporary).
    const db::ResultSet tables =
        tx.select(QStringLiteral("SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS "
                                 "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$VIEW_BLR IS NULL AND "
                                 "COALESCE(RDB$RELATION_TYPE, 0) = 0 "
                                 "ORDER BY 1"));
    TableCounts counts;
    for (int r = 0; r < tables.rowCount(); ++r) {
        const QString name = tables.value(r, 0).toString();
        // The name comes from the catalogue, never from typed text.
        counts.insert(name,
                      tx.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + quotedName(name)).toLongLong());
    }
    tx.commit();
    return counts;
}

QStringList CompareCounts(const TableCounts& before, const TableCounts& after, const TableCounts& restored) {
    QStringList differences;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const qint64 low = std::min(it.value(), after.value(it.key(), it.value()));
        const qint64 high = std::max(it.value(), after.value(it.key(), it.value()));
        if (!restored.contains(it.key())) {
            differences.append(tr("tabulas %1 atjaunotajā kopijā nav").arg(it.key()));
            continue;
        }
        const qint64 got = restored.value(it.key());
        if (got < low || got > high) {
            const QString expected =
                low == high ? QString::number(low) : QStringLiteral("%1–%2").arg(low).arg(high);
            differences.append(tr("tabulā %1 atjaunotajā kopijā %2 rindas, datu bāzē %3")
                                   .arg(it.key())
                                   .arg(got)
                                   .arg(expected));
        }
    }
    for (auto it = restored.cbegin(); it != restored.cend(); ++it)
        if (!before.contains(it.key()) && !after.contains(it.key()))
            differences.append(tr("atjaunotajā kopijā lieka tabula %1").arg(it.key()));
    return differences;
}

}  // namespace archive
