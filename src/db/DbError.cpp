#include "db/DbError.h"

#include <QtGlobal>

namespace db {

DbError::DbError(const QString& message, long sqlCode, long gdsCode)
    : std::runtime_error(message.toStdString()), m_message(message), m_sqlCode(sqlCode), m_gdsCode(gdsCode) {
    // A test that dies of an unhandled exception shows only that it did; this shows which.
    static const bool trace = qEnvironmentVariableIsSet("MOLARIX_TRACE_DB_ERRORS");
    if (trace) qWarning("DbError: %s", qPrintable(message));
}

}  // namespace db
