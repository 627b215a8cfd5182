#include "references/Tn_klasifEdit.h"

namespace references {

Tn_klasifEdit::Tn_klasifEdit(app::Session& session, const QString& table, QWidget* parent)
    : ReferenceCard(session, table, parent) {
    setWindowTitle(tr("Jauns ieraksts / Ieraksta labošana"));
    addText(QStringLiteral("GNOS"), tr("Nosaukums"), table == QLatin1String("N_KLGRUPA") ? 60 : 250);
}

}  // namespace references
