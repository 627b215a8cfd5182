#include "calendar/PlannerStore.h"

#include "app/SharedProcedures.h"
#include "app/TimeText.h"
#include "db/DbError.h"
#include "db/RowStamp.h"
#include "db/Transaction.h"
#include "references/NonReceivingTimes.h"

#include <QSet>

namespace calendar {

namespace {

const QString AppointmentTable = QStringLiteral("O_KONSULT_PIET_HD");

// The columns and joins of the appointment query; the conditions on date and column follow.
const QString AppointmentSelect = QStringLiteral(
    "SELECT O_KONSULT_PIET_HD.ISN, O_KONSULT_PIET_HD.PLAN_LAIKS, O_KONSULT_PIET_HD.CALL_STATUS, "
    "O_KONSULT_PIET_HD.PLAN_ILGUMS, N_VEIDI.GNOS VEIDS, O_KONSULT_PIET_HD.PIEZIMES, O_KONSULT_PIET_HD.ISVEIDS, "
    "N_KLIENTS.UZVARDS, N_KLIENTS.VARDS, O_KONSULT_PIET_HD.ISKABINETS, O_KONSULT_PIET_HD.ISIZPILDITAJS ISAGENTS, "
    "N_KABINETI.GNOS KABINETS%1 FROM O_KONSULT_PIET_HD, N_KLIENTS, N_KABINETI, N_VEIDI WHERE "
    "O_KONSULT_PIET_HD.ISKLIENTS = N_KLIENTS.ISN AND O_KONSULT_PIET_HD.ISKABINETS = N_KABINETI.ISN AND "
    "O_KONSULT_PIET_HD.ISVEIDS = N_VEIDI.ISN AND (O_KONSULT_PIET_HD.DZESTS IS NULL OR O_KONSULT_PIET_HD.DZESTS=0) ");

// Hours before the colon, minutes after it ("01:30" is 90); 0 for a text that cannot be read.
int durationMinutes(const QString& text) {
    const QString t = text.trimmed();
    const int colon = t.indexOf(QLatin1Char(':'));
    if (colon < 0) return t.toInt() * 60;
    return t.left(colon).toInt() * 60 + t.mid(colon + 1).toInt();
}

QString hhmm(int minutes) {
    return QStringLiteral("%1:%2").arg(minutes / 60, 2, 10, QLatin1Char('0')).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QDateTime midnight(const QDate& date) { return QDateTime(date, QTime(0, 0)); }

// A stored date column compared with "= :date" matches only rows at midnight; the range query
// keeps that meaning.
bool atMidnight(const QVariant& v, QDate* date) {
    const QDateTime dt = v.toDateTime();
    if (!dt.isValid() || dt.time() != QTime(0, 0)) return false;
    *date = dt.date();
    return true;
}

}  // namespace

std::array<quint32, 6> DefaultColors() {
    return {0x00C0DCC0u, 0x00F0CAA6u, 0x008CE6F0u, 0x00CBC0FFu, 0x00B5E4FFu, 0x00E6F0FAu};
}

QString CheckListItemText(const QString& name, int key) {
    return name.leftJustified(50, QLatin1Char(' ')) + QLatin1Char('|') + QString::number(key);
}

int CheckListItemKey(const QString& itemText) {
    const int bar = itemText.lastIndexOf(QLatin1Char('|'));
    return bar < 0 ? 0 : itemText.mid(bar + 1).trimmed().toInt();
}

QString PlannerStore::LockedMessage() { return tr("Datums ir bloķēts, labošanu izdarīt nedrīkst !!!"); }

PlannerSettings PlannerStore::settings() {
    PlannerSettings s;
    const db::ResultSet row = m_db.select(QStringLiteral(
        "SELECT DARBA_LAIKS_NO, DARBA_LAIKS_LIDZ, DARBADIENA_1, DARBADIENA_2, DARBADIENA_3, DARBADIENA_4, "
        "DARBADIENA_5, DARBADIENA_6, DARBADIENA_7, COLOR_1, COLOR_2, COLOR_3, COLOR_4, COLOR_5, COLOR_6 FROM N_ISI"));
    if (row.isEmpty()) {
        s.workFrom = QStringLiteral("8:00");
        s.workTo = QStringLiteral("18:00");
        return s;
    }
    s.workFrom = row.value(0, 0).toString().trimmed();
    s.workTo = row.value(0, 1).toString().trimmed();
    for (int d = 0; d < 7; ++d) s.workingDays[size_t(d)] = row.value(0, 2 + d).toInt() == 1;
    const auto defaults = DefaultColors();
    for (int c = 0; c < 6; ++c) {
        const quint32 stored = quint32(row.value(0, 9 + c).toLongLong());
        s.colors[size_t(c)] = stored != 0 ? stored : defaults[size_t(c)];
    }
    return s;
}

QList<PlannerResource> PlannerStore::specialists() {
    const db::ResultSet rows = m_db.select(QStringLiteral(
        "SELECT ISN, UZVARDS, VARDS, NESTRADA_DATUMS, NESTRADA_DIENAS FROM N_AGENTS WHERE (BLOKETS IS NULL OR "
        "BLOKETS=0) AND ISN>1 ORDER BY UZVARDS, VARDS"));
    QList<PlannerResource> list;
    for (int r = 0; r < rows.rowCount(); ++r) {
        PlannerResource res;
        res.key = rows.value(r, 0).toInt();
        res.name = QString(rows.value(r, 1).toString().trimmed() + QLatin1Char(' ') + rows.value(r, 2).toString().trimmed()).trimmed();
        res.nonReceivingDates = rows.value(r, 3).toString();
        res.nonReceivingDays = rows.value(r, 4).toString();
        list.append(res);
    }
    return list;
}

QList<PlannerResource> PlannerStore::rooms() {
    const db::ResultSet rows = m_db.select(QStringLiteral("SELECT ISN, GNOS, KODS FROM N_KABINETI ORDER BY KODS, GNOS"));
    QList<PlannerResource> list;
    for (int r = 0; r < rows.rowCount(); ++r) {
        PlannerResource res;
        res.key = rows.value(r, 0).toInt();
        const QString name = rows.value(r, 1).toString().trimmed();
        const QString code = rows.value(r, 2).toString().trimmed();
        res.name = code.isEmpty() ? name : code + QLatin1Char(' ') + name;
        list.append(res);
    }
    return list;
}

QVector<PlannerColumn> PlannerStore::columnsOf(const PlannerQuery& query) const {
    QVector<PlannerColumn> columns;
    columns.reserve(query.days.size() * query.resources.size());
    for (const QDate& day : query.days)
        for (const PlannerResource& res : query.resources) columns.append(PlannerColumn{day, res.key, res.name});
    return columns;
}

void PlannerStore::addBackgroundBlocks(const PlannerQuery& query, const QVector<PlannerColumn>& columns,
                                       const QSet<QDate>& holidays,
                                       QVector<QVector<PlannerBlock>>& perColumn) const {
    const int rangeStart = query.range.startHour * 60;
    const int rangeMinutes = (query.range.endHour - query.range.startHour) * 60;
    const QString all = references::NonReceivingTimes::All();
    for (int c = 0; c < columns.size(); ++c) {
        const PlannerColumn& column = columns.at(c);
        if (holidays.contains(column.date)) {
            PlannerBlock b;
            b.kind = BlockKind::Holiday;
            b.column = c;
            b.startMinutes = rangeStart;
            b.durationMinutes = rangeMinutes;
            b.color = query.settings.colors[3];
            b.firstText = QStringLiteral(" ");
            b.secondText = tr("Svētku diena");
            perColumn[c].append(b);
        }
        if (query.kind != ColumnKind::Specialists) continue;
        const PlannerResource& res = query.resources.at(c % query.resources.size());
        auto addLine = [&](const references::NonReceivingLine& line) {
            PlannerBlock b;
            b.kind = BlockKind::NonReceiving;
            b.column = c;
            b.color = query.settings.colors[2];
            b.firstText = QStringLiteral(" ");
            b.secondText = tr("Nav pieņemšana");
            if (line.time == all) {
                b.startMinutes = rangeStart;
                b.durationMinutes = rangeMinutes;
            } else {
                const int from = app::TimeToMinutes(line.time.section(QLatin1Char('-'), 0, 0).trimmed());
                const int to = app::TimeToMinutes(line.time.section(QLatin1Char('-'), 1, 1).trimmed());
                if (from < 0 || to <= from) return;  // a range that cannot be read shows nothing
                b.startMinutes = from;
                b.durationMinutes = to - from;
            }
            perColumn[c].append(b);
        };
        for (const auto& line : references::NonReceivingTimes::Parse(res.nonReceivingDates)) {
            if (line.day == all) {
                addLine(line);
                continue;
            }
            QDate date = QDate::fromString(line.day, QStringLiteral("dd.MM.yyyy"));
            if (!date.isValid()) date = QDate(1900, 1, 1);
            if (date == column.date) addLine(line);
        }
        for (const auto& line : references::NonReceivingTimes::Parse(res.nonReceivingDays))
            if (line.day == all || line.day.toInt() == column.date.dayOfWeek()) addLine(line);
    }
}

PlannerBlock PlannerStore::appointmentBlock(const PlannerQuery& query, const db::ResultSet& rows, int r,
                                            int column) const {
    PlannerBlock b;
    b.kind = BlockKind::Appointment;
    b.column = column;
    b.appointmentKey = rows.value(r, 0).toInt();
    b.startMinutes = app::TimeToMinutes(rows.value(r, 1).toString().trimmed());
    b.callStatus = rows.value(r, 2).toInt();
    b.durationMinutes = durationMinutes(rows.value(r, 3).toString());
    const QString type = rows.value(r, 4).toString().trimmed();
    const QString notes = rows.value(r, 5).toString().trimmed();
    const QString patient = rows.value(r, 7).toString().trimmed() + QLatin1Char(' ') + rows.value(r, 8).toString().trimmed();
    b.roomKey = rows.value(r, 9).toInt();
    b.specialistKey = query.kind == ColumnKind::Specialists ? query.resources.at(column % query.resources.size()).key
                                                            : rows.value(r, 10).toInt();
    if (query.contentsOption == 1) {
        b.firstText = type;
        b.secondText = notes.isEmpty() ? patient : patient + QLatin1Char('-') + notes;
    } else {
        b.firstText = patient;
        b.secondText = notes.isEmpty() ? type : type + QLatin1Char('-') + notes;
    }
    const int waitingColumn = rows.columnIndex(QStringLiteral("PIRMS_DATUMA"));
    const bool waiting = waitingColumn >= 0 && rows.value(r, waitingColumn).toInt() == 1;
    b.color = query.settings.colors[waiting ? 1 : 0];
    const int stampColumn = rows.columnIndex(QStringLiteral("IEVDAT_EDIT"));
    if (stampColumn >= 0) b.stamp = rows.value(r, stampColumn);
    return b;
}

QHash<int, quint32> PlannerStore::specialistColors() {
    QHash<int, quint32> colors;
    const db::ResultSet rows = m_db.select(QStringLiteral("SELECT ISN, COLOR FROM N_AGENTS WHERE COLOR > 0"));
    for (int r = 0; r < rows.rowCount(); ++r) colors.insert(rows.value(r, 0).toInt(), quint32(rows.value(r, 1).toLongLong()));
    return colors;
}

QString PlannerStore::RangeSql(int keyCount, ColumnKind kind) {
    QStringList keys;
    for (int i = 0; i < keyCount; ++i) keys << QStringLiteral(":K%1").arg(i);
    const QString column = kind == ColumnKind::Specialists ? QStringLiteral("O_KONSULT_PIET_HD.ISIZPILDITAJS")
                                                           : QStringLiteral("O_KONSULT_PIET_HD.ISKABINETS");
    return AppointmentSelect.arg(QStringLiteral(", O_KONSULT_PIET_HD.PLAN_DAT, O_KONSULT_PIET_HD.PIRMS_DATUMA, "
                                                "O_KONSULT_PIET_HD.IEVDAT_EDIT")) +
           QStringLiteral("AND O_KONSULT_PIET_HD.PLAN_DAT >= :PLAN_NO AND O_KONSULT_PIET_HD.PLAN_DAT <= :PLAN_LIDZ AND ") +
           column + QStringLiteral(" IN (") + keys.join(QStringLiteral(", ")) +
           QStringLiteral(") ORDER BY O_KONSULT_PIET_HD.PLAN_DAT, O_KONSULT_PIET_HD.PLAN_LAIKS");
}

PlannerData PlannerStore::read(const PlannerQuery& query) {
    PlannerData data;
    data.columns = columnsOf(query);
    if (data.columns.isEmpty()) return data;
    const QDate first = query.days.first();
    const QDate last = query.days.last();

    QSet<QDate> holidays;
    const db::ResultSet holidayRows = m_db.select(
        QStringLiteral("SELECT DATUMS FROM N_SVETKI WHERE FLAG=1 AND DATUMS >= :NO AND DATUMS <= :LIDZ"),
        {{QStringLiteral("NO"), midnight(first)}, {QStringLiteral("LIDZ"), midnight(last)}});
    for (int r = 0; r < holidayRows.rowCount(); ++r) {
        QDate date;
        if (atMidnight(holidayRows.value(r, 0), &date)) holidays.insert(date);
    }
    QVector<QVector<PlannerBlock>> perColumn(data.columns.size());
    addBackgroundBlocks(query, data.columns, holidays, perColumn);

    // Columns by day and key; a row lands in the column of its date and specialist or room.
    QHash<QDate, int> dayIndex;
    for (int d = 0; d < query.days.size(); ++d) dayIndex.insert(query.days.at(d), d);
    QHash<int, int> keyIndex;
    db::Params params{{QStringLiteral("PLAN_NO"), midnight(first)}, {QStringLiteral("PLAN_LIDZ"), midnight(last)}};
    for (int k = 0; k < query.resources.size(); ++k) {
        keyIndex.insert(query.resources.at(k).key, k);
        params.insert(QStringLiteral("K%1").arg(k), query.resources.at(k).key);
    }
    const db::ResultSet rows = m_db.select(RangeSql(int(query.resources.size()), query.kind), params);
    const int dateColumn = rows.columnIndex(QStringLiteral("PLAN_DAT"));
    const int keyColumn = rows.columnIndex(query.kind == ColumnKind::Specialists ? QStringLiteral("ISAGENTS")
                                                                                 : QStringLiteral("ISKABINETS"));
    for (int r = 0; r < rows.rowCount(); ++r) {
        QDate date;
        if (!atMidnight(rows.value(r, dateColumn), &date)) continue;
        const auto day = dayIndex.constFind(date);
        const auto key = keyIndex.constFind(rows.value(r, keyColumn).toInt());
        if (day == dayIndex.cend() || key == keyIndex.cend()) continue;
        const int column = day.value() * int(query.resources.size()) + key.value();
        perColumn[column].append(appointmentBlock(query, rows, r, column));
    }

    const QHash<int, quint32> own = specialistColors();
    for (auto& blocks : perColumn)
        for (PlannerBlock& b : blocks) {
            if (b.kind == BlockKind::Appointment && own.contains(b.specialistKey)) b.color = own.value(b.specialistKey);
            data.blocks.append(b);
        }
    return data;
}

PlannerData PlannerStore::readPerColumn(const PlannerQuery& query) {
    PlannerData data;
    data.columns = columnsOf(query);
    const QString byKey = query.kind == ColumnKind::Specialists
                              ? QStringLiteral("AND O_KONSULT_PIET_HD.ISIZPILDITAJS=:ISAGENTS")
                              : QStringLiteral("AND O_KONSULT_PIET_HD.ISKABINETS=:ISKABINETS");
    const QString sql = AppointmentSelect.arg(QStringLiteral(", O_KONSULT_PIET_HD.PIRMS_DATUMA, O_KONSULT_PIET_HD.IEVDAT_EDIT")) +
                        QStringLiteral("AND O_KONSULT_PIET_HD.PLAN_DAT = :PLAN_DAT ") + byKey +
                        QStringLiteral(" ORDER BY O_KONSULT_PIET_HD.PLAN_LAIKS");
    QSet<QDate> holidays;
    for (const PlannerColumn& column : data.columns)
        if (!m_db.select(QStringLiteral("SELECT ISN, GNOS FROM N_SVETKI WHERE FLAG=1 AND DATUMS=:DATUMS"),
                         {{QStringLiteral("DATUMS"), midnight(column.date)}})
                 .isEmpty())
            holidays.insert(column.date);
    QVector<QVector<PlannerBlock>> perColumn(data.columns.size());
    addBackgroundBlocks(query, data.columns, holidays, perColumn);
    for (int c = 0; c < data.columns.size(); ++c) {
        const PlannerColumn& column = data.columns.at(c);
        const db::ResultSet rows =
            m_db.select(sql, {{QStringLiteral("PLAN_DAT"), midnight(column.date)},
                              {query.kind == ColumnKind::Specialists ? QStringLiteral("ISAGENTS") : QStringLiteral("ISKABINETS"),
                               column.key}});
        for (int r = 0; r < rows.rowCount(); ++r) perColumn[c].append(appointmentBlock(query, rows, r, c));
    }
    for (auto& blocks : perColumn)
        for (PlannerBlock& b : blocks) {
            if (b.kind == BlockKind::Appointment) {
                const int color = int(app::LookupNumber(m_db, QStringLiteral("COLOR"), b.specialistKey, QStringLiteral("N_AGENTS")));
                if (color > 0) b.color = quint32(color);
            }
            data.blocks.append(b);
        }
    return data;
}

QString PlannerStore::moveRefusal(const AppointmentMove& move) {
    if (!app::IsDayOpen(m_db, move.fromDate) || !app::IsDayOpen(m_db, move.toDate)) return LockedMessage();
    return {};
}

bool PlannerStore::slotTaken(const AppointmentMove& move) {
    const QString column =
        move.kind == ColumnKind::Specialists ? QStringLiteral("ISIZPILDITAJS") : QStringLiteral("ISKABINETS");
    const db::ResultSet rows = m_db.select(
        QStringLiteral("SELECT PLAN_LAIKS, PLAN_ILGUMS FROM O_KONSULT_PIET_HD WHERE PLAN_DAT = :PLAN_DAT AND ") + column +
            QStringLiteral(" = :KEY AND ISN <> :ISN AND (DZESTS IS NULL OR DZESTS=0)"),
        {{QStringLiteral("PLAN_DAT"), midnight(move.toDate)},
         {QStringLiteral("KEY"), move.targetKey},
         {QStringLiteral("ISN"), move.appointmentKey}});
    const int start = move.toMinutes;
    const int end = start + std::max(move.durationMinutes, 1);
    for (int r = 0; r < rows.rowCount(); ++r) {
        const int otherStart = app::TimeToMinutes(rows.value(r, 0).toString().trimmed());
        if (otherStart < 0) continue;
        const int otherEnd = otherStart + std::max(durationMinutes(rows.value(r, 1).toString()), 1);
        if (otherStart < end && start < otherEnd) return true;
    }
    return false;
}

MoveResult PlannerStore::move(const AppointmentMove& move, int userIsn) {
    MoveResult result;
    result.message = moveRefusal(move);
    if (!result.message.isEmpty()) return result;
    const QString column =
        move.kind == ColumnKind::Specialists ? QStringLiteral("ISIZPILDITAJS") : QStringLiteral("ISKABINETS");
    db::Params params{{column, move.targetKey},
                      {QStringLiteral("PLAN_DAT"), midnight(move.toDate)},
                      {QStringLiteral("PLAN_LAIKS"), hhmm(move.toMinutes)},
                      {QStringLiteral("ISUSER_EDIT"), userIsn},
                      {QStringLiteral("IEVDAT_EDIT"), QDateTime::currentDateTime()},
                      {QStringLiteral("ISN"), move.appointmentKey}};
    const QString unchanged = db::UnchangedSince(move.stamp, params);
    db::Transaction tx(m_db);
    const int n = tx.exec(QStringLiteral("UPDATE O_KONSULT_PIET_HD SET ") + column + QStringLiteral("=:") + column +
                              QStringLiteral(", PLAN_DAT=:PLAN_DAT, PLAN_LAIKS=:PLAN_LAIKS, ISUSER_EDIT=:ISUSER_EDIT, "
                                             "IEVDAT_EDIT=:IEVDAT_EDIT WHERE ISN=:ISN") +
                              unchanged,
                          params);
    if (n == 0) {
        tx.rollback();
        result.message = db::StaleRowError::Message();
        result.stale = true;
        return result;
    }
    const db::ResultSet row = tx.select(QStringLiteral("SELECT NUMURS, DATUMS FROM O_KONSULT_PIET_HD WHERE ISN=:ISN"),
                                        {{QStringLiteral("ISN"), move.appointmentKey}});
    app::WriteJournal(tx, userIsn, QStringLiteral("L"), row.first(QStringLiteral("NUMURS")).toString().trimmed(),
                      AppointmentTable, move.appointmentKey, QStringLiteral("Drag&Drop"),
                      row.first(QStringLiteral("DATUMS")).toDateTime());
    tx.commit();
    result.moved = true;
    return result;
}

}  // namespace calendar
