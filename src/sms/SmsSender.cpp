#include "sms/SmsSender.h"

#include "sms/ModemPort.h"
#include "sms/ModemReplies.h"
#include "sms/SmsText.h"

#include <QDeadlineTimer>
#include <QStringDecoder>

namespace sms {

namespace {

// One message's exchange with the modem on an open port.
class Dialogue {
public:
    Dialogue(int handle, const std::function<void(const QString&)>& transcript)
        : m_handle(handle), m_transcript(transcript) {}

    // Writes the bytes; the result code of WritePort.
    int write(const QByteArray& bytes) {
        if (m_transcript) m_transcript(QStringLiteral(">> ") + printable(bytes, m_decoder));
        return WritePort(m_handle, bytes.constData(), int(bytes.size()));
    }

    // Reads until a result line (or, when `prompt`, the "> " prompt) or the time-out. Kind::None
    // after the time-out.
    ModemReplies::Reply waitFor(bool prompt, int msecs) {
        const QDeadlineTimer deadline(msecs);
        for (;;) {
            for (ModemReplies::Reply r = m_replies.take(); r.kind != ModemReplies::Kind::None; r = m_replies.take()) {
                log(r.line);
                if (r.kind == ModemReplies::Kind::Ok || r.kind == ModemReplies::Kind::Error ||
                    (r.kind == ModemReplies::Kind::Prompt && prompt))
                    return r;
            }
            const qint64 left = deadline.remainingTime();
            if (left <= 0) return {};
            const QByteArray bytes = ReadPort(m_handle, int(qMin<qint64>(left, 1000)));
            if (!bytes.isEmpty()) {
                m_heard = true;
                m_replies.feed(bytes);
            }
        }
    }

    bool heardAnything() const { return m_heard; }
    int reference() const { return m_replies.messageReference(); }

private:
    void log(const QString& line) {
        if (m_transcript) m_transcript(QStringLiteral("<< ") + line);
    }
    // The bytes as the code page reads them, control characters spelt out.
    static QString printable(const QByteArray& bytes, QStringDecoder& decoder) {
        QString s;
        for (QChar c : QString(decoder.decode(bytes))) {
            if (c == u'\r') s += QStringLiteral("\\r");
            else if (c == u'\n') s += QStringLiteral("\\n");
            else if (c == QChar(EndOfText)) s += QStringLiteral("<26>");
            else s += c;
        }
        return s;
    }

    int m_handle;
    const std::function<void(const QString&)>& m_transcript;
    ModemReplies m_replies;
    QStringDecoder m_decoder{"windows-1257"};
    bool m_heard = false;
};

}  // namespace

SmsSender::SmsSender(QString device, Timeouts timeouts) : m_device(std::move(device)), m_timeouts(timeouts) {}

SmsOutcome SmsSender::send(const SmsMessage& message) {
    SmsOutcome outcome;
    const int handle = OpenDevice(m_device, BaudRate, u'n');
    if (handle == InvalidPort) {
        outcome.reason = tr("Kļūda sūtot SMS 1") + tr(" - neizdevās atvērt portu %1: %2").arg(m_device, LastPortError());
        return outcome;
    }
    Dialogue modem(handle, transcript);
    QStringList failures;
    auto fail = [&](const QString& text) {
        if (!failures.contains(text)) failures.append(text);
    };

    if (modem.write(TextModeCommand()) != 0) fail(tr("Kļūda sūtot SMS 1"));
    // A modem without text mode refuses the mode here and the number next; its answer to the
    // number decides.
    modem.waitFor(false, m_timeouts.command);

    bool refused = false;
    if (modem.write(SendCommand(message.number)) != 0) fail(tr("Kļūda sūtot SMS 2"));
    const ModemReplies::Reply prompt = modem.waitFor(true, m_timeouts.command);
    if (prompt.kind == ModemReplies::Kind::Error || prompt.kind == ModemReplies::Kind::Ok) {
        refused = true;
        fail(tr("Modems atteica numuru: %1").arg(prompt.line));
    }
    if (!refused) {
        if (modem.write(ToModemBytes(message.text)) != 0) fail(tr("Kļūda sūtot SMS 3"));
        if (modem.write(QByteArray(1, EndOfText)) != 0) fail(tr("Kļūda sūtot SMS 4"));
        // A device that has said nothing at all so far is no modem that will answer later.
        const int wait = modem.heardAnything() ? m_timeouts.delivery : m_timeouts.command;
        const ModemReplies::Reply result = modem.waitFor(false, wait);
        if (result.kind == ModemReplies::Kind::Ok && failures.isEmpty()) {
            outcome.sent = true;
        } else if (result.kind == ModemReplies::Kind::Error) {
            fail(tr("Modems atteica: %1").arg(result.line));
        } else if (result.kind == ModemReplies::Kind::None) {
            fail(tr("Modems neatbildēja"));
        }
    }
    ClosePort(handle);
    outcome.reference = modem.reference();
    outcome.reason = failures.join(QStringLiteral("; "));
    return outcome;
}

int SmsSender::sendAll(const QList<SmsMessage>& messages, const std::function<bool()>& cancelled,
                       const std::function<void(int, const SmsOutcome&)>& done) {
    int tried = 0;
    for (int i = 0; i < messages.size(); ++i) {
        if (cancelled && cancelled()) break;
        const SmsOutcome outcome = send(messages[i]);
        ++tried;
        if (done) done(i, outcome);
    }
    return tried;
}

}  // namespace sms
