#include "consultations/TKonsultacijas.h"

#include "app/ChangeNotifier.h"
#include "app/Rights.h"
#include "app/Settings.h"
#include "billing/InvoicePrint.h"
#include "billing/TIzrakstisanaDati.h"
#include "consultations/ConsultationForm.h"
#include "consultations/ConsultationTimes.h"
#include "consultations/PatientFilesPage.h"
#include "consultations/RequestsPage.h"
#include "consultations/TIzpildeFiltrs.h"
#include "consultations/TreatmentPage.h"
#include "db/DbError.h"
#include "models/ResultTableModel.h"
#include "reports/ReportPreview.h"
#include "widgets/GridLayout.h"
#include "widgets/Guard.h"
#include "widgets/ListGrid.h"
#include "widgets/LiveRefresh.h"
#include "widgets/LookupCombo.h"

#include <QCloseEvent>
#include <QHideEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace consultations {

namespace {

// The rights code of the consultation register.
const QString RightsCode = QStringLiteral("11");

QString section() { return QString::fromLatin1(TKonsultacijasDati::SettingsSection); }

// The grid's fields in column order; calculated columns are named as the list's sort knows them.
const QStringList& gridFields() {
    static const QStringList fields{QStringLiteral("NUMURS"),   QStringLiteral("ShKlientsFIO"),
                                    QStringLiteral("DATUMS"),   QStringLiteral("KABINETS"),
                                    QStringLiteral("ShIzpilditajsFIO"), QStringLiteral("TIME_START"),
                                    QStringLiteral("TIME_END"), QStringLiteral("ShDzests")};
    return fields;
}

models::GridColumn nameColumn(const QString& title, const char* surname, const char* name) {
    models::GridColumn c;
    c.title = title;
    c.calculate = [surname, name](const db::ResultSet& rows, int row) -> QVariant {
        const QVariant s = rows.value(row, QString::fromLatin1(surname));
        if (!s.isValid()) return QVariant();
        return QString(s.toString() + QLatin1Char(' ') + rows.value(row, QString::fromLatin1(name)).toString());
    };
    return c;
}

}  // namespace

TKonsultacijas::TKonsultacijas(app::Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session), m_dati(session.database()) {
    setObjectName(QStringLiteral("TKonsultacijas"));
    setWindowTitle(tr("Pieteikumi un konsultācijas"));
    m_filter = ConsultationFilter::Read();
    m_sort = ConsultationSort::Read();

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("pgKonsultacijas"));
    m_requests = new RequestsPage(m_session, m_tabs);
    m_requests->setObjectName(QStringLiteral("tabPieteikums"));
    m_tabs->addTab(m_requests, tr("Pieteikums"));
    auto* consultationsPage = new QWidget(m_tabs);
    consultationsPage->setObjectName(QStringLiteral("tabKonsultacijas"));
    m_tabs->addTab(consultationsPage, tr("Konsultācijas"));
    buildConsultationsTab(consultationsPage);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_tabs);

    m_staff = m_dati.staff();
    m_form->setStaff(m_staff);
    m_form->setRooms(m_dati.rooms());
    m_form->filesPage()->setSession(&m_session);

    // Consultations saved here or on another workstation, and the names they show, are followed
    // without the user asking; not while one is being edited.
    auto* live = new widgets::LiveRefresh(
        this, widgets::LiveRefresh::KeepingScroll(m_grid, [this] { refresh(); }),
        [this] { return m_state != State::Browse; });
    app::ChangeNotifier& notifier = m_session.notifier();
    connect(&notifier, &app::ChangeNotifier::consultationsChanged, live, &widgets::LiveRefresh::request);
    connect(&notifier, &app::ChangeNotifier::patientsChanged, live, &widgets::LiveRefresh::request);
    connect(&notifier, &app::ChangeNotifier::referenceChanged, live, &widgets::LiveRefresh::request);
    auto* lookups = new widgets::LiveRefresh(
        this,
        [this] {
            m_staff = m_dati.staff();
            m_form->setStaff(m_staff);
            m_form->setRooms(m_dati.rooms());
            m_form->showConsultation(m_record);
        },
        [this] { return m_state != State::Browse; });
    connect(&notifier, &app::ChangeNotifier::referenceChanged, lookups, &widgets::LiveRefresh::request);

    connect(m_tabs, &QTabWidget::currentChanged, this, &TKonsultacijas::updateCaption);
    connect(m_requests, &RequestsPage::closeRequested, this, &QWidget::close);
    connect(m_requests, &RequestsPage::visitRequested, this, [this](int requestKey) {
        if (abandonEdit()) widgets::Guard(this, [&] { startVisit(requestKey); });
    });
    m_tabs->setCurrentIndex(RequestsTab);
    updateCaption();
    loadSettings();
    m_mayChange = m_session.hasRight(RightsCode, app::Change);
    m_mayAdd = m_session.hasRight(RightsCode, app::Add);
    m_mayDelete = m_session.hasRight(RightsCode, app::Delete);
    refresh();
    widgets::LoadGridLayout(m_grid);
}

