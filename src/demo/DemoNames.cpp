#include "demo/DemoNames.h"

#include <QHash>

namespace demo::names {

const QStringList& maleFirstNames() {
    static const QStringList n{"Jānis", "Andris", "Pēteris", "Mārtiņš", "Miķelis", "Kārlis", "Edgars", "Juris",
                               "Aivars", "Normunds", "Raimonds", "Gints", "Artūrs", "Roberts", "Dainis",
                               "Valdis", "Guntis", "Māris", "Uldis", "Toms", "Kristaps", "Rihards", "Emīls",
                               "Oskars", "Ģirts", "Ēriks", "Aleksandrs", "Dāvis", "Lauris", "Jānis Pēteris"};
    return n;
}

const QStringList& femaleFirstNames() {
    static const QStringList n{"Anna", "Līga", "Katrīna", "Lūcija", "Ilze", "Inese", "Kristīne", "Laura",
                               "Dace", "Sandra", "Ieva", "Zane", "Linda", "Agnese", "Baiba", "Elīna",
                               "Gunta", "Māra", "Rasma", "Sarmīte", "Solvita", "Vija", "Evita", "Sanita",
                               "Ērika", "Anete", "Marta", "Sofija", "Emīlija", "Alise", "Anna Marija"};
    return n;
}

const QList<Surname>& surnames() {
    static const QList<Surname> n{
        {"Bērziņš", "Bērziņa"}, {"Kalniņš", "Kalniņa"}, {"Ozoliņš", "Ozoliņa"}, {"Jansons", "Jansone"},
        {"Ozols", "Ozola"}, {"Liepiņš", "Liepiņa"}, {"Krūmiņš", "Krūmiņa"}, {"Balodis", "Balode"},
        {"Eglītis", "Eglīte"}, {"Zariņš", "Zariņa"}, {"Pētersons", "Pētersone"}, {"Vītols", "Vītola"},
        {"Kļaviņš", "Kļaviņa"}, {"Kārkliņš", "Kārkliņa"}, {"Vanags", "Vanaga"}, {"Šmits", "Šmite"},
        {"Lapiņš", "Lapiņa"}, {"Āboliņš", "Āboliņa"}, {"Siliņš", "Siliņa"}, {"Zvirbulis", "Zvirbule"},
        {"Grīnbergs", "Grīnberga"}, {"Jēkabsons", "Jēkabsone"}, {"Lācis", "Lāce"}, {"Kalns", "Kalna"},
        {"Sproģis", "Sproģe"}, {"Celmiņš", "Celmiņa"}, {"Žagars", "Žagare"}, {"Liepa", "Liepa"},
        {"Priede", "Priede"}, {"Ābele", "Ābele"}, {"Circenis", "Circene"}, {"Dzenis", "Dzene"},
        {"Strazds", "Strazda"}, {"Rozenbergs", "Rozenberga"}, {"Kukainis", "Kukaine"}, {"Ķeniņš", "Ķeniņa"},
        {"Lūsis", "Lūse"}, {"Mežulis", "Mežule"}, {"Skuja", "Skuja"}, {"Ūdris", "Ūdre"},
        {"O'Brien", "O'Brien"}, {"Ivanovs", "Ivanova"}, {"Petrovs", "Petrova"}, {"Kuzņecovs", "Kuzņecova"}};
    return n;
}

const QStringList& towns() {
    static const QStringList n{"Rīga", "Rīga", "Rīga", "Jūrmala", "Jelgava", "Ogre", "Salaspils", "Sigulda",
                               "Valmiera", "Cēsis", "Tukums", "Ķekava", "Mārupe", "Olaine", "Bauska"};
    return n;
}

const QStringList& streets() {
    static const QStringList n{"Brīvības iela", "Elizabetes iela", "Krišjāņa Barona iela", "Tērbatas iela",
                               "Lāčplēša iela", "Dzirnavu iela", "Ģertrūdes iela", "Valdemāra iela",
                               "Skolas iela", "Dārza iela", "Meža iela", "Rīgas iela", "Pils iela",
                               "Ūdens iela", "Čiekurkalna 1. līnija", "Ķengaraga iela"};
    return n;
}

const QStringList& occupations() {
    static const QStringList n{"skolotāja", "inženieris", "pārdevēja", "grāmatvede", "students", "skolniece",
                               "programmētājs", "ārste", "šoferis", "pensionārs", "juriste", "celtnieks", ""};
    return n;
}

QString nameDay(const QString& firstName) {
    // Only days that are beyond doubt; the clinic's own calendar fills the rest.
    static const QHash<QString, QString> days{{"Jānis", "24.06"},   {"Līga", "23.06"},
                                              {"Pēteris", "29.06"}, {"Anna", "26.07"},
                                              {"Miķelis", "29.09"}, {"Mārtiņš", "10.11"},
                                              {"Katrīna", "25.11"}, {"Andris", "30.11"},
                                              {"Lūcija", "13.12"}};
    return days.value(firstName.section(u' ', 0, 0));
}

QString asciiFold(const QString& s) {
    static const QHash<QChar, QChar> fold{{u'ā', u'a'}, {u'č', u'c'}, {u'ē', u'e'}, {u'ģ', u'g'}, {u'ī', u'i'},
                                          {u'ķ', u'k'}, {u'ļ', u'l'}, {u'ņ', u'n'}, {u'š', u's'}, {u'ū', u'u'},
                                          {u'ž', u'z'}};
    QString out;
    for (QChar c : s.toLower()) {
        if (fold.contains(c))
            out += fold.value(c);
        else if (c.isLetterOrNumber() && c.unicode() < 128)
            out += c;
        else if (c == u' ' || c == u'.')
            out += u'.';
    }
    return out;
}

const QList<PriceGroup>& priceGroups() {
    static const QList<PriceGroup> g{
        {"Terapija", "T", -1},                    // 0
        {"Plombēšana", "T1", 0},                  // 1
        {"Kompozīta plombes", "T11", 1},          // 2
        {"Citas plombes", "T12", 1},              // 3
        {"Endodontija", "T2", 0},                 // 4
        {"Ķirurģija", "K", -1},                   // 5
        {"Ekstrakcijas", "K1", 5},                // 6
        {"Implantoloģija", "K2", 5},              // 7
        {"Ortopēdija", "O", -1},                  // 8
        {"Kroņi", "O1", 8},                       // 9
        {"Metālkeramikas kroņi", "O11", 9},       // 10
        {"Bezmetāla kroņi", "O12", 9},            // 11
        {"Protēzes", "O2", 8},                    // 12
        {"Higiēna un profilakse", "H", -1},       // 13
        {"Profesionālā higiēna", "H1", 13},       // 14
        {"Bērnu profilakse", "H2", 13},           // 15
        {"Diagnostika", "D", -1},                 // 16
        {"Rentgens", "D1", 16},                   // 17
        {"Konsultācijas", "D2", 16},              // 18
        {"Anestēzija", "A", -1},                  // 19
        {"Materiāli un preces", "M", -1},         // 20
        {"Zobu kopšanas līdzekļi", "M1", 20},     // 21
    };
    return g;
}

QList<PriceItem> priceItems() {
    QList<PriceItem> items;
    const QStringList teeth{"priekšzobs", "premolārs", "molārs"};
    const QStringList surfaces{"1 virsma", "2 virsmas", "3 virsmas", "4 virsmas"};
    for (int t = 0; t < teeth.size(); ++t)
        for (int s = 0; s < surfaces.size(); ++s) {
            const double base = 35 + 10 * t + 12 * s;
            items.append({"Kompozīta plombe, " + teeth[t] + ", " + surfaces[s], 2, base, 0, 30 + 10 * s, 0});
            items.append({"Kompozīta plombe ar koferdamu, " + teeth[t] + ", " + surfaces[s], 2, base + 12, 0, 40 + 10 * s, 0});
            items.append({"Stikla jonomēra plombe, " + teeth[t] + ", " + surfaces[s], 3, base - 10, 0, 25 + 5 * s, 0});
        }
    for (const QString& p : {"Pagaidu plombe", "Ārstnieciskā oderīte", "Plombes pulēšana", "Fisūru hermetizācija"})
        items.append({p, 3, 12, 0, 15, 0});
    for (int canals = 1; canals <= 4; ++canals) {
        const QString n = QString::number(canals) + (canals == 1 ? " kanāls" : " kanāli");
        items.append({"Kanālu mehāniskā apstrāde, " + n, 4, 30.0 * canals, 0, 30 * canals, 0});
        items.append({"Kanālu pildīšana, " + n, 4, 25.0 * canals, 0, 20 * canals, 0});
        items.append({"Kanālu atkārtota ārstēšana, " + n, 4, 45.0 * canals, 0, 40 * canals, 0});
    }
    items.append({"Medikamentozā ieliktne kanālā", 4, 15, 0, 15, 0});
    items.append({"Stikla šķiedras tapa", 4, 40, 0, 20, 0});
    for (int t = 0; t < teeth.size(); ++t) {
        items.append({"Zoba ekstrakcija, " + teeth[t], 6, 40.0 + 15 * t, 0, 30, 0});
        items.append({"Sarežģīta zoba ekstrakcija, " + teeth[t], 6, 80.0 + 20 * t, 0, 60, 0});
        items.append({"Piena zoba ekstrakcija, " + teeth[t], 6, 25.0 + 5 * t, 0, 20, 0});
    }
    for (const QString& p : {"Gudrības zoba ekstrakcija", "Retinēta zoba ekstrakcija", "Brūces apstrāde",
                             "Šuvju noņemšana", "Alveolīta ārstēšana", "Saknes galotnes rezekcija"})
        items.append({p, 6, 60, 0, 30, 0});
    items.last().price = 150;
    for (const QString& p : {"Implants", "Implanta atsegšana", "Kaulaudu pielikšana", "Sinusa pacelšana",
                             "Implanta abatments", "Gingivas formētājs"})
        items.append({p, 7, 450, 0, 60, 0});
    for (const QString& kind : {"Metālkeramikas kronis", "Metālkeramikas kronis uz implanta",
                                "Metālkeramikas tilta starpdaļa"})
        for (const QString& t : teeth) items.append({kind + ", " + t, 10, 320, 0, 60, 0});
    for (const QString& kind : {"Cirkonija kronis", "E.max kronis", "Keramikas venīrs", "Keramikas onleja"})
        for (const QString& t : teeth) items.append({kind + ", " + t, 11, 420, 0, 60, 0});
    for (const QString& p : {"Pilnā plastmasas protēze", "Daļējā plastmasas protēze", "Bugeļprotēze",
                             "Protēzes labošana", "Protēzes pārklāšana", "Pagaidu kronis", "Krona noņemšana",
                             "Nospiedumi", "Sakodiena reģistrācija"})
        items.append({p, 12, 180, 0, 45, 0});
    for (const QString& p : {"Zobakmens noņemšana ar ultraskaņu", "Zobu pulēšana", "Air-flow tīrīšana",
                             "Profesionālā higiēna, pilna", "Fluorlakas pārklājums", "Mutes higiēnas apmācība",
                             "Periodonta kabatu kiretāža", "Zobu balināšana kabinetā", "Zobu balināšanas kape"})
        items.append({p, 14, 55, 0, 45, 180});
    for (const QString& p : {"Bērnu profilaktiskā apskate", "Bērnu zobu fluorēšana", "Fisūru silantēšana bērniem",
                             "Adaptācijas vizīte"})
        items.append({p, 15, 25, 0, 30, 365});
    for (const QString& p : {"Zoba rentgenuzņēmums", "Panorāmas rentgenuzņēmums", "Datortomogrāfija, viens žoklis",
                             "Datortomogrāfija, abi žokļi", "Sakodiena rentgenuzņēmums"})
        items.append({p, 17, 15, 0, 10, 0});
    for (const QString& p : {"Pirmreizēja konsultācija", "Atkārtota konsultācija", "Ārstēšanas plāna sastādīšana",
                             "Ortodonta konsultācija", "Ķirurga konsultācija", "Periodontologa konsultācija"})
        items.append({p, 18, 30, 0, 30, 365});
    for (const QString& p : {"Infiltrācijas anestēzija", "Vadanestēzija", "Virsmas anestēzija",
                             "Intraligamentārā anestēzija"})
        items.append({p, 19, 12, 0, 5, 0});
    for (const QString& p : {"Zobu birste, mīksta", "Zobu birste, vidēja", "Starpzobu birstītes", "Zobu diegs",
                             "Zobu pasta ar fluoru", "Mutes skalojamais līdzeklis", "Irigatora uzgaļi",
                             "Ortodontiskais vasks", "Protēžu tīrīšanas tabletes", "Zobu birste bērniem"})
        items.append({p, 21, 6.5, 21, 0, 0});
    for (const QString& p : {"Ārstnieciskā zobu pasta", "Vitamīni zobiem", "Gela kapes"}) items.append({p, 21, 14, 12, 0, 0});
    // Fill up to about two hundred with sizes of the goods.
    const int goods = int(items.size());
    for (int i = 0; items.size() < 200; ++i) {
        PriceItem copy = items[(i * 7) % goods];
        copy.name += (i % 2 ? ", liels iepakojums" : ", papildu");
        copy.price = copy.price * 1.1;
        items.append(copy);
    }
    return items;
}

}  // namespace demo::names
