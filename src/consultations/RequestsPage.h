#pragma once
#include "app/Session.h"
#include "calendar/AppointmentStore.h"
#include "consultations/RequestList.h"
#include "consultations/RequestStore.h"

#include <QWidget>
#include <functional>

class QMenu;
class QPushButton;
class QSplitter;
class QTableView;

namespace widgets {
class StepwiseList;
}

namespace models {
class ResultTableModel;
}

namespace consultations {

class RequestForm;

// The requests tab of the consultation window: its tool bar, the request form and the list of
// the filter's requests. New, edit, save and reject work on the shown request; "Apmeklējums"
// asks the window for a consultation from it. The list follows the changes of this and other
// workstations (the calendar's too: they are the same rows).
class RequestsPage : public QWidget {
    Q_OBJECT
public:
    enum class State { Browse, Edit, Insert };

    explicit RequestsPage(app::Session& session, QWidget* parent = nullptr);
    ~RequestsPage() override;

    void newRequest();
    void editRequest();
    // Checks and stores the request being edited; true when it was stored.
    bool saveRequest();
    void rejectRequest();
    void undoRejection();
    // "Atlasīt": the filter dialog, then the list of its choices.
    void openFilter();
    // "Apmeklējums": a consultation from the current request (through visitRequested).
    void visit();
    // Leaves an unsaved edit, asking first; true when nothing is edited any more.
    bool abandonEdit();

    // Rereads the list and positions on the key (the current one when 0).
    void refresh(int key = 0);
    // Shows one request: the filter is widened to its day and patient when it is not listed.
    void showRequest(int key);
    // The clinic's working days and the user's rights, read again when the window comes forward.
    void activated();

    RequestFilter filter() const { return m_filter; }
    void setFilter(const RequestFilter& filter);
    QString sortField() const { return m_sortField; }
    void sortByColumn(int column);
    int currentKey() const;
    bool setCurrentKey(int key);
    State state() const { return m_state; }
    const calendar::Appointment& request() const { return m_record; }

    RequestForm* form() const { return m_form; }
    QTableView* grid() const { return m_grid; }
    models::ResultTableModel* model() const { return m_model; }
    QMenu* gridMenu() const { return m_gridMenu; }
    QSplitter* splitter() const { return m_splitter; }
    // "btJauns", "btLabot", "btSaglabat", "btApmeklejums", "btNoraidit", "btAtlasit", "btAizvert".
    QPushButton* button(const QString& name) const;

Q_SIGNALS:
    // "Apmeklējums" on the request (0 when there is none).
    void visitRequested(int requestKey);
    void closeRequested();

private:
    void applyState();
    void setState(State state);
    void showCurrent();
    void currentRowChanged(int previousRow);
    void pickPatient();
    void showPatientCard();
    void message(const QString& text);
    bool write(const std::function<void()>& change);
    void readLookups();

    app::Session& m_session;
    RequestStore m_store;
    // The list read in steps: the first screenful at once, the rest while the user looks.
    widgets::StepwiseList* m_steps = nullptr;
    RequestFilter m_filter;
    QString m_sortField;
    calendar::Appointment m_record;
    bool m_rejected = false;
    State m_state = State::Browse;
    bool m_mayChange = false;
    bool m_mayAdd = false;
    bool m_mayDelete = false;
    bool m_rebuilding = false;
    QVector<QPair<int, QString>> m_staff;
    QVector<QPair<int, QString>> m_types;

    RequestForm* m_form;
    QTableView* m_grid;
    models::ResultTableModel* m_model;
    QMenu* m_gridMenu;
    QSplitter* m_splitter;
};

}  // namespace consultations
