#include "patients/Tn_kabinets.h"

#include <QLineEdit>

namespace patients {

Tn_kabinets::Tn_kabinets(db::Database& database, QWidget* parent)
    : ReferenceCard(database, QStringLiteral("N_KABINETI"), parent) {
    setWindowTitle(tr("Kabinets"));
    addText(QStringLiteral("GNOS"), tr("Nosaukums"), 250);
    addText(QStringLiteral("KODS"), tr("Numurs"), 20);
    addMemo(QStringLiteral("APRAKSTS"), tr("Apraksts"));
}

}  // namespace patients
