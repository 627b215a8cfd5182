#pragma once
#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVector>

namespace db {

class Database;

// Learns, within milliseconds, that committed transactions posted some of the named events — from
// any workstation, this one's own attachment included. The tables' triggers post the table's name.
//
// The listener belongs to the thread that uses its Database (the interface thread) and emits
// there. The engine merges the posts of one transaction into one; commits that land while the
// previous delivery is still on its way come out together in one eventsPosted().
//
// When its Database detaches, the listener stops (start() again after a new attach); when the
// Database is destroyed, the listener is left idle and start() throws. Destroying the listener at
// any time is safe: a delivery that the engine's thread is handing over is dropped.
class EventListener : public QObject {
    Q_OBJECT
public:
    // Names are at most 255 bytes of UTF-8; empty names and repeats are dropped. Any number.
    EventListener(Database& database, const QStringList& eventNames, QObject* parent = nullptr);
    ~EventListener() override;

    QStringList eventNames() const { return m_names; }

    // Starts listening on the database's attachment: every commit after it returns is reported.
    // Takes one round trip to the engine. Does nothing when listening already. Throws DbError when
    // the database is not attached (or gone) or the engine refuses the request.
    void start();
    // Stops listening; anything not yet emitted is dropped. Safe to call at any time.
    void stop();
    bool isListening() const { return m_listening; }

Q_SIGNALS:
    // The events (a subset of eventNames(), in that order) posted since the previous emission.
    void eventsPosted(const QStringList& names);
    // The same delivery with how many committed transactions posted each event.
    void eventCounts(const QHash<QString, int>& counts);
    // Listening ended on its own: the engine refused to re-arm or dropped the request (connection
    // lost). The listener is stopped; the message is the engine's.
    void failed(const QString& message);

private:
    // Runs on the engine's thread; the argument is the arming's cookie, never the listener.
    static void engineCallback(void* arg, unsigned short length, const unsigned char* updated);
    void deliver(quint64 cookie, const QByteArray& updated);
    void arm();
    void resetCounts();
    quint32 countAt(const QByteArray& buffer, int index) const;

    Database* m_db;
    int m_hookId = 0;
    QStringList m_names;
    QByteArray m_buffer;           // event parameter block with the engine's counts last seen
    QVector<int> m_countOffsets;   // where each name's 4-byte count starts in m_buffer
    quint64 m_cookie = 0;          // the arming waiting for its delivery; 0 = none
    int m_eventId = 0;             // the engine's id of that arming, for cancelling it
    bool m_listening = false;
};

}  // namespace db
