#pragma once
#include "app/Session.h"
#include "app/WindowRegistry.h"

namespace consultations {

// The consultation register in the window catalogue, and the consultations facade through which
// the appointment editor, the patient list and the patient card open it.
void RegisterWindows(app::WindowRegistry& registry, app::Session& session);

}  // namespace consultations
