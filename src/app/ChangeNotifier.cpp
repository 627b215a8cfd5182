#include "app/ChangeNotifier.h"

namespace app {

namespace {

const QStringList& referenceTables() {
    static const QStringList tables{QStringLiteral("N_AGENTS"), QStringLiteral("N_KABINETI"),
                                    QStringLiteral("N_VEIDI"),  QStringLiteral("N_BANKA"),
                                    QStringLiteral("N_RAJONS"), QStringLiteral("N_KLGRUPA"),
                                    QStringLiteral("N_SVETKI"), QStringLiteral("N_USERGROUP")};
    return tables;
}

}  // namespace

ChangeNotifier::ChangeNotifier(QObject* parent) : QObject(parent) {}

const QStringList& ChangeNotifier::watchedTables() {
    // Built once: every commit notice asks it.
    static const QStringList tables = [] {
        QStringList tables = referenceTables();
        tables << QStringLiteral("N_KLIENTS") << QStringLiteral("N_PRECE") << QStringLiteral("N_PRGRUPA")
               << QStringLiteral("N_USERS") << QStringLiteral("O_DIENAS")
               << QStringLiteral("N_ISI")
               // Appointments and requests, consultations, invoices with their lines, payments with
               // their allocations (those without a typed signal yet: through tableChanged).
               << QStringLiteral("O_KONSULT_PIET_HD") << QStringLiteral("O_KONSULTACIJA_HD")
               << QStringLiteral("O_PAVOUT_HD") << QStringLiteral("O_PAVOUT_DT")
               << QStringLiteral("O_APMAKS_HD") << QStringLiteral("O_APMAKS_DT")
               << QStringLiteral("O_ARSTPLANS") << QStringLiteral("O_ARSTESANA_DT");
        return tables;
    }();
    return tables;
}

void ChangeNotifier::notifyCommitted(const QString& table, const QList<int>& keys) {
    // Only a table whose trigger posts an event will see this commit come back.
    if (watchedTables().contains(table)) m_pendingOwn[table].append(QDateTime::currentDateTimeUtc());
    announce(table, keys);
}

void ChangeNotifier::eventsPosted(const QHash<QString, int>& counts) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        int foreign = it.value();
        QList<QDateTime>& pending = m_pendingOwn[it.key()];
        // A notice whose event never came (e.g. a save that changed no row) must not swallow
        // another workstation's change for long.
        while (!pending.isEmpty() && pending.first().msecsTo(now) > OwnEventWaitMs) pending.removeFirst();
        while (foreign > 0 && !pending.isEmpty()) {
            pending.removeFirst();
            --foreign;
        }
        if (foreign > 0) announce(it.key(), {});
    }
}

void ChangeNotifier::announce(const QString& table, const QList<int>& keys) {
    Q_EMIT tableChanged(table, keys);
    if (table == QLatin1String("N_KLIENTS"))
        Q_EMIT patientsChanged(keys);
    else if (table == QLatin1String("N_PRECE") || table == QLatin1String("N_PRGRUPA"))
        Q_EMIT priceListChanged(keys);
    else if (table == QLatin1String("O_KONSULT_PIET_HD"))
        Q_EMIT appointmentsChanged(keys);
    else if (table == QLatin1String("O_KONSULTACIJA_HD"))
        Q_EMIT consultationsChanged(keys);
    else if (table == QLatin1String("O_ARSTPLANS") || table == QLatin1String("O_ARSTESANA_DT"))
        Q_EMIT treatmentsChanged(keys);
    else if (table == QLatin1String("O_PAVOUT_HD") || table == QLatin1String("O_PAVOUT_DT"))
        Q_EMIT invoicesChanged(keys);
    else if (table == QLatin1String("O_APMAKS_HD") || table == QLatin1String("O_APMAKS_DT"))
        Q_EMIT paymentsChanged(keys);
    else if (table == QLatin1String("O_DIENAS"))
        Q_EMIT dayLocksChanged();
    else if (table == QLatin1String("N_USERS"))
        Q_EMIT usersChanged();
    else if (table == QLatin1String("N_ISI"))
        Q_EMIT settingsChanged();
    if (referenceTables().contains(table)) Q_EMIT referenceChanged(table, keys);
    // The rights window lists the user groups too.
    if (table == QLatin1String("N_USERGROUP")) Q_EMIT usersChanged();
}

}  // namespace app
