#include "consultations/TKonsultacijasDati.h"

#include "app/ConsultationNumbers.h"
#include "app/Settings.h"
#include "app/SharedProcedures.h"
#include "calendar/AppointmentStore.h"
#include "consultations/ConsultationTimes.h"
#include "db/RowStamp.h"

namespace consultations {

namespace {

QString table() { return QString::fromLatin1(TKonsultacijasDati::Table); }

QVariant keyOrNull(int key) { return key > 0 ? QVariant(key) : QVariant(); }
QVariant textOrNull(const QString& s) { return s.isEmpty() ? QVariant() : QVariant(s); }

QString nameOf(const QVariant& surname, const QVariant& name) {
    return surname.toString() + QLatin1Char(' ') + name.toString();
}

QString column(const HealthQuestion& q) { return QString::fromLatin1(q.column); }
QString commentColumn(const HealthQuestion& q) { return QString::fromLatin1(q.column) + QStringLiteral("_CMT"); }

// The columns the register writes, bound by their names (all but the audit columns).
db::Params editedColumns(const Consultation& c, const QDateTime& now) {
    db::Params p{{QStringLiteral("NUMURS"), c.number.trimmed()},
                 {QStringLiteral("DATUMS"), QDateTime(c.date, now.time())},
                 {QStringLiteral("ISKLIENTS"), c.patient},
                 {QStringLiteral("ISKONSULTPIET"), keyOrNull(c.request)},
                 {QStringLiteral("ISIZPILDITAJS"), c.specialist},
                 {QStringLiteral("ISASISTENTS"), keyOrNull(c.assistant)},
                 {QStringLiteral("ISKABINETS"), keyOrNull(c.room)},
                 {QStringLiteral("ISVEIDS"), keyOrNull(c.type)},
                 {QStringLiteral("TIME_START"), c.timeStart},
                 {QStringLiteral("TIME_END"), c.timeEnd},
                 {QStringLiteral("PIEZIMES"), textOrNull(c.notes)},
                 {QStringLiteral("DIAGNOZE"), textOrNull(c.diagnosis)},
                 {QStringLiteral("ZOBU_KARTE"), textOrNull(c.chart)}};
    const QVector<HealthQuestion>& questions = HealthQuestions();
    for (int i = 0; i < questions.size(); ++i) {
        const HealthAnswer answer = c.health.value(i);
        p.insert(column(questions.at(i)), answer.yes ? 1 : 0);
        p.insert(commentColumn(questions.at(i)), textOrNull(answer.comment.left(HealthCommentWidth)));
    }
    for (const QString& s : StatusColumns()) p.insert(s, c.status.value(s));
    return p;
}

QStringList editedColumnNames() {
    QStringList names{QStringLiteral("NUMURS"),     QStringLiteral("DATUMS"),        QStringLiteral("ISKLIENTS"),
                      QStringLiteral("ISKONSULTPIET"), QStringLiteral("ISIZPILDITAJS"), QStringLiteral("ISASISTENTS"),
                      QStringLiteral("ISKABINETS"), QStringLiteral("ISVEIDS"),       QStringLiteral("TIME_START"),
                      QStringLiteral("TIME_END"),   QStringLiteral("PIEZIMES"),      QStringLiteral("DIAGNOZE"),
                      QStringLiteral("ZOBU_KARTE")};
    for (const HealthQuestion& q : HealthQuestions()) names << column(q) << commentColumn(q);
    names << StatusColumns();
    return names;
}

bool isNumberClash(const db::DbError& e) { return e.isUniqueViolation() || e.isLockConflict(); }

}  // namespace

TKonsultacijasDati::TKonsultacijasDati(db::Database& database) : m_db(database) {}

QVector<QPair<int, QString>> TKonsultacijasDati::staff() { return calendar::AppointmentStore(m_db).staff(); }
QVector<QPair<int, QString>> TKonsultacijasDati::rooms() { return calendar::AppointmentStore(m_db).rooms(); }
QVector<QPair<int, QString>> TKonsultacijasDati::types() { return calendar::AppointmentStore(m_db).types(); }

db::ResultSet TKonsultacijasDati::list(const ConsultationFilter& filter, const ConsultationSort& sort) {
    const ListQuery q = ConsultationListQuery(filter, sort);
    return m_db.select(q.sql, q.params);
}

QString TKonsultacijasDati::nextNumber() { return app::NextConsultationNumber(m_db); }

Consultation TKonsultacijasDati::create(const ConsultationDefaults& defaults, const QDateTime& now) {
    Consultation c;
    c.type = defaults.type;
    c.specialist = defaults.specialist > 0 ? defaults.specialist : 1;
    c.date = now.date();
    // An hour from now, but within the day: after 23:00 the hour would wrap past midnight to an end
    // before the start, and the new consultation could not be saved as offered.
    const QTime lastMinute(23, 59);
    QTime start(now.time().hour(), now.time().minute());
    if (start >= lastMinute) start = lastMinute.addSecs(-60);
    const QTime end = start < QTime(23, 0) ? start.addSecs(3600) : lastMinute;
    c.timeStart = start.toString(QStringLiteral("HH:mm"));
    c.timeEnd = end.toString(QStringLiteral("HH:mm"));
    c.patient = 1;
    c.number = nextNumber();
    return c;
}

VisitStart TKonsultacijasDati::createFromRequest(int requestKey, const QDateTime& now) {
    VisitStart start;
    calendar::AppointmentStore requests(m_db);
    const std::optional<calendar::Appointment> request = requestKey > 0 ? requests.load(requestKey) : std::nullopt;
    if (!request) {
        start.message = tr("Nav ko veidot !!!");
        return start;
    }
    if (const auto made = requests.visitConsultation(request->isn, request->patient, request->number)) {
        start.existingKey = made->key;
        return start;
    }
    if (request->specialist < 2) {
        start.message = tr("Nav izpildītāja !!!");
        return start;
    }
    Consultation c;
    c.type = request->type;
    c.specialist = request->specialist;
    c.assistant = request->assistant;
    c.patient = request->patient;
    c.room = request->room;
    c.notes = request->notes;
    c.request = request->isn;
    c.date = now.date();
    c.timeStart = PadTime(request->plannedTime);
    c.timeEnd = EndFromDuration(c.timeStart, request->duration);
    c.number = app::VisitConsultationNumber(m_db, request->number);
    c.patientName = patientName(c.patient);
    start.duration = PadTime(request->duration);
    start.consultation = c;
    return start;
}

std::optional<Consultation> TKonsultacijasDati::load(int key) {
    const db::ResultSet rs = m_db.select(
        QStringLiteral("SELECT O_KONSULTACIJA_HD.*, N_KLIENTS.VARDS KLIENT_VARDS, N_KLIENTS.UZVARDS KLIENT_UZVARDS "
                       "FROM O_KONSULTACIJA_HD LEFT JOIN N_KLIENTS ON N_KLIENTS.ISN = O_KONSULTACIJA_HD.ISKLIENTS "
                       "WHERE O_KONSULTACIJA_HD.ISN = :ISN"),
        {{QStringLiteral("ISN"), key}});
    if (rs.isEmpty()) return std::nullopt;
    auto v = [&](const QString& name) { return rs.first(name); };
    Consultation c;
    c.isn = key;
    c.number = v(QStringLiteral("NUMURS")).toString().trimmed();
    c.storedDate = v(QStringLiteral("DATUMS")).toDateTime();
    c.date = c.storedDate.date();
    c.patient = v(QStringLiteral("ISKLIENTS")).toInt();
    c.specialist = v(QStringLiteral("ISIZPILDITAJS")).toInt();
    c.assistant = v(QStringLiteral("ISASISTENTS")).toInt();
    c.room = v(QStringLiteral("ISKABINETS")).toInt();
    c.type = v(QStringLiteral("ISVEIDS")).toInt();
    c.request = v(QStringLiteral("ISKONSULTPIET")).toInt();
    c.timeStart = v(QStringLiteral("TIME_START")).toString().trimmed();
    c.timeEnd = v(QStringLiteral("TIME_END")).toString().trimmed();
    c.notes = v(QStringLiteral("PIEZIMES")).toString();
    c.diagnosis = v(QStringLiteral("DIAGNOZE")).toString();
    c.chart = v(QStringLiteral("ZOBU_KARTE")).toString();
    const QVector<HealthQuestion>& questions = HealthQuestions();
    for (int i = 0; i < questions.size(); ++i)
        c.health[i] = {v(column(questions.at(i))).toInt() == 1, v(commentColumn(questions.at(i))).toString()};
    for (const QString& s : StatusColumns()) c.status.insert(s, v(s));
    c.rejected = v(QStringLiteral("DZESTS")).toInt() == 1;
    c.patientName = v(QStringLiteral("KLIENT_UZVARDS")).isValid()
                        ? nameOf(v(QStringLiteral("KLIENT_UZVARDS")), v(QStringLiteral("KLIENT_VARDS")))
                        : QString();
    c.readStamp = v(QStringLiteral("IEVDAT_EDIT"));
    return c;
}

QString TKonsultacijasDati::patientName(int key) {
    // The default row "Nav Noteikts" means that no patient is chosen yet.
    return key > 1 ? calendar::AppointmentStore(m_db).patientName(key) : QString();
}

QPair<QDate, QDate> TKonsultacijasDati::patientPeriod(int patient) {
    const db::ResultSet rs = m_db.select(
        QStringLiteral("SELECT MIN(DATUMS), MAX(DATUMS) FROM O_KONSULTACIJA_HD WHERE ISKLIENTS = :ISKLIENTS"),
        {{QStringLiteral("ISKLIENTS"), patient}});
    return {rs.value(0, 0).toDateTime().date(), rs.value(0, 1).toDateTime().date()};
}

QString TKonsultacijasDati::DuplicateMessage(const QString& number) {
    return tr("Konsultācijas ar numuru '") + number + tr("' datu bazē jau eksistē!!!");
}

QString TKonsultacijasDati::LockedDayMessage() { return tr("Datums ir bloķēts, labošanu izdarīt nedrīkst !!!"); }

app::CardCheck TKonsultacijasDati::validate(Consultation& c) {
    c.timeStart = c.timeStart.trimmed();
    c.timeEnd = c.timeEnd.trimmed();
    c.number = c.number.trimmed();
    if (!c.date.isValid()) return app::CardCheck::fail(tr("Nav ievadīts datums !!!"), QStringLiteral("DATUMS"));
    // Neither the day it is moved to nor the locked day it was on may change.
    if (!app::IsDayOpen(m_db, c.date) ||
        (c.isn > 0 && c.storedDate.isValid() && !app::IsDayOpen(m_db, c.storedDate.date())))
        return app::CardCheck::fail(LockedDayMessage(), QStringLiteral("DATUMS"));
    if (c.number.isEmpty()) return app::CardCheck::fail(tr("Nav ievadīts numurs !!!"), QStringLiteral("NUMURS"));
    if (c.patient < 2) return app::CardCheck::fail(tr("Nav ievadīts klients !!!"), QStringLiteral("ISKLIENTS"));
    if (c.room < 1) return app::CardCheck::fail(tr("Nav izvēlēts kabinets !!!"), QStringLiteral("ISKABINETS"));
    if (c.specialist < 2)
        return app::CardCheck::fail(tr("Nav izvēlēts korekts speciālists !!!"), QStringLiteral("ISIZPILDITAJS"));
    const app::CardCheck times = ConsultationTimes::Check(c.timeStart, c.timeEnd);
    if (!times.ok()) return times;
    if (c.number.size() > NumberWidth ||
        m_db.scalar(QStringLiteral("SELECT ISN FROM O_KONSULTACIJA_HD WHERE NUMURS=:numurs AND ISN!=:ISN"),
                    {{QStringLiteral("numurs"), c.number.left(NumberWidth)}, {QStringLiteral("ISN"), c.isn}})
            .isValid())
        return app::CardCheck::fail(DuplicateMessage(c.number), QStringLiteral("NUMURS"));
    return {};
}

ConsultationSave TKonsultacijasDati::save(const Consultation& c, int userIsn, const QDateTime& now) {
    ConsultationSave result;
    db::Params p = editedColumns(c, now);
    p.insert(QStringLiteral("ISUSER_EDIT"), keyOrNull(userIsn));
    p.insert(QStringLiteral("IEVDAT_EDIT"), now);
    const QStringList names = editedColumnNames();
    db::Transaction tx(m_db);
    try {
        if (c.isn > 0) {
            QStringList sets;
            for (const QString& n : names) sets.append(n + QStringLiteral("=:") + n);
            p.insert(QStringLiteral("ISN"), c.isn);
            const QString where = QStringLiteral(" WHERE ISN=:ISN") + db::UnchangedSince(c.readStamp, p);
            if (tx.exec(QStringLiteral("UPDATE O_KONSULTACIJA_HD SET ") + sets.join(QStringLiteral(", ")) +
                            QStringLiteral(", ISUSER_EDIT=:ISUSER_EDIT, IEVDAT_EDIT=:IEVDAT_EDIT") + where,
                        p) == 0)
                throw db::StaleRowError();
            result.key = c.isn;
        } else {
            p.insert(QStringLiteral("ISUSER_NEW"), keyOrNull(userIsn));
            p.insert(QStringLiteral("IEVDAT_NEW"), now);
            QStringList values;
            for (const QString& n : names) values.append(QStringLiteral(":") + n);
            result.key = tx.scalar(QStringLiteral("INSERT INTO O_KONSULTACIJA_HD (") + names.join(QStringLiteral(", ")) +
                                       QStringLiteral(", DZESTS, ISUSER_NEW, IEVDAT_NEW, ISUSER_EDIT, IEVDAT_EDIT) VALUES (") +
                                       values.join(QStringLiteral(", ")) +
                                       QStringLiteral(", 0, :ISUSER_NEW, :IEVDAT_NEW, :ISUSER_EDIT, :IEVDAT_EDIT) "
                                                      "RETURNING ISN"),
                                   p)
                             .toInt();
        }
    } catch (const db::StaleRowError&) {
        throw;
    } catch (const db::DbError& e) {
        // Another workstation stored (or is storing) the same number after the check: the unique
        // index refuses ours and nothing is written.
        if (!isNumberClash(e)) throw;
        result.key = 0;
        result.refusal = app::CardCheck::fail(DuplicateMessage(c.number.trimmed()), QStringLiteral("NUMURS"));
        return result;
    }
    app::WriteJournal(tx, userIsn, c.isn > 0 ? QStringLiteral("L") : QStringLiteral("J"), c.number.trimmed(), table(),
                      result.key, QString(), QDateTime(c.date, now.time()));
    tx.commit();
    return result;
}

QVariant TKonsultacijasDati::saveChart(const Consultation& c, const QString& chart, int userIsn,
                                       const QDateTime& now) {
    if (c.isn <= 0) return c.readStamp;
    db::Params p{{QStringLiteral("ZOBU_KARTE"), textOrNull(chart)},
                 {QStringLiteral("ISUSER_EDIT"), keyOrNull(userIsn)},
                 {QStringLiteral("IEVDAT_EDIT"), now},
                 {QStringLiteral("ISN"), c.isn}};
    const QString where = QStringLiteral(" WHERE ISN=:ISN") + db::UnchangedSince(c.readStamp, p);
    db::Transaction tx(m_db);
    // Only the chart: the header being edited is stored by its own save.
    if (tx.exec(QStringLiteral("UPDATE O_KONSULTACIJA_HD SET ZOBU_KARTE=:ZOBU_KARTE, ISUSER_EDIT=:ISUSER_EDIT, "
                               "IEVDAT_EDIT=:IEVDAT_EDIT") +
                    where,
                p) == 0)
        throw db::StaleRowError();
    tx.touch(table(), c.isn);
    tx.commit();
    // The column keeps tenths of a millisecond: the stamp as stored is the millisecond written.
    return now;
}

QString TKonsultacijasDati::reject(const Consultation& c, int userIsn) { return setRejected(c, true, userIsn); }

QString TKonsultacijasDati::undoReject(const Consultation& c, int userIsn) { return setRejected(c, false, userIsn); }

QString TKonsultacijasDati::setRejected(const Consultation& c, bool rejected, int userIsn) {
    if (c.isn <= 0) return QString();
    if (c.storedDate.isValid() && !app::IsDayOpen(m_db, c.storedDate.date())) return LockedDayMessage();
    db::Params p{{QStringLiteral("DZESTS"), rejected ? 1 : 0},
                 {QStringLiteral("ISUSER_EDIT"), keyOrNull(userIsn)},
                 {QStringLiteral("IEVDAT_EDIT"), QDateTime::currentDateTime()},
                 {QStringLiteral("ISN"), c.isn}};
    const QString where = QStringLiteral(" WHERE ISN=:ISN") + db::UnchangedSince(c.readStamp, p);
    db::Transaction tx(m_db);
    // Only the mark: nothing else of the shown consultation is stored unchecked.
    if (tx.exec(QStringLiteral("UPDATE O_KONSULTACIJA_HD SET DZESTS=:DZESTS, ISUSER_EDIT=:ISUSER_EDIT, "
                               "IEVDAT_EDIT=:IEVDAT_EDIT") +
                    where,
                p) == 0)
        throw db::StaleRowError();
    app::WriteJournal(tx, userIsn, rejected ? QStringLiteral("D") : QStringLiteral("L"), c.number, table(), c.isn,
                      QString(), c.storedDate);
    tx.commit();
    return QString();
}

ConsultationDefaults TKonsultacijasDati::ReadDefaults() {
    const QString section = QString::fromLatin1(SettingsSection);
    return {app::Settings::integer(section, QStringLiteral("Isizpilditajs"), 1),
            app::Settings::integer(section, QStringLiteral("Isveids"), 0)};
}

void TKonsultacijasDati::RememberDefaults(const Consultation& c) {
    const QString section = QString::fromLatin1(SettingsSection);
    app::Settings::setInteger(section, QStringLiteral("Isizpilditajs"), c.specialist);
    app::Settings::setInteger(section, QStringLiteral("Isveids"), c.type);
}

}  // namespace consultations
