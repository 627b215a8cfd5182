#include "consultations/RequestForm.h"

#include "app/TimeText.h"
#include "consultations/RequestStore.h"
#include "widgets/LookupCombo.h"
#include "widgets/NullableDateEdit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace consultations {

namespace {

QRegularExpressionValidator* timeValidator(QObject* parent) {
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,2}:?\\d{0,2}")), parent);
}

// A combo of "hh:nn" texts that also takes a typed time (a one-digit hour is allowed; the save
// puts the zero in front).
QComboBox* timeCombo(QWidget* parent, const char* name, const QStringList& items) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(items);
    c->setValidator(timeValidator(c));
    c->setMinimumContentsLength(5);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return c;
}

QButtonGroup* radioGroup(QWidget* owner, QGroupBox* box, const QStringList& captions) {
    auto* group = new QButtonGroup(owner);
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

RequestForm::RequestForm(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("RequestForm"));

    m_edNumurs = new QLineEdit(this);
    m_edNumurs->setObjectName(QStringLiteral("NUMURS"));
    m_edNumurs->setMaxLength(calendar::AppointmentStore::NumberWidth);
    m_dtpDatums = new widgets::NullableDateEdit(QDate::currentDate(), this);
    m_dtpDatums->setObjectName(QStringLiteral("DATUMS"));
    m_dtpDatums->setNullable(false);

    m_btKlients = new QPushButton(tr("Klients"), this);
    m_btKlients->setObjectName(QStringLiteral("btKlients"));
    m_btKlients->setAutoDefault(false);
    m_edKlients = new QLineEdit(this);
    m_edKlients->setObjectName(QStringLiteral("ISKLIENTS"));
    m_edKlients->setReadOnly(true);
    m_edKlients->setFocusPolicy(Qt::NoFocus);
    m_btInfo = new QPushButton(QStringLiteral("i"), this);
    m_btInfo->setObjectName(QStringLiteral("btKlientsInfo"));
    m_btInfo->setAutoDefault(false);
    m_btInfo->setMaximumWidth(28);

    auto lookup = [this](const char* column, int emptyKey) {
        auto* combo = new widgets::LookupCombo(this);
        combo->setObjectName(QString::fromLatin1(column));
        combo->setEmptyKey(emptyKey);
        m_lookups.insert(QString::fromLatin1(column), combo);
        return combo;
    };
    // Staff not chosen is the default row 1; the assistant, room and type have no such choice.
    lookup("ISPIETEICEJS", 1);
    lookup("ISIZPILDITAJS", 1);
    lookup("ISASISTENTS", 0);
    lookup("ISKABINETS", 0);
    lookup("ISVEIDS", 0);

    m_dtpPlanDat = new widgets::NullableDateEdit(QDate::currentDate(), this);
    m_dtpPlanDat->setObjectName(QStringLiteral("PLAN_DAT"));
    m_dtpPlanDat->setNullable(false);
    m_cbPlanLaiks =
        timeCombo(this, "PLAN_LAIKS", app::WorkingHourSlots(QStringLiteral("07:00"), QStringLiteral("22:00"), 15));
    m_cbIlgums = timeCombo(this, "PLAN_ILGUMS", app::DurationSlots(15));

    // Left column: who and what; right column: when.
    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    int row = 0;
    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(m_edNumurs, 1);
    numberRow->addWidget(new QLabel(tr("Datums:"), this));
    numberRow->addWidget(m_dtpDatums);
    grid->addWidget(new QLabel(tr("Numurs:"), this), row, 0);
    grid->addLayout(numberRow, row++, 1);
    auto* patientRow = new QHBoxLayout;
    patientRow->addWidget(m_edKlients, 1);
    patientRow->addWidget(m_btInfo);
    grid->addWidget(m_btKlients, row, 0);
    grid->addLayout(patientRow, row++, 1);
    grid->addWidget(new QLabel(tr("Pieteicējs:"), this), row, 0);
    grid->addWidget(m_lookups.value(QStringLiteral("ISPIETEICEJS")), row++, 1);
    grid->addWidget(new QLabel(tr("Speciālists:"), this), row, 0);
    grid->addWidget(m_lookups.value(QStringLiteral("ISIZPILDITAJS")), row++, 1);
    grid->addWidget(new QLabel(tr("Asistents:"), this), row, 0);
    grid->addWidget(m_lookups.value(QStringLiteral("ISASISTENTS")), row++, 1);
    grid->addWidget(new QLabel(tr("Kabinets:"), this), row, 0);
    grid->addWidget(m_lookups.value(QStringLiteral("ISKABINETS")), row++, 1);
    grid->addWidget(new QLabel(tr("Konsultācijas veids:"), this), row, 0);
    grid->addWidget(m_lookups.value(QStringLiteral("ISVEIDS")), row++, 1);
    auto* planRow = new QHBoxLayout;
    planRow->addWidget(m_dtpPlanDat);
    planRow->addWidget(new QLabel(tr("Laiks:"), this));
    planRow->addWidget(m_cbPlanLaiks);
    planRow->addWidget(new QLabel(tr("Ilgums:"), this));
    planRow->addWidget(m_cbIlgums);
    planRow->addStretch(1);
    grid->addWidget(new QLabel(tr("Plān. datums:"), this), row, 0);
    grid->addLayout(planRow, row++, 1);
    grid->setColumnStretch(1, 1);

    m_edPiezimes = new QPlainTextEdit(this);
    m_edPiezimes->setObjectName(QStringLiteral("PIEZIMES"));
    m_edPiezimes->setTabChangesFocus(true);
    // Grows with the form; at least three lines.
    m_edPiezimes->setMinimumHeight(m_edPiezimes->fontMetrics().lineSpacing() * 3 + 12);
    auto* notesBox = new QGroupBox(tr("Problēmas apraksts"), this);
    auto* notesLayout = new QVBoxLayout(notesBox);
    notesLayout->addWidget(m_edPiezimes);
    grid->addWidget(notesBox, row++, 0, 1, 2);
    grid->setRowStretch(row - 1, 1);

    // Right column: "Var pirms šī laika" and the days the patient can come.
    m_chkPirmsDatuma = new QCheckBox(tr("Var pirms šī laika"), this);
    m_chkPirmsDatuma->setObjectName(QStringLiteral("PIRMS_DATUMA"));
    m_daysPanel = new QGroupBox(tr("Klients var šajos laikos:"), this);
    m_daysPanel->setObjectName(QStringLiteral("pnlDienas"));
    auto* days = new QGridLayout(m_daysPanel);
    const QStringList captions = RequestStore::WeekdayCaptions();
    for (int d = 0; d < 7; ++d) {
        const QString name = QStringLiteral("DIENA%1").arg(d + 1);
        auto* box = new QCheckBox(captions.at(d), m_daysPanel);
        box->setObjectName(name);
        auto* from = new QLineEdit(m_daysPanel);
        from->setObjectName(name + QStringLiteral("_NO"));
        auto* until = new QLineEdit(m_daysPanel);
        until->setObjectName(name + QStringLiteral("_LIDZ"));
        for (QLineEdit* e : {from, until}) {
            e->setValidator(timeValidator(e));
            e->setMaxLength(5);
            e->setMaximumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("00:000")) + 12);
        }
        auto* dash = new QLabel(QStringLiteral("-"), m_daysPanel);
        days->addWidget(box, d, 0);
        days->addWidget(from, d, 1);
        days->addWidget(dash, d, 2);
        days->addWidget(until, d, 3);
        m_days.append(box);
        m_from.append(from);
        m_until.append(until);
        m_dayDash.append(dash);
        connect(box, &QCheckBox::toggled, this, [this] { applyDays(); });
    }
    days->setColumnStretch(4, 1);
    connect(m_chkPirmsDatuma, &QCheckBox::toggled, this, [this] { applyDays(); });

    auto* callBox = new QGroupBox(tr("Sazvanīt :"), this);
    m_rgSazvanit = radioGroup(this, callBox, {tr("Nevajag"), tr("Sazvanīt"), tr("Jau sazvanīts")});
    auto* protezBox = new QGroupBox(tr("Protezēšanas materiāls :"), this);
    m_rgProtez =
        radioGroup(this, protezBox, {tr("Nevajag"), tr("Nepieciešams"), tr("Ir atnācis"), tr("Nodots pacientam")});
    // The reminders set these; they are shown, not edited.
    m_chkEmail = new QCheckBox(tr("E-pasts nosūtīts"), this);
    m_chkEmail->setObjectName(QStringLiteral("ISEMAILSENT"));
    m_chkSms = new QCheckBox(tr("SMS nosūtīta"), this);
    m_chkSms->setObjectName(QStringLiteral("ISSMSSENT"));
    for (QCheckBox* c : {m_chkEmail, m_chkSms}) {
        c->setAttribute(Qt::WA_TransparentForMouseEvents);
        c->setFocusPolicy(Qt::NoFocus);
    }
    auto* sentRow = new QHBoxLayout;
    sentRow->addWidget(m_chkEmail);
    sentRow->addWidget(m_chkSms);
    sentRow->addStretch(1);

    auto* right = new QVBoxLayout;
    right->addWidget(m_chkPirmsDatuma);
    right->addWidget(m_daysPanel);
    right->addWidget(callBox);
    right->addWidget(protezBox);
    right->addLayout(sentRow);
    right->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(grid, 3);
    layout->addLayout(right, 2);

    connect(m_btKlients, &QPushButton::clicked, this, &RequestForm::patientRequested);
    connect(m_btInfo, &QPushButton::clicked, this, &RequestForm::patientInfoRequested);
    applyDays();
}

