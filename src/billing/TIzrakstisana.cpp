#include "billing/TIzrakstisana.h"

#include "app/ChangeNotifier.h"
#include "app/Rights.h"
#include "app/Settings.h"
#include "billing/InvoiceImport.h"
#include "billing/InvoicePrint.h"
#include "billing/TApmaksatPZ.h"
#include "billing/TIzrakstisanaCitasZinas.h"
#include "billing/TIzrakstisanaFiltrs.h"
#include "db/DbError.h"
#include "models/ResultTableModel.h"
#include "reports/ReportPreview.h"
#include "widgets/GridLayout.h"
#include "widgets/Guard.h"
#include "widgets/ListGrid.h"
#include "widgets/LiveRefresh.h"
#include "widgets/NullableDateEdit.h"
#include "widgets/StepwiseList.h"

#include <QAction>
#include <QtNumeric>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace billing {

namespace {

QString rightsCode() { return QString::fromLatin1(TIzrakstisanaDati::RightsCode); }
const QString OrderSection = QStringLiteral("IzrakstOrder");
const QString OwnSection = QStringLiteral("Izrakstisana");
// The list draws an invoice that is unpaid after its pay-by date in red.
class InvoiceListModel : public models::ResultTableModel {
public:
    using ResultTableModel::ResultTableModel;
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::ForegroundRole && index.isValid()) {
            const double debt = fieldValue(index.row(), QStringLiteral("KOPSUMMA")).toDouble() -
                                fieldValue(index.row(), QStringLiteral("APMAKS_SUM")).toDouble();
            const QDate payBy = fieldValue(index.row(), QStringLiteral("APMAKS_LIDZ")).toDateTime().date();
            if (debt >= UnpaidThreshold && payBy.isValid() && QDate::currentDate() > payBy) return QColor(Qt::red);
        }
        return ResultTableModel::data(index, role);
    }
};

std::optional<double> readNumber(const QString& text) {
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok || !qIsFinite(d)) return std::nullopt;
    return d;
}

QString total(double v) { return QString::asprintf("%10.2f", v); }

}  // namespace

TIzrakstisana::TIzrakstisana(app::Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session), m_dati(session.database()) {
    setObjectName(QStringLiteral("TIzrakstisana"));
    setWindowTitle(tr("Rēķini"));
    m_sort = InvoiceSort::Read();
    m_lineOrder = app::Settings::string(OrderSection, QStringLiteral("KartibaO_PRECE"));
    m_counter = InvoiceCounter::Read();
    m_filterDialog = new TIzrakstisanaFiltrs(session, this);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("pgIzrakstisana"));
    auto* listPage = new QWidget(m_tabs);
    listPage->setObjectName(QStringLiteral("tabSaraksts"));
    auto* linesPage = new QWidget(m_tabs);
    linesPage->setObjectName(QStringLiteral("tabPreces"));
    m_tabs->addTab(listPage, tr("Rēķinu saraksts"));
    m_tabs->addTab(linesPage, tr("Izrakstītās pr&eces"));
    buildListPage(listPage);
    buildLinesPage(linesPage);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_tabs);
    buildMenu();
    connect(m_tabs, &QTabWidget::currentChanged, this, &TIzrakstisana::pageChanged);

    // Invoices and lines saved here or on another workstation, payments, and the names shown are
    // followed without the user asking; not while an invoice or a line is edited.
    auto* live = new widgets::LiveRefresh(
        this,
        widgets::LiveRefresh::KeepingScroll(m_grid,
                                            [this] {
                                                refresh();
                                                if (m_tabs->currentIndex() == LinesPage) refreshLines();
                                            }),
        [this] { return m_state != State::Browse || m_lineState != State::Browse; });
    app::ChangeNotifier& notifier = m_session.notifier();
    connect(&notifier, &app::ChangeNotifier::invoicesChanged, live, &widgets::LiveRefresh::request);
    connect(&notifier, &app::ChangeNotifier::paymentsChanged, live, &widgets::LiveRefresh::request);
    connect(&notifier, &app::ChangeNotifier::patientsChanged, live, &widgets::LiveRefresh::request);
    connect(&notifier, &app::ChangeNotifier::priceListChanged, live, &widgets::LiveRefresh::request);

    m_mayChange = m_session.hasRight(rightsCode(), app::Change);
    m_mayAdd = m_session.hasRight(rightsCode(), app::Add);
    m_mayDelete = m_session.hasRight(rightsCode(), app::Delete);
    loadSettings();
    refresh();
    widgets::LoadGridLayout(m_grid);
    widgets::LoadGridLayout(m_linesGrid);
}

TIzrakstisana::~TIzrakstisana() { saveSettings(); }

