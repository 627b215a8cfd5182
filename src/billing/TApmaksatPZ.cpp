#include "billing/TApmaksatPZ.h"

#include "billing/PaymentAllocation.h"
#include "billing/PaymentMethodCombo.h"
#include "billing/TApmaksasDati.h"
#include "widgets/Guard.h"
#include "widgets/NullableDateEdit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtNumeric>

namespace billing {

TApmaksatPZ::TApmaksatPZ(app::Session& session, const InvoiceHeader& invoice, QWidget* parent)
    : QDialog(parent), m_session(session), m_invoice(invoice) {
    setObjectName(QStringLiteral("TApmaksatPZ"));
    setWindowTitle(tr("Rēķina apmaksa"));
    m_edSumma = new QLineEdit(this);
    m_edSumma->setObjectName(QStringLiteral("edSumma"));
    m_edDok = new QLineEdit(this);
    m_edDok->setObjectName(QStringLiteral("edDokuments"));
    // The invoice's APMAKS_NR and the payment's NUMURS hold 20 characters.
    m_edDok->setMaxLength(20);
    m_edDatums = new widgets::NullableDateEdit(this);
    m_edDatums->setObjectName(QStringLiteral("dtpDatums"));
    m_edDatums->setNullable(false);
    m_edDatums->setValue(QDate::currentDate());
    m_cbVeids = new QComboBox(this);
    m_cbVeids->setObjectName(QStringLiteral("cbApmaksasVeids"));
    FillPaymentMethods(m_cbVeids);

    // What the invoice says when the dialog opens.
    m_edDok->setText(invoice.number);
    m_cbVeids->setCurrentIndex(qBound(0, invoice.paymentMethod, m_cbVeids->count() - 1));
    m_edSumma->setText(QString::number(RoundAmount(invoice.total - invoice.paidSum)));

    auto* form = new QFormLayout;
    form->addRow(tr("Summa :"), m_edSumma);
    form->addRow(tr("Apmaksas dokuments :"), m_edDok);
    form->addRow(tr("Apmaksas datums :"), m_edDatums);
    form->addRow(tr("Apmaksas veids"), m_cbVeids);
    m_btApmaksat = new QPushButton(tr("A&pmaksāt"), this);
    m_btApmaksat->setObjectName(QStringLiteral("btApmaksat"));
    m_btApmaksat->setDefault(true);
    auto* close = new QPushButton(tr("&Aizvērt"), this);
    close->setObjectName(QStringLiteral("btAizvert"));
    close->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_btApmaksat);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(m_btApmaksat, &QPushButton::clicked, this, [this] {
        pay();
        accept();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

bool TApmaksatPZ::pay() {
    // What is still being typed counts.
    m_btApmaksat->setFocus();
    widgets::CommitTypedDates(this);
    QString text = m_edSumma->text().trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double amount = text.toDouble(&ok);
    if (!ok || !qIsFinite(amount)) {
        QMessageBox::warning(this, windowTitle(),
                             TApmaksasDati::PayInvoiceFailure(tr("\"%1\" nav skaitlis").arg(m_edSumma->text())));
        return false;
    }
    PaymentOutcome out;
    if (!widgets::Guard(this, [&] {
            out = TApmaksasDati(m_session.database(), m_session.UserIsn())
                      .payInvoice(m_invoice.isn, amount, m_edDok->text(), m_edDatums->value(), m_cbVeids->currentIndex());
        }))
        return false;
    if (!out.ok()) {
        widgets::ShowRefusal(this, out.refusal.message, out.details);
        return false;
    }
    m_paymentKey = out.key;
    return true;
}

}  // namespace billing
