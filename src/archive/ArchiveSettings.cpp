#include "archive/ArchiveSettings.h"

#include "app/AutoArchive.h"
#include "app/Settings.h"
#include "app/TimeText.h"

namespace archive {

namespace {

QString section() {
    return QString::fromLatin1(ArchiveSettings::Section);
}

}  // namespace

QString DefaultArhPrepare() {
    return QStringLiteral("gbak -g -v -USER SYSDBA -PAS pwlkjhgfd");
}

bool ArchiveSettings::exist() {
    return app::Settings::hasSection(section());
}

ArchiveSettings ArchiveSettings::load() {
    using app::Settings;
    ArchiveSettings s;
    if (!exist()) return s;
    s.Katalogs = Settings::string(section(), QStringLiteral("Katalogs"));
    s.FailaVards = Settings::string(section(), QStringLiteral("FailaVards"));
    const QVariant fromDate = Settings::value(section(), QStringLiteral("VeidotNoDat"));
    // Stored as a boolean; "true"/"1" and "false"/"0" texts read the same.
    s.VeidotNoDat = fromDate.toString() == QLatin1String("true") || fromDate.toInt() != 0;
    s.ArhPrepare = Settings::string(section(), QStringLiteral("ArhPrepare"));
    s.AutoArhivs = Settings::integer(section(), QStringLiteral("AutoArhivs"));
    s.AutoArhLaiks = Settings::string(section(), QStringLiteral("AutoArhLaiks"));
    if (app::IsEmptyTime(s.AutoArhLaiks) || s.AutoArhLaiks.trimmed().isEmpty())
        s.AutoArhLaiks = QStringLiteral("12:00");
    return s;
}

void ArchiveSettings::save() const {
    using app::Settings;
    Settings::setString(section(), QStringLiteral("Katalogs"), Katalogs);
    Settings::setString(section(), QStringLiteral("FailaVards"), FailaVards);
    Settings::setValue(section(), QStringLiteral("VeidotNoDat"), VeidotNoDat);
    Settings::setInteger(section(), QStringLiteral("AutoArhivs"), AutoArhivs);
    Settings::setString(section(), QStringLiteral("AutoArhLaiks"), AutoArhLaiks);
    Settings::setString(section(), QStringLiteral("ArhPrepare"), ArhPrepare);
    Settings::sync();
}

QDateTime ArchiveSettings::nextArchiveTime(const QDateTime& now) const {
    if (!app::IsValidTime(AutoArhLaiks)) return {};
    const int minutes = app::TimeToMinutes(AutoArhLaiks);
    if (minutes < 0) return {};
    // 24:00 is a valid time text: midnight at the end of tomorrow.
    return QDateTime(now.date().addDays(1), QTime(0, 0)).addSecs(qint64(minutes) * 60);
}

void ArchiveSettings::saveNextLaiks(const QDateTime& next) {
    // As text, so that the settings file stays readable and editable by hand.
    app::Settings::setString(section(), QStringLiteral("NextLaiks"),
                             next.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
    app::Settings::sync();
}

QDateTime ArchiveSettings::NextLaiks() {
    return app::ReadArchiveTime(app::Settings::value(section(), QStringLiteral("NextLaiks")));
}

}  // namespace archive
