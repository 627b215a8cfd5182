#include "mail/MailProgress.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace mail {

MailProgress::MailProgress(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("MailProgress"));
    setWindowTitle(tr("E-pasta sūtīšana"));
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
    resize(560, 320);
}

QString MailProgress::countsText() const {
    const int remaining = m_total - m_summary.sent - m_summary.failed - m_summary.notTried;
    return tr("Nosūtītas: %1    Neizdevās: %2    Atlikušas: %3").arg(m_summary.sent).arg(m_summary.failed).arg(remaining);
}

void MailProgress::showCounts() {
    m_counts->setText(countsText());
    m_bar->setValue(m_summary.sent + m_summary.failed);
}

void MailProgress::cancelSending() {
    m_cancel = true;
    m_button->setEnabled(false);
    m_current->setText(tr("Sūtīšana tiek pārtraukta pēc šīs vēstules ..."));
}

void MailProgress::reject() {
    if (m_running) cancelSending();
    else QDialog::reject();
}

MailProgress::Summary MailProgress::run(MailSender& sender, const QList<MailItem>& items,
                                        const std::function<bool(const MailItem&, const MailOutcome&)>& outcome) {
    m_summary = {};
    m_total = int(items.size());
    m_cancel = false;
    m_bar->setRange(0, m_total);
    m_failures->clear();
    showCounts();
    QPointer<MailProgress> self(this);
    int tried = 0;
    QThread* thread = QThread::create([&, self] {
        for (int i = 0; i < items.size(); ++i) {
            if (m_cancel) break;
            QMetaObject::invokeMethod(self, [self, i, &items] {
                if (self) self->m_current->setText(tr("Sūta: %1 (%2)").arg(items[i].name, items[i].message.toAddress));
            }, Qt::QueuedConnection);
            const MailOutcome result = sender.send(items[i].message);
            tried = i + 1;
            // Blocking: the next message waits until the interface has recorded this one (and
            // marked what it must), so that a stop asked for by `outcome` holds.
            QMetaObject::invokeMethod(self, [self, i, &items, result, &outcome] {
                if (!self) return;
                if (result.sent) {
                    ++self->m_summary.sent;
                } else {
                    ++self->m_summary.failed;
                    const QString line = tr("%1 (%2): %3").arg(items[i].name, items[i].message.toAddress, result.reason);
                    self->m_summary.failures.append(line);
                    self->m_failures->appendPlainText(line);
                }
                if (outcome && !outcome(items[i], result)) self->m_cancel = true;
                self->showCounts();
            }, Qt::BlockingQueuedConnection);
        }
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

}  // namespace mail
