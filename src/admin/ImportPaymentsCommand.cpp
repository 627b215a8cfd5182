#include "admin/AdminCommand.h"
#include "billing/PaymentImport.h"
#include "db/Database.h"

namespace {

admin::AdminCommand::Registrar reg({
    QStringLiteral("import-payments"),
    QStringLiteral("DATABASE FILE.csv"),
    QStringLiteral("importē maksājumus no bankas CSV faila un sadala tos pa neapmaksātajiem rēķiniem (vecākie vispirms, "
                   "atlikums paliek kā pārpalikums); jau importētās rindas izlaiž; kļūdas gadījumā nosauc rindu un "
                   "neieraksta neko"),
    [](const QStringList& args, QTextStream& out, QTextStream& err) {
        if (args.size() != 2) {
            err << "Lietošana: molarix-admin import-payments DATABASE FILE.csv\n";
            return 2;
        }
        db::Database database;
        database.attach(args.at(0));
        // No one to ask here: a personal code of several patients stops the import.
        billing::PaymentImport import(database, 0);
        const billing::PaymentImportResult result = import.runFile(args.at(1));
        database.detach();
        if (!result.ok) {
            err << result.failure.message() << "\nNekas netika ierakstīts.\n";
            return 1;
        }
        for (const QString& line : result.skippedLines) out << line << "\n";
        out << "Importēti maksājumi: " << result.imported << ", izlaisti: " << result.skipped
            << ", sadalīts pa rēķiniem kopā: " << QString::number(result.allocated, 'f', 2)
            << ", pārpalikumā: " << QString::number(result.overpayment, 'f', 2) << "\n";
        return 0;
    },
});

}  // namespace
