#include "calendar/ReminderStore.h"

#include "app/TimeText.h"

#include <QHash>
#include <algorithm>

namespace calendar {

namespace {

QString ymd(QDate d) { return d.toString(QStringLiteral("yyyy-MM-dd")); }
QDateTime midnight(QDate d) { return QDateTime(d, QTime(0, 0)); }
QString fullName(const db::ResultSet& rows, int r) {
    return rows.value(r, QStringLiteral("VARDS")).toString().trimmed() + u' ' +
           rows.value(r, QStringLiteral("UZVARDS")).toString().trimmed();
}

}  // namespace

int ReminderStore::setting(const QString& column) {
    return qMax(0, m_db.scalar(QStringLiteral("SELECT FIRST 1 %1 FROM N_ISI").arg(column)).toInt());
}
int ReminderStore::holidayDays() { return setting(QStringLiteral("REMIND_SVETKI_DIENAS")); }
int ReminderStore::appointmentDays() { return setting(QStringLiteral("REMIND_KONSULTAC_DIENAS")); }

QPair<QString, QString> ReminderStore::HolidayWindow(QDate today, int days) {
    return {ymd(today.addDays(-qMax(0, days))), ymd(today)};
}

QList<HolidayReminder> ReminderStore::holidays(QDate today) {
    const auto [low, high] = HolidayWindow(today, holidayDays());
    // A window across the new year has ends of two years: a day is tried with each end's year.
    const QString y1 = low.left(4) + u'-', y2 = high.left(4) + u'-';
    const QString birthday = QStringLiteral("SUBSTRING(CAST(CAST(DZIM_DAT AS DATE) AS VARCHAR(10)) FROM 6 FOR 5)");
    const QString nameday = QStringLiteral("(SUBSTRING(VARDA_DIENA FROM 4 FOR 2) || '-' || SUBSTRING(VARDA_DIENA FROM 1 FOR 2))");
    auto inWindow = [](const QString& monthDay) {
        return QStringLiteral("((CAST(:Y1 AS VARCHAR(5)) || %1) BETWEEN :LO AND :HI OR (CAST(:Y2 AS VARCHAR(5)) || %1) BETWEEN :LO AND :HI)")
            .arg(monthDay);
    };
    const QString sql =
        QStringLiteral("SELECT ISN, VARDS, UZVARDS, MOB_TEL, E_MAIL, SEND_SMS, %1 MD, 1 MARKER FROM N_KLIENTS "
                       "WHERE ISN > 1 AND DZIM_DAT IS NOT NULL AND %2 "
                       "UNION ALL "
                       "SELECT ISN, VARDS, UZVARDS, MOB_TEL, E_MAIL, SEND_SMS, %3 MD, 2 MARKER FROM N_KLIENTS "
                       "WHERE ISN > 1 AND VARDA_DIENA IS NOT NULL AND CHAR_LENGTH(VARDA_DIENA) = 5 AND %4")
            .arg(birthday, inWindow(birthday), nameday, inWindow(nameday));
    const db::ResultSet rows = m_db.select(sql, {{QStringLiteral("Y1"), y1}, {QStringLiteral("Y2"), y2},
                                                 {QStringLiteral("LO"), low}, {QStringLiteral("HI"), high}});
    QList<HolidayReminder> out;
    const QString todayMd = today.toString(QStringLiteral("MM-dd"));
    for (int r = 0; r < rows.rowCount(); ++r) {
        HolidayReminder h;
        h.patient = rows.value(r, QStringLiteral("ISN")).toInt();
        h.name = fullName(rows, r);
        h.mobTel = rows.value(r, QStringLiteral("MOB_TEL")).toString().trimmed();
        h.email = rows.value(r, QStringLiteral("E_MAIL")).toString().trimmed();
        const QString md = rows.value(r, QStringLiteral("MD")).toString();
        h.day = (y1 + md >= low && y1 + md <= high) ? y1 + md : y2 + md;
        const QString shown = md.mid(3, 2) + u'.' + md.left(2);
        const bool birth = rows.value(r, QStringLiteral("MARKER")).toInt() == 1;
        h.text = (md == todayMd ? tr("Šodien") : shown) + (birth ? tr(" dzimšanas diena") : tr(" vārda diena"));
        out.append(h);
    }
    std::stable_sort(out.begin(), out.end(), [](const HolidayReminder& a, const HolidayReminder& b) {
        if (a.day != b.day) return a.day < b.day;
        return a.email < b.email;
    });
    return out;
}

QList<ProphylaxisReminder> ReminderStore::prophylaxis(QDate today) {
    const db::ResultSet rows = m_db.select(QStringLiteral(
        "SELECT K.ISN ISKLIENTS, K.VARDS, K.UZVARDS, K.MOB_TEL, K.E_MAIL, D.ISN ISLINE, D.ISPRECE, P.GNOS, "
        "P.FIRST_NOTIF, P.SECOND_NOTIF, H.DATUMS, D.ATGAD_SMS, D.ATGAD_EMAIL "
        "FROM O_ARSTESANA_DT D JOIN O_KONSULTACIJA_HD H ON H.ISN = D.ISKONSULTACIJAHD "
        "JOIN N_KLIENTS K ON K.ISN = H.ISKLIENTS JOIN N_PRECE P ON P.ISN = D.ISPRECE "
        "WHERE P.FIRST_NOTIF > 0 AND (H.DZESTS IS NULL OR H.DZESTS = 0) AND (D.DZESTS IS NULL OR D.DZESTS = 0) "
        "ORDER BY K.ISN, D.ISPRECE, H.DATUMS DESC, D.ISN DESC"));
    struct Sorted {
        QString surname, first;
        ProphylaxisReminder row;
    };
    QList<Sorted> found;
    int lastPatient = -1, lastItem = -1;
    for (int r = 0; r < rows.rowCount(); ++r) {
        const int patient = rows.value(r, QStringLiteral("ISKLIENTS")).toInt();
        const int item = rows.value(r, QStringLiteral("ISPRECE")).toInt();
        // Only the latest treatment with the item counts for the patient.
        if (patient == lastPatient && item == lastItem) continue;
        lastPatient = patient;
        lastItem = item;
        const QDate done = rows.value(r, QStringLiteral("DATUMS")).toDateTime().date();
        const int first = rows.value(r, QStringLiteral("FIRST_NOTIF")).toInt();
        const int second = rows.value(r, QStringLiteral("SECOND_NOTIF")).toInt();
        auto due = [&](const QVariant& sent) {
            if (sent.isNull()) return done.daysTo(today) > first;
            return second > 0 && sent.toDate().daysTo(today) > second;
        };
        ProphylaxisReminder p;
        p.smsDue = due(rows.value(r, QStringLiteral("ATGAD_SMS")));
        p.emailDue = due(rows.value(r, QStringLiteral("ATGAD_EMAIL")));
        if (!p.smsDue && !p.emailDue) continue;
        p.patient = patient;
        p.line = rows.value(r, QStringLiteral("ISLINE")).toInt();
        p.name = fullName(rows, r);
        p.procedure = rows.value(r, QStringLiteral("GNOS")).toString().trimmed();
        p.date = done;
        p.mobTel = rows.value(r, QStringLiteral("MOB_TEL")).toString().trimmed();
        p.email = rows.value(r, QStringLiteral("E_MAIL")).toString().trimmed();
        found.append({rows.value(r, QStringLiteral("UZVARDS")).toString().trimmed(),
                      rows.value(r, QStringLiteral("VARDS")).toString().trimmed(), p});
    }
    std::stable_sort(found.begin(), found.end(), [](const Sorted& a, const Sorted& b) {
        const int c = QString::localeAwareCompare(a.surname, b.surname);
        if (c != 0) return c < 0;
        return QString::localeAwareCompare(a.first, b.first) < 0;
    });
    QList<ProphylaxisReminder> out;
    for (const Sorted& s : found) out.append(s.row);
    return out;
}

QList<AppointmentReminder> ReminderStore::appointments(QDate today) {
    return appointments(today, today.addDays(appointmentDays()));
}

QList<AppointmentReminder> ReminderStore::appointments(QDate from, QDate to) {
    // One row per appointment, in the patients' order; the patients are then taken once each.
    const db::ResultSet rows = m_db.select(
        QStringLiteral("SELECT N_KLIENTS.ISN, N_KLIENTS.VARDS, N_KLIENTS.UZVARDS, N_KLIENTS.MOB_TEL, N_KLIENTS.E_MAIL, "
                       "N_KLIENTS.SEND_SMS, N_VEIDI.GNOS VEIDS, O_KONSULT_PIET_HD.PLAN_DAT, O_KONSULT_PIET_HD.PLAN_LAIKS "
                       "FROM O_KONSULT_PIET_HD JOIN N_KLIENTS ON N_KLIENTS.ISN = O_KONSULT_PIET_HD.ISKLIENTS "
                       "LEFT JOIN N_VEIDI ON N_VEIDI.ISN = O_KONSULT_PIET_HD.ISVEIDS "
                       "WHERE O_KONSULT_PIET_HD.PLAN_DAT BETWEEN :DAT_NO AND :DAT_LIDZ AND N_KLIENTS.ISN > 1 "
                       "AND (O_KONSULT_PIET_HD.DZESTS IS NULL OR O_KONSULT_PIET_HD.DZESTS = 0) "
                       "ORDER BY N_KLIENTS.UZVARDS, N_KLIENTS.VARDS, N_KLIENTS.ISN, O_KONSULT_PIET_HD.PLAN_DAT, "
                       "O_KONSULT_PIET_HD.PLAN_LAIKS"),
        {{QStringLiteral("DAT_NO"), midnight(from)}, {QStringLiteral("DAT_LIDZ"), midnight(to)}});
    QList<AppointmentReminder> out;
    for (int r = 0; r < rows.rowCount(); ++r) {
        const int patient = rows.value(r, QStringLiteral("ISN")).toInt();
        const QDate day = rows.value(r, QStringLiteral("PLAN_DAT")).toDateTime().date();
        const int minutes = app::TimeToMinutes(rows.value(r, QStringLiteral("PLAN_LAIKS")).toString().trimmed());
        const QDateTime when = QDateTime(day, QTime(0, 0)).addSecs(qint64(qMax(0, minutes)) * 60);
        if (!out.isEmpty() && out.last().patient == patient) {
            out.last().times.append(when);
            continue;
        }
        AppointmentReminder a;
        a.patient = patient;
        a.name = fullName(rows, r);
        a.procedure = rows.value(r, QStringLiteral("VEIDS")).toString().trimmed();
        a.mobTel = rows.value(r, QStringLiteral("MOB_TEL")).toString().trimmed();
        a.email = rows.value(r, QStringLiteral("E_MAIL")).toString().trimmed();
        a.times.append(when);
        out.append(a);
    }
    return out;
}

}  // namespace calendar
