#include "patients/Tn_klientEdit.h"
#include "app/ChangeNotifier.h"
#include "app/Rights.h"
#include "app/TextNormalize.h"
#include "models/ResultTableModel.h"
#include "patients/PatientWindows.h"
#include "widgets/ListGrid.h"
#include "widgets/LookupCombo.h"
#include "widgets/NullableDateEdit.h"
#include "widgets/CardClose.h"
#include "widgets/Guard.h"
#include "widgets/FocusHighlight.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

namespace patients {

namespace {

QVector<QPair<int, QString>> pairs(const QVector<LookupItem>& items) {
    QVector<QPair<int, QString>> p;
    p.reserve(items.size());
    for (const LookupItem& i : items) p.append({i.key, i.text});
    return p;
}

QVariant textOrNull(const QString& s) {
    return s.trimmed().isEmpty() ? QVariant() : QVariant(s.trimmed());
}

}  // namespace

Tn_klientEdit::Tn_klientEdit(app::Session& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_db(session.database()), m_dati(session.database()), m_pages(new QTabWidget(this)) {
    setWindowTitle(tr("Pacienta dati"));
    setObjectName(QStringLiteral("Tn_klientEdit"));
    m_pages->setObjectName(QStringLiteral("pgLapas"));

    // Page of the patient's data, in two columns.
    auto* dataPage = new QWidget(this);
    auto* columns = new QHBoxLayout(dataPage);
    auto* left = new QFormLayout;
    auto* right = new QFormLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);

    QLineEdit* surname = addText(left, QStringLiteral("UZVARDS"), tr("Uzvārds"), 200);
    QLineEdit* firstName = addText(left, QStringLiteral("VARDS"), tr("Vārds :"), 200);
    QLineEdit* code = addText(left, QStringLiteral("PERS_KODS"), tr("Pers.kods"), 12);
    m_dtpDzimDat = new widgets::NullableDateEdit(this);
    m_dtpDzimDat->setObjectName(QStringLiteral("DZIM_DAT"));
    m_dtpDzimDat->setTwoDigitYearsInPast(true);
    left->addRow(tr("Dzimšanas dat."), m_dtpDzimDat);
    m_cbDzimums = new QComboBox(this);
    m_cbDzimums->setObjectName(QStringLiteral("DZIMUMS"));
    m_cbDzimums->addItems({tr("Vīrietis"), tr("Sieviete")});
    left->addRow(tr("Dzimums"), m_cbDzimums);
    m_edVardaDiena = new QLineEdit(this);
    m_edVardaDiena->setObjectName(QStringLiteral("VARDA_DIENA"));
    m_edVardaDiena->setInputMask(QStringLiteral("99.99;_"));
    m_edVardaDiena->setMaximumWidth(70);
    left->addRow(tr("Vārda diena :"), m_edVardaDiena);
    m_cbSazinasVal = new QComboBox(this);
    m_cbSazinasVal->setObjectName(QStringLiteral("SAZINAS_VAL"));
    m_cbSazinasVal->addItems({tr("Latviešu"), tr("Krievu"), tr("Angļu")});
    left->addRow(tr("Saziņas valoda"), m_cbSazinasVal);
    addText(left, QStringLiteral("TELEFONS"), tr("Telefons"), 30);
    QLineEdit* mobile = addText(left, QStringLiteral("MOB_TEL"), tr("Mobilais telefons"), 100);
    mobile->setToolTip(tr("Vairākus numurus atdala ar \",\""));
    m_chkSendSms = new QCheckBox(tr("Sūtīt SMS"), this);
    m_chkSendSms->setObjectName(QStringLiteral("SEND_SMS"));
    left->addRow(QString(), m_chkSendSms);
    QLineEdit* mail = addText(left, QStringLiteral("E_MAIL"), tr("E-mail"), 100);
    mail->setToolTip(tr("Vairākas adreses atdala ar \";\""));
    m_chkSubscribe = new QCheckBox(tr("Sūtīt jaunumus uz e-mail :"), this);
    m_chkSubscribe->setObjectName(QStringLiteral("SUBSCRIBE_FLAG"));
    left->addRow(QString(), m_chkSubscribe);
    addText(left, QStringLiteral("NODARBOSANAS"), tr("Nodarbošanās"), 200);
    addText(left, QStringLiteral("SKOLA"), tr("Skola"), 250);

    m_cbPilseta = new QComboBox(this);
    m_cbPilseta->setObjectName(QStringLiteral("PILSETA"));
    m_cbPilseta->setEditable(true);
    m_cbPilseta->setInsertPolicy(QComboBox::NoInsert);
    m_cbPilseta->lineEdit()->setMaxLength(50);
    right->addRow(tr("Pilsēta"), m_cbPilseta);
    addLookup(right, QStringLiteral("ISRAJONS"), tr("Novads"), m_dati.districts());
    addText(right, QStringLiteral("ADRESE"), tr("Iela, māja"), 250);
    addText(right, QStringLiteral("ZIP_NR"), tr("Pasta indekss"), 30);
    addLookup(right, QStringLiteral("ISKLGRUPA"), tr("Klientu grupa"), m_dati.groups());
    addLookup(right, QStringLiteral("ISAGENTS"), tr("Ārsts"), m_dati.doctors());
    addLookup(right, QStringLiteral("ISBANKA"), tr("Banka"), m_dati.banks());
    addText(right, QStringLiteral("BANKAS_KONTS"), tr("Konts"), 30);
    addText(right, QStringLiteral("GIM_ARSTS"), tr("Ģimenes ārsts"), 250);
    addText(right, QStringLiteral("GIM_ARSTS_TEL"), tr("ģim.ārsta tel."), 100);
    addText(right, QStringLiteral("GIM_ARSTS_MAIL"), tr("ģim.ārsta e-mail"), 100);
    m_edKomentars = new QPlainTextEdit(this);
    m_edKomentars->setObjectName(QStringLiteral("KOMENTARS"));
    right->addRow(tr("Klienta brīvais komentārs"), m_edKomentars);
    m_cbPilseta->addItems(m_dati.towns());
    m_pages->addTab(dataPage, tr("Pacienta dati"));

    // Attached files.
    auto* filesPage = new QWidget(this);
    auto* filesLayout = new QVBoxLayout(filesPage);
    m_lbFaili = new QListWidget(filesPage);
    m_lbFaili->setObjectName(QStringLiteral("lbFaili"));
    auto* fileButtons = new QHBoxLayout;
    auto* btNew = new QPushButton(tr("Jauns"), filesPage);
    btNew->setObjectName(QStringLiteral("btFailsJauns"));
    auto* btOpen = new QPushButton(tr("Atvērt"), filesPage);
    btOpen->setObjectName(QStringLiteral("btFailsAtvert"));
    auto* btRemove = new QPushButton(tr("Dzēst"), filesPage);
    btRemove->setObjectName(QStringLiteral("btFailsDzest"));
    for (QPushButton* b : {btNew, btOpen, btRemove}) {
        b->setAutoDefault(false);
        fileButtons->addWidget(b);
    }
    fileButtons->addStretch(1);
    filesLayout->addLayout(fileButtons);
    filesLayout->addWidget(m_lbFaili, 1);
    m_pages->addTab(filesPage, tr("Foto un faili"));
    connect(btNew, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this);
        if (!path.isEmpty()) addFile(path);
    });
    connect(btOpen, &QPushButton::clicked, this, [this] {
        if (QListWidgetItem* item = m_lbFaili->currentItem())
            QDesktopServices::openUrl(QUrl::fromLocalFile(item->text()));
    });
    connect(btRemove, &QPushButton::clicked, this, [this] { delete m_lbFaili->currentItem(); });

    // History of requests and consultations.
    auto* historyPage = new QWidget(this);
    auto* historyLayout = new QVBoxLayout(historyPage);
    auto* period = new QHBoxLayout;
    m_dtpNo = new widgets::NullableDateEdit(QDate::currentDate().addYears(-1), historyPage);
    m_dtpLidz = new widgets::NullableDateEdit(QDate::currentDate(), historyPage);
    for (widgets::NullableDateEdit* d : {m_dtpNo, m_dtpLidz})
        connect(d, &widgets::NullableDateEdit::dateChanged, this, &Tn_klientEdit::refreshHistory);
    m_dtpNo->setObjectName(QStringLiteral("dtpNo"));
    m_dtpLidz->setObjectName(QStringLiteral("dtpLidz"));
    m_btAtrast = new QPushButton(tr("Atrast pieteik./konsultāc."), historyPage);
    m_btAtrast->setObjectName(QStringLiteral("btAtrast"));
    m_btAtrast->setAutoDefault(false);
    period->addWidget(m_dtpNo);
    period->addWidget(new QLabel(QStringLiteral("-"), historyPage));
    period->addWidget(m_dtpLidz);
    period->addStretch(1);
    period->addWidget(m_btAtrast);
    m_vesture = new models::ResultTableModel(this);
    models::GridColumn kind;
    kind.title = QString();
    kind.calculate = [](const db::ResultSet& rows, int row) -> QVariant {
        return TKlientuKlasifDati::HistoryKind(rows.value(row, QStringLiteral("MARKER")).toInt());
    };
    // Request numbers are stored right-aligned with blanks.
    models::GridColumn number;
    number.title = tr("Numurs");
    number.calculate = [](const db::ResultSet& rows, int row) -> QVariant {
        return rows.value(row, QStringLiteral("NUMURS")).toString().trimmed();
    };
    models::GridColumn duration;
    duration.title = tr("Ilgums");
    duration.calculate = [](const db::ResultSet& rows, int row) -> QVariant {
        return TKlientuKlasifDati::HistoryDuration(rows, row);
    };
    m_vesture->setColumns({kind,
                           number,
                           {QStringLiteral("DATUMS"), tr("Datums"), QStringLiteral("dd.MM.yyyy"), {}},
                           {QStringLiteral("PLAN_DAT"), tr("Plān.datums"), QStringLiteral("dd.MM.yyyy"), {}},
                           {QStringLiteral("PLAN_LAIKS"), tr("Plān.laiks"), {}, {}},
                           duration,
                           {QStringLiteral("VEIDS"), tr("Konsultācijas veids"), {}, {}},
                           {QStringLiteral("SPECIALISTS"), tr("Speciālists"), {}, {}}});
    m_grdVesture = new QTableView(historyPage);
    m_grdVesture->setObjectName(QStringLiteral("grdVesture"));
    m_grdVesture->setModel(m_vesture);
    widgets::SetupListGrid(m_grdVesture);
    historyLayout->addLayout(period);
    historyLayout->addWidget(m_grdVesture, 1);
    m_pages->addTab(historyPage, tr("Vēsture"));
    connect(m_btAtrast, &QPushButton::clicked, this, [this] {
        const QModelIndex index = m_grdVesture->currentIndex();
        if (!index.isValid()) return;
        m_session.facades().consultations.open(this, {m_key, m_vesture->fieldValue(index.row(), QStringLiteral("ISN")).toInt(),
                                 m_vesture->fieldValue(index.row(), QStringLiteral("MARKER")).toInt()});
    });

    auto* buttons = new QDialogButtonBox(this);
    m_btSaglabat = buttons->addButton(tr("&Saglabāt"), QDialogButtonBox::ActionRole);
    m_btSaglabat->setObjectName(QStringLiteral("btSaglabat"));
    QPushButton* close = buttons->addButton(tr("&Aizvērt"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("btAizvert"));
    // Enter in a field does not save the card.
    m_btSaglabat->setAutoDefault(false);
    close->setAutoDefault(false);
    connect(m_btSaglabat, &QPushButton::clicked, this, [this] { save(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addWidget(buttons);

    connect(surname, &QLineEdit::editingFinished, this, &Tn_klientEdit::surnameExit);
    connect(firstName, &QLineEdit::editingFinished, this, &Tn_klientEdit::firstNameExit);
    connect(code, &QLineEdit::editingFinished, this, &Tn_klientEdit::personalCodeExit);
    resize(900, 620);
    widgets::HighlightFocusedInputs(this, [&session] { return session.HighlightColor(); });

    // The consultation window adds and removes the patient's files at once: the list follows,
    // unless it was changed here and not saved yet.
    connect(&m_session.notifier(), &app::ChangeNotifier::patientsChanged, this, [this](const QList<int>& keys) {
        if (m_key <= 0 || !(keys.isEmpty() || keys.contains(m_key))) return;
        if (QVariant(files()) != m_opened.value(QStringLiteral("FAILI"))) return;
        widgets::Guard(this, [this] {
            const QStringList stored = m_dati.files(m_key);
            m_lbFaili->clear();
            m_lbFaili->addItems(stored);
            m_opened.insert(QStringLiteral("FAILI"), files());
        });
    });
}

Tn_klientEdit::~Tn_klientEdit() = default;

QLineEdit* Tn_klientEdit::addText(QFormLayout* form, const QString& column, const QString& caption,
                                  int maxLength) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(column);
    edit->setMaxLength(maxLength);
    form->addRow(caption, edit);
    m_texts.insert(column, edit);
    return edit;
}

widgets::LookupCombo* Tn_klientEdit::addLookup(QFormLayout* form, const QString& column,
                                               const QString& caption, const QVector<LookupItem>& items) {
    auto* combo = new widgets::LookupCombo(this);
    combo->setObjectName(column);
    combo->setItems(pairs(items));
    form->addRow(caption, combo);
    m_lookups.insert(column, combo);
    return combo;
}

QWidget* Tn_klientEdit::field(const QString& column) const {
    return findChild<QWidget*>(column);
}

widgets::LookupCombo* Tn_klientEdit::lookup(const QString& column) const {
    return m_lookups.value(column);
}

void Tn_klientEdit::start(int key, bool historyPage) {
    m_key = key > 0 ? key : 0;
    m_savedKey = 0;
    const QVariantHash row = m_dati.open(key);
    m_readStamp = m_key > 0 ? std::optional<QVariant>(row.value(QStringLiteral("IEVDAT_EDIT"))) : std::nullopt;
    fill(row);
    m_btSaglabat->setEnabled(m_session.hasRight(QStringLiteral("00"), m_key > 0 ? app::Change : app::Add));
    m_btAtrast->setEnabled(m_key > 0 && bool(m_session.facades().consultations.open));
    refreshHistory();
    m_opened = shownState();
    m_pages->setCurrentIndex(historyPage ? 2 : 0);
    if (!historyPage) m_texts.value(QStringLiteral("UZVARDS"))->setFocus();
}

void Tn_klientEdit::fill(const QVariantHash& values) {
    for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it)
        it.value()->setText(values.value(it.key()).toString());
    for (auto it = m_lookups.cbegin(); it != m_lookups.cend(); ++it) {
        const QVariant v = values.value(it.key());
        it.value()->setKey(v.isValid() ? v.toInt() : -1);
    }
    m_dtpDzimDat->setValue(values.value(QStringLiteral("DZIM_DAT")).toDateTime().date());
    const QVariant gender = values.value(QStringLiteral("DZIMUMS"));
    m_cbDzimums->setCurrentIndex(gender.isValid() ? gender.toInt() : -1);
    m_edVardaDiena->setText(values.value(QStringLiteral("VARDA_DIENA")).toString());
    const QVariant language = values.value(QStringLiteral("SAZINAS_VAL"));
    m_cbSazinasVal->setCurrentIndex(language.isValid() ? language.toInt() : -1);
    m_cbPilseta->setEditText(values.value(QStringLiteral("PILSETA")).toString());
    m_chkSendSms->setChecked(values.value(QStringLiteral("SEND_SMS")).toInt() == 1);
    m_chkSubscribe->setChecked(values.value(QStringLiteral("SUBSCRIBE_FLAG")).toInt() == 1);
    m_edKomentars->setPlainText(values.value(QStringLiteral("KOMENTARS")).toString());
    m_lbFaili->clear();
    m_lbFaili->addItems(TKlientuKlasifDati::SplitFiles(values.value(QStringLiteral("FAILI")).toString()));
}

QString Tn_klientEdit::nameDayText() const {
    QString t = m_edVardaDiena->text();
    t.remove(QLatin1Char('_'));
    t = t.trimmed();
    return t == QLatin1String(".") ? QString() : t;
}

QVariantHash Tn_klientEdit::collect() const {
    QVariantHash values;
    for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it)
        values.insert(it.key(), textOrNull(it.value()->text()));
    for (auto it = m_lookups.cbegin(); it != m_lookups.cend(); ++it)
        values.insert(it.key(), it.value()->key());
    const QDate birth = m_dtpDzimDat->value();
    values.insert(QStringLiteral("DZIM_DAT"),
                  birth.isValid() ? QVariant(QDateTime(birth, QTime(0, 0))) : QVariant());
    values.insert(QStringLiteral("DZIMUMS"),
                  m_cbDzimums->currentIndex() < 0 ? QVariant() : QVariant(m_cbDzimums->currentIndex()));
    values.insert(QStringLiteral("VARDA_DIENA"), textOrNull(nameDayText()));
    values.insert(QStringLiteral("SAZINAS_VAL"),
                  m_cbSazinasVal->currentIndex() < 0 ? QVariant() : QVariant(m_cbSazinasVal->currentIndex()));
    values.insert(QStringLiteral("PILSETA"), textOrNull(m_cbPilseta->currentText()));
    values.insert(QStringLiteral("SEND_SMS"), m_chkSendSms->isChecked() ? 1 : 0);
    values.insert(QStringLiteral("SUBSCRIBE_FLAG"), m_chkSubscribe->isChecked() ? 1 : 0);
    values.insert(QStringLiteral("KOMENTARS"), m_edKomentars->toPlainText().isEmpty()
                                                   ? QVariant()
                                                   : QVariant(m_edKomentars->toPlainText()));
    return values;
}

