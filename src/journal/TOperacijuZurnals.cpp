#include "journal/TOperacijuZurnals.h"

#include "app/Facades.h"
#include "app/WindowRegistry.h"
#include "models/ResultTableModel.h"
#include "reports/Report.h"
#include "reports/ReportLayout.h"
#include "widgets/Guard.h"
#include "widgets/ListGrid.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QGuiApplication>
#include <QVBoxLayout>

#include <limits>

namespace journal {

namespace {

// Operations shown at once, and read in each later step.
constexpr int FirstBatch = 200;
constexpr int NextBatch = 2000;

QDateEdit* dateEdit(QWidget* parent, const QDate& date) {
    auto* edit = new QDateEdit(date, parent);
    edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    edit->setCalendarPopup(true);
    return edit;
}

QTableView* grid(QWidget* parent, models::ResultTableModel* model) {
    auto* view = new QTableView(parent);
    view->setModel(model);
    widgets::SetupListGrid(view);
    return view;
}

}  // namespace

TOperacijuZurnals::TOperacijuZurnals(app::Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session), m_store(session.database()) {
    setWindowTitle(tr("Operāciju žurnāls"));
    auto* root = new QVBoxLayout(this);

    auto* filters = new QGridLayout;
    const QDate today = QDate::currentDate();
    m_dtNo = dateEdit(this, today.addMonths(-1).addDays(1));
    m_dtLidz = dateEdit(this, today);
    m_cbUser = new QComboBox(this);
    m_cbTable = new QComboBox(this);
    m_cbAction = new QComboBox(this);
    m_edNote = new QLineEdit(this);
    m_edNote->setMaxLength(100);
    m_edNote->setPlaceholderText(tr("teksts piezīmēs"));
    filters->addWidget(new QLabel(tr("Periods no"), this), 0, 0);
    filters->addWidget(m_dtNo, 0, 1);
    filters->addWidget(new QLabel(tr("līdz"), this), 0, 2);
    filters->addWidget(m_dtLidz, 0, 3);
    filters->addWidget(new QLabel(tr("Lietotājs"), this), 0, 4);
    filters->addWidget(m_cbUser, 0, 5);
    filters->addWidget(new QLabel(tr("Tabula"), this), 1, 0);
    filters->addWidget(m_cbTable, 1, 1, 1, 3);
    filters->addWidget(new QLabel(tr("Darbība"), this), 1, 4);
    filters->addWidget(m_cbAction, 1, 5);
    filters->addWidget(new QLabel(tr("Piezīmes"), this), 2, 0);
    filters->addWidget(m_edNote, 2, 1, 1, 5);
    filters->setColumnStretch(6, 1);
    auto* buttons = new QVBoxLayout;
    auto* btAtlasit = new QPushButton(tr("Atlasīt"), this);
    btAtlasit->setObjectName(QStringLiteral("btAtlasit"));
    btAtlasit->setDefault(true);
    auto* btCsv = new QPushButton(tr("Eksportēt CSV"), this);
    btCsv->setObjectName(QStringLiteral("btCsv"));
    auto* btAizvert = new QPushButton(tr("Aizvērt"), this);
    buttons->addWidget(btAtlasit);
    buttons->addWidget(btCsv);
    buttons->addWidget(btAizvert);
    auto* top = new QHBoxLayout;
    top->addLayout(filters, 1);
    top->addLayout(buttons);
    root->addLayout(top);

    m_cbUser->addItem(tr("Visi"), 0);
    m_cbTable->addItem(tr("Visas"), QString());
    for (const auto& [table, caption] : JournalStore::Tables()) m_cbTable->addItem(caption, table);
    m_cbAction->addItem(tr("Visas"), QString());
    for (const auto& [code, caption] : JournalStore::Actions()) m_cbAction->addItem(caption, code);
    widgets::Guard(this, [this] {
        for (const auto& [isn, name] : m_store.users()) m_cbUser->addItem(name, isn);
    });

    m_operationsModel = new models::ResultTableModel(this);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    m_operationsModel->setColumns({{QStringLiteral("IEVDAT"), tr("Datums"), QStringLiteral("dd.MM.yyyy"), {}},
                                   {QStringLiteral("IEVLAIKS"), tr("Laiks"), {}, {}},
                                   {QStringLiteral("LIETOTAJS"), tr("Lietotājs"), {}, {}},
                                   {QStringLiteral("DARBIBA"), tr("Darbība"), {}, {}},
                                   {QStringLiteral("TABULA"), tr("Tabula"), {}, {}},
                                   {QStringLiteral("ISN_BAZE"), tr("Ieraksts"), {}, {}, right},
                                   {QStringLiteral("NUMURS"), tr("Dok. numurs"), {}, {}},
                                   {QStringLiteral("DATUMS"), tr("Dok. datums"), QStringLiteral("dd.MM.yyyy"), {}},
                                   {QStringLiteral("LOGON_START"), tr("Pieslēgšanās"), QStringLiteral("dd.MM.yyyy HH:mm"), {}},
                                   {QStringLiteral("PIEZIMES"), tr("Piezīmes"), {}, {}}});
    m_logonsModel = new models::ResultTableModel(this);
    m_logonsModel->setColumns({{QStringLiteral("LIETOTAJS"), tr("Lietotājs"), {}, {}},
                               {QStringLiteral("START_TIME"), tr("Sākums"), QStringLiteral("dd.MM.yyyy HH:mm:ss"), {}},
                               {QStringLiteral("END_TIME"), tr("Beigas"), QStringLiteral("dd.MM.yyyy HH:mm:ss"), {}},
                               {QStringLiteral("BEIGAS"), tr("Darba beigas"), {}, {}}});
    m_pages = new QTabWidget(this);
    m_operations = grid(m_pages, m_operationsModel);
    m_logons = grid(m_pages, m_logonsModel);
    m_pages->addTab(m_operations, tr("Operācijas"));
    m_pages->addTab(m_logons, tr("Pieslēgšanās"));
    root->addWidget(m_pages, 1);

    connect(btAtlasit, &QPushButton::clicked, this, [this] { widgets::Guard(this, [this] { refresh(); }); });
    connect(btCsv, &QPushButton::clicked, this, &TOperacijuZurnals::chooseCsvFile);
    connect(btAizvert, &QPushButton::clicked, this, &QWidget::close);
    connect(m_edNote, &QLineEdit::returnPressed, btAtlasit, &QPushButton::click);
    connect(m_operations, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && !openDocument(index.row()))
            QMessageBox::information(this, windowTitle(), tr("Šim ierakstam nav loga, kurā to atvērt."));
    });
    resize(1100, 600);
    widgets::Guard(this, [this] { refresh(); });
}

