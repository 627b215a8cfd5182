#pragma once
#include "billing/Invoice.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace widgets {
class NullableDateEdit;
}

namespace billing {

// "Citas ziņas par rēķinu": the paid sum, the payment document and date and the payment method of
// the invoice. Editable only while the invoice is; what is changed goes into the invoice when the
// dialog is closed and is stored with it.
class TIzrakstisanaCitasZinas : public QDialog {
    Q_OBJECT
public:
    TIzrakstisanaCitasZinas(const InvoiceHeader& invoice, bool editing, QWidget* parent = nullptr);

    // The invoice with what the dialog changed (as given when not editing). False, with a message
    // shown, when the paid sum cannot be read.
    bool apply(InvoiceHeader& invoice);

    QLineEdit* paidSumEdit() const { return m_edSumma; }
    QComboBox* methodCombo() const { return m_cbVeids; }

private:
    bool m_editing;
    QLineEdit* m_edSumma;
    QLineEdit* m_edDok;
    widgets::NullableDateEdit* m_edDatums;
    QComboBox* m_cbVeids;
};

}  // namespace billing
