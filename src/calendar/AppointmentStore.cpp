#include "calendar/AppointmentStore.h"

#include "app/ConsultationNumbers.h"
#include "app/Settings.h"
#include "app/SharedProcedures.h"
#include "app/TimeText.h"
#include "db/RowStamp.h"

#include <limits>

namespace calendar {

namespace {

const QString Table = QStringLiteral("O_KONSULT_PIET_HD");

// A refusal of the insert by the number's unique index can only be another workstation taking
// the same number; this many in a row means something else is wrong.
constexpr int MaxNumberClashes = 20;

QVariant keyOrNull(int key) { return key > 0 ? QVariant(key) : QVariant(); }

QVariant textOrNull(const QString& s) { return s.isEmpty() ? QVariant() : QVariant(s); }

// The number as a whole number, or nothing when it is not one.
std::optional<qint64> numberValue(const QString& text) {
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(n) : std::nullopt;
}

// The greatest request number as the program stores them, right-aligned to the column's width so
// that text order is numeric order: the greatest of the aligned ones, compared with any typed
// without the alignment (older rows), aligned here. Empty when there is none; the caller decides
// whether the greatest is a number.
template <typename Executor>
std::optional<QString> greatestNumber(Executor& db) {
    const QVariant aligned = db.scalar(
        QStringLiteral("SELECT MAX(NUMURS) FROM O_KONSULT_PIET_HD WHERE NUMURS < '0'"));
    std::optional<QString> greatest;
    if (!aligned.isNull()) greatest = aligned.toString();
    // Numbers beginning with a digit or letter (the unique index finds them without a scan).
    const db::ResultSet unaligned =
        db.select(QStringLiteral("SELECT NUMURS FROM O_KONSULT_PIET_HD WHERE NUMURS >= '0'"));
    for (int r = 0; r < unaligned.rowCount(); ++r) {
        const QString n = AppointmentStore::PadNumber(unaligned.value(r, 0).toString());
        if (!greatest || n > *greatest) greatest = n;
    }
    return greatest;
}

// One more than the number, or empty when it is not a whole number.
QString followingOf(const QString& number) {
    const std::optional<qint64> n = numberValue(number);
    if (!n || *n < 0 || *n == std::numeric_limits<qint64>::max()) return QString();
    return QString::number(*n + 1);
}

QString nameOf(const QVariant& surname, const QVariant& name) {
    return surname.toString() + QLatin1Char(' ') + name.toString();
}

// Minutes since midnight of a waiting request's from/until time; an empty or unreadable time
// leaves that side of the day open.
int boundMinutes(const QVariant& value, int open) {
    const int m = app::TimeToMinutes(value.toString().trimmed());
    return m < 0 ? open : m;
}

}  // namespace

AppointmentStore::AppointmentStore(db::Database& database) : m_db(database) {}

QVector<QPair<int, QString>> AppointmentStore::lookup(const QString& sql) {
    const db::ResultSet rs = m_db.select(sql);
    QVector<QPair<int, QString>> items;
    items.reserve(rs.rowCount());
    for (int r = 0; r < rs.rowCount(); ++r) items.append({rs.value(r, 0).toInt(), rs.value(r, 1).toString()});
    return items;
}

QVector<QPair<int, QString>> AppointmentStore::staff() {
    return lookup(QStringLiteral("SELECT ISN, UZVARDS || ' ' || COALESCE(VARDS, '') FROM N_AGENTS WHERE ISN > 1 "
                                 "ORDER BY UZVARDS, VARDS"));
}

QVector<QPair<int, QString>> AppointmentStore::rooms() {
    return lookup(QStringLiteral("SELECT ISN, GNOS FROM N_KABINETI WHERE ISN > 1 ORDER BY GNOS"));
}

QVector<QPair<int, QString>> AppointmentStore::types() {
    return lookup(QStringLiteral("SELECT ISN, GNOS FROM N_VEIDI WHERE TIPS IS NULL OR TIPS = 0 ORDER BY GNOS"));
}

QString AppointmentStore::nextNumber() {
    // By value: the plain text maximum would put "9" above "10" once a number is stored without
    // its alignment.
    // No request yet: the first number is typed.
    const std::optional<QString> greatest = greatestNumber(m_db);
    return greatest ? followingOf(*greatest) : QString();
}

Appointment AppointmentStore::create(int specialistKey, int roomKey, const QDateTime& slot,
                                     const AppointmentDefaults& defaults) {
    Appointment a;
    if (defaults.taker != 0) a.taker = defaults.taker;
    if (defaults.type != 0) a.type = defaults.type;
    a.specialist = specialistKey;
    a.room = roomKey;
    if (a.room == 0)
        a.room = m_db.scalar(QStringLiteral("SELECT ISN FROM N_KABINETI WHERE ISN > 1 ORDER BY GNOS ASC")).toInt();
    a.patient = 1;
    a.callStatus = 0;
    a.plannedTime = slot.time().toString(QStringLiteral("HH:mm"));
    a.duration = QStringLiteral("01:00");
    a.requestDate = QDateTime(QDate::currentDate(), QTime(0, 0));
    a.plannedDate = QDateTime(slot.date(), QTime(0, 0));
    a.number = nextNumber();
    a.patientName = patientName(a.patient);
    return a;
}

std::optional<Appointment> AppointmentStore::load(int key) {
    const db::ResultSet rs = m_db.select(
        QStringLiteral("SELECT O_KONSULT_PIET_HD.*, N_KLIENTS.VARDS KLIENT_VARDS, N_KLIENTS.UZVARDS KLIENT_UZVARDS, "
                       "N_PIETEICEJS.VARDS PIETEIC_VARDS, N_PIETEICEJS.UZVARDS PIETEIC_UZVARDS, "
                       "N_IZPILD.VARDS IZPILD_VARDS, N_IZPILD.UZVARDS IZPILD_UZVARDS "
                       "FROM O_KONSULT_PIET_HD "
                       "LEFT JOIN N_KLIENTS ON N_KLIENTS.ISN = O_KONSULT_PIET_HD.ISKLIENTS "
                       "LEFT JOIN N_AGENTS N_PIETEICEJS ON N_PIETEICEJS.ISN = O_KONSULT_PIET_HD.ISPIETEICEJS "
                       "LEFT JOIN N_AGENTS N_IZPILD ON N_IZPILD.ISN = O_KONSULT_PIET_HD.ISIZPILDITAJS "
                       "WHERE O_KONSULT_PIET_HD.ISN=:ISN"),
        {{QStringLiteral("ISN"), key}});
    if (rs.isEmpty()) return std::nullopt;
    auto v = [&](const char* column) { return rs.first(QString::fromLatin1(column)); };
    Appointment a;
    a.isn = key;
    a.number = v("NUMURS").toString().trimmed();
    a.requestDate = v("DATUMS").toDateTime();
    a.plannedDate = v("PLAN_DAT").toDateTime();
    a.plannedTime = v("PLAN_LAIKS").toString().trimmed();
    a.duration = v("PLAN_ILGUMS").toString().trimmed();
    a.patient = v("ISKLIENTS").toInt();
    a.taker = v("ISPIETEICEJS").toInt();
    a.specialist = v("ISIZPILDITAJS").toInt();
    a.assistant = v("ISASISTENTS").toInt();
    a.room = v("ISKABINETS").toInt();
    a.type = v("ISVEIDS").toInt();
    a.notes = v("PIEZIMES").toString();
    a.callStatus = v("CALL_STATUS").toInt();
    a.prostheticMaterial = v("PROTEZ_MATERIALS").toInt();
    a.waiting = v("PIRMS_DATUMA").toInt() == 1;
    for (int d = 0; d < 7; ++d) {
        const QString day = QStringLiteral("DIENA%1").arg(d + 1);
        a.days[size_t(d)] = {rs.first(day).toString().trimmed() == QLatin1String("V"),
                             rs.first(day + QStringLiteral("_NO")).toString().trimmed(),
                             rs.first(day + QStringLiteral("_LIDZ")).toString().trimmed()};
    }
    a.emailSent = v("ISEMAILSENT").toInt() == 1;
    a.smsSent = v("ISSMSSENT").toInt() == 1;
    a.patientName = a.patient > 1 && v("KLIENT_UZVARDS").isValid() ? nameOf(v("KLIENT_UZVARDS"), v("KLIENT_VARDS")) : QString();
    a.readStamp = v("IEVDAT_EDIT");
    return a;
}

QString AppointmentStore::patientName(int key) {
    // The default row means that no patient is chosen yet: an empty box, not its placeholder name.
    if (key <= 1) return {};
    const db::ResultSet rs =
        m_db.select(QStringLiteral("SELECT N_KLIENTS.UZVARDS, N_KLIENTS.VARDS FROM N_KLIENTS WHERE N_KLIENTS.ISN=:ISN"),
                    {{QStringLiteral("ISN"), key}});
    return rs.isEmpty() ? QString() : nameOf(rs.value(0, 0), rs.value(0, 1));
}

QString AppointmentStore::PadNumber(const QString& number) {
    return number.trimmed().rightJustified(NumberWidth, QLatin1Char(' '));
}

QString AppointmentStore::NormaliseTime(const QString& time) {
    const QString t = time.trimmed();
    return t.indexOf(QLatin1Char(':')) == 1 ? QStringLiteral("0") + t : t;
}

QString AppointmentStore::NumberTakenMessage(const QString& number) {
    return tr("Pieteikuma numurs '") + number + tr("' datu bazē jau eksistē!\nTiks paņemts nakošais numurs!");
}

app::CardCheck AppointmentStore::validate(Appointment& a, bool mayCreate) {
    if (a.isn == 0 && !mayCreate)
        return app::CardCheck::fail(tr("Jums nav tiesības veidot jaunu pieteikumu (lietotāju tiesības) !!!"), {});
    if (!app::IsDayOpen(m_db, a.requestDate.date()))
        return app::CardCheck::fail(tr("Datums ir bloķēts, labošanu izdarīt nedrīkst !!!"), {});
    if (a.number.trimmed().isEmpty())
        return app::CardCheck::fail(tr("Nav ievadīts numurs !!!"), QStringLiteral("NUMURS"));
    a.plannedTime = NormaliseTime(a.plannedTime);
    a.number = a.number.trimmed();
    if (a.patient < 2)
        return app::CardCheck::fail(tr("Nav izvēlēts korekts klients !!!"), QStringLiteral("ISKLIENTS"));
    if (a.room <= 0) return app::CardCheck::fail(tr("Nav izvēlēts kabinets !!!"), QStringLiteral("ISKABINETS"));
    if (a.specialist < 2)
        return app::CardCheck::fail(tr("Nav izvēlēts korekts speciālists !!!"), QStringLiteral("ISIZPILDITAJS"));
    if (a.type < 1)
        return app::CardCheck::fail(tr("Nav izvēlēts konsultācijas veids !!!"), QStringLiteral("ISVEIDS"));
    if (a.duration.trimmed().isEmpty())
        return app::CardCheck::fail(tr("Nav ievadīts ilgums !!!"), QStringLiteral("PLAN_ILGUMS"));
    if (a.taker < 2)
        return app::CardCheck::fail(tr("Nav izvēlēts korekts pieteicejs !!!"), QStringLiteral("ISPIETEICEJS"));
    if (!app::IsValidTime(a.plannedTime))
        return app::CardCheck::fail(tr("Nekorekts laiks !!!"), QStringLiteral("PLAN_LAIKS"));
    return {};
}

QString AppointmentStore::followingNumber(db::Transaction& tx, const QString& current) {
    const std::optional<QString> stored = greatestNumber(tx);
    // No committed number at all (the one in the way is not committed yet) counts from zero.
    const QString next = stored ? followingOf(*stored) : QStringLiteral("1");
    if (next.isEmpty()) return QString();
    // Another workstation's number not yet committed is not counted at all: never offer the same
    // number twice.
    const std::optional<qint64> mine = numberValue(current);
    return mine && *mine + 1 > next.toLongLong() ? QString::number(*mine + 1) : next;
}

namespace {

// The columns the editor writes, bound by their names.
db::Params editedColumns(const Appointment& a, const QString& number) {
    db::Params p{{QStringLiteral("NUMURS"), AppointmentStore::PadNumber(number)},
            {QStringLiteral("DATUMS"), a.requestDate},
            {QStringLiteral("ISKLIENTS"), a.patient},
            {QStringLiteral("ISPIETEICEJS"), a.taker},
            {QStringLiteral("ISIZPILDITAJS"), a.specialist},
            {QStringLiteral("ISASISTENTS"), keyOrNull(a.assistant)},
            {QStringLiteral("ISKABINETS"), a.room},
            {QStringLiteral("ISVEIDS"), a.type},
            {QStringLiteral("PLAN_DAT"), a.plannedDate},
            {QStringLiteral("PLAN_LAIKS"), a.plannedTime},
            {QStringLiteral("PLAN_ILGUMS"), a.duration.trimmed()},
            {QStringLiteral("PIEZIMES"), textOrNull(a.notes)},
            {QStringLiteral("CALL_STATUS"), a.callStatus},
            {QStringLiteral("PROTEZ_MATERIALS"), a.prostheticMaterial},
            {QStringLiteral("PIRMS_DATUMA"), a.waiting ? 1 : 0}};
    // The weekday marks only mean something while the request waits for an earlier slot; the
    // times stay as typed.
    for (int d = 0; d < 7; ++d) {
        const WeekdayTimes& day = a.days[size_t(d)];
        const QString name = QStringLiteral("DIENA%1").arg(d + 1);
        p.insert(name, a.waiting && day.on ? QStringLiteral("V") : QStringLiteral("N"));
        p.insert(name + QStringLiteral("_NO"), textOrNull(day.from.trimmed()));
        p.insert(name + QStringLiteral("_LIDZ"), textOrNull(day.until.trimmed()));
    }
    return p;
}

// "DIENA1=:DIENA1, DIENA1_NO=:DIENA1_NO, ..." or the column names alone.
QString dayColumns(bool assignments) {
    QStringList parts;
    for (int d = 1; d <= 7; ++d)
        for (const QString& suffix : {QString(), QStringLiteral("_NO"), QStringLiteral("_LIDZ")}) {
            const QString name = QStringLiteral("DIENA%1").arg(d) + suffix;
            parts.append(assignments ? name + QStringLiteral("=:") + name : name);
        }
    return parts.join(QStringLiteral(", "));
}

QString dayParameters() {
    QStringList parts;
    for (const QString& name : dayColumns(false).split(QStringLiteral(", "))) parts.append(QLatin1Char(':') + name);
    return parts.join(QStringLiteral(", "));
}

}  // namespace

int AppointmentStore::insert(db::Transaction& tx, const Appointment& a, const QString& number, int userIsn) {
    db::Params p = editedColumns(a, number);
    p.insert(QStringLiteral("USER"), keyOrNull(userIsn));
    p.insert(QStringLiteral("NOW"), QDateTime::currentDateTime());
    // A request that does not wait for an earlier slot has its weekday marks all "N".
    return tx
        .scalar(QStringLiteral(
                    "INSERT INTO O_KONSULT_PIET_HD (NUMURS, DATUMS, ISKLIENTS, ISPIETEICEJS, ISIZPILDITAJS, "
                    "ISASISTENTS, ISKABINETS, ISVEIDS, PLAN_DAT, PLAN_LAIKS, PLAN_ILGUMS, PIEZIMES, CALL_STATUS, "
                    "PROTEZ_MATERIALS, PIRMS_DATUMA, ") +
                    dayColumns(false) +
                    QStringLiteral(", DZESTS, ISUSER_NEW, IEVDAT_NEW, ISUSER_EDIT, IEVDAT_EDIT) VALUES (:NUMURS, "
                                   ":DATUMS, :ISKLIENTS, :ISPIETEICEJS, :ISIZPILDITAJS, :ISASISTENTS, :ISKABINETS, "
                                   ":ISVEIDS, :PLAN_DAT, :PLAN_LAIKS, :PLAN_ILGUMS, :PIEZIMES, :CALL_STATUS, "
                                   ":PROTEZ_MATERIALS, :PIRMS_DATUMA, ") +
                    dayParameters() + QStringLiteral(", 0, :USER, :NOW, :USER, :NOW) RETURNING ISN"),
                p)
        .toInt();
}

void AppointmentStore::update(db::Transaction& tx, const Appointment& a, const QString& number, int userIsn) {
    db::Params p = editedColumns(a, number);
    p.insert(QStringLiteral("ISUSER_EDIT"), keyOrNull(userIsn));
    p.insert(QStringLiteral("IEVDAT_EDIT"), QDateTime::currentDateTime());
    p.insert(QStringLiteral("ISN"), a.isn);
    const QString days = QStringLiteral(", PIRMS_DATUMA=:PIRMS_DATUMA, ") + dayColumns(true);
    const QString where = QStringLiteral(" WHERE ISN=:ISN") + db::UnchangedSince(a.readStamp, p);
    const int changed = tx.exec(
        QStringLiteral("UPDATE O_KONSULT_PIET_HD SET NUMURS=:NUMURS, DATUMS=:DATUMS, ISKLIENTS=:ISKLIENTS, "
                       "ISPIETEICEJS=:ISPIETEICEJS, ISIZPILDITAJS=:ISIZPILDITAJS, ISASISTENTS=:ISASISTENTS, "
                       "ISKABINETS=:ISKABINETS, ISVEIDS=:ISVEIDS, PLAN_DAT=:PLAN_DAT, PLAN_LAIKS=:PLAN_LAIKS, "
                       "PLAN_ILGUMS=:PLAN_ILGUMS, PIEZIMES=:PIEZIMES, CALL_STATUS=:CALL_STATUS, "
                       "PROTEZ_MATERIALS=:PROTEZ_MATERIALS, ISUSER_EDIT=:ISUSER_EDIT, IEVDAT_EDIT=:IEVDAT_EDIT") +
            days + where,
        p);
    if (changed == 0) throw db::StaleRowError();
}

AppointmentSave AppointmentStore::save(const Appointment& a, int userIsn) {
    AppointmentSave result;
    QString number = a.number.trimmed();
    db::Transaction tx(m_db);
    if (a.isn > 0) {
        update(tx, a, number, userIsn);
        result.key = a.isn;
    } else {
        int clashes = 0;
        for (;;) {
            if (tx.scalar(QStringLiteral("SELECT ISN FROM O_KONSULT_PIET_HD WHERE NUMURS=:numurs"),
                          {{QStringLiteral("numurs"), PadNumber(number)}})
                    .isValid()) {
                result.takenNumbers.append(number);
                number = followingNumber(tx, number);
                if (number.isEmpty()) {
                    result.message = tr("Nevar aprēķināt nākošo numuru !!!");
                    return result;
                }
                continue;
            }
            try {
                result.key = insert(tx, a, number, userIsn);
                break;
            } catch (const db::DbError& e) {
                // Another workstation stored (or is storing) the same number after we looked: the
                // unique index refuses ours, and the statement left nothing behind.
                if (!(e.isUniqueViolation() || e.isLockConflict()) || ++clashes > MaxNumberClashes) throw;
                result.takenNumbers.append(number);
                number = followingNumber(tx, number);
                if (number.isEmpty()) {
                    result.message = tr("Nevar aprēķināt nākošo numuru !!!");
                    return result;
                }
            }
        }
    }
    app::WriteJournal(tx, userIsn, a.isn > 0 ? QStringLiteral("L") : QStringLiteral("J"), number, Table, result.key,
                      a.plannedDate.date().toString(QStringLiteral("dd.MM.yyyy")) + QLatin1Char(' ') + a.plannedTime,
                      a.requestDate);
    tx.commit();
    result.number = number;
    return result;
}

void AppointmentStore::cancel(const Appointment& a, int userIsn) { setCancelled(a, true, userIsn); }

void AppointmentStore::restore(const Appointment& a, int userIsn) { setCancelled(a, false, userIsn); }

void AppointmentStore::setCancelled(const Appointment& a, bool cancelled, int userIsn) {
    if (a.isn <= 0) return;
    db::Params p{{QStringLiteral("ISUSER_EDIT"), keyOrNull(userIsn)},
                 {QStringLiteral("IEVDAT_EDIT"), QDateTime::currentDateTime()},
                 {QStringLiteral("ISN"), a.isn},
                 {QStringLiteral("DZESTS"), cancelled ? 1 : 0}};
    const QString where = QStringLiteral(" WHERE ISN=:ISN") + db::UnchangedSince(a.readStamp, p);
    db::Transaction tx(m_db);
    // Only the mark: what was typed in the editor before cancelling is not stored unchecked.
    if (tx.exec(QStringLiteral("UPDATE O_KONSULT_PIET_HD SET DZESTS=:DZESTS, ISUSER_EDIT=:ISUSER_EDIT, "
                               "IEVDAT_EDIT=:IEVDAT_EDIT") +
                    where,
                p) == 0)
        throw db::StaleRowError();
    const db::ResultSet stored = tx.select(QStringLiteral("SELECT NUMURS, DATUMS FROM O_KONSULT_PIET_HD WHERE ISN=:ISN"),
                                           {{QStringLiteral("ISN"), a.isn}});
    app::WriteJournal(tx, userIsn, cancelled ? QStringLiteral("D") : QStringLiteral("L"), stored.first(QStringLiteral("NUMURS")).toString().trimmed(),
                      Table, a.isn, QString(), stored.first(QStringLiteral("DATUMS")).toDateTime());
    tx.commit();
}

AppointmentDefaults AppointmentStore::ReadDefaults() {
    const QString section = QString::fromLatin1(SettingsSection);
    return {app::Settings::integer(section, QStringLiteral("Ispieteicejs"), 1),
            app::Settings::integer(section, QStringLiteral("Isveids"), 1)};
}

void AppointmentStore::RememberDefaults(const Appointment& a) {
    const QString section = QString::fromLatin1(SettingsSection);
    app::Settings::setInteger(section, QStringLiteral("Isizpilditajs"), a.specialist);
    app::Settings::setInteger(section, QStringLiteral("Ispieteicejs"), a.taker);
    app::Settings::setInteger(section, QStringLiteral("Isveids"), a.type);
}

db::ResultSet AppointmentStore::waitingList(const QDate& slotDate, const QString& slotTime) {
    const int weekday = slotDate.dayOfWeek();
    const int slot = app::TimeToMinutes(NormaliseTime(slotTime));
    const db::ResultSet candidates = m_db.select(
        QStringLiteral(
            "SELECT O_KONSULT_PIET_HD.*, N_KLIENTS.VARDS KVARDS, N_KLIENTS.UZVARDS KUZVARDS, N_AGENTS.VARDS AVARDS, "
            "N_AGENTS.UZVARDS AUZVARDS FROM O_KONSULT_PIET_HD "
            "LEFT JOIN N_KLIENTS ON N_KLIENTS.ISN = O_KONSULT_PIET_HD.ISKLIENTS "
            "LEFT JOIN N_AGENTS ON N_AGENTS.ISN = O_KONSULT_PIET_HD.ISIZPILDITAJS "
            "WHERE O_KONSULT_PIET_HD.PIRMS_DATUMA = 1 "
            "AND (O_KONSULT_PIET_HD.DZESTS IS NULL OR O_KONSULT_PIET_HD.DZESTS = 0) "
            "AND ((:DIENA = 1 AND O_KONSULT_PIET_HD.DIENA1 = 'V') OR (:DIENA = 2 AND O_KONSULT_PIET_HD.DIENA2 = 'V') "
            "OR (:DIENA = 3 AND O_KONSULT_PIET_HD.DIENA3 = 'V') OR (:DIENA = 4 AND O_KONSULT_PIET_HD.DIENA4 = 'V') "
            "OR (:DIENA = 5 AND O_KONSULT_PIET_HD.DIENA5 = 'V') OR (:DIENA = 6 AND O_KONSULT_PIET_HD.DIENA6 = 'V') "
            "OR (:DIENA = 7 AND O_KONSULT_PIET_HD.DIENA7 = 'V')) "
            "AND O_KONSULT_PIET_HD.PLAN_DAT >:Date "
            "ORDER BY O_KONSULT_PIET_HD.PLAN_DAT, O_KONSULT_PIET_HD.ISN"),
        {{QStringLiteral("DIENA"), weekday}, {QStringLiteral("Date"), QDateTime(slotDate, QTime(0, 0))}});
    db::ResultSet fitting(candidates.columns());
    if (slot < 0) return fitting;
    // The from/until times are compared here rather than cast in the query: one request with an
    // empty or mistyped time would otherwise make the query fail for everybody.
    const QString from = QStringLiteral("DIENA%1_NO").arg(weekday);
    const QString until = QStringLiteral("DIENA%1_LIDZ").arg(weekday);
    for (int r = 0; r < candidates.rowCount(); ++r) {
        if (slot >= boundMinutes(candidates.value(r, from), 0) &&
            slot <= boundMinutes(candidates.value(r, until), 24 * 60))
            fitting.append(candidates.row(r));
    }
    return fitting;
}

std::optional<VisitConsultation> AppointmentStore::visitConsultation(int key, int patient, const QString& number) {
    const QString n = number.trimmed();
    if (key <= 0 && n.isEmpty()) return std::nullopt;
    // Made from this request: it names the request, or it is numbered after the request's number
    // (the number itself, or it followed by "-"). A number that merely contains it ("157-2" for
    // request 57) belongs to another request.
    db::Params p{{QStringLiteral("ISKLIENTS"), patient}, {QStringLiteral("ISN"), key}};
    QString byNumber;
    if (!n.isEmpty()) {
        byNumber = QStringLiteral(" OR O_KONSULTACIJA_HD.NUMURS = :NUMURS OR O_KONSULTACIJA_HD.NUMURS STARTING WITH "
                                  ":PREFIKSS");
        p.insert(QStringLiteral("NUMURS"), n);
        p.insert(QStringLiteral("PREFIKSS"), QString(n + QLatin1Char('-')));
    }
    const db::ResultSet rs = m_db.select(
        QStringLiteral("SELECT ISN, DATUMS FROM O_KONSULTACIJA_HD WHERE O_KONSULTACIJA_HD.ISKLIENTS = :ISKLIENTS "
                       "AND (O_KONSULTACIJA_HD.ISKONSULTPIET = :ISN") +
            byNumber + QStringLiteral(") ORDER BY ISN"),
        p);
    if (rs.isEmpty()) return std::nullopt;
    return VisitConsultation{rs.value(0, 0).toInt(), rs.value(0, 1).toDateTime()};
}

QString AppointmentStore::visitNumber(const QString& requestNumber) {
    return app::VisitConsultationNumber(m_db, requestNumber);
}

}  // namespace calendar
