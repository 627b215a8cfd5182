#include "app/AutoArchive.h"

#include "app/Settings.h"

namespace app {

namespace {

AutoArchiveAction& action() {
    static AutoArchiveAction a;
    return a;
}

const QString Section = QStringLiteral("Arhivs");

}  // namespace

void SetAutoArchiveAction(AutoArchiveAction a) { action() = std::move(a); }

void RunAutoArchive(QWidget* mainWindow) {
    if (action()) action()(mainWindow);
}

QDateTime ReadArchiveTime(const QVariant& stored) {
    if (!stored.isValid()) return {};
    if (stored.typeId() == QMetaType::QDateTime) return stored.toDateTime();
    if (stored.typeId() == QMetaType::QDate) return QDateTime(stored.toDate(), QTime(0, 0));
    const QString text = stored.toString().trimmed();
    for (const char* format : {"dd.MM.yyyy HH:mm:ss", "dd.MM.yyyy H:mm:ss", "dd.MM.yyyy HH:mm", "dd.MM.yyyy H:mm",
                               "dd.MM.yyyy"}) {
        const QDateTime t = QDateTime::fromString(text, QString::fromLatin1(format));
        if (t.isValid()) return t;
    }
    return QDateTime::fromString(text, Qt::ISODate);
}

bool AutoArchiveTimerWanted() {
    return Settings::hasSection(Section) && Settings::integer(Section, QStringLiteral("AutoArhivs")) >= 1;
}

bool AutoArchiveDue(const QDateTime& now) {
    if (!Settings::hasSection(Section)) return false;
    if (Settings::integer(Section, QStringLiteral("AutoArhivs")) != 1) return false;
    QDateTime next = ReadArchiveTime(Settings::value(Section, QStringLiteral("NextLaiks")));
    if (!next.isValid()) next = QDateTime(QDate(1900, 1, 1), QTime(0, 0));
    return now >= next;
}

}  // namespace app
