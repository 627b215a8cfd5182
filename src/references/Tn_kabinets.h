#pragma once
#include "app/Session.h"
#include "references/ReferenceCard.h"

namespace references {

// The room card (N_KABINETI).
class Tn_kabinets : public ReferenceCard {
    Q_OBJECT
public:
    explicit Tn_kabinets(app::Session& session, QWidget* parent = nullptr);
};

}  // namespace references
