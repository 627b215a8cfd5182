#pragma once
#include "patients/ReferenceCard.h"

namespace patients {

// The card of the name-only lists (N_RAJONS, N_KLGRUPA).
class Tn_klasifEdit : public ReferenceCard {
    Q_OBJECT
public:
    Tn_klasifEdit(db::Database& database, const QString& table, QWidget* parent = nullptr);
};

}  // namespace patients
