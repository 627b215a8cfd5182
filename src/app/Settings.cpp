#include "app/Settings.h"

#include <QSettings>

namespace app {

namespace {

// QSettings objects are cheap and share one cache per file inside the process, so every call
// opens its own; that keeps the class free of state and safe to use before QApplication exists.
QString key(const QString& section, const QString& name) { return section + u'/' + name; }

}  // namespace

bool Settings::hasSection(const QString& section) {
    QSettings s(QString::fromLatin1(Organization), QString::fromLatin1(Application));
    s.beginGroup(section);
    return !s.childKeys().isEmpty() || !s.childGroups().isEmpty();
}

bool Settings::contains(const QString& section, const QString& name) {
    QSettings s(QString::fromLatin1(Organization), QString::fromLatin1(Application));
    return s.contains(key(section, name));
}

QStringList Settings::names(const QString& section) {
    QSettings s(QString::fromLatin1(Organization), QString::fromLatin1(Application));
    s.beginGroup(section);
    return s.childKeys();
}

QString Settings::string(const QString& section, const QString& name, const QString& fallback) {
    const QVariant v = value(section, name);
    return v.isValid() ? v.toString() : fallback;
}

int Settings::integer(const QString& section, const QString& name, int fallback) {
    bool ok = false;
    const int n = value(section, name).toString().trimmed().toInt(&ok);
    return ok ? n : fallback;
}

QVariant Settings::value(const QString& section, const QString& name, const QVariant& fallback) {
    QSettings s(QString::fromLatin1(Organization), QString::fromLatin1(Application));
    return s.value(key(section, name), fallback);
}

void Settings::setString(const QString& section, const QString& name, const QString& value) {
    setValue(section, name, value);
}

void Settings::setInteger(const QString& section, const QString& name, int value) { setValue(section, name, value); }

void Settings::setValue(const QString& section, const QString& name, const QVariant& value) {
    QSettings s(QString::fromLatin1(Organization), QString::fromLatin1(Application));
    s.setValue(key(section, name), value);
}

void Settings::remove(const QString& section, const QString& name) {
    QSettings s(QString::fromLatin1(Organization), QString::fromLatin1(Application));
    s.remove(key(section, name));
}

void Settings::removeSection(const QString& section) {
    QSettings s(QString::fromLatin1(Organization), QString::fromLatin1(Application));
    s.remove(section);
}

void Settings::sync() {
    QSettings s(QString::fromLatin1(Organization), QString::fromLatin1(Application));
    s.sync();
}

}  // namespace app
