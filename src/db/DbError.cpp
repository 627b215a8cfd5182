#include "db/DbError.h"

namespace db {

DbError::DbError(const QString& message, long sqlCode, long gdsCode)
    : std::runtime_error(message.toStdString()), m_message(message), m_sqlCode(sqlCode), m_gdsCode(gdsCode) {}

}  // namespace db
