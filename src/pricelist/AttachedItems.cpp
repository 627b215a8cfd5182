#include "pricelist/AttachedItems.h"

namespace pricelist {

namespace {

// Numbers as the text keeps them: shortest form, '.' as the decimal point.
QString number(double value) { return QString::number(value, 'g', 15); }

}  // namespace

QString AttachedItemsText(const QVector<AttachedItem>& items) {
    QString text;
    for (const AttachedItem& a : items)
        text += QString::number(a.item) + u'_' + number(a.price) + u'+' + number(a.quantity) + u'|';
    return text;
}

QVector<AttachedItem> ParseAttachedItems(const QString& text, QStringList* broken) {
    QVector<AttachedItem> items;
    const QStringList entries = text.split(u'|');
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString entry = entries.at(i).trimmed();
        // What follows the last '|' is no entry when it is empty.
        if (entry.isEmpty()) continue;
        const qsizetype underscore = entry.indexOf(u'_');
        const qsizetype plus = entry.indexOf(u'+', underscore + 1);
        bool keyOk = false, priceOk = false, quantityOk = false;
        AttachedItem a;
        if (underscore > 0 && plus > underscore) {
            a.item = entry.left(underscore).toInt(&keyOk);
            QString price = entry.mid(underscore + 1, plus - underscore - 1);
            QString quantity = entry.mid(plus + 1);
            // A decimal comma, as a Latvian workstation may have written it.
            a.price = price.replace(u',', u'.').toDouble(&priceOk);
            a.quantity = quantity.replace(u',', u'.').toDouble(&quantityOk);
        }
        // An unterminated last entry is read too: nothing follows it that could be meant instead.
        if (keyOk && priceOk && quantityOk && a.item > 0)
            items.append(a);
        else if (broken)
            broken->append(entries.at(i));
    }
    return items;
}

}  // namespace pricelist
