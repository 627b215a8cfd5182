#pragma once
#include "patients/ReferenceCard.h"

namespace patients {

// The consultation-type card (N_VEIDI). A name that another type has is stored only after the user agrees.
class Tn_veidiEd : public ReferenceCard {
    Q_OBJECT
public:
    explicit Tn_veidiEd(db::Database& database, QWidget* parent = nullptr);

protected:
    bool confirmSave(const QVariantHash& values) override;
};

}  // namespace patients
