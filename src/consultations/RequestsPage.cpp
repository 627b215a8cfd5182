#include "consultations/RequestsPage.h"

#include "app/ChangeNotifier.h"
#include "app/Rights.h"
#include "consultations/RequestForm.h"
#include "consultations/TPieteikumiFiltrs.h"
#include "db/DbError.h"
#include "models/ResultTableModel.h"
#include "widgets/GridLayout.h"
#include "widgets/Guard.h"
#include "widgets/ListGrid.h"
#include "widgets/LiveRefresh.h"
#include "widgets/NullableDateEdit.h"
#include "widgets/StepwiseList.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace consultations {

namespace {

// The rights code of the consultation register.
const QString RightsCode = QStringLiteral("11");

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

RequestsPage::RequestsPage(app::Session& session, QWidget* parent)
    : QWidget(parent), m_session(session), m_store(session.database()) {
    setObjectName(QStringLiteral("RequestsPage"));
    m_filter = RequestFilter::Read();

    auto* toolbar = new QHBoxLayout;
    auto addButton = [&](const QString& text, const char* name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        toolbar->addWidget(b);
        return b;
    };
    QPushButton* btJauns = addButton(tr("Jauns"), "btJauns");
    QPushButton* btLabot = addButton(tr("Labot"), "btLabot");
    QPushButton* btSaglabat = addButton(tr("Saglabāt"), "btSaglabat");
    QPushButton* btApmeklejums = addButton(tr("Apmeklējums"), "btApmeklejums");
    QPushButton* btNoraidit = addButton(tr("Noraidīt"), "btNoraidit");
    QPushButton* btAtlasit = addButton(tr("Atlasīt"), "btAtlasit");
    toolbar->addStretch(1);
    QPushButton* btAizvert = addButton(tr("Aizvērt"), "btAizvert");

    m_form = new RequestForm(this);

    m_model = new models::ResultTableModel(this);
    m_steps = new widgets::StepwiseList(
        m_model, [this](const QString& text) { message(tr("Sistēmas kļūda: ") + text); }, this);
    models::GridColumn done;
    done.title = tr("Izpildīts");
    done.calculate = [](const db::ResultSet& rows, int row) -> QVariant {
        const QDateTime d = rows.value(row, QStringLiteral("IZPILDITS_DAT")).toDateTime();
        return d.isValid() ? d.date().toString(QStringLiteral("dd.MM.yyyy")) : QString();
    };
    models::GridColumn rejected;
    rejected.title = tr("Noraid.");
    rejected.alignment = Qt::AlignCenter;
    rejected.calculate = [](const db::ResultSet& rows, int row) -> QVariant {
        return rows.value(row, QStringLiteral("DZESTS")).toInt() == 1 ? QStringLiteral("X") : QString();
    };
    // Stored right-aligned to the column's width: shown without the blanks.
    models::GridColumn number;
    number.title = tr("Numurs");
    number.alignment = Qt::AlignRight | Qt::AlignVCenter;
    number.calculate = [](const db::ResultSet& rows, int row) -> QVariant {
        return rows.value(row, QStringLiteral("NUMURS")).toString().trimmed();
    };
    m_model->setColumns({number,
                         {QStringLiteral("DATUMS"), tr("Datums"), QStringLiteral("dd.MM.yyyy"), {}},
                         {QStringLiteral("KABINETS"), tr("Kabinets"), {}, {}},
                         nameColumn(tr("Klients"), "KLIENT_UZVARDS", "KLIENT_VARDS"),
                         {QStringLiteral("PLAN_DAT"), tr("Plān. datums"), QStringLiteral("dd.MM.yyyy"), {}},
                         {QStringLiteral("PLAN_LAIKS"), tr("Laiks"), {}, {}},
                         {QStringLiteral("PLAN_ILGUMS"), tr("Ilgums"), {}, {}},
                         nameColumn(tr("Speciālists"), "IZPILD_UZVARDS", "IZPILD_VARDS"),
                         done,
                         rejected});
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("grdPieteikumi"));
    m_grid->setModel(m_model);
    widgets::SetupListGrid(m_grid);
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    const int charWidth = m_grid->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const QList<int> widths{7, 10, 11, 20, 10, 5, 5, 18, 10, 6};
    for (int c = 0; c < widths.size(); ++c) m_grid->setColumnWidth(c, widths.at(c) * charWidth + 12);

