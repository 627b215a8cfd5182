#include "db/SchemaCheck.h"

#include "db/SqlText.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QMutex>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace db {

// The schema objects of one database, by name, as its system tables describe them.
struct SchemaCheck::Catalogue {
    struct Key {
        QString table;
        QString type;  // PRIMARY KEY, UNIQUE, FOREIGN KEY
        QString ddl;   // ALTER TABLE ... ADD CONSTRAINT ... that makes it again
    };
    struct Index {
        QString table;
        bool unique = false;
        bool inactive = false;
        bool ofKey = false;  // the index a key constraint made and owns
    };
    struct Trigger {
        QString table;
        bool inactive = false;
    };
    QSet<QString> tables, views, procedures, sequences;
    QMap<QString, QStringList> columns;  // table -> its columns in order
    QMap<QString, Key> keys;
    QMap<QString, Index> indexes;
    QMap<QString, Trigger> triggers;
    bool forcedWrites = true;
};

// The creation script's statement that makes each named object.
struct SchemaCheck::Script {
    QHash<QString, QString> tables, indexes, triggers, procedures, views;
};

namespace {

using Catalogue = SchemaCheck::Catalogue;

QStringList firstColumn(Transaction& tx, const QString& sql) {
    QStringList r;
    const ResultSet rs = tx.select(sql);
    for (int i = 0; i < rs.rowCount(); ++i) r.append(rs.value(i, 0).toString());
    return r;
}

// Read in a transaction of its own: the monitoring tables keep one snapshot for the life of a
// transaction, and the default one lives as long as the connection.
std::unique_ptr<Catalogue> readCatalogue(Database& db) {
    auto c = std::make_unique<Catalogue>();
    Transaction tx(db);
    const ResultSet relations = tx.select(QStringLiteral(
        "SELECT TRIM(RDB$RELATION_NAME), IIF(RDB$VIEW_BLR IS NULL, 0, 1) FROM RDB$RELATIONS "
        "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"));
    for (int i = 0; i < relations.rowCount(); ++i)
        (relations.value(i, 1).toInt() ? c->views : c->tables).insert(relations.value(i, 0).toString());

    const ResultSet fields = tx.select(QStringLiteral(
        "SELECT TRIM(F.RDB$RELATION_NAME), TRIM(F.RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS F "
        "JOIN RDB$RELATIONS R ON R.RDB$RELATION_NAME = F.RDB$RELATION_NAME "
        "WHERE COALESCE(R.RDB$SYSTEM_FLAG, 0) = 0 AND R.RDB$VIEW_BLR IS NULL ORDER BY F.RDB$FIELD_POSITION"));
    for (int i = 0; i < fields.rowCount(); ++i) c->columns[fields.value(i, 0).toString()].append(fields.value(i, 1).toString());

    QHash<QString, QStringList> segments;
    const ResultSet seg = tx.select(QStringLiteral(
        "SELECT TRIM(RDB$INDEX_NAME), TRIM(RDB$FIELD_NAME) FROM RDB$INDEX_SEGMENTS ORDER BY RDB$INDEX_NAME, RDB$FIELD_POSITION"));
    for (int i = 0; i < seg.rowCount(); ++i) segments[seg.value(i, 0).toString()].append(seg.value(i, 1).toString());

    const ResultSet keys = tx.select(QStringLiteral(
        "SELECT TRIM(C.RDB$CONSTRAINT_NAME), TRIM(C.RDB$RELATION_NAME), TRIM(C.RDB$CONSTRAINT_TYPE), "
        "TRIM(C.RDB$INDEX_NAME), TRIM(P.RDB$RELATION_NAME), TRIM(P.RDB$INDEX_NAME), TRIM(R.RDB$UPDATE_RULE), "
        "TRIM(R.RDB$DELETE_RULE) FROM RDB$RELATION_CONSTRAINTS C "
        "JOIN RDB$RELATIONS T ON T.RDB$RELATION_NAME = C.RDB$RELATION_NAME "
        "LEFT JOIN RDB$REF_CONSTRAINTS R ON R.RDB$CONSTRAINT_NAME = C.RDB$CONSTRAINT_NAME "
        "LEFT JOIN RDB$RELATION_CONSTRAINTS P ON P.RDB$CONSTRAINT_NAME = R.RDB$CONST_NAME_UQ "
        "WHERE COALESCE(T.RDB$SYSTEM_FLAG, 0) = 0 AND C.RDB$CONSTRAINT_TYPE IN ('PRIMARY KEY', 'UNIQUE', 'FOREIGN KEY')"));
    for (int i = 0; i < keys.rowCount(); ++i) {
        Catalogue::Key k;
        const QString name = keys.value(i, 0).toString();
        k.table = keys.value(i, 1).toString();
        k.type = keys.value(i, 2).toString();
        const QString index = keys.value(i, 3).toString();
        k.ddl = QStringLiteral("ALTER TABLE %1 ADD CONSTRAINT %2 %3 (%4)")
                    .arg(k.table, name, k.type, segments.value(index).join(QStringLiteral(", ")));
        if (k.type == QLatin1String("FOREIGN KEY")) {
            k.ddl += QStringLiteral(" REFERENCES %1 (%2)")
                         .arg(keys.value(i, 4).toString(), segments.value(keys.value(i, 5).toString()).join(QStringLiteral(", ")));
            for (const auto& [column, action] : {std::pair{6, "UPDATE"}, std::pair{7, "DELETE"}}) {
                const QString rule = keys.value(i, column).toString();
                if (!rule.isEmpty() && rule != QLatin1String("RESTRICT") && rule != QLatin1String("NO ACTION"))
                    k.ddl += QStringLiteral(" ON %1 %2").arg(QLatin1String(action), rule);
            }
        }
        if (index != name && !index.startsWith(QLatin1String("RDB$"))) k.ddl += QStringLiteral(" USING INDEX ") + index;
        c->keys.insert(name, k);
    }

    const ResultSet indexes = tx.select(QStringLiteral(
        "SELECT TRIM(I.RDB$INDEX_NAME), TRIM(I.RDB$RELATION_NAME), COALESCE(I.RDB$UNIQUE_FLAG, 0), "
        "COALESCE(I.RDB$INDEX_INACTIVE, 0), IIF(EXISTS(SELECT 1 FROM RDB$RELATION_CONSTRAINTS C "
        "WHERE C.RDB$INDEX_NAME = I.RDB$INDEX_NAME), 1, 0) FROM RDB$INDICES I WHERE COALESCE(I.RDB$SYSTEM_FLAG, 0) = 0"));
    for (int i = 0; i < indexes.rowCount(); ++i)
        c->indexes.insert(indexes.value(i, 0).toString(),
                          {indexes.value(i, 1).toString(), indexes.value(i, 2).toInt() != 0, indexes.value(i, 3).toInt() != 0,
                           indexes.value(i, 4).toInt() != 0});

    const ResultSet triggers = tx.select(QStringLiteral(
        "SELECT TRIM(RDB$TRIGGER_NAME), TRIM(COALESCE(RDB$RELATION_NAME, '')), COALESCE(RDB$TRIGGER_INACTIVE, 0) "
        "FROM RDB$TRIGGERS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"));
    for (int i = 0; i < triggers.rowCount(); ++i)
        c->triggers.insert(triggers.value(i, 0).toString(), {triggers.value(i, 1).toString(), triggers.value(i, 2).toInt() != 0});

    for (const QString& p : firstColumn(tx, QStringLiteral(
             "SELECT TRIM(RDB$PROCEDURE_NAME) FROM RDB$PROCEDURES WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0")))
        c->procedures.insert(p);
    for (const QString& g : firstColumn(tx, QStringLiteral(
             "SELECT TRIM(RDB$GENERATOR_NAME) FROM RDB$GENERATORS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0")))
        c->sequences.insert(g);
    c->forcedWrites = tx.scalar(QStringLiteral("SELECT MON$FORCED_WRITES FROM MON$DATABASE")).toInt() != 0;
    tx.commit();
    return c;
}

// Raised whenever the description below changes shape, so that no older file is read as one.
constexpr int DescriptionFormat = 1;

QJsonArray sortedNames(const QSet<QString>& names) {
    QStringList list(names.cbegin(), names.cend());
    list.sort();
    return QJsonArray::fromStringList(list);
}

QByteArray describeCatalogue(const Catalogue& c, const QString& key) {
    QJsonObject columns, keys, indexes, triggers;
    for (auto it = c.columns.cbegin(); it != c.columns.cend(); ++it) columns.insert(it.key(), QJsonArray::fromStringList(it.value()));
    for (auto it = c.keys.cbegin(); it != c.keys.cend(); ++it)
        keys.insert(it.key(), QJsonObject{{"table", it->table}, {"type", it->type}, {"ddl", it->ddl}});
    for (auto it = c.indexes.cbegin(); it != c.indexes.cend(); ++it)
        indexes.insert(it.key(), QJsonObject{{"table", it->table}, {"unique", it->unique}, {"inactive", it->inactive},
                                             {"ofKey", it->ofKey}});
    for (auto it = c.triggers.cbegin(); it != c.triggers.cend(); ++it)
        triggers.insert(it.key(), QJsonObject{{"table", it->table}, {"inactive", it->inactive}});
    const QJsonObject root{{"format", DescriptionFormat}, {"key", key},
                           {"tables", sortedNames(c.tables)}, {"views", sortedNames(c.views)},
                           {"procedures", sortedNames(c.procedures)}, {"sequences", sortedNames(c.sequences)},
                           {"columns", columns}, {"keys", keys}, {"indexes", indexes}, {"triggers", triggers}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

// The catalogue a description holds, or null when the text is not a whole description of the
// script with this key: a file cut short or changed by hand must not make a check pass.
std::shared_ptr<const Catalogue> readDescription(const QByteArray& text, const QString& key) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) return nullptr;
    const QJsonObject root = doc.object();
    if (root.value("format") != DescriptionFormat || root.value("key") != key) return nullptr;

    auto c = std::make_shared<Catalogue>();
    auto names = [](const QJsonValue& v, QSet<QString>& into) {
        if (!v.isArray()) return false;
        for (const QJsonValue& n : v.toArray()) {
            if (!n.isString()) return false;
            into.insert(n.toString());
        }
        return true;
    };
    auto text_ = [](const QJsonObject& o, const char* field, QString& into) {
        const QJsonValue v = o.value(QLatin1String(field));
        into = v.toString();
        return v.isString();
    };
    auto flag = [](const QJsonObject& o, const char* field, bool& into) {
        const QJsonValue v = o.value(QLatin1String(field));
        into = v.toBool();
        return v.isBool();
    };
    if (!names(root.value("tables"), c->tables) || c->tables.isEmpty() || !names(root.value("views"), c->views) ||
        !names(root.value("procedures"), c->procedures) || !names(root.value("sequences"), c->sequences))
        return nullptr;
    for (const char* field : {"columns", "keys", "indexes", "triggers"})
        if (!root.value(QLatin1String(field)).isObject()) return nullptr;

    const QJsonObject columns = root.value("columns").toObject();
    for (auto it = columns.begin(); it != columns.end(); ++it) {
        if (!it->isArray() || it->toArray().isEmpty()) return nullptr;
        QStringList& list = c->columns[it.key()];
        for (const QJsonValue& n : it->toArray()) {
            if (!n.isString()) return nullptr;
            list.append(n.toString());
        }
    }
    const QJsonObject keys = root.value("keys").toObject();
    for (auto it = keys.begin(); it != keys.end(); ++it) {
        Catalogue::Key k;
        const QJsonObject o = it->toObject();
        if (!text_(o, "table", k.table) || !text_(o, "type", k.type) || !text_(o, "ddl", k.ddl)) return nullptr;
        c->keys.insert(it.key(), k);
    }
    const QJsonObject indexes = root.value("indexes").toObject();
    for (auto it = indexes.begin(); it != indexes.end(); ++it) {
        Catalogue::Index i;
        const QJsonObject o = it->toObject();
        if (!text_(o, "table", i.table) || !flag(o, "unique", i.unique) || !flag(o, "inactive", i.inactive) ||
            !flag(o, "ofKey", i.ofKey))
            return nullptr;
        c->indexes.insert(it.key(), i);
    }
    const QJsonObject triggers = root.value("triggers").toObject();
    for (auto it = triggers.begin(); it != triggers.end(); ++it) {
        Catalogue::Trigger t;
        const QJsonObject o = it->toObject();
        if (!text_(o, "table", t.table) || !flag(o, "inactive", t.inactive)) return nullptr;
        c->triggers.insert(it.key(), t);
    }
    return c;
}

// Runs the script in a new reference database and reads what the engine made of it.
std::shared_ptr<const Catalogue> buildCatalogue(const QString& script) {
    QTemporaryDir dir;
    if (!dir.isValid()) throw DbError(QStringLiteral("Nevar izveidot pagaidu mapi salīdzināmajai datu bāzei."));
    const QString path = dir.filePath(QStringLiteral("reference.fdb"));
    // The script runs as Database::create() runs it, but on a file without forced writes: the
    // file is thrown away, and a synchronous write for every statement's commit would make the
    // build wait seconds on the disk.
    Database::create(path, QString());
    Database::setForcedWrites(path, false);
    Database reference;
    reference.attach(path);
    for (const QString& st : splitScript(script)) reference.executeImmediate(st);
    std::shared_ptr<const Catalogue> c = readCatalogue(reference);
    reference.detach();
    return c;
}

// The descriptions this process has read or built, by key.
struct KeptStructures {
    QMutex mutex;
    QHash<QString, std::shared_ptr<const Catalogue>> byKey;
};

KeptStructures& kept() {
    static KeptStructures k;
    return k;
}

QString cacheFile(const QString& folder, const QString& key) {
    return folder + QStringLiteral("/schema-") + key + QStringLiteral(".json");
}

std::shared_ptr<const Catalogue> expectedCatalogue(const QString& script, const QString& folder) {
    const QString key = SchemaCheck::structureKey(script);
    KeptStructures& k = kept();
    // Held while building, so that two checks at once build the reference once.
    const QMutexLocker lock(&k.mutex);
    if (const auto found = k.byKey.constFind(key); found != k.byKey.cend()) return *found;

    const QString path = cacheFile(folder, key);
    std::shared_ptr<const Catalogue> c;
    QFile file(path);
    // Far more than any description; a larger file is not one of ours.
    if (file.size() < 16 * 1024 * 1024 && file.open(QIODevice::ReadOnly)) c = readDescription(file.readAll(), key);
    file.close();
    if (!c) {
        c = buildCatalogue(script);
        QDir().mkpath(folder);
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(describeCatalogue(*c, key)) < 0 || !out.commit())
            qWarning("The database structure description cannot be kept in %s: %s; every check will build it again",
                     qPrintable(path), qPrintable(out.errorString()));
    }
    k.byKey.insert(key, c);
    return c;
}

