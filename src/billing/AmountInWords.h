#pragma once
#include <QString>

namespace billing {

// The amount written out in Latvian words, as printed under "KOPĒJĀ SUMMA" on invoices.
//
// amount: the sign is ignored. Amounts below 0.01 (other than exactly 0) and above 999999999.99
// cannot be written and give " 0 lati 0 santīmi".
// currencyCode: trimmed and upper-cased; "EUR", "USD", "DEM" and the lats codes ("", "LS",
// "LVL") have their own unit words, any other code is written as it stands with no minor word.
// minorUnitName: used only for a zero amount in an unknown currency and for the code "LATI".
//
// The words keep the blanks of the printed form (some places have two or three in a row).
// The cents are rounded the way the printed "0.00" figure is, so the words always agree with
// the figure beside them. Never fails.
QString AmountInWords(double amount, const QString& currencyCode, const QString& minorUnitName);

}  // namespace billing
