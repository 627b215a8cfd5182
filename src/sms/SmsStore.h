#pragma once
#include "sms/SmsSender.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

namespace db {
class Database;
}

namespace sms {

// The three kinds of message and the N_ISI column holding each one's text.
enum class SmsKind { Holiday = 1, Appointment = 2, Prophylaxis = 3 };

// What is to be sent for one kind: the messages (one per number), or the message that stops the
// sending before anything goes out.
struct SmsBatch {
    QString stop;   // shown instead of sending; empty when the messages may go
    int port = 0;   // N_ISI.SMS_PORT
    QString device; // the port's device on this workstation
    QList<SmsMessage> messages;
};

// Reads the modem's settings and the recipients from the database and records the prophylaxis
// reminders sent.
class SmsStore {
    Q_DECLARE_TR_FUNCTIONS(SmsStore)
public:
    explicit SmsStore(db::Database& database) : m_db(database) {}

    // The messages of one kind for the patients of the key list ("|12||345|"); for kind 3 `lines`
    // holds the treatment lines in the same order, the n-th belonging to the n-th patient. A
    // patient without a mobile number gets nothing, though for kind 3 his line is marked as
    // reminded all the same. A text too long for one message stops everything before anything is
    // sent. Database errors end as "Sistēmas kļūda: ..." in `stop`.
    SmsBatch prepare(SmsKind kind, const QString& patients, const QString& lines = QString());

    // Records today as the date of the SMS reminder of the treatment lines. Throws db::DbError.
    void markReminded(const QList<int>& lines);

private:
    db::Database& m_db;
};

}  // namespace sms
