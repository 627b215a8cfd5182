#include "admin/AdminCommand.h"
#include "archive/ArchiveError.h"
#include "archive/DatabaseArchiver.h"
#include "db/DbError.h"

#include <cstdio>

namespace {

admin::AdminCommand::Registrar reg({
    QStringLiteral("restore"),
    QStringLiteral("ZIP TARGET.fdb"),
    QStringLiteral(
        "atjauno arhīvu (ZIP failu ar datu bāzes rezerves kopiju) jaunā datu bāzes failā; esošu failu "
        "nepārraksta"),
    [](const QStringList& args, QTextStream& out, QTextStream& err) {
        if (args.size() != 2) {
            err << "Lietošana: molarix-admin restore ZIP TARGET.fdb\n";
            return 2;
        }
        // The engine's restore runs in this process; at an incomplete backup it would ask on
        // standard input for the next volume and wait. With nothing to read it gives up instead.
        if (!std::freopen("/dev/null", "r", stdin)) {
            err << "Nevar aizvērt standarta ievadi.\n";
            return 1;
        }
        try {
            const archive::ArchiveSummary summary =
                archive::RestoreArchive(args[0], args[1], [&](const QString& line) {
                    out << line << "\n";
                    out.flush();
                });
            out << "Datu bāze atjaunota: " << args[1] << " (" << summary.tables << " tabulas, "
                << summary.rows << " rindas)\n";
            return 0;
        } catch (const archive::ArchiveError& e) {
            out.flush();
            err << "Arhīvs nav atjaunots: " << e.message() << "\n";
        } catch (const db::DbError& e) {
            out.flush();
            err << "Arhīvs nav atjaunots: " << e.message() << "\n";
        }
        return 1;
    },
});

}  // namespace
