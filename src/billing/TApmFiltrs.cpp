#include "billing/TApmFiltrs.h"

#include "billing/PaymentMethodCombo.h"
#include "billing/TApmaksasDati.h"
#include "widgets/Guard.h"
#include "widgets/NullableDateEdit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace billing {

TApmFiltrs::TApmFiltrs(app::Session& session, QWidget* parent) : QDialog(parent), m_session(session) {
    setObjectName(QStringLiteral("TApmFiltrs"));
    setWindowTitle(tr("Apmaksu atlase"));
    m_from = new widgets::NullableDateEdit(this);
    m_from->setObjectName(QStringLiteral("F0Datums"));
    m_from->setNullable(false);
    m_to = new widgets::NullableDateEdit(this);
    m_to->setObjectName(QStringLiteral("F1Datums"));
    m_to->setNullable(false);
    m_chkVisiDatumi = new QCheckBox(tr("Visi datumi"), this);
    m_chkVisiDatumi->setObjectName(QStringLiteral("chkVisiDatumi"));
    m_edNumurs = new QLineEdit(this);
    m_edNumurs->setObjectName(QStringLiteral("F0NrPavadz"));
    m_edNumurs->setMaxLength(20);

    auto* over = new QGroupBox(this);
    over->setObjectName(QStringLiteral("rdbParpalik"));
    auto* overLayout = new QHBoxLayout(over);
    m_overpayment = new QButtonGroup(this);
    const QStringList choices{tr("Visas apmaksas"), tr("Tikai ar pārpalikumu")};
    for (int i = 0; i < choices.size(); ++i) {
        auto* b = new QRadioButton(choices.at(i), over);
        m_overpayment->addButton(b, i);
        overLayout->addWidget(b);
    }

    m_cbVeids = new QComboBox(this);
    m_cbVeids->setObjectName(QStringLiteral("cbApmaksasVeids"));
    FillPaymentMethods(m_cbVeids);
    m_chkVisiVeidi = new QCheckBox(tr("Visi veidi"), this);
    m_chkVisiVeidi->setObjectName(QStringLiteral("chkVisiVeidi"));
    m_chkVisiVeidi->setChecked(true);

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
    period->addWidget(m_chkVisiDatumi);
    auto* method = new QHBoxLayout;
    method->addWidget(m_cbVeids, 1);
    method->addWidget(m_chkVisiVeidi);
    auto* patient = new QHBoxLayout;
    patient->addWidget(m_btKlients);
    patient->addWidget(m_edKlients, 1);
    patient->addWidget(m_chkVisi);
    auto* form = new QFormLayout;
    form->addRow(tr("Apmaksas dat."), period);
    form->addRow(tr("Apmaksas Nr."), m_edNumurs);
    form->addRow(over);
    form->addRow(tr("Apmaksas veids :"), method);
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
    connect(m_chkVisiDatumi, &QCheckBox::toggled, this, [this](bool all) {
        m_from->setEnabled(!all);
        m_to->setEnabled(!all);
    });
    // Choosing a method means that method only.
    connect(m_cbVeids, &QComboBox::activated, this, [this] { m_chkVisiVeidi->setChecked(false); });
    connect(m_btKlients, &QPushButton::clicked, this, &TApmFiltrs::pickPatient);
    connect(m_chkVisi, &QCheckBox::toggled, this, [this](bool all) {
        if (!all) return;
        m_patient = 0;
        m_edKlients->clear();
    });
    setFilter(PaymentFilter::Read());
}

TApmFiltrs::~TApmFiltrs() { filter().write(); }

PaymentFilter TApmFiltrs::filter() const {
    PaymentFilter f;
    f.from = m_from->date();
    f.to = m_to->date();
    f.allDates = m_chkVisiDatumi->isChecked();
    f.number = m_edNumurs->text();
    f.overpayment = qMax(0, m_overpayment->checkedId());
    f.method = m_chkVisiVeidi->isChecked() ? -1 : m_cbVeids->currentIndex();
    f.patient = m_chkVisi->isChecked() ? 0 : m_patient;
    return f;
}

void TApmFiltrs::setFilter(const PaymentFilter& f) {
    m_from->setDate(f.from);
    m_to->setDate(f.to);
    m_chkVisiDatumi->setChecked(f.allDates);
    m_from->setEnabled(!f.allDates);
    m_to->setEnabled(!f.allDates);
    m_edNumurs->setText(f.number);
    if (QAbstractButton* b = m_overpayment->button(f.overpayment)) b->setChecked(true);
    m_chkVisiVeidi->setChecked(f.method < 0);
    if (f.method >= 0) m_cbVeids->setCurrentIndex(qMin(f.method, m_cbVeids->count() - 1));
    m_patient = f.patient;
    m_chkVisi->setChecked(f.patient <= 0);
    m_edKlients->clear();
    if (f.patient > 0)
        widgets::Guard(this, [&] { m_edKlients->setText(TApmaksasDati(m_session.database(), 0).patientName(f.patient)); });
}

void TApmFiltrs::pickPatient() {
    const auto& pick = m_session.facades().patients.pick;
    if (!pick) return;
    const int key = pick(this, m_patient);
    if (key <= 0) return;
    m_patient = key;
    m_chkVisi->setChecked(false);
    widgets::Guard(this, [&] { m_edKlients->setText(TApmaksasDati(m_session.database(), 0).patientName(key)); });
}

}  // namespace billing
