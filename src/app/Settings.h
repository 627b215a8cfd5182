#pragma once
#include <QString>
#include <QStringList>
#include <QVariant>

namespace app {

// The workstation's own settings: one section per window or subsystem ("Bazes", "Password",
// "GridSetup", "Klienti", ...), each holding named string or integer values. Kept in the current
// user's QSettings store of organisation ZALTERS, application MOLARIX; a section is a settings
// group. Every window reads and writes its settings through this class so that the names and
// value types stay the same for all of them.
//
// Tests point QSettings at a temporary folder (QSettings::setPath) before using it.
class Settings {
public:
    static constexpr const char* Organization = "ZALTERS";
    static constexpr const char* Application = "MOLARIX";

    // True when the section holds at least one value (an empty section is not kept).
    static bool hasSection(const QString& section);
    static bool contains(const QString& section, const QString& name);
    // Value names of a section, in no particular order.
    static QStringList names(const QString& section);

    static QString string(const QString& section, const QString& name, const QString& fallback = {});
    // A missing value or one that is not a whole number reads as the fallback.
    static int integer(const QString& section, const QString& name, int fallback = 0);
    static QVariant value(const QString& section, const QString& name, const QVariant& fallback = {});

    static void setString(const QString& section, const QString& name, const QString& value);
    static void setInteger(const QString& section, const QString& name, int value);
    static void setValue(const QString& section, const QString& name, const QVariant& value);
    static void remove(const QString& section, const QString& name);
    static void removeSection(const QString& section);

    // Writes pending changes to the store now (QSettings otherwise writes them lazily).
    static void sync();
};

}  // namespace app