// The element of a CREATE TABLE statement that defines the column ("NAME TYPE ..."), or empty.
QString columnDefinition(const QString& createTable, const QString& column) {
    const qsizetype open = createTable.indexOf(u'(');
    const qsizetype close = createTable.lastIndexOf(u')');
    if (open < 0 || close <= open) return {};
    const QString body = createTable.mid(open + 1, close - open - 1);
    QStringList elements;
    QString current;
    int depth = 0;
    bool quoted = false;
    for (const QChar ch : body) {
        if (ch == u'\'') quoted = !quoted;
        if (!quoted && ch == u'(') ++depth;
        if (!quoted && ch == u')') --depth;
        if (!quoted && depth == 0 && ch == u',') {
            elements.append(current.trimmed());
            current.clear();
        } else {
            current += ch;
        }
    }
    elements.append(current.trimmed());
    for (const QString& e : elements)
        if (e.section(u' ', 0, 0, QString::SectionSkipEmpty).compare(column, Qt::CaseInsensitive) == 0) return e.simplified();
    return {};
}

QString describe(SchemaProblem::Kind kind, SchemaProblem::State state, const QString& name, const QString& table,
                 const QString& keyType = QString(), bool unique = false) {
    using K = SchemaProblem::Kind;
    const bool missing = state == SchemaProblem::State::Missing;
    switch (kind) {
        case K::Table: return QStringLiteral("trūkst tabulas %1").arg(name);
        case K::Sequence: return QStringLiteral("trūkst ģeneratora %1").arg(name);
        case K::Column: return QStringLiteral("tabulā %1 trūkst lauka %2").arg(table, name.section(u'.', 1));
        case K::Procedure: return QStringLiteral("trūkst procedūras %1").arg(name);
        case K::View: return QStringLiteral("trūkst skata %1").arg(name);
        case K::Key:
            return keyType == QLatin1String("PRIMARY KEY")
                       ? QStringLiteral("tabulai %1 trūkst primārās atslēgas %2").arg(table, name)
                       : QStringLiteral("tabulai %1 trūkst unikalitātes ierobežojuma %2").arg(table, name);
        case K::ForeignKey: return QStringLiteral("tabulai %1 trūkst ārējās atslēgas %2").arg(table, name);
        case K::Index:
            if (missing)
                return (unique ? QStringLiteral("tabulai %1 trūkst unikālā indeksa %2") : QStringLiteral("tabulai %1 trūkst indeksa %2"))
                    .arg(table, name);
            return (unique ? QStringLiteral("unikālais indekss %1 (tabula %2) nav aktīvs")
                           : QStringLiteral("indekss %1 (tabula %2) nav aktīvs"))
                .arg(name, table);
        case K::Trigger:
            return missing ? QStringLiteral("tabulai %1 trūkst trigera %2").arg(table, name)
                           : QStringLiteral("trigeris %1 (tabula %2) nav aktīvs").arg(name, table);
        case K::ForcedWrites:
            return QStringLiteral("sinhronā rakstīšana (forced writes) ir izslēgta: pēc strāvas pārrāvuma var pazust "
                                  "jau saglabāti dati");
    }
    return name;
}

