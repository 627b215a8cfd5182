// Which card edits which reference table.
#include "patients/ReferenceCard.h"
#include "patients/ReferenceTables.h"
#include "patients/Tn_agentsEdit.h"
#include "patients/Tn_bankaEdit.h"
#include "patients/Tn_kabinets.h"
#include "patients/Tn_klasifEdit.h"
#include "patients/Tn_svetki.h"
#include "patients/Tn_usergroup.h"
#include "patients/Tn_veidiEd.h"

#include <memory>

namespace patients {

namespace {

std::unique_ptr<ReferenceCard> makeCard(db::Database& database, const ReferenceTable& table,
                                        QWidget* parent) {
    switch (table.card) {
        case CardKind::Agents:
            return std::make_unique<Tn_agentsEdit>(database, parent);
        case CardKind::Kabinets:
            return std::make_unique<Tn_kabinets>(database, parent);
        case CardKind::Banka:
            return std::make_unique<Tn_bankaEdit>(database, parent);
        case CardKind::Veidi:
            return std::make_unique<Tn_veidiEd>(database, parent);
        case CardKind::Svetki:
            return std::make_unique<Tn_svetki>(database, parent);
        case CardKind::Klasif:
            return std::make_unique<Tn_klasifEdit>(database, table.table, parent);
        case CardKind::UserGroup:
            return std::make_unique<Tn_usergroup>(database, parent);
        case CardKind::None:
            break;
    }
    return nullptr;
}

}  // namespace

bool CardCopies(const QString& table) {
    const ReferenceTable* t = FindReferenceTable(table);
    if (!t) return false;
    switch (t->card) {
        case CardKind::Agents:
        case CardKind::Kabinets:
        case CardKind::Banka:
        case CardKind::Veidi:
        case CardKind::Svetki:
            return true;
        default:
            return false;
    }
}

int EditReferenceRow(db::Database& database, const QString& table, int key, int sourceKey, QWidget* parent) {
    const ReferenceTable* t = FindReferenceTable(table);
    if (!t) return 0;
    std::unique_ptr<ReferenceCard> card = makeCard(database, *t, parent);
    if (!card) return 0;
    card->start(key, CardCopies(table) ? sourceKey : 0);
    card->exec();
    return card->savedKey();
}

}  // namespace patients
