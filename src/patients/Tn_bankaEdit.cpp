#include "patients/Tn_bankaEdit.h"

namespace patients {

Tn_bankaEdit::Tn_bankaEdit(db::Database& database, QWidget* parent)
    : ReferenceCard(database, QStringLiteral("N_BANKA"), parent) {
    setWindowTitle(tr("Dati par banku"));
    addText(QStringLiteral("GNOS"), tr("Nosaukums"), 60);
    addText(QStringLiteral("KODS"), tr("Kods"), 30);
}

}  // namespace patients
