#pragma once
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace sms {

// One message to one number.
struct SmsMessage {
    int patient = 0;  // N_KLIENTS.ISN (0 for a number typed by hand)
    int line = 0;     // O_ARSTESANA_DT.ISN of a prophylaxis reminder, else 0
    QString name;     // first name and surname, for the report
    QString number;   // as dialled: "+371..."
    QString text;
};

// What became of one message.
struct SmsOutcome {
    bool sent = false;
    QString reason;     // why it was not sent: "Kļūda sūtot SMS n", the modem's refusal, no answer
    int reference = -1; // the modem's message reference ("+CMGS: n")
};

// How long the modem is waited for.
struct ModemTimeouts {
    int command = 5000;    // ms for "OK" to the mode and for the prompt
    int delivery = 60000;  // ms for the network to take the message
};

// Takes messages to the GSM modem on one serial device. For every message the port is opened,
// the modem is put in text mode, given the number and the text, and the port is closed again, so
// that another program may use the modem between messages. The bytes are exactly:
//   AT+CMGF=1\r\n   AT+CMGS="+371..."\r   <text in Windows-1257>   byte 26
// Between them the modem's answers are read: "OK" to the mode, the "> " prompt for the text, and
// "+CMGS: n" with "OK" once the message has gone, or "ERROR" / "+CMS ERROR: n". A modem that
// refuses the number gets no text: it would take the text for a command line and fail the next
// recipient's command with it.
//
// No widgets and no database; it blocks the calling thread, so windows run it on a thread of their
// own (SmsProgress).
class SmsSender {
    Q_DECLARE_TR_FUNCTIONS(SmsSender)
public:
    using Timeouts = ModemTimeouts;
    static constexpr int BaudRate = 460800;

    explicit SmsSender(QString device, Timeouts timeouts = {});

    // Every line the modem sends and every command written, as it happens (">> " ours, "<< " the
    // modem's). Called on the sending thread.
    std::function<void(const QString&)> transcript;

    SmsOutcome send(const SmsMessage& message);
    // Sends the messages in order; `cancelled` is asked before every message, `done` is told the
    // outcome of each (with its position). Returns how many were tried.
    int sendAll(const QList<SmsMessage>& messages, const std::function<bool()>& cancelled,
                const std::function<void(int, const SmsOutcome&)>& done);

    QString device() const { return m_device; }

private:
    QString m_device;
    Timeouts m_timeouts;
};

}  // namespace sms
