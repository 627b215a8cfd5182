// The creation script: the SQL forms the windows use, the keys, the invoice totals the database
// keeps, and the deletes it refuses.
#include "TestDatabase.h"
#include "db/Statement.h"

#include <QtTest>

using db::DbError;
using db::Transaction;

class TestSchema : public QObject {
    Q_OBJECT
    std::unique_ptr<db::Database> m_db;

    int insert(const QString& sql, const db::Params& p = {}) { return m_db->scalar(sql + " RETURNING ISN", p).toInt(); }

    // The default-row steps that the start-up runs: insert with ISN 1, find the row, move it to 1.
    void ensureDefaultRow(const QString& table, bool person) {
        if (!m_db->select("SELECT ISN FROM " + table + " WHERE ISN=1").isEmpty()) return;
        if (person) {
            m_db->exec("INSERT INTO " + table + " (ISN, VARDS, UZVARDS) VALUES (1, 'Nav', 'Noteikts')");
        } else {
            m_db->exec("INSERT INTO " + table + " (ISN, GNOS) VALUES (1, :GNOS)", {{"GNOS", "Nav noteikts"}});
        }
        const QString find = person ? QString("SELECT ISN FROM " + table + " WHERE VARDS='Nav' AND UZVARDS='Noteikts' ORDER BY ISN DESCENDING")
                                    : QString("SELECT ISN FROM " + table + " WHERE GNOS='Nav noteikts' ORDER BY ISN DESCENDING");
        const int isn = m_db->scalar(find).toInt();
        if (isn > 0) m_db->exec("UPDATE " + table + " SET ISN=1 WHERE ISN=:ISN", {{"ISN", isn}});
    }

    void defaultRows() {
        ensureDefaultRow("N_AGENTS", true);
        for (const char* t : {"N_BANKA", "N_KABINETI", "N_KLGRUPA", "N_RAJONS"}) ensureDefaultRow(t, false);
        ensureDefaultRow("N_KLIENTS", true);
        for (const char* t : {"N_PRGRUPA", "N_PRECE", "N_USERGROUP", "N_VEIDI"}) ensureDefaultRow(t, false);
    }

    int patient(const QString& surname, const QString& name) {
        return insert("INSERT INTO N_KLIENTS (UZVARDS, VARDS) VALUES (:U, :V)", {{"U", surname}, {"V", name}});
    }

private Q_SLOTS:
    void init() { m_db = testsupport::freshDatabase("schema"); }
    void cleanup() {
        const QString file = m_db->connectionString();
        m_db.reset();
        QFile::remove(file);
    }

    void installationRowExistsOnce() {
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM N_ISI").toInt(), 1);
        QCOMPARE(m_db->scalar("SELECT PVN_LIKME FROM N_ISI").toInt(), 21);
    }

    // Text arrives as UTF-8 and is stored in the database's WIN1257, one byte a letter, in columns
    // and text blobs alike, so that other tools and UPPER/collation see real Latvian letters.
    void textIsStoredInTheDatabaseCharacterSet() {
        m_db->exec("UPDATE N_ISI SET SVETKI_TXT = :T, ORGNOS = :T", {{"T", QStringLiteral("āčēŽ")}});
        const db::ResultSet rs = m_db->select("SELECT OCTET_LENGTH(ORGNOS), OCTET_LENGTH(SVETKI_TXT), "
                                              "UPPER(CAST(SVETKI_TXT AS VARCHAR(20))) FROM N_ISI");
        QCOMPARE(rs.value(0, 0).toInt(), 4);
        QCOMPARE(rs.value(0, 1).toInt(), 4);
        QCOMPARE(rs.value(0, 2).toString(), QStringLiteral("ĀČĒŽ"));
    }

    void everyNamedGeneratorExists() {
        for (const char* g : {"N_AGENTSGEN", "N_BANKAGEN", "N_KABINETIGEN", "N_KLGRUPAGEN", "N_KLIENTSGEN",
                              "N_PRECEGEN", "N_PRGRUPAGEN", "N_RAJONSGEN", "N_SVETKIGEN", "N_USERGROUPGEN",
                              "N_VEIDIGEN", "O_APMAKS_HDGEN", "O_KONSULTACIJA_HDGEN", "O_KONSULT_PIET_HDGEN",
                              "O_LOGONGEN", "O_PAVOUT_HDGEN"})
            QVERIFY2(m_db->scalar(QString("SELECT GEN_ID(%1,0) ISN FROM N_ISI").arg(g)).isValid(), g);
    }

