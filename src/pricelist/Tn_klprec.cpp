#include "pricelist/Tn_klprec.h"

#include "app/ChangeNotifier.h"
#include "widgets/LiveRefresh.h"

#include "app/Rights.h"
#include "app/Settings.h"
#include "widgets/GridLayout.h"
#include "widgets/Guard.h"
#include "widgets/CardClose.h"
#include "widgets/FocusHighlight.h"
#include "widgets/Contrast.h"
#include "widgets/ListGrid.h"
#include "app/WindowRegistry.h"
#include "models/ResultTableModel.h"
#include "pricelist/TFindN_KLPREC.h"
#include "pricelist/TTreeN_PRGRUP.h"
#include "pricelist/Tn_klprecDati.h"
#include "pricelist/Tn_klprecFiltrs.h"
#include "pricelist/Tn_prgrup.h"

#include <QApplication>
#include <QAction>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pricelist {

namespace {

const QString Section = QStringLiteral("PrecesKlasif");
const QString DeleteCaption = QStringLiteral("DZĒŠANAS PAZIŅOJUMS");

// Colours of the list: the item's own colour as its text colour (or, for a colour too pale to
// read as text, as the row's background under black or white text), else red for an item
// without a price (none at all, or 0).
class ItemColours : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    models::ResultTableModel* rows = nullptr;
    QColor base = Qt::white;
    QVariant data(const QModelIndex& index, int role) const override {
        if ((role == Qt::ForegroundRole || role == Qt::BackgroundRole) && rows) {
            const int color = rows->fieldValue(index.row(), QStringLiteral("COLOR")).toInt();
            if (color != 0) {
                const widgets::RowColors c = widgets::ReadableRowColors(Tn_klprecDati::toQColor(color), base);
                if (role == Qt::ForegroundRole) return QBrush(c.text);
                return c.background.isValid() ? QVariant(QBrush(c.background)) : QVariant();
            }
            if (role == Qt::BackgroundRole) return {};
            const QVariant price = rows->fieldValue(index.row(), QStringLiteral("PARDCENA1"));
            if (!price.isValid() || price.isNull() || price.toDouble() == 0) return QBrush(Qt::red);
        }
        return QIdentityProxyModel::data(index, role);
    }
};

// The group tree. Qt's own drag handling refuses a drop of a group onto itself or into its own
// branch before any drop arrives, so the user would see nothing; here every drop of one of the
// tree's own groups on a group is let through to the window, which says why it refuses.
class GroupTree : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;

protected:
    void dragMoveEvent(QDragMoveEvent* event) override {
        QTreeWidget::dragMoveEvent(event);
        if (event->source() == this && itemAt(event->position().toPoint())) {
            event->setDropAction(Qt::MoveAction);
            event->accept();
        }
    }
};

}  // namespace

Tn_klprec::Tn_klprec(app::Session& session, QWidget* parent, bool selectionMode)
    : QDialog(parent), m_session(session), m_store(session.database()), m_selectionMode(selectionMode) {
    setWindowTitle(tr("Manipulāciju grupas ar precēm"));
    setWindowFlag(Qt::Window);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    buildUi();
    buildActions();
    widgets::HighlightFocusedInputs(this, [&session] { return session.HighlightColor(); });
    restoreSettings();
    refreshRights();
    reloadTree();
    // Items and groups changed here or on another workstation show up without the user asking;
    // not while a group is being renamed or the card holds an unsaved new item or the focus.
    auto* live = new widgets::LiveRefresh(
        this, [this] { reloadTree(); },
        [this] {
            QWidget* focus = QApplication::focusWidget();
            const bool renaming = qobject_cast<QLineEdit*>(focus) && m_tvGroups->isAncestorOf(focus);
            return renaming || m_card->isNew() || m_card->isAncestorOf(focus);
        });
    connect(&m_session.notifier(), &app::ChangeNotifier::priceListChanged, live, &widgets::LiveRefresh::request);
}

