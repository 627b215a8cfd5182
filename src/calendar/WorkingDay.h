#pragma once
#include "db/Database.h"

#include <QStringList>

namespace calendar {

// Start times of the working day from N_ISI (DARBA_LAIKS_NO / _LIDZ, defaults 08:00 and 21:00;
// STUNDU_DALIJUMS gives the step).
QStringList FillWorkingHours(db::Database& database);
// Selectable durations in the step of N_ISI.STUNDU_DALIJUMS.
QStringList FillDurations(db::Database& database);

}  // namespace calendar
