#pragma once
#include <QString>

namespace app {

// $XDG_DATA_HOME/ZALTERS/MOLARIX/ODONTA.FDB: the database a new workstation starts with.
QString defaultDatabasePath();
// The caption of the default database entry in the database list.
inline QString defaultDatabaseName() { return QStringLiteral("GALVENĀ DATU BĀZE"); }

}  // namespace app
