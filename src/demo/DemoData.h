#pragma once
#include <QDate>
#include <QString>
#include <functional>

namespace db {
class Database;
}

namespace demo {

enum class Scale { Demo, Clinic, Large };

// How much a scale generates. Appointments, consultations, invoices and payments are targets:
// the generator follows the clinic's rules (cancellations, visits only in the past, ...), so the
// counts it reaches are close to them, not equal.
struct Sizes {
    int years = 1;            // history kept, ending today (plus a few weeks of planned visits)
    int patients = 0;
    int appointments = 0;
    int consultations = 0;
    int treatmentLinesPerConsultation = 4;  // average
    int invoices = 0;
    int payments = 0;
};

Sizes sizesFor(Scale scale);
// "demo", "clinic", "large"; false for anything else.
bool parseScale(const QString& text, Scale* scale);

// Progress of one table: rows written so far and the rate. A step that writes no rows of its own
// (putting the keys and indexes back) reports rows = -1 and its duration in seconds as the rate.
using Progress = std::function<void(const QString& table, qint64 rows, double rowsPerSecond)>;

// Fills an empty clinic database with realistic, internally consistent data, the same for the
// same seed and day: reference lists, a price list, patients, appointments, consultations with
// questionnaire, chart and periodontal texts, plan and treatment lines, invoices made from the
// treatment, payments allocated oldest invoice first, the journal and the day rows.
//
// Rows go in through prepared statements, committed in batches. Invoice totals are left to the
// database (the line triggers keep them).
class DemoDataGenerator {
public:
    DemoDataGenerator(db::Database& database, Scale scale, quint32 seed, QDate today = QDate::currentDate());
    ~DemoDataGenerator();

    void setProgress(Progress progress);
    // Asks a running generation (in this process) to stop at its next batch or table end, or a
    // generation that has not begun yet not to begin; safe to call from a signal handler. run()
    // then throws after putting the keys and indexes back.
    static void requestStop();
    // Throws db::DbError when the database already holds patients or documents (it is not empty).
    static void requireEmpty(db::Database& database);
    // Loads the clinic into the attached database in place. Throws db::DbError when the database
    // is not empty, when the load fails or is stopped, and when a key, index or trigger taken away
    // for the load cannot be put back; every one that can be is put back in each case, and the
    // message lists those that could not. Rows committed before a failure stay.
    void run();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace demo
