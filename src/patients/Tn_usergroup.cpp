#include "patients/Tn_usergroup.h"

namespace patients {

Tn_usergroup::Tn_usergroup(db::Database& database, QWidget* parent)
    : ReferenceCard(database, QStringLiteral("N_USERGROUP"), parent) {
    setWindowTitle(tr("Lietotāju grupa"));
    addText(QStringLiteral("GNOS"), tr("Nosaukums"), 200);
}

}  // namespace patients
