#include "billing/TApmaksasDati.h"

#include "app/SharedProcedures.h"
#include "billing/PaymentAllocation.h"
#include "db/DbError.h"
#include "db/Transaction.h"

#include <QThread>

namespace billing {

namespace {

QVariant dayValue(const QDate& date) { return QDateTime(date, QTime(0, 0)); }

QString amountText(double value) { return QString::number(RoundAmount(value), 'f', 2); }

// Runs one operation in its own transaction, again while another workstation holds its rows (each
// run re-reads what it allocates). The last lock conflict, and any other error, propagate.
template <typename Operation>
void runRetrying(db::Database& database, Operation&& operation) {
    for (int attempt = 1;; ++attempt) {
        try {
            db::Transaction tx(database);
            operation(tx);
            tx.commit();
            return;
        } catch (const db::DbError& e) {
            if (!e.isLockConflict() || attempt >= TApmaksasDati::Attempts) throw;
        }
        QThread::msleep(15 * attempt);
    }
}

}  // namespace

TApmaksasDati::TApmaksasDati(db::Database& database, int userIsn) : m_db(database), m_userIsn(userIsn) {}

app::CardCheck TApmaksasDati::check(const NewPayment& p) {
    if (!p.date.isValid()) return app::CardCheck::fail(tr("Nav ievadīts apmaksas datums !!!"), QStringLiteral("DATUMS"));
    if (p.date < QDate(1900, 1, 1))
        return app::CardCheck::fail(tr("Datums nevar būt mazāks par 01.01.1900 !!!"), QStringLiteral("DATUMS"));
    if (p.number.trimmed().isEmpty())
        return app::CardCheck::fail(tr("Nav ievadīts apmaksas dokumenta numurs !!!"), QStringLiteral("NUMURS"));
    if (p.patient <= 0) return app::CardCheck::fail(tr("Nav izvēlēts klients !!!"), QStringLiteral("ISKLIENTS"));
    if (qAbs(p.amount + p.overpayment) < AmountEpsilon)
        return app::CardCheck::fail(tr("Nav ievadīta apmaksas summa !!!"), QStringLiteral("SUMMA"));
    return {};
}

PaymentOutcome TApmaksasDati::saveNew(const NewPayment& payment, AllocationMode mode, const QList<int>& invoices,
                                      const QString& unpaidOrder) {
    PaymentOutcome out;
    out.refusal = check(payment);
    if (!out.ok()) return out;
    const double received = RoundAmount(payment.amount + payment.overpayment);
    try {
        runRetrying(m_db, [&](db::Transaction& tx) {
            PaymentRef ref;
            ref.number = payment.number.trimmed();
            ref.method = payment.method;
            ref.date = payment.date;
            // Stored first with nothing allocated, so the payment's SUMMA never exceeds its rows.
            ref.key = tx.scalar(QStringLiteral("INSERT INTO O_APMAKS_HD (ISKLIENTS, DATUMS, NUMURS, SUMMA, PARPALIKUMS, "
                                               "APMAKSVEIDS, ISUSER_NEW, IEVDAT_NEW) VALUES (:ISKLIENTS, :DATUMS, "
                                               ":NUMURS, 0, :PARPALIKUMS, :APMAKSVEIDS, :ISUSER_NEW, :IEVDAT_NEW) "
                                               "RETURNING ISN"),
                                {{QStringLiteral("ISKLIENTS"), payment.patient},
                                 {QStringLiteral("DATUMS"), dayValue(payment.date)},
                                 {QStringLiteral("NUMURS"), ref.number},
                                 {QStringLiteral("PARPALIKUMS"), received},
                                 {QStringLiteral("APMAKSVEIDS"), payment.method},
                                 {QStringLiteral("ISUSER_NEW"), m_userIsn > 0 ? QVariant(m_userIsn) : QVariant()},
                                 {QStringLiteral("IEVDAT_NEW"), QDateTime::currentDateTime()}})
                          .toInt();
            tx.touch(QLatin1String(HeaderTable), ref.key);
            app::WriteJournal(tx, m_userIsn, QStringLiteral("J"), ref.number, QLatin1String(HeaderTable), ref.key,
                              QString(), dayValue(payment.date).toDateTime());
            double allocated = 0;
            if (mode == AllocationMode::Automatic) {
                allocated = AllocateAutomatically(tx, payment.patient, ref, received, unpaidOrder);
            } else if (mode == AllocationMode::Selected) {
                double remaining = received;
                for (const int invoice : invoices) {
                    if (remaining < AmountEpsilon) break;
                    remaining -= AllocateToInvoice(tx, ref, invoice, remaining, payment.patient);
                }
                allocated = RoundAmount(received - remaining);
            }
            const double rest = RoundAmount(received - allocated);
            if (allocated != 0)
                tx.exec(QStringLiteral("UPDATE O_APMAKS_HD SET PARPALIKUMS=:PARPALIKUMS, SUMMA=:SUMMA WHERE ISN = :ISN"),
                        {{QStringLiteral("PARPALIKUMS"), rest},
                         {QStringLiteral("SUMMA"), allocated},
                         {QStringLiteral("ISN"), ref.key}});
            out.key = ref.key;
            out.allocated = allocated;
            out.overpayment = rest;
        });
    } catch (const db::DbError& e) {
        out = {};
        out.refusal = app::CardCheck::fail(tr("Apmaksu saglabāt neizdevās !!! ") + e.message(), QString());
        out.details = e.message();
    }
    return out;
}

PaymentOutcome TApmaksasDati::allocateOverpayment(int paymentKey, const QList<int>& invoices,
                                                  const QString& unpaidOrder) {
    PaymentOutcome out;
    out.key = paymentKey;
    try {
        runRetrying(m_db, [&](db::Transaction& tx) {
            out.refusal = {};
            out.allocated = 0;
            // The payment row is locked too: two workstations spreading the same overpayment at
            // once would otherwise both spend it.
            const PaymentRef ref = ReadPaymentRef(tx, paymentKey, true);
            const db::ResultSet rs = tx.select(
                QStringLiteral("SELECT ISKLIENTS, SUMMA, PARPALIKUMS FROM O_APMAKS_HD WHERE ISN=:ISN"),
                {{QStringLiteral("ISN"), paymentKey}});
            const double before = rs.rowCount() ? RoundAmount(rs.value(0, QStringLiteral("PARPALIKUMS")).toDouble()) : 0;
            out.overpayment = before;
            if (ref.key == 0 || before < AmountEpsilon) {
                out.refusal = app::CardCheck::fail(tr("Nav ko sadalīt !!!"), QString());
                return;
            }
            const int patient = rs.value(0, QStringLiteral("ISKLIENTS")).toInt();
            double allocated = 0;
            if (invoices.isEmpty()) {
                allocated = AllocateAutomatically(tx, patient, ref, before, unpaidOrder);
            } else {
                double remaining = before;
                for (const int invoice : invoices) {
                    if (remaining < AmountEpsilon) break;
                    remaining -= AllocateToInvoice(tx, ref, invoice, remaining, patient);
                }
                allocated = RoundAmount(before - remaining);
            }
            const double rest = RoundAmount(before - allocated);
            tx.exec(QStringLiteral("UPDATE O_APMAKS_HD SET SUMMA=:SUMMA, PARPALIKUMS=:PARPALIKUMS WHERE ISN=:ISN"),
                    {{QStringLiteral("SUMMA"), RoundAmount(rs.value(0, QStringLiteral("SUMMA")).toDouble() + allocated)},
                     {QStringLiteral("PARPALIKUMS"), rest},
                     {QStringLiteral("ISN"), paymentKey}});
            tx.touch(QLatin1String(HeaderTable), paymentKey);
            app::WriteJournal(tx, m_userIsn, QStringLiteral("PARP"), ref.number, QLatin1String(HeaderTable), paymentKey,
                              QStringLiteral("SakumaPārpal=") + amountText(before) + QStringLiteral(" BeiguPārpalik=") +
                                  amountText(rest),
                              dayValue(ref.date).toDateTime());
            out.allocated = allocated;
            out.overpayment = rest;
        });
    } catch (const db::DbError& e) {
        out = {};
        out.key = paymentKey;
        out.refusal =
            app::CardCheck::fail(tr("Apmaksu pārpalikumu saglabāt neizdevās !!! \n") + e.message(), QString());
        out.details = e.message();
    }
    return out;
}

app::DeleteOutcome TApmaksasDati::deletePayments(const QList<int>& keys) {
    app::DeleteOutcome out;
    if (keys.isEmpty()) {
        out.message = tr("Nav datu, ko dzēst !!!");
        return out;
    }
    try {
        runRetrying(m_db, [&](db::Transaction& tx) {
            for (const int key : keys) {
                const PaymentRef ref = ReadPaymentRef(tx, key, true);
                if (ref.key == 0) continue;  // already deleted elsewhere
                ReverseAllocations(tx, key);
                tx.exec(QStringLiteral("DELETE FROM O_APMAKS_HD WHERE ISN=:ISN"), {{QStringLiteral("ISN"), key}});
                tx.touch(QLatin1String(HeaderTable), key);
                app::WriteJournal(tx, m_userIsn, QStringLiteral("D"), ref.number, QLatin1String(HeaderTable), key,
                                  QString(), dayValue(ref.date).toDateTime());
            }
        });
        out.deleted = true;
    } catch (const db::DbError& e) {
        out.message = tr("Ierakstu iždzēst neizdevās !!! \n ") + e.message();
        out.details = e.message();
    }
    return out;
}

}  // namespace billing
