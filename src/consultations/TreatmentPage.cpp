#include "consultations/TreatmentPage.h"

#include "app/ChangeNotifier.h"
#include "app/Rights.h"
#include "consultations/PlanPrintout.h"
#include "consultations/TAddPlansArstesana.h"
#include "db/DbError.h"
#include "models/ResultTableModel.h"
#include "reports/ReportPreview.h"
#include "widgets/Guard.h"
#include "widgets/ListGrid.h"
#include "widgets/LiveRefresh.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaMethod>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace consultations {

namespace {

// The rights code of the consultation register, whose lines these are.
const QString RightsCode = QStringLiteral("11");
// Lines that went further: 0x8000 as the clinic's colours are stored (0x00BBGGRR).
const QColor Green(0x00, 0x80, 0x00);

}  // namespace

// The grid's model: the list's rows, green where the line went further.
class LineTableModel : public models::ResultTableModel {
public:
    using models::ResultTableModel::ResultTableModel;
    void setCarriedOn(QSet<int> keys) { m_carried = std::move(keys); }
    bool isCarriedOn(int row) const { return m_carried.contains(fieldValue(row, QStringLiteral("ISN")).toInt()); }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::ForegroundRole && index.isValid() && isCarriedOn(index.row())) return Green;
        return models::ResultTableModel::data(index, role);
    }

private:
    QSet<int> m_carried;
};

TreatmentPage::TreatmentPage(app::Session& session, LineKind kind, QWidget* parent)
    : QWidget(parent), m_session(session), m_kind(kind), m_store(session.database()) {
    setObjectName(kind == LineKind::Plan ? QStringLiteral("TreatmentPagePlan") : QStringLiteral("TreatmentPageArstesana"));
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
    QPushButton* btDzest = addButton(tr("Dzēst"), "btDzest");
    if (kind == LineKind::Plan) {
        QPushButton* btUz = addButton(tr("Uz ārstēšanu"), "btUzArstesanu");
        QPushButton* btDrukat = addButton(tr("Drukāt"), "btDrukat");
        connect(btUz, &QPushButton::clicked, this, &TreatmentPage::moveToTreatment);
        connect(btDrukat, &QPushButton::clicked, this, &TreatmentPage::print);
    } else {
        QPushButton* btRekins = addButton(tr("Sagatavot rēķinu"), "btSagatavotRekinu");
        connect(btRekins, &QPushButton::clicked, this, [this] {
            if (m_consultation > 0) Q_EMIT invoiceRequested(m_consultation);
        });
    }
    toolbar->addStretch(1);

    m_model = new LineTableModel(this);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    QVector<models::GridColumn> columns{{QStringLiteral("ZOBA_NR"), tr("Zoba nr"), {}, {}, right},
                                        {QStringLiteral("PRECE"), tr("Manipulācija"), {}, {}},
                                        {QStringLiteral("CENA"), tr("Cena"), QStringLiteral("0.00"), {}, right}};
    if (kind == LineKind::Plan)
        columns.append({QStringLiteral("MAX_CENA"), tr("Max cena"), QStringLiteral("0.00"), {}, right});
    columns.append({QStringLiteral("LAIKS"), tr("Laiks"), {}, {}});
    columns.append({QStringLiteral("DAUDZUMS"), tr("Daudzums"), {}, {}, right});
    m_model->setColumns(columns);
    m_grid = new QTableView(this);
    m_grid->setObjectName(kind == LineKind::Plan ? QStringLiteral("grdPlans") : QStringLiteral("grdArstesana"));
    m_grid->setModel(m_model);
    widgets::SetupListGrid(m_grid);
    // Several plan lines go to treatment at once.
    if (kind == LineKind::Plan) m_grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_grid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);

    auto totalField = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        e->setAlignment(Qt::AlignRight);
        e->setMaximumWidth(110);
        return e;
    };
    m_edSumma = totalField("edKopaSumma");
    m_edLaiks = totalField("edLaiks");
    auto* totals = new QHBoxLayout;
    totals->addStretch(1);
    totals->addWidget(new QLabel(tr("Kopā summa :"), this));
    totals->addWidget(m_edSumma);
    totals->addSpacing(12);
    totals->addWidget(new QLabel(tr("Laiks :"), this));
    totals->addWidget(m_edLaiks);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(toolbar);
    layout->addWidget(m_grid, 1);
    layout->addLayout(totals);

    connect(btJauns, &QPushButton::clicked, this, &TreatmentPage::newLine);
    connect(btLabot, &QPushButton::clicked, this, &TreatmentPage::editLine);
    connect(btDzest, &QPushButton::clicked, this, &TreatmentPage::deleteLine);
    connect(m_grid, &QTableView::doubleClicked, this, &TreatmentPage::editLine);

    // Lines written here or on another workstation, invoices made from them, renamed manipulations.
    auto* live = new widgets::LiveRefresh(this, widgets::LiveRefresh::KeepingScroll(m_grid, [this] { reload(); }));
    app::ChangeNotifier& notifier = m_session.notifier();
    connect(&notifier, &app::ChangeNotifier::treatmentsChanged, live, &widgets::LiveRefresh::request);
    connect(&notifier, &app::ChangeNotifier::priceListChanged, live, &widgets::LiveRefresh::request);
    connect(&notifier, &app::ChangeNotifier::tableChanged, live, [live](const QString& table) {
        if (table == QLatin1String("O_PAVOUT_DT")) live->request();
    });
    applyRights();
    reload();
}

