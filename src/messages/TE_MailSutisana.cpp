#include "messages/TE_MailSutisana.h"

#include "app/ChangeNotifier.h"
#include "mail/MailProgress.h"
#include "mail/MailSender.h"
#include "models/ResultTableModel.h"
#include "sms/SmsProgress.h"
#include "sms/SmsSender.h"
#include "widgets/Guard.h"
#include "widgets/ListGrid.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace messages {

namespace {

QButtonGroup* radioBox(QWidget* owner, QGroupBox* box, const QStringList& captions) {
    auto* group = new QButtonGroup(owner);
    auto* layout = new QVBoxLayout(box);
    for (int i = 0; i < captions.size(); ++i) {
        auto* radio = new QRadioButton(captions.at(i), box);
        group->addButton(radio, i);
        layout->addWidget(radio);
    }
    group->button(0)->setChecked(true);
    return group;
}

}  // namespace

TE_MailSutisana::TE_MailSutisana(app::Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session), m_store(session.database()) {
    setObjectName(QStringLiteral("TE_MailSutisana"));
    setWindowTitle(tr("E-Mail un SMS izūtīšana"));

    auto* groupBox = new QGroupBox(tr("Pacientu grupas"), this);
    m_groups = new QListWidget(groupBox);
    m_groups->setObjectName(QStringLiteral("lbGrupas"));
    (new QVBoxLayout(groupBox))->addWidget(m_groups);
    auto* sexBox = new QGroupBox(tr("Vīrieši/Sievietes"), this);
    m_sex = radioBox(this, sexBox, {tr("Visiem"), tr("Tikai vīriešiem"), tr("Tikai sievietēm")});
    auto* languageBox = new QGroupBox(tr("Valodas"), this);
    m_language = radioBox(this, languageBox, {tr("Visām"), tr("Tikai latviešu"), tr("Tikai krievu"), tr("Tikai angļu")});

    auto* textBox = new QGroupBox(tr("E-mail/SMS teksts"), this);
    m_subject = new QLineEdit(textBox);
    m_subject->setObjectName(QStringLiteral("edTemats"));
    m_subject->setPlaceholderText(tr("E-pasta temats (tukšs: klīnikas nosaukums)"));
    m_text = new QPlainTextEdit(textBox);
    m_text->setObjectName(QStringLiteral("mmTeksts"));
    m_text->setTabChangesFocus(true);
    m_text->setPlaceholderText(tr("<VardsUzvards> tiek aizstāts ar pacienta vārdu un uzvārdu"));
    auto* textLayout = new QVBoxLayout(textBox);
    textLayout->addWidget(m_subject);
    textLayout->addWidget(m_text, 1);

    m_model = new models::ResultTableModel(this);
    models::GridColumn name;
    name.title = tr("Vārds, Uzvārds");
    name.calculate = [](const db::ResultSet& rows, int row) -> QVariant {
        return QString(rows.value(row, QStringLiteral("VARDS")).toString() + u' ' + rows.value(row, QStringLiteral("UZVARDS")).toString());
    };
    m_model->setColumns({name});
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("dbgKlienti"));
    m_grid->setModel(m_model);
    widgets::SetupListGrid(m_grid);
    m_grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_count = new QLabel(this);

    auto* btSms = new QPushButton(tr("Sūtīt SMS"), this);
    btSms->setObjectName(QStringLiteral("btSutitSMS"));
    auto* btMail = new QPushButton(tr("Sūtīt E-mail"), this);
    btMail->setObjectName(QStringLiteral("btSutitEmail"));
    auto* btClose = new QPushButton(tr("Aizvērt"), this);
    btClose->setObjectName(QStringLiteral("btAizvert"));
    for (QPushButton* b : {btSms, btMail, btClose}) b->setAutoDefault(false);

    auto* choices = new QVBoxLayout;
    choices->addWidget(groupBox, 1);
    choices->addWidget(sexBox);
    choices->addWidget(languageBox);
    auto* list = new QVBoxLayout;
    list->addWidget(m_grid, 1);
    list->addWidget(m_count);
    auto* top = new QHBoxLayout;
    top->addLayout(choices, 1);
    top->addLayout(list, 1);
    top->addWidget(textBox, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btSms);
    buttons->addWidget(btMail);
    buttons->addStretch(1);
    buttons->addWidget(btClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    resize(900, 520);

    connect(m_groups, &QListWidget::itemChanged, this, [this] { refresh(); });
    connect(m_sex, &QButtonGroup::idClicked, this, [this] { refresh(); });
    connect(m_language, &QButtonGroup::idClicked, this, [this] { refresh(); });
    connect(btSms, &QPushButton::clicked, this, &TE_MailSutisana::sendSms);
    connect(btMail, &QPushButton::clicked, this, &TE_MailSutisana::sendMail);
    connect(btClose, &QPushButton::clicked, this, &QWidget::close);
    // Patients and groups changed on any workstation show here.
    connect(&m_session.notifier(), &app::ChangeNotifier::patientsChanged, this, [this] { refresh(); });

    loadGroups();
    refresh();
}

