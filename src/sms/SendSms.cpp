#include "sms/SendSms.h"

#include "app/Session.h"
#include "db/DbError.h"

#include <QApplication>
#include <QMessageBox>
#include <QSet>

namespace sms {

SmsProgress::Summary SendSms(app::Session& session, SmsKind kind, const QString& patients, const QString& lines,
                             QWidget* parent) {
    SmsStore store(session.database());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const SmsBatch batch = store.prepare(kind, patients, lines);
    QApplication::restoreOverrideCursor();
    if (!batch.stop.isEmpty()) {
        QMessageBox::warning(parent, QString(), batch.stop);
        return {};
    }
    if (batch.messages.isEmpty()) return {};

    SmsSender sender(batch.device);
    SmsProgress progress(parent);
    QSet<int> marked;
    const SmsProgress::Summary summary =
        progress.run(sender, batch.messages, [&](const SmsMessage& message, const SmsOutcome& outcome) {
            if (!outcome.sent || message.line <= 0 || marked.contains(message.line)) return true;
            try {
                store.markReminded({message.line});
                marked.insert(message.line);
                return true;
            } catch (const db::DbError& e) {
                QMessageBox::warning(&progress, QString(), QObject::tr("Sistēmas kļūda: ") + e.message());
                return false;
            }
        });
    return summary;
}

}  // namespace sms
