#include "consultations/TPieteikumiFiltrs.h"

#include "calendar/AppointmentStore.h"
#include "consultations/RequestStore.h"
#include "widgets/Guard.h"
#include "widgets/LookupCombo.h"
#include "widgets/NullableDateEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace consultations {

namespace {

widgets::NullableDateEdit* dateEdit(QWidget* parent, const char* name) {
    auto* d = new widgets::NullableDateEdit(QDate::currentDate(), parent);
    d->setObjectName(QString::fromLatin1(name));
    d->setNullable(false);
    return d;
}

QHBoxLayout* periodRow(QWidget* parent, QWidget* from, QWidget* to) {
    auto* row = new QHBoxLayout;
    row->addWidget(from);
    row->addWidget(new QLabel(QStringLiteral("-"), parent));
    row->addWidget(to);
    row->addStretch(1);
    return row;
}

}  // namespace

TPieteikumiFiltrs::TPieteikumiFiltrs(app::Session& session, const QVector<QPair<int, QString>>& staff,
                                     const QVector<QPair<int, QString>>& types, QWidget* parent)
    : QDialog(parent), m_session(session) {
    setObjectName(QStringLiteral("TPieteikumiFiltrs"));
    setWindowTitle(tr("Pieteikumu atlase"));

    auto* form = new QFormLayout;
    m_dtpNo = dateEdit(this, "dtpNo");
    m_dtpLidz = dateEdit(this, "dtpLidz");
    form->addRow(tr("Periods"), periodRow(this, m_dtpNo, m_dtpLidz));

    m_chkPlan = new QCheckBox(tr("Plān. datums"), this);
    m_chkPlan->setObjectName(QStringLiteral("chkPlanDat"));
    m_dtpPlanNo = dateEdit(this, "dtpPlanNo");
    m_dtpPlanLidz = dateEdit(this, "dtpPlanLidz");
    form->addRow(m_chkPlan, periodRow(this, m_dtpPlanNo, m_dtpPlanLidz));
    auto planned = [this](bool on) {
        m_dtpPlanNo->setEnabled(on);
        m_dtpPlanLidz->setEnabled(on);
    };
    connect(m_chkPlan, &QCheckBox::toggled, this, planned);
    planned(false);

    auto* patientRow = new QHBoxLayout;
    auto* btKlients = new QPushButton(tr("Klients"), this);
    btKlients->setObjectName(QStringLiteral("btKlients"));
    btKlients->setAutoDefault(false);
    btKlients->setEnabled(bool(m_session.facades().patients.pick));
    m_edKlients = new QLineEdit(this);
    m_edKlients->setObjectName(QStringLiteral("edKlients"));
    m_edKlients->setReadOnly(true);
    m_edKlients->setFocusPolicy(Qt::NoFocus);
    auto* btNodzestKlientu = new QToolButton(this);
    btNodzestKlientu->setObjectName(QStringLiteral("btNodzestKlientu"));
    btNodzestKlientu->setText(QStringLiteral("X"));
    btNodzestKlientu->setToolTip(tr("Nodzēst klienta atlasi"));
    patientRow->addWidget(btKlients);
    patientRow->addWidget(m_edKlients, 1);
    patientRow->addWidget(btNodzestKlientu);
    form->addRow(patientRow);

    auto lookup = [&](const char* name, const QString& caption, const QVector<QPair<int, QString>>& items,
                      int emptyKey) {
        auto* l = new widgets::LookupCombo(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setItems(items);
        l->setEmptyKey(emptyKey);
        l->setKey(emptyKey);
        l->clearButton()->setToolTip(tr("Nodzēst atlasi"));
        form->addRow(caption, l);
        return l;
    };
    m_cbPieteicejs = lookup("ISPIETEICEJS", tr("Pieteicējs:"), staff, 1);
    m_cbIzpilditajs = lookup("ISIZPILDITAJS", tr("Speciālists:"), staff, 1);
    m_cbVeids = lookup("ISVEIDS", tr("Konsultācijas veids:"), types, 0);

    m_edNumurs = new QLineEdit(this);
    m_edNumurs->setObjectName(QStringLiteral("edNumurs"));
    m_edNumurs->setMaxLength(calendar::AppointmentStore::NumberWidth);
    m_edNumurs->setClearButtonEnabled(true);
    form->addRow(tr("Numurs:"), m_edNumurs);

    m_cbPirms = new QComboBox(this);
    m_cbPirms->setObjectName(QStringLiteral("cbPirmsDatuma"));
    m_cbPirms->addItems({tr("Visi"), tr("Tikai var pirms šī laika"), tr("Tikai nevar pirms šī laika")});
    form->addRow(tr("Var pirms šī laika:"), m_cbPirms);

    m_chkNoraiditos = new QCheckBox(tr("Parādīt arī noraidītos"), this);
    m_chkNoraiditos->setObjectName(QStringLiteral("chkNoraiditos"));
    form->addRow(m_chkNoraiditos);

    auto* buttons = new QHBoxLayout;
    auto* btAtlasit = new QPushButton(tr("Atlasīt"), this);
    btAtlasit->setObjectName(QStringLiteral("btAtlasit"));
    btAtlasit->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(btAtlasit);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(btKlients, &QPushButton::clicked, this, &TPieteikumiFiltrs::pickPatient);
    connect(btNodzestKlientu, &QToolButton::clicked, this, [this] { setPatient(1); });
    connect(btAtlasit, &QPushButton::clicked, this, [this] {
        // A date typed and not readable stops here rather than filtering by the old one.
        if (widgets::RefuseUnreadableDates(this)) return;
        accept();
    });
    resize(qMax(sizeHint().width(), 480), sizeHint().height());
}

QPushButton* TPieteikumiFiltrs::button(const QString& name) const { return findChild<QPushButton*>(name); }

widgets::LookupCombo* TPieteikumiFiltrs::lookup(const QString& column) const {
    return findChild<widgets::LookupCombo*>(column);
}

void TPieteikumiFiltrs::setFilter(const RequestFilter& f) {
    m_dtpNo->setDate(f.from);
    m_dtpLidz->setDate(f.to);
    m_chkPlan->setChecked(f.plannedOn);
    m_dtpPlanNo->setDate(f.plannedFrom);
    m_dtpPlanLidz->setDate(f.plannedTo);
    setPatient(f.patient);
    m_cbPieteicejs->setKey(f.taker);
    m_cbIzpilditajs->setKey(f.specialist);
    m_cbVeids->setKey(f.type);
    m_edNumurs->setText(f.number);
    m_cbPirms->setCurrentIndex(f.waiting);
    m_chkNoraiditos->setChecked(f.showRejected);
}

RequestFilter TPieteikumiFiltrs::filter() const {
    RequestFilter f;
    f.from = m_dtpNo->date();
    f.to = m_dtpLidz->date();
    f.plannedOn = m_chkPlan->isChecked();
    f.plannedFrom = m_dtpPlanNo->date();
    f.plannedTo = m_dtpPlanLidz->date();
    f.patient = m_patient;
    f.taker = m_cbPieteicejs->key();
    f.specialist = m_cbIzpilditajs->key();
    f.type = m_cbVeids->key();
    f.number = m_edNumurs->text().trimmed();
    f.waiting = qMax(0, m_cbPirms->currentIndex());
    f.showRejected = m_chkNoraiditos->isChecked();
    return f;
}

void TPieteikumiFiltrs::pickPatient() {
    const auto& pick = m_session.facades().patients.pick;
    if (!pick) return;
    const int key = pick(this, m_patient);
    if (key > 0) setPatient(key);
}

void TPieteikumiFiltrs::setPatient(int key) {
    m_patient = key > 1 ? key : 1;
    if (m_patient == 1) {
        m_edKlients->clear();
        return;
    }
    widgets::Guard(this, [&] { m_edKlients->setText(RequestStore(m_session.database()).patientName(m_patient)); });
}

}  // namespace consultations