QString money(const QVariant& v) { return QString::number(v.toDouble(), 'f', 2); }

// The pattern with %1..%9 replaced in one pass, so that a replaced text holding "%n" stays as it is.
QString fill(const QString& pattern, const QStringList& args) {
    QString out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == u'%' && i + 1 < pattern.size() && pattern[i + 1].isDigit() && pattern[i + 1] != u'0') {
            out += args.value(pattern[i + 1].digitValue() - 1);
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

}  // namespace

SchemaCheck::SchemaCheck(Database& target, QString creationScript) : m_target(target), m_script(std::move(creationScript)) {}

SchemaCheck::~SchemaCheck() = default;

QByteArray SchemaCheck::expectedStructure(const QString& creationScript, const QString& cacheFolder) {
    return describeCatalogue(*expectedCatalogue(creationScript, cacheFolder), structureKey(creationScript));
}

QByteArray SchemaCheck::buildExpectedStructure(const QString& creationScript) {
    return describeCatalogue(*buildCatalogue(creationScript), structureKey(creationScript));
}

QString SchemaCheck::structureKey(const QString& creationScript) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArray::number(DescriptionFormat).append('\n'));
    hash.addData(creationScript.toUtf8());
    return QString::fromLatin1(hash.result().toHex());
}

QString SchemaCheck::structureCacheFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/ZALTERS/MOLARIX/schema");
}

