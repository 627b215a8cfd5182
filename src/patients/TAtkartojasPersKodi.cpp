#include "patients/TAtkartojasPersKodi.h"

#include "patients/PersonalCodeMatches.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace patients {

TAtkartojasPersKodi::TAtkartojasPersKodi(db::Database& database, const QString& personalCode, QWidget* parent)
    : QDialog(parent), m_cbPacients(new QComboBox(this)) {
    setWindowTitle(tr("Ir vairākas personas ar šo personas kodu :"));
    m_cbPacients->setObjectName(QStringLiteral("cbPacients"));
    m_cbPacients->setMinimumWidth(320);
    for (const PatientChoice& p : PatientsWithPersonalCode(database, personalCode)) m_cbPacients->addItem(p.name, p.isn);
    m_cbPacients->setCurrentIndex(m_cbPacients->count() > 0 ? 0 : -1);

    auto* code = new QLabel(personalCode, this);
    code->setObjectName(QStringLiteral("lblPersKods"));
    auto* form = new QFormLayout;
    form->addRow(tr("Pers.kods"), code);
    form->addRow(tr("Pacients"), m_cbPacients);

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btOK"));
    ok->setDefault(true);
    buttons->addButton(tr("&Atlikt"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("btAtlikt"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

int TAtkartojasPersKodi::chosenKey() const { return m_cbPacients->currentData().toInt(); }

int TAtkartojasPersKodi::choose(db::Database& database, const QString& personalCode, QWidget* parent) {
    TAtkartojasPersKodi dialog(database, personalCode, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.chosenKey() : 0;
}

int FindKeyByCode(db::Database& database, app::CodeKind kind, const QString& value, QWidget* parent) {
    return app::FindKeyByCode(database, kind, value, app::DuplicateCodeChooser([&](const QString& code) {
                             return TAtkartojasPersKodi::choose(database, code, parent);
                         }));
}

}  // namespace patients
