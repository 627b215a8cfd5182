#include "app/TLietotajuTiesibas.h"
#include "widgets/FocusHighlight.h"

#include "app/ChangeNotifier.h"
#include "widgets/LiveRefresh.h"

#include "app/Rights.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace app {

namespace {

const QString RightsCode = QStringLiteral("13");

// Keeps a field in upper case as the user types, the cursor where it was.
void forceUpperCase(QLineEdit* edit) {
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text) return;
        const int cursor = edit->cursorPosition();
        edit->setText(upper);
        edit->setCursorPosition(cursor);
    });
}

std::array<QCheckBox*, 4> permissionBoxes(QWidget* parent, QHBoxLayout* row, const QString& prefix) {
    std::array<QCheckBox*, 4> boxes{};
    const QStringList captions{TLietotajuTiesibas::tr("Skatīt"), TLietotajuTiesibas::tr("Koriģēt"),
                               TLietotajuTiesibas::tr("Jauns"), TLietotajuTiesibas::tr("Dzēst")};
    for (int i = 0; i < 4; ++i) {
        boxes[i] = new QCheckBox(captions[i], parent);
        boxes[i]->setObjectName(prefix + QString::number(i));
        row->addWidget(boxes[i]);
    }
    row->addStretch();
    return boxes;
}

}  // namespace

