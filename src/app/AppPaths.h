#pragma once
#include <QString>

namespace app {

// $XDG_DATA_HOME/ZALTERS/MOLARIX/ODONTA.FDB: the database a new workstation starts with.
QString defaultDatabasePath();
// The caption of the default database entry in the database list.
// A folder of the program's data ("images", "reports"): beside the program in a build tree, else
// under <prefix>/share/molarix when the program is installed in <prefix>/bin. Ends with "/".
QString ProgramDataFolder(const QString& name);
inline QString defaultDatabaseName() { return QStringLiteral("GALVENĀ DATU BĀZE"); }

}  // namespace app
