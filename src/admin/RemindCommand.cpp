#include "admin/AdminCommand.h"
#include "app/KeyList.h"
#include "calendar/ReminderStore.h"
#include "db/Database.h"
#include "mail/MailSender.h"
#include "mail/MailStore.h"
#include "sms/SmsSender.h"
#include "sms/SmsStore.h"

namespace {

QDate parseDate(const QString& text) {
    QDate d = QDate::fromString(text, QStringLiteral("dd.MM.yyyy"));
    if (!d.isValid()) d = QDate::fromString(text, Qt::ISODate);
    return d;
}

QString when(const QDateTime& t) { return t.toString(QStringLiteral("dd.MM.yyyy hh:mm")); }

// The day's appointment reminders by SMS and e-mail to everybody the reminders page would
// preselect: the patients with appointments from the day to the day plus the reminder days.
int remind(const QStringList& args, QTextStream& out, QTextStream& err) {
    QString database;
    QDate day = QDate::currentDate();
    bool dryRun = false, sms = true, email = true;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--dry-run")) {
            dryRun = true;
        } else if (a == QLatin1String("--no-sms")) {
            sms = false;
        } else if (a == QLatin1String("--no-email")) {
            email = false;
        } else if (a == QLatin1String("--date") && i + 1 < args.size()) {
            day = parseDate(args[++i]);
            if (!day.isValid()) {
                err << "Datums nav saprotams: " << args[i] << " (dd.mm.gggg vai gggg-mm-dd)\n";
                return 2;
            }
        } else if (database.isEmpty() && !a.startsWith(QLatin1String("--"))) {
            database = a;
        } else {
            err << "Nesaprotu argumentu: " << a << "\n";
            return 2;
        }
    }
    if (database.isEmpty()) {
        err << "Lietošana: molarix-admin remind DATABASE [--date D] [--dry-run] [--no-sms] [--no-email]\n";
        return 2;
    }
    db::Database db;
    db.attach(database);
    calendar::ReminderStore reminders(db);
    const int days = reminders.appointmentDays();
    const QList<calendar::AppointmentReminder> list = reminders.appointments(day, day.addDays(days));
    out << "Vizītes no " << day.toString(QStringLiteral("dd.MM.yyyy")) << " līdz "
        << day.addDays(days).toString(QStringLiteral("dd.MM.yyyy")) << ": " << list.size() << " pacienti\n";
    QList<int> keys;
    for (const auto& r : list) keys.append(r.patient);
    const QString keyList = app::FormatKeyList(keys);

    sms::SmsBatch smsBatch;
    if (sms) smsBatch = sms::SmsStore(db).prepare(sms::SmsKind::Appointment, keyList);
    mail::MailStore mailStore(db);
    mail::MailBatch mailBatch;
    if (email) mailBatch = mailStore.prepare(mail::MailKind::Appointment, keyList, QString(), day);

    for (const auto& r : list) {
        QStringList times;
        for (const QDateTime& t : r.times) times << when(t);
        out << times.join(QStringLiteral(", ")) << "  " << r.name;
        if (!r.procedure.isEmpty()) out << " (" << r.procedure << ")";
        out << "\n";
        if (sms && smsBatch.stop.isEmpty()) {
            bool any = false;
            for (const auto& m : smsBatch.messages)
                if (m.patient == r.patient) out << "    SMS: " << m.number << "\n", any = true;
            if (!any) out << "    SMS: nav mobilā tālruņa\n";
        }
        if (email && mailBatch.stop.isEmpty()) {
            bool any = false;
            for (const auto& m : mailBatch.items)
                if (m.patient == r.patient) {
                    out << "    E-pasts: " << m.message.toAddress;
                    if (!m.message.attachments.isEmpty()) out << " (ar kalendāra failu)";
                    out << "\n";
                    any = true;
                }
            if (!any) out << "    E-pasts: nav e-pasta adreses\n";
        }
    }
    int problems = 0;
    if (sms && !smsBatch.stop.isEmpty() && !list.isEmpty()) {
        err << "SMS: " << smsBatch.stop << "\n";
        ++problems;
    }
    if (email && !mailBatch.stop.isEmpty() && !list.isEmpty()) {
        err << "E-pasts: " << mailBatch.stop << "\n";
        ++problems;
    }
    if (dryRun) {
        out << "Izmēģinājums (--dry-run): nekas netika nosūtīts.\n";
        db.detach();
        return problems > 0 ? 1 : 0;
    }
    out.flush();

    int smsSent = 0, smsFailed = 0, mailSent = 0, mailFailed = 0;
    if (sms && smsBatch.stop.isEmpty() && !smsBatch.messages.isEmpty()) {
        sms::SmsSender sender(smsBatch.device);
        sender.sendAll(smsBatch.messages, [] { return false; }, [&](int i, const sms::SmsOutcome& o) {
            const sms::SmsMessage& m = smsBatch.messages[i];
            if (o.sent) {
                ++smsSent;
            } else {
                ++smsFailed;
                err << "SMS netika nosūtīts: " << m.name << " (" << m.number << "): " << o.reason << "\n";
                err.flush();
            }
        });
    }
    if (email && mailBatch.stop.isEmpty() && !mailBatch.items.isEmpty()) {
        mail::MailSender sender(mailBatch.server);
        for (const mail::MailItem& item : mailBatch.items) {
            const mail::MailOutcome o = sender.send(item.message);
            if (o.sent) {
                ++mailSent;
            } else {
                ++mailFailed;
                err << "Vēstule netika nosūtīta: " << item.name << " (" << item.message.toAddress << "): " << o.reason << "\n";
                err.flush();
            }
        }
    }
    out << "Nosūtīti: SMS " << smsSent << ", e-pasta vēstules " << mailSent << "; neizdevās: SMS " << smsFailed
        << ", e-pasta vēstules " << mailFailed << ".\n";
    db.detach();
    return problems + smsFailed + mailFailed > 0 ? 1 : 0;
}

admin::AdminCommand::Registrar reg({
    QStringLiteral("remind"),
    QStringLiteral("DATABASE [--date D] [--dry-run] [--no-sms] [--no-email]"),
    QStringLiteral("nosūta dienas atgādinājumus par vizītēm (SMS un e-pastu) visiem pacientiem ar vizīti no D (šodien) "
                   "līdz D + kalendāra parametru \"Vizītes rādīt\" dienām; --dry-run tikai izdrukā, kam ko sūtītu; "
                   "beidzas ar kodu 1, ja kāds atgādinājums netika nosūtīts"),
    remind,
});

}  // namespace
