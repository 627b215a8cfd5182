#include "mail/MailProgress.h"

#include <QVector>

namespace mail {

MailProgress::MailProgress(QWidget* parent)
    : widgets::SendProgress({tr("E-pasta sūtīšana"), tr("Nosūtītas: %1    Neizdevās: %2    Atlikušas: %3"),
                             tr("Sūtīšana tiek pārtraukta pēc šīs vēstules ...")},
                            parent) {
    setObjectName(QStringLiteral("MailProgress"));
}

MailProgress::Summary MailProgress::run(MailSender& sender, const QList<MailItem>& items,
                                        const std::function<bool(const MailItem&, const MailOutcome&)>& outcome) {
    // Written by the sending thread before it reports a message, read while it waits.
    QVector<MailOutcome> outcomes(items.size());
    const Counts counts = SendProgress::run(
        int(items.size()), [&](int i) { return tr("%1 (%2)").arg(items[i].name, items[i].message.toAddress); },
        [&](const Stop& stop, const Done& done) {
            int tried = 0;
            for (int i = 0; i < items.size() && !stop(i); ++i) {
                outcomes[i] = sender.send(items[i].message);
                tried = i + 1;
                done(i, outcomes[i].sent, outcomes[i].reason);
            }
            return tried;
        },
        [&](int i, bool) { return !outcome || outcome(items[i], outcomes[i]); });
    return {counts.sent, counts.failed, counts.notTried, counts.failures};
}

}  // namespace mail
