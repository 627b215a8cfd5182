#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace sms {

// What a GSM modem answers in text mode, taken from its byte stream: the "> " prompt that asks for
// a message's text, and the result lines that end a command ("OK", "ERROR", "+CMS ERROR: n",
// "+CME ERROR: n"). Every other line (the echo of our own command, "+CMGS: n", unsolicited
// notices) comes as Kind::Line, in the order received, for the transcript.
class ModemReplies {
public:
    enum class Kind { None, Line, Prompt, Ok, Error };
    struct Reply {
        Kind kind = Kind::None;
        QString line;  // the result line as received ("> " for the prompt)
    };

    void feed(const QByteArray& bytes);
    // The next line or prompt of what was fed, oldest first; Kind::None when there is none.
    Reply take();
    // The message reference of the last "+CMGS: n" line, -1 when none came.
    int messageReference() const { return m_reference; }

private:
    void scan();

    QByteArray m_pending;  // bytes after the last line end
    QList<Reply> m_replies;
    int m_reference = -1;
};

}  // namespace sms
