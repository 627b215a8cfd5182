#pragma once
#include <QCoreApplication>
#include <QDate>
#include <QString>

namespace app {

// Dates as people type them. The program shows every date as "dd.MM.yyyy"; what is typed is read
// leniently so that nothing a receptionist types in a common way is lost:
//   "17.03.1985", "7.3.1985", "17/03/1985", "17-3-1985", "17 3 1985"   day, month, year
//   "17.03.85", "7.3.85"                                               two-digit year
//   "17031985", "170385"                                               digits only
//   "1985-03-17"                                                       year first
// A two-digit year is the latest year ending in those digits that is not after latestYear (a
// birth date passes this year, a document date a few years ahead). Anything else, an impossible
// day (31.02) included, is unreadable: the result is invalid, and the field keeps the text and
// says so with UnreadableDateMessage().
QDate ReadDate(const QString& text, int latestYear);
// The latest year a two-digit year means in fields that are not birth dates: twenty years ahead.
int DefaultLatestYear(const QDate& today = QDate::currentDate());

// "dd.MM.yyyy"; empty for an invalid date.
QString DateText(const QDate& date);

// "Nevar nolasīt datumu "…". …" — what the field says about a text it cannot read.
QString UnreadableDateMessage(const QString& text);

}  // namespace app
