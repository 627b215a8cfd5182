#pragma once
#include "mail/MailSender.h"

#include <QCoreApplication>
#include <QDate>
#include <QList>
#include <QString>

namespace db {
class Database;
}

namespace mail {

// The three kinds of reminder; the numbers are those of the SMS kinds.
enum class MailKind { Holiday = 1, Appointment = 2, Prophylaxis = 3 };

// One message to one address.
struct MailItem {
    int patient = 0;  // N_KLIENTS.ISN
    int line = 0;     // O_ARSTESANA_DT.ISN of a prophylaxis reminder, else 0
    QString name;     // first name and surname, for the report
    MailMessage message;
};

// What is to be sent for one kind, or the message that stops the sending before anything goes.
struct MailBatch {
    QString stop;
    MailServer server;
    QList<MailItem> items;
};

// The clinic's mail settings and the reminders' messages, read from N_ISI and the patients.
class MailStore {
    Q_DECLARE_TR_FUNCTIONS(MailStore)
public:
    explicit MailStore(db::Database& database) : m_db(database) {}

    static QString Subject(MailKind kind);
    // The server settings of N_ISI (host, port, security, user, password).
    MailServer server();

    // The messages of one kind for the patients of the key list ("|12||345|"); for kind 3 `lines`
    // holds the treatment lines in the same order. A patient without an e-mail address gets
    // nothing, though for kind 3 his line is marked as reminded all the same (it would otherwise
    // stay on the list for ever). Several addresses separated by "," or ";" each get the message.
    // An appointment reminder carries the patient's appointments from `day` to `day` plus
    // N_ISI.REMIND_KONSULTAC_DIENAS as a calendar file. Database errors end as
    // "Sistēmas kļūda: ..." in `stop`.
    MailBatch prepare(MailKind kind, const QString& patients, const QString& lines = QString(),
                      QDate day = QDate::currentDate());

    // Records today as the date of the e-mail reminder of the treatment lines. Throws db::DbError.
    void markReminded(const QList<int>& lines);
    // After one message: a prophylaxis line is marked as reminded only once its message went (a
    // patient with two addresses is marked at the first that takes it). Throws db::DbError.
    void noteOutcome(const MailItem& item, const MailOutcome& outcome);

private:
    QList<CalendarEvent> appointments(int patient, QDate from, QDate to, const QString& location, const QString& domain);

    db::Database& m_db;
};

}  // namespace mail
