#include "app/ConsultationNumbers.h"

#include <limits>

namespace app {

QString NextConsultationNumber(db::Database& database) {
    // Among numbers of digits only, the one with the most significant digits is the greatest;
    // of equally long ones the greatest text. Leading zeros do not count.
    const QVariant max = database.scalar(
        QStringLiteral("SELECT FIRST 1 TRIM(LEADING '0' FROM TRIM(NUMURS)) N FROM O_KONSULTACIJA_HD "
                       "WHERE NUMURS NOT CONTAINING '-' AND TRIM(NUMURS) SIMILAR TO '[0-9]+' "
                       "ORDER BY CHAR_LENGTH(TRIM(LEADING '0' FROM TRIM(NUMURS))) DESC, 1 DESC"));
    // No plain number yet, or only zeros.
    if (!max.isValid() || max.toString().isEmpty()) return QStringLiteral("1");
    bool ok = false;
    const qint64 n = max.toString().toLongLong(&ok);
    if (!ok || n == std::numeric_limits<qint64>::max()) return QString();
    return QString::number(n + 1);
}

QString VisitConsultationNumber(db::Database& database, const QString& requestNumber) {
    const QString next = NextConsultationNumber(database);
    return requestNumber.trimmed() + QLatin1Char('-') + (next.isEmpty() ? QStringLiteral("1") : next);
}

}  // namespace app
