#include "app/DayLockStore.h"

#include "app/SharedProcedures.h"
#include "db/Statement.h"

#include <QSet>

namespace app {

namespace {

QString flagOf(bool locked) { return locked ? QStringLiteral("T") : QStringLiteral("F"); }

}  // namespace

bool DayLockStore::lockInstallationRow(db::Transaction& tx) {
    // Workstations making days at the same moment would each see the same days missing and make
    // them twice (O_DIENAS has no unique date). The installation row serialises them: whoever
    // cannot lock it at once leaves the work to the one that holds it.
    try {
        tx.select(QStringLiteral("SELECT ISN FROM N_ISI WITH LOCK"));
        return true;
    } catch (const db::DbError& e) {
        if (e.isLockConflict()) return false;
        throw;
    }
}

int DayLockStore::ensureDays(const QDate& from, const QDate& to) {
    db::Transaction tx(m_db);
    if (!lockInstallationRow(tx)) return 0;
    const int made = ensureDays(tx, from, to);
    if (made > 0) tx.touch(QStringLiteral("O_DIENAS"));
    tx.commit();
    return made;
}

int DayLockStore::ensureDays(db::Transaction& tx, const QDate& from, const QDate& to) {
    if (!from.isValid() || !to.isValid() || to < from) return 0;
    const db::ResultSet stored =
        tx.select(QStringLiteral("SELECT DISTINCT DATUMS FROM O_DIENAS WHERE DATUMS BETWEEN :DATUMS_NO AND :DATUMS_LIDZ"),
                  {{QStringLiteral("DATUMS_NO"), from}, {QStringLiteral("DATUMS_LIDZ"), to}});
    QSet<QDate> have;
    have.reserve(stored.rowCount());
    for (int i = 0; i < stored.rowCount(); ++i) have.insert(stored.value(i, 0).toDate());
    int made = 0;
    if (have.size() < from.daysTo(to) + 1) {
        db::Statement insert(tx, QStringLiteral("INSERT INTO O_DIENAS (ISN, DATUMS, FLAG) VALUES (1,:DATUMS,'F')"));
        for (QDate d = from; d <= to; d = d.addDays(1)) {
            if (have.contains(d)) continue;
            insert.bind(QStringLiteral("DATUMS"), d);
            insert.execute();
            ++made;
        }
    }
    return made;
}

bool DayLockStore::needsFirstFill(const QDate& today) {
    const QVariant n = m_db.scalar(
        QStringLiteral("SELECT COUNT(*) SKAITS FROM O_DIENAS WHERE DATUMS=:D1 OR DATUMS=:D2"),
        {{QStringLiteral("D1"), QDate(1996, 1, 1)}, {QStringLiteral("D2"), QDate(lastYear(today) - 1, 1, 1)}});
    return n.toInt() < 2;
}

int DayLockStore::lockOlderDays(int keepOpen, const QDate& today) {
    if (keepOpen <= 0) return 0;
    db::Transaction tx(m_db);
    if (!lockInstallationRow(tx)) return 0;
    ensureDays(tx, QDate(today.year() - 1, 1, 1), QDate(today.year(), 12, 31));
    const int locked = tx.exec(QStringLiteral("UPDATE O_DIENAS SET FLAG='T' WHERE DATUMS<:DATUMS"),
                               {{QStringLiteral("DATUMS"), today.addDays(1 - keepOpen)}});
    tx.touch(QStringLiteral("O_DIENAS"));
    tx.commit();
    return locked;
}

int DayLockStore::lockOlderDays(const QDate& today) { return lockOlderDays(keepOpenDays(), today); }

QVector<bool> DayLockStore::fillMonth(int year, int month) {
    const QDate first(year, month, 1);
    const QDate last(year, month, first.daysInMonth());
    ensureDays(first, last);
    const db::ResultSet rows =
        m_db.select(QStringLiteral("SELECT DATUMS, FLAG FROM O_DIENAS WHERE DATUMS BETWEEN :DATUMS_NO AND :DATUMS_LIDZ"),
                    {{QStringLiteral("DATUMS_NO"), first}, {QStringLiteral("DATUMS_LIDZ"), last}});
    QVector<bool> days(first.daysInMonth(), false);
    for (int i = 0; i < rows.rowCount(); ++i) {
        const int day = rows.value(i, 0).toDate().day();
        if (rows.value(i, 1).toString() == QLatin1String("T")) days[day - 1] = true;
    }
    return days;
}

QVector<bool> DayLockStore::monthMarks(int year) {
    const db::ResultSet rows =
        m_db.select(QStringLiteral("SELECT DATUMS, FLAG FROM O_DIENAS WHERE DATUMS BETWEEN :DATUMS_NO AND :DATUMS_LIDZ"),
                    {{QStringLiteral("DATUMS_NO"), QDate(year, 1, 1)}, {QStringLiteral("DATUMS_LIDZ"), QDate(year, 12, 31)}});
    QVector<int> count(12, 0);
    QVector<bool> allLocked(12, true);
    for (int i = 0; i < rows.rowCount(); ++i) {
        const int m = rows.value(i, 0).toDate().month() - 1;
        ++count[m];
        if (rows.value(i, 1).toString() != QLatin1String("T")) allLocked[m] = false;
    }
    QVector<bool> marks(12);
    for (int m = 0; m < 12; ++m) marks[m] = count[m] > 0 && allLocked[m];
    return marks;
}

void DayLockStore::setDayInTransaction(db::Transaction& tx, const QDate& day, bool locked) {
    const QString flag = flagOf(locked);
    tx.exec(QStringLiteral("UPDATE O_DIENAS SET FLAG=:FLAG WHERE DATUMS=:DATUMS"),
            {{QStringLiteral("FLAG"), flag}, {QStringLiteral("DATUMS"), day}});
    WriteJournal(tx, m_session.UserIsn(), QStringLiteral("J"), flag, QStringLiteral("O_DIENAS"), 0, QString(),
                 QDateTime(day, QTime(0, 0)));
}

void DayLockStore::setDay(const QDate& day, bool locked) {
    db::Transaction tx(m_db);
    setDayInTransaction(tx, day, locked);
    tx.commit();
}

void DayLockStore::setMonth(int year, int month, bool locked) {
    const QDate first(year, month, 1);
    const QDate last(year, month, first.daysInMonth());
    db::Transaction tx(m_db);
    if (lockInstallationRow(tx)) ensureDays(tx, first, last);
    for (QDate d = first; d <= last; d = d.addDays(1)) setDayInTransaction(tx, d, locked);
    tx.touch(QStringLiteral("O_DIENAS"));
    tx.commit();
}

int DayLockStore::keepOpenDays() { return m_db.scalar(QStringLiteral("SELECT BLOKDIENAS FROM N_ISI")).toInt(); }

QString DayLockStore::setKeepOpenDays(const QString& text) {
    bool ok = false;
    const int days = text.trimmed().toInt(&ok);
    if (!ok) return tr("Atļaut koriģēt pēdējās dienas : jāievada vesels dienu skaits !!!");
    m_db.exec(QStringLiteral("UPDATE N_ISI SET BLOKDIENAS=:DIENAS"), {{QStringLiteral("DIENAS"), days}});
    m_db.touch(QStringLiteral("N_ISI"));
    m_db.commitRetaining();
    return {};
}

}  // namespace app
