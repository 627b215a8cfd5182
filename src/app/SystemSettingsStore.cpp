#include "app/SystemSettingsStore.h"

#include "app/TimeText.h"

#include <QCoreApplication>

namespace app {

const QStringList& SystemSettingsStore::writtenColumns() {
    static const QStringList columns = {
        QStringLiteral("BANKKODS"),       QStringLiteral("BANKKONTS"),      QStringLiteral("BANKNOS"),
        QStringLiteral("DARBA_LAIKS_LIDZ"), QStringLiteral("DARBA_LAIKS_NO"), QStringLiteral("DARBADIENA_1"),
        QStringLiteral("DARBADIENA_2"),   QStringLiteral("DARBADIENA_3"),   QStringLiteral("DARBADIENA_4"),
        QStringLiteral("DARBADIENA_5"),   QStringLiteral("DARBADIENA_6"),   QStringLiteral("DARBADIENA_7"),
        QStringLiteral("DIREKT_FIO"),     QStringLiteral("DIREKT_TEL"),     QStringLiteral("DIREKTAMATS"),
        QStringLiteral("HOST_OUT"),       QStringLiteral("IEVDAT_EDIT"),    QStringLiteral("IEVDAT_NEW"),
        QStringLiteral("ISN"),            QStringLiteral("ISUSER_EDIT"),    QStringLiteral("ISUSER_NEW"),
        QStringLiteral("ORGADR"),         QStringLiteral("ORGNOS"),         QStringLiteral("PAVNR_COUNTER"),
        QStringLiteral("PAVNR_PREFIX"),   QStringLiteral("PROFILAKSE_TXT"), QStringLiteral("PVN_KODS"),
        QStringLiteral("REG_NR"),         QStringLiteral("REG_NR_ZOBARST"), QStringLiteral("STUNDU_DALIJUMS"),
        QStringLiteral("USER_MAIL"),      QStringLiteral("USER_NAME_MAIL"), QStringLiteral("PVN_LIKME"),
    };
    return columns;
}

bool SystemSettingsStore::load() {
    const db::ResultSet row = m_db.select(QStringLiteral("SELECT * FROM N_ISI"));
    m_values.clear();
    m_loadedIsn = QVariant();
    if (row.isEmpty()) return false;
    for (int c = 0; c < row.columnCount(); ++c) m_values.insert(row.columns().at(c).toUpper(), row.value(0, c));
    m_loadedIsn = m_values.value(QStringLiteral("ISN"));
    return true;
}

CardCheck SystemSettingsStore::check() const {
    const QString from = m_values.value(QStringLiteral("DARBA_LAIKS_NO")).toString();
    const QString to = m_values.value(QStringLiteral("DARBA_LAIKS_LIDZ")).toString();
    const QString start = QCoreApplication::translate("TSistemasIestatijumi", "Darba laika sākums");
    const QString end = QCoreApplication::translate("TSistemasIestatijumi", "Darba laika beigas");
    if (const QString p = TimeProblem(from, start); !p.isEmpty()) return CardCheck::fail(p, QStringLiteral("DARBA_LAIKS_NO"));
    if (const QString p = TimeProblem(to, end); !p.isEmpty()) return CardCheck::fail(p, QStringLiteral("DARBA_LAIKS_LIDZ"));
    const int a = TimeToMinutes(from), b = TimeToMinutes(to);
    if (a >= 0 && b >= 0 && a >= b)
        return CardCheck::fail(QCoreApplication::translate("TSistemasIestatijumi",
                                                           "Darba laika sākumam jābūt agrākam par beigām !!!"),
                               QStringLiteral("DARBA_LAIKS_LIDZ"));
    return {};
}

void SystemSettingsStore::save() {
    if (!isLoaded()) return;
    QStringList sets;
    db::Params params;
    for (const QString& column : writtenColumns()) {
        sets.append(column + QStringLiteral("=:") + column);
        params.insert(column, m_values.value(column));
    }
    params.insert(QStringLiteral("OLD_ISN"), m_loadedIsn);
    m_db.exec(QStringLiteral("UPDATE N_ISI SET ") + sets.join(QStringLiteral(", ")) + QStringLiteral(" where ISN = :OLD_ISN"),
              params);
    m_db.touch(QStringLiteral("N_ISI"));
    m_db.commitRetaining();
    m_loadedIsn = m_values.value(QStringLiteral("ISN"));
}

}  // namespace app
