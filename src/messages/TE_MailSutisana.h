#pragma once
#include "app/Session.h"
#include "app/WindowRegistry.h"
#include "messages/MassMessageStore.h"

#include <QWidget>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace models {
class ResultTableModel;
}

namespace messages {

// "E-Mail un SMS izūtīšana": one text to many patients, chosen by group, sex and language, by SMS
// through the clinic's modem and by e-mail through its mail server. The selected patients get it,
// or every listed one when none is selected.
class TE_MailSutisana : public QWidget {
    Q_OBJECT
public:
    explicit TE_MailSutisana(app::Session& session, QWidget* parent = nullptr);

    // Reads the list of the current choices again.
    void refresh();
    PatientChoice choice() const;
    void sendSms();
    void sendMail();

    QListWidget* groupList() const { return m_groups; }
    QButtonGroup* sexChoice() const { return m_sex; }
    QButtonGroup* languageChoice() const { return m_language; }
    QPlainTextEdit* textEdit() const { return m_text; }
    QLineEdit* subjectEdit() const { return m_subject; }
    QTableView* grid() const { return m_grid; }
    models::ResultTableModel* model() const { return m_model; }

private:
    void loadGroups();
    // The selected rows, or all rows when none is selected.
    db::ResultSet recipients() const;
    void message(const QString& text);

    app::Session& m_session;
    MassMessageStore m_store;
    QListWidget* m_groups = nullptr;
    QButtonGroup* m_sex = nullptr;
    QButtonGroup* m_language = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QLineEdit* m_subject = nullptr;
    QLabel* m_count = nullptr;
    QTableView* m_grid = nullptr;
    models::ResultTableModel* m_model = nullptr;
};

// Registers the window under the main window's "E-Mail un SMS sūtīšana".
void RegisterWindows(app::WindowRegistry& registry);

}  // namespace messages
