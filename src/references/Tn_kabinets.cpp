#include "references/Tn_kabinets.h"

#include <QLineEdit>

namespace references {

Tn_kabinets::Tn_kabinets(app::Session& session, QWidget* parent)
    : ReferenceCard(session, QStringLiteral("N_KABINETI"), parent) {
    setWindowTitle(tr("Kabinets"));
    addText(QStringLiteral("GNOS"), tr("Nosaukums"), 250);
    addText(QStringLiteral("KODS"), tr("Numurs"), 20);
    addMemo(QStringLiteral("APRAKSTS"), tr("Apraksts"));
}

}  // namespace references
