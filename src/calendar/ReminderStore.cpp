#include "calendar/ReminderStore.h"

#include "app/TimeText.h"

#include <QHash>
#include <algorithm>
#include <tuple>
#include <vector>

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

QString ReminderStore::ProphylaxisSql(int boundItems) {
    // The items are bound as a list when there are few (there are a handful in a price list):
    // the engine then walks the item index once for all of them and visits the treatment lines in
    // storage order, instead of once per item over the whole table.
    const QString header = QStringLiteral("JOIN O_KONSULTACIJA_HD H ON H.ISN = D.ISKONSULTACIJAHD");
    QString itemLines = QStringLiteral("FROM N_PRECE I JOIN O_ARSTESANA_DT D ON D.ISPRECE = I.ISN %1 WHERE I.FIRST_NOTIF > 0").arg(header);
    if (boundItems > 0) {
        QStringList keys;
        for (int k = 0; k < boundItems; ++k) keys << QStringLiteral(":P%1").arg(k);
        itemLines = QStringLiteral("FROM O_ARSTESANA_DT D %1 WHERE D.ISPRECE IN (%2)").arg(header, keys.join(QStringLiteral(", ")));
    }
    // The latest line of each patient and item is picked by the engine over narrow rows; only
    // those lines are tested for being due and get the patient's columns.
    auto due = [](const QString& sent) {
        return QStringLiteral("IIF((L.%1 IS NULL AND DATEDIFF(DAY, CAST(L.DATUMS AS DATE), CAST(:TODAY AS DATE)) > P.FIRST_NOTIF) "
                              "OR (L.%1 IS NOT NULL AND P.SECOND_NOTIF > 0 AND DATEDIFF(DAY, L.%1, CAST(:TODAY AS DATE)) > P.SECOND_NOTIF), 1, 0)")
            .arg(sent);
    };
    return QStringLiteral(
               "SELECT X.ISKLIENTS, X.ISPRECE, X.ISLINE, X.DATUMS, X.SMS_DUE, X.EMAIL_DUE, K.VARDS, K.UZVARDS, K.MOB_TEL, K.E_MAIL "
               "FROM (SELECT L.ISKLIENTS, L.ISPRECE, L.ISLINE, L.DATUMS, %1 SMS_DUE, %2 EMAIL_DUE "
               "FROM (SELECT H.ISKLIENTS, D.ISPRECE, D.ISN ISLINE, H.DATUMS, D.ATGAD_SMS, D.ATGAD_EMAIL, "
               "ROW_NUMBER() OVER (PARTITION BY H.ISKLIENTS, D.ISPRECE ORDER BY H.DATUMS DESC, D.ISN DESC) NEWEST "
               "%3 AND (H.DZESTS IS NULL OR H.DZESTS = 0) AND (D.DZESTS IS NULL OR D.DZESTS = 0)) L "
               "JOIN N_PRECE P ON P.ISN = L.ISPRECE WHERE L.NEWEST = 1) X "
               "JOIN N_KLIENTS K ON K.ISN = X.ISKLIENTS WHERE X.SMS_DUE = 1 OR X.EMAIL_DUE = 1")
        .arg(due(QStringLiteral("ATGAD_SMS")), due(QStringLiteral("ATGAD_EMAIL")), itemLines);
}

QList<ProphylaxisReminder> ReminderStore::prophylaxis(QDate today) {
    const db::ResultSet items =
        m_db.select(QStringLiteral("SELECT ISN, GNOS FROM N_PRECE WHERE FIRST_NOTIF > 0"));
    if (items.isEmpty()) return {};
    QHash<int, QString> itemNames;
    db::Params params{{QStringLiteral("TODAY"), today}};
    const bool bound = items.rowCount() <= MaxBoundItems;
    for (int r = 0; r < items.rowCount(); ++r) {
        const int key = items.value(r, 0).toInt();
        itemNames.insert(key, items.value(r, 1).toString().trimmed());
        if (bound) params.insert(QStringLiteral("P%1").arg(r), key);
    }
    const db::ResultSet rows = m_db.select(ProphylaxisSql(bound ? items.rowCount() : 0), params);

    // Ordered by surname and first name as the user's locale sorts them, equal names by patient
    // and item. Only the distinct names go through the locale's comparison (far fewer than the
    // rows); the rows are then sorted by the ranks of their names.
    auto ranks = [&rows](int column) {
        QHash<QString, int> rank;
        for (int r = 0; r < rows.rowCount(); ++r) rank.insert(rows.value(r, column).toString().trimmed(), 0);
        QStringList names = rank.keys();
        std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return QString::localeAwareCompare(a, b) < 0; });
        int n = 0;
        for (int i = 0; i < names.size(); ++i) {
            if (i > 0 && QString::localeAwareCompare(names.at(i - 1), names.at(i)) != 0) ++n;
            rank[names.at(i)] = n;
        }
        return rank;
    };
    enum Column { Patient, Item, Line, Done, SmsDue, EmailDue, First, Surname, MobTel, Email };
    const QHash<QString, int> surnames = ranks(Surname), firsts = ranks(First);
    struct Sorted {
        int surname, first, item;
        ProphylaxisReminder row;
    };
    std::vector<Sorted> found;
    found.reserve(size_t(rows.rowCount()));
    for (int r = 0; r < rows.rowCount(); ++r) {
        const db::ResultSet::Row& v = rows.row(r);
        const QString surname = v.at(Surname).toString().trimmed(), first = v.at(First).toString().trimmed();
        ProphylaxisReminder p;
        p.patient = v.at(Patient).toInt();
        p.line = v.at(Line).toInt();
        p.name = first + u' ' + surname;
        p.procedure = itemNames.value(v.at(Item).toInt());
        p.date = v.at(Done).toDateTime().date();
        p.mobTel = v.at(MobTel).toString().trimmed();
        p.email = v.at(Email).toString().trimmed();
        p.smsDue = v.at(SmsDue).toInt() == 1;
        p.emailDue = v.at(EmailDue).toInt() == 1;
        found.push_back({surnames.value(surname), firsts.value(first), v.at(Item).toInt(), std::move(p)});
    }
    std::sort(found.begin(), found.end(), [](const Sorted& a, const Sorted& b) {
        return std::tie(a.surname, a.first, a.row.patient, a.item) < std::tie(b.surname, b.first, b.row.patient, b.item);
    });
    QList<ProphylaxisReminder> out;
    out.reserve(qsizetype(found.size()));
    for (Sorted& s : found) out.append(std::move(s.row));
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
