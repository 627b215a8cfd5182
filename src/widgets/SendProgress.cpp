#include "widgets/SendProgress.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace widgets {

SendProgress::SendProgress(const Texts& texts, QWidget* parent) : QDialog(parent), m_texts(texts) {
    setWindowTitle(texts.title);
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

QString SendProgress::countsText() const {
    const int remaining = m_total - m_summary.sent - m_summary.failed - m_summary.notTried;
    return m_texts.counts.arg(m_summary.sent).arg(m_summary.failed).arg(remaining);
}

void SendProgress::showCounts() {
    m_counts->setText(countsText());
    m_bar->setValue(m_summary.sent + m_summary.failed);
}

void SendProgress::cancelSending() {
    m_cancel = true;
    m_button->setEnabled(false);
    m_current->setText(m_texts.stopping);
}

void SendProgress::reject() {
    if (m_running) cancelSending();
    else QDialog::reject();
}

SendProgress::Counts SendProgress::run(int total, const std::function<QString(int)>& recipient, const Work& work,
                                       const std::function<bool(int i, bool sent)>& recorded) {
    m_summary = {};
    m_total = total;
    m_cancel = false;
    m_bar->setRange(0, qMax(1, m_total));
    m_failures->clear();
    showCounts();
    QPointer<SendProgress> self(this);
    const Stop stop = [this, self, &recipient](int next) {
        if (m_cancel) return true;
        QMetaObject::invokeMethod(self, [self, next, &recipient] {
            if (self && self->m_running) self->m_current->setText(tr("Sūta: %1").arg(recipient(next)));
        }, Qt::BlockingQueuedConnection);
        return false;
    };
    const Done done = [self, &recipient, &recorded](int i, bool sent, const QString& reason) {
        // Blocking: the next message waits until the interface has recorded this one, so that a
        // stop asked for by `recorded` holds before anything else goes out.
        QMetaObject::invokeMethod(self, [self, i, sent, reason, &recipient, &recorded] {
            if (!self) return;
            if (sent) {
                ++self->m_summary.sent;
            } else {
                ++self->m_summary.failed;
                const QString line = tr("%1: %2").arg(recipient(i), reason);
                self->m_summary.failures.append(line);
                self->m_failures->appendPlainText(line);
            }
            if (recorded && !recorded(i, sent)) self->m_cancel = true;
            self->showCounts();
        }, Qt::BlockingQueuedConnection);
    };
    int tried = 0;
    QThread* thread = QThread::create([&] { tried = work(stop, done); });
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

}  // namespace widgets
