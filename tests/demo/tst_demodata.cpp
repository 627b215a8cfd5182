// The demo clinic generated into a test database keeps the invariants that the windows rely on.
#include "TestDatabase.h"
#include "demo/DemoData.h"

#include <QRegularExpression>
#include <QtTest>

class TestDemoData : public QObject {
    Q_OBJECT
    std::unique_ptr<db::Database> m_db;
    QString m_file;

    int count(const QString& sql) { return m_db->scalar(sql).toInt(); }

private Q_SLOTS:
    void initTestCase() {
        m_file = testsupport::freshDatabaseFile("demo");
        m_db = testsupport::open(m_file);
        demo::DemoDataGenerator gen(*m_db, demo::Scale::Demo, 7, QDate(2026, 12, 6));
        gen.run();
    }
    void cleanupTestCase() {
        m_db.reset();
        QFile::remove(m_file);
    }

    void reachesTheDemoSizes() {
        const demo::Sizes s = demo::sizesFor(demo::Scale::Demo);
        QCOMPARE(count("SELECT COUNT(*) FROM N_KLIENTS WHERE ISN > 1"), s.patients);
        QCOMPARE(count("SELECT COUNT(*) FROM O_KONSULT_PIET_HD"), s.appointments);
        QVERIFY(count("SELECT COUNT(*) FROM O_KONSULTACIJA_HD") > s.consultations * 9 / 10);
        QVERIFY(count("SELECT COUNT(*) FROM O_PAVOUT_HD") > s.invoices * 8 / 10);
        QVERIFY(count("SELECT COUNT(*) FROM O_APMAKS_HD") > s.payments * 7 / 10);
        QVERIFY(count("SELECT COUNT(*) FROM N_PRECE WHERE ISN > 1") >= 190);
        QCOMPARE(count("SELECT COUNT(*) FROM N_AGENTS WHERE ISN > 1"), 10);
        QCOMPARE(count("SELECT COUNT(*) FROM N_KABINETI WHERE ISN > 1"), 6);
        QCOMPARE(count("SELECT COUNT(*) FROM N_VEIDI WHERE ISN > 1"), 12);
    }

    void refusesADatabaseThatIsNotEmpty() {
        demo::DemoDataGenerator again(*m_db, demo::Scale::Demo, 7);
        QVERIFY_THROWS_EXCEPTION(db::DbError, again.run());
    }

    // References that the schema does not enforce with a foreign key still resolve.
    void everyReferenceResolves_data() {
        QTest::addColumn<QString>("sql");
        QTest::newRow("treatment line to plan line")
            << "SELECT COUNT(*) FROM O_ARSTESANA_DT T WHERE T.ISARSTPLANS IS NOT NULL AND NOT EXISTS "
               "(SELECT 1 FROM O_ARSTPLANS P WHERE P.ISN = T.ISARSTPLANS AND P.ISKONSULTACIJAHD = T.ISKONSULTACIJAHD)";
        QTest::newRow("invoice line to its consultation's patient")
            << "SELECT COUNT(*) FROM O_PAVOUT_DT D JOIN O_PAVOUT_HD H ON H.ISN = D.ISPAVOUTHD "
               "JOIN O_ARSTESANA_DT T ON T.ISN = D.ISARSTESANA JOIN O_KONSULTACIJA_HD K ON K.ISN = T.ISKONSULTACIJAHD "
               "WHERE K.ISKLIENTS <> H.ISKLIENTS";
        QTest::newRow("allocation to another patient's invoice")
            << "SELECT COUNT(*) FROM O_APMAKS_DT D JOIN O_APMAKS_HD A ON A.ISN = D.ISAPMAKSHD "
               "JOIN O_PAVOUT_HD H ON H.ISN = D.ISPAVOUTHD WHERE A.ISKLIENTS <> H.ISKLIENTS";
        QTest::newRow("price group parent") << "SELECT COUNT(*) FROM N_PRGRUPA G WHERE G.ISPARENT > 0 AND NOT EXISTS "
                                               "(SELECT 1 FROM N_PRGRUPA P WHERE P.ISN = G.ISPARENT)";
        QTest::newRow("user group and staff") << "SELECT COUNT(*) FROM N_USERS U WHERE NOT EXISTS "
                                                 "(SELECT 1 FROM N_USERGROUP G WHERE G.ISN = U.ISUSERGROUP)";
        QTest::newRow("journal rows") << "SELECT COUNT(*) FROM O_OPERACIJAS J WHERE J.BAZE = 'O_PAVOUT_HD' AND NOT EXISTS "
                                         "(SELECT 1 FROM O_PAVOUT_HD H WHERE H.ISN = J.ISN_BAZE)";
        QTest::newRow("consultation from request") << "SELECT COUNT(*) FROM O_KONSULTACIJA_HD K JOIN O_KONSULT_PIET_HD R "
                                                      "ON R.ISN = K.ISKONSULTPIET WHERE K.NUMURS <> TRIM(R.NUMURS) || '-1' "
                                                      "OR R.ISKLIENTS <> K.ISKLIENTS OR R.DZESTS = 1";
        QTest::newRow("invoice numbers from consultations")
            << "SELECT COUNT(*) FROM O_PAVOUT_HD H WHERE NOT EXISTS (SELECT 1 FROM O_PAVOUT_DT D JOIN O_ARSTESANA_DT T "
               "ON T.ISN = D.ISARSTESANA JOIN O_KONSULTACIJA_HD K ON K.ISN = T.ISKONSULTACIJAHD "
               "WHERE D.ISPAVOUTHD = H.ISN AND H.NUMURS = K.NUMURS || '_1')";
    }
    void everyReferenceResolves() {
        QFETCH(QString, sql);
        QCOMPARE(count(sql), 0);
    }