void TIzrakstisana::buildListPage(QWidget* page) {
    auto* toolbar = new QHBoxLayout;
    auto addButton = [&](const QString& text, const char* name) {
        auto* b = new QPushButton(text, page);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        toolbar->addWidget(b);
        return b;
    };
    connect(addButton(tr("&Jauns"), "btJauns"), &QPushButton::clicked, this, &TIzrakstisana::newInvoice);
    connect(addButton(tr("&Kopēt"), "btKopet"), &QPushButton::clicked, this, &TIzrakstisana::copyInvoice);
    connect(addButton(tr("&Labot"), "btLabot"), &QPushButton::clicked, this, &TIzrakstisana::editInvoice);
    connect(addButton(tr("&Dzēst"), "btDzest"), &QPushButton::clicked, this, &TIzrakstisana::deleteInvoice);
    connect(addButton(tr("Sa&glabāt"), "btSaglabat"), &QPushButton::clicked, this, &TIzrakstisana::saveInvoice);
    connect(addButton(tr("Citas ziņas"), "btCitasZinas"), &QPushButton::clicked, this, &TIzrakstisana::otherInformation);
    connect(addButton(tr("Apmaksa"), "btApmaksa"), &QPushButton::clicked, this, &TIzrakstisana::payInvoice);
    connect(addButton(tr("Atlasīt"), "btAtlasit"), &QPushButton::clicked, this, &TIzrakstisana::openFilter);
    connect(addButton(tr("Drukāt"), "btDrukat"), &QPushButton::clicked, this, &TIzrakstisana::printInvoice);
    toolbar->addStretch(1);
    connect(addButton(tr("A&izvērt"), "btAizvert"), &QPushButton::clicked, this, &QWidget::close);

    auto* edDatums = new widgets::NullableDateEdit(page);
    edDatums->setObjectName(QStringLiteral("DATUMS"));
    auto* edLidz = new widgets::NullableDateEdit(page);
    edLidz->setObjectName(QStringLiteral("APMAKS_LIDZ"));
    auto* edNumurs = new QLineEdit(page);
    edNumurs->setObjectName(QStringLiteral("NUMURS"));
    edNumurs->setMaxLength(20);
    edNumurs->setToolTip(tr("Pavadzīmes numurs vai Z čeka Nr. vai POS3-17 (Pos Nr + Z Nr)"));
    auto* edSerija = new QLineEdit(page);
    edSerija->setObjectName(QStringLiteral("SERIJA"));
    edSerija->setMaxLength(20);
    auto* btKlients = new QPushButton(tr("Klients"), page);
    btKlients->setObjectName(QStringLiteral("btKlients"));
    btKlients->setAutoDefault(false);
    auto* edKlients = new QLineEdit(page);
    edKlients->setObjectName(QStringLiteral("edKlients"));
    edKlients->setReadOnly(true);
    edKlients->setFocusPolicy(Qt::NoFocus);

    auto* header = new QGridLayout;
    header->addWidget(new QLabel(tr("Datums"), page), 0, 0);
    header->addWidget(edDatums, 0, 1);
    header->addWidget(new QLabel(tr("Apmaksāt līdz :"), page), 0, 2);
    header->addWidget(edLidz, 0, 3);
    header->addWidget(new QLabel(tr("Rēķina numurs"), page), 1, 0);
    header->addWidget(edNumurs, 1, 1);
    header->addWidget(new QLabel(tr("sērija"), page), 1, 2);
    header->addWidget(edSerija, 1, 3);
    header->addWidget(btKlients, 2, 0);
    header->addWidget(edKlients, 2, 1, 1, 3);
    header->setColumnStretch(4, 1);

    m_model = new InvoiceListModel(this);
    m_steps = new widgets::StepwiseList(
        m_model, [this](const QString& text) { message(tr("Sistēmas kļūda: ") + text); }, this);
    const QString money = QStringLiteral("#0.00");
    const QString day = QStringLiteral("dd.MM.yyyy");
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    models::GridColumn name;
    name.title = tr("Klienta uzvārds, vārds");
    name.calculate = [](const db::ResultSet& rows, int row) -> QVariant {
        return QString(rows.value(row, QStringLiteral("UZVARDS")).toString() + QLatin1Char(' ') +
                       rows.value(row, QStringLiteral("VARDS")).toString());
    };
    m_model->setColumns({{QStringLiteral("DATUMS"), tr("Rēķina datums"), day, {}},
                         name,
                         {QStringLiteral("NUMURS"), tr("Rēķina Nr."), {}, {}},
                         {QStringLiteral("SERIJA"), tr("Rēķina sērija"), {}, {}},
                         {QStringLiteral("KOPSUMMA"), tr("Summa"), money, {}, right},
                         {QStringLiteral("APMAKS_SUM"), tr("Apm. summa"), money, {}, right},
                         {QStringLiteral("APMAKS_LIDZ"), tr("Apm. Līdz."), day, {}},
                         {QStringLiteral("APMAKS_DAT"), tr("Apmaks.datums"), day, {}},
                         {QStringLiteral("ISN"), tr("Iekšējais Nr."), {}, {}, right}});
    m_grid = new QTableView(page);
    m_grid->setObjectName(QStringLiteral("grdIzrakstisana"));
    m_grid->setModel(m_model);
    widgets::SetupListGrid(m_grid);
    m_grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // The patient's name takes the room that is left, so that every column shows.
    m_grid->horizontalHeader()->setStretchLastSection(false);
    m_grid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_grid->horizontalHeader()->setSortIndicatorShown(true);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(toolbar);
    layout->addLayout(header);
    layout->addWidget(m_grid, 1);

    connect(btKlients, &QPushButton::clicked, this, &TIzrakstisana::pickPatient);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &TIzrakstisana::sortByColumn);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (m_state == State::Browse && !m_showing) widgets::Guard(this, [this] { showCurrent(); });
    });
    // Leaving the number makes the counter follow it; leaving the date moves the pay-by date.
    connect(edNumurs, &QLineEdit::textEdited, this, [this] { m_header.numberFromCounter = false; });
    connect(edNumurs, &QLineEdit::editingFinished, this, [this, edNumurs] {
        if (m_state == State::Browse) return;
        m_counter.next = CounterAfterTyped(edNumurs->text(), m_counter.next);
        m_counter.write();
    });
    connect(edDatums, &widgets::NullableDateEdit::dateChanged, this, [this, edLidz](const QDate& date) {
        if (m_state == State::Browse || m_showing || !date.isValid()) return;
        edLidz->setValue(date.addDays(5));
    });
}

