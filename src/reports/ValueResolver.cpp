#include "reports/ValueResolver.h"

#include "models/ResultTableModel.h"

namespace reports {

ValueResolver::ValueResolver(const db::ResultSet& rows, ValueCallback values, const QDateTime& printTime)
    : m_rows(rows), m_values(std::move(values)), m_printTime(printTime) {}

QVariant ValueResolver::builtIn(const QString& upperName, const Scope& scope) const {
    if (upperName == u"PAGE") return scope.page;
    if (upperName == u"TOTALPAGES") return m_totalPages;
    if (upperName == u"DATE") return m_printTime.date();
    if (upperName == u"TIME") return m_printTime.time();
    if (upperName == u"LINE") return scope.row >= 0 ? QVariant(scope.row + 1) : QVariant();
    return QVariant();
}

QVariant ValueResolver::rowValue(const QString& name, int row) const {
    if (row >= 0 && row < m_rows.rowCount()) {
        const int column = m_rows.columnIndex(name);
        if (column >= 0) return m_rows.value(row, column);
    }
    return m_values ? m_values(name, row) : QVariant();
}

QVariant ValueResolver::value(const QString& name, const Scope& scope) const {
    const QVariant b = builtIn(name.toUpper(), scope);
    return b.isValid() ? b : rowValue(name, scope.row);
}

double ValueResolver::sum(const QString& name, const Scope& scope) const {
    double total = 0;
    for (int r = qMax(scope.first, 0); r <= scope.last && r < m_rows.rowCount(); ++r)
        total += rowValue(name, r).toDouble();  // NULL and text add 0
    return total;
}

QString ValueResolver::text(const TextTemplate& t, const Scope& scope) const {
    QString out;
    for (const TextTemplate::Segment& s : t.segments()) {
        if (!s.isPlaceholder()) {
            out += s.literal;
            continue;
        }
        QVariant v = s.sum ? QVariant(sum(s.name, scope)) : value(s.name, scope);
        QString format = s.format;
        // A bare time of day prints hours and minutes, not QTime's seconds and milliseconds.
        if (format.isEmpty() && v.typeId() == QMetaType::QTime) format = QStringLiteral("hh:mm");
        out += models::formatValue(v, format);
    }
    return out;
}

}  // namespace reports
