// The description of the structure a creation script makes is built once and then kept: the kept
// file holds what was built, a check reads it instead of building, another script text has another
// file, and a damaged file is built again.
#include "TestDatabase.h"
#include "db/SchemaCheck.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>
#include <QtTest>

using db::SchemaCheck;

namespace {

// A script with an object of each kind, small enough that its reference is built quickly.
const QString SmallScript = QStringLiteral(
    "CREATE TABLE T_A (ISN INTEGER NOT NULL, NOS VARCHAR(20), CONSTRAINT PK_T_A PRIMARY KEY (ISN));\n"
    "CREATE TABLE T_B (ISN INTEGER NOT NULL PRIMARY KEY, ISA INTEGER,\n"
    "  CONSTRAINT FK_T_B_ISA FOREIGN KEY (ISA) REFERENCES T_A (ISN) ON DELETE CASCADE);\n"
    "CREATE UNIQUE INDEX T_A_NOS ON T_A (NOS);\n"
    "CREATE SEQUENCE T_AGEN;\n"
    "CREATE VIEW V_A AS SELECT ISN, NOS FROM T_A;\n"
    "SET TERM ^ ;\n"
    "CREATE TRIGGER T_A_BI FOR T_A INACTIVE BEFORE INSERT POSITION 0 AS BEGIN NEW.ISN = NEXT VALUE FOR T_AGEN; END^\n"
    "CREATE PROCEDURE P_A RETURNS (N INTEGER) AS BEGIN N = 1; SUSPEND; END^\n"
    "SET TERM ; ^\n");

QString cacheFile(const QString& folder, const QString& script) {
    return folder + QStringLiteral("/schema-") + SchemaCheck::structureKey(script) + QStringLiteral(".json");
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray compact(const QJsonObject& o) { return QJsonDocument(o).toJson(QJsonDocument::Compact); }

}  // namespace

class TestSchemaCache : public QObject {
    Q_OBJECT
    QString m_folder;

private Q_SLOTS:
    void initTestCase() { testsupport::isolateSettings(); }
    void init() {
        SchemaCheck::forgetKeptStructures();
        m_folder = testsupport::scratchDir() + QStringLiteral("/schema-cache-") + QUuid::createUuid().toString(QUuid::Id128).left(8);
    }
    void cleanup() { QDir(m_folder).removeRecursively(); }

    void fileHoldsWhatWasBuilt_data() {
        QTest::addColumn<QString>("script");
        QTest::newRow("small script") << SmallScript;
        QTest::newRow("shipped script") << db::Database::schemaScript();
    }
    void fileHoldsWhatWasBuilt() {
        QFETCH(QString, script);
        const QByteArray built = SchemaCheck::buildExpectedStructure(script);
        QCOMPARE(SchemaCheck::expectedStructure(script, m_folder), built);
        const QString file = cacheFile(m_folder, script);
        QCOMPARE(contents(file), built);
        const QDateTime written = QFileInfo(file).lastModified();
        // A new process has nothing in memory: it reads the file, and leaves it as it is.
        SchemaCheck::forgetKeptStructures();
        QCOMPARE(SchemaCheck::expectedStructure(script, m_folder), built);
        QCOMPARE(QFileInfo(file).lastModified(), written);
    }

    // The check compares with the kept description, not with a reference it builds again: one that
    // expects an extra trigger makes a whole database lack it.
    void checkComparesWithTheKeptFile() {
        const QString script = db::Database::schemaScript();
        QJsonObject expected = QJsonDocument::fromJson(SchemaCheck::expectedStructure(script)).object();
        QJsonObject triggers = expected.value("triggers").toObject();
        triggers.insert("N_KLIENTS_EXTRA", QJsonObject{{"table", "N_KLIENTS"}, {"inactive", false}});
        expected.insert("triggers", triggers);
        const QString file = cacheFile(SchemaCheck::structureCacheFolder(), script);
        write(file, compact(expected));
        SchemaCheck::forgetKeptStructures();

        auto d = testsupport::freshDatabase(QStringLiteral("schema-cache"));
        SchemaCheck check(*d);
        const QList<db::SchemaProblem> problems = check.schemaProblems();
        QFile::remove(file);
        SchemaCheck::forgetKeptStructures();
        QCOMPARE(problems.size(), 1);
        QCOMPARE(problems[0].kind, db::SchemaProblem::Kind::Trigger);
        QCOMPARE(problems[0].name, QStringLiteral("N_KLIENTS_EXTRA"));
    }

    void keyFollowsTheScriptText_data() {
        QTest::addColumn<QString>("other");
        QTest::addColumn<bool>("same");
        QTest::newRow("the same text") << QString(SmallScript) << true;
        QTest::newRow("a space more") << SmallScript + u' ' << false;
        QTest::newRow("one name changed") << QString(SmallScript).replace("T_A_NOS", "T_A_NOSAUKUMS") << false;
        QTest::newRow("trigger made active") << QString(SmallScript).replace("INACTIVE", "ACTIVE") << false;
        QTest::newRow("the shipped script") << db::Database::schemaScript() << false;
    }
    void keyFollowsTheScriptText() {
        QFETCH(QString, other);
        QFETCH(bool, same);
        QCOMPARE(SchemaCheck::structureKey(other) == SchemaCheck::structureKey(SmallScript), same);
    }

    void damagedFileIsBuiltAgain_data() {
        QTest::addColumn<QByteArray>("damaged");  // what the file holds; empty with asFolder
        QTest::addColumn<bool>("asFolder");       // a folder stands where the file should be
        const QByteArray built = SchemaCheck::buildExpectedStructure(SmallScript);
        const QJsonObject good = QJsonDocument::fromJson(built).object();
        auto changed = [&](const char* field, const QJsonValue& value) {
            QJsonObject o = good;
            o.insert(QLatin1String(field), value);
            return compact(o);
        };
        QJsonObject indexes = good.value("indexes").toObject();
        QJsonObject index = indexes.value("T_A_NOS").toObject();
        index.insert("unique", "yes");
        indexes.insert("T_A_NOS", index);

        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("cut short") << built.left(built.size() / 2) << false;
        QTest::newRow("not text") << QByteArray("\x00\xff\x13garbage", 10) << false;
        QTest::newRow("another script's") << changed("key", SchemaCheck::structureKey(SmallScript + u' ')) << false;
        QTest::newRow("another format") << changed("format", 0) << false;
        QTest::newRow("no tables") << changed("tables", QJsonArray()) << false;
        QTest::newRow("a flag of another type") << changed("indexes", indexes) << false;
        QTest::newRow("a folder") << QByteArray() << true;
    }
    void damagedFileIsBuiltAgain() {
        QFETCH(QByteArray, damaged);
        QFETCH(bool, asFolder);
        const QByteArray built = SchemaCheck::buildExpectedStructure(SmallScript);
        const QString file = cacheFile(m_folder, SmallScript);
        QVERIFY(QDir().mkpath(asFolder ? file : m_folder));
        if (!asFolder) write(file, damaged);
        SchemaCheck::forgetKeptStructures();
        QCOMPARE(SchemaCheck::expectedStructure(SmallScript, m_folder), built);
        if (!asFolder) QCOMPARE(contents(file), built);
    }
};

QTEST_GUILESS_MAIN(TestSchemaCache)
#include "tst_schemacache.moc"
