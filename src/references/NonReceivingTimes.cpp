#include "references/NonReceivingTimes.h"

#include <QDate>

namespace references {

QStringList NonReceivingTimes::WeekdayNames() {
    return {tr("Pirmdiena"),  tr("Otrdiena"),  tr("Trešdiena"), tr("Ceturdiena"),
            tr("Piektdiena"), tr("Sestdiena"), tr("Svētdiena")};
}

QStringList NonReceivingTimes::TimeChoices() {
    QStringList times;
    for (int m = 8 * 60; m <= 21 * 60; m += 30)
        times.append(QStringLiteral("%1:%2")
                         .arg(m / 60, 2, 10, QLatin1Char('0'))
                         .arg(m % 60, 2, 10, QLatin1Char('0')));
    return times;
}

QString NonReceivingTimes::DatePart(bool all, const QDate& date) {
    return all ? All() : date.toString(QStringLiteral("dd.MM.yyyy"));
}

QString NonReceivingTimes::WeekdayPart(bool all, int weekdayIndex) {
    return all ? All() : QString::number(weekdayIndex + 1);
}

QString NonReceivingTimes::TimePart(bool all, const QString& from, const QString& to) {
    return all ? All() : from + QLatin1Char('-') + to;
}

QString NonReceivingTimes::Format(const QVector<NonReceivingLine>& lines) {
    QString text;
    for (const NonReceivingLine& l : lines)
        text += l.day + QLatin1Char('|') + l.time + QStringLiteral("|\r\n");
    return text;
}

QVector<NonReceivingLine> NonReceivingTimes::Parse(const QString& stored) {
    QVector<NonReceivingLine> lines;
    for (QString line : stored.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty()) continue;
        const QStringList parts = line.split(QLatin1Char('|'));
        lines.append({parts.value(0).trimmed(), parts.value(1).trimmed()});
    }
    return lines;
}

QString NonReceivingTimes::Describe(const NonReceivingLine& line, bool weekdays) {
    QString day = line.day;
    if (weekdays) {
        bool ok = false;
        const int n = line.day.toInt(&ok);
        if (line.day == All())
            day = tr("VISAS");
        else if (ok && n >= 1 && n <= 7)
            day = WeekdayNames().at(n - 1);
    }
    return day + QStringLiteral("  ") + line.time;
}

}  // namespace references
