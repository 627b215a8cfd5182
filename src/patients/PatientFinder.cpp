#include "patients/PatientFinder.h"

#include "app/ChangeNotifier.h"
#include "app/KeyList.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "patients/PatientSearch.h"

#include <QThread>

namespace patients {

namespace {

const QString ColumnsSql = QStringLiteral(
    "SELECT ISN, UZVARDS, VARDS, PERS_KODS, TELEFONS, MOB_TEL FROM N_KLIENTS WHERE ISN<>1");

}  // namespace

PatientFinder::PatientFinder(db::Database& database, app::ChangeNotifier& notifier, QObject* parent)
    : QObject(parent), m_db(database) {
    connect(&notifier, &app::ChangeNotifier::patientsChanged, this, &PatientFinder::onPatientsChanged);
}

PatientFinder::~PatientFinder() {
    if (m_loader) {
        m_loader->disconnect(this);
        m_loader->wait();
        delete m_loader;
    }
}

QVector<PatientSearchRow> PatientFinder::readRows(db::Database& database, const QList<int>& keys) {
    QString sql = ColumnsSql;
    if (!keys.isEmpty()) sql += QStringLiteral(" AND ISN IN (") + app::FormatKeyList(keys) + QLatin1Char(')');
    const db::ResultSet rows = database.select(sql);
    QVector<PatientSearchRow> out;
    out.reserve(rows.rowCount());
    for (int r = 0; r < rows.rowCount(); ++r)
        out.append({rows.value(r, 0).toInt(), rows.value(r, 1).toString(), rows.value(r, 2).toString(),
                    rows.value(r, 3).toString(), rows.value(r, 4).toString(), rows.value(r, 5).toString()});
    return out;
}

void PatientFinder::start() { reload(); }

void PatientFinder::reload() {
    m_current = false;
    if (m_loader) {
        m_reloadAgain = true;
        return;
    }
    m_changedWhileLoading.clear();
    auto index = std::make_shared<PatientSearchIndex>();
    auto ok = std::make_shared<bool>(false);
    const QString connection = m_db.connectionString();
    m_loader = QThread::create([index, ok, connection] {
        try {
            db::Database own;
            own.attach(connection);
            index->assign(readRows(own));
            *ok = true;
        } catch (const db::DbError&) {
            // The statements stay in use; the next change tries again.
        }
    });
    connect(m_loader, &QThread::finished, this, [this, index, ok] { loaded(index, *ok); });
    m_loader->start(QThread::LowPriority);
}

void PatientFinder::loaded(std::shared_ptr<PatientSearchIndex> index, bool ok) {
    m_loader->deleteLater();
    m_loader = nullptr;
    if (m_reloadAgain) {
        m_reloadAgain = false;
        reload();
        return;
    }
    if (!ok) return;
    m_index = std::move(*index);
    m_current = true;
    // This workstation's saves while the copy was read may be missing from it.
    if (!m_changedWhileLoading.isEmpty()) refresh(m_changedWhileLoading.values());
    m_changedWhileLoading.clear();
    if (m_current) Q_EMIT current();
}

void PatientFinder::onPatientsChanged(const QList<int>& keys) {
    if (keys.isEmpty()) {
        reload();
        return;
    }
    if (m_loader) {
        for (int k : keys) m_changedWhileLoading.insert(k);
        return;
    }
    if (m_current) refresh(keys);
}

void PatientFinder::refresh(const QList<int>& keys) {
    try {
        const QVector<PatientSearchRow> rows = readRows(m_db, keys);
        QSet<int> present;
        for (const PatientSearchRow& r : rows) {
            m_index.upsert(r);
            present.insert(r.key);
        }
        for (int k : keys)
            if (!present.contains(k)) m_index.remove(k);
    } catch (const db::DbError&) {
        reload();
    }
}

int PatientFinder::find(const QString& text) {
    if (m_current) return m_index.find(text);
    return FindPatient(m_db, text);
}

}  // namespace patients
