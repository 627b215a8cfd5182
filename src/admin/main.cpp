#include "admin/AdminCommand.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>

namespace admin {
QList<AdminCommand>& AdminCommand::all() {
    static QList<AdminCommand> commands;
    return commands;
}
}  // namespace admin

int main(int argc, char** argv) {
    // Report rendering needs fonts (QtGui) but never a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);

    auto& commands = admin::AdminCommand::all();
    std::sort(commands.begin(), commands.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    auto help = [&](QTextStream& s) {
        s << "Lietošana: molarix-admin KOMANDA ...\n\n";
        for (const auto& c : commands) s << "  " << c.name << " " << c.usage << "\n      " << c.summary << "\n";
    };
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        help(args.isEmpty() ? err : out);
        return args.isEmpty() ? 2 : 0;
    }
    const QString name = args.takeFirst();
    for (const auto& c : commands) {
        if (c.name != name) continue;
        try {
            return c.run(args, out, err);
        } catch (const std::exception& e) {
            out.flush();
            err << "Kļūda: " << QString::fromUtf8(e.what()) << "\n";
            return 1;
        }
    }
    err << "Nezināma komanda: " << name << "\n\n";
    help(err);
    return 2;
}
