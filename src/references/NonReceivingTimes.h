#pragma once
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVector>

namespace references {

// A specialist's non-receiving time: one line of N_AGENTS.NESTRADA_DATUMS (the day part is a date
// "dd.MM.yyyy") or NESTRADA_DIENAS (a weekday 1 = Monday ... 7 = Sunday), "VISI" for every day,
// and a time part "hh:mm-hh:mm" or "VISI" for the whole day. Stored as day + "|" + time + "|" and
// CR LF per line; the calendar reads that text.
struct NonReceivingLine {
    QString day;
    QString time;
    bool operator==(const NonReceivingLine&) const = default;
};

class NonReceivingTimes {
    Q_DECLARE_TR_FUNCTIONS(Tn_agentsEdit)
public:
    static QString All() { return QStringLiteral("VISI"); }

    // The weekday names in list order; the stored number is the index + 1.
    static QStringList WeekdayNames();
    // "08:00" ... "21:00" in half hours.
    static QStringList TimeChoices();

    // The day part from the controls: the date, or "VISI" when "Visi" is ticked.
    static QString DatePart(bool all, const QDate& date);
    // The day part for a weekday index (0 = Monday), or "VISI".
    static QString WeekdayPart(bool all, int weekdayIndex);
    // The time part: from + "-" + to, or "VISI".
    static QString TimePart(bool all, const QString& from, const QString& to);

    static QString Format(const QVector<NonReceivingLine>& lines);
    // Lines of a stored text; blank lines are skipped, a missing final "|" is tolerated.
    static QVector<NonReceivingLine> Parse(const QString& stored);

    // The list-box text: weekdays by name, an every-day entry as "VISAS", an every-date entry as
    // "VISI", then the time part.
    static QString Describe(const NonReceivingLine& line, bool weekdays);
};

}  // namespace references