TLietotajuTiesibas::TLietotajuTiesibas(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session), m_store(session.database()) {
    setObjectName(QStringLiteral("LietotajuTiesibas"));
    setWindowTitle(tr("Lietotāju tiesības"));
    // Groups, staff and users changed here or on another workstation show up at once.
    auto* live = new widgets::LiveRefresh(this, [this] { reload(); });
    connect(&m_session.notifier(), &ChangeNotifier::usersChanged, live, &widgets::LiveRefresh::request);
    connect(&m_session.notifier(), &ChangeNotifier::referenceChanged, live, [live](const QString& table) {
        if (table == QLatin1String("N_AGENTS")) live->request();
    });

    m_groups = new QListWidget(this);
    m_groups->setObjectName(QStringLiteral("lbGrupas"));
    m_users = new QListWidget(this);
    m_users->setObjectName(QStringLiteral("lbLietotaji"));
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(tr("Lietotāju grupas :"), this));
    left->addWidget(m_groups);
    left->addWidget(new QLabel(tr("Sistēmas lietotāji :"), this));
    left->addWidget(m_users);

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("edLietotajs"));
    m_name->setMaxLength(60);
    forceUpperCase(m_name);
    m_staff = new QComboBox(this);
    m_staff->setObjectName(QStringLiteral("cbDarbinieks"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("edParole"));
    m_confirm = new QLineEdit(this);
    m_confirm->setObjectName(QStringLiteral("edParoleApst"));
    for (QLineEdit* e : {m_password, m_confirm}) {
        e->setEchoMode(QLineEdit::Password);
        e->setMaxLength(100);
        forceUpperCase(e);
    }
    auto* form = new QFormLayout;
    form->addRow(tr("Lietotāja vārds :"), m_name);
    form->addRow(tr("Piesaistītais darbinieks :"), m_staff);
    form->addRow(tr("Parole :"), m_password);
    form->addRow(tr("Paroles apstiprinājums :"), m_confirm);
    m_add = new QPushButton(tr("Pievienot"), this);
    m_save = new QPushButton(tr("Saglabāt"), this);
    m_delete = new QPushButton(tr("Dzēst"), this);
    auto* userButtons = new QHBoxLayout;
    userButtons->addWidget(m_add);
    userButtons->addWidget(m_save);
    userButtons->addWidget(m_delete);
    userButtons->addStretch();
    auto* middle = new QVBoxLayout;
    middle->addLayout(form);
    middle->addLayout(userButtons);
    middle->addStretch();

    m_chosen = new QListWidget(this);
    m_chosen->setObjectName(QStringLiteral("lbIzveletas"));
    m_other = new QListWidget(this);
    m_other->setObjectName(QStringLiteral("lbNeizveletas"));
    for (QListWidget* l : {m_chosen, m_other}) {
        l->setSelectionMode(QAbstractItemView::ExtendedSelection);
        l->setContextMenuPolicy(Qt::ActionsContextMenu);
        auto* copy = new QAction(tr("Ielikt lietotāju tiesības atmiņā"), l);
        auto* paste = new QAction(tr("Pievienot lietotāju tiesības no atmiņas"), l);
        connect(copy, &QAction::triggered, this, &TLietotajuTiesibas::copyRightsToMemory);
        connect(paste, &QAction::triggered, this, &TLietotajuTiesibas::pasteRightsFromMemory);
        l->addAction(copy);
        l->addAction(paste);
    }
    auto* chosenRow = new QHBoxLayout;
    m_chosenBoxes = permissionBoxes(this, chosenRow, QStringLiteral("chkIzveleta"));
    auto* otherRow = new QHBoxLayout;
    m_otherBoxes = permissionBoxes(this, otherRow, QStringLiteral("chkNeizveleta"));
    m_revoke = new QPushButton(tr("Pārvietot"), this);
    m_revoke->setObjectName(QStringLiteral("btParvietotNoLietotaja"));
    m_saveRights = new QPushButton(tr("Saglabāt iespējas"), this);
    m_grant = new QPushButton(tr("Pārvietot"), this);
    m_grant->setObjectName(QStringLiteral("btParvietotLietotajam"));
    chosenRow->addWidget(m_revoke);
    chosenRow->addWidget(m_saveRights);
    otherRow->addWidget(m_grant);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(tr("Lietotāja izvēlētās iespējas :"), this));
    right->addWidget(m_chosen);
    right->addLayout(chosenRow);
    right->addWidget(new QLabel(tr("Neizvēlētās iespējas :"), this));
    right->addWidget(m_other);
    right->addLayout(otherRow);

    auto* close = new QPushButton(tr("Aizvērt"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(middle, 1);
    columns->addLayout(right, 2);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(bottom);
    resize(980, 560);
    widgets::HighlightFocusedInputs(this, [&session] { return session.HighlightColor(); });

    connect(m_groups, &QListWidget::currentRowChanged, this, &TLietotajuTiesibas::groupChosen);
    connect(m_users, &QListWidget::currentRowChanged, this, &TLietotajuTiesibas::userChosen);
    connect(m_chosen, &QListWidget::currentRowChanged, this, &TLietotajuTiesibas::chosenEntryChanged);
    connect(m_grant, &QPushButton::clicked, this, &TLietotajuTiesibas::moveToUser);
    connect(m_revoke, &QPushButton::clicked, this, &TLietotajuTiesibas::moveFromUser);
    connect(m_saveRights, &QPushButton::clicked, this, &TLietotajuTiesibas::saveRights);
    connect(m_add, &QPushButton::clicked, this, &TLietotajuTiesibas::addUser);
    connect(m_save, &QPushButton::clicked, this, &TLietotajuTiesibas::saveUser);
    connect(m_delete, &QPushButton::clicked, this, &TLietotajuTiesibas::deleteUser);

    loadLists();
}

void TLietotajuTiesibas::reload() {
    const int group = m_groups->currentRow();
    const int groupIsn = group >= 0 && group < m_groupRows.size() ? m_groupRows[group].isn : 0;
    const int userIsn = currentUserIsn();
    loadLists();
    selectGroup(groupIsn);
    refreshUsers(userIsn);
}

void TLietotajuTiesibas::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    applyRights();
}

void TLietotajuTiesibas::applyRights() {
    const bool change = m_session.hasRight(RightsCode, Change);
    m_add->setEnabled(m_session.hasRight(RightsCode, Add));
    m_delete->setEnabled(m_session.hasRight(RightsCode, Delete));
    for (QPushButton* b : {m_save, m_grant, m_revoke, m_saveRights}) b->setEnabled(change);
    for (QListWidget* l : {m_chosen, m_other})
        for (QAction* a : l->actions()) a->setEnabled(change);
}

