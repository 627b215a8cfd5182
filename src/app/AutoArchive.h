#pragma once
#include <QDateTime>
#include <QVariant>
#include <functional>

class QWidget;

namespace app {

// The automatic archive that the main window's one-second timer starts. The archive subsystem
// sets the action (its archive window's archive action, which also stores the next NextLaiks);
// until it does, a due archive does nothing.
using AutoArchiveAction = std::function<void(QWidget* mainWindow)>;
void SetAutoArchiveAction(AutoArchiveAction action);
// Runs the action when one is set.
void RunAutoArchive(QWidget* mainWindow);

// Whether the timer runs, from the settings section Arhivs: only when the section exists and
// AutoArhivs is 1 or more.
bool AutoArchiveTimerWanted();
// Whether a tick at `now` starts the archive: the section exists, AutoArhivs is exactly 1, and now
// is at or after NextLaiks (an unreadable NextLaiks counts as 01.01.1900, i.e. long past).
bool AutoArchiveDue(const QDateTime& now);

// NextLaiks as stored by the archive window (a date-time value, or text "dd.MM.yyyy hh:mm:ss"
// with or without seconds); invalid when it cannot be read.
QDateTime ReadArchiveTime(const QVariant& stored);

}  // namespace app
