#pragma once
#include "app/Session.h"
#include "billing/PaymentList.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace widgets {
class NullableDateEdit;
}

namespace billing {

// "Apmaksu atlase": the payment date period or every date, the document number, all payments or
// only those with an overpayment, the payment method and the patient of the payment register's
// list. Made once per register; keeps its choices while the program runs and stores the period,
// the number, the overpayment choice and "Visi datumi" when it goes.
class TApmFiltrs : public QDialog {
    Q_OBJECT
public:
    explicit TApmFiltrs(app::Session& session, QWidget* parent = nullptr);
    ~TApmFiltrs() override;

    PaymentFilter filter() const;
    void setFilter(const PaymentFilter& filter);

    QCheckBox* allDates() const { return m_chkVisiDatumi; }
    QCheckBox* allMethods() const { return m_chkVisiVeidi; }
    QComboBox* methodCombo() const { return m_cbVeids; }
    QCheckBox* allPatients() const { return m_chkVisi; }
    QLineEdit* numberEdit() const { return m_edNumurs; }

private:
    void pickPatient();

    app::Session& m_session;
    int m_patient = 0;
    widgets::NullableDateEdit* m_from;
    widgets::NullableDateEdit* m_to;
    QCheckBox* m_chkVisiDatumi;
    QLineEdit* m_edNumurs;
    QButtonGroup* m_overpayment;
    QComboBox* m_cbVeids;
    QCheckBox* m_chkVisiVeidi;
    QPushButton* m_btKlients;
    QLineEdit* m_edKlients;
    QCheckBox* m_chkVisi;
};

}  // namespace billing
