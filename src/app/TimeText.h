#pragma once
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace app {

// Times of day and durations are texts "hh:mm" (hours may exceed 23 for durations).

// A time text that cannot be read; what() names the text.
class TimeFormatError : public std::runtime_error {
public:
    explicit TimeFormatError(const QString& text);
    QString text() const { return m_text; }

private:
    QString m_text;
};

// True for an empty masked time field, whose text is just ":".
bool IsEmptyTime(const QString& text);
// "h:m" with whole numbers 0 <= h <= 24 and 0 <= m <= 59 (24:00 is the end of a working day).
bool IsValidTime(const QString& text);

// 90 -> "01:30"; 1500 -> "25:00" (no wrap at a day). Negative durations keep their sign: -90 -> "-01:30".
QString MinutesToTime(int minutes);
// 1.5 -> "01:30", 0.25 -> "00:15". Minutes are rounded to whole minutes and carried into the
// hours, so 1.999 gives "02:00", never "01:60".
QString HoursToTime(double hours);
// "01:30" -> 1.5. Throws TimeFormatError for a text without a colon or with parts that are not
// numbers. A leading minus applies to the whole value ("-01:30" -> -1.5).
double TimeToHours(const QString& text);

// Minutes since midnight of a "hh:mm" text, or -1 when it is not a valid time.
int TimeToMinutes(const QString& text);

// A typed time of day as the program stores it: "8:5" -> "08:05"; empty for an empty (or empty
// masked) field; a text that is no valid time is returned trimmed, as typed.
QString NormalTimeText(const QString& text);
// What is wrong with a typed time of day for the field named caption, in a sentence the user can
// act on; empty when the text is a valid time (IsValidTime) or the field is empty.
QString TimeProblem(const QString& text, const QString& caption);

// The selectable start times of a working day: from, from + step, ... up to and including to,
// compared as texts; the list ends when adding the step passes midnight. Empty when from > to.
QStringList WorkingHourSlots(const QString& from, const QString& to, int stepMinutes);
// Durations step, 2 x step, ... while not past "23:59".
QStringList DurationSlots(int stepMinutes);
// The step of the day grids for N_ISI.STUNDU_DALIJUMS: 0 -> 60, 1 -> 30, 2 -> 15 minutes; any
// other value (or NULL) -> 60.
int HourDivisionMinutes(int division);

}  // namespace app
