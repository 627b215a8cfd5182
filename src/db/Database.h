#pragma once
#include "db/DbError.h"
#include "db/ResultSet.h"
#include "db/Transaction.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace db {

// One connection to the clinic's database. A connection string without a host ("/path/x.fdb")
// opens the file in-process through the embedded engine; "host:/path/x.fdb" or
// "host/port:/path/x.fdb" goes to a Firebird server, which is how workstations share one database.
//
// The connection owns the default transaction: read committed, record versions, no wait. Work done
// through it becomes permanent and visible to other workstations at commitRetaining(), which keeps
// the transaction open. Multi-row changes that must land together use an explicit Transaction.
class Database {
public:
    static constexpr const char* UserName = "SYSDBA";
    static constexpr const char* Password = "pwlkjhgfd";

    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Throws DbError with the server's text when the database cannot be opened. pageBuffers > 0
    // asks for a page cache of that many pages (bulk loads); 0 keeps the server's default.
    void attach(const QString& connectionString, int pageBuffers = 0);
    // Rolls the default transaction back (anything not yet committed is dropped) and detaches.
    void detach();
    bool isAttached() const { return m_handle != 0; }
    QString connectionString() const { return m_connectionString; }

    // Creates a new database file with the clinic's character set and runs the creation script
    // in it. A local path goes through the embedded engine; "host:path" asks that server to create
    // it. Throws DbError; refuses (DbError) when a local file exists already.
    static void create(const QString& connectionString, const QString& creationScript);
    // The creation script shipped with the program.
    static QString schemaScript();

    // Switches the database's forced (synchronous) writes on or off. Bulk loads switch them off
    // for their duration; a clinic's database keeps them on so that a power cut loses nothing
    // that was committed.
    static void setForcedWrites(const QString& connectionString, bool on);

    // True when the connection string names a file on this machine (no host part).
    static bool isLocal(const QString& connectionString);

    Transaction& defaultTransaction() { return *m_default; }
    void commitRetaining() { m_default->commitRetaining(); }

    // Shorthands on the default transaction.
    ResultSet select(const QString& sql, const Params& params = {}) { return m_default->select(sql, params); }
    int exec(const QString& sql, const Params& params = {}) { return m_default->exec(sql, params); }
    QVariant scalar(const QString& sql, const Params& params = {}) { return m_default->scalar(sql, params); }

    // Runs DDL or any statement without parameters in its own transaction and commits it.
    void executeImmediate(const QString& sql);

    // Called after every commit that changed rows a store recorded with Transaction::touch():
    // the table and the keys (empty when the store could not name them).
    using CommitListener = std::function<void(const QString& table, const QList<int>& keys)>;
    void setCommitListener(CommitListener listener) { m_commitListener = std::move(listener); }
    void announceCommitted(const QHash<QString, QList<int>>& touched);
    // Shorthand: records a change on the default transaction (see Transaction::touch()).
    void touch(const QString& table, int key = 0) { m_default->touch(table, key); }

    // The raw attachment handle (isc_db_handle) for the database layer's own use.
    unsigned int* handlePtr() { return &m_handle; }

    // What holds requests on the raw attachment besides this object (event listeners) registers
    // here. The hook runs at the start of detach(), while the handle is still valid, on the
    // detaching thread; `destroying` is true when this object goes away right after, and the hook
    // is then forgotten. Hooks must not throw.
    int addDetachHook(std::function<void(bool destroying)> hook);
    void removeDetachHook(int id);

    // Sets FIREBIRD_LOCK to this user's private lock folder (see LockFolder.h) when it is unset and
    // we are not root, so that a normal user can run the embedded engine. Throws DbError when that
    // folder belongs to someone else or is open to others. Called by attach() and create().
    static void prepareEnvironment();

private:
    void runDetachHooks();

    unsigned int m_handle = 0;
    QString m_connectionString;
    std::unique_ptr<Transaction> m_default;
    CommitListener m_commitListener;
    std::vector<std::pair<int, std::function<void(bool)>>> m_detachHooks;
    int m_lastHookId = 0;
    bool m_destroying = false;
};

}  // namespace db
