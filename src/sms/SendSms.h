#pragma once
#include "sms/SmsProgress.h"
#include "sms/SmsStore.h"

#include <QString>

class QWidget;

namespace app {
class Session;
}

namespace sms {

// Sends the message of one kind to the patients of the key list ("|12||345|"; for kind 3 with the
// treatment lines in `lines`) through the modem of N_ISI.SMS_PORT, with a progress dialog. A
// prophylaxis line is marked as reminded once its patient's message has gone (or when the patient
// has no mobile number). Problems are shown in message boxes; the modem's refusals are listed at
// the end. Returns the summary (all zero when nothing was sent).
SmsProgress::Summary SendSms(app::Session& session, SmsKind kind, const QString& patients, const QString& lines,
                           QWidget* parent);

}  // namespace sms
