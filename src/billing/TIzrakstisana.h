#pragma once
#include "app/Session.h"
#include "billing/Invoice.h"
#include "billing/InvoiceList.h"
#include "billing/InvoiceNumbering.h"
#include "billing/TIzrakstisanaDati.h"

#include <QWidget>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;

namespace widgets {
class StepwiseList;
}

namespace models {
class ResultTableModel;
}
namespace widgets {
class NullableDateEdit;
}

namespace billing {

class TIzrakstisanaFiltrs;

// "Rēķini": the list of invoices of the filter with the current invoice's header above it, and
// the page of the current invoice's lines with its totals. New, copy, edit, delete and save work
// on the header; the lines page adds, edits and deletes lines. Prints the invoice and the planned
// payments, imports invoices from CSV. The list follows the changes of this and other
// workstations.
class TIzrakstisana : public QWidget {
    Q_OBJECT
public:
    enum class State { Browse, Edit, Insert };
    enum Page { ListPage = 0, LinesPage = 1 };

    explicit TIzrakstisana(app::Session& session, QWidget* parent = nullptr);
    ~TIzrakstisana() override;

    // Rereads the list and positions it on the invoice (the current one when 0). With relocate,
    // an invoice outside the filter moves the filter to its date (saying so) and is shown.
    void refresh(int key = 0, bool relocate = false);
    // Shows the invoice with the filter set to its number and day (the consultation's invoice,
    // the journal and other windows).
    void showInvoice(int key);

    void newInvoice();
    void copyInvoice();
    void editInvoice();
    void deleteInvoice();
    bool saveInvoice();
    void otherInformation();
    void payInvoice();
    void openFilter();
    void pickPatient();
    // Leaves the invoice being edited unsaved.
    void cancelEdit();

    void newLine();
    void editLine();
    bool saveLine();
    void deleteLines();
    void pickItem();
    void cancelLineEdit();

    void printInvoice();
    void printPlannedPayments();
    // "Rēķinu imports no CSV faila"; asks for the file when none is given.
    void importCsv(const QString& path = QString());

    void sortByColumn(int column);
    int currentKey() const;
    bool setCurrentKey(int key);

    State state() const { return m_state; }
    State lineState() const { return m_lineState; }
    const InvoiceHeader& invoice() const { return m_header; }
    const InvoiceLine& line() const { return m_line; }
    InvoiceFilter filter() const;
    void setFilter(const InvoiceFilter& filter);
    InvoiceSort sort() const { return m_sort; }
    const InvoiceCounter& counter() const { return m_counter; }
    void setCounter(const InvoiceCounter& counter);

    QTabWidget* tabs() const { return m_tabs; }
    QTableView* grid() const { return m_grid; }
    QTableView* linesGrid() const { return m_linesGrid; }
    models::ResultTableModel* model() const { return m_model; }
    models::ResultTableModel* linesModel() const { return m_linesModel; }
    QPushButton* button(const QString& name) const;
    QAction* action(const QString& name) const;
    QLineEdit* edit(const QString& name) const;
    widgets::NullableDateEdit* dateEdit(const QString& name) const;
    QLabel* totalLabel(const QString& name) const;
    TIzrakstisanaFiltrs* filterDialog() const { return m_filterDialog; }

    // Asks which patient is meant when an import's personal code belongs to several (0 = none).
    using DuplicateChooser = std::function<int(QWidget* parent, const QString& personalCode)>;
    void setDuplicateChooser(DuplicateChooser chooser) { m_duplicateChooser = std::move(chooser); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildListPage(QWidget* page);
    void buildLinesPage(QWidget* page);
    void buildMenu();
    void applyState();
    void showCurrent();
    void showHeader();
    void readHeaderFields();
    void refreshLines(int key = 0);
    void showLine();
    bool readLineFields();
    void showTotals();
    void pageChanged(int page);
    void message(const QString& text);
    void systemError(const std::exception& e);
    // Runs a change; a stale save is shown with the current row, other errors as
    // "Sistēmas kļūda: ". False when it did not go through.
    bool write(const std::function<void()>& change);
    void focusField(const QString& field);
    void loadSettings();
    void saveSettings();

    app::Session& m_session;
    TIzrakstisanaDati m_dati;
    TIzrakstisanaFiltrs* m_filterDialog;
    InvoiceSort m_sort;
    QString m_lineOrder;
    InvoiceCounter m_counter;
    InvoiceHeader m_header;
    InvoiceLine m_line;
    State m_state = State::Browse;
    State m_lineState = State::Browse;
    bool m_mayChange = false;
    bool m_mayAdd = false;
    bool m_mayDelete = false;
    bool m_showing = false;  // fields are being filled by the program, not typed
    // The list read in steps: the first screenful at once, the rest while the user looks.
    widgets::StepwiseList* m_steps = nullptr;
    DuplicateChooser m_duplicateChooser;

    QTabWidget* m_tabs;
    QTableView* m_grid = nullptr;
    QTableView* m_linesGrid = nullptr;
    models::ResultTableModel* m_model = nullptr;
    models::ResultTableModel* m_linesModel = nullptr;
};

}  // namespace billing
