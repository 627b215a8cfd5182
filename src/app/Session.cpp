#include "app/Session.h"

#include "app/ChangeNotifier.h"
#include "app/Rights.h"

namespace app {

Session::Session(std::unique_ptr<db::Database> database)
    : m_database(database ? std::move(database) : std::make_unique<db::Database>()),
      m_db(m_database.get()),
      m_notifier(std::make_unique<ChangeNotifier>()) {
    listenToCommits();
}

Session::Session(db::Database& database) : m_db(&database), m_notifier(std::make_unique<ChangeNotifier>()) {
    listenToCommits();
}

Session::~Session() {
    m_events.reset();
    m_db->setCommitListener({});
}

bool Session::listenToOtherWorkstations() {
    try {
        if (!m_events) {
            m_events = std::make_unique<db::EventListener>(*m_db, ChangeNotifier::watchedTables());
            QObject::connect(m_events.get(), &db::EventListener::eventCounts, m_notifier.get(),
                             &ChangeNotifier::eventsPosted);
        }
        m_events->start();
        return true;
    } catch (const db::DbError& e) {
        qWarning("Change events are not available: %s", qPrintable(e.message()));
        return false;
    }
}

void Session::listenToCommits() {
    ChangeNotifier* notifier = m_notifier.get();
    m_db->setCommitListener(
        [notifier](const QString& table, const QList<int>& keys) { notifier->notifyCommitted(table, keys); });
}

bool Session::hasRight(const QString& code, int permission) const {
    return HasRight(m_userName, m_userRights, code, permission);
}

void Session::setUser(int isn, const QString& name, const QString& rights) {
    m_userIsn = isn;
    m_userName = name;
    m_userRights = rights;
}

}  // namespace app
