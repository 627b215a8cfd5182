#pragma once
#include "app/Session.h"
#include "references/ReferenceCard.h"

namespace references {

// The card of the name-only lists (N_RAJONS, N_KLGRUPA).
class Tn_klasifEdit : public ReferenceCard {
    Q_OBJECT
public:
    Tn_klasifEdit(app::Session& session, const QString& table, QWidget* parent = nullptr);
};

}  // namespace references
