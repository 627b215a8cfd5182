#pragma once
#include "mail/MailMessage.h"

#include <QCoreApplication>
#include <QString>
#include <functional>

namespace mail {

// How the clinic's outgoing mail server is reached.
struct MailServer {
    enum class Security { None = 0, StartTls = 1, Tls = 2 };
    QString host;       // name or address; "host:port" is understood too
    int port = 0;       // 0: 25 without encryption, 587 with STARTTLS, 465 with TLS
    Security security = Security::None;
    QString user;       // empty: the server is not logged in to
    QString password;
    QString caFile;     // certificates to trust besides the system's (a clinic's own server)
    int timeoutSeconds = 60;

    // "smtp://host:port" or "smtps://host:port".
    QString url() const;
};

// What became of one message.
struct MailOutcome {
    bool sent = false;
    QString reason;  // the server's or the connection's complaint when not sent
};

// Sends messages through an SMTP server with libcurl, one envelope per message, keeping the
// connection open between the messages of one sender. No widgets and no database; it blocks the
// calling thread.
class MailSender {
    Q_DECLARE_TR_FUNCTIONS(MailSender)
public:
    explicit MailSender(MailServer server);
    ~MailSender();
    MailSender(const MailSender&) = delete;
    MailSender& operator=(const MailSender&) = delete;

    MailOutcome send(const MailMessage& message);
    const MailServer& server() const { return m_server; }

private:
    MailServer m_server;
    void* m_curl = nullptr;
};

}  // namespace mail
