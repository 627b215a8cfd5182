// molarix-admin backup and restore, run as a separate program as a nightly job would run them.
#include "ArchiveFixture.h"
#include "TestDatabase.h"
#include "archive/TableCounts.h"
#include "archive/ZipFile.h"

#include <QDate>
#include <QProcess>
#include <QtTest>

#include <zip.h>

namespace {

struct Run {
    int code = -1;
    QString out, err;
    QStringList lines() const { return out.split(u'\n', Qt::SkipEmptyParts); }
};

Run admin(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(MOLARIX_ADMIN), args);
    p.closeWriteChannel();
    p.waitForFinished(300000);
    Run r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

archive::TableCounts countsOf(const QString& connection) {
    auto d = testsupport::open(connection);
    return archive::CountRows(*d);
}

// A ZIP file with two members, as no archive of ours is.
void writeTwoMembers(const QString& path) {
    zipFile z = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    QVERIFY(z);
    for (const char* name : {"a.cpy", "b.cpy"}) {
        zip_fileinfo info{};
        QCOMPARE(zipOpenNewFileInZip64(z, name, &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 6, 0),
                 ZIP_OK);
        QCOMPARE(zipWriteInFileInZip(z, "data", 4), ZIP_OK);
        QCOMPARE(zipCloseFileInZip(z), ZIP_OK);
    }
    QCOMPARE(zipClose(z, nullptr), ZIP_OK);
}

}  // namespace

class TestArchiveAdmin : public QObject {
    Q_OBJECT
    QString m_database;
    QString m_zip;  // an archive of m_database made by the first test

private Q_SLOTS:
    void initTestCase() { m_database = archivetest::clinicCopy(); }

    // Two runs on one day: yyyyMMdd.zip, then yyyyMMdd_2.zip; the path is the last line; both
    // restore to the database's rows.
    void backupTwiceOnOneDay() {
        const QString dir = archivetest::freshDir(QStringLiteral("nightly"));
        const QString day = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
        const archive::TableCounts source = countsOf(m_database);
        for (const QString& name : QStringList{day, day + QStringLiteral("_2")}) {
            const Run r = admin({QStringLiteral("backup"), m_database, dir});
            QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
            QCOMPARE(r.lines().last(), dir + u'/' + name + QStringLiteral(".zip"));
            const QString target =
                archivetest::freshDir(QStringLiteral("restored")) + QStringLiteral("/r.fdb");
            const Run restored = admin({QStringLiteral("restore"), r.lines().last(), target});
            QVERIFY2(restored.code == 0, qPrintable(restored.out + restored.err));
            QCOMPARE(countsOf(target), source);
        }
        QCOMPARE(QDir(dir).entryList(QDir::Files).size(), 2);
        m_zip = dir + u'/' + day + QStringLiteral(".zip");
    }

    void backupFailures_data() {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("dir");  // "<dir>" is a fresh folder
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QString>("reason");
        QTest::newRow("directory missing") << ""
                                           << "<dir>/nav" << QStringList() << "neeksistē";
        QTest::newRow("database missing") << "<dir>/nav.fdb"
                                          << "<dir>" << QStringList() << "";
        QTest::newRow("switch gbak does not know")
            << ""
            << "<dir>" << QStringList{QStringLiteral("--options"), QStringLiteral("-g -zz")} << "\"-zz\"";
    }
    void backupFailures() {
        QFETCH(QString, database);
        QFETCH(QString, dir);
        QFETCH(QStringList, extra);
        QFETCH(QString, reason);
        const QString fresh = archivetest::freshDir(QStringLiteral("nightly-fail"));
        dir.replace(QLatin1String("<dir>"), fresh);
        database = database.isEmpty() ? m_database : database.replace(QLatin1String("<dir>"), fresh);
        const Run r = admin(QStringList{QStringLiteral("backup"), database, dir} + extra);
        QVERIFY(r.code != 0);
        QVERIFY2(r.err.contains(QStringLiteral("Arhīva fails nav izveidots: ")), qPrintable(r.err));
        QVERIFY2(r.err.contains(reason), qPrintable(r.err));
        QVERIFY(QDir(fresh).entryList(QDir::Files).isEmpty());
    }

    // An archive that is not sound is refused with a reason, and nothing is left at the target.
    void restoreRefuses_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("bytes changed inside") << "flip"
                                              << "ir bojāts";
        QTest::newRow("cut short") << "cut"
                                   << "nav lasāms ZIP fails vai ir bojāts";
        QTest::newRow("not a ZIP file") << "text"
                                        << "nav lasāms ZIP fails vai ir bojāts";
        QTest::newRow("two files inside") << "two"
                                          << "jābūt tieši vienam failam";
        QTest::newRow("incomplete backup in a sound ZIP file") << "half backup"
                                                               << "netika pabeigta";
        QTest::newRow("no such file") << "missing"
                                      << "neeksistē";
    }
    void restoreRefuses() {
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        if (m_zip.isEmpty()) QSKIP("needs the archive of backupTwiceOnOneDay");
        const QString dir = archivetest::freshDir(QStringLiteral("damaged"));
        const QString zip = dir + QStringLiteral("/a.zip");
        QVERIFY(QFile::copy(m_zip, zip));
        QFile f(zip);
        if (damage == QLatin1String("flip")) {
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.seek(f.size() / 2);
            QByteArray middle = f.read(64);
            for (char& c : middle) c = char(~c);
            f.seek(f.size() / 2);
            f.write(middle);
            f.close();
        } else if (damage == QLatin1String("cut")) {
            QVERIFY(f.resize(f.size() / 2));
        } else if (damage == QLatin1String("text")) {
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("Šis nav arhīvs.\n");
            f.close();
        } else if (damage == QLatin1String("two")) {
            QFile::remove(zip);
            writeTwoMembers(zip);
        } else if (damage == QLatin1String("half backup")) {
            const QString backup = dir + QStringLiteral("/b.cpy");
            archive::ExtractZip(m_zip, backup);
            QFile b(backup);
            QVERIFY(b.resize(b.size() / 2));
            QFile::remove(zip);
            archive::WriteZip(zip, backup, QStringLiteral("b.cpy"));
        } else if (damage == QLatin1String("missing")) {
            QFile::remove(zip);
        }
        const QString target = dir + QStringLiteral("/r.fdb");
        const Run r = admin({QStringLiteral("restore"), zip, target});
        QVERIFY(r.code != 0);
        QVERIFY2(r.err.contains(QStringLiteral("Arhīvs nav atjaunots: ")), qPrintable(r.err));
        QVERIFY2(r.err.contains(reason), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(target));
    }

    // An existing database is never replaced by a restore.
    void restoreKeepsExistingTarget() {
        if (m_zip.isEmpty()) QSKIP("needs the archive of backupTwiceOnOneDay");
        const QString target = archivetest::freshDir(QStringLiteral("existing")) + QStringLiteral("/r.fdb");
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("keep");
        f.close();
        const Run r = admin({QStringLiteral("restore"), m_zip, target});
        QVERIFY(r.code != 0);
        QVERIFY2(r.err.contains(QStringLiteral("jau eksistē")), qPrintable(r.err));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("keep"));
    }
};

QTEST_GUILESS_MAIN(TestArchiveAdmin)
#include "tst_archive_admin.moc"
