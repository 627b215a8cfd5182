#include "db/ClinicDatabase.h"

#include "db/Database.h"
#include "db/ReferenceSeed.h"

namespace db {

void CreateClinicDatabase(const QString& connectionString) {
    Database::create(connectionString, Database::schemaScript());
    // A clinic expects the holidays and the name-day calendar in a new database.
    SeedReferenceData(connectionString);
}

}  // namespace db
