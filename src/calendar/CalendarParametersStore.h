#pragma once
#include "db/Database.h"

#include <QStringList>
#include <QVariantHash>

namespace calendar {

// The calendar's clinic-wide settings in the N_ISI row: working weekdays, grid colours, reminder
// periods, the outgoing mail server and sender, the SMS modem port and the six message texts.
//
// save() writes only the columns whose values differ from what load() read, so the system-settings
// window and this one, open on two workstations, never put back each other's untouched values.
class CalendarParametersStore {
public:
    explicit CalendarParametersStore(db::Database& database) : m_db(database) {}

    static const QStringList& columns();
    static QString ColorColumn(int n) { return QStringLiteral("COLOR_%1").arg(n); }  // 1 ... 6

    // Reads the row; colours stored as 0 take their defaults (and are written by the next save).
    // False when N_ISI has no row.
    bool load();
    QVariant value(const QString& column) const { return m_values.value(column); }
    void setValue(const QString& column, const QVariant& value) { m_values.insert(column, value); }
    // Columns whose values differ from those read.
    QStringList changedColumns() const;

    // Writes the changed columns and commits; nothing when nothing changed. Throws db::DbError.
    void save();

private:
    db::Database& m_db;
    QVariantHash m_read;
    QVariantHash m_values;
    QVariant m_isn;
};

}  // namespace calendar
