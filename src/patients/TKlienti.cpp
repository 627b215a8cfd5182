#include "patients/TKlienti.h"
#include "app/Rights.h"
#include "app/Settings.h"
#include "widgets/GridLayout.h"
#include "widgets/Guard.h"
#include "models/ResultTableModel.h"
#include "patients/Tn_klientEdit.h"
#include "widgets/ListGrid.h"
#include "widgets/LiveRefresh.h"
#include "app/ChangeNotifier.h"
#include "widgets/SearchDialog.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace patients {

namespace {
const QString Section = QStringLiteral("Klienti");
// The first batch fills a screen at once; later batches are read between user events.
constexpr int FirstBatch = 200;
constexpr int NextBatch = 2000;
}  // namespace

TKlienti::TKlienti(app::Session& session, QWidget* parent)
    : QDialog(parent),
      m_session(session), m_db(session.database()),
      m_store(session.database()),
      m_model(new models::ResultTableModel(this)),
      m_tabs(new QTabBar(this)),
      m_grid(new QTableView(this)),
      m_edAtraMekl(new QLineEdit(this)) {
    setWindowFlag(Qt::Window);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { m_surnames.reset(); });
    connect(m_model, &QAbstractItemModel::layoutChanged, this, [this] { m_surnames.reset(); });
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] { m_surnames.reset(); });
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, [this] { m_surnames.reset(); });
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] { m_surnames.reset(); });
    // Patients saved here or on another workstation show up without the user asking.
    auto* live = new widgets::LiveRefresh(this, widgets::LiveRefresh::KeepingScroll(m_grid, [this] { refresh(); }));
    connect(&m_session.notifier(), &app::ChangeNotifier::patientsChanged, live, &widgets::LiveRefresh::request);
    setObjectName(QStringLiteral("TKlienti"));
    setWindowTitle(tr("Pacientu/Klientu saraksts"));
    resize(820, 640);

    auto* toolbar = new QHBoxLayout;
    auto addButton = [&](const QString& text, const char* name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        toolbar->addWidget(b);
        return b;
    };
    QPushButton* btJauns = addButton(tr("Jauns"), "btJauns");
    QPushButton* btKopet = addButton(tr("Kopēt"), "btKopet");
    QPushButton* btLabot = addButton(tr("Labot"), "btLabot");
    QPushButton* btDzest = addButton(tr("Dzēst"), "btDzest");
    QPushButton* btMeklet = addButton(tr("Meklēt"), "btMeklet");
    m_btTurpinat = addButton(tr("Turpināt"), "btTurpinat");
    QPushButton* btVesture = addButton(tr("Vēsture"), "btVesture");
    QPushButton* btKonsult = addButton(tr("Konsultācijas"), "btKonsultacijas");
    toolbar->addStretch(1);
    QPushButton* btAizvert = addButton(tr("Aizvērt"), "btAizvert");
    m_btTurpinat->setEnabled(false);

    m_tabs->setObjectName(QStringLiteral("tabBurti"));
    // Every letter in sight, without scroll arrows: narrow tabs that share the width.
    m_tabs->setExpanding(true);
    m_tabs->setUsesScrollButtons(false);
    m_tabs->setElideMode(Qt::ElideNone);
    m_tabs->setStyleSheet(QStringLiteral(
        "QTabBar::tab { padding: 2px 5px; min-width: 12px; border: 1px solid palette(mid); border-bottom: none; "
        "border-top-left-radius: 3px; border-top-right-radius: 3px; margin-right: 1px; background: palette(button); }"
        "QTabBar::tab:selected { background: palette(base); font-weight: bold; }"));
    for (const QString& l : PatientListStore::LetterTabs()) m_tabs->addTab(l);
    m_tabs->setCurrentIndex(
        qBound(0, app::Settings::integer(Section, QStringLiteral("Burts"), 0), m_tabs->count() - 1));
    m_order = PatientListStore::CheckedOrder(
        app::Settings::string(Section, QStringLiteral("Kartiba"), PatientListStore::DefaultOrder()));

    m_model->setColumns(
        {{QStringLiteral("UZVARDS"), tr("Uzvārds"), {}, {}},
         {QStringLiteral("VARDS"), tr("Vārds"), {}, {}},
         {QStringLiteral("DZIM_DAT"), tr("Dzimšanas datums"), QStringLiteral("dd.MM.yyyy"), {}},
         {QStringLiteral("TELEFONS"), tr("Telefons"), {}, {}},
         {QStringLiteral("MOB_TEL"), tr("Mob. telefons"), {}, {}}});
    m_grid->setObjectName(QStringLiteral("grdKlienti"));
    m_grid->setModel(m_model);
    widgets::SetupListGrid(m_grid);
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_edAtraMekl->setObjectName(QStringLiteral("edAtraMekl"));
    widgets::InstallPickKeys(m_grid, m_edAtraMekl, [this] { choose(); });

    auto* quick = new QHBoxLayout;
    quick->addWidget(new QLabel(tr("Ātrā meklēšana"), this));
    quick->addWidget(m_edAtraMekl, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(toolbar);
    layout->addWidget(m_tabs);
    layout->addWidget(m_grid, 1);
    layout->addLayout(quick);

    connect(btJauns, &QPushButton::clicked, this, &TKlienti::onNew);
    connect(btKopet, &QPushButton::clicked, this, &TKlienti::onCopy);
    connect(btLabot, &QPushButton::clicked, this, &TKlienti::onEdit);
    connect(btDzest, &QPushButton::clicked, this, &TKlienti::onDelete);
    connect(btVesture, &QPushButton::clicked, this, &TKlienti::onHistory);
    connect(btMeklet, &QPushButton::clicked, this, [this] {
        QString text;
        if (widgets::SearchDialog::ask(this, text)) search(text);
    });
    connect(m_btTurpinat, &QPushButton::clicked, this, &TKlienti::continueSearch);
    connect(btKonsult, &QPushButton::clicked, this, [this] {
        if (currentKey() > 0 && m_session.facades().consultations.open)
            m_session.facades().consultations.open(this, {currentKey(), 0, 0});
    });
    connect(btAizvert, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        app::Settings::setInteger(Section, QStringLiteral("Burts"), index);
        refresh();
    });
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &TKlienti::sortByColumn);
    connect(m_grid, &QTableView::doubleClicked, this, &TKlienti::choose);
    connect(m_edAtraMekl, &QLineEdit::textEdited, this, &TKlienti::quickSearch);

    applyRights();
    refresh();
    widgets::LoadGridLayout(m_grid);
}

