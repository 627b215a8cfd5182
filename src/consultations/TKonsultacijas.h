#pragma once
#include "app/Facades.h"
#include "app/Session.h"
#include "consultations/Consultation.h"
#include "consultations/ConsultationList.h"
#include "consultations/TKonsultacijasDati.h"

#include <QWidget>

class QMenu;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableView;

namespace models {
class ResultTableModel;
}

namespace consultations {

class ConsultationForm;
class RequestsPage;
class TIzpildeFiltrs;
class TreatmentPage;

// "Pieteikumi un konsultācijas": the requests tab and the consultations tab with its tool bar,
// the header and inner pages of the current consultation and the list of consultations of the
// filter. New, edit, save and reject work on the shown consultation; the list follows the
// changes of this and other workstations.
class TKonsultacijas : public QWidget {
    Q_OBJECT
public:
    enum class State { Browse, Edit, Insert };
    // The pages of the outer tab control.
    enum Tab { RequestsTab = 0, ConsultationsTab = 1 };

    explicit TKonsultacijas(app::Session& session, QWidget* parent = nullptr);
    ~TKonsultacijas() override;

    // What another window asks to see: the patient's consultations, one consultation, a request,
    // or a visit on a request (a new consultation from it).
    void showTarget(const app::ConsultationTarget& target);

    // The tool bar of the consultations tab.
    void newConsultation();
    void editConsultation();
    // Checks and stores the consultation being edited; true when it was stored.
    bool saveConsultation();
    void rejectConsultation();
    void undoRejection();
    // "Atlasīt": the filter dialog, then the list of its choices.
    void openFilter();
    // "Sagatavot rēķinu" of the treatment page: the invoice of the consultation's lines not invoiced
    // yet, then the invoice register showing it.
    void prepareInvoice(int consultation);
    // "Rēķins": the printout of everything invoiced from the current consultation.
    void printInvoices();
    // Leaves the edit of a consultation not saved, asking first; true when nothing is edited any
    // more.
    bool abandonEdit();

    // Rereads the list of the filter and sort and positions on the key (the current one when 0).
    void refresh(int key = 0);
    ConsultationFilter filter() const { return m_filter; }
    void setFilter(const ConsultationFilter& filter);
    ConsultationSort sort() const { return m_sort; }
    // A click on a grid column title.
    void sortByColumn(int column);
    int currentKey() const;
    bool setCurrentKey(int key);
    State state() const { return m_state; }
    const Consultation& consultation() const { return m_record; }
    int requestKey() const { return m_requestKey; }

    ConsultationForm* form() const { return m_form; }
    TreatmentPage* planPage() const { return m_planPage; }
    TreatmentPage* treatmentPage() const { return m_treatmentPage; }
    RequestsPage* requests() const { return m_requests; }
    QTableView* grid() const { return m_grid; }
    models::ResultTableModel* model() const { return m_model; }
    QTabWidget* tabs() const { return m_tabs; }
    QMenu* gridMenu() const { return m_gridMenu; }
    // "btJauns", "btLabot", "btSaglabat", "btNoraidit", "btAtlasit", "btRekins", "btAizvert".
    QPushButton* button(const QString& name) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildConsultationsTab(QWidget* page);
    void applyState();
    void setState(State state);
    void showCurrent();
    void currentRowChanged(int row, int previousRow);
    void pickPatient();
    // A click on the chart: stored at once while a stored consultation is edited.
    void chartChanged(const QString& text);
    void showPatientCard();
    void message(const QString& text);
    // Runs a change; a stale save is shown with the current row, a database error as
    // "Sistēmas kļūda: ". False when it did not go through.
    bool write(const std::function<void()>& change);
    void updateCaption();
    void loadSettings();
    void saveSettings();
    void showConsultation(int key);
    void startVisit(int requestKey);
    void offerNextNumber(const QString& refusedNumber);

    app::Session& m_session;
    TKonsultacijasDati m_dati;
    ConsultationFilter m_filter;
    ConsultationSort m_sort;
    Consultation m_record;
    State m_state = State::Browse;
    // The number the program offered for the consultation being inserted.
    QString m_offeredNumber;
    int m_requestKey = 0;
    bool m_mayChange = false;
    bool m_mayAdd = false;
    bool m_mayDelete = false;
    // Set while the list is being rebuilt: the current row changes then without the user.
    bool m_rebuilding = false;

    QTabWidget* m_tabs;
    QSplitter* m_splitter = nullptr;
    ConsultationForm* m_form = nullptr;
    TreatmentPage* m_planPage = nullptr;
    TreatmentPage* m_treatmentPage = nullptr;
    RequestsPage* m_requests = nullptr;
    QTableView* m_grid = nullptr;
    models::ResultTableModel* m_model = nullptr;
    QMenu* m_gridMenu = nullptr;
    QVector<QPair<int, QString>> m_staff;
};

}  // namespace consultations
