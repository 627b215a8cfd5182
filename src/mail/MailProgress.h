#pragma once
#include "mail/MailStore.h"

#include <QDialog>
#include <atomic>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace mail {

// Runs a MailSender on a thread of its own behind a dialog that counts the messages sent, failed
// and remaining and can stop the sending between two messages ("Pārtraukt"). When all is done it
// lists the recipients whose messages did not go and waits for "Aizvērt".
class MailProgress : public QDialog {
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

    void cancelSending();
    QString countsText() const;

public Q_SLOTS:
    void reject() override;

private:
    void showCounts();

    QLabel* m_current = nullptr;
    QLabel* m_counts = nullptr;
    QProgressBar* m_bar = nullptr;
    QPlainTextEdit* m_failures = nullptr;
    QPushButton* m_button = nullptr;
    Summary m_summary;
    int m_total = 0;
    bool m_running = false;
    std::atomic_bool m_cancel{false};
};

}  // namespace mail
