#pragma once
#include "app/Session.h"
#include "references/ReferenceCard.h"

namespace references {

// The bank card (N_BANKA).
class Tn_bankaEdit : public ReferenceCard {
    Q_OBJECT
public:
    explicit Tn_bankaEdit(app::Session& session, QWidget* parent = nullptr);
};

}  // namespace references
