#include "consultations/ConsultationTimes.h"

#include "app/TimeText.h"

namespace consultations {

namespace {

const QString Start = QStringLiteral("TIME_START");
const QString End = QStringLiteral("TIME_END");

// The latest time a day's running total may reach.
constexpr int LastMinuteOfDay = 23 * 60 + 59;

}  // namespace

QString PadTime(const QString& text) {
    const QString t = text.trimmed();
    return t.indexOf(QLatin1Char(':')) == 1 ? QStringLiteral("0") + t : t;
}

bool IsBlankTime(const QString& text) {
    QString t = text;
    t.remove(QLatin1Char(':'));
    t.remove(QLatin1Char('_'));
    return t.trimmed().isEmpty();
}

QString EndFromDuration(const QString& start, const QString& duration) {
    const int from = app::TimeToMinutes(PadTime(start));
    const int length = app::TimeToMinutes(PadTime(duration));
    if (from < 0 || length < 0) return QString();
    return app::MinutesToTime(from + length);
}

QString DurationBetween(const QString& start, const QString& end) {
    const int from = app::TimeToMinutes(PadTime(start));
    const int until = app::TimeToMinutes(PadTime(end));
    if (from < 0 || until < 0 || until < from) return QString();
    return app::MinutesToTime(until - from);
}

app::CardCheck ConsultationTimes::Check(QString& start, QString& end) {
    start = PadTime(start);
    end = PadTime(end);
    const bool hasStart = !IsBlankTime(start);
    const bool hasEnd = !IsBlankTime(end);
    // The day's running total starts at 00:00 and takes the start time.
    if (hasStart && app::IsValidTime(start) && app::TimeToMinutes(start) > LastMinuteOfDay)
        return app::CardCheck::fail(tr("Summārais laiks ir par lielu !!!"), Start);
    if (hasStart != hasEnd)
        return app::CardCheck::fail(tr("Norm. laika periods jānorāda līdz galam !!!"), hasStart ? End : Start);
    if (!hasStart) return app::CardCheck::fail(tr("Kaut kāds laiks jānorāda!!!"), Start);
    if (!app::IsValidTime(start)) return app::CardCheck::fail(tr("Nekorekts laiks !!!"), Start);
    if (!app::IsValidTime(end)) return app::CardCheck::fail(tr("Nekorekts laiks !!!"), End);
    if (app::TimeToMinutes(start) >= app::TimeToMinutes(end))
        return app::CardCheck::fail(tr("Nekorekts laika periods !!!"), End);
    return {};
}

}  // namespace consultations
