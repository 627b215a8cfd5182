#include "sms/SmsProgress.h"

#include <QVector>

namespace sms {

SmsProgress::SmsProgress(QWidget* parent)
    : widgets::SendProgress({tr("SMS sūtīšana"), tr("Nosūtīti: %1    Neizdevās: %2    Atlikuši: %3"),
                             tr("Sūtīšana tiek pārtraukta pēc šī SMS ...")},
                            parent) {
    setObjectName(QStringLiteral("SmsProgress"));
}

SmsProgress::Summary SmsProgress::run(SmsSender& sender, const QList<SmsMessage>& messages,
                                      const std::function<bool(const SmsMessage&, const SmsOutcome&)>& outcome) {
    // Written by the sending thread before it reports a message, read while it waits.
    QVector<SmsOutcome> outcomes(messages.size());
    const Counts counts = SendProgress::run(
        int(messages.size()), [&](int i) { return tr("%1 (%2)").arg(messages[i].name, messages[i].number); },
        [&](const Stop& stop, const Done& done) {
            int next = 0;
            // One opening of the port for all the messages.
            return sender.sendAll(
                messages, [&] { return stop(next); },
                [&](int i, const SmsOutcome& result) {
                    next = i + 1;
                    outcomes[i] = result;
                    done(i, result.sent, result.reason);
                });
        },
        [&](int i, bool) { return !outcome || outcome(messages[i], outcomes[i]); });
    return {counts.sent, counts.failed, counts.notTried, counts.failures};
}

}  // namespace sms
