#pragma once
#include "app/WindowRegistry.h"
#include "app/Session.h"
#include "db/Database.h"
#include "references/ReferenceListStore.h"

#include <QDialog>
#include <memory>

class QLineEdit;
class QPushButton;
class QTableView;

namespace models {
class ResultTableModel;
}

namespace references {

// The generic list window of a reference table: the rows except the default row, a quick search,
// "Jauns", "Kopēt", "Labot", "Dzēst" by the user's rights, and the picker behaviour: a double-click
// or Enter on a row stores its key and closes the window.
class TKlasifikators : public QDialog {
    Q_OBJECT
public:
    TKlasifikators(app::Session& session, const QString& table, QWidget* parent = nullptr);
    ~TKlasifikators() override;

    QString table() const;
    // Rereads the rows and positions on the key (the first row when it is not listed).
    void refresh(int key = 0);
    int currentKey() const;
    // The key chosen by double-click or Enter; 0 until then.
    int selectedKey() const { return m_selectedKey; }

    // Shows the list of the table modally as a picker positioned on the key; the chosen key, or 0.
    static int pick(app::Session& session, const QString& table, int key, QWidget* parent = nullptr);

    void onNew();
    void onCopy();
    void onEdit();
    void onDelete();

    QTableView* grid() const { return m_grid; }
    QLineEdit* quickSearch() const { return m_edAtraMekl; }
    models::ResultTableModel* model() const { return m_model; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void applyRights();
    void choose();
    void openCard(int key, int sourceKey);

    app::Session& m_session;
    db::Database& m_db;
    std::unique_ptr<ReferenceListStore> m_store;
    models::ResultTableModel* m_model;
    QTableView* m_grid;
    QLineEdit* m_edAtraMekl;
    QPushButton* m_btJauns;
    QPushButton* m_btKopet;
    QPushButton* m_btLabot;
    QPushButton* m_btDzest;
    int m_selectedKey = 0;
};

// Registers the reference lists with the main window's registry and gives the session the
// reference picker.
void RegisterWindows(app::WindowRegistry& registry, app::Session& session);

}  // namespace references
