#pragma once
// Runs molarix-admin and copies database files, for the tests of its commands.
#include "TestDatabase.h"

#include <QFile>
#include <QProcess>
#include <QUuid>

namespace admintest {

struct Run {
    int code = -1;
    QString out, err;
    QString all() const { return out + err; }
};

inline Run admin(const QStringList& args, int timeoutMs = 600000) {
    QProcess p;
    p.start(QStringLiteral(MOLARIX_ADMIN), args);
    p.closeWriteChannel();
    p.waitForFinished(timeoutMs);
    Run r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// A copy of a database file at a new path in the scratch folder, open to the server process too.
inline QString copyOf(const QString& path, const QString& tag) {
    const QString to = testsupport::scratchDir() + QLatin1Char('/') + tag + QLatin1Char('-') +
                       QUuid::createUuid().toString(QUuid::Id128).left(12) + QStringLiteral(".fdb");
    if (!QFile::copy(path, to)) throw std::runtime_error("cannot copy a database file");
    QFile::setPermissions(to, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                  QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther);
    return to;
}

}  // namespace admintest
