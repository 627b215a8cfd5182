#include "references/TKlasifikators.h"
#include "app/Rights.h"
#include "widgets/GridLayout.h"
#include "widgets/Guard.h"
#include "models/ResultTableModel.h"
#include "references/ReferenceCard.h"
#include "widgets/ListGrid.h"
#include "widgets/LiveRefresh.h"
#include "app/ChangeNotifier.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace references {

TKlasifikators::TKlasifikators(app::Session& session, const QString& table, QWidget* parent)
    : QDialog(parent),
      m_session(session), m_db(session.database()),
      m_model(new models::ResultTableModel(this)),
      m_grid(new QTableView(this)),
      m_edAtraMekl(new QLineEdit(this)) {
    const ReferenceTable* t = FindReferenceTable(table);
    if (!t) throw std::invalid_argument("no reference list for this table");
    m_store = std::make_unique<ReferenceListStore>(session.database(), *t);
    setWindowFlag(Qt::Window);
    // Rows saved here or on another workstation show up without the user asking.
    auto* live = new widgets::LiveRefresh(this, widgets::LiveRefresh::KeepingScroll(m_grid, [this] { refresh(); }));
    const QString watched = t->table;
    auto follow = [live, watched](const QString& changed) {
        if (changed == watched) live->request();
    };
    connect(&m_session.notifier(), &app::ChangeNotifier::tableChanged, live,
            [follow](const QString& table, const QList<int>&) { follow(table); });
    setObjectName(QStringLiteral("TKlasifikators_") + t->table);
    setWindowTitle(t->caption);
    resize(520, 560);

    auto* toolbar = new QHBoxLayout;
    auto button = [&](const QString& text, const char* name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        toolbar->addWidget(b);
        return b;
    };
    m_btJauns = button(tr("Jauns"), "btJauns");
    m_btKopet = button(tr("Kopēt"), "btKopet");
    m_btKopet->setToolTip(tr("Kopēt esošos datus jaunam ierakstam (ne visiem sarakstiem)"));
    m_btLabot = button(tr("Labot"), "btLabot");
    m_btDzest = button(tr("Dzēst"), "btDzest");
    toolbar->addStretch(1);
    QPushButton* close = button(tr("Aizvērt"), "btAizvert");

    m_model->setColumns(t->columns);
    m_grid->setObjectName(QStringLiteral("grd") + t->table);
    m_grid->setModel(m_model);
    widgets::SetupListGrid(m_grid);
    m_edAtraMekl->setObjectName(QStringLiteral("edAtraMekl"));
    widgets::InstallPickKeys(m_grid, m_edAtraMekl, [this] { choose(); });

    auto* search = new QHBoxLayout;
    search->addWidget(new QLabel(tr("Ātrā meklēšana"), this));
    search->addWidget(m_edAtraMekl, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(toolbar);
    layout->addWidget(m_grid, 1);
    layout->addLayout(search);

    connect(m_btJauns, &QPushButton::clicked, this, &TKlasifikators::onNew);
    connect(m_btKopet, &QPushButton::clicked, this, &TKlasifikators::onCopy);
    connect(m_btLabot, &QPushButton::clicked, this, &TKlasifikators::onEdit);
    connect(m_btDzest, &QPushButton::clicked, this, &TKlasifikators::onDelete);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_grid, &QTableView::doubleClicked, this, &TKlasifikators::choose);
    connect(m_edAtraMekl, &QLineEdit::textEdited, this, [this](const QString& text) {
        const int row = m_store->quickSearchRow(m_model->rows(), text);
        if (row >= 0) m_grid->selectRow(row);
    });
    applyRights();
    refresh();
    widgets::LoadGridLayout(m_grid);
}

TKlasifikators::~TKlasifikators() {
    widgets::SaveGridLayout(m_grid);
}

QString TKlasifikators::table() const {
    return m_store->table().table;
}