TreatmentPage::~TreatmentPage() = default;

models::ResultTableModel* TreatmentPage::model() const { return m_model; }

QPushButton* TreatmentPage::button(const QString& name) const { return findChild<QPushButton*>(name); }

QString TreatmentPage::noun() const { return m_kind == LineKind::Plan ? tr("plāna") : tr("ārstēšanas"); }

void TreatmentPage::applyRights() {
    const bool any = m_consultation > 0;
    button(QStringLiteral("btJauns"))->setEnabled(m_session.hasRight(RightsCode, app::Add));
    button(QStringLiteral("btLabot"))->setEnabled(m_session.hasRight(RightsCode, app::Change));
    button(QStringLiteral("btDzest"))->setEnabled(m_session.hasRight(RightsCode, app::Delete));
    if (QPushButton* b = button(QStringLiteral("btUzArstesanu"))) b->setEnabled(m_session.hasRight(RightsCode, app::Add));
    if (QPushButton* b = button(QStringLiteral("btDrukat"))) b->setEnabled(any);
    // Invoices are made by the billing part of the program, when it is there to connect.
    if (QPushButton* b = button(QStringLiteral("btSagatavotRekinu")))
        b->setEnabled(any && isSignalConnected(QMetaMethod::fromSignal(&TreatmentPage::invoiceRequested)));
}

void TreatmentPage::message(const QString& text) { QMessageBox::warning(this, window()->windowTitle(), text); }

void TreatmentPage::setConsultation(int key) {
    if (key == m_consultation) return;
    m_consultation = key;
    reload();
}

