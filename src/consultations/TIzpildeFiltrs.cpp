#include "consultations/TIzpildeFiltrs.h"

#include "consultations/Consultation.h"
#include "consultations/TKonsultacijasDati.h"
#include "widgets/Guard.h"
#include "widgets/LookupCombo.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace consultations {

namespace {

QDateEdit* dateEdit(QWidget* parent, const char* name) {
    auto* d = new QDateEdit(QDate::currentDate(), parent);
    d->setObjectName(QString::fromLatin1(name));
    d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    d->setCalendarPopup(true);
    return d;
}

}  // namespace

TIzpildeFiltrs::TIzpildeFiltrs(app::Session& session, const QVector<QPair<int, QString>>& specialists, QWidget* parent)
    : QDialog(parent), m_session(session) {
    setObjectName(QStringLiteral("TIzpildeFiltrs"));
    setWindowTitle(tr("Konsultāciju atlase"));

    auto* form = new QFormLayout;
    m_dtpNo = dateEdit(this, "dtpNo");
    m_dtpLidz = dateEdit(this, "dtpLidz");
    auto* period = new QHBoxLayout;
    period->addWidget(m_dtpNo);
    period->addWidget(new QLabel(QStringLiteral("-"), this));
    period->addWidget(m_dtpLidz);
    period->addStretch(1);
    form->addRow(tr("Periods"), period);

    auto* patientRow = new QHBoxLayout;
    auto* btKlients = new QPushButton(tr("Klients"), this);
    btKlients->setObjectName(QStringLiteral("btKlients"));
    btKlients->setAutoDefault(false);
    btKlients->setEnabled(bool(m_session.facades().patients.pick));
    m_edKlients = new QLineEdit(this);
    m_edKlients->setObjectName(QStringLiteral("edKlients"));
    m_edKlients->setReadOnly(true);
    m_edKlients->setFocusPolicy(Qt::NoFocus);
    m_btNodzestKlientu = new QToolButton(this);
    m_btNodzestKlientu->setObjectName(QStringLiteral("btNodzestKlientu"));
    m_btNodzestKlientu->setText(QStringLiteral("X"));
    m_btNodzestKlientu->setToolTip(tr("Nodzēst klienta altasi"));
    patientRow->addWidget(btKlients);
    patientRow->addWidget(m_edKlients, 1);
    patientRow->addWidget(m_btNodzestKlientu);
    form->addRow(patientRow);

    m_cbIzpilditajs = new widgets::LookupCombo(this);
    m_cbIzpilditajs->setObjectName(QStringLiteral("cbIzpilditajs"));
    m_cbIzpilditajs->setItems(specialists);
    m_cbIzpilditajs->clearButton()->setToolTip(tr("Nodzēst darbinieka altasi"));
    form->addRow(tr("Speciālists:"), m_cbIzpilditajs);

    m_edNumurs = new QLineEdit(this);
    m_edNumurs->setObjectName(QStringLiteral("edNumurs"));
    m_edNumurs->setMaxLength(NumberWidth);
    form->addRow(tr("Numurs:"), m_edNumurs);

    m_chkDzestos = new QCheckBox(tr("Parādīt arī dzēstos"), this);
    m_chkDzestos->setObjectName(QStringLiteral("chkDzestos"));
    form->addRow(m_chkDzestos);

    auto* buttons = new QHBoxLayout;
    auto* btAtlasit = new QPushButton(tr("Atlasīt"), this);
    btAtlasit->setObjectName(QStringLiteral("btAtlasit"));
    btAtlasit->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(btAtlasit);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(btKlients, &QPushButton::clicked, this, &TIzpildeFiltrs::pickPatient);
    connect(m_btNodzestKlientu, &QToolButton::clicked, this, [this] { setPatient(1); });
    connect(btAtlasit, &QPushButton::clicked, this, &QDialog::accept);
    resize(qMax(sizeHint().width(), 460), sizeHint().height());
}

QPushButton* TIzpildeFiltrs::button(const QString& name) const { return findChild<QPushButton*>(name); }

void TIzpildeFiltrs::setFilter(const ConsultationFilter& f) {
    m_dtpNo->setDate(f.from);
    m_dtpLidz->setDate(f.to);
    setPatient(f.patient);
    m_cbIzpilditajs->setKey(f.specialist);
    m_edNumurs->setText(f.number);
    m_chkDzestos->setChecked(f.showRejected);
}

ConsultationFilter TIzpildeFiltrs::filter() const {
    ConsultationFilter f;
    f.from = m_dtpNo->date();
    f.to = m_dtpLidz->date();
    f.patient = m_patient;
    f.specialist = m_cbIzpilditajs->key();
    f.number = m_edNumurs->text().trimmed();
    f.showRejected = m_chkDzestos->isChecked();
    return f;
}

void TIzpildeFiltrs::pickPatient() {
    const auto& pick = m_session.facades().patients.pick;
    if (!pick) return;
    const int key = pick(this, m_patient);
    if (key > 0) setPatient(key);
}

void TIzpildeFiltrs::setPatient(int key) {
    m_patient = key > 1 ? key : 1;
    if (m_patient == 1) {
        m_edKlients->clear();
        return;
    }
    widgets::Guard(this, [&] { m_edKlients->setText(TKonsultacijasDati(m_session.database()).patientName(m_patient)); });
}

}  // namespace consultations
