#pragma once
// A small clinic written straight into a test database: specialists, rooms, consultation types,
// patients, appointments, holidays and locked days.
#include "db/Database.h"
#include "db/Transaction.h"

#include <QDate>
#include <QString>

class ClinicFixture {
public:
    explicit ClinicFixture(db::Database& database) : m_db(database) {}

    int specialist(const QString& surname, const QString& name, int color = 0, const QString& datesOff = {},
                   const QString& daysOff = {}) {
        return insert(QStringLiteral("INSERT INTO N_AGENTS (UZVARDS, VARDS, COLOR, NESTRADA_DATUMS, NESTRADA_DIENAS) "
                                     "VALUES (:U, :V, :C, :D, :W) RETURNING ISN"),
                      {{"U", surname}, {"V", name}, {"C", color}, {"D", nullable(datesOff)}, {"W", nullable(daysOff)}});
    }
    int room(const QString& name, const QString& code = {}) {
        return insert(QStringLiteral("INSERT INTO N_KABINETI (GNOS, KODS) VALUES (:G, :K) RETURNING ISN"),
                      {{"G", name}, {"K", nullable(code)}});
    }
    int type(const QString& name) {
        return insert(QStringLiteral("INSERT INTO N_VEIDI (GNOS) VALUES (:G) RETURNING ISN"), {{"G", name}});
    }
    int patient(const QString& surname, const QString& name) {
        return insert(QStringLiteral("INSERT INTO N_KLIENTS (UZVARDS, VARDS) VALUES (:U, :V) RETURNING ISN"),
                      {{"U", surname}, {"V", name}});
    }
    struct Appointment {
        int patient = 0;
        int specialist = 0;
        int room = 0;
        int type = 0;
        QDate date;
        QString time = QStringLiteral("10:00");
        QString duration = QStringLiteral("01:00");
        QString notes;
        int callStatus = 0;
        bool cancelled = false;
    };
    int appointment(const Appointment& a) {
        ++m_number;
        return insert(QStringLiteral("INSERT INTO O_KONSULT_PIET_HD (NUMURS, DATUMS, ISKLIENTS, ISIZPILDITAJS, ISKABINETS, "
                                     "ISVEIDS, PLAN_DAT, PLAN_LAIKS, PLAN_ILGUMS, PIEZIMES, CALL_STATUS, DZESTS) VALUES "
                                     "(:N, :D, :K, :A, :R, :T, :P, :L, :I, :Z, :S, :X) RETURNING ISN"),
                      {{"N", QString::number(m_number).rightJustified(20)},
                       {"D", QDateTime(a.date.addDays(-7), QTime(9, 0))},
                       {"K", a.patient},
                       {"A", a.specialist},
                       {"R", a.room},
                       {"T", a.type},
                       {"P", QDateTime(a.date, QTime(0, 0))},
                       {"L", a.time},
                       {"I", a.duration},
                       {"Z", nullable(a.notes)},
                       {"S", a.callStatus},
                       {"X", a.cancelled ? QVariant(1) : QVariant()}});
    }
    void holiday(const QDate& date, const QString& name) {
        insert(QStringLiteral("INSERT INTO N_SVETKI (DATUMS, GNOS, FLAG) VALUES (:D, :G, 1) RETURNING ISN"),
               {{"D", QDateTime(date, QTime(0, 0))}, {"G", name}});
    }
    void lockDay(const QDate& date) {
        insert(QStringLiteral("INSERT INTO O_DIENAS (DATUMS, FLAG) VALUES (:D, 'T') RETURNING ISN"), {{"D", date}});
    }
    void setWorkingDays(const QList<int>& weekdays) {
        db::Transaction tx(m_db);
        for (int d = 1; d <= 7; ++d)
            tx.exec(QStringLiteral("UPDATE N_ISI SET DARBADIENA_%1=:F").arg(d), {{"F", weekdays.contains(d) ? 1 : 0}});
        tx.commit();
    }

private:
    static QVariant nullable(const QString& text) { return text.isEmpty() ? QVariant() : QVariant(text); }
    int insert(const QString& sql, const db::Params& params) {
        db::Transaction tx(m_db);
        const int key = tx.scalar(sql, params).toInt();
        tx.commit();
        return key;
    }

    db::Database& m_db;
    int m_number = 1000;
};