    m_gridMenu = new QMenu(m_grid);
    QAction* undo = m_gridMenu->addAction(tr("Noraidījuma atcelšana"));
    undo->setObjectName(QStringLiteral("actNoraidijumaAtcelsana"));

    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setObjectName(QStringLiteral("splitterPieteikumi"));
    m_splitter->addWidget(m_form);
    m_splitter->addWidget(m_grid);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setChildrenCollapsible(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(toolbar);
    layout->addWidget(m_splitter, 1);

    connect(btJauns, &QPushButton::clicked, this, &RequestsPage::newRequest);
    connect(btLabot, &QPushButton::clicked, this, &RequestsPage::editRequest);
    connect(btSaglabat, &QPushButton::clicked, this, &RequestsPage::saveRequest);
    connect(btApmeklejums, &QPushButton::clicked, this, &RequestsPage::visit);
    connect(btNoraidit, &QPushButton::clicked, this, &RequestsPage::rejectRequest);
    connect(btAtlasit, &QPushButton::clicked, this, &RequestsPage::openFilter);
    connect(btAizvert, &QPushButton::clicked, this, &RequestsPage::closeRequested);
    connect(undo, &QAction::triggered, this, &RequestsPage::undoRejection);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_gridMenu->popup(m_grid->viewport()->mapToGlobal(at)); });
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &RequestsPage::sortByColumn);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex&, const QModelIndex& previous) { currentRowChanged(previous.row()); });
    connect(m_form, &RequestForm::patientRequested, this, &RequestsPage::pickPatient);
    connect(m_form, &RequestForm::patientInfoRequested, this, &RequestsPage::showPatientCard);

    // Requests saved here, in the calendar or on another workstation, the consultations made from
    // them and the names they show are followed without the user asking; not during an edit.
    auto* live = new widgets::LiveRefresh(
        this, widgets::LiveRefresh::KeepingScroll(m_grid, [this] { refresh(); }),
        [this] { return m_state != State::Browse; });
    app::ChangeNotifier& notifier = m_session.notifier();
    connect(&notifier, &app::ChangeNotifier::appointmentsChanged, live, &widgets::LiveRefresh::request);
    connect(&notifier, &app::ChangeNotifier::consultationsChanged, live, &widgets::LiveRefresh::request);
    connect(&notifier, &app::ChangeNotifier::patientsChanged, live, &widgets::LiveRefresh::request);
    connect(&notifier, &app::ChangeNotifier::referenceChanged, live, &widgets::LiveRefresh::request);
    auto* lookups = new widgets::LiveRefresh(
        this,
        [this] {
            readLookups();
            m_form->showRequest(m_record);
        },
        [this] { return m_state != State::Browse; });
    connect(&notifier, &app::ChangeNotifier::referenceChanged, lookups, &widgets::LiveRefresh::request);
    connect(&notifier, &app::ChangeNotifier::settingsChanged, this, [this] {
        widgets::Guard(this, [this] { m_form->setWorkingDays(m_store.workingDays()); });
    });

    widgets::Guard(this, [this] {
        readLookups();
        m_form->setWorkingDays(m_store.workingDays());
    });
    m_mayChange = m_session.hasRight(RightsCode, app::Change);
    m_mayAdd = m_session.hasRight(RightsCode, app::Add);
    m_mayDelete = m_session.hasRight(RightsCode, app::Delete);
    refresh();
    widgets::LoadGridLayout(m_grid);
}

RequestsPage::~RequestsPage() {
    m_filter.write();
    widgets::SaveGridLayout(m_grid);
}

void RequestsPage::readLookups() {
    m_staff = m_store.staffList();
    m_types = m_store.typeList();
    m_form->setStaff(m_staff);
    m_form->setRooms(m_store.roomList());
    m_form->setTypes(m_types);
}

QPushButton* RequestsPage::button(const QString& name) const { return findChild<QPushButton*>(name); }

void RequestsPage::message(const QString& text) { QMessageBox::warning(this, window()->windowTitle(), text); }

void RequestsPage::activated() {
    m_mayChange = m_session.hasRight(RightsCode, app::Change);
    m_mayAdd = m_session.hasRight(RightsCode, app::Add);
    m_mayDelete = m_session.hasRight(RightsCode, app::Delete);
    // The working days of the clinic may have been changed in the settings meanwhile.
    widgets::Guard(this, [this] { m_form->setWorkingDays(m_store.workingDays()); });
    applyState();
}

