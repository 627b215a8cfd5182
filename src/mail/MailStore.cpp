#include "mail/MailStore.h"

#include "app/KeyList.h"
#include "app/TimeText.h"
#include "db/Database.h"

#include <QRegularExpression>

namespace mail {

namespace {

QString textColumn(MailKind kind) {
    switch (kind) {
    case MailKind::Holiday: return QStringLiteral("SVETKI_TXT");
    case MailKind::Appointment: return QStringLiteral("KONSULTACIJAS_TXT");
    case MailKind::Prophylaxis: return QStringLiteral("PROFILAKSE_TXT");
    }
    return {};
}

QDateTime midnight(QDate d) { return QDateTime(d, QTime(0, 0)); }

}  // namespace

QString MailStore::Subject(MailKind kind) {
    switch (kind) {
    case MailKind::Holiday: return tr("Sveiciens svētkos");
    case MailKind::Appointment: return tr("Atgādinājums par pierakstu pie zobārsta");
    case MailKind::Prophylaxis: return tr("Profilakses atgādinājums");
    }
    return {};
}

MailServer MailStore::server() {
    const db::ResultSet isi = m_db.select(QStringLiteral(
        "SELECT ISN, HOST_OUT, HOST_OUT_PORT, HOST_OUT_DROSIBA, USER_NAME_MAIL, USER_PASSWORD_MAIL FROM N_ISI"));
    MailServer s;
    s.host = isi.first(QStringLiteral("HOST_OUT")).toString().trimmed();
    s.port = isi.first(QStringLiteral("HOST_OUT_PORT")).toInt();
    const int security = isi.first(QStringLiteral("HOST_OUT_DROSIBA")).toInt();
    s.security = security == 2 ? MailServer::Security::Tls
                 : security == 1 ? MailServer::Security::StartTls
                                 : MailServer::Security::None;
    s.user = isi.first(QStringLiteral("USER_NAME_MAIL")).toString().trimmed();
    s.password = isi.first(QStringLiteral("USER_PASSWORD_MAIL")).toString();
    return s;
}

MailBatch MailStore::prepare(MailKind kind, const QString& patients, const QString& lines, QDate day) {
    MailBatch batch;
    const QList<int> patientKeys = app::ParseKeyList(patients);
    if (patientKeys.isEmpty()) return batch;
    const QList<int> lineKeys = kind == MailKind::Prophylaxis ? app::ParseKeyList(lines) : QList<int>();
    try {
        const db::ResultSet isi = m_db.select(QStringLiteral(
            "SELECT ISN, HOST_OUT, USER_MAIL, SVETKI_TXT, PROFILAKSE_TXT, KONSULTACIJAS_TXT, ORGNOS, ORGADR, "
            "REMIND_KONSULTAC_DIENAS FROM N_ISI"));
        const QString host = isi.first(QStringLiteral("HOST_OUT")).toString().trimmed();
        const QString from = isi.first(QStringLiteral("USER_MAIL")).toString().trimmed();
        const QString text = isi.first(textColumn(kind)).toString();
        if (host.isEmpty()) {
            batch.stop = tr("Vēstule netika nosūtīta - smtp host parametrs nav ievadīts (iestādā pie kalendāra parametiem) !!!");
            return batch;
        }
        if (from.isEmpty()) {
            batch.stop = tr("Vēstule netika nosūtīta - nav ievadīts izsūtītāja e-mail (iestādā pie kalendāra parametiem) !!!");
            return batch;
        }
        if (text.trimmed().isEmpty()) {
            batch.stop = tr("Vēstule netika nosūtīta - nav ievadīts e-mail saturs (iestādā pie kalendāra parametiem) !!!");
            return batch;
        }
        batch.server = server();
        const QString clinic = isi.first(QStringLiteral("ORGNOS")).toString().trimmed();
        const QString address = isi.first(QStringLiteral("ORGADR")).toString().trimmed();
        const QString location = clinic.isEmpty() ? address : address.isEmpty() ? clinic : clinic + QStringLiteral(", ") + address;
        const int days = qMax(0, isi.first(QStringLiteral("REMIND_KONSULTAC_DIENAS")).toInt());
        const QString domain = from.section(u'@', 1);

        QList<int> withoutAddress;
        for (int i = 0; i < patientKeys.size(); ++i) {
            const int line = i < lineKeys.size() ? lineKeys[i] : 0;
            const db::ResultSet row = m_db.select(
                QStringLiteral("SELECT E_MAIL, VARDS, UZVARDS FROM n_klients WHERE isn = :isn AND E_MAIL IS NOT NULL"),
                {{QStringLiteral("isn"), patientKeys[i]}});
            const QStringList addresses = SplitAddresses(row.first(QStringLiteral("E_MAIL")).toString());
            if (addresses.isEmpty()) {
                if (line > 0) withoutAddress.append(line);
                continue;
            }
            const QString vards = row.first(QStringLiteral("VARDS")).toString().trimmed();
            const QString uzvards = row.first(QStringLiteral("UZVARDS")).toString().trimmed();
            const QString name = vards + u' ' + uzvards;
            MailMessage m;
            m.fromName = clinic;
            m.fromAddress = from;
            m.toName = name;
            m.subject = Subject(kind);
            m.body = QString(text).replace(QStringLiteral("<VardsUzvards>"), name);
            if (kind == MailKind::Appointment) {
                const QList<CalendarEvent> events = appointments(patientKeys[i], day, day.addDays(days), location, domain);
                if (!events.isEmpty())
                    m.attachments.append({QStringLiteral("pieraksts.ics"),
                                          "text/calendar; charset=utf-8; method=PUBLISH", MakeCalendar(events)});
            }
            for (const QString& a : addresses) {
                m.toAddress = a;
                batch.items.append({patientKeys[i], line, name, m});
            }
        }
        markReminded(withoutAddress);
    } catch (const db::DbError& e) {
        batch.items.clear();
        batch.stop = tr("Sistēmas kļūda: ") + e.message();
    }
    return batch;
}

QList<CalendarEvent> MailStore::appointments(int patient, QDate from, QDate to, const QString& location,
                                             const QString& domain) {
    const db::ResultSet rows = m_db.select(
        QStringLiteral("SELECT P.ISN, P.PLAN_DAT, P.PLAN_LAIKS, P.PLAN_ILGUMS, V.GNOS VEIDS, A.VARDS, A.UZVARDS "
                       "FROM O_KONSULT_PIET_HD P LEFT JOIN N_VEIDI V ON V.ISN = P.ISVEIDS "
                       "LEFT JOIN N_AGENTS A ON A.ISN = P.ISIZPILDITAJS "
                       "WHERE P.ISKLIENTS = :ISKLIENTS AND P.PLAN_DAT BETWEEN :DAT_NO AND :DAT_LIDZ "
                       "AND (P.DZESTS IS NULL OR P.DZESTS = 0) ORDER BY P.PLAN_DAT, P.PLAN_LAIKS"),
        {{QStringLiteral("ISKLIENTS"), patient},
         {QStringLiteral("DAT_NO"), midnight(from)},
         {QStringLiteral("DAT_LIDZ"), midnight(to)}});
    QList<CalendarEvent> events;
    for (int r = 0; r < rows.rowCount(); ++r) {
        const int start = app::TimeToMinutes(rows.value(r, QStringLiteral("PLAN_LAIKS")).toString().trimmed());
        if (start < 0) continue;  // an appointment without a time is no calendar event
        int minutes = app::TimeToMinutes(rows.value(r, QStringLiteral("PLAN_ILGUMS")).toString().trimmed());
        if (minutes <= 0) minutes = 30;
        CalendarEvent e;
        e.start = QDateTime(rows.value(r, QStringLiteral("PLAN_DAT")).toDateTime().date(), QTime(0, 0)).addSecs(qint64(start) * 60);
        e.minutes = minutes;
        const QString kind = rows.value(r, QStringLiteral("VEIDS")).toString().trimmed();
        e.summary = kind.isEmpty() || kind == QLatin1String("Nav noteikts") ? tr("Vizīte pie zobārsta")
                                                                           : tr("Vizīte pie zobārsta: %1").arg(kind);
        const QString vards = rows.value(r, QStringLiteral("VARDS")).toString().trimmed();
        const QString uzvards = rows.value(r, QStringLiteral("UZVARDS")).toString().trimmed();
        if (!(vards == QLatin1String("Nav") && uzvards == QLatin1String("Noteikts"))) e.specialist = QString(vards + u' ' + uzvards).trimmed();
        e.location = location;
        e.uid = QStringLiteral("pieraksts-%1@%2").arg(rows.value(r, QStringLiteral("ISN")).toInt()).arg(domain.isEmpty() ? QStringLiteral("molarix") : domain);
        events.append(e);
    }
    return events;
}

void MailStore::noteOutcome(const MailItem& item, const MailOutcome& outcome) {
    if (outcome.sent && item.line > 0) markReminded({item.line});
}

void MailStore::markReminded(const QList<int>& lines) {
    if (lines.isEmpty()) return;
    db::Transaction tx(m_db);
    for (int line : lines) {
        tx.exec(QStringLiteral("UPDATE O_ARSTESANA_DT SET ATGAD_EMAIL = CURRENT_DATE WHERE isn = :isn"),
                {{QStringLiteral("isn"), line}});
        tx.touch(QStringLiteral("O_ARSTESANA_DT"), line);
    }
    tx.commit();
}

}  // namespace mail
