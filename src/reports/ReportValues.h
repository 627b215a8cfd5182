#pragma once
#include <QHash>
#include <QString>
#include <QVariant>
#include <functional>

namespace reports {

// Answers a named value that a layout asks for. `row` is the master row the band stands on (the
// group's first row in a group header, its last row in a group footer, -1 when there are no
// rows). An invalid QVariant means "not known here"; the placeholder then prints empty.
using ValueCallback = std::function<QVariant(const QString& name, int row)>;

// The usual callback: a table of names, compared without regard to case, each with a fixed value
// or a value computed for the row.
class ReportValues {
public:
    ReportValues& set(const QString& name, const QVariant& value);
    ReportValues& set(const QString& name, std::function<QVariant(int row)> perRow);

    QVariant operator()(const QString& name, int row) const;

private:
    QHash<QString, std::function<QVariant(int)>> m_values;  // upper-cased name
};

}  // namespace reports
