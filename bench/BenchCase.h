#pragma once
#include "db/Database.h"

#include <QString>
#include <functional>

namespace bench {

// One operation that users repeat, timed two ways: through our code ("ours") and as the same SQL
// run bare through the database layer ("bare"), so that the overhead of our own layers shows as
// the ratio of the two medians. Cases register themselves with a static Registrar; a later
// feature adds its file to bench/ and its case appears in the report.
struct BenchCase {
    QString name;
    std::function<void(db::Database&)> ours;
    std::function<void(db::Database&)> bare;  // may be empty when there is no single statement
    int order = 100;                          // report order
    // Run untimed after every run of `ours`: puts back what a writing case changed, so that every
    // run finds the same rows.
    std::function<void(db::Database&)> reset = {};

    static QList<BenchCase>& all();
    struct Registrar {
        explicit Registrar(BenchCase c) { all().append(std::move(c)); }
    };
};

// Keeps the optimizer from dropping a computed value.
void consume(const QVariant& v);
void consume(qint64 n);

}  // namespace bench
