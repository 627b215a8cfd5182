#pragma once
#include <QDialog>
#include <QStringList>
#include <atomic>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace widgets {

// Sends messages one after another on a thread of its own behind a modal dialog that counts those
// sent, failed and remaining and can stop the sending between two messages ("Pārtraukt", Escape or
// the close box; a message under way is finished first). When all is done it lists the recipients
// whose messages did not go and waits for "Aizvērt". The SMS and e-mail sending dialogs are this
// with their own words.
class SendProgress : public QDialog {
    Q_OBJECT
public:
    struct Texts {
        QString title;     // the window title
        QString counts;    // "%1 sent, %2 failed, %3 remaining" in the message kind's words
        QString stopping;  // shown while the message under way is finished after "Pārtraukt"
    };
    SendProgress(const Texts& texts, QWidget* parent = nullptr);

    struct Counts {
        int sent = 0;
        int failed = 0;
        int notTried = 0;      // left after a stop
        QStringList failures;  // "<recipient>: <reason>"
    };

    // What the sending thread is told: `stop(next)` is asked before each message (true: stop
    // here; otherwise the dialog shows that message's recipient), `done(i, sent, reason)` after
    // each. The work returns how many messages it tried.
    using Stop = std::function<bool(int next)>;
    using Done = std::function<void(int i, bool sent, const QString& reason)>;
    using Work = std::function<int(const Stop& stop, const Done& done)>;

    // Runs the work for `total` messages. `recipient(i)` names a message's recipient;
    // `recorded(i, sent)` runs on the interface thread after each message, before the next one
    // starts, and returning false stops the sending.
    Counts run(int total, const std::function<QString(int)>& recipient, const Work& work,
               const std::function<bool(int i, bool sent)>& recorded = {});

    // Asks the sending to stop after the message under way.
    void cancelSending();
    QString countsText() const;

public Q_SLOTS:
    void reject() override;

private:
    void showCounts();

    Texts m_texts;
    QLabel* m_current = nullptr;
    QLabel* m_counts = nullptr;
    QProgressBar* m_bar = nullptr;
    QPlainTextEdit* m_failures = nullptr;
    QPushButton* m_button = nullptr;
    Counts m_summary;
    int m_total = 0;
    bool m_running = false;
    std::atomic_bool m_cancel{false};
};

}  // namespace widgets
