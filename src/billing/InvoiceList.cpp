#include "billing/InvoiceList.h"

#include "app/Settings.h"

namespace billing {

namespace {

const QString DateFormat = QStringLiteral("dd.MM.yyyy");
// NUMURS is VARCHAR(20): a longer text matches nothing (and would not fit the parameter).
constexpr int NumberWidth = 20;

QDate storedDate(const QString& name, const QDate& fallback) {
    const QDate d = QDate::fromString(
        app::Settings::string(QString::fromLatin1(InvoiceFilter::SettingsSection), name).trimmed(), DateFormat);
    return d.isValid() ? d : fallback;
}

QString direction(bool descending) { return descending ? QStringLiteral(" DESCENDING ") : QStringLiteral(" ASCENDING "); }

// The column a field sorts by; the patient's name sorts by surname, then first name.
QString expression(const QString& field, bool descending) {
    const QString dir = direction(descending);
    if (field == QLatin1String("ShUzvardsVards"))
        return QStringLiteral("N_KLIENTS.UZVARDS") + dir + QStringLiteral(", N_KLIENTS.VARDS") + dir;
    static const QStringList own{QStringLiteral("DATUMS"),     QStringLiteral("NUMURS"),
                                 QStringLiteral("SERIJA"),     QStringLiteral("KOPSUMMA"),
                                 QStringLiteral("APMAKS_SUM"), QStringLiteral("APMAKS_LIDZ"),
                                 QStringLiteral("APMAKS_DAT")};
    if (own.contains(field)) return QStringLiteral("O_PAVOUT_HD.") + field + dir;
    return QStringLiteral("O_PAVOUT_HD.ISN") + dir;
}

}  // namespace

InvoiceFilter InvoiceFilter::Read() {
    const QString section = QString::fromLatin1(SettingsSection);
    InvoiceFilter f;
    f.from = storedDate(QStringLiteral("F0Datums"), f.from);
    f.to = storedDate(QStringLiteral("F1Datums"), f.to);
    f.number = app::Settings::string(section, QStringLiteral("F0NrPavadz"));
    const int state = app::Settings::integer(section, QStringLiteral("Apmaksats"), All);
    f.paymentState = state >= All && state <= PaidOnly ? state : All;
    return f;
}

void InvoiceFilter::write() const {
    const QString section = QString::fromLatin1(SettingsSection);
    app::Settings::setString(section, QStringLiteral("F0Datums"), from.toString(DateFormat));
    app::Settings::setString(section, QStringLiteral("F1Datums"), to.toString(DateFormat));
    app::Settings::setString(section, QStringLiteral("F0NrPavadz"), number);
    app::Settings::setInteger(section, QStringLiteral("Apmaksats"), paymentState);
}

const QStringList& InvoiceSort::GridFields() {
    static const QStringList fields{QStringLiteral("DATUMS"),     QStringLiteral("ShUzvardsVards"),
                                    QStringLiteral("NUMURS"),     QStringLiteral("SERIJA"),
                                    QStringLiteral("KOPSUMMA"),   QStringLiteral("APMAKS_SUM"),
                                    QStringLiteral("APMAKS_LIDZ"), QStringLiteral("APMAKS_DAT"),
                                    QStringLiteral("ISN")};
    return fields;
}

InvoiceSort InvoiceSort::clicked(const QString& field) const {
    InvoiceSort s;
    s.ordered = true;
    s.column = field;
    s.descending = field == column ? !descending : false;
    return s;
}

QString InvoiceSort::orderBy() const { return ordered ? expression(column, descending) : QString(); }

InvoiceSort InvoiceSort::FromOrderBy(const QString& text) {
    // Only a text this program writes is used: anything else would go into the statement as it
    // stands.
    const QString wanted = text.simplified();
    for (const QString& field : GridFields())
        for (const bool descending : {false, true})
            if (expression(field, descending).simplified() == wanted) {
                InvoiceSort s;
                s.column = field;
                s.descending = descending;
                s.ordered = true;
                return s;
            }
    return {};
}

InvoiceSort InvoiceSort::Read() {
    return FromOrderBy(app::Settings::string(QString::fromLatin1(SettingsSection), QString::fromLatin1(SettingsName)));
}

void InvoiceSort::write() const {
    app::Settings::setString(QString::fromLatin1(SettingsSection), QString::fromLatin1(SettingsName), orderBy());
}

InvoiceListQuery MakeInvoiceListQuery(const InvoiceFilter& filter, const InvoiceSort& sort, bool withOrder) {
    // Only what the list shows and colours: the invoice being edited is read on its own (with its
    // comment, a blob read one by one, and its audit stamps), and every timestamp costs on a
    // month of a few thousand rows.
    InvoiceListQuery q;
    q.sql = QStringLiteral(
        "SELECT O_PAVOUT_HD.ISN, O_PAVOUT_HD.ISKLIENTS, O_PAVOUT_HD.DATUMS, O_PAVOUT_HD.SERIJA, O_PAVOUT_HD.NUMURS, "
        "O_PAVOUT_HD.APMAKS_LIDZ, O_PAVOUT_HD.APMAKS_SUM, O_PAVOUT_HD.APMAKS_DAT, O_PAVOUT_HD.KOPSUMMA, "
        "N_KLIENTS.UZVARDS, N_KLIENTS.VARDS FROM O_PAVOUT_HD, N_KLIENTS "
        "WHERE O_PAVOUT_HD.ISKLIENTS = N_KLIENTS.ISN"
        // DATUMS may carry a time of day: the period runs up to the start of the day after it.
        " AND O_PAVOUT_HD.DATUMS >= :DATUMS_NO AND O_PAVOUT_HD.DATUMS < :DATUMS_LIDZ");
    q.params.insert(QStringLiteral("DATUMS_NO"), QDateTime(filter.from, QTime(0, 0)));
    q.params.insert(QStringLiteral("DATUMS_LIDZ"), QDateTime(filter.to.addDays(1), QTime(0, 0)));
    const QString number = filter.number.trimmed();
    if (!number.isEmpty()) {
        if (number.size() > NumberWidth) {
            q.sql += QStringLiteral(" AND 1 = 0");
        } else {
            q.sql += QStringLiteral(" AND O_PAVOUT_HD.NUMURS = :NUMURS");
            q.params.insert(QStringLiteral("NUMURS"), number);
        }
    }
    if (filter.paymentState == InvoiceFilter::UnpaidOnly)
        q.sql += QStringLiteral(" AND (O_PAVOUT_HD.KOPSUMMA-O_PAVOUT_HD.APMAKS_SUM)>=0.005");
    else if (filter.paymentState == InvoiceFilter::PaidOnly)
        q.sql += QStringLiteral(" AND (O_PAVOUT_HD.KOPSUMMA-O_PAVOUT_HD.APMAKS_SUM)<0.005");
    if (filter.patient > 0) {
        q.sql += QStringLiteral(" AND O_PAVOUT_HD.ISKLIENTS = :ISKLIENTS");
        q.params.insert(QStringLiteral("ISKLIENTS"), filter.patient);
    }
    const QString order = sort.orderBy();
    if (withOrder && !order.isEmpty()) q.sql += QStringLiteral(" ORDER BY ") + order;
    return q;
}

}  // namespace billing
