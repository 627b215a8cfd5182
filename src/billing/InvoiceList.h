#pragma once
#include "db/Transaction.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace billing {

// The choices of the filter dialog "Izrakstīto pavadzīmju atlase": the period of the invoice date
// (both days included), an exact number, the payment state and the patient (0 = all).
struct InvoiceFilter {
    static constexpr const char* SettingsSection = "IzrakstisanaFiltrs";
    enum PaymentState { All = 0, UnpaidOnly = 1, PaidOnly = 2 };

    QDate from{1900, 1, 1};
    QDate to{3000, 1, 1};
    QString number;
    int paymentState = All;
    int patient = 0;  // not stored

    // The stored filter of this workstation (F0Datums, F1Datums, F0NrPavadz, Apmaksats); a value
    // missing or unreadable keeps its default.
    static InvoiceFilter Read();
    void write() const;

    bool operator==(const InvoiceFilter&) const = default;
};

// The list order: the column last clicked and its direction, or no order at all (the list comes
// as the database hands it over). Kept in "IzrakstOrder"/"Kartiba" as the ORDER BY text; a stored
// text that is not one this program writes is not used.
struct InvoiceSort {
    static constexpr const char* SettingsSection = "IzrakstOrder";
    static constexpr const char* SettingsName = "Kartiba";

    QString column = QStringLiteral("DATUMS");  // grid field last clicked
    bool descending = false;
    bool ordered = false;  // false: no ORDER BY

    // The grid's fields in column order ("ShUzvardsVards" is the patient's name column).
    static const QStringList& GridFields();
    // The sort after a click on the title of a grid field: the same column turns round, another
    // starts ascending.
    InvoiceSort clicked(const QString& field) const;
    // The ORDER BY expression: "O_PAVOUT_HD.DATUMS ASCENDING ", "N_KLIENTS.UZVARDS DESCENDING ,
    // N_KLIENTS.VARDS DESCENDING ", ...; empty when not ordered.
    QString orderBy() const;
    static InvoiceSort FromOrderBy(const QString& text);

    static InvoiceSort Read();
    void write() const;

    bool operator==(const InvoiceSort&) const = default;
};

// The list's statement with every typed value bound. `withOrder` false leaves the ORDER BY out
// (the retry when the ordered statement is refused).
struct InvoiceListQuery {
    QString sql;
    db::Params params;
};
InvoiceListQuery MakeInvoiceListQuery(const InvoiceFilter& filter, const InvoiceSort& sort, bool withOrder = true);

}  // namespace billing
