#include "journal/JournalStore.h"

#include "app/UserNameCodec.h"

#include <algorithm>
#include <limits>

namespace journal {

namespace {

QDateTime momentOf(const QVariant& date, const QVariant& time) {
    const QTime t = QTime::fromString(time.toString().trimmed(), QStringLiteral("HH:mm:ss"));
    return QDateTime(date.toDate(), t.isValid() ? t : QTime(0, 0));
}

}  // namespace

QVector<std::pair<QString, QString>> JournalStore::Actions() {
    return {{QStringLiteral("J"), tr("Jauns")},
            {QStringLiteral("L"), tr("Labots")},
            {QStringLiteral("D"), tr("Dzēsts")},
            {QStringLiteral("PARP"), tr("Pārmaksa sadalīta")},
            {DragAndDrop(), tr("Pārvietots kalendārā")}};
}

QVector<std::pair<QString, QString>> JournalStore::Tables() {
    return {{QStringLiteral("N_KLIENTS"), tr("Pacienti")},
            {QStringLiteral("O_KONSULT_PIET_HD"), tr("Pieteikumi vizītēm")},
            {QStringLiteral("O_KONSULTACIJA_HD"), tr("Konsultācijas")},
            {QStringLiteral("O_PAVOUT_HD"), tr("Rēķini")},
            {QStringLiteral("O_APMAKS_HD"), tr("Apmaksas")},
            {QStringLiteral("N_PRECE"), tr("Manipulācijas")},
            {QStringLiteral("N_PRGRUPA"), tr("Manipulāciju grupas")},
            {QStringLiteral("N_AGENTS"), tr("Speciālisti/Personāls")},
            {QStringLiteral("N_KABINETI"), tr("Kabineti")},
            {QStringLiteral("N_VEIDI"), tr("Konsultāciju veidi")},
            {QStringLiteral("N_BANKA"), tr("Bankas")},
            {QStringLiteral("N_RAJONS"), tr("Novadi")},
            {QStringLiteral("N_KLGRUPA"), tr("Pacientu grupas")},
            {QStringLiteral("N_SVETKI"), tr("Vārda un svētku dienas")},
            {QStringLiteral("N_USERGROUP"), tr("Lietotāju grupas")},
            {QStringLiteral("N_USERS"), tr("Lietotāji")}};
}

QString JournalStore::TableCaption(const QString& table) {
    for (const auto& [name, caption] : Tables())
        if (name == table) return caption;
    return table;
}

QString JournalStore::ActionCaption(const QString& code, const QString& note) {
    if (code == QLatin1String("L") && note == DragAndDrop()) return Actions().last().second;
    for (const auto& [c, caption] : Actions())
        if (c == code) return caption;
    return code;
}

QHash<int, QString> JournalStore::userNames() {
    QHash<int, QString> names;
    const db::ResultSet rows = m_db.select(QStringLiteral("SELECT ISN, GNOS FROM N_USERS"));
    for (int r = 0; r < rows.rowCount(); ++r)
        names.insert(rows.value(r, 0).toInt(), app::DecodeUserName(rows.value(r, 1).toByteArray()));
    return names;
}

QVector<std::pair<int, QString>> JournalStore::users() {
    const QHash<int, QString> names = userNames();
    QVector<std::pair<int, QString>> list;
    for (auto it = names.cbegin(); it != names.cend(); ++it) list.append({it.key(), it.value()});
    std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.second.localeAwareCompare(b.second) < 0; });
    return list;
}

const Logon* JournalStore::LogonOf(const QVector<Logon>& userLogons, const QDateTime& moment) {
    auto it = std::upper_bound(userLogons.cbegin(), userLogons.cend(), moment,
                               [](const QDateTime& m, const Logon& l) { return m < l.start; });
    if (it == userLogons.cbegin()) return nullptr;
    return &*(it - 1);
}

db::ResultSet JournalStore::operations(const JournalFilter& f) {
    OperationsFetch fetch(*this, f);
    return fetch.next(std::numeric_limits<int>::max());
}

std::unique_ptr<OperationsFetch> JournalStore::fetchOperations(const JournalFilter& f) {
    return std::make_unique<OperationsFetch>(*this, f);
}