void SchemaCheck::forgetKeptStructures() {
    KeptStructures& k = kept();
    const QMutexLocker lock(&k.mutex);
    k.byKey.clear();
}

const SchemaCheck::Catalogue& SchemaCheck::reference() {
    if (!m_reference) m_reference = expectedCatalogue(m_script, structureCacheFolder());
    return *m_reference;
}

const SchemaCheck::Script& SchemaCheck::statements() {
    if (m_statements) return *m_statements;
    m_statements = std::make_unique<Script>();
    static const QRegularExpression head(
        QStringLiteral("^CREATE\\s+(?:(UNIQUE)\\s+)?(?:(?:ASC|ASCENDING|DESC|DESCENDING)\\s+)?(TABLE|INDEX|TRIGGER|PROCEDURE|VIEW)\\s+(\\w+)"),
        QRegularExpression::CaseInsensitiveOption);
    for (const QString& st : splitScript(m_script)) {
        const QRegularExpressionMatch m = head.match(st);
        if (!m.hasMatch()) continue;
        const QString what = m.captured(2).toUpper(), name = m.captured(3).toUpper();
        if (what == QLatin1String("TABLE")) m_statements->tables.insert(name, st);
        else if (what == QLatin1String("INDEX")) m_statements->indexes.insert(name, st);
        else if (what == QLatin1String("TRIGGER")) m_statements->triggers.insert(name, st);
        else if (what == QLatin1String("PROCEDURE")) m_statements->procedures.insert(name, st);
        else m_statements->views.insert(name, st);
    }
    return *m_statements;
}

