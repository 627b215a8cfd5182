#pragma once
#include "sms/SmsSender.h"
#include "widgets/SendProgress.h"

namespace sms {

// Runs an SmsSender on a thread of its own behind the sending dialog (sent / failed / remaining,
// "Pārtraukt" between two messages); at the end it lists the recipients the modem refused.
class SmsProgress : public widgets::SendProgress {
    Q_OBJECT
public:
    explicit SmsProgress(QWidget* parent = nullptr);

    struct Summary {
        int sent = 0;
        int failed = 0;
        int notTried = 0;     // left after "Pārtraukt" or a stop by `outcome`
        QStringList refused;  // "name (number): reason"
    };

    // Sends the messages, showing the dialog modally. `outcome` is called on the interface thread
    // after each message; returning false stops the sending before the next one.
    Summary run(SmsSender& sender, const QList<SmsMessage>& messages,
                const std::function<bool(const SmsMessage&, const SmsOutcome&)>& outcome = {});
};

}  // namespace sms
