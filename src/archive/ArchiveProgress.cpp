#include "archive/ArchiveProgress.h"

#include "archive/ArchiveError.h"
#include "db/DbError.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QThread>
#include <QVBoxLayout>

namespace archive {

ArchiveProgress::ArchiveProgress(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ArchiveProgress"));
    setWindowTitle(tr("Datu rezerves kopijas veidošana"));
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    setModal(true);
    m_step = new QLabel(this);
    m_log = new QPlainTextEdit(this);
    m_log->setObjectName(QStringLiteral("mmLog"));
    m_log->setReadOnly(true);
    m_log->setMaximumBlockCount(5000);
    m_log->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 0);  // no measure of how far the engine is: a busy bar
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_step);
    layout->addWidget(m_log, 1);
    layout->addWidget(m_bar);
    resize(640, 360);
}

void ArchiveProgress::reject() {
    // Escape and the close box wait for the engine: a backup cannot be left half-made.
    if (!m_running) QDialog::reject();
}

void ArchiveProgress::addLine(const QString& line) {
    // Our own steps do not start with the engine's "gbak:"; they also head the dialog.
    if (!line.startsWith(QLatin1String("gbak:"))) m_step->setText(line);
    m_log->appendPlainText(line);
}

ArchiveProgress::Outcome ArchiveProgress::run(const std::function<ArchiveSummary(const Progress&)>& work) {
    Outcome outcome;
    QPointer<ArchiveProgress> self(this);
    const Progress progress = [self](const QString& line) {
        QMetaObject::invokeMethod(
            self,
            [self, line] {
                if (self) self->addLine(line);
            },
            Qt::QueuedConnection);
    };
    QThread* thread = QThread::create([&outcome, &work, progress] {
        try {
            outcome.summary = work(progress);
            outcome.ok = true;
        } catch (const ArchiveError& e) {
            outcome.error = e.message();
        } catch (const db::DbError& e) {
            outcome.error = e.message();
        } catch (const std::exception& e) {
            outcome.error = QString::fromLocal8Bit(e.what());
        }
    });
    connect(thread, &QThread::finished, this, [this] {
        m_running = false;
        accept();
    });
    m_running = true;
    thread->start();
    exec();
    thread->wait();
    delete thread;
    m_running = false;
    return outcome;
}

}  // namespace archive
