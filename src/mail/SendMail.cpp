#include "mail/SendMail.h"

#include "app/Session.h"
#include "db/DbError.h"

#include <QApplication>
#include <QMessageBox>
#include <QSet>

namespace mail {

MailProgress::Summary SendMail(app::Session& session, MailKind kind, const QString& patients, const QString& lines,
                               QWidget* parent) {
    MailStore store(session.database());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const MailBatch batch = store.prepare(kind, patients, lines);
    QApplication::restoreOverrideCursor();
    if (!batch.stop.isEmpty()) {
        QMessageBox::warning(parent, QString(), batch.stop);
        return {};
    }
    if (batch.items.isEmpty()) return {};

    MailSender sender(batch.server);
    MailProgress progress(parent);
    QSet<int> marked;
    return progress.run(sender, batch.items, [&](const MailItem& item, const MailOutcome& outcome) {
        if (!outcome.sent || item.line <= 0 || marked.contains(item.line)) return true;
        try {
            store.noteOutcome(item, outcome);
            marked.insert(item.line);
            return true;
        } catch (const db::DbError& e) {
            QMessageBox::warning(&progress, QString(), QObject::tr("Sistēmas kļūda: ") + e.message());
            return false;
        }
    });
}

}  // namespace mail
