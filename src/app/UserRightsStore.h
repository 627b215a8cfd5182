#pragma once
#include "db/Database.h"

#include <QCoreApplication>
#include <QString>
#include <QVector>

namespace app {

// A user row of N_USERS as the rights window shows it.
struct UserRow {
    int isn = 0;
    int agentIsn = 0;  // 0 when no staff member is linked
    QString name;      // decoded log-on name
    QString password;  // the stored PASWORD value (a digest, or empty)
    QString rights;    // IESPEJAS
    int groupIsn = 0;
};

// A key and the text a pick list shows for it.
struct KeyedName {
    int isn = 0;
    QString name;
};

// The answer of a change to a user: the message to show (empty when there is none) and the field
// that takes the focus.
struct UserChangeResult {
    enum class Field { None, Name, Staff, Password };
    bool ok = false;
    QString message;
    Field focus = Field::None;
    int isn = 0;  // the user's key after a successful add or save
};

// Users, their groups and their rights strings. Every change is committed at once (commit
// retaining of the connection's default transaction) so that the next log-on of the user sees it.
class UserRightsStore {
    Q_DECLARE_TR_FUNCTIONS(TLietotajuTiesibas)
public:
    explicit UserRightsStore(db::Database& database) : m_db(database) {}

    // User groups by name.
    QVector<KeyedName> groups();
    // Staff members by surname and first name, shown as "surname first name".
    QVector<KeyedName> staff();
    // The users of one group, in the order the database returns them.
    QVector<UserRow> users(int groupIsn);

    // Adds a user to the group. No staff member (agentIsn <= 0) is refused with "Jāizvēlas
    // students vai darbinieks !!!"; an empty name does nothing (ok false, no message); a name
    // that exists is refused. The password is stored (as a digest with a fresh salt) only when it
    // equals its confirmation; an empty password is digested too.
    UserChangeResult addUser(int groupIsn, const QString& name, int agentIsn, const QString& password,
                             const QString& confirmation);

    // Saves the name, staff member and password of a user. A password field that still holds a
    // stored digest keeps the stored value; a new password is stored only when it equals its
    // confirmation, otherwise the old one stays. Renaming to the name of another user is refused,
    // since the log-on finds users by name. A database failure answers "Datus izmainīt
    // neizdevās !!!", a line break and the server's text.
    UserChangeResult saveUser(int isn, const QString& name, int agentIsn, const QString& password,
                              const QString& confirmation);

    void deleteUser(int isn);

    // Writes the rights string of a user.
    void setRights(int isn, const QString& rights);

private:
    bool nameTaken(const QByteArray& encodedName, int exceptIsn);
    db::Database& m_db;
};

}  // namespace app
