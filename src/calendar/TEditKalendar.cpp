#include "calendar/TEditKalendar.h"

#include "app/Rights.h"
#include "app/TimeText.h"
#include "calendar/TGaiditaji.h"
#include "db/DbError.h"
#include "widgets/Guard.h"
#include "widgets/LookupCombo.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace calendar {

namespace {

// The rights code of the calendar.
const QString RightsCode = QStringLiteral("10");

QDateEdit* dateEdit(QWidget* parent, const char* name) {
    auto* d = new QDateEdit(QDate::currentDate(), parent);
    d->setObjectName(QString::fromLatin1(name));
    d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    d->setCalendarPopup(true);
    return d;
}

// A combo of "hh:nn" texts that also takes a typed time (a one-digit hour is allowed, the save
// puts the zero in front).
QComboBox* timeCombo(QWidget* parent, const char* name, const QStringList& items) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(items);
    c->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,2}:?\\d{0,2}")), c));
    return c;
}

QButtonGroup* radioGroup(QWidget* parent, QGroupBox* box, const QStringList& captions) {
    auto* group = new QButtonGroup(parent);
    auto* layout = new QHBoxLayout(box);
    for (int i = 0; i < captions.size(); ++i) {
        auto* radio = new QRadioButton(captions.at(i), box);
        group->addButton(radio, i);
        layout->addWidget(radio);
    }
    layout->addStretch(1);
    return group;
}

// The picker's date on the stored value: an unchanged day keeps its time of day.
QDateTime withDate(const QDateTime& stored, const QDate& date) {
    return stored.isValid() && stored.date() == date ? stored : QDateTime(date, QTime(0, 0));
}

}  // namespace

