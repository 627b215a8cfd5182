#pragma once
#include "app/Facades.h"
#include "db/Database.h"
#include "db/EventListener.h"

#include <QColor>
#include <QString>
#include <memory>

namespace app {

class ChangeNotifier;

// Who works through which connection: the one connection to the clinic's database, the logged-on
// user (key, name, rights string), the log-on record, the clinic's default VAT rate, the change
// notifier of this connection and the facades through which one subsystem opens another's
// windows. Handed to every window factory and to every store that writes audit columns or journal
// rows; nothing reads it from a global.
class Session {
public:
    explicit Session(std::unique_ptr<db::Database> database = nullptr);
    // A session on a connection that the caller keeps (tools and tests); no user until setUser().
    explicit Session(db::Database& database);
    virtual ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    db::Database& database() { return *m_db; }
    bool isConnected() const { return m_db->isAttached(); }
    bool isLoggedOn() const { return isConnected() && m_userIsn > 0; }

    int UserIsn() const { return m_userIsn; }
    QString UserName() const { return m_userName; }
    QString UserRights() const { return m_userRights; }
    int LogonIsn() const { return m_logonIsn; }

    // The colour editor windows give their input controls; set by the main window.
    QColor HighlightColor() const { return m_highlightColor; }
    void setHighlightColor(const QColor& c) { m_highlightColor = c; }
    // VAT rate in percent for new price-list items and printed VAT lines: the clinic's
    // N_ISI.PVN_LIKME, read at log-on.
    int DefaultVatRate() const { return m_defaultVatRate; }
    void setDefaultVatRate(int rate) { m_defaultVatRate = rate; }

    // The rights test for this user (see HasRight in app/Rights.h).
    bool hasRight(const QString& code, int permission) const;

    // Change notices of this connection: this workstation's saves and the other workstations'
    // commits.
    ChangeNotifier& notifier() { return *m_notifier; }
    Facades& facades() { return m_facades; }

    // Starts hearing the other workstations' commits (database events) on the attached
    // connection; they reach the notifier. The program calls it after log-on. Returns false, and
    // the lists then follow only this workstation's changes, when the engine refuses.
    bool listenToOtherWorkstations();

    // Tests and tools that work on an attached database as a given user.
    void setUser(int isn, const QString& name, const QString& rights = QString());

protected:
    void listenToCommits();

    std::unique_ptr<db::Database> m_database;  // empty when the caller keeps the connection
    db::Database* m_db;
    std::unique_ptr<ChangeNotifier> m_notifier;
    std::unique_ptr<db::EventListener> m_events;
    Facades m_facades;
    int m_userIsn = 0;
    QString m_userName;
    QString m_userRights;
    int m_logonIsn = 0;
    QColor m_highlightColor{0xC0, 0xDC, 0xC0};
    int m_defaultVatRate = 21;
};

}  // namespace app
