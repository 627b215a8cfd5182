#include "pricelist/PriceListFilter.h"

#include <QStringList>

namespace pricelist {

bool PriceListFilter::isEmpty() const {
    return price.trimmed().isEmpty() && codeStartsWith.isEmpty() && codeEndsWith.isEmpty() &&
           nameContains.isEmpty() && anyCodeContains.isEmpty();
}

double ParsePrice(const QString& text, bool* ok) {
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    return t.toDouble(ok);
}

QString EscapeLike(const QString& text) {
    QString out;
    out.reserve(text.size() + 4);
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_')) out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

PriceListFilter::Condition PriceListFilter::condition() const {
    QStringList parts;
    Condition c;
    bool ok = false;
    const double p = ParsePrice(price, &ok);
    if (!price.trimmed().isEmpty() && ok) {
        parts << QStringLiteral(" PARDCENA1=:F_CENA");
        c.params.insert(QStringLiteral("F_CENA"), p);
    }
    if (!codeStartsWith.isEmpty()) {
        parts << QStringLiteral(" KODS STARTING WITH :F_KODS_NO");
        c.params.insert(QStringLiteral("F_KODS_NO"), codeStartsWith);
    }
    if (!codeEndsWith.isEmpty()) {
        // "ends with": the typed text is matched literally, wildcards included.
        parts << QStringLiteral(" KODS LIKE :F_KODS_LIDZ ESCAPE '\\'");
        c.params.insert(QStringLiteral("F_KODS_LIDZ"), QString(QStringLiteral("%") + EscapeLike(codeEndsWith)));
    }
    if (!anyCodeContains.isEmpty()) {
        parts << QStringLiteral(" (KODS CONTAINING :F_KODI OR MIS_KODS CONTAINING :F_KODI)");
        c.params.insert(QStringLiteral("F_KODI"), anyCodeContains);
    }
    if (!nameContains.isEmpty()) {
        parts << QStringLiteral(" GNOS CONTAINING :F_GNOS");
        c.params.insert(QStringLiteral("F_GNOS"), nameContains);
    }
    c.sql = parts.join(QStringLiteral(" AND "));
    return c;
}

}  // namespace pricelist
