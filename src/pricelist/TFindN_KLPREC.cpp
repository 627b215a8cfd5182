#include "pricelist/TFindN_KLPREC.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace pricelist {

TFindN_KLPREC::TFindN_KLPREC(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Meklēšana"));
    auto* layout = new QVBoxLayout(this);
    m_ed = new QLineEdit(this);
    m_ed->setObjectName(QStringLiteral("edTeksts"));
    auto* hint = new QLabel(
        tr("Pievienojot * pirms artikula - meklēt pēc artikula pēdējām zīmēm, -- - Pēc 2. artikula pirmajām zīmēm"), this);
    hint->setWordWrap(true);
    m_ed->setToolTip(hint->text());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(m_ed);
    layout->addWidget(hint);
    layout->addWidget(buttons);
    resize(420, sizeHint().height());
}

QString TFindN_KLPREC::text() const { return m_ed->text(); }
void TFindN_KLPREC::setText(const QString& text) {
    m_ed->setText(text);
    m_ed->selectAll();
}

}  // namespace pricelist