void RequestForm::setStaff(const QVector<QPair<int, QString>>& staff) {
    for (const char* column : {"ISPIETEICEJS", "ISIZPILDITAJS", "ISASISTENTS"}) {
        widgets::LookupCombo* l = lookup(QString::fromLatin1(column));
        const int key = l->key();
        l->setItems(staff);
        l->setKey(key);
    }
}

void RequestForm::setRooms(const QVector<QPair<int, QString>>& rooms) {
    widgets::LookupCombo* l = lookup(QStringLiteral("ISKABINETS"));
    const int key = l->key();
    l->setItems(rooms);
    l->setKey(key);
}

void RequestForm::setTypes(const QVector<QPair<int, QString>>& types) {
    widgets::LookupCombo* l = lookup(QStringLiteral("ISVEIDS"));
    const int key = l->key();
    l->setItems(types);
    l->setKey(key);
}

void RequestForm::setWorkingDays(const std::array<bool, 7>& days) {
    m_workingDays = days;
    applyDays();
}

void RequestForm::applyDays() {
    // The days are asked only of a patient who can come earlier, and only the clinic's working
    // days; a day's times are typed once the day is ticked.
    m_daysPanel->setVisible(m_chkPirmsDatuma->isChecked());
    for (int d = 0; d < 7; ++d) {
        const bool working = m_workingDays[size_t(d)];
        for (QWidget* w : {static_cast<QWidget*>(m_days.at(d)), static_cast<QWidget*>(m_from.at(d)),
                           static_cast<QWidget*>(m_dayDash.at(d)), static_cast<QWidget*>(m_until.at(d))})
            w->setVisible(working);
        m_days.at(d)->setEnabled(m_editable);
        const bool times = m_editable && m_days.at(d)->isChecked();
        m_from.at(d)->setEnabled(times);
        m_until.at(d)->setEnabled(times);
    }
}