TKlienti::~TKlienti() {
    widgets::SaveGridLayout(m_grid);
}

QPushButton* TKlienti::button(const QString& name) const {
    return findChild<QPushButton*>(name);
}

void TKlienti::applyRights() {
    const QString code = QStringLiteral("00");
    button(QStringLiteral("btJauns"))->setEnabled(m_session.hasRight(code, app::Add));
    button(QStringLiteral("btKopet"))->setEnabled(m_session.hasRight(code, app::Add));
    button(QStringLiteral("btLabot"))->setEnabled(m_session.hasRight(code, app::Change));
    button(QStringLiteral("btDzest"))->setEnabled(m_session.hasRight(code, app::Delete));
    button(QStringLiteral("btKonsultacijas"))->setEnabled(bool(m_session.facades().consultations.open));
}

void TKlienti::showEvent(QShowEvent* event) {
    applyRights();
    QDialog::showEvent(event);
}

QString TKlienti::letter() const {
    return m_tabs->tabText(m_tabs->currentIndex());
}

void TKlienti::setLetter(const QString& letter) {
    const int index = PatientListStore::LetterTabs().indexOf(letter);
    if (index >= 0 && index != m_tabs->currentIndex()) m_tabs->setCurrentIndex(index);
}

void TKlienti::sortByColumn(int column) {
    const QString order = PatientListStore::OrderForColumn(column, m_order);
    if (order == m_order) return;
    m_order = order;
    app::Settings::setString(Section, QStringLiteral("Kartiba"), m_order);
    refresh();
}

void TKlienti::refresh(int key) {
    const int keep = key > 0 ? key : currentKey();
    m_fetch.reset();
    try {
        m_fetch = std::make_unique<PatientListFetch>(m_db, PatientListStore::ListSql(letter(), m_order));
        m_model->setRows(m_fetch->next(FirstBatch));
        if (m_fetch->atEnd()) m_fetch.reset();
    } catch (const db::DbError& e) {
        m_fetch.reset();
        showMessage(tr("Sistēmas kļūda: ") + e.message());
        return;
    }
    if (m_fetch) QTimer::singleShot(0, this, &TKlienti::fetchMore);
    if (!setCurrentKey(keep) && m_model->rowCount() > 0) m_grid->selectRow(0);
}

void TKlienti::fetchMore() {
    if (!m_fetch) return;
    try {
        m_model->appendRows(m_fetch->next(NextBatch));
        if (m_fetch->atEnd()) {
            m_fetch.reset();
            return;
        }
    } catch (const db::DbError& e) {
        m_fetch.reset();
        showMessage(tr("Sistēmas kļūda: ") + e.message());
        return;
    }
    QTimer::singleShot(0, this, &TKlienti::fetchMore);
}

void TKlienti::completeList() {
    if (!m_fetch) return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        while (m_fetch && !m_fetch->atEnd()) m_model->appendRows(m_fetch->next(1 << 20));
    } catch (const db::DbError& e) {
        QGuiApplication::restoreOverrideCursor();
        m_fetch.reset();
        showMessage(tr("Sistēmas kļūda: ") + e.message());
        return;
    }
    m_fetch.reset();
    QGuiApplication::restoreOverrideCursor();
}

int TKlienti::currentKey() const {
    const QModelIndex index = m_grid->currentIndex();
    return index.isValid() ? m_model->fieldValue(index.row(), QStringLiteral("ISN")).toInt() : 0;
}

