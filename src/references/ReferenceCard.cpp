#include "references/ReferenceCard.h"
#include "app/Rights.h"
#include "references/ReferenceTables.h"
#include "widgets/CardClose.h"
#include "widgets/FocusHighlight.h"
#include "widgets/NullableDateEdit.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace references {

ReferenceCard::ReferenceCard(app::Session& session, const QString& table, QWidget* parent)
    : QDialog(parent),
      m_session(session), m_db(session.database()),
      m_store(session.database(), table),
      m_main(new QVBoxLayout(this)),
      m_formPage(new QWidget(this)),
      m_form(new QFormLayout(m_formPage)) {
    m_form->setContentsMargins(0, 0, 0, 0);
    m_main->addWidget(m_formPage);
    auto* buttons = new QDialogButtonBox(this);
    m_btSaglabat = buttons->addButton(tr("&Saglabāt"), QDialogButtonBox::AcceptRole);
    m_btSaglabat->setObjectName(QStringLiteral("btSaglabat"));
    QPushButton* close = buttons->addButton(tr("&Aizvērt"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("btAizvert"));
    m_main->addStretch(1);
    m_main->addWidget(buttons);
    // The save button does not close by itself: a failed check keeps the card open.
    disconnect(buttons, &QDialogButtonBox::accepted, nullptr, nullptr);
    // Enter in a field does not save the card.
    m_btSaglabat->setAutoDefault(false);
    close->setAutoDefault(false);
    connect(m_btSaglabat, &QPushButton::clicked, this, [this] { save(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    // Room for a name of some length and the buttons, however few the fields.
    setMinimumSize(440, 160);
    widgets::HighlightFocusedInputs(this, [&session] { return session.HighlightColor(); });
}

QLineEdit* ReferenceCard::addText(const QString& column, const QString& caption, int maxLength) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(column);
    edit->setMaxLength(maxLength);
    m_form->addRow(caption, edit);
    m_bindings.append({column, [edit](const QVariant& v) { edit->setText(v.toString()); },
                       [edit]() -> QVariant {
                           return edit->text().trimmed().isEmpty() ? QVariant()
                                                                   : QVariant(edit->text().trimmed());
                       }});
    return edit;
}

QPlainTextEdit* ReferenceCard::addMemo(const QString& column, const QString& caption) {
    auto* edit = new QPlainTextEdit(this);
    edit->setObjectName(column);
    m_form->addRow(caption, edit);
    m_bindings.append({column, [edit](const QVariant& v) { edit->setPlainText(v.toString()); },
                       [edit]() -> QVariant {
                           return edit->toPlainText().isEmpty() ? QVariant() : QVariant(edit->toPlainText());
                       }});
    return edit;
}

QCheckBox* ReferenceCard::addFlag(const QString& column, const QString& caption) {
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(column);
    m_form->addRow(QString(), box);
    m_bindings.append(
        {column, [box](const QVariant& v) { box->setChecked(v.toString() == QLatin1String("T")); },
         [box]() -> QVariant { return box->isChecked() ? QStringLiteral("T") : QStringLiteral("F"); }});
    return box;
}

widgets::NullableDateEdit* ReferenceCard::addDate(const QString& column, const QString& caption) {
    auto* edit = new widgets::NullableDateEdit(QDate::currentDate(), this);
    edit->setObjectName(column);
    m_form->addRow(caption, edit);
    m_bindings.append({column,
                       [edit](const QVariant& v) {
                           const QDate d = v.toDateTime().date();
                           edit->setDate(d.isValid() ? d : QDate::currentDate());
                       },
                       [edit]() -> QVariant { return QDateTime(edit->date(), QTime(0, 0)); }});
    return edit;
}

void ReferenceCard::start(int key, int sourceKey) {
    m_key = key > 0 ? key : 0;
    m_savedKey = 0;
    QVariantHash values;
    if (m_key > 0)
        values = m_store.load(m_key);
    else if (sourceKey > 0)
        values = m_store.load(sourceKey);
    for (const Binding& b : m_bindings) b.set(values.value(b.column));
    fillExtra(values);
    const ReferenceTable* table = FindReferenceTable(m_store.table());
    const QString code = table ? table->rightsCode : QString();
    m_btSaglabat->setEnabled(code.isEmpty() || m_session.hasRight(code, m_key > 0 ? app::Change : app::Add));
    started();
    m_started = collect();
    if (!m_bindings.isEmpty()) {
        if (QWidget* first = findChild<QWidget*>(m_bindings.first().column)) first->setFocus();
    }
}

QVariantHash ReferenceCard::collect() const {
    QVariantHash values;
    for (const Binding& b : m_bindings) values.insert(b.column, b.get());
    collectExtra(values);
    return values;
}

void ReferenceCard::showMessage(const QString& text) {
    QMessageBox::warning(this, QString(), text);
}

bool ReferenceCard::isChanged() const {
    return collect() != m_started;
}

void ReferenceCard::reject() {
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

bool ReferenceCard::save() {
    if (widgets::RefuseUnreadableDates(this)) return false;
    const QVariantHash values = collect();
    const app::CardCheck check = m_store.validate(values);
    if (!check.ok()) {
        showMessage(check.message);
        if (QWidget* w = findChild<QWidget*>(check.field)) w->setFocus();
        return false;
    }
    if (!confirmSave(values)) return false;
    try {
        m_savedKey = m_store.save(
            m_key, values, m_session.UserIsn());
    } catch (const db::DbError& e) {
        showMessage(tr("Sistēmas kļūda: ") + e.message());
        return false;
    }
    m_key = m_savedKey;
    accept();
    return true;
}

}  // namespace references
