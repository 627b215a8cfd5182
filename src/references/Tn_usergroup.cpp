#include "references/Tn_usergroup.h"

namespace references {

Tn_usergroup::Tn_usergroup(app::Session& session, QWidget* parent)
    : ReferenceCard(session, QStringLiteral("N_USERGROUP"), parent) {
    setWindowTitle(tr("Lietotāju grupa"));
    addText(QStringLiteral("GNOS"), tr("Nosaukums"), 200);
}

}  // namespace references
