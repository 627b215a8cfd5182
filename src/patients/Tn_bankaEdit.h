#pragma once
#include "patients/ReferenceCard.h"

namespace patients {

// The bank card (N_BANKA).
class Tn_bankaEdit : public ReferenceCard {
    Q_OBJECT
public:
    explicit Tn_bankaEdit(db::Database& database, QWidget* parent = nullptr);
};

}  // namespace patients
