#pragma once
#include "app/StoreResult.h"
#include "billing/PaymentList.h"
#include "db/BatchFetch.h"
#include "db/Database.h"

#include <QCoreApplication>
#include <QDate>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

namespace billing {

// How a new payment is spread over the patient's invoices.
enum class AllocationMode {
    Advance,    // nothing now: the whole amount is kept as overpayment
    Automatic,  // the unpaid invoices in the unpaid-list order (oldest first), the rest kept
    Selected,   // only the chosen invoices, in the order given, the rest kept
};

// A payment as typed into the register.
struct NewPayment {
    int patient = 0;
    QDate date;
    QString number;
    double amount = 0;       // SUMMA as typed: the money received
    double overpayment = 0;  // PARPALIKUMS as shown (0 for a new payment)
    int method = 0;          // 0 "Banka", 1 "Kase"
};

// What a payment operation did. On a refusal or failure nothing was written.
struct PaymentOutcome {
    app::CardCheck refusal;   // the message to show and the field to focus
    QString details;          // the database's own text when it refused
    int key = 0;              // the payment
    double allocated = 0;     // allocated by this operation
    double overpayment = 0;   // PARPALIKUMS afterwards
    bool ok() const { return refusal.ok(); }
};

// One payment as the register shows and edits it.
struct PaymentHeader {
    int isn = 0;
    int patient = 0;
    QString patientName;  // "UZVARDS VARDS"
    QDate date;
    QString number;
    double allocated = 0;    // SUMMA
    double overpayment = 0;  // PARPALIKUMS
    int method = 0;
    int allocationRows = 0;  // how many invoices it pays
};

// An edited payment: what it is now and what it was when read. The amounts stay as they are (they
// are the sums of the allocation rows); the patient changes only while nothing is allocated.
struct PaymentEdit {
    int key = 0;
    int patient = 0;
    QDate date;
    QString number;
    int method = 0;
    int oldPatient = 0;
    QDate oldDate;
    QString oldNumber;
    int oldMethod = 0;
};

// The sums under the unpaid list.
struct UnpaidTotals {
    double total = 0;  // "Rēķinu summa :"
    double paid = 0;   // "Apmaksāts :"
    double debt() const { return total - paid; }  // "Atlikums :"
};

// The payment register's data: new payments in the three allocation modes, allocating an
// overpayment later, deleting payments with their allocations reversed. Each operation is one
// transaction with its journal rows; a failure rolls all of it back. When another workstation holds
// one of the invoices (or the payment), the operation is run again a few times, re-reading what is
// still owed; if the rows stay held it is refused and writes nothing.
class TApmaksasDati {
    Q_DECLARE_TR_FUNCTIONS(TApmaksas)
public:
    static constexpr const char* HeaderTable = "O_APMAKS_HD";

    TApmaksasDati(db::Database& database, int userIsn);

    // The checks before a save, in the order the window shows them.
    static app::CardCheck check(const NewPayment& payment);

    // Stores a new payment and allocates it. `invoices` are the chosen invoices for
    // AllocationMode::Selected (those of other patients are left alone); `unpaidOrder` is the
    // stored order of the unpaid list (empty: oldest first).
    PaymentOutcome saveNew(const NewPayment& payment, AllocationMode mode, const QList<int>& invoices = {},
                           const QString& unpaidOrder = {});

    // Allocates the payment's overpayment: to the chosen invoices when given, else automatically.
    PaymentOutcome allocateOverpayment(int paymentKey, const QList<int>& invoices = {},
                                       const QString& unpaidOrder = {});

    // Deletes the payments, reversing their allocations first, all in one transaction.
    app::DeleteOutcome deletePayments(const QList<int>& keys);

    // Saves the date, number and method of a payment (and its patient while nothing is allocated);
    // every invoice whose last payment this is (its payment date, number and method still the old
    // ones) follows. Refused, writing nothing, when another workstation changed or deleted the
    // payment since it was read.
    PaymentOutcome saveEdited(const PaymentEdit& edit);

    // Records the payment of one invoice: a payment of the invoice's patient with the document
    // number, date and method, applying up to the invoice's debt as it is at that moment; what
    // is paid beyond the debt stays on the payment as overpayment. One transaction.
    PaymentOutcome payInvoice(int invoiceKey, double amount, const QString& document, const QDate& date, int method);
    // "Apmaksu izdarīt neizdevās !!! " + why: the message of a failed payment of one invoice.
    static QString PayInvoiceFailure(const QString& why);

    // The list of the filter in the given order (empty: newest first).
    db::ResultSet list(const PaymentFilter& filter, const QString& order = {});
    // The same list read in batches: the window shows the first rows at once.
    std::unique_ptr<db::BatchFetch> fetchList(const PaymentFilter& filter, const QString& order = {});
    std::optional<PaymentHeader> load(int key);
    // The date of a payment (invalid when there is none): where the filter moves to show it.
    QDate paymentDate(int key);
    // The allocation rows of a payment.
    db::ResultSet allocations(int paymentKey);
    // The unpaid invoices of a patient in the allocation order, with their debt (PARADSUM).
    db::ResultSet unpaid(int patientKey, const QString& order = {});
    static UnpaidTotals Totals(const db::ResultSet& unpaid);
    // The debt of the given rows of the unpaid list, rounded to cents.
    static double SelectedDebt(const db::ResultSet& unpaid, const QList<int>& rows);
    QString patientName(int key);

    // How many times an operation is tried while another workstation holds its rows.
    static constexpr int Attempts = 6;

private:
    db::Database& m_db;
    int m_userIsn;
};

}  // namespace billing