Tn_klprec::~Tn_klprec() { saveSettings(); }

void Tn_klprec::buildUi() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* menuBar = new QMenuBar(this);
    layout->setMenuBar(menuBar);

    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setObjectName(QStringLiteral("splGrupas"));
    layout->addWidget(m_splitter);

    // Top: the group tree with its buttons.
    auto* top = new QWidget(m_splitter);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    auto* groupButtons = new QHBoxLayout;
    auto button = [this](QWidget* owner, QBoxLayout* row, const QString& text, const char* name, auto slot) {
        auto* b = new QPushButton(text, owner);
        b->setObjectName(QString::fromLatin1(name));
        row->addWidget(b);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    button(top, groupButtons, tr("Jauna preču grupa"), "btJaunaGrupa", &Tn_klprec::newGroup);
    button(top, groupButtons, tr("Jauna grupa zem tekošās"), "btJaunaApaksgrupa", &Tn_klprec::newChildGroup);
    button(top, groupButtons, tr("Dzēst preču grupu"), "btDzestGrupu", &Tn_klprec::deleteGroup);
    groupButtons->addStretch();
    button(top, groupButtons, tr("Atlasīt preces"), "btAtlasit", [this] {
        Tn_klprecFiltrs dlg(this);
        dlg.setFilter(m_filter);
        if (dlg.exec() == QDialog::Accepted) setFilter(dlg.filter());
    });
    auto* close = button(top, groupButtons, tr("Aizvērt"), "btAizvert", &Tn_klprec::reject);
    close->setAutoDefault(false);
    topLayout->addLayout(groupButtons);
    m_tvGroups = new GroupTree(top);
    m_tvGroups->setObjectName(QStringLiteral("tvGrupas"));
    m_tvGroups->setHeaderHidden(true);
    m_tvGroups->setDragDropMode(QAbstractItemView::InternalMove);
    m_tvGroups->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    m_tvGroups->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tvGroups->viewport()->installEventFilter(this);
    topLayout->addWidget(m_tvGroups);

    // Bottom: the manipulations and the card.
    m_pages = new QTabWidget(m_splitter);
    auto* listPage = new QWidget(m_pages);
    auto* listLayout = new QVBoxLayout(listPage);
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(new QLabel(tr("Ātrā meklēšana"), listPage));
    m_edQuick = new QLineEdit(listPage);
    m_edQuick->setObjectName(QStringLiteral("edAtraMeklesana"));
    m_edQuick->setPlaceholderText(tr("Artikuls/Nosaukums"));
    m_edQuick->setToolTip(tr("Artikuls/Nosaukums"));
    listButtons->addWidget(m_edQuick, 1);
    button(listPage, listButtons, tr("Jauna prece"), "btJaunaPrece", &Tn_klprec::newItem);
    button(listPage, listButtons, tr("Dzēst preci"), "btDzestPreci", &Tn_klprec::deleteItems);
    button(listPage, listButtons, tr("Meklēt preci"), "btMekletPreci", [this] {
        TFindN_KLPREC dlg(this);
        if (dlg.exec() == QDialog::Accepted) searchItem(dlg.text());
    });
    listLayout->addLayout(listButtons);
    m_grd = new QTableView(listPage);
    m_grd->setObjectName(QStringLiteral("grdN_PRECE"));
    m_grd->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grd->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_grd->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grd->verticalHeader()->hide();
    m_grd->installEventFilter(this);
    m_model = new models::ResultTableModel(this);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    m_model->setColumns({{"KODS", tr("Kods"), {}, {}, Qt::AlignLeft | Qt::AlignVCenter},
                         {"MIS_KODS", tr("Ims kods"), {}, {}, Qt::AlignLeft | Qt::AlignVCenter},
                         {"GNOS", tr("Manipulācijas nosaukums"), {}, {}, Qt::AlignLeft | Qt::AlignVCenter},
                         {"PARDCENA1", tr("Cena"), QStringLiteral("0.00"), {}, right},
                         {"LAIKS", tr("Laiks"), {}, {}, right}});
    auto* colours = new ItemColours(this);
    colours->rows = m_model;
    colours->base = m_grd->palette().color(QPalette::Base);
    colours->setSourceModel(m_model);
    m_grd->setModel(colours);
    m_grd->horizontalHeader()->setStretchLastSection(false);
    m_grd->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    widgets::CompactGrid(m_grd);
    m_grd->horizontalHeader()->setSectionsClickable(true);
    listLayout->addWidget(m_grd);
    m_pages->addTab(listPage, tr("&Manipulācijas"));
    // The card scrolls, so that its many fields do not limit how tall the tree may be.
    auto* cardScroll = new QScrollArea(m_pages);
    cardScroll->setWidgetResizable(true);
    cardScroll->setFrameShape(QFrame::NoFrame);
    m_card = new Tn_klprecDati(cardScroll);
    cardScroll->setWidget(m_card);
    m_pages->addTab(cardScroll, tr("&Dati"));
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 2);

    // Whether a filter narrows the list, and a way to drop it.
    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("sbStatuss"));
    m_status->setSizeGripEnabled(false);
    m_btClearFilter = new QPushButton(tr("Atcelt filtru"), m_status);
    m_btClearFilter->setObjectName(QStringLiteral("btAtceltFiltru"));
    m_btClearFilter->setAutoDefault(false);
    m_btClearFilter->hide();
    m_status->addPermanentWidget(m_btClearFilter);
    connect(m_btClearFilter, &QPushButton::clicked, this, [this] { setFilter({}); });
    layout->addWidget(m_status);

    connect(m_tvGroups, &QTreeWidget::currentItemChanged, this, [this] {
        if (m_building) return;
        m_edQuick->clear();
        reloadItems();
    });
    connect(m_tvGroups, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* node) {
        if (!m_building) onGroupRenamed(node);
    });
    connect(m_grd->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { showCurrentItem(); });
    connect(m_grd, &QTableView::doubleClicked, this, [this] {
        if (m_selectionMode) pick();
        else m_pages->setCurrentIndex(1);
    });
    connect(m_grd->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        setOrder(m_model->gridColumns().value(section).field);
    });
    connect(m_edQuick, &QLineEdit::textEdited, this, &Tn_klprec::quickSearch);
    connect(m_edQuick, &QLineEdit::returnPressed, this, [this] { m_grd->setFocus(); });
    connect(m_card, &Tn_klprecDati::saveRequested, this, &Tn_klprec::saveItem);
    connect(m_card, &Tn_klprecDati::cancelRequested, this, &Tn_klprec::cancelItem);
    connect(m_card, &Tn_klprecDati::copyRequested, this, &Tn_klprec::copyItem);
    connect(m_card, &Tn_klprecDati::attachRequested, this, &Tn_klprec::chooseAttached);
    m_card->setItemNames([this](int key) {
        const PriceItem item = m_store.loadItem(key);
        return item.isn > 0 ? item.name : QString::number(key);
    });
    resize(820, 640);
}