void RequestsPage::applyState() {
    const bool browse = m_state == State::Browse;
    const bool any = m_model->rowCount() > 0 && m_record.isn > 0;
    button(QStringLiteral("btJauns"))->setEnabled(browse && m_mayAdd);
    button(QStringLiteral("btLabot"))->setEnabled(browse && m_mayChange && any);
    button(QStringLiteral("btNoraidit"))->setEnabled(browse && m_mayDelete && any && !m_rejected);
    button(QStringLiteral("btSaglabat"))->setEnabled(!browse);
    button(QStringLiteral("btApmeklejums"))->setEnabled(browse);
    m_form->setEditable(!browse);
    m_form->button(QStringLiteral("btKlients"))->setEnabled(!browse && bool(m_session.facades().patients.pick));
    m_form->button(QStringLiteral("btKlientsInfo"))
        ->setEnabled(bool(m_session.facades().patients.edit) && m_record.patient >= 2);
    if (QAction* undo = m_gridMenu->findChild<QAction*>(QStringLiteral("actNoraidijumaAtcelsana")))
        undo->setEnabled(browse && m_mayDelete && m_record.isn > 0 && m_rejected);
}

void RequestsPage::setState(State state) {
    m_state = state;
    applyState();
}

bool RequestsPage::abandonEdit() {
    if (m_state == State::Browse) return true;
    if (QMessageBox::question(this, window()->windowTitle(), tr("Izmaiņas nav saglabātas. Vai tiešām vēlaties tās atmest ?"),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    setState(State::Browse);
    widgets::Guard(this, [this] { showCurrent(); });
    return true;
}

int RequestsPage::currentKey() const {
    const QModelIndex index = m_grid->currentIndex();
    return index.isValid() ? m_model->fieldValue(index.row(), QStringLiteral("ISN")).toInt() : 0;
}

bool RequestsPage::setCurrentKey(int key) {
    m_steps->readTo(key);
    const int row = key > 0 ? m_model->findRow(key) : -1;
    if (row < 0) return false;
    m_grid->selectRow(row);
    m_grid->scrollTo(m_model->index(row, 0));
    return true;
}

void RequestsPage::refresh(int key) {
    const int keep = key > 0 ? key : currentKey();
    const int keepRow = qMax(0, m_grid->currentIndex().row());
    // The first screenful shows at once; the rest is read while the user looks, unless the row to
    // stay on is further down.
    db::ResultSet rows;
    m_steps->stop();
    try {
        rows = m_steps->start(m_store.fetchList(m_filter, m_sortField), keep);
    } catch (const db::DbError& e) {
        message(tr("Sistēmas kļūda: ") + e.message());
        return;
    }
    m_rebuilding = true;
    m_model->setRows(std::move(rows));
    m_model->setBoldColumn(m_sortField.isEmpty() ? -1 : int(RequestGridFields().indexOf(m_sortField)));
    // A row that went (rejected, or moved out of the filter) leaves the position where it was.
    if (!setCurrentKey(keep) && m_model->rowCount() > 0) m_grid->selectRow(qMin(keepRow, m_model->rowCount() - 1));
    m_rebuilding = false;
    if (m_state == State::Browse) showCurrent();
    else applyState();
}

void RequestsPage::showCurrent() {
    const int key = currentKey();
    std::optional<calendar::Appointment> row;
    try {
        if (key > 0) row = m_store.load(key);
    } catch (const db::DbError& e) {
        message(tr("Sistēmas kļūda: ") + e.message());
    }
    if (row) {
        m_record = *row;
        const int r = m_model->findRow(key);
        m_rejected = r >= 0 && m_model->fieldValue(r, QStringLiteral("DZESTS")).toInt() == 1;
        m_form->showRequest(m_record);
    } else {
        m_record = calendar::Appointment();
        m_rejected = false;
        m_form->clearRequest();
    }
    applyState();
}

void RequestsPage::currentRowChanged(int previousRow) {
    if (m_rebuilding) return;
    if (m_state != State::Browse) {
        if (!abandonEdit()) {
            // Stay on the row being edited.
            QTimer::singleShot(0, this, [this, previousRow] {
                m_rebuilding = true;
                if (previousRow >= 0) m_grid->selectRow(previousRow);
                m_rebuilding = false;
            });
        }
        return;
    }
    widgets::Guard(this, [this] { showCurrent(); });
}

void RequestsPage::setFilter(const RequestFilter& filter) {
    m_filter = filter;
    m_filter.write();
}

void RequestsPage::sortByColumn(int column) {
    const QString field = RequestGridFields().value(column);
    // Only the columns with an order sort; there is no direction to turn round.
    if (RequestOrderBy(field).isEmpty()) return;
    m_sortField = field;
    refresh();
}

void RequestsPage::openFilter() {
    if (!abandonEdit()) return;
    TPieteikumiFiltrs dialog(m_session, m_staff, m_types, this);
    dialog.setFilter(m_filter);
    if (dialog.exec() != QDialog::Accepted) return;
    setFilter(dialog.filter());
    refresh();
}

void RequestsPage::showRequest(int key) {
    if (!abandonEdit() || key <= 0) return;
    widgets::Guard(this, [&] {
        refresh(key);
        if (currentKey() == key) return;
        const std::optional<calendar::Appointment> r = m_store.load(key);
        if (!r) return;
        // Not in the list: the request's day and patient, nothing else left out.
        RequestFilter f = m_filter;
        f.from = r->requestDate.date();
        f.to = r->requestDate.date();
        f.plannedOn = false;
        f.patient = r->patient > 1 ? r->patient : 1;
        f.taker = 1;
        f.specialist = 1;
        f.type = 0;
        f.number.clear();
        f.waiting = RequestFilter::AnyWaiting;
        f.showRejected = true;
        setFilter(f);
        refresh(key);
    });
}

void RequestsPage::newRequest() {
    if (m_state != State::Browse || !m_mayAdd) return;
    widgets::Guard(this, [this] {
        m_record = m_store.create(RequestStore::ReadDefaults());
        m_rejected = false;
        m_form->showRequest(m_record);
        setState(State::Insert);
        m_form->focusField(QStringLiteral("ISKLIENTS"));
    });
}

void RequestsPage::editRequest() {
    if (m_state != State::Browse || !m_mayChange || m_model->rowCount() == 0) return;
    const int key = currentKey();
    if (key <= 0) return;
    widgets::Guard(this, [&] {
        // The latest version: an edit starts from what is stored now.
        const std::optional<calendar::Appointment> row = m_store.load(key);
        if (!row) return refresh();
        m_record = *row;
        m_form->showRequest(m_record);
        setState(State::Edit);
        m_form->focusField(QStringLiteral("NUMURS"));
    });
}

bool RequestsPage::write(const std::function<void()>& change) {
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

bool RequestsPage::saveRequest() {
    if (m_state == State::Browse) return false;
    widgets::CommitTypedDates(this);
    if (widgets::RefuseUnreadableDates(this)) return false;
    calendar::Appointment a = m_form->collect(m_record);
    app::CardCheck check;
    if (!write([&] { check = m_store.validate(a); })) return false;
    // The trimmed number and padded time are what the user sees from now on.
    qobject_cast<QLineEdit*>(m_form->field(QStringLiteral("NUMURS")))->setText(a.number);
    m_form->timeField(QStringLiteral("PLAN_LAIKS"))->setEditText(a.plannedTime);
    if (!check.ok()) {
        message(check.message);
        m_form->focusField(check.field);
        return false;
    }
    calendar::AppointmentSave result;
    if (!write([&] { result = m_store.save(a, m_session.UserIsn()); })) return false;
    for (const QString& taken : result.takenNumbers) message(calendar::AppointmentStore::NumberTakenMessage(taken));
    if (!result.ok()) {
        message(result.message);
        m_form->focusField(QStringLiteral("NUMURS"));
        return false;
    }
    RequestStore::RememberDefaults(a);
    const bool inserted = m_state == State::Insert;
    a.isn = result.key;
    a.number = result.number;
    m_record = a;
    setState(State::Browse);
    refresh(result.key);
    if (inserted && currentKey() != result.key) showRequest(result.key);
    return true;
}

void RequestsPage::rejectRequest() {
    if (m_state != State::Browse || m_model->rowCount() == 0 || m_record.isn <= 0 || !m_mayDelete) return;
    if (QMessageBox::question(this, window()->windowTitle(), tr("Vai tiešām vēlaties dzēst pieteikumu ?"),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    if (!write([&] { m_store.reject(m_record, m_session.UserIsn()); })) return;
    refresh();
}

void RequestsPage::undoRejection() {
    if (m_state != State::Browse || m_record.isn <= 0 || !m_rejected || !m_mayDelete) return;
    if (!write([&] { m_store.undoReject(m_record, m_session.UserIsn()); })) return;
    refresh();
}

void RequestsPage::visit() {
    if (m_state != State::Browse) return;
    Q_EMIT visitRequested(m_model->rowCount() > 0 ? m_record.isn : 0);
}

void RequestsPage::pickPatient() {
    const auto& pick = m_session.facades().patients.pick;
    if (!pick || m_state == State::Browse) return;
    const int key = pick(this, m_record.patient);
    if (key <= 1) return;
    widgets::Guard(this, [&] {
        m_record = m_form->collect(m_record);
        m_record.patient = key;
        m_record.patientName = m_store.patientName(key);
        m_form->setPatientName(m_record.patientName);
    });
    applyState();
}

void RequestsPage::showPatientCard() {
    const auto& edit = m_session.facades().patients.edit;
    if (!edit || m_record.patient < 2) return;
    edit(this, m_record.patient, false);
    widgets::Guard(this, [&] {
        m_record.patientName = m_store.patientName(m_record.patient);
        m_form->setPatientName(m_record.patientName);
    });
}

}  // namespace consultations
