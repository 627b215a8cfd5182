#pragma once
#include <QString>

namespace db {

// The embedded engine keeps the lock tables of every database it opens in the folder named by
// FIREBIRD_LOCK. Whoever can write there can lock the user out of their own database (or read
// its lock tables), so the folder must belong to this user alone.

// This user's folder for the embedded engine's locks: "$XDG_RUNTIME_DIR/molarix-firebird" when
// the session has a runtime folder, else "<cache>/ZALTERS/MOLARIX/firebird-lock" under
// $XDG_CACHE_HOME (default ~/.cache). Two processes that pick different folders for one file
// cannot both open it: the engine holds the database file under an exclusive file lock as well.
QString DefaultLockFolder();

// Creates the folder with mode 0700 when it is missing (its parents as needed) and checks that
// it is a real folder (not a symbolic link), owned by this process's user and closed to group
// and others. Throws DbError with the reason otherwise; never changes a folder that exists.
void EnsurePrivateFolder(const QString& path);

}  // namespace db
