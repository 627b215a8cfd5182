#pragma once
#include "app/Session.h"
#include "references/ReferenceCard.h"

namespace references {

// The user-group card (N_USERGROUP).
class Tn_usergroup : public ReferenceCard {
    Q_OBJECT
public:
    explicit Tn_usergroup(app::Session& session, QWidget* parent = nullptr);
};

}  // namespace references
