#pragma once
#include "db/Database.h"
#include "references/ReferenceTables.h"
#include "app/StoreResult.h"

#include <QCoreApplication>
#include <QVariantHash>
#include <optional>

namespace references {

// Inserts (key <= 0) or updates one row of the table with the given columns and the audit
// columns of the user (the creation stamp only on insert), and returns the row's key: a new key
// comes from INSERT ... RETURNING in the same transaction. Column names come from the program
// (std::invalid_argument for one that is not an identifier); every value is bound.
// With readStamp (the IEVDAT_EDIT the row had when it was read; a null QVariant for a row never
// changed) an update of a row that another workstation changed or deleted since is refused with
// db::StaleRowError instead of overwriting the other change.
int WriteRow(db::Transaction& tx, const QString& table, int key, QVariantHash values, int userIsn,
             const std::optional<QVariant>& readStamp = std::nullopt);

// Reads and saves one row of a reference table for its card. Values travel as column name ->
// value; the store adds the audit columns, learns a new key from INSERT ... RETURNING, writes the
// journal entry ("J" new, "L" changed, no note) in the same transaction and commits.
class ReferenceCardStore {
    Q_DECLARE_TR_FUNCTIONS(ReferenceCards)
public:
    ReferenceCardStore(db::Database& database, const QString& table);

    QString table() const { return m_table; }

    // The row's columns; empty when there is no such row.
    QVariantHash load(int key);

    // The required-field checks of the table's card, in the order the card makes them.
    app::CardCheck validate(const QVariantHash& values) const;

    // N_VEIDI: true when another row already has this name (exact comparison).
    bool nameTaken(const QString& name, int key);

    // Inserts (key <= 0) or updates the row and returns its key. Throws db::DbError; nothing is
    // stored then.
    int save(int key, const QVariantHash& values, int userIsn);

    // Writes a few columns of an existing row at once (the specialist's non-receiving lists are
    // stored as soon as they change) and commits.
    void update(int key, const QVariantHash& values);

private:
    db::Database& m_db;
    QString m_table;
};

}  // namespace references
