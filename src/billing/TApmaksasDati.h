#pragma once
#include "app/StoreResult.h"
#include "db/Database.h"

#include <QCoreApplication>
#include <QDate>
#include <QList>
#include <QString>

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

    // How many times an operation is tried while another workstation holds its rows.
    static constexpr int Attempts = 6;

private:
    db::Database& m_db;
    int m_userIsn;
};

}  // namespace billing
