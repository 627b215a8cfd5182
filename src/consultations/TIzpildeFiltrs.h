#pragma once
#include "app/Session.h"
#include "consultations/ConsultationList.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace widgets {
class LookupCombo;
}

namespace consultations {

// "Konsultāciju atlase": the period, the patient, the specialist, the number and whether rejected
// consultations are shown. "Atlasīt" accepts it.
class TIzpildeFiltrs : public QDialog {
    Q_OBJECT
public:
    TIzpildeFiltrs(app::Session& session, const QVector<QPair<int, QString>>& specialists, QWidget* parent = nullptr);

    void setFilter(const ConsultationFilter& filter);
    ConsultationFilter filter() const;
    // "Klients": the patient list as a picker.
    void pickPatient();
    void setPatient(int key);

    QDateEdit* fromEdit() const { return m_dtpNo; }
    QDateEdit* toEdit() const { return m_dtpLidz; }
    QLineEdit* numberEdit() const { return m_edNumurs; }
    QCheckBox* showRejectedBox() const { return m_chkDzestos; }
    widgets::LookupCombo* specialistLookup() const { return m_cbIzpilditajs; }
    QLineEdit* patientName() const { return m_edKlients; }
    QPushButton* button(const QString& name) const;

private:
    app::Session& m_session;
    QDateEdit* m_dtpNo;
    QDateEdit* m_dtpLidz;
    QLineEdit* m_edKlients;
    QToolButton* m_btNodzestKlientu;
    widgets::LookupCombo* m_cbIzpilditajs;
    QLineEdit* m_edNumurs;
    QCheckBox* m_chkDzestos;
    int m_patient = 1;
};

}  // namespace consultations
