#include "app/TSistemasIestatijumi.h"

#include "app/TimeText.h"
#include "widgets/CardClose.h"
#include "widgets/FocusHighlight.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace app {

TSistemasIestatijumi::TSistemasIestatijumi(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session), m_store(session.database()) {
    setObjectName(QStringLiteral("SistemasIestatijumi"));
    setWindowTitle(tr("Sistēmas iestatījumi"));

    auto* tabs = new QTabWidget(this);
    auto* page = new QWidget(tabs);
    tabs->addTab(page, tr("Organizācijas dati"));

    // Lengths are the column widths, so that a post never fails on an over-long text.
    auto* form = new QFormLayout;
    form->addRow(tr("Iestādes nosaukums :"), addEdit(QStringLiteral("ORGNOS"), 200));
    form->addRow(tr("Reģ.Nr komercreģistrā"), addEdit(QStringLiteral("REG_NR"), 30));
    form->addRow(tr("Reģ.Nr zobārstu reģistrā"), addEdit(QStringLiteral("REG_NR_ZOBARST"), 30));
    form->addRow(tr("Adrese :"), addEdit(QStringLiteral("ORGADR"), 250));
    form->addRow(tr("Direktora vārds, uzv."), addEdit(QStringLiteral("DIREKT_FIO"), 100));
    form->addRow(tr("Direktora telefons "), addEdit(QStringLiteral("DIREKT_TEL"), 50));
    form->addRow(tr("Amats :"), addEdit(QStringLiteral("DIREKTAMATS"), 100));
    auto* hours = new QHBoxLayout;
    QLineEdit* from = addEdit(QStringLiteral("DARBA_LAIKS_NO"), 5);
    QLineEdit* to = addEdit(QStringLiteral("DARBA_LAIKS_LIDZ"), 5);
    for (QLineEdit* time : {from, to}) {
        time->setPlaceholderText(QStringLiteral("hh:mm"));
        time->setFixedWidth(time->fontMetrics().horizontalAdvance(QStringLiteral("00:000")) + 16);
        // A time typed short ("8:0") is shown as the day grids compare it ("08:00").
        connect(time, &QLineEdit::editingFinished, time, [time] {
            if (IsValidTime(time->text())) time->setText(NormalTimeText(time->text()));
        });
    }
    hours->addWidget(from);
    hours->addWidget(new QLabel(QStringLiteral("-"), page));
    hours->addWidget(to);
    hours->addStretch();
    form->addRow(tr("Darba laiks"), hours);
    m_vat = new QComboBox(page);
    m_vat->setObjectName(QStringLiteral("cbPvnLikme"));
    for (int rate : SystemSettingsStore::vatRates()) m_vat->addItem(QStringLiteral("%1 %").arg(rate), rate);
    form->addRow(tr("PVN likme :"), m_vat);

    auto* daysBox = new QGroupBox(tr("Darba dienas"), page);
    auto* daysLayout = new QVBoxLayout(daysBox);
    for (const QString& name : {tr("Pirmdiena"), tr("Otrdiena"), tr("Trešdiena"), tr("Ceturdiena"), tr("Piektdiena"),
                                tr("Sestdiena"), tr("Svētdiena")}) {
        auto* c = new QCheckBox(name, daysBox);
        c->setObjectName(QStringLiteral("chkDarbaDiena%1").arg(m_days.size() + 1));
        daysLayout->addWidget(c);
        m_days.append(c);
    }
    auto* divisionBox = new QGroupBox(tr("Stundu dalījums"), page);
    auto* divisionLayout = new QVBoxLayout(divisionBox);
    m_division = new QButtonGroup(this);
    int id = 0;
    for (const QString& name : {tr("Pilna stunda"), tr("30 min"), tr("15 min")}) {
        auto* r = new QRadioButton(name, divisionBox);
        divisionLayout->addWidget(r);
        m_division->addButton(r, id++);
    }
    divisionLayout->addStretch();
    auto* bankBox = new QGroupBox(tr("Bankas rekvizīti"), page);
    auto* bankForm = new QFormLayout(bankBox);
    bankForm->addRow(tr("Banka :"), addEdit(QStringLiteral("BANKNOS"), 100));
    bankForm->addRow(tr("Bankas kods"), addEdit(QStringLiteral("BANKKODS"), 30));
    QLineEdit* account = addEdit(QStringLiteral("BANKKONTS"), 34);  // an IBAN has up to 34 characters
    // Room for a whole IBAN (up to 34 characters) without scrolling.
    account->setMinimumWidth(account->fontMetrics().horizontalAdvance(QStringLiteral("LV00 0000 0000 0000 0000 0000 0000 00")) + 16);
    bankForm->addRow(tr("Bankas konts"), account);

    auto* groups = new QHBoxLayout;
    groups->addWidget(daysBox);
    groups->addWidget(divisionBox);
    groups->addWidget(bankBox, 1);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addLayout(form);
    pageLayout->addLayout(groups);
    pageLayout->addStretch();

    m_save = new QPushButton(tr("Saglabāt"), this);
    m_save->setObjectName(QStringLiteral("btSaglabat"));
    m_close = new QPushButton(tr("Aizvērt"), this);
    m_close->setObjectName(QStringLiteral("btAizvert"));
    connect(m_save, &QPushButton::clicked, this, &TSistemasIestatijumi::save);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    setMinimumWidth(640);
    widgets::HighlightFocusedInputs(this, [&session] { return session.HighlightColor(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);
}

QLineEdit* TSistemasIestatijumi::addEdit(const QString& column, int maxLength) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QStringLiteral("ed") + column);
    e->setMaxLength(maxLength);
    m_edits.insert(column, e);
    return e;
}

