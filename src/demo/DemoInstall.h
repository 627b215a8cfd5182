#pragma once
#include "demo/DemoData.h"

#include <QString>

namespace demo {

// Fills the empty clinic database at connectionString with a demo clinic (DemoDataGenerator) so
// that a failed or interrupted load never leaves it weaker than it was:
//
// - A local file is never loaded in place. The clinic is built in a copy beside it
//   ("<file>.demo.tmp") and the copy replaces the file only when it is complete, with its keys,
//   indexes, trigger and forced writes back. Until then the file stays as it was, and a failure
//   removes the copy (a killed run's copy is removed by the next run). For the whole run the file
//   is held under the exclusive lock the engine itself takes, so no program can open it and have
//   its work replaced by the copy.
// - A database on a server is loaded in place with forced writes off. Whatever ends the load,
//   every key, index and trigger taken away for it is put back, each in its own transaction, and
//   forced writes are switched on again; the error lists whatever could not be put back.
//
// Throws db::DbError saying what happened to the database.
void InstallDemoClinic(const QString& connectionString, Scale scale, quint32 seed, const Progress& progress);

// The copy a local load is built in.
QString DemoWorkFile(const QString& localPath);

}  // namespace demo
