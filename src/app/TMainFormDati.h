#pragma once
#include "app/Session.h"
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

// The data module of the log-on: opens the chosen database, checks the user and keeps the
// log-on record. It is the program's Session; tests make their own on a test database.
class TMainFormDati : public Session {
    Q_DECLARE_TR_FUNCTIONS(TMainFormDati)
public:
    // Without a database the connection is opened by logOn(); with one (already attached, e.g. a
    // test database) authenticate() can log on to it directly.
    explicit TMainFormDati(std::unique_ptr<db::Database> database = nullptr);

    // Display name of the database chosen at log-in.
    QString databaseName() const { return m_databaseName; }

    // Opens the chosen database (closing any earlier connection) and authenticates the user. After a
    // refusal the connection is closed again, so a connection is open only for a logged-on user.
    LogonResult logOn(const LogonRequest& request);

    // Checks the user on the open connection and records the log-on (an O_LOGON row). The first
    // log-on as ADMIN into a database without any user creates the default rows and the ADMIN user
    // (no password, no rights string: ADMIN holds every right by name).
    LogonResult authenticate(const QString& userName, const QString& password);

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

    QString m_databaseName;
    bool m_logonEnded = false;
};

}  // namespace app