void Tn_klprec::buildActions() {
    auto* menuBar = qobject_cast<QMenuBar*>(layout()->menuBar());
    QMenu* keys = menuBar->addMenu(tr("Taustiņi"));
    auto add = [this, keys](const QString& text, const QKeySequence& key, auto slot) {
        QAction* a = keys->addAction(text);
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, slot);
        addAction(a);
        return a;
    };
    m_addActions << add(tr("Kopēt manipulāciju no esošās"), QKeySequence(Qt::Key_F5), &Tn_klprec::copyItem);
    m_addActions << add(tr("Jauna prece"), QKeySequence(Qt::Key_F6), &Tn_klprec::newItem);
    add(tr("Meklēt preci"), QKeySequence(Qt::Key_F7), [this] {
        TFindN_KLPREC dlg(this);
        if (dlg.exec() == QDialog::Accepted) searchItem(dlg.text());
    });
    m_deleteActions << add(tr("Dzēst preci"), QKeySequence(Qt::Key_F8), &Tn_klprec::deleteItems);
    add(tr("Turpināt meklēt preci"), QKeySequence(Qt::SHIFT | Qt::Key_F7), &Tn_klprec::searchNext);
    add(tr("Ātrā meklēšana"), QKeySequence(Qt::CTRL | Qt::Key_F), [this] {
        m_pages->setCurrentIndex(0);
        m_edQuick->setFocus();
        m_edQuick->selectAll();
    });
    auto step = [this](int by) {
        const int row = m_grd->currentIndex().row() + by;
        if (row >= 0 && row < m_model->rowCount()) m_grd->setCurrentIndex(m_grd->model()->index(row, 0));
    };
    add(tr("Nākošais ieraksts"), QKeySequence(Qt::CTRL | Qt::Key_N), [step] { step(1); });
    add(tr("Iepriekšējais ieraksts"), QKeySequence(Qt::CTRL | Qt::Key_P), [step] { step(-1); });

    m_groupMenu = new QMenu(this);
    m_addActions << m_groupMenu->addAction(tr("Jauna preču grupa"), this, &Tn_klprec::newGroup);
    m_addActions << m_groupMenu->addAction(tr("Jauna grupa zem tekošās"), this, &Tn_klprec::newChildGroup);
    m_groupMenu->addAction(tr("Grupas rekvizīti"), this, &Tn_klprec::editGroup);
    m_groupMenu->addAction(tr("Pārvietot doto grupu uz pirmo līmeni"), this, &Tn_klprec::moveGroupToTop);
    m_groupMenu->addSeparator();
    m_deleteActions << m_groupMenu->addAction(tr("Dzēst preču grupu"), this, &Tn_klprec::deleteGroup);
    connect(m_tvGroups, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_groupMenu->popup(m_tvGroups->viewport()->mapToGlobal(pos)); });
}

