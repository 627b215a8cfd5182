#pragma once
#include "app/Session.h"
#include "references/ReferenceCard.h"

namespace references {

// The consultation-type card (N_VEIDI). A name that another type has is stored only after the user agrees.
class Tn_veidiEd : public ReferenceCard {
    Q_OBJECT
public:
    explicit Tn_veidiEd(app::Session& session, QWidget* parent = nullptr);

protected:
    bool confirmSave(const QVariantHash& values) override;
};

}  // namespace references
