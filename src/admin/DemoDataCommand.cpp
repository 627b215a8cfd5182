#include "admin/AdminCommand.h"
#include "db/Database.h"
#include "demo/DemoInstall.h"

#include <QElapsedTimer>

#include <csignal>

namespace {

admin::AdminCommand::Registrar reg({
    QStringLiteral("demo-data"),
    QStringLiteral("DATABASE --scale demo|clinic|large [--seed N]"),
    QStringLiteral("aizpilda tukšu datu bāzi ar demonstrācijas klīnikas datiem (demo ≈ 300 pacientu, "
                   "clinic ≈ 60 000, large ≈ 300 000)"),
    [](const QStringList& argsIn, QTextStream& out, QTextStream& err) {
        QStringList args = argsIn;
        demo::Scale scale = demo::Scale::Demo;
        quint32 seed = 1;
        QString database;
        bool scaleGiven = false;
        for (int i = 0; i < args.size(); ++i) {
            if (args[i] == QLatin1String("--scale") && i + 1 < args.size()) {
                if (!demo::parseScale(args[++i], &scale)) {
                    err << "Nezināms mērogs: " << args[i] << " (der demo, clinic vai large)\n";
                    return 2;
                }
                scaleGiven = true;
            } else if (args[i] == QLatin1String("--seed") && i + 1 < args.size()) {
                bool ok = false;
                seed = args[++i].toUInt(&ok);
                if (!ok) {
                    err << "--seed gaida veselu pozitīvu skaitli\n";
                    return 2;
                }
            } else if (database.isEmpty() && !args[i].startsWith(QLatin1String("--"))) {
                database = args[i];
            } else {
                err << "Nesaprotu argumentu: " << args[i] << "\n";
                return 2;
            }
        }
        if (database.isEmpty() || !scaleGiven) {
            err << "Lietošana: molarix-admin demo-data DATABASE --scale demo|clinic|large [--seed N]\n";
            return 2;
        }
        // Ctrl+C, a kill or a closed terminal stops at the next batch or table end; the database
        // is then left as InstallDemoClinic describes.
        auto stopOnSignals = [] {
            for (const int sig : {SIGINT, SIGTERM, SIGHUP})
                std::signal(sig, [](int) { demo::DemoDataGenerator::requestStop(); });
        };
        stopOnSignals();
        {
            // At its first attach the client library installs its own SIGINT and SIGTERM handlers,
            // which shut every connection down: nothing would be left to put the keys back
            // through. Ours replace them once it has.
            db::Database probe;
            probe.attach(database);
        }
        stopOnSignals();
        QElapsedTimer timer;
        timer.start();
        demo::InstallDemoClinic(database, scale, seed, [&out](const QString& table, qint64 rows, double rate) {
            if (rows < 0)
                out << QStringLiteral("%1: %2 s\n").arg(table, -28).arg(rate, 0, 'f', 1);
            else
                out << QStringLiteral("%1: %2 rindas, %3 rindas/s\n").arg(table, -28).arg(rows, 9).arg(qRound64(rate), 7);
            out.flush();
        });
        out << QStringLiteral("Gatavs %1 s.\n").arg(timer.elapsed() / 1000.0, 0, 'f', 1);
        return 0;
    },
});

}  // namespace
