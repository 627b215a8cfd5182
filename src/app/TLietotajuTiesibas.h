#pragma once
#include "app/Session.h"
#include "app/RightsString.h"
#include "app/UserRightsStore.h"

#include <QWidget>
#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace app {

// "Lietotāju tiesības": the users of each user group, their log-on name, staff member and password,
// and their rights. The rights string edits are RightsString's; every change is stored at once.
class TLietotajuTiesibas : public QWidget {
    Q_OBJECT
public:
    explicit TLietotajuTiesibas(Session& session, QWidget* parent = nullptr);

    QListWidget* lbGrupas() const { return m_groups; }
    QListWidget* lbLietotaji() const { return m_users; }
    QLineEdit* edLietotajs() const { return m_name; }
    QComboBox* cbDarbinieks() const { return m_staff; }
    QLineEdit* edParole() const { return m_password; }
    QLineEdit* edParoleApst() const { return m_confirm; }
    QListWidget* lbIzveletas() const { return m_chosen; }
    QListWidget* lbNeizveletas() const { return m_other; }
    // The four permission boxes (view, change, add, delete) under the user's list and under the
    // list of the other functions.
    QCheckBox* chosenBox(int permission) const { return m_chosenBoxes[permission]; }
    QCheckBox* otherBox(int permission) const { return m_otherBoxes[permission]; }
    QPushButton* btPievienot() const { return m_add; }
    QPushButton* btSaglabat() const { return m_save; }
    QPushButton* btDzest() const { return m_delete; }
    QPushButton* btPievienotIespejas() const { return m_grant; }
    QPushButton* btNonemtIespejas() const { return m_revoke; }
    QPushButton* btSaglabatIespejas() const { return m_saveRights; }

    // The rights string of the chosen user as it is stored.
    QString currentRights() const { return m_rights.text(); }
    int currentUserIsn() const;

    void selectGroup(int isn);
    void selectUser(const QString& name);
    void copyRightsToMemory();
    void pasteRightsFromMemory();

protected:
    void showEvent(QShowEvent* e) override;
    // Reads groups, staff and users again, keeping the chosen group and user.
    void reload();

private:
    void loadLists();
    void groupChosen();
    void userChosen();
    void rebuildRightsLists();
    void chosenEntryChanged();
    void moveToUser();
    void moveFromUser();
    void saveRights();
    void storeRights();
    void addUser();
    void saveUser();
    void deleteUser();
    void refreshUsers(int selectIsn);
    void applyRights();
    void showResult(const UserChangeResult& r);
    void showError(const db::DbError& e);
    QString boxLetters(const std::array<QCheckBox*, 4>& boxes) const;
    QStringList selectedCodes(const QListWidget* list) const;

    Session& m_session;
    UserRightsStore m_store;
    QVector<KeyedName> m_groupRows;
    QVector<UserRow> m_userRows;
    int m_current = -1;  // index into m_userRows
    RightsString m_rights;
    std::optional<QString> m_memory;

    QListWidget* m_groups = nullptr;
    QListWidget* m_users = nullptr;
    QLineEdit* m_name = nullptr;
    QComboBox* m_staff = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_confirm = nullptr;
    QListWidget* m_chosen = nullptr;
    QListWidget* m_other = nullptr;
    std::array<QCheckBox*, 4> m_chosenBoxes{};
    std::array<QCheckBox*, 4> m_otherBoxes{};
    QPushButton* m_add = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_grant = nullptr;
    QPushButton* m_revoke = nullptr;
    QPushButton* m_saveRights = nullptr;
};

}  // namespace app
