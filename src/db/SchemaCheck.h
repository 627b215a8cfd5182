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
// What "every" means is not written down twice: a reference database is created from the creation
// script (a temporary embedded file) and its system tables are read into a description of the
// expected structure, which a check compares with the system tables of the database, so the check
// follows the script whenever it changes, and knows each object by what the engine made of it
// (constraint kinds, the columns of keys, which index belongs to a constraint) instead of by a
// second parser of the script's SQL. Creating the reference takes seconds, too long for a log-on,
// so its description is kept (see expectedStructure()); a check then only reads the database's
// system tables, a fixed handful of queries. A repair recreates a missing object with the
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

    // The structure the creation script makes, as compact JSON with sorted names: the tables with
    // their columns in order, the keys with the statement that makes each, the indexes (unique,
    // active, owned by a key) and triggers (active) with their tables, the procedures, views and
    // sequences. It is what schemaProblems() compares a database with.
    //
    // It is kept in memory for the life of the process and in the file
    // "<cacheFolder>/schema-<structureKey()>.json", written atomically; only when neither has it
    // is it built from a reference database. A file that is not the description of this very
    // script (unreadable, damaged, of another key or format) is built and written again. Throws
    // DbError when the reference database cannot be made.
    static QByteArray expectedStructure(const QString& creationScript = Database::schemaScript(),
                                        const QString& cacheFolder = structureCacheFolder());
    // The same, always built from a new reference database; neither kept copy is used or changed.
    static QByteArray buildExpectedStructure(const QString& creationScript);
    // A hash of the script text and of the description's format.
    static QString structureKey(const QString& creationScript);
    // "<user's cache folder>/ZALTERS/MOLARIX/schema", shared by the program and molarix-admin.
    static QString structureCacheFolder();
    // Forgets the descriptions kept in memory: the next check reads its cache file again.
    static void forgetKeptStructures();

    // The schema objects of one database, and the creation script's statements (internal).
    struct Catalogue;
    struct Script;

private:
    const Catalogue& reference();
    const Script& statements();
    QString statementFor(const SchemaProblem& p);

    Database& m_target;
    QString m_script;
    std::shared_ptr<const Catalogue> m_reference;
    std::unique_ptr<Script> m_statements;
};

}  // namespace db