void RequestForm::showRequest(const calendar::Appointment& a) {
    m_edNumurs->setText(a.number);
    m_dtpDatums->setDate(a.requestDate.isValid() ? a.requestDate.date() : QDate::currentDate());
    m_dtpPlanDat->setDate(a.plannedDate.isValid() ? a.plannedDate.date() : QDate::currentDate());
    m_cbPlanLaiks->setEditText(a.plannedTime);
    m_cbIlgums->setEditText(a.duration);
    m_edKlients->setText(a.patientName);
    lookup(QStringLiteral("ISPIETEICEJS"))->setKey(a.taker);
    lookup(QStringLiteral("ISIZPILDITAJS"))->setKey(a.specialist);
    lookup(QStringLiteral("ISASISTENTS"))->setKey(a.assistant);
    lookup(QStringLiteral("ISKABINETS"))->setKey(a.room);
    lookup(QStringLiteral("ISVEIDS"))->setKey(a.type);
    m_edPiezimes->setPlainText(a.notes);
    m_chkPirmsDatuma->setChecked(a.waiting);
    for (int d = 0; d < 7; ++d) {
        const calendar::WeekdayTimes& day = a.days[size_t(d)];
        m_days.at(d)->setChecked(day.on);
        m_from.at(d)->setText(day.from);
        m_until.at(d)->setText(day.until);
    }
    for (QButtonGroup* group : {m_rgSazvanit, m_rgProtez}) {
        // No radio stays checked for a state that has none.
        group->setExclusive(false);
        for (QAbstractButton* b : group->buttons()) b->setChecked(false);
        group->setExclusive(true);
    }
    if (QAbstractButton* b = m_rgSazvanit->button(a.callStatus)) b->setChecked(true);
    if (QAbstractButton* b = m_rgProtez->button(a.prostheticMaterial)) b->setChecked(true);
    m_chkEmail->setChecked(a.emailSent);
    m_chkSms->setChecked(a.smsSent);
    applyDays();
}