void TLietotajuTiesibas::loadLists() {
    try {
        m_groupRows = m_store.groups();
        const QVector<KeyedName> staff = m_store.staff();
        m_staff->clear();
        for (const KeyedName& s : staff) m_staff->addItem(s.name, s.isn);
        m_staff->setCurrentIndex(-1);
    } catch (const db::DbError& e) {
        showError(e);
    }
    m_groups->clear();
    for (const KeyedName& g : m_groupRows) m_groups->addItem(g.name);
    if (!m_groupRows.isEmpty()) m_groups->setCurrentRow(0);
}

void TLietotajuTiesibas::selectGroup(int isn) {
    for (int i = 0; i < m_groupRows.size(); ++i)
        if (m_groupRows[i].isn == isn) m_groups->setCurrentRow(i);
}

void TLietotajuTiesibas::selectUser(const QString& name) {
    const auto found = m_users->findItems(name, Qt::MatchExactly);
    if (!found.isEmpty()) m_users->setCurrentItem(found.first());
}

int TLietotajuTiesibas::currentUserIsn() const {
    return m_current >= 0 && m_current < m_userRows.size() ? m_userRows[m_current].isn : 0;
}

void TLietotajuTiesibas::groupChosen() { refreshUsers(0); }

void TLietotajuTiesibas::refreshUsers(int selectIsn) {
    const int row = m_groups->currentRow();
    m_userRows.clear();
    if (row >= 0 && row < m_groupRows.size()) {
        try {
            m_userRows = m_store.users(m_groupRows[row].isn);
        } catch (const db::DbError& e) {
            showError(e);
        }
    }
    const QSignalBlocker block(m_users);
    m_users->clear();
    int select = m_userRows.isEmpty() ? -1 : 0;
    for (int i = 0; i < m_userRows.size(); ++i) {
        m_users->addItem(m_userRows[i].name);
        if (m_userRows[i].isn == selectIsn) select = i;
    }
    m_users->setCurrentRow(select);
    userChosen();
}

void TLietotajuTiesibas::userChosen() {
    m_current = -1;
    const QListWidgetItem* item = m_users->currentItem();
    if (item) {
        for (int i = 0; i < m_userRows.size(); ++i)
            if (m_userRows[i].name == item->text()) {
                m_current = i;
                break;
            }
        if (m_current < 0) QMessageBox::warning(this, windowTitle(), tr("Lietotājs nav atrasts !!!"));
    }
    if (m_current < 0) {
        m_name->clear();
        m_staff->setCurrentIndex(-1);
        m_password->clear();
        m_confirm->clear();
        m_rights = RightsString();
    } else {
        const UserRow& u = m_userRows[m_current];
        m_name->setText(u.name);
        m_staff->setCurrentIndex(m_staff->findData(u.agentIsn));
        m_password->setText(u.password);
        m_confirm->setText(u.password);
        m_rights = RightsString(u.rights);
    }
    rebuildRightsLists();
}

void TLietotajuTiesibas::rebuildRightsLists() {
    const QSignalBlocker block(m_chosen);
    m_chosen->clear();
    m_other->clear();
    if (m_current >= 0) {
        m_chosen->addItems(m_rights.chosenCaptions());
        m_other->addItems(m_rights.otherCaptions());
    }
    for (QCheckBox* b : m_chosenBoxes) b->setChecked(false);
}

void TLietotajuTiesibas::chosenEntryChanged() {
    const QListWidgetItem* item = m_chosen->currentItem();
    const QString letters = item ? m_rights.lettersOf(RightsString::codeOfCaption(item->text())) : QString();
    for (int i = 0; i < 4; ++i) m_chosenBoxes[i]->setChecked(i < letters.size() && letters.at(i) == QLatin1Char('T'));
}

QString TLietotajuTiesibas::boxLetters(const std::array<QCheckBox*, 4>& boxes) const {
    return RightsString::letters(boxes[0]->isChecked(), boxes[1]->isChecked(), boxes[2]->isChecked(),
                                 boxes[3]->isChecked());
}

