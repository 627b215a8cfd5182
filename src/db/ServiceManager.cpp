#include "db/ServiceManager.h"

#include "db/Database.h"
#include "db/FbStatus.h"

#include <QRegularExpression>

namespace db {

using detail::check;

namespace {

void appendShortString(QByteArray& spb, char tag, const QByteArray& value) {
    spb.append(tag);
    spb.append(char(value.size()));
    spb.append(value);
}

// Strings of a service request carry a two-byte length.
void appendString(QByteArray& spb, char tag, const QString& value) {
    const QByteArray bytes = value.toUtf8();
    spb.append(tag);
    spb.append(char(bytes.size() & 0xFF));
    spb.append(char((bytes.size() >> 8) & 0xFF));
    spb.append(bytes);
}

void appendInt(QByteArray& spb, char tag, unsigned value) {
    spb.append(tag);
    for (int i = 0; i < 4; ++i) spb.append(char((value >> (8 * i)) & 0xFF));
}

// The answer buffer's length is a 16-bit number.
constexpr unsigned short AnswerSize = 32000;

}  // namespace

DatabaseLocation DatabaseLocation::of(const QString& connectionString) {
    static const QRegularExpression remote(QStringLiteral("^([^/:\\\\]{2,}(?:/[0-9a-zA-Z_]+)?):(.*)$"));
    const QString text = connectionString.trimmed();
    const QRegularExpressionMatch m = remote.match(text);
    if (!m.hasMatch()) return {QString(), text};
    return {m.captured(1), m.captured(2)};
}

ServiceManager::ServiceManager(const QString& server, const QString& user, const QString& password) {
    Database::prepareEnvironment();
    QByteArray spb;
    spb.append(char(isc_spb_version));
    spb.append(char(isc_spb_current_version));
    appendShortString(spb, char(isc_spb_user_name), user.toUtf8());
    appendShortString(spb, char(isc_spb_password), password.toUtf8());
    const QByteArray name =
        (server.isEmpty() ? QStringLiteral("service_mgr") : server + QStringLiteral(":service_mgr")).toUtf8();
    ISC_STATUS_ARRAY status;
    isc_svc_handle handle = 0;
    isc_service_attach(status, 0, name.constData(), &handle, static_cast<unsigned short>(spb.size()),
                       spb.constData());
    check(status);
    m_handle = handle;
}

ServiceManager::~ServiceManager() {
    if (!m_handle) return;
    ISC_STATUS_ARRAY status;
    isc_svc_handle handle = m_handle;
    isc_service_detach(status, &handle);
}

void ServiceManager::start(const QByteArray& request) {
    ISC_STATUS_ARRAY status;
    isc_svc_handle handle = m_handle;
    isc_service_start(status, &handle, nullptr, static_cast<unsigned short>(request.size()),
                      request.constData());
    check(status);
}

void ServiceManager::startBackup(const Backup& backup) {
    QByteArray request;
    request.append(char(isc_action_svc_backup));
    appendString(request, char(isc_spb_dbname), backup.database);
    appendString(request, char(isc_spb_bkp_file), backup.file);
    if (backup.factor > 0) appendInt(request, char(isc_spb_bkp_factor), unsigned(backup.factor));
    if (backup.verbose) request.append(char(isc_spb_verbose));
    appendInt(request, char(isc_spb_options), backup.options);
    start(request);
}

void ServiceManager::startRestore(const Restore& restore) {
    QByteArray request;
    request.append(char(isc_action_svc_restore));
    appendString(request, char(isc_spb_bkp_file), restore.file);
    appendString(request, char(isc_spb_dbname), restore.database);
    if (restore.verbose) request.append(char(isc_spb_verbose));
    appendInt(request, char(isc_spb_options), restore.options);
    start(request);
}

void ServiceManager::readLines(const std::function<void(const QString&)>& onLine) {
    QByteArray answer(AnswerSize, '\0');
    const char items[] = {isc_info_svc_line};
    for (;;) {
        ISC_STATUS_ARRAY status;
        isc_svc_handle handle = m_handle;
        // Blocks until the service has a line or ends; an empty line means it ended.
        isc_service_query(status, &handle, nullptr, 0, nullptr, sizeof items, items, AnswerSize,
                          answer.data());
        check(status);
        const char* p = answer.constData();
        const char* end = p + answer.size();
        bool ended = false;
        while (p < end && *p != isc_info_end) {
            const char tag = *p++;
            if (tag == isc_info_svc_line) {
                const int length = int(isc_vax_integer(p, 2));
                p += 2;
                if (length == 0)
                    ended = true;
                else
                    onLine(QString::fromUtf8(p, length).trimmed());
                p += length;
            } else if (tag == isc_info_truncated || tag == isc_info_data_not_ready) {
                continue;
            } else {
                throw DbError(QStringLiteral("Servisa atbildē nezināma daļa %1.").arg(int(tag)));
            }
        }
        if (ended) return;
    }
}

void ServiceManager::readData(const std::function<void(const char*, int)>& onData) {
    QByteArray answer(AnswerSize, '\0');
    const char items[] = {isc_info_svc_to_eof};
    for (;;) {
        ISC_STATUS_ARRAY status;
        isc_svc_handle handle = m_handle;
        isc_service_query(status, &handle, nullptr, 0, nullptr, sizeof items, items, AnswerSize,
                          answer.data());
        check(status);
        const char* p = answer.constData();
        const char* end = p + answer.size();
        bool more = false;
        bool ended = false;
        while (p < end && *p != isc_info_end) {
            const char tag = *p++;
            if (tag == isc_info_svc_to_eof) {
                const int length = int(isc_vax_integer(p, 2));
                p += 2;
                if (length > 0)
                    onData(p, length);
                else
                    ended = true;
                p += length;
            } else if (tag == isc_info_truncated) {
                more = true;  // the buffer was full: the next query continues
            } else if (tag == isc_info_data_not_ready) {
                more = true;
            } else {
                throw DbError(QStringLiteral("Servisa atbildē nezināma daļa %1.").arg(int(tag)));
            }
        }
        if (ended && !more) return;
    }
}

}  // namespace db
