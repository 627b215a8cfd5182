#pragma once
#include "app/Session.h"
#include "consultations/RequestList.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace widgets {
class LookupCombo;
class NullableDateEdit;
}  // namespace widgets

namespace consultations {

// "Pieteikumu atlase": the request period, the planned-date period with its switch, the patient,
// requester, specialist, type and number (each with a clear button), whether the patient can come
// earlier, and whether rejected requests are shown. "Atlasīt" accepts it.
class TPieteikumiFiltrs : public QDialog {
    Q_OBJECT
public:
    TPieteikumiFiltrs(app::Session& session, const QVector<QPair<int, QString>>& staff,
                      const QVector<QPair<int, QString>>& types, QWidget* parent = nullptr);

    void setFilter(const RequestFilter& filter);
    RequestFilter filter() const;
    // "Klients": the patient list as a picker.
    void pickPatient();
    void setPatient(int key);

    widgets::NullableDateEdit* fromEdit() const { return m_dtpNo; }
    widgets::NullableDateEdit* toEdit() const { return m_dtpLidz; }
    QCheckBox* plannedBox() const { return m_chkPlan; }
    widgets::NullableDateEdit* plannedFromEdit() const { return m_dtpPlanNo; }
    widgets::NullableDateEdit* plannedToEdit() const { return m_dtpPlanLidz; }
    QLineEdit* numberEdit() const { return m_edNumurs; }
    QCheckBox* showRejectedBox() const { return m_chkNoraiditos; }
    QComboBox* waitingCombo() const { return m_cbPirms; }
    // "ISPIETEICEJS", "ISIZPILDITAJS", "ISVEIDS".
    widgets::LookupCombo* lookup(const QString& column) const;
    QLineEdit* patientName() const { return m_edKlients; }
    QPushButton* button(const QString& name) const;

private:
    app::Session& m_session;
    widgets::NullableDateEdit* m_dtpNo;
    widgets::NullableDateEdit* m_dtpLidz;
    QCheckBox* m_chkPlan;
    widgets::NullableDateEdit* m_dtpPlanNo;
    widgets::NullableDateEdit* m_dtpPlanLidz;
    QLineEdit* m_edKlients;
    widgets::LookupCombo* m_cbPieteicejs;
    widgets::LookupCombo* m_cbIzpilditajs;
    widgets::LookupCombo* m_cbVeids;
    QLineEdit* m_edNumurs;
    QComboBox* m_cbPirms;
    QCheckBox* m_chkNoraiditos;
    int m_patient = 1;
};

}  // namespace consultations
