// Statement text handling that never needs a server: named parameters and script splitting.
#include "models/ResultTableModel.h"
#include "db/SqlText.h"

#include <QtTest>

class TestSqlText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void positional_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("plain") << "SELECT * FROM T WHERE ISN=:ISN" << "SELECT * FROM T WHERE ISN=?"
                               << QStringList{"ISN"};
        QTest::newRow("repeated, mixed case")
            << "WHERE A CONTAINING :Telefons OR B CONTAINING :TELEFONS"
            << "WHERE A CONTAINING ? OR B CONTAINING ?" << QStringList{"TELEFONS", "TELEFONS"};
        QTest::newRow("inside quotes is text") << "SELECT ':X', \":Y\" FROM T WHERE A=:A"
                                               << "SELECT ':X', \":Y\" FROM T WHERE A=?" << QStringList{"A"};
        QTest::newRow("escaped quote") << "WHERE A='it''s :not' AND B=:B" << "WHERE A='it''s :not' AND B=?"
                                       << QStringList{"B"};
        QTest::newRow("comments") << "SELECT 1 -- :no\nFROM T /* :nor */ WHERE X=:x_1"
                                  << "SELECT 1 -- :no\nFROM T /* :nor */ WHERE X=?" << QStringList{"X_1"};
        QTest::newRow("time literal is not a parameter") << "SELECT '12:30' FROM N_ISI"
                                                         << "SELECT '12:30' FROM N_ISI" << QStringList{};
        QTest::newRow("Latvian text around") << "WHERE GNOS='Ārsts:' AND ISN=:ISN"
                                             << "WHERE GNOS='Ārsts:' AND ISN=?" << QStringList{"ISN"};
    }
    void positional() {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QFETCH(QStringList, names);
        const db::PositionalSql p = db::toPositional(sql);
        QCOMPARE(p.sql, expected);
        QCOMPARE(p.names, names);
    }

    void splitScript() {
        const QString script = QStringLiteral(
            "-- a comment; with a semicolon\n"
            "CREATE TABLE A (X VARCHAR(10) DEFAULT ';');\n"
            "SET TERM ^ ;\n"
            "CREATE TRIGGER T FOR A BEFORE INSERT AS BEGIN NEW.X = 'a;b'; END^\n"
            "SET TERM ; ^\n"
            "/* block; comment */ INSERT INTO A VALUES ('x');\n");
        const QStringList st = db::splitScript(script);
        QCOMPARE(st.size(), 3);
        QCOMPARE(st[0], QStringLiteral("CREATE TABLE A (X VARCHAR(10) DEFAULT ';')"));
        QCOMPARE(st[1], QStringLiteral("CREATE TRIGGER T FOR A BEFORE INSERT AS BEGIN NEW.X = 'a;b'; END"));
        QCOMPARE(st[2], QStringLiteral("INSERT INTO A VALUES ('x')"));
    }

    void formatValue_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two decimals") << QVariant(12.345) << "0.00" << "12.35";
        QTest::newRow("money thousands") << QVariant(1234.5) << "#,##0.00" << "1234.50";
        QTest::newRow("printf") << QVariant(3.14159) << "%10.2f" << "      3.14";
        QTest::newRow("date") << QVariant(QDate(2026, 3, 9)) << "dd.MM.yyyy" << "09.03.2026";
        QTest::newRow("timestamp as date") << QVariant(QDateTime(QDate(2026, 3, 9), QTime(0, 0))) << ""
                                           << "09.03.2026";
        QTest::newRow("null") << QVariant() << "0.00" << "";
        QTest::newRow("text untouched") << QVariant(QStringLiteral("Ābele")) << "" << "Ābele";
    }
    void formatValue() {
        QFETCH(QVariant, value);
        QFETCH(QString, format);
        QFETCH(QString, expected);
        QCOMPARE(models::formatValue(value, format), expected);
    }

    void modelShowsFieldsFormatsAndCalculatedColumns() {
        db::ResultSet rs(QStringList{"ISN", "GNOS", "CENA"});
        rs.append({1, QStringLiteral("Plombe"), 10.0});
        rs.append({7, QStringLiteral("Kronis"), 250.5});
        models::ResultTableModel model;
        model.setColumns({{"GNOS", "Nosaukums", "", {}},
                          {"CENA", "Cena", "0.00", {}},
                          {"", "Ar PVN", "0.00",
                           [](const db::ResultSet& r, int row) { return r.value(row, "CENA").toDouble() * 1.21; }}});
        model.setRows(rs);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Cena"));
        QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("Kronis"));
        QCOMPARE(model.index(1, 1).data().toString(), QStringLiteral("250.50"));
        QCOMPARE(model.index(0, 2).data().toString(), QStringLiteral("12.10"));
        QCOMPARE(model.findRow(7), 1);
        QCOMPARE(model.findRow(99), -1);
    }
};

QTEST_GUILESS_MAIN(TestSqlText)
#include "tst_sqltext.moc"
