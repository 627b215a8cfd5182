#include "billing/AmountInWords.h"

#include <cmath>

namespace billing {

namespace {

// Every word ends with one blank; the texts are glued together as they stand, which is where the
// double blanks of the printed form come from. A position padded with a blank (or holding '0')
// gives the empty text.
const char* const kUnits[10] = {"",       "viens ", "divi ",     "trīs ",    "četri ",
                                "pieci ", "seši ",  "septiņi ", "astoņi ", "deviņi "};
const char* const kTens[10] = {"",           "",            "divdesmit ",  "trīsdesmit ",   "četrdesmit ",
                               "piecdesmit ", "sešdesmit ", "septiņdesmit ", "astoņdesmit ", "deviņdesmit "};
const char* const kTeens[10] = {"desmit ",       "vienpadsmit ",  "divpadsmit ",    "trīspadsmit ",
                                "četrpadsmit ",  "piecpadsmit ",  "sešpadsmit ",    "septiņpadsmit ",
                                "astoņpadsmit ", "deviņpadsmit "};
const char* const kHundreds[10] = {"",
                                   "viens simts ",
                                   "divi simti ",
                                   "trīs simti ",
                                   "četri simti ",
                                   "pieci simti ",
                                   "seši simti ",
                                   "septiņi simti ",
                                   "astoņi simti ",
                                   "deviņi simti "};

// The word for a digit character; any other character (the padding blank) gives the empty text.
QString word(const char* const (&table)[10], QChar c) {
    if (c < u'0' || c > u'9') return QString();
    return QString::fromUtf8(table[c.unicode() - u'0']);
}

bool isTeen(QChar tensDigit) { return tensDigit == u'1'; }

// A group of three characters (hundreds, tens, units), possibly blank-padded.
struct GroupWords {
    QString text;   // hundreds + tens + units words
    QString units;  // the units word alone, empty for a teen
};

GroupWords groupWords(QStringView digits) {
    const QChar h = digits[0], t = digits[1], u = digits[2];
    GroupWords g;
    if (isTeen(t)) {
        g.text = word(kHundreds, h) + word(kTeens, u);
    } else {
        g.units = word(kUnits, u);
        g.text = word(kHundreds, h) + word(kTens, t) + g.units;
    }
    return g;
}

bool isLatsCode(const QString& code) {
    return code.isEmpty() || code == QLatin1String("LS") || code == QLatin1String("LVL");
}

QString zeroAmount(const QString& code, const QString& minorUnitName) {
    if (isLatsCode(code)) return QStringLiteral(" 0 lati 0 santīmi");
    if (code == QLatin1String("USD")) return QStringLiteral(" 0 USD 0 centi");
    if (code == QLatin1String("EUR")) return QStringLiteral("0 EUR 0 centi");
    return QStringLiteral("0 ") + code + QStringLiteral(" 0 ") + minorUnitName;
}

// "č" is the only first letter the words can start with that the ASCII rule does not cover.
QString capitalised(QString text) {
    if (text.isEmpty()) return text;
    const QChar first = text[0];
    if (first == QChar(0x010D))
        text[0] = QChar(0x010C);
    else if (first >= u'a' && first <= u'z')
        text[0] = QChar(first.unicode() - 'a' + 'A');
    return text;
}

}  // namespace

QString AmountInWords(double amount, const QString& currencyCode, const QString& minorUnitName) {
    amount = std::fabs(amount);
    const QString code = currencyCode.trimmed().toUpper();

    if (amount == 0.0) return zeroAmount(code, minorUnitName);
    const QString outOfRange = QStringLiteral(" 0 lati 0 santīmi");
    if (!std::isfinite(amount) || amount >= 1e10) return outOfRange;

    // The same rounding as the printed "0.00" figure (models::formatValue): 0.999 is "1.00". The
    // range and the "Nulle" test below are decided on this figure, not on the amount, so that the
    // words never contradict the figure beside them (0.005 prints as 0.01 and reads as one cent).
    const QString fixed = QString::number(amount, 'f', 2);
    const QStringView cents = QStringView(fixed).right(2);
    // Whole units as printed.
    const qint64 whole = fixed.left(fixed.size() - 3).toLongLong();
    if ((whole == 0 && cents == u"00") || whole > 999999999) return outOfRange;

    QString mainWord, minorWord;
    if (isLatsCode(code)) {
        mainWord = QStringLiteral("lati");
        minorWord = (cents[1] == u'1' && cents != u"11") ? QStringLiteral("santīms") : QStringLiteral("santīmi");
    } else if (code == QLatin1String("USD") || code == QLatin1String("EUR")) {
        mainWord = code;
        minorWord = QStringLiteral("centi");
    } else if (code == QLatin1String("DEM")) {
        mainWord = code;
        minorWord = QStringLiteral("feniņi");
    } else {
        mainWord = code;
        if (code == QLatin1String("LATI")) minorWord = minorUnitName;
    }

    QString centsText;
    if (cents == u"00") {
        centsText = QStringLiteral(" 00 ") + minorWord;
    } else if (isTeen(cents[0])) {
        centsText = word(kTeens, cents[1]) + QStringLiteral("  ") + minorWord;
    } else {
        centsText = word(kTens, cents[0]) + u' ' + word(kUnits, cents[1]) + u' ' + minorWord;
    }

    // 0.999 prints as 1.00 and reads "Viens", never "Nulle".
    if (whole == 0) return QStringLiteral("** Nulle ") + mainWord + u' ' + centsText;

    const QString padded = QString::number(whole).rightJustified(9, u' ');
    const GroupWords millions = groupWords(QStringView(padded).mid(0, 3));
    const GroupWords thousands = groupWords(QStringView(padded).mid(3, 3));
    const GroupWords units = groupWords(QStringView(padded).mid(6, 3));
    const QString one = QStringLiteral("viens ");

    QString text;
    if (!millions.text.isEmpty())
        text += millions.text + (millions.units == one ? QStringLiteral("miljons ") : QStringLiteral("miljoni "));
    if (!thousands.text.isEmpty())
        text += thousands.text +
                (thousands.units == one ? QStringLiteral("tūkstotis ") : QStringLiteral("tūkstoši "));
    text += units.text;
    if (mainWord == QLatin1String("lati") && units.units == one) mainWord = QStringLiteral("lats");
    if (!text.isEmpty()) text += mainWord + u' ';

    return u' ' + capitalised(text) + centsText;
}

}  // namespace billing
