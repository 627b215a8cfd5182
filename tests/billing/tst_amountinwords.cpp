#include "billing/AmountInWords.h"
#include "models/ResultTableModel.h"

#include <QtTest>
#include <cmath>
#include <limits>

using billing::AmountInWords;

class TestAmountInWords : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void words_data();
    void words();
    void roundedCents_data();
    void roundedCents();
};

void TestAmountInWords::words_data() {
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("minor");
    QTest::addColumn<QString>("expected");
    auto row = [](const char* tag, double amount, const char* code, const char* expected, const char* minor = "") {
        QTest::newRow(tag) << amount << QString::fromUtf8(code) << QString::fromUtf8(minor) << QString::fromUtf8(expected);
    };

    // The printed examples, blanks exactly as printed.
    row("1234.56 EUR", 1234.56, "EUR", " Viens tūkstotis divi simti trīsdesmit četri EUR piecdesmit  seši  centi");
    row("21.00 EUR", 21.00, "EUR", " Divdesmit viens EUR  00 centi");
    row("1000000.00 EUR", 1000000.00, "EUR", " Viens miljons EUR  00 centi");
    row("2011.11 EUR", 2011.11, "EUR", " Divi tūkstoši vienpadsmit EUR vienpadsmit   centi");
    row("12.12 EUR", 12.12, "EUR", " Divpadsmit EUR divpadsmit   centi");
    row("0.45 EUR", 0.45, "EUR", "** Nulle EUR četrdesmit  pieci  centi");
    row("0.05 EUR", 0.05, "EUR", "** Nulle EUR  pieci  centi");
    row("0.00 EUR", 0.00, "EUR", "0 EUR 0 centi");
    row("1.01 lats", 1.01, "", " Viens lats  viens  santīms");
    row("21.21 lats", 21.21, "", " Divdesmit viens lats divdesmit  viens  santīms");
    row("11.11 lati", 11.11, "", " Vienpadsmit lati vienpadsmit   santīmi");

    // Edge cases.
    row("negative", -1234.56, "EUR", " Viens tūkstotis divi simti trīsdesmit četri EUR piecdesmit  seši  centi");
    row("below a cent", 0.004, "EUR", " 0 lati 0 santīmi");
    row("too large", 1000000000.00, "EUR", " 0 lati 0 santīmi");
    row("largest", 999999999.99, "EUR",
        " Deviņi simti deviņdesmit deviņi miljoni deviņi simti deviņdesmit deviņi tūkstoši deviņi simti "
        "deviņdesmit deviņi EUR deviņdesmit  deviņi  centi");
    row("zero unknown code", 0.0, "GBP", "0 GBP 0 pensi", "pensi");
    row("whole unknown code", 5.00, "GBP", " Pieci GBP  00 ", "pensi");
    row("zero lats", 0.0, "", " 0 lati 0 santīmi");
    row("zero USD", 0.0, "USD", " 0 USD 0 centi");
    row("zero DEM", 0.0, "DEM", "0 DEM 0 feniņi", "feniņi");
    row("negative zero", -0.0, "EUR", "0 EUR 0 centi");
    row("100 EUR", 100.00, "EUR", " Viens simts EUR  00 centi");
    row("101 EUR", 101.00, "EUR", " Viens simts viens EUR  00 centi");
    row("101 lats", 101.00, "", " Viens simts viens lats  00 santīmi");
    row("11000 EUR", 11000.00, "EUR", " Vienpadsmit tūkstoši EUR  00 centi");
    row("21000 EUR", 21000.00, "EUR", " Divdesmit viens tūkstotis EUR  00 centi");
    row("400 EUR capital Č", 400.00, "EUR", " Četri simti EUR  00 centi");

    // Around each group boundary.
    row("1", 1, "EUR", " Viens EUR  00 centi");
    row("10", 10, "EUR", " Desmit EUR  00 centi");
    row("11", 11, "EUR", " Vienpadsmit EUR  00 centi");
    row("19", 19, "EUR", " Deviņpadsmit EUR  00 centi");
    row("20", 20, "EUR", " Divdesmit EUR  00 centi");
    row("21", 21, "EUR", " Divdesmit viens EUR  00 centi");
    row("111", 111, "EUR", " Viens simts vienpadsmit EUR  00 centi");
    row("1000", 1000, "EUR", " Viens tūkstotis EUR  00 centi");
    row("1001", 1001, "EUR", " Viens tūkstotis viens EUR  00 centi");
    row("2000", 2000, "EUR", " Divi tūkstoši EUR  00 centi");
    row("101000", 101000, "EUR", " Viens simts viens tūkstotis EUR  00 centi");
    row("1000000", 1000000, "EUR", " Viens miljons EUR  00 centi");
    row("1000001", 1000001, "EUR", " Viens miljons viens EUR  00 centi");
    row("1001000", 1001000, "EUR", " Viens miljons viens tūkstotis EUR  00 centi");
    row("2000000", 2000000, "EUR", " Divi miljoni EUR  00 centi");
    row("21000001", 21000001, "EUR", " Divdesmit viens miljons viens EUR  00 centi");

    // Lats and santīmi: the singular follows the last digit, except for eleven.
    row("1 lats", 1, "", " Viens lats  00 santīmi");
    row("11 lati", 11, "", " Vienpadsmit lati  00 santīmi");
    row("1000 lati", 1000, "", " Viens tūkstotis lati  00 santīmi");
    row("0.01 santīms", 0.01, "", "** Nulle lati  viens  santīms");
    row("0.11 santīmi", 0.11, "", "** Nulle lati vienpadsmit   santīmi");
    row("LVL code", 21.31, "LVL", " Divdesmit viens lats trīsdesmit  viens  santīms");
    row("lower-case ls", 2.10, " ls ", " Divi lati desmit   santīmi");

    // Other currencies and the code as given.
    row("USD", 2.50, "USD", " Divi USD piecdesmit   centi");
    row("DEM", 3.01, "DEM", " Trīs DEM  viens  feniņi");
    row("LATI keeps the minor word", 2.05, "lati", " Divi LATI  pieci  sant.", "sant.");
    row("LATI zero", 0.0, "Lati", "0 LATI 0 sant.", "sant.");
    row("unknown code ignores minor word", 7.70, "SEK", " Septiņi SEK septiņdesmit   ", "ēre");

    // Not a number at all.
    row("NaN", std::numeric_limits<double>::quiet_NaN(), "EUR", " 0 lati 0 santīmi");
}

