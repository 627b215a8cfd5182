#include "db/Database.h"

#include "db/FbStatus.h"
#include "db/LockFolder.h"
#include "db/SqlText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <unistd.h>

namespace db {

namespace detail {

DbError makeError(const ISC_STATUS* status) {
    QStringList lines;
    const ISC_STATUS* p = status;
    char buffer[1024];
    while (fb_interpret(buffer, sizeof buffer, &p) > 0) lines.append(QString::fromUtf8(buffer));
    const long sqlCode = isc_sqlcode(status);
    return DbError(lines.join(QLatin1Char('\n')), sqlCode, long(status[1]));
}

const char* transactionParameters(short* length) {
    static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed,
                               isc_tpb_rec_version, isc_tpb_nowait};
    *length = sizeof tpb;
    return tpb;
}

}  // namespace detail

using detail::check;

namespace {

QByteArray databaseParameters(int forcedWrites = -1, int pageBuffers = 0) {
    QByteArray dpb;
    dpb.append(char(isc_dpb_version1));
    auto add = [&dpb](char tag, const QByteArray& value) {
        dpb.append(tag);
        dpb.append(char(value.size()));
        dpb.append(value);
    };
    add(isc_dpb_user_name, Database::UserName);
    add(isc_dpb_password, Database::Password);
    add(isc_dpb_lc_ctype, "UTF8");
    if (pageBuffers > 0) {
        dpb.append(char(isc_dpb_num_buffers));
        dpb.append(char(4));
        for (int i = 0; i < 4; ++i) dpb.append(char((pageBuffers >> (8 * i)) & 0xFF));
    }
    if (forcedWrites >= 0) {
        dpb.append(char(isc_dpb_force_write));
        dpb.append(char(1));
        dpb.append(char(forcedWrites));
    }
    return dpb;
}

// The path part of a connection string ("host:/x.fdb" -> "/x.fdb").
QString localPath(const QString& connectionString) { return connectionString; }

QString quoted(const QString& s) { return QLatin1Char('\'') + QString(s).replace(u'\'', QLatin1String("''")) + QLatin1Char('\''); }

}  // namespace

Database::Database() = default;

Database::~Database() {
    m_destroying = true;
    try {
        detach();
    } catch (...) {
        // A broken connection cannot be detached more cleanly than this.
    }
    runDetachHooks();  // when not attached, detach() did not run them
}

int Database::addDetachHook(std::function<void(bool destroying)> hook) {
    m_detachHooks.emplace_back(++m_lastHookId, std::move(hook));
    return m_lastHookId;
}

void Database::removeDetachHook(int id) {
    std::erase_if(m_detachHooks, [id](const auto& h) { return h.first == id; });
}

void Database::runDetachHooks() {
    // A copy: a hook may remove itself or another one.
    const auto hooks = m_detachHooks;
    if (m_destroying) m_detachHooks.clear();
    for (const auto& h : hooks) h.second(m_destroying);
}

void Database::prepareEnvironment() {
    static bool done = false;
    if (done) return;
    if (qEnvironmentVariableIsSet("FIREBIRD_LOCK") || geteuid() == 0) {
        done = true;
        return;
    }
    // Every process of this user that opens the same file embedded shares the lock folder; a
    // folder that someone else could own or write is refused (every attach says so again).
    const QString dir = DefaultLockFolder();
    EnsurePrivateFolder(dir);
    qputenv("FIREBIRD_LOCK", QFile::encodeName(dir));
    done = true;
}

bool Database::isLocal(const QString& connectionString) {
    // "host:path" and "host/port:path" name a server; a bare path (or "C:\..." style drive letter
    // on other systems) is a local file.
    static const QRegularExpression remote(QStringLiteral("^[^/:\\\\]{2,}(/[0-9a-zA-Z_]+)?:"));
    return !remote.match(connectionString).hasMatch();
}

void Database::setForcedWrites(const QString& connectionString, bool on) {
    prepareEnvironment();
    ISC_STATUS_ARRAY status;
    const QByteArray name = connectionString.toUtf8();
    const QByteArray dpb = databaseParameters(on ? 1 : 0);
    isc_db_handle handle = 0;
    isc_attach_database(status, short(name.size()), name.constData(), &handle, short(dpb.size()), dpb.constData());
    check(status);
    isc_detach_database(status, &handle);
    check(status);
}

