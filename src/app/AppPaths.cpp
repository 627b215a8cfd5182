#include "app/AppPaths.h"

#include <QStandardPaths>

namespace app {

QString defaultDatabasePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/ZALTERS/MOLARIX/ODONTA.FDB");
}

}  // namespace app
