#pragma once
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

namespace app {

// Tells the open windows that rows changed, whoever changed them. A store calls
// notifyCommitted() after its commit (never before, never after a rollback) with the keys it
// changed; the other workstations' commits arrive as database events naming only the table
// (eventsPosted()), and then the keys are empty, meaning "re-read what you show".
//
// A commit of this workstation reaches its own event listener too. Each local notice therefore
// waits for the event it will cause and swallows it, so that every commit is announced exactly
// once; an event that no local notice is waiting for comes from another workstation.
class ChangeNotifier : public QObject {
    Q_OBJECT
public:
    explicit ChangeNotifier(QObject* parent = nullptr);

    // The tables whose changes are announced; the database posts an event of the same name.
    static const QStringList& watchedTables();

    // A store committed changes to rows of the table (empty keys: rows it cannot name).
    void notifyCommitted(const QString& table, const QList<int>& keys = {});
    // Database events: how many committed transactions posted each table's event since the last
    // delivery.
    void eventsPosted(const QHash<QString, int>& counts);

    // How long a local notice waits for its own event before it stops swallowing one.
    static constexpr int OwnEventWaitMs = 5000;

Q_SIGNALS:
    // Every change of a watched table, whatever its kind.
    void tableChanged(const QString& table, const QList<int>& keys);
    void patientsChanged(const QList<int>& keys);
    // Reference lists: N_AGENTS, N_KABINETI, N_VEIDI, N_BANKA, N_RAJONS, N_KLGRUPA, N_SVETKI,
    // N_USERGROUP.
    void referenceChanged(const QString& table, const QList<int>& keys);
    // Price-list items (N_PRECE) or groups (N_PRGRUPA, the table under the view N_PRGRUP).
    void priceListChanged(const QList<int>& keys);
    // Appointments and consultation requests (O_KONSULT_PIET_HD).
    void appointmentsChanged(const QList<int>& keys);
    // Consultations (O_KONSULTACIJA_HD).
    void consultationsChanged(const QList<int>& keys);
    // Plan lines (O_ARSTPLANS) or treatment lines (O_ARSTESANA_DT) of consultations.
    void treatmentsChanged(const QList<int>& keys);
    // Invoices (O_PAVOUT_HD) and their lines (O_PAVOUT_DT; the keys are then those of the lines).
    void invoicesChanged(const QList<int>& keys);
    // Payments (O_APMAKS_HD) and their allocation rows (O_APMAKS_DT; the keys are then those of the
    // payments).
    void paymentsChanged(const QList<int>& keys);
    void dayLocksChanged();
    void usersChanged();
    void settingsChanged();

private:
    void announce(const QString& table, const QList<int>& keys);
    // Times of local notices whose events have not arrived yet, per table.
    QHash<QString, QList<QDateTime>> m_pendingOwn;
};

}  // namespace app
