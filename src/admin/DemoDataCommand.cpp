#include "admin/AdminCommand.h"
#include "db/Database.h"
#include "demo/DemoData.h"

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
        // Synchronous page writes would make the load wait on the disk for every page; the
        // database gets them back when the load ends, whatever its outcome.
        db::Database::setForcedWrites(database, false);
        struct Restore {
            QString path;
            ~Restore() {
                try {
                    db::Database::setForcedWrites(path, true);
                } catch (...) {
                }
            }
        } restore{database};
        db::Database db;
        db.attach(database, 40000);  // 40 000 pages of 16 KiB: the load's working set stays in memory
        demo::DemoDataGenerator generator(db, scale, seed);
        generator.setProgress([&out](const QString& table, qint64 rows, double rate) {
            if (rows < 0)
                out << QStringLiteral("%1: %2 s\n").arg(table, -28).arg(rate, 0, 'f', 1);
            else
                out << QStringLiteral("%1: %2 rindas, %3 rindas/s\n").arg(table, -28).arg(rows, 9).arg(qRound64(rate), 7);
            out.flush();
        });
        // Ctrl+C or a kill stops at the next batch, with the keys and indexes put back.
        std::signal(SIGINT, [](int) { demo::DemoDataGenerator::requestStop(); });
        std::signal(SIGTERM, [](int) { demo::DemoDataGenerator::requestStop(); });
        QElapsedTimer timer;
        timer.start();
        generator.run();
        out << QStringLiteral("Gatavs %1 s.\n").arg(timer.elapsed() / 1000.0, 0, 'f', 1);
        return 0;
    },
});

}  // namespace