OperationsFetch::OperationsFetch(JournalStore& store, const JournalFilter& f) {
    QString sql = QStringLiteral(
        "SELECT ISN, IEVDAT, IEVLAIKS, TAUSTINS, ISUSER, BAZE, ISN_BAZE, NUMURS, DATUMS, PIEZIMES FROM O_OPERACIJAS "
        "WHERE IEVDAT >= :NO AND IEVDAT <= :LIDZ");
    db::Params params{{QStringLiteral("NO"), f.from}, {QStringLiteral("LIDZ"), f.to}};
    if (f.userIsn > 0) {
        sql += QStringLiteral(" AND ISUSER = :ISUSER");
        params.insert(QStringLiteral("ISUSER"), f.userIsn);
    }
    if (!f.table.isEmpty()) {
        sql += QStringLiteral(" AND BAZE = :BAZE");
        params.insert(QStringLiteral("BAZE"), f.table);
    }
    if (f.action == JournalStore::DragAndDrop()) {
        sql += QStringLiteral(" AND TAUSTINS = 'L' AND PIEZIMES = :DD");
        params.insert(QStringLiteral("DD"), JournalStore::DragAndDrop());
    } else if (!f.action.isEmpty()) {
        sql += QStringLiteral(" AND TAUSTINS = :TAUSTINS");
        params.insert(QStringLiteral("TAUSTINS"), f.action);
    }
    if (!f.noteText.trimmed().isEmpty()) {
        sql += QStringLiteral(" AND PIEZIMES CONTAINING CAST(:PIEZIMES AS VARCHAR(100))");
        params.insert(QStringLiteral("PIEZIMES"), f.noteText.trimmed().left(100));
    }
    sql += QStringLiteral(" ORDER BY IEVDAT DESC, IEVLAIKS DESC, ISN DESC");
    m_rows = std::make_unique<db::BatchFetch>(store.m_db, sql, params);

    // The log-ons that can cover the period: those begun before its end that had not ended before
    // its start (an unfinished one is bounded by the user's next log-on).
    const db::ResultSet logonRows = store.m_db.select(
        QStringLiteral("SELECT ISN, ISUSER, START_TIME, END_TIME, LOGOFF FROM O_LOGON WHERE START_TIME < :LIDZ AND "
                       "(END_TIME IS NULL OR END_TIME >= :NO) ORDER BY START_TIME"),
        {{QStringLiteral("NO"), QDateTime(f.from, QTime(0, 0))}, {QStringLiteral("LIDZ"), QDateTime(f.to.addDays(1), QTime(0, 0))}});
    for (int r = 0; r < logonRows.rowCount(); ++r) {
        Logon l{logonRows.value(r, 0).toInt(), logonRows.value(r, 1).toInt(), logonRows.value(r, 2).toDateTime(),
                logonRows.value(r, 3).toDateTime(), logonRows.value(r, 4).toString().trimmed()};
        m_logonsByUser[l.userIsn].append(l);
    }
    m_names = store.userNames();
    for (const auto& [name, caption] : JournalStore::Tables()) m_tableCaptions.insert(name, caption);
    for (const auto& [code, caption] : JournalStore::Actions()) m_actionCaptions.insert(code, caption);
}

db::ResultSet OperationsFetch::next(int maxRows) {
    const db::ResultSet rows = m_rows->next(maxRows);
    db::ResultSet out(QStringList{QStringLiteral("ISN"), QStringLiteral("IEVDAT"), QStringLiteral("IEVLAIKS"),
                                  QStringLiteral("LAIKS"), QStringLiteral("TAUSTINS"), QStringLiteral("DARBIBA"),
                                  QStringLiteral("ISUSER"), QStringLiteral("LIETOTAJS"), QStringLiteral("BAZE"),
                                  QStringLiteral("TABULA"), QStringLiteral("ISN_BAZE"), QStringLiteral("NUMURS"),
                                  QStringLiteral("DATUMS"), QStringLiteral("PIEZIMES"), QStringLiteral("ISLOGON"),
                                  QStringLiteral("LOGON_START")});
    out.reserve(rows.rowCount());
    const QString dragAndDrop = JournalStore::DragAndDrop();
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QDateTime moment = momentOf(rows.value(r, 1), rows.value(r, 2));
        const int user = rows.value(r, 4).toInt();
        const QString code = rows.value(r, 3).toString().trimmed();
        const QString table = rows.value(r, 5).toString().trimmed();
        const QString note = rows.value(r, 9).toString();
        const QString action =
            m_actionCaptions.value(code == QLatin1String("L") && note == dragAndDrop ? dragAndDrop : code, code);
        const auto logons = m_logonsByUser.constFind(user);
        const Logon* logon =
            logons == m_logonsByUser.cend() ? nullptr : JournalStore::LogonOf(*logons, moment);
        out.append({rows.value(r, 0), rows.value(r, 1), rows.value(r, 2), moment, code, action, user,
                    m_names.value(user), table, m_tableCaptions.value(table, table), rows.value(r, 6),
                    rows.value(r, 7).toString().trimmed(), rows.value(r, 8), note, logon ? logon->isn : 0,
                    logon ? QVariant(logon->start) : QVariant()});
    }
    return out;
}

db::ResultSet JournalStore::logons(const QDate& from, const QDate& to, int userIsn) {
    QString sql = QStringLiteral(
        "SELECT ISN, ISUSER, START_TIME, END_TIME, LOGOFF FROM O_LOGON WHERE START_TIME >= :NO AND START_TIME < :LIDZ");
    db::Params params{{QStringLiteral("NO"), QDateTime(from, QTime(0, 0))},
                      {QStringLiteral("LIDZ"), QDateTime(to.addDays(1), QTime(0, 0))}};
    if (userIsn > 0) {
        sql += QStringLiteral(" AND ISUSER = :ISUSER");
        params.insert(QStringLiteral("ISUSER"), userIsn);
    }
    const db::ResultSet rows = m_db.select(sql + QStringLiteral(" ORDER BY START_TIME DESC, ISN DESC"), params);
    const QHash<int, QString> names = userNames();
    db::ResultSet out(QStringList{QStringLiteral("ISN"), QStringLiteral("ISUSER"), QStringLiteral("LIETOTAJS"),
                                  QStringLiteral("START_TIME"), QStringLiteral("END_TIME"), QStringLiteral("LOGOFF"),
                                  QStringLiteral("BEIGAS")});
    out.reserve(rows.rowCount());
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QString logoff = rows.value(r, 4).toString().trimmed();
        const bool ended = logoff == QLatin1String("OK");
        out.append({rows.value(r, 0), rows.value(r, 1), names.value(rows.value(r, 1).toInt()), rows.value(r, 2),
                    rows.value(r, 3), logoff,
                    ended ? QStringLiteral("OK") : (rows.value(r, 3).isNull() ? tr("nav beigta") : tr("nav OK"))});
    }
    return out;
}

}  // namespace journal
