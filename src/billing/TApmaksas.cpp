#include "billing/TApmaksas.h"

#include "app/ChangeNotifier.h"
#include "app/Settings.h"
#include "billing/PaymentAllocation.h"
#include "billing/PaymentImport.h"
#include "billing/PaymentMethodCombo.h"
#include "billing/TApmFiltrs.h"
#include "db/DbError.h"
#include "models/ResultTableModel.h"
#include "widgets/GridLayout.h"
#include "widgets/Guard.h"
#include "widgets/ListGrid.h"
#include "widgets/LiveRefresh.h"
#include "widgets/NullableDateEdit.h"
#include "widgets/StepwiseList.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <QtNumeric>


namespace billing {

namespace {

const QString OwnSection = QStringLiteral("Apmaksas");
// A payment with money not yet spread over invoices is drawn in red.
class PaymentListModel : public models::ResultTableModel {
public:
    using ResultTableModel::ResultTableModel;
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::ForegroundRole && index.isValid() &&
            fieldValue(index.row(), QStringLiteral("PARPALIKUMS")).toDouble() > 0.01)
            return QColor(Qt::red);
        return ResultTableModel::data(index, role);
    }
};

QString sum(double v) { return QString::asprintf("%10.2f", v); }

}  // namespace

TApmaksas::TApmaksas(app::Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session), m_dati(session.database(), session.UserIsn()) {
    setObjectName(QStringLiteral("TApmaksas"));
    setWindowTitle(tr("Rēķinu apmaksas"));
    m_orders = PaymentOrders::Read();
    m_lastNewDate = QDate::currentDate();
    m_filterDialog = new TApmFiltrs(session, this);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("pgApmaksas"));
    auto* paymentsPage = new QWidget(m_tabs);
    paymentsPage->setObjectName(QStringLiteral("tabApmaksas"));
    auto* unpaidPage = new QWidget(m_tabs);
    unpaidPage->setObjectName(QStringLiteral("tabNeapmaksatie"));
    m_tabs->addTab(paymentsPage, tr("Izdarī&tās apmaksas"));
    m_tabs->addTab(unpaidPage, tr("&Neapmaksātie rēķini "));
    buildPaymentsPage(paymentsPage);
    buildUnpaidPage(unpaidPage);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_tabs);
    connect(m_tabs, &QTabWidget::currentChanged, this, &TApmaksas::pageChanged);

    // Payments, invoices and names changed here or on another workstation are followed without
    // the user asking; not while a payment is being edited.
    auto* live = new widgets::LiveRefresh(this, widgets::LiveRefresh::KeepingScroll(m_grid, [this] {
                                              refresh();
                                              if (m_tabs->currentIndex() == UnpaidPage) refreshUnpaid();
                                          }),
                                          [this] { return m_state != State::Browse; });
    app::ChangeNotifier& notifier = m_session.notifier();
    connect(&notifier, &app::ChangeNotifier::paymentsChanged, live, &widgets::LiveRefresh::request);
    connect(&notifier, &app::ChangeNotifier::invoicesChanged, live, &widgets::LiveRefresh::request);
    connect(&notifier, &app::ChangeNotifier::patientsChanged, live, &widgets::LiveRefresh::request);

    loadSettings();
    refresh();
    widgets::LoadGridLayout(m_grid);
    widgets::LoadGridLayout(m_allocGrid);
    widgets::LoadGridLayout(m_unpaidGrid);
}

TApmaksas::~TApmaksas() { saveSettings(); }

