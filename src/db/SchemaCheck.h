#pragma once
#include "db/Database.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace db {

// One way in which a clinic database is weaker than the creation script made it.
struct SchemaProblem {
    // In the order a repair restores them: what an object needs is restored before it.
    enum class Kind { Table, Sequence, Column, Procedure, View, Key, ForeignKey, Index, Trigger, ForcedWrites };
    enum class State { Missing, Inactive };
    Kind kind;
    State state;
    QString name;  // the object's name; "TABLE.COLUMN" for a column
    QString text;  // what is wrong, in Latvian, for a person
};

// The result of restoring one object.
struct RepairResult {
    QString what;   // the problem's text
    QString error;  // empty when it was restored, else the server's message
};

// Checks that a clinic database is whole: every table, column, key, index, trigger, procedure,
// view and sequence of the creation script is there, indexes and triggers are active, forced
// writes are on, and the money kept in the invoice and payment headers agrees with their rows.
//
// What "every" means is not written down twice: the first check creates a reference database
// from the creation script (a temporary embedded file) and compares the two databases' system
// tables, so the check follows the script whenever it changes, and knows each object by what the
// engine made of it (constraint kinds, the columns of keys, which index belongs to a constraint)
// instead of by a second parser of the script's SQL. A repair recreates a missing object with the
// script's own statement (tables, indexes, triggers, procedures, views, a table's column from its
// CREATE TABLE), or for keys with the definition read from the reference, and reactivates
// inactive ones. A repair never changes a row.
class SchemaCheck {
public:
    // target stays attached while the check is used.
    explicit SchemaCheck(Database& target, QString creationScript = Database::schemaScript());
    ~SchemaCheck();
    SchemaCheck(const SchemaCheck&) = delete;
    SchemaCheck& operator=(const SchemaCheck&) = delete;

    // Missing or inactive schema objects and forced writes, in repair order. A missing table is
    // reported once, not with every column, key, index and trigger it would hold.
    QList<SchemaProblem> schemaProblems();

    // The money invariants, compared with a tolerance of half a cent:
    // - each invoice's KOPSUMMA, BEZPVNSUMMA and PVNSUMMA equal what O_PAVOUT_HD_RECALC computes
    //   from its lines;
    // - each invoice's APMAKS_SUM equals the sum of its allocations (O_APMAKS_DT);
    // - each payment's SUMMA equals the sum of its allocations.
    // At most `listed` documents are named for each invariant, then how many more there are.
    QStringList moneyProblems(int listed = 20);

    // Restores every missing or inactive object, each in its own transaction, in dependency
    // order; one that fails does not stop the others. Returns what was done to each.
    QList<RepairResult> repair();

    // The schema objects of one database, and the creation script's statements (internal).
    struct Catalogue;
    struct Script;

private:
    const Catalogue& reference();
    QString statementFor(const SchemaProblem& p);

    Database& m_target;
    QString m_script;
    std::unique_ptr<Catalogue> m_reference;
    std::unique_ptr<Script> m_statements;
};

}  // namespace db
