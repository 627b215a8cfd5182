#include "reports/ReportValues.h"

namespace reports {

ReportValues& ReportValues::set(const QString& name, const QVariant& value) {
    return set(name, [value](int) { return value; });
}

ReportValues& ReportValues::set(const QString& name, std::function<QVariant(int row)> perRow) {
    m_values.insert(name.toUpper(), std::move(perRow));
    return *this;
}

QVariant ReportValues::operator()(const QString& name, int row) const {
    const auto it = m_values.constFind(name.toUpper());
    if (it != m_values.cend()) return (*it)(row);
    return QVariant();
}

}  // namespace reports
