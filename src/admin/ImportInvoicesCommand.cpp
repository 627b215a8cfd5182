#include "admin/AdminCommand.h"
#include "billing/InvoiceImport.h"
#include "db/Database.h"

namespace {

admin::AdminCommand::Registrar reg({
    QStringLiteral("import-invoices"),
    QStringLiteral("DATABASE FILE.csv"),
    QStringLiteral("importē rēķinus no CSV faila tāpat kā logs \"Rēķini\": viss vai nekas; kļūdas gadījumā nosauc "
                   "rindu un lauku un neieraksta neko (arī ja personas kods ir vairākiem pacientiem)"),
    [](const QStringList& args, QTextStream& out, QTextStream& err) {
        if (args.size() != 2) {
            err << "Lietošana: molarix-admin import-invoices DATABASE FILE.csv\n";
            return 2;
        }
        db::Database database;
        database.attach(args.at(0));
        // No one to ask here: a personal code of several patients stops the import.
        billing::InvoiceImport import(database, 0);
        const billing::ImportResult result = import.runFile(args.at(1));
        database.detach();
        if (!result.ok) {
            err << result.failure.message() << "\nNekas netika ierakstīts.\n";
            return 1;
        }
        out << "Importēti " << result.invoices << " rēķini, " << result.lines << " rindas no " << args.at(1) << "\n";
        return 0;
    },
});

}  // namespace
