#pragma once
#include "app/StoreResult.h"
#include "db/Database.h"

#include <QStringList>
#include <QVariantHash>

namespace app {

// The installation row of N_ISI as the system-settings window edits it.
//
// The row is read whole; save() writes back every column of writtenColumns() with the values held,
// edited or not, so saving an unchanged row rewrites it with its own values. Another window (the
// calendar parameters) writes some of the same columns: the last one to save decides.
class SystemSettingsStore {
public:
    explicit SystemSettingsStore(db::Database& database) : m_db(database) {}

    // The columns save() writes back (the clinic default VAT rate PVN_LIKME among them).
    static const QStringList& writtenColumns();
    // The default VAT rates the window offers, in percent.
    static QList<int> vatRates() { return {0, 12, 21}; }

    // Reads the row ("SELECT * FROM N_ISI"); false when the table has no row.
    bool load();
    bool isLoaded() const { return !m_values.isEmpty(); }

    // Column values by upper-case column name (NULL is an invalid QVariant).
    QVariant value(const QString& column) const { return m_values.value(column); }
    void setValue(const QString& column, const QVariant& value) { m_values.insert(column, value); }
    const QVariantHash& values() const { return m_values; }

    // The checks before a save: the working hours must be times of day (or empty, for the
    // defaults 08:00 and 21:00), the start before the end. The field names the column.
    CardCheck check() const;

    // Writes the row back and commits. Throws db::DbError (the row stays as held for another try).
    void save();

private:
    db::Database& m_db;
    QVariantHash m_values;
    QVariant m_loadedIsn;
};

}  // namespace app
