#include "sms/ModemReplies.h"

namespace sms {

void ModemReplies::feed(const QByteArray& bytes) {
    m_pending += bytes;
    scan();
}

void ModemReplies::scan() {
    for (;;) {
        qsizetype end = -1;
        for (qsizetype i = 0; i < m_pending.size(); ++i) {
            if (m_pending[i] == '\r' || m_pending[i] == '\n') {
                end = i;
                break;
            }
        }
        if (end < 0) break;
        const QString line = QString::fromLatin1(m_pending.left(end)).trimmed();
        m_pending.remove(0, end + 1);
        if (line.isEmpty()) continue;
        if (line == QLatin1String("OK")) {
            m_replies.append({Kind::Ok, line});
        } else if (line == QLatin1String("ERROR") || line.startsWith(QLatin1String("+CMS ERROR")) ||
                   line.startsWith(QLatin1String("+CME ERROR"))) {
            m_replies.append({Kind::Error, line});
        } else {
            if (line.startsWith(QLatin1String("+CMGS:"))) {
                bool ok = false;
                const int ref = line.mid(6).trimmed().toInt(&ok);
                if (ok) m_reference = ref;
            }
            m_replies.append({Kind::Line, line});
        }
    }
    // The prompt has no line end after it: the modem waits for the text on the same line.
    if (m_pending.trimmed() == ">") {
        m_replies.append({Kind::Prompt, QStringLiteral("> ")});
        m_pending.clear();
    }
}

ModemReplies::Reply ModemReplies::take() {
    return m_replies.isEmpty() ? Reply{} : m_replies.takeFirst();
}

}  // namespace sms
