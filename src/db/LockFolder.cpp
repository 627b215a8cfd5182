#include "db/LockFolder.h"

#include "db/DbError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace db {

namespace {

QString cacheHome() {
    const QString xdg = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return xdg;
    return QDir::homePath() + QStringLiteral("/.cache");
}

QString modeText(mode_t mode) { return QStringLiteral("%1").arg(uint(mode & 07777), 4, 8, QLatin1Char('0')); }

}  // namespace

QString DefaultLockFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime)) return runtime + QStringLiteral("/molarix-firebird");
    return cacheHome() + QStringLiteral("/ZALTERS/MOLARIX/firebird-lock");
}

void EnsurePrivateFolder(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0) {
        if (errno != ENOENT)
            throw DbError(QStringLiteral("Nevar pārbaudīt Firebird bloķējumu mapi \"%1\": %2.")
                              .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        // The parents may be shared (the cache folder); only the last folder holds the locks.
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
            throw DbError(QStringLiteral("Nevar izveidot Firebird bloķējumu mapi \"%1\": %2.")
                              .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        if (::lstat(name.constData(), &st) != 0)
            throw DbError(QStringLiteral("Nevar pārbaudīt Firebird bloķējumu mapi \"%1\": %2.")
                              .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    }
    if (!S_ISDIR(st.st_mode))
        throw DbError(QStringLiteral("Firebird bloķējumu mape \"%1\" nav mape (tā ir saite vai fails), tāpēc to "
                                     "neizmanto. Izdzēsiet to un palaidiet programmu vēlreiz.")
                          .arg(path));
    if (st.st_uid != ::geteuid())
        throw DbError(QStringLiteral("Firebird bloķējumu mape \"%1\" pieder citam lietotājam (uid %2, jums %3), "
                                     "tāpēc to neizmanto. Lai datora administrators to izdzēš, tad palaidiet "
                                     "programmu vēlreiz.")
                          .arg(path, QString::number(st.st_uid), QString::number(::geteuid())));
    if ((st.st_mode & 077) != 0)
        throw DbError(QStringLiteral("Firebird bloķējumu mapei \"%1\" var piekļūt arī citi lietotāji (tiesības %2, "
                                     "drīkst tikai 0700), tāpēc to neizmanto. Izlabojiet tiesības "
                                     "(chmod 700 \"%1\") un palaidiet programmu vēlreiz.")
                          .arg(path, modeText(st.st_mode)));
}

}  // namespace db
