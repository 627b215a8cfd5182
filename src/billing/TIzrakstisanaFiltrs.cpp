#include "billing/TIzrakstisanaFiltrs.h"

#include "billing/TIzrakstisanaDati.h"
#include "widgets/Guard.h"
#include "widgets/NullableDateEdit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace billing {

TIzrakstisanaFiltrs::TIzrakstisanaFiltrs(app::Session& session, QWidget* parent) : QDialog(parent), m_session(session) {
    setObjectName(QStringLiteral("TIzrakstisanaFiltrs"));
    setWindowTitle(tr("Izrakstīto pavadzīmju atlase"));
    m_from = new widgets::NullableDateEdit(this);
    m_from->setObjectName(QStringLiteral("F0Datums"));
    m_from->setNullable(false);
    m_to = new widgets::NullableDateEdit(this);
    m_to->setObjectName(QStringLiteral("F1Datums"));
    m_to->setNullable(false);
    m_edNumurs = new QLineEdit(this);
    m_edNumurs->setObjectName(QStringLiteral("F0NrPavadz"));
    m_edNumurs->setMaxLength(20);

    auto* payment = new QGroupBox(tr("Apmaksāts/Neapmaksāts"), this);
    payment->setObjectName(QStringLiteral("rdbApmaksa"));
    auto* paymentLayout = new QGridLayout(payment);
    m_payment = new QButtonGroup(this);
    const QStringList choices{tr("Visas"), tr("Tikai neapmaksātās"), tr("Tikai apmaksātās")};
    for (int i = 0; i < choices.size(); ++i) {
        auto* b = new QRadioButton(choices.at(i), payment);
        m_payment->addButton(b, i);
        paymentLayout->addWidget(b, 0, i);
    }

    m_btKlients = new QPushButton(tr("Klients"), this);
    m_btKlients->setObjectName(QStringLiteral("btKlients"));
    m_btKlients->setAutoDefault(false);
    m_btKlients->setEnabled(bool(m_session.facades().patients.pick));
    m_edKlients = new QLineEdit(this);
    m_edKlients->setObjectName(QStringLiteral("edKlients"));
    m_edKlients->setReadOnly(true);
    m_chkVisi = new QCheckBox(tr("Visi"), this);
    m_chkVisi->setObjectName(QStringLiteral("chkVisi"));

    auto* period = new QHBoxLayout;
    period->addWidget(m_from);
    period->addWidget(m_to);
    auto* patient = new QHBoxLayout;
    patient->addWidget(m_btKlients);
    patient->addWidget(m_edKlients, 1);
    patient->addWidget(m_chkVisi);
    auto* form = new QFormLayout;
    form->addRow(tr("Rēķina datums"), period);
    form->addRow(tr("Rēķina Nr."), m_edNumurs);
    form->addRow(payment);
    form->addRow(patient);

    auto* ok = new QPushButton(tr("Apstiprināt atlasi"), this);
    ok->setObjectName(QStringLiteral("btApstiprinat"));
    ok->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(ok, 0, Qt::AlignRight);

    connect(ok, &QPushButton::clicked, this, [this] {
        widgets::CommitTypedDates(this);
        if (widgets::RefuseUnreadableDates(this)) return;
        accept();
    });
    connect(m_btKlients, &QPushButton::clicked, this, &TIzrakstisanaFiltrs::pickPatient);
    connect(m_chkVisi, &QCheckBox::toggled, this, [this](bool all) {
        if (!all) return;
        m_patient = 0;
        m_edKlients->clear();
    });
    setFilter(InvoiceFilter::Read());
}

TIzrakstisanaFiltrs::~TIzrakstisanaFiltrs() { filter().write(); }

InvoiceFilter TIzrakstisanaFiltrs::filter() const {
    InvoiceFilter f;
    f.from = m_from->date();
    f.to = m_to->date();
    f.number = m_edNumurs->text();
    f.paymentState = qMax(0, m_payment->checkedId());
    f.patient = m_patient;
    return f;
}

void TIzrakstisanaFiltrs::setFilter(const InvoiceFilter& f) {
    m_from->setDate(f.from);
    m_to->setDate(f.to);
    m_edNumurs->setText(f.number);
    if (QAbstractButton* b = m_payment->button(f.paymentState)) b->setChecked(true);
    m_patient = f.patient;
    m_chkVisi->setChecked(f.patient <= 0);
    m_edKlients->clear();
    if (f.patient > 0)
        widgets::Guard(this, [&] { m_edKlients->setText(TIzrakstisanaDati(m_session.database()).patientName(f.patient)); });
}

void TIzrakstisanaFiltrs::pickPatient() {
    const auto& pick = m_session.facades().patients.pick;
    if (!pick) return;
    const int key = pick(this, m_patient);
    if (key <= 0) return;
    m_patient = key;
    m_chkVisi->setChecked(false);
    widgets::Guard(this, [&] { m_edKlients->setText(TIzrakstisanaDati(m_session.database()).patientName(key)); });
}

}  // namespace billing