void TreatmentPage::reload(int key) {
    const int keep = key > 0 ? key : currentKey();
    // The lines selected for moving stay selected over a re-read.
    QList<int> selected;
    if (key <= 0)
        for (const QModelIndex& index : m_grid->selectionModel()->selectedRows())
            selected.append(m_model->fieldValue(index.row(), QStringLiteral("ISN")).toInt());
    LineList list;
    if (m_consultation > 0 && !widgets::Guard(this, [&] { list = m_store.lines(m_kind, m_consultation); })) return;
    m_list = list;
    m_model->setCarriedOn(m_list.carriedOn);
    m_model->setRows(m_list.rows);
    const int row = keep > 0 ? m_model->findRow(keep) : -1;
    if (row >= 0) m_grid->selectRow(row);
    else if (m_model->rowCount() > 0) m_grid->selectRow(0);
    if (selected.size() > 1) {
        selected.removeAll(keep);
        for (const int other : std::as_const(selected))
            if (const int r = m_model->findRow(other); r >= 0)
                m_grid->selectionModel()->select(m_model->index(r, 0),
                                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    m_edSumma->setText(m_list.totals.amountText());
    m_edLaiks->setText(m_list.totals.timeText());
    applyRights();
}

bool TreatmentPage::isCarriedOn(int row) const { return m_model->isCarriedOn(row); }

int TreatmentPage::currentKey() const {
    const QModelIndex index = m_grid->currentIndex();
    return index.isValid() ? m_model->fieldValue(index.row(), QStringLiteral("ISN")).toInt() : 0;
}

void TreatmentPage::selectKeys(const QList<int>& keys) {
    m_grid->clearSelection();
    for (const int key : keys) {
        const int row = m_model->findRow(key);
        if (row < 0) continue;
        m_grid->selectionModel()->select(m_model->index(row, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
        m_grid->selectionModel()->setCurrentIndex(m_model->index(row, 0), QItemSelectionModel::NoUpdate);
    }
}

bool TreatmentPage::write(const std::function<void()>& change) {
    try {
        change();
        return true;
    } catch (const db::StaleRowError& e) {
        message(e.message());
        widgets::Guard(this, [this] { reload(); });
    } catch (const std::exception& e) {
        message(widgets::SystemErrorText(e));
    }
    return false;
}

void TreatmentPage::newLine() {
    if (m_consultation <= 0) return message(tr("Sākumā jāizveido konsultācijas galva !!!"));
    if (!m_session.hasRight(RightsCode, app::Add)) return;
    TAddPlansArstesana dialog(m_store, m_kind, false, this);
    dialog.setPicker(m_session.facades().priceList.pick);
    if (dialog.exec() != QDialog::Accepted) return;
    TreatmentLine line = dialog.line();
    line.consultation = m_consultation;
    int key = 0;
    if (!write([&] { key = m_store.add(m_kind, line, m_session.UserIsn()); })) return;
    reload(key);
}

void TreatmentPage::editLine() {
    if (m_model->rowCount() == 0 || currentKey() <= 0) return message(tr("Nav datu, ko labot !!!"));
    if (!m_session.hasRight(RightsCode, app::Change)) return;
    std::optional<TreatmentLine> line;
    if (!widgets::Guard(this, [&] { line = m_store.load(m_kind, currentKey()); })) return;
    if (!line) return reload();
    TAddPlansArstesana dialog(m_store, m_kind, true, this);
    dialog.setPicker(m_session.facades().priceList.pick);
    dialog.setLine(*line);
    if (dialog.exec() != QDialog::Accepted) return;
    if (!write([&] { m_store.update(m_kind, dialog.line(), m_session.UserIsn()); })) return;
    reload(line->isn);
}

void TreatmentPage::deleteLine() {
    if (!m_session.hasRight(RightsCode, app::Delete)) return;
    const QString question = m_kind == LineKind::Plan ? tr("Vai tiešām vēlaties izdzēst manipulāciju no plāna ?")
                                                      : tr("Vai tiešām vēlaties izdzēst manipulāciju no ārstēšanas ?");
    if (QMessageBox::question(this, window()->windowTitle(), question, QMessageBox::Yes | QMessageBox::No) !=
        QMessageBox::Yes)
        return;
    const int key = currentKey();
    if (m_model->rowCount() == 0 || key <= 0) return;
    if (!write([&] { m_store.remove(m_kind, key, m_session.UserIsn()); })) return;
    reload();
}

void TreatmentPage::moveToTreatment() {
    if (m_kind != LineKind::Plan) return;
    if (m_consultation <= 0) return message(tr("Sākumā jāizveido konsultācijas galva !!!"));
    QList<int> keys;
    for (const QModelIndex& index : m_grid->selectionModel()->selectedRows())
        keys.append(m_model->fieldValue(index.row(), QStringLiteral("ISN")).toInt());
    if (keys.isEmpty()) return message(tr("Nav iezīmēti plāna ieraksti, ko pārvietot uz ārstēšanu !!!"));
    MoveResult result;
    if (!write([&] { result = m_store.moveToTreatment(m_consultation, keys, m_session.UserIsn()); })) return;
    reload();
    QMessageBox::information(this, window()->windowTitle(), result.message());
}

void TreatmentPage::print() {
    if (m_kind != LineKind::Plan) return;
    if (m_consultation <= 0) return message(tr("Sākumā jāizveido konsultācijas galva !!!"));
    widgets::Guard(this, [&] {
        const PlanPrintout plan = PlanPrintout::Read(m_session.database(), m_consultation);
        reports::showReportPreview(plan.report(), this);
    });
}

}  // namespace consultations
