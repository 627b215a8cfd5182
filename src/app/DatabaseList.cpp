#include "app/DatabaseList.h"

#include "app/AppPaths.h"
#include "app/Settings.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

namespace app {

namespace {

QString section(const char* name) { return QString::fromLatin1(name); }

}  // namespace

DatabaseList DatabaseList::load() {
    DatabaseList list;
    const QString bazes = section(DatabasesSection);
    if (!Settings::hasSection(bazes)) {
        Settings::setString(bazes, defaultDatabaseName(), defaultDatabasePath());
        Settings::sync();
    }
    for (const QString& name : Settings::names(bazes))
        list.m_entries.append({name, Settings::string(bazes, name)});

    QCollator collator{QLocale(QLocale::Latvian, QLocale::Latvia)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(list.m_entries.begin(), list.m_entries.end(), [&](const DatabaseEntry& a, const DatabaseEntry& b) {
        const int c = collator.compare(a.name, b.name);
        return c != 0 ? c < 0 : a.name < b.name;
    });
    return list;
}

QStringList DatabaseList::names() const {
    QStringList out;
    for (const auto& e : m_entries) out.append(e.name);
    return out;
}

int DatabaseList::initialIndex() const {
    if (m_entries.isEmpty()) return -1;
    const int index = Settings::integer(section(PasswordSection), QStringLiteral("LastDBIndex"), 0);
    return index >= 0 && index < size() ? index : 0;
}

QString DatabaseList::lastUser() {
    const QString user = Settings::string(section(PasswordSection), QStringLiteral("LastUser"));
    return user.isEmpty() ? QStringLiteral("ADMIN") : user;
}

void DatabaseList::rememberLogon(const QString& userName, int index) {
    Settings::setString(section(PasswordSection), QStringLiteral("LastUser"), userName);
    Settings::setInteger(section(PasswordSection), QStringLiteral("LastDBIndex"), index);
    Settings::sync();
}

void DatabaseList::rememberIndex(int index) {
    if (!Settings::hasSection(section(PasswordSection))) return;
    Settings::setInteger(section(PasswordSection), QStringLiteral("LastDBIndex"), index);
    Settings::sync();
}

}  // namespace app
