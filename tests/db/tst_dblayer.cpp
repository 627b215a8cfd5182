// The database layer against a real engine. The whole suite runs twice: through the embedded
// engine, and through the Firebird server on 127.0.0.1 that the test script starts (there the two
// connections are two workstations).
#include "TestDatabase.h"
#include "db/Statement.h"

#include <QElapsedTimer>
#include <QtTest>

using db::Database;
using db::DbError;
using db::Params;
using db::Transaction;

class TestDbLayer : public QObject {
    Q_OBJECT
public:
    explicit TestDbLayer(QString prefix) : m_prefix(std::move(prefix)) {}

private:
    QString m_prefix;  // "" embedded, "127.0.0.1:" server
    QString m_file;
    std::unique_ptr<Database> m_db;

    std::unique_ptr<Database> second() { return testsupport::open(m_prefix + m_file); }

    int insertBank(Transaction& tx, const QString& name) {
        return tx.scalar("INSERT INTO N_BANKA (GNOS) VALUES (:GNOS) RETURNING ISN", {{"GNOS", name}}).toInt();
    }

private Q_SLOTS:
    void init() {
        m_file = testsupport::freshDatabaseFile(QStringLiteral("layer"));
        m_db = testsupport::open(m_prefix + m_file);
    }
    void cleanup() {
        m_db.reset();
        QFile::remove(m_file);
    }

