#include "db/RowStamp.h"

#include <QDateTime>

namespace db {

QString UnchangedSince(const QVariant& readStamp, Params& params) {
    const QDateTime read = readStamp.toDateTime();
    if (readStamp.isNull() || !read.isValid()) return QStringLiteral(" AND IEVDAT_EDIT IS NULL");
    params.insert(QStringLiteral("READ_STAMP"), read);
    params.insert(QStringLiteral("READ_STAMP_END"), read.addMSecs(1));
    return QStringLiteral(" AND IEVDAT_EDIT >= :READ_STAMP AND IEVDAT_EDIT < :READ_STAMP_END");
}

}  // namespace db