TKonsultacijas::~TKonsultacijas() { saveSettings(); }

void TKonsultacijas::buildConsultationsTab(QWidget* page) {
    auto* toolbar = new QHBoxLayout;
    auto addButton = [&](const QString& text, const char* name) {
        auto* b = new QPushButton(text, page);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        toolbar->addWidget(b);
        return b;
    };
    QPushButton* btJauns = addButton(tr("Jauns"), "btJauns");
    QPushButton* btLabot = addButton(tr("Labot"), "btLabot");
    QPushButton* btSaglabat = addButton(tr("Saglabāt"), "btSaglabat");
    QPushButton* btNoraidit = addButton(tr("Noraidīt"), "btNoraidit");
    QPushButton* btAtlasit = addButton(tr("Atlasīt"), "btAtlasit");
    QPushButton* btRekins = addButton(tr("Rēķins"), "btRekins");
    toolbar->addStretch(1);
    QPushButton* btAizvert = addButton(tr("Aizvērt"), "btAizvert");

    m_form = new ConsultationForm(page);
    // The plan and treatment pages stand on the form's pages of those names.
    auto placeLines = [&](const char* name, LineKind kind) {
        auto* holder = m_form->pages()->findChild<QWidget*>(QString::fromLatin1(name));
        auto* lines = new TreatmentPage(m_session, kind, holder);
        auto* holderLayout = new QVBoxLayout(holder);
        holderLayout->setContentsMargins(0, 0, 0, 0);
        holderLayout->addWidget(lines);
        return lines;
    };
    m_planPage = placeLines("tabPlans", LineKind::Plan);
    m_treatmentPage = placeLines("tabArstesana", LineKind::Treatment);
    connect(m_form, &ConsultationForm::consultationShown, this, [this](int key) {
        m_planPage->setConsultation(key);
        m_treatmentPage->setConsultation(key);
    });

    m_model = new models::ResultTableModel(this);
    models::GridColumn rejected;
    rejected.title = tr("Noraid.");
    rejected.alignment = Qt::AlignCenter;
    rejected.calculate = [](const db::ResultSet& rows, int row) -> QVariant {
        return rows.value(row, QStringLiteral("DZESTS")).toInt() == 1 ? QStringLiteral("X") : QString();
    };
    m_model->setColumns({{QStringLiteral("NUMURS"), tr("Numurs"), {}, {}},
                         nameColumn(tr("Klients"), "KLIENT_UZVARDS", "KLIENT_VARDS"),
                         {QStringLiteral("DATUMS"), tr("Datums"), QStringLiteral("dd.MM.yyyy"), {}},
                         {QStringLiteral("KABINETS"), tr("Kabinets"), {}, {}},
                         nameColumn(tr("Speciālists"), "IZPILD_UZVARDS", "IZPILD_VARDS"),
                         {QStringLiteral("TIME_START"), tr("Sākums"), {}, {}},
                         {QStringLiteral("TIME_END"), tr("Beigas"), {}, {}},
                         rejected});
    m_grid = new QTableView(page);
    m_grid->setObjectName(QStringLiteral("grdKonsultacijas"));
    m_grid->setModel(m_model);
    widgets::SetupListGrid(m_grid);
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    const int charWidth = m_grid->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const QList<int> widths{10, 26, 11, 14, 22, 7, 7, 7};
    for (int c = 0; c < widths.size(); ++c) m_grid->setColumnWidth(c, widths.at(c) * charWidth + 12);

    m_gridMenu = new QMenu(m_grid);
    QAction* undo = m_gridMenu->addAction(tr("Noraidījuma atcelšana"));
    undo->setObjectName(QStringLiteral("actNoraidijumaAtcelsana"));

    m_splitter = new QSplitter(Qt::Vertical, page);
    m_splitter->setObjectName(QStringLiteral("splitter"));
    m_splitter->addWidget(m_form);
    m_splitter->addWidget(m_grid);
    m_splitter->setStretchFactor(0, 3);
    m_splitter->setStretchFactor(1, 2);
    m_splitter->setChildrenCollapsible(false);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(toolbar);
    layout->addWidget(m_splitter, 1);

    connect(btJauns, &QPushButton::clicked, this, &TKonsultacijas::newConsultation);
    connect(btLabot, &QPushButton::clicked, this, &TKonsultacijas::editConsultation);
    connect(btSaglabat, &QPushButton::clicked, this, &TKonsultacijas::saveConsultation);
    connect(btNoraidit, &QPushButton::clicked, this, &TKonsultacijas::rejectConsultation);
    connect(btAtlasit, &QPushButton::clicked, this, &TKonsultacijas::openFilter);
    connect(btRekins, &QPushButton::clicked, this, &TKonsultacijas::printInvoices);
    connect(m_treatmentPage, &TreatmentPage::invoiceRequested, this, &TKonsultacijas::prepareInvoice);
    connect(btAizvert, &QPushButton::clicked, this, &QWidget::close);
    connect(undo, &QAction::triggered, this, &TKonsultacijas::undoRejection);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_gridMenu->popup(m_grid->viewport()->mapToGlobal(at)); });
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &TKonsultacijas::sortByColumn);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                currentRowChanged(current.row(), previous.row());
            });
    connect(m_form, &ConsultationForm::patientRequested, this, &TKonsultacijas::pickPatient);
    connect(m_form, &ConsultationForm::patientInfoRequested, this, &TKonsultacijas::showPatientCard);
    connect(m_form, &ConsultationForm::chartChanged, this, &TKonsultacijas::chartChanged);
}

