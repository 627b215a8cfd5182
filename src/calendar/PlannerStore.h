#pragma once
#include "calendar/CalendarLayout.h"
#include "db/Database.h"

#include <QCoreApplication>
#include <QHash>

#include <array>

namespace calendar {

// The clinic-wide colours of the planner (N_ISI.COLOR_1 ... COLOR_6, 0x00BBGGRR): appointments,
// appointments of patients waiting for an earlier slot, non-receiving times, holidays and the two
// alternating day headers. A stored 0 means the default.
std::array<quint32, 6> DefaultColors();

// What the planner reads of N_ISI each time it is shown.
struct PlannerSettings {
    QString workFrom;  // DARBA_LAIKS_NO, e.g. "8:00"
    QString workTo;
    std::array<bool, 7> workingDays{true, true, true, true, true, false, false};  // Monday first
    std::array<quint32, 6> colors = DefaultColors();                          // defaults put in for 0
};

// A specialist or room that can have columns.
struct PlannerResource {
    int key = 0;
    QString name;             // "Surname Name", or "CODE Room"
    QString nonReceivingDates;  // N_AGENTS.NESTRADA_DATUMS (specialists only)
    QString nonReceivingDays;   // N_AGENTS.NESTRADA_DIENAS
};

// A check-list item: the name padded with blanks to 50 characters, "|" and the key. Older settings
// and other workstations keep the same text.
QString CheckListItemText(const QString& name, int key);
// The key after the item's last "|"; 0 when there is none.
int CheckListItemKey(const QString& itemText);

// What one rebuild asks for.
struct PlannerQuery {
    QList<QDate> days;  // the shown working days, in order
    ColumnKind kind = ColumnKind::Specialists;
    QList<PlannerResource> resources;  // the checked specialists or rooms, in check-list order
    TimeRange range;
    int contentsOption = 0;  // 0: the patient's name first; 1: the consultation type first
    PlannerSettings settings;
};

struct PlannerData {
    QVector<PlannerColumn> columns;
    QVector<PlannerBlock> blocks;  // per column: holiday, non-receiving times, appointments by time
};

// A drag of an appointment to another column or time.
struct AppointmentMove {
    int appointmentKey = 0;
    QVariant stamp;  // IEVDAT_EDIT as the planner read it
    QDate fromDate;
    int durationMinutes = 0;
    ColumnKind kind = ColumnKind::Specialists;
    int targetKey = 0;  // the specialist or room of the target column
    QDate toDate;
    int toMinutes = 0;
};

struct MoveResult {
    bool moved = false;
    QString message;     // why nothing was stored
    bool stale = false;  // another workstation changed or deleted the appointment meanwhile
};

// The planner's reading of the database and its one write, the drag of an appointment.
class PlannerStore {
    Q_DECLARE_TR_FUNCTIONS(TKalendaraPlanosana)
public:
    explicit PlannerStore(db::Database& database) : m_db(database) {}

    PlannerSettings settings();
    // Specialists that are not blocked, by surname and name; rooms by code and name.
    QList<PlannerResource> specialists();
    QList<PlannerResource> rooms();

    // The columns and blocks of the shown days, from one query over the whole range.
    PlannerData read(const PlannerQuery& query);
    // The same, one query per column and day; kept to prove that read() shows the same blocks.
    PlannerData readPerColumn(const PlannerQuery& query);
    // The one statement read() runs for the appointments, with its parameters.
    static QString RangeSql(int keyCount, ColumnKind kind);

    // The refusal of a move before anything is asked: a locked day at either end.
    QString moveRefusal(const AppointmentMove& move);
    // True when another appointment of the target specialist or room overlaps the new time.
    bool slotTaken(const AppointmentMove& move);
    // Stores the new specialist or room, date and time, the audit columns and a "Drag&Drop"
    // journal row, and commits. Refuses a locked day and a row changed meanwhile.
    MoveResult move(const AppointmentMove& move, int userIsn);

    static QString LockedMessage();

private:
    QVector<PlannerColumn> columnsOf(const PlannerQuery& query) const;
    void addBackgroundBlocks(const PlannerQuery& query, const QVector<PlannerColumn>& columns,
                             const QSet<QDate>& holidays, QVector<QVector<PlannerBlock>>& perColumn) const;
    PlannerBlock appointmentBlock(const PlannerQuery& query, const db::ResultSet& rows, int r, int column) const;
    QHash<int, quint32> specialistColors();

    db::Database& m_db;
};

}  // namespace calendar
