#include "db/EventListener.h"

#include "db/Database.h"
#include "db/FbStatus.h"

#include <QHash>
#include <QMutex>
#include <QPointer>
#include <QtEndian>

#include <stdexcept>
#include <utility>

namespace db {

namespace {

// First byte of an event parameter block. Then, per name: its length (one byte), its bytes and the
// count last seen (4 bytes, little-endian).
constexpr char EpbVersion1 = 1;
// isc_que_events takes the block's length as a short.
constexpr int MaxBufferLength = 32767;

// The armings that wait for the engine, by cookie. The engine's thread finds the listener only
// through here and under the lock, so a listener that stopped or went away (it removes its cookie
// first) is never touched. Cookies are never reused.
struct Registry {
    QMutex mutex;
    QHash<quint64, EventListener*> armed;
    quint64 lastCookie = 0;
};

Registry& registry() {
    // Never destroyed: an engine thread may still call in while the process exits.
    static Registry* r = new Registry;
    return *r;
}

}  // namespace

EventListener::EventListener(Database& database, const QStringList& eventNames, QObject* parent)
    : QObject(parent), m_db(&database) {
    for (const QString& name : eventNames) {
        if (name.isEmpty() || m_names.contains(name)) continue;
        if (name.toUtf8().size() > 255) throw std::invalid_argument("event name longer than 255 bytes");
        m_names.append(name);
    }
    resetCounts();
    m_hookId = database.addDetachHook([this](bool destroying) {
        stop();
        if (destroying) m_db = nullptr;
    });
}

EventListener::~EventListener() {
    stop();
    if (m_db) m_db->removeDetachHook(m_hookId);
}

void EventListener::resetCounts() {
    m_buffer.clear();
    m_countOffsets.clear();
    m_buffer.append(EpbVersion1);
    for (const QString& name : std::as_const(m_names)) {
        const QByteArray bytes = name.toUtf8();
        m_buffer.append(char(bytes.size()));
        m_buffer.append(bytes);
        m_countOffsets.append(int(m_buffer.size()));
        m_buffer.append(4, '\0');
    }
}

quint32 EventListener::countAt(const QByteArray& buffer, int index) const {
    return qFromLittleEndian<quint32>(buffer.constData() + m_countOffsets.at(index));
}

void EventListener::start() {
    if (m_listening) return;
    if (!m_db) throw DbError(QStringLiteral("The event listener's database is gone."));
    if (!m_db->isAttached()) throw DbError(QStringLiteral("The database is not attached: there is nothing to listen on."));
    if (m_names.isEmpty()) throw DbError(QStringLiteral("The event listener has no event names."));
    if (m_buffer.size() > MaxBufferLength) throw DbError(QStringLiteral("Too many event names for one listener."));
    resetCounts();
    // The engine answers a request with zero counts at once, with its current counts: that answer
    // is taken here, synchronously (one round trip), so that every commit after start() returns
    // moves a count past what we hold and is reported.
    QByteArray current(m_buffer.size(), '\0');
    ISC_STATUS_ARRAY status;
    isc_db_handle handle = *m_db->handlePtr();
    isc_wait_for_event(status, &handle, short(m_buffer.size()), reinterpret_cast<const ISC_UCHAR*>(m_buffer.constData()),
                       reinterpret_cast<ISC_UCHAR*>(current.data()));
    detail::check(status);
    m_buffer = current;
    arm();
    m_listening = true;
}

void EventListener::arm() {
    Registry& r = registry();
    quint64 cookie;
    {
        QMutexLocker lock(&r.mutex);
        cookie = ++r.lastCookie;
        r.armed.insert(cookie, this);
    }
    ISC_STATUS_ARRAY status;
    isc_db_handle handle = *m_db->handlePtr();
    ISC_LONG id = 0;
    isc_que_events(status, &handle, &id, short(m_buffer.size()),
                   reinterpret_cast<const ISC_UCHAR*>(m_buffer.constData()), &EventListener::engineCallback,
                   reinterpret_cast<void*>(quintptr(cookie)));
    if (status[0] == 1 && status[1] != 0) {
        QMutexLocker lock(&r.mutex);
        r.armed.remove(cookie);
        lock.unlock();
        throw detail::makeError(status);
    }
    m_cookie = cookie;
    m_eventId = id;
}

void EventListener::stop() {
    m_listening = false;
    if (!m_cookie) return;
    const quint64 cookie = std::exchange(m_cookie, 0);
    ISC_LONG id = std::exchange(m_eventId, 0);
    bool pending;
    {
        Registry& r = registry();
        QMutexLocker lock(&r.mutex);
        pending = r.armed.remove(cookie) > 0;
    }
    // Outside the registry's lock: cancelling may wait for a callback in progress, which may be
    // waiting for that lock. A request the engine has delivered meanwhile was released by the
    // client library already; its cancel fails, harmlessly.
    if (pending && m_db && m_db->isAttached()) {
        ISC_STATUS_ARRAY status;
        isc_db_handle handle = *m_db->handlePtr();
        isc_cancel_events(status, &handle, &id);
    }
}

void EventListener::engineCallback(void* arg, unsigned short length, const unsigned char* updated) {
    // No client library calls here: this is the engine's thread, inside its delivery.
    const quint64 cookie = quint64(quintptr(arg));
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    EventListener* listener = r.armed.take(cookie);  // an arming is delivered at most once
    if (!listener) return;                          // stopped, cancelled or destroyed
    // Length 0: the engine dropped the request (connection lost); deliver() reports it.
    const QByteArray copy = (length && updated) ? QByteArray(reinterpret_cast<const char*>(updated), length) : QByteArray();
    // Posted under the lock, so the listener cannot be half-destroyed here; once destroyed, Qt drops
    // what was posted to it.
    QMetaObject::invokeMethod(
        listener, [listener, cookie, copy] { listener->deliver(cookie, copy); }, Qt::QueuedConnection);
}

void EventListener::deliver(quint64 cookie, const QByteArray& updated) {
    if (cookie != m_cookie) return;  // stopped or restarted since the engine sent it
    m_cookie = 0;
    m_eventId = 0;  // the client library releases a delivered request itself
    if (updated.size() != m_buffer.size()) {
        m_listening = false;
        Q_EMIT failed(updated.isEmpty() ? QStringLiteral("The database dropped the event request.")
                                        : QStringLiteral("The database answered the event request with a block of another size."));
        return;
    }
    // Counts only grow: a count that moved means at least one committed post since the last look.
    QStringList posted;
    QHash<QString, int> counts;
    for (int i = 0; i < m_names.size(); ++i) {
        const quint32 now = countAt(updated, i);
        const quint32 before = countAt(m_buffer, i);
        if (now == before) continue;
        posted.append(m_names.at(i));
        counts.insert(m_names.at(i), int(now - before));
    }
    m_buffer = updated;
    // Re-armed before anyone hears of it, so that commits during the slots are not missed.
    QString error;
    try {
        arm();
    } catch (const DbError& e) {
        m_listening = false;
        error = e.message();
    }
    const QPointer<EventListener> self(this);
    if (!posted.isEmpty()) Q_EMIT eventsPosted(posted);
    if (self && !counts.isEmpty()) Q_EMIT eventCounts(counts);
    if (self && !error.isEmpty()) Q_EMIT failed(error);
}

}  // namespace db