// ---- Settings and rights -----------------------------------------------------------------------

void Tn_klprec::restoreSettings() {
    const int w = app::Settings::integer(Section, QStringLiteral("Width"), 0);
    const int h = app::Settings::integer(Section, QStringLiteral("Height"), 0);
    if (w > 200 && h > 200) resize(w, h);
    const int split = app::Settings::integer(Section, QStringLiteral("SplitterH"),
                                             app::Settings::integer(Section, QStringLiteral("GroupTreeHeight"), 0));
    m_restoreSplit = split;
    m_order = PriceListStore::SafeOrder(app::Settings::string(Section, QStringLiteral("Kartiba"), QStringLiteral("GNOS")));
    widgets::LoadGridLayout(m_grd);
}

void Tn_klprec::saveSettings() {
    app::Settings::setInteger(Section, QStringLiteral("Width"), width());
    app::Settings::setInteger(Section, QStringLiteral("Height"), height());
    app::Settings::setInteger(Section, QStringLiteral("SplitterH"), m_splitter->sizes().value(0));
    app::Settings::setInteger(Section, QStringLiteral("GroupTreeHeight"), m_tvGroups->height());
    app::Settings::setString(Section, QStringLiteral("Kartiba"), m_order);
    widgets::SaveGridLayout(m_grd);
    app::Settings::sync();
}

