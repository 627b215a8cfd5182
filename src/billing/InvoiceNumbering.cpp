#include "billing/InvoiceNumbering.h"

#include "app/Settings.h"

#include <limits>

namespace billing {

QString CounterNumber(int counter, const QString& series) {
    QString number = QString::number(counter);
    if (!series.isEmpty() && number.size() < 6) number = number.rightJustified(6, QLatin1Char('0'));
    return number;
}

int CounterAfterTyped(const QString& number, int counter) {
    if (number.isEmpty()) return counter;
    qsizetype first = number.size() - 1;
    for (qsizetype i = 0; i < number.size(); ++i)
        if (number.at(i).isDigit()) {
            first = i;
            break;
        }
    bool ok = false;
    const int value = number.mid(first).toInt(&ok);
    // The counter cannot go past the greatest integer.
    if (!ok || value < 0 || value == std::numeric_limits<int>::max()) return counter;
    return value + 1;
}

InvoiceCounter InvoiceCounter::Read() {
    const QString section = QString::fromLatin1(SettingsSection);
    InvoiceCounter c;
    c.next = app::Settings::integer(section, QStringLiteral("TekPZNr"), 0);
    c.series = app::Settings::string(section, QStringLiteral("Serija"));
    return c;
}

void InvoiceCounter::write() const {
    const QString section = QString::fromLatin1(SettingsSection);
    app::Settings::setInteger(section, QStringLiteral("TekPZNr"), next);
    app::Settings::setString(section, QStringLiteral("Serija"), series);
}

QString InvoiceCounter::take() {
    const QString number = CounterNumber(next, series);
    if (next < std::numeric_limits<int>::max()) ++next;
    return number;
}

}  // namespace billing
