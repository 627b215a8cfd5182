#include "pricelist/Tn_klprecFiltrs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace pricelist {

Tn_klprecFiltrs::Tn_klprecFiltrs(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Manipulāciju atlase"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto make = [this](const char* name, int maxLength) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setMaxLength(maxLength);
        return e;
    };
    m_edCena = make("edCena", 15);
    // Prices only: a number with two decimals at most, point or comma.
    m_edCena->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,9}([.,]\\d{0,2})?")), m_edCena));
    m_edKodsNo = make("edKodsNo", 30);
    m_edKodsLidz = make("edKodsLidz", 30);
    m_edNosaukums = make("edNosaukums", 200);
    m_edKodi = make("edKodi", 30);
    form->addRow(tr("Manipulācijas cena"), m_edCena);
    form->addRow(tr("Kods sākas ar :"), m_edKodsNo);
    form->addRow(tr("Kods beidzas ar :"), m_edKodsLidz);
    form->addRow(tr("Manipulācijas nosaukums satur :"), m_edNosaukums);
    form->addRow(tr("Jebkurš kods satur :"), m_edKodi);
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout;
    auto* btAtlasit = new QPushButton(tr("Atlasīt"), this);
    btAtlasit->setObjectName(QStringLiteral("btAtlasit"));
    btAtlasit->setDefault(true);
    auto* btAtcelt = new QPushButton(tr("Atcelt filtrus"), this);
    btAtcelt->setObjectName(QStringLiteral("btAtceltFiltrus"));
    buttons->addStretch();
    buttons->addWidget(btAtlasit);
    buttons->addWidget(btAtcelt);
    layout->addLayout(buttons);
    connect(btAtlasit, &QPushButton::clicked, this, &QDialog::accept);
    connect(btAtcelt, &QPushButton::clicked, this, &Tn_klprecFiltrs::clearFields);
}

void Tn_klprecFiltrs::setFilter(const PriceListFilter& f) {
    m_edCena->setText(f.price);
    m_edKodsNo->setText(f.codeStartsWith);
    m_edKodsLidz->setText(f.codeEndsWith);
    m_edNosaukums->setText(f.nameContains);
    m_edKodi->setText(f.anyCodeContains);
}

PriceListFilter Tn_klprecFiltrs::filter() const {
    PriceListFilter f;
    f.price = m_edCena->text().trimmed();
    f.codeStartsWith = m_edKodsNo->text();
    f.codeEndsWith = m_edKodsLidz->text();
    f.nameContains = m_edNosaukums->text();
    f.anyCodeContains = m_edKodi->text();
    return f;
}

void Tn_klprecFiltrs::clearFields() { setFilter({}); }

}  // namespace pricelist
