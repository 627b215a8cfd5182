#pragma once
#include "mail/MailStore.h"
#include "widgets/SendProgress.h"

namespace mail {

// Runs a MailSender on a thread of its own behind the sending dialog (sent / failed / remaining,
// "Pārtraukt" between two messages); at the end it lists the recipients whose messages did not go.
class MailProgress : public widgets::SendProgress {
    Q_OBJECT
public:
    explicit MailProgress(QWidget* parent = nullptr);

    struct Summary {
        int sent = 0;
        int failed = 0;
        int notTried = 0;
        QStringList failures;  // "name (address): reason"
    };

    // Sends the items, showing the dialog modally. `outcome` is called on the interface thread
    // after each message; returning false stops the sending before the next one.
    Summary run(MailSender& sender, const QList<MailItem>& items,
                const std::function<bool(const MailItem&, const MailOutcome&)>& outcome = {});
};

}  // namespace mail
