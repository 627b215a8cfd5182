#pragma once
#include "db/Transaction.h"

#include <QVariant>

namespace db {

// The condition an UPDATE carries so that it finds the row only as it was read: its last-change
// stamp (IEVDAT_EDIT) still the one read, NULL for a row never changed. Binds what it needs into
// params; append the result to the WHERE clause. An update that then changes no row hit a row
// another workstation changed or deleted meanwhile (throw StaleRowError).
//
// Stamps are read to the millisecond while the column keeps tenths of one, so the row is
// unchanged when its stamp lies within the millisecond that was read.
QString UnchangedSince(const QVariant& readStamp, Params& params);

}  // namespace db