    void defaultRowMovesToKeyOne() {
        // The row went missing and a real bank was added since: the generator is past 1.
        m_db->exec("DELETE FROM N_BANKA");
        insert("INSERT INTO N_BANKA (GNOS) VALUES ('Luminor')");
        defaultRows();
        defaultRows();  // a second run creates nothing
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM N_BANKA").toInt(), 2);
        QCOMPARE(m_db->scalar("SELECT GNOS FROM N_BANKA WHERE ISN=1").toString(), QStringLiteral("Nav noteikts"));
        QCOMPARE(m_db->scalar("SELECT UZVARDS FROM N_KLIENTS WHERE ISN=1").toString(), QStringLiteral("Noteikts"));
        // Day-lock rows are inserted with ISN 1 every time; each gets a key of its own.
        for (int d = 1; d <= 3; ++d)
            m_db->exec("INSERT INTO O_DIENAS (ISN, DATUMS, FLAG) VALUES (1,:DATUMS,'F')", {{"DATUMS", QDate(2026, 1, d)}});
        QCOMPARE(m_db->scalar("SELECT COUNT(DISTINCT ISN) FROM O_DIENAS").toInt(), 3);
    }

    // The SQL forms the windows rely on, each with the answer it must give.
    void sqlForms_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");  // first column of every row, joined with "|"
        QTest::newRow("CONTAINING") << "SELECT VARDS FROM N_KLIENTS WHERE UPPER(UZVARDS) CONTAINING 'ĒRZ' ORDER BY VARDS" << "Ilze";
        QTest::newRow("STARTING WITH on upper") << "SELECT VARDS FROM N_KLIENTS WHERE UPPER(UZVARDS) STARTING WITH 'ŠĶ'" << "Ņina";
        QTest::newRow("UPPER of Latvian letters") << "SELECT UPPER(VARDS) FROM N_KLIENTS WHERE UZVARDS = 'Šķēle'" << "ŅINA";
        QTest::newRow("GEN_ID read") << "SELECT GEN_ID(N_KLIENTSGEN,0) MAX_VALUE FROM N_ISI" << "4";
        QTest::newRow("FIRST") << "SELECT FIRST 1 VARDS FROM N_KLIENTS ORDER BY ISN DESCENDING" << "Ņina";
        QTest::newRow("UNION with constant columns")
            << "SELECT 1 FLAG, ISN FROM N_KLIENTS WHERE UZVARDS = 'Bērziņa' UNION "
               "SELECT 2 FLAG, ISN FROM N_KLIENTS WHERE VARDS STARTING WITH 'Ņ' ORDER BY 1, 2" << "1|2";
        QTest::newRow("UNION keys") << "SELECT ISN FROM (SELECT 1 FLAG, ISN FROM N_KLIENTS WHERE UZVARDS = 'Bērziņa' UNION "
               "SELECT 2 FLAG, ISN FROM N_KLIENTS WHERE VARDS STARTING WITH 'Ņ') ORDER BY FLAG" << "2|4";
        QTest::newRow("concatenation") << "SELECT UZVARDS || ', ' || VARDS FROM N_KLIENTS WHERE ISN = 2" << "Bērziņa, Ilze";
        QTest::newRow("date literal") << "SELECT COUNT(*) FROM N_KLIENTS WHERE DZIM_DAT > '01.01.1996'" << "1";
        QTest::newRow("ORDER BY 1 DESCENDING") << "SELECT VARDS FROM N_KLIENTS WHERE ISN > 1 ORDER BY 1 DESCENDING" << "Ņina|Jānis|Ilze";
        QTest::newRow("Latvian sort order") << "SELECT UZVARDS FROM N_KLIENTS WHERE ISN>1 ORDER BY UZVARDS" << "Bērziņa|Šķēle|Zariņš";
        QTest::newRow("soft-delete filter") << "SELECT COUNT(*) FROM O_ARSTPLANS WHERE O_ARSTPLANS.DZESTS IS NULL OR O_ARSTPLANS.DZESTS=0" << "0";
    }
    void sqlForms() {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        patient("Bērziņa", "Ilze");
        insert("INSERT INTO N_KLIENTS (UZVARDS, VARDS, DZIM_DAT) VALUES ('Zariņš', 'Jānis', '15.06.1998')");
        patient("Šķēle", "Ņina");
        const db::ResultSet rs = m_db->select(sql);
        QStringList got;
        for (int r = 0; r < rs.rowCount(); ++r) got << rs.value(r, 0).toString();
        QCOMPARE(got.join("|"), expected);
    }

    void surnameSearchUsesTheIndex() {
        db::Statement st(m_db->defaultTransaction(),
                         "SELECT ISN FROM N_KLIENTS WHERE UPPER(UZVARDS) STARTING WITH :S");
        QVERIFY2(st.plan().contains("N_KLIENTS_UPPER_UZVARDS"), qPrintable(st.plan()));
    }

    void invoiceTotalsFollowTheLines() {
        defaultRows();
        const int klients = patient("Liepa", "Anna");
        const int prece = insert("INSERT INTO N_PRECE (GNOS, PARDCENA1, NODOKLIS) VALUES ('Plombe', 60.5, 21)");
        const int hd = insert("INSERT INTO O_PAVOUT_HD (ISKLIENTS, DATUMS, NUMURS) VALUES (:K, CURRENT_DATE, '1')", {{"K", klients}});
        auto totals = [&]() {
            const db::ResultSet rs = m_db->select("SELECT KOPSUMMA, BEZPVNSUMMA, PVNSUMMA, APMAKS_SUM FROM O_PAVOUT_HD WHERE ISN=:ISN", {{"ISN", hd}});
            return QList<double>{rs.value(0, 0).toDouble(), rs.value(0, 1).toDouble(), rs.value(0, 2).toDouble()};
        };
        QCOMPARE(m_db->scalar("SELECT APMAKS_SUM FROM O_PAVOUT_HD WHERE ISN=:ISN", {{"ISN", hd}}).toDouble(), 0.0);
        const QString line = "INSERT INTO O_PAVOUT_DT (ISPAVOUTHD, ISPRECE, CENA, DAUDZUMS, ATLAIDE, NODOKLIS) "
                             "VALUES (:H, :P, :C, :D, :A, :N)";
        const int l1 = insert(line, {{"H", hd}, {"P", prece}, {"C", 50.0}, {"D", 2.0}, {"A", -10.0}, {"N", 21.0}});
        QList<double> t = totals();  // 50*2*0.9 = 90 without VAT, 108.9 with
        QVERIFY(qAbs(t[0] - 108.9) < 1e-9 && qAbs(t[1] - 90.0) < 1e-9 && qAbs(t[2] - 18.9) < 1e-9);
        const int l2 = insert(line, {{"H", hd}, {"P", prece}, {"C", 10.0}, {"D", 1.0}, {"A", QVariant()}, {"N", 0.0}});
        t = totals();
        QVERIFY(qAbs(t[0] - 118.9) < 1e-9 && qAbs(t[1] - 100.0) < 1e-9);
        m_db->exec("UPDATE O_PAVOUT_DT SET DAUDZUMS = 3 WHERE ISN = :ISN", {{"ISN", l2}});
        t = totals();
        QVERIFY(qAbs(t[0] - 138.9) < 1e-9 && qAbs(t[2] - 18.9) < 1e-9);
        m_db->exec("DELETE FROM O_PAVOUT_DT WHERE ISN = :ISN", {{"ISN", l1}});
        t = totals();
        QVERIFY(qAbs(t[0] - 30.0) < 1e-9 && qAbs(t[1] - 30.0) < 1e-9 && qAbs(t[2]) < 1e-9);
        // A line moved to another invoice leaves both headers right.
        const int hd2 = insert("INSERT INTO O_PAVOUT_HD (ISKLIENTS, DATUMS, NUMURS) VALUES (:K, CURRENT_DATE, '2')", {{"K", klients}});
        m_db->exec("UPDATE O_PAVOUT_DT SET ISPAVOUTHD = :H WHERE ISN = :ISN", {{"H", hd2}, {"ISN", l2}});
        QCOMPARE(totals()[0], 0.0);
        QCOMPARE(m_db->scalar("SELECT KOPSUMMA FROM O_PAVOUT_HD WHERE ISN=:ISN", {{"ISN", hd2}}).toDouble(), 30.0);
    }

    void priceGroupViewWritesThroughToTheTree() {
        const int top = insert("INSERT INTO N_PRGRUPA (GNOS, ISPARENT) VALUES ('Terapija', 0)");
        const int child = insert("INSERT INTO N_PRGRUPA (GNOS, ISPARENT) VALUES ('Plombes', 0)");
        QCOMPARE(m_db->exec("UPDATE N_PRGRUP SET ISPARENT=:ISPARENT WHERE ISN=:ISN", {{"ISPARENT", top}, {"ISN", child}}), 1);
        m_db->exec("UPDATE N_PRGRUP SET GNOS=:GNOS WHERE ISN=:ISN", {{"GNOS", "Plombēšana"}, {"ISN", child}});
        const db::ResultSet rs = m_db->select("SELECT ISPARENT, GNOS FROM N_PRGRUPA WHERE ISN=:ISN", {{"ISN", child}});
        QCOMPARE(rs.value(0, 0).toInt(), top);
        QCOMPARE(rs.value(0, 1).toString(), QStringLiteral("Plombēšana"));
    }

    // Deletes of rows that documents still use are refused by the database, and the row stays.
    void referencedRowsCannotBeDeleted_data() {
        QTest::addColumn<QString>("table");
        QTest::newRow("patient with an appointment") << "N_KLIENTS";
        QTest::newRow("specialist with an appointment") << "N_AGENTS";
        QTest::newRow("room with an appointment") << "N_KABINETI";
        QTest::newRow("price group with items") << "N_PRGRUPA";
        QTest::newRow("item on an invoice line") << "N_PRECE";
        QTest::newRow("invoice with lines") << "O_PAVOUT_HD";
        QTest::newRow("payment with allocations") << "O_APMAKS_HD";
        QTest::newRow("consultation with treatment lines") << "O_KONSULTACIJA_HD";
    }
    void referencedRowsCannotBeDeleted() {
        QFETCH(QString, table);
        defaultRows();
        QHash<QString, int> key;
        key["N_KLIENTS"] = patient("Kalniņa", "Laura");
        key["N_AGENTS"] = insert("INSERT INTO N_AGENTS (UZVARDS, VARDS) VALUES ('Ozols', 'Pēteris')");
        key["N_KABINETI"] = insert("INSERT INTO N_KABINETI (GNOS) VALUES ('2. kabinets')");
        key["N_PRGRUPA"] = insert("INSERT INTO N_PRGRUPA (GNOS, ISPARENT) VALUES ('Higiēna', 0)");
        key["N_PRECE"] = insert("INSERT INTO N_PRECE (GNOS, ISPRGRUPA) VALUES ('Zobakmens noņemšana', :G)", {{"G", key["N_PRGRUPA"]}});
        insert("INSERT INTO O_KONSULT_PIET_HD (NUMURS, DATUMS, ISKLIENTS, ISIZPILDITAJS, ISKABINETS) "
               "VALUES ('         1', CURRENT_TIMESTAMP, :K, :A, :R)",
               {{"K", key["N_KLIENTS"]}, {"A", key["N_AGENTS"]}, {"R", key["N_KABINETI"]}});
        key["O_KONSULTACIJA_HD"] = insert("INSERT INTO O_KONSULTACIJA_HD (NUMURS, DATUMS, ISKLIENTS) VALUES ('1', CURRENT_DATE, :K)", {{"K", key["N_KLIENTS"]}});
        const int arst = insert("INSERT INTO O_ARSTESANA_DT (ISKONSULTACIJAHD, ISPRECE, CENA, DAUDZUMS) VALUES (:H, :P, 40, 1)",
                                {{"H", key["O_KONSULTACIJA_HD"]}, {"P", key["N_PRECE"]}});
        key["O_PAVOUT_HD"] = insert("INSERT INTO O_PAVOUT_HD (ISKLIENTS, DATUMS, NUMURS) VALUES (:K, CURRENT_DATE, '1_1')", {{"K", key["N_KLIENTS"]}});
        insert("INSERT INTO O_PAVOUT_DT (ISPAVOUTHD, ISPRECE, ISARSTESANA, CENA, DAUDZUMS, NODOKLIS) VALUES (:H, :P, :A, 40, 1, 0)",
               {{"H", key["O_PAVOUT_HD"]}, {"P", key["N_PRECE"]}, {"A", arst}});
        key["O_APMAKS_HD"] = insert("INSERT INTO O_APMAKS_HD (ISKLIENTS, DATUMS, SUMMA) VALUES (:K, CURRENT_DATE, 40)", {{"K", key["N_KLIENTS"]}});
        insert("INSERT INTO O_APMAKS_DT (ISAPMAKSHD, ISPAVOUTHD, SUMMA) VALUES (:A, :H, 40)",
               {{"A", key["O_APMAKS_HD"]}, {"H", key["O_PAVOUT_HD"]}});
        m_db->commitRetaining();

        try {
            m_db->exec("DELETE FROM " + table + " WHERE ISN = :ISN", {{"ISN", key[table]}});
            QFAIL("the database deleted a row that is still in use");
        } catch (const DbError& e) {
            QVERIFY2(e.message().contains("FOREIGN KEY", Qt::CaseInsensitive), qPrintable(e.message()));
        }
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM " + table + " WHERE ISN = :ISN", {{"ISN", key[table]}}).toInt(), 1);
    }

    void requestNumbersAreUnique() {
        const QString sql = "INSERT INTO O_KONSULT_PIET_HD (NUMURS, DATUMS) VALUES ('        17', CURRENT_TIMESTAMP)";
        m_db->exec(sql);
        QVERIFY_THROWS_EXCEPTION(DbError, m_db->exec(sql));
    }

    void creatingOverAnExistingFileIsRefused() {
        const QString path = testsupport::freshDatabaseFile("exists");
        const qint64 size = QFileInfo(path).size();
        try {
            db::Database::create(path, db::Database::schemaScript());
            QFAIL("an existing database was overwritten");
        } catch (const DbError& e) {
            QVERIFY2(e.message().contains(path), qPrintable(e.message()));
        }
        QCOMPARE(QFileInfo(path).size(), size);
        QFile::remove(path);
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