void TKlasifikators::applyRights() {
    const QString code = m_store->table().rightsCode;
    const bool hasCard = m_store->table().card != CardKind::None;
    m_btJauns->setEnabled(hasCard && m_session.hasRight(code, app::Add));
    m_btKopet->setEnabled(hasCard && m_session.hasRight(code, app::Add));
    m_btLabot->setEnabled(hasCard && m_session.hasRight(code, app::Change));
    m_btDzest->setEnabled(hasCard && m_session.hasRight(code, app::Delete));
}

void TKlasifikators::showEvent(QShowEvent* event) {
    // Rights are asked again whenever the window comes up.
    applyRights();
    QDialog::showEvent(event);
}

void TKlasifikators::refresh(int key) {
    const int keep = key > 0 ? key : currentKey();
    m_model->setRows(m_store->fetch());
    int row = keep > 0 ? m_model->findRow(keep) : -1;
    if (row < 0 && m_model->rowCount() > 0) row = 0;
    if (row >= 0) m_grid->selectRow(row);
}

int TKlasifikators::currentKey() const {
    const QModelIndex index = m_grid->currentIndex();
    if (!index.isValid()) return 0;
    return m_model->fieldValue(index.row(), QStringLiteral("ISN")).toInt();
}

void TKlasifikators::choose() {
    const int key = currentKey();
    if (key <= 0) return;
    m_selectedKey = key;
    accept();
}

void TKlasifikators::openCard(int key, int sourceKey) {
    const int saved = EditReferenceRow(m_session, table(), key, sourceKey, this);
    refresh(saved > 0 ? saved : key);
}

void TKlasifikators::onNew() {
    openCard(0, 0);
}

void TKlasifikators::onCopy() {
    openCard(0, currentKey());
}

void TKlasifikators::onEdit() {
    const int key = currentKey();
    if (key <= 0) return;
    const QString refusal = m_store->editRefusal(key);
    if (!refusal.isEmpty()) {
        QMessageBox::warning(this, QString(), refusal);
        return;
    }
    openCard(key, 0);
}

void TKlasifikators::onDelete() {
    const int key = currentKey();
    const QString refusal = m_store->deleteRefusal(m_model->rowCount() == 0, key);
    if (!refusal.isEmpty()) {
        QMessageBox::warning(this, QString(), refusal);
        return;
    }
    const QString name = m_store->rowName(m_model->rows(), m_grid->currentIndex().row());
    if (QMessageBox::question(this, QString(), m_store->deleteQuestion(name),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    const app::DeleteOutcome outcome = m_store->remove(key, name, m_session.UserIsn());
    if (!outcome.deleted) widgets::ShowRefusal(this, outcome.message, outcome.details);
    refresh();
}


int TKlasifikators::pick(app::Session& session, const QString& table, int key, QWidget* parent) {
    TKlasifikators list(session, table, parent);
    list.refresh(key);
    return list.exec() == QDialog::Accepted ? list.selectedKey() : 0;
}

void RegisterWindows(app::WindowRegistry& registry, app::Session& session) {
    const std::pair<app::WindowId, const char*> lists[] = {
        {app::WindowId::PatientGroups, "N_KLGRUPA"}, {app::WindowId::Specialists, "N_AGENTS"},
        {app::WindowId::Rooms, "N_KABINETI"},        {app::WindowId::Districts, "N_RAJONS"},
        {app::WindowId::NameDays, "N_SVETKI"},       {app::WindowId::ConsultationTypes, "N_VEIDI"},
        {app::WindowId::Banks, "N_BANKA"},           {app::WindowId::UserGroups, "N_USERGROUP"},
    };
    for (const auto& [id, table] : lists) {
        const QString name = QString::fromLatin1(table);
        registry.add(id, [name](app::Session& s, QWidget* main) -> QWidget* { return new TKlasifikators(s, name, main); });
    }
    session.facades().references.pick = [&session](QWidget* parent, const QString& table, int key) {
        return TKlasifikators::pick(session, table, key, parent);
    };
}

}  // namespace references