TEditKalendar::TEditKalendar(app::Session& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_store(session.database()) {
    setObjectName(QStringLiteral("TEditKalendar"));
    setWindowTitle(tr("Pieteikums vizītei"));

    auto* form = new QFormLayout;
    auto* numberRow = new QHBoxLayout;
    m_edNumurs = new QLineEdit(this);
    m_edNumurs->setObjectName(QStringLiteral("NUMURS"));
    m_edNumurs->setMaxLength(AppointmentStore::NumberWidth);
    m_dtpDatums = dateEdit(this, "DATUMS");
    numberRow->addWidget(m_edNumurs, 1);
    numberRow->addWidget(new QLabel(tr("Datums:"), this));
    numberRow->addWidget(m_dtpDatums);
    form->addRow(tr("Numurs:"), numberRow);

    auto* planRow = new QHBoxLayout;
    m_dtpPlanDat = dateEdit(this, "PLAN_DAT");
    m_cbPlanLaiks = timeCombo(this, "PLAN_LAIKS", app::WorkingHourSlots(QStringLiteral("08:00"), QStringLiteral("21:00"), 30));
    m_cbIlgums = timeCombo(this, "PLAN_ILGUMS", app::DurationSlots(15));
    planRow->addWidget(m_dtpPlanDat);
    planRow->addWidget(m_cbPlanLaiks);
    planRow->addWidget(new QLabel(tr("Ilgums:"), this));
    planRow->addWidget(m_cbIlgums);
    planRow->addStretch(1);
    form->addRow(tr("Plānotais datums, laiks:"), planRow);

    auto* patientRow = new QHBoxLayout;
    auto* btKlients = new QPushButton(tr("Klients"), this);
    btKlients->setObjectName(QStringLiteral("btKlients"));
    m_edKlients = new QLineEdit(this);
    m_edKlients->setObjectName(QStringLiteral("ISKLIENTS"));
    m_edKlients->setReadOnly(true);
    m_edKlients->setFocusPolicy(Qt::NoFocus);
    auto* btInfo = new QPushButton(QStringLiteral("i"), this);
    btInfo->setObjectName(QStringLiteral("btKlientsInfo"));
    btInfo->setMaximumWidth(28);
    patientRow->addWidget(btKlients);
    patientRow->addWidget(m_edKlients, 1);
    patientRow->addWidget(btInfo);
    form->addRow(patientRow);

    auto addLookup = [&](const char* column, const QString& caption, const QVector<QPair<int, QString>>& items,
                         int emptyKey) {
        auto* combo = new widgets::LookupCombo(this);
        combo->setObjectName(QString::fromLatin1(column));
        combo->setItems(items);
        combo->setEmptyKey(emptyKey);
        form->addRow(caption, combo);
        m_lookups.insert(QString::fromLatin1(column), combo);
    };
    const QVector<QPair<int, QString>> staff = m_store.staff();
    // Staff not chosen is the default row 1; the assistant, room and type have no such choice.
    addLookup("ISPIETEICEJS", tr("Pieteicējs:"), staff, 1);
    addLookup("ISIZPILDITAJS", tr("Speciālists:"), staff, 1);
    addLookup("ISASISTENTS", tr("Asistents:"), staff, 0);
    addLookup("ISKABINETS", tr("Kabinets:"), m_store.rooms(), 0);
    addLookup("ISVEIDS", tr("Konsultācijas veids"), m_store.types(), 0);

    m_edPiezimes = new QPlainTextEdit(this);
    m_edPiezimes->setObjectName(QStringLiteral("PIEZIMES"));
    m_edPiezimes->setTabChangesFocus(true);
    auto* notesBox = new QGroupBox(tr("Problēmas apraksts"), this);
    auto* notesLayout = new QVBoxLayout(notesBox);
    notesLayout->addWidget(m_edPiezimes);

    auto* callBox = new QGroupBox(tr("Sazvanīt :"), this);
    m_rgSazvanit = radioGroup(this, callBox, {tr("Nevajag"), tr("Sazvanīt"), tr("Jau sazvanīts")});
    auto* protezBox = new QGroupBox(tr("Protezēšanas materiāls :"), this);
    m_rgProtez =
        radioGroup(this, protezBox, {tr("Nevajag"), tr("Nepieciešams"), tr("Ir atnācis"), tr("Nodots pacientam")});

    auto* buttons = new QHBoxLayout;
    auto addButton = [&](const QString& text, const char* name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    QPushButton* btSaglabat = addButton(tr("&Saglabāt pieteikumu"), "btSaglabat");
    QPushButton* btNoraidit = addButton(tr("&Noraidīt"), "btNoraidit");
    QPushButton* btGaiditaji = addButton(tr("Gaiditāji"), "btGaiditaji");
    QPushButton* btApmeklejums = addButton(tr("Apmeklējums"), "btApmeklejums");
    btApmeklejums->setDefault(true);
    buttons->addStretch(1);
    QPushButton* btAizvert = addButton(tr("Ai&zvērt"), "btAizvert");

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(notesBox, 1);
    layout->addWidget(callBox);
    layout->addWidget(protezBox);
    layout->addLayout(buttons);

    connect(btSaglabat, &QPushButton::clicked, this, [this] { save(); });
    connect(btNoraidit, &QPushButton::clicked, this, [this] { cancelAppointment(); });
    connect(btGaiditaji, &QPushButton::clicked, this, &TEditKalendar::openWaitingList);
    connect(btApmeklejums, &QPushButton::clicked, this, &TEditKalendar::visit);
    connect(btAizvert, &QPushButton::clicked, this, &QDialog::reject);
    connect(btKlients, &QPushButton::clicked, this, &TEditKalendar::pickPatient);
    connect(btInfo, &QPushButton::clicked, this, &TEditKalendar::showPatientCard);
    resize(620, 640);
}

TEditKalendar::~TEditKalendar() = default;

QWidget* TEditKalendar::field(const QString& column) const {
    return findChild<QWidget*>(column);
}

widgets::LookupCombo* TEditKalendar::lookup(const QString& column) const {
    return m_lookups.value(column);
}

QPushButton* TEditKalendar::button(const QString& name) const {
    return findChild<QPushButton*>(name);
}

bool TEditKalendar::start(const app::AppointmentTarget& target) {
    m_savedKey = 0;
    m_mayChange = m_session.hasRight(RightsCode, app::Change);
    m_mayAdd = m_session.hasRight(RightsCode, app::Add);
    m_mayDelete = m_session.hasRight(RightsCode, app::Delete);
    m_roomSlot = target.appointmentKey == 0 && target.roomKey > 0;
    if (target.appointmentKey > 0) {
        const std::optional<Appointment> row = m_store.load(target.appointmentKey);
        if (!row) return false;
        m_row = *row;
    } else {
        m_row = m_store.create(target.specialistKey, target.roomKey, target.slot, AppointmentStore::ReadDefaults());
    }
    fill();
    applyState();
    return true;
}

void TEditKalendar::applyState() {
    button(QStringLiteral("btSaglabat"))->setEnabled(m_mayChange);
    // A new appointment is not stored yet: there is nothing to cancel.
    button(QStringLiteral("btNoraidit"))->setEnabled(m_mayDelete && m_row.isn > 0);
    button(QStringLiteral("btKlients"))->setEnabled(bool(m_session.facades().patients.pick));
    button(QStringLiteral("btKlientsInfo"))->setEnabled(bool(m_session.facades().patients.edit));
    button(QStringLiteral("btApmeklejums"))->setEnabled(bool(m_session.facades().consultations.open));
}

void TEditKalendar::fill() {
    m_edNumurs->setText(m_row.number);
    m_dtpDatums->setDate(m_row.requestDate.date());
    m_dtpPlanDat->setDate(m_row.plannedDate.date());
    m_cbPlanLaiks->setEditText(m_row.plannedTime);
    m_cbIlgums->setEditText(m_row.duration);
    m_edKlients->setText(m_row.patientName);
    lookup(QStringLiteral("ISPIETEICEJS"))->setKey(m_row.taker);
    lookup(QStringLiteral("ISIZPILDITAJS"))->setKey(m_row.specialist);
    lookup(QStringLiteral("ISASISTENTS"))->setKey(m_row.assistant);
    lookup(QStringLiteral("ISKABINETS"))->setKey(m_row.room);
    lookup(QStringLiteral("ISVEIDS"))->setKey(m_row.type);
    m_edPiezimes->setPlainText(m_row.notes);
    if (QAbstractButton* b = m_rgSazvanit->button(m_row.callStatus)) b->setChecked(true);
    if (QAbstractButton* b = m_rgProtez->button(m_row.prostheticMaterial)) b->setChecked(true);
}

void TEditKalendar::collect() {
    m_row.number = m_edNumurs->text();
    m_row.requestDate = withDate(m_row.requestDate, m_dtpDatums->date());
    m_row.plannedDate = withDate(m_row.plannedDate, m_dtpPlanDat->date());
    m_row.plannedTime = m_cbPlanLaiks->currentText();
    m_row.duration = m_cbIlgums->currentText();
    m_row.taker = lookup(QStringLiteral("ISPIETEICEJS"))->key();
    m_row.specialist = lookup(QStringLiteral("ISIZPILDITAJS"))->key();
    m_row.assistant = lookup(QStringLiteral("ISASISTENTS"))->key();
    m_row.room = lookup(QStringLiteral("ISKABINETS"))->key();
    m_row.type = lookup(QStringLiteral("ISVEIDS"))->key();
    m_row.notes = m_edPiezimes->toPlainText();
    if (m_rgSazvanit->checkedId() >= 0) m_row.callStatus = m_rgSazvanit->checkedId();
    if (m_rgProtez->checkedId() >= 0) m_row.prostheticMaterial = m_rgProtez->checkedId();
}

void TEditKalendar::message(const QString& text) {
    QMessageBox::warning(this, windowTitle(), text);
}

void TEditKalendar::focusField(const QString& column) {
    if (column.isEmpty()) return;
    QWidget* w = column == QLatin1String("ISKLIENTS") ? button(QStringLiteral("btKlients")) : field(column);
    if (w) w->setFocus();
}

bool TEditKalendar::write(const std::function<void()>& change) {
    try {
        change();
        return true;
    } catch (const db::StaleRowError& e) {
        // Another workstation changed or cancelled it meanwhile: show its version instead of ours.
        message(e.message());
        widgets::Guard(this, [&] {
            if (const std::optional<Appointment> row = m_store.load(m_row.isn)) m_row = *row;
            fill();
        });
    } catch (const std::exception& e) {
        message(widgets::SystemErrorText(e));
    }
    return false;
}

bool TEditKalendar::store() {
    collect();
    const app::CardCheck check = m_store.validate(m_row, m_mayAdd);
    // The normalised time and number are what the user sees from now on.
    m_edNumurs->setText(m_row.number);
    m_cbPlanLaiks->setEditText(m_row.plannedTime);
    if (!check.ok()) {
        message(check.message);
        focusField(check.field);
        return false;
    }
    AppointmentSave result;
    if (!write([&] { result = m_store.save(m_row, m_session.UserIsn()); })) return false;
    for (const QString& taken : result.takenNumbers) message(AppointmentStore::NumberTakenMessage(taken));
    if (!result.ok()) {
        message(result.message);
        return false;
    }
    if (m_row.isn == 0) AppointmentStore::RememberDefaults(m_row);
    m_row.isn = result.key;
    m_row.number = result.number;
    m_savedKey = result.key;
    return true;
}

bool TEditKalendar::save() {
    if (!store()) return false;
    accept();
    return true;
}

bool TEditKalendar::cancelAppointment() {
    if (m_row.isn <= 0) return false;
    if (QMessageBox::question(this, windowTitle(), tr("Vai tiešām vēlaties dzēst pieteikumu ?"),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    if (!write([&] { m_store.cancel(m_row, m_session.UserIsn()); })) return false;
    m_savedKey = m_row.isn;
    accept();
    return true;
}

void TEditKalendar::pickPatient() {
    const auto& pick = m_session.facades().patients.pick;
    if (!pick) return;
    const int key = pick(this, m_row.patient);
    if (key > 0) setPatient(key);
}

void TEditKalendar::setPatient(int key) {
    widgets::Guard(this, [&] {
        m_edKlients->setText(m_store.patientName(key));
        m_row.patient = key;
    });
}

void TEditKalendar::showPatientCard() {
    const auto& edit = m_session.facades().patients.edit;
    if (!edit || m_row.patient < 2) return;
    edit(this, m_row.patient, false);
    widgets::Guard(this, [&] { m_edKlients->setText(m_store.patientName(m_row.patient)); });
}

void TEditKalendar::openWaitingList() {
    const QString time = AppointmentStore::NormaliseTime(m_cbPlanLaiks->currentText());
    if (!app::IsValidTime(time)) {
        message(tr("Nekorekts laiks !!!"));
        m_cbPlanLaiks->setFocus();
        return;
    }
    int chosen = -1;
    if (!widgets::Guard(this, [&] {
            TGaiditaji list(m_session, m_dtpPlanDat->date(), time, this);
            list.exec();
            chosen = list.selectedKey();
        }))
        return;
    if (chosen > 0) takeWaiting(chosen);
}

void TEditKalendar::takeWaiting(int key) {
    const int specialist = lookup(QStringLiteral("ISIZPILDITAJS"))->key();
    const int room = lookup(QStringLiteral("ISKABINETS"))->key();
    const QDate date = m_dtpPlanDat->date();
    const QString time = AppointmentStore::NormaliseTime(m_cbPlanLaiks->currentText());
    std::optional<Appointment> row;
    if (!widgets::Guard(this, [&] { row = m_store.load(key); }) || !row) return;
    // What is shown now is abandoned; the waiting request moves into this slot when saved.
    m_row = *row;
    if (specialist >= 2) m_row.specialist = specialist;
    if (m_roomSlot && room > 0) m_row.room = room;
    m_row.plannedDate = QDateTime(date, QTime(0, 0));
    m_row.plannedTime = time;
    m_roomSlot = false;
    fill();
    applyState();
}

void TEditKalendar::visit() {
    const auto open = m_session.facades().consultations.open;
    if (!open) return;
    collect();
    std::optional<VisitConsultation> made;
    if (!widgets::Guard(this, [&] { made = m_store.visitConsultation(m_row.isn, m_row.patient, m_row.number); }))
        return;
    QWidget* owner = parentWidget();
    if (made) {
        done(QDialog::Rejected);
        open(owner, {m_row.patient, made->key, 2});
        return;
    }
    // The consultation refers to the request: a new or changed one is stored first.
    if (!store()) return;
    done(QDialog::Accepted);
    open(owner, {m_row.patient, m_row.isn, 1, true});
}

}  // namespace calendar
