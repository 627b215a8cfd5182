#include "admin/AdminCommand.h"
#include "app/PasswordDigest.h"
#include "app/UserNameCodec.h"
#include "db/Database.h"

#include <QCollator>

#include <algorithm>

namespace {

admin::AdminCommand::Registrar reg({
    QStringLiteral("users"),
    QStringLiteral("DATABASE"),
    QStringLiteral("parāda lietotāju vārdus, viņu grupas un vai ir parole"),
    [](const QStringList& args, QTextStream& out, QTextStream& err) {
        if (args.size() != 1) {
            err << "Lietošana: molarix-admin users DATABASE\n";
            return 2;
        }
        db::Database database;
        database.attach(args[0]);
        const db::ResultSet rows = database.select(
            QStringLiteral("SELECT U.GNOS, U.PASWORD, G.GNOS GRUPA FROM N_USERS U "
                           "LEFT JOIN N_USERGROUP G ON G.ISN = U.ISUSERGROUP"));
        struct Line {
            QString name, group;
            bool password;
        };
        QVector<Line> lines;
        for (int i = 0; i < rows.rowCount(); ++i)
            lines.append({app::DecodeUserName(rows.value(i, QStringLiteral("GNOS")).toByteArray()),
                          rows.value(i, QStringLiteral("GRUPA")).toString(),
                          app::HasCheckablePassword(rows.value(i, QStringLiteral("PASWORD")).toString())});
        QCollator collator{QLocale(QLocale::Latvian, QLocale::Latvia)};
        std::sort(lines.begin(), lines.end(), [&](const Line& a, const Line& b) { return collator.compare(a.name, b.name) < 0; });
        for (const Line& l : lines)
            out << l.name << "\tgrupa: " << l.group << "\tparole: " << (l.password ? "ir" : "nav") << "\n";
        database.detach();
        return 0;
    },
});

}  // namespace
