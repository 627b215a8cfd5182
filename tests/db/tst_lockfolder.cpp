// The embedded engine's lock folder: only a folder that this user alone owns and can enter is used.
#include "TestDatabase.h"
#include "db/LockFolder.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

class TestLockFolder : public QObject {
    Q_OBJECT
    QString m_base;

private Q_SLOTS:
    void init() {
        m_base = testsupport::scratchDir() + QStringLiteral("/lockfolder-") + QString::number(QCoreApplication::applicationPid()) +
                 QLatin1Char('-') + QString::number(QRandomGenerator::global()->generate());
        QDir().mkpath(m_base);
    }
    void cleanup() { QDir(m_base).removeRecursively(); }

    void missingFolderIsCreatedPrivate() {
        const QString dir = m_base + QStringLiteral("/a/b/locks");
        db::EnsurePrivateFolder(dir);
        struct stat st {};
        QCOMPARE(::lstat(QFile::encodeName(dir).constData(), &st), 0);
        QVERIFY(S_ISDIR(st.st_mode));
        QCOMPARE(int(st.st_mode & 0777), 0700);
        QCOMPARE(st.st_uid, ::geteuid());
        db::EnsurePrivateFolder(dir);  // and accepted the next time
    }

    // A folder someone else could have prepared is refused and left as it was.
    void foreignOrOpenFolderIsRefused_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("otherOwner");
        QTest::addColumn<bool>("symlink");
        QTest::addColumn<QString>("reason");
        QTest::newRow("readable by all") << 0755 << false << false << "0755";
        QTest::newRow("writable by all") << 0777 << false << false << "0777";
        QTest::newRow("read-only for others") << 0705 << false << false << "0705";
        QTest::newRow("group may enter") << 0710 << false << false << "0710";
        QTest::newRow("another user's folder") << 0700 << true << false << "pieder citam lietotājam";
        QTest::newRow("link to a private folder") << 0700 << false << true << "saite";
    }
    void foreignOrOpenFolderIsRefused() {
        QFETCH(int, mode);
        QFETCH(bool, otherOwner);
        QFETCH(bool, symlink);
        QFETCH(QString, reason);
        if (otherOwner && ::geteuid() != 0) QSKIP("giving a folder to another user needs root");
        const QString real = m_base + QStringLiteral("/real");
        QVERIFY(QDir().mkpath(real));
        QCOMPARE(::chmod(QFile::encodeName(real).constData(), mode_t(mode)), 0);
        if (otherOwner) QCOMPARE(::chown(QFile::encodeName(real).constData(), 65534, 65534), 0);  // nobody
        QString dir = real;
        if (symlink) {
            dir = m_base + QStringLiteral("/link");
            QVERIFY(QFile::link(real, dir));
        }
        try {
            db::EnsurePrivateFolder(dir);
            QFAIL("the folder was accepted");
        } catch (const db::DbError& e) {
            QVERIFY2(e.message().contains(dir), qPrintable(e.message()));
            QVERIFY2(e.message().contains(reason), qPrintable(e.message()));
        }
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(real).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 07777), mode);
    }
};

QTEST_GUILESS_MAIN(TestLockFolder)
#include "tst_lockfolder.moc"