void Tn_klprec::refreshRights() {
    m_mayEdit = m_session.hasRight(QStringLiteral("02"), app::Change);
    m_mayAdd = m_session.hasRight(QStringLiteral("02"), app::Add);
    m_mayDelete = m_session.hasRight(QStringLiteral("02"), app::Delete);
    for (QAction* a : std::as_const(m_addActions)) a->setEnabled(m_mayAdd);
    for (QAction* a : std::as_const(m_deleteActions)) a->setEnabled(m_mayDelete);
    for (const char* name : {"btJaunaGrupa", "btJaunaApaksgrupa", "btJaunaPrece"})
        if (auto* b = findChild<QPushButton*>(QString::fromLatin1(name))) b->setEnabled(m_mayAdd);
    for (const char* name : {"btDzestGrupu", "btDzestPreci"})
        if (auto* b = findChild<QPushButton*>(QString::fromLatin1(name))) b->setEnabled(m_mayDelete);
    m_card->setEditable(m_mayEdit || m_mayAdd);
}

void Tn_klprec::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) refreshRights();
    QDialog::changeEvent(event);
}

void Tn_klprec::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_shownBefore = true;
    const QList<int> sizes = m_splitter->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (m_restoreSplit > 0) {
        if (total > m_restoreSplit) m_splitter->setSizes({m_restoreSplit, total - m_restoreSplit});
        m_restoreSplit = 0;
    } else if (!m_splitDone && total > 0) {
        // Without a stored split the tree gets two fifths: room for a dozen groups.
        m_splitter->setSizes({total * 2 / 5, total - total * 2 / 5});
    }
    m_splitDone = true;
    refreshRights();
}

// ---- Messages ----------------------------------------------------------------------------------

void Tn_klprec::showError(const PriceListResult& r) {
    widgets::ShowRefusal(this, r.message, r.details);
}

