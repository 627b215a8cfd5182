#pragma once
#include <QStringList>
#include <QTextStream>
#include <functional>

namespace admin {

// One sub-command of molarix-admin. Each command file registers itself with a static
// AdminCommand::Registrar; main() dispatches on the first argument.
struct AdminCommand {
    QString name;
    QString usage;    // arguments, e.g. "DATABASE USER"
    QString summary;  // one line for the help text
    // Returns the process exit code. Arguments exclude the command name.
    std::function<int(const QStringList& args, QTextStream& out, QTextStream& err)> run;

    static QList<AdminCommand>& all();
    struct Registrar {
        explicit Registrar(AdminCommand c) { all().append(std::move(c)); }
    };
};

}  // namespace admin
