#pragma once
#include <QString>
#include <QVector>

namespace app {

// One database the log-in offers: the display name and the connection string behind it
// (a local file path, or "host:path" / "host/port:path" on a Firebird server).
struct DatabaseEntry {
    QString name;
    QString connectionString;
};

// The workstation's list of databases and its log-in memory, kept in the settings:
// section "Bazes" holds one value per database (display name = connection string), section
// "Password" holds LastUser (log-on name in clear) and LastDBIndex (index in the sorted list).
class DatabaseList {
public:
    static constexpr const char* DatabasesSection = "Bazes";
    static constexpr const char* PasswordSection = "Password";

    // Reads the list, sorted by display name (Latvian order, case ignored) so that an index means
    // the same entry every time. A workstation without a list gets the default entry, which is
    // written to the settings at once.
    static DatabaseList load();

    const QVector<DatabaseEntry>& entries() const { return m_entries; }
    int size() const { return int(m_entries.size()); }
    QStringList names() const;

    // The entry to select first: the remembered LastDBIndex, or entry 0 when it is missing, negative
    // or beyond the end of the list; -1 only for an empty list.
    int initialIndex() const;

    // The user name to offer: LastUser, or "ADMIN" when none is remembered.
    static QString lastUser();
    // After a successful log-on: LastUser and LastDBIndex.
    static void rememberLogon(const QString& userName, int index);
    // When the log-in dialog closes: LastDBIndex, only if the Password section exists already.
    static void rememberIndex(int index);

private:
    QVector<DatabaseEntry> m_entries;
};

}  // namespace app
