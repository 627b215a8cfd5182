#include "app/UserRightsStore.h"
#include "app/TextNormalize.h"

#include "app/PasswordDigest.h"
#include "app/UserNameCodec.h"

namespace app {

QVector<KeyedName> UserRightsStore::groups() {
    const db::ResultSet rows = m_db.select(QStringLiteral("SELECT ISN, GNOS FROM N_USERGROUP ORDER BY GNOS"));
    QVector<KeyedName> list;
    list.reserve(rows.rowCount());
    for (int i = 0; i < rows.rowCount(); ++i) list.append({rows.value(i, 0).toInt(), rows.value(i, 1).toString()});
    return list;
}

QVector<KeyedName> UserRightsStore::staff() {
    const db::ResultSet rows =
        m_db.select(QStringLiteral("SELECT ISN, VARDS, UZVARDS FROM N_AGENTS ORDER BY UZVARDS, VARDS"));
    QVector<KeyedName> list;
    list.reserve(rows.rowCount());
    for (int i = 0; i < rows.rowCount(); ++i)
        list.append({rows.value(i, 0).toInt(),
                     PersonLabel(rows.value(i, 0).toInt(), rows.value(i, 2).toString(), rows.value(i, 1).toString())});
    return list;
}

QVector<UserRow> UserRightsStore::users(int groupIsn) {
    const db::ResultSet rows = m_db.select(
        QStringLiteral("SELECT ISN, ISAGENTS, GNOS, PASWORD, IESPEJAS, ISUSERGROUP FROM N_USERS "
                       "WHERE ISUSERGROUP=:ISUSERGROUP"),
        {{QStringLiteral("ISUSERGROUP"), groupIsn}});
    QVector<UserRow> list;
    list.reserve(rows.rowCount());
    for (int i = 0; i < rows.rowCount(); ++i) {
        UserRow u;
        u.isn = rows.value(i, 0).toInt();
        u.agentIsn = rows.value(i, 1).toInt();
        u.name = DecodeUserName(rows.value(i, 2).toByteArray());
        u.password = rows.value(i, 3).toString();
        u.rights = rows.value(i, 4).toString();
        u.groupIsn = rows.value(i, 5).toInt();
        list.append(u);
    }
    return list;
}

namespace {

UserChangeResult refused(const QString& message, UserChangeResult::Field focus) {
    UserChangeResult r;
    r.message = message;
    r.focus = focus;
    return r;
}

}  // namespace

bool UserRightsStore::nameTaken(const QByteArray& encodedName, int exceptIsn) {
    const db::ResultSet rows = m_db.select(QStringLiteral("SELECT ISN FROM N_USERS WHERE GNOS=:GNOS"),
                                           {{QStringLiteral("GNOS"), encodedName}});
    for (int i = 0; i < rows.rowCount(); ++i)
        if (rows.value(i, 0).toInt() != exceptIsn) return true;
    return false;
}

UserChangeResult UserRightsStore::addUser(int groupIsn, const QString& name, int agentIsn, const QString& password,
                                          const QString& confirmation) {
    using Field = UserChangeResult::Field;
    const QString trimmed = name.trimmed();
    if (agentIsn <= 0) return refused(tr("Jāizvēlas students vai darbinieks !!!"), Field::Staff);
    if (trimmed.isEmpty()) return refused(QString(), Field::Name);
    const QByteArray encoded = EncodeUserName(trimmed);
    if (nameTaken(encoded, 0)) return refused(tr("Šāds lietotājs jau ir reģistrēts sistēmā !!!"), Field::Name);
    UserChangeResult r;
    const QVariant digest = password == confirmation ? QVariant(MakePasswordDigest(password)) : QVariant();
    r.isn = m_db.scalar(QStringLiteral("INSERT INTO N_USERS (GNOS, ISUSERGROUP, ISAGENTS, PASWORD) "
                                       "VALUES (:GNOS, :ISUSERGROUP, :ISAGENTS, :PASWORD) RETURNING ISN"),
                        {{QStringLiteral("GNOS"), encoded},
                         {QStringLiteral("ISUSERGROUP"), groupIsn},
                         {QStringLiteral("ISAGENTS"), agentIsn},
                         {QStringLiteral("PASWORD"), digest}})
                .toInt();
    m_db.touch(QStringLiteral("N_USERS"));
    m_db.commitRetaining();
    r.ok = true;
    return r;
}

UserChangeResult UserRightsStore::saveUser(int isn, const QString& name, int agentIsn, const QString& password,
                                           const QString& confirmation) {
    using Field = UserChangeResult::Field;
    UserChangeResult r;
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || isn <= 0) return r;
    const QByteArray encoded = EncodeUserName(trimmed);
    try {
        if (nameTaken(encoded, isn)) return refused(tr("Šāds lietotājs jau ir reģistrēts sistēmā !!!"), Field::Name);
        // The field shows the stored digest until the user types a new password.
        const bool newPassword = password == confirmation && !HasCheckablePassword(password);
        QString sql = QStringLiteral("UPDATE N_USERS SET GNOS=:GNOS, ISAGENTS=:ISAGENTS");
        db::Params params{{QStringLiteral("GNOS"), encoded},
                          {QStringLiteral("ISAGENTS"), agentIsn > 0 ? QVariant(agentIsn) : QVariant()},
                          {QStringLiteral("OLD_ISN"), isn}};
        if (newPassword) {
            sql += QStringLiteral(", PASWORD=:PASWORD");
            params.insert(QStringLiteral("PASWORD"), MakePasswordDigest(password));
        }
        sql += QStringLiteral(" WHERE ISN = :OLD_ISN");
        m_db.exec(sql, params);
        m_db.touch(QStringLiteral("N_USERS"));
    m_db.commitRetaining();
    } catch (const db::DbError& e) {
        return refused(tr("Datus izmainīt neizdevās !!!") + QLatin1Char('\n') + e.message(), Field::None);
    }
    r.ok = true;
    r.isn = isn;
    return r;
}

void UserRightsStore::deleteUser(int isn) {
    m_db.exec(QStringLiteral("delete from N_USERS where ISN = :OLD_ISN"), {{QStringLiteral("OLD_ISN"), isn}});
    m_db.touch(QStringLiteral("N_USERS"));
    m_db.commitRetaining();
}

void UserRightsStore::setRights(int isn, const QString& rights) {
    m_db.exec(QStringLiteral("UPDATE N_USERS SET IESPEJAS=:IESPEJAS WHERE ISN=:ISN"),
              {{QStringLiteral("IESPEJAS"), rights.isEmpty() ? QVariant() : QVariant(rights)},
               {QStringLiteral("ISN"), isn}});
    m_db.touch(QStringLiteral("N_USERS"));
    m_db.commitRetaining();
}

}  // namespace app
