// molarix-admin run as a separate program, as a clinic runs it: report rendering from CSV, the
// name-day import, passwords and new databases.
#include "TestDatabase.h"
#include "db/DatabaseCharset.h"
#include "app/PasswordDigest.h"
#include "app/SharedProcedures.h"
#include "app/UserNameCodec.h"

#include <QDir>
#include <QProcess>
#include <QUuid>
#include <QtTest>

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run admin(const QStringList& args, const QByteArray& input = {}, const QString& home = {},
          const QString& workingDirectory = {}) {
    QProcess p;
    if (!home.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        p.setProcessEnvironment(env);
    }
    if (!workingDirectory.isEmpty()) p.setWorkingDirectory(workingDirectory);
    p.start(QStringLiteral(MOLARIX_ADMIN), args);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(120000)) p.kill();
    Run r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// A fresh folder of this run's scratch space.
QString scratchFolder(const QString& tag) {
    const QString dir =
        testsupport::scratchDir() + u'/' + tag + u'-' + QUuid::createUuid().toString(QUuid::Id128).left(8);
    QDir().mkpath(dir);
    return dir;
}

QString writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", qPrintable(path));
    f.write(content);
    return path;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A layout whose master band prints every column of the sample layout's CSV export under its
// own title, with the export's formats: rendering that export again must give it back unchanged.
const char* EchoLayout = R"(<report name="Atbalss">
  <master-data height="5">
    <text x="0" y="0" width="10" height="5" csv-title="Nr.">[Nr.]</text>
    <text x="10" y="0" width="20" height="5" csv-title="Datums">[Datums]</text>
    <text x="30" y="0" width="20" height="5" csv-title="Numurs">[Numurs]</text>
    <text x="50" y="0" width="60" height="5" csv-title="Pakalpojums">[Pakalpojums]</text>
    <text x="110" y="0" width="20" height="5" csv-title="Skaits">[Skaits]</text>
    <text x="130" y="0" width="20" height="5" csv-title="Cena">[Cena|0.00]</text>
    <text x="150" y="0" width="30" height="5" csv-title="Summa">[Summa|%10.2f]</text>
  </master-data>
</report>
)";

}  // namespace

