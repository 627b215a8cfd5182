#pragma once
#include <QString>
#include <stdexcept>

namespace db {

// A failed database call. message() is the server's own text (every line of its status vector),
// which windows show after "Sistēmas kļūda: ".
class DbError : public std::runtime_error {
public:
    DbError(const QString& message, long sqlCode = 0, long gdsCode = 0);

    QString message() const { return m_message; }
    long sqlCode() const { return m_sqlCode; }
    // The first ISC error code of the status vector (isc_lock_conflict, isc_foreign_key, ...).
    long gdsCode() const { return m_gdsCode; }

    // What kind of refusal it is, so that callers need no error numbers.
    // A change that would leave rows referring to nothing, or a referred row deleted.
    bool isForeignKey() const;
    // A duplicate value in a unique index or key.
    bool isUniqueViolation() const;
    // Another transaction holds or changed the row (with no-wait transactions a lock conflict
    // arrives as a deadlock).
    bool isLockConflict() const;

private:
    QString m_message;
    long m_sqlCode;
    long m_gdsCode;
};

// A save refused because another workstation changed or deleted the row after it was read: the
// update carried the row's last-change stamp (IEVDAT_EDIT) and found no row with it. Nothing
// was written; the window shows the message and reads the row again.
class StaleRowError : public DbError {
public:
    StaleRowError();
    static QString Message();
};

}  // namespace db
