#include "sms/SmsProgress.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace sms {

SmsProgress::SmsProgress(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SmsProgress"));
    setWindowTitle(tr("SMS sūtīšana"));
    setModal(true);
    m_current = new QLabel(this);
    m_current->setObjectName(QStringLiteral("lbCurrent"));
    m_counts = new QLabel(this);
    m_counts->setObjectName(QStringLiteral("lbCounts"));
    m_bar = new QProgressBar(this);
    m_failures = new QPlainTextEdit(this);
    m_failures->setObjectName(QStringLiteral("mmFailures"));
    m_failures->setReadOnly(true);
    m_failures->setPlaceholderText(tr("Neizdevušies sūtījumi"));
    m_button = new QPushButton(tr("Pārtraukt"), this);
    m_button->setObjectName(QStringLiteral("btnCancel"));
    connect(m_button, &QPushButton::clicked, this, [this] {
        if (m_running) cancelSending();
        else accept();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_current);
    layout->addWidget(m_counts);
    layout->addWidget(m_bar);
    layout->addWidget(m_failures, 1);
    layout->addWidget(m_button, 0, Qt::AlignRight);
    resize(520, 320);
}

QString SmsProgress::countsText() const {
    const int remaining = m_total - m_summary.sent - m_summary.failed - m_summary.notTried;
    return tr("Nosūtīti: %1    Neizdevās: %2    Atlikuši: %3").arg(m_summary.sent).arg(m_summary.failed).arg(remaining);
}

void SmsProgress::showCounts() {
    m_counts->setText(countsText());
    m_bar->setValue(m_summary.sent + m_summary.failed);
}

void SmsProgress::cancelSending() {
    m_cancel = true;
    m_button->setEnabled(false);
    m_current->setText(tr("Sūtīšana tiek pārtraukta pēc šī SMS ..."));
}

void SmsProgress::reject() {
    // Escape and the close box stop the sending as "Pārtraukt" does; a message half-written to the
    // modem is finished first.
    if (m_running) cancelSending();
    else QDialog::reject();
}

SmsProgress::Summary SmsProgress::run(SmsSender& sender, const QList<SmsMessage>& messages,
                                      const std::function<bool(const SmsMessage&, const SmsOutcome&)>& outcome) {
    m_summary = {};
    m_total = int(messages.size());
    m_cancel = false;
    m_bar->setRange(0, m_total);
    m_failures->clear();
    showCounts();
    QPointer<SmsProgress> self(this);
    auto starting = [self, messages](int i) {
        QMetaObject::invokeMethod(self, [self, i, messages] {
            if (self) self->m_current->setText(tr("Sūta: %1 (%2)").arg(messages[i].name, messages[i].number));
        }, Qt::QueuedConnection);
    };
    auto done = [self, messages, &outcome](int i, const SmsOutcome& result) {
        // Blocking: the next message waits until the interface has recorded this one, so that a
        // stop asked for by `outcome` holds before anything else goes out.
        QMetaObject::invokeMethod(self, [self, i, messages, result, &outcome] {
            if (!self) return;
            if (result.sent) {
                ++self->m_summary.sent;
            } else {
                ++self->m_summary.failed;
                const QString line = tr("%1 (%2): %3").arg(messages[i].name, messages[i].number, result.reason);
                self->m_summary.refused.append(line);
                self->m_failures->appendPlainText(line);
            }
            if (outcome && !outcome(messages[i], result)) self->m_cancel = true;
            self->showCounts();
        }, Qt::BlockingQueuedConnection);
    };
    int tried = 0;
    QThread* thread = QThread::create([&] {
        tried = sender.sendAll(
            messages,
            [&, self] {
                if (m_cancel) return true;
                starting(tried);
                return false;
            },
            [&](int i, const SmsOutcome& result) {
                tried = i + 1;
                done(i, result);
            });
    });
    connect(thread, &QThread::finished, this, [this, &tried] {
        m_running = false;
        m_summary.notTried = m_total - tried;
        showCounts();
        m_current->setText(m_summary.notTried > 0 ? tr("Sūtīšana pārtraukta.") : tr("Sūtīšana pabeigta."));
        m_button->setText(tr("Aizvērt"));
        m_button->setEnabled(true);
    });
    m_running = true;
    thread->start();
    exec();
    thread->wait();
    delete thread;
    m_running = false;
    return m_summary;
}

}  // namespace sms
