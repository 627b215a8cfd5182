#pragma once
#include "app/Session.h"
#include "billing/Invoice.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace widgets {
class NullableDateEdit;
}

namespace billing {

// "Rēķina apmaksa": pays the register's current invoice in one step. Proposes the debt, the
// invoice's number as the payment document, today and the invoice's payment method; "A&pmaksāt"
// records a payment of the invoice's patient and applies it to the invoice (what is paid beyond
// the debt stays on the payment as its overpayment) and closes. A failure is told and closes too.
class TApmaksatPZ : public QDialog {
    Q_OBJECT
public:
    TApmaksatPZ(app::Session& session, const InvoiceHeader& invoice, QWidget* parent = nullptr);

    // Pays with what the fields hold; true when the payment was stored.
    bool pay();
    // The payment stored by pay() (0 when none).
    int paymentKey() const { return m_paymentKey; }

    QLineEdit* amountEdit() const { return m_edSumma; }
    QLineEdit* documentEdit() const { return m_edDok; }
    widgets::NullableDateEdit* dateEdit() const { return m_edDatums; }
    QComboBox* methodCombo() const { return m_cbVeids; }
    QPushButton* payButton() const { return m_btApmaksat; }

private:
    app::Session& m_session;
    InvoiceHeader m_invoice;
    int m_paymentKey = 0;
    QLineEdit* m_edSumma;
    QLineEdit* m_edDok;
    widgets::NullableDateEdit* m_edDatums;
    QComboBox* m_cbVeids;
    QPushButton* m_btApmaksat;
};

}  // namespace billing
