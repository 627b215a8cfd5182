#include "app/DateText.h"

#include <QRegularExpression>

namespace app {

namespace {

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(DateText)
};

int fullYear(int year, int digits, int latestYear) {
    if (digits != 2) return year;
    int full = latestYear - latestYear % 100 + year;
    if (full > latestYear) full -= 100;
    return full;
}

}  // namespace

QDate ReadDate(const QString& typed, int latestYear) {
    const QString text = typed.trimmed();
    if (text.isEmpty()) return {};
    // Year first: 1985-03-17.
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    if (const auto m = iso.match(text); m.hasMatch())
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    // Day, month and year with separators.
    static const QRegularExpression parts(QStringLiteral("^(\\d{1,2})\\s*[./\\-, ]\\s*(\\d{1,2})\\s*[./\\-, ]\\s*(\\d{2}|\\d{4})\\.?$"));
    if (const auto m = parts.match(text); m.hasMatch()) {
        const QString year = m.captured(3);
        return QDate(fullYear(year.toInt(), int(year.size()), latestYear), m.captured(2).toInt(), m.captured(1).toInt());
    }
    // Digits only: ddMMyyyy or ddMMyy.
    static const QRegularExpression digits(QStringLiteral("^(\\d{2})(\\d{2})(\\d{2}|\\d{4})$"));
    if (const auto m = digits.match(text); m.hasMatch()) {
        const QString year = m.captured(3);
        return QDate(fullYear(year.toInt(), int(year.size()), latestYear), m.captured(2).toInt(), m.captured(1).toInt());
    }
    return {};
}

int DefaultLatestYear(const QDate& today) { return today.year() + 20; }

QString DateText(const QDate& date) { return date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy")) : QString(); }

QString UnreadableDateMessage(const QString& text) {
    return Tr::tr("Nevar nolasīt datumu \"%1\".\nIevadiet datumu formātā dd.MM.yyyy, piemēram, 17.03.1985 "
                  "(der arī 17031985, 17.3.85).")
        .arg(text.trimmed());
}

}  // namespace app
