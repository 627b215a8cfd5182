#pragma once
#include "app/Session.h"
#include "consultations/TreatmentStore.h"

#include <QWidget>

class QLineEdit;
class QPushButton;
class QTableView;

namespace models {
class ResultTableModel;
}

namespace consultations {

class LineTableModel;

// The "Plāns" or "Ārstēšana" page of the consultation window: the lines of the shown
// consultation with their totals, green where a plan line has been treated or a treatment line
// invoiced. Lines are written at once (they do not wait for the consultation's save), but only
// once the consultation has a key. The page follows this and other workstations' changes.
class TreatmentPage : public QWidget {
    Q_OBJECT
public:
    TreatmentPage(app::Session& session, LineKind kind, QWidget* parent = nullptr);
    ~TreatmentPage() override;

    LineKind kind() const { return m_kind; }
    // The consultation whose lines are shown (0: none yet, an unsaved consultation).
    void setConsultation(int key);
    int consultation() const { return m_consultation; }
    // Reads the lines again, keeping the current one (or going to the given key).
    void reload(int key = 0);

    // The buttons.
    void newLine();
    void editLine();
    void deleteLine();
    // Plan only: "Uz ārstēšanu" for the selected lines, and the printout's preview.
    void moveToTreatment();
    void print();

    QTableView* grid() const { return m_grid; }
    models::ResultTableModel* model() const;
    const LineList& list() const { return m_list; }
    bool isCarriedOn(int row) const;
    int currentKey() const;
    // Selects rows (by their keys), in this order.
    void selectKeys(const QList<int>& keys);
    // "btJauns", "btLabot", "btDzest", "btUzArstesanu", "btDrukat", "btSagatavotRekinu".
    QPushButton* button(const QString& name) const;
    // "Kopā summa :" and "Laiks :".
    QLineEdit* amountField() const { return m_edSumma; }
    QLineEdit* timeField() const { return m_edLaiks; }

Q_SIGNALS:
    // "Sagatavot rēķinu" (treatment page): the invoice of the consultation's unbilled lines.
    void invoiceRequested(int consultation);

private:
    void applyRights();
    void message(const QString& text);
    // Runs a change; a line changed or deleted by another workstation meanwhile is shown again as
    // it is now. False when it did not go through.
    bool write(const std::function<void()>& change);
    QString noun() const;

    app::Session& m_session;
    LineKind m_kind;
    TreatmentStore m_store;
    int m_consultation = 0;
    LineList m_list;
    QTableView* m_grid;
    LineTableModel* m_model;
    QLineEdit* m_edSumma;
    QLineEdit* m_edLaiks;
};

}  // namespace consultations
