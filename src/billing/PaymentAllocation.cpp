#include "billing/PaymentAllocation.h"

#include "billing/PaymentList.h"

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
    if (payment.key <= 0 || available < AmountEpsilon) return 0;
    // Locked until this transaction ends: another workstation allocating to the same invoice now
    // gets a lock conflict instead of reading a debt that is about to be paid.
    const db::ResultSet inv = tx.select(
        QStringLiteral("SELECT APMAKS_SUM, DATUMS, NUMURS, KOPSUMMA, ISKLIENTS, ISN FROM O_PAVOUT_HD "
                       "WHERE O_PAVOUT_HD.ISN =:ISN WITH LOCK"),
        {{QStringLiteral("ISN"), invoiceKey}});
    if (inv.rowCount() == 0) return 0;
    if (patientKey > 0 && inv.value(0, QStringLiteral("ISKLIENTS")).toInt() != patientKey) return 0;
    const double paid = inv.value(0, QStringLiteral("APMAKS_SUM")).toDouble();  // NULL counts as 0
    const double debt = inv.value(0, QStringLiteral("KOPSUMMA")).toDouble() - paid;
    if (debt < AmountEpsilon) return 0;
    // Money moves in whole cents; an invoice whose total has fractions of a cent is paid when less
    // than half a cent is left.
    const double applied = RoundAmount(qMin(available, debt));
    if (applied < AmountEpsilon) return 0;
    tx.exec(QStringLiteral("INSERT INTO O_APMAKS_DT (DATUMS, ISAPMAKSHD, ISPAVOUTHD, NUMURS, SUMMA) "
                           "VALUES (:DATUMS, :ISAPMAKSHD, :ISPAVOUTHD, :NUMURS, :SUMMA)"),
            {{QStringLiteral("DATUMS"), inv.value(0, QStringLiteral("DATUMS"))},
             {QStringLiteral("ISAPMAKSHD"), payment.key},
             {QStringLiteral("ISPAVOUTHD"), invoiceKey},
             {QStringLiteral("NUMURS"), inv.value(0, QStringLiteral("NUMURS"))},
             {QStringLiteral("SUMMA"), applied}});
    tx.exec(QStringLiteral("UPDATE O_PAVOUT_HD SET APMAKS_SUM=:APMAKS_SUM, APMAKS_NR=:APMAKS_NR, "
                           "APMAKSVEIDS=:APMAKSVEIDS, APMAKS_DAT=:APMAKS_DAT WHERE ISN =:ISN"),
            {{QStringLiteral("APMAKS_SUM"), RoundAmount(paid + applied)},
             {QStringLiteral("APMAKS_NR"), payment.number},
             {QStringLiteral("APMAKSVEIDS"), payment.method},
             {QStringLiteral("APMAKS_DAT"), payment.date.isValid() ? QVariant(QDateTime(payment.date, QTime(0, 0)))
                                                                   : QVariant()},
             {QStringLiteral("ISN"), invoiceKey}});
    tx.touch(QStringLiteral("O_APMAKS_DT"), payment.key);
    tx.touch(QStringLiteral("O_PAVOUT_HD"), invoiceKey);
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
    double remaining = amount;
    for (const int invoice : UnpaidInvoices(tx, patientKey, order)) {
        if (remaining < AmountEpsilon) break;
        remaining -= AllocateToInvoice(tx, payment, invoice, remaining, patientKey);
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
