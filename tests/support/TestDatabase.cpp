#include "TestDatabase.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>
#include <QUuid>

namespace testsupport {

QString scratchDir() {
    QString dir = qEnvironmentVariable("MOLARIX_TEST_TMP");
    if (dir.isEmpty()) dir = QDir::tempPath() + QStringLiteral("/molarix-tests");
    QDir().mkpath(dir);
    // The server process must be able to open files here too.
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                   QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                   QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
    return dir;
}

QString templatePath() {
    static QString path;
    if (!path.isEmpty()) return path;
    const QString script = db::Database::schemaScript();
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(script.toUtf8(), QCryptographicHash::Sha1).toHex().left(12));
    const QString candidate = scratchDir() + QStringLiteral("/template-") + hash + QStringLiteral(".fdb");
    QLockFile lock(candidate + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    if (!lock.lock()) throw std::runtime_error("cannot lock the template database");
    if (!QFile::exists(candidate)) {
        const QString building = candidate + QStringLiteral(".new");
        QFile::remove(building);
        db::Database::create(building, script);
        QFile::rename(building, candidate);
    }
    path = candidate;
    return path;
}

QString freshDatabaseFile(const QString& tag) {
    const QString name = scratchDir() + QStringLiteral("/") +
                         (tag.isEmpty() ? QStringLiteral("db") : tag) + QStringLiteral("-") +
                         QUuid::createUuid().toString(QUuid::Id128).left(12) + QStringLiteral(".fdb");
    if (!QFile::copy(templatePath(), name)) throw std::runtime_error("cannot copy the template database");
    QFile::setPermissions(name, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                    QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther);
    return name;
}

std::unique_ptr<db::Database> open(const QString& connectionString) {
    auto d = std::make_unique<db::Database>();
    d->attach(connectionString);
    return d;
}

std::unique_ptr<db::Database> freshDatabase(const QString& tag) { return open(freshDatabaseFile(tag)); }

QString serverPrefix() {
    const QString host = qEnvironmentVariable("MOLARIX_FB_SERVER");
    return host.isEmpty() ? QString() : host + QStringLiteral(":");
}

void isolateSettings() {
    const QString dir = scratchDir() + QStringLiteral("/settings-") +
                        QUuid::createUuid().toString(QUuid::Id128).left(12);
    QDir().mkpath(dir);
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir);
    QCoreApplication::setOrganizationName(QStringLiteral("ZALTERS"));
    QCoreApplication::setApplicationName(QStringLiteral("MOLARIX"));
}

}  // namespace testsupport