QPushButton* TKonsultacijas::button(const QString& name) const {
    // The requests tab has buttons of the same names.
    return m_tabs->widget(ConsultationsTab)->findChild<QPushButton*>(name);
}

void TKonsultacijas::updateCaption() {
    setWindowTitle(m_tabs->currentIndex() == ConsultationsTab ? tr("KONSULTĀCIJAS") : tr("PIETEIKUMI"));
}

void TKonsultacijas::loadSettings() {
    // Each value on its own: a missing one keeps the design's size. The window opens below the
    // main window's strip and within the screen.
    QRect screen = (parentWidget() ? parentWidget()->screen() : this->screen())->availableGeometry();
    if (parentWidget() && parentWidget()->isVisible()) {
        const int below = parentWidget()->frameGeometry().bottom() + 1;
        if (below < screen.bottom() - 300) screen.setTop(below);
    }
    QSize size(1100, 820);
    const int width = app::Settings::integer(section(), QStringLiteral("Width"), 0);
    const int height = app::Settings::integer(section(), QStringLiteral("Height"), 0);
    if (width > 0) size.setWidth(width);
    if (height > 0) size.setHeight(height);
    size = size.boundedTo(screen.size());
    setGeometry(QRect(screen.topLeft(), size));
    const int upper = app::Settings::integer(section(), QStringLiteral("SplitterH"), 0);
    if (upper > 0) m_splitter->setSizes({upper, qMax(120, size.height() - upper)});
    else m_splitter->setSizes({size.height() * 3 / 5, size.height() * 2 / 5});
}

