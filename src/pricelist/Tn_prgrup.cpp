#include "pricelist/Tn_prgrup.h"


#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace pricelist {

Tn_prgrup::Tn_prgrup(PriceListStore& store, int isn, int userIsn, QWidget* parent)
    : QDialog(parent), m_store(store), m_userIsn(userIsn), m_isn(isn) {
    setWindowTitle(tr("Manipulāciju grupa"));
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(tr("Preču grupas rekvizīti"), this);
    auto* form = new QFormLayout(box);
    m_edGnos = new QLineEdit(m_store.groupName(isn).trimmed(), box);
    m_edGnos->setObjectName(QStringLiteral("edGnos"));
    m_edGnos->setMaxLength(60);
    m_edKods = new QLineEdit(m_store.groupCode(isn), box);
    m_edKods->setObjectName(QStringLiteral("edGrupkods"));
    m_edKods->setMaxLength(30);
    form->addRow(tr("Nosaukums"), m_edGnos);
    form->addRow(tr("Kods"), m_edKods);
    layout->addWidget(box);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("&Saglabāt"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("Atcelt"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &Tn_prgrup::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(400);
    resize(400, sizeHint().height());
}

void Tn_prgrup::save() {
    const PriceListResult r = m_store.saveGroup(m_isn, m_edGnos->text(), m_edKods->text(), m_userIsn);
    if (!r.ok) {
        QMessageBox::warning(this, windowTitle(), r.dbError ? tr("Sistēmas kļūda: ") + r.message : r.message);
        m_edGnos->setFocus();
        return;
    }
    accept();
}

}  // namespace pricelist
