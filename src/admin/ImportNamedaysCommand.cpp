#include "admin/AdminCommand.h"
#include "db/Database.h"
#include "db/ReferenceSeed.h"

#include <QFile>

namespace {

admin::AdminCommand::Registrar reg({
    QStringLiteral("import-namedays"),
    QStringLiteral("DATABASE FILE.csv"),
    QStringLiteral("ielādē vai labo vārda dienas no faila (rindā \"dd.MM;vārds\"), visu vai neko"),
    [](const QStringList& args, QTextStream& out, QTextStream& err) {
        if (args.size() != 2) {
            err << "Lietošana: molarix-admin import-namedays DATABASE FILE.csv\n";
            return 2;
        }
        QFile file(args[1]);
        if (!file.open(QIODevice::ReadOnly)) {
            err << "Failu nevar atvērt: " << args[1] << " (" << file.errorString() << ")\n";
            return 1;
        }
        const db::NameDayList list = db::ReadNameDays(file);
        if (!list.ok()) {
            for (const QString& e : list.errors) err << args[1] << ": " << e << "\n";
            if (list.badLines > list.errors.size())
                err << args[1] << ": … parādītas pirmās " << list.errors.size() << " no " << list.badLines
                    << " kļūdainajām rindām\n";
            err << "Kļūdaino rindu skaits: " << list.badLines << ". Nekas netika ielādēts.\n";
            return 1;
        }
        db::Database database;
        database.attach(args[0]);
        const int changed = db::ImportNameDays(database, list.days);
        database.detach();
        out << "Vārda dienas: " << list.days.size() << " failā, " << changed << " pievienotas vai labotas.\n";
        return 0;
    },
});

}  // namespace
