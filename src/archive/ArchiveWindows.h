#pragma once
#include "app/Session.h"
#include "app/WindowRegistry.h"

namespace archive {

// The archive window in the catalogue, and the archive action of the main window's timer.
void RegisterWindows(app::WindowRegistry& registry, app::Session& session);

}  // namespace archive
