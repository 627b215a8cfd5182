#pragma once
#include "app/Session.h"
#include "app/WindowRegistry.h"
#include "journal/JournalStore.h"

#include <QWidget>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QTabWidget;
class QTableView;

namespace models {
class ResultTableModel;
}

namespace journal {

// "Operāciju žurnāls": who changed what and when, and the log-ons of the workstations. Reads only.
// A double-click on an operation opens its document where the program has a window for it.
class TOperacijuZurnals : public QWidget {
    Q_OBJECT
public:
    explicit TOperacijuZurnals(app::Session& session, QWidget* parent = nullptr);

    JournalFilter filter() const;
    void setFilter(const JournalFilter& filter);
    // Reads both pages for the filter.
    void refresh();
    // Writes the operations as shown to a CSV file.
    void exportCsv(const QString& path);
    // Opens the document of an operation row; false when no window shows that table.
    bool openDocument(int row);

    QTableView* operationsGrid() const { return m_operations; }
    QTableView* logonsGrid() const { return m_logons; }
    models::ResultTableModel* operationsModel() const { return m_operationsModel; }
    models::ResultTableModel* logonsModel() const { return m_logonsModel; }

private:
    void chooseCsvFile();
    void fetchMore();
    void completeList();

    app::Session& m_session;
    JournalStore m_store;
    // The operations still being read after the first screenful.
    std::unique_ptr<OperationsFetch> m_fetch;
    QDateEdit* m_dtNo = nullptr;
    QDateEdit* m_dtLidz = nullptr;
    QComboBox* m_cbUser = nullptr;
    QComboBox* m_cbTable = nullptr;
    QComboBox* m_cbAction = nullptr;
    QLineEdit* m_edNote = nullptr;
    QTabWidget* m_pages = nullptr;
    QTableView* m_operations = nullptr;
    QTableView* m_logons = nullptr;
    models::ResultTableModel* m_operationsModel = nullptr;
    models::ResultTableModel* m_logonsModel = nullptr;
};

// The journal in the window catalogue.
void RegisterWindows(app::WindowRegistry& registry);

}  // namespace journal
