#pragma once
#include "archive/DatabaseArchiver.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QProgressBar;

namespace archive {

// Runs an archive on a thread of its own behind a modal dialog that shows what is being done
// (our steps and the engine's verbose lines as they come), so that the interface keeps
// drawing while the engine works. The dialog cannot be closed before the work ends.
class ArchiveProgress : public QDialog {
    Q_OBJECT
public:
    explicit ArchiveProgress(QWidget* parent = nullptr);

    // The outcome of one run: the summary, or the reason it failed.
    struct Outcome {
        bool ok = false;
        ArchiveSummary summary;
        QString error;
    };
    // Runs `work` off this thread while the dialog is shown; returns when it has ended.
    Outcome run(const std::function<ArchiveSummary(const Progress&)>& work);

    QPlainTextEdit* log() const { return m_log; }

public Q_SLOTS:
    void reject() override;

private:
    void addLine(const QString& line);

    QLabel* m_step = nullptr;
    QPlainTextEdit* m_log = nullptr;
    QProgressBar* m_bar = nullptr;
    bool m_running = false;
};

}  // namespace archive
