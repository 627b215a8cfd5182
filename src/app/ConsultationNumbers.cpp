#include "app/ConsultationNumbers.h"

#include <limits>

namespace app {

QString NextConsultationNumber(db::Database& database) {
    // Numbers of digits only, padded with zeros, compare as text the way they compare as numbers;
    // the others are NULL. The expression is the one of the descending index
    // O_KONSULTACIJA_HD_PLAIN_NUMBER, so the engine reads the maximum from the index's top.
    const QVariant max = database.scalar(
        QStringLiteral("SELECT MAX(CASE WHEN NUMURS NOT CONTAINING '-' AND TRIM(NUMURS) SIMILAR TO '[0-9]+' "
                       "THEN LPAD(TRIM(NUMURS), 20, '0') END) FROM O_KONSULTACIJA_HD"));
    // No plain number yet.
    if (!max.isValid()) return QStringLiteral("1");
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