class TestAdmin : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { testsupport::isolateSettings(); }

    // ---- render-report -------------------------------------------------------------------------

    // Quoted fields are read as one field, and what the export writes is read back as it was.
    void renderReportReadsItsOwnCsv() {
        const QString dir = scratchFolder(QStringLiteral("render"));
        const QString data = writeFile(
            dir + QStringLiteral("/dati.csv"),
            QByteArray("DATUMS;NUMURS;ISKLIENTS;KLIENTS;DZIM_DAT;PRECE;DAUDZUMS;CENA;SUMMA\r\n"
                       "02.01.2025;R-001;1;\"Bērziņš; Jānis\";01.01.1980;Zoba plombēšana;2;12.5;25\r\n"
                       "03.01.2025;\"R;002\";1;\"Bērziņš; Jānis\";01.01.1980;\"Kronis "
                       "\"\"Premium\"\"\";1;-12.5;-12.5\r\n"
                       ";R-003;2;Žanis;;\"Higiēna\nun pulēšana\";3;0.1;0.3\r\n"
                       "04.01.2025;R-004;2;Žanis;;=1+2;1;5;5\r\n"));
        const QString first = dir + QStringLiteral("/pirmais.csv");
        Run r = admin({"render-report", "sample", data, first});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const QByteArray expected(
            "Nr.;Datums;Numurs;Pakalpojums;Skaits;Cena;Summa\r\n"
            "1;02.01.2025;R-001;Zoba plombēšana;2;12.50;     25.00\r\n"
            "2;03.01.2025;\"R;002\";\"Kronis \"\"Premium\"\"\";1;-12.50;    -12.50\r\n"
            "3;;R-003;\"Higiēna\nun pulēšana\";3;0.10;      0.30\r\n"
            "4;04.01.2025;R-004;'=1+2;1;5.00;      5.00\r\n");
        QCOMPARE(readFile(first), expected);

        const QString echo = writeFile(dir + QStringLiteral("/atbalss.xml"), EchoLayout);
        const QString second = dir + QStringLiteral("/otrais.csv");
        r = admin({"render-report", echo, first, second});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(readFile(second), expected);
    }

    void renderReportRefuses_data() {
        QTest::addColumn<QByteArray>("layout");  // empty: the built-in sample
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("message");
        const QByteArray header = "DATUMS;NUMURS;ISKLIENTS;KLIENTS;DZIM_DAT;PRECE;DAUDZUMS;CENA;SUMMA\n";
        const QByteArray good = "02.01.2025;R-1;1;Ivo;;Higiēna;1;5;5\n";
        QTest::newRow("quote never closed") << QByteArray() << header + good + "03.01.2025;\"R-2;1;Ivo\n"
                                            << "dati.csv, rinda 3: pēdiņa atvērta, bet nav aizvērta";
        QTest::newRow("a field too many")
            << QByteArray() << header + "02.01.2025;R-1;1;Bērziņš; Jānis;;X;1;5;5\n"
            << "dati.csv, rinda 2: 10 lauki, bet kolonnu ir 9";
        QTest::newRow("a field short") << QByteArray() << header + good + "02.01.2025;R-1\n"
                                       << "dati.csv, rinda 3: 2 lauki, bet kolonnu ir 9";
        const QByteArray layout =
            "<report>\n<master-data height='5'>\n<text x='0' y='0' width='9' height='5'>"
            "[SUMMA|%s]</text>\n</master-data>\n</report>\n";
        QByteArray wide = layout;
        wide.replace("%s", "%999999999.2f");
        QTest::newRow("format of a huge width")
            << wide << header + good << "rinda 3: vietturī [SUMMA|%999999999.2f]";
        QTest::newRow("a layout that is not XML") << QByteArray("Nr.;Datums\n1;02.01.2025\n") << header + good
                                                  << "veidne.xml, rinda 1: fails nav XML";
    }
    void renderReportRefuses() {
        QFETCH(QByteArray, layout);
        QFETCH(QByteArray, data);
        QFETCH(QString, message);
        const QString dir = scratchFolder(QStringLiteral("refuse"));
        const QString layoutArg = layout.isEmpty() ? QStringLiteral("sample")
                                                   : writeFile(dir + QStringLiteral("/veidne.xml"), layout);
        const QString dataPath = writeFile(dir + QStringLiteral("/dati.csv"), data);
        for (const char* out : {"/x.pdf", "/x.csv"}) {
            const Run r = admin({"render-report", layoutArg, dataPath, dir + QLatin1String(out)});
            QCOMPARE(r.code, 1);
            QVERIFY2(r.err.contains(message), qPrintable(r.err));
            QVERIFY(!QFile::exists(dir + QLatin1String(out)));
        }
    }

    // ---- import-namedays -----------------------------------------------------------------------

    void importNamedays_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("reported");
        QTest::addColumn<QStringList>("notReported");
        QTest::newRow("letters the database lacks")
            << QByteArray("01.01;Ivo\n02.01;Иван\n03.01;Zoë Ñora\n04.01;Ģirts\n05.01;Emoji😀\n") << 1
            << QStringList{"rinda 2: vārdā \"Иван\" ir zīmes, ko datu bāze nevar saglabāt (Иван)",
                           "rinda 3: vārdā \"Zoë Ñora\" ir zīmes, ko datu bāze nevar saglabāt (ëÑ)",
                           "rinda 5:", "Kļūdaino rindu skaits: 3. Nekas netika ielādēts."}
            << QStringList{"rinda 1", "rinda 4", "ransliterat"};
        QTest::newRow("Baltic letters")
            << QByteArray("01.01;Ģirts\n02.01;Šarūnas\n03.01;Õnne\n04.01;Ąžuolas\n") << 0 << QStringList{}
            << QStringList{"rinda"};
    }
    void importNamedays() {
        QFETCH(QByteArray, content);
        QFETCH(int, exitCode);
        QFETCH(QStringList, reported);
        QFETCH(QStringList, notReported);
        const QString database = testsupport::freshDatabaseFile(QStringLiteral("namedays"));
        const QString file =
            writeFile(scratchFolder(QStringLiteral("namedays")) + QStringLiteral("/v.csv"), content);
        const Run r = admin({"import-namedays", database, file});
        QCOMPARE(r.code, exitCode);
        for (const QString& s : reported) QVERIFY2(r.err.contains(s), qPrintable(s + u'\n' + r.err));
        for (const QString& s : notReported) QVERIFY2(!r.err.contains(s), qPrintable(s + u'\n' + r.err));
        auto db = testsupport::open(database);
        const int names = db->scalar(QStringLiteral("SELECT COUNT(*) FROM N_SVETKI WHERE FLAG=0 AND GNOS IN "
                                                    "('Ģirts', 'Šarūnas', 'Õnne', 'Ąžuolas')"))
                              .toInt();
        QCOMPARE(names, exitCode == 0 ? 4 : 0);
    }

    // A file that is no name-day list at all: the first 20 bad lines, each shown short, and the
    // count; not a message per line.
    void importNamedaysOfGarbage() {
        QByteArray content;
        content.reserve(12 << 20);
        const QByteArray line = "nav;derīga;rinda " + QByteArray(60, 'x') + '\n';
        for (int i = 0; i < 100000; ++i) content += line;
        content += QByteArray(3 << 20, 'y');  // a last line of 3 MB without a line end
        const QString file =
            writeFile(scratchFolder(QStringLiteral("garbage")) + QStringLiteral("/v.csv"), content);
        const Run r =
            admin({"import-namedays", testsupport::freshDatabaseFile(QStringLiteral("garbage")), file});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.size() < 5000, qPrintable(r.err.left(5000)));
        QVERIFY(r.err.contains(
            QStringLiteral("rinda 1: jābūt \"datums;vārds\" (nav;derīga;rinda xxxxxxxxxxxxxxxxxxxxxxx…)")));
        QVERIFY(r.err.contains(QStringLiteral("rinda 20: ")));
        QVERIFY(!r.err.contains(QStringLiteral("rinda 21: ")));
        QVERIFY2(r.err.contains(QStringLiteral("parādītas pirmās 20 no 100001 kļūdainajām rindām")),
                 qPrintable(r.err));
        QVERIFY(r.err.contains(QStringLiteral("Kļūdaino rindu skaits: 100001. Nekas netika ielādēts.")));
    }

    // The check before the import agrees with the engine on every character of the Latin,
    // Cyrillic-free blocks and the punctuation block.
    void charsetCheckAgreesWithTheEngine() {
        auto db = testsupport::freshDatabase(QStringLiteral("charset"));
        QStringList disagree;
        auto check = [&](char32_t c) {
            const QString text = QString::fromUcs4(&c, 1);
            bool engine = true;
            try {
                db->scalar(
                    QStringLiteral("SELECT CAST(:T AS VARCHAR(2) CHARACTER SET WIN1257) FROM RDB$DATABASE"),
                    {{QStringLiteral("T"), text}});
            } catch (const db::DbError&) {
                engine = false;
            }
            if (engine != db::FitsDatabaseCharset(text)) disagree.append(QString::number(uint(c), 16));
        };
        for (char32_t c = 0x20; c < 0x300; ++c) check(c);
        for (char32_t c = 0x2000; c < 0x2200; ++c) check(c);
        check(0x0416);   // Ж
        check(0x1F600);  // an emoji, outside the basic plane
        QVERIFY2(disagree.isEmpty(), qPrintable(disagree.join(u' ')));
    }

    // ---- set-password ---------------------------------------------------------------------------

    void setPasswordEmpty_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("logsOnWith");  // the password that logs on afterwards; "-" none changed
        QTest::newRow("empty line refused") << QStringList{"--password-stdin"} << QByteArray("\n") << 1
                                            << "Ja tā ir domāts, atkārtojiet ar --allow-empty"
                                            << "-";
        QTest::newRow("empty allowed") << QStringList{"--password-stdin", "--allow-empty"} << QByteArray("\n")
                                       << 0 << "varēs pieteikties bez paroles"
                                       << "";
        QTest::newRow("a password needs no option")
            << QStringList{"--allow-empty", "--password-stdin"} << QByteArray("Zobs1\n") << 0 << ""
            << "Zobs1";
    }
    void setPasswordEmpty() {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QFETCH(QString, logsOnWith);
        const QString database = testsupport::freshDatabaseFile(QStringLiteral("password"));
        const QString old = app::MakePasswordDigest(QStringLiteral("Vecā"));
        {
            auto db = testsupport::open(database);
            app::EnsureDefaultRows(db->defaultTransaction());
            db->exec(QStringLiteral("INSERT INTO N_USERS (GNOS, PASWORD, ISUSERGROUP) VALUES (:G, :P, 1)"),
                     {{QStringLiteral("G"), app::EncodeUserName(QStringLiteral("DAKTERE"))},
                      {QStringLiteral("P"), old}});
            db->commitRetaining();
        }
        const Run r = admin(QStringList{"set-password", database, "DAKTERE"} + options, input);
        QCOMPARE(r.code, exitCode);
        if (message.isEmpty())
            QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        else
            QVERIFY2(r.err.contains(message), qPrintable(r.err));
        auto db = testsupport::open(database);
        const QString stored =
            db->scalar(QStringLiteral("SELECT PASWORD FROM N_USERS WHERE GNOS=:G"),
                       {{QStringLiteral("G"), app::EncodeUserName(QStringLiteral("DAKTERE"))}})
                .toString();
        if (logsOnWith == u"-")
            QCOMPARE(stored, old);
        else
            QVERIFY(app::PasswordMatches(stored, logsOnWith) && stored != old);
    }

    // ---- create-db -------------------------------------------------------------------------------

    void createDbInTheHomeFolder_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("inHome");  // where the file must be, under the home folder
        QTest::newRow("~/file") << "~/klinika.fdb" << 0 << "klinika.fdb";
        QTest::newRow("~/folder/file") << "~/dati/klinika.fdb" << 0 << "dati/klinika.fdb";
        QTest::newRow("~user/file") << "~cits/klinika.fdb" << 2 << "";
        QTest::newRow("~file") << "~klinika.fdb" << 2 << "";
    }
    void createDbInTheHomeFolder() {
        QFETCH(QString, path);
        QFETCH(int, exitCode);
        QFETCH(QString, inHome);
        const QString home = scratchFolder(QStringLiteral("home"));
        const QString current = scratchFolder(QStringLiteral("cwd"));
        const Run r = admin({"create-db", path}, {}, home, current);
        QVERIFY2(r.code == exitCode, qPrintable(r.err));
        QCOMPARE(QDir(current).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        if (!inHome.isEmpty()) {
            QVERIFY(QFile::exists(home + u'/' + inHome));
            QVERIFY2(r.out.contains(home + u'/' + inHome), qPrintable(r.out));
        } else {
            QCOMPARE(QDir(home).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        }
    }
};

QTEST_MAIN(TestAdmin)
#include "tst_admin.moc"
