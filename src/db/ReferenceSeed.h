#pragma once
#include "db/Database.h"

#include <QDate>
#include <QString>
#include <QVector>

class QIODevice;

namespace db {

// One row of N_SVETKI to be seeded: a public holiday (FLAG 1) or a name day (FLAG 0).
struct CalendarDay {
    QDate date;
    QString name;
};

// Easter Sunday of the Gregorian calendar (anonymous algorithm), valid for every year 1583+.
QDate EasterSunday(int year);

// The Latvian public holidays of a year, Easter-dependent days included, and a Monday off when
// 4 May or 18 November falls on a weekend.
QVector<CalendarDay> LatvianPublicHolidays(int year);

// A name-day list read from text: "dd.MM;name" or "dd.MM.yyyy;name" per line (blank lines and
// lines starting with "#" are skipped). Name days are kept in the year 2000, a leap year, so that
// every day of the calendar is a valid date; only day and month matter.
struct NameDayList {
    // A file that is not a name-day list at all would otherwise give as many messages as lines.
    static constexpr int MaxErrors = 20;

    QVector<CalendarDay> days;
    QStringList errors;  // "rinda N: ..." for the first MaxErrors malformed lines
    int badLines = 0;    // every malformed line
    bool ok() const { return badLines == 0; }
};
NameDayList ParseNameDays(const QString& text);
// The same, read line by line from a device (UTF-8): a file of any size takes memory only for
// its good lines.
NameDayList ReadNameDays(QIODevice& device);

// The name-day calendar shipped with the program.
QString ShippedNameDaysText();

// Loads name days in one transaction: a name that already has a name-day row (compared in upper
// case) gets the new date, others are inserted. Returns the number of rows inserted or changed.
// Throws db::DbError and then changes nothing.
int ImportNameDays(db::Database& database, const QVector<CalendarDay>& days);

// What a clinic expects in a new database: the public holidays of the current and the next year
// and the name-day calendar. Rows already present (same holiday date, same name) are not added
// again. One transaction, committed.
void SeedReferenceData(db::Database& database);

// Opens the database at the connection string, seeds it and closes it again.
void SeedReferenceData(const QString& connectionString);

}  // namespace db
