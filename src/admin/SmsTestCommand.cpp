#include "admin/AdminCommand.h"
#include "sms/SmsSender.h"
#include "sms/SmsText.h"

namespace {

admin::AdminCommand::Registrar reg({
    QStringLiteral("sms-test"),
    QStringLiteral("DEVICE NUMBER TEXT"),
    QStringLiteral("nosūta vienu SMS caur GSM modemu ierīcē DEVICE (piem. /dev/ttyUSB0) tāpat kā kalendāra "
                   "atgādinājumi: NUMBER bez +371, teksts Windows-1257. Izdrukā modema atbildes; beidzas ar "
                   "kodu 1, ja modems SMS nepieņēma"),
    [](const QStringList& args, QTextStream& out, QTextStream& err) {
        if (args.size() != 3 || args[0].startsWith(QLatin1String("--"))) {
            err << "Lietošana: molarix-admin sms-test DEVICE NUMBER TEXT\n";
            return 2;
        }
        const QString number = args[1].trimmed();
        if (number.isEmpty() || number.contains(u',')) {
            err << "Norādiet vienu tālruņa numuru.\n";
            return 2;
        }
        const int length = sms::SmsLength(args[2]);
        if (args[2].isEmpty() || length > sms::MaxSmsLength) {
            err << "SMS netika nosūtīts - teksta garums " << length << " zīmes, vienā SMS ietilpst 1 līdz "
                << sms::MaxSmsLength << ".\n";
            return 2;
        }
        sms::SmsSender sender(args[0]);
        sender.transcript = [&out](const QString& line) {
            out << line << "\n";
            out.flush();
        };
        const sms::SmsOutcome outcome = sender.send({0, 0, QString(), sms::DialNumber(number), args[2]});
        if (outcome.sent) {
            out << "SMS nosūtīts uz " << sms::DialNumber(number);
            if (outcome.reference >= 0) out << " (modema ziņas numurs " << outcome.reference << ")";
            out << ".\n";
            return 0;
        }
        out.flush();
        err << "SMS netika nosūtīts: " << outcome.reason << "\n";
        return 1;
    },
});

}  // namespace