bool Tn_klprec::ask(const QString& caption, const QString& text) {
    return QMessageBox::question(this, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

void Tn_klprec::inform(const QString& text) { QMessageBox::information(this, windowTitle(), text); }

// ---- Tree --------------------------------------------------------------------------------------

int Tn_klprec::currentGroup() const { return TTreeMyRec::of(m_tvGroups->currentItem()).Isn; }

void Tn_klprec::reloadTree() {
    const int keep = currentGroup();
    const int keepItem = currentItemKey();
    m_building = true;
    TTreeMyRec rec;
    TTreeN_PRGRUP(m_tvGroups, &rec, 0, m_filter, m_store);
    m_tvGroups->expandAll();
    if (QTreeWidgetItem* node = TTreeMyRec::findNode(m_tvGroups, keep)) m_tvGroups->setCurrentItem(node);
    m_building = false;
    m_card->setGroups(m_store.allGroups());
    reloadItems(keepItem);
    showFilterState();
}

void Tn_klprec::showFilterState() {
    if (m_filter.isEmpty()) {
        m_status->clearMessage();
        m_btClearFilter->hide();
        return;
    }
    m_status->showMessage(m_tvGroups->topLevelItemCount() == 0
                              ? tr("Filtrs ieslēgts: atlasei neatbilst neviena manipulācija.")
                              : tr("Filtrs ieslēgts: rādītas tikai atlasei atbilstošās manipulācijas."));
    m_btClearFilter->show();
}

void Tn_klprec::selectGroup(int isn) {
    if (QTreeWidgetItem* node = TTreeMyRec::findNode(m_tvGroups, isn)) m_tvGroups->setCurrentItem(node);
}

void Tn_klprec::newGroup() {
    if (!m_mayAdd) return;
    const int key = m_store.addGroup(tr("Jauna grupa"), 0, m_session.UserIsn());
    reloadTree();
    selectGroup(key);
    if (QTreeWidgetItem* node = m_tvGroups->currentItem(); node && isVisible()) m_tvGroups->editItem(node);
}

void Tn_klprec::newChildGroup() {
    if (!m_mayAdd) return;
    const int parent = currentGroup();
    if (parent == 0) return;
    const int key = m_store.addGroup(PriceListStore::NewChildGroupName(), parent, m_session.UserIsn());
    reloadTree();
    selectGroup(key);
    if (QTreeWidgetItem* node = m_tvGroups->currentItem(); node && isVisible()) m_tvGroups->editItem(node);
}

void Tn_klprec::editGroup() {
    const int isn = currentGroup();
    if (isn == 0) return;
    if (!m_mayEdit) {
        inform(tr("Jums grupu labošana nav atļauta !!!"));
        return;
    }
    Tn_prgrup card(m_store, isn, m_session.UserIsn(), this);
    if (card.exec() == QDialog::Accepted) reloadTree();
}

void Tn_klprec::onGroupRenamed(QTreeWidgetItem* node) {
    const int isn = TTreeMyRec::of(node).Isn;
    const QString stored = m_store.groupName(isn);
    if (node->text(0) == stored) return;
    auto revert = [&] {
        m_building = true;
        node->setText(0, stored);
        m_building = false;
    };
    if (!m_mayEdit) {
        revert();
        inform(tr("Jums grupu labošana nav atļauta !!!"));
        return;
    }
    const PriceListResult r = m_store.renameGroup(isn, node->text(0), m_session.UserIsn());
    if (!r.ok) {
        revert();
        showError(r);
    }
}

bool Tn_klprec::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_tvGroups->viewport() && event->type() == QEvent::Drop) {
        // The tree never moves its nodes itself: the move goes through the checks and the
        // database, and the tree is then rebuilt.
        auto* drop = static_cast<QDropEvent*>(event);
        const int dragged = currentGroup();
        const int target = TTreeMyRec::of(m_tvGroups->itemAt(drop->position().toPoint())).Isn;
        drop->setDropAction(Qt::IgnoreAction);
        drop->accept();
        if (dragged != 0 && target != 0)
            QTimer::singleShot(0, this, [this, dragged, target] { dropGroup(dragged, target); });
        return true;
    }
    if (watched == m_grd && event->type() == QEvent::KeyPress && m_selectionMode) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            pick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tn_klprec::dropGroup(int dragged, int target) {
    const PriceGroupMoveCheck check = m_store.checkMove(dragged, target, m_mayAdd);
    if (!check.allowed) {
        inform(check.message);
        return;
    }
    if (!ask(tr("Grupas pārvietošana"), check.message)) return;
    const PriceListResult r = m_store.moveGroup(dragged, target, m_session.UserIsn());
    if (!r.ok) showError(r);
    reloadTree();
    selectGroup(dragged);
}

void Tn_klprec::moveGroupToTop() {
    const int isn = currentGroup();
    if (isn == 0) return;
    if (!m_mayAdd) {
        inform(tr("Jums nav tiesības pārvietot grupu !!!"));
        return;
    }
    if (!ask(tr("Grupas pārvietošana"), tr("Vai tiešām vēlaties pārvietot šo grupu uz pirmo līmeni ?"))) return;
    const PriceListResult r = m_store.moveGroup(isn, 0, m_session.UserIsn());
    if (!r.ok) {
        showError(r);
        return;
    }
    inform(tr("Pārvietošana notikusi"));
    reloadTree();
    selectGroup(isn);
}

void Tn_klprec::deleteGroup() {
    QTreeWidgetItem* node = m_tvGroups->currentItem();
    const int isn = TTreeMyRec::of(node).Isn;
    if (isn == 0 || !m_mayDelete) return;
    if (m_store.hasChildGroups(isn)) {
        inform(tr("Dzēst nedrīkst, dotajai grupai ir apakšgrupas !!!"));
        return;
    }
    if (!ask(tr("DZĒŠANAS PAZIŅOJUMS"), tr("Vai tiešām vēlaties dzēst ") + node->text(0).trimmed() + QStringLiteral("?")))
        return;
    const PriceListResult r = m_store.deleteGroup(isn, m_session.UserIsn());
    if (!r.ok) {
        showError(r);
        return;
    }
    m_building = true;
    delete node;
    m_building = false;
    reloadItems();
}

// ---- Manipulations -----------------------------------------------------------------------------

int Tn_klprec::currentItemKey() const {
    const QModelIndex i = m_grd->currentIndex();
    return i.isValid() ? m_model->fieldValue(i.row(), QStringLiteral("ISN")).toInt() : 0;
}

void Tn_klprec::reloadItems(int keepKey) {
    const int group = currentGroup();
    m_inserting = false;
    m_model->setRows(group ? m_store.items(group, m_filter, m_order) : db::ResultSet());
    int row = keepKey ? m_model->findRow(keepKey) : -1;
    if (row < 0 && m_model->rowCount() > 0) row = 0;
    if (row >= 0) m_grd->setCurrentIndex(m_grd->model()->index(row, 0));
    showCurrentItem();
}

void Tn_klprec::showCurrentItem() {
    if (m_inserting) return;
    const QModelIndex i = m_grd->currentIndex();
    m_card->setItem(i.isValid() ? PriceListStore::itemFromRow(m_model->rows(), i.row()) : PriceItem());
}

bool Tn_klprec::goToItem(int isn) {
    const int group = m_store.groupOfItem(isn);
    QTreeWidgetItem* node = TTreeMyRec::findNode(m_tvGroups, group);
    if (!node) return false;
    m_tvGroups->setCurrentItem(node);
    const int row = m_model->findRow(isn);
    if (row < 0) return false;
    m_grd->setCurrentIndex(m_grd->model()->index(row, 0));
    m_grd->scrollTo(m_grd->currentIndex());
    return true;
}

void Tn_klprec::newItem() {
    if (!m_mayAdd) return;
    m_inserting = true;
    m_card->setItem(m_store.newItem(currentGroup(), m_session.DefaultVatRate()));
    m_pages->setCurrentIndex(1);
    m_card->nameEdit()->setFocus();
}

void Tn_klprec::copyItem() {
    if (!m_mayAdd) return;
    const int key = m_card->isNew() && m_inserting ? 0 : currentItemKey();
    PriceItem copy = key ? m_store.copyOf(key) : m_card->item();
    copy.isn = 0;
    m_inserting = true;
    m_card->setItem(copy);
    m_pages->setCurrentIndex(1);
}

bool Tn_klprec::saveItem() {
    if (m_card->isNew() ? !m_mayAdd : !m_mayEdit) return false;
    const QString attachedProblem = m_card->attachedProblem();
    if (!attachedProblem.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), attachedProblem);
        return false;
    }
    PriceItem item = m_card->item();
    const PriceListResult r = m_store.saveItem(item, m_session.UserIsn());
    if (!r.ok) {
        QMessageBox::warning(this, windowTitle(), r.dbError ? tr("Sistēmas kļūda: ") + r.message : r.message);
        // Show the other workstation's version (or the list without the deleted item).
        if (r.stale) reloadTree();
        m_card->focusField(r.focus);
        return false;
    }
    m_inserting = false;
    if (item.group != currentGroup() && TTreeMyRec::findNode(m_tvGroups, item.group)) selectGroup(item.group);
    reloadItems(item.isn);
    return true;
}