void Database::attach(const QString& connectionString, int pageBuffers) {
    detach();
    prepareEnvironment();
    ISC_STATUS_ARRAY status;
    const QByteArray name = connectionString.toUtf8();
    const QByteArray dpb = databaseParameters(-1, pageBuffers);
    isc_db_handle handle = 0;
    isc_attach_database(status, short(name.size()), name.constData(), &handle, short(dpb.size()),
                        dpb.constData());
    check(status);
    m_handle = handle;
    m_connectionString = connectionString;
    try {
        m_default = std::make_unique<Transaction>(*this);
    } catch (...) {
        isc_detach_database(status, &handle);
        m_handle = 0;
        throw;
    }
}

void Database::detach() {
    if (!m_handle) return;
    runDetachHooks();
    if (m_default) {
        try {
            m_default->rollback();
        } catch (const DbError&) {
        }
        m_default.reset();
    }
    ISC_STATUS_ARRAY status;
    isc_db_handle handle = m_handle;
    m_handle = 0;
    m_connectionString.clear();
    isc_detach_database(status, &handle);
    check(status);
}

void Database::executeImmediate(const QString& sql) {
    Transaction tx(*this);
    ISC_STATUS_ARRAY status;
    const QByteArray text = sql.toUtf8();
    isc_db_handle db = m_handle;
    isc_tr_handle tr = *tx.handlePtr();
    isc_dsql_execute_immediate(status, &db, &tr, 0, text.constData(), SQL_DIALECT_V6, nullptr);
    check(status);
    tx.commit();
}

QString Database::schemaScript() {
    QFile f(QStringLiteral(":/db/schema.sql"));
    if (!f.open(QIODevice::ReadOnly)) throw DbError(QStringLiteral("The database creation script is missing from the program."));
    return QString::fromUtf8(f.readAll());
}

void Database::create(const QString& connectionString, const QString& creationScript) {
    prepareEnvironment();
    if (isLocal(connectionString) && QFileInfo::exists(localPath(connectionString)))
        throw DbError(QStringLiteral("Datu bāzes fails \"%1\" jau eksistē; jaunu datu bāzi tur neveido.")
                          .arg(connectionString));
    if (isLocal(connectionString)) {
        const QFileInfo fi(connectionString);
        if (!QDir().mkpath(fi.absolutePath()))
            throw DbError(QStringLiteral("Nevar izveidot mapi \"%1\".").arg(fi.absolutePath()));
    }

    const QString sql = QStringLiteral("CREATE DATABASE %1 USER %2 PASSWORD %3 PAGE_SIZE 16384 "
                                       "DEFAULT CHARACTER SET WIN1257 COLLATION WIN1257_LV")
                            .arg(quoted(connectionString), quoted(QString::fromLatin1(UserName)),
                                 quoted(QString::fromLatin1(Password)));
    ISC_STATUS_ARRAY status;
    isc_db_handle handle = 0;
    isc_tr_handle tr = 0;
    const QByteArray text = sql.toUtf8();
    isc_dsql_execute_immediate(status, &handle, &tr, 0, text.constData(), SQL_DIALECT_V6, nullptr);
    check(status);
    isc_detach_database(status, &handle);

    // The script runs statement by statement: DDL has to be committed before the next statement
    // can use what it created.
    Database db;
    db.attach(connectionString);
    try {
        for (const QString& st : splitScript(creationScript)) {
            try {
                db.executeImmediate(st);
            } catch (const DbError& e) {
                throw DbError(e.message() + QStringLiteral("\n(") + st.left(200) + QStringLiteral(")"),
                              e.sqlCode(), e.gdsCode());
            }
        }
        db.detach();
    } catch (...) {
        db.detach();
        if (isLocal(connectionString)) QFile::remove(connectionString);
        throw;
    }
}

void Database::announceCommitted(const QHash<QString, QList<int>>& touched) {
    if (!m_commitListener) return;
    for (auto it = touched.cbegin(); it != touched.cend(); ++it) m_commitListener(it.key(), it.value());
}

}  // namespace db