void TApmaksas::buildPaymentsPage(QWidget* page) {
    auto* toolbar = new QHBoxLayout;
    auto addButton = [&](const QString& text, const char* name) {
        auto* b = new QPushButton(text, page);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        toolbar->addWidget(b);
        return b;
    };
    connect(addButton(tr("&Jauns"), "btJauns"), &QPushButton::clicked, this, &TApmaksas::newPayment);
    connect(addButton(tr("&Labot"), "btLabot"), &QPushButton::clicked, this, &TApmaksas::editPayment);
    connect(addButton(tr("&Dzēst"), "btDzest"), &QPushButton::clicked, this, &TApmaksas::deletePayments);
    connect(addButton(tr("&Saglabāt"), "btSaglabat"), &QPushButton::clicked, this, &TApmaksas::savePayment);
    connect(addButton(tr("Pārpalikuma izlie&t."), "btParpalikums"), &QPushButton::clicked, this,
            &TApmaksas::allocateOverpayment);
    addButton(tr("Citas ziņas"), "btCitasZinas");
    connect(addButton(tr("&Atlasīt"), "btAtlasit"), &QPushButton::clicked, this, &TApmaksas::openFilter);
    toolbar->addStretch(1);
    connect(addButton(tr("A&izvērt"), "btAizvert"), &QPushButton::clicked, this, &QWidget::close);

    m_edDatums = new widgets::NullableDateEdit(page);
    m_edDatums->setObjectName(QStringLiteral("DATUMS"));
    auto* edNumurs = new QLineEdit(page);
    edNumurs->setObjectName(QStringLiteral("NUMURS"));
    edNumurs->setMaxLength(20);
    auto* edSumma = new QLineEdit(page);
    edSumma->setObjectName(QStringLiteral("SUMMA"));
    auto* edParp = new QLineEdit(page);
    edParp->setObjectName(QStringLiteral("PARPALIKUMS"));
    edParp->setReadOnly(true);
    edParp->setFocusPolicy(Qt::NoFocus);
    m_cbVeids = new QComboBox(page);
    m_cbVeids->setObjectName(QStringLiteral("cbApmaksasVeids"));
    FillPaymentMethods(m_cbVeids);
    auto* btKlients = new QPushButton(tr("Klients"), page);
    btKlients->setObjectName(QStringLiteral("btKlients"));
    btKlients->setAutoDefault(false);
    auto* edKlients = new QLineEdit(page);
    edKlients->setObjectName(QStringLiteral("edKlients"));
    edKlients->setReadOnly(true);
    edKlients->setFocusPolicy(Qt::NoFocus);
    m_chkAvanss = new QCheckBox(tr("Avanss"), page);
    m_chkAvanss->setObjectName(QStringLiteral("chkAvanss"));

    auto* header = new QGridLayout;
    header->addWidget(new QLabel(tr("Apmaksas dat."), page), 0, 0);
    header->addWidget(m_edDatums, 0, 1);
    header->addWidget(new QLabel(tr("Apmaksas Nr."), page), 0, 2);
    header->addWidget(edNumurs, 0, 3);
    header->addWidget(new QLabel(tr("Apmaksas veids"), page), 0, 4);
    header->addWidget(m_cbVeids, 0, 5);
    header->addWidget(new QLabel(tr("Summa"), page), 1, 0);
    header->addWidget(edSumma, 1, 1);
    header->addWidget(new QLabel(tr("Pārpalikums"), page), 1, 2);
    header->addWidget(edParp, 1, 3);
    header->addWidget(m_chkAvanss, 1, 5);
    header->addWidget(btKlients, 2, 0);
    header->addWidget(edKlients, 2, 1, 1, 5);
    header->setColumnStretch(6, 1);

    const QString money = QStringLiteral("#0.00");
    const QString day = QStringLiteral("dd.MM.yyyy");
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    m_model = new PaymentListModel(this);
    m_steps = new widgets::StepwiseList(
        m_model, [this](const QString& text) { message(tr("Sistēmas kļūda: ") + text); }, this);
    models::GridColumn name;
    name.title = tr("Vārds, Uzvārds");
    name.calculate = [](const db::ResultSet& rows, int row) -> QVariant {
        return QString(rows.value(row, QStringLiteral("VARDS")).toString() + QLatin1Char(' ') +
                       rows.value(row, QStringLiteral("UZVARDS")).toString());
    };
    m_model->setColumns({{QStringLiteral("DATUMS"), tr("Datums"), day, {}},
                         {QStringLiteral("NUMURS"), tr("Dokumenta Nr."), {}, {}},
                         name,
                         {QStringLiteral("KOPA"), tr("Kop.apm.summa"), money, {}, right},
                         {QStringLiteral("PARPALIKUMS"), tr("Pārpalik."), money, {}, right},
                         {QStringLiteral("SUMMA"), tr("Sadalītā summa"), money, {}, right},
                         {QStringLiteral("ISN"), tr("Iekšējais Nr."), {}, {}, right}});
    m_grid = new QTableView(page);
    m_grid->setObjectName(QStringLiteral("grdApmaksas"));
    m_grid->setModel(m_model);
    widgets::SetupListGrid(m_grid);
    m_grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_grid->horizontalHeader()->setStretchLastSection(false);
    m_grid->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    m_importAction = new QAction(tr("Imports no CSV faila"), this);
    m_importAction->setObjectName(QStringLiteral("actImports"));
    connect(m_importAction, &QAction::triggered, this, [this] { importCsv(); });
    connect(m_grid, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addAction(m_importAction);
        menu.exec(m_grid->viewport()->mapToGlobal(at));
    });

    m_allocModel = new models::ResultTableModel(this);
    m_allocModel->setColumns({{QStringLiteral("DATUMS"), tr("Rēķina datums"), day, {}},
                              {QStringLiteral("NUMURS"), tr("Rēķina Nr."), {}, {}},
                              {QStringLiteral("SUMMA"), tr("Summa"), money, {}, right},
                              {QStringLiteral("ISPAVOUTHD"), tr("Rēķina iekš.Nr."), {}, {}, right}});
    m_allocGrid = new QTableView(page);
    m_allocGrid->setObjectName(QStringLiteral("grdApmaksasDT"));
    m_allocGrid->setModel(m_allocModel);
    widgets::SetupListGrid(m_allocGrid);
    m_allocGrid->horizontalHeader()->setStretchLastSection(false);
    m_allocGrid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);

    auto* split = new QSplitter(Qt::Vertical, page);
    split->setObjectName(QStringLiteral("splitApmaksas"));
    split->addWidget(m_grid);
    split->addWidget(m_allocGrid);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(toolbar);
    layout->addLayout(header);
    layout->addWidget(split, 1);

    connect(btKlients, &QPushButton::clicked, this, &TApmaksas::pickPatient);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (m_state == State::Browse && !m_showing) widgets::Guard(this, [this] { showCurrent(); });
    });
}

