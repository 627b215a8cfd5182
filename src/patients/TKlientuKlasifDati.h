#pragma once
#include <optional>
#include "db/Database.h"
#include "app/StoreResult.h"

#include <QCoreApplication>
#include <QDate>
#include <QStringList>
#include <QVariantHash>
#include <QVector>

namespace patients {

// A look-up entry of the card: key and shown text.
struct LookupItem {
    int key = 0;
    QString text;
};

// The name day the card fills in, and the message to show with it (empty for none).
struct NameDayResult {
    QString nameDay;
    QString message;
};

// The patient card's data: reading a patient, a new one or a copy, the field rules, the checks and
// the save. Values travel as N_KLIENTS column -> value.
class TKlientuKlasifDati {
    Q_DECLARE_TR_FUNCTIONS(Tn_klientEdit)
public:
    explicit TKlientuKlasifDati(db::Database& database);

    // Key 0: a new patient with the default rows chosen and SMS and news accepted; a negative key:
    // a new patient copied from the patient -key (every column except ISN); a positive key: that
    // patient. Empty when the row is missing.
    QVariantHash open(int key);

    QVector<LookupItem> banks();
    QVector<LookupItem> groups();
    QVector<LookupItem> districts();
    QVector<LookupItem> doctors();  // "surname first name"
    QStringList towns();

    // The birth date a personal code gives ("ddmmyy-....", always 19yy) when the birth date is
    // empty or earlier than 01.01.1910; invalid when the date is to stay as it is.
    static QDate BirthDateFromCode(const QString& personalCode, const QDate& birthDate);

    // The name day for a first name: its first word, upper-cased, looked up among the name days.
    // When it is not found and the name day is still empty, "22.05" with the message.
    NameDayResult lookupNameDay(const QString& firstName, const QString& currentNameDay);
    static QString DefaultNameDayMessage();

    // The checks before posting, in order: surname, first name, unique personal code.
    app::CardCheck validate(const QVariantHash& values, int key);

    // Inserts (key <= 0) or updates the patient with the audit columns, the journal entry and the
    // attached files, all in one transaction; returns the key. Throws db::DbError.
    // readStamp: the IEVDAT_EDIT of the row as open() read it; a save over another workstation's
    // later change throws db::StaleRowError and writes nothing.
    int save(int key, const QVariantHash& values, const QStringList& files, int userIsn,
             const std::optional<QVariant>& readStamp = std::nullopt);
    static QString SaveFailedMessage();

    // FAILI holds paths, each followed by ">".
    static QStringList SplitFiles(const QString& stored);
    static QString JoinFiles(const QStringList& files);
    // The files stored for the patient now (the consultation window adds and removes them too).
    QStringList files(int key);

    // The patient's requests (marker 1) and consultations (marker 2) dated within the period,
    // newest first. Columns NUMURS, DATUMS, PLAN_DAT, PLAN_LAIKS, ILGUMS, VEIDS, SPECIALISTS,
    // MARKER, ISN, TIME_END.
    db::ResultSet history(int key, const QDate& from, const QDate& to);
    // The shown duration of a history row: a consultation's end minus start time, a request's
    // planned duration.
    static QString HistoryDuration(const db::ResultSet& rows, int row);
    static QString HistoryKind(int marker);

    // The columns the card edits (every column of N_KLIENTS except the key and audit columns).
    static QStringList EditedColumns();

private:
    QVector<LookupItem> lookup(const QString& sql);
    db::Database& m_db;
};

}  // namespace patients
