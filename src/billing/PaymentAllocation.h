#pragma once
#include "db/Transaction.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>
#include <memory>

namespace db {
class Statement;
}

// Allocating payments to invoices. Every function works inside the caller's transaction and never
// commits: an operation that allocates, moves the remainder and journals is one transaction, so a
// failure anywhere leaves no allocation row without its invoice update and no payment whose SUMMA
// differs from its rows.
//
// Kept after every committed operation:
// - for each invoice, APMAKS_SUM = the sum of its O_APMAKS_DT rows (never below 0);
// - for each payment, SUMMA = the sum of its O_APMAKS_DT rows; the rest of the money received is
//   PARPALIKUMS.
//
// Two workstations may pay the same invoice at once. Each allocation therefore reads the invoice
// WITH LOCK before it decides how much to apply: the second one either waits for nothing (no-wait
// transactions) and fails with a lock conflict, rolling its whole operation back, or — once the
// first has committed — reads the debt that is left. It can never apply more than the debt it read
// under its own lock.
namespace billing {

// Amounts below this are nothing (half a cent).
constexpr double AmountEpsilon = 0.005;

// Rounds half away from zero at the given number of decimals, with a little slack for the binary
// representation: 2.345 gives 2.35 and -2.345 gives -2.35.
double RoundAmount(double value, int digits = 2);

// What an allocation writes onto the invoice: the payment's key, number, method and date.
struct PaymentRef {
    int key = 0;
    QString number;
    int method = 0;
    QDate date;
};

// The payment's reference as stored; key 0 when there is no such payment. With lock = true the
// payment row is locked for the rest of the transaction (allocating its overpayment).
PaymentRef ReadPaymentRef(db::Transaction& tx, int paymentKey, bool lock = false);

// Applies up to `available` of the payment to the invoice: the smaller of it and the invoice's debt,
// in whole cents. Writes the allocation row and the invoice's paid sum, last payment number, method
// and date. Returns the amount applied (0 when the invoice is gone, paid, or nothing is available).
// With patientKey > 0 an invoice of another patient is left alone (0).
double AllocateToInvoice(db::Transaction& tx, const PaymentRef& payment, int invoiceKey, double available,
                         int patientKey = 0);

// AllocateToInvoice with its statements prepared once for the transaction: spreading one payment
// over hundreds of invoices runs three prepared statements per invoice instead of preparing them
// again each time.
class InvoiceAllocator {
public:
    explicit InvoiceAllocator(db::Transaction& tx);
    ~InvoiceAllocator();
    double allocate(const PaymentRef& payment, int invoiceKey, double available, int patientKey = 0);
    // The same for an invoice the caller has read under lock in this transaction.
    struct LockedInvoice {
        int key = 0;
        QVariant date;
        QVariant number;
        double paid = 0;
        double total = 0;
    };
    double apply(const PaymentRef& payment, const LockedInvoice& invoice, double available);

private:
    void prepare();
    db::Transaction& m_tx;
    std::unique_ptr<db::Statement> m_read;
    std::unique_ptr<db::Statement> m_insert;
    std::unique_ptr<db::Statement> m_update;
};

// The patient's unpaid invoices in the order automatic allocation pays them: the stored order when
// given (column names and ASC/DESC only), else the oldest first.
QList<int> UnpaidInvoices(db::Transaction& tx, int patientKey, const QString& order = {});

// Pays the patient's unpaid invoices with up to `amount`, oldest first (or in `order`); returns the
// total applied, rounded to cents. The caller moves amount − result to PARPALIKUMS.
double AllocateAutomatically(db::Transaction& tx, int patientKey, const PaymentRef& payment, double amount,
                             const QString& order = {});

// Removes every allocation of the payment, lowering each invoice's paid sum (not below 0); an
// invoice left with nothing paid loses its payment number and date. Returns the total removed.
double ReverseAllocations(db::Transaction& tx, int paymentKey);

// True when the text can follow ORDER BY: column names (optionally table-qualified), commas and
// ASC/ASCENDING/DESC/DESCENDING. Orders come from the settings store, never from typed text, but
// are checked anyway before they reach a statement.
bool IsPlainOrder(const QString& order);

}  // namespace billing