QStringList TLietotajuTiesibas::selectedCodes(const QListWidget* list) const {
    QStringList codes;
    for (const QListWidgetItem* item : list->selectedItems()) {
        const QString code = RightsString::codeOfCaption(item->text());
        if (!code.isEmpty()) codes.append(code);
    }
    return codes;
}

void TLietotajuTiesibas::moveToUser() {
    if (m_current < 0) return;
    const QString letters = boxLetters(m_otherBoxes);
    for (const QString& code : selectedCodes(m_other)) m_rights.grant(code, letters);
    storeRights();
}

void TLietotajuTiesibas::moveFromUser() {
    if (m_current < 0) return;
    for (const QString& code : selectedCodes(m_chosen)) m_rights.revoke(code);
    storeRights();
}

void TLietotajuTiesibas::saveRights() {
    if (m_current < 0) return;
    const QString letters = boxLetters(m_chosenBoxes);
    for (const QString& code : selectedCodes(m_chosen)) m_rights.setLetters(code, letters);
    storeRights();
}

void TLietotajuTiesibas::copyRightsToMemory() {
    if (m_current >= 0) m_memory = m_rights.text();
}

void TLietotajuTiesibas::pasteRightsFromMemory() {
    if (!m_memory) {
        QMessageBox::warning(this, windowTitle(), tr("Sākumā jāieliek kāda lietotāja tiesības atmiņā !!!"));
        return;
    }
    if (m_current < 0) return;
    m_rights = RightsString(*m_memory);
    storeRights();
}

// A rights change is stored as soon as it is made, so that choosing another user or closing the
// window never drops it.
void TLietotajuTiesibas::storeRights() {
    try {
        m_store.setRights(m_userRows[m_current].isn, m_rights.text());
        m_userRows[m_current].rights = m_rights.text();
    } catch (const db::DbError& e) {
        showError(e);
        m_rights = RightsString(m_userRows[m_current].rights);
    }
    rebuildRightsLists();
}

void TLietotajuTiesibas::addUser() {
    const int group = m_groups->currentRow();
    if (group < 0 || group >= m_groupRows.size()) return;
    try {
        const UserChangeResult r =
            m_store.addUser(m_groupRows[group].isn, m_name->text(), m_staff->currentIndex() >= 0 ? m_staff->currentData().toInt() : 0,
                            m_password->text(), m_confirm->text());
        showResult(r);
        if (r.ok) refreshUsers(r.isn);
    } catch (const db::DbError& e) {
        showError(e);
    }
}

void TLietotajuTiesibas::saveUser() {
    if (m_current < 0 || m_name->text().trimmed().isEmpty()) return;
    const UserChangeResult r =
        m_store.saveUser(m_userRows[m_current].isn, m_name->text(),
                         m_staff->currentIndex() >= 0 ? m_staff->currentData().toInt() : 0, m_password->text(),
                         m_confirm->text());
    showResult(r);
    if (r.ok) refreshUsers(r.isn);
}

void TLietotajuTiesibas::deleteUser() {
    if (m_current < 0) return;
    if (QMessageBox::question(this, windowTitle(), tr("Vai tiešām vēlaties dzēst lietotāju ?"),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    try {
        m_store.deleteUser(m_userRows[m_current].isn);
    } catch (const db::DbError& e) {
        showError(e);
    }
    refreshUsers(0);
}

void TLietotajuTiesibas::showResult(const UserChangeResult& r) {
    using Field = UserChangeResult::Field;
    if (!r.message.isEmpty()) QMessageBox::warning(this, windowTitle(), r.message);
    switch (r.focus) {
    case Field::Name: m_name->setFocus(); break;
    case Field::Staff: m_staff->setFocus(); break;
    case Field::Password: m_password->setFocus(); break;
    case Field::None: break;
    }
}

void TLietotajuTiesibas::showError(const db::DbError& e) {
    QMessageBox::critical(this, windowTitle(), tr("Sistēmas kļūda: ") + e.message());
}

}  // namespace app