QVariantHash Tn_klientEdit::shownState() const {
    QVariantHash state = collect();
    state.insert(QStringLiteral("FAILI"), files());
    // A typed birth date not yet read counts as a change too.
    state.insert(QStringLiteral("DZIM_DAT_TEXT"), m_dtpDzimDat->lineEdit()->text().trimmed());
    return state;
}

bool Tn_klientEdit::isChanged() const {
    return shownState() != m_opened;
}

void Tn_klientEdit::reject() {
    widgets::CommitTypedDates(this);
    switch (widgets::AskBeforeClosing(this, isChanged(), [this] { return save(); })) {
        case widgets::CloseAnswer::Close:
            QDialog::reject();
            break;
        case widgets::CloseAnswer::Saved:
        case widgets::CloseAnswer::Stay:
            break;
    }
}

void Tn_klientEdit::message(const QString& text) {
    QMessageBox::information(this, QString(), text);
}

void Tn_klientEdit::surnameExit() {
    QLineEdit* e = m_texts.value(QStringLiteral("UZVARDS"));
    e->setText(app::CapitalizeName(e->text()));
}

void Tn_klientEdit::firstNameExit() {
    QLineEdit* e = m_texts.value(QStringLiteral("VARDS"));
    e->setText(app::CapitalizeName(e->text()));
    if (e->text().isEmpty()) return;
    const NameDayResult r = m_dati.lookupNameDay(e->text(), nameDayText());
    m_edVardaDiena->setText(r.nameDay);
    if (!r.message.isEmpty()) message(r.message);
}

