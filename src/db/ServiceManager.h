#pragma once
#include "db/DbError.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace db {

// Where a connection string points: the server ("host" or "host/port", empty for a file that the
// embedded engine opens in this process) and the database path as that server sees it.
struct DatabaseLocation {
    QString server;
    QString path;
    bool isLocal() const { return server.isEmpty(); }
    static DatabaseLocation of(const QString& connectionString);
};

// The engine's services manager: backups and restores made by the engine itself, the same ones
// the gbak tool makes. Without a server the service runs inside this process through the
// embedded engine, which is the only way to back up a database file that this process holds open
// (a separate gbak process cannot open it). Every call blocks; a caller that must stay responsive
// runs the whole object on a thread of its own (one thread per object).
class ServiceManager {
public:
    // Attaches to "service_mgr" of the server (empty: the embedded engine). Throws DbError.
    ServiceManager(const QString& server, const QString& user, const QString& password);
    ~ServiceManager();
    ServiceManager(const ServiceManager&) = delete;
    ServiceManager& operator=(const ServiceManager&) = delete;

    struct Backup {
        QString database;  // path as the service's engine sees it
        // File the service writes, on the service's machine; "stdout" streams the backup to
        // readData() instead (then verbose output is not available).
        QString file;
        unsigned options = 0;  // isc_spb_bkp_* flags
        bool verbose = false;
        int factor = 0;  // blocking factor of a tape backup; 0 = none
    };
    void startBackup(const Backup& backup);

    struct Restore {
        QString file;          // backup file on the service's machine
        QString database;      // the new database
        unsigned options = 0;  // isc_spb_res_* flags; the caller adds create or replace
        bool verbose = false;
    };
    void startRestore(const Restore& restore);

    // Reads the service's text output, one line at a time, until the service ends. Throws
    // DbError with the service's own message when it failed.
    void readLines(const std::function<void(const QString& line)>& onLine);
    // Reads the service's output as bytes (a backup to "stdout") until the service ends. Throws
    // DbError when it failed or when onData throws.
    void readData(const std::function<void(const char* data, int size)>& onData);

private:
    void start(const QByteArray& request);
    unsigned int m_handle = 0;
};

}  // namespace db