void TKonsultacijas::saveSettings() {
    app::Settings::setInteger(section(), QStringLiteral("Width"), width());
    app::Settings::setInteger(section(), QStringLiteral("Height"), height());
    if (m_splitter) app::Settings::setInteger(section(), QStringLiteral("SplitterH"), m_splitter->sizes().value(0));
    m_filter.write();
    widgets::SaveGridLayout(m_grid);
}

void TKonsultacijas::message(const QString& text) { QMessageBox::warning(this, windowTitle(), text); }

void TKonsultacijas::applyState() {
    const bool browse = m_state == State::Browse;
    const bool any = m_model->rowCount() > 0 && m_record.isn > 0;
    button(QStringLiteral("btJauns"))->setEnabled(browse && m_mayAdd);
    button(QStringLiteral("btLabot"))->setEnabled(browse && m_mayChange && any);
    button(QStringLiteral("btNoraidit"))->setEnabled(browse && m_mayDelete && any && !m_record.rejected);
    button(QStringLiteral("btSaglabat"))->setEnabled(!browse);
    button(QStringLiteral("btRekins"))->setEnabled(browse && any);
    m_form->setEditable(!browse);
    m_form->button(QStringLiteral("btKlients"))->setEnabled(!browse && bool(m_session.facades().patients.pick));
    m_form->button(QStringLiteral("btKlientsInfo"))
        ->setEnabled(bool(m_session.facades().patients.edit) && m_record.patient >= 2);
    if (QAction* undo = m_gridMenu->findChild<QAction*>(QStringLiteral("actNoraidijumaAtcelsana")))
        undo->setEnabled(browse && m_mayDelete && m_record.isn > 0 && m_record.rejected);
}

void TKonsultacijas::prepareInvoice(int consultation) {
    std::optional<billing::TIzrakstisanaDati::ConsultationInvoice> made;
    if (!widgets::Guard(this, [&] {
            made = billing::TIzrakstisanaDati(m_session.database()).invoiceConsultation(consultation, m_session.UserIsn());
        }))
        return;
    if (!made) {
        message(tr("Visi rēķini jau ir izveidoti"));
        return;
    }
    m_treatmentPage->reload();
    if (m_session.facades().billing.openInvoice) m_session.facades().billing.openInvoice(this, made->key);
}

void TKonsultacijas::printInvoices() {
    if (m_state != State::Browse || m_record.isn <= 0) return;
    std::optional<reports::Report> report;
    // Everything the printout shows is read here, once.
    if (!widgets::Guard(this, [&] {
            report = billing::InvoicePrint::ConsultationInvoices(m_session.database(), m_record.isn,
                                                                 m_session.DefaultVatRate());
        }))
        return;
    if (!report) {
        message(tr("Nav izrakstīto rēķinu!"));
        return;
    }
    reports::showReportPreview(*report, this);
}

void TKonsultacijas::setState(State state) {
    m_state = state;
    applyState();
}

void TKonsultacijas::changeEvent(QEvent* event) {
    // The rights are asked again whenever the window comes forward.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_mayChange = m_session.hasRight(RightsCode, app::Change);
        m_mayAdd = m_session.hasRight(RightsCode, app::Add);
        m_mayDelete = m_session.hasRight(RightsCode, app::Delete);
        applyState();
        m_requests->activated();
    }
    QWidget::changeEvent(event);
}

void TKonsultacijas::closeEvent(QCloseEvent* event) {
    if (!abandonEdit() || !m_requests->abandonEdit()) {
        event->ignore();
        return;
    }
    saveSettings();
    m_form->hideChartPalette();
    QWidget::closeEvent(event);
}

