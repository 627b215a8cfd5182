#include "app/Rights.h"


namespace app {

bool HasRight(const QString& userName, const QString& rights, const QString& code, int permission) {
    if (userName == QLatin1String("ADMIN")) return true;
    const qsizetype p = rights.indexOf(code + QLatin1Char('_'));
    if (p < 0) return false;
    const qsizetype at = p + code.size() + 1 + permission;
    return at < rights.size() && rights.at(at) == QLatin1Char('T');
}


}  // namespace app