void TApmaksas::buildUnpaidPage(QWidget* page) {
    const QString money = QStringLiteral("#0.00");
    const QString day = QStringLiteral("dd.MM.yyyy");
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    m_unpaidModel = new models::ResultTableModel(this);
    m_unpaidModel->setColumns({{QStringLiteral("NUMURS"), tr("Rēķina Nr."), {}, {}},
                               {QStringLiteral("DATUMS"), tr("Rēķina datums"), day, {}},
                               {QStringLiteral("KOPSUMMA"), tr("Rēķina summa"), money, {}, right},
                               {QStringLiteral("APMAKS_SUM"), tr("Apm.summa"), money, {}, right},
                               {QStringLiteral("PARADSUM"), tr("Parāda summa"), money, {}, right},
                               {QStringLiteral("APMAKS_LIDZ"), tr("Apmaksāt līdz"), day, {}}});
    m_unpaidGrid = new QTableView(page);
    m_unpaidGrid->setObjectName(QStringLiteral("grdNeapmaksatie"));
    m_unpaidGrid->setModel(m_unpaidModel);
    widgets::SetupListGrid(m_unpaidGrid);
    m_unpaidGrid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_unpaidGrid->horizontalHeader()->setStretchLastSection(false);
    m_unpaidGrid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);

    auto* sums = new QGridLayout;
    const std::pair<const char*, QString> labels[] = {{"lbRekinuSumma", tr("Rēķinu summa :")},
                                                      {"lbApmaksats", tr("Apmaksāts :")},
                                                      {"lbAtlikums", tr("Atlikums :")},
                                                      {"lbAtlasita", tr("Atlasītā summa")}};
    int column = 0;
    for (const auto& [name, text] : labels) {
        if (column > 0) sums->setColumnMinimumWidth(column++, 24);
        sums->addWidget(new QLabel(text, page), 0, column++);
        auto* value = new QLabel(page);
        value->setObjectName(QString::fromLatin1(name));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setFont(QFont(QStringLiteral("DejaVu Sans Mono")));
        sums->addWidget(value, 0, column++);
    }
    sums->setColumnStretch(column, 1);

    // Whose invoices these are: the current payment's patient.
    auto* patient = new QLabel(page);
    patient->setObjectName(QStringLiteral("lbKlients"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(patient);
    layout->addWidget(m_unpaidGrid, 1);
    layout->addLayout(sums);
    connect(m_unpaidGrid->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TApmaksas::showSelectedDebt);
}

QPushButton* TApmaksas::button(const QString& name) const { return m_tabs->findChild<QPushButton*>(name); }
QLineEdit* TApmaksas::edit(const QString& name) const { return m_tabs->findChild<QLineEdit*>(name); }
QLabel* TApmaksas::sumLabel(const QString& name) const { return m_tabs->findChild<QLabel*>(name); }

PaymentFilter TApmaksas::filter() const { return m_filterDialog->filter(); }
void TApmaksas::setFilter(const PaymentFilter& filter) { m_filterDialog->setFilter(filter); }

void TApmaksas::loadSettings() {
    const int width = app::Settings::integer(OwnSection, QStringLiteral("Width"), 1000);
    const int height = app::Settings::integer(OwnSection, QStringLiteral("Height"), 650);
    resize(QSize(qMax(600, width), qMax(400, height)));
}

void TApmaksas::saveSettings() {
    app::Settings::setInteger(OwnSection, QStringLiteral("Width"), width());
    app::Settings::setInteger(OwnSection, QStringLiteral("Height"), height());
    m_orders.write();
    widgets::SaveGridLayout(m_grid);
    widgets::SaveGridLayout(m_allocGrid);
    widgets::SaveGridLayout(m_unpaidGrid);
}

void TApmaksas::message(const QString& text) { QMessageBox::warning(this, windowTitle(), text); }

void TApmaksas::applyState() {
    const bool browse = m_state == State::Browse;
    const bool any = m_header.isn > 0;
    button(QStringLiteral("btJauns"))->setEnabled(browse);
    button(QStringLiteral("btLabot"))->setEnabled(browse && any);
    button(QStringLiteral("btDzest"))->setEnabled(browse && any);
    button(QStringLiteral("btSaglabat"))->setEnabled(!browse);
    button(QStringLiteral("btParpalikums"))->setEnabled(browse && any);
    button(QStringLiteral("btAtlasit"))->setEnabled(browse);
    m_importAction->setEnabled(browse);
    // The invoices a payment pays are its patient's: it keeps him while it pays any.
    const bool patientFree = m_state == State::Insert || (m_state == State::Edit && m_header.allocationRows == 0);
    button(QStringLiteral("btKlients"))->setEnabled(patientFree && bool(m_session.facades().patients.pick));
    edit(QStringLiteral("NUMURS"))->setReadOnly(browse);
    // The amounts are the sums of the allocation rows: only a new payment's amount is typed.
    edit(QStringLiteral("SUMMA"))->setReadOnly(m_state != State::Insert);
    m_edDatums->setReadOnly(browse);
    m_cbVeids->setEnabled(!browse);
    m_chkAvanss->setEnabled(m_state == State::Insert);
    m_grid->setEnabled(browse);
}

void TApmaksas::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        if (!m_lastNewDate.isValid()) m_lastNewDate = QDate::currentDate();
        applyState();
    }
    QWidget::changeEvent(event);
}

