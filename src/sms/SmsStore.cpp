#include "sms/SmsStore.h"

#include "app/KeyList.h"
#include "db/Database.h"
#include "sms/ModemPort.h"
#include "sms/SmsText.h"

namespace sms {

namespace {

QString textColumn(SmsKind kind) {
    switch (kind) {
    case SmsKind::Holiday: return QStringLiteral("SVETKI_SMS");
    case SmsKind::Appointment: return QStringLiteral("KONSULTACIJAS_SMS");
    case SmsKind::Prophylaxis: return QStringLiteral("PROFILAKSE_SMS");
    }
    return {};
}

}  // namespace

SmsBatch SmsStore::prepare(SmsKind kind, const QString& patients, const QString& lines) {
    SmsBatch batch;
    const QList<int> patientKeys = app::ParseKeyList(patients);
    if (patientKeys.isEmpty()) return batch;
    const QList<int> lineKeys = kind == SmsKind::Prophylaxis ? app::ParseKeyList(lines) : QList<int>();
    try {
        const db::ResultSet isi = m_db.select(QStringLiteral(
            "SELECT ISN, SMS_PORT, SVETKI_SMS, PROFILAKSE_SMS, KONSULTACIJAS_SMS FROM N_ISI"));
        batch.port = isi.first(QStringLiteral("SMS_PORT")).toInt();
        const QString text = isi.first(textColumn(kind)).toString();
        if (batch.port == 0) {
            batch.stop = tr("SMS netika nosūtīts - SMS ports nav ievadīts (iestādā pie kalendāra parametiem) !!!");
            return batch;
        }
        if (text.isEmpty()) {
            batch.stop = tr("SMS netika nosūtīts - nav ievadīts SMS saturs (iestādā pie kalendāra parametiem) !!!");
            return batch;
        }
        batch.device = DevicePath(batch.port);

        QList<int> withoutPhone;
        QStringList tooLong;
        for (int i = 0; i < patientKeys.size(); ++i) {
            const int line = i < lineKeys.size() ? lineKeys[i] : 0;
            const db::ResultSet row = m_db.select(
                QStringLiteral("SELECT MOB_TEL, VARDS, UZVARDS FROM n_klients WHERE isn = :isn AND MOB_TEL IS NOT NULL"),
                {{QStringLiteral("isn"), patientKeys[i]}});
            const QStringList numbers = SplitNumbers(row.first(QStringLiteral("MOB_TEL")).toString());
            if (numbers.isEmpty()) {
                if (line > 0) withoutPhone.append(line);
                continue;
            }
            const QString vards = row.first(QStringLiteral("VARDS")).toString().trimmed();
            const QString uzvards = row.first(QStringLiteral("UZVARDS")).toString().trimmed();
            const QString personal = PersonalText(text, vards, uzvards);
            const QString name = vards + u' ' + uzvards;
            if (SmsLength(personal) > MaxSmsLength) tooLong.append(tr("%1 (%2 zīmes)").arg(name).arg(SmsLength(personal)));
            for (const QString& number : numbers)
                batch.messages.append({patientKeys[i], line, name, DialNumber(number), personal});
        }
        if (!tooLong.isEmpty()) {
            batch.messages.clear();
            batch.stop = tr("SMS netika nosūtīts - teksts ir garāks par %1 zīmēm, kas ietilpst vienā SMS: %2. "
                            "Saīsiniet tekstu (iestādā pie kalendāra parametiem) !!!")
                             .arg(MaxSmsLength)
                             .arg(tooLong.join(QStringLiteral(", ")));
            return batch;
        }
        markReminded(withoutPhone);
    } catch (const db::DbError& e) {
        batch.messages.clear();
        batch.stop = tr("Sistēmas kļūda: ") + e.message();
    }
    return batch;
}

void SmsStore::markReminded(const QList<int>& lines) {
    if (lines.isEmpty()) return;
    db::Transaction tx(m_db);
    for (int line : lines) {
        tx.exec(QStringLiteral("UPDATE O_ARSTESANA_DT SET ATGAD_SMS = CURRENT_DATE WHERE isn = :isn"),
                {{QStringLiteral("isn"), line}});
        tx.touch(QStringLiteral("O_ARSTESANA_DT"), line);
    }
    tx.commit();
}

}  // namespace sms
