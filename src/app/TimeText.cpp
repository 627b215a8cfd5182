#include "app/TimeText.h"

#include <QCoreApplication>

#include <cmath>

namespace app {

namespace {

QString twoDigits(qint64 n) { return n < 10 ? QStringLiteral("0") + QString::number(n) : QString::number(n); }

QString fromTotalMinutes(qint64 total) {
    const QString sign = total < 0 ? QStringLiteral("-") : QString();
    total = std::llabs(total);
    return sign + twoDigits(total / 60) + u':' + twoDigits(total % 60);
}

constexpr int MinutesPerDay = 24 * 60;

QString clockText(int minutes) { return twoDigits((minutes / 60) % 24) + u':' + twoDigits(minutes % 60); }

}  // namespace

TimeFormatError::TimeFormatError(const QString& text)
    : std::runtime_error(QStringLiteral("\"%1\" nav derīgs laiks (hh:mm)").arg(text).toStdString()), m_text(text) {}

bool IsEmptyTime(const QString& text) { return text.trimmed() == QStringLiteral(":"); }

bool IsValidTime(const QString& text) { return TimeToMinutes(text) >= 0; }

int TimeToMinutes(const QString& text) {
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0) return -1;
    bool okH = false, okM = false;
    const int h = text.left(colon).trimmed().toInt(&okH);
    const int m = text.mid(colon + 1).trimmed().toInt(&okM);
    if (!okH || !okM || h < 0 || h > 24 || m < 0 || m > 59) return -1;
    return h * 60 + m;
}

QString MinutesToTime(int minutes) { return fromTotalMinutes(minutes); }

QString NormalTimeText(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || IsEmptyTime(t)) return {};
    const int minutes = TimeToMinutes(t);
    return minutes < 0 ? t : fromTotalMinutes(minutes);
}

QString TimeProblem(const QString& text, const QString& caption) {
    const QString t = text.trimmed();
    if (t.isEmpty() || IsEmptyTime(t) || IsValidTime(t)) return {};
    return QCoreApplication::translate("TimeText",
                                       "%1: \"%2\" nav pareizs laiks. Laiku raksta hh:mm, stundas no 0 līdz 24, "
                                       "minūtes no 0 līdz 59 (piemēram, 08:30) !!!")
        .arg(caption, t);
}

QString HoursToTime(double hours) { return fromTotalMinutes(std::llround(hours * 60.0)); }

double TimeToHours(const QString& text) {
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0) throw TimeFormatError(text);
    const QString hourPart = text.left(colon).trimmed();
    bool okH = false, okM = false;
    const int h = hourPart.toInt(&okH);
    const double m = text.mid(colon + 1).trimmed().toDouble(&okM);
    if (!okH || !okM) throw TimeFormatError(text);
    const double fraction = m / 60.0;
    return hourPart.startsWith(u'-') ? h - fraction : h + fraction;
}

int HourDivisionMinutes(int division) {
    switch (division) {
        case 1: return 30;
        case 2: return 15;
        default: return 60;
    }
}

QStringList WorkingHourSlots(const QString& from, const QString& to, int stepMinutes) {
    QStringList list;
    int current = TimeToMinutes(from);
    if (current < 0 || stepMinutes <= 0) return list;
    QString text = clockText(current % MinutesPerDay);
    QString prev = QStringLiteral("00:00");
    // Texts compare like times because both are "hh:mm".
    while (text <= to && text >= prev) {
        list.append(text);
        prev = text;
        current = (current + stepMinutes) % MinutesPerDay;
        text = clockText(current);
    }
    return list;
}

QStringList DurationSlots(int stepMinutes) {
    QStringList list;
    if (stepMinutes <= 0) return list;
    int current = stepMinutes % MinutesPerDay;
    QString text = clockText(current);
    QString prev = QStringLiteral("00:00");
    while (text <= QStringLiteral("23:59") && text >= prev) {
        list.append(text);
        prev = text;
        current = (current + stepMinutes) % MinutesPerDay;
        text = clockText(current);
    }
    return list;
}

}  // namespace app
