#include "admin/AdminCommand.h"
#include "db/ClinicDatabase.h"

namespace {

admin::AdminCommand::Registrar reg({
    QStringLiteral("create-db"),
    QStringLiteral("PATH"),
    QStringLiteral("izveido jaunu, tukšu datu bāzi (lokālu failu vai host:ceļš serverī)"),
    [](const QStringList& args, QTextStream& out, QTextStream& err) {
        if (args.size() != 1) {
            err << "Lietošana: molarix-admin create-db PATH\n";
            return 2;
        }
        db::CreateClinicDatabase(args[0]);
        out << "Datu bāze izveidota: " << args[0] << "\n";
        return 0;
    },
});

}  // namespace
