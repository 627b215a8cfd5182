#include "billing/PaymentList.h"

#include "app/Settings.h"
#include "billing/PaymentAllocation.h"

namespace billing {

namespace {

const QString DateFormat = QStringLiteral("dd.MM.yyyy");
// NUMURS is VARCHAR(20): a longer text matches nothing (and would not fit the parameter).
constexpr int NumberWidth = 20;

QString section() { return QString::fromLatin1(PaymentFilter::SettingsSection); }

QDate storedDate(const QString& name, const QDate& fallback) {
    const QDate d = QDate::fromString(app::Settings::string(section(), name).trimmed(), DateFormat);
    return d.isValid() ? d : fallback;
}

QString plainOrNothing(const QString& order) {
    return order.trimmed().isEmpty() || !IsPlainOrder(order) ? QString() : order.trimmed();
}

}  // namespace

PaymentFilter PaymentFilter::Read() {
    PaymentFilter f;
    f.from = storedDate(QStringLiteral("F0Datums"), f.from);
    f.to = storedDate(QStringLiteral("F1Datums"), f.to);
    f.number = app::Settings::string(section(), QStringLiteral("F0NrPavadz"));
    const int over = app::Settings::integer(section(), QStringLiteral("Parpalik"), AllPayments);
    f.overpayment = over == WithOverpaymentOnly ? WithOverpaymentOnly : AllPayments;
    f.allDates = app::Settings::integer(section(), QStringLiteral("VisiDatumi"), 0) != 0;
    return f;
}

void PaymentFilter::write() const {
    app::Settings::setString(section(), QStringLiteral("F0Datums"), from.toString(DateFormat));
    app::Settings::setString(section(), QStringLiteral("F1Datums"), to.toString(DateFormat));
    app::Settings::setString(section(), QStringLiteral("F0NrPavadz"), number);
    app::Settings::setInteger(section(), QStringLiteral("Parpalik"), overpayment);
    app::Settings::setInteger(section(), QStringLiteral("VisiDatumi"), allDates ? 1 : 0);
}

PaymentOrders PaymentOrders::Read() {
    const QString s = QString::fromLatin1(SettingsSection);
    return {plainOrNothing(app::Settings::string(s, QStringLiteral("Kartiba"))),
            plainOrNothing(app::Settings::string(s, QStringLiteral("KartibaParadi")))};
}

void PaymentOrders::write() const {
    const QString s = QString::fromLatin1(SettingsSection);
    app::Settings::setString(s, QStringLiteral("Kartiba"), payments);
    app::Settings::setString(s, QStringLiteral("KartibaParadi"), unpaid);
}

PaymentListQuery MakePaymentListQuery(const PaymentFilter& filter, const QString& order) {
    PaymentListQuery q;
    q.sql = QStringLiteral(
        "SELECT O_APMAKS_HD.ISN, O_APMAKS_HD.DATUMS, N_KLIENTS.VARDS, N_KLIENTS.UZVARDS, O_APMAKS_HD.NUMURS, "
        "O_APMAKS_HD.SUMMA, O_APMAKS_HD.PARPALIKUMS, O_APMAKS_HD.SUMMA+O_APMAKS_HD.PARPALIKUMS AS KOPA, "
        "O_APMAKS_HD.ISKLIENTS, O_APMAKS_HD.APMAKSVEIDS FROM O_APMAKS_HD, N_KLIENTS "
        "WHERE O_APMAKS_HD.ISKLIENTS = N_KLIENTS.ISN");
    if (!filter.allDates) {
        // DATUMS may carry a time of day: the period runs up to the start of the day after it.
        q.sql += QStringLiteral(" AND O_APMAKS_HD.DATUMS >= :DATUMS_NO AND O_APMAKS_HD.DATUMS < :DATUMS_LIDZ");
        q.params.insert(QStringLiteral("DATUMS_NO"), QDateTime(filter.from, QTime(0, 0)));
        q.params.insert(QStringLiteral("DATUMS_LIDZ"), QDateTime(filter.to.addDays(1), QTime(0, 0)));
    }
    const QString number = filter.number.trimmed();
    if (!number.isEmpty()) {
        if (number.size() > NumberWidth) {
            q.sql += QStringLiteral(" AND 1 = 0");
        } else {
            q.sql += QStringLiteral(" AND O_APMAKS_HD.NUMURS = :NUMURS");
            q.params.insert(QStringLiteral("NUMURS"), number);
        }
    }
    if (filter.overpayment == PaymentFilter::WithOverpaymentOnly)
        q.sql += QStringLiteral(" AND O_APMAKS_HD.PARPALIKUMS>=0.01");
    if (filter.method >= 0) {
        q.sql += QStringLiteral(" AND O_APMAKS_HD.APMAKSVEIDS = :APMAKSVEIDS");
        q.params.insert(QStringLiteral("APMAKSVEIDS"), filter.method);
    }
    if (filter.patient > 0) {
        q.sql += QStringLiteral(" AND O_APMAKS_HD.ISKLIENTS = :ISKLIENTS");
        q.params.insert(QStringLiteral("ISKLIENTS"), filter.patient);
    }
    const QString checked = plainOrNothing(order);
    q.sql += QStringLiteral(" ORDER BY ") +
             (checked.isEmpty() ? QStringLiteral("O_APMAKS_HD.DATUMS DESCENDING, O_APMAKS_HD.ISN DESCENDING") : checked);
    return q;
}

QString UnpaidInvoicesSql(const QString& order) {
    QString sql = QStringLiteral(
        "SELECT O_PAVOUT_HD.ISN, O_PAVOUT_HD.DATUMS, O_PAVOUT_HD.NUMURS, O_PAVOUT_HD.APMAKS_LIDZ, "
        "O_PAVOUT_HD.APMAKS_SUM, O_PAVOUT_HD.ISKLIENTS, O_PAVOUT_HD.KOPSUMMA, "
        "O_PAVOUT_HD.KOPSUMMA-COALESCE(O_PAVOUT_HD.APMAKS_SUM, 0) AS PARADSUM FROM O_PAVOUT_HD, N_KLIENTS "
        "WHERE O_PAVOUT_HD.ISKLIENTS=N_KLIENTS.ISN AND O_PAVOUT_HD.ISKLIENTS = :ISKLIENTS AND "
        "(O_PAVOUT_HD.KOPSUMMA-O_PAVOUT_HD.APMAKS_SUM>=0.005 OR O_PAVOUT_HD.APMAKS_SUM IS NULL)");
    const QString checked = plainOrNothing(order);
    // Invoices of one day are paid in the order they were made.
    sql += QStringLiteral(" ORDER BY ") +
           (checked.isEmpty() ? QStringLiteral("O_PAVOUT_HD.ISKLIENTS, O_PAVOUT_HD.DATUMS ASCENDING, O_PAVOUT_HD.ISN")
                              : checked);
    return sql;
}

}  // namespace billing
