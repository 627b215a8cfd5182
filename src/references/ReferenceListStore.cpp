#include "references/ReferenceListStore.h"
#include "app/DeleteRefusal.h"
#include "app/SharedProcedures.h"

#include <QDateTime>

#include <algorithm>
#include <limits>

namespace references {

ReferenceListStore::ReferenceListStore(db::Database& database, const ReferenceTable& table)
    : m_db(database), m_table(table) {}

db::ResultSet ReferenceListStore::fetch() {
    return m_db.select(m_table.listSql());
}

QString ReferenceListStore::rowName(const db::ResultSet& rows, int row) const {
    if (row < 0 || row >= rows.rowCount()) return {};
    if (m_table.persons)
        return rows.value(row, QStringLiteral("UZVARDS")).toString() + QLatin1Char(' ') +
               rows.value(row, QStringLiteral("VARDS")).toString();
    return rows.value(row, QStringLiteral("GNOS")).toString();
}

int FindPrefixRow(const db::ResultSet& rows, const QString& field, const QString& text) {
    if (text.isEmpty()) return -1;
    const int column = rows.columnIndex(field);
    if (column < 0) return -1;
    for (int r = 0; r < rows.rowCount(); ++r)
        if (rows.value(r, column).toString().startsWith(text, Qt::CaseInsensitive)) return r;
    return -1;
}

PrefixRows::PrefixRows(const db::ResultSet& rows, const QString& field) {
    const int column = rows.columnIndex(field);
    if (column < 0) return;
    std::vector<std::pair<QString, int>> texts;
    texts.reserve(std::size_t(rows.rowCount()));
    for (int r = 0; r < rows.rowCount(); ++r) texts.emplace_back(rows.value(r, column).toString().toCaseFolded(), r);
    std::sort(texts.begin(), texts.end());
    m_texts.reserve(texts.size());
    m_rows.reserve(texts.size());
    for (auto& [text, row] : texts) {
        m_texts.push_back(std::move(text));
        m_rows.push_back(row);
    }
    m_leaves = 1;
    while (m_leaves < m_rows.size()) m_leaves *= 2;
    m_lowest.assign(2 * m_leaves, std::numeric_limits<int>::max());
    std::copy(m_rows.begin(), m_rows.end(), m_lowest.begin() + std::ptrdiff_t(m_leaves));
    for (std::size_t i = m_leaves - 1; i > 0; --i) m_lowest[i] = std::min(m_lowest[2 * i], m_lowest[2 * i + 1]);
}

int PrefixRows::first(const QString& text) const {
    if (text.isEmpty() || m_texts.empty()) return -1;
    const QString prefix = text.toCaseFolded();
    const auto from = std::lower_bound(m_texts.begin(), m_texts.end(), prefix);
    const auto to = std::partition_point(from, m_texts.end(), [&](const QString& t) { return t.startsWith(prefix); });
    if (from == to) return -1;
    // The lowest row of the sorted range [lo, hi), climbing the tree from both ends.
    int lowest = std::numeric_limits<int>::max();
    std::size_t lo = std::size_t(from - m_texts.begin()) + m_leaves;
    std::size_t hi = std::size_t(to - m_texts.begin()) + m_leaves;
    while (lo < hi) {
        if (lo & 1) lowest = std::min(lowest, m_lowest[lo++]);
        if (hi & 1) lowest = std::min(lowest, m_lowest[--hi]);
        lo /= 2;
        hi /= 2;
    }
    return lowest;
}

int ReferenceListStore::quickSearchRow(const db::ResultSet& rows, const QString& text) const {
    return FindPrefixRow(rows, m_table.nameField(), text);
}

QString ReferenceListStore::editRefusal(int key) const {
    return key == 1 && m_table.hasDefaultRow ? tr("Tas ir sistēmas parametrs, labot nedrīkst !!!")
                                             : QString();
}

QString ReferenceListStore::deleteRefusal(bool listEmpty, int key) const {
    if (listEmpty || key <= 0) return tr("Nav datu, ko dzēst !!!");
    if (key == 1 && m_table.hasDefaultRow) return tr("Šis ir sistēmas parametrs, dzēst nedrīkst !!!");
    return {};
}

QString ReferenceListStore::deleteQuestion(const QString& name) const {
    return tr("Vai tiešām vēlaties dzēst ") + name + QStringLiteral(" ?");
}

app::DeleteOutcome DeleteRow(db::Database& database, const QString& table, int key, const QString& name,
                        int userIsn) {
    if (!app::IsSqlIdentifier(table)) throw std::invalid_argument("not a table name");
    app::DeleteOutcome out;
    try {
        db::Transaction tx(database);
        tx.exec(QStringLiteral("DELETE FROM ") + table + QStringLiteral(" WHERE ISN=:Isn"),
                {{QStringLiteral("Isn"), key}});
        app::WriteJournal(tx, userIsn, QStringLiteral("D"), QString(), table, key, name, QDateTime());
        tx.commit();
        out.deleted = true;
    } catch (const db::DbError& e) {
        if (e.isForeignKey()) {
            const app::DeleteRefusal refusal = app::ExplainRefusedDelete(database, table, key, e);
            out.message = refusal.message;
            out.details = refusal.details;
        } else {
            out.message = QCoreApplication::translate("TKlasifikators", "Sistēmas kļūda: ") + e.message();
        }
    }
    return out;
}

app::DeleteOutcome ReferenceListStore::remove(int key, const QString& name, int userIsn) {
    return DeleteRow(m_db, m_table.table, key, name, userIsn);
}

}  // namespace references
