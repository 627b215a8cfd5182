#pragma once
#include "db/Database.h"

#include <QColor>
#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <memory>

namespace app {

// What the log-in asks for: the chosen database (display name and connection string) and the
// typed user name and password.
struct LogonRequest {
    QString databaseName;
    QString connectionString;
    QString userName;
    QString password;
};

// The answer of a log-on attempt, for the log-in dialog to show: the message and the field that
// gets the focus. Failures to open the database are shown in a message box, the others in the
// dialog's status bar.
struct LogonResult {
    enum class Outcome {
        LoggedOn,
        Refused,          // see message and focus
        DatabaseMissing,  // a local database file that does not exist: offer to create it
    };
    enum class Field { None, Database, UserName, Password };

    Outcome outcome = Outcome::Refused;
    QString message;
    Field focus = Field::None;
    bool inMessageBox = false;

    bool ok() const { return outcome == Outcome::LoggedOn; }
};

// The session: the one connection to the clinic's database and who is logged on through it.
// Created once at start-up and reachable from every window through instance(); tests create their
// own on a test database.
class TMainFormDati {
    Q_DECLARE_TR_FUNCTIONS(TMainFormDati)
public:
    // Without a database the connection is opened by logOn(); with one (already attached, e.g. a
    // test database) authenticate() can log on to it directly.
    explicit TMainFormDati(std::unique_ptr<db::Database> database = nullptr);
    ~TMainFormDati();
    TMainFormDati(const TMainFormDati&) = delete;
    TMainFormDati& operator=(const TMainFormDati&) = delete;

    // The data module of the running program (the most recently created one still alive).
    static TMainFormDati& instance();
    static bool exists();

    db::Database& database() { return *m_database; }
    bool isConnected() const { return m_database->isAttached(); }
    bool isLoggedOn() const { return isConnected() && m_userIsn > 0; }
    // Display name of the database chosen at log-in.
    QString databaseName() const { return m_databaseName; }

    // Log-on state, set by the log-in and read by every window.
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

    // Opens the chosen database (closing any earlier connection) and authenticates the user. After a
    // refusal the connection is closed again, so a connection is open only for a logged-on user.
    LogonResult logOn(const LogonRequest& request);

    // Checks the user on the open connection and records the log-on (an O_LOGON row). The first
    // log-on as ADMIN into a database without any user creates the default rows and the ADMIN user
    // (no password, no rights string: ADMIN holds every right by name).
    LogonResult authenticate(const QString& userName, const QString& password);

    // Makes a new, empty database at a local path or on a server.
    static void createDatabase(const QString& connectionString);

    // WriteJournal on the default transaction for the logged-on user (not committed).
    void writeJournal(const QString& code, const QString& number, const QString& table, int key,
                      const QString& note = QString(), const QDateTime& documentDate = QDateTime());

    // Orderly exit: closes the log-on row (END_TIME, LOGOFF "OK") in a transaction of its own and
    // commits it. Once per log-on: a second call does nothing.
    void endLogon();

    // Text of the server's error when a database cannot be opened, with a plain explanation added
    // for the cases a receptionist can act on (file in use by another program, file missing).
    static QString openErrorText(const QString& connectionString, const db::DbError& error);

private:
    LogonResult refuse(const QString& message, LogonResult::Field focus);

    std::unique_ptr<db::Database> m_database;
    // The data module that was current before this one (tests make nested sessions); it becomes
    // current again when this one goes.
    TMainFormDati* m_previous = nullptr;
    QString m_databaseName;
    int m_userIsn = 0;
    QString m_userName;
    QString m_userRights;
    int m_logonIsn = 0;
    bool m_logonEnded = false;
    QColor m_highlightColor{0xC0, 0xDC, 0xC0};
    int m_defaultVatRate = 21;
};

}  // namespace app
