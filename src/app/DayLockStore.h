#pragma once
#include "app/Session.h"
#include "db/Database.h"

#include <QCoreApplication>
#include <QDate>
#include <QVector>
#include <optional>

namespace app {

// The day locks of O_DIENAS (FLAG "T" locked, "F" open; a day without a row is open) and the
// number of last days kept open, N_ISI.BLOKDIENAS.
class DayLockStore {
    Q_DECLARE_TR_FUNCTIONS(TAtlautasDienas)
public:
    explicit DayLockStore(Session& session) : m_session(session), m_db(session.database()) {}

    // The years the day-lock window offers: 1995 to the year after today's.
    static int firstYear() { return 1995; }
    static int lastYear(const QDate& today) { return today.year() + 1; }

    // Creates an open row for every day of the range that has none, in one transaction: the
    // stored dates are read once and one INSERT runs per missing day. While another workstation
    // is making days (it holds the N_ISI row) this one makes none. Returns how many rows it made.
    int ensureDays(const QDate& from, const QDate& to);

    // True when the table has not been filled yet for the window's year range: the two probe
    // days 01.01.1996 and 01.01 of the year before the last one do not both have rows.
    bool needsFirstFill(const QDate& today);

    // The start-of-day lock: with keepOpen (BLOKDIENAS) > 0 the missing rows of today's and the
    // previous year are made, then every stored day before today - keepOpen + 1 is locked, all in
    // one transaction. keepOpen <= 0 changes nothing. While another workstation is doing the same
    // (it holds the N_ISI row) this one does nothing. Returns the number of rows locked.
    int lockOlderDays(int keepOpen, const QDate& today);
    // The same with BLOKDIENAS read from N_ISI.
    int lockOlderDays(const QDate& today);

    // The flags of the days of a month, index 0 = day 1; a day is locked when any of its rows is.
    // Missing rows are made first.
    QVector<bool> fillMonth(int year, int month);
    // For each month 1..12 (index 0..11): true when it has rows and every row is locked.
    QVector<bool> monthMarks(int year);

    // Sets one day's flag, writes the journal (code "J", number = the new flag, table "O_DIENAS",
    // date = the day) and commits.
    void setDay(const QDate& day, bool locked);
    // Makes the month's missing rows, then sets every day of it as setDay does.
    void setMonth(int year, int month, bool locked);

    int keepOpenDays();
    // Stores BLOKDIENAS from the edit's text. A text that is not a whole number is refused with
    // a message and nothing is stored; the answer is the message, empty on success.
    QString setKeepOpenDays(const QString& text);

private:
    // Locks the N_ISI row for the transaction; false when another transaction holds it.
    bool lockInstallationRow(db::Transaction& tx);
    int ensureDays(db::Transaction& tx, const QDate& from, const QDate& to);
    void setDayInTransaction(db::Transaction& tx, const QDate& day, bool locked);
    Session& m_session;
    db::Database& m_db;
};

}  // namespace app