QList<SchemaProblem> SchemaCheck::schemaProblems() {
    using K = SchemaProblem::Kind;
    using S = SchemaProblem::State;
    const Catalogue& ref = reference();
    const std::unique_ptr<Catalogue> now = readCatalogue(m_target);
    QList<SchemaProblem> problems;
    auto add = [&](K kind, S state, const QString& name, const QString& table, const QString& keyType = QString(),
                   bool unique = false) {
        problems.append({kind, state, name, describe(kind, state, name, table, keyType, unique)});
    };
    // Whatever belongs to a missing table is restored with it.
    auto tableThere = [&](const QString& table) { return table.isEmpty() || now->tables.contains(table); };

    for (const QString& t : QStringList(ref.tables.values())) {
        if (!now->tables.contains(t)) add(K::Table, S::Missing, t, t);
    }
    for (const QString& g : ref.sequences)
        if (!now->sequences.contains(g)) add(K::Sequence, S::Missing, g, QString());
    for (auto it = ref.columns.cbegin(); it != ref.columns.cend(); ++it) {
        if (!tableThere(it.key())) continue;
        const QStringList have = now->columns.value(it.key());
        for (const QString& col : it.value())
            if (!have.contains(col)) add(K::Column, S::Missing, it.key() + u'.' + col, it.key());
    }
    for (const QString& p : ref.procedures)
        if (!now->procedures.contains(p)) add(K::Procedure, S::Missing, p, QString());
    for (const QString& v : ref.views)
        if (!now->views.contains(v)) add(K::View, S::Missing, v, QString());
    for (auto it = ref.keys.cbegin(); it != ref.keys.cend(); ++it) {
        if (!tableThere(it->table) || now->keys.contains(it.key())) continue;
        add(it->type == QLatin1String("FOREIGN KEY") ? K::ForeignKey : K::Key, S::Missing, it.key(), it->table, it->type);
    }
    for (auto it = ref.indexes.cbegin(); it != ref.indexes.cend(); ++it) {
        if (!tableThere(it->table)) continue;
        const auto found = now->indexes.constFind(it.key());
        if (found == now->indexes.cend()) {
            // A key's own index comes back with the key.
            if (!it->ofKey) add(K::Index, S::Missing, it.key(), it->table, QString(), it->unique);
        } else if (found->inactive && !it->inactive) {
            add(K::Index, S::Inactive, it.key(), it->table, QString(), it->unique);
        }
    }
    for (auto it = ref.triggers.cbegin(); it != ref.triggers.cend(); ++it) {
        if (!tableThere(it->table)) continue;
        const auto found = now->triggers.constFind(it.key());
        if (found == now->triggers.cend()) add(K::Trigger, S::Missing, it.key(), it->table);
        else if (found->inactive && !it->inactive) add(K::Trigger, S::Inactive, it.key(), it->table);
    }
    if (!now->forcedWrites) add(K::ForcedWrites, S::Inactive, QStringLiteral("FORCED WRITES"), QString());

    std::stable_sort(problems.begin(), problems.end(), [](const SchemaProblem& a, const SchemaProblem& b) {
        if (a.kind != b.kind) return a.kind < b.kind;
        return a.name < b.name;
    });
    return problems;
}

