#include "admin/AdminCommand.h"
#include "app/PasswordDigest.h"
#include "app/SharedProcedures.h"
#include "app/UserNameCodec.h"
#include "db/Database.h"

#include <termios.h>
#include <unistd.h>

#include <iostream>
#include <string>

namespace {

// One line from standard input without its line end; the terminal does not echo it when asked.
QString readLine(bool hidden) {
    termios saved{};
    const bool terminal = hidden && isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string line;
    const bool got = bool(std::getline(std::cin, line));
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        std::cerr << std::endl;
    }
    if (!got) throw std::runtime_error("standard input ended before a password was read");
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return QString::fromStdString(line);
}

admin::AdminCommand::Registrar reg({
    QStringLiteral("set-password"),
    QStringLiteral("DATABASE USER [--password-stdin] [--allow-empty]"),
    QStringLiteral("iestata lietotājam jaunu paroli (ADMIN tiek izveidots, ja tāda nav)"),
    [](const QStringList& argsIn, QTextStream& out, QTextStream& err) {
        QStringList args = argsIn;
        const bool fromStdin = args.removeAll(QStringLiteral("--password-stdin")) > 0;
        const bool allowEmpty = args.removeAll(QStringLiteral("--allow-empty")) > 0;
        if (args.size() != 2) {
            err << "Lietošana: molarix-admin set-password DATABASE USER [--password-stdin] [--allow-empty]\n";
            return 2;
        }
        const QString user = args[1].trimmed().toUpper();

        QString password;
        if (fromStdin) {
            password = readLine(false);
        } else {
            err << "Jaunā parole: " << Qt::flush;
            password = readLine(true);
            err << "Atkārtojiet paroli: " << Qt::flush;
            if (readLine(true) != password) {
                err << "Paroles nesakrīt; nekas nav mainīts.\n";
                return 1;
            }
        }
        // An empty line is more often a script's missing variable than a choice.
        if (password.isEmpty()) {
            err << "Parole ir tukša: lietotājs " << user << " varēs pieteikties bez paroles.\n";
            if (!allowEmpty) {
                err << "Ja tā ir domāts, atkārtojiet ar --allow-empty; nekas nav mainīts.\n";
                return 1;
            }
        }

        db::Database database;
        database.attach(args[0]);
        db::Transaction tx(database);
        const db::Params name{{QStringLiteral("GNOS"), app::EncodeUserName(user)}};
        QVariant key = tx.scalar(QStringLiteral("SELECT ISN FROM N_USERS WHERE GNOS=:GNOS"), name);
        if (!key.isValid()) {
            if (user != QLatin1String("ADMIN")) {
                err << "Lietotājs \"" << user << "\" nav reģistrēts šajā datu bāzē.\n";
                return 1;
            }
            app::EnsureDefaultRows(tx);
            key = tx.scalar(QStringLiteral("INSERT INTO N_USERS (GNOS, ISUSERGROUP) VALUES (:GNOS, 1) RETURNING ISN"), name);
            out << "Lietotājs ADMIN izveidots.\n";
        }
        tx.exec(QStringLiteral("UPDATE N_USERS SET PASWORD=:PASWORD WHERE ISN=:ISN"),
                {{QStringLiteral("PASWORD"), app::MakePasswordDigest(password)}, {QStringLiteral("ISN"), key}});
        tx.commit();
        database.detach();
        out << "Parole iestatīta lietotājam " << user << ".\n";
        return 0;
    },
});

}  // namespace
