#include "references/Tn_bankaEdit.h"

namespace references {

Tn_bankaEdit::Tn_bankaEdit(app::Session& session, QWidget* parent)
    : ReferenceCard(session, QStringLiteral("N_BANKA"), parent) {
    setWindowTitle(tr("Dati par banku"));
    addText(QStringLiteral("GNOS"), tr("Nosaukums"), 60);
    addText(QStringLiteral("KODS"), tr("Kods"), 30);
}

}  // namespace references
