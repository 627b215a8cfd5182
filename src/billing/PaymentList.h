#pragma once
#include "db/Transaction.h"

#include <QDate>
#include <QString>

namespace billing {

// The choices of the filter dialog "Apmaksu atlase": the payment date period (both days included)
// unless every date is wanted, an exact document number, only payments with an overpayment, one
// payment method (-1 = all) and one patient (0 = all).
struct PaymentFilter {
    static constexpr const char* SettingsSection = "ApmaksFiltrs";
    enum Overpayment { AllPayments = 0, WithOverpaymentOnly = 1 };

    QDate from{1900, 1, 1};
    QDate to{3000, 1, 1};
    bool allDates = false;
    QString number;
    int overpayment = AllPayments;
    int method = -1;   // not stored
    int patient = 0;   // not stored

    // The stored filter of this workstation (F0Datums, F1Datums, F0NrPavadz, Parpalik,
    // VisiDatumi); a value missing or unreadable keeps its default.
    static PaymentFilter Read();
    void write() const;

    bool operator==(const PaymentFilter&) const = default;
};

// The payment list and the unpaid list orders as stored in "ApmaksOrder" (Kartiba, KartibaParadi);
// empty is the default order. A stored text that is not a plain column list is not used.
struct PaymentOrders {
    static constexpr const char* SettingsSection = "ApmaksOrder";
    QString payments;
    QString unpaid;
    static PaymentOrders Read();
    void write() const;
};

struct PaymentListQuery {
    QString sql;
    db::Params params;
};
// The payment list's statement with every typed value bound; `order` empty (or not a plain column
// list) gives the newest payments first.
PaymentListQuery MakePaymentListQuery(const PaymentFilter& filter, const QString& order = {});

// The unpaid invoices of one patient as the second page lists them, in the order automatic
// allocation pays them (oldest first unless `order` says otherwise).
QString UnpaidInvoicesSql(const QString& order = {});

}  // namespace billing