bool TKlienti::setCurrentKey(int key) {
    if (key <= 0) return false;
    int row = m_model->findRow(key);
    if (row < 0 && m_fetch) {
        completeList();
        row = m_model->findRow(key);
    }
    if (row < 0) return false;
    m_grid->selectRow(row);
    m_grid->scrollTo(m_model->index(row, 0));
    return true;
}

void TKlienti::setSelectedKey(int key) {
    m_selectedKey = 0;
    setCurrentKey(key);
}

void TKlienti::choose() {
    const int key = currentKey();
    if (key <= 0) return;
    m_selectedKey = key;
    accept();
}

void TKlienti::showMessage(const QString& text) {
    QMessageBox::warning(this, QString(), text);
}

void TKlienti::search(const QString& text) {
    completeList();
    const SearchStep step = m_store.search(m_model->rows(), text, m_search);
    m_btTurpinat->setEnabled(step.row >= 0 || !m_search.keys.isEmpty());
    if (step.row >= 0) {
        m_grid->selectRow(step.row);
        m_grid->setFocus();
    } else if (!step.message.isEmpty()) {
        showMessage(step.message);
    }
}

void TKlienti::continueSearch() {
    completeList();
    const SearchStep step = PatientListStore::continueSearch(m_model->rows(), m_search);
    if (step.row >= 0) {
        m_grid->selectRow(step.row);
        m_grid->setFocus();
    } else if (!step.message.isEmpty()) {
        showMessage(step.message);
    }
}

void TKlienti::quickSearch(const QString& typed) {
    const QString upper = typed.toUpper();
    if (upper != typed) {
        const int cursor = m_edAtraMekl->cursorPosition();
        m_edAtraMekl->setText(upper);
        m_edAtraMekl->setCursorPosition(cursor);
    }
    if (upper.trimmed().isEmpty()) return;
    if (letter() != QLatin1String("*")) setLetter(PatientListStore::TabForText(upper));
    completeList();
    if (!m_surnames) m_surnames.emplace(m_model->rows(), QStringLiteral("UZVARDS"));
    int row = m_surnames->first(upper.trimmed());
    // No surname begins with the text: the best match of both names in either order, the
    // beginning of a first name or personal code, or a phone number, when it is in the list.
    if (row < 0 && m_session.facades().patients.find)
        if (const int key = m_session.facades().patients.find(typed)) row = m_model->findRow(key);
    if (row >= 0) {
        m_grid->selectRow(row);
        m_grid->scrollTo(m_model->index(row, 0));
    }
}

void TKlienti::openCard(int key, bool historyPage) {
    Tn_klientEdit card(m_session, this);
    card.start(key, historyPage);
    card.exec();
    const int saved = card.savedKey();
    if (saved > 0) {
        // A new patient under another letter is shown on its own tab.
        const QString tab = PatientListStore::TabForText(
            m_db.scalar(QStringLiteral("SELECT UZVARDS FROM N_KLIENTS WHERE ISN=:ISN"),
                        {{QStringLiteral("ISN"), saved}})
                .toString());
        if (letter() != QLatin1String("*") && tab != letter()) {
            const QSignalBlocker block(m_tabs);
            m_tabs->setCurrentIndex(PatientListStore::LetterTabs().indexOf(tab));
            app::Settings::setInteger(Section, QStringLiteral("Burts"), m_tabs->currentIndex());
        }
        refresh(saved);
    }
}

void TKlienti::onNew() {
    openCard(0, false);
}

void TKlienti::onCopy() {
    const int key = currentKey();
    if (key > 0) openCard(-key, false);
}

void TKlienti::onEdit() {
    const int key = currentKey();
    if (key <= 0) return;
    const QString refusal = PatientListStore::editRefusal(key);
    if (!refusal.isEmpty()) return showMessage(refusal);
    openCard(key, false);
}

void TKlienti::onHistory() {
    const int key = currentKey();
    if (key <= 0) return;
    const QString refusal = PatientListStore::editRefusal(key);
    if (!refusal.isEmpty()) return showMessage(refusal);
    openCard(key, true);
}

void TKlienti::onDelete() {
    const int key = currentKey();
    const QString refusal = PatientListStore::deleteRefusal(m_model->rowCount() == 0, key);
    if (!refusal.isEmpty()) return showMessage(refusal);
    const int row = m_grid->currentIndex().row();
    const QString surname = m_model->fieldValue(row, QStringLiteral("UZVARDS")).toString();
    const QString name = m_model->fieldValue(row, QStringLiteral("VARDS")).toString();
    if (QMessageBox::question(this, QString(), PatientListStore::deleteQuestion(surname, name),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    const app::DeleteOutcome outcome = m_store.remove(key, surname + QLatin1Char(' ') + name, m_session.UserIsn());
    if (!outcome.deleted) widgets::ShowRefusal(this, outcome.message, outcome.details);
    refresh();
}


}  // namespace patients
