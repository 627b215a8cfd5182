#include "mail/MailSender.h"

#include <curl/curl.h>
#include <mutex>

namespace mail {

namespace {

void globalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Upload {
    QByteArray data;
    qsizetype pos = 0;
};

size_t readMessage(char* buffer, size_t size, size_t count, void* user) {
    auto* u = static_cast<Upload*>(user);
    const size_t room = size * count;
    const size_t left = size_t(u->data.size() - u->pos);
    const size_t n = qMin(room, left);
    memcpy(buffer, u->data.constData() + u->pos, n);
    u->pos += qsizetype(n);
    return n;
}

}  // namespace

QString MailServer::url() const {
    QString h = host.trimmed();
    int p = port;
    // "host:port" as typed in the host field (an IPv6 address stays whole).
    const qsizetype colon = h.lastIndexOf(u':');
    if (colon > 0 && h.count(u':') == 1) {
        bool ok = false;
        const int typed = h.mid(colon + 1).toInt(&ok);
        if (ok && typed > 0) {
            if (p == 0) p = typed;
            h = h.left(colon);
        }
    }
    if (p == 0) p = security == Security::Tls ? 465 : security == Security::StartTls ? 587 : 25;
    if (h.contains(u':') && !h.startsWith(u'[')) h = u'[' + h + u']';
    return QStringLiteral("%1://%2:%3").arg(security == Security::Tls ? QStringLiteral("smtps") : QStringLiteral("smtp"), h).arg(p);
}

MailSender::MailSender(MailServer server) : m_server(std::move(server)) {
    globalInit();
    m_curl = curl_easy_init();
}

MailSender::~MailSender() {
    if (m_curl) curl_easy_cleanup(static_cast<CURL*>(m_curl));
}

MailOutcome MailSender::send(const MailMessage& message) {
    MailOutcome outcome;
    auto* curl = static_cast<CURL*>(m_curl);
    if (!curl) {
        outcome.reason = tr("e-pasta bibliotēku neizdevās sagatavot");
        return outcome;
    }
    if (!IsPlausibleAddress(message.toAddress)) {
        outcome.reason = tr("nederīga e-pasta adrese \"%1\"").arg(message.toAddress);
        return outcome;
    }
    if (!IsPlausibleAddress(message.fromAddress)) {
        outcome.reason = tr("nederīga izsūtītāja e-pasta adrese \"%1\"").arg(message.fromAddress);
        return outcome;
    }
    Upload upload{ComposeMessage(message)};
    const QByteArray url = m_server.url().toUtf8();
    const QByteArray from = '<' + message.fromAddress.toUtf8() + '>';
    const QByteArray to = '<' + message.toAddress.toUtf8() + '>';
    const QByteArray user = m_server.user.toUtf8();
    const QByteArray password = m_server.password.toUtf8();
    const QByteArray caFile = m_server.caFile.toLocal8Bit();
    curl_slist* recipients = curl_slist_append(nullptr, to.constData());
    char error[CURL_ERROR_SIZE] = {0};

    curl_easy_reset(curl);
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readMessage);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(upload.data.size()));
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(qMin(m_server.timeoutSeconds, 30)));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, long(m_server.timeoutSeconds));
    if (m_server.security == MailServer::Security::StartTls)
        curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));  // never in the clear when asked for encryption
    if (!caFile.isEmpty()) curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.constData());
    if (!user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }
    const CURLcode rc = curl_easy_perform(curl);
    long response = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &response);
    curl_slist_free_all(recipients);
    if (rc == CURLE_OK) {
        outcome.sent = true;
        return outcome;
    }
    QString reason = QString::fromUtf8(error[0] ? error : curl_easy_strerror(rc)).trimmed();
    if (response > 0 && !reason.contains(QString::number(response)))
        reason += tr(" (servera atbilde %1)").arg(response);
    outcome.reason = reason;
    return outcome;
}

}  // namespace mail