void RequestForm::clearRequest() {
    calendar::Appointment empty;
    empty.patient = 1;
    showRequest(empty);
    m_edNumurs->clear();
}

calendar::Appointment RequestForm::collect(const calendar::Appointment& over) const {
    calendar::Appointment a = over;
    a.number = m_edNumurs->text();
    a.requestDate = withDate(over.requestDate, m_dtpDatums->date());
    a.plannedDate = withDate(over.plannedDate, m_dtpPlanDat->date());
    a.plannedTime = m_cbPlanLaiks->currentText();
    a.duration = m_cbIlgums->currentText();
    a.taker = lookup(QStringLiteral("ISPIETEICEJS"))->key();
    a.specialist = lookup(QStringLiteral("ISIZPILDITAJS"))->key();
    a.assistant = lookup(QStringLiteral("ISASISTENTS"))->key();
    a.room = lookup(QStringLiteral("ISKABINETS"))->key();
    a.type = lookup(QStringLiteral("ISVEIDS"))->key();
    a.notes = m_edPiezimes->toPlainText();
    a.waiting = m_chkPirmsDatuma->isChecked();
    for (int d = 0; d < 7; ++d) {
        // A day that is not the clinic's working day keeps what was stored.
        if (!m_workingDays[size_t(d)]) continue;
        a.days[size_t(d)] = {m_days.at(d)->isChecked(), m_from.at(d)->text().trimmed(), m_until.at(d)->text().trimmed()};
    }
    if (m_rgSazvanit->checkedId() >= 0) a.callStatus = m_rgSazvanit->checkedId();
    if (m_rgProtez->checkedId() >= 0) a.prostheticMaterial = m_rgProtez->checkedId();
    return a;
}

void RequestForm::setPatientName(const QString& name) { m_edKlients->setText(name); }

void RequestForm::setEditable(bool editable) {
    m_editable = editable;
    m_edNumurs->setReadOnly(!editable);
    m_dtpDatums->setReadOnly(!editable);
    m_dtpPlanDat->setReadOnly(!editable);
    m_edPiezimes->setReadOnly(!editable);
    for (QComboBox* c : {m_cbPlanLaiks, m_cbIlgums}) c->setEnabled(editable);
    for (widgets::LookupCombo* l : std::as_const(m_lookups)) l->setEnabled(editable);
    m_btKlients->setEnabled(editable);
    m_chkPirmsDatuma->setEnabled(editable);
    for (QAbstractButton* b : m_rgSazvanit->buttons() + m_rgProtez->buttons()) b->setEnabled(editable);
    applyDays();
}

void RequestForm::focusField(const QString& column) {
    if (column.isEmpty()) return;
    QWidget* w = column == QLatin1String("ISKLIENTS") ? m_btKlients : field(column);
    if (w) w->setFocus();
}

QWidget* RequestForm::field(const QString& column) const { return findChild<QWidget*>(column); }

widgets::LookupCombo* RequestForm::lookup(const QString& column) const { return m_lookups.value(column); }

QComboBox* RequestForm::timeField(const QString& column) const { return findChild<QComboBox*>(column); }

QPushButton* RequestForm::button(const QString& name) const { return findChild<QPushButton*>(name); }

}  // namespace consultations
