#include "app/TextNormalize.h"

#include <QCoreApplication>

namespace app {

// QString's case mapping is the Unicode one, which covers ā, č, ē, ģ, ī, ķ, ļ, ņ, š, ū, ž without
// any locale; that is the only behaviour the windows rely on.

QString NormalizeSearchText(const QString& text) { return text.trimmed().toUpper(); }

QString CapitalizeName(const QString& text) {
    const QString s = text.trimmed();
    if (s.isEmpty()) return s;
    // One upper-case letter may map to several (ß -> SS); keep the first character's mapping whole.
    return s.left(1).toUpper() + s.mid(1).toLower();
}

QString PersonLabel(int key, const QString& surname, const QString& firstName) {
    if (key == 1) return QCoreApplication::translate("TextNormalize", "Nav noteikts");
    return QString(surname.trimmed() + QLatin1Char(' ') + firstName.trimmed()).trimmed();
}

}  // namespace app
