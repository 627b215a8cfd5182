#include "db/Transaction.h"

#include "db/Database.h"
#include "db/FbStatus.h"
#include "db/Statement.h"

#include <utility>

namespace db {

using detail::check;

Transaction::Transaction(Database& db, Kind kind) : m_db(db), m_kind(kind) { start(); }

Transaction::~Transaction() {
    if (!isActive()) return;
    try {
        rollback();
    } catch (...) {
        // The connection is gone; the server drops the transaction with it.
    }
}

void Transaction::start() {
    if (!m_db.isAttached()) throw DbError(QStringLiteral("Nav savienojuma ar datu bāzi."));
    ISC_STATUS_ARRAY status;
    short length = 0;
    const char* tpb = detail::transactionParameters(&length);
    static const char snapshot[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_concurrency, isc_tpb_nowait};
    if (m_kind == Kind::ReadOnlySnapshot) {
        tpb = snapshot;
        length = sizeof snapshot;
    }
    isc_tr_handle handle = 0;
    isc_db_handle* db = m_db.handlePtr();
    isc_start_transaction(status, &handle, 1, db, length, tpb);
    check(status);
    m_handle = handle;
}

void Transaction::commit() {
    if (!isActive()) return;
    ISC_STATUS_ARRAY status;
    isc_tr_handle handle = m_handle;
    isc_commit_transaction(status, &handle);
    check(status);
    m_handle = 0;
    announce();
}

void Transaction::commitRetaining() {
    if (!isActive()) start();
    ISC_STATUS_ARRAY status;
    isc_tr_handle handle = m_handle;
    isc_commit_retaining(status, &handle);
    check(status);
    announce();
}

void Transaction::commitAndBegin() {
    commit();
    start();
}

void Transaction::rollback() {
    if (!isActive()) return;
    ISC_STATUS_ARRAY status;
    isc_tr_handle handle = m_handle;
    m_handle = 0;
    m_touched.clear();
    isc_rollback_transaction(status, &handle);
    check(status);
}

void Transaction::touch(const QString& table, int key) {
    QList<int>& keys = m_touched[table];
    if (key > 0 && !keys.contains(key)) keys.append(key);
}

void Transaction::announce() {
    if (m_touched.isEmpty()) return;
    const QHash<QString, QList<int>> touched = std::exchange(m_touched, {});
    m_db.announceCommitted(touched);
}

ResultSet Transaction::select(const QString& sql, const Params& params) {
    Statement st(*this, sql);
    st.bind(params);
    st.execute();
    return st.fetchAll();
}

int Transaction::exec(const QString& sql, const Params& params) {
    Statement st(*this, sql);
    st.bind(params);
    st.execute();
    return st.rowsAffected();
}

QVariant Transaction::scalar(const QString& sql, const Params& params) {
    Statement st(*this, sql);
    st.bind(params);
    st.execute();
    return st.next() ? st.value(0) : QVariant();
}

}  // namespace db
