// Which card edits which reference table.
#include "references/ReferenceCard.h"
#include "references/ReferenceTables.h"
#include "references/Tn_agentsEdit.h"
#include "references/Tn_bankaEdit.h"
#include "references/Tn_kabinets.h"
#include "references/Tn_klasifEdit.h"
#include "references/Tn_svetki.h"
#include "references/Tn_usergroup.h"
#include "references/Tn_veidiEd.h"

#include <memory>

namespace references {

namespace {

std::unique_ptr<ReferenceCard> makeCard(app::Session& session, const ReferenceTable& table,
                                        QWidget* parent) {
    switch (table.card) {
        case CardKind::Agents:
            return std::make_unique<Tn_agentsEdit>(session, parent);
        case CardKind::Kabinets:
            return std::make_unique<Tn_kabinets>(session, parent);
        case CardKind::Banka:
            return std::make_unique<Tn_bankaEdit>(session, parent);
        case CardKind::Veidi:
            return std::make_unique<Tn_veidiEd>(session, parent);
        case CardKind::Svetki:
            return std::make_unique<Tn_svetki>(session, parent);
        case CardKind::Klasif:
            return std::make_unique<Tn_klasifEdit>(session, table.table, parent);
        case CardKind::UserGroup:
            return std::make_unique<Tn_usergroup>(session, parent);
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

int EditReferenceRow(app::Session& session, const QString& table, int key, int sourceKey, QWidget* parent) {
    const ReferenceTable* t = FindReferenceTable(table);
    if (!t) return 0;
    std::unique_ptr<ReferenceCard> card = makeCard(session, *t, parent);
    if (!card) return 0;
    card->start(key, CardCopies(table) ? sourceKey : 0);
    card->exec();
    return card->savedKey();
}

}  // namespace references