void TIzrakstisana::buildLinesPage(QWidget* page) {
    auto* toolbar = new QHBoxLayout;
    auto addButton = [&](const QString& text, const char* name) {
        auto* b = new QPushButton(text, page);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        toolbar->addWidget(b);
        return b;
    };
    connect(addButton(tr("J&auns"), "btJaunsRinda"), &QPushButton::clicked, this, &TIzrakstisana::newLine);
    connect(addButton(tr("La&bot"), "btLabotRinda"), &QPushButton::clicked, this, &TIzrakstisana::editLine);
    connect(addButton(tr("D&zēst"), "btDzestRinda"), &QPushButton::clicked, this, &TIzrakstisana::deleteLines);
    connect(addButton(tr("&Saglabāt"), "btSaglabatRinda"), &QPushButton::clicked, this, &TIzrakstisana::saveLine);
    toolbar->addStretch(1);

    auto* btPrece = new QPushButton(tr("P&reces nosaukums"), page);
    btPrece->setObjectName(QStringLiteral("btPrece"));
    btPrece->setAutoDefault(false);
    auto* edPrece = new QLineEdit(page);
    edPrece->setObjectName(QStringLiteral("edPrece"));
    edPrece->setReadOnly(true);
    edPrece->setFocusPolicy(Qt::NoFocus);
    auto* edDaudzums = new QLineEdit(page);
    edDaudzums->setObjectName(QStringLiteral("DAUDZUMS"));
    edDaudzums->setToolTip(tr("Saņemtais daudzums CTRL+K - skaits ir kastēs"));
    auto* edCena = new QLineEdit(page);
    edCena->setObjectName(QStringLiteral("CENA"));
    auto* edAtlaide = new QLineEdit(page);
    edAtlaide->setObjectName(QStringLiteral("ATLAIDE"));
    edAtlaide->setToolTip(tr("Atlaides %"));
    auto* edKomentars = new QLineEdit(page);
    edKomentars->setObjectName(QStringLiteral("KOMENTARS"));

    auto* fields = new QGridLayout;
    fields->addWidget(btPrece, 0, 0);
    fields->addWidget(edPrece, 0, 1, 1, 5);
    fields->addWidget(new QLabel(tr("Daudzums"), page), 1, 0);
    fields->addWidget(edDaudzums, 1, 1);
    fields->addWidget(new QLabel(tr("Cena bez PVN"), page), 1, 2);
    fields->addWidget(edCena, 1, 3);
    fields->addWidget(new QLabel(tr("Piec(+)/Atlaide(-)"), page), 1, 4);
    fields->addWidget(edAtlaide, 1, 5);
    fields->addWidget(new QLabel(tr("Preces komentārs"), page), 2, 0);
    fields->addWidget(edKomentars, 2, 1, 1, 5);

    auto* totals = new QHBoxLayout;
    const std::pair<const char*, QString> labels[] = {
        {"lbSummaBezPvn", tr("Summa bez PVN")}, {"lbPvn", tr("PVN")}, {"lbKopa", tr("Kopā")}};
    for (const auto& [name, text] : labels) {
        if (totals->count() > 0) totals->addSpacing(24);
        totals->addWidget(new QLabel(text, page));
        auto* value = new QLabel(page);
        value->setObjectName(QString::fromLatin1(name));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setFont(QFont(QStringLiteral("DejaVu Sans Mono")));
        totals->addWidget(value);
    }
    totals->addStretch(1);

    m_linesModel = new models::ResultTableModel(this);
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    m_linesModel->setColumns({{QStringLiteral("PRECE"), tr("Preces nosaukums"), {}, {}},
                              {QStringLiteral("DAUDZUMS"), tr("Daudzums"), QStringLiteral("#0.00"), {}, right},
                              {QStringLiteral("ARPVN"), tr("Summa ar PVN"), QStringLiteral("#0.00"), {}, right},
                              {QStringLiteral("ISN"), tr("Iekšējais Nr."), {}, {}, right}});
    m_linesGrid = new QTableView(page);
    m_linesGrid->setObjectName(QStringLiteral("grdPreces"));
    m_linesGrid->setModel(m_linesModel);
    widgets::SetupListGrid(m_linesGrid);
    m_linesGrid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_linesGrid->horizontalHeader()->setStretchLastSection(false);
    m_linesGrid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(toolbar);
    layout->addLayout(fields);
    layout->addWidget(m_linesGrid, 1);
    layout->addLayout(totals);

    connect(btPrece, &QPushButton::clicked, this, &TIzrakstisana::pickItem);
    connect(m_linesGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (m_lineState == State::Browse && !m_showing) widgets::Guard(this, [this] { showLine(); });
    });
    // Going into the grid leaves a line edit.
    connect(m_linesGrid, &QTableView::pressed, this, [this] {
        if (m_lineState != State::Browse) cancelLineEdit();
    });
}