void Tn_klprec::chooseAttached() {
    if (m_card->isNew() ? !m_mayAdd : !m_mayEdit) return;
    const int key = choose(m_session, 0, this);
    if (key <= 0) return;
    PriceItem chosen;
    if (!widgets::Guard(this, [&] { chosen = m_store.loadItem(key); }) || chosen.isn <= 0) return;
    m_card->addAttached(chosen.isn, chosen.price.toDouble());
}

bool Tn_klprec::cardChanged() const {
    return (m_mayEdit || m_mayAdd) && m_card->item() != m_card->shownItem();
}

void Tn_klprec::reject() {
    // What was typed on the card and not saved is not dropped without asking.
    switch (widgets::AskBeforeClosing(this, cardChanged(), [this] { return saveItem(); })) {
        case widgets::CloseAnswer::Close:
            cancelItem();
            QDialog::reject();
            break;
        case widgets::CloseAnswer::Saved:
            QDialog::reject();
            break;
        case widgets::CloseAnswer::Stay:
            break;
    }
}

void Tn_klprec::cancelItem() {
    m_inserting = false;
    showCurrentItem();
}

QList<int> Tn_klprec::selectedKeys() const {
    QList<int> keys;
    const int current = currentItemKey();
    if (current) keys << current;
    for (const QModelIndex& i : m_grd->selectionModel()->selectedRows()) {
        const int k = m_model->fieldValue(i.row(), QStringLiteral("ISN")).toInt();
        if (k && !keys.contains(k)) keys << k;
    }
    return keys;
}

