#include "billing/TIzrakstisanaCitasZinas.h"

#include "billing/PaymentMethodCombo.h"
#include "widgets/NullableDateEdit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace billing {

TIzrakstisanaCitasZinas::TIzrakstisanaCitasZinas(const InvoiceHeader& invoice, bool editing, QWidget* parent)
    : QDialog(parent), m_editing(editing) {
    setObjectName(QStringLiteral("TIzrakstisanaCitasZinas"));
    setWindowTitle(tr("Citas ziņas par rēķinu"));
    m_edSumma = new QLineEdit(QString::number(invoice.paidSum, 'f', 2), this);
    m_edSumma->setObjectName(QStringLiteral("APMAKS_SUM"));
    m_edDok = new QLineEdit(invoice.paymentDocument, this);
    m_edDok->setObjectName(QStringLiteral("APMAKS_NR"));
    m_edDok->setMaxLength(20);
    m_edDatums = new widgets::NullableDateEdit(invoice.paymentDate, this);
    m_edDatums->setObjectName(QStringLiteral("APMAKS_DAT"));
    m_cbVeids = new QComboBox(this);
    m_cbVeids->setObjectName(QStringLiteral("cbApmaksVeids"));
    FillPaymentMethods(m_cbVeids);
    m_cbVeids->setCurrentIndex(invoice.paymentMethod >= 0 && invoice.paymentMethod < m_cbVeids->count()
                                   ? invoice.paymentMethod
                                   : -1);
    m_edSumma->setReadOnly(!editing);
    m_edDok->setReadOnly(!editing);
    m_edDatums->setReadOnly(!editing);
    m_cbVeids->setEnabled(editing);

    auto* form = new QFormLayout;
    form->addRow(tr("Apmaksātā summa :"), m_edSumma);
    form->addRow(tr("Apmaksas dok."), m_edDok);
    form->addRow(tr("Apmaksas datums"), m_edDatums);
    form->addRow(tr("Apmaksas veids"), m_cbVeids);
    auto* close = new QPushButton(tr("&Aizvērt"), this);
    close->setObjectName(QStringLiteral("btAizvert"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(close, 0, Qt::AlignRight);
    connect(close, &QPushButton::clicked, this, [this] {
        widgets::CommitTypedDates(this);
        if (m_editing && widgets::RefuseUnreadableDates(this)) return;
        accept();
    });
}

bool TIzrakstisanaCitasZinas::apply(InvoiceHeader& invoice) {
    if (!m_editing) return true;
    QString text = m_edSumma->text().trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = text.isEmpty();
    const double paid = ok ? 0 : text.toDouble(&ok);
    if (!ok) {
        QMessageBox::warning(parentWidget(), windowTitle(), tr("Apmaksātā summa nav skaitlis: ") + m_edSumma->text());
        return false;
    }
    invoice.paidSum = paid;
    invoice.paymentDocument = m_edDok->text();
    invoice.paymentDate = m_edDatums->value();
    if (m_cbVeids->currentIndex() >= 0) invoice.paymentMethod = m_cbVeids->currentIndex();
    return true;
}

}  // namespace billing