void TIzrakstisana::buildMenu() {
    auto* bar = new QMenuBar(this);
    QMenu* operations = bar->addMenu(tr("Operācijas"));
    QAction* pay = operations->addAction(tr("Apmaksāt rēķinu"), this, &TIzrakstisana::payInvoice);
    pay->setObjectName(QStringLiteral("actApmaksat"));
    pay->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    QAction* import = operations->addAction(tr("Rēķinu imports no CSV faila"), this, [this] { importCsv(); });
    import->setObjectName(QStringLiteral("actImports"));
    QMenu* reportsMenu = bar->addMenu(tr("Atskaites"));
    QMenu* forms = reportsMenu->addMenu(tr("Rēķina formas"));
    QAction* print = forms->addAction(tr("Rēķina druka"), this, &TIzrakstisana::printInvoice);
    print->setObjectName(QStringLiteral("actRekinaDruka"));
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    QAction* planned = reportsMenu->addAction(tr("Plānotas izmaksas"), this, &TIzrakstisana::printPlannedPayments);
    planned->setObjectName(QStringLiteral("actPlanotasIzmaksas"));
    for (QAction* a : {pay, import, print, planned}) addAction(a);
    layout()->setMenuBar(bar);
}

// The controls are looked up on the two pages only: the filter dialog, a child of the window too,
// has its own "btKlients" and "edKlients".
QPushButton* TIzrakstisana::button(const QString& name) const { return m_tabs->findChild<QPushButton*>(name); }
QAction* TIzrakstisana::action(const QString& name) const { return findChild<QAction*>(name); }
QLineEdit* TIzrakstisana::edit(const QString& name) const { return m_tabs->findChild<QLineEdit*>(name); }
widgets::NullableDateEdit* TIzrakstisana::dateEdit(const QString& name) const {
    return m_tabs->findChild<widgets::NullableDateEdit*>(name);
}
QLabel* TIzrakstisana::totalLabel(const QString& name) const { return m_tabs->findChild<QLabel*>(name); }

InvoiceFilter TIzrakstisana::filter() const { return m_filterDialog->filter(); }
void TIzrakstisana::setFilter(const InvoiceFilter& filter) { m_filterDialog->setFilter(filter); }

void TIzrakstisana::setCounter(const InvoiceCounter& counter) {
    m_counter = counter;
    m_counter.write();
}

void TIzrakstisana::loadSettings() {
    const int width = app::Settings::integer(OwnSection, QStringLiteral("Width"), 1100);
    const int height = app::Settings::integer(OwnSection, QStringLiteral("Height"), 700);
    resize(QSize(qMax(600, width), qMax(400, height)));
}

void TIzrakstisana::saveSettings() {
    app::Settings::setInteger(OwnSection, QStringLiteral("Width"), width());
    app::Settings::setInteger(OwnSection, QStringLiteral("Height"), height());
    m_sort.write();
    app::Settings::setString(OrderSection, QStringLiteral("KartibaO_PRECE"), m_lineOrder);
    m_counter.write();
    widgets::SaveGridLayout(m_grid);
    widgets::SaveGridLayout(m_linesGrid);
}

void TIzrakstisana::message(const QString& text) { QMessageBox::warning(this, windowTitle(), text); }

void TIzrakstisana::systemError(const std::exception& e) {
    QMessageBox::critical(this, windowTitle(), widgets::SystemErrorText(e));
}

bool TIzrakstisana::write(const std::function<void()>& change) {
    try {
        change();
        return true;
    } catch (const db::StaleRowError&) {
        message(db::StaleRowError::Message());
        m_state = State::Browse;
        m_lineState = State::Browse;
        widgets::Guard(this, [this] { refresh(m_header.isn); });
    } catch (const std::exception& e) {
        systemError(e);
    }
    return false;
}

