#include "db/DbError.h"

#include <QtGlobal>
#include <ibase.h>

namespace db {

DbError::DbError(const QString& message, long sqlCode, long gdsCode)
    : std::runtime_error(message.toStdString()), m_message(message), m_sqlCode(sqlCode), m_gdsCode(gdsCode) {
    // A test that dies of an unhandled exception shows only that it did; this shows which.
    static const bool trace = qEnvironmentVariableIsSet("MOLARIX_TRACE_DB_ERRORS");
    if (trace) qWarning("DbError: %s", qPrintable(message));
}

StaleRowError::StaleRowError() : DbError(Message()) {}

QString StaleRowError::Message() {
    return QStringLiteral("Šo ierakstu kopš atvēršanas ir mainījis vai dzēsis cits lietotājs. Jūsu izmaiņas nav "
                          "saglabātas; ieraksts parādīts no jauna.");
}

bool DbError::isForeignKey() const { return m_gdsCode == isc_foreign_key; }

bool DbError::isUniqueViolation() const { return m_gdsCode == isc_unique_key_violation || m_gdsCode == isc_no_dup; }

bool DbError::isLockConflict() const {
    return m_gdsCode == isc_lock_conflict || m_gdsCode == isc_update_conflict || m_gdsCode == isc_deadlock ||
           m_gdsCode == isc_concurrent_transaction;
}

}  // namespace db