JournalFilter TOperacijuZurnals::filter() const {
    JournalFilter f;
    f.from = m_dtNo->date();
    f.to = m_dtLidz->date();
    f.userIsn = m_cbUser->currentData().toInt();
    f.table = m_cbTable->currentData().toString();
    f.action = m_cbAction->currentData().toString();
    f.noteText = m_edNote->text();
    return f;
}

void TOperacijuZurnals::setFilter(const JournalFilter& f) {
    m_dtNo->setDate(f.from);
    m_dtLidz->setDate(f.to);
    m_cbUser->setCurrentIndex(std::max(0, m_cbUser->findData(f.userIsn)));
    m_cbTable->setCurrentIndex(std::max(0, m_cbTable->findData(f.table)));
    m_cbAction->setCurrentIndex(std::max(0, m_cbAction->findData(f.action)));
    m_edNote->setText(f.noteText);
}

void TOperacijuZurnals::refresh() {
    const JournalFilter f = filter();
    if (f.to < f.from) {
        QMessageBox::warning(this, windowTitle(), tr("Perioda beigas ir pirms tā sākuma !!!"));
        return;
    }
    // The first screenful shows at once; the rest of the period is read while the user looks.
    m_fetch = m_store.fetchOperations(f);
    m_operationsModel->setRows(m_fetch->next(FirstBatch));
    if (m_fetch->atEnd()) m_fetch.reset();
    else QTimer::singleShot(0, this, &TOperacijuZurnals::fetchMore);
    m_logonsModel->setRows(m_store.logons(f.from, f.to, f.userIsn));
    m_operations->resizeColumnsToContents();
    m_logons->resizeColumnsToContents();
}

void TOperacijuZurnals::fetchMore() {
    if (!m_fetch) return;
    const bool ok = widgets::Guard(this, [&] { m_operationsModel->appendRows(m_fetch->next(NextBatch)); });
    if (!ok || m_fetch->atEnd()) m_fetch.reset();
    else QTimer::singleShot(0, this, &TOperacijuZurnals::fetchMore);
}

void TOperacijuZurnals::completeList() {
    if (!m_fetch) return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    widgets::Guard(this, [&] { m_operationsModel->appendRows(m_fetch->next(std::numeric_limits<int>::max())); });
    QGuiApplication::restoreOverrideCursor();
    m_fetch.reset();
}

void TOperacijuZurnals::exportCsv(const QString& path) {
    reports::Report report(reports::ReportLayout::load(QStringLiteral("journal")));
    completeList();
    report.setRows(m_operationsModel->rows());
    report.exportCsv(path);
}

void TOperacijuZurnals::chooseCsvFile() {
    const QString path = QFileDialog::getSaveFileName(this, tr("Eksportēt CSV"), QStringLiteral("zurnals.csv"),
                                                      tr("CSV faili (*.csv)"));
    if (path.isEmpty()) return;
    if (widgets::Guard(this, [&] { exportCsv(path); }))
        QMessageBox::information(this, windowTitle(), tr("Žurnāls saglabāts failā %1").arg(path));
}

bool TOperacijuZurnals::openDocument(int row) {
    const db::ResultSet& rows = m_operationsModel->rows();
    if (row < 0 || row >= rows.rowCount()) return false;
    const QString table = rows.value(row, QStringLiteral("BAZE")).toString();
    const int key = rows.value(row, QStringLiteral("ISN_BAZE")).toInt();
    if (key <= 0) return false;
    app::Facades& f = m_session.facades();
    if (table == QLatin1String("N_KLIENTS") && f.patients.edit) {
        f.patients.edit(this, key, false);
        return true;
    }
    if (table == QLatin1String("O_KONSULT_PIET_HD") && f.calendar.openAppointment) {
        app::AppointmentTarget target;
        target.appointmentKey = key;
        f.calendar.openAppointment(this, target);
        return true;
    }
    if (table == QLatin1String("O_KONSULTACIJA_HD") && f.consultations.open) {
        f.consultations.open(this, app::ConsultationTarget{0, key, 2});
        return true;
    }
    if (table == QLatin1String("O_PAVOUT_HD") && f.billing.openInvoice) {
        f.billing.openInvoice(this, key);
        return true;
    }
    return false;
}

void RegisterWindows(app::WindowRegistry& registry) {
    registry.add(app::WindowId::OperationJournal,
                 [](app::Session& s, QWidget* mainWindow) -> QWidget* { return new TOperacijuZurnals(s, mainWindow); });
}

}  // namespace journal