void TIzrakstisana::applyState() {
    const bool browse = m_state == State::Browse;
    const bool any = m_header.isn > 0;
    button(QStringLiteral("btJauns"))->setEnabled(browse && m_mayAdd);
    button(QStringLiteral("btKopet"))->setEnabled(browse && m_mayAdd && any);
    button(QStringLiteral("btLabot"))->setEnabled(browse && m_mayChange && any);
    button(QStringLiteral("btDzest"))->setEnabled(browse && m_mayDelete && any);
    button(QStringLiteral("btSaglabat"))->setEnabled(!browse);
    button(QStringLiteral("btAtlasit"))->setEnabled(browse);
    button(QStringLiteral("btDrukat"))->setEnabled(browse);
    // Paying records a new payment: the right to add.
    button(QStringLiteral("btApmaksa"))->setEnabled(browse && any && m_mayAdd);
    action(QStringLiteral("actApmaksat"))->setEnabled(browse && any && m_mayAdd);
    action(QStringLiteral("actImports"))->setEnabled(browse && m_mayAdd);
    button(QStringLiteral("btKlients"))->setEnabled(!browse && bool(m_session.facades().patients.pick));
    for (const char* name : {"NUMURS", "SERIJA"}) edit(QString::fromLatin1(name))->setReadOnly(browse);
    for (const char* name : {"DATUMS", "APMAKS_LIDZ"}) dateEdit(QString::fromLatin1(name))->setReadOnly(browse);
    m_grid->setEnabled(browse);
    m_tabs->setTabEnabled(LinesPage, browse ? any : false);

    const bool lineBrowse = m_lineState == State::Browse;
    const bool anyLine = m_linesModel->rowCount() > 0;
    button(QStringLiteral("btJaunsRinda"))->setEnabled(lineBrowse && m_mayAdd && any);
    button(QStringLiteral("btLabotRinda"))->setEnabled(lineBrowse && m_mayChange && anyLine);
    button(QStringLiteral("btDzestRinda"))->setEnabled(lineBrowse && m_mayDelete && anyLine);
    button(QStringLiteral("btSaglabatRinda"))->setEnabled(!lineBrowse);
    button(QStringLiteral("btPrece"))->setEnabled(!lineBrowse && bool(m_session.facades().references.pick));
    for (const char* name : {"DAUDZUMS", "CENA", "ATLAIDE", "KOMENTARS"}) edit(QString::fromLatin1(name))->setReadOnly(lineBrowse);
}

void TIzrakstisana::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) applyState();
    QWidget::changeEvent(event);
}

