#include "consultations/RequestList.h"

#include "app/Settings.h"
#include "calendar/AppointmentStore.h"

#include <QDateTime>
#include <QHash>

namespace consultations {

namespace {

const QString DateFormat = QStringLiteral("dd.MM.yyyy");

QString section() { return QString::fromLatin1(RequestFilter::SettingsSection); }

QDate storedDate(const QString& name, const QDate& fallback) {
    const QDate d = QDate::fromString(app::Settings::string(section(), name).trimmed(), DateFormat);
    return d.isValid() ? d : fallback;
}

// The period of a timestamp column: from the first day's midnight up to the midnight after the
// last day, so that a request taken at any time of the last day is in it.
void addPeriod(ListQuery& q, const QString& column, const QString& name, const QDate& from, const QDate& to) {
    q.sql += QStringLiteral(" AND O_KONSULT_PIET_HD.") + column + QStringLiteral(" >= :") + name +
             QStringLiteral("_NO AND O_KONSULT_PIET_HD.") + column + QStringLiteral(" < :") + name +
             QStringLiteral("_LIDZ");
    q.params.insert(name + QStringLiteral("_NO"), QDateTime(from, QTime(0, 0)));
    q.params.insert(name + QStringLiteral("_LIDZ"), QDateTime(to.addDays(1), QTime(0, 0)));
}

void addKey(ListQuery& q, const QString& column, int key) {
    q.sql += QStringLiteral(" AND O_KONSULT_PIET_HD.") + column + QStringLiteral(" = :") + column;
    q.params.insert(column, key);
}

}  // namespace

RequestFilter RequestFilter::Read(const QDate& today) {
    const QString s = section();
    RequestFilter f;
    f.from = storedDate(QStringLiteral("DatumsNo"), today.addMonths(-1));
    f.to = storedDate(QStringLiteral("DatumsLidz"), today);
    f.plannedOn = app::Settings::integer(s, QStringLiteral("PlanDatFlag"), 0) == 1;
    f.plannedFrom = storedDate(QStringLiteral("PlanDatumsNo"), today.addMonths(-1));
    f.plannedTo = storedDate(QStringLiteral("PlanDatumsLidz"), today);
    f.patient = app::Settings::integer(s, QStringLiteral("Isklients"), 1);
    f.taker = app::Settings::integer(s, QStringLiteral("Ispieteicejs"), 1);
    f.specialist = app::Settings::integer(s, QStringLiteral("Isizpilditajs"), 1);
    f.type = app::Settings::integer(s, QStringLiteral("Isveids"), 0);
    f.number = app::Settings::string(s, QStringLiteral("Numurs")).trimmed();
    f.showRejected = app::Settings::integer(s, QStringLiteral("RaditNoraiditos"), 0) == 1;
    const int waiting = app::Settings::integer(s, QStringLiteral("PirmsDatuma"), AnyWaiting);
    f.waiting = waiting >= AnyWaiting && waiting <= NotWaiting ? waiting : AnyWaiting;
    return f;
}

void RequestFilter::write() const {
    const QString s = section();
    app::Settings::setString(s, QStringLiteral("DatumsNo"), from.toString(DateFormat));
    app::Settings::setString(s, QStringLiteral("DatumsLidz"), to.toString(DateFormat));
    app::Settings::setInteger(s, QStringLiteral("PlanDatFlag"), plannedOn ? 1 : 0);
    app::Settings::setString(s, QStringLiteral("PlanDatumsNo"), plannedFrom.toString(DateFormat));
    app::Settings::setString(s, QStringLiteral("PlanDatumsLidz"), plannedTo.toString(DateFormat));
    app::Settings::setInteger(s, QStringLiteral("Isklients"), patient);
    app::Settings::setInteger(s, QStringLiteral("Ispieteicejs"), taker);
    app::Settings::setInteger(s, QStringLiteral("Isizpilditajs"), specialist);
    app::Settings::setInteger(s, QStringLiteral("Isveids"), type);
    app::Settings::setString(s, QStringLiteral("Numurs"), number);
    app::Settings::setInteger(s, QStringLiteral("RaditNoraiditos"), showRejected ? 1 : 0);
    app::Settings::setInteger(s, QStringLiteral("PirmsDatuma"), waiting);
}

const QStringList& RequestGridFields() {
    static const QStringList fields{QStringLiteral("NUMURS"),      QStringLiteral("DATUMS"),
                                    QStringLiteral("KABINETS"),    QStringLiteral("ShKlientFIO"),
                                    QStringLiteral("PLAN_DAT"),    QStringLiteral("PLAN_LAIKS"),
                                    QStringLiteral("PLAN_ILGUMS"), QStringLiteral("ShIzpildFIO"),
                                    QStringLiteral("IzpilditsDat"), QStringLiteral("ShDzests")};
    return fields;
}

QString RequestOrderBy(const QString& field) {
    static const QHash<QString, QString> orders{
        {QStringLiteral("NUMURS"),
         QStringLiteral("O_KONSULT_PIET_HD.NUMURS, O_KONSULT_PIET_HD.DATUMS DESC, O_KONSULT_PIET_HD.ISN")},
        {QStringLiteral("DATUMS"), QStringLiteral("O_KONSULT_PIET_HD.DATUMS DESC, O_KONSULT_PIET_HD.ISN")},
        {QStringLiteral("ShKlientFIO"), QStringLiteral("N_KLIENTS.UZVARDS, N_KLIENTS.VARDS")},
        {QStringLiteral("PLAN_DAT"), QStringLiteral("O_KONSULT_PIET_HD.PLAN_DAT, O_KONSULT_PIET_HD.ISN")},
        {QStringLiteral("PLAN_LAIKS"), QStringLiteral("O_KONSULT_PIET_HD.PLAN_LAIKS, O_KONSULT_PIET_HD.ISN")},
        {QStringLiteral("PLAN_ILGUMS"), QStringLiteral("O_KONSULT_PIET_HD.PLAN_ILGUMS, O_KONSULT_PIET_HD.ISN")},
        {QStringLiteral("ShIzpildFIO"), QStringLiteral("N_IZPILD.UZVARDS, N_IZPILD.UZVARDS")},
        {QStringLiteral("IzpilditsDat"), QStringLiteral("O_KONSULT_PIET_HD.DATUMS DESC,O_KONSULT_PIET_HD.ISN")},
    };
    return orders.value(field);
}

QString DefaultRequestOrder() { return QStringLiteral("O_KONSULT_PIET_HD.DATUMS DESCENDING "); }

ListQuery RequestListQuery(const RequestFilter& filter, const QString& sortField) {
    // Outer joins: a request whose patient, staff or room is not set is still listed. The date of
    // the (first) consultation made from the request comes with each row: made from it (by key),
    // or numbered after it ("57", or "57-" and a number), for the same patient.
    ListQuery q;
    q.sql = QStringLiteral(
        "SELECT O_KONSULT_PIET_HD.ISN, O_KONSULT_PIET_HD.NUMURS, O_KONSULT_PIET_HD.DATUMS, "
        "O_KONSULT_PIET_HD.ISKLIENTS, O_KONSULT_PIET_HD.ISPIETEICEJS, O_KONSULT_PIET_HD.ISIZPILDITAJS, "
        "O_KONSULT_PIET_HD.ISKABINETS, O_KONSULT_PIET_HD.ISVEIDS, O_KONSULT_PIET_HD.PLAN_DAT, "
        "O_KONSULT_PIET_HD.PLAN_LAIKS, O_KONSULT_PIET_HD.PLAN_ILGUMS, O_KONSULT_PIET_HD.PIRMS_DATUMA, "
        "O_KONSULT_PIET_HD.CALL_STATUS, O_KONSULT_PIET_HD.DZESTS, "
        "N_KLIENTS.VARDS KLIENT_VARDS, N_KLIENTS.UZVARDS KLIENT_UZVARDS, "
        "N_PIETEICEJS.VARDS PIETEIC_VARDS, N_PIETEICEJS.UZVARDS PIETEIC_UZVARDS, "
        "N_IZPILD.VARDS IZPILD_VARDS, N_IZPILD.UZVARDS IZPILD_UZVARDS, N_KABINETI.GNOS KABINETS, "
        // "+ 0": an ordered index walk over all consultations for each row would cost seconds a
        // month; the patient's few rows are found through the key indexes instead.
        "(SELECT MIN(K.DATUMS + 0) FROM O_KONSULTACIJA_HD K WHERE K.ISKLIENTS = O_KONSULT_PIET_HD.ISKLIENTS "
        "AND (K.ISKONSULTPIET = O_KONSULT_PIET_HD.ISN OR K.NUMURS = TRIM(O_KONSULT_PIET_HD.NUMURS) "
        "OR K.NUMURS STARTING WITH TRIM(O_KONSULT_PIET_HD.NUMURS) || '-')) IZPILDITS_DAT "
        "FROM O_KONSULT_PIET_HD "
        "LEFT JOIN N_KLIENTS ON O_KONSULT_PIET_HD.ISKLIENTS = N_KLIENTS.ISN "
        "LEFT JOIN N_AGENTS N_PIETEICEJS ON O_KONSULT_PIET_HD.ISPIETEICEJS = N_PIETEICEJS.ISN "
        "LEFT JOIN N_AGENTS N_IZPILD ON O_KONSULT_PIET_HD.ISIZPILDITAJS = N_IZPILD.ISN "
        "LEFT JOIN N_KABINETI ON O_KONSULT_PIET_HD.ISKABINETS = N_KABINETI.ISN "
        "WHERE 1 = 1");
    addPeriod(q, QStringLiteral("DATUMS"), QStringLiteral("DATUMS"), filter.from, filter.to);
    if (filter.plannedOn)
        addPeriod(q, QStringLiteral("PLAN_DAT"), QStringLiteral("PLAN_DAT"), filter.plannedFrom, filter.plannedTo);
    if (filter.patient > 1) addKey(q, QStringLiteral("ISKLIENTS"), filter.patient);
    if (filter.taker > 1) addKey(q, QStringLiteral("ISPIETEICEJS"), filter.taker);
    if (filter.specialist > 1) addKey(q, QStringLiteral("ISIZPILDITAJS"), filter.specialist);
    if (filter.type > 0) addKey(q, QStringLiteral("ISVEIDS"), filter.type);
    const QString number = filter.number.trimmed();
    if (!number.isEmpty()) {
        if (number.size() > calendar::AppointmentStore::NumberWidth) {
            // No stored number is that long (and it would not fit the parameter).
            q.sql += QStringLiteral(" AND 1 = 0");
        } else {
            // Stored right-aligned; older rows may hold it as typed.
            q.sql += QStringLiteral(" AND (O_KONSULT_PIET_HD.NUMURS = :NUMURS OR O_KONSULT_PIET_HD.NUMURS = :NUMURS_TEKSTS)");
            q.params.insert(QStringLiteral("NUMURS"), calendar::AppointmentStore::PadNumber(number));
            q.params.insert(QStringLiteral("NUMURS_TEKSTS"), number);
        }
    }
    if (!filter.showRejected)
        q.sql += QStringLiteral(" AND (O_KONSULT_PIET_HD.DZESTS IS NULL OR O_KONSULT_PIET_HD.DZESTS=0)");
    if (filter.waiting == RequestFilter::OnlyWaiting)
        q.sql += QStringLiteral(" AND O_KONSULT_PIET_HD.PIRMS_DATUMA=1");
    else if (filter.waiting == RequestFilter::NotWaiting)
        q.sql += QStringLiteral(" AND (O_KONSULT_PIET_HD.PIRMS_DATUMA=0 OR O_KONSULT_PIET_HD.PIRMS_DATUMA IS NULL)");
    const QString orderBy = RequestOrderBy(sortField);
    q.sql += QStringLiteral(" ORDER BY ") + (orderBy.isEmpty() ? DefaultRequestOrder() : orderBy);
    return q;
}

}  // namespace consultations
