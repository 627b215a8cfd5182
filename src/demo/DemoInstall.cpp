#include "demo/DemoInstall.h"

#include "db/Database.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace demo {

namespace {

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

// An open descriptor of a file, closed when it goes.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Holds a database file under the exclusive flock() that the embedded engine and the server take
// on a file they open: while it is held no program can open the database, and it fails at once
// when a program has it open now.
class ExclusiveHold {
public:
    explicit ExclusiveHold(const QString& path) : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC)) {
        if (m_fd.get() < 0)
            throw db::DbError(QStringLiteral("Nevar atvērt datu bāzes failu \"%1\": %2.").arg(path, systemError()));
        if (::flock(m_fd.get(), LOCK_EX | LOCK_NB) != 0)
            throw db::DbError(QStringLiteral("Datu bāze \"%1\" ir atvērta citā programmā (Molarix vai Firebird "
                                             "serverī); aizveriet to un palaidiet komandu vēlreiz.")
                                  .arg(path));
    }

private:
    Fd m_fd;
};

// Removes the work file unless it was moved into place.
class WorkFile {
public:
    explicit WorkFile(QString path) : m_path(std::move(path)) {}
    ~WorkFile() {
        if (!m_kept) QFile::remove(m_path);
    }
    void keep() { m_kept = true; }

private:
    QString m_path;
    bool m_kept = false;
};

void syncPath(const QString& path, int flags) {
    Fd fd(::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC));
    if (fd.get() < 0 || ::fsync(fd.get()) != 0)
        throw db::DbError(QStringLiteral("Nevar ierakstīt diskā \"%1\": %2.").arg(path, systemError()));
}

// A copy of the file with the same owner and mode (the clinic's user keeps access to the new
// file when root ran the load).
void copyLike(const QString& from, const QString& to) {
    struct stat st {};
    if (::stat(QFile::encodeName(from).constData(), &st) != 0)
        throw db::DbError(QStringLiteral("Nevar nolasīt \"%1\": %2.").arg(from, systemError()));
    if (!QFile::copy(from, to))
        throw db::DbError(QStringLiteral("Nevar izveidot darba kopiju \"%1\" (vai diskā pietiek vietas?).").arg(to));
    const QByteArray name = QFile::encodeName(to);
    if (::chmod(name.constData(), st.st_mode & 07777) != 0 ||
        (::geteuid() == 0 && ::chown(name.constData(), st.st_uid, st.st_gid) != 0))
        throw db::DbError(QStringLiteral("Nevar iestatīt darba kopijas \"%1\" tiesības: %2.").arg(to, systemError()));
}

void load(const QString& connectionString, Scale scale, quint32 seed, const Progress& progress) {
    db::Database database;
    database.attach(connectionString, 40000);  // 40 000 pages of 16 KiB: the load's working set stays in memory
    DemoDataGenerator generator(database, scale, seed);
    generator.setProgress(progress);
    generator.run();
    database.detach();
}

void installLocal(const QString& path, Scale scale, quint32 seed, const Progress& progress) {
    const QFileInfo info(path);
    if (!info.exists())
        throw db::DbError(QStringLiteral("Datu bāzes fails \"%1\" nav atrasts.").arg(path));
    const QString target = info.canonicalFilePath();  // a link keeps pointing at the filled file
    {
        // Refuse a clinic in use before copying gigabytes; the copy is checked again below.
        db::Database database;
        database.attach(target);
        DemoDataGenerator::requireEmpty(database);
        database.detach();
    }
    const ExclusiveHold hold(target);
    const QString work = DemoWorkFile(target);
    QFile::remove(work);  // left by a run that was killed
    WorkFile cleanup(work);
    copyLike(target, work);
    try {
        // Synchronous page writes would make the load wait on the disk for every page; the copy
        // gets them back before it replaces the clinic's file.
        db::Database::setForcedWrites(work, false);
        load(work, scale, seed, progress);
        db::Database::setForcedWrites(work, true);
        syncPath(work, O_RDONLY);
    } catch (const db::DbError& e) {
        throw db::DbError(e.message() + QStringLiteral("\nDatu bāze \"%1\" palika tāda, kāda bija.").arg(target),
                          e.sqlCode(), e.gdsCode());
    }
    if (::rename(QFile::encodeName(work).constData(), QFile::encodeName(target).constData()) != 0)
        throw db::DbError(QStringLiteral("Nevar pārvietot \"%1\" uz \"%2\": %3. Datu bāze palika tāda, kāda bija.")
                              .arg(work, target, systemError()));
    cleanup.keep();
    syncPath(info.absolutePath(), O_RDONLY | O_DIRECTORY);
}

void installOnServer(const QString& connectionString, Scale scale, quint32 seed, const Progress& progress) {
    {
        db::Database database;
        database.attach(connectionString);
        DemoDataGenerator::requireEmpty(database);
        database.detach();
    }
    QStringList failures;
    db::Database::setForcedWrites(connectionString, false);
    try {
        load(connectionString, scale, seed, progress);
    } catch (const db::DbError& e) {
        failures.append(e.message());
        failures.append(QStringLiteral("Līdz šim ierakstītās rindas palika datu bāzē."));
    }
    try {
        db::Database::setForcedWrites(connectionString, true);
    } catch (const db::DbError& e) {
        failures.append(QStringLiteral("Neizdevās ieslēgt sinhronu rakstīšanu (forced writes): ") + e.message());
    }
    if (!failures.isEmpty()) throw db::DbError(failures.join(QLatin1Char('\n')));
}

}  // namespace

QString DemoWorkFile(const QString& localPath) { return localPath + QStringLiteral(".demo.tmp"); }

void InstallDemoClinic(const QString& connectionString, Scale scale, quint32 seed, const Progress& progress) {
    if (db::Database::isLocal(connectionString))
        installLocal(connectionString, scale, seed, progress);
    else
        installOnServer(connectionString, scale, seed, progress);
}

}  // namespace demo
