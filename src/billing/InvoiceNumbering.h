#pragma once
#include <QString>

namespace billing {

// The numbers a workstation gives new invoices: its own counter and series, kept in the settings
// section "IzrakstOrder" (TekPZNr, Serija).
//
// A number is the counter in decimal; with a series it is padded with zeros to six characters
// (counter 42: "000042" with a series, "42" without).
QString CounterNumber(int counter, const QString& series);

// The counter after the user typed a number: the digits from the first digit to the end (or the
// last character when there is no digit) read as a whole number, plus one. "A-000123" gives 124,
// "SR-0099" 100; a text that is not a number from there on ("12B", "") leaves the counter as it is.
int CounterAfterTyped(const QString& number, int counter);

struct InvoiceCounter {
    static constexpr const char* SettingsSection = "IzrakstOrder";

    int next = 0;      // the number the next new invoice gets
    QString series;    // the series it gets

    static InvoiceCounter Read();
    void write() const;

    // The number for a new invoice; the counter moves on by one.
    QString take();
};

}  // namespace billing
