#pragma once
#include "patients/ReferenceCard.h"

namespace patients {

// The user-group card (N_USERGROUP).
class Tn_usergroup : public ReferenceCard {
    Q_OBJECT
public:
    explicit Tn_usergroup(db::Database& database, QWidget* parent = nullptr);
};

}  // namespace patients
