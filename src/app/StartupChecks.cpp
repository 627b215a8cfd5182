#include "app/StartupChecks.h"

#include "app/Settings.h"

#include <QCoreApplication>

namespace app {

std::optional<QString> DateFormatProblem() {
    const QString section = QStringLiteral("International");
    const QString name = QStringLiteral("sShortDate");
    if (!Settings::contains(section, name)) return std::nullopt;
    if (Settings::string(section, name) == QLatin1String("dd.MM.yyyy")) return std::nullopt;
    return QCoreApplication::translate("Startup",
                                       "Datumam jābūt formātā dd.MM.yyyy.\nTo iestāda Control panel -> Regional "
                                       "settings -> Date");
}

}  // namespace app
