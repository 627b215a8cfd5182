#include "billing/PaymentAllocation.h"

#include "billing/PaymentList.h"
#include "db/Statement.h"

#include <QHash>
#include <QRegularExpression>
#include <cmath>

namespace billing {

double RoundAmount(double value, int digits) {
    const double scale = std::pow(10.0, digits);
    const double x = value * scale;
    double whole;
    const double fraction = std::modf(x, &whole);
    if (x > 0) return (fraction >= 0.49999999 ? whole + 1 : whole) / scale;
    return (fraction <= -0.49999999 ? whole - 1 : whole) / scale;
}

bool IsPlainOrder(const QString& order) {
    static const QRegularExpression plain(QStringLiteral(
        R"(^\s*[A-Za-z_][A-Za-z0-9_$]*(\.[A-Za-z_][A-Za-z0-9_$]*)?(\s+(ASC|ASCENDING|DESC|DESCENDING))?)"
        R"((\s*,\s*[A-Za-z_][A-Za-z0-9_$]*(\.[A-Za-z_][A-Za-z0-9_$]*)?(\s+(ASC|ASCENDING|DESC|DESCENDING))?)*\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    return plain.match(order).hasMatch();
}

PaymentRef ReadPaymentRef(db::Transaction& tx, int paymentKey, bool lock) {
    const db::ResultSet rs = tx.select(
        lock ? QStringLiteral("SELECT ISN, NUMURS, APMAKSVEIDS, DATUMS FROM O_APMAKS_HD WHERE ISN=:ISN WITH LOCK")
             : QStringLiteral("SELECT ISN, NUMURS, APMAKSVEIDS, DATUMS FROM O_APMAKS_HD WHERE ISN=:ISN"),
        {{QStringLiteral("ISN"), paymentKey}});
    PaymentRef ref;
    if (rs.rowCount() == 0) return ref;
    ref.key = paymentKey;
    ref.number = rs.value(0, QStringLiteral("NUMURS")).toString();
    ref.method = rs.value(0, QStringLiteral("APMAKSVEIDS")).toInt();
    ref.date = rs.value(0, QStringLiteral("DATUMS")).toDateTime().date();
    return ref;
}

double AllocateToInvoice(db::Transaction& tx, const PaymentRef& payment, int invoiceKey, double available,
                         int patientKey) {
    return InvoiceAllocator(tx).allocate(payment, invoiceKey, available, patientKey);
}

InvoiceAllocator::InvoiceAllocator(db::Transaction& tx) : m_tx(tx) {}
InvoiceAllocator::~InvoiceAllocator() = default;

void InvoiceAllocator::prepare() {
    if (m_read) return;
    // Locked until this transaction ends: another workstation allocating to the same invoice
    // now gets a lock conflict instead of reading a debt that is about to be paid.
    m_read = std::make_unique<db::Statement>(
        m_tx, QStringLiteral("SELECT APMAKS_SUM, DATUMS, NUMURS, KOPSUMMA, ISKLIENTS, ISN FROM O_PAVOUT_HD "
                             "WHERE O_PAVOUT_HD.ISN =:ISN WITH LOCK"));
    m_insert = std::make_unique<db::Statement>(
        m_tx, QStringLiteral("INSERT INTO O_APMAKS_DT (DATUMS, ISAPMAKSHD, ISPAVOUTHD, NUMURS, SUMMA) "
                             "VALUES (:DATUMS, :ISAPMAKSHD, :ISPAVOUTHD, :NUMURS, :SUMMA)"));
    m_update = std::make_unique<db::Statement>(
        m_tx, QStringLiteral("UPDATE O_PAVOUT_HD SET APMAKS_SUM=:APMAKS_SUM, APMAKS_NR=:APMAKS_NR, "
                             "APMAKSVEIDS=:APMAKSVEIDS, APMAKS_DAT=:APMAKS_DAT WHERE ISN =:ISN"));
}

double InvoiceAllocator::allocate(const PaymentRef& payment, int invoiceKey, double available, int patientKey) {
    if (payment.key <= 0 || available < AmountEpsilon) return 0;
    prepare();
    m_read->bind(QStringLiteral("ISN"), invoiceKey);
    m_read->execute();
    if (!m_read->next()) return 0;
    LockedInvoice inv;
    inv.key = invoiceKey;
    inv.date = m_read->value(QStringLiteral("DATUMS"));
    inv.number = m_read->value(QStringLiteral("NUMURS"));
    inv.paid = m_read->value(QStringLiteral("APMAKS_SUM")).toDouble();  // NULL counts as 0
    inv.total = m_read->value(QStringLiteral("KOPSUMMA")).toDouble();
    const int owner = m_read->value(QStringLiteral("ISKLIENTS")).toInt();
    while (m_read->next()) {
    }
    if (patientKey > 0 && owner != patientKey) return 0;
    return apply(payment, inv, available);
}

double InvoiceAllocator::apply(const PaymentRef& payment, const LockedInvoice& inv, double available) {
    if (payment.key <= 0 || available < AmountEpsilon) return 0;
    const double debt = inv.total - inv.paid;
    if (debt < AmountEpsilon) return 0;
    // Money moves in whole cents; an invoice whose total has fractions of a cent is paid when less
    // than half a cent is left.
    const double applied = RoundAmount(qMin(available, debt));
    if (applied < AmountEpsilon) return 0;
    prepare();
    m_insert->bind({{QStringLiteral("DATUMS"), inv.date},
                    {QStringLiteral("ISAPMAKSHD"), payment.key},
                    {QStringLiteral("ISPAVOUTHD"), inv.key},
                    {QStringLiteral("NUMURS"), inv.number},
                    {QStringLiteral("SUMMA"), applied}});
    m_insert->execute();
    m_update->bind({{QStringLiteral("APMAKS_SUM"), RoundAmount(inv.paid + applied)},
                    {QStringLiteral("APMAKS_NR"), payment.number},
                    {QStringLiteral("APMAKSVEIDS"), payment.method},
                    {QStringLiteral("APMAKS_DAT"),
                     payment.date.isValid() ? QVariant(QDateTime(payment.date, QTime(0, 0))) : QVariant()},
                    {QStringLiteral("ISN"), inv.key}});
    m_update->execute();
    m_tx.touch(QStringLiteral("O_APMAKS_DT"), payment.key);
    m_tx.touch(QStringLiteral("O_PAVOUT_HD"), inv.key);
    return applied;
}

QList<int> UnpaidInvoices(db::Transaction& tx, int patientKey, const QString& order) {
    const QString sql = UnpaidInvoicesSql(order);
    const db::ResultSet rs = tx.select(sql, {{QStringLiteral("ISKLIENTS"), patientKey}});
    QList<int> keys;
    keys.reserve(rs.rowCount());
    for (int r = 0; r < rs.rowCount(); ++r) {
        // A debt below a cent is not worth an allocation row.
        const double debt = rs.value(r, QStringLiteral("KOPSUMMA")).toDouble() -
                            rs.value(r, QStringLiteral("APMAKS_SUM")).toDouble();
        if (debt >= 0.01 - 1e-9) keys.append(rs.value(r, QStringLiteral("ISN")).toInt());
    }
    return keys;
}

double AllocateAutomatically(db::Transaction& tx, int patientKey, const PaymentRef& payment, double amount,
                             const QString& order) {
    if (amount < AmountEpsilon) return 0;
    const QList<int> keys = UnpaidInvoices(tx, patientKey, order);
    if (keys.isEmpty()) return 0;
    // The patient's unpaid invoices locked in one statement, their debts read as they are now:
    // one that another workstation paid meanwhile is left out or paid only what is still owed.
    const db::ResultSet rs = tx.select(
        QStringLiteral("SELECT ISN, APMAKS_SUM, KOPSUMMA, DATUMS, NUMURS FROM O_PAVOUT_HD WHERE ISKLIENTS = :ISKLIENTS "
                       "AND (KOPSUMMA-APMAKS_SUM>=0.005 OR APMAKS_SUM IS NULL) WITH LOCK"),
        {{QStringLiteral("ISKLIENTS"), patientKey}});
    QHash<int, InvoiceAllocator::LockedInvoice> locked;
    locked.reserve(rs.rowCount());
    for (int r = 0; r < rs.rowCount(); ++r) {
        InvoiceAllocator::LockedInvoice inv;
        inv.key = rs.value(r, 0).toInt();
        inv.paid = rs.value(r, 1).toDouble();
        inv.total = rs.value(r, 2).toDouble();
        inv.date = rs.value(r, 3);
        inv.number = rs.value(r, 4);
        locked.insert(inv.key, inv);
    }
    double remaining = amount;
    InvoiceAllocator allocator(tx);
    for (const int invoice : keys) {
        if (remaining < AmountEpsilon) break;
        const auto it = locked.constFind(invoice);
        if (it != locked.cend()) remaining -= allocator.apply(payment, *it, remaining);
    }
    return RoundAmount(amount - remaining);
}

double ReverseAllocations(db::Transaction& tx, int paymentKey) {
    const db::ResultSet rows = tx.select(
        QStringLiteral("SELECT ISN, NUMURS, SUMMA, ISPAVOUTHD FROM O_APMAKS_DT WHERE ISAPMAKSHD=:ISAPMAKSHD"),
        {{QStringLiteral("ISAPMAKSHD"), paymentKey}});
    double removed = 0;
    for (int r = 0; r < rows.rowCount(); ++r) {
        const int invoice = rows.value(r, QStringLiteral("ISPAVOUTHD")).toInt();
        const double amount = rows.value(r, QStringLiteral("SUMMA")).toDouble();
        const db::ResultSet inv = tx.select(
            QStringLiteral("SELECT ISN, APMAKS_SUM, APMAKS_NR, APMAKSVEIDS, DATUMS FROM O_PAVOUT_HD "
                           "WHERE O_PAVOUT_HD.ISN =:ISN WITH LOCK"),
            {{QStringLiteral("ISN"), invoice}});
        if (inv.rowCount() > 0) {
            const double paid = inv.value(0, QStringLiteral("APMAKS_SUM")).toDouble();
            if (paid > 0) {
                const double left = qMax(0.0, RoundAmount(paid - amount));
                if (left < AmountEpsilon) {
                    tx.exec(QStringLiteral("UPDATE O_PAVOUT_HD SET APMAKS_SUM=0, APMAKS_NR='', APMAKS_DAT=NULL "
                                           "WHERE ISN=:ISN"),
                            {{QStringLiteral("ISN"), invoice}});
                } else {
                    tx.exec(QStringLiteral("UPDATE O_PAVOUT_HD SET APMAKS_SUM=:APMAKS_SUM WHERE ISN=:ISN"),
                            {{QStringLiteral("APMAKS_SUM"), left}, {QStringLiteral("ISN"), invoice}});
                }
                tx.touch(QStringLiteral("O_PAVOUT_HD"), invoice);
            }
        }
        tx.exec(QStringLiteral("DELETE FROM O_APMAKS_DT WHERE ISN=:ISN"),
                {{QStringLiteral("ISN"), rows.value(r, QStringLiteral("ISN"))}});
        tx.touch(QStringLiteral("O_APMAKS_DT"), paymentKey);
        removed += amount;
    }
    return RoundAmount(removed);
}

}  // namespace billing