void TIzrakstisana::closeEvent(QCloseEvent* event) {
    if (m_state != State::Browse || m_lineState != State::Browse) {
        if (QMessageBox::question(this, windowTitle(), tr("Izmaiņas nav saglabātas. Vai tiešām vēlaties tās atmest ?"),
                                  QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
            event->ignore();
            return;
        }
        cancelLineEdit();
        cancelEdit();
    }
    saveSettings();
    QWidget::closeEvent(event);
}

int TIzrakstisana::currentKey() const {
    const QModelIndex index = m_grid->currentIndex();
    return index.isValid() ? m_model->fieldValue(index.row(), QStringLiteral("ISN")).toInt() : 0;
}

bool TIzrakstisana::setCurrentKey(int key) {
    m_steps->readTo(key);
    const int row = key > 0 ? m_model->findRow(key) : -1;
    if (row < 0) return false;
    m_grid->selectRow(row);
    m_grid->scrollTo(m_model->index(row, 0));
    return true;
}

void TIzrakstisana::refresh(int key, bool relocate) {
    const int keep = key > 0 ? key : currentKey();
    const int keepRow = qMax(0, m_grid->currentIndex().row());
    // The first screenful shows at once and the rest is read while the user looks at it, unless
    // the invoice to stay on is further down.
    db::ResultSet rows;
    m_steps->stop();
    try {
        rows = m_steps->start(m_dati.fetchList(filter(), m_sort), keep);
    } catch (const std::exception& e) {
        systemError(e);
        return;
    }
    m_showing = true;
    m_model->setRows(std::move(rows));
    const int sorted = int(InvoiceSort::GridFields().indexOf(m_sort.column));
    m_model->setBoldColumn(m_sort.ordered ? sorted : -1);
    m_grid->horizontalHeader()->setSortIndicator(m_sort.ordered ? sorted : -1,
                                                 m_sort.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    const bool found = setCurrentKey(keep);
    if (!found && m_model->rowCount() > 0) m_grid->selectRow(qMin(keepRow, m_model->rowCount() - 1));
    m_showing = false;
    if (!found && relocate && keep > 0) {
        QDate date;
        widgets::Guard(this, [&] { date = m_dati.invoiceDate(keep); });
        if (date.isValid()) {
            message(tr("Esošais filtrs tiek pārlikts uz pavadzīmes datumu !!!"));
            InvoiceFilter f = filter();
            f.from = f.to = date;
            f.paymentState = InvoiceFilter::All;
            f.number.clear();
            setFilter(f);
            refresh(keep, false);
            return;
        }
    }
    if (m_state == State::Browse) widgets::Guard(this, [this] { showCurrent(); });
    else applyState();
}

void TIzrakstisana::showInvoice(int key) {
    if (m_state != State::Browse) return;
    m_tabs->setCurrentIndex(ListPage);
    // The filter goes to the invoice's number and day, so the list is that invoice (and any of
    // the same number that day) at once, however long the list was.
    std::optional<InvoiceHeader> invoice;
    if (!widgets::Guard(this, [&] { invoice = m_dati.load(key); })) return;
    if (invoice) {
        InvoiceFilter f = filter();
        f.from = f.to = invoice->date;
        f.number = invoice->number;
        f.paymentState = InvoiceFilter::All;
        f.patient = 0;
        setFilter(f);
    }
    refresh(key, true);
}

void TIzrakstisana::showCurrent() {
    const int key = currentKey();
    std::optional<InvoiceHeader> h = key > 0 ? m_dati.load(key) : std::nullopt;
    m_header = h ? *h : InvoiceHeader();
    showHeader();
    applyState();
}

void TIzrakstisana::showHeader() {
    m_showing = true;
    dateEdit(QStringLiteral("DATUMS"))->setValue(m_header.date);
    dateEdit(QStringLiteral("APMAKS_LIDZ"))->setValue(m_header.payBy);
    edit(QStringLiteral("NUMURS"))->setText(m_header.number);
    edit(QStringLiteral("SERIJA"))->setText(m_header.series);
    edit(QStringLiteral("edKlients"))->setText(m_header.patientName);
    m_showing = false;
}

void TIzrakstisana::readHeaderFields() {
    m_header.date = dateEdit(QStringLiteral("DATUMS"))->value();
    m_header.payBy = dateEdit(QStringLiteral("APMAKS_LIDZ"))->value();
    const QString number = edit(QStringLiteral("NUMURS"))->text();
    if (number != m_header.number) m_header.numberFromCounter = false;
    m_header.number = number;
    m_header.series = edit(QStringLiteral("SERIJA"))->text();
}

void TIzrakstisana::focusField(const QString& field) {
    QWidget* w = field == QLatin1String("ISKLIENTS") ? static_cast<QWidget*>(button(QStringLiteral("btKlients")))
                 : field == QLatin1String("DATUMS")  ? static_cast<QWidget*>(dateEdit(field)->lineEdit())
                                                     : static_cast<QWidget*>(edit(field));
    if (w) w->setFocus();
}

void TIzrakstisana::newInvoice() {
    if (m_state != State::Browse || !m_mayAdd) return;
    m_tabs->setCurrentIndex(ListPage);
    const QString number = m_counter.take();
    m_counter.write();
    m_header = m_dati.create(number, m_counter.series);
    m_state = State::Insert;
    showHeader();
    applyState();
    focusField(QStringLiteral("DATUMS"));
}

void TIzrakstisana::editInvoice() {
    if (m_state != State::Browse || !m_mayChange || m_header.isn <= 0) return;
    m_tabs->setCurrentIndex(ListPage);
    m_state = State::Edit;
    applyState();
    focusField(QStringLiteral("DATUMS"));
}

void TIzrakstisana::cancelEdit() {
    if (m_state == State::Browse) return;
    m_state = State::Browse;
    widgets::Guard(this, [this] { showCurrent(); });
}

bool TIzrakstisana::saveInvoice() {
    if (m_state == State::Browse) return false;
    // What is still being typed counts.
    widgets::CommitTypedDates(this);
    if (widgets::RefuseUnreadableDates(this)) return false;
    readHeaderFields();
    const app::CardCheck check = TIzrakstisanaDati::Validate(m_header);
    if (!check.ok()) {
        message(check.message);
        focusField(check.field);
        return false;
    }
    const bool inserting = m_state == State::Insert;
    InvoiceSave saved;
    try {
        saved = m_dati.save(m_header, m_session.UserIsn());
    } catch (const db::StaleRowError&) {
        message(db::StaleRowError::Message());
        m_state = State::Browse;
        widgets::Guard(this, [this] { refresh(m_header.isn); });
        return false;
    } catch (const db::DbError& e) {
        // The edit stays as it was typed in the database's eyes: nothing was stored.
        m_state = State::Browse;
        message(tr("Nevarēju saglabāt datus, nav korekti aizpildīti visi lauki !!! ") + e.message());
        widgets::Guard(this, [this] { showCurrent(); });
        return false;
    }
    if (inserting) {
        // The next new invoice takes this series, and a number the counter moved past is not
        // offered again.
        m_counter.series = m_header.series.trimmed();
        if (saved.number != m_header.number.trimmed() && m_header.numberFromCounter)
            m_counter.next = qMax(m_counter.next, CounterAfterTyped(saved.number, m_counter.next));
        m_counter.write();
    }
    m_state = State::Browse;
    refresh(saved.key, true);
    if (inserting) {
        m_tabs->setCurrentIndex(LinesPage);
        newLine();
    } else {
        m_grid->setFocus();
    }
    return true;
}

void TIzrakstisana::copyInvoice() {
    if (m_state != State::Browse || !m_mayAdd) return;
    const int key = currentKey();
    if (key <= 0) return;
    int copyKey = 0;
    if (!write([&] { copyKey = m_dati.copy(key, m_session.UserIsn()); }) || copyKey == 0) return;
    refresh(copyKey, true);
}

void TIzrakstisana::deleteInvoice() {
    if (m_state != State::Browse || !m_mayDelete) return;
    const int key = currentKey();
    if (key <= 0) {
        message(tr("Nav datu, ko dzēst !!!"));
        return;
    }
    if (m_header.paidSum != 0) {
        message(tr("Pavadzīmi ar apmaksu dzēst nedrīkst !!!"));
        return;
    }
    if (QMessageBox::question(this, QString(), tr("Vai tiešām vēlaties dzēst rēķinu ?"),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    app::DeleteOutcome out;
    if (!write([&] { out = m_dati.remove(key, m_session.UserIsn()); })) return;
    if (!out.deleted) message(out.message);
    refresh();
}

void TIzrakstisana::otherInformation() {
    if (m_header.isn <= 0 && m_state != State::Insert) return;
    const bool editing = m_state != State::Browse;
    TIzrakstisanaCitasZinas dialog(m_header, editing, this);
    dialog.exec();
    dialog.apply(m_header);
}

void TIzrakstisana::payInvoice() {
    if (m_state != State::Browse || !m_mayAdd || m_header.isn <= 0) return;
    const QString refusal = TIzrakstisanaDati::PayRefusal(m_header.total, m_header.paidSum);
    if (!refusal.isEmpty()) {
        message(refusal);
        return;
    }
    const int key = m_header.isn;
    TApmaksatPZ dialog(m_session, m_header, this);
    dialog.exec();
    refresh(key);
}

void TIzrakstisana::openFilter() {
    if (m_state != State::Browse) return;
    const InvoiceFilter before = filter();
    if (m_filterDialog->exec() != QDialog::Accepted) {
        setFilter(before);
        return;
    }
    filter().write();
    refresh();
}

void TIzrakstisana::pickPatient() {
    if (m_state == State::Browse) return;
    const auto& pick = m_session.facades().patients.pick;
    if (!pick) return;
    const int key = pick(this, m_header.patient);
    if (key <= 0) return;
    m_header.patient = key;
    widgets::Guard(this, [&] { m_header.patientName = m_dati.patientName(key); });
    edit(QStringLiteral("edKlients"))->setText(m_header.patientName);
}

void TIzrakstisana::sortByColumn(int column) {
    const QString field = InvoiceSort::GridFields().value(column);
    if (field.isEmpty()) return;
    m_sort = m_sort.clicked(field);
    m_sort.write();
    refresh();
}

// ---- Lines -------------------------------------------------------------------------------------

void TIzrakstisana::pageChanged(int page) {
    if (page == LinesPage) {
        widgets::Guard(this, [this] { refreshLines(); });
    } else {
        cancelLineEdit();
        refresh(m_header.isn);
    }
}

void TIzrakstisana::refreshLines(int key) {
    const QModelIndex current = m_linesGrid->currentIndex();
    const int keep = key > 0 ? key : (current.isValid() ? m_linesModel->fieldValue(current.row(), QStringLiteral("ISN")).toInt() : 0);
    m_showing = true;
    m_linesModel->setRows(m_header.isn > 0 ? m_dati.lines(m_header.isn, m_lineOrder) : db::ResultSet());
    const int row = keep > 0 ? m_linesModel->findRow(keep) : -1;
    if (row >= 0) m_linesGrid->selectRow(row);
    else if (m_linesModel->rowCount() > 0) m_linesGrid->selectRow(0);
    m_showing = false;
    showLine();
    showTotals();
}

void TIzrakstisana::showLine() {
    const QModelIndex current = m_linesGrid->currentIndex();
    const int key = current.isValid() ? m_linesModel->fieldValue(current.row(), QStringLiteral("ISN")).toInt() : 0;
    std::optional<InvoiceLine> l = key > 0 ? m_dati.loadLine(key) : std::nullopt;
    m_line = l ? *l : InvoiceLine();
    m_showing = true;
    edit(QStringLiteral("edPrece"))->setText(m_line.itemName);
    edit(QStringLiteral("DAUDZUMS"))->setText(l ? QString::number(m_line.quantity, 'g', 12) : QString());
    edit(QStringLiteral("CENA"))->setText(l ? QString::number(m_line.price, 'f', 2) : QString());
    edit(QStringLiteral("ATLAIDE"))->setText(l ? QString::number(m_line.discount, 'g', 12) : QString());
    edit(QStringLiteral("KOMENTARS"))->setText(m_line.comment);
    m_showing = false;
    applyState();
}

void TIzrakstisana::showTotals() {
    const InvoiceTotals t = m_header.isn > 0 ? m_dati.totals(m_header.isn) : InvoiceTotals();
    totalLabel(QStringLiteral("lbSummaBezPvn"))->setText(total(t.net));
    totalLabel(QStringLiteral("lbPvn"))->setText(total(t.vat));
    totalLabel(QStringLiteral("lbKopa"))->setText(total(t.total));
}

void TIzrakstisana::newLine() {
    if (m_lineState != State::Browse || !m_mayAdd || m_header.isn <= 0) return;
    m_line = TIzrakstisanaDati::NewLine(m_header.isn);
    m_lineState = State::Insert;
    m_showing = true;
    edit(QStringLiteral("edPrece"))->clear();
    edit(QStringLiteral("DAUDZUMS"))->setText(QStringLiteral("1"));
    edit(QStringLiteral("CENA"))->clear();
    edit(QStringLiteral("ATLAIDE"))->setText(QStringLiteral("0"));
    edit(QStringLiteral("KOMENTARS"))->clear();
    m_showing = false;
    applyState();
    button(QStringLiteral("btPrece"))->setFocus();
}

void TIzrakstisana::editLine() {
    if (m_lineState != State::Browse || !m_mayChange || m_line.isn <= 0) return;
    m_lineState = State::Edit;
    applyState();
    edit(QStringLiteral("DAUDZUMS"))->setFocus();
}

void TIzrakstisana::cancelLineEdit() {
    if (m_lineState == State::Browse) return;
    m_lineState = State::Browse;
    widgets::Guard(this, [this] { showLine(); });
}

void TIzrakstisana::pickItem() {
    if (m_lineState == State::Browse) return;
    const auto& pick = m_session.facades().references.pick;
    if (!pick) return;
    const int key = pick(this, QStringLiteral("N_PRECE"), m_line.item);
    if (key <= 0) return;
    std::optional<ItemForLine> item;
    if (!widgets::Guard(this, [&] { item = m_dati.itemForLine(key); }) || !item) return;
    m_line.item = key;
    m_line.itemName = item->name;
    m_line.price = item->price;
    m_line.vatRate = item->vatRate;
    edit(QStringLiteral("edPrece"))->setText(item->name);
    edit(QStringLiteral("CENA"))->setText(QString::number(item->price, 'f', 2));
    edit(QStringLiteral("DAUDZUMS"))->setFocus();
}

bool TIzrakstisana::readLineFields() {
    struct Field {
        const char* name;
        double* target;
        QString label;
    };
    const Field fields[] = {{"DAUDZUMS", &m_line.quantity, tr("Daudzums")},
                            {"CENA", nullptr, tr("Cena bez PVN")},
                            {"ATLAIDE", &m_line.discount, tr("Piec(+)/Atlaide(-)")}};
    for (const Field& f : fields) {
        QLineEdit* e = edit(QString::fromLatin1(f.name));
        const QString text = e->text().trimmed();
        const std::optional<double> value = text.isEmpty() ? std::optional<double>(0) : readNumber(text);
        if (!value) {
            message(f.label + tr(": nav skaitlis \"") + text + QStringLiteral("\" !!!"));
            e->setFocus();
            return false;
        }
        if (f.target) {
            *f.target = *value;
        } else if (QString::number(m_line.price, 'f', 2) != text) {
            // The price picked from the price list is kept unrounded until the user types another.
            m_line.price = *value;
        }
    }
    m_line.comment = edit(QStringLiteral("KOMENTARS"))->text();
    return true;
}

bool TIzrakstisana::saveLine() {
    if (m_lineState == State::Browse) return false;
    if (!readLineFields()) return false;
    int key = 0;
    try {
        key = m_dati.saveLine(m_line, m_session.UserIsn());
    } catch (const db::StaleRowError&) {
        message(db::StaleRowError::Message());
        m_lineState = State::Browse;
        widgets::Guard(this, [this] { refreshLines(); });
        return false;
    } catch (const db::DbError& e) {
        message(tr("Saglabāt neizdevās, mēiģinat vēlreiz !!! \n\n") + e.message());
        return false;
    }
    m_lineState = State::Browse;
    widgets::Guard(this, [&] { refreshLines(key); });
    m_linesGrid->setFocus();
    return true;
}

void TIzrakstisana::deleteLines() {
    if (m_lineState != State::Browse || !m_mayDelete) return;
    if (m_line.isn <= 0) {
        message(tr("Nav datu, ko dzēst !!!"));
        return;
    }
    if (QMessageBox::question(this, QString(), tr("Vai tiešām vēlaties dzēst ?"), QMessageBox::Yes | QMessageBox::No) !=
        QMessageBox::Yes)
        return;
    QList<int> keys;
    for (const QModelIndex& index : m_linesGrid->selectionModel()->selectedRows())
        keys.append(m_linesModel->fieldValue(index.row(), QStringLiteral("ISN")).toInt());
    try {
        m_dati.deleteLines(keys, m_session.UserIsn());
    } catch (const db::DbError& e) {
        message(tr("Šo ierakstu dzēst nevar ") + e.message());
    }
    widgets::Guard(this, [this] { refreshLines(); });
}

// ---- Printing and import -----------------------------------------------------------------------

void TIzrakstisana::printInvoice() {
    if (m_state != State::Browse) return;
    const QModelIndexList selected = m_grid->selectionModel()->selectedRows();
    if (selected.isEmpty()) return;
    int first = selected.first().row();
    for (const QModelIndex& index : selected) first = qMin(first, index.row());
    const int key = m_model->fieldValue(first, QStringLiteral("ISN")).toInt();
    std::optional<reports::Report> report;
    // Everything the report shows is read here, once; a database that fails ends the print.
    if (!widgets::Guard(this, [&] { report = InvoicePrint::Invoice(m_session.database(), key, m_session.DefaultVatRate()); }) ||
        !report)
        return;
    reports::showReportPreview(*report, this);
}

void TIzrakstisana::printPlannedPayments() {
    std::optional<reports::Report> report;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = widgets::Guard(this, [&] { report = InvoicePrint::PlannedPayments(m_session.database()); });
    QApplication::restoreOverrideCursor();
    if (ok && report) reports::showReportPreview(*report, this);
}

void TIzrakstisana::importCsv(const QString& given) {
    if (m_state != State::Browse || !m_mayAdd) return;
    QString path = given;
    if (path.isEmpty()) {
        path = QFileDialog::getOpenFileName(this, tr("Izvēlaties CSV failu, no kura  importēt"),
                                            app::Settings::string(OwnSection, QStringLiteral("RekiniCSV")),
                                            tr("CSV faili (*.CSV *.csv)"));
        if (path.isEmpty()) return;
    }
    app::Settings::setString(OwnSection, QStringLiteral("RekiniCSV"), path);
    InvoiceImport import(m_session.database(), m_session.UserIsn());
    if (m_duplicateChooser)
        import.setDuplicateChooser([this](const QString& code) { return m_duplicateChooser(this, code); });
    ImportResult result;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ran = widgets::Guard(this, [&] { result = import.runFile(path); });
    QApplication::restoreOverrideCursor();
    if (!ran) return;
    if (!result.ok) {
        message(result.failure.message());
        return;
    }
    refresh();
}

}  // namespace billing
