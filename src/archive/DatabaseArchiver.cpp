#include "archive/DatabaseArchiver.h"

#include "archive/ArchiveError.h"
#include "archive/ZipFile.h"
#include "db/Database.h"
#include "db/ServiceManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <ibase.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace archive {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("DatabaseArchiver", text);
}

void say(const Progress& progress, const QString& line) {
    if (progress) progress(line);
}

QTemporaryDir workDir(const QString& tempDir) {
    QTemporaryDir dir((tempDir.isEmpty() ? QDir::tempPath() : tempDir) +
                      QStringLiteral("/molarix-arhivs-XXXXXX"));
    if (!dir.isValid())
        throw ArchiveError(
            tr("Pagaidu katalogā \"%1\" nevar izveidot failus: %2").arg(tempDir, dir.errorString()));
    return dir;
}

// The engine's backup of the database into `file` on this machine.
void backUp(const QString& connectionString, const BackupOptions& options, const QString& file,
            const Progress& progress) {
    const db::DatabaseLocation where = db::DatabaseLocation::of(connectionString);
    db::ServiceManager service(where.server, options.user, options.password);
    db::ServiceManager::Backup backup;
    backup.database = where.path;
    backup.options = options.flags;
    backup.factor = options.factor;
    if (where.isLocal()) {
        backup.file = file;
        backup.verbose = options.verbose;
        service.startBackup(backup);
        service.readLines([&](const QString& line) { say(progress, line); });
        return;
    }
    // A server writes a backup file on its own disks; asked for "stdout" it sends the backup
    // here instead, so that the archive is packed and checked on this workstation. Its verbose
    // output would share that channel, so there is none.
    backup.file = QStringLiteral("stdout");
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ArchiveError(
            tr("Nevar izveidot rezerves kopijas failu \"%1\": %2").arg(file, out.errorString()));
    service.startBackup(backup);
    qint64 received = 0, reported = 0;
    service.readData([&](const char* data, int size) {
        if (out.write(data, size) != size)
            throw ArchiveError(
                tr("Nevar rakstīt rezerves kopijas failu \"%1\": %2").arg(file, out.errorString()));
        received += size;
        if (received - reported >= 8 << 20) {
            reported = received;
            say(progress, tr("Saņemti %1 MB").arg(received >> 20));
        }
    });
    if (!out.flush())
        throw ArchiveError(
            tr("Nevar rakstīt rezerves kopijas failu \"%1\": %2").arg(file, out.errorString()));
    say(progress, tr("Saņemti %1 baiti").arg(received));
}

// Opens a restored database, checks that the restore was finished and counts its rows.
TableCounts inspectRestored(const QString& path) {
    db::Database restored;
    restored.attach(path);
    // gbak keeps a database it restores in maintenance mode until the very end.
    const int shutdown =
        restored.scalar(QStringLiteral("SELECT MON$SHUTDOWN_MODE FROM MON$DATABASE")).toInt();
    if (shutdown != 0) {
        restored.detach();
        throw ArchiveError(
            tr("Datu bāzes atjaunošana no rezerves kopijas netika pabeigta; rezerves kopija nav pilnīga."));
    }
    TableCounts counts = CountRows(restored);
    restored.detach();
    return counts;
}

void renameOver(const QString& from, const QString& to) {
    // rename() replaces an existing file in one step: readers see the old archive or the new one.
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throw ArchiveError(tr("Nevar pārdēvēt \"%1\" par \"%2\": %3")
                               .arg(from, to, QString::fromLocal8Bit(std::strerror(errno))));
}

}  // namespace

void RestoreBackup(const QString& backupFile, const QString& target, bool verbose, const Progress& progress) {
    db::ServiceManager service(QString(), QString::fromLatin1(db::Database::UserName),
                               QString::fromLatin1(db::Database::Password));
    db::ServiceManager::Restore restore;
    restore.file = backupFile;
    restore.database = target;
    restore.options = isc_spb_res_create;
    restore.verbose = verbose;
    service.startRestore(restore);
    service.readLines([&](const QString& line) { say(progress, line); });
}

