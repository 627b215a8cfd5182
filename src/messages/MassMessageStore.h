#pragma once
#include "db/Database.h"
#include "mail/MailStore.h"
#include "sms/SmsStore.h"

#include <QCoreApplication>
#include <QList>
#include <QPair>
#include <QString>
#include <QVector>

namespace messages {

// Which patients a message goes to: the ticked groups (none ticked: every group), the sex and
// the language of communication.
struct PatientChoice {
    enum Sex { AnySex = 0, MenOnly = 1, WomenOnly = 2 };
    enum Language { AnyLanguage = 0, LatvianOnly = 1, RussianOnly = 2, EnglishOnly = 3 };
    QList<int> groups;
    int sex = AnySex;
    int language = AnyLanguage;
};

// The messages made of one text for the chosen patients, or what stops the sending before
// anything goes.
struct SmsMessages {
    QString stop;
    QString device;
    QList<sms::SmsMessage> messages;
    int withoutNumber = 0;
};
struct MailMessages {
    QString stop;
    mail::MailServer server;
    QList<mail::MailItem> items;
    int withoutAddress = 0;
};

// The patients to write to and the messages to them. Every choice is bound as a parameter.
// Database errors propagate as db::DbError unless a method says otherwise.
class MassMessageStore {
    Q_DECLARE_TR_FUNCTIONS(TE_MailSutisana)
public:
    explicit MassMessageStore(db::Database& database) : m_db(database) {}

    // The patient groups to choose from (key, name), by name.
    QVector<QPair<int, QString>> groups();
    // ISN, VARDS, UZVARDS, MOB_TEL, E_MAIL of the chosen patients (never the default row 1), by
    // surname and name.
    db::ResultSet patients(const PatientChoice& choice);

    // One SMS per mobile number of each patient row, "<VardsUzvards>" replaced. Stops on an empty
    // text, a missing modem port, or a text too long for one message (naming whose).
    SmsMessages sms(const db::ResultSet& rows, const QString& text);
    // One e-mail per address of each patient row, "<VardsUzvards>" replaced, from the clinic's
    // sender address. Stops on an empty text or missing mail settings. Errors end in `stop`.
    MailMessages mail(const db::ResultSet& rows, const QString& subject, const QString& text);

private:
    db::Database& m_db;
};

}  // namespace messages
