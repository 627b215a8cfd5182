#pragma once
#include "app/Session.h"
#include "billing/PaymentList.h"
#include "billing/TApmaksasDati.h"

#include <QWidget>

class QAction;
class QCheckBox;
class QComboBox;
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

class TApmFiltrs;

// "Rēķinu apmaksas": the payments of the filter with the current payment above them and the
// invoices it pays below, and the page of the unpaid invoices of the payment's patient with their
// sums. A new payment is spread over the patient's invoices (automatically oldest first, over the
// invoices chosen on the unpaid page, or kept whole as an advance); an edit changes its date,
// number and method and the invoices it last paid follow; the overpayment can be spread later;
// deleting takes the payments back from their invoices. Imports a bank's CSV file. The lists
// follow the changes of this and other workstations.
class TApmaksas : public QWidget {
    Q_OBJECT
public:
    enum class State { Browse, Edit, Insert };
    enum Page { PaymentsPage = 0, UnpaidPage = 1 };

    explicit TApmaksas(app::Session& session, QWidget* parent = nullptr);
    ~TApmaksas() override;

    // Rereads the list and positions it on the payment (the current one when 0). With relocate,
    // a payment outside the filter moves the filter to its date (saying so) and is shown.
    void refresh(int key = 0, bool relocate = false);

    void newPayment();
    void editPayment();
    bool savePayment();
    void cancelEdit();
    void allocateOverpayment();
    void deletePayments();
    void openFilter();
    void pickPatient();
    // "Imports no CSV faila"; asks for the file when none is given.
    void importCsv(const QString& path = QString());

    int currentKey() const;
    bool setCurrentKey(int key);
    State state() const { return m_state; }
    const PaymentHeader& payment() const { return m_header; }
    PaymentFilter filter() const;
    void setFilter(const PaymentFilter& filter);

    QTabWidget* tabs() const { return m_tabs; }
    QTableView* grid() const { return m_grid; }
    QTableView* allocationsGrid() const { return m_allocGrid; }
    QTableView* unpaidGrid() const { return m_unpaidGrid; }
    models::ResultTableModel* model() const { return m_model; }
    models::ResultTableModel* allocationsModel() const { return m_allocModel; }
    models::ResultTableModel* unpaidModel() const { return m_unpaidModel; }
    QPushButton* button(const QString& name) const;
    QLineEdit* edit(const QString& name) const;
    widgets::NullableDateEdit* dateEdit() const { return m_edDatums; }
    QComboBox* methodCombo() const { return m_cbVeids; }
    QCheckBox* advanceBox() const { return m_chkAvanss; }
    QLabel* sumLabel(const QString& name) const;
    QAction* importAction() const { return m_importAction; }
    TApmFiltrs* filterDialog() const { return m_filterDialog; }

    // Asks which patient is meant when an import's personal code belongs to several (0 = none).
    using DuplicateChooser = std::function<int(QWidget* parent, const QString& personalCode)>;
    void setDuplicateChooser(DuplicateChooser chooser) { m_duplicateChooser = std::move(chooser); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildPaymentsPage(QWidget* page);
    void buildUnpaidPage(QWidget* page);
    void applyState();
    void showCurrent();
    void showHeader();
    void refreshAllocations();
    void refreshUnpaid();
    void showSelectedDebt();
    void pageChanged(int page);
    // The unpaid invoices chosen on the second page (in its order), when it lists the patient's.
    QList<int> chosenInvoices() const;
    // Yes: only the chosen invoices; No: automatically; Cancel: nothing.
    int askChosenOnly();
    void message(const QString& text);
    void focusField(const QString& field);
    void loadSettings();
    void saveSettings();

    app::Session& m_session;
    TApmaksasDati m_dati;
    TApmFiltrs* m_filterDialog;
    PaymentOrders m_orders;
    PaymentHeader m_header;
    PaymentHeader m_old;  // as read when the edit began
    State m_state = State::Browse;
    QDate m_lastNewDate;  // the date of the last new payment saved (a new one takes it)
    int m_unpaidPatient = 0;  // whose invoices the unpaid page lists
    bool m_showing = false;
    // The list read in steps: the first screenful at once, the rest while the user looks.
    widgets::StepwiseList* m_steps = nullptr;
    DuplicateChooser m_duplicateChooser;

    QTabWidget* m_tabs;
    widgets::NullableDateEdit* m_edDatums = nullptr;
    QComboBox* m_cbVeids = nullptr;
    QCheckBox* m_chkAvanss = nullptr;
    QTableView* m_grid = nullptr;
    QTableView* m_allocGrid = nullptr;
    QTableView* m_unpaidGrid = nullptr;
    models::ResultTableModel* m_model = nullptr;
    models::ResultTableModel* m_allocModel = nullptr;
    models::ResultTableModel* m_unpaidModel = nullptr;
    QAction* m_importAction = nullptr;
};

}  // namespace billing
