#pragma once
#include "mail/MailProgress.h"

class QWidget;

namespace app {
class Session;
}

namespace mail {

// Sends the e-mail of one kind to the patients of the key list ("|12||345|"; for kind 3 with the
// treatment lines in `lines`) with a progress dialog. A prophylaxis line is marked as reminded
// once its patient's message has gone (or when the patient has no address). A missing server,
// sender or text is shown in a message box and nothing is sent.
MailProgress::Summary SendMail(app::Session& session, MailKind kind, const QString& patients, const QString& lines,
                               QWidget* parent);

}  // namespace mail
