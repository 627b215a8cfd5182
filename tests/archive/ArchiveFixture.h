#pragma once
// A demo clinic to archive, made once per test run, and copies of it for each test.
#include "TestDatabase.h"
#include "demo/DemoInstall.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QUuid>

namespace archivetest {

// The demo clinic, built once per run and shared by the archive tests (guarded by a lock file).
inline QString clinicTemplate() {
    static QString path;
    if (!path.isEmpty()) return path;
    // Named after the schema it was made with, so a scratch folder kept from an older build is
    // never handed out after the schema changed.
    const QString schema = QString::fromLatin1(
        QCryptographicHash::hash(db::Database::schemaScript().toUtf8(), QCryptographicHash::Sha1).toHex().left(12));
    const QString candidate = testsupport::scratchDir() + QStringLiteral("/archive-clinic-") + schema + u".fdb";
    QLockFile lock(candidate + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    if (!lock.lock()) throw std::runtime_error("cannot lock the clinic template");
    if (!QFile::exists(candidate)) {
        const QString building = testsupport::freshDatabaseFile(QStringLiteral("archive-clinic-new"));
        demo::InstallDemoClinic(building, demo::Scale::Demo, 7, {});
        QFile::rename(building, candidate);
    }
    path = candidate;
    return path;
}

// A copy of the clinic that the server process may open too.
inline QString clinicCopy(const QString& tag = QStringLiteral("clinic")) {
    const QString to = testsupport::scratchDir() + u'/' + tag + u'-' +
                       QUuid::createUuid().toString(QUuid::Id128).left(12) + QStringLiteral(".fdb");
    if (!QFile::copy(clinicTemplate(), to)) throw std::runtime_error("cannot copy the clinic");
    QFile::setPermissions(to, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                  QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther);
    return to;
}

// A new empty folder in the scratch folder.
inline QString freshDir(const QString& tag) {
    const QString dir =
        testsupport::scratchDir() + u'/' + tag + u'-' + QUuid::createUuid().toString(QUuid::Id128).left(12);
    QDir().mkpath(dir);
    return dir;
}

}  // namespace archivetest
