#pragma once
#include "archive/BackupOptions.h"
#include "archive/TableCounts.h"

#include <QString>
#include <functional>

namespace archive {

// What one archive is made of.
struct ArchiveJob {
    QString connectionString;  // the database, as the program connects to it
    QString zipPath;           // the ZIP file to make; an older file of that name is replaced
    QString memberName;        // the backup's name inside the ZIP file
    QString tempDir;           // where the backup and the test restore are kept meanwhile
    BackupOptions options;
};

// What a finished archive holds: the tables and rows that the test restore found.
struct ArchiveSummary {
    QString zipPath;
    int tables = 0;
    qint64 rows = 0;
};

// Lines telling what is being done: our own steps and the service's verbose output.
using Progress = std::function<void(const QString& line)>;

// Makes the archive of a database that may be open and in use meanwhile (this process's own
// connection included):
//  1. counts the rows of every table, in one snapshot;
//  2. the engine's services back the database up into the temporary directory (a database on a
//     server is backed up by that server and the backup streamed here);
//  3. counts again, so that rows other workstations wrote during the backup are allowed for;
//  4. packs the backup into the ZIP file, under a temporary name beside it;
//  5. unpacks the backup from that ZIP file, restores it into a temporary database through the
//     embedded engine and compares the row count of every table with the source;
//  6. only then gives the ZIP file its name.
// The temporary files go in every case; a failed archive leaves no ZIP file and an older archive
// of the same name untouched. Throws ArchiveError or db::DbError with the reason. Blocks: call
// it from a thread that may wait.
ArchiveSummary MakeArchive(const ArchiveJob& job, const Progress& progress = {});

// Restores an archive's backup into a new local database file, which must not exist yet, checks
// that the restored database is complete and opens, and returns its tables and rows. Nothing is
// left at `target` when it fails.
ArchiveSummary RestoreArchive(const QString& zipPath, const QString& target, const Progress& progress = {},
                              bool verbose = false);

// Restores a backup file into a new local database file (the engine's own restore, with create;
// verbose: the progress hears of every object restored). Throws; the caller removes the file.
void RestoreBackup(const QString& backupFile, const QString& target, bool verbose, const Progress& progress);

}  // namespace archive