QString SchemaCheck::statementFor(const SchemaProblem& p) {
    using K = SchemaProblem::Kind;
    const Catalogue& ref = reference();
    const Script& script = statements();
    switch (p.kind) {
        case K::Table: return script.tables.value(p.name);
        case K::Sequence: return QStringLiteral("CREATE SEQUENCE ") + p.name;
        case K::Column: {
            const QString table = p.name.section(u'.', 0, 0), column = p.name.section(u'.', 1);
            const QString definition = columnDefinition(script.tables.value(table), column);
            return definition.isEmpty() ? QString() : QStringLiteral("ALTER TABLE %1 ADD %2").arg(table, definition);
        }
        case K::Procedure: return script.procedures.value(p.name);
        case K::View: return script.views.value(p.name);
        case K::Key:
        case K::ForeignKey: return ref.keys.value(p.name).ddl;
        case K::Index:
            return p.state == SchemaProblem::State::Inactive ? QStringLiteral("ALTER INDEX %1 ACTIVE").arg(p.name)
                                                             : script.indexes.value(p.name);
        case K::Trigger:
            return p.state == SchemaProblem::State::Inactive ? QStringLiteral("ALTER TRIGGER %1 ACTIVE").arg(p.name)
                                                             : script.triggers.value(p.name);
        case K::ForcedWrites: return {};
    }
    return {};
}

