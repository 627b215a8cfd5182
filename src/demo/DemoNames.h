#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// Word lists of the demo-data generator.
namespace demo::names {

struct Surname {
    QString male;
    QString female;
};

const QStringList& maleFirstNames();
const QStringList& femaleFirstNames();
const QList<Surname>& surnames();
const QStringList& towns();
const QStringList& streets();
const QStringList& occupations();
// Name day "dd.mm" of a first name where it is certain; empty otherwise.
QString nameDay(const QString& firstName);
// Latvian letters folded to ASCII, lower case: "Ērika Kļaviņa" -> "erika klavina".
QString asciiFold(const QString& s);

struct PriceGroup {
    QString name;
    QString code;
    int parent;  // index into priceGroups(), -1 = top level
};
const QList<PriceGroup>& priceGroups();

struct PriceItem {
    QString name;
    int group;       // index into priceGroups()
    double price;    // with VAT
    int vat;         // percent
    int minutes;
    int reminderDays;  // FIRST_NOTIF, 0 = none
};
// About two hundred manipulations over the leaf groups.
QList<PriceItem> priceItems();

}  // namespace demo::names