    // What the database keeps and what the payment register keeps agree.
    void moneyAddsUp_data() {
        QTest::addColumn<QString>("sql");
        QTest::newRow("invoice totals equal their lines")
            << "SELECT COUNT(*) FROM O_PAVOUT_HD H WHERE ABS(H.KOPSUMMA - (SELECT SUM(D.CENA*D.DAUDZUMS*(1+D.ATLAIDE/100.00)"
               "*(1+D.NODOKLIS/100.00)) FROM O_PAVOUT_DT D WHERE D.ISPAVOUTHD = H.ISN)) > 0.000001 "
               "OR ABS(H.KOPSUMMA - H.BEZPVNSUMMA - H.PVNSUMMA) > 0.000001";
        QTest::newRow("paid sum equals allocations")
            << "SELECT COUNT(*) FROM O_PAVOUT_HD H WHERE ABS(H.APMAKS_SUM - COALESCE((SELECT SUM(D.SUMMA) FROM O_APMAKS_DT D "
               "WHERE D.ISPAVOUTHD = H.ISN), 0)) > 0.000001";
        QTest::newRow("payment sum equals allocations")
            << "SELECT COUNT(*) FROM O_APMAKS_HD A WHERE ABS(A.SUMMA - COALESCE((SELECT SUM(D.SUMMA) FROM O_APMAKS_DT D "
               "WHERE D.ISAPMAKSHD = A.ISN), 0)) > 0.000001";
        QTest::newRow("no invoice overpaid") << "SELECT COUNT(*) FROM O_PAVOUT_HD WHERE APMAKS_SUM - KOPSUMMA >= 0.005";
        QTest::newRow("no negative overpayment") << "SELECT COUNT(*) FROM O_APMAKS_HD WHERE PARPALIKUMS < -0.000001";
        QTest::newRow("overpayment only when nothing left open")
            << "SELECT COUNT(*) FROM O_APMAKS_HD A WHERE A.PARPALIKUMS >= 0.01 AND EXISTS (SELECT 1 FROM O_PAVOUT_HD H "
               "WHERE H.ISKLIENTS = A.ISKLIENTS AND H.DATUMS <= A.DATUMS AND H.KOPSUMMA - H.APMAKS_SUM >= 0.005 "
               "AND NOT EXISTS (SELECT 1 FROM O_APMAKS_HD L WHERE L.ISKLIENTS = A.ISKLIENTS AND L.ISN > A.ISN))";
    }
    void moneyAddsUp() {
        QFETCH(QString, sql);
        QCOMPARE(count(sql), 0);
    }

