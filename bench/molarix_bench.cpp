// Times the operations users repeat on a clinic-scale database.
//
//   molarix_bench DATABASE [--runs N]     time every case on an existing (generated) database
//   molarix_bench DATABASE --only TEXT   only the cases whose name contains TEXT
//   molarix_bench --quick                 generate the demo clinic into a scratch file and run
//                                         every case once (part of the test run)
#include "BenchCase.h"
#include "demo/DemoData.h"

#include <QGuiApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <QUuid>

#include <algorithm>
#include <cstdio>

namespace bench {

QList<BenchCase>& BenchCase::all() {
    static QList<BenchCase> cases;
    return cases;
}

static volatile qint64 sink = 0;
void consume(const QVariant& v) { sink = sink + v.toString().size(); }
void consume(qint64 n) { sink = sink + n; }

}  // namespace bench

namespace {

double medianMs(const std::function<void(db::Database&)>& f, db::Database& d, int runs,
                const std::function<void(db::Database&)>& reset = {}) {
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f(d);
        times.append(t.nsecsElapsed() / 1e6);
        if (reset) reset(d);
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

}  // namespace

int main(int argc, char** argv) {
    // Printing cases need fonts (QtGui) but never a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QStringList args = app.arguments().mid(1);
    int runs = 7;
    bool quick = false;
    QString path;
    QString only;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--quick")) quick = true;
        else if (args[i] == QLatin1String("--runs") && i + 1 < args.size()) runs = qMax(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--only") && i + 1 < args.size()) only = args[++i];
        else path = args[i];
    }
    QString scratch;
    try {
        db::Database database;
        if (quick) {
            runs = 1;
            QString dir = qEnvironmentVariable("MOLARIX_TEST_TMP");
            if (dir.isEmpty()) dir = QDir::tempPath();
            QDir().mkpath(dir);
            scratch = dir + QStringLiteral("/bench-") + QUuid::createUuid().toString(QUuid::Id128).left(8) + QStringLiteral(".fdb");
            db::Database::create(scratch, db::Database::schemaScript());
            database.attach(scratch);
            demo::DemoDataGenerator(database, demo::Scale::Demo, 1).run();
        } else {
            if (path.isEmpty()) {
                std::fprintf(stderr, "usage: molarix_bench DATABASE [--runs N] | --quick\n");
                return 2;
            }
            database.attach(path);
        }
        auto cases = bench::BenchCase::all();
        std::stable_sort(cases.begin(), cases.end(), [](const auto& a, const auto& b) { return a.order < b.order; });
        out << QStringLiteral("%1 %2 %3 %4\n").arg("operation", -44).arg("ours ms", 10).arg("bare ms", 10).arg("ratio", 7);
        for (const auto& c : cases) {
            if (!only.isEmpty() && !c.name.contains(only)) continue;
            c.ours(database);  // warm the page cache and the prepared plans
            if (c.reset) c.reset(database);
            if (c.bare) c.bare(database);
            const double ours = medianMs(c.ours, database, runs, c.reset);
            const double bare = c.bare ? medianMs(c.bare, database, runs) : 0;
            out << QStringLiteral("%1 %2 %3 %4\n")
                       .arg(c.name, -44)
                       .arg(ours, 10, 'f', 2)
                       .arg(c.bare ? QString::number(bare, 'f', 2) : QStringLiteral("-"), 10)
                       .arg(c.bare && bare > 0 ? QString::number(ours / bare, 'f', 2) : QStringLiteral("-"), 7);
            out.flush();
        }
        database.detach();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench failed: %s\n", e.what());
        if (!scratch.isEmpty()) QFile::remove(scratch);
        return 1;
    }
    if (!scratch.isEmpty()) QFile::remove(scratch);
    return 0;
}
