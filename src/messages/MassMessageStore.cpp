#include "messages/MassMessageStore.h"

#include "db/DbError.h"
#include "mail/MailMessage.h"
#include "sms/ModemPort.h"
#include "sms/SmsText.h"

namespace messages {

namespace {

QString nameOf(const db::ResultSet& rows, int r) {
    return rows.value(r, QStringLiteral("VARDS")).toString().trimmed() + u' ' +
           rows.value(r, QStringLiteral("UZVARDS")).toString().trimmed();
}

}  // namespace

QVector<QPair<int, QString>> MassMessageStore::groups() {
    const db::ResultSet rs = m_db.select(QStringLiteral("SELECT ISN, GNOS FROM N_KLGRUPA WHERE ISN>1 ORDER BY GNOS"));
    QVector<QPair<int, QString>> out;
    out.reserve(rs.rowCount());
    for (int r = 0; r < rs.rowCount(); ++r) out.append({rs.value(r, 0).toInt(), rs.value(r, 1).toString()});
    return out;
}

db::ResultSet MassMessageStore::patients(const PatientChoice& choice) {
    QString sql = QStringLiteral(
        "SELECT N_KLIENTS.ISN, N_KLIENTS.VARDS, N_KLIENTS.UZVARDS, N_KLIENTS.MOB_TEL, N_KLIENTS.E_MAIL "
        "FROM N_KLIENTS WHERE N_KLIENTS.ISN>1 ");
    db::Params params;
    if (!choice.groups.isEmpty()) {
        QStringList names;
        for (int i = 0; i < choice.groups.size(); ++i) {
            const QString name = QStringLiteral("G%1").arg(i);
            names.append(u':' + name);
            params.insert(name, choice.groups.at(i));
        }
        sql += QStringLiteral(" AND N_KLIENTS.ISKLGRUPA IN (") + names.join(QStringLiteral(", ")) + QStringLiteral(") ");
    }
    if (choice.sex != PatientChoice::AnySex) {
        sql += QStringLiteral(" AND N_KLIENTS.DZIMUMS=:DZIMUMS");
        params.insert(QStringLiteral("DZIMUMS"), choice.sex - 1);
    }
    if (choice.language != PatientChoice::AnyLanguage) {
        sql += QStringLiteral(" AND N_KLIENTS.SAZINAS_VAL=:VALODA");
        params.insert(QStringLiteral("VALODA"), choice.language - 1);
    }
    sql += QStringLiteral(" ORDER BY N_KLIENTS.UZVARDS, N_KLIENTS.VARDS");
    return m_db.select(sql, params);
}

SmsMessages MassMessageStore::sms(const db::ResultSet& rows, const QString& text) {
    SmsMessages out;
    if (text.trimmed().isEmpty()) {
        out.stop = tr("Nav ievadīts E-mail/SMS teksts !!!");
        return out;
    }
    const int port = m_db.scalar(QStringLiteral("SELECT SMS_PORT FROM N_ISI")).toInt();
    if (port == 0) {
        out.stop = tr("SMS netika nosūtīts - SMS ports nav ievadīts (iestādā pie kalendāra parametiem) !!!");
        return out;
    }
    out.device = sms::DevicePath(port);
    QStringList tooLong;
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QStringList numbers = sms::SplitNumbers(rows.value(r, QStringLiteral("MOB_TEL")).toString());
        if (numbers.isEmpty()) {
            ++out.withoutNumber;
            continue;
        }
        const QString personal = sms::PersonalText(text, rows.value(r, QStringLiteral("VARDS")).toString().trimmed(),
                                                   rows.value(r, QStringLiteral("UZVARDS")).toString().trimmed());
        const QString name = nameOf(rows, r);
        if (sms::SmsLength(personal) > sms::MaxSmsLength)
            tooLong.append(tr("%1 (%2 zīmes)").arg(name).arg(sms::SmsLength(personal)));
        for (const QString& number : numbers)
            out.messages.append({rows.value(r, QStringLiteral("ISN")).toInt(), 0, name, sms::DialNumber(number), personal});
    }
    if (!tooLong.isEmpty()) {
        out.messages.clear();
        out.stop = tr("SMS netika nosūtīts - teksts ir garāks par %1 zīmēm, kas ietilpst vienā SMS: %2. Saīsiniet tekstu !!!")
                       .arg(sms::MaxSmsLength)
                       .arg(tooLong.join(QStringLiteral(", ")));
    }
    return out;
}

MailMessages MassMessageStore::mail(const db::ResultSet& rows, const QString& subject, const QString& text) {
    MailMessages out;
    if (text.trimmed().isEmpty()) {
        out.stop = tr("Nav ievadīts E-mail/SMS teksts !!!");
        return out;
    }
    try {
        const db::ResultSet isi = m_db.select(QStringLiteral("SELECT HOST_OUT, USER_MAIL, ORGNOS FROM N_ISI"));
        const QString host = isi.first(QStringLiteral("HOST_OUT")).toString().trimmed();
        const QString from = isi.first(QStringLiteral("USER_MAIL")).toString().trimmed();
        if (host.isEmpty()) {
            out.stop = tr("Vēstule netika nosūtīta - smtp host parametrs nav ievadīts (iestādā pie kalendāra parametiem) !!!");
            return out;
        }
        if (from.isEmpty()) {
            out.stop = tr("Vēstule netika nosūtīta - nav ievadīts izsūtītāja e-mail (iestādā pie kalendāra parametiem) !!!");
            return out;
        }
        out.server = mail::MailStore(m_db).server();
        const QString clinic = isi.first(QStringLiteral("ORGNOS")).toString().trimmed();
        for (int r = 0; r < rows.rowCount(); ++r) {
            const QStringList addresses = mail::SplitAddresses(rows.value(r, QStringLiteral("E_MAIL")).toString());
            if (addresses.isEmpty()) {
                ++out.withoutAddress;
                continue;
            }
            const QString name = nameOf(rows, r);
            mail::MailMessage m;
            m.fromName = clinic;
            m.fromAddress = from;
            m.toName = name;
            m.subject = subject.trimmed().isEmpty() ? clinic : subject.trimmed();
            m.body = QString(text).replace(QStringLiteral("<VardsUzvards>"), name);
            for (const QString& a : addresses) {
                m.toAddress = a;
                out.items.append({rows.value(r, QStringLiteral("ISN")).toInt(), 0, name, m});
            }
        }
    } catch (const db::DbError& e) {
        out.items.clear();
        out.stop = tr("Sistēmas kļūda: ") + e.message();
    }
    return out;
}

}  // namespace messages