    void someOfEverythingTheWindowsShow() {
        QVERIFY(count("SELECT COUNT(*) FROM O_KONSULT_PIET_HD WHERE DZESTS = 1") > 0);
        QVERIFY(count("SELECT COUNT(*) FROM O_KONSULT_PIET_HD WHERE PIRMS_DATUMA = 1 AND PLAN_DAT > '06.12.2026'") > 0);
        QVERIFY(count("SELECT COUNT(*) FROM O_KONSULTACIJA_HD WHERE NUMURS NOT CONTAINING '-'") > 0);
        QVERIFY(count("SELECT COUNT(*) FROM O_APMAKS_HD WHERE PARPALIKUMS >= 0.01") > 0);
        QVERIFY(count("SELECT COUNT(*) FROM O_PAVOUT_HD WHERE KOPSUMMA - APMAKS_SUM >= 0.005") > 0);
        QVERIFY(count("SELECT COUNT(*) FROM N_PRECE WHERE PIEVPRECES IS NOT NULL") > 0);
        QVERIFY(count("SELECT COUNT(*) FROM N_PRECE WHERE NODOKLIS = 21") > 0);
        QVERIFY(count("SELECT COUNT(*) FROM N_PRECE WHERE FIRST_NOTIF > 0") > 0);
        QVERIFY(count("SELECT COUNT(*) FROM N_AGENTS WHERE NESTRADA_DIENAS IS NOT NULL") > 0);
        QVERIFY(count("SELECT COUNT(*) FROM O_DIENAS WHERE FLAG = 'T'") > 0);
        QVERIFY(count("SELECT COUNT(*) FROM N_USERS") >= 4);
    }

    void numbersAndTextsFollowTheirStoredFormats() {
        auto all = [&](const QString& sql) {
            QStringList v;
            const db::ResultSet rs = m_db->select(sql);
            for (int r = 0; r < rs.rowCount(); ++r) v << rs.value(r, 0).toString();
            return v;
        };
        const QRegularExpression chart(R"(^((\d|[12]\d|3[01])\+(st[^+|]+|kz[0-4][^+|]+|kf[0-4][^+|]+|el[0-2]\d+|sk[0-2][^+|]+)\|)*$)");
        for (const QString& s : all("SELECT ZOBU_KARTE FROM O_KONSULTACIJA_HD"))
            QVERIFY2(chart.match(s).hasMatch(), qPrintable(s));
        const QRegularExpression perio(R"(^(([1-4][1-8])_\d\|)*$)");
        for (const QString& s : all("SELECT KABATAS || KUSTIGUMS || APLIKUMS || ZOBAKMENS || ZOBUFORMULA FROM O_KONSULTACIJA_HD"))
            QVERIFY2(perio.match(s).hasMatch(), qPrintable(s));
        const QRegularExpression request(R"(^ *[1-9]\d*$)");
        for (const QString& s : all("SELECT NUMURS FROM O_KONSULT_PIET_HD")) {
            QCOMPARE(s.size(), 20);
            QVERIFY2(request.match(s).hasMatch(), qPrintable(s));
        }
        const QRegularExpression busy(R"(^((\d\d\.\d\d\.\d{4}|[1-7]|VISI)\|(VISI|\d\d:\d\d-\d\d:\d\d)\|\r\n)*$)");
        for (const QString& s : all("SELECT COALESCE(NESTRADA_DATUMS, '') || COALESCE(NESTRADA_DIENAS, '') FROM N_AGENTS"))
            QVERIFY2(busy.match(s).hasMatch(), qPrintable(s));
        const QRegularExpression code(R"(^\d{6}-[0-2]\d{4}$)");
        const db::ResultSet rs = m_db->select("SELECT PERS_KODS, DZIM_DAT FROM N_KLIENTS WHERE PERS_KODS IS NOT NULL");
        for (int r = 0; r < rs.rowCount(); ++r) {
            const QString pk = rs.value(r, 0).toString();
            QVERIFY2(code.match(pk).hasMatch(), qPrintable(pk));
            QCOMPARE(pk.left(6), rs.value(r, 1).toDateTime().date().toString("ddMMyy"));
        }
        QCOMPARE(count("SELECT COUNT(*) FROM (SELECT NUMURS FROM O_PAVOUT_HD GROUP BY NUMURS HAVING COUNT(*) > 1)"), 0);
    }

    void sameSeedSameClinic() {
        auto fingerprint = [](db::Database& d) {
            return d.select("SELECT COUNT(*), SUM(KOPSUMMA), MAX(NUMURS) FROM O_PAVOUT_HD").row(0);
        };
        const QString file = testsupport::freshDatabaseFile("demo2");
        {
            auto other = testsupport::open(file);
            demo::DemoDataGenerator(*other, demo::Scale::Demo, 7, QDate(2026, 12, 6)).run();
            QCOMPARE(fingerprint(*other), fingerprint(*m_db));
        }
        QFile::remove(file);
    }
};

QTEST_GUILESS_MAIN(TestDemoData)
#include "tst_demodata.moc"
