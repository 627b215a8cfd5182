#pragma once
#include "app/Session.h"
#include "app/WindowRegistry.h"

namespace calendar {

// The planner window in the catalogue.
void RegisterWindows(app::WindowRegistry& registry, app::Session& session);

}  // namespace calendar
