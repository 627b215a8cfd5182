#pragma once
#include "app/Session.h"
#include "db/Database.h"
#include "patients/PatientListStore.h"
#include "references/ReferenceListStore.h"

#include <QDialog>
#include <memory>
#include <optional>

class QLineEdit;
class QPushButton;
class QTabBar;
class QTableView;

namespace models {
class ResultTableModel;
}

namespace patients {

// The patient list "Pacientu/Klientu saraksts": letter tabs, sortable columns, "Meklēt" and
// "Turpināt", the quick search, the buttons to the card, and the picker behaviour (double-click
// or Enter stores the row's key and closes the window).
class TKlienti : public QDialog {
    Q_OBJECT
public:
    explicit TKlienti(app::Session& session, QWidget* parent = nullptr);
    ~TKlienti() override;

    // Rereads the list of the current tab and order and positions on the key.
    void refresh(int key = 0);
    // Reads the rest of the list now (searches and positioning need every row).
    void completeList();
    bool listComplete() const { return !m_fetch; }
    int currentKey() const;
    bool setCurrentKey(int key);
    int selectedKey() const { return m_selectedKey; }
    // The key to show first (the caller's current patient when picking).
    void setSelectedKey(int key);

    QString letter() const;
    void setLetter(const QString& letter);
    QString order() const { return m_order; }
    void sortByColumn(int column);

    // "Meklēt" with a given text (the button asks for it first), and "Turpināt".
    void search(const QString& text);
    void continueSearch();
    void quickSearch(const QString& text);

    void onNew();
    void onCopy();
    void onEdit();
    void onDelete();
    void onHistory();

    QTableView* grid() const { return m_grid; }
    QTabBar* tabs() const { return m_tabs; }
    QLineEdit* quickSearchEdit() const { return m_edAtraMekl; }
    models::ResultTableModel* model() const { return m_model; }
    QPushButton* button(const QString& name) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void applyRights();
    void choose();
    void showMessage(const QString& text);
    void openCard(int key, bool historyPage);
    void fetchMore();

    app::Session& m_session;
    db::Database& m_db;
    PatientListStore m_store;
    PatientSearch m_search;
    std::unique_ptr<PatientListFetch> m_fetch;
    QString m_order;
    models::ResultTableModel* m_model;
    // The quick search's sorted surnames of the shown rows; built at the first key press after the
    // rows change.
    std::optional<references::PrefixRows> m_surnames;
    QTabBar* m_tabs;
    QTableView* m_grid;
    QLineEdit* m_edAtraMekl;
    QPushButton* m_btTurpinat;
    int m_selectedKey = 0;
};

}  // namespace patients
