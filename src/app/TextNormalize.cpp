#include "app/TextNormalize.h"

#include <QCoreApplication>
#include <QStringDecoder>

#include <algorithm>
#include <array>

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

bool IsClinicCharacter(char16_t c) {
    static const std::array<bool, 0x10000> known = [] {
        std::array<bool, 0x10000> t{};
        for (int i = 0; i < 0x80; ++i) t[i] = true;
        QByteArray high;
        for (int i = 0x80; i < 0x100; ++i) high.append(char(i));
        QStringDecoder decode("windows-1257");
        const QString decoded = decode.decode(high);
        for (QChar ch : decoded)
            if (ch != QChar::ReplacementCharacter) t[ch.unicode()] = true;
        return t;
    }();
    return known[c];
}

bool IsClinicText(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return IsClinicCharacter(c.unicode()); });
}

}  // namespace app
