#include "app/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <QStandardPaths>

namespace app {

QString defaultDatabasePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/ZALTERS/MOLARIX/ODONTA.FDB");
}

QString ProgramDataFolder(const QString& name) {
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString beside = programDir + u'/' + name;
    if (QFileInfo(beside).isDir()) return beside + u'/';
    return QDir::cleanPath(programDir + QStringLiteral("/../share/molarix/") + name) + u'/';
}

}  // namespace app
