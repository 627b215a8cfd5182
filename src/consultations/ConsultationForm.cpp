#include "consultations/ConsultationForm.h"

#include "app/TimeText.h"
#include "consultations/ConsultationTimes.h"
#include "consultations/DentalChartPage.h"
#include "consultations/PatientFilesPage.h"
#include "consultations/StatusPage.h"
#include "consultations/TFKartesOpcijas.h"
#include "widgets/LookupCombo.h"
#include "widgets/NullableDateEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

namespace consultations {

namespace {

// A combo of "hh:nn" texts that also takes a typed time (a one-digit hour is allowed; the save
// puts the zero in front).
QComboBox* timeCombo(QWidget* parent, const char* name, const QStringList& items) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(items);
    c->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,2}:?\\d{0,2}")), c));
    c->setMinimumContentsLength(5);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return c;
}

// The lines of the questionnaire: as many in the first column as in the second, or one more.
constexpr int QuestionColumns = 2;

}  // namespace

ConsultationForm::ConsultationForm(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ConsultationForm"));
    auto* header = new QGridLayout;
    header->setContentsMargins(0, 0, 0, 0);

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
    auto* patientRow = new QHBoxLayout;
    patientRow->addWidget(m_btKlients);
    patientRow->addWidget(m_edKlients, 1);
    patientRow->addWidget(m_btInfo);

    m_edNumurs = new QLineEdit(this);
    m_edNumurs->setObjectName(QStringLiteral("NUMURS"));
    m_edNumurs->setMaxLength(NumberWidth);
    m_dtpDatums = new widgets::NullableDateEdit(this);
    m_dtpDatums->setObjectName(QStringLiteral("DATUMS"));
    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(m_edNumurs, 1);
    numberRow->addWidget(m_dtpDatums);

    const QStringList times = app::WorkingHourSlots(QStringLiteral("07:00"), QStringLiteral("22:00"), 15);
    m_cbStart = timeCombo(this, "TIME_START", times);
    m_cbEnd = timeCombo(this, "TIME_END", times);
    m_cbIlgums = timeCombo(this, "ILGUMS", app::DurationSlots(15));
    auto* periodRow = new QHBoxLayout;
    periodRow->addWidget(m_cbStart);
    periodRow->addWidget(new QLabel(QStringLiteral("-"), this));
    periodRow->addWidget(m_cbEnd);
    periodRow->addSpacing(8);
    periodRow->addWidget(new QLabel(tr("ilgums"), this));
    periodRow->addWidget(m_cbIlgums);
    periodRow->addStretch(1);

    auto addLookup = [&](const char* column, int emptyKey) {
        auto* combo = new widgets::LookupCombo(this);
        combo->setObjectName(QString::fromLatin1(column));
        combo->setEmptyKey(emptyKey);
        m_lookups.insert(QString::fromLatin1(column), combo);
        return combo;
    };
    // A specialist not chosen is the default row 1; room and assistant have no such row.
    widgets::LookupCombo* room = addLookup("ISKABINETS", 0);
    widgets::LookupCombo* specialist = addLookup("ISIZPILDITAJS", 1);
    widgets::LookupCombo* assistant = addLookup("ISASISTENTS", 0);

    m_edPiezimes = new QPlainTextEdit(this);
    m_edPiezimes->setObjectName(QStringLiteral("PIEZIMES"));
    m_edPiezimes->setTabChangesFocus(true);
    m_edPiezimes->setMaximumHeight(m_edPiezimes->fontMetrics().lineSpacing() * 3 + 12);

    header->addLayout(patientRow, 0, 0, 1, 2);
    header->addWidget(new QLabel(tr("Numurs:"), this), 0, 2);
    header->addLayout(numberRow, 0, 3);
    header->addWidget(new QLabel(tr("Periods"), this), 1, 0);
    header->addLayout(periodRow, 1, 1);
    header->addWidget(new QLabel(tr("Kabinets:"), this), 1, 2);
    header->addWidget(room, 1, 3);
    header->addWidget(new QLabel(tr("Speciālists:"), this), 2, 0);
    header->addWidget(specialist, 2, 1);
    header->addWidget(new QLabel(tr("Asistents:"), this), 2, 2);
    header->addWidget(assistant, 2, 3);
    header->addWidget(new QLabel(tr("Piezīmes :"), this), 3, 0, Qt::AlignTop);
    header->addWidget(m_edPiezimes, 3, 1, 1, 3);
    header->setColumnStretch(1, 3);
    header->setColumnStretch(3, 2);

    // The inner pages.
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("pgKonsultacija"));
    auto* questionnaire = new QWidget(m_pages);
    questionnaire->setObjectName(QStringLiteral("tabVispSasl"));
    auto* questions = new QGridLayout(questionnaire);
    const QVector<HealthQuestion>& list = HealthQuestions();
    const int perColumn = (int(list.size()) + QuestionColumns - 1) / QuestionColumns;
    for (int i = 0; i < list.size(); ++i) {
        auto* flag = new QCheckBox(QCoreApplication::translate("TKonsultacijas", list.at(i).caption), questionnaire);
        flag->setObjectName(QString::fromLatin1(list.at(i).column));
        auto* comment = new QLineEdit(questionnaire);
        comment->setObjectName(QString::fromLatin1(list.at(i).column) + QStringLiteral("_CMT"));
        comment->setMaxLength(HealthCommentWidth);
        const int row = i % perColumn;
        const int col = (i / perColumn) * 2;
        questions->addWidget(flag, row, col);
        questions->addWidget(comment, row, col + 1);
        m_flags.append(flag);
        m_comments.append(comment);
    }
    questions->setColumnStretch(1, 1);
    questions->setColumnStretch(3, 1);
    questions->setRowStretch(perColumn, 1);
    m_pages->addTab(questionnaire, tr("Visp.sasl."));

    auto placeholder = [&](const char* name, const QString& caption) {
        auto* page = new QWidget(m_pages);
        page->setObjectName(QString::fromLatin1(name));
        m_pages->addTab(page, caption);
    };
    m_status = new StatusPage(m_pages);
    m_pages->addTab(m_status, tr("Statusa (Zobu) formula"));
    m_chart = new dentalchart::DentalChartPage(m_pages);
    m_chart->setObjectName(QStringLiteral("tabZKarte"));
    m_pages->addTab(m_chart, tr("Z-karte"));
    auto* diagnosisPage = new QWidget(m_pages);
    diagnosisPage->setObjectName(QStringLiteral("tabDiagnoze"));
    auto* diagnosisLayout = new QVBoxLayout(diagnosisPage);
    m_edDiagnoze = new QPlainTextEdit(diagnosisPage);
    m_edDiagnoze->setObjectName(QStringLiteral("DIAGNOZE"));
    m_edDiagnoze->setTabChangesFocus(true);
    diagnosisLayout->addWidget(m_edDiagnoze);
    m_pages->addTab(diagnosisPage, tr("Diagnoze"));
    placeholder("tabPlans", tr("Plāns"));
    placeholder("tabArstesana", tr("Ārstēšana"));
    m_files = new PatientFilesPage(m_pages);
    m_pages->addTab(m_files, tr("Foto un faili"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(header);
    layout->addWidget(m_pages, 1);

    connect(m_btKlients, &QPushButton::clicked, this, &ConsultationForm::patientRequested);
    connect(m_btInfo, &QPushButton::clicked, this, &ConsultationForm::patientInfoRequested);
    connect(m_chart, &dentalchart::DentalChartPage::chartChanged, this, [this](const QString& text) {
        m_chartChanged = true;
        Q_EMIT chartChanged(text);
    });
    // The palette belongs to the chart page: it goes when another page comes forward.
    connect(m_pages, &QTabWidget::currentChanged, this, [this] {
        if (m_chartToDraw && m_pages->currentWidget() == m_chart) {
            m_chartToDraw = false;
            m_chart->setChart(m_shownChart);
        }
        if (m_editable && m_pages->currentWidget() == m_chart)
            showChartPalette();
        else
            hideChartPalette();
    });
    connect(m_cbStart->lineEdit(), &QLineEdit::editingFinished, this, &ConsultationForm::startLeft);
    connect(m_cbStart, &QComboBox::activated, this, &ConsultationForm::startLeft);
    connect(m_cbEnd->lineEdit(), &QLineEdit::editingFinished, this, &ConsultationForm::endLeft);
    connect(m_cbEnd, &QComboBox::activated, this, &ConsultationForm::endLeft);
    connect(m_cbIlgums->lineEdit(), &QLineEdit::editingFinished, this, &ConsultationForm::durationLeft);
    connect(m_cbIlgums, &QComboBox::activated, this, &ConsultationForm::durationLeft);
}

void ConsultationForm::setStaff(const QVector<QPair<int, QString>>& staff) {
    lookup(QStringLiteral("ISIZPILDITAJS"))->setItems(staff);
    lookup(QStringLiteral("ISASISTENTS"))->setItems(staff);
}

void ConsultationForm::setRooms(const QVector<QPair<int, QString>>& rooms) {
    lookup(QStringLiteral("ISKABINETS"))->setItems(rooms);
}

void ConsultationForm::setTime(QComboBox* combo, const QString& text) {
    // A stored time off the list's step is added to the list, so that it shows as one of them.
    if (!text.isEmpty() && app::IsValidTime(text) && combo->findText(text) < 0) {
        int at = 0;
        while (at < combo->count() && combo->itemText(at) < text) ++at;
        combo->insertItem(at, text);
    }
    combo->setCurrentIndex(combo->findText(text));
    combo->setEditText(text);
}

void ConsultationForm::showConsultation(const Consultation& c, const QString& duration) {
    m_status->showValues(c.status);
    m_files->showPatient(c.patient);
    m_edNumurs->setText(c.number);
    m_dtpDatums->setValue(c.date);
    setTime(m_cbStart, c.timeStart);
    setTime(m_cbEnd, c.timeEnd);
    m_cbIlgums->setEditText(duration.isEmpty() ? DurationBetween(c.timeStart, c.timeEnd) : duration);
    m_edKlients->setText(c.patientName);
    lookup(QStringLiteral("ISKABINETS"))->setKey(c.room);
    lookup(QStringLiteral("ISIZPILDITAJS"))->setKey(c.specialist);
    lookup(QStringLiteral("ISASISTENTS"))->setKey(c.assistant);
    m_edPiezimes->setPlainText(c.notes);
    m_edDiagnoze->setPlainText(c.diagnosis);
    m_shownChart = c.chart;
    m_chartChanged = false;
    // The chart is drawn when its page is in front (moving through the list draws nothing).
    m_chartToDraw = m_pages->currentWidget() != m_chart;
    if (!m_chartToDraw) m_chart->setChart(c.chart);
    for (int i = 0; i < m_flags.size(); ++i) {
        const HealthAnswer answer = c.health.value(i);
        m_flags.at(i)->setChecked(answer.yes);
        m_comments.at(i)->setText(answer.comment);
    }
    Q_EMIT consultationShown(c.isn);
}

void ConsultationForm::clearConsultation() {
    Consultation empty;
    empty.specialist = 0;
    showConsultation(empty);
    m_cbIlgums->setEditText(QString());
}

Consultation ConsultationForm::collect(const Consultation& over) const {
    Consultation c = over;
    c.status = m_status->values();
    c.number = m_edNumurs->text();
    c.date = m_dtpDatums->value();
    c.timeStart = m_cbStart->currentText();
    c.timeEnd = m_cbEnd->currentText();
    c.room = lookup(QStringLiteral("ISKABINETS"))->key();
    c.specialist = lookup(QStringLiteral("ISIZPILDITAJS"))->key();
    c.assistant = lookup(QStringLiteral("ISASISTENTS"))->key();
    c.notes = m_edPiezimes->toPlainText();
    c.diagnosis = m_edDiagnoze->toPlainText();
    c.chart = m_chartChanged ? m_chart->chart() : m_shownChart;
    for (int i = 0; i < m_flags.size(); ++i) c.health[i] = {m_flags.at(i)->isChecked(), m_comments.at(i)->text()};
    return c;
}

void ConsultationForm::setPatientName(const QString& name) { m_edKlients->setText(name); }

void ConsultationForm::setEditable(bool editable) {
    m_editable = editable;
    m_status->setEditable(editable);
    m_edNumurs->setReadOnly(!editable);
    m_dtpDatums->setReadOnly(!editable);
    m_edPiezimes->setReadOnly(!editable);
    m_edDiagnoze->setReadOnly(!editable);
    for (QComboBox* c : {m_cbStart, m_cbEnd, m_cbIlgums}) c->setEnabled(editable);
    for (widgets::LookupCombo* l : std::as_const(m_lookups)) l->setEnabled(editable);
    m_btKlients->setEnabled(editable);
    // The answers stay readable while they cannot be changed.
    for (QCheckBox* flag : std::as_const(m_flags)) {
        flag->setAttribute(Qt::WA_TransparentForMouseEvents, !editable);
        flag->setFocusPolicy(editable ? Qt::StrongFocus : Qt::NoFocus);
    }
    for (QLineEdit* comment : std::as_const(m_comments)) comment->setReadOnly(!editable);
    const bool wasEditable = m_chart->isEditable();
    m_chart->setEditable(editable);
    if (!editable)
        hideChartPalette();
    else if (!wasEditable && m_pages->currentWidget() == m_chart)
        showChartPalette();
}

void ConsultationForm::showChartPalette() {
    if (isVisible()) m_chart->showPalette();
}

void ConsultationForm::hideChartPalette() { m_chart->hidePalette(); }

void ConsultationForm::focusField(const QString& column) {
    if (column.isEmpty()) return;
    QWidget* w = column == QLatin1String("ISKLIENTS") ? m_btKlients : field(column);
    if (!w) return;
    // A field on an inner page brings its page forward.
    for (int i = 0; i < m_pages->count(); ++i)
        if (m_pages->widget(i)->isAncestorOf(w)) m_pages->setCurrentIndex(i);
    w->setFocus();
}

QWidget* ConsultationForm::field(const QString& column) const { return findChild<QWidget*>(column); }

QComboBox* ConsultationForm::timeField(const QString& column) const { return findChild<QComboBox*>(column); }

widgets::LookupCombo* ConsultationForm::lookup(const QString& column) const { return m_lookups.value(column); }

QCheckBox* ConsultationForm::healthFlag(int question) const { return m_flags.value(question); }

QLineEdit* ConsultationForm::healthComment(int question) const { return m_comments.value(question); }

QPushButton* ConsultationForm::button(const QString& name) const { return findChild<QPushButton*>(name); }

void ConsultationForm::startLeft() {
    if (!m_editable) return;
    const QString end = EndFromDuration(m_cbStart->currentText(), m_cbIlgums->currentText());
    if (!end.isEmpty()) m_cbEnd->setEditText(end);
}

void ConsultationForm::endLeft() {
    if (!m_editable) return;
    m_cbIlgums->setEditText(DurationBetween(m_cbStart->currentText(), m_cbEnd->currentText()));
}

void ConsultationForm::durationLeft() {
    if (!m_editable) return;
    const QString end = EndFromDuration(m_cbStart->currentText(), m_cbIlgums->currentText());
    if (!end.isEmpty()) m_cbEnd->setEditText(end);
}

}  // namespace consultations