void Tn_klientEdit::personalCodeExit() {
    QLineEdit* e = m_texts.value(QStringLiteral("PERS_KODS"));
    e->setText(e->text().trimmed());
    const QDate birth = TKlientuKlasifDati::BirthDateFromCode(e->text(), m_dtpDzimDat->value());
    if (birth.isValid()) m_dtpDzimDat->setValue(birth);
}

void Tn_klientEdit::addFile(const QString& path) {
    m_lbFaili->addItem(path);
}

QStringList Tn_klientEdit::files() const {
    QStringList list;
    for (int i = 0; i < m_lbFaili->count(); ++i) list.append(m_lbFaili->item(i)->text());
    return list;
}

bool Tn_klientEdit::save() {
    if (widgets::RefuseUnreadableDates(this)) return false;
    QVariantHash values = collect();
    const app::CardCheck check = m_dati.validate(values, m_key);
    if (!check.ok()) {
        QMessageBox::warning(this, QString(), check.message);
        m_pages->setCurrentIndex(0);
        if (QWidget* w = field(check.field)) w->setFocus();
        return false;
    }
    if (nameDayText().size() < 4) {
        const NameDayResult r =
            m_dati.lookupNameDay(values.value(QStringLiteral("VARDS")).toString(), nameDayText());
        m_edVardaDiena->setText(r.nameDay);
        if (!r.message.isEmpty()) message(r.message);
        values.insert(QStringLiteral("VARDA_DIENA"), textOrNull(nameDayText()));
    }
    try {
        m_savedKey = m_dati.save(m_key, values, files(), m_session.UserIsn(), m_readStamp);
    } catch (const db::StaleRowError& e) {
        // Another workstation saved this patient meanwhile: show its version instead of ours.
        QMessageBox::warning(this, QString(), e.message());
        const QVariantHash row = m_dati.open(m_key);
        m_readStamp = row.value(QStringLiteral("IEVDAT_EDIT"));
        fill(row);
        return false;
    } catch (const db::DbError& e) {
        QMessageBox::warning(this, QString(),
                             TKlientuKlasifDati::SaveFailedMessage() + QStringLiteral("\n\n") + e.message());
        return false;
    }
    m_key = m_savedKey;
    accept();
    return true;
}

void Tn_klientEdit::refreshHistory() {
    if (m_key <= 0) {
        m_vesture->setRows(db::ResultSet());
        return;
    }
    try {
        m_vesture->setRows(m_dati.history(m_key, m_dtpNo->date(), m_dtpLidz->date()));
    } catch (const db::DbError& e) {
        QMessageBox::warning(this, QString(), tr("Sistēmas kļūda: ") + e.message());
    }
}

}  // namespace patients
