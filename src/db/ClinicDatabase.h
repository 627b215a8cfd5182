#pragma once
#include <QString>

namespace db {

// Makes a new, empty clinic database at a local path or on a server ("host:path") from the
// shipped creation script, with this and next year's public holidays and the name-day calendar.
// Refuses (DbError) a local file that exists already.
void CreateClinicDatabase(const QString& connectionString);

}  // namespace db
