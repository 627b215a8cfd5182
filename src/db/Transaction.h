#pragma once
#include "db/ResultSet.h"

#include <QString>
#include <QVariant>
#include <QHash>
#include <QList>
#include <QVariantHash>

namespace db {

class Database;

// Parameter values by name (without the colon; case does not matter).
using Params = QVariantHash;

// A read-committed, record-version, no-wait transaction on a Database. Rolled back on
// destruction unless commit() was called, so an exception anywhere in a multi-row change
// leaves nothing half-written.
class Transaction {
public:
    enum class Kind {
        ReadCommitted,
        // Read-only, and every statement sees the database as it was when the transaction
        // started (one consistent picture across many queries, e.g. row counts of all tables).
        ReadOnlySnapshot,
    };
    explicit Transaction(Database& db, Kind kind = Kind::ReadCommitted);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();
    void commitRetaining();
    // Commits and starts a fresh transaction on the same object; prepared statements go on
    // working. Long bulk loads use it between batches: unlike commitRetaining() it also lets the
    // engine drop what it keeps for the life of a transaction.
    void commitAndBegin();
    void rollback();
    bool isActive() const { return m_handle != 0; }

    // Records that this transaction changed rows of the table (the keys when known). At a
    // successful commit the connection announces them to its commit listener; a rollback
    // forgets them, so nobody hears of a change that did not happen.
    void touch(const QString& table, int key = 0);

    Database& database() { return m_db; }
    unsigned int* handlePtr() { return &m_handle; }

    // Runs a query and fetches every row.
    ResultSet select(const QString& sql, const Params& params = {});
    // Runs a statement; returns the number of rows it changed. For "INSERT ... RETURNING" use
    // select() (one row with the returned columns) or scalar().
    int exec(const QString& sql, const Params& params = {});
    // The first column of the first row, or an invalid QVariant when there is none.
    QVariant scalar(const QString& sql, const Params& params = {});

private:
    void start();
    void announce();
    Database& m_db;
    Kind m_kind;
    QHash<QString, QList<int>> m_touched;
    unsigned int m_handle = 0;
};

}  // namespace db
