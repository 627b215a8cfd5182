#include "consultations/RequestStore.h"

#include "app/Settings.h"
#include "app/SharedProcedures.h"
#include "app/TimeText.h"
#include "calendar/PlannerStore.h"

namespace consultations {

namespace {

QString settingsSection() { return QString::fromLatin1(calendar::AppointmentStore::SettingsSection); }

}  // namespace

RequestStore::RequestStore(db::Database& database) : m_db(database) {}

db::ResultSet RequestStore::list(const RequestFilter& filter, const QString& sortField) {
    const ListQuery q = RequestListQuery(filter, sortField);
    return m_db.select(q.sql, q.params);
}

std::unique_ptr<db::BatchFetch> RequestStore::fetchList(const RequestFilter& filter, const QString& sortField) {
    const ListQuery q = RequestListQuery(filter, sortField);
    return std::make_unique<db::BatchFetch>(m_db, q.sql, q.params);
}

QString RequestStore::nextNumber() { return calendar::AppointmentStore(m_db).nextNumber(); }

calendar::Appointment RequestStore::create(const RequestDefaults& defaults, const QDate& today) {
    calendar::Appointment a;
    a.taker = defaults.taker > 0 ? defaults.taker : 1;
    a.specialist = defaults.specialist > 0 ? defaults.specialist : 1;
    a.type = defaults.type;
    a.patient = 1;
    a.callStatus = 1;
    a.requestDate = QDateTime(today, QTime(0, 0));
    a.plannedDate = QDateTime(today, QTime(0, 0));
    a.plannedTime = QStringLiteral("09:00");
    a.duration = QStringLiteral("01:00");
    a.number = nextNumber();
    return a;
}

std::optional<calendar::Appointment> RequestStore::load(int key) { return calendar::AppointmentStore(m_db).load(key); }

app::CardCheck RequestStore::validate(calendar::Appointment& a) {
    a.number = a.number.trimmed();
    if (a.number.isEmpty()) return app::CardCheck::fail(tr("Nav ievadīts numurs !!!"), QStringLiteral("NUMURS"));
    if (!app::IsDayOpen(m_db, a.requestDate.date()))
        return app::CardCheck::fail(tr("Datums ir bloķēts, labošanu izdarīt nedrīkst !!!"), QStringLiteral("DATUMS"));
    if (a.patient < 2) return app::CardCheck::fail(tr("Nav izvēlēts klients !!!"), QStringLiteral("ISKLIENTS"));
    if (a.room < 1) return app::CardCheck::fail(tr("Nav izvēlēts kabinets !!!"), QStringLiteral("ISKABINETS"));
    if (a.specialist < 2)
        return app::CardCheck::fail(tr("Nav izvēlēts korektsizpildītājs !!!"), QStringLiteral("ISIZPILDITAJS"));
    if (a.type < 1)
        return app::CardCheck::fail(tr("Nav izvēlēts konsultācijas veids !!!"), QStringLiteral("ISVEIDS"));
    if (a.duration.trimmed().isEmpty())
        return app::CardCheck::fail(tr("Nav ievadīts ilgums !!!"), QStringLiteral("PLAN_ILGUMS"));
    if (a.taker < 2)
        return app::CardCheck::fail(tr("Nav izvēlēts korekts pieteicējs !!!"), QStringLiteral("ISPIETEICEJS"));
    a.plannedTime = calendar::AppointmentStore::NormaliseTime(a.plannedTime);
    if (!app::IsValidTime(a.plannedTime))
        return app::CardCheck::fail(tr("Nekorekts laiks !!!"), QStringLiteral("PLAN_LAIKS"));
    // The times of the days the patient can come: the waiting list compares them with free slots,
    // so a mistyped one would silently open the whole day.
    if (a.waiting) {
        for (int d = 0; d < 7; ++d) {
            calendar::WeekdayTimes& day = a.days[size_t(d)];
            if (!day.on) continue;
            const QString name = QStringLiteral("DIENA%1").arg(d + 1);
            day.from = calendar::AppointmentStore::NormaliseTime(day.from);
            day.until = calendar::AppointmentStore::NormaliseTime(day.until);
            if (!day.from.isEmpty() && !app::IsValidTime(day.from))
                return app::CardCheck::fail(tr("Nekorekts laiks !!!"), name + QStringLiteral("_NO"));
            if (!day.until.isEmpty() && !app::IsValidTime(day.until))
                return app::CardCheck::fail(tr("Nekorekts laiks !!!"), name + QStringLiteral("_LIDZ"));
        }
    }
    if (a.number.size() > calendar::AppointmentStore::NumberWidth)
        return app::CardCheck::fail(tr("Numurs ir par garu !!!"), QStringLiteral("NUMURS"));
    // A changed request cannot take another's number (a new one takes the next free number when
    // it saves).
    if (a.isn > 0 && m_db.scalar(QStringLiteral("SELECT ISN FROM O_KONSULT_PIET_HD WHERE NUMURS=:numurs AND ISN<>:ISN"),
                                 {{QStringLiteral("numurs"), calendar::AppointmentStore::PadNumber(a.number)},
                                  {QStringLiteral("ISN"), a.isn}})
                         .isValid())
        return app::CardCheck::fail(tr("Pieteikuma numurs '") + a.number + tr("' datu bazē jau eksistē!!!"),
                                    QStringLiteral("NUMURS"));
    return {};
}

calendar::AppointmentSave RequestStore::save(const calendar::Appointment& a, int userIsn) {
    return calendar::AppointmentStore(m_db).save(a, userIsn);
}

void RequestStore::reject(const calendar::Appointment& a, int userIsn) {
    calendar::AppointmentStore(m_db).cancel(a, userIsn);
}

void RequestStore::undoReject(const calendar::Appointment& a, int userIsn) {
    calendar::AppointmentStore(m_db).restore(a, userIsn);
}

QVector<QPair<int, QString>> RequestStore::staffList() { return calendar::AppointmentStore(m_db).staff(); }
QVector<QPair<int, QString>> RequestStore::roomList() { return calendar::AppointmentStore(m_db).rooms(); }
QVector<QPair<int, QString>> RequestStore::typeList() { return calendar::AppointmentStore(m_db).types(); }

std::array<bool, 7> RequestStore::workingDays() { return calendar::PlannerStore(m_db).settings().workingDays; }

QString RequestStore::patientName(int key) { return calendar::AppointmentStore(m_db).patientName(key); }

RequestDefaults RequestStore::ReadDefaults() {
    const QString s = settingsSection();
    return {app::Settings::integer(s, QStringLiteral("Ispieteicejs"), 1),
            app::Settings::integer(s, QStringLiteral("Isizpilditajs"), 1),
            app::Settings::integer(s, QStringLiteral("Isveids"), 0)};
}

void RequestStore::RememberDefaults(const calendar::Appointment& a) { calendar::AppointmentStore::RememberDefaults(a); }

QStringList RequestStore::WeekdayCaptions() {
    return {tr("Pr"), tr("Ot"), tr("Tr"), tr("Ce"), tr("Pk"), tr("Se"), tr("Sv")};
}

}  // namespace consultations