QList<RepairResult> SchemaCheck::repair() {
    using K = SchemaProblem::Kind;
    QList<RepairResult> results;
    QSet<QString> attempted;  // an object that fails is tried once
    // Kind by kind, looking again before each: a table made again brings its key and triggers.
    for (int k = int(K::Table); k <= int(K::ForcedWrites); ++k) {
        for (const SchemaProblem& p : schemaProblems()) {
            const QString id = QString::number(int(p.kind)) + u'/' + QString::number(int(p.state)) + u'/' + p.name;
            if (int(p.kind) != k || attempted.contains(id)) continue;
            attempted.insert(id);
            try {
                if (p.kind == K::ForcedWrites) {
                    Database::setForcedWrites(m_target.connectionString(), true);
                } else {
                    const QString sql = statementFor(p);
                    if (sql.isEmpty()) throw DbError(QStringLiteral("izveides skriptā nav tā paša objekta"));
                    m_target.executeImmediate(sql);
                    if (p.kind == K::Sequence) {
                        // A new sequence starts at 0; the table it numbers may hold keys already.
                        const QString table = p.name.endsWith(QLatin1String("GEN")) ? p.name.chopped(3) : QString();
                        if (reference().columns.value(table).contains(QLatin1String("ISN"))) {
                            Transaction tx(m_target);
                            const qlonglong top = tx.scalar(QStringLiteral("SELECT COALESCE(MAX(ISN), 0) FROM ") + table).toLongLong();
                            tx.commit();
                            m_target.executeImmediate(QStringLiteral("ALTER SEQUENCE %1 RESTART WITH %2").arg(p.name).arg(top));
                        }
                    }
                }
                results.append({p.text, QString()});
            } catch (const DbError& e) {
                results.append({p.text, e.message().simplified()});
            }
        }
    }
    return results;
}

