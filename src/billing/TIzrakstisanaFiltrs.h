#pragma once
#include "app/Session.h"
#include "billing/InvoiceList.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;

namespace widgets {
class NullableDateEdit;
}

namespace billing {

// "Izrakstīto pavadzīmju atlase": the invoice date period, the number, the payment state and the
// patient of the register's list. Made once per register; keeps its choices while the program
// runs and stores all but the patient when it goes.
class TIzrakstisanaFiltrs : public QDialog {
    Q_OBJECT
public:
    explicit TIzrakstisanaFiltrs(app::Session& session, QWidget* parent = nullptr);
    ~TIzrakstisanaFiltrs() override;

    InvoiceFilter filter() const;
    void setFilter(const InvoiceFilter& filter);

    QPushButton* patientButton() const { return m_btKlients; }
    QCheckBox* allPatients() const { return m_chkVisi; }
    QLineEdit* numberEdit() const { return m_edNumurs; }

private:
    void pickPatient();

    app::Session& m_session;
    int m_patient = 0;
    widgets::NullableDateEdit* m_from;
    widgets::NullableDateEdit* m_to;
    QLineEdit* m_edNumurs;
    QButtonGroup* m_payment;
    QPushButton* m_btKlients;
    QLineEdit* m_edKlients;
    QCheckBox* m_chkVisi;
};

}  // namespace billing
