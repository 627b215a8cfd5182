// After log-on ADMIN is told what the database's structure lacks, with the command that restores
// it; other users are not.
#include "TestDatabase.h"
#include "app/SchemaWarning.h"
#include "app/SharedProcedures.h"
#include "app/TMainFormDati.h"
#include "app/UserNameCodec.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QtTest>

class TestSchemaWarning : public QObject {
    Q_OBJECT

    // The texts of the message boxes the action shows, each answered with its first button.
    static QStringList boxesShownBy(const std::function<void()>& action) {
        QStringList seen;
        QTimer timer;
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen << box->text();
                box->buttons().value(0)->click();
            }
        });
        timer.start();
        action();
        return seen;
    }

private Q_SLOTS:
    void initTestCase() { testsupport::isolateSettings(); }

    void onlyAdminIsTold_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QStringList>("breaks");
        QTest::addColumn<QStringList>("told");  // what the box names; empty: no box
        const QStringList broken{"ALTER TABLE O_KONSULTACIJA_HD DROP CONSTRAINT FK_O_KONSULTACIJA_HD_ISKLIENTS",
                                 "ALTER INDEX O_KONSULTACIJA_HD_NUMURS INACTIVE",
                                 "ALTER TRIGGER O_PAVOUT_DT_TOTALS INACTIVE"};
        QTest::newRow("ADMIN, whole database") << "ADMIN" << QStringList() << QStringList();
        QTest::newRow("ADMIN, key, unique index and trigger gone")
            << "ADMIN" << broken
            << QStringList{"trūkst ārējās atslēgas FK_O_KONSULTACIJA_HD_ISKLIENTS",
                           "unikālais indekss O_KONSULTACIJA_HD_NUMURS (tabula O_KONSULTACIJA_HD) nav aktīvs",
                           "trigeris O_PAVOUT_DT_TOTALS (tabula O_PAVOUT_DT) nav aktīvs"};
        QTest::newRow("a doctor is not bothered") << "ARSTS" << broken << QStringList();
    }
    void onlyAdminIsTold() {
        QFETCH(QString, user);
        QFETCH(QStringList, breaks);
        QFETCH(QStringList, told);
        const QString path = testsupport::freshDatabaseFile(QStringLiteral("warning"));
        {
            auto d = testsupport::open(path);
            app::EnsureDefaultRows(d->defaultTransaction());
            for (const char* name : {"ADMIN", "ARSTS"})
                d->exec("INSERT INTO N_USERS (GNOS, ISUSERGROUP) VALUES (:G, 1)", {{"G", app::EncodeUserName(name)}});
            d->commitRetaining();
            for (const QString& sql : breaks) d->executeImmediate(sql);
        }
        {
            app::TMainFormDati dati(testsupport::open(path));
            QVERIFY(dati.authenticate(user, QString()).ok());
            const QStringList seen = boxesShownBy([&] { app::WarnAdminOfSchemaProblems(dati); });
            if (told.isEmpty()) {
                QVERIFY2(seen.isEmpty(), qPrintable(seen.join("\n")));
            } else {
                QCOMPARE(seen.size(), 1);
                for (const QString& t : told) QVERIFY2(seen[0].contains(t), qPrintable(seen[0]));
                QVERIFY2(seen[0].contains("molarix-admin check-db " + path + " --repair"), qPrintable(seen[0]));
            }
        }
        QFile::remove(path);
    }
};

QTEST_MAIN(TestSchemaWarning)
#include "tst_schemawarning.moc"
