#include "admin/AdminCommand.h"
#include "db/ClinicDatabase.h"

#include <QDir>

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
        // A quoted "~/x.fdb" reaches us unexpanded; taken literally it would make a folder named
        // "~" in the current one.
        QString path = args[0];
        if (path.startsWith(QLatin1String("~/"))) {
            path = QDir::homePath() + path.mid(1);
        } else if (path.startsWith(u'~')) {
            err << "Ceļu \"" << path << "\" nevar saprast: ~ der tikai kā \"~/\" (mājas mape).\n";
            return 2;
        }
        db::CreateClinicDatabase(path);
        out << "Datu bāze izveidota: " << path << "\n";
        return 0;
    },
});

}  // namespace