void TKonsultacijas::hideEvent(QHideEvent* event) {
    m_form->hideChartPalette();
    QWidget::hideEvent(event);
}

void TKonsultacijas::chartChanged(const QString& text) {
    if (m_state == State::Browse) return;
    m_record.chart = text;
    // A new consultation keeps its chart until it is saved; a stored one has it written at once.
    if (m_state != State::Edit || m_record.isn <= 0) return;
    write([&] { m_record.readStamp = m_dati.saveChart(m_record, text, m_session.UserIsn()); });
}

void TKonsultacijas::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && m_state != State::Browse) {
        abandonEdit();
        return;
    }
    if (event->key() == Qt::Key_Escape && m_requests->state() != RequestsPage::State::Browse) {
        m_requests->abandonEdit();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TKonsultacijas::abandonEdit() {
    if (m_state == State::Browse) return true;
    if (QMessageBox::question(this, windowTitle(), tr("Izmaiņas nav saglabātas. Vai tiešām vēlaties tās atmest ?"),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    setState(State::Browse);
    widgets::Guard(this, [this] { showCurrent(); });
    return true;
}

int TKonsultacijas::currentKey() const {
    const QModelIndex index = m_grid->currentIndex();
    return index.isValid() ? m_model->fieldValue(index.row(), QStringLiteral("ISN")).toInt() : 0;
}

bool TKonsultacijas::setCurrentKey(int key) {
    const int row = key > 0 ? m_model->findRow(key) : -1;
    if (row < 0) return false;
    m_grid->selectRow(row);
    m_grid->scrollTo(m_model->index(row, 0));
    return true;
}

void TKonsultacijas::refresh(int key) {
    const int keep = key > 0 ? key : currentKey();
    const int keepRow = qMax(0, m_grid->currentIndex().row());
    db::ResultSet rows;
    try {
        rows = m_dati.list(m_filter, m_sort);
    } catch (const db::DbError& e) {
        message(tr("Sistēmas kļūda: ") + e.message());
        return;
    }
    m_rebuilding = true;
    m_model->setRows(std::move(rows));
    m_model->setBoldColumn(int(gridFields().indexOf(m_sort.column)));
    // A row that went (rejected, or moved out of the filter) leaves the position where it was.
    if (!setCurrentKey(keep) && m_model->rowCount() > 0) m_grid->selectRow(qMin(keepRow, m_model->rowCount() - 1));
    m_rebuilding = false;
    if (m_state == State::Browse) showCurrent();
    else applyState();
}

void TKonsultacijas::showCurrent() {
    const int key = currentKey();
    std::optional<Consultation> row;
    try {
        if (key > 0) row = m_dati.load(key);
    } catch (const db::DbError& e) {
        message(tr("Sistēmas kļūda: ") + e.message());
    }
    if (row) {
        m_record = *row;
        m_form->showConsultation(m_record);
    } else {
        m_record = Consultation();
        m_form->clearConsultation();
    }
    applyState();
}

void TKonsultacijas::currentRowChanged(int row, int previousRow) {
    if (m_rebuilding) return;
    if (m_state != State::Browse) {
        const int back = previousRow;
        if (!abandonEdit()) {
            // Stay on the row being edited.
            QTimer::singleShot(0, this, [this, back] {
                m_rebuilding = true;
                if (back >= 0) m_grid->selectRow(back);
                m_rebuilding = false;
            });
            return;
        }
        return;  // abandonEdit() has shown the new current row
    }
    Q_UNUSED(row);
    widgets::Guard(this, [this] { showCurrent(); });
}

void TKonsultacijas::setFilter(const ConsultationFilter& filter) {
    m_filter = filter;
    m_filter.write();
}

void TKonsultacijas::sortByColumn(int column) {
    const ConsultationSort sort = m_sort.clicked(gridFields().value(column));
    if (sort == m_sort) return;
    m_sort = sort;
    m_sort.write();
    refresh();
}

void TKonsultacijas::openFilter() {
    TIzpildeFiltrs dialog(m_session, m_staff, this);
    dialog.setFilter(m_filter);
    if (dialog.exec() != QDialog::Accepted) return;
    setFilter(dialog.filter());
    refresh();
}

void TKonsultacijas::newConsultation() {
    if (m_state != State::Browse || !m_mayAdd) return;
    widgets::Guard(this, [this] {
        m_record = m_dati.create(TKonsultacijasDati::ReadDefaults());
        m_offeredNumber = m_record.number;
        m_form->showConsultation(m_record, DurationBetween(m_record.timeStart, m_record.timeEnd));
        setState(State::Insert);
        m_form->focusField(QStringLiteral("ISKLIENTS"));
    });
}

void TKonsultacijas::editConsultation() {
    if (m_state != State::Browse || !m_mayChange || m_model->rowCount() == 0) return;
    const int key = currentKey();
    if (key <= 0) return;
    widgets::Guard(this, [&] {
        // The latest version: an edit starts from what is stored now.
        const std::optional<Consultation> row = m_dati.load(key);
        if (!row) return refresh();
        m_record = *row;
        m_form->showConsultation(m_record);
        setState(State::Edit);
        m_form->focusField(QStringLiteral("NUMURS"));
    });
}

bool TKonsultacijas::write(const std::function<void()>& change) {
    try {
        change();
        return true;
    } catch (const db::StaleRowError& e) {
        // Another workstation changed or rejected it meanwhile: show its version instead of ours.
        message(e.message());
        setState(State::Browse);
        widgets::Guard(this, [this] { refresh(); });
    } catch (const std::exception& e) {
        message(widgets::SystemErrorText(e));
    }
    return false;
}

void TKonsultacijas::offerNextNumber(const QString& refusedNumber) {
    // Another workstation took the number offered: the next free one is offered instead.
    if (m_state != State::Insert || refusedNumber != m_offeredNumber) return;
    widgets::Guard(this, [&] { m_offeredNumber = m_dati.nextNumber(); });
    qobject_cast<QLineEdit*>(m_form->field(QStringLiteral("NUMURS")))->setText(m_offeredNumber);
}

bool TKonsultacijas::saveConsultation() {
    if (m_state == State::Browse) return false;
    Consultation c = m_form->collect(m_record);
    app::CardCheck check;
    if (!write([&] { check = m_dati.validate(c); })) return false;
    // The trimmed and padded texts are what the user sees from now on.
    m_form->timeField(QStringLiteral("TIME_START"))->setEditText(c.timeStart);
    m_form->timeField(QStringLiteral("TIME_END"))->setEditText(c.timeEnd);
    qobject_cast<QLineEdit*>(m_form->field(QStringLiteral("NUMURS")))->setText(c.number);
    ConsultationSave result;
    if (check.ok() && !write([&] { result = m_dati.save(c, m_session.UserIsn()); })) return false;
    if (!check.ok() || !result.ok()) {
        const app::CardCheck refusal = check.ok() ? result.refusal : check;
        message(refusal.message);
        if (refusal.message == TKonsultacijasDati::DuplicateMessage(c.number)) offerNextNumber(c.number);
        m_form->focusField(refusal.field);
        return false;
    }
    const bool inserted = m_state == State::Insert;
    m_record = c;
    setState(State::Browse);
    if (inserted) {
        TKonsultacijasDati::RememberDefaults(c);
        // The list shows the new consultation.
        ConsultationFilter f = m_filter;
        f.from = c.date;
        f.to = c.date;
        f.patient = 1;
        f.number = c.number;
        if (f.specialist > 1 && f.specialist != c.specialist) f.specialist = 1;
        setFilter(f);
    }
    refresh(result.key);
    return true;
}

void TKonsultacijas::rejectConsultation() {
    if (m_state != State::Browse || m_model->rowCount() == 0 || m_record.isn <= 0) return;
    if (QMessageBox::question(this, windowTitle(), tr("Noraidīt ierakstu ?"), QMessageBox::Yes | QMessageBox::No) !=
        QMessageBox::Yes)
        return;
    QString refusal;
    if (!write([&] { refusal = m_dati.reject(m_record, m_session.UserIsn()); })) return;
    if (!refusal.isEmpty()) message(refusal);
    refresh();
}

void TKonsultacijas::undoRejection() {
    if (m_state != State::Browse || m_record.isn <= 0 || !m_record.rejected || !m_mayDelete) return;
    QString refusal;
    if (!write([&] { refusal = m_dati.undoReject(m_record, m_session.UserIsn()); })) return;
    if (!refusal.isEmpty()) message(refusal);
    refresh();
}

void TKonsultacijas::pickPatient() {
    const auto& pick = m_session.facades().patients.pick;
    if (!pick || m_state == State::Browse) return;
    const int key = pick(this, m_record.patient);
    if (key <= 1) return;
    widgets::Guard(this, [&] {
        m_record.patient = key;
        m_record.patientName = m_dati.patientName(key);
        m_form->setPatientName(m_record.patientName);
    });
    applyState();
}

void TKonsultacijas::showPatientCard() {
    const auto& edit = m_session.facades().patients.edit;
    if (!edit || m_record.patient < 2) return;
    edit(this, m_record.patient, false);
    widgets::Guard(this, [&] {
        m_record.patientName = m_dati.patientName(m_record.patient);
        m_form->setPatientName(m_record.patientName);
    });
}

void TKonsultacijas::showTarget(const app::ConsultationTarget& target) {
    if (!abandonEdit()) return;
    widgets::Guard(this, [&] {
        if (target.marker == 2) return showConsultation(target.documentKey);
        if (target.marker == 1 && target.startVisit) return startVisit(target.documentKey);
        if (target.marker == 1) {
            // The request is shown on its own tab.
            m_requestKey = target.documentKey;
            m_tabs->setCurrentIndex(RequestsTab);
            m_requests->showRequest(target.documentKey);
            return;
        }
        if (target.patientKey < 2) return;
        // All the patient's consultations.
        ConsultationFilter f = m_filter;
        f.patient = target.patientKey;
        f.specialist = 1;
        f.number.clear();
        const QPair<QDate, QDate> period = m_dati.patientPeriod(target.patientKey);
        if (period.first.isValid()) {
            f.from = period.first;
            f.to = qMax(period.second, QDate::currentDate());
        }
        setFilter(f);
        m_tabs->setCurrentIndex(ConsultationsTab);
        refresh();
    });
}

void TKonsultacijas::showConsultation(int key) {
    const std::optional<Consultation> c = m_dati.load(key);
    if (!c) return;
    ConsultationFilter f = m_filter;
    f.from = c->date;
    f.to = c->date;
    f.patient = c->patient > 1 ? c->patient : 1;
    f.specialist = 1;
    f.number.clear();
    f.showRejected = f.showRejected || c->rejected;
    setFilter(f);
    m_tabs->setCurrentIndex(ConsultationsTab);
    refresh(key);
}

void TKonsultacijas::startVisit(int requestKey) {
    const VisitStart visit = m_dati.createFromRequest(requestKey);
    if (visit.existingKey > 0) return showConsultation(visit.existingKey);
    if (!visit.message.isEmpty()) return message(visit.message);
    if (!m_mayAdd) return message(tr("Jums nav tiesību veidot jaunu konsultāciju (lietotāju tiesības) !!!"));
    const Consultation& c = *visit.consultation;
    ConsultationFilter f = m_filter;
    f.patient = c.patient;
    f.number.clear();
    setFilter(f);
    m_tabs->setCurrentIndex(ConsultationsTab);
    refresh();
    m_record = c;
    m_offeredNumber = c.number;
    m_form->showConsultation(m_record, visit.duration);
    setState(State::Insert);
}

}  // namespace consultations