void TApmaksas::closeEvent(QCloseEvent* event) {
    if (m_state != State::Browse) {
        if (QMessageBox::question(this, windowTitle(), tr("Izmaiņas nav saglabātas. Vai tiešām vēlaties tās atmest ?"),
                                  QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
            event->ignore();
            return;
        }
        cancelEdit();
    }
    saveSettings();
    QWidget::closeEvent(event);
}

int TApmaksas::currentKey() const {
    const QModelIndex index = m_grid->currentIndex();
    return index.isValid() ? m_model->fieldValue(index.row(), QStringLiteral("ISN")).toInt() : 0;
}

bool TApmaksas::setCurrentKey(int key) {
    m_steps->readTo(key);
    const int row = key > 0 ? m_model->findRow(key) : -1;
    if (row < 0) return false;
    m_grid->selectRow(row);
    m_grid->scrollTo(m_model->index(row, 0));
    return true;
}

void TApmaksas::refresh(int key, bool relocate) {
    const int keep = key > 0 ? key : currentKey();
    const int keepRow = qMax(0, m_grid->currentIndex().row());
    // The first screenful shows at once and the rest is read while the user looks at it, unless
    // the payment to stay on is further down.
    db::ResultSet rows;
    m_steps->stop();
    try {
        rows = m_steps->start(m_dati.fetchList(filter(), m_orders.payments), keep);
    } catch (const db::DbError& e) {
        message(tr("Kaut kas nav kārtībā ar atlasi vai sakārtošanu !!!\n\n") + e.message());
        return;
    }
    m_showing = true;
    m_model->setRows(std::move(rows));
    const bool found = setCurrentKey(keep);
    if (!found && m_model->rowCount() > 0) m_grid->selectRow(qMin(keepRow, m_model->rowCount() - 1));
    m_showing = false;
    if (!found && relocate && keep > 0) {
        QDate date;
        widgets::Guard(this, [&] { date = m_dati.paymentDate(keep); });
        if (date.isValid()) {
            message(tr("Esošais filtrs tiek pārlikts uz apmaksas datumu !!!"));
            PaymentFilter f = filter();
            f.from = f.to = date;
            f.allDates = false;
            f.number.clear();
            f.overpayment = PaymentFilter::AllPayments;
            f.method = -1;
            f.patient = 0;
            setFilter(f);
            refresh(keep, false);
            return;
        }
    }
    if (m_state == State::Browse) widgets::Guard(this, [this] { showCurrent(); });
    else applyState();
}

void TApmaksas::showCurrent() {
    const int key = currentKey();
    std::optional<PaymentHeader> h = key > 0 ? m_dati.load(key) : std::nullopt;
    m_header = h ? *h : PaymentHeader();
    showHeader();
    refreshAllocations();
    applyState();
}

void TApmaksas::showHeader() {
    m_showing = true;
    const bool any = m_header.isn > 0 || m_state == State::Insert;
    m_edDatums->setValue(m_header.date);
    edit(QStringLiteral("NUMURS"))->setText(m_header.number);
    edit(QStringLiteral("SUMMA"))->setText(any ? QString::number(m_header.allocated, 'f', 2) : QString());
    edit(QStringLiteral("PARPALIKUMS"))->setText(any ? QString::number(m_header.overpayment, 'f', 2) : QString());
    m_cbVeids->setCurrentIndex(qBound(0, m_header.method, m_cbVeids->count() - 1));
    edit(QStringLiteral("edKlients"))->setText(m_header.patientName);
    m_showing = false;
}

void TApmaksas::refreshAllocations() {
    m_allocModel->setRows(m_header.isn > 0 ? m_dati.allocations(m_header.isn) : db::ResultSet());
}

void TApmaksas::refreshUnpaid() {
    const int patient = m_header.patient;
    QList<int> keep;
    if (patient == m_unpaidPatient) keep = chosenInvoices();
    m_unpaidPatient = patient;
    m_unpaidModel->setRows(patient > 0 ? m_dati.unpaid(patient, m_orders.unpaid) : db::ResultSet());
    sumLabel(QStringLiteral("lbKlients"))->setText(patient > 0 ? tr("Klients: ") + m_header.patientName : QString());
    m_unpaidGrid->clearSelection();
    for (const int key : keep) {
        const int row = m_unpaidModel->findRow(key);
        if (row >= 0)
            m_unpaidGrid->selectionModel()->select(m_unpaidModel->index(row, 0),
                                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    const UnpaidTotals t = TApmaksasDati::Totals(m_unpaidModel->rows());
    sumLabel(QStringLiteral("lbRekinuSumma"))->setText(sum(t.total));
    sumLabel(QStringLiteral("lbApmaksats"))->setText(sum(t.paid));
    sumLabel(QStringLiteral("lbAtlikums"))->setText(sum(t.debt()));
    showSelectedDebt();
}

void TApmaksas::showSelectedDebt() {
    QList<int> rows;
    for (const QModelIndex& index : m_unpaidGrid->selectionModel()->selectedRows()) rows << index.row();
    sumLabel(QStringLiteral("lbAtlasita"))->setText(sum(TApmaksasDati::SelectedDebt(m_unpaidModel->rows(), rows)));
}

QList<int> TApmaksas::chosenInvoices() const {
    if (m_unpaidPatient <= 0 || m_unpaidPatient != m_header.patient) return {};
    QList<int> rows;
    for (const QModelIndex& index : m_unpaidGrid->selectionModel()->selectedRows()) rows << index.row();
    std::sort(rows.begin(), rows.end());
    QList<int> keys;
    for (const int r : rows) keys << m_unpaidModel->fieldValue(r, QStringLiteral("ISN")).toInt();
    return keys;
}

int TApmaksas::askChosenOnly() {
    return QMessageBox::question(this, windowTitle(), tr("Vai apmaksāt TIKAI atlasītās pavadzīmes ?"),
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

void TApmaksas::pageChanged(int page) {
    if (page == UnpaidPage) {
        widgets::Guard(this, [this] { refreshUnpaid(); });
    } else {
        // The patient's name may have changed meanwhile.
        if (m_state == State::Browse) widgets::Guard(this, [this] { showCurrent(); });
    }
}

void TApmaksas::focusField(const QString& field) {
    QWidget* w = field == QLatin1String("ISKLIENTS") ? static_cast<QWidget*>(button(QStringLiteral("btKlients")))
                 : field == QLatin1String("DATUMS")  ? static_cast<QWidget*>(m_edDatums->lineEdit())
                                                     : static_cast<QWidget*>(edit(field));
    if (w) w->setFocus();
}

void TApmaksas::newPayment() {
    if (m_state != State::Browse) return;
    m_state = State::Insert;
    m_header = PaymentHeader();
    m_header.date = m_lastNewDate.isValid() ? m_lastNewDate : QDate::currentDate();
    m_chkAvanss->setChecked(false);
    m_unpaidPatient = 0;
    m_unpaidModel->setRows(db::ResultSet());
    m_allocModel->setRows(db::ResultSet());
    showHeader();
    edit(QStringLiteral("SUMMA"))->clear();
    applyState();
    m_tabs->setCurrentIndex(PaymentsPage);
    focusField(QStringLiteral("DATUMS"));
}

void TApmaksas::editPayment() {
    if (m_state != State::Browse || m_header.isn <= 0) return;
    m_tabs->setCurrentIndex(PaymentsPage);
    m_old = m_header;
    m_state = State::Edit;
    m_cbVeids->setCurrentIndex(qBound(0, m_header.method, m_cbVeids->count() - 1));
    applyState();
    focusField(QStringLiteral("DATUMS"));
}

void TApmaksas::cancelEdit() {
    if (m_state == State::Browse) return;
    m_state = State::Browse;
    widgets::Guard(this, [this] { showCurrent(); });
}

void TApmaksas::pickPatient() {
    if (m_state == State::Browse) return;
    const auto& pick = m_session.facades().patients.pick;
    if (!pick) return;
    const int key = pick(this, m_header.patient);
    if (key <= 0) return;
    m_header.patient = key;
    widgets::Guard(this, [&] { m_header.patientName = m_dati.patientName(key); });
    edit(QStringLiteral("edKlients"))->setText(m_header.patientName);
}

bool TApmaksas::savePayment() {
    if (m_state == State::Browse) return false;
    // What is still being typed counts.
    widgets::CommitTypedDates(this);
    if (widgets::RefuseUnreadableDates(this)) return false;
    m_header.date = m_edDatums->value();
    m_header.number = edit(QStringLiteral("NUMURS"))->text();
    m_header.method = m_cbVeids->currentIndex();
    PaymentOutcome out;
    if (m_state == State::Insert) {
        const QString typed = edit(QStringLiteral("SUMMA"))->text().trimmed();
        QString text = typed;
        text.replace(QLatin1Char(','), QLatin1Char('.'));
        bool ok = text.isEmpty();
        double amount = text.isEmpty() ? 0 : text.toDouble(&ok);
        if (!ok || !qIsFinite(amount)) {
            message(tr("Summa: nav skaitlis \"") + typed + QStringLiteral("\" !!!"));
            focusField(QStringLiteral("SUMMA"));
            return false;
        }
        NewPayment p;
        p.patient = m_header.patient;
        p.date = m_header.date;
        p.number = m_header.number;
        p.amount = amount;
        p.method = m_header.method;
        const app::CardCheck check = TApmaksasDati::check(p);
        if (!check.ok()) {
            message(check.message);
            focusField(check.field);
            return false;
        }
        AllocationMode mode = AllocationMode::Automatic;
        const QList<int> chosen = chosenInvoices();
        if (m_chkAvanss->isChecked()) {
            mode = AllocationMode::Advance;
        } else if (!chosen.isEmpty()) {
            const int answer = askChosenOnly();
            if (answer == QMessageBox::Cancel) return false;
            if (answer == QMessageBox::Yes) mode = AllocationMode::Selected;
        }
        if (!widgets::Guard(this, [&] { out = m_dati.saveNew(p, mode, chosen, m_orders.unpaid); })) return false;
        if (!out.ok()) {
            widgets::ShowRefusal(this, out.refusal.message, out.details);
            return false;
        }
        m_lastNewDate = m_header.date;
    } else {
        PaymentEdit e;
        e.key = m_header.isn;
        e.patient = m_header.patient;
        e.date = m_header.date;
        e.number = m_header.number;
        e.method = m_header.method;
        e.oldPatient = m_old.patient;
        e.oldDate = m_old.date;
        e.oldNumber = m_old.number;
        e.oldMethod = m_old.method;
        if (!widgets::Guard(this, [&] { out = m_dati.saveEdited(e); })) return false;
        if (!out.ok()) {
            if (!out.refusal.field.isEmpty()) {
                message(out.refusal.message);
                focusField(out.refusal.field);
                return false;
            }
            // Refused by the database or over another workstation's change: the stored row is shown.
            widgets::ShowRefusal(this, out.refusal.message, out.details);
            m_state = State::Browse;
            refresh(m_header.isn);
            return false;
        }
    }
    m_state = State::Browse;
    refresh(out.key, true);
    if (m_tabs->currentIndex() == UnpaidPage) widgets::Guard(this, [this] { refreshUnpaid(); });
    m_grid->setFocus();
    return true;
}

void TApmaksas::allocateOverpayment() {
    if (m_state != State::Browse || m_header.isn <= 0) return;
    if (m_header.overpayment < AmountEpsilon) {
        message(tr("Nav ko sadalīt !!!"));
        return;
    }
    QList<int> chosen;
    if (m_tabs->currentIndex() == UnpaidPage || m_unpaidPatient == m_header.patient) chosen = chosenInvoices();
    if (!chosen.isEmpty()) {
        const int answer = askChosenOnly();
        if (answer == QMessageBox::Cancel) return;
        if (answer == QMessageBox::No) chosen.clear();
    }
    PaymentOutcome out;
    if (!widgets::Guard(this, [&] { out = m_dati.allocateOverpayment(m_header.isn, chosen, m_orders.unpaid); })) return;
    if (!out.ok()) widgets::ShowRefusal(this, out.refusal.message, out.details);
    refresh(m_header.isn);
    if (m_tabs->currentIndex() == UnpaidPage) widgets::Guard(this, [this] { refreshUnpaid(); });
}

void TApmaksas::deletePayments() {
    if (m_state != State::Browse) return;
    if (currentKey() <= 0) {
        message(tr("Nav datu, ko dzēst !!!"));
        return;
    }
    if (QMessageBox::question(this, QString(), tr("Vai tiešām vēlaties dzēst ierakstu ?"),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    QList<int> keys;
    for (const QModelIndex& index : m_grid->selectionModel()->selectedRows())
        keys << m_model->fieldValue(index.row(), QStringLiteral("ISN")).toInt();
    if (keys.isEmpty()) keys << currentKey();
    app::DeleteOutcome out;
    if (!widgets::Guard(this, [&] { out = m_dati.deletePayments(keys); })) return;
    if (!out.deleted) widgets::ShowRefusal(this, out.message, out.details);
    refresh();
}

void TApmaksas::openFilter() {
    if (m_state != State::Browse) return;
    const PaymentFilter before = filter();
    if (m_filterDialog->exec() != QDialog::Accepted) {
        setFilter(before);
        return;
    }
    filter().write();
    refresh();
}

void TApmaksas::importCsv(const QString& given) {
    if (m_state != State::Browse) return;
    QString path = given;
    if (path.isEmpty()) {
        path = QFileDialog::getOpenFileName(this, tr("Izvēlaties CSV failu, no kura  importēt"),
                                            app::Settings::string(OwnSection, QStringLiteral("ApmaksasCSV")),
                                            tr("CSV faili (*.CSV *.csv)"));
        if (path.isEmpty()) return;
    }
    app::Settings::setString(OwnSection, QStringLiteral("ApmaksasCSV"), path);
    PaymentImport import(m_session.database(), m_session.UserIsn());
    import.setUnpaidOrder(m_orders.unpaid);
    if (m_duplicateChooser)
        import.setDuplicateChooser([this](const QString& code) { return m_duplicateChooser(this, code); });
    PaymentImportResult result;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ran = widgets::Guard(this, [&] { result = import.runFile(path); });
    QApplication::restoreOverrideCursor();
    if (!ran) return;
    if (!result.ok) {
        message(result.failure.message());
        return;
    }
    // Lines left out are named, so that nobody has to guess what the file did not bring.
    if (result.skipped > 0)
        widgets::ShowRefusal(this,
                             tr("Importēti maksājumi: %1, izlaisti: %2.").arg(result.imported).arg(result.skipped),
                             result.skippedLines.join(QLatin1Char('\n')));
    refresh();
}

}  // namespace billing
