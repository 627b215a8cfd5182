#pragma once
#include "app/DatabaseList.h"
#include "app/TMainFormDati.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace app {

// The log-in dialog: database from the workstation's list, user name and password. OK tries to
// log on through the data module and stays open with a message after any failure; the dialog is
// accepted only once a user is logged on. "&Atlikt" cancels.
class TPasswordDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPasswordDlg(TMainFormDati& dati, QWidget* parent = nullptr);

    bool isLoggedIn() const { return m_loggedIn; }
    QString statusText() const;
    // Connection string of the entry the combo box shows (empty when none is selected).
    QString selectedConnectionString() const;

    QComboBox* cbDatuBaze() const { return m_cbDatuBaze; }
    QLineEdit* edLietotajs() const { return m_edLietotajs; }
    QLineEdit* edParole() const { return m_edParole; }
    QPushButton* btOK() const { return m_btOK; }
    QPushButton* btAtlikt() const { return m_btAtlikt; }

public Q_SLOTS:
    void tryLogOn();
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    // Asked when the chosen database is a local file that does not exist yet.
    virtual bool confirmCreateDatabase(const QString& path);
    // Shows a failure to open or create the database.
    virtual void showDatabaseError(const QString& text);

private:
    void focusField(LogonResult::Field field);
    void showStatus(const QString& text);

    TMainFormDati& m_dati;
    DatabaseList m_databases;  // entry i belongs to combo item i
    bool m_loggedIn = false;
    QComboBox* m_cbDatuBaze;
    QLineEdit* m_edLietotajs;
    QLineEdit* m_edParole;
    QPushButton* m_btOK;
    QPushButton* m_btAtlikt;
    QStatusBar* m_status;
};

}  // namespace app
