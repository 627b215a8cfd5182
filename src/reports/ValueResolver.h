#pragma once
#include "db/ResultSet.h"
#include "reports/ReportValues.h"
#include "reports/TextTemplate.h"

#include <QDateTime>

namespace reports {

// What the placeholders of one printed band refer to.
struct Scope {
    int row = -1;    // current master row: fields and per-row values; -1 = none
    int first = 0;   // SUM() adds rows first..last
    int last = -1;
    int page = 0;    // 1-based page number; 0 outside pagination (CSV export)
};

// Turns placeholders into text. A name is looked up as a built-in (Page, TotalPages, Date, Time,
// Line), then as a field of the rows, then through the value callback; all without regard to
// case. An unknown name prints empty.
class ValueResolver {
public:
    // The rows must outlive the resolver.
    ValueResolver(const db::ResultSet& rows, ValueCallback values, const QDateTime& printTime);

    void setTotalPages(int pages) { m_totalPages = pages; }

    QVariant value(const QString& name, const Scope& scope) const;
    double sum(const QString& name, const Scope& scope) const;
    QString text(const TextTemplate& t, const Scope& scope) const;

    const db::ResultSet& rows() const { return m_rows; }

private:
    QVariant builtIn(const QString& upperName, const Scope& scope) const;
    QVariant rowValue(const QString& name, int row) const;

    const db::ResultSet& m_rows;
    ValueCallback m_values;
    QDateTime m_printTime;
    int m_totalPages = 0;
};

}  // namespace reports
