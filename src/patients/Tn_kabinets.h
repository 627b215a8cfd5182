#pragma once
#include "patients/ReferenceCard.h"

namespace patients {

// The room card (N_KABINETI).
class Tn_kabinets : public ReferenceCard {
    Q_OBJECT
public:
    explicit Tn_kabinets(db::Database& database, QWidget* parent = nullptr);
};

}  // namespace patients