void TSistemasIestatijumi::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!e->spontaneous()) reload();
}

void TSistemasIestatijumi::reload() {
    try {
        m_store.load();
    } catch (const db::DbError& err) {
        QMessageBox::critical(this, windowTitle(), tr("Sistēmas kļūda: ") + err.message());
        return;
    }
    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it) it.value()->setText(m_store.value(it.key()).toString());
    for (int d = 0; d < m_days.size(); ++d)
        m_days[d]->setChecked(m_store.value(QStringLiteral("DARBADIENA_%1").arg(d + 1)).toInt() == 1);
    const int division = m_store.value(QStringLiteral("STUNDU_DALIJUMS")).toInt();
    m_division->setExclusive(false);
    for (QAbstractButton* b : m_division->buttons()) b->setChecked(false);
    m_division->setExclusive(true);
    if (QAbstractButton* b = m_division->button(division); b && m_store.value(QStringLiteral("STUNDU_DALIJUMS")).isValid())
        b->setChecked(true);
    // A rate stored by some other means is offered as it stands, so saving keeps it.
    const QVariant rate = m_store.value(QStringLiteral("PVN_LIKME"));
    int index = rate.isValid() ? m_vat->findData(rate.toInt()) : m_vat->findData(21);
    if (index < 0) {
        m_vat->addItem(QStringLiteral("%1 %").arg(rate.toInt()), rate.toInt());
        index = m_vat->count() - 1;
    }
    m_vat->setCurrentIndex(index);
    m_opened = shownValues();
}

QVariantHash TSistemasIestatijumi::shownValues() const {
    QVariantHash values = m_store.values();
    // An untouched NULL stays NULL, so that saving without changes rewrites the row as it was.
    auto keepNull = [&values](const QString& column, const QVariant& shown, const QVariant& empty) {
        const QVariant stored = values.value(column);
        values.insert(column, !stored.isValid() && shown == empty ? QVariant() : shown);
    };
    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it)
        keepNull(it.key(), it.value()->text(), QString());
    for (int d = 0; d < m_days.size(); ++d)
        keepNull(QStringLiteral("DARBADIENA_%1").arg(d + 1), m_days[d]->isChecked() ? 1 : 0, 0);
    if (m_division->checkedId() >= 0) values.insert(QStringLiteral("STUNDU_DALIJUMS"), m_division->checkedId());
    const QVariant storedRate = values.value(QStringLiteral("PVN_LIKME"));
    const int rate = m_vat->currentData().toInt();
    if (storedRate.isValid() || rate != 21) values.insert(QStringLiteral("PVN_LIKME"), rate);
    return values;
}

void TSistemasIestatijumi::collect() {
    const QVariantHash values = shownValues();
    for (auto it = values.cbegin(); it != values.cend(); ++it) m_store.setValue(it.key(), it.value());
}

void TSistemasIestatijumi::closeEvent(QCloseEvent* e) {
    if (m_store.isLoaded() && !m_saving) {
        const bool changed = shownValues() != m_opened;
        const widgets::CloseAnswer answer = widgets::AskBeforeClosing(this, changed, [this] { return save(); });
        if (answer == widgets::CloseAnswer::Stay) {
            e->ignore();
            return;
        }
    }
    QWidget::closeEvent(e);
}

bool TSistemasIestatijumi::save() {
    if (!m_store.isLoaded()) return false;
    collect();
    const CardCheck check = m_store.check();
    if (!check.ok()) {
        QMessageBox::warning(this, windowTitle(), check.message);
        if (QLineEdit* e = edit(check.field)) {
            e->setFocus();
            e->selectAll();
        }
        return false;
    }
    try {
        m_store.save();
    } catch (const db::DbError& err) {
        QMessageBox::critical(this, windowTitle(), tr("Sistēmas kļūda: ") + err.message());
        return false;
    }
    // The session keeps the rate read at log-on; new price-list items take it from there.
    const QVariant rate = m_store.value(QStringLiteral("PVN_LIKME"));
    m_session.setDefaultVatRate(rate.isValid() ? rate.toInt() : 21);
    m_opened = shownValues();
    m_saving = true;
    close();
    m_saving = false;
    return true;
}

}  // namespace app