void TE_MailSutisana::loadGroups() {
    QVector<QPair<int, QString>> groups;
    if (!widgets::Guard(this, [&] { groups = m_store.groups(); })) return;
    const QSignalBlocker block(m_groups);
    m_groups->clear();
    for (const auto& [key, name] : groups) {
        auto* item = new QListWidgetItem(name, m_groups);
        item->setData(Qt::UserRole, key);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

PatientChoice TE_MailSutisana::choice() const {
    PatientChoice c;
    for (int i = 0; i < m_groups->count(); ++i)
        if (m_groups->item(i)->checkState() == Qt::Checked) c.groups.append(m_groups->item(i)->data(Qt::UserRole).toInt());
    c.sex = qMax(0, m_sex->checkedId());
    c.language = qMax(0, m_language->checkedId());
    return c;
}

void TE_MailSutisana::refresh() {
    db::ResultSet rows;
    if (!widgets::Guard(this, [&] { rows = m_store.patients(choice()); })) return;
    m_model->setRows(std::move(rows));
    m_count->setText(tr("Pacienti: %1").arg(m_model->rowCount()));
}

db::ResultSet TE_MailSutisana::recipients() const {
    const db::ResultSet& all = m_model->rows();
    const QModelIndexList selected = m_grid->selectionModel()->selectedRows();
    if (selected.isEmpty()) return all;
    QList<int> rows;
    for (const QModelIndex& index : selected) rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    db::ResultSet out(all.columns());
    for (int r : rows) out.append(all.row(r));
    return out;
}

void TE_MailSutisana::message(const QString& text) { QMessageBox::warning(this, windowTitle(), text); }

void TE_MailSutisana::sendSms() {
    const db::ResultSet to = recipients();
    SmsMessages prepared;
    if (!widgets::Guard(this, [&] { prepared = m_store.sms(to, m_text->toPlainText()); })) return;
    if (!prepared.stop.isEmpty()) {
        message(prepared.stop);
        return;
    }
    if (prepared.messages.isEmpty()) {
        message(tr("Izvēlētajiem pacientiem nav mobilā tālruņa numura, SMS netika nosūtīts."));
        return;
    }
    if (QMessageBox::question(this, windowTitle(),
                              tr("Sūtīt SMS %1 numuriem (%2 pacientiem nav mobilā tālruņa)?")
                                  .arg(prepared.messages.size())
                                  .arg(prepared.withoutNumber)) != QMessageBox::Yes)
        return;
    sms::SmsSender sender(prepared.device);
    sms::SmsProgress progress(this);
    progress.run(sender, prepared.messages);
}

void TE_MailSutisana::sendMail() {
    const db::ResultSet to = recipients();
    MailMessages prepared = m_store.mail(to, m_subject->text(), m_text->toPlainText());
    if (!prepared.stop.isEmpty()) {
        message(prepared.stop);
        return;
    }
    if (prepared.items.isEmpty()) {
        message(tr("Izvēlētajiem pacientiem nav e-pasta adreses, vēstule netika nosūtīta."));
        return;
    }
    if (QMessageBox::question(this, windowTitle(),
                              tr("Sūtīt e-pastu %1 adresēm (%2 pacientiem nav e-pasta adreses)?")
                                  .arg(prepared.items.size())
                                  .arg(prepared.withoutAddress)) != QMessageBox::Yes)
        return;
    mail::MailSender sender(prepared.server);
    mail::MailProgress progress(this);
    progress.run(sender, prepared.items);
}

void RegisterWindows(app::WindowRegistry& registry) {
    registry.add(app::WindowId::MassMessages,
                 [](app::Session& s, QWidget* mainWindow) -> QWidget* { return new TE_MailSutisana(s, mainWindow); });
}

}  // namespace messages
