#include "admin/AdminCommand.h"
#include "archive/ArchiveError.h"
#include "archive/ArchiveNaming.h"
#include "archive/BackupOptions.h"
#include "archive/DatabaseArchiver.h"
#include "db/DbError.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Claims DIR/<name>.zip for this run by creating it empty: a second run the same day (or one
// running at the same moment) takes the next free name instead of overwriting an archive.
QString claimZipPath(const QString& dir, const QString& dayName) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const QString path = dir + u'/' + archive::FreeArchiveName(dir, dayName) + QStringLiteral(".zip");
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return path;
        if (!QFileInfo::exists(path))
            throw archive::ArchiveError(
                QStringLiteral("Nevar izveidot failu \"%1\": %2").arg(path, f.errorString()));
    }
    throw archive::ArchiveError(QStringLiteral("Katalogā \"%1\" neatradu brīvu arhīva vārdu.").arg(dir));
}

admin::AdminCommand::Registrar reg({
    QStringLiteral("backup"),
    QStringLiteral("DATABASE DIR [--options \"-g ...\"] [--verbose]"),
    QStringLiteral(
        "arhivē datu bāzi ZIP failā DIR/ggggMMdd.zip (otrs arhīvs tajā pašā dienā: _2, _3 ...), pārbauda "
        "to ar atjaunošanu pagaidu datu bāzē; pēdējā rindā ZIP faila ceļš. Serverī esošai datu bāzei "
        "DATABASE ir host:ceļš. --options: gbak parametri (noklusēti -g)"),
    [](const QStringList& args, QTextStream& out, QTextStream& err) {
        QStringList positional;
        QString switches = QStringLiteral("-g");
        bool verbose = false;
        for (int i = 0; i < args.size(); ++i) {
            if (args[i] == QLatin1String("--options") && i + 1 < args.size()) {
                switches = args[++i];
            } else if (args[i] == QLatin1String("--verbose")) {
                verbose = true;
            } else if (args[i].startsWith(QLatin1String("--"))) {
                err << "Nesaprotu argumentu: " << args[i] << "\n";
                return 2;
            } else {
                positional.append(args[i]);
            }
        }
        if (positional.size() != 2) {
            err << "Lietošana: molarix-admin backup DATABASE DIR [--options \"-g ...\"] [--verbose]\n";
            return 2;
        }
        const QString dir = QDir::cleanPath(QFileInfo(positional[1]).absoluteFilePath());
        if (!QFileInfo(dir).isDir()) {
            err << "Arhīva fails nav izveidots: katalogs \"" << dir << "\" neeksistē.\n";
            return 1;
        }
        archive::ArchiveJob job;
        job.connectionString = positional[0];
        job.tempDir = QDir::tempPath();
        job.options = archive::ParseBackupCommand(switches);
        job.options.verbose = verbose;
        if (!job.options.ok()) {
            err << "Arhīva fails nav izveidots: " << job.options.error << "\n";
            return 2;
        }
        QString claimed;
        try {
            claimed = claimZipPath(dir, archive::NameFromDate(QDate::currentDate()));
            job.zipPath = claimed;
            job.memberName = archive::MemberName(QFileInfo(claimed).completeBaseName());
            const archive::ArchiveSummary summary = archive::MakeArchive(job, [&](const QString& line) {
                out << line << "\n";
                out.flush();
            });
            out << summary.zipPath << "\n";
            return 0;
        } catch (const archive::ArchiveError& e) {
            out.flush();
            err << "Arhīva fails nav izveidots: " << e.message() << "\n";
        } catch (const db::DbError& e) {
            out.flush();
            err << "Arhīva fails nav izveidots: " << e.message() << "\n";
        }
        if (!claimed.isEmpty() && QFileInfo(claimed).size() == 0) QFile::remove(claimed);
        return 1;
    },
});

}  // namespace
