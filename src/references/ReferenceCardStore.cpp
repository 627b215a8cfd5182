#include "references/ReferenceCardStore.h"

#include "db/RowStamp.h"
#include "app/SharedProcedures.h"

#include <QDateTime>

namespace references {

ReferenceCardStore::ReferenceCardStore(db::Database& database, const QString& table)
    : m_db(database), m_table(table) {
    if (!app::IsSqlIdentifier(table)) throw std::invalid_argument("not a table name");
}

QVariantHash ReferenceCardStore::load(int key) {
    const db::ResultSet rs =
        m_db.select(QStringLiteral("SELECT * FROM ") + m_table + QStringLiteral(" WHERE ISN=:ISN"),
                    {{QStringLiteral("ISN"), key}});
    QVariantHash values;
    if (rs.isEmpty()) return values;
    for (int c = 0; c < rs.columnCount(); ++c) values.insert(rs.columns().at(c), rs.value(0, c));
    return values;
}

app::CardCheck ReferenceCardStore::validate(const QVariantHash& values) const {
    auto empty = [&](const char* field) {
        return values.value(QString::fromLatin1(field)).toString().trimmed().isEmpty();
    };
    if (m_table == QLatin1String("N_AGENTS")) {
        if (empty("UZVARDS"))
            return app::CardCheck::fail(tr("Nav ievadīts ārsta uzvārds !!!"), QStringLiteral("UZVARDS"));
        if (empty("VARDS"))
            return app::CardCheck::fail(tr("Nav ievadīts ārsta vārds !!!"), QStringLiteral("VARDS"));
        return {};
    }
    if (!empty("GNOS")) return {};
    if (m_table == QLatin1String("N_BANKA"))
        return app::CardCheck::fail(tr("Nav ievadīts bankas nosaukums !!!"), QStringLiteral("GNOS"));
    if (m_table == QLatin1String("N_VEIDI"))
        return app::CardCheck::fail(tr("Nav ievadīts nosaukums!!!"), QStringLiteral("GNOS"));
    return app::CardCheck::fail(tr("Nav ievadīts nosaukums !!!"), QStringLiteral("GNOS"));
}

bool ReferenceCardStore::nameTaken(const QString& name, int key) {
    return m_db
        .scalar(QStringLiteral(
                    "SELECT ISN FROM N_VEIDI WHERE GNOS = CAST(:nosaukums AS VARCHAR(250)) AND ISN!=:ISN"),
                {{QStringLiteral("nosaukums"), name}, {QStringLiteral("ISN"), key}})
        .isValid();
}

int WriteRow(db::Transaction& tx, const QString& table, int key, QVariantHash values, int userIsn,
             const std::optional<QVariant>& readStamp) {
    if (!app::IsSqlIdentifier(table)) throw std::invalid_argument("not a table name");
    values.remove(QStringLiteral("ISN"));
    const QDateTime now = QDateTime::currentDateTime();
    const QVariant user = userIsn > 0 ? QVariant(userIsn) : QVariant();
    values.insert(QStringLiteral("ISUSER_EDIT"), user);
    values.insert(QStringLiteral("IEVDAT_EDIT"), now);
    if (key <= 0) {
        values.insert(QStringLiteral("ISUSER_NEW"), user);
        values.insert(QStringLiteral("IEVDAT_NEW"), now);
    } else {
        // The creation stamp stays as it was.
        values.remove(QStringLiteral("ISUSER_NEW"));
        values.remove(QStringLiteral("IEVDAT_NEW"));
    }
    QStringList columns = values.keys();
    columns.sort();
    for (const QString& c : columns)
        if (!app::IsSqlIdentifier(c)) throw std::invalid_argument("not a column name");
    if (key <= 0) {
        QStringList params;
        for (const QString& c : columns) params.append(QLatin1Char(':') + c);
        return tx
            .scalar(QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") + columns.join(u',') +
                        QStringLiteral(") VALUES (") + params.join(u',') + QStringLiteral(") RETURNING ISN"),
                    values)
            .toInt();
    }
    QStringList sets;
    for (const QString& c : columns) sets.append(c + QStringLiteral("=:") + c);
    values.insert(QStringLiteral("OLD_ISN"), key);
    QString where = QStringLiteral(" WHERE ISN=:OLD_ISN");
    if (readStamp) where += db::UnchangedSince(*readStamp, values);
    const int changed = tx.exec(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") + sets.join(u',') + where, values);
    if (readStamp && changed == 0) throw db::StaleRowError();
    return key;
}

int ReferenceCardStore::save(int key, const QVariantHash& input, int userIsn) {
    db::Transaction tx(m_db);
    const int isn = WriteRow(tx, m_table, key, input, userIsn);
    // The journal's note stays empty: notes are kept for rows made by an import or a drag.
    app::WriteJournal(tx, userIsn, key <= 0 ? QStringLiteral("J") : QStringLiteral("L"), QString(), m_table,
                      isn, QString(), QDateTime());
    tx.commit();
    return isn;
}

void ReferenceCardStore::update(int key, const QVariantHash& input) {
    QVariantHash values = input;
    QStringList sets;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (!app::IsSqlIdentifier(it.key())) throw std::invalid_argument("not a column name");
        sets.append(it.key() + QStringLiteral("=:") + it.key());
    }
    values.insert(QStringLiteral("OLD_ISN"), key);
    db::Transaction tx(m_db);
    tx.exec(QStringLiteral("UPDATE ") + m_table + QStringLiteral(" SET ") + sets.join(u',') +
                QStringLiteral(" WHERE ISN=:OLD_ISN"),
            values);
    tx.touch(m_table, key);
    tx.commit();
}

}  // namespace references
