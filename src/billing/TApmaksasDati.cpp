#include "billing/TApmaksasDati.h"

#include "app/SharedProcedures.h"
#include "billing/PaymentAllocation.h"
#include "db/DbError.h"
#include "db/RowStamp.h"
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
                InvoiceAllocator allocator(tx);
                for (const int invoice : invoices) {
                    if (remaining < AmountEpsilon) break;
                    remaining -= allocator.allocate(ref, invoice, remaining, payment.patient);
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
                InvoiceAllocator allocator(tx);
                for (const int invoice : invoices) {
                    if (remaining < AmountEpsilon) break;
                    remaining -= allocator.allocate(ref, invoice, remaining, patient);
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

PaymentOutcome TApmaksasDati::saveEdited(const PaymentEdit& edit) {
    PaymentOutcome out;
    out.key = edit.key;
    NewPayment typed;
    typed.patient = edit.patient;
    typed.date = edit.date;
    typed.number = edit.number;
    typed.amount = 1;  // the amounts are not edited
    out.refusal = check(typed);
    if (!out.ok()) return out;
    const QString number = edit.number.trimmed();
    try {
        runRetrying(m_db, [&](db::Transaction& tx) {
            const db::ResultSet now = tx.select(
                QStringLiteral("SELECT ISKLIENTS, SUMMA, PARPALIKUMS, (SELECT COUNT(*) FROM O_APMAKS_DT D "
                               "WHERE D.ISAPMAKSHD = O_APMAKS_HD.ISN) N FROM O_APMAKS_HD WHERE ISN=:ISN WITH LOCK"),
                {{QStringLiteral("ISN"), edit.key}});
            if (now.rowCount() == 0) throw db::StaleRowError();
            // The invoices it pays belong to its patient: it keeps him while it pays any.
            int patient = edit.patient;
            if (now.value(0, QStringLiteral("N")).toInt() > 0) patient = now.value(0, QStringLiteral("ISKLIENTS")).toInt();
            // What was read must still be there: another workstation's change is not overwritten.
            if (tx.exec(QStringLiteral("UPDATE O_APMAKS_HD SET DATUMS=:DATUMS, NUMURS=:NUMURS, APMAKSVEIDS=:APMAKSVEIDS, "
                                       "ISKLIENTS=:ISKLIENTS WHERE ISN=:ISN AND DATUMS=:OLDDATUMS AND "
                                       "NUMURS IS NOT DISTINCT FROM :OLDNUMURS AND "
                                       "COALESCE(APMAKSVEIDS, 0)=:OLDVEIDS AND ISKLIENTS=:OLDKLIENTS"),
                        {{QStringLiteral("DATUMS"), dayValue(edit.date)},
                         {QStringLiteral("NUMURS"), number},
                         {QStringLiteral("APMAKSVEIDS"), edit.method},
                         {QStringLiteral("ISKLIENTS"), patient},
                         {QStringLiteral("ISN"), edit.key},
                         {QStringLiteral("OLDDATUMS"), dayValue(edit.oldDate)},
                         {QStringLiteral("OLDNUMURS"), edit.oldNumber},
                         {QStringLiteral("OLDVEIDS"), edit.oldMethod},
                         {QStringLiteral("OLDKLIENTS"), edit.oldPatient}}) == 0)
                throw db::StaleRowError();
            tx.touch(QLatin1String(HeaderTable), edit.key);
            // An invoice whose last payment is this one shows its new date, number and method; one
            // paid later by another payment keeps that one's.
            const db::ResultSet rows = tx.select(
                QStringLiteral("SELECT DISTINCT ISPAVOUTHD FROM O_APMAKS_DT WHERE ISAPMAKSHD=:ISN"),
                {{QStringLiteral("ISN"), edit.key}});
            for (int r = 0; r < rows.rowCount(); ++r) {
                const int invoice = rows.value(r, 0).toInt();
                if (tx.exec(QStringLiteral("UPDATE O_PAVOUT_HD SET APMAKS_DAT=:P_DATUMS, APMAKS_NR=:P_APMAKS_DOK, "
                                           "APMAKSVEIDS=:P_APMAKS_VEID WHERE ISN=:P_ISN AND APMAKS_DAT=:OLDDATUMS AND "
                                           "APMAKS_NR=:OLDNUMURS AND APMAKSVEIDS=:OLDVEIDS"),
                            {{QStringLiteral("P_DATUMS"), dayValue(edit.date)},
                             {QStringLiteral("P_APMAKS_DOK"), number},
                             {QStringLiteral("P_APMAKS_VEID"), edit.method},
                             {QStringLiteral("P_ISN"), invoice},
                             {QStringLiteral("OLDDATUMS"), dayValue(edit.oldDate)},
                             {QStringLiteral("OLDNUMURS"), edit.oldNumber},
                             {QStringLiteral("OLDVEIDS"), edit.oldMethod}}) > 0)
                    tx.touch(QStringLiteral("O_PAVOUT_HD"), invoice);
            }
            app::WriteJournal(tx, m_userIsn, QStringLiteral("L"), number, QLatin1String(HeaderTable), edit.key, QString(),
                              dayValue(edit.date).toDateTime());
            out.allocated = now.value(0, QStringLiteral("SUMMA")).toDouble();
            out.overpayment = now.value(0, QStringLiteral("PARPALIKUMS")).toDouble();
        });
    } catch (const db::StaleRowError&) {
        out.refusal = app::CardCheck::fail(db::StaleRowError::Message(), QString());
    } catch (const db::DbError& e) {
        out.refusal = app::CardCheck::fail(tr("Apmaksu saglabāt neizdevās !!! ") + e.message(), QString());
        out.details = e.message();
    }
    return out;
}

QString TApmaksasDati::PayInvoiceFailure(const QString& why) { return tr("Apmaksu izdarīt neizdevās !!! ") + why; }

PaymentOutcome TApmaksasDati::payInvoice(int invoiceKey, double amount, const QString& document, const QDate& date,
                                         int method) {
    PaymentOutcome out;
    const double received = RoundAmount(amount);
    // A payment takes money in: nothing, or a refund, would leave a negative overpayment.
    if (received < 0.01) {
        out.refusal = app::CardCheck::fail(PayInvoiceFailure(tr("summai jābūt lielākai par 0")), QStringLiteral("SUMMA"));
        return out;
    }
    if (!date.isValid() || date < QDate(1900, 1, 1)) {
        out.refusal = app::CardCheck::fail(PayInvoiceFailure(tr("Datums nevar būt mazāks par 01.01.1900 !!!")),
                                           QStringLiteral("DATUMS"));
        return out;
    }
    try {
        runRetrying(m_db, [&](db::Transaction& tx) {
            const db::ResultSet inv = tx.select(QStringLiteral("SELECT ISKLIENTS FROM O_PAVOUT_HD WHERE ISN=:ISN"),
                                                {{QStringLiteral("ISN"), invoiceKey}});
            if (inv.rowCount() == 0) throw db::StaleRowError();
            const int patient = inv.value(0, 0).toInt();
            PaymentRef ref;
            // Both the payment and the invoice keep 20 characters of the document (the dialog takes
            // no more).
            ref.number = document.trimmed().left(20);
            ref.method = method;
            ref.date = date;
            ref.key = tx.scalar(QStringLiteral("INSERT INTO O_APMAKS_HD (ISKLIENTS, SUMMA, NUMURS, DATUMS, PARPALIKUMS, "
                                               "APMAKSVEIDS, ISUSER_NEW, IEVDAT_NEW) VALUES (:ISKLIENTS, 0, :NUMURS, "
                                               ":DATUMS, :PARPALIKUMS, :APMAKSVEIDS, :ISUSER_NEW, :IEVDAT_NEW) RETURNING ISN"),
                                {{QStringLiteral("ISKLIENTS"), patient},
                                 {QStringLiteral("NUMURS"), ref.number},
                                 {QStringLiteral("DATUMS"), dayValue(date)},
                                 {QStringLiteral("PARPALIKUMS"), received},
                                 {QStringLiteral("APMAKSVEIDS"), method},
                                 {QStringLiteral("ISUSER_NEW"), m_userIsn > 0 ? QVariant(m_userIsn) : QVariant()},
                                 {QStringLiteral("IEVDAT_NEW"), QDateTime::currentDateTime()}})
                          .toInt();
            tx.touch(QLatin1String(HeaderTable), ref.key);
            app::WriteJournal(tx, m_userIsn, QStringLiteral("J"), ref.number, QLatin1String(HeaderTable), ref.key, QString(),
                              dayValue(date).toDateTime());
            // The debt is read under the invoice's lock: a payment made meanwhile elsewhere is
            // taken into account, and the rest is kept on this payment.
            const double applied = AllocateToInvoice(tx, ref, invoiceKey, received, patient);
            double rest = RoundAmount(received - applied);
            if (rest < AmountEpsilon) rest = 0;
            tx.exec(QStringLiteral("UPDATE O_APMAKS_HD SET SUMMA=:SUMMA, PARPALIKUMS=:PARPALIKUMS WHERE ISN=:ISN"),
                    {{QStringLiteral("SUMMA"), applied},
                     {QStringLiteral("PARPALIKUMS"), rest},
                     {QStringLiteral("ISN"), ref.key}});
            out.key = ref.key;
            out.allocated = applied;
            out.overpayment = rest;
        });
    } catch (const db::StaleRowError&) {
        out = {};
        out.refusal = app::CardCheck::fail(PayInvoiceFailure(tr("rēķins ir dzēsts")), QString());
    } catch (const db::DbError& e) {
        out = {};
        out.refusal = app::CardCheck::fail(PayInvoiceFailure(e.message()), QString());
        out.details = e.message();
    }
    return out;
}

db::ResultSet TApmaksasDati::list(const PaymentFilter& filter, const QString& order) {
    const PaymentListQuery q = MakePaymentListQuery(filter, order);
    return m_db.select(q.sql, q.params);
}

std::unique_ptr<db::BatchFetch> TApmaksasDati::fetchList(const PaymentFilter& filter, const QString& order) {
    const PaymentListQuery q = MakePaymentListQuery(filter, order);
    return std::make_unique<db::BatchFetch>(m_db, q.sql, q.params);
}

std::optional<PaymentHeader> TApmaksasDati::load(int key) {
    const db::ResultSet rs = m_db.select(
        QStringLiteral("SELECT P.ISN, P.ISKLIENTS, P.DATUMS, P.NUMURS, P.SUMMA, P.PARPALIKUMS, P.APMAKSVEIDS, "
                       "K.UZVARDS, K.VARDS, (SELECT COUNT(*) FROM O_APMAKS_DT D WHERE D.ISAPMAKSHD = P.ISN) N "
                       "FROM O_APMAKS_HD P LEFT JOIN N_KLIENTS K ON K.ISN = P.ISKLIENTS WHERE P.ISN=:ISN"),
        {{QStringLiteral("ISN"), key}});
    if (rs.rowCount() == 0) return std::nullopt;
    auto v = [&](const char* c) { return rs.value(0, QLatin1String(c)); };
    PaymentHeader h;
    h.isn = key;
    h.patient = v("ISKLIENTS").toInt();
    if (v("UZVARDS").isValid()) h.patientName = v("UZVARDS").toString() + QLatin1Char(' ') + v("VARDS").toString();
    h.date = v("DATUMS").toDateTime().date();
    h.number = v("NUMURS").toString();
    h.allocated = v("SUMMA").toDouble();
    h.overpayment = v("PARPALIKUMS").toDouble();
    h.method = v("APMAKSVEIDS").toInt();
    h.allocationRows = v("N").toInt();
    return h;
}

QDate TApmaksasDati::paymentDate(int key) {
    return m_db.scalar(QStringLiteral("SELECT DATUMS FROM O_APMAKS_HD WHERE ISN=:ISN"), {{QStringLiteral("ISN"), key}})
        .toDateTime()
        .date();
}

db::ResultSet TApmaksasDati::allocations(int paymentKey) {
    return m_db.select(QStringLiteral("SELECT ISN, DATUMS, NUMURS, SUMMA, ISPAVOUTHD FROM O_APMAKS_DT "
                                      "WHERE ISAPMAKSHD=:ISN ORDER BY DATUMS, ISN"),
                       {{QStringLiteral("ISN"), paymentKey}});
}

db::ResultSet TApmaksasDati::unpaid(int patientKey, const QString& order) {
    return m_db.select(UnpaidInvoicesSql(order), {{QStringLiteral("ISKLIENTS"), patientKey}});
}

UnpaidTotals TApmaksasDati::Totals(const db::ResultSet& rows) {
    UnpaidTotals t;
    for (int r = 0; r < rows.rowCount(); ++r) {
        t.total += rows.value(r, QStringLiteral("KOPSUMMA")).toDouble();
        t.paid += rows.value(r, QStringLiteral("APMAKS_SUM")).toDouble();
    }
    return t;
}

double TApmaksasDati::SelectedDebt(const db::ResultSet& rows, const QList<int>& selected) {
    double sum = 0;
    for (const int r : selected)
        if (r >= 0 && r < rows.rowCount()) sum += rows.value(r, QStringLiteral("PARADSUM")).toDouble();
    return RoundAmount(sum);
}

QString TApmaksasDati::patientName(int key) {
    if (key <= 0) return QString();
    const db::ResultSet rs = m_db.select(QStringLiteral("SELECT UZVARDS, VARDS FROM N_KLIENTS WHERE ISN=:ISN"),
                                         {{QStringLiteral("ISN"), key}});
    if (rs.rowCount() == 0) return QString();
    return rs.value(0, 0).toString() + QLatin1Char(' ') + rs.value(0, 1).toString();
}

}  // namespace billing
