#include "admin/AdminCommand.h"
#include "db/Database.h"
#include "db/SchemaCheck.h"

namespace {

struct Found {
    int schema = 0;
    int money = 0;
};

// Prints what is wrong with the database.
Found printState(db::SchemaCheck& check, QTextStream& out) {
    const QList<db::SchemaProblem> schema = check.schemaProblems();
    if (schema.isEmpty()) {
        out << "Uzbūve: kārtībā\n";
    } else {
        out << "Uzbūvē atrastas kļūdas (" << schema.size() << "):\n";
        for (const db::SchemaProblem& p : schema) out << "  " << p.text << "\n";
    }
    out.flush();
    const QStringList money = check.moneyProblems();
    if (money.isEmpty()) {
        out << "Naudas summas: kārtībā\n";
    } else {
        out << "Naudas summas neatbilst:\n";
        for (const QString& line : money) out << "  " << line << "\n";
    }
    out.flush();
    return {int(schema.size()), int(money.size())};
}

admin::AdminCommand::Registrar reg({
    QStringLiteral("check-db"),
    QStringLiteral("DATABASE [--repair]"),
    QStringLiteral("pārbauda, vai datu bāzei ir visas tabulas, lauki, atslēgas, indeksi un trigeri, vai ieslēgta "
                   "sinhronā rakstīšana un vai rēķinu un maksājumu summas atbilst rindām; --repair atjauno trūkstošās "
                   "un izslēgtās uzbūves daļas (datus nemaina)"),
    [](const QStringList& args, QTextStream& out, QTextStream& err) {
        QString database;
        bool repair = false;
        for (const QString& a : args) {
            if (a == QLatin1String("--repair")) {
                repair = true;
            } else if (database.isEmpty() && !a.startsWith(QLatin1String("--"))) {
                database = a;
            } else {
                err << "Nesaprotu argumentu: " << a << "\n";
                return 2;
            }
        }
        if (database.isEmpty()) {
            err << "Lietošana: molarix-admin check-db DATABASE [--repair]\n";
            return 2;
        }
        db::Database db;
        db.attach(database);
        db::SchemaCheck check(db);
        out << "Datu bāze: " << database << "\n";
        Found found = printState(check, out);
        if (repair && found.schema > 0) {
            out << "\nLabošana:\n";
            for (const db::RepairResult& r : check.repair()) {
                if (r.error.isEmpty()) out << "  atjaunots: " << r.what << "\n";
                else out << "  neizdevās: " << r.what << ": " << r.error << "\n";
            }
            out << "\nPēc labošanas:\n";
            found = printState(check, out);
        } else if (found.schema > 0) {
            out << "Uzbūves kļūdas atjauno: molarix-admin check-db " << database << " --repair\n";
        }
        if (found.money > 0)
            out << "Naudas summas --repair nelabo: tie ir dati, tos izlabo rēķinos un maksājumos.\n";
        db.detach();
        return found.schema + found.money > 0 ? 1 : 0;
    },
});

}  // namespace
