#include "app/Rights.h"

#include "app/TMainFormDati.h"

namespace app {

bool HasRight(const QString& userName, const QString& rights, const QString& code, int permission) {
    if (userName == QLatin1String("ADMIN")) return true;
    const qsizetype p = rights.indexOf(code + QLatin1Char('_'));
    if (p < 0) return false;
    const qsizetype at = p + code.size() + 1 + permission;
    return at < rights.size() && rights.at(at) == QLatin1Char('T');
}

bool HasRight(const QString& code, int permission) {
    const TMainFormDati& dati = TMainFormDati::instance();
    return HasRight(dati.UserName(), dati.UserRights(), code, permission);
}

}  // namespace app