ArchiveSummary MakeArchive(const ArchiveJob& job, const Progress& progress) {
    if (!job.options.ok()) throw ArchiveError(job.options.error);
    const QString zipDir = QFileInfo(job.zipPath).path();
    if (!QFileInfo(zipDir).isDir())
        throw ArchiveError(tr("Arhīva katalogs \"%1\" neeksistē.").arg(QDir::toNativeSeparators(zipDir)));
    QTemporaryDir work = workDir(job.tempDir);
    const QString backupFile = work.filePath(job.memberName);
    const QString checkFile = work.filePath(QStringLiteral("parbaude.cpy"));
    const QString checkDatabase = work.filePath(QStringLiteral("parbaude.fdb"));
    const QString partPath = job.zipPath + QStringLiteral(".part");

    say(progress, tr("Datu bāze: %1").arg(job.connectionString));
    db::Database source;
    source.attach(job.connectionString);
    const TableCounts before = CountRows(source);

    say(progress, tr("Veido rezerves kopiju..."));
    backUp(job.connectionString, job.options, backupFile, progress);
    if (!QFileInfo(backupFile).isFile() || QFileInfo(backupFile).size() == 0)
        throw ArchiveError(tr("Rezerves kopijas fails \"%1\" netika izveidots.").arg(backupFile));
    const TableCounts after = CountRows(source);
    source.detach();

    ArchiveSummary summary;
    try {
        say(progress, tr("Pako ZIP failā %1...").arg(QDir::toNativeSeparators(job.zipPath)));
        WriteZip(partPath, backupFile, job.memberName, job.zipPath);
        QFile::remove(backupFile);

        say(progress, tr("Pārbauda arhīvu: atjauno rezerves kopiju pagaidu datu bāzē..."));
        ExtractZip(partPath, checkFile);
        RestoreBackup(checkFile, checkDatabase, job.options.verbose, progress);
        QFile::remove(checkFile);
        const TableCounts restored = inspectRestored(checkDatabase);
        const QStringList differences = CompareCounts(before, after, restored);
        if (!differences.isEmpty())
            throw ArchiveError(tr("Atjaunotā arhīva dati neatbilst datu bāzei: %1.")
                                   .arg(differences.join(QStringLiteral("; "))));
        summary.tables = int(restored.size());
        summary.rows = TotalRows(restored);
        say(progress, tr("Arhīvs pārbaudīts: %1 tabulas, %2 rindas.").arg(summary.tables).arg(summary.rows));
        renameOver(partPath, job.zipPath);
    } catch (...) {
        QFile::remove(partPath);
        throw;
    }
    summary.zipPath = job.zipPath;
    return summary;
}

ArchiveSummary RestoreArchive(const QString& zipPath, const QString& target, const Progress& progress,
                              bool verbose) {
    if (!db::DatabaseLocation::of(target).isLocal())
        throw ArchiveError(
            tr("Atjaunot var tikai datu bāzes failā uz šī datora, ne serverī: \"%1\".").arg(target));
    if (QFileInfo::exists(target))
        throw ArchiveError(
            tr("Fails \"%1\" jau eksistē; esošu datu bāzi atjaunošana nepārraksta.").arg(target));
    QTemporaryDir work = workDir(QDir::tempPath());
    const QString backupFile = work.filePath(QStringLiteral("atjauno.cpy"));
    say(progress, tr("Atpako %1...").arg(zipPath));
    const QString member = ExtractZip(zipPath, backupFile);
    say(progress, tr("Atjauno %1 failā %2...").arg(member, target));
    ArchiveSummary summary;
    try {
        RestoreBackup(backupFile, target, verbose, progress);
        const TableCounts restored = inspectRestored(target);
        summary.tables = int(restored.size());
        summary.rows = TotalRows(restored);
    } catch (...) {
        QFile::remove(target);
        throw;
    }
    summary.zipPath = zipPath;
    return summary;
}

}  // namespace archive
