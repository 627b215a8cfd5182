#pragma once
#include "db/Transaction.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace consultations {

// The choices of the filter dialog "Konsultāciju atlase". The period includes both days; a
// patient or specialist of 0 or 1 means any.
struct ConsultationFilter {
    static constexpr const char* SettingsSection = "IzpildeFiltrs";

    QDate from;
    QDate to;
    int patient = 1;
    int specialist = 1;
    QString number;        // exact number, empty = any
    bool showRejected = false;

    // The stored filter of this workstation; a value missing or unreadable keeps its default (the
    // last month up to today, no patient, no specialist).
    static ConsultationFilter Read(const QDate& today = QDate::currentDate());
    void write() const;

    bool operator==(const ConsultationFilter&) const = default;
};

// The column the list is sorted by and the direction. A title click on the same column turns the
// direction round; on another column it starts ascending. Only the columns of SortColumns() sort.
struct ConsultationSort {
    static constexpr const char* SettingsSection = "Konsultacijas";
    static constexpr const char* SettingsName = "Kartiba";

    QString column = QStringLiteral("DATUMS");
    bool descending = false;

    // The grid's fields that sort, in the grid's order.
    static const QStringList& SortColumns();
    // The sort after a click on a column title; the same sort for a column that does not sort.
    ConsultationSort clicked(const QString& field) const;
    // The ORDER BY text: the column's expression with the direction, then its fixed tie-breaks.
    QString orderBy() const;

    // Stored as the column name, followed by " DESC" when descending. A stored text that is not
    // one of ours gives the default sort.
    QString toText() const;
    static ConsultationSort FromText(const QString& text);
    static ConsultationSort Read();
    void write() const;

    bool operator==(const ConsultationSort&) const = default;
};

// The list's statement and its bound values. Every typed value is a parameter.
struct ListQuery {
    QString sql;
    db::Params params;
};
ListQuery ConsultationListQuery(const ConsultationFilter& filter, const ConsultationSort& sort);

}  // namespace consultations
