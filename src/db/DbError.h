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

private:
    QString m_message;
    long m_sqlCode;
    long m_gdsCode;
};

}  // namespace db