void Tn_klprec::deleteItems() {
    if (!m_mayDelete) return;
    const QList<int> keys = selectedKeys();
    if (keys.isEmpty()) {
        inform(tr("Nav datu, ko dzēst !!!"));
        return;
    }
    const QString name = m_model->fieldValue(m_grd->currentIndex().row(), QStringLiteral("GNOS")).toString();
    if (!ask(tr("DZĒŠANAS PAZIŅOJUMS"), tr("Vai tiešām vēlaties dzēst ") + name + tr(" (un iezīmētos) )?"))) return;
    const PriceListResult r = m_store.deleteItems(keys, m_session.UserIsn());
    if (!r.ok) {
        showError(r);
        return;
    }
    const int row = m_grd->currentIndex().row();
    reloadItems();
    if (m_model->rowCount() > 0) m_grd->setCurrentIndex(m_grd->model()->index(qMin(row, m_model->rowCount() - 1), 0));
}

void Tn_klprec::searchItem(const QString& text) {
    m_hits = m_store.search(text);
    m_hitPos = -1;
    searchNext();
}

void Tn_klprec::searchNext() {
    // Hits in groups the tree does not show (a filter, or below the ninth level) are passed over.
    while (++m_hitPos < m_hits.size()) {
        if (goToItem(m_hits[m_hitPos])) {
            m_pages->setCurrentIndex(0);
            return;
        }
    }
    inform(tr("Nav atrasts !!!"));
}

void Tn_klprec::quickSearch(const QString& text) {
    const int key = m_store.quickSearch(currentGroup(), text, m_model->rows());
    const int row = key ? m_model->findRow(key) : -1;
    if (row >= 0) {
        m_grd->setCurrentIndex(m_grd->model()->index(row, 0));
        m_grd->scrollTo(m_grd->currentIndex());
    }
}

void Tn_klprec::setFilter(const PriceListFilter& filter) {
    m_filter = filter;
    reloadTree();
}

void Tn_klprec::setOrder(const QString& order) {
    if (order.isEmpty()) return;
    m_order = PriceListStore::SafeOrder(order);
    reloadItems(currentItemKey());
}

void Tn_klprec::pick() {
    m_chosenKey = currentItemKey();
    if (m_chosenKey) accept();
}

int Tn_klprec::choose(app::Session& session, int currentKey, QWidget* parent) {
    Tn_klprec window(session, parent, true);
    window.setWindowModality(Qt::ApplicationModal);
    if (currentKey) window.goToItem(currentKey);
    return window.exec() == QDialog::Accepted ? window.chosenKey() : 0;
}

void RegisterPicker(app::Session& session) {
    session.facades().priceList.pick = [&session](QWidget* parent, int currentKey) {
        return Tn_klprec::choose(session, currentKey, parent);
    };
}

void RegisterWindows(app::WindowRegistry& registry) {
    registry.add(app::WindowId::PriceList, [](app::Session& session, QWidget* mainWindow) -> QWidget* {
        auto* w = new Tn_klprec(session, mainWindow);
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        return w;
    });
}

}  // namespace pricelist
