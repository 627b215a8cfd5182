#include "calendar/CalendarParametersStore.h"

#include "calendar/PlannerStore.h"
#include "db/Transaction.h"

namespace calendar {

const QStringList& CalendarParametersStore::columns() {
    static const QStringList list = [] {
        QStringList c;
        for (int d = 1; d <= 7; ++d) c << QStringLiteral("DARBADIENA_%1").arg(d);
        for (int n = 1; n <= 6; ++n) c << ColorColumn(n);
        c << QStringLiteral("REMIND_SVETKI_DIENAS") << QStringLiteral("REMIND_KONSULTAC_DIENAS")
          << QStringLiteral("HOST_OUT") << QStringLiteral("USER_MAIL") << QStringLiteral("SMS_PORT")
          << QStringLiteral("HOST_OUT_PORT") << QStringLiteral("HOST_OUT_DROSIBA") << QStringLiteral("USER_NAME_MAIL")
          << QStringLiteral("USER_PASSWORD_MAIL")
          << QStringLiteral("SVETKI_TXT") << QStringLiteral("PROFILAKSE_TXT") << QStringLiteral("KONSULTACIJAS_TXT")
          << QStringLiteral("SVETKI_SMS") << QStringLiteral("PROFILAKSE_SMS") << QStringLiteral("KONSULTACIJAS_SMS");
        return c;
    }();
    return list;
}

bool CalendarParametersStore::load() {
    const db::ResultSet row =
        m_db.select(QStringLiteral("SELECT ISN, ") + columns().join(QStringLiteral(", ")) + QStringLiteral(" FROM N_ISI"));
    m_read.clear();
    m_values.clear();
    m_isn = QVariant();
    if (row.isEmpty()) return false;
    m_isn = row.value(0, 0);
    for (const QString& column : columns()) m_read.insert(column, row.first(column));
    m_values = m_read;
    const auto defaults = DefaultColors();
    for (int n = 1; n <= 6; ++n)
        if (m_values.value(ColorColumn(n)).toLongLong() == 0)
            m_values.insert(ColorColumn(n), qint64(defaults[size_t(n - 1)]));
    return true;
}

QStringList CalendarParametersStore::changedColumns() const {
    QStringList changed;
    for (const QString& column : columns()) {
        const QVariant a = m_read.value(column);
        const QVariant b = m_values.value(column);
        if (a.isNull() != b.isNull() || (!a.isNull() && a.toString() != b.toString())) changed << column;
    }
    return changed;
}

void CalendarParametersStore::save() {
    const QStringList changed = changedColumns();
    if (changed.isEmpty() || !m_isn.isValid()) return;
    QStringList sets;
    db::Params params{{QStringLiteral("ISN"), m_isn}};
    for (const QString& column : changed) {
        sets << column + QStringLiteral("=:") + column;
        params.insert(column, m_values.value(column));
    }
    db::Transaction tx(m_db);
    tx.exec(QStringLiteral("UPDATE N_ISI SET ") + sets.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ISN=:ISN"),
            params);
    tx.touch(QStringLiteral("N_ISI"));
    tx.commit();
    for (const QString& column : changed) m_read.insert(column, m_values.value(column));
}

}  // namespace calendar
