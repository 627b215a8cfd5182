#include "patients/Tn_klasifEdit.h"

namespace patients {

Tn_klasifEdit::Tn_klasifEdit(db::Database& database, const QString& table, QWidget* parent)
    : ReferenceCard(database, table, parent) {
    setWindowTitle(tr("Jauns ieraksts / Ieraksta labošana"));
    addText(QStringLiteral("GNOS"), tr("Nosaukums"), table == QLatin1String("N_KLGRUPA") ? 60 : 250);
}

}  // namespace patients