void TestAmountInWords::words() {
    QFETCH(double, amount);
    QFETCH(QString, code);
    QFETCH(QString, minor);
    QFETCH(QString, expected);
    QCOMPARE(AmountInWords(amount, code, minor), expected);
}

// Amounts whose cents round when printed: the words must say what the printed figure says, in
// both formats the invoice layouts use.
void TestAmountInWords::roundedCents_data() {
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("figure");
    QTest::addColumn<QString>("expected");
    auto row = [](const char* tag, double amount, const char* figure, const char* expected) {
        QTest::newRow(tag) << amount << QString::fromLatin1(figure) << QString::fromUtf8(expected);
    };
    row("0.999 reads as one euro", 0.999, "1.00", " Viens EUR  00 centi");
    row("0.995 stays below one", 0.995, "0.99", "** Nulle EUR deviņdesmit  deviņi  centi");
    row("0.125 half up", 0.125, "0.13", "** Nulle EUR trīspadsmit   centi");
    row("12.345", 12.345, "12.35", " Divpadsmit EUR trīsdesmit  pieci  centi");
    row("2.675 is below the half", 2.675, "2.67", " Divi EUR sešdesmit  septiņi  centi");
    row("1.005 is below the half", 1.005, "1.00", " Viens EUR  00 centi");
    row("19.999 carries into units", 19.999, "20.00", " Divdesmit EUR  00 centi");
    row("999.995 carries into thousands", 999.995, "1000.00", " Viens tūkstotis EUR  00 centi");
    row("0.014 one cent", 0.014, "0.01", "** Nulle EUR  viens  centi");
    row("0.005 prints as one cent", 0.005, "0.01", "** Nulle EUR  viens  centi");
    row("0.0049 prints as nothing", 0.0049, "0.00", " 0 lati 0 santīmi");
    row("999999999.995 prints too large", 999999999.995, "1000000000.00", " 0 lati 0 santīmi");
    row("24.2 from a VAT product", 10.0 * 1.21 * 2, "24.20", " Divdesmit četri EUR divdesmit   centi");
    row("999999999.994 still in range", 999999999.994, "999999999.99",
        " Deviņi simti deviņdesmit deviņi miljoni deviņi simti deviņdesmit deviņi tūkstoši deviņi simti "
        "deviņdesmit deviņi EUR deviņdesmit  deviņi  centi");
}

void TestAmountInWords::roundedCents() {
    QFETCH(double, amount);
    QFETCH(QString, figure);
    QFETCH(QString, expected);
    QCOMPARE(models::formatValue(amount, QStringLiteral("0.00")), figure);
    QCOMPARE(models::formatValue(amount, QStringLiteral("%2.2f")), figure);
    QCOMPARE(AmountInWords(amount, QStringLiteral("EUR"), QString()), expected);
}

QTEST_GUILESS_MAIN(TestAmountInWords)
#include "tst_amountinwords.moc"