QStringList SchemaCheck::moneyProblems(int listed) {
    // The same sums as O_PAVOUT_HD_RECALC: a missing price, quantity, discount or VAT counts as 0.
    static const QString lineTotal = QStringLiteral(
        "COALESCE(CENA, 0) * COALESCE(DAUDZUMS, 0) * (1 + COALESCE(ATLAIDE, 0) / 100.00)");
    struct Invariant {
        QString sql;
        QString line;  // %1 number, %2 key, then the amounts
        QString more;  // %1 how many more
    };
    const QList<Invariant> invariants{
        {QStringLiteral("SELECT H.NUMURS, H.ISN, H.KOPSUMMA, H.BEZPVNSUMMA, H.PVNSUMMA, L.AR, L.BEZ, "
                        "COALESCE(L.AR, 0) - COALESCE(L.BEZ, 0) FROM O_PAVOUT_HD H LEFT JOIN (SELECT ISPAVOUTHD, "
                        "SUM(%1 * (1 + COALESCE(NODOKLIS, 0) / 100.00)) AR, SUM(%1) BEZ FROM O_PAVOUT_DT GROUP BY ISPAVOUTHD) L "
                        "ON L.ISPAVOUTHD = H.ISN WHERE ABS(COALESCE(H.KOPSUMMA, 0) - COALESCE(L.AR, 0)) > 0.005 "
                        "OR ABS(COALESCE(H.BEZPVNSUMMA, 0) - COALESCE(L.BEZ, 0)) > 0.005 "
                        "OR ABS(COALESCE(H.PVNSUMMA, 0) - (COALESCE(L.AR, 0) - COALESCE(L.BEZ, 0))) > 0.005 ORDER BY H.ISN")
             .arg(lineTotal),
         QStringLiteral("rēķina Nr. %1 (ISN %2) summas neatbilst rindām: kopā %3, bez PVN %4, PVN %5; pēc rindām "
                        "%6, %7, %8"),
         QStringLiteral("… un vēl %1 rēķini, kuru summas neatbilst rindām")},
        {QStringLiteral("SELECT H.NUMURS, H.ISN, H.APMAKS_SUM, A.S FROM O_PAVOUT_HD H LEFT JOIN (SELECT ISPAVOUTHD, "
                        "SUM(SUMMA) S FROM O_APMAKS_DT GROUP BY ISPAVOUTHD) A ON A.ISPAVOUTHD = H.ISN "
                        "WHERE ABS(COALESCE(H.APMAKS_SUM, 0) - COALESCE(A.S, 0)) > 0.005 ORDER BY H.ISN"),
         QStringLiteral("rēķina Nr. %1 (ISN %2) apmaksātā summa %3 neatbilst maksājumos tam sadalītajai %4"),
         QStringLiteral("… un vēl %1 rēķini, kuru apmaksātā summa neatbilst maksājumiem")},
        {QStringLiteral("SELECT P.NUMURS, P.ISN, P.SUMMA, A.S FROM O_APMAKS_HD P LEFT JOIN (SELECT ISAPMAKSHD, "
                        "SUM(SUMMA) S FROM O_APMAKS_DT GROUP BY ISAPMAKSHD) A ON A.ISAPMAKSHD = P.ISN "
                        "WHERE ABS(COALESCE(P.SUMMA, 0) - COALESCE(A.S, 0)) > 0.005 ORDER BY P.ISN"),
         QStringLiteral("maksājuma Nr. %1 (ISN %2) summa %3 neatbilst tā sadalījumam pa rēķiniem %4"),
         QStringLiteral("… un vēl %1 maksājumi, kuru summa neatbilst sadalījumam")},
    };
    QStringList problems;
    Transaction tx(m_target);
    for (const Invariant& inv : invariants) {
        ResultSet rs;
        try {
            rs = tx.select(inv.sql);
        } catch (const DbError& e) {
            problems.append(QStringLiteral("naudas summas nevar pārbaudīt: ") + e.message().simplified());
            continue;
        }
        for (int r = 0; r < rs.rowCount() && r < listed; ++r) {
            QStringList values{rs.value(r, 0).toString().trimmed(), rs.value(r, 1).toString()};
            for (int c = 2; c < rs.columnCount(); ++c) values.append(money(rs.value(r, c)));
            problems.append(fill(inv.line, values));
        }
        if (rs.rowCount() > listed) problems.append(inv.more.arg(rs.rowCount() - listed));
    }
    tx.rollback();
    return problems;
}

}  // namespace db
