#pragma once
#include <QDateTime>
#include <QString>

namespace archive {

// The archive's settings of this workstation (settings section "Arhivs"); the window's fields.
struct ArchiveSettings {
    static constexpr const char* Section = "Arhivs";

    QString Katalogs;          // a file path in the target directory; only its directory is used
    QString FailaVards;        // archive name without extension
    bool VeidotNoDat = false;  // name the archive after today's date
    QString ArhPrepare;        // the backup command: tool and its switches
    int AutoArhivs = 0;        // 0 no automatic archive, 1 every day at AutoArhLaiks
    QString AutoArhLaiks = QStringLiteral("12:00");

    // The stored values; a missing value keeps its default above (an empty time reads as "12:00").
    static ArchiveSettings load();
    // Whether the section exists at all.
    static bool exist();
    void save() const;

    // When the next automatic archive is due after one made at `now`: tomorrow at AutoArhLaiks.
    // Invalid when AutoArhLaiks is not a valid time of day.
    QDateTime nextArchiveTime(const QDateTime& now) const;
    // Stores NextLaiks (read by the main window's timer).
    static void saveNextLaiks(const QDateTime& next);
    static QDateTime NextLaiks();
};

// The backup switches a new workstation starts with: no garbage collection during the backup,
// verbose output, the administrator's user name and its default password.
QString DefaultArhPrepare();

}  // namespace archive