    // Every kind of value the schema uses goes in through a named parameter and comes back equal.
    void roundTrip_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        QString longText;
        for (int i = 0; i < 20000; ++i) longText += QStringLiteral("Zobārstniecība %1 ").arg(i);
        QTest::newRow("integer") << "STUNDU_DALIJUMS" << QVariant(2);
        QTest::newRow("negative integer") << "COLOR_1" << QVariant(-16777216);
        QTest::newRow("Latvian text") << "ORGNOS" << QVariant(QStringLiteral("SIA „Zobu ārsts” — ĀČĒĢĪĶĻŅŠŪŽ āčēģīķļņšūž"));
        QTest::newRow("quote in text") << "ORGADR" << QVariant(QStringLiteral("O'Brien iela 1; DROP TABLE N_ISI"));
        QTest::newRow("empty text") << "ORGADR" << QVariant(QString(""));
        QTest::newRow("NULL text") << "ORGADR" << QVariant();
        QTest::newRow("long text blob") << "SVETKI_TXT" << QVariant(longText);
        QTest::newRow("NULL blob") << "SVETKI_TXT" << QVariant();
        QTest::newRow("Latvian text blob") << "SVETKI_SMS" << QVariant(QStringLiteral("Sveicam vārda dienā, <VardsUzvards>!"));
    }
    void roundTrip() {
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        m_db->exec("UPDATE N_ISI SET " + column + " = :V", {{"V", value}});
        m_db->commitRetaining();
        const QVariant back = second()->scalar("SELECT " + column + " FROM N_ISI");
        QCOMPARE(back.isNull(), value.isNull());
        if (!value.isNull()) QCOMPARE(back.toString(), value.toString());
    }

    // One prepared statement run again and again, each parameter switching between values and
    // NULL (the bulk loads and every store do this). Every column must hold exactly what was bound
    // for its row: a NULL stays NULL, and no bind disturbs the parameters next to it.
    void valueNullValueNullOnOneStatement_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("other");
        QString longText;
        for (int i = 0; i < 2000; ++i) longText += QStringLiteral("Plombēšana %1; ").arg(i);
        QByteArray bytes;
        for (int i = 0; i < 256; ++i) bytes.append(char(255 - i));
        const QDateTime stamp(QDate(2026, 3, 29), QTime(2, 30, 15, 250));
        QTest::newRow("integer") << "I" << QVariant(7) << QVariant(-2147483647);
        QTest::newRow("big integer") << "B" << QVariant(qlonglong(9007199254740993LL)) << QVariant(qlonglong(-1));
        QTest::newRow("double") << "D" << QVariant(1.0 / 3.0) << QVariant(-1e300);
        QTest::newRow("money as numeric") << "N" << QVariant(12.34) << QVariant(-0.01);
        QTest::newRow("text") << "V" << QVariant(QStringLiteral("Bērziņa")) << QVariant(QStringLiteral("ĀČĒĢĪĶĻŅŠŪŽ āčēģīķļņšūž 1234567"));
        QTest::newRow("empty text") << "V" << QVariant(QString("")) << QVariant(QStringLiteral("x"));
        QTest::newRow("bytes") << "O" << QVariant(bytes.left(3)) << QVariant(bytes.left(40));
        QTest::newRow("text blob") << "T" << QVariant(QStringLiteral("Pacients apmierināts")) << QVariant(longText);
        QTest::newRow("date") << "DT" << QVariant(QDate(1858, 11, 17)) << QVariant(QDate(2099, 12, 31));
        QTest::newRow("timestamp") << "TS" << QVariant(stamp) << QVariant(QDateTime(QDate(1999, 1, 1), QTime(0, 0)));
        QTest::newRow("time") << "TM" << QVariant(QTime(23, 59, 59, 999)) << QVariant(QTime(0, 0, 0, 1));
        QTest::newRow("integer into text") << "V" << QVariant(1234567890) << QVariant(-5);
        QTest::newRow("text into integer") << "I" << QVariant(QStringLiteral("42")) << QVariant(QStringLiteral("-17"));
    }
    void valueNullValueNullOnOneStatement() {
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        QFETCH(QVariant, other);
        m_db->executeImmediate(
            "CREATE TABLE T_KINDS (K INTEGER, I INTEGER, B BIGINT, D DOUBLE PRECISION, N NUMERIC(15,2), "
            "V VARCHAR(40), O VARCHAR(40) CHARACTER SET OCTETS, T BLOB SUB_TYPE TEXT, DT DATE, TS TIMESTAMP, "
            "TM TIME, Z INTEGER)");
        // The other columns keep one value each, so that a garbled neighbour shows.
        const QList<QPair<QString, QVariant>> fixed{
            {"I", 11}, {"B", qlonglong(-4000000000LL)}, {"D", 2.5}, {"N", 99.99}, {"V", QStringLiteral("Ozols")},
            {"O", QByteArray("\x01\x00\xff", 3)}, {"T", QStringLiteral("Zobu karte")}, {"DT", QDate(2026, 12, 6)},
            {"TS", QDateTime(QDate(2026, 12, 6), QTime(8, 0))}, {"TM", QTime(12, 30)}, {"Z", 5}};
        const QVariantList steps{value, QVariant(), other, QVariant()};
        {
            Transaction tx(*m_db);
            db::Statement st(tx, "INSERT INTO T_KINDS (K, I, B, D, N, V, O, T, DT, TS, TM, Z) "
                                 "VALUES (:K, :I, :B, :D, :N, :V, :O, :T, :DT, :TS, :TM, :Z)");
            for (int k = 0; k < steps.size(); ++k) {
                st.bind("K", k);
                for (const auto& [name, v] : fixed) st.bind(name, name == column ? steps[k] : v);
                st.execute();
            }
            tx.commit();
        }
        const db::ResultSet rs = second()->select("SELECT * FROM T_KINDS ORDER BY K");
        QCOMPARE(rs.rowCount(), steps.size());
        for (int k = 0; k < steps.size(); ++k) {
            for (const auto& [name, v] : fixed) {
                const QVariant back = rs.value(k, name);
                QVariant expected = name == column ? steps[k] : v;
                if (expected.isNull()) {
                    QVERIFY2(back.isNull(), qPrintable(QStringLiteral("row %1 column %2: %3").arg(k).arg(name, back.toString())));
                    continue;
                }
                // A value converted by the server comes back in the column's type.
                if (expected.typeId() != back.typeId() && expected.canConvert(back.metaType())) expected.convert(back.metaType());
                QVERIFY2(back == expected, qPrintable(QStringLiteral("row %1 column %2: %3 instead of %4")
                                                          .arg(k).arg(name, back.toString(), expected.toString())));
            }
        }
    }

    void typedValuesComeBackTyped() {
        const QDate day(2026, 2, 28);
        const QDateTime moment(QDate(1999, 12, 31), QTime(23, 59, 58, 500));
        Transaction& tx = m_db->defaultTransaction();
        const int isn = tx.scalar("INSERT INTO O_LOGON (ISUSER, START_TIME) VALUES (:U, :T) RETURNING ISN",
                                  {{"U", 7}, {"T", moment}}).toInt();
        const db::ResultSet rs = tx.select("SELECT ISUSER, START_TIME, CAST(START_TIME AS DATE) D, "
                                           "CAST(:X AS DOUBLE PRECISION) X, END_TIME FROM O_LOGON WHERE ISN=:ISN",
                                           {{"ISN", isn}, {"X", 1.25}});
        QCOMPARE(rs.rowCount(), 1);
        QCOMPARE(rs.value(0, "ISUSER").typeId(), int(QMetaType::Int));
        QCOMPARE(rs.value(0, "ISUSER").toInt(), 7);
        QCOMPARE(rs.value(0, "START_TIME").toDateTime(), moment);
        QCOMPARE(rs.value(0, "D").toDate(), QDate(1999, 12, 31));
        QCOMPARE(rs.value(0, "X").toDouble(), 1.25);
        QVERIFY(rs.value(0, "END_TIME").isNull());
        // CHAR values arrive blank-padded to their declared length in characters, not bytes.
        QCOMPARE(tx.scalar("SELECT CAST('Āb' AS CHAR(4)) FROM N_ISI").toString(), QStringLiteral("Āb  "));
        QCOMPARE(tx.scalar("SELECT 'T' FROM N_ISI").toString(), QStringLiteral("T"));
        // A date bound to a date column and compared back.
        tx.exec("INSERT INTO O_DIENAS (ISN, DATUMS, FLAG) VALUES (1, :D, 'T')", {{"D", day}});
        QCOMPARE(tx.scalar("SELECT FLAG FROM O_DIENAS WHERE DATUMS = :D", {{"D", day}}).toString(), QStringLiteral("T"));
    }

    // The encoded log-on name may hold any byte; it must come back byte for byte.
    void everyByteRoundTripsThroughOctets() {
        QByteArray all;
        for (int i = 0; i < 200; ++i) all.append(char(i));
        QByteArray rest;
        for (int i = 200; i < 256; ++i) rest.append(char(i));
        Transaction& tx = m_db->defaultTransaction();
        for (const QByteArray& name : {all, rest}) {
            const int isn = tx.scalar("INSERT INTO N_USERS (GNOS) VALUES (:GNOS) RETURNING ISN", {{"GNOS", name}}).toInt();
            QCOMPARE(tx.scalar("SELECT GNOS FROM N_USERS WHERE ISN = :ISN", {{"ISN", isn}}).toByteArray(), name);
            QCOMPARE(tx.scalar("SELECT ISN FROM N_USERS WHERE GNOS = :GNOS", {{"GNOS", name}}).toInt(), isn);
        }
    }

    void repeatedParameterNamesTakeOneValue() {
        Transaction& tx = m_db->defaultTransaction();
        tx.exec("INSERT INTO N_KLIENTS (UZVARDS, VARDS, TELEFONS, MOB_TEL) VALUES ('Ozola', 'Anna', '67000000', '29123456')");
        tx.exec("INSERT INTO N_KLIENTS (UZVARDS, VARDS, TELEFONS, MOB_TEL) VALUES ('Kalns', 'Jānis', '29123000', NULL)");
        const db::ResultSet rs = tx.select(
            "SELECT UZVARDS FROM N_KLIENTS WHERE TELEFONS CONTAINING :TELEFONS OR MOB_TEL CONTAINING :Telefons "
            "ORDER BY UZVARDS", {{"telefons", "29123"}});
        QCOMPARE(rs.rowCount(), 2);
        QCOMPARE(rs.value(0, "UZVARDS").toString(), QStringLiteral("Kalns"));
    }

    void unboundOrUnknownParameterIsAProgramFault() {
        Transaction& tx = m_db->defaultTransaction();
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, tx.select("SELECT * FROM N_ISI WHERE ISN=:ISN"));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, tx.select("SELECT * FROM N_ISI", {{"ISN", 1}}));
    }

    // The trigger's key comes back from RETURNING, also when the statement passes ISN 1.
    void returningGivesTheTriggersKey() {
        Transaction& tx = m_db->defaultTransaction();
        const int a = tx.scalar("INSERT INTO N_BANKA (ISN, GNOS) VALUES (1, 'A') RETURNING ISN").toInt();
        const int b = tx.scalar("INSERT INTO N_BANKA (ISN, GNOS) VALUES (1, 'B') RETURNING ISN").toInt();
        QVERIFY(a > 0);
        QCOMPARE(b, a + 1);
        QCOMPARE(tx.scalar("SELECT GNOS FROM N_BANKA WHERE ISN=:ISN", {{"ISN", b}}).toString(), QStringLiteral("B"));
        QCOMPARE(tx.scalar("SELECT GEN_ID(N_BANKAGEN, 0) FROM N_ISI").toInt(), b);
    }

    void rollbackUndoesEverything() {
        int before = m_db->scalar("SELECT COUNT(*) FROM N_BANKA").toInt();
        try {
            Transaction tx(*m_db);
            insertBank(tx, "Pirmā");
            insertBank(tx, "Otrā");
            tx.exec("INSERT INTO N_BANKA (GNOS) VALUES (NULL)");  // GNOS is NOT NULL: fails
            tx.commit();
            QFAIL("the NULL name was accepted");
        } catch (const DbError& e) {
            QVERIFY2(e.message().contains("GNOS"), qPrintable(e.message()));
        }
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM N_BANKA").toInt(), before);
        QCOMPARE(second()->scalar("SELECT COUNT(*) FROM N_BANKA").toInt(), before);
    }

    void commitRetainingShowsTheChangeToAnotherWorkstationAtOnce() {
        auto other = second();
        insertBank(m_db->defaultTransaction(), "Swedbank");
        const QString count = "SELECT COUNT(*) FROM N_BANKA WHERE GNOS = 'Swedbank'";
        QCOMPARE(other->scalar(count).toInt(), 0);  // not committed yet
        m_db->commitRetaining();
        QCOMPARE(other->scalar(count).toInt(), 1);  // read committed: seen without reconnecting
        // The default transaction stays usable after commit retaining.
        insertBank(m_db->defaultTransaction(), "Citadele");
        m_db->commitRetaining();
        QCOMPARE(other->scalar("SELECT COUNT(*) FROM N_BANKA WHERE GNOS = 'Citadele'").toInt(), 1);
    }

    void conflictingUpdateFailsAtOnce() {
        auto other = second();
        m_db->exec("UPDATE N_ISI SET ORGNOS = 'Pirmā darbstacija'");  // holds the row, uncommitted
        QElapsedTimer timer;
        timer.start();
        try {
            other->exec("UPDATE N_ISI SET ORGNOS = 'Otrā darbstacija'");
            QFAIL("the second workstation overwrote an uncommitted change");
        } catch (const DbError& e) {
            QVERIFY2(e.message().contains("conflict", Qt::CaseInsensitive) ||
                         e.message().contains("deadlock", Qt::CaseInsensitive),
                     qPrintable(e.message()));
        }
        QVERIFY2(timer.elapsed() < 2000, "no wait: the conflict must be reported at once");
        m_db->commitRetaining();
        QCOMPARE(other->scalar("SELECT ORGNOS FROM N_ISI").toString(), QStringLiteral("Pirmā darbstacija"));
    }

    void errorsCarryTheServersText() {
        try {
            m_db->select("SELECT NOSUCHCOLUMN FROM N_ISI");
            QFAIL("no error");
        } catch (const DbError& e) {
            QVERIFY2(e.message().contains("NOSUCHCOLUMN"), qPrintable(e.message()));
            QVERIFY(e.sqlCode() < 0);
        }
        // The connection stays usable after a failed statement.
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM N_ISI").toInt(), 1);
    }

    void preparedStatementRunsManyTimes() {
        Transaction tx(*m_db);
        db::Statement st(tx, "INSERT INTO N_RAJONS (GNOS) VALUES (:GNOS) RETURNING ISN");
        QList<int> keys;
        for (int i = 0; i < 50; ++i) {
            st.bind("GNOS", QStringLiteral("Novads %1").arg(i));
            st.execute();
            QVERIFY(st.next());
            keys.append(st.value(0).toInt());
        }
        tx.commit();
        QCOMPARE(keys.size(), 50);
        QCOMPARE(keys.last() - keys.first(), 49);
        db::Statement count(m_db->defaultTransaction(), "SELECT GNOS FROM N_RAJONS WHERE ISN >= :A ORDER BY ISN");
        count.bind("A", keys.first());
        count.execute();
        QCOMPARE(count.fetchAll().rowCount(), 50);
    }

    void missingDatabaseSaysWhatHappened() {
        Database d;
        try {
            d.attach(m_prefix + testsupport::scratchDir() + "/no-such-file.fdb");
            QFAIL("attached to a missing file");
        } catch (const DbError& e) {
            QVERIFY2(e.message().contains("no-such-file.fdb"), qPrintable(e.message()));
        }
        QVERIFY(!d.isAttached());
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int failures = 0;
    {
        TestDbLayer embedded(QString{});
        failures += QTest::qExec(&embedded, argc, argv);
    }
    const QString server = testsupport::serverPrefix();
    if (server.isEmpty()) {
        qWarning("MOLARIX_FB_SERVER is not set: the server half of the database tests did not run");
    } else {
        TestDbLayer remote(server);
        failures += QTest::qExec(&remote, argc, argv);
    }
    return failures;
}

#include "tst_dblayer.moc"
